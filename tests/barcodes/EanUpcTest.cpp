// EAN-13, EAN-8, UPC-A, UPC-E and the add-on symbols: accepted input, check
// digits, UPC-E expansion, add-on parity, digit groups and decoding.

#include "BarcodeTestSupport.h"

#include "Code128.h"
#include "EanUpc.h"

#include <QDir>

using namespace barcode_test;

namespace {

std::unique_ptr<CEanUpc> Make(int symbology)
{
    switch (symbology) {
    case SYM_EAN13:
        return std::make_unique<CEan13>();
    case SYM_EAN8:
        return std::make_unique<CEan8>();
    case SYM_UPCA:
        return std::make_unique<CUpcA>();
    case SYM_UPCE:
        return std::make_unique<CUpcE>();
    default:
        return std::make_unique<CUpcESys1>();
    }
}

std::unique_ptr<CEanUpc> MakeWith(int symbology, const QString& data, int addOn = 0,
                                  int orientation = 0)
{
    auto barcode = Make(symbology);
    EXPECT_TRUE(barcode->SetAddOnDigits(addOn));
    barcode->m_data = data;
    barcode->m_orientation = orientation;
    barcode->ComputeLayout();
    barcode->Regenerate();
    barcode->RecalcPosition(nullptr);
    return barcode;
}

QStringList TextsOf(const CBarcode& barcode)
{
    QStringList texts;
    for (const CTextBase& part : barcode.m_texts)
        texts.append(part.GetText());
    return texts;
}

} // namespace

TEST_F(BarcodeFixture, AcceptedDataAndCheckDigits)
{
    struct Case
    {
        const char* what;
        int symbology;
        const char* data;
        const char* digits; // with the check digit; null: refused
        int addOn = 0;
    };
    const Case cases[] = {
        {"EAN-13, weighted sum 90", SYM_EAN13, "501234567890", "5012345678900"},
        {"EAN-13, a typed check digit is replaced", SYM_EAN13, "5012345678901", "5012345678900"},
        {"EAN-13, a 13th character that is no digit is dropped", SYM_EAN13, "501234567890X",
         "5012345678900"},
        {"EAN-13, real article number", SYM_EAN13, "400638133393", "4006381333931"},
        {"EAN-13, a letter among the twelve", SYM_EAN13, "50123456789A", nullptr},
        {"EAN-13, too short", SYM_EAN13, "50123456789", nullptr},
        {"EAN-13, too long", SYM_EAN13, "50123456789012", nullptr},
        {"EAN-13 with a 2-digit add-on", SYM_EAN13, "50123456789012", "5012345678900", 2},
        {"EAN-13 with a 2-digit add-on and 13 characters", SYM_EAN13, "5012345678901", nullptr, 2},
        {"EAN-13 with a 5-digit add-on", SYM_EAN13, "50123456789051234", "5012345678900", 5},
        {"EAN-13, add-on digits that are no digits", SYM_EAN13, "5012345678901X", nullptr, 2},
        {"EAN-8 of 0 to 6", SYM_EAN8, "0123456", "01234565"},
        {"EAN-8, typed check digit replaced", SYM_EAN8, "01234569", "01234565"},
        {"EAN-8, a non-digit eighth character", SYM_EAN8, "0123456X", nullptr},
        {"EAN-8, too short", SYM_EAN8, "012345", nullptr},
        {"UPC-A", SYM_UPCA, "03600029145", "036000291452"},
        {"UPC-A, typed check replaced", SYM_UPCA, "036000291459", "036000291452"},
        {"UPC-A, too long", SYM_UPCA, "0360002914521", nullptr},
        {"UPC-A with a 5-digit add-on", SYM_UPCA, "0360002914590000", "036000291452", 5},
        {"UPC-E of 012345", SYM_UPCE, "012345", "0123457"},
        {"UPC-E ending in 1", SYM_UPCE, "425261", "4252614"},
        {"UPC-E, seven digits", SYM_UPCE, "0123457", nullptr},
        {"UPC-E, a letter", SYM_UPCE, "01234A", nullptr},
        {"UPC-E number system 1 adds 3", SYM_UPCE_SYS1, "012345", "0123454"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.data), c.addOn);
        if (!c.digits) {
            EXPECT_TRUE(barcode->IsShowingInvalid());
            for (const CTextBase& part : barcode->m_texts)
                EXPECT_TRUE(part.GetText().isEmpty());
            if (barcode->m_addOn) {
                EXPECT_TRUE(barcode->m_addOn->m_text.isEmpty());
                EXPECT_TRUE(barcode->m_addOn->m_barRect.IsEmpty());
            }
            continue;
        }
        ASSERT_FALSE(barcode->IsShowingInvalid());
        const QString digits = QString::fromLatin1(c.digits);
        EXPECT_EQ(barcode->m_humanReadable, digits);
        EXPECT_EQ(barcode->m_checkChars, digits.right(1));
        EXPECT_EQ(barcode->m_encodedText, digits.left(digits.size() - 1));
    }
}

TEST_F(BarcodeFixture, ATypedCheckDigitGivesTheSameSymbol)
{
    const auto plain = MakeWith(SYM_EAN13, QStringLiteral("501234567890"));
    const auto typed = MakeWith(SYM_EAN13, QStringLiteral("5012345678901"));
    EXPECT_EQ(plain->m_pattern, typed->m_pattern);
    EXPECT_EQ(plain->m_bitmap, typed->m_bitmap);
}

TEST_F(BarcodeFixture, UpcEExpandsByItsLastDigit)
{
    struct Case
    {
        const char* six;
        const char* upcA;
    };
    const Case cases[] = {
        {"123450", "01200000345"}, {"123451", "01210000345"}, {"123452", "01220000345"},
        {"123453", "01230000045"}, {"123454", "01234000005"}, {"123455", "01234500005"},
        {"012345", "00123400005"}, {"123459", "01234500009"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CEanUpc::ExpandUpcE(QString::fromLatin1(c.six), u'0'),
                  QString::fromLatin1(c.upcA))
            << c.six;
    }
    EXPECT_EQ(CEanUpc::ExpandUpcE(QStringLiteral("012345"), u'1'), QStringLiteral("10123400005"));
}

TEST_F(BarcodeFixture, AddOnParity)
{
    struct Case
    {
        const char* digits;
        const char* sets;
    };
    const Case checked[] = {
        {"00", "AA"},       {"01", "AB"}, {"02", "BA"},       {"03", "BB"},
        {"12", "AA"},       {"99", "BB"}, {"51234", "AABAB"}, // 3 x (5 + 2 + 4) + 9 x (1 + 3) = 69
        {"00000", "BBAAA"},                                   // 0
        {"00001", "BAAAB"},                                   // 3
        {"90000", "ABABA"},                                   // 27
        {"00200", "AAABB"},                                   // 6
    };
    for (const Case& c : checked) {
        const std::vector<bool> setB = CBarcodeAddOn::Parities(QString::fromLatin1(c.digits));
        std::string sets;
        for (bool b : setB)
            sets += b ? 'B' : 'A';
        EXPECT_EQ(sets, c.sets) << c.digits;
    }
}

TEST_F(BarcodeFixture, PatternsHaveTheirElementCounts)
{
    struct Case
    {
        int symbology;
        const char* data;
        std::size_t elements;
        int modules;
    };
    const Case cases[] = {
        {SYM_EAN13, "501234567890", 59, 95}, {SYM_EAN8, "0123456", 43, 67},
        {SYM_UPCA, "03600029145", 59, 95},   {SYM_UPCE, "012345", 33, 51},
        {SYM_UPCE_SYS1, "012345", 33, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.data));
        EXPECT_EQ(barcode->m_pattern.size(), c.elements);
        int modules = 0;
        for (BYTE code : barcode->m_pattern)
            modules += code < 4 ? code + 1 : code - 3;
        EXPECT_EQ(modules, c.modules);
    }
    const auto two = MakeWith(SYM_EAN13, QStringLiteral("50123456789012"), 2);
    EXPECT_EQ(two->m_addOn->m_pattern.size(), 13u);
    const auto five = MakeWith(SYM_EAN13, QStringLiteral("50123456789051234"), 5);
    EXPECT_EQ(five->m_addOn->m_pattern.size(), 31u);
}

TEST_F(BarcodeFixture, DigitGroupsUnderTheHalvesOfTheSymbol)
{
    struct Case
    {
        int symbology;
        const char* data;
        QStringList parts;
        int addOn = 0;
    };
    const Case cases[] = {
        {SYM_EAN13, "501234567890", {"5", "012345", "678900", ">"}},
        {SYM_EAN13, "50123456789012", {"5", "012345", "678900", ""}, 2},
        {SYM_EAN8, "0123456", {"<", "0123", "4565", ">"}},
        {SYM_UPCA, "03600029145", {"0", "36000", "29145", "2"}},
        {SYM_UPCE, "012345", {"0", "012345", "7", ""}},
        {SYM_UPCE_SYS1, "012345", {"1", "012345", "4", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.data), c.addOn);
        EXPECT_EQ(TextsOf(*barcode), c.parts);
        const CRect bars = barcode->m_barRect;
        const int groupHeight = barcode->m_texts[1].GetFont().GetHeight();
        for (int i = 0; i < 4; ++i) {
            const CTextBase& part = barcode->m_texts[std::size_t(i)];
            if (part.GetText().isEmpty())
                continue;
            // Every digit hangs below the bars; the small ones share the
            // bottom line of the groups.
            const int height = part.GetFont().GetHeight();
            EXPECT_EQ(part.GetOrigin().y + height, bars.bottom + groupHeight) << i;
            EXPECT_GE(part.GetOrigin().y, bars.bottom) << i;
        }
        // The groups are centred under their halves, left before right.
        EXPECT_LT(barcode->m_texts[1].GetOrigin().x, bars.left + bars.Width() / 2);
        EXPECT_EQ(barcode->m_texts[0].GetOrigin().x, bars.left);
        if (c.symbology == SYM_UPCA || c.symbology == SYM_UPCE || c.symbology == SYM_UPCE_SYS1) {
            EXPECT_EQ(barcode->m_texts[0].GetFont().GetHeight(),
                      barcode->m_texts[0].GetFont().SnapHeight(groupHeight * 3 / 4));
        }
    }
}

TEST_F(BarcodeFixture, TheAddOnStandsRightOfTheSymbolWithItsDigitsAbove)
{
    const auto barcode = MakeWith(SYM_EAN13, QStringLiteral("50123456789012345"), 5);
    barcode->m_origin = CPoint(0, 0);
    ASSERT_FALSE(barcode->IsShowingInvalid());
    const CBarcodeAddOn& addOn = *barcode->m_addOn;
    EXPECT_EQ(addOn.m_text, QStringLiteral("12345"));
    EXPECT_EQ(addOn.m_barRect.left, barcode->m_barRect.right);
    EXPECT_EQ(addOn.m_barRect.bottom, barcode->m_barRect.bottom);
    EXPECT_LT(addOn.m_barRect.Height(), barcode->m_barRect.Height());
    EXPECT_EQ(addOn.m_texts[0].GetText(), QStringLiteral("12345"));
    EXPECT_EQ(addOn.m_texts[1].GetText(), QStringLiteral(">"));
    const int height = addOn.m_texts[0].GetFont().GetHeight();
    EXPECT_EQ(addOn.m_texts[0].GetOrigin().y + height, addOn.m_barRect.top);
    // The text rectangle takes in the add-on's, and nothing lies above the origin.
    EXPECT_EQ(CRect::Union(barcode->m_textRect, addOn.m_textRect), barcode->m_textRect);
    EXPECT_GE(barcode->m_bounds.top, barcode->m_origin.y);
    EXPECT_EQ(barcode->m_bounds.top, barcode->m_origin.y);
}

TEST_F(BarcodeFixture, UpsideDownTheDigitsLieAboveTheSymbol)
{
    const auto barcode = MakeWith(SYM_EAN13, QStringLiteral("501234567890"), 0, 180);
    const CRect bars = barcode->m_barRect;
    EXPECT_EQ(barcode->m_textRect.bottom, bars.top);
    // Read upside down: the first digit stands at the right, the ">" at the left.
    EXPECT_GT(barcode->m_texts[0].GetOrigin().x, barcode->m_texts[3].GetOrigin().x);
    EXPECT_GT(barcode->m_texts[1].GetOrigin().x, barcode->m_texts[2].GetOrigin().x);
    EXPECT_EQ(barcode->m_texts[0].GetFont().GetLogFont().lfEscapement, 1800);
}

TEST_F(BarcodeFixture, RetailSymbolsDecode)
{
    struct Case
    {
        const char* what;
        int symbology;
        const char* data;
        ZXing::BarcodeFormat format;
        std::string decoded;
        int addOn = 0;
        int orientation = 0;
    };
    const Case cases[] = {
        {"EAN-13", SYM_EAN13, "501234567890", ZXing::BarcodeFormat::EAN13, "5012345678900"},
        {"EAN-13 turned", SYM_EAN13, "400638133393", ZXing::BarcodeFormat::EAN13, "4006381333931",
         0, 90},
        {"EAN-8", SYM_EAN8, "0123456", ZXing::BarcodeFormat::EAN8, "01234565"},
        {"UPC-A", SYM_UPCA, "03600029145", ZXing::BarcodeFormat::UPCA, "036000291452"},
        {"UPC-E", SYM_UPCE, "425261", ZXing::BarcodeFormat::UPCE, "04252614"},
        {"UPC-E 012345", SYM_UPCE, "012345", ZXing::BarcodeFormat::UPCE, "00123457"},
        {"UPC-E number system 1", SYM_UPCE_SYS1, "012345", ZXing::BarcodeFormat::UPCE, "10123454"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto barcode =
            MakeWith(c.symbology, QString::fromLatin1(c.data), c.addOn, c.orientation);
        ASSERT_FALSE(barcode->IsShowingInvalid());
        const Decoded bitmap = Decode(WithQuietZone(barcode->m_bitmap, 40), c.format);
        EXPECT_TRUE(bitmap.valid);
        EXPECT_EQ(bitmap.text, c.decoded);
        const Decoded drawn = Decode(Render(*barcode), c.format);
        EXPECT_TRUE(drawn.valid);
        EXPECT_EQ(drawn.format, c.format);
        EXPECT_EQ(drawn.text, c.decoded);
    }
}

TEST_F(BarcodeFixture, SymbolsWithAddOnsDecodeWithTheirAddOn)
{
    struct Case
    {
        int symbology;
        const char* data;
        int addOn;
        ZXing::BarcodeFormat format;
        std::string decoded;
    };
    const Case cases[] = {
        {SYM_EAN13, "50123456789012", 2, ZXing::BarcodeFormat::EAN13, "5012345678900 12"},
        {SYM_EAN13, "50123456789051234", 5, ZXing::BarcodeFormat::EAN13, "5012345678900 51234"},
        {SYM_UPCA, "0360002914590000", 5, ZXing::BarcodeFormat::UPCA, "036000291452 90000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.data), c.addOn);
        ASSERT_FALSE(barcode->IsShowingInvalid());
        const Decoded decoded = Decode(Render(*barcode), c.format, ZXing::EanAddOnSymbol::Require);
        EXPECT_TRUE(decoded.valid);
        EXPECT_EQ(decoded.text, c.decoded);
    }
}

// Writes pictures of drawn symbols for a person to look at, when asked to
// with TABREL_BARCODE_PICTURES=<folder>.
TEST_F(BarcodeFixture, PicturesForALook)
{
    const QString folder = qEnvironmentVariable("TABREL_BARCODE_PICTURES");
    if (folder.isEmpty())
        GTEST_SKIP() << "set TABREL_BARCODE_PICTURES to a folder to get the pictures";
    QDir().mkpath(folder);
    struct Picture
    {
        const char* file;
        std::unique_ptr<CBarcode> barcode;
    };
    std::vector<Picture> pictures;
    pictures.push_back({"ean13.png", MakeWith(SYM_EAN13, QStringLiteral("501234567890"))});
    pictures.push_back(
        {"ean13-addon5.png", MakeWith(SYM_EAN13, QStringLiteral("50123456789051234"), 5)});
    pictures.push_back({"upca.png", MakeWith(SYM_UPCA, QStringLiteral("03600029145"))});
    pictures.push_back({"upce.png", MakeWith(SYM_UPCE, QStringLiteral("425261"))});
    pictures.push_back({"ean8.png", MakeWith(SYM_EAN8, QStringLiteral("0123456"))});
    pictures.push_back(
        {"ean13-180.png", MakeWith(SYM_EAN13, QStringLiteral("501234567890"), 0, 180)});
    pictures.push_back({"ean13-invalid.png", MakeWith(SYM_EAN13, QStringLiteral("12345"))});
    auto code128 = std::make_unique<CCode128Auto>();
    code128->m_data = QStringLiteral("Tabrel 128 Auto 0123456789");
    code128->Regenerate();
    pictures.push_back({"code128.png", std::move(code128)});
    for (const Picture& p : pictures)
        EXPECT_TRUE(Render(*p.barcode).save(folder + u'/' + QString::fromLatin1(p.file)));
}

namespace {

// The printer's font measures, counted.
class CountingMetrics : public CPrinterFontMetrics
{
public:
    explicit CountingMetrics(int& measures) : m_measures(measures) {}
    bool Measure(const LogFontFields& lf, CFontMeasures& out) override
    {
        ++m_measures;
        return CPrinterFontMetrics::Measure(lf, out);
    }

private:
    int& m_measures;
};

} // namespace

// A run of shelf labels gives its EAN-13 a new number for every label: the
// digits are laid out in the fonts the symbol already has, and only the
// symbols that print smaller digits measure a smaller font.
TEST_F(BarcodeFixture, ANewNumberMeasuresOnlyTheFontsItsDigitsNeed)
{
    int measures = 0;
    CFontMetricsProvider::Install(std::make_unique<CountingMetrics>(measures));
    struct Case
    {
        int symbology;
        const char* first;
        const char* second;
        int measuresPerNumber;
    };
    const Case cases[] = {
        {SYM_EAN13, "400000000001", "400000000002", 0},
        {SYM_EAN8, "0123456", "0123457", 0},
        {SYM_UPCA, "03600029145", "03600029146", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.first));
        const QStringList before = TextsOf(*barcode);
        measures = 0;
        barcode->SetDataText(QString::fromLatin1(c.second), SOURCE_KEYBOARD, QString(), TRUE);
        EXPECT_NE(TextsOf(*barcode), before);
        barcode->SetDataText(QString::fromLatin1(c.first), SOURCE_KEYBOARD, QString(), TRUE);
        EXPECT_EQ(TextsOf(*barcode), before);
        EXPECT_EQ(measures, 2 * c.measuresPerNumber);
    }
    CFontMetricsProvider::Install(nullptr);
}
