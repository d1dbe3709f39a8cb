// Every symbology of the Code 128 and EAN/UPC families made for printers of
// 203, 300 and 600 dpi: the module widths are whole printer dots, and a
// reader decodes both the symbol bitmap with a quiet zone around it and the
// element drawn at that resolution.

#include "BarcodeTestSupport.h"

#include "Code128.h"
#include "EanUpc.h"

#include <QPainter>

#include <cstring>
#include <vector>

using namespace barcode_test;

namespace {

// The symbol bitmap as the printer receives it, with the add-on's to its
// right and bottom-aligned as the element places it, on white with a quiet
// zone of that many pixels all round.
QImage SymbolWithQuietZone(const CBarcode& barcode, int border)
{
    const QImage symbol = barcode.m_bitmap.convertToFormat(QImage::Format_Grayscale8);
    QImage addOn;
    if (barcode.m_addOn && !barcode.m_addOn->m_bitmap.isNull())
        addOn = barcode.m_addOn->m_bitmap.convertToFormat(QImage::Format_Grayscale8);
    QImage out(symbol.width() + addOn.width() + 2 * border,
               std::max(symbol.height(), addOn.height()) + 2 * border, QImage::Format_Grayscale8);
    out.fill(255);
    QPainter painter(&out);
    painter.drawImage(border, border, symbol);
    if (!addOn.isNull())
        painter.drawImage(border + symbol.width(), border + symbol.height() - addOn.height(),
                          addOn);
    return out;
}

// The lengths of the runs of one colour along a row of a 1-bit bitmap,
// from the first black pixel to the last.
std::vector<int> Runs(const QImage& mono, int y)
{
    std::vector<int> runs;
    int x = 0;
    while (x < mono.width() && mono.pixelIndex(x, y) != 1)
        ++x;
    int last = mono.width() - 1;
    while (last >= x && mono.pixelIndex(last, y) != 1)
        --last;
    while (x <= last) {
        const int colour = mono.pixelIndex(x, y);
        int length = 0;
        while (x <= last && mono.pixelIndex(x, y) == colour) {
            ++x;
            ++length;
        }
        runs.push_back(length);
    }
    return runs;
}

} // namespace

TEST_F(BarcodeFixture, EverySymbolDecodesAtThreePrinterResolutions)
{
    for (const int dpi : {203, 300, 600}) {
        CBarcode::SetResolutionOverride(dpi);
        ASSERT_EQ(CBarcode::GetResolutionOverride(), dpi);
        for (const SymbolCase& c : EverySymbol()) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(dpi) + " dpi");
            const std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
            ASSERT_NE(barcode, nullptr);
            ASSERT_FALSE(barcode->IsShowingInvalid());
            EXPECT_EQ(barcode->ResolutionAlong(), dpi);
            EXPECT_EQ(barcode->ResolutionAcross(), dpi);

            // The module is the X dimension in whole dots, and every bar and
            // space is a whole number of modules (these styles have no gain).
            ASSERT_NE(barcode->m_style, nullptr);
            const int module = barcode->m_elementWidths[0];
            ASSERT_GE(module, 1);
            EXPECT_LE(std::abs(module - barcode->m_style->xDimension * dpi), 0.5);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(barcode->m_elementWidths[std::size_t(i)], module * (i + 1));
                EXPECT_EQ(barcode->m_elementWidths[std::size_t(i + 4)], module * (i + 1));
            }
            const QImage& bits = barcode->m_bitmap;
            // EAN and UPC bitmaps hold their light margins too, in whole
            // modules, and their guard bars reach below the others.
            const long long extra = bits.width() - barcode->SymbolWidthPixels();
            EXPECT_GE(extra, 0);
            EXPECT_EQ(extra % module, 0);
            EXPECT_GE(bits.height(), barcode->BarHeightPixels());
            for (int run : Runs(bits, bits.height() / 2))
                EXPECT_EQ(run % module, 0) << "a run of " << run << " dots";
            // Drawn at that resolution, one bitmap dot is one printer dot.
            EXPECT_LE(std::abs(barcode->m_barRect.Width() - bits.width() * 254.0 / dpi), 1.0);

            const ZXing::EanAddOnSymbol addOn =
                c.addOn ? ZXing::EanAddOnSymbol::Require : ZXing::EanAddOnSymbol::Ignore;
            const Decoded fromBitmap =
                Decode(SymbolWithQuietZone(*barcode, 12 * module), c.format, addOn);
            EXPECT_TRUE(fromBitmap.valid);
            EXPECT_EQ(fromBitmap.format, c.format);
            EXPECT_EQ(fromBitmap.text, c.decoded);
            EXPECT_EQ(fromBitmap.gs1, c.gs1);

            const Decoded drawn = Decode(Render(*barcode, 80, dpi), c.format, addOn);
            EXPECT_TRUE(drawn.valid);
            EXPECT_EQ(drawn.text, c.decoded);
            EXPECT_EQ(drawn.gs1, c.gs1);
        }
    }
    CBarcode::SetResolutionOverride(0);
    EXPECT_EQ(CBarcode::GetResolutionOverride(), 0);
    CCode128B printers;
    EXPECT_EQ(printers.ResolutionAlong(), ThePrinter().GetPixelsPerInchX());
}

TEST_F(BarcodeFixture, AResolutionOverrideBelowZeroIsIgnored)
{
    CBarcode::SetResolutionOverride(300);
    CBarcode::SetResolutionOverride(-5);
    EXPECT_EQ(CBarcode::GetResolutionOverride(), 300);
}
