// The macro script lexer: token classes, ids, texts and positions.
#include "ScriptToken.h"

#include <QString>

#include <vector>

#include <gtest/gtest.h>

namespace {

struct Lexed
{
    int tokenClass;
    int id;
    QString text;
};

// Tokens up to and including end of text, or up to a rejected token.
std::vector<Lexed> Lex(const QString& text, std::vector<qsizetype>* starts = nullptr)
{
    std::vector<Lexed> tokens;
    qsizetype pos = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        CScriptToken token;
        const int tokenClass = ReadScriptToken(text, pos, token);
        tokens.push_back({tokenClass, token.m_id, token.m_text});
        if (starts)
            starts->push_back(token.m_start);
        if (tokenClass == SCRIPT_END_OF_TEXT || tokenClass == SCRIPT_REJECTED)
            break;
    }
    return tokens;
}

QString Describe(const std::vector<Lexed>& tokens)
{
    QString out;
    for (const Lexed& t : tokens)
        out += QStringLiteral("%1/%2:%3 ").arg(t.tokenClass).arg(t.id).arg(t.text);
    return out.trimmed();
}

struct LexCase
{
    const char* script;
    const char* tokens; // class/id:text, space-separated; "\n" shown as is
};

TEST(ScriptLexer, TokenSequences)
{
    const LexCase cases[] = {
        {"a$ = \"Hi\"", "34/39:A$ 44/47:= 38/38:Hi 63/63:"},
        {"x<>y", "34/37:X 44/48:<> 34/37:Y 63/63:"},
        {"x< >y", "34/37:X 44/50:< 44/49:> 34/37:Y 63/63:"},
        {"a<=b>=c<d>e", "34/37:A 44/46:<= 34/37:B 44/45:>= 34/37:C 44/50:< 34/37:D 44/49:> "
                        "34/37:E 63/63:"},
        {"1.5", "36/36:1.5 63/63:"},
        {"1. ", "36/36:1. 63/63:"},
        {"12ab", "35/35:12 34/37:AB 63/63:"},
        {"LEN(", "11/13:LEN 60/60:( 63/63:"},
        {"cHr$", "17/18:CHR$ 63/63:"},
        {"' note", "63/63:"},
        {"\"a\\b\"", "38/38:aB 63/63:"},
        {"\"Mixed Case\"", "38/38:Mixed Case 63/63:"},
        {"for i to step next if then else endif goto return end",
         "0/0:FOR 34/37:I 1/1:TO 2/2:STEP 3/3:NEXT 4/4:IF 5/5:THEN 6/6:ELSE 7/7:ENDIF "
         "8/8:GOTO 9/9:RETURN 10/10:END 63/63:"},
        {"asc len val instr int float fval",
         "11/12:ASC 11/13:LEN 11/14:VAL 11/15:INSTR 11/16:INT 31/32:FLOAT 31/33:FVAL 63/63:"},
        {"date$ left$ mid$ right$ str$ time$ ucase$ lcase$ csum$ ltrim$ rtrim$ trim$",
         "17/19:DATE$ 17/20:LEFT$ 17/21:MID$ 17/22:RIGHT$ 17/23:STR$ 17/24:TIME$ "
         "17/25:UCASE$ 17/26:LCASE$ 17/27:CSUM$ 17/28:LTRIM$ 17/29:RTRIM$ 17/30:TRIM$ 63/63:"},
        {"a and b or c mod d",
         "34/37:A 41/42:AND 34/37:B 41/43:OR 34/37:C 54/57:MOD 34/37:D 63/63:"},
        {"+-*/,()", "51/52:+ 51/53:- 54/55:* 54/56:/ 59/59:, 60/60:( 61/61:) 63/63:"},
        {"total# = x_1", "34/40:TOTAL# 44/47:= 34/37:X_1 63/63:"},
        {"done: label", "58/58:DONE: 58/58:LABEL 63/63:"},
        {"int# float$", "34/40:INT# 34/39:FLOAT$ 63/63:"},
        {"a\r\nb", "34/37:A 62/62:\n 34/37:B 63/63:"},
        {"\t x \t", "34/37:X 63/63:"},
        {"-5", "51/53:- 35/35:5 63/63:"},
    };
    for (const LexCase& c : cases)
        EXPECT_EQ(Describe(Lex(QString::fromUtf8(c.script))), QString::fromUtf8(c.tokens))
            << c.script;
}

TEST(ScriptLexer, CommentLineEndComesTwice)
{
    const auto tokens = Lex(QStringLiteral("a ' note\nb"));
    EXPECT_EQ(Describe(tokens), QStringLiteral("34/37:A 62/62:\n 62/62:\n 34/37:B 63/63:"));
}

TEST(ScriptLexer, RejectedCharacters)
{
    // Characters outside the table, a "." without digits before it, and a
    // string literal without its closing quote are rejected.
    const struct
    {
        const char* script;
        int tokensBefore;
    } cases[] = {
        {"!", 0},          {"a & b", 1},        {"x;", 1},   {"[", 0}, {".5", 0},
        {"a = \"open", 2}, {"a = \"open\\", 2}, {"\"\\", 0}, {"é", 0},
    };
    for (const auto& c : cases) {
        const auto tokens = Lex(QString::fromUtf8(c.script));
        ASSERT_EQ(int(tokens.size()), c.tokensBefore + 1) << c.script;
        EXPECT_EQ(tokens.back().tokenClass, SCRIPT_REJECTED) << c.script;
    }
}

TEST(ScriptLexer, StartPositions)
{
    std::vector<qsizetype> starts;
    Lex(QStringLiteral("ab = 12\nL1: x#"), &starts);
    const std::vector<qsizetype> expected = {0, 3, 5, 7, 8, 12, 14};
    EXPECT_EQ(starts, expected);

    // A string literal starts at its opening quote, escapes and all.
    starts.clear();
    Lex(QStringLiteral("x = \"a\\\"b\" + y"), &starts);
    const std::vector<qsizetype> literal = {0, 2, 4, 11, 13, 14};
    EXPECT_EQ(starts, literal);
}

TEST(ScriptLexer, LiteralsCarryTheirValues)
{
    qsizetype pos = 0;
    CScriptToken number;
    ReadScriptToken(QStringLiteral("99999999999"), pos, number);
    EXPECT_EQ(number.m_intValue, 2147483647); // held at the limit, never overflowing
    pos = 0;
    CScriptToken fraction;
    ReadScriptToken(QStringLiteral("2.25"), pos, fraction);
    EXPECT_DOUBLE_EQ(fraction.m_floatValue, 2.25);
}

TEST(ScriptLexer, DecimalAndFloatingConversions)
{
    const struct
    {
        const char* text;
        int decimal;
        double floating;
    } cases[] = {
        {"", 0, 0.0},
        {"  42abc", 42, 42.0},
        {"-17", -17, -17.0},
        {"+8", 8, 8.0},
        {"x12", 0, 0.0},
        {"3.75", 3, 3.75},
        {"\t\n 7", 7, 7.0},
        {"1e3", 1, 1000.0},
        {"-2147483649", -2147483647 - 1, -2147483649.0},
        {"2147483648", 2147483647, 2147483648.0},
        {"- 5", 0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScriptDecimal(QString::fromUtf8(c.text)), c.decimal) << c.text;
        EXPECT_DOUBLE_EQ(ScriptFloat(QString::fromUtf8(c.text)), c.floating) << c.text;
    }
}

} // namespace
