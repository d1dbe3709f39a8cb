// Hostile macro scripts: endless loops, texts that double, deep nesting,
// huge texts and random token sequences all end, within bounds, with a
// clear message and no crash.
#include "ScriptEngine.h"
#include "ScriptExpression.h"

#include "Growth.h"

#include <QString>
#include <QStringList>

#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

// Compiles and runs; returns the run error (empty when the run ended).
struct Outcome
{
    bool compiled;
    QString result;
    QString runError;
};

Outcome CompileAndRun(const QString& script)
{
    CScriptEngine engine;
    Outcome outcome;
    outcome.compiled = engine.Compile(script) == TRUE;
    engine.Run();
    outcome.result = engine.GetResult();
    outcome.runError = engine.GetRunError();
    return outcome;
}

TEST(ScriptHostile, EndlessScriptsAreStopped)
{
    const struct
    {
        const char* script;
        bool textTooLong;
    } cases[] = {
        {"TOP: GOTO TOP\nRETURN 1", false},
        {"TOP: X = X + 1\nIF X > 0 THEN GOTO TOP\nGOTO TOP\nRETURN X", false},
        {"FOR I = 1 TO 2\nI = 0\nNEXT I\nRETURN 1", false},
        {"FOR I = 5 TO 1 STEP 0 - 1\nI = I + 5\nNEXT I\nRETURN 1", false},
        {"A$ = \"ab\"\nTOP: A$ = A$ + A$\nGOTO TOP\nRETURN A$", true},
        {"A$ = \"abcdefghijklmnopqrstuvwxyz\"\nFOR I = 1 TO 100000000\nB$ = A$ + A$ + A$\n"
         "NEXT I\nRETURN B$",
         true},
        {"A$ = \"x\"\nFOR I = 1 TO 2000000000\nA$ = UCASE$(A$ + \"y\")\nNEXT I\nRETURN A$", true},
    };
    // A long expression evaluated in an endless loop.
    QString longExpression = QStringLiteral("TOP: X = 0");
    for (int i = 0; i < 20000; ++i)
        longExpression += QStringLiteral(" + 1");
    longExpression += QStringLiteral("\nGOTO TOP\nRETURN X");
    const Outcome outcome = CompileAndRun(longExpression);
    EXPECT_TRUE(outcome.compiled);
    EXPECT_EQ(outcome.runError, ScriptTooManyStepsMessage());

    for (const auto& c : cases) {
        const Outcome outcome = CompileAndRun(QString::fromUtf8(c.script));
        EXPECT_TRUE(outcome.compiled) << c.script;
        EXPECT_TRUE(outcome.result.isEmpty()) << c.script;
        EXPECT_EQ(outcome.runError.toStdString(),
                  (c.textTooLong ? ScriptTextTooLongMessage() : ScriptTooManyStepsMessage())
                      .toStdString())
            << c.script;
    }
}

TEST(ScriptHostile, AStoppedRunLeavesTheEngineUsable)
{
    CScriptEngine engine;
    ASSERT_EQ(
        engine.Compile(QStringLiteral("IF N = 1 THEN\nTOP: GOTO TOP\nENDIF\nRETURN \"done\"")),
        TRUE);
    engine.SetInput(QStringLiteral("N"), SCRIPT_TYPE_INTEGER, QStringLiteral("1"));
    engine.Run();
    EXPECT_FALSE(engine.GetRunError().isEmpty());
    EXPECT_TRUE(engine.GetResult().isEmpty());
    engine.SetInput(QStringLiteral("N"), SCRIPT_TYPE_INTEGER, QStringLiteral("0"));
    engine.Run();
    EXPECT_TRUE(engine.GetRunError().isEmpty());
    EXPECT_EQ(engine.GetResult(), QStringLiteral("done"));
}

TEST(ScriptHostile, DeepNesting)
{
    // Brackets nest without limit and without recursion.
    const int depth = 200000;
    const QString brackets = QStringLiteral("RETURN ") + QString(depth, u'(') +
                             QStringLiteral("1") + QString(depth, u')');
    Outcome outcome = CompileAndRun(brackets);
    EXPECT_TRUE(outcome.compiled);
    EXPECT_EQ(outcome.result, QStringLiteral("1"));

    // Function calls nest up to a limit; deeper ones are refused.
    auto calls = [](int n) {
        QString script = QStringLiteral("RETURN ");
        for (int i = 0; i < n; ++i)
            script += QStringLiteral("UCASE$(");
        script += QStringLiteral("\"a\"") + QString(n, u')');
        return script;
    };
    outcome = CompileAndRun(calls(CScriptEngine::kMaxCallDepth));
    EXPECT_TRUE(outcome.compiled);
    EXPECT_EQ(outcome.result, QStringLiteral("A"));
    CScriptEngine engine;
    EXPECT_EQ(engine.Compile(calls(10000)), FALSE);
    EXPECT_TRUE(engine.GetErrorText().startsWith(QStringLiteral("Functions nested too deeply\n")));
}

TEST(ScriptHostile, HugeTexts)
{
    // A script beyond the longest compiled is refused at once.
    CScriptEngine engine;
    const QString huge =
        QStringLiteral("RETURN 1\n") + QString(CScriptEngine::kMaxScriptLength, u' ');
    EXPECT_EQ(engine.Compile(huge), FALSE);
    EXPECT_EQ(engine.GetErrorText(), QStringLiteral("Script too long\n"));

    // A script just within the longest compiles, in time linear in its size:
    // sixteen times the lines take about sixteen times as long.
    QString many;
    while (many.size() < CScriptEngine::kMaxScriptLength - 100)
        many += QStringLiteral("A = A + LEN(MID$(S$, 1, (2)))\n");
    many += QStringLiteral("RETURN A");
    EXPECT_EQ(engine.Compile(many), TRUE);
    engine.SetInput(QStringLiteral("S"), SCRIPT_TYPE_STRING, QStringLiteral("xyz"));
    engine.Run();
    EXPECT_EQ(engine.GetResult(),
              QString::number((CScriptEngine::kMaxScriptLength - 100 + 29) / 30 * 2));
    const auto compile = [](int lines) -> qint64 {
        QString text;
        for (int i = 0; i < lines; ++i)
            text += QStringLiteral("A = A + LEN(MID$(S$, 1, (2)))\n");
        text += QStringLiteral("RETURN A");
        CScriptEngine engine;
        const CCpuTimer timer;
        EXPECT_EQ(engine.Compile(text), TRUE);
        return timer.Nanoseconds();
    };
    // (Measured below the longest, where the allocator's own costs do not
    // yet swamp the compiler's.)
    const int most = int((CScriptEngine::kMaxScriptLength - 100) / 30);
    EXPECT_LT(Growth(compile, most / 4), kLinearGrowthBound);

    // One very long line: the excerpt is cut short, the error text is not huge.
    const QString longLine =
        QStringLiteral("X = ") + QString(100000, u'1') + QStringLiteral(" 2\nRETURN X");
    EXPECT_EQ(engine.Compile(longLine), FALSE);
    EXPECT_LT(engine.GetErrorText().size(), 1000);

    // Many wrong-type names report a bounded number of messages.
    QString wrong = QStringLiteral("L:\nA = 0");
    for (int i = 0; i < 10000; ++i)
        wrong += QStringLiteral(" + L");
    wrong += QStringLiteral("\nRETURN A");
    EXPECT_EQ(engine.Compile(wrong), FALSE);
    EXPECT_LE(engine.GetErrorText().count(u'\n'), 25);

    // A huge input is taken in; functions over it stay within the budget.
    ASSERT_EQ(engine.Compile(QStringLiteral("RETURN STR$(LEN(S$)) + LEFT$(S$, 3) + "
                                            "CSUM$(4, S$) + STR$(INSTR(S$, \"2\"))")),
              TRUE);
    engine.SetInput(QStringLiteral("S"), SCRIPT_TYPE_STRING, QString(500000, u'1'));
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QStringLiteral("5000001110-1"));
}

// Words the random scripts are made of.
const char* const kVocabulary[] = {
    "FOR",    "TO",        "STEP",   "NEXT",  "IF",     "THEN", "ELSE",  "ENDIF",  "GOTO",
    "RETURN", "END",       "A",      "B",     "I",      "S$",   "T$",    "F#",     "L:",
    "L",      "M:",        "M",      "LABEL", "1",      "0",    "7",     "2.5",    "2147483647",
    "\"x\"",  "\"%U %Y\"", "\"\"",   "+",     "-",      "*",    "/",     "MOD",    "=",
    "<>",     "<",         ">",      "<=",    ">=",     "AND",  "OR",    "(",      ")",
    ",",      "\n",        "\n",     "\n",    "ASC",    "LEN",  "VAL",   "INSTR",  "INT",
    "CHR$",   "DATE$",     "LEFT$",  "MID$",  "RIGHT$", "STR$", "TIME$", "UCASE$", "LCASE$",
    "CSUM$",  "LTRIM$",    "RTRIM$", "TRIM$", "FLOAT",  "FVAL", "'",     "\"",     "\\",
    "!",
};

// Scripts that are nearly right, to be mutated.
const char* const kSeeds[] = {
    "S = 0\nFOR I = 1 TO 10 STEP 2\nS = S + I\nNEXT I\nRETURN S",
    "IF A > 1 AND A < 5 THEN\nR$ = \"in\"\nELSE\nR$ = LEFT$(T$, 2)\nENDIF\nRETURN R$",
    "TOP: I = I + 1\nIF I < 5 THEN GOTO TOP\nRETURN STR$(FLOAT(I) / 2.0)",
    "S$ = \"ab\"\nL: S$ = S$ + S$\nIF LEN(S$) < 64 THEN GOTO L\nRETURN CSUM$(7, S$)",
    "RETURN DATE$(\"%W\", 3) + MID$(T$, 2, 3) + STR$(INSTR(T$, S$, 2))",
};

TEST(ScriptHostile, RandomTokenSequencesAndMutations)
{
    std::mt19937 random(20261210);
    const int rounds = 2000;
    for (int round = 0; round < rounds; ++round) {
        QString script;
        if (round % 2 == 0) {
            const int length = 1 + int(random() % 60);
            for (int i = 0; i < length; ++i) {
                script += QString::fromUtf8(kVocabulary[random() % std::size(kVocabulary)]);
                script += random() % 4 ? QStringLiteral(" ") : QString();
            }
        } else {
            script = QString::fromUtf8(kSeeds[random() % std::size(kSeeds)]);
            const int edits = 1 + int(random() % 4);
            for (int e = 0; e < edits && !script.isEmpty(); ++e) {
                const qsizetype at = qsizetype(random() % std::uint32_t(script.size()));
                switch (random() % 3) {
                case 0:
                    script.remove(at, 1 + qsizetype(random() % 4));
                    break;
                case 1:
                    script.insert(
                        at, QString::fromUtf8(kVocabulary[random() % std::size(kVocabulary)]));
                    break;
                default:
                    script[at] = QChar(char16_t(random() % 128));
                    break;
                }
            }
        }
        const Outcome outcome = CompileAndRun(script);
        EXPECT_TRUE(outcome.runError.isEmpty() || outcome.runError == ScriptTooManyStepsMessage() ||
                    outcome.runError == ScriptTextTooLongMessage())
            << script.toStdString();
    }
}

} // namespace
