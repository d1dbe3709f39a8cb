// Printed output read back with poppler's tools, as a user would see it.
#pragma once

#include <QImage>
#include <QString>

// The page count of a PDF (pdfinfo), or -1 when it cannot be read.
int PdfPageCount(const QString& pdf);

// One page (from 1) of a PDF rendered by pdftoppm at dpi; a null image when
// it cannot be rendered.
QImage RenderPdfPage(const QString& pdf, int page, int dpi);
