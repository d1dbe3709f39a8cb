// A postfix expression of a macro script with its type, and its evaluation
// at run time, the operators and the built-in functions included.
#pragma once

#include <QString>

#include <cstdint>
#include <ctime>
#include <vector>

class CScriptToken;

// Result types of an expression.
enum ScriptResultType : int
{
    SCRIPT_RESULT_INTEGER = 0,
    SCRIPT_RESULT_FLOAT = 1,
    SCRIPT_RESULT_STRING = 2,
    SCRIPT_RESULT_CONDITION = 3,
};

// What one run may spend. A script can loop without end or build texts that
// double in every pass; the run is stopped with a message instead.
struct ScriptRunState
{
    // Statements and the tokens of their expressions count one unit each,
    // work on texts one per 256 characters.
    static constexpr std::int64_t kWorkBudget = 4'000'000;
    // No text made by a script grows beyond this many characters ...
    static constexpr qsizetype kMaxTextLength = 1 << 20;
    // ... and one run makes no more than this many characters in all.
    static constexpr std::int64_t kMaxCharactersMade = std::int64_t(1) << 25;

    std::int64_t work = 0;
    std::int64_t charactersMade = 0;
    bool stopped = false;
    QString error;

    // Spends units of work; false (and stopped) when the budget is gone.
    bool Spend(std::int64_t units);
    // Accounts for a text about to be made; false (and stopped) when it
    // would be too long or the run has made too much.
    bool Make(qsizetype characters);
    void Stop(const QString& message);
};

// Message of a run stopped for its length, and of one stopped for its texts.
QString ScriptTooManyStepsMessage();
QString ScriptTextTooLongMessage();

class CScriptExpression
{
public:
    explicit CScriptExpression(int resultType = SCRIPT_RESULT_INTEGER);
    ~CScriptExpression();
    CScriptExpression(const CScriptExpression&) = delete;
    CScriptExpression& operator=(const CScriptExpression&) = delete;

    // Evaluates the postfix tokens; false when the expression could not be
    // evaluated (it then keeps its earlier values) or the run was stopped.
    bool Evaluate(ScriptRunState& run);

    // Type check of postfix tokens: true and the result type when valid.
    static bool TypeCheck(const std::vector<CScriptToken*>& postfix, int& resultType);

    // Tokens in postfix order; owned by the engine's token array.
    std::vector<CScriptToken*> m_postfix;
    int m_resultType = SCRIPT_RESULT_INTEGER;

    int m_intValue = 0;
    double m_floatValue = 0.0;
    bool m_truth = false;
    QString m_stringValue;
};

// The clock of DATE$ and TIME$: the current time unless a test replaced it.
using ScriptClock = std::time_t (*)();
void SetScriptClock(ScriptClock clock); // nullptr restores the system clock
std::time_t ScriptNow();

// The check characters of CSUM$ by algorithm 0 to 7; empty for another
// algorithm or data the algorithm cannot take.
QString ScriptCheckSum(int algorithm, const QString& data);

// Conversions the run time shares: a double truncated toward zero into the
// 32-bit range (NaN gives 0), and the "%f" text of a double.
int ScriptTruncate(double value);
QString ScriptFloatText(double value);
