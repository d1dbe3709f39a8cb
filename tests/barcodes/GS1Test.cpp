// The GS1 application identifiers and element strings: the table against
// its published rules, the element string written both ways, check digits
// where each identifier keeps them, and GS1 symbols fed bracketed data.

#include "BarcodeTestSupport.h"

#include "Code128.h"
#include "DataMatrix.h"
#include "GS1AIInfo.h"

#include <set>

using namespace barcode_test;

TEST(GS1Table, RowsFollowTheirGroups)
{
    const auto table = GS1AITable();
    ASSERT_EQ(table.size(), 131u);
    std::set<int> seen;
    for (const GS1AIInfo& row : table) {
        EXPECT_TRUE(seen.insert(row.ai).second) << "listed twice: " << row.ai;
        const GS1FieldRule rule = GS1RuleOf(row);
        EXPECT_GE(rule.maxLength, rule.minLength) << row.ai;
        if (row.fixedLength) {
            EXPECT_EQ(rule.minLength, rule.maxLength) << row.ai;
        }
        if (row.ai >= 310 && row.ai <= 369) {
            // The measures: six digits after a decimal-point digit.
            EXPECT_TRUE(row.decimalDigit && row.fixedLength) << row.ai;
            EXPECT_EQ(row.defaultDecimals, 3);
            EXPECT_EQ(rule.maxLength, 6);
        }
    }
    EXPECT_EQ(table.front().ai, 0);
    EXPECT_EQ(table.back().ai, 99);

    struct Row
    {
        int ai;
        bool fixed, separator, decimal;
        int decimals;
        bool check;
        const char* shortName;
        int min, max;
        bool numeric;
    } rows[] = {
        {0, true, false, false, 0, true, "SSCC", 18, 18, true},
        {1, true, false, false, 0, true, "GTIN", 14, 14, true},
        {10, false, false, false, 0, false, "Batch or Lot Number", 1, 20, false},
        {17, true, false, false, 0, false, "Expiration Date", 6, 6, true},
        {253, false, false, false, 0, true, "GDTI", 13, 30, true},
        {390, false, false, true, 2, false, "Amount Payable", 1, 15, true},
        // GS1: order and consignment numbers are alphanumeric, an IBAN up to 34.
        {400, false, false, false, 0, false, "Purchase Order", 1, 30, false},
        {401, false, false, false, 0, false, "Consignment Number", 1, 30, false},
        {402, true, true, false, 0, true, "Shipment ID Number", 17, 17, true},
        {422, true, true, false, 0, false, "Country of Origin", 3, 3, true},
        {8003, false, false, false, 0, true, "GRAI", 14, 30, false},
        {8007, false, false, false, 0, false, "IBAN", 1, 34, false},
        {8018, true, true, false, 0, true, "GSRN", 18, 18, true},
    };
    for (const Row& r : rows) {
        const GS1AIInfo* info = GetGS1AIInfo(r.ai);
        ASSERT_NE(info, nullptr) << r.ai;
        EXPECT_EQ(info->fixedLength, r.fixed) << r.ai;
        EXPECT_EQ(info->separatorAfterFixed, r.separator) << r.ai;
        EXPECT_EQ(info->decimalDigit, r.decimal) << r.ai;
        EXPECT_EQ(info->defaultDecimals, r.decimals) << r.ai;
        EXPECT_EQ(info->checkDigit, r.check) << r.ai;
        EXPECT_STREQ(info->shortName, r.shortName);
        const GS1FieldRule rule = GS1RuleOf(*info);
        EXPECT_EQ(rule.minLength, r.min) << r.ai;
        EXPECT_EQ(rule.maxLength, r.max) << r.ai;
        EXPECT_EQ(rule.numeric, r.numeric) << r.ai;
    }
    EXPECT_EQ(GetGS1AIInfo(5), nullptr);
}

TEST(GS1Table, SeparatorsAndCheckDigits)
{
    EXPECT_FALSE(GS1NeedsSeparatorAfter(1));
    EXPECT_TRUE(GS1NeedsSeparatorAfter(10));
    EXPECT_TRUE(GS1NeedsSeparatorAfter(402)); // fixed, yet separated
    EXPECT_TRUE(GS1NeedsSeparatorAfter(5));   // unknown: variable length
    EXPECT_EQ(GS1AIText(310, 3), "3103");
    EXPECT_EQ(GS1AIText(1, 0), "01");
    EXPECT_EQ(GS1AIText(8003, 0), "8003");

    struct Check
    {
        int ai;
        const char* data;
        const char* withDigit;
    } checks[] = {
        {1, "0950110153000", "09501101530003"},
        {0, "12345678901234567", "123456789012345675"},
        {1, "12 34", "12 348"},   // spaces are skipped
        {1, "12A4", "12A4"},      // no digit for a letter
        // The document and asset keys keep their digit before the serial,
        // letters in the serial or not.
        {253, "123456789012", "1234567890128"},
        {253, "123456789012XY7", "1234567890128XY7"},
        {8003, "0123456789012ABC", "01234567890128ABC"},
    };
    for (const Check& c : checks)
        EXPECT_EQ(GS1WithCheckDigit(c.ai, QString::fromLatin1(c.data)),
                  QString::fromLatin1(c.withDigit))
            << c.ai << " " << c.data;
}

TEST(GS1Table, ElementStringsBothWays)
{
    struct Case
    {
        const char* bracketed;
        const char* element;
    } cases[] = {
        // No separator after the fixed 01, one after the variable 10, none
        // after the last field.
        {"(01)09501101530003(10)ABC123(21)S1", "0109501101530003" "10ABC123%121S1"},
        {"(402)12345678901234560(10)X", "40212345678901234560%110X"},
        {"(3103)001250(17)261231", "3103001250" "17261231"},
        {"(10)100%(21)7", "10100%%%1217"},
        {"(90)a(b)c", "90a(b)c"},
    };
    for (const Case& c : cases) {
        QString element, back, error;
        ASSERT_TRUE(GS1BracketedToElementString(QString::fromLatin1(c.bracketed), element, &error))
            << c.bracketed << ": " << error.toStdString();
        EXPECT_EQ(element, QString::fromLatin1(c.element));
        ASSERT_TRUE(GS1ElementStringToBracketed(element, back)) << c.element;
        EXPECT_EQ(back, QString::fromLatin1(c.bracketed));
        ASSERT_TRUE(GS1ElementStringToBracketed("%1" + element, back));
        EXPECT_EQ(back, QString::fromLatin1(c.bracketed));
    }

    struct Refused
    {
        const char* text;
        const char* reason;
    } refused[] = {
        {"0109501101530003", "The data must begin with an application identifier"},
        {"(01)123", "Wrong length of the field (01)"},
        {"(01)0950110153000X", "A character the field cannot hold (01)"},
        {"(01)095011015300XY", "A character the field cannot hold (01)"},
        {"(10)A B", "A character the field cannot hold (10)"},
        {"(05)12", "Unknown application identifier (05)"},
        {"(10)", "Wrong length of the field (10)"},
    };
    for (const Refused& r : refused) {
        QString element, error;
        EXPECT_FALSE(GS1BracketedToElementString(QString::fromLatin1(r.text), element, &error))
            << r.text;
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(r.reason))) << error.toStdString();
    }
    QString out;
    EXPECT_FALSE(GS1ElementStringToBracketed("05123", out));
    EXPECT_FALSE(GS1ElementStringToBracketed("01123", out)); // too short for a GTIN
    EXPECT_FALSE(GS1ElementStringToBracketed("", out));
}

TEST_F(BarcodeFixture, GS1SymbolsTakeBracketedDataAsTheElementString)
{
    CBarcode::SetResolutionOverride(600);
    CUccEan128 gs1;
    gs1.m_data = QStringLiteral("(01)09501101530003(10)AB-12(21)7");
    gs1.Regenerate();
    ASSERT_FALSE(gs1.IsShowingInvalid());
    // The data stays as typed; people read the identifiers in brackets.
    EXPECT_EQ(gs1.m_data, QStringLiteral("(01)09501101530003(10)AB-12(21)7"));
    EXPECT_EQ(gs1.m_humanReadable, QStringLiteral("(01)09501101530003(10)AB-12(21)7"));
    const Decoded decoded = Decode(WithQuietZone(gs1.m_bitmap, 200), ZXing::BarcodeFormat::Code128);
    EXPECT_TRUE(decoded.valid);
    EXPECT_TRUE(decoded.gs1);
    EXPECT_EQ(decoded.text, "010950110153000310AB-12\x1d"
                            "217");

    // Element strings typed without brackets read the same way.
    gs1.m_data = QStringLiteral("0109501101530003%117261231");
    gs1.Regenerate();
    EXPECT_EQ(gs1.m_humanReadable, QStringLiteral("(01)09501101530003(17)261231"));

    // Brackets that are not a valid element string show the placeholder.
    gs1.m_data = QStringLiteral("(01)12345");
    gs1.Regenerate();
    EXPECT_TRUE(gs1.IsShowingInvalid());
    CBarcode::SetResolutionOverride(0);
}

// A run of digits split by a function 1 stays in set C across it.
TEST_F(BarcodeFixture, DigitsAcrossAFunctionOneStayInSetC)
{
    CBarcode::SetResolutionOverride(600);
    struct Case
    {
        const char* data;
        int modules;
    } cases[] = {
        // Start, FNC1 1 0 A B C 1 in B, Code C, 23 FNC1 17 26 12 31, check, stop.
        {"10ABC123%117261231", 189},
        {"0109501101530003%117261231", 11 * (1 + 1 + 8 + 1 + 4 + 1) + 13},
    };
    for (const Case& c : cases) {
        CUccEan128 gs1;
        gs1.m_data = QString::fromLatin1(c.data);
        gs1.Regenerate();
        ASSERT_FALSE(gs1.IsShowingInvalid()) << c.data;
        int modules = 0;
        for (BYTE element : gs1.m_pattern)
            modules += element % 4 + 1;
        EXPECT_EQ(modules, c.modules) << c.data;
        const Decoded decoded =
            Decode(WithQuietZone(gs1.m_bitmap, 200), ZXing::BarcodeFormat::Code128);
        EXPECT_TRUE(decoded.valid) << c.data;
    }
    CBarcode::SetResolutionOverride(0);
}
