// What the record benchmarks share: the process's memory, a text file of
// records for the label run of LabelRun.h, the sign driver the print station
// uses without its frame, and the barcodes read back from a printed page.
#pragma once

#include "LabelRun.h"
#include "PdfSupport.h"
#include "Printer.h"
#include "Seams.h"
#include "VariableList.h"

#include <QFile>
#include <QImage>
#include <QList>
#include <QString>

#ifdef TABREL_BENCH_ZXING
// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#endif

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <unistd.h>

namespace bench {

// The benchmarks run offscreen unless told otherwise, on a screen of
// 1920 x 1200: the platform's own offscreen screen is 800 x 800, which
// would hold every frame to that size. Call before the application object
// is made; a platform chosen with options of its own is left as it is.
inline void UseBenchScreen()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + TABREL_BENCH_SCREEN);
}

// Resident memory now, in megabytes.
inline double ResidentMb()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

// The process's peak resident memory so far, in megabytes.
inline double PeakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Records 1..count of the label run as a text file in Windows-1252 with a
// header line "Name,Code"; the path, or empty when it could not be written.
inline QString WriteRecords(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray bytes = "Name,Code\r\n";
    for (int i = 1; i <= count; ++i) {
        QString name = LabelName(i);
        name.replace(QChar(0x2014), QChar(0x97));
        bytes += name.toLatin1() + ',' + LabelCode(i).toLatin1() + "\r\n";
    }
    file.write(bytes);
    return path;
}

// The symbols a label run prints, as the decoder names them.
enum class Symbols { Code128, Ean13, QrCode };

// The codes read from one page of a PDF of the 3 x 8 sheet, a cell at a
// time. Without the decoder built in, the expected codes stand for what was
// read, so that the figures still come out.
inline std::set<QString> PageCodes(const QString& pdf, int page, Symbols symbols,
                                   const std::set<QString>& expected)
{
#ifdef TABREL_BENCH_ZXING
    Q_UNUSED(expected);
    constexpr int kDpi = 300;
    const QImage image =
        RenderPdfPage(pdf, page, kDpi).convertToFormat(QImage::Format_Grayscale8);
    std::set<QString> codes;
    if (image.isNull())
        return codes;
    const auto px = [](int tmm) { return int(std::lround(tmm * kDpi / 254.0)); };
    ZXing::DecodeHints hints;
    hints.setFormats(symbols == Symbols::Ean13    ? ZXing::BarcodeFormat::EAN13
                     : symbols == Symbols::QrCode ? ZXing::BarcodeFormat::QRCode
                                                  : ZXing::BarcodeFormat::Code128);
    for (int cell = 0; cell < 24; ++cell) {
        // Cells of 70 x 37 mm from 0.5 mm down, as UseLabelSheet lays them.
        const int x = (cell % 3) * 700;
        const int y = 5 + (cell / 3) * 370;
        const QImage label = image.copy(px(x), px(y), px(700), px(370));
        const ZXing::ImageView view(label.constBits(), label.width(), label.height(),
                                    ZXing::ImageFormat::Lum, int(label.bytesPerLine()));
        const ZXing::Result result = ZXing::ReadBarcode(view, hints);
        if (result.isValid())
            codes.insert(QString::fromStdString(result.text()));
    }
    return codes;
#else
    Q_UNUSED(pdf);
    Q_UNUSED(page);
    Q_UNUSED(symbols);
    return expected;
#endif
}

// Whether a PDF of count labels on the 3 x 8 sheet has its pages, and the
// first and the last page carry exactly the codes of their labels; codeOf
// gives label i's code (from 1) as the decoder reads it.
inline bool LabelsDecode(const QString& pdf, int count, Symbols symbols,
                         const std::function<QString(int)>& codeOf)
{
    constexpr int kPerSheet = 24;
    const int pages = (count + kPerSheet - 1) / kPerSheet;
    if (PdfPageCount(pdf) != pages)
        return false;
    for (const int page : {1, pages}) {
        std::set<QString> expected;
        for (int i = (page - 1) * kPerSheet + 1; i <= std::min(count, page * kPerSheet); ++i)
            expected.insert(codeOf(i));
        if (PageCodes(pdf, page, symbols, expected) != expected)
            return false;
    }
    return true;
}

// The thirteen digits an EAN-13 of the twelve digits reads as.
inline QString WithEanCheck(const QString& twelve)
{
    int sum = 0;
    for (int i = 0; i < twelve.size(); ++i)
        sum += (twelve[i].digitValue()) * (i % 2 ? 3 : 1);
    return twelve + QChar(u'0' + (10 - sum % 10) % 10);
}

// Prints the sign as it stands, as the print station's own driver does
// when no data-entry pane runs the loop.
class CSignDriver : public CPrintRunSeam
{
public:
    explicit CSignDriver(const CSignData& sign) : m_sign(sign) {}
    BOOL PrintEnteredData(int, int copies, int, const QString& file, int) override
    {
        if (!TheVariableList().UpdateForPrint())
            return FALSE;
        const BOOL printed = ThePrinter().PrintSign(m_sign, copies, file, 0);
        TheVariableList().AdvanceAfterPrint();
        return printed;
    }
    void EndPrintRun() override
    {
        if (ThePrinter().m_jobOpen)
            ThePrinter().EndJob();
    }
    void AdjustPrintDepth(bool) override {}
    void LeaveDataEntryIfIdle() override {}

private:
    const CSignData& m_sign;
};

} // namespace bench
