#include "PdfSupport.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

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

int PageInk(const QImage& page, const CRect& r, int dpi, int darkerThan)
{
    auto px = [dpi](int tmm) { return qRound(tmm * dpi / 254.0); };
    int ink = 0;
    for (int y = std::max(0, px(r.top)); y < std::min(page.height(), px(r.bottom)); ++y)
        for (int x = std::max(0, px(r.left)); x < std::min(page.width(), px(r.right)); ++x)
            ink += qGray(page.pixel(x, y)) < darkerThan;
    return ink;
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

QString PdfText(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!text.waitForFinished(60000) || text.exitCode() != 0)
        return {};
    return QString::fromUtf8(text.readAllStandardOutput());
}

QString AccentedName(int i)
{
    // Letters a sign's texts hold (Windows-1252), as UTF-8 writes them in
    // two bytes and three.
    static const char* const first[] = {"Crème", "Zoë",   "Ångström", "Façade", "Müller",
                                        "Øster", "Señor", "Château",  "Žižek",  "Éclair"};
    static const char* const second[] = {"Brûlée", "Naïve", "Smørrebrød", "Jalapeño",
                                         "Größe",  "Déjà",  "Curaçao",    "Œuvre"};
    const int a = i % 10;
    const int b = (i / 10) % 8;
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromUtf8(first[a]), QString::fromUtf8(second[b]))
        .arg(i, 4, 10, QLatin1Char('0'));
}

bool WriteUtf8Records(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = "Name,Code\r\n";
    for (int i = 1; i <= count; ++i)
        bytes += AccentedName(i).toUtf8() + ",TAB" + QByteArray::number(i).rightJustified(7, '0') +
                 "\r\n";
    return file.write(bytes) == bytes.size() && file.flush();
}
