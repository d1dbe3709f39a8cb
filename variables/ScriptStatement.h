// One executable statement of a compiled macro script.
#pragma once

#include "ScriptExpression.h"

#include <QString>

#include <memory>

struct CScriptSymbol;

// Statement kinds.
enum ScriptStatementKind : int
{
    SCRIPT_ASSIGN_INTEGER = 0,
    SCRIPT_ASSIGN_STRING = 1,
    SCRIPT_ASSIGN_FLOAT = 2,
    SCRIPT_JUMP = 3,
    SCRIPT_RETURN_STATEMENT = 4,
    SCRIPT_IF_STATEMENT = 5,
    SCRIPT_FOR_START = 6,
    SCRIPT_FOR_TEST = 7,
    SCRIPT_NEXT_STATEMENT = 8,
};

class CScriptStatement
{
public:
    CScriptStatement();
    ~CScriptStatement();
    CScriptStatement(const CScriptStatement&) = delete;
    CScriptStatement& operator=(const CScriptStatement&) = delete;

    // Runs the statement at its index; returns the index of the next one, a
    // negative index ending the run.
    int Execute(int index, ScriptRunState& run);

    QString m_result;
    // The label a GOTO names.
    QString m_labelName;
    int m_kind = SCRIPT_JUMP;
    CScriptSymbol* m_symbol = nullptr;
    std::shared_ptr<CScriptExpression> m_expression;
    // The step of the loop, which the FOR test reads for its direction.
    std::shared_ptr<CScriptExpression> m_step;
    int m_target1 = -1;
    int m_target2 = -1;
};
