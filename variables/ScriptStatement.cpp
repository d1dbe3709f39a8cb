#include "ScriptStatement.h"

#include "ScriptSymbol.h"

#include <cstdint>
#include <limits>

CScriptStatement::CScriptStatement() = default;
CScriptStatement::~CScriptStatement() = default;

namespace {

// Evaluates an expression that may be missing; a failed evaluation keeps the
// expression's earlier values.
void EvaluateOptional(CScriptExpression* expression, ScriptRunState& run)
{
    if (expression)
        expression->Evaluate(run);
}

} // namespace

int CScriptStatement::Execute(int index, ScriptRunState& run)
{
    m_result.clear();
    CScriptExpression* expression = m_expression.get();
    switch (m_kind) {
    case SCRIPT_ASSIGN_INTEGER:
    case SCRIPT_FOR_START:
        EvaluateOptional(expression, run);
        if (m_symbol && expression)
            m_symbol->m_intValue = expression->m_intValue;
        return index + 1;
    case SCRIPT_ASSIGN_STRING:
        EvaluateOptional(expression, run);
        if (m_symbol && expression)
            m_symbol->m_valueText = expression->m_stringValue;
        return index + 1;
    case SCRIPT_ASSIGN_FLOAT:
        EvaluateOptional(expression, run);
        if (m_symbol && expression)
            m_symbol->m_floatValue = expression->m_floatValue;
        return index + 1;
    case SCRIPT_JUMP:
        return m_target1;
    case SCRIPT_RETURN_STATEMENT:
        EvaluateOptional(expression, run);
        if (expression) {
            switch (expression->m_resultType) {
            case SCRIPT_RESULT_FLOAT:
                m_result = ScriptFloatText(expression->m_floatValue);
                break;
            case SCRIPT_RESULT_STRING:
                m_result = expression->m_stringValue;
                break;
            default:
                m_result = QString::number(expression->m_intValue);
                break;
            }
        }
        return -1;
    case SCRIPT_IF_STATEMENT:
        EvaluateOptional(expression, run);
        return expression && expression->m_truth ? index + 1 : m_target1;
    case SCRIPT_FOR_TEST: {
        EvaluateOptional(expression, run);
        EvaluateOptional(m_step.get(), run);
        const int counter = m_symbol ? m_symbol->m_intValue : 0;
        const int limit = expression ? expression->m_intValue : 0;
        // A negative step counts down to its limit.
        const bool down = m_step && m_step->m_intValue < 0;
        const bool again = down ? counter >= limit : counter <= limit;
        return again ? index + 1 : m_target1;
    }
    case SCRIPT_NEXT_STATEMENT: {
        EvaluateOptional(expression, run);
        const int step = expression ? expression->m_intValue : 0;
        if (!m_symbol || step == 0)
            return m_target2; // a step of 0 would never reach its limit
        const std::int64_t counter = std::int64_t(m_symbol->m_intValue) + step;
        if (counter > std::numeric_limits<int>::max() || counter < std::numeric_limits<int>::min())
            return m_target2; // the counter cannot go beyond the integer range
        m_symbol->m_intValue = int(counter);
        return m_target1;
    }
    default:
        return -1;
    }
}
