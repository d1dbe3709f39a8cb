#include "ScriptExpression.h"

#include "Codec1252.h"
#include "DateTimeFormat.h"
#include "ScriptSymbol.h"
#include "ScriptToken.h"

#include <charconv>
#include <cmath>
#include <limits>

bool ScriptRunState::Spend(std::int64_t units)
{
    if (stopped)
        return false;
    work += units;
    if (work > kWorkBudget) {
        Stop(ScriptTooManyStepsMessage());
        return false;
    }
    return true;
}

bool ScriptRunState::Make(qsizetype characters)
{
    if (stopped)
        return false;
    if (characters > kMaxTextLength || charactersMade + characters > kMaxCharactersMade) {
        Stop(ScriptTextTooLongMessage());
        return false;
    }
    charactersMade += characters;
    return Spend(1 + characters / 256);
}

void ScriptRunState::Stop(const QString& message)
{
    if (!stopped)
        error = message;
    stopped = true;
}

QString ScriptTooManyStepsMessage()
{
    return QStringLiteral("Script stopped - it ran too many steps");
}

QString ScriptTextTooLongMessage()
{
    return QStringLiteral("Script stopped - it made too long a text");
}

namespace {

// A comparison operator applied to two numbers of one kind: 1 true, 0 false.
template <class T> int Compare(int id, T a, T b)
{
    switch (id) {
    case SCRIPT_GREATER_EQUAL:
        return a >= b;
    case SCRIPT_LESS_EQUAL:
        return a <= b;
    case SCRIPT_EQUAL:
        return a == b;
    case SCRIPT_NOT_EQUAL:
        return a != b;
    case SCRIPT_GREATER:
        return a > b;
    case SCRIPT_LESS:
        return a < b;
    default:
        return 0;
    }
}

ScriptClock g_clock = nullptr;

// --- reading values from tokens ---------------------------------------------

bool IsOperatorClass(int tokenClass)
{
    return tokenClass == SCRIPT_LOGICAL || tokenClass == SCRIPT_COMPARISON ||
           tokenClass == SCRIPT_ADDITIVE || tokenClass == SCRIPT_MULTIPLICATIVE;
}

int IntOf(const CScriptToken& t)
{
    switch (t.m_class) {
    case SCRIPT_INT_FUNCTION:
    case SCRIPT_INT_LITERAL:
    case SCRIPT_LOGICAL:
    case SCRIPT_COMPARISON:
    case SCRIPT_ADDITIVE:
    case SCRIPT_MULTIPLICATIVE:
        return t.m_intValue;
    case SCRIPT_NAME:
        return t.m_id == SCRIPT_INT_NAME && t.m_symbol ? t.m_symbol->m_intValue : 0;
    case SCRIPT_LABEL:
        return t.m_symbol ? t.m_symbol->m_intValue : 0;
    default:
        return 0;
    }
}

double FloatOf(const CScriptToken& t)
{
    switch (t.m_class) {
    case SCRIPT_FLOAT_FUNCTION:
    case SCRIPT_FLOAT_LITERAL:
    case SCRIPT_ADDITIVE:
    case SCRIPT_MULTIPLICATIVE:
        return t.m_floatValue;
    case SCRIPT_NAME:
        return t.m_id == SCRIPT_FLOAT_NAME && t.m_symbol ? t.m_symbol->m_floatValue : 0.0;
    default:
        return 0.0;
    }
}

QString StringOf(const CScriptToken& t)
{
    switch (t.m_class) {
    case SCRIPT_STRING_LITERAL:
        return t.m_text;
    case SCRIPT_NAME:
        return t.m_id == SCRIPT_STRING_NAME && t.m_symbol ? t.m_symbol->m_valueText : QString();
    case SCRIPT_STRING_FUNCTION:
        return t.m_stringValue;
    case SCRIPT_ADDITIVE:
        return t.m_id == SCRIPT_PLUS ? t.m_stringValue : QString();
    default:
        return QString();
    }
}

// The type of the value a token holds: 37, 39 or 40.
int ValueTypeOf(const CScriptToken& t)
{
    switch (t.m_class) {
    case SCRIPT_NAME:
        return t.m_id;
    case SCRIPT_INT_FUNCTION:
    case SCRIPT_INT_LITERAL:
    case SCRIPT_LABEL:
        return SCRIPT_TYPE_INTEGER;
    case SCRIPT_FLOAT_FUNCTION:
    case SCRIPT_FLOAT_LITERAL:
        return SCRIPT_TYPE_FLOAT;
    case SCRIPT_STRING_FUNCTION:
    case SCRIPT_STRING_LITERAL:
        return SCRIPT_TYPE_STRING;
    default:
        return t.m_valueType;
    }
}

// --- integer arithmetic: 32 bits, wrapping, never trapping --------------------

int Wrap(std::int64_t value)
{
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

int IntegerQuotient(int a, int b)
{
    if (b == 0)
        return 0;
    if (b == -1)
        return Wrap(-std::int64_t(a));
    return a / b;
}

int IntegerRemainder(int a, int b)
{
    if (b == 0 || b == -1)
        return 0;
    return a % b;
}

void StoreInt(CScriptToken& t, int value)
{
    t.m_intValue = value;
    t.m_valueType = SCRIPT_TYPE_INTEGER;
}

void StoreFloat(CScriptToken& t, double value)
{
    t.m_floatValue = value;
    t.m_valueType = SCRIPT_TYPE_FLOAT;
}

bool StoreString(CScriptToken& t, QString value, ScriptRunState& run)
{
    if (!run.Make(value.size()))
        return false;
    t.m_stringValue = std::move(value);
    t.m_valueType = SCRIPT_TYPE_STRING;
    return true;
}

bool ApplyOperator(CScriptToken& op, const CScriptToken& left, const CScriptToken& right,
                   ScriptRunState& run)
{
    const int type = ValueTypeOf(left);
    if (op.m_class == SCRIPT_LOGICAL) {
        const bool a = IntOf(left) != 0;
        const bool b = IntOf(right) != 0;
        StoreInt(op, op.m_id == SCRIPT_AND ? (a && b) : (a || b));
        return true;
    }
    if (op.m_class == SCRIPT_COMPARISON) {
        int result = 0;
        if (type == SCRIPT_TYPE_STRING) {
            const QString a = StringOf(left);
            const QString b = StringOf(right);
            if (!run.Spend((a.size() + b.size()) / 256))
                return false;
            if (op.m_id == SCRIPT_EQUAL)
                result = a == b;
            else if (op.m_id == SCRIPT_NOT_EQUAL)
                result = a != b;
        } else if (type == SCRIPT_TYPE_FLOAT) {
            result = Compare(op.m_id, FloatOf(left), FloatOf(right));
        } else {
            result = Compare(op.m_id, IntOf(left), IntOf(right));
        }
        StoreInt(op, result);
        return true;
    }
    if (type == SCRIPT_TYPE_STRING) {
        if (op.m_id != SCRIPT_PLUS)
            return false;
        const QString a = StringOf(left);
        const QString b = StringOf(right);
        if (a.size() + b.size() > ScriptRunState::kMaxTextLength) {
            run.Stop(ScriptTextTooLongMessage());
            return false;
        }
        return StoreString(op, a + b, run);
    }
    if (type == SCRIPT_TYPE_FLOAT) {
        const double a = FloatOf(left);
        const double b = FloatOf(right);
        double result = 0.0;
        switch (op.m_id) {
        case SCRIPT_PLUS:
            result = a + b;
            break;
        case SCRIPT_MINUS:
            result = a - b;
            break;
        case SCRIPT_TIMES:
            result = a * b;
            break;
        case SCRIPT_DIVIDE:
            result = b == 0.0 ? 0.0 : a / b;
            break;
        case SCRIPT_MOD:
            result = b == 0.0 ? 0.0 : std::fmod(a, b);
            break;
        default:
            break;
        }
        StoreFloat(op, result);
        return true;
    }
    const std::int64_t a = IntOf(left);
    const std::int64_t b = IntOf(right);
    int result = 0;
    switch (op.m_id) {
    case SCRIPT_PLUS:
        result = Wrap(a + b);
        break;
    case SCRIPT_MINUS:
        result = Wrap(a - b);
        break;
    case SCRIPT_TIMES:
        result = Wrap(a * b);
        break;
    case SCRIPT_DIVIDE:
        result = IntegerQuotient(int(a), int(b));
        break;
    case SCRIPT_MOD:
        result = IntegerRemainder(int(a), int(b));
        break;
    default:
        break;
    }
    StoreInt(op, result);
    return true;
}

// --- built-in functions ---------------------------------------------------------

bool IsCSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r';
}

QString TrimLeft(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && IsCSpace(s.at(i)))
        ++i;
    return s.mid(i);
}

QString TrimRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && IsCSpace(s.at(n - 1)))
        --n;
    return s.left(n);
}

int ClampLength(qsizetype n)
{
    return int(std::min<qsizetype>(n, std::numeric_limits<int>::max()));
}

bool EvaluateFunction(CScriptToken& f, ScriptRunState& run)
{
    CScriptExpression* e1 = f.m_argExpr1.get();
    CScriptExpression* e2 = f.m_argExpr2.get();
    if (e1 && !e1->Evaluate(run))
        return false;
    if (e2 && !e2->Evaluate(run))
        return false;
    const QString s1 = e1 ? e1->m_stringValue : QString();
    const int i1 = e1 ? e1->m_intValue : 0;
    switch (f.m_id) {
    case SCRIPT_ASC: {
        const int code =
            s1.isEmpty() ? 0 : int(static_cast<signed char>(ToWindows1252Char(s1.at(0))));
        StoreInt(f, code);
        return true;
    }
    case SCRIPT_LEN:
        StoreInt(f, ClampLength(s1.size()));
        return run.Spend(s1.size() / 256);
    case SCRIPT_VAL:
        StoreInt(f, ScriptDecimal(s1));
        return run.Spend(s1.size() / 256);
    case SCRIPT_INSTR: {
        const QString haystack = f.m_argToken1 ? StringOf(*f.m_argToken1) : QString();
        const QString needle = f.m_argToken2 ? StringOf(*f.m_argToken2) : QString();
        if (!run.Spend((haystack.size() + needle.size()) / 256))
            return false;
        const qsizetype from = e1 ? std::max(i1, 1) - 1 : 0;
        qsizetype found = -1;
        if (!needle.isEmpty() && from <= haystack.size())
            found = haystack.indexOf(needle, from);
        StoreInt(f, found < 0 ? -1 : ClampLength(found + 1));
        return true;
    }
    case SCRIPT_INT:
        StoreInt(f, ScriptTruncate(e1 ? e1->m_floatValue : 0.0));
        return true;
    case SCRIPT_FLOAT:
        StoreFloat(f, double(i1));
        return true;
    case SCRIPT_FVAL:
        StoreFloat(f, ScriptFloat(s1));
        return run.Spend(s1.size() / 256);
    case SCRIPT_CHR: {
        const int code =
            e1 && e1->m_resultType == SCRIPT_RESULT_FLOAT ? ScriptTruncate(e1->m_floatValue) : i1;
        const char byte = char(code & 0xFF);
        return StoreString(f, FromWindows1252(&byte, 1), run);
    }
    case SCRIPT_STR:
        return StoreString(f,
                           e1 && e1->m_resultType == SCRIPT_RESULT_FLOAT
                               ? ScriptFloatText(e1->m_floatValue)
                               : QString::number(i1),
                           run);
    case SCRIPT_LEFT:
    case SCRIPT_RIGHT: {
        const QString s = f.m_argToken1 ? StringOf(*f.m_argToken1) : QString();
        const qsizetype n = std::clamp<qsizetype>(i1, 0, s.size());
        return StoreString(f, f.m_id == SCRIPT_LEFT ? s.left(n) : s.right(n), run);
    }
    case SCRIPT_MID: {
        const QString s = f.m_argToken1 ? StringOf(*f.m_argToken1) : QString();
        const qsizetype from = qsizetype(std::max(i1, 1)) - 1;
        if (from >= s.size())
            return StoreString(f, QString(), run);
        if (!e2)
            return StoreString(f, s.mid(from), run);
        const qsizetype n = std::max(e2->m_intValue, 0);
        return StoreString(f, s.mid(from, std::min(n, s.size() - from)), run);
    }
    case SCRIPT_UCASE:
        return StoreString(f, s1.toUpper(), run);
    case SCRIPT_LCASE:
        return StoreString(f, s1.toLower(), run);
    case SCRIPT_LTRIM:
        return StoreString(f, TrimLeft(s1), run);
    case SCRIPT_RTRIM:
        return StoreString(f, TrimRight(s1), run);
    case SCRIPT_TRIM:
        return StoreString(f, TrimRight(TrimLeft(s1)), run);
    case SCRIPT_DATE:
    case SCRIPT_TIME: {
        const QString format = f.m_argToken1 ? StringOf(*f.m_argToken1) : QString();
        if (!run.Spend(format.size() / 16))
            return false;
        if (f.m_id == SCRIPT_TIME)
            return StoreString(f, FormatLocalTime(format, ScriptNow()), run);
        const std::int64_t when = std::int64_t(ScriptNow()) + std::int64_t(i1) * 86400;
        return StoreString(f, FormatDateTime(format, std::time_t(when)), run);
    }
    case SCRIPT_CSUM: {
        const int algorithm = f.m_argToken1 ? IntOf(*f.m_argToken1) : -1;
        if (!run.Spend(s1.size() / 64))
            return false;
        return StoreString(f, ScriptCheckSum(algorithm, s1), run);
    }
    default:
        return false;
    }
}

int TypeOfOperand(const CScriptToken& t)
{
    switch (t.m_class) {
    case SCRIPT_INT_FUNCTION:
    case SCRIPT_INT_LITERAL:
        return SCRIPT_TYPE_INTEGER;
    case SCRIPT_STRING_FUNCTION:
    case SCRIPT_STRING_LITERAL:
        return SCRIPT_TYPE_STRING;
    case SCRIPT_FLOAT_FUNCTION:
    case SCRIPT_FLOAT_LITERAL:
        return SCRIPT_TYPE_FLOAT;
    case SCRIPT_NAME:
        return t.m_id;
    default:
        return -1;
    }
}

} // namespace

CScriptExpression::CScriptExpression(int resultType) : m_resultType(resultType) {}

CScriptExpression::~CScriptExpression() = default;

bool CScriptExpression::Evaluate(ScriptRunState& run)
{
    // Every token evaluated counts, so that a long expression in a loop
    // cannot outlast the budget.
    if (!run.Spend(std::int64_t(m_postfix.size())))
        return false;
    std::vector<CScriptToken*> stack;
    stack.reserve(m_postfix.size());
    for (CScriptToken* t : m_postfix) {
        switch (t->m_class) {
        case SCRIPT_INT_LITERAL:
        case SCRIPT_FLOAT_LITERAL:
        case SCRIPT_STRING_LITERAL:
        case SCRIPT_NAME:
            stack.push_back(t);
            break;
        case SCRIPT_INT_FUNCTION:
        case SCRIPT_STRING_FUNCTION:
        case SCRIPT_FLOAT_FUNCTION:
            if (!EvaluateFunction(*t, run))
                return false;
            stack.push_back(t);
            break;
        default:
            if (!IsOperatorClass(t->m_class) || stack.size() < 2)
                return false;
            {
                const CScriptToken* right = stack.back();
                stack.pop_back();
                const CScriptToken* left = stack.back();
                stack.pop_back();
                if (!ApplyOperator(*t, *left, *right, run))
                    return false;
            }
            stack.push_back(t);
            break;
        }
    }
    if (stack.size() != 1)
        return false;
    const CScriptToken& top = *stack.front();
    m_intValue = IntOf(top);
    m_floatValue = FloatOf(top);
    m_truth = m_intValue != 0;
    m_stringValue = StringOf(top);
    return true;
}

bool CScriptExpression::TypeCheck(const std::vector<CScriptToken*>& postfix, int& resultType)
{
    std::vector<int> stack;
    for (const CScriptToken* t : postfix) {
        const int operand = TypeOfOperand(*t);
        if (operand >= 0) {
            stack.push_back(operand);
            continue;
        }
        if (!IsOperatorClass(t->m_class) || stack.size() < 2)
            return false;
        const int right = stack.back();
        stack.pop_back();
        const int left = stack.back();
        stack.pop_back();
        if (left != right)
            return false;
        switch (t->m_class) {
        case SCRIPT_LOGICAL:
            if (left != SCRIPT_TYPE_TRUTH)
                return false;
            stack.push_back(SCRIPT_TYPE_TRUTH);
            break;
        case SCRIPT_COMPARISON:
            if (left == SCRIPT_TYPE_STRING && t->m_id != SCRIPT_EQUAL &&
                t->m_id != SCRIPT_NOT_EQUAL)
                return false;
            stack.push_back(SCRIPT_TYPE_TRUTH);
            break;
        default:
            if (left == SCRIPT_TYPE_STRING && t->m_id != SCRIPT_PLUS)
                return false;
            stack.push_back(left);
            break;
        }
    }
    if (stack.size() != 1)
        return false;
    switch (stack.front()) {
    case SCRIPT_TYPE_INTEGER:
        resultType = SCRIPT_RESULT_INTEGER;
        return true;
    case SCRIPT_TYPE_FLOAT:
        resultType = SCRIPT_RESULT_FLOAT;
        return true;
    case SCRIPT_TYPE_STRING:
        resultType = SCRIPT_RESULT_STRING;
        return true;
    case SCRIPT_TYPE_TRUTH:
        resultType = SCRIPT_RESULT_CONDITION;
        return true;
    default:
        return false;
    }
}

void SetScriptClock(ScriptClock clock)
{
    g_clock = clock;
}

std::time_t ScriptNow()
{
    return g_clock ? g_clock() : std::time(nullptr);
}

int ScriptTruncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

QString ScriptFloatText(double value)
{
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc())
        return QString();
    return QString::fromLatin1(buffer, end - buffer);
}
