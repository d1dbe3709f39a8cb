// The GS1 application identifiers: the built-in table of the identifiers a
// GS1 symbol can carry, with each one's title, length rule, separator rule,
// decimal-point digit, check digit, sample and format, and the element
// string written both ways: as the symbol carries it (identifier and data,
// "%1" where a function 1 separates a variable-length field from the next)
// and as people read it (each identifier in parentheses before its data).
#pragma once

#include <QString>

#include <span>

struct GS1AIInfo
{
    int ai; // without the decimal-point digit: 310 for 3103
    const char* description;
    const char* shortName;
    bool fixedLength;
    bool separatorAfterFixed;
    bool decimalDigit;
    int defaultDecimals;
    bool checkDigit;
    const char* sample;
    const char* format;
};

// The table, in its order.
std::span<const GS1AIInfo> GS1AITable();
// The row of an identifier, or null.
const GS1AIInfo* GetGS1AIInfo(int ai);

// What the format of a row allows: a length range and the characters.
struct GS1FieldRule
{
    int minLength = 1;
    int maxLength = 30;
    bool numeric = false;
};
GS1FieldRule GS1RuleOf(const GS1AIInfo& info);

// The identifier as written before its data: two digits at least, and the
// decimal-point digit where the row has one.
QString GS1AIText(int ai, int decimals);
// Whether a field of this identifier needs a function 1 after it when
// another field follows. An identifier the table lacks (only a damaged file
// gives one) is taken as of variable length.
bool GS1NeedsSeparatorAfter(int ai);
// The modulo-10 check digit (weights 3 and 1 from the right, spaces
// skipped); -1 when a character other than a digit or a space is in it.
int GS1CheckDigit(const QString& text);
// The data of a field with its check digit put where the identifier keeps
// it: at the end, or for the document and asset identifiers (253, 8003)
// after their fixed key, before the optional serial. The data unchanged when
// the digit cannot be computed.
QString GS1WithCheckDigit(int ai, const QString& data);

// "(01)09501101530003(10)AB" -> "0109501101530003" "10AB": the element
// string with "%1" after every variable-length field that another follows.
// A "%" in the data is written "%%". FALSE, with the reason, when an
// identifier is unknown or a field breaks its length or character rule.
bool GS1BracketedToElementString(const QString& text, QString& elementString, QString* error);
// The other way: an element string (a leading "%1" and "%1" separators
// allowed; "%%" a percent sign) as the bracketed text. FALSE when it cannot
// be split into known identifiers and fields.
bool GS1ElementStringToBracketed(const QString& elementString, QString& bracketed);
