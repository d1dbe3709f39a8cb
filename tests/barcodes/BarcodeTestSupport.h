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
#include "SignApp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

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
        qputenv("TABREL_HOME", home.path().toUtf8());
        qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        CSignApp::SetProfileFolderForTests(home.filePath(QStringLiteral("profile")));
        context = std::make_unique<CAppContext>();
        RegisterBarcodeClasses();
        ASSERT_TRUE(ThePrinter().EnsurePrinter());
    }
    void TearDown() override { context.reset(); }

    QTemporaryDir home;
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

} // namespace barcode_test
