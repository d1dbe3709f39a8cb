// Tokens of the macro script language and the table-driven lexer that reads
// them. The state table and the keyword tables are data: the grammar of the
// tokens lives in them, not in code.
#pragma once

#include <QString>

#include <memory>

class CScriptExpression;
struct CScriptSymbol;

// Token classes: what the compiler dispatches on.
enum ScriptTokenClass : int
{
    SCRIPT_REJECTED = -1,
    SCRIPT_FOR = 0,
    SCRIPT_TO = 1,
    SCRIPT_STEP = 2,
    SCRIPT_NEXT = 3,
    SCRIPT_IF = 4,
    SCRIPT_THEN = 5,
    SCRIPT_ELSE = 6,
    SCRIPT_ENDIF = 7,
    SCRIPT_GOTO = 8,
    SCRIPT_RETURN = 9,
    SCRIPT_END = 10,
    SCRIPT_INT_FUNCTION = 11,
    SCRIPT_STRING_FUNCTION = 17,
    SCRIPT_FLOAT_FUNCTION = 31,
    SCRIPT_NAME = 34,
    SCRIPT_INT_LITERAL = 35,
    SCRIPT_FLOAT_LITERAL = 36,
    SCRIPT_STRING_LITERAL = 38,
    SCRIPT_STRING_NAME_CLASS = 39, // only while lexing: a name ending "$"
    SCRIPT_LOGICAL = 41,
    SCRIPT_COMPARISON = 44,
    SCRIPT_ADDITIVE = 51,
    SCRIPT_MULTIPLICATIVE = 54,
    SCRIPT_LABEL = 58,
    SCRIPT_COMMA = 59,
    SCRIPT_LEFT_BRACKET = 60,
    SCRIPT_RIGHT_BRACKET = 61,
    SCRIPT_END_OF_LINE = 62,
    SCRIPT_END_OF_TEXT = 63,
};

// Token ids: what the evaluator and the type check dispatch on. Statement
// words and the single-id classes share their class number.
enum ScriptTokenId : int
{
    SCRIPT_ASC = 12,
    SCRIPT_LEN = 13,
    SCRIPT_VAL = 14,
    SCRIPT_INSTR = 15,
    SCRIPT_INT = 16,
    SCRIPT_CHR = 18,
    SCRIPT_DATE = 19,
    SCRIPT_LEFT = 20,
    SCRIPT_MID = 21,
    SCRIPT_RIGHT = 22,
    SCRIPT_STR = 23,
    SCRIPT_TIME = 24,
    SCRIPT_UCASE = 25,
    SCRIPT_LCASE = 26,
    SCRIPT_CSUM = 27,
    SCRIPT_LTRIM = 28,
    SCRIPT_RTRIM = 29,
    SCRIPT_TRIM = 30,
    SCRIPT_FLOAT = 32,
    SCRIPT_FVAL = 33,
    SCRIPT_INT_NAME = 37,
    SCRIPT_STRING_NAME = 39,
    SCRIPT_FLOAT_NAME = 40,
    SCRIPT_AND = 42,
    SCRIPT_OR = 43,
    SCRIPT_GREATER_EQUAL = 45,
    SCRIPT_LESS_EQUAL = 46,
    SCRIPT_EQUAL = 47,
    SCRIPT_NOT_EQUAL = 48,
    SCRIPT_GREATER = 49,
    SCRIPT_LESS = 50,
    SCRIPT_PLUS = 52,
    SCRIPT_MINUS = 53,
    SCRIPT_TIMES = 55,
    SCRIPT_DIVIDE = 56,
    SCRIPT_MOD = 57,
};

// Value types of symbols and run-time values; 41 is the truth value of the
// type check.
enum ScriptValueType : int
{
    SCRIPT_TYPE_INTEGER = 37,
    SCRIPT_TYPE_STRING = 39,
    SCRIPT_TYPE_FLOAT = 40,
    SCRIPT_TYPE_TRUTH = 41,
    SCRIPT_TYPE_LABEL = 58,
};

// One row of the lexer's state table.
struct ScriptLexRow
{
    const char* set; // "" matches the end-of-text character (code 0)
    int match;       // 1 equals set[0], 2 in set[0]..set[1], 3 any
    int action;      // bits: 1 append, 2 step back, 4 read next, 8 emit, 16 reject
    int argument;    // next row, or the class of an emitted token
    int token;       // id of an emitted token
};

// Lexer action bits.
enum : int
{
    SCRIPT_LEX_APPEND = 1,
    SCRIPT_LEX_BACK = 2,
    SCRIPT_LEX_READ = 4,
    SCRIPT_LEX_EMIT = 8,
    SCRIPT_LEX_REJECT = 16,
};

constexpr int kScriptLexRowCount = 45;
extern const ScriptLexRow kScriptLexTable[kScriptLexRowCount];

struct ScriptKeyword
{
    const char* word; // "" ends a group
    int id;
};

// The keyword groups, each ended by an empty word: statement words, integer
// functions, string functions, floating functions, logical operators, MOD.
extern const ScriptKeyword kScriptStatementWords[];
extern const ScriptKeyword kScriptIntFunctions[];
extern const ScriptKeyword kScriptStringFunctions[];
extern const ScriptKeyword kScriptFloatFunctions[];
extern const ScriptKeyword kScriptLogicalWords[];
extern const ScriptKeyword kScriptModWord[];

// One token of a script, with the value slots the run time uses.
class CScriptToken
{
public:
    CScriptToken();
    ~CScriptToken();
    CScriptToken(const CScriptToken&) = delete;
    CScriptToken& operator=(const CScriptToken&) = delete;

    int m_class = SCRIPT_REJECTED;
    int m_id = -1;
    QString m_text;
    // Character index in the script where the token starts.
    qsizetype m_start = 0;

    // --- run-time slots -----------------------------------------------------
    int m_intValue = 0;
    double m_floatValue = 0.0;
    QString m_stringValue;
    // 37, 39 or 40: the type of the value last stored.
    int m_valueType = 0;
    // The single-token leading arguments of some functions.
    CScriptToken* m_argToken1 = nullptr;
    CScriptToken* m_argToken2 = nullptr;
    // The expression arguments of a function.
    std::unique_ptr<CScriptExpression> m_argExpr1;
    std::unique_ptr<CScriptExpression> m_argExpr2;
    // The symbol that a name stands for.
    CScriptSymbol* m_symbol = nullptr;
};

// Reads one token from text at pos (which advances) into token; returns its
// class, SCRIPT_REJECTED for a character the language does not know, a "."
// that follows no digits, or a string literal without its closing quote.
int ReadScriptToken(const QString& text, qsizetype& pos, CScriptToken& token);

// Decimal conversion as the language does it: leading white space and a sign
// allowed, stops at the first non-digit, 0 when there is no digit; a value
// beyond the 32-bit range is held at its limit.
int ScriptDecimal(const QString& text);

// Floating conversion: leading white space and a sign allowed, the longest
// number at the start, 0.0 when there is none.
double ScriptFloat(const QString& text);
