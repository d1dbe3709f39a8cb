// The statement compilers and the expression parser of the script engine.
#include "ScriptEngine.h"

namespace {

bool IsOperator(int tokenClass)
{
    return tokenClass == SCRIPT_LOGICAL || tokenClass == SCRIPT_COMPARISON ||
           tokenClass == SCRIPT_ADDITIVE || tokenClass == SCRIPT_MULTIPLICATIVE;
}

int Precedence(int tokenClass)
{
    switch (tokenClass) {
    case SCRIPT_LOGICAL:
        return 1;
    case SCRIPT_COMPARISON:
        return 2;
    case SCRIPT_ADDITIVE:
        return 3;
    case SCRIPT_MULTIPLICATIVE:
        return 4;
    default:
        return 0;
    }
}

bool EndsExpression(int tokenClass)
{
    return tokenClass == SCRIPT_TO || tokenClass == SCRIPT_STEP || tokenClass == SCRIPT_THEN ||
           tokenClass == SCRIPT_END_OF_LINE || tokenClass == SCRIPT_END_OF_TEXT;
}

bool EndsLine(int tokenClass)
{
    return tokenClass == SCRIPT_END_OF_LINE || tokenClass == SCRIPT_END_OF_TEXT;
}

// Parameters of the built-in functions.
enum Parameter
{
    NONE,
    STRING_TOKEN,  // one string variable or literal
    INTEGER_TOKEN, // one integer variable or literal
    INTEGER_EXPR,
    STRING_EXPR,
    FLOAT_EXPR,
    NUMBER_EXPR, // integer or floating
};

struct Signature
{
    int id;
    Parameter parameters[3];
    int required;
};

// clang-format off
constexpr Signature kSignatures[] = {
    {SCRIPT_ASC,   {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_LEN,   {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_VAL,   {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_INSTR, {STRING_TOKEN, STRING_TOKEN, INTEGER_EXPR}, 2},
    {SCRIPT_INT,   {FLOAT_EXPR, NONE, NONE}, 1},
    {SCRIPT_CHR,   {NUMBER_EXPR, NONE, NONE}, 1},
    {SCRIPT_STR,   {NUMBER_EXPR, NONE, NONE}, 1},
    {SCRIPT_DATE,  {STRING_TOKEN, INTEGER_EXPR, NONE}, 1},
    {SCRIPT_TIME,  {STRING_TOKEN, NONE, NONE}, 1},
    {SCRIPT_LEFT,  {STRING_TOKEN, INTEGER_EXPR, NONE}, 2},
    {SCRIPT_RIGHT, {STRING_TOKEN, INTEGER_EXPR, NONE}, 2},
    {SCRIPT_MID,   {STRING_TOKEN, INTEGER_EXPR, INTEGER_EXPR}, 2},
    {SCRIPT_UCASE, {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_LCASE, {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_LTRIM, {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_RTRIM, {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_TRIM,  {STRING_EXPR, NONE, NONE}, 1},
    {SCRIPT_CSUM,  {INTEGER_TOKEN, STRING_EXPR, NONE}, 2},
    {SCRIPT_FLOAT, {INTEGER_EXPR, NONE, NONE}, 1},
    {SCRIPT_FVAL,  {STRING_EXPR, NONE, NONE}, 1},
};
// clang-format on

const Signature* FindSignature(int id)
{
    for (const Signature& signature : kSignatures) {
        if (signature.id == id)
            return &signature;
    }
    return nullptr;
}

bool TypeFits(Parameter parameter, int resultType)
{
    switch (parameter) {
    case INTEGER_EXPR:
        return resultType == SCRIPT_RESULT_INTEGER;
    case STRING_EXPR:
        return resultType == SCRIPT_RESULT_STRING;
    case FLOAT_EXPR:
        return resultType == SCRIPT_RESULT_FLOAT;
    case NUMBER_EXPR:
        return resultType == SCRIPT_RESULT_INTEGER || resultType == SCRIPT_RESULT_FLOAT;
    default:
        return false;
    }
}

QString WrongTypeMessage(Parameter parameter)
{
    switch (parameter) {
    case STRING_EXPR:
        return QStringLiteral("String expected");
    case FLOAT_EXPR:
        return QStringLiteral("Expected floating point expression");
    default:
        return QStringLiteral("Expected an integer expression");
    }
}

int ResultTypeOfKind(int kind)
{
    switch (kind) {
    case SCRIPT_ASSIGN_STRING:
        return SCRIPT_RESULT_STRING;
    case SCRIPT_ASSIGN_FLOAT:
        return SCRIPT_RESULT_FLOAT;
    default:
        return SCRIPT_RESULT_INTEGER;
    }
}

const QString kWrongType = QStringLiteral("Symbol name already exists but is wrong type");
const QString kNoExpression = QStringLiteral("Expression expected or invalid expression");
const QString kCannotParse = QStringLiteral("Invalid expression or wrong type (cannot parse)");
const QString kEqualMissing = QStringLiteral("\"=\" missing");

} // namespace

// --- expressions -----------------------------------------------------------------

int CScriptEngine::FindExpressionEnd(int first) const
{
    int depth = 0;
    for (int i = first; i < int(m_tokens.size()); ++i) {
        const int tokenClass = Token(i).m_class;
        if (EndsExpression(tokenClass))
            return i;
        if (tokenClass == SCRIPT_LEFT_BRACKET) {
            ++depth;
        } else if (tokenClass == SCRIPT_RIGHT_BRACKET) {
            if (depth == 0)
                return i;
            --depth;
        }
    }
    return -1;
}

CScriptEngine::ParseOutcome
CScriptEngine::ParseExpression(int first, int end, int depth,
                               std::unique_ptr<CScriptExpression>& result)
{
    std::vector<CScriptToken*> output;
    std::vector<CScriptToken*> operators; // "(" tokens mark the brackets
    int brackets = 0;
    bool expectOperand = true;
    int i = first;
    while (i < end) {
        CScriptToken& t = Token(i);
        if (expectOperand) {
            switch (t.m_class) {
            case SCRIPT_LEFT_BRACKET:
                operators.push_back(&t);
                ++brackets;
                ++i;
                continue;
            case SCRIPT_INT_FUNCTION:
            case SCRIPT_STRING_FUNCTION:
            case SCRIPT_FLOAT_FUNCTION: {
                const int next = ParseCall(i, end, depth + 1);
                if (next < 0)
                    return PARSE_FAILED;
                output.push_back(&t);
                i = next;
                expectOperand = false;
                continue;
            }
            case SCRIPT_INT_LITERAL:
            case SCRIPT_FLOAT_LITERAL:
            case SCRIPT_STRING_LITERAL:
                output.push_back(&t);
                ++i;
                expectOperand = false;
                continue;
            case SCRIPT_NAME: {
                CScriptSymbol* existing = nullptr;
                if (!LookUpSymbol(t.m_text, t.m_id, &existing))
                    ReportError(kWrongType, -1); // parsing goes on; the compile fails
                t.m_symbol = existing;
                output.push_back(&t);
                ++i;
                expectOperand = false;
                continue;
            }
            default:
                ReportError(QStringLiteral("Expected an operand"), i);
                return PARSE_FAILED;
            }
        }
        if (IsOperator(t.m_class)) {
            const int precedence = Precedence(t.m_class);
            while (!operators.empty() && operators.back()->m_class != SCRIPT_LEFT_BRACKET &&
                   Precedence(operators.back()->m_class) >= precedence) {
                output.push_back(operators.back());
                operators.pop_back();
            }
            operators.push_back(&t);
            expectOperand = true;
            ++i;
        } else if (t.m_class == SCRIPT_RIGHT_BRACKET) {
            while (!operators.empty() && operators.back()->m_class != SCRIPT_LEFT_BRACKET) {
                output.push_back(operators.back());
                operators.pop_back();
            }
            if (operators.empty()) {
                ReportError(QStringLiteral("Unmatched brackets in expression"), i);
                return PARSE_FAILED;
            }
            operators.pop_back();
            --brackets;
            ++i;
        } else {
            ReportError(QStringLiteral("Expected an operator"), i);
            return PARSE_FAILED;
        }
    }
    if (expectOperand) {
        ReportError(QStringLiteral("Expected an operand"), i);
        return PARSE_FAILED;
    }
    while (!operators.empty()) {
        if (operators.back()->m_class != SCRIPT_LEFT_BRACKET)
            output.push_back(operators.back());
        operators.pop_back();
    }
    if (brackets != 0) {
        ReportError(QStringLiteral("Unmatched brackets in expression"), end);
        return PARSE_FAILED;
    }
    int resultType = SCRIPT_RESULT_INTEGER;
    if (!CScriptExpression::TypeCheck(output, resultType))
        return PARSE_WRONG_TYPE;
    result = std::make_unique<CScriptExpression>(resultType);
    result->m_postfix = std::move(output);
    return PARSE_OK;
}

int CScriptEngine::ParseCall(int index, int end, int depth)
{
    CScriptToken& function = Token(index);
    const Signature* signature = FindSignature(function.m_id);
    if (!signature) {
        ReportError(QStringLiteral("Internal error - close application!"), index);
        return -1;
    }
    if (depth > kMaxCallDepth) {
        ReportError(QStringLiteral("Functions nested too deeply"), index);
        return -1;
    }
    auto at = [&](int i) { return i < end ? Token(i).m_class : SCRIPT_END_OF_TEXT; };
    auto place = [&](int i) { return std::min(i, end); };
    int j = index + 1;
    if (at(j) != SCRIPT_LEFT_BRACKET) {
        ReportError(QStringLiteral("Left bracket missing"), place(j));
        return -1;
    }
    ++j;
    function.m_argToken1 = function.m_argToken2 = nullptr;
    function.m_argExpr1.reset();
    function.m_argExpr2.reset();
    int tokens = 0;
    int expressions = 0;
    for (int k = 0; k < 3 && signature->parameters[k] != NONE; ++k) {
        const Parameter parameter = signature->parameters[k];
        if (k > 0) {
            if (k >= signature->required) {
                if (at(j) == SCRIPT_RIGHT_BRACKET)
                    break;
                if (at(j) != SCRIPT_COMMA) {
                    ReportError(QStringLiteral("Expected comma or right parenthesis"), place(j));
                    return -1;
                }
            } else if (at(j) != SCRIPT_COMMA) {
                ReportError(QStringLiteral("Comma expected"), place(j));
                return -1;
            }
            ++j;
        }
        if (parameter == STRING_TOKEN || parameter == INTEGER_TOKEN) {
            const bool wantString = parameter == STRING_TOKEN;
            const int literal = wantString ? SCRIPT_STRING_LITERAL : SCRIPT_INT_LITERAL;
            const int nameId = wantString ? SCRIPT_STRING_NAME : SCRIPT_INT_NAME;
            const int tokenClass = at(j);
            if (!(tokenClass == literal ||
                  (tokenClass == SCRIPT_NAME && Token(j).m_id == nameId))) {
                ReportError(wantString ? QStringLiteral("Expected string variable or literal")
                                       : QStringLiteral("Integer expected"),
                            place(j));
                return -1;
            }
            CScriptToken& argument = Token(j);
            if (tokenClass == SCRIPT_NAME) {
                CScriptSymbol* existing = nullptr;
                if (!LookUpSymbol(argument.m_text, argument.m_id, &existing))
                    ReportError(kWrongType, -1);
                argument.m_symbol = existing;
            }
            (tokens++ == 0 ? function.m_argToken1 : function.m_argToken2) = &argument;
            ++j;
            continue;
        }
        // An expression argument runs to the next "," or ")" at its own depth.
        int argumentEnd = j;
        for (int bracketDepth = 0; argumentEnd < end; ++argumentEnd) {
            const int tokenClass = Token(argumentEnd).m_class;
            if (EndsExpression(tokenClass))
                break;
            if (tokenClass == SCRIPT_LEFT_BRACKET) {
                ++bracketDepth;
            } else if (tokenClass == SCRIPT_RIGHT_BRACKET) {
                if (bracketDepth == 0)
                    break;
                --bracketDepth;
            } else if (tokenClass == SCRIPT_COMMA && bracketDepth == 0) {
                break;
            }
        }
        if (argumentEnd == j) {
            ReportError(kNoExpression, place(j));
            return -1;
        }
        std::unique_ptr<CScriptExpression> argument;
        const ParseOutcome outcome = ParseExpression(j, argumentEnd, depth, argument);
        if (outcome == PARSE_FAILED) {
            ReportError(kCannotParse, j);
            return -1;
        }
        if (outcome == PARSE_WRONG_TYPE || !TypeFits(parameter, argument->m_resultType)) {
            ReportError(WrongTypeMessage(parameter), j);
            return -1;
        }
        (expressions++ == 0 ? function.m_argExpr1 : function.m_argExpr2) = std::move(argument);
        j = argumentEnd;
    }
    if (at(j) != SCRIPT_RIGHT_BRACKET) {
        ReportError(QStringLiteral("Right bracket missing"), place(j));
        return -1;
    }
    return j + 1;
}

// --- statements --------------------------------------------------------------------

int CScriptEngine::CompileAssignment(int index)
{
    const CScriptToken& name = Token(index);
    int kind = -1;
    switch (name.m_id) {
    case SCRIPT_INT_NAME:
        kind = SCRIPT_ASSIGN_INTEGER;
        break;
    case SCRIPT_STRING_NAME:
        kind = SCRIPT_ASSIGN_STRING;
        break;
    case SCRIPT_FLOAT_NAME:
        kind = SCRIPT_ASSIGN_FLOAT;
        break;
    default:
        ReportError(QStringLiteral("Invalid assignment - internal error"), index);
        return -1;
    }
    CScriptSymbol* symbol = LookUpSymbol(name.m_text, name.m_id);
    if (!symbol) {
        ReportError(kWrongType, index);
        return -1;
    }
    const CScriptToken& equal = Token(index + 1);
    if (equal.m_class != SCRIPT_COMPARISON || equal.m_id != SCRIPT_EQUAL) {
        ReportError(kEqualMissing, index + 1);
        return -1;
    }
    const int first = index + 2;
    const int end = FindExpressionEnd(first);
    if (end < 0 || !EndsLine(Token(end).m_class) || end == first) {
        ReportError(kNoExpression, end < 0 ? first : end);
        return -1;
    }
    std::unique_ptr<CScriptExpression> expression;
    if (ParseExpression(first, end, 0, expression) != PARSE_OK ||
        expression->m_resultType != ResultTypeOfKind(kind)) {
        ReportError(kCannotParse, first);
        return -1;
    }
    CScriptStatement& statement = AddStatement(kind);
    statement.m_symbol = symbol;
    statement.m_expression = std::move(expression);
    symbol->m_input = false;
    return end;
}

int CScriptEngine::CompileLabel(int index)
{
    QString name = Token(index).m_text;
    name.chop(1);
    if (m_symbols.count(name)) {
        ReportError(QStringLiteral("Label or symbol already exists"), index);
        return -1;
    }
    CScriptSymbol* label = LookUpSymbol(name, SCRIPT_TYPE_LABEL);
    label->m_intValue = StatementCount();
    label->m_input = false;
    return index + 1;
}

int CScriptEngine::CompileGoto(int index)
{
    const CScriptToken& name = Token(index + 1);
    if (name.m_class != SCRIPT_NAME || name.m_id != SCRIPT_INT_NAME) {
        ReportError(QStringLiteral("Label expected"), index + 1);
        return -1;
    }
    const CScriptSymbol* label = FindSymbol(name.m_text);
    if (label && label->m_type != SCRIPT_TYPE_LABEL) {
        ReportError(kWrongType, index + 1);
        return -1;
    }
    CScriptStatement& statement = AddStatement(SCRIPT_JUMP);
    statement.m_labelName = name.m_text;
    statement.m_target1 = label ? label->m_intValue : -1;
    return index + 2;
}

int CScriptEngine::CompileIf(int index)
{
    if (m_openIf >= 0) {
        ReportError(QStringLiteral("Nested IF statements not allowed"), index);
        return -1;
    }
    const int first = index + 1;
    const int end = FindExpressionEnd(first);
    if (end < 0 || end == first) {
        ReportError(kNoExpression, end < 0 ? first : end);
        return -1;
    }
    if (Token(end).m_class != SCRIPT_THEN) {
        ReportError(QStringLiteral("IF without THEN"), end);
        return -1;
    }
    std::unique_ptr<CScriptExpression> condition;
    const ParseOutcome outcome = ParseExpression(first, end, 0, condition);
    if (outcome == PARSE_FAILED) {
        ReportError(kCannotParse, first);
        return -1;
    }
    const QString invalidCondition = QStringLiteral("Invalid conditional expression");
    if (outcome == PARSE_WRONG_TYPE || condition->m_resultType != SCRIPT_RESULT_CONDITION) {
        ReportError(invalidCondition, first);
        return -1;
    }
    const int after = end + 1;
    const int afterClass = Token(after).m_class;
    if (afterClass == SCRIPT_END_OF_TEXT) {
        ReportError(invalidCondition, after);
        return -1;
    }
    if (afterClass == SCRIPT_END_OF_LINE) {
        m_openIf = StatementCount();
        m_openIfThen = end;
        m_pendingElse = -1;
        AddStatement(SCRIPT_IF_STATEMENT).m_expression = std::move(condition);
        return after;
    }
    if (afterClass == SCRIPT_IF) {
        ReportError(QStringLiteral("Nested IF statements not allowed"), after);
        return -1;
    }
    if (afterClass == SCRIPT_FOR) {
        ReportError(QStringLiteral("FOR not allowed after THEN"), after);
        return -1;
    }
    // One line: false skips exactly the statement that follows.
    const int own = StatementCount();
    CScriptStatement& statement = AddStatement(SCRIPT_IF_STATEMENT);
    statement.m_expression = std::move(condition);
    statement.m_target1 = statement.m_target2 = own + 2;
    return after;
}

int CScriptEngine::CompileElse(int index)
{
    if (m_openIf < 0) {
        ReportError(QStringLiteral("ELSE without IF"), index);
        return -1;
    }
    m_pendingElse = StatementCount();
    AddStatement(SCRIPT_JUMP);
    m_statements[std::size_t(m_openIf)]->m_target1 = StatementCount();
    return index + 1;
}

int CScriptEngine::CompileEndIf(int index)
{
    if (m_openIf < 0) {
        ReportError(QStringLiteral("ENDIF without IF"), index);
        return -1;
    }
    const int next = StatementCount();
    CScriptStatement& statement = *m_statements[std::size_t(m_openIf)];
    statement.m_target2 = next;
    if (m_pendingElse >= 0)
        m_statements[std::size_t(m_pendingElse)]->m_target1 = next;
    else
        statement.m_target1 = next;
    m_openIf = -1;
    m_pendingElse = -1;
    m_openIfThen = -1;
    return index + 1;
}

int CScriptEngine::CompileFor(int index)
{
    CScriptToken& counterToken = Token(index + 1);
    if (counterToken.m_class != SCRIPT_NAME || counterToken.m_id != SCRIPT_INT_NAME) {
        ReportError(QStringLiteral("Integer expected"), index + 1);
        return -1;
    }
    CScriptSymbol* counter = LookUpSymbol(counterToken.m_text, SCRIPT_TYPE_INTEGER);
    if (!counter) {
        ReportError(kWrongType, index + 1);
        return -1;
    }
    counterToken.m_symbol = counter;
    const CScriptToken& equal = Token(index + 2);
    if (equal.m_class != SCRIPT_COMPARISON || equal.m_id != SCRIPT_EQUAL) {
        ReportError(kEqualMissing, index + 2);
        return -1;
    }
    const QString expectedInteger = QStringLiteral("Expected an integer expression");
    // Parses one of the three expressions of the loop.
    auto parse = [&](int first, int end, const QString& invalid,
                     std::unique_ptr<CScriptExpression>& expression) {
        const ParseOutcome outcome =
            end > first ? ParseExpression(first, end, 0, expression) : PARSE_FAILED;
        if (outcome == PARSE_FAILED) {
            ReportError(invalid, std::min(first, end));
            return false;
        }
        if (outcome == PARSE_WRONG_TYPE || expression->m_resultType != SCRIPT_RESULT_INTEGER) {
            ReportError(expectedInteger, first);
            return false;
        }
        return true;
    };

    const int startFirst = index + 3;
    const int startEnd = FindExpressionEnd(startFirst);
    if (startEnd < 0) {
        ReportError(kNoExpression, startFirst);
        return -1;
    }
    if (Token(startEnd).m_class != SCRIPT_TO) {
        ReportError(QStringLiteral("Missing TO after FOR statement"), startEnd);
        return -1;
    }
    std::unique_ptr<CScriptExpression> start;
    if (!parse(startFirst, startEnd, QStringLiteral("Invalid FOR loop initialisation expression"),
               start))
        return -1;

    const int limitFirst = startEnd + 1;
    const int limitEnd = FindExpressionEnd(limitFirst);
    if (limitEnd < 0 || !(Token(limitEnd).m_class == SCRIPT_STEP ||
                          Token(limitEnd).m_class == SCRIPT_END_OF_LINE)) {
        ReportError(QStringLiteral("Invalid delimiter for limit expression"),
                    limitEnd < 0 ? limitFirst : limitEnd);
        return -1;
    }
    std::unique_ptr<CScriptExpression> limit;
    if (!parse(limitFirst, limitEnd, QStringLiteral("Invalid FOR loop limit expression"), limit))
        return -1;

    int next = limitEnd;
    std::unique_ptr<CScriptExpression> step;
    if (Token(limitEnd).m_class == SCRIPT_STEP) {
        const int stepFirst = limitEnd + 1;
        const int stepEnd = FindExpressionEnd(stepFirst);
        if (stepEnd < 0 || !EndsLine(Token(stepEnd).m_class)) {
            ReportError(QStringLiteral("Invalid delimiter for STEP expression"),
                        stepEnd < 0 ? stepFirst : stepEnd);
            return -1;
        }
        if (!parse(stepFirst, stepEnd, QStringLiteral("Invalid FOR loop step size expression"),
                   step))
            return -1;
        next = stepEnd;
    } else {
        auto one = std::make_unique<CScriptToken>();
        one->m_class = one->m_id = SCRIPT_INT_LITERAL;
        one->m_text = QStringLiteral("1");
        one->m_intValue = 1;
        one->m_valueType = SCRIPT_TYPE_INTEGER;
        one->m_start = Token(limitEnd).m_start;
        step = std::make_unique<CScriptExpression>(SCRIPT_RESULT_INTEGER);
        step->m_postfix.push_back(one.get());
        m_extraTokens.push_back(std::move(one));
    }

    counter->m_input = false;
    CScriptStatement& initialise = AddStatement(SCRIPT_FOR_START);
    initialise.m_symbol = counter;
    initialise.m_expression = std::move(start);
    const int testIndex = StatementCount();
    CScriptStatement& test = AddStatement(SCRIPT_FOR_TEST);
    test.m_symbol = counter;
    test.m_expression = std::move(limit);
    test.m_step = std::move(step);
    m_forStack.push_back({index, counter, testIndex, test.m_step});
    return next;
}

int CScriptEngine::CompileNext(int index)
{
    const CScriptToken& name = Token(index + 1);
    if (name.m_class != SCRIPT_NAME || name.m_id != SCRIPT_INT_NAME) {
        ReportError(QStringLiteral("Integer expected"), index + 1);
        return -1;
    }
    const CScriptSymbol* symbol = FindSymbol(name.m_text);
    if (symbol && symbol->m_type != SCRIPT_TYPE_INTEGER) {
        ReportError(kWrongType, index + 1);
        return -1;
    }
    if (m_forStack.empty()) {
        ReportError(QStringLiteral("NEXT without FOR"), index);
        return -1;
    }
    const OpenFor open = m_forStack.back();
    if (symbol != open.counter) {
        ReportError(QStringLiteral("NEXT does not match previous FOR"), index + 1);
        return -1;
    }
    const int own = StatementCount();
    CScriptStatement& statement = AddStatement(SCRIPT_NEXT_STATEMENT);
    statement.m_symbol = open.counter;
    statement.m_expression = open.step;
    statement.m_target1 = open.testIndex;
    statement.m_target2 = own + 1;
    m_statements[std::size_t(open.testIndex)]->m_target1 = own + 1;
    m_forStack.pop_back();
    return index + 2;
}

int CScriptEngine::CompileReturn(int index)
{
    const int first = index + 1;
    const int end = FindExpressionEnd(first);
    if (end < 0 || !EndsLine(Token(end).m_class) || end == first) {
        ReportError(kNoExpression, end < 0 ? first : end);
        return -1;
    }
    std::unique_ptr<CScriptExpression> expression;
    const ParseOutcome outcome = ParseExpression(first, end, 0, expression);
    if (outcome != PARSE_OK) {
        ReportError(kCannotParse, first);
        return -1;
    }
    if (expression->m_resultType == SCRIPT_RESULT_CONDITION) {
        ReportError(QStringLiteral("Expected integer or string expression"), first);
        return -1;
    }
    AddStatement(SCRIPT_RETURN_STATEMENT).m_expression = std::move(expression);
    return end;
}
