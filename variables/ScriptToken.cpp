#include "ScriptToken.h"

#include "ScriptExpression.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

// clang-format off
const ScriptLexRow kScriptLexTable[kScriptLexRowCount] = {
    // state 0: start
    {" ",  1, 4,  0,  0},
    {"\t", 1, 4,  0,  0},
    {"\r", 1, 4,  0,  0},
    {"\n", 1, 9,  62, 62},
    {"az", 2, 5,  26, 0},
    {"AZ", 2, 5,  26, 0},
    {"09", 2, 5,  21, 0},
    {"+",  1, 9,  51, 52},
    {"-",  1, 9,  51, 53},
    {"*",  1, 9,  54, 55},
    {"/",  1, 9,  54, 56},
    {"<",  1, 5,  34, 0},
    {">",  1, 5,  37, 0},
    {"=",  1, 9,  44, 47},
    {",",  1, 9,  59, 59},
    {"(",  1, 9,  60, 60},
    {")",  1, 9,  61, 61},
    {"'",  1, 4,  42, 0},
    {"\"", 1, 4,  39, 0},
    {"",   1, 8,  63, 63},
    {"",   3, 16, 0,  0},
    // state 21: integer digits
    {"09", 2, 5,  21, 0},
    {".",  1, 5,  24, 0},
    {"",   3, 10, 35, 35},
    // state 24: fraction digits
    {"09", 2, 5,  24, 0},
    {"",   3, 10, 36, 36},
    // state 26: name
    {"az", 2, 5,  26, 0},
    {"AZ", 2, 5,  26, 0},
    {"09", 2, 5,  26, 0},
    {"_",  1, 5,  26, 0},
    {":",  1, 9,  58, 58},
    {"$",  1, 9,  39, 39},
    {"#",  1, 9,  34, 40},
    {"",   3, 10, 34, 37},
    // state 34: after "<"
    {"=",  1, 9,  44, 46},
    {">",  1, 9,  44, 48},
    {"",   3, 10, 44, 50},
    // state 37: after ">"
    {"=",  1, 9,  44, 45},
    {"",   3, 10, 44, 49},
    // state 39: inside a string literal
    {"\"", 1, 8,  38, 38},
    {"\\", 1, 4,  41, 0},
    // state 41: after a backslash (also the rest of state 39)
    {"",   3, 5,  39, 0},
    // state 42: comment
    {"\n", 1, 2,  0,  0},
    {"",   1, 2,  0,  0},
    {"",   3, 4,  42, 0},
};

const ScriptKeyword kScriptStatementWords[] = {
    {"FOR", 0}, {"TO", 1}, {"STEP", 2}, {"NEXT", 3}, {"IF", 4}, {"THEN", 5}, {"ELSE", 6},
    {"ENDIF", 7}, {"GOTO", 8}, {"RETURN", 9}, {"END", 10}, {"LABEL", 58}, {"", 0}};
const ScriptKeyword kScriptIntFunctions[] = {
    {"ASC", 12}, {"LEN", 13}, {"VAL", 14}, {"INSTR", 15}, {"INT", 16}, {"", 0}};
const ScriptKeyword kScriptStringFunctions[] = {
    {"CHR$", 18}, {"DATE$", 19}, {"LEFT$", 20}, {"MID$", 21}, {"RIGHT$", 22}, {"STR$", 23},
    {"TIME$", 24}, {"UCASE$", 25}, {"LCASE$", 26}, {"CSUM$", 27}, {"LTRIM$", 28},
    {"RTRIM$", 29}, {"TRIM$", 30}, {"", 0}};
const ScriptKeyword kScriptFloatFunctions[] = {{"FLOAT", 32}, {"FVAL", 33}, {"", 0}};
const ScriptKeyword kScriptLogicalWords[] = {{"AND", 42}, {"OR", 43}, {"", 0}};
const ScriptKeyword kScriptModWord[] = {{"MOD", 57}, {"", 0}};
// clang-format on

CScriptToken::CScriptToken() = default;
CScriptToken::~CScriptToken() = default;

namespace {

// The row of the string state that takes any other character; together with
// the two rows before it, the rows that read a string literal.
constexpr int kStringRowFirst = 39;
constexpr int kStringRowLast = 41;
// The rows from here on read inside a token; those before it are the start
// state.
constexpr int kFirstTokenRow = 21;

bool RowMatches(const ScriptLexRow& row, char16_t c)
{
    const char16_t first = static_cast<unsigned char>(row.set[0]);
    switch (row.match) {
    case 1:
        return c == first;
    case 2:
        return c >= first && c <= static_cast<unsigned char>(row.set[1]);
    default:
        return true;
    }
}

// The id of the word in the group, or -1.
int FindKeyword(const ScriptKeyword* group, const QString& text)
{
    const char16_t first = text.isEmpty() ? u'\0' : text.front().unicode();
    for (; group->word[0] != '\0'; ++group) {
        if (first == char16_t(group->word[0]) && text == QLatin1String(group->word))
            return group->id;
    }
    return -1;
}

void Reclassify(CScriptToken& token)
{
    if (token.m_class == SCRIPT_NAME) {
        int id = FindKeyword(kScriptStatementWords, token.m_text);
        if (id >= 0) {
            token.m_class = token.m_id = id;
            return;
        }
        if ((id = FindKeyword(kScriptIntFunctions, token.m_text)) >= 0) {
            token.m_class = SCRIPT_INT_FUNCTION;
            token.m_id = id;
        } else if ((id = FindKeyword(kScriptFloatFunctions, token.m_text)) >= 0) {
            token.m_class = SCRIPT_FLOAT_FUNCTION;
            token.m_id = id;
        } else if ((id = FindKeyword(kScriptLogicalWords, token.m_text)) >= 0) {
            token.m_class = SCRIPT_LOGICAL;
            token.m_id = id;
        } else if ((id = FindKeyword(kScriptModWord, token.m_text)) >= 0) {
            token.m_class = SCRIPT_MULTIPLICATIVE;
            token.m_id = id;
        }
    } else if (token.m_class == SCRIPT_STRING_NAME_CLASS) {
        const int id = FindKeyword(kScriptStringFunctions, token.m_text);
        if (id >= 0) {
            token.m_class = SCRIPT_STRING_FUNCTION;
            token.m_id = id;
        } else {
            token.m_class = SCRIPT_NAME;
            token.m_id = SCRIPT_STRING_NAME;
        }
    }
}

// Literals carry their value from the start, so that the run time reads it
// without converting the text again.
void SetLiteralValue(CScriptToken& token)
{
    switch (token.m_class) {
    case SCRIPT_INT_LITERAL:
        token.m_intValue = ScriptDecimal(token.m_text);
        token.m_valueType = SCRIPT_TYPE_INTEGER;
        break;
    case SCRIPT_FLOAT_LITERAL:
        token.m_floatValue = ScriptFloat(token.m_text);
        token.m_valueType = SCRIPT_TYPE_FLOAT;
        break;
    case SCRIPT_STRING_LITERAL:
        token.m_stringValue = token.m_text;
        token.m_valueType = SCRIPT_TYPE_STRING;
        break;
    default:
        break;
    }
}

bool IsCSpace(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

int ReadScriptToken(const QString& text, qsizetype& pos, CScriptToken& token)
{
    token.m_text.clear();
    const qsizetype length = text.size();
    // A position beyond the text reads the end-of-text character, code 0.
    auto read = [&](bool upper) -> char16_t {
        char16_t c = pos >= 0 && pos < length ? text.at(pos).unicode() : u'\0';
        ++pos;
        if (!upper)
            return c;
        if (c < 0x80)
            return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        return QChar(c).toUpper().unicode();
    };

    char16_t c = read(true);
    int row = 0;
    // Where the token began: a rejected token is placed there, so that an
    // unterminated string literal is shown from its opening quote.
    qsizetype begin = pos - 1;
    while (row >= 0 && row < kScriptLexRowCount) {
        const ScriptLexRow& entry = kScriptLexTable[row];
        if (!RowMatches(entry, c)) {
            ++row;
            continue;
        }
        if (row < kFirstTokenRow)
            begin = pos - 1;
        // The table has no way out of a string literal at the end of the
        // text: such a literal is rejected.
        const bool unterminated = row >= kStringRowFirst && row <= kStringRowLast && c == u'\0';
        const int action = unterminated ? SCRIPT_LEX_REJECT : entry.action;
        if (action & SCRIPT_LEX_APPEND)
            token.m_text.append(QChar(c));
        if (action & SCRIPT_LEX_BACK)
            --pos;
        if (action & SCRIPT_LEX_READ)
            c = read(entry.argument != kStringRowFirst);
        if (action & SCRIPT_LEX_REJECT) {
            token.m_class = SCRIPT_REJECTED;
            token.m_id = -1;
            token.m_start = std::clamp<qsizetype>(begin, 0, length);
            return SCRIPT_REJECTED;
        }
        if (action & SCRIPT_LEX_EMIT) {
            token.m_class = entry.argument;
            token.m_id = entry.token;
            // A string literal's text lacks its quotes and escapes: it starts
            // at its opening quote.
            const qsizetype start =
                entry.argument == SCRIPT_STRING_LITERAL ? begin : pos - token.m_text.size();
            token.m_start = std::clamp<qsizetype>(start, 0, length);
            Reclassify(token);
            SetLiteralValue(token);
            return token.m_class;
        }
        row = entry.argument;
    }
    // Not reached: every state ends with a row that always matches.
    token.m_class = SCRIPT_REJECTED;
    token.m_start = std::clamp<qsizetype>(pos - 1, 0, length);
    return SCRIPT_REJECTED;
}

int ScriptDecimal(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsCSpace(text.at(i).unicode()))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t(std::numeric_limits<int>::max()) + 1;
    for (; i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        value = -value;
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

double ScriptFloat(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsCSpace(text.at(i).unicode()))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    // Only the characters a decimal number can hold take part.
    QByteArray number;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' ||
              c == u'-'))
            break;
        number.append(char(c));
    }
    double value = 0.0;
    const char* begin = number.constData();
    const char* end = begin + number.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small zero.
        const qsizetype e = number.indexOf('e') >= 0 ? number.indexOf('e') : number.indexOf('E');
        const bool tiny = e >= 0 && e + 1 < number.size() && number.at(e + 1) == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}
