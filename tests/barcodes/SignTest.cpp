// A sign with a barcode of every symbology of the Code 128 and EAN/UPC
// families, one with every other linear symbology and one with every
// two-dimensional and GS1 DataBar kind: saved, reopened, printed to PDF
// through the print loop, and each symbol read back by a reader from the
// page poppler renders at 300 and at 600 dpi (the symbols no reader of the
// tests takes come back bar for bar as they were saved).

#include "BarcodeTestSupport.h"
#include "LinearCases.h"

#include "ElementList.h"
#include "GS1DataBar.h"
#include "ModelClasses.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "SignData.h"
#include "VariableParts.h"

#include <QFile>
#include <QImage>
#include <QPainter>

using namespace barcode_test;

namespace {

// A rectangle of the sign (tenths of a millimetre) cut from a page image.
QImage Crop(const QImage& page, const CRect& tmm, int dpi)
{
    const double px = dpi / 254.0;
    const QRect area(QPoint(int(tmm.left * px), int(tmm.top * px)),
                     QPoint(int(tmm.right * px), int(tmm.bottom * px)));
    return page.copy(area.intersected(page.rect()));
}

class SignFixture : public BarcodeFixture
{
protected:
    void SetUp() override
    {
        BarcodeFixture::SetUp();
        savedHooks = SignHooks();
        RegisterModelElementClasses();
        RegisterVariableSignParts();
        RegisterBarcodeClasses();
        ThePaper().Init(QStringLiteral("A4"));
        ASSERT_TRUE(ThePaper().SelectStock(QStringLiteral("A4")));
    }
    void TearDown() override
    {
        SignHooks() = savedHooks;
        BarcodeFixture::TearDown();
    }

    CSignHooks savedHooks;
};

void SaveReopenPrintAndRead(const std::vector<SymbolCase>& cases, const QTemporaryDir& home,
                            bool linear)
{
    CSignData doc;
    doc.m_title = QStringLiteral("Every barcode");
    // Rows across one A4 sheet, each symbol a centimetre from the next:
    // room for the quiet zones.
    std::vector<QString> stored;
    std::vector<std::vector<BYTE>> patterns;
    int x = 100, rowTop = 100, rowBottom = 100;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SymbolCase& c = cases[i];
        SCOPED_TRACE(c.what);
        auto* barcode = dynamic_cast<CBarcode*>(
            TheElementList().CreateElement(QString::fromLatin1(c.className)));
        ASSERT_NE(barcode, nullptr);
        ASSERT_TRUE(barcode->SetAddOnDigits(c.addOn));
        if (c.prepare)
            c.prepare(*barcode);
        barcode->m_data = barcode->m_sampleData = QString::fromUtf8(c.data);
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
        if (x > 100 && x + barcode->m_bounds.Width() > 2000) {
            x = 100;
            rowTop = rowBottom + 100;
        }
        barcode->m_origin = CPoint(x, rowTop);
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
        ASSERT_FALSE(barcode->IsShowingInvalid());
        x = barcode->m_bounds.right + 100;
        rowBottom = std::max(rowBottom, barcode->m_bounds.bottom);
        // EAN-128 data is kept with its leading FNC1.
        stored.push_back(barcode->m_data);
        patterns.push_back(barcode->m_pattern);
    }
    ASSERT_LE(rowBottom, 2870) << "the symbols fit the sheet";
    ASSERT_EQ(TheElementList().GetCount(), int(cases.size()));
    const QString signPath = home.filePath(QStringLiteral("barcodes.sgn"));
    ASSERT_TRUE(doc.OnSaveDocument(signPath));

    // Reopened into a fresh sign: the elements come from the file alone.
    TheElementList().DeleteAll();
    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(signPath));
    ASSERT_EQ(TheElementList().GetCount(), int(cases.size()));
    std::vector<CRect> areas;
    std::vector<CRect> bars;
    std::vector<int> bearers; // ITF-14's, tenths of a millimetre
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SymbolCase& c = cases[i];
        SCOPED_TRACE(c.what);
        auto* barcode = dynamic_cast<CBarcode*>(TheElementList().GetAt(int(i)));
        ASSERT_NE(barcode, nullptr);
        EXPECT_STREQ(barcode->GetRuntimeClass()->m_className, c.className);
        EXPECT_EQ(barcode->m_data, stored[i]);
        EXPECT_EQ(barcode->GetAddOnDigits(), c.addOn);
        EXPECT_FALSE(barcode->IsShowingInvalid());
        EXPECT_EQ(barcode->m_pattern, patterns[i]);
        barcode->RecalcPosition(nullptr);
        areas.push_back(barcode->m_bounds);
        bars.push_back(barcode->m_barRect);
        bearers.push_back(
            barcode->GetSymbologyId() == SYM_ITF14
                ? RoundHalfUp(barcode->m_margins[2] * 254.0 / barcode->ResolutionAcross())
                : 0);
    }
    // No two symbols share a quiet zone.
    for (std::size_t i = 0; i < areas.size(); ++i) {
        for (std::size_t j = i + 1; j < areas.size(); ++j) {
            const CRect& a = areas[i];
            const CRect& b = areas[j];
            const bool apart = a.right + 80 <= b.left || b.right + 80 <= a.left ||
                               a.bottom + 80 <= b.top || b.bottom + 80 <= a.top;
            EXPECT_TRUE(apart) << i << " and " << j;
        }
    }

    const QString pdf = home.filePath(QStringLiteral("barcodes.pdf"));
    ASSERT_TRUE(ThePrinter().PrintSign(loaded, 1, pdf, 0));
    ASSERT_TRUE(ThePrinter().EndJob());
    ASSERT_TRUE(QFile::exists(pdf));
    for (const int dpi : {300, 600}) {
        SCOPED_TRACE(testing::Message() << dpi << " dpi");
        const QImage page = RenderPdfPage(pdf, 1, dpi);
        ASSERT_FALSE(page.isNull()) << "pdftoppm could not render the page";

        for (std::size_t i = 0; i < cases.size(); ++i) {
            const SymbolCase& c = cases[i];
            SCOPED_TRACE(c.what);
            CRect area = areas[i];
            area.InflateRect(40, 40, 40, 40);
            if (c.format == ZXing::BarcodeFormat::None) {
                // Printed all the same: every bar of the pattern is on the page,
                // counted along a line that each bar crosses (near the foot of
                // Postnet's, near the top of MS 7's, the middle of the others).
                const CRect& b = bars[i];
                const std::string what = c.what;
                const double at = what == "Postnet" ? 0.9 : what == "MS 7" ? 0.1 : 0.5;
                const int y = int((b.top + at * b.Height()) * dpi / 254.0);
                int runs = 0;
                bool dark = false;
                // Two dots in from the bar rectangle: the MS 7 frame lies just
                // outside it.
                const int from = int(b.left * dpi / 254.0) + 2;
                for (int px = from; px < int(b.right * dpi / 254.0) - 2; ++px) {
                    const bool ink = qGray(page.pixel(px, y)) < 128;
                    runs += ink && !dark ? 1 : 0;
                    dark = ink;
                }
                const std::size_t n = patterns[i].size();
                const bool postal = what == "Postnet" || what == "Royal Mail 4-state";
                EXPECT_EQ(runs, int(postal ? n : (n + 1) / 2));
                continue;
            }
            QImage symbol = Crop(page, area, dpi);
            if (bearers[i] > 0) {
                // The reader of the tests wants a wider light margin than the
                // ten narrow bars inside ITF-14's bearers: the side bearers are
                // painted out.
                const int left = int((bars[i].left - area.left) * dpi / 254.0);
                const int right = int((bars[i].right - area.left) * dpi / 254.0);
                const int t = int(bearers[i] * dpi / 254.0) + 8; // and the rounding of the page
                QPainter painter(&symbol);
                painter.fillRect(QRect(left - 4, 0, t, symbol.height()), Qt::white);
                painter.fillRect(QRect(right - t + 4, 0, t, symbol.height()), Qt::white);
            }
            const Decoded decoded = linear ? DecodeLinear(symbol, c.format)
                                           : Decode(symbol, c.format,
                                                    c.addOn ? ZXing::EanAddOnSymbol::Require
                                                            : ZXing::EanAddOnSymbol::Ignore);
            EXPECT_TRUE(decoded.valid);
            EXPECT_EQ(decoded.format, c.format);
            EXPECT_EQ(decoded.text, c.decoded);
            EXPECT_EQ(decoded.gs1, c.gs1) << decoded.symbologyIdentifier;
        }
    }
}

} // namespace

TEST_F(SignFixture, ASignOfEveryBarcodeIsSavedReopenedPrintedAndRead)
{
    SaveReopenPrintAndRead(EverySymbol(), home, false);
}

TEST_F(SignFixture, ASignOfEveryOtherLinearBarcodeIsSavedReopenedPrintedAndRead)
{
    SaveReopenPrintAndRead(LinearSymbols(), home, true);
}

TEST_F(SignFixture, ASignOfEveryMatrixSymbolIsSavedReopenedPrintedAndRead)
{
    using F = ZXing::BarcodeFormat;
    const auto expanded = [](DWORD segmentsPerRow) {
        return [segmentsPerRow](CBarcode& barcode) {
            auto& bar = dynamic_cast<CGS1DataBar&>(barcode);
            bar.SetDataBarType(CGS1DataBar::kExpanded - 1);
            bar.m_setting = segmentsPerRow;
        };
    };
    const auto kind = [](int dataBarKind) {
        return [dataBarKind](CBarcode& barcode) {
            dynamic_cast<CGS1DataBar&>(barcode).SetDataBarType(dataBarKind - 1);
        };
    };
    const std::vector<SymbolCase> cases = {
        {"Data Matrix", "CDataMatrix", "Shelf 4, row 2: 12 x Pears", 0, F::DataMatrix,
         "Shelf 4, row 2: 12 x Pears"},
        {"GS1 Data Matrix", "CGS1DMatrix", "(01)09501101530003(17)261231(10)L-7", 0, F::DataMatrix,
         "01095011015300031726123110L-7", true},
        {"PDF417", "CPDF417", "PDF417 on a shelf label", 0, F::PDF417, "PDF417 on a shelf label"},
        {"QR Code", "CQRCode", "https://example.com/p?id=%D049%D050", 0, F::QRCode,
         "https://example.com/p?id=12"},
        {"GS1 DataBar", "CGS1DataBar", "0109501101530003", 0, F::DataBar, "09501101530003"},
        // Text beyond ASCII reads back as typed.
        {"Data Matrix, text beyond ASCII", "CDataMatrix", "Preis 5 € café Straße", 0, F::DataMatrix,
         "Preis 5 € café Straße"},
        {"PDF417, text beyond ASCII", "CPDF417", "Preis 5 € café Straße", 0, F::PDF417,
         "Preis 5 € café Straße"},
        {"QR Code, text beyond ASCII", "CQRCode", "Preis 5 € café Straße", 0, F::QRCode,
         "Preis 5 € café Straße"},
        // The other kinds a reader of the tests takes (none reads Limited).
        {"GS1 DataBar Truncated", "CGS1DataBar", "0109501101530003", 0, F::DataBar,
         "09501101530003", false, kind(CGS1DataBar::kTruncated)},
        {"GS1 DataBar Stacked", "CGS1DataBar", "0109501101530003", 0, F::DataBar, "09501101530003",
         false, kind(CGS1DataBar::kStacked)},
        {"GS1 DataBar Stacked Omnidirectional", "CGS1DataBar", "0109501101530003", 0, F::DataBar,
         "09501101530003", false, kind(CGS1DataBar::kStackedOmnidirectional)},
        // The reader gives an Expanded symbol's element string with its
        // identifiers in brackets, on one row or stacked.
        {"GS1 DataBar Expanded", "CGS1DataBar", "(01)09501101530003(10)ABC123(21)4711", 0,
         F::DataBarExpanded, "(01)09501101530003(10)ABC123(21)4711", false, expanded(22)},
        {"GS1 DataBar Expanded Stacked", "CGS1DataBar", "(01)09501101530003(10)ABC123(21)4711", 0,
         F::DataBarExpanded, "(01)09501101530003(10)ABC123(21)4711", false, expanded(4)},
    };
    SaveReopenPrintAndRead(cases, home, false);
}
