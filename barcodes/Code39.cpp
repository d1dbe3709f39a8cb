#include "Code39.h"

#include <cstring>

IMPLEMENT_PERSISTENT(CCode39, CBarcode, 1)
IMPLEMENT_PERSISTENT(CCode93, CBarcode, 1)
IMPLEMENT_PERSISTENT(CCodabar, CBarcode, 1)

namespace {

// Code 39 characters in the order of kCharacters: nine elements, bar
// first, '1' where the element is wide.
constexpr const char* kCode39Patterns[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010", "010010100",
};

// Code 93 characters 0..47: module widths of bar, space, bar, space, bar,
// space (nine modules).
constexpr const char* kCode93Widths[48] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114",
    "131211", "141111", "211113", "211212", "211311", "221112", "221211", "231111",
    "112113", "112212", "112311", "122112", "132111", "111123", "111222", "111321",
    "121122", "131121", "212112", "212211", "211122", "211221", "221121", "222111",
    "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211", "111141",
};

// Codabar characters in the order of kCharacters: seven elements, bar
// first, '1' where the element is wide.
constexpr const char* kCodabarPatterns[20] = {
    "0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001",
    "0100100", "0110000", "1001000", "0001100", "0011000", "1000101", "1010001",
    "1010100", "0010101", "0011010", "0101001", "0001011", "0001110",
};

constexpr bool WidthsAreNineModules()
{
    for (const char* widths : kCode93Widths) {
        int sum = 0;
        for (int i = 0; i < 6; ++i)
            sum += widths[i] - '0';
        if (sum != 9)
            return false;
    }
    return true;
}
static_assert(WidthsAreNineModules(), "a Code 93 character of the wrong width");

// Narrow and wide elements, bar first: a bar is 0 (narrow) or 2 (wide), a
// space 4 or 6.
void AddNarrowWide(std::vector<BYTE>& pattern, const char* wide)
{
    for (int i = 0; wide[i]; ++i) {
        const bool bar = i % 2 == 0;
        const bool isWide = wide[i] == '1';
        pattern.push_back(BYTE((bar ? 0 : 4) + (isWide ? 2 : 0)));
    }
}

int IndexIn(const char* set, int count, QChar c)
{
    const char16_t u = c.toUpper().unicode();
    for (int i = 0; i < count; ++i) {
        if (char16_t(static_cast<unsigned char>(set[i])) == u)
            return i;
    }
    return -1;
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

// --- Code 39 ----------------------------------------------------------------------

CCode39::CCode39() : CBarcode(SYM_CODE39)
{
    InitFromPreferences(QStringLiteral("CODE39"), TRUE, TRUE, TRUE);
}

char16_t CCode39::CheckCharacter(const QString& text)
{
    int sum = 0;
    for (QChar c : text) {
        const int value = IndexIn(kCharacters, 43, c);
        if (value < 0)
            return 0;
        sum = (sum + value) % 43;
    }
    return char16_t(static_cast<unsigned char>(kCharacters[sum]));
}

BOOL CCode39::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    qsizetype i = 0;
    if (!m_data.isEmpty() && m_data[0] == u'*')
        i = 1;
    m_expandedData = m_humanReadable = QStringLiteral("*");
    int sum = 0;
    for (; i < m_data.size(); ++i) {
        const int value = IndexIn(kCharacters, 44, m_data[i]);
        if (value < 0)
            return FALSE;
        if (value == 43)
            break; // an asterisk ends the data
        sum = (sum + value) % 43;
        const QChar c(char16_t(static_cast<unsigned char>(kCharacters[value])));
        m_expandedData += c;
        m_humanReadable += c;
        m_encodedText += c;
    }
    const QChar check(char16_t(static_cast<unsigned char>(kCharacters[sum])));
    m_checkChars = QString(check);
    if (m_calculateCheck) {
        m_expandedData += check;
        if (m_showCheck)
            m_humanReadable += check;
    }
    m_expandedData += u'*';
    m_humanReadable += u'*';
    return TRUE;
}

void CCode39::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 10);
    for (QChar c : m_expandedData) {
        const int value = IndexIn(kCharacters, 44, c);
        if (value < 0)
            continue;
        AddNarrowWide(m_pattern, kCode39Patterns[value]);
        m_pattern.push_back(4); // the gap between characters, narrow
    }
}

// --- Code 93 ----------------------------------------------------------------------

CCode93::CCode93() : CBarcode(SYM_CODE93)
{
    InitFromPreferences(QStringLiteral("CODE93"), TRUE, FALSE, TRUE);
}

int CCode93::CheckValue(const std::vector<int>& values, int maxWeight)
{
    int sum = 0;
    int weight = 1;
    for (std::size_t i = values.size(); i-- > 0;) {
        sum = (sum + values[i] * weight) % 47;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum;
}

BOOL CCode93::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    std::vector<int> values;
    values.reserve(std::size_t(m_data.size()) + 2);
    for (QChar c : m_data) {
        const int value = IndexIn(kCharacters, kAccepted, c);
        if (value < 0)
            return FALSE;
        values.push_back(value);
        const QChar upper(char16_t(static_cast<unsigned char>(kCharacters[value])));
        m_humanReadable += upper;
        m_encodedText += upper;
    }
    const int c = CheckValue(values, 20);
    values.push_back(c);
    const int k = CheckValue(values, 15);
    values.push_back(k);
    for (int value : values)
        m_expandedData += QChar(char16_t(value));
    m_checkChars += QChar(char16_t(c));
    m_checkChars += QChar(char16_t(k));
    return TRUE;
}

void CCode93::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 6 + 13);
    auto add = [this](const char* widths) {
        for (int i = 0; widths[i]; ++i)
            m_pattern.push_back(BYTE(widths[i] - '1' + (i % 2 ? 4 : 0)));
    };
    add(kCode93Widths[kStartStop]);
    for (QChar c : m_expandedData) {
        if (c.unicode() < kStartStop)
            add(kCode93Widths[c.unicode()]);
    }
    add(kCode93Widths[kStartStop]);
    m_pattern.push_back(0); // the termination bar
}

// --- Codabar ----------------------------------------------------------------------

CCodabar::CCodabar() : CBarcode(SYM_CODABAR)
{
    InitFromPreferences(QStringLiteral("A12345D"), FALSE, FALSE, TRUE);
}

BOOL CCodabar::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    const qsizetype n = m_data.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int value = IndexIn(kCharacters, 20, m_data[i]);
        if (value < 0)
            return FALSE;
        // A, B, C and D start and stop the symbol: they must stand at both
        // ends and only there.
        const bool startStop = value >= 16;
        const bool atEnd = i == 0 || i == n - 1;
        if (startStop != atEnd)
            return FALSE;
        const QChar c(char16_t(static_cast<unsigned char>(kCharacters[value])));
        m_expandedData += c;
        m_encodedText += c;
        m_humanReadable += c;
    }
    return n == 0 || n >= 2 ? TRUE : FALSE;
}

void CCodabar::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 8);
    for (QChar c : m_expandedData) {
        const int value = IndexIn(kCharacters, 20, c);
        if (value < 0)
            continue;
        AddNarrowWide(m_pattern, kCodabarPatterns[value]);
        m_pattern.push_back(6); // the gap between characters, wide
    }
}

void RegisterCode39Copies()
{
    CBarcode::RegisterCopy(SYM_CODE39, &CopyAs<CCode39>);
    CBarcode::RegisterCopy(SYM_CODE93, &CopyAs<CCode93>);
    CBarcode::RegisterCopy(SYM_CODABAR, &CopyAs<CCodabar>);
}
