// The macro script run time: arithmetic, control flow, the built-in
// functions, the check sums, dates with the program's week rule, inputs.
#include "DateTimeFormat.h"
#include "ScriptEngine.h"
#include "ScriptExpression.h"

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Input
{
    const char* name;
    int type;
    const char* value;
};

// Compiles and runs a script with the inputs; the result text, or a note of
// the compile error.
QString RunScript(const QString& script, const std::vector<Input>& inputs = {})
{
    CScriptEngine engine;
    if (!engine.Compile(script))
        return QStringLiteral("<compile error> ") + engine.GetErrorText();
    for (const Input& input : inputs)
        engine.SetInput(QString::fromUtf8(input.name), input.type, QString::fromUtf8(input.value));
    engine.Run();
    if (!engine.GetRunError().isEmpty())
        return QStringLiteral("<run error> ") + engine.GetRunError();
    return engine.GetResult();
}

struct RunCase
{
    const char* script;
    const char* result;
};

void CheckCases(const std::vector<RunCase>& cases)
{
    for (const RunCase& c : cases)
        EXPECT_EQ(RunScript(QString::fromUtf8(c.script)).toStdString(), std::string(c.result))
            << c.script;
}

TEST(ScriptRun, ArithmeticAndPrecedence)
{
    CheckCases({
        {"RETURN 1", "1"},
        {"RETURN 7 / 2", "3"},
        {"RETURN (0 - 7) / 2", "-3"},
        {"RETURN FLOAT(7) / FLOAT(2)", "3.500000"},
        {"RETURN 7 / 0", "0"},
        {"RETURN 7 MOD 0", "0"},
        {"RETURN 0 - 7 MOD 3", "-1"},
        {"RETURN (0 - 7) MOD 3", "-1"},
        {"RETURN 7 MOD (0 - 3)", "1"},
        {"RETURN 2 + 3 * 4", "14"},
        {"RETURN (2 + 3) * 4", "20"},
        {"RETURN 10 - 4 - 3", "3"},
        {"RETURN 100 / 10 / 5", "2"},
        {"RETURN 2 * 3 MOD 4", "2"},
        {"RETURN ((((1))))", "1"},
        {"RETURN \"a\" + \"b\" + \"c\"", "abc"},
        {"RETURN 2.5", "2.500000"},
        {"RETURN 0.1 + 0.2", "0.300000"},
        {"RETURN FLOAT(1) / FLOAT(0)", "0.000000"},
        {"RETURN FLOAT(7) MOD FLOAT(2)", "1.000000"},
        {"RETURN FLOAT(7) MOD 0.0", "0.000000"},
        {"RETURN 1.5 * 2.0 - 0.25", "2.750000"},
        // 32-bit integers wrap and never trap.
        {"RETURN 2147483647 + 1", "-2147483648"},
        {"RETURN 65536 * 65536", "0"},
        {"RETURN 0 - 2147483647 - 2", "2147483647"},
        {"A = 0 - 2147483647 - 1\nRETURN A / (0 - 1)", "-2147483648"},
        {"A = 0 - 2147483647 - 1\nRETURN A MOD (0 - 1)", "0"},
        {"RETURN 99999999999", "2147483647"},
        {"RETURN INT(FVAL(\"1e300\") * FVAL(\"1e300\"))", "2147483647"},
        {"RETURN INT(FLOAT(0) - FVAL(\"1e300\"))", "-2147483648"},
        {"RETURN INT(FVAL(\"nan\"))", "0"},
    });
}

TEST(ScriptRun, ControlFlow)
{
    CheckCases({
        {"S = 0\nFOR I = 1 TO 10\nS = S + I\nNEXT I\nRETURN S", "55"},
        {"S = 0\nFOR I = 5 TO 1\nS = S + 1\nNEXT I\nRETURN S", "0"},
        {"S = 0\nFOR I = 1 TO 10 STEP 4\nS = S * 10 + I\nNEXT I\nRETURN S", "159"},
        {"S = 0\nFOR I = 1 TO 3\nFOR J = 1 TO I\nS = S + 1\nNEXT J\nNEXT I\nRETURN S", "6"},
        {"FOR I = 1 TO 3\nNEXT I\nRETURN I", "4"},
        // A negative step counts down; a step of 0 runs the body once.
        {"S = 0\nFOR I = 10 TO 1 STEP 0 - 3\nS = S * 100 + I\nNEXT I\nRETURN S", "10070401"},
        {"S = 0\nFOR I = 1 TO 3 STEP 0\nS = S + 1\nNEXT I\nRETURN S", "1"},
        {"S = 0\nFOR I = 3 TO 1 STEP 0\nS = S + 1\nNEXT I\nRETURN S", "0"},
        // A counter that would pass the integer range ends its loop.
        {"S = 0\nFOR I = 2147483640 TO 2147483647 STEP 5\nS = S + 1\nNEXT I\nRETURN S", "2"},
        {"I = 0\nTOP: I = I + 1\nIF I < 5 THEN GOTO TOP\nRETURN I", "5"},
        {"GOTO B\nA: RETURN \"a\"\nB: GOTO A", "a"},
        {"R$ = \"x\"\nIF 1 = 2 THEN\nR$ = \"y\"\nENDIF\nRETURN R$", "x"},
        {"IF 1 = 1 THEN\nRETURN \"first\"\nENDIF\nRETURN \"second\"", "first"},
        {"IF 2 > 1 THEN RETURN \"yes\"\nRETURN \"no\"", "yes"},
        {"IF \"a\" = \"A\" THEN RETURN \"same\"\nRETURN \"differs\"", "differs"},
        {"IF \"a\" <> \"A\" THEN RETURN \"differs\"\nRETURN \"same\"", "differs"},
        {"IF 2.5 >= 2.5 AND 1.0 < 2.0 THEN RETURN 1\nRETURN 0", "1"},
        {"IF (1 = 1) = (2 = 2) THEN RETURN 1\nRETURN 0", "1"},
        {"IF (1 = 1) <> (2 = 3) THEN RETURN 1\nRETURN 0", "1"},
    });

    // IF with ELSE, AND and OR (equal precedence, from the left).
    const QString choose = QStringLiteral(
        "IF A > 1 AND A < 5 OR A = 9 THEN\nR$ = \"in\"\nELSE\nR$ = \"out\"\nENDIF\nRETURN R$");
    const std::pair<const char*, const char*> choices[] = {
        {"3", "in"}, {"9", "in"}, {"6", "out"}, {"0", "out"}, {"1", "out"}, {"5", "out"}};
    for (const auto& [value, expected] : choices)
        EXPECT_EQ(RunScript(choose, {{"A", SCRIPT_TYPE_INTEGER, value}}),
                  QString::fromUtf8(expected))
            << value;
}

TEST(ScriptRun, StringFunctions)
{
    CheckCases({
        {"RETURN ASC(\"A\")", "65"},
        {"RETURN ASC(\"\")", "0"},
        {"RETURN ASC(CHR$(200))", "-56"},
        {"RETURN ASC(\"€\")", "-128"},
        {"RETURN LEN(\"abc\")", "3"},
        {"RETURN LEN(\"\")", "0"},
        {"RETURN LEN(CHR$(0))", "1"},
        {"RETURN VAL(\" -12x\")", "-12"},
        {"RETURN VAL(\"x\")", "0"},
        {"RETURN INSTR(\"ABC\", \"D\")", "-1"},
        {"RETURN INSTR(\"ABC\", \"\")", "-1"},
        {"RETURN INSTR(\"ABCABC\", \"BC\")", "2"},
        {"RETURN INSTR(\"ABCABC\", \"BC\", 3)", "5"},
        {"RETURN INSTR(\"ABCABC\", \"BC\", 0 - 4)", "2"},
        {"RETURN INSTR(\"ABCABC\", \"BC\", 99)", "-1"},
        {"RETURN INSTR(\"ABCABC\", \"abc\")", "-1"},
        {"RETURN INT(2.9)", "2"},
        {"RETURN INT(FLOAT(0) - 2.9)", "-2"},
        {"RETURN CHR$(65)", "A"},
        {"RETURN CHR$(321)", "A"},
        {"RETURN CHR$(65.9)", "A"},
        {"RETURN CHR$(128)", "€"},
        {"RETURN STR$(0 - 5)", "-5"},
        {"RETURN STR$(1.25)", "1.250000"},
        {"RETURN LEFT$(\"ABC\", 9)", "ABC"},
        {"RETURN LEFT$(\"ABC\", 2)", "AB"},
        {"RETURN LEFT$(\"ABC\", 0 - 1)", ""},
        {"RETURN RIGHT$(\"ABC\", 2)", "BC"},
        {"RETURN RIGHT$(\"ABC\", 7)", "ABC"},
        {"RETURN RIGHT$(\"ABC\", 0 - 7)", ""},
        {"RETURN MID$(\"ABC\", 5)", ""},
        {"RETURN MID$(\"ABC\", 4)", ""},
        {"RETURN MID$(\"ABCDE\", 2)", "BCDE"},
        {"RETURN MID$(\"ABCDE\", 2, 2)", "BC"},
        {"RETURN MID$(\"ABCDE\", 0, 2)", "AB"},
        {"RETURN MID$(\"ABCDE\", 4, 99)", "DE"},
        {"RETURN MID$(\"ABCDE\", 2, 0 - 1)", ""},
        {"RETURN UCASE$(\"aBc\")", "ABC"},
        {"RETURN LCASE$(\"aBc\")", "abc"},
        {"RETURN LTRIM$(\" \t a b \t \")", "a b \t "},
        {"RETURN RTRIM$(\" \t a b \t \")", " \t a b"},
        {"RETURN TRIM$(\" \t a b \t \")", "a b"},
        {"RETURN TRIM$(\"   \")", ""},
        {"RETURN FVAL(\" 2.5xyz\") * 2.0", "5.000000"},
        {"RETURN FVAL(\"abc\")", "0.000000"},
        {"RETURN FLOAT(3)", "3.000000"},
        {"RETURN \"say \\\"hi\\\"\"", "say \"hi\""},
        {"RETURN \"a\\nb\"", "aNb"},
        {"A$ = \"Hello\"\nB$ = A$ + \", \" + UCASE$(MID$(A$, 2, 3))\nRETURN B$", "Hello, ELL"},
    });
}

TEST(ScriptRun, CheckSums)
{
    const struct
    {
        int algorithm;
        const char* data;
        const char* check;
    } cases[] = {
        // Code 39 modulo 43.
        {0, "", ""},
        {0, "*", "0"},
        {0, "CODE39", "W"},
        {0, "code39", "W"},
        {0, "*AB*CD", "L"},
        {0, "a!b", ""},
        {0, "-. $/+%", "F"},
        // Modulo 10, weight 3 on the rightmost digit.
        {1, "400638133393", "1"},
        {3, "0 3600029145", "2"},
        {1, "12A", ""},
        {1, "", ""},
        {1, "   ", ""},
        {3, "9", "3"},
        // Modulo 10 over every character.
        {2, "", ""},
        {2, "1234", "8"},
        {2, "123", "6"},
        {2, "A", "9"},
        // Digit sum.
        {4, "123", "4"},
        {4, "", ""},
        {4, "1 2", "7"},
        {4, "1x", ""},
        {4, "55", "0"},
        // Four- and five-digit price fields.
        {5, "2875", "9"},
        {5, "1234", "9"},
        {5, "12", "6"},
        {5, "", "0"},
        {5, "$98.75", "8"},
        {5, "123456", "8"},
        {6, "14685", "6"},
        {6, "83", "0"},
        {6, "00000", "0"},
        {6, "2", "8"},
        // Eight-bit cyclic check.
        {7, "", "00"},
        {7, "1", "73"},
        {7, "X", "9F"},
        {7, "a", "9F"},
        {7, "G", ""},
        // Unknown algorithms.
        {8, "123", ""},
        {-1, "123", ""},
    };
    for (const auto& c : cases) {
        const QString data = QString::fromUtf8(c.data);
        EXPECT_EQ(ScriptCheckSum(c.algorithm, data).toStdString(), std::string(c.check))
            << c.algorithm << " " << c.data;
        // The same through a script, the algorithm from a variable.
        const QString script = QStringLiteral("N = %1 - %2\nRETURN CSUM$(N, D$)")
                                   .arg(std::max(c.algorithm, 0))
                                   .arg(std::max(-c.algorithm, 0));
        EXPECT_EQ(RunScript(script, {{"D", SCRIPT_TYPE_STRING, c.data}}).toStdString(),
                  std::string(c.check))
            << c.algorithm << " " << c.data;
    }
}

// Runs in UTC with a fixed clock.
class ScriptClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_oldTz = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        SetScriptClock(nullptr);
        if (m_hadTz)
            setenv("TZ", m_oldTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static std::time_t At(int year, int month, int day, int hour = 12, int minute = 0)
    {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        return timegm(&t);
    }
    static std::time_t s_now;
    static std::time_t Now() { return s_now; }

    bool m_hadTz = false;
    std::string m_oldTz;
};

std::time_t ScriptClockTest::s_now = 0;

TEST_F(ScriptClockTest, ProgramWeekNumbers)
{
    const struct
    {
        int year, month, day, week;
    } cases[] = {
        {2024, 1, 1, 1},    // Monday 1 January: week 1
        {2021, 1, 1, 53},   // Friday 1 January: the old year's last week
        {2021, 1, 3, 53},   // Sunday
        {2021, 1, 4, 1},    // Monday after
        {2022, 1, 1, 52},   // Saturday 1 January after a year with 52 weeks
        {2018, 12, 31, 53}, // Monday 31 December stays in the old year
        {2026, 1, 15, 3},   // 1 January 2026 is a Thursday
        {2026, 1, 1, 1},    {2026, 12, 31, 53},
        {2016, 1, 1, 53}, // Friday after a leap year ... 2015 had 53 weeks
    };
    for (const auto& c : cases) {
        const std::time_t when = At(c.year, c.month, c.day);
        std::tm local{};
        ASSERT_NE(gmtime_r(&when, &local), nullptr);
        EXPECT_EQ(ProgramWeekNumber(local), c.week) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(FormatDateTime(QStringLiteral("%W"), when), QString::asprintf("%02d", c.week));
    }
}

TEST_F(ScriptClockTest, DateAndTimeFunctions)
{
    s_now = At(2026, 1, 15, 12, 34);
    SetScriptClock(&ScriptClockTest::Now);
    CheckCases({
        {"RETURN DATE$(\"%Y-%m-%d\")", "2026-01-15"},
        {"RETURN DATE$(\"%Y-%m-%d\", 1)", "2026-01-16"},
        {"RETURN DATE$(\"%Y-%m-%d\", 0 - 20)", "2025-12-26"},
        {"RETURN DATE$(\"week %U/%W\")", "week 03/03"},
        {"RETURN TIME$(\"%H:%M\")", "12:34"},
        {"RETURN TIME$(\"%U\")", "02"},
        {"F$ = \"%d.%m.%y\"\nRETURN DATE$(F$, 7)", "22.01.26"},
        {"RETURN DATE$(\"\")", ""},
    });
    // Days far beyond any calendar neither overflow nor trap.
    RunScript(QStringLiteral("RETURN DATE$(\"%Y\", 2147483647)"));
    RunScript(QStringLiteral("RETURN DATE$(\"%Y\", 0 - 2147483647 - 1)"));
}

TEST(ScriptRun, InputsAreTheNamesReadButNeverAssigned)
{
    CScriptEngine engine;
    ASSERT_EQ(engine.Compile(
                  QStringLiteral("T = 0\nFOR I = 1 TO QTY\nT = T + 1\nNEXT I\nDONE:\n"
                                 "RETURN PRICE$ + \" x\" + STR$(T) + \" @\" + STR$(RATE# * 2.0)")),
              TRUE);
    QStringList names;
    std::vector<int> types;
    ASSERT_EQ(engine.GetInputs(names, types), 3);
    EXPECT_EQ(names, (QStringList{QStringLiteral("PRICE"), QStringLiteral("QTY"),
                                  QStringLiteral("RATE")}));
    EXPECT_EQ(types, (std::vector<int>{39, 37, 40}));

    engine.SetInput(QStringLiteral("price"), SCRIPT_TYPE_STRING, QStringLiteral("12"));
    engine.SetInput(QStringLiteral("Qty"), SCRIPT_TYPE_INTEGER, QStringLiteral(" 3 pieces"));
    engine.SetInput(QStringLiteral("rate"), SCRIPT_TYPE_FLOAT, QStringLiteral("1.25"));
    // Names of another type, and names that are no input, are ignored.
    engine.SetInput(QStringLiteral("price"), SCRIPT_TYPE_INTEGER, QStringLiteral("99"));
    engine.SetInput(QStringLiteral("unknown"), SCRIPT_TYPE_STRING, QStringLiteral("x"));
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QStringLiteral("12 x3 @2.500000"));

    // Assigned names start from zero in every run; inputs keep their values.
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QStringLiteral("12 x3 @2.500000"));
}

TEST(ScriptRun, ResultIsThatOfTheLastStatement)
{
    CScriptEngine engine;
    // A run that ends at a GOTO beyond the last statement gives no result.
    ASSERT_EQ(
        engine.Compile(QStringLiteral("IF A = 1 THEN\nRETURN 1\nENDIF\nGOTO E\nRETURN 0\nE:")),
        TRUE);
    engine.SetInput(QStringLiteral("A"), SCRIPT_TYPE_INTEGER, QStringLiteral("2"));
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QString());
    engine.SetInput(QStringLiteral("A"), SCRIPT_TYPE_INTEGER, QStringLiteral("1"));
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QStringLiteral("1"));

    // A never compiled engine runs to an empty result.
    CScriptEngine empty;
    empty.Run();
    EXPECT_TRUE(empty.GetResult().isEmpty());
}

} // namespace
