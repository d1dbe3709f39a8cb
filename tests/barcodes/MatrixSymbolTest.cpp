// The two-dimensional symbols and GS1 DataBar: module geometry on whole
// printer dots, their data rules and escapes, records kept through a save,
// and every symbol read back by a reader at the resolutions of real label
// printers.

#include "BarcodeTestSupport.h"

#include "Archive.h"
#include "DataMatrix.h"
#include "GS1DataBar.h"
#include "SymbolMatrix.h"
#include "TextExport.h"

#include <functional>

using namespace barcode_test;

namespace {

class MatrixFixture : public BarcodeFixture
{
protected:
    void TearDown() override
    {
        CBarcode::SetResolutionOverride(0);
        BarcodeFixture::TearDown();
    }
};

template <class T> std::unique_ptr<T> Make(const QString& data)
{
    auto barcode = std::make_unique<T>();
    barcode->m_data = barcode->m_sampleData = data;
    barcode->Regenerate();
    barcode->RecalcPosition(nullptr);
    return barcode;
}

std::unique_ptr<CGS1DataBar> MakeDataBar(int kind, const QString& data)
{
    auto bar = std::make_unique<CGS1DataBar>();
    bar->SetDataBarType(kind - 1);
    bar->m_data = bar->m_sampleData = data;
    bar->Regenerate();
    return bar;
}

// Stores the element and reads it back as the sign reader does, by class.
template <class T> std::unique_ptr<T> RoundTrip(T& element)
{
    QByteArray bytes;
    {
        CArchive out(&bytes, CArchive::store);
        out.WriteObject(&element);
    }
    CArchive in(&bytes, CArchive::load);
    std::unique_ptr<CBarcode> read(in.ReadObjectOf<CBarcode>());
    auto* same = dynamic_cast<T*>(read.get());
    if (!same)
        return nullptr;
    read.release();
    return std::unique_ptr<T>(same);
}

struct ReadCase
{
    const char* what;
    std::function<std::unique_ptr<CBarcode>()> make;
    ZXing::BarcodeFormat format;
    std::string decoded;
    bool gs1 = false;
};

} // namespace

TEST_F(MatrixFixture, EverySymbolIsReadBackAtLabelPrinterResolutions)
{
    using F = ZXing::BarcodeFormat;
    const QString verse = CDataMatrix().m_data;
    // The reader gives DataBar's GTIN without its identifier, and Expanded's
    // element strings with the identifiers in brackets; it does not read
    // DataBar Limited, whose data rules are tested below.
    const std::vector<ReadCase> cases = {
        {"Data Matrix", [&] { return Make<CDataMatrix>(verse); }, F::DataMatrix,
         verse.toStdString()},
        {"Data Matrix with escapes", [] { return Make<CDataMatrix>("Price %D036 4.99"); },
         F::DataMatrix, "Price $ 4.99"},
        {"GS1 Data Matrix", [] { return Make<CGS1DMatrix>("(01)09501101530003(10)AB12"); },
         F::DataMatrix, "010950110153000310AB12", true},
        {"PDF417", [&] { return Make<CPDF417>(verse); }, F::PDF417, verse.toStdString()},
        {"QR Code", [] { return Make<CQRCode>("https://example.com/?p=%D065%h42"); }, F::QRCode,
         "https://example.com/?p=AB"},
        {"DataBar", [] { return MakeDataBar(CGS1DataBar::kOmnidirectional, "0112345678"); },
         F::DataBar, "00000123456784"},
        {"DataBar Truncated", [] { return MakeDataBar(CGS1DataBar::kTruncated, "09501101530003"); },
         F::DataBar, "09501101530003"},
        {"DataBar Stacked", [] { return MakeDataBar(CGS1DataBar::kStacked, "0109501101530003"); },
         F::DataBar, "09501101530003"},
        {"DataBar Stacked Omnidirectional",
         [] { return MakeDataBar(CGS1DataBar::kStackedOmnidirectional, "0109501101530003"); },
         F::DataBar, "09501101530003"},
        {"DataBar Expanded",
         [] { return MakeDataBar(CGS1DataBar::kExpanded, "(01)09501101530003(10)AB-12"); },
         F::DataBarExpanded, "(01)09501101530003(10)AB-12"},
    };
    for (const int dpi : {203, 300, 600}) {
        CBarcode::SetResolutionOverride(dpi);
        for (const ReadCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(dpi));
            std::unique_ptr<CBarcode> symbol = c.make();
            ASSERT_FALSE(symbol->IsShowingInvalid());
            const Decoded decoded = Decode(WithQuietZone(symbol->m_bitmap, dpi / 4), c.format);
            EXPECT_TRUE(decoded.valid);
            EXPECT_EQ(decoded.text, c.decoded);
            EXPECT_EQ(decoded.gs1, c.gs1) << decoded.symbologyIdentifier;
        }
    }
}

TEST_F(MatrixFixture, ModulesLieOnWholePrinterDots)
{
    CBarcode::SetResolutionOverride(600);
    CSymbolMatrix grid;
    auto matrix = Make<CDataMatrix>("ABC123");
    ASSERT_TRUE(grid.Encode(SymbolKind::DataMatrix, "ABC123", SymbolOptions()));
    // 20 mil at 600 dpi: 12 dots a module.
    EXPECT_EQ(matrix->m_bitmap.width(), grid.Columns() * 12);
    EXPECT_EQ(matrix->m_bitmap.height(), grid.Rows() * 12);

    // PDF417: 12.99 mil is 8 dots; each row three modules high.
    CPDF417 pdf;
    pdf.m_symbolType = 1; // four columns exactly
    pdf.m_columnCount = 4;
    pdf.m_eccType = 1; // level 3
    pdf.m_data = QStringLiteral("ABC123");
    pdf.Regenerate();
    SymbolOptions options;
    options.eccLevel = 3;
    options.pdfColumns = 4;
    ASSERT_TRUE(grid.Encode(SymbolKind::Pdf417, "ABC123", options));
    EXPECT_EQ(pdf.m_bitmap.width(), grid.Columns() * 8);
    EXPECT_EQ(pdf.m_bitmap.height(), grid.Rows() * 8 * 3);
    // By aspect ratio the columns are chosen for the shape asked for: 1:2
    // lies flat, 2:1 stands.
    const QString verse = CDataMatrix().m_data;
    for (const DWORD ratio : {102u, 201u}) {
        CPDF417 shaped;
        shaped.m_aspectRatio = ratio;
        shaped.m_data = verse;
        shaped.Regenerate();
        const double hw = double(shaped.m_bitmap.height()) / shaped.m_bitmap.width();
        EXPECT_NEAR(hw, ratio == 102u ? 0.5 : 2.0, ratio == 102u ? 0.2 : 0.8) << ratio;
    }

    // A Data Matrix size of the table is kept, a rectangle included.
    CDataMatrix sized;
    sized.m_rows = 16;
    sized.m_columns = 36;
    sized.m_data = QStringLiteral("ABC");
    sized.Regenerate();
    EXPECT_EQ(sized.m_bitmap.width(), 36 * 12);
    EXPECT_EQ(sized.m_bitmap.height(), 16 * 12);

    // QR module widths snap to whole dots and are stored snapped.
    struct Snap
    {
        float mils;
        int dpi;
        float snapped;
    } snaps[] = {{15.0f, 600, 15.0f},
                 {15.0f, 203, 3 * 1000.0f / 203},
                 {1.0f, 100, 10.0f},
                 {0.0f, 300, 1000.0f / 300}};
    for (const Snap& s : snaps)
        EXPECT_NEAR(CQRCode::SnappedWidth(s.mils, s.dpi), s.snapped, 1e-3)
            << s.mils << " " << s.dpi;
    CBarcode::SetResolutionOverride(203);
    auto qr = Make<CQRCode>("A");
    EXPECT_NEAR(qr->m_moduleWidth, 3 * 1000.0f / 203, 1e-3);
    EXPECT_EQ(qr->m_bitmap.width(), 21 * 3); // version 1: 21 modules of 3 dots
}

TEST_F(MatrixFixture, QrEscapes)
{
    CQRCode qr;
    struct Case
    {
        const char* typed;
        const char* expanded;
    } cases[] = {
        {"plain", "plain"}, {"%D065", "A"},   {"%d065%d066", "AB"}, {"%D6", "%D6"},
        {"%D6x1", "%6x1"},  {"%H41", "A"},    {"%h4", "%h4"},       {"%HZZ", "%ZZ"},
        {"100%%", "100%"},  {"end%", "end%"}, {"%Q", "%Q"},         {"a\\b", "a\\b"},
        {"%D300", "%300"},
    };
    for (const Case& c : cases) {
        QString text = QString::fromLatin1(c.typed);
        qr.ExpandEscapes(text);
        EXPECT_EQ(text, QString::fromLatin1(c.expanded)) << c.typed;
    }
}

TEST_F(MatrixFixture, DataBarDataRules)
{
    struct Case
    {
        int kind;
        const char* data;
        bool valid;
        const char* humanReadable;
    } cases[] = {
        {CGS1DataBar::kOmnidirectional, "0112345678", true, "(01)00000123456784"},
        // Only a leading "01" is the identifier: other digits are all GTIN.
        {CGS1DataBar::kOmnidirectional, "2012345678", true, "(01)00020123456782"},
        {CGS1DataBar::kOmnidirectional, "0109501101530003", true, "(01)09501101530003"},
        {CGS1DataBar::kOmnidirectional, "01123A5678", false, ""},
        {CGS1DataBar::kLimited, "0109501101530003", true, "(01)09501101530003"},
        {CGS1DataBar::kLimited, "0129501101530003", false, ""},
        {CGS1DataBar::kExpanded, "(01)09501101530003(10)ABC", true, "(01)09501101530003(10)ABC"},
        {CGS1DataBar::kExpanded, "0112345678", true, "(01)00000123456784"},
        {CGS1DataBar::kStacked, "0112345678", true, "(01)00000123456784"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        auto bar = MakeDataBar(c.kind, QString::fromLatin1(c.data));
        EXPECT_EQ(!bar->IsShowingInvalid(), c.valid);
        EXPECT_EQ(bar->m_symbolValid != FALSE, c.valid);
        if (c.valid)
            EXPECT_EQ(bar->m_humanReadable, QString::fromLatin1(c.humanReadable));
        else
            EXPECT_TRUE(bar->m_texts[0].GetText().isEmpty());
    }
    // The stacked kinds hide their text when chosen, the others show it.
    CGS1DataBar bar;
    bar.SetDataBarType(CGS1DataBar::kStacked - 1);
    EXPECT_FALSE(bar.m_showHumanReadable);
    bar.SetDataBarType(CGS1DataBar::kLimited - 1);
    EXPECT_TRUE(bar.m_showHumanReadable);
    EXPECT_EQ(CGS1DataBar::CheckDigit("0950110153000"), 3);
}

TEST_F(MatrixFixture, PlaceholderForDataThatCannotBeEncoded)
{
    CBarcode::SetResolutionOverride(300);
    // Over a QR Code's capacity, and a GS1 symbol without identifiers.
    auto qr = Make<CQRCode>(QString(8000, u'x'));
    EXPECT_TRUE(qr->IsShowingInvalid());
    EXPECT_EQ(qr->m_bitmap.width(), 450); // 1.5 inches
    EXPECT_EQ(qr->m_bitmap.height(), 225);
    auto gs1 = Make<CGS1DMatrix>("no identifiers");
    EXPECT_TRUE(gs1->IsShowingInvalid());
    // The GS1 Data Matrix keeps its function 1 when "%1" separates fields.
    auto fields = Make<CGS1DMatrix>("(10)AB%1(21)12");
    EXPECT_EQ(fields->m_expandedData, QStringLiteral("~1(10)AB~1(21)12"));
}

TEST_F(MatrixFixture, RecordsKeepEveryParameter)
{
    CDataMatrix matrix;
    matrix.m_xDimension = 1500;
    matrix.m_format = 3;
    matrix.m_data = QStringLiteral("kept");
    matrix.m_origin = CPoint(120, 340);
    matrix.m_orientation = 90;
    matrix.Regenerate();
    auto m2 = RoundTrip(matrix);
    EXPECT_EQ(m2->m_xDimension, 1500u);
    EXPECT_EQ(m2->m_format, 3u);
    EXPECT_EQ(m2->m_data, QStringLiteral("kept"));
    EXPECT_EQ(m2->m_origin, CPoint(120, 340));
    EXPECT_EQ(m2->m_orientation, 90);
    EXPECT_EQ(m2->m_bitmap.size(), matrix.m_bitmap.size());

    CPDF417 pdf;
    pdf.m_rowAspect = 4;
    pdf.m_truncate = 1;
    pdf.Regenerate();
    auto p2 = RoundTrip(pdf);
    EXPECT_EQ(p2->m_rowAspect, 4u);
    EXPECT_EQ(p2->m_truncate, 1u);
    EXPECT_EQ(p2->m_bitmap.size(), pdf.m_bitmap.size());

    CQRCode qr;
    qr.m_level = 2;
    qr.m_mask = 5;
    qr.Regenerate();
    auto q2 = RoundTrip(qr);
    EXPECT_EQ(q2->m_level, 2);
    EXPECT_EQ(q2->m_mask, 5);
    EXPECT_FLOAT_EQ(q2->m_moduleWidth, qr.m_moduleWidth);
    EXPECT_EQ(q2->m_bitmap, qr.m_bitmap);

    CGS1DataBar bar;
    bar.SetDataBarType(CGS1DataBar::kExpanded - 1);
    bar.m_data = QStringLiteral("(01)09501101530003(10)X");
    bar.m_heightFactor = 2;
    bar.Regenerate();
    auto b2 = RoundTrip(bar);
    EXPECT_EQ(b2->GetDataBarType(), CGS1DataBar::kExpanded);
    EXPECT_EQ(b2->m_heightFactor, 2);
    EXPECT_EQ(b2->m_data, bar.m_data);
    EXPECT_EQ(b2->m_bitmap, bar.m_bitmap);
}

// The text export: the matrix symbols write their own blocks; a QR Code,
// which has no style, writes none and reads no style it does not have.
TEST_F(MatrixFixture, TextExportWritesEachSymbolsOwnBlock)
{
    auto exported = [](CBarcode& barcode) {
        QByteArray bytes;
        {
            CTextExportFile file(&bytes);
            barcode.WriteXml(file);
        }
        return QString::fromLatin1(bytes);
    };
    CQRCode qr;
    ASSERT_EQ(qr.m_style, nullptr);
    const QString q = exported(qr);
    EXPECT_TRUE(q.contains(QStringLiteral("<type=\"32\"/>")));
    EXPECT_FALSE(q.contains(QStringLiteral("style"), Qt::CaseInsensitive));
    CDataMatrix matrix;
    matrix.m_sampleData = QStringLiteral("a<b");
    const QString m = exported(matrix);
    EXPECT_TRUE(m.startsWith(QStringLiteral("<barcode>")));
    EXPECT_TRUE(m.contains(QStringLiteral("<x-dimension units=\"mil\" value=\"20.00\"/>")));
    EXPECT_TRUE(m.contains(QStringLiteral("<sample-data>a&lt;b</sample-data>")));
    CPDF417 pdf;
    const QString p = exported(pdf);
    EXPECT_TRUE(p.contains(
        QStringLiteral("<symbol type=\"0\" aspect-ratio=\"1:2\" rows=\"90\" columns=\"30\"/>")));
    EXPECT_TRUE(p.contains(QStringLiteral("aspect-ratio=\"3:1\"")));
}

// The bytes each two-dimensional symbol encodes: ASCII as it is, text beyond
// ASCII as UTF-8 for the ECI that tells readers so, and data written with
// byte escapes byte for byte, so a byte-exact symbol stays what it was.
TEST_F(MatrixFixture, EncoderBytesKeepTypedTextAndEscapedBytes)
{
    struct Case
    {
        QString data;
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {QStringLiteral("Shelf 12"), QByteArrayLiteral("Shelf 12"), false},
        {QStringLiteral("Preis 5 €"), QStringLiteral("Preis 5 €").toUtf8(), true},
        {QStringLiteral("é ß 日"), QStringLiteral("é ß 日").toUtf8(), true},
        {QStringLiteral("100%% é"), QStringLiteral("100% é").toUtf8(), true},
        {QStringLiteral("%HE9%D255"), QByteArrayLiteral("\xE9\xFF"), false},
        {QStringLiteral("A%H00B"), QByteArray("A\0B", 3), false},
    };
    CQRCode qr;
    CDataMatrix matrix;
    CPDF417 pdf;
    for (const Case& c : cases) {
        for (CBarcode* symbol : std::initializer_list<CBarcode*>{&qr, &matrix, &pdf}) {
            SCOPED_TRACE(c.data.toStdString());
            bool utf8 = !c.utf8;
            EXPECT_EQ(MatrixSymbols::EncoderBytes(*symbol, c.data, utf8), c.bytes);
            EXPECT_EQ(utf8, c.utf8);
        }
    }
    // Read back, the reader returns the characters typed.
    for (const QString& typed : {QStringLiteral("Preis 5 € café Straße 日本")}) {
        const Decoded read =
            Decode(WithQuietZone(Make<CQRCode>(typed)->m_bitmap, 40), ZXing::BarcodeFormat::QRCode);
        EXPECT_TRUE(read.valid);
        EXPECT_EQ(read.text, typed.toStdString());
    }
}

// GS1 DataBar Expanded is drawn in rows of the segments per row the sign
// keeps: fewer segments make more, narrower rows that read back to the same
// data; 22 (the most a symbol has) keeps one row.
TEST_F(MatrixFixture, DataBarExpandedStacksBySegmentsPerRow)
{
    const QString data = QStringLiteral("(01)09501101530003(10)ABC123(21)4711");
    QSize wide;
    for (DWORD segments : {22u, 8u, 4u}) {
        SCOPED_TRACE(segments);
        auto bar = std::make_unique<CGS1DataBar>();
        bar->SetDataBarType(CGS1DataBar::kExpanded - 1);
        bar->m_setting = segments;
        bar->m_data = bar->m_sampleData = data;
        bar->Regenerate();
        ASSERT_FALSE(bar->IsShowingInvalid());
        EXPECT_EQ(bar->m_humanReadable, data);
        const Decoded read =
            Decode(WithQuietZone(bar->m_bitmap, 40), ZXing::BarcodeFormat::DataBarExpanded);
        EXPECT_TRUE(read.valid);
        EXPECT_EQ(read.text, data.toStdString());
        const QSize size = bar->m_bitmap.size();
        if (segments == 22) {
            wide = size;
            continue;
        }
        EXPECT_LT(size.width(), wide.width());
        EXPECT_GT(size.height(), wide.height()) << "stacked rows";
    }
}
