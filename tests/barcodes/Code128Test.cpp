// The Code 128 family: code-set choices, function characters, EAN-128's
// leading FNC1, and symbols that a reader decodes.

#include "BarcodeTestSupport.h"

#include "Code128.h"

#include <vector>

using namespace barcode_test;

namespace {

std::unique_ptr<CCode128> Make(int symbology)
{
    switch (symbology) {
    case SYM_CODE128_A:
        return std::make_unique<CCode128A>();
    case SYM_CODE128_B:
        return std::make_unique<CCode128B>();
    case SYM_CODE128_C:
        return std::make_unique<CCode128C>();
    case SYM_CODE128_AUTO:
        return std::make_unique<CCode128Auto>();
    case SYM_EAN128:
        return std::make_unique<CEan128>();
    case SYM_EAN128_A:
        return std::make_unique<CEan128A>();
    case SYM_EAN128_B:
        return std::make_unique<CEan128B>();
    case SYM_EAN128_C:
        return std::make_unique<CEan128C>();
    default:
        return std::make_unique<CUccEan128>();
    }
}

std::unique_ptr<CCode128> MakeWith(int symbology, const QString& data)
{
    auto barcode = Make(symbology);
    barcode->m_data = data;
    barcode->Regenerate();
    barcode->RecalcPosition(nullptr);
    return barcode;
}

// The codewords without the check codeword.
std::vector<int> DataCodewords(const CCode128& barcode)
{
    std::vector<int> values;
    for (qsizetype i = 0; i + 1 < barcode.m_codewords.size(); ++i)
        values.push_back(static_cast<unsigned char>(barcode.m_codewords[i]));
    return values;
}

constexpr int kShift = 98, kCodeA = 101, kCodeB = 100, kCodeC = 99, kFnc1 = 102, kFnc2 = 97,
              kFnc3 = 96, kFnc4A = 101, kFnc4B = 100;
constexpr int kStartA = 103, kStartB = 104, kStartC = 105;

} // namespace

TEST_F(BarcodeFixture, CodewordsOfEachCodeSetAndOfTheAutomaticChoice)
{
    struct Case
    {
        const char* what;
        int symbology;
        const char* data;
        std::vector<int> codewords; // empty: the data cannot be encoded
    };
    const Case cases[] = {
        {"set A: upper case and control characters",
         SYM_CODE128_A,
         "AB%D009",
         {kStartA, 33, 34, 73}},
        {"set A cannot carry lower case", SYM_CODE128_A, "Ab", {}},
        {"set A: function characters",
         SYM_CODE128_A,
         "%1A%2%3%4",
         {kStartA, kFnc1, 33, kFnc2, kFnc3, kFnc4A}},
        {"set A: change to A where A is in force", SYM_CODE128_A, "%A", {}},
        {"set A: shift carries one character of B",
         SYM_CODE128_A,
         "A%Sb%D009",
         {kStartA, 33, kShift, 66, 73}},
        {"set A: change to B and back", SYM_CODE128_A, "%Bb%AA", {kStartA, kCodeB, 66, kCodeA, 33}},
        {"set A: a change of set right after a shift", SYM_CODE128_A, "%S%C12", {}},
        {"set A: a shift right after a shift", SYM_CODE128_A, "%S%Sa", {}},
        {"set B: mixed case and DEL", SYM_CODE128_B, "Ab~%D127", {kStartB, 33, 66, 94, 95}},
        {"set B cannot carry control characters", SYM_CODE128_B, "A%D009", {}},
        {"set B: FNC4 of set B", SYM_CODE128_B, "%4a", {kStartB, kFnc4B, 65}},
        {"set B: change to C for digit pairs",
         SYM_CODE128_B,
         "a%C1234",
         {kStartB, 65, kCodeC, 12, 34}},
        {"set B: typed Windows-1252 ellipsis is no function character",
         SYM_CODE128_B,
         "A\xe2\x80\xa6",
         {}},
        {"set B: %% is one percent sign", SYM_CODE128_B, "5%%", {kStartB, 21, 5}},
        {"set C: digit pairs", SYM_CODE128_C, "012345", {kStartC, 1, 23, 45}},
        {"set C: an odd digit", SYM_CODE128_C, "12345", {}},
        {"set C: FNC1 stays in C", SYM_CODE128_C, "%112%134", {kStartC, kFnc1, 12, kFnc1, 34}},
        {"set C: FNC2 cannot", SYM_CODE128_C, "%212", {}},
        {"set C: a letter cannot", SYM_CODE128_C, "12A4", {}},
        {"set C: change to B", SYM_CODE128_C, "12%BA", {kStartC, 12, kCodeB, 33}},
        {"auto: six digits start in C", SYM_CODE128_AUTO, "123456", {kStartC, 12, 34, 56}},
        {"auto: five digits then letters",
         SYM_CODE128_AUTO,
         "12345AB",
         {kStartC, 12, 34, kCodeB, 21, 33, 34}},
        {"auto: three digits stay in B", SYM_CODE128_AUTO, "123AB", {kStartB, 17, 18, 19, 33, 34}},
        {"auto: an odd run takes one digit in B first",
         SYM_CODE128_AUTO,
         "AB12345",
         {kStartB, 33, 34, 17, kCodeC, 23, 45}},
        {"auto: an even run goes to C straight away",
         SYM_CODE128_AUTO,
         "AB1234cd",
         {kStartB, 33, 34, kCodeC, 12, 34, kCodeB, 67, 68}},
        {"auto: %A is two characters", SYM_CODE128_AUTO, "%A", {kStartB, 5, 33}},
        {"auto: control first starts in A", SYM_CODE128_AUTO, "%D009AB", {kStartA, 73, 33, 34}},
        {"auto: one lower-case letter between controls is shifted",
         SYM_CODE128_AUTO,
         "%D009b%D009",
         {kStartA, 73, kShift, 66, 73}},
        {"auto: two lower-case letters change to B",
         SYM_CODE128_AUTO,
         "%D009bc",
         {kStartA, 73, kCodeB, 66, 67}},
        {"auto: a control character between lower case is shifted",
         SYM_CODE128_AUTO,
         "ab%D009c",
         {kStartB, 65, 66, kShift, 73, 67}},
        {"auto: a control character at the end changes to A",
         SYM_CODE128_AUTO,
         "ab%D009",
         {kStartB, 65, 66, kCodeA, 73}},
        {"auto: FNC1 then four digits starts in C",
         SYM_CODE128_AUTO,
         "%10123",
         {kStartC, kFnc1, 1, 23}},
        {"auto: C falls back to A when a control comes first",
         SYM_CODE128_AUTO,
         "1234%D009a",
         {kStartC, 12, 34, kCodeA, 73, kCodeB, 65}},
        {"EAN-128 gains its leading FNC1", SYM_EAN128, "123", {kStartB, kFnc1, 17, 18, 19}},
        {"EAN-128 with FNC1 given",
         SYM_EAN128,
         "%10123456",
         {kStartC, kFnc1, 1, 23, 45, kCodeB, 22}},
        {"EAN-128-A", SYM_EAN128_A, "AB", {kStartA, kFnc1, 33, 34}},
        {"EAN-128-B", SYM_EAN128_B, "ab", {kStartB, kFnc1, 65, 66}},
        {"EAN-128-C", SYM_EAN128_C, "0128", {kStartC, kFnc1, 1, 28}},
        {"EAN-128-C with an odd digit", SYM_EAN128_C, "012", {}},
        {"GS1-128", SYM_GS1_128, "0109501101020917", {kStartC, kFnc1, 1, 9, 50, 11, 1, 2, 9, 17}},
        {"empty data", SYM_CODE128_B, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto barcode = MakeWith(c.symbology, QString::fromUtf8(c.data));
        if (c.codewords.empty()) {
            EXPECT_TRUE(barcode->IsShowingInvalid());
            EXPECT_TRUE(barcode->m_codewords.isEmpty());
            continue;
        }
        ASSERT_FALSE(barcode->IsShowingInvalid());
        EXPECT_EQ(DataCodewords(*barcode), c.codewords);
        // Start, data, check and stop: 11 modules each, the stop 13.
        EXPECT_EQ(barcode->m_pattern.size(), std::size_t(barcode->m_codewords.size()) * 6 + 7);
    }
}

TEST_F(BarcodeFixture, CheckCodewordIsTheWeightedSumModulo103)
{
    // "PJJ123C": 104 + 48 + 2 * 42 + 3 * 42 + 4 * 17 + 5 * 18 + 6 * 19 + 7 * 35 = 879,
    // and 879 mod 103 = 55.
    const auto barcode = MakeWith(SYM_CODE128_B, QStringLiteral("PJJ123C"));
    ASSERT_FALSE(barcode->IsShowingInvalid());
    EXPECT_EQ(static_cast<unsigned char>(barcode->m_codewords.back()), 55);
    EXPECT_EQ(barcode->m_checkChars, QString(QChar(char16_t(55))));
}

TEST_F(BarcodeFixture, EanDataIsStoredBackWithItsFnc1)
{
    auto barcode = MakeWith(SYM_EAN128, QStringLiteral("123"));
    EXPECT_EQ(barcode->m_data, QStringLiteral("%1123"));
    barcode->Regenerate();
    EXPECT_EQ(barcode->m_data, QStringLiteral("%1123")) << "prefixed once";

    barcode = MakeWith(SYM_EAN128, QString());
    EXPECT_TRUE(barcode->m_data.isEmpty()) << "empty data stays empty";
}

TEST_F(BarcodeFixture, HumanReadableTextLeavesOutFunctionsAndControls)
{
    struct Case
    {
        int symbology;
        const char* data;
        const char* text;
    };
    const Case cases[] = {
        {SYM_EAN128, "0112345", "0112345"},
        {SYM_CODE128_AUTO, "ab%D009cd12345", "abcd12345"},
        {SYM_CODE128_A, "A%2B%SbC", "ABbC"},
        {SYM_CODE128_B, "50%% off", "50% off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto barcode = MakeWith(c.symbology, QString::fromLatin1(c.data));
        ASSERT_FALSE(barcode->IsShowingInvalid());
        EXPECT_EQ(barcode->m_humanReadable, QString::fromLatin1(c.text));
        EXPECT_EQ(barcode->m_texts[0].GetText(), QString::fromLatin1(c.text));
    }
}

TEST_F(BarcodeFixture, Code128SymbolsDecode)
{
    struct Case
    {
        const char* what;
        int symbology;
        const char* data;
        std::string decoded;
        int orientation = 0;
    };
    const Case cases[] = {
        {"set A", SYM_CODE128_A, "CODE128 A", "CODE128 A"},
        {"set A with a shift", SYM_CODE128_A, "AB%Sc", "ABc"},
        {"set B", SYM_CODE128_B, "Code 128 b!", "Code 128 b!"},
        {"set C", SYM_CODE128_C, "012345", "012345"},
        {"auto, letters and digits", SYM_CODE128_AUTO, "Code128 Auto 123456789",
         "Code128 Auto 123456789"},
        {"auto, control character", SYM_CODE128_AUTO, "A%D009b%D009c", "A\tb\tc"},
        {"auto, turned a quarter", SYM_CODE128_AUTO, "Turned 90", "Turned 90", 90},
        {"auto, upside down", SYM_CODE128_AUTO, "Turned 180", "Turned 180", 180},
        {"auto, three quarters", SYM_CODE128_AUTO, "Turned 270", "Turned 270", 270},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto barcode = Make(c.symbology);
        barcode->m_data = QString::fromLatin1(c.data);
        barcode->m_orientation = c.orientation;
        barcode->ComputeLayout();
        barcode->Regenerate();
        ASSERT_FALSE(barcode->IsShowingInvalid());

        // The symbol bitmap as the printer receives it, and the element
        // drawn at 600 dpi with its text.
        const Decoded bitmap =
            Decode(WithQuietZone(barcode->m_bitmap, 100), ZXing::BarcodeFormat::Code128);
        EXPECT_TRUE(bitmap.valid);
        EXPECT_EQ(bitmap.text, c.decoded);
        const Decoded drawn = Decode(Render(*barcode), ZXing::BarcodeFormat::Code128);
        EXPECT_TRUE(drawn.valid);
        EXPECT_EQ(drawn.text, c.decoded);
    }
}

TEST_F(BarcodeFixture, Gs1SymbolsDecodeAsGs1)
{
    for (int symbology : {SYM_EAN128, SYM_EAN128_C, SYM_GS1_128}) {
        SCOPED_TRACE(symbology);
        const auto barcode = MakeWith(symbology, QStringLiteral("0109501101020917"));
        ASSERT_FALSE(barcode->IsShowingInvalid());
        const Decoded decoded = Decode(Render(*barcode), ZXing::BarcodeFormat::Code128);
        ASSERT_TRUE(decoded.valid);
        EXPECT_EQ(decoded.symbologyIdentifier, "]C1");
        EXPECT_TRUE(decoded.gs1);
        EXPECT_NE(decoded.text.find("0109501101020917"), std::string::npos) << decoded.text;
    }
    // FNC1 between two fields is the group separator.
    const auto barcode = MakeWith(SYM_EAN128, QStringLiteral("10ABC%1211234"));
    const Decoded decoded = Decode(Render(*barcode), ZXing::BarcodeFormat::Code128);
    ASSERT_TRUE(decoded.valid);
    EXPECT_EQ(decoded.symbologyIdentifier, "]C1");
    EXPECT_NE(decoded.text.find("10ABC\x1d"
                                "211234"),
              std::string::npos)
        << decoded.text;
}
