// Printed output read back with poppler's tools, as a user would see it.
#pragma once

#include "Types.h"

#include <QImage>
#include <QString>

// The page count of a PDF (pdfinfo), or -1 when it cannot be read.
int PdfPageCount(const QString& pdf);

// The text of the whole PDF as pdftotext reads it (UTF-8); empty when it
// cannot be read.
QString PdfText(const QString& pdf);

// One page (from 1) of a PDF rendered by pdftoppm at dpi; a null image when
// it cannot be rendered.
QImage RenderPdfPage(const QString& pdf, int page, int dpi);

// The dark pixels (grey below darkerThan) of a rendered page inside a
// rectangle in tenths of a millimetre, its edges rounded to the nearest pixel.
int PageInk(const QImage& page, const CRect& r, int dpi, int darkerThan = 128);

// The records of the text-file label runs: a header line "Name,Code", then
// record i (from 1) as a name with accented letters of the Windows-1252 set
// that sign texts hold ("Zoë Brûlée 0001")
// and a code ("TAB0000001"), written as UTF-8 without a byte-order mark, as
// today's spreadsheets save a CSV file. False when it cannot be written.
QString AccentedName(int i);
bool WriteUtf8Records(const QString& path, int count);
