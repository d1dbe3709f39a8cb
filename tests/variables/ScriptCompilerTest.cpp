// The macro script compiler: every error message with its line excerpt, the
// closing checks, and what a successful compile leaves behind.
#include "ScriptEngine.h"

#include <QString>

#include <string>

#include <gtest/gtest.h>

namespace {

struct ErrorCase
{
    const char* script;
    const char* errorText; // messages, then after a blank line the excerpts
};

// clang-format off
const ErrorCase kErrorCases[] = {
    // Engine and closing checks.
    {"", "No source code found\n"},
    {"' only a comment\n\n  \n", "No source code found\n"},
    {"A = 1", "Script must end with RETURN or GOTO\n"},
    {"L:\nA = 1\nGOTO L", "Script must have a RETURN statement\n"},
    {"GOTO NOWHERE\nRETURN 1", "Cannot find label - NOWHERE\n"},
    {"IF A = 1 THEN\nRETURN 1", "IF statement incomplete - no ENDIF found\n\nIF A = 1 \n"},
    {"GOTO START\nDONE: RETURN 1\nSTART: IF A = 1 THEN GOTO DONE",
     "IF statement branch out of range\n"},
    {"IF A = 1 THEN\nRETURN 1\nENDIF", "IF statement branch out of range\n"},
    {"FOR I = 1 TO 3\nRETURN 1", "FOR loop does not nave NEXT statement\n\n\n"},
    {"RETURN 1 !", "Invalid input\n\nRETURN 1 \n"},
    {"A$ = \"no end", "Invalid input\n\nA$ = \n"},
    {"THEN 1", "Invalid statement\n\n\n"},
    {"RETURN 1\n  END", "Invalid statement\n\n  \n"},
    {"RETURN 1\n5", "Invalid statement\n\n\n"},
    // Assignments.
    {"A\nRETURN 1", "\"=\" missing\n\nA\n"},
    {"A =\nRETURN 1", "Expression expected or invalid expression\n\nA =\n"},
    {"A = 1 + 2.5\nRETURN A", "Invalid expression or wrong type (cannot parse)\n\nA = \n"},
    {"A$ = 1\nRETURN A$", "Invalid expression or wrong type (cannot parse)\n\nA$ = \n"},
    {"X = -1\nRETURN X",
     "Expected an operand\nInvalid expression or wrong type (cannot parse)\n\nX = \nX = \n"},
    {"X = 1 +\nRETURN X",
     "Expected an operand\nInvalid expression or wrong type (cannot parse)\n\nX = 1 +\nX = \n"},
    {"X = 2 * (3 + 4\nRETURN X",
     "Unmatched brackets in expression\nInvalid expression or wrong type (cannot parse)\n\n"
     "X = 2 * (3 + 4\nX = \n"},
    {"A = 1 2\nRETURN A",
     "Expected an operator\nInvalid expression or wrong type (cannot parse)\n\nA = 1 \nA = \n"},
    {"X = (1))\nRETURN X", "Expression expected or invalid expression\n\nX = (1)\n"},
    {"L:\nL = 1\nRETURN L", "Symbol name already exists but is wrong type\n\n\n"},
    {"L:\nA = L + 1\nRETURN A", "Symbol name already exists but is wrong type\n"},
    // Labels and GOTO.
    {"L:\nL:\nRETURN 1", "Label or symbol already exists\n\n\n"},
    {"A = 1\nA:\nRETURN 1", "Label or symbol already exists\n\n\n"},
    {"GOTO 5", "Label expected\n\nGOTO \n"},
    {"A = 1\nGOTO A", "Symbol name already exists but is wrong type\n\nGOTO \n"},
    // IF, ELSE, ENDIF.
    {"IF A = 1 THEN IF B = 2 THEN RETURN 1",
     "Nested IF statements not allowed\n\nIF A = 1 THEN \n"},
    {"IF A = 1 THEN\nIF B = 1 THEN\nENDIF\nENDIF\nRETURN 1",
     "Nested IF statements not allowed\n\n\n"},
    {"IF A = 1\nRETURN 1", "IF without THEN\n\nIF A = 1\n"},
    {"IF THEN\nRETURN 1", "Expression expected or invalid expression\n\nIF \n"},
    {"IF A$ < B$ THEN\nRETURN 1\nENDIF\nRETURN 2", "Invalid conditional expression\n\nIF \n"},
    {"IF A THEN\nRETURN 1\nENDIF\nRETURN 2", "Invalid conditional expression\n\nIF \n"},
    {"IF A = 1 THEN", "Invalid conditional expression\n\nIF A = 1 THEN\n"},
    {"IF A = * THEN\nRETURN 1",
     "Expected an operand\nInvalid expression or wrong type (cannot parse)\n\nIF A = \nIF \n"},
    {"IF A = 1 THEN FOR I = 1 TO 2", "FOR not allowed after THEN\n\nIF A = 1 THEN \n"},
    {"ELSE\nRETURN 1", "ELSE without IF\n\n\n"},
    {"ENDIF\nRETURN 1", "ENDIF without IF\n\n\n"},
    // FOR and NEXT.
    {"FOR 1 = 1 TO 2", "Integer expected\n\nFOR \n"},
    {"FOR A$ = 1 TO 2", "Integer expected\n\nFOR \n"},
    {"L:\nFOR L = 1 TO 2", "Symbol name already exists but is wrong type\n\nFOR \n"},
    {"FOR I 1 TO 2", "\"=\" missing\n\nFOR I \n"},
    {"FOR I = 1\nNEXT I", "Missing TO after FOR statement\n\nFOR I = 1\n"},
    {"FOR I = 1 TO 5 THEN", "Invalid delimiter for limit expression\n\nFOR I = 1 TO 5 \n"},
    {"FOR I = 1 TO 5", "Invalid delimiter for limit expression\n\nFOR I = 1 TO 5\n"},
    {"FOR I = 1 TO 5 STEP 2 TO\nNEXT I",
     "Invalid delimiter for STEP expression\n\nFOR I = 1 TO 5 STEP 2 \n"},
    {"FOR I = 1 + TO 5\nNEXT I\nRETURN 1",
     "Expected an operand\nInvalid FOR loop initialisation expression\n\nFOR I = 1 + \n"
     "FOR I = \n"},
    {"FOR I = TO 5\nNEXT I\nRETURN 1",
     "Invalid FOR loop initialisation expression\n\nFOR I = \n"},
    {"FOR I = \"a\" TO 5\nNEXT I", "Expected an integer expression\n\nFOR I = \n"},
    {"FOR I = 1 TO (5\nNEXT I",
     "Unmatched brackets in expression\nInvalid FOR loop limit expression\n\n"
     "FOR I = 1 TO (5\nFOR I = 1 TO \n"},
    {"FOR I = 1 TO 2.5\nNEXT I", "Expected an integer expression\n\nFOR I = 1 TO \n"},
    {"FOR I = 1 TO 5 STEP *\nNEXT I",
     "Expected an operand\nInvalid FOR loop step size expression\n\n"
     "FOR I = 1 TO 5 STEP \nFOR I = 1 TO 5 STEP \n"},
    {"FOR I = 1 TO 5 STEP \"x\"\nNEXT I",
     "Expected an integer expression\n\nFOR I = 1 TO 5 STEP \n"},
    {"NEXT I\nRETURN 1", "NEXT without FOR\n\n\n"},
    {"FOR I = 1 TO 2\nNEXT J\nRETURN 1", "NEXT does not match previous FOR\n\nNEXT \n"},
    {"NEXT 5", "Integer expected\n\nNEXT \n"},
    {"L:\nNEXT L", "Symbol name already exists but is wrong type\n\nNEXT \n"},
    // RETURN.
    {"RETURN", "Expression expected or invalid expression\n\nRETURN\n"},
    {"RETURN 1 = 1", "Expected integer or string expression\n\nRETURN \n"},
    {"RETURN 1 + \"a\"", "Invalid expression or wrong type (cannot parse)\n\nRETURN \n"},
    // Function calls.
    {"RETURN LEN 1",
     "Left bracket missing\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN LEN \nRETURN \n"},
    {"RETURN LEFT$(1, 2)",
     "Expected string variable or literal\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN LEFT$(\nRETURN \n"},
    {"RETURN LEFT$(A$ + B$, 2)",
     "Comma expected\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN LEFT$(A$ \nRETURN \n"},
    {"RETURN INSTR(A$, B$ C$)",
     "Expected comma or right parenthesis\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN INSTR(A$, B$ \nRETURN \n"},
    {"RETURN MID$(A$, 1; 2)", "Invalid input\n\nRETURN MID$(A$, 1\n"},
    {"RETURN LEN(5)",
     "String expected\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN LEN(\nRETURN \n"},
    {"RETURN INT(5)",
     "Expected floating point expression\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN INT(\nRETURN \n"},
    {"RETURN FLOAT(\"a\")",
     "Expected an integer expression\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN FLOAT(\nRETURN \n"},
    {"RETURN CHR$(\"a\")",
     "Expected an integer expression\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN CHR$(\nRETURN \n"},
    {"RETURN CSUM$(A$, \"1\")",
     "Integer expected\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN CSUM$(\nRETURN \n"},
    {"RETURN DATE$(\"%d\", \"x\")",
     "Expected an integer expression\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN DATE$(\"%d\", \nRETURN \n"},
    {"RETURN LEN(A$",
     "Right bracket missing\nInvalid expression or wrong type (cannot parse)\n\n"
     "RETURN LEN(A$\nRETURN \n"},
    {"RETURN LEN()",
     "Expression expected or invalid expression\nInvalid expression or wrong type (cannot "
     "parse)\n\nRETURN LEN(\nRETURN \n"},
    {"RETURN LEN(A$ +)",
     "Expected an operand\nInvalid expression or wrong type (cannot parse)\n"
     "Invalid expression or wrong type (cannot parse)\n\nRETURN LEN(A$ +\nRETURN LEN(\n"
     "RETURN \n"},
    // Line excerpts run from the start of the offending line.
    {"A = 1\r\nB = 2\r\nC = * 3\r\nRETURN C",
     "Expected an operand\nInvalid expression or wrong type (cannot parse)\n\nC = \nC = \n"},
};
// clang-format on

TEST(ScriptCompiler, ErrorMessagesWithExcerpts)
{
    for (const ErrorCase& c : kErrorCases) {
        CScriptEngine engine;
        const QString script = QString::fromUtf8(c.script);
        EXPECT_EQ(engine.Compile(script), FALSE) << c.script;
        EXPECT_EQ(engine.GetErrorText().toStdString(), std::string(c.errorText)) << c.script;
        // A failed engine still runs without harm.
        engine.Run();
    }
}

TEST(ScriptCompiler, ValidScriptsCompile)
{
    const char* scripts[] = {
        "RETURN 1",
        "A# = FLOAT(1) + 2.5\nRETURN A#",
        "' comment\nA$ = \"x\" ' trailing comment\nRETURN A$",
        "IF A = 1 THEN\nR = 1\nELSE\nR = 2\nENDIF\nRETURN R",
        "FOR I = 1 TO 3\nFOR J = 1 TO 2 STEP 1\nNEXT J\nNEXT I\nRETURN I",
        "TOP: IF A < 3 THEN GOTO TOP\nRETURN A",
        "GOTO LATER\nLATER: RETURN 1",
        "LABEL\nRETURN 1",
        "RETURN INSTR(A$, \"x\", 2) + LEN(MID$(A$, 1)) + ASC(CSUM$(4, \"1\"))",
        "IF (A = 1) = (B = 2) THEN\nRETURN 1\nENDIF\nRETURN 0",
        "return lcase$(\"ABC\")",
    };
    for (const char* script : scripts) {
        CScriptEngine engine;
        EXPECT_EQ(engine.Compile(QString::fromUtf8(script)), TRUE)
            << script << "\n"
            << engine.GetErrorText().toStdString();
        EXPECT_TRUE(engine.GetErrorText().isEmpty()) << script;
    }
}

TEST(ScriptCompiler, StatementsAndTargets)
{
    // IF with ELSE: the IF's false target is the statement after the ELSE
    // jump, the jump and the IF's second target the statement after ENDIF.
    CScriptEngine engine;
    ASSERT_EQ(engine.Compile(QStringLiteral("IF A = 1 THEN\nR = 1\nELSE\nR = 2\nENDIF\nRETURN R")),
              TRUE);
    const auto& s = engine.Statements();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0]->m_kind, SCRIPT_IF_STATEMENT);
    EXPECT_EQ(s[0]->m_target1, 3);
    EXPECT_EQ(s[0]->m_target2, 4);
    EXPECT_EQ(s[2]->m_kind, SCRIPT_JUMP);
    EXPECT_EQ(s[2]->m_target1, 4);

    // FOR makes an initialisation and a test; NEXT goes back to the test,
    // the test leaves to the statement after NEXT.
    ASSERT_EQ(engine.Compile(QStringLiteral("FOR I = 1 TO 3\nX = I\nNEXT I\nRETURN X")), TRUE);
    const auto& f = engine.Statements();
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0]->m_kind, SCRIPT_FOR_START);
    EXPECT_EQ(f[1]->m_kind, SCRIPT_FOR_TEST);
    EXPECT_EQ(f[1]->m_target1, 4);
    EXPECT_EQ(f[3]->m_kind, SCRIPT_NEXT_STATEMENT);
    EXPECT_EQ(f[3]->m_target1, 1);

    // A one-line IF skips exactly the one statement after it.
    ASSERT_EQ(engine.Compile(QStringLiteral("IF A = 1 THEN R = 5\nRETURN R")), TRUE);
    EXPECT_EQ(engine.Statements()[0]->m_target1, 2);
    EXPECT_EQ(engine.Statements()[0]->m_target2, 2);

    // The word LABEL defines the label LABE.
    ASSERT_EQ(engine.Compile(QStringLiteral("LABEL\nRETURN 1")), TRUE);
    ASSERT_NE(engine.FindSymbol(QStringLiteral("LABE")), nullptr);
    EXPECT_EQ(engine.FindSymbol(QStringLiteral("LABE"))->m_type, SCRIPT_TYPE_LABEL);
}

TEST(ScriptCompiler, SecondCompileStartsFromScratch)
{
    CScriptEngine engine;
    ASSERT_EQ(engine.Compile(QStringLiteral("RETURN OLD$")), TRUE);
    ASSERT_EQ(engine.Compile(QStringLiteral("RETURN NEW")), TRUE);
    EXPECT_EQ(engine.FindSymbol(QStringLiteral("OLD$")), nullptr);
    QStringList names;
    std::vector<int> types;
    EXPECT_EQ(engine.GetInputs(names, types), 1);
    EXPECT_EQ(names, QStringList{QStringLiteral("NEW")});

    // Errors of an earlier compile are gone too.
    EXPECT_EQ(engine.Compile(QStringLiteral("RETURN")), FALSE);
    EXPECT_EQ(engine.Compile(QStringLiteral("RETURN 2")), TRUE);
    EXPECT_TRUE(engine.GetErrorText().isEmpty());
    engine.Run();
    EXPECT_EQ(engine.GetResult(), QStringLiteral("2"));
}

} // namespace
