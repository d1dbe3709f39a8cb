// A sign with a barcode of every symbology of the Code 128 and EAN/UPC
// families: saved, reopened, printed to PDF through the print loop, and each
// symbol read back by a reader from the page poppler renders.

#include "BarcodeTestSupport.h"

#include "ElementList.h"
#include "ModelClasses.h"
#include "Paper.h"
#include "SignData.h"
#include "VariableParts.h"

#include <QFile>
#include <QImage>
#include <QProcess>

using namespace barcode_test;

namespace {

// The first page of a PDF as poppler renders it.
QImage RenderFirstPage(const QString& pdf, int dpi)
{
    QProcess render;
    const QString prefix = pdf + QStringLiteral("-page");
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
                  QStringLiteral("-l"), QStringLiteral("1"), pdf, prefix});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return QImage();
    return QImage(prefix + QStringLiteral(".png"));
}

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

} // namespace

TEST_F(SignFixture, ASignOfEveryBarcodeIsSavedReopenedPrintedAndRead)
{
    const std::vector<SymbolCase>& cases = EverySymbol();
    CSignData doc;
    doc.m_title = QStringLiteral("Every barcode");
    // Two columns on one A4 sheet, each symbol a centimetre below the one
    // above it: room for the quiet zones.
    std::vector<QString> stored;
    int bottom[2] = {0, 0};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SymbolCase& c = cases[i];
        SCOPED_TRACE(c.what);
        auto* barcode = dynamic_cast<CBarcode*>(
            TheElementList().CreateElement(QString::fromLatin1(c.className)));
        ASSERT_NE(barcode, nullptr);
        ASSERT_TRUE(barcode->SetAddOnDigits(c.addOn));
        barcode->m_data = barcode->m_sampleData = QString::fromLatin1(c.data);
        const int column = int(i % 2);
        barcode->m_origin = CPoint(column == 0 ? 100 : 1100, bottom[column] + 100);
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
        ASSERT_FALSE(barcode->IsShowingInvalid());
        bottom[column] = barcode->m_bounds.bottom;
        // EAN-128 data is kept with its leading FNC1.
        stored.push_back(barcode->m_data);
    }
    ASSERT_LE(std::max(bottom[0], bottom[1]), 2870) << "the symbols fit the sheet";
    ASSERT_EQ(TheElementList().GetCount(), int(cases.size()));
    const QString signPath = home.filePath(QStringLiteral("barcodes.sgn"));
    ASSERT_TRUE(doc.OnSaveDocument(signPath));

    // Reopened into a fresh sign: the elements come from the file alone.
    TheElementList().DeleteAll();
    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(signPath));
    ASSERT_EQ(TheElementList().GetCount(), int(cases.size()));
    std::vector<CRect> areas;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SymbolCase& c = cases[i];
        SCOPED_TRACE(c.what);
        auto* barcode = dynamic_cast<CBarcode*>(TheElementList().GetAt(int(i)));
        ASSERT_NE(barcode, nullptr);
        EXPECT_STREQ(barcode->GetRuntimeClass()->m_className, c.className);
        EXPECT_EQ(barcode->m_data, stored[i]);
        EXPECT_EQ(barcode->GetAddOnDigits(), c.addOn);
        EXPECT_FALSE(barcode->IsShowingInvalid());
        barcode->RecalcPosition(nullptr);
        areas.push_back(barcode->m_bounds);
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
    const int dpi = 300;
    const QImage page = RenderFirstPage(pdf, dpi);
    ASSERT_FALSE(page.isNull()) << "pdftoppm could not render the page";

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SymbolCase& c = cases[i];
        SCOPED_TRACE(c.what);
        CRect area = areas[i];
        area.InflateRect(40, 40, 40, 40);
        const Decoded decoded =
            Decode(Crop(page, area, dpi), c.format,
                   c.addOn ? ZXing::EanAddOnSymbol::Require : ZXing::EanAddOnSymbol::Ignore);
        EXPECT_TRUE(decoded.valid);
        EXPECT_EQ(decoded.format, c.format);
        EXPECT_EQ(decoded.text, c.decoded);
        EXPECT_EQ(decoded.gs1, c.gs1);
    }
}
