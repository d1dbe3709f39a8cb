#include "PdfSupport.h"

#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>

int PdfPageCount(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(30000) || info.exitCode() != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto match = pages.match(QString::fromLocal8Bit(info.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QImage RenderPdfPage(const QString& pdf, int page, int dpi)
{
    const QString prefix = pdf + QStringLiteral("-page%1-%2dpi").arg(page).arg(dpi);
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                  QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                  QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return {};
    // A sheet at printer resolution is larger than Qt reads by default.
    QImageReader::setAllocationLimit(1024);
    return QImage(prefix + QStringLiteral(".png"));
}
