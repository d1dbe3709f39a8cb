// The price calculation: the five formulas, the rounding in thousandths,
// the separators of the locale and of a price element, and its record.
#include "PriceCalculation.h"

#include "AppContext.h"
#include "ElementList.h"
#include "EverydayVariablesSupport.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "PriceField.h"
#include "PriceFormat.h"
#include "PriceFormatList.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <gtest/gtest.h>

namespace {

class PriceCalculationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RegisterVariableSignParts();
    }

    static QString Result(int type, const char* a, const char* b, double step, BOOL up)
    {
        CPriceCalculation calc;
        calc.m_type = type;
        calc.m_inputs[0].data = QString::fromLatin1(a);
        calc.m_inputs[1].data = QString::fromLatin1(b);
        calc.m_roundTo = step;
        calc.m_roundUp = up;
        calc.Calculate();
        return calc.GetValue();
    }

    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(PriceCalculationTest, FormulasAndRounding)
{
    // The tests run in the C locale, which has no monetary decimal point:
    // prices keep ".".
    ASSERT_EQ(GetLocaleString(LOCALE_SMONDECIMALSEP), ".");
    struct Case
    {
        int type;
        const char* a;
        const char* b;
        double step;
        BOOL up;
        const char* expected;
    };
    const Case cases[] = {
        // price difference; a rise is no reduction
        {0, "7.00", "5.00", 0.01, 0, "2.00"},
        {0, "5.00", "7.00", 0.01, 0, "0.00"},
        // discount percentage, whole numbers
        {1, "10", "7.5", 1, 0, "25"},
        {1, "10", "12", 1, 0, "0"},
        {1, "0", "5", 1, 0, "0"}, // no base price: no discount, no division by zero
        {1, "", "", 1, 0, "0"},
        {1, "3", "2", 5, 0, "30"}, // 33.3 % to a step of 5
        // discounted price; the percentage is held within 0..100
        {2, "10.00", "20", 0.01, 0, "8.00"},
        {2, "10.00", "150", 0.01, 0, "0.00"},
        {2, "10.00", "-5", 0.01, 0, "10.00"},
        // currency conversion and purchase tax
        {3, "1.237", "1", 0.01, 0, "1.23"},
        {3, "1.237", "1", 0.01, 1, "1.24"}, // 1242 thousandths to a multiple of 10
        {3, "1.237", "1", 0.05, 1, "1.20"}, // 1242 thousandths to a multiple of 50
        {3, "2.01", "1", 0.01, 0, "2.01"},  // 2.01 is held as 2.00999...: still 2.01
        {3, "0.29", "100", 0.01, 0, "29.00"},
        {3, "1.15", "3", 0.05, 0, "3.45"},
        {3, "-1.237", "1", 0.01, 0, "-1.23"}, // negative results round like their size
        {3, "-1.237", "1", 0.01, 1, "-1.24"},
        {3, "-0.001", "1", 0.01, 0, "0.00"},
        {4, "10.00", "17.5", 0.01, 0, "11.75"},
        {4, "19.99", "20", 0.10, 0, "23.90"},
        // the inputs are read as the C library reads numbers
        {4, " 12abc", "x", 0.01, 0, "12.00"},
        {3, "1e2", "2", 0.01, 0, "200.00"},
        {3, "inf", "2", 0.01, 0, "0.00"},
        {3, "1,234.50", "1", 0.01, 0, "1.00"}, // "," is no separator of the C locale
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Result(c.type, c.a, c.b, c.step, c.up), QString::fromLatin1(c.expected))
            << "type " << c.type << " a " << c.a << " b " << c.b << " step " << c.step;
    }
}

TEST_F(PriceCalculationTest, AnInputFromAPriceElementReadsItsFormatsSeparators)
{
    CPriceFormat continental = *ThePriceFormatList().GetStandardFormat();
    continental.m_name = "Continental";
    continental.SetPartText(CPriceFormat::PART_DECIMAL_SEPARATOR, ",");
    continental.m_thousandsSeparator = ".";
    const CPriceFormat* format = ThePriceFormatList().AddFormat(continental);
    ASSERT_NE(format, nullptr);
    auto* price = new CPriceField;
    price->m_name = "Was";
    price->SetFormat(nullptr, format);
    TheElementList().AddTail(price);

    auto* calc = static_cast<CPriceCalculation*>(
        TheVariableList().CreateVariable(VARIABLE_PRICE_CALC, "Saving"));
    ASSERT_NE(calc, nullptr);
    calc->m_type = CPriceCalculation::CALC_DIFFERENCE;
    calc->m_inputs[0] = {SOURCE_ELEMENT, "Was", "", ""};
    calc->m_inputs[1] = {SOURCE_FIXED, "", "", "234.25"};
    calc->SetSourceValue("1.234,50", SOURCE_ELEMENT, "Was", TRUE);
    EXPECT_DOUBLE_EQ(calc->GetInput(0), 1234.5);
    EXPECT_EQ(calc->GetValue(), "1000.25");
    // A name in other letter case is not the source.
    calc->SetSourceValue("9,00", SOURCE_ELEMENT, "WAS", TRUE);
    EXPECT_EQ(calc->m_inputs[0].data, "1.234,50");

    // A typed input of the same name takes only typed values.
    calc->m_inputs[1] = {SOURCE_KEYBOARD, "source1", "Now", ""};
    calc->SetSourceValue("34.50", SOURCE_KEYBOARD, "source1", TRUE);
    EXPECT_EQ(calc->GetValue(), "1200.00");

    std::vector<int> kinds;
    QStringList names;
    EXPECT_EQ(calc->GetDataSources(kinds, names), 2);
    EXPECT_EQ(kinds, (std::vector<int>{SOURCE_ELEMENT, SOURCE_KEYBOARD}));
    EXPECT_EQ(names, (QStringList{"Was", "source1"}));
}

TEST_F(PriceCalculationTest, RecordTextExportAndOlderSigns)
{
    CPriceCalculation calc;
    calc.m_name = "Tax";
    calc.m_type = CPriceCalculation::CALC_PURCHASE_TAX;
    calc.m_inputs[0] = {SOURCE_ELEMENT, "Net", "", "10.00"};
    calc.m_inputs[1] = {SOURCE_FIXED, "", "", "20"};
    calc.m_roundTo = 0.05;
    calc.m_roundUp = TRUE;
    calc.Calculate();
    EXPECT_EQ(calc.GetValue(), "12.00");
    const QByteArray expected = CRecordBytes()
                                    .Str("Tax")
                                    .Str("")
                                    .Int(0)
                                    .Int(4)
                                    .Int(10)
                                    .Str("Net")
                                    .Str("")
                                    .Str("10.00")
                                    .Int(0)
                                    .Str("")
                                    .Str("")
                                    .Str("20")
                                    .Double(0.05)
                                    .Int(1)
                                    .Str("12.00")
                                    .Bytes();
    EXPECT_EQ(Stored(calc).toHex(), expected.toHex());
    CPriceCalculation loaded;
    Load(loaded, expected);
    EXPECT_EQ(Stored(loaded), expected);

    // Version 320: kind 8 was today's 10 (another element); the round-up
    // flag is stored but read only from version 265 on.
    for (const int version : {320, 264}) {
        App().fileVersion = version;
        CPriceCalculation old;
        Load(old, CRecordBytes()
                      .Str("Old")
                      .Str("")
                      .Int(0)
                      .Int(0)
                      .Int(8)
                      .Str("Was")
                      .Str("")
                      .Str("")
                      .Int(1)
                      .Str("source1")
                      .Str("Now")
                      .Str("")
                      .Double(0.01)
                      .Int(1)
                      .Str("")
                      .Bytes());
        EXPECT_EQ(old.m_inputs[0].sourceKind, SOURCE_ELEMENT);
        EXPECT_EQ(old.m_inputs[1].sourceKind, SOURCE_KEYBOARD);
        EXPECT_EQ(old.m_roundUp, version >= 265 ? TRUE : FALSE) << version;
    }
    App().fileVersion = 514;

    // Values the pages never give are brought into range: a type, a kind,
    // a step of zero.
    CPriceCalculation wild;
    Load(wild, CRecordBytes()
                   .Str("W")
                   .Str("")
                   .Int(0)
                   .Int(77)
                   .Int(99)
                   .Str("")
                   .Str("")
                   .Str("5")
                   .Int(-4)
                   .Str("")
                   .Str("")
                   .Str("")
                   .Double(0.0)
                   .Int(0)
                   .Str("")
                   .Bytes());
    EXPECT_EQ(wild.m_type, CPriceCalculation::CALC_DIFFERENCE);
    EXPECT_EQ(wild.m_inputs[0].sourceKind, SOURCE_FIXED);
    EXPECT_EQ(wild.m_inputs[1].sourceKind, SOURCE_FIXED);
    EXPECT_DOUBLE_EQ(wild.m_roundTo, 0.01);
    wild.Calculate();
    EXPECT_EQ(wild.GetValue(), "5.00");

    EXPECT_EQ(Exported(calc),
              "  <price-calculation>\r\n\r\n"
              "    <name=\"Tax\"/>\r\n"
              "    <data-entry-index=\"0\"/>\r\n"
              "    <prompt=\"\"/>\r\n"
              "    <type=\"4\"/>\r\n"
              "    <source0 type=\"10\" name=\"Net\" prompt=\"\" data=\"10.00\"/>\r\n"
              "    <source1 type=\"0\" name=\"\" prompt=\"\" data=\"20\"/>\r\n"
              "    <rounding to=\"0.05\" up=\"1\"/>\r\n"
              "\r\n  </price-calculation>\r\n\r\n");
}
