// What the barcode tests share: a fresh application context per test with
// the virtual 600 dpi printer, rendering of elements and decoding of the
// rendered symbols with zxing-cpp.
#pragma once

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeParts.h"
#include "DC.h"
#include "MessageBox.h"
#include "Printer.h"
#include "Rounding.h"
#include "ScopedEnv.h"
#include "SignApp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "CRect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "CPoint(" << p.x << ", " << p.y << ")";
}

namespace barcode_test {

// The printer and the fonts need a GUI application; the test program has no
// main of its own, so the first test makes one.
inline void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "barcodes_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

class BarcodeFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(home.isValid());
        homeEnv.Set(home.path().toUtf8());
        printerEnv.Set("Tabrel PDF");
        CSignApp::SetProfileFolderForTests(home.filePath(QStringLiteral("profile")));
        context = std::make_unique<CAppContext>();
        RegisterBarcodeClasses();
        ASSERT_TRUE(ThePrinter().EnsurePrinter());
    }
    void TearDown() override { context.reset(); }

    QTemporaryDir home;
    CScopedEnv homeEnv{"TABREL_HOME"};
    CScopedEnv printerEnv{"TABREL_DEFAULT_PRINTER"};
    CMessageResponder messages;
    std::unique_ptr<CAppContext> context;
};

// The element drawn on a white page at the printer's 600 dpi, with a blank
// border of the given width (tenths of a millimetre) around it.
inline QImage Render(CBarcode& barcode, int border = 100, int dpi = 600)
{
    barcode.RecalcPosition(nullptr);
    CRect area = barcode.m_bounds;
    area.InflateRect(border, border, border, border);
    const double widthPx = area.Width() * double(dpi) / 254.0;
    const double heightPx = area.Height() * double(dpi) / 254.0;
    if (widthPx > 20000 || heightPx > 20000)
        return QImage();
    const int width = RoundHalfUp(widthPx);
    const int height = RoundHalfUp(heightPx);
    CImageDC dc(width, height, dpi, dpi);
    dc.SetTenthsMmMapping(dpi, dpi);
    dc.SetWindowOrg(area.left, area.top);
    barcode.Draw(&dc, area);
    return dc.Image().convertToFormat(QImage::Format_Grayscale8);
}

// The symbol bitmap alone, with a white quiet zone of that many pixels.
inline QImage WithQuietZone(const QImage& symbol, int border)
{
    QImage out(symbol.width() + 2 * border, symbol.height() + 2 * border,
               QImage::Format_Grayscale8);
    out.fill(255);
    const QImage grey = symbol.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        memcpy(out.scanLine(y + border) + border, grey.constScanLine(y), size_t(grey.width()));
    return out;
}

struct Decoded
{
    bool valid = false;
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
    std::string text;
    std::string symbologyIdentifier;
    bool gs1 = false;
};

inline Decoded Decode(const QImage& image, ZXing::BarcodeFormats formats,
                      ZXing::EanAddOnSymbol addOn = ZXing::EanAddOnSymbol::Ignore)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setEanAddOnSymbol(addOn);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    Decoded out;
    out.valid = result.isValid();
    out.format = result.format();
    out.text = result.text();
    out.symbologyIdentifier = result.symbologyIdentifier();
    out.gs1 = result.contentType() == ZXing::ContentType::GS1;
    return out;
}

// One symbol of each symbology of the Code 128 and EAN/UPC families, with
// what a reader gives back: the data with its check characters, GS1 element
// strings with the group separator between fields, add-on digits after a
// space.
struct SymbolCase
{
    const char* what;
    const char* className;
    const char* data;
    int addOn; // add-on digits, 0 for none
    ZXing::BarcodeFormat format;
    std::string decoded;
    bool gs1 = false;
    // Settings the symbol takes before its data (a DataBar's kind), if any.
    std::function<void(CBarcode&)> prepare = nullptr;
};

inline const std::vector<SymbolCase>& EverySymbol()
{
    using F = ZXing::BarcodeFormat;
    static const std::vector<SymbolCase> cases = {
        {"Code 128 A", "CCode128A", "CODE128 A", 0, F::Code128, "CODE128 A"},
        {"Code 128 B", "CCode128B", "Code 128 b!", 0, F::Code128, "Code 128 b!"},
        {"Code 128 C", "CCode128C", "0123456789", 0, F::Code128, "0123456789"},
        {"Code 128 Auto", "CCode128Auto", "Auto 123456 x", 0, F::Code128, "Auto 123456 x"},
        {"EAN-128", "CEan128", "010950110102091710ABC", 0, F::Code128, "010950110102091710ABC",
         true},
        {"EAN-128 A", "CEan128A", "10ABC%1211234", 0, F::Code128,
         "10ABC\x1d"
         "211234",
         true},
        {"EAN-128 B", "CEan128B", "21abc%11012", 0, F::Code128,
         "21abc\x1d"
         "1012",
         true},
        {"EAN-128 C", "CEan128C", "0109501101020917", 0, F::Code128, "0109501101020917", true},
        {"GS1-128", "CUccEan128", "01095011010209173103000123", 0, F::Code128,
         "01095011010209173103000123", true},
        {"EAN-13", "CEan13", "501234567890", 0, F::EAN13, "5012345678900"},
        {"EAN-8", "CEan8", "0123456", 0, F::EAN8, "01234565"},
        {"UPC-A", "CUpcA", "03600029145", 0, F::UPCA, "036000291452"},
        {"UPC-E", "CUpcE", "425261", 0, F::UPCE, "04252614"},
        {"UPC-E number system 1", "CUpcESys1", "012345", 0, F::UPCE, "10123454"},
        {"EAN-13 with 2 digits", "CEan13", "50123456789012", 2, F::EAN13, "5012345678900 12"},
        {"EAN-13 with 5 digits", "CEan13", "50123456789051234", 5, F::EAN13, "5012345678900 51234"},
    };
    return cases;
}

// The element of a case, with its data and add-on, regenerated; null when
// the class is unknown.
inline std::unique_ptr<CBarcode> MakeSymbol(const SymbolCase& c)
{
    const CRuntimeClass* type = CRuntimeClass::FromName(c.className);
    if (!type)
        return nullptr;
    std::unique_ptr<CBarcode> barcode(dynamic_cast<CBarcode*>(type->CreateObject()));
    if (!barcode)
        return nullptr;
    if (!barcode->SetAddOnDigits(c.addOn))
        return nullptr;
    barcode->m_data = QString::fromLatin1(c.data);
    barcode->ComputeLayout();
    barcode->Regenerate();
    barcode->RecalcPosition(nullptr);
    return barcode;
}

} // namespace barcode_test
