// Code 39, Code 93, Codabar, Interleaved 2 of 5 and ITF-14 made for
// printers of 203, 300 and 600 dpi: whole-dot elements, and a reader decodes
// both the symbol bitmap and the element drawn at that resolution, as the
// printer puts them on paper.

#include "LinearCases.h"

#include <QPainter>

using namespace barcode_test;

namespace {

QImage OnWhite(const QImage& symbol, int border)
{
    QImage out(symbol.width() + 2 * border, symbol.height() + 2 * border,
               QImage::Format_Grayscale8);
    out.fill(255);
    QPainter painter(&out);
    painter.drawImage(border, border, symbol.convertToFormat(QImage::Format_Grayscale8));
    return out;
}

// What the printer makes of a symbol: its ink spreads, each bar growing
// by the print gain that the symbol's spaces were widened by. Without it a
// reader would see spaces a dot wider than the bars.
QImage InkSpread(const QImage& image, int gain)
{
    QImage out = image.convertToFormat(QImage::Format_Grayscale8);
    if (gain <= 0)
        return out;
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        int ink = 0;
        for (int x = 0; x < out.width(); ++x) {
            if (row[x] < 128)
                ink = gain + 1;
            else if (ink > 0)
                row[x] = 0;
            if (ink > 0)
                --ink;
        }
    }
    return out;
}

// A symbol is read as printed, from its dots as made (a printer that
// does not spread) to its bars grown by the whole gain; the reader of the
// tests is strict about a one-dot difference at the narrowest elements, so
// either reading counts.
Decoded DecodeAsPrinted(const QImage& image, ZXing::BarcodeFormats formats, int gain)
{
    const Decoded exact = DecodeLinear(image, formats);
    return exact.valid || gain == 0 ? exact : DecodeLinear(InkSpread(image, gain), formats);
}

// The image with the bearers down an ITF-14 symbol's sides painted white:
// the reader of the tests wants a wider light margin than the ten narrow
// bars between bearer and bars that the symbol has (and a reader needs).
QImage WithoutSideBearers(const QImage& image, const CBarcode& barcode, int left)
{
    QImage out = image.convertToFormat(QImage::Format_Grayscale8);
    if (barcode.GetSymbologyId() != SYM_ITF14)
        return out;
    const int bearer = barcode.m_margins[2];
    const int right = left + barcode.m_bitmap.width();
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        for (int x = std::max(0, left - 1); x < std::min(out.width(), left + bearer + 1); ++x)
            row[x] = 255;
        for (int x = std::max(0, right - bearer - 1); x < std::min(out.width(), right + 1); ++x)
            row[x] = 255;
    }
    return out;
}

std::unique_ptr<CBarcode> Make(const char* className, const QString& data)
{
    SymbolCase c{"", className, "", 0, ZXing::BarcodeFormat::None, ""};
    std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
    if (barcode) {
        barcode->m_data = data;
        barcode->ComputeLayout();
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
    }
    return barcode;
}

} // namespace

TEST_F(BarcodeFixture, LinearSymbolsDecodeAtThreePrinterResolutions)
{
    // Besides the cases every test shares: a Code 93 long enough for both
    // check weights to wrap, lower case taken as capitals, Code 39 without
    // its check character, and digit groups typed with spaces.
    struct Extra
    {
        const char* className;
        const char* data;
        BOOL calculateCheck;
        ZXing::BarcodeFormat format;
        const char* decoded;
    };
    using F = ZXing::BarcodeFormat;
    const Extra extras[] = {
        {"CCode93", "THE QUICK BROWN FOX JUMPS 0123456789", TRUE, F::Code93,
         "THE QUICK BROWN FOX JUMPS 0123456789"},
        {"CCode93", "lower case", TRUE, F::Code93, "LOWER CASE"},
        {"CCode39", "code-39 $/+%", FALSE, F::Code39, "CODE-39 $/+%"},
        {"CInterleaved2of5", "1234 5678", FALSE, F::ITF, "12345678"},
        {"CInterleaved2of5", "123456", FALSE, F::ITF, "123456"},
        {"CITF14", "0 40 06381 33393 9", TRUE, F::ITF, "04006381333931"},
        {"CCodabar", "c0123456789d", FALSE, F::Codabar, "C0123456789D"},
    };
    struct Case
    {
        std::string what;
        std::unique_ptr<CBarcode> barcode;
        ZXing::BarcodeFormat format;
        std::string decoded;
    };
    for (const int dpi : {203, 300, 600}) {
        CBarcode::SetResolutionOverride(dpi);
        std::vector<Case> cases;
        for (const SymbolCase& c : LinearSymbols()) {
            if (c.format != F::None)
                cases.push_back({c.what, MakeSymbol(c), c.format, c.decoded});
        }
        for (const Extra& e : extras) {
            SymbolCase c{"", e.className, e.data, 0, e.format, e.decoded};
            std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
            ASSERT_NE(barcode, nullptr);
            barcode->m_calculateCheck = e.calculateCheck;
            barcode->Regenerate();
            barcode->RecalcPosition(nullptr);
            cases.push_back(
                {std::string(e.className) + " " + e.data, std::move(barcode), e.format, e.decoded});
        }
        for (Case& c : cases) {
            SCOPED_TRACE(c.what + " at " + std::to_string(dpi) + " dpi");
            ASSERT_NE(c.barcode, nullptr);
            CBarcode& barcode = *c.barcode;
            ASSERT_FALSE(barcode.IsShowingInvalid());
            // Narrow and wide elements (or modules) in whole dots, the
            // narrow one the X dimension rounded.
            const auto& w = barcode.m_elementWidths;
            ASSERT_NE(barcode.m_style, nullptr);
            EXPECT_LE(std::abs(w[0] - barcode.m_style->xDimension * dpi), 0.5);
            long long sum = barcode.SymbolWidthPixels();
            EXPECT_LE(sum, barcode.m_bitmap.width());
            EXPECT_EQ(barcode.m_bitmapSize.cx, barcode.m_bitmap.width());

            const int module = w[0];
            const int gain = w[4] - w[0];
            const QImage symbol =
                WithoutSideBearers(OnWhite(barcode.m_bitmap, 15 * module), barcode, 15 * module);
            const Decoded fromBitmap = DecodeAsPrinted(symbol, c.format, gain);
            EXPECT_TRUE(fromBitmap.valid);
            EXPECT_EQ(fromBitmap.format, c.format);
            EXPECT_EQ(fromBitmap.text, c.decoded);

            const int barsLeft =
                RoundHalfUp((barcode.m_barRect.left - barcode.m_bounds.left + 100) * dpi / 254.0);
            const QImage page = WithoutSideBearers(Render(barcode, 100, dpi), barcode, barsLeft);
            const Decoded drawn = DecodeAsPrinted(page, c.format, gain);
            EXPECT_TRUE(drawn.valid);
            EXPECT_EQ(drawn.text, c.decoded);
        }
    }
    CBarcode::SetResolutionOverride(0);
}

TEST_F(BarcodeFixture, ItfFourteenHasQuietZonesAndABearerFrame)
{
    CBarcode::SetResolutionOverride(300);
    std::unique_ptr<CBarcode> itf = Make("CITF14", QStringLiteral("1540014128876"));
    ASSERT_NE(itf, nullptr);
    ASSERT_FALSE(itf->IsShowingInvalid());
    const int n = itf->m_elementWidths[0];
    const QImage& bits = itf->m_bitmap;
    ASSERT_EQ(itf->m_margins,
              (std::vector<WORD>{WORD(12 * n), WORD(12 * n), WORD(2 * n), WORD(2 * n)}));
    // The frame is black all round, 2 n thick; inside it the quiet zones are
    // white up to the first bar.
    for (int x = 0; x < bits.width(); x += 7) {
        EXPECT_EQ(bits.pixelIndex(x, 0), 1);
        EXPECT_EQ(bits.pixelIndex(x, 2 * n - 1), 1);
        EXPECT_EQ(bits.pixelIndex(x, bits.height() - 1), 1);
    }
    const int middle = bits.height() / 2;
    for (int x = 0; x < 2 * n; ++x) {
        EXPECT_EQ(bits.pixelIndex(x, middle), 1);
        EXPECT_EQ(bits.pixelIndex(bits.width() - 1 - x, middle), 1);
    }
    for (int x = 2 * n; x < 12 * n; ++x) {
        EXPECT_EQ(bits.pixelIndex(x, middle), 0) << x;
        EXPECT_EQ(bits.pixelIndex(bits.width() - 1 - x, middle), 0) << x;
    }
    EXPECT_EQ(bits.pixelIndex(12 * n, middle), 1);

    // Marked not to be printed, the frame is seen in light grey.
    itf->m_notPrinted = TRUE;
    const QImage page = Render(*itf, 50, 300);
    const int border = RoundHalfUp(50 * 300 / 254.0);
    EXPECT_EQ(qGray(page.pixel(border + bits.width() / 2, border + n / 2)), 192);
    EXPECT_EQ(qGray(page.pixel(border + n / 2, border + bits.height() / 2)), 192);
    EXPECT_EQ(qGray(page.pixel(border + 12 * n + n / 2, border + bits.height() / 2)), 0)
        << "the bars stay black";
    CBarcode::SetResolutionOverride(0);
}
