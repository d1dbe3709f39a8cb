#include "Postal.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_PERSISTENT(CPostnet, CBarcode, 1)
IMPLEMENT_PERSISTENT(CRoyalMail, CBarcode, 1)

namespace {

// The full bars of each Postnet digit.
constexpr const char* kPostnetDigits[10] = {"11000", "00011", "00101", "00110", "01001",
                                            "01010", "01100", "10001", "10010", "10100"};

constexpr int kMaxCharacters = 25;

// Lengths of the postal symbols in hundred-thousandths of an inch.
constexpr int kBarWidth = 2000;
constexpr int kGap = 2600;
constexpr int kPostnetFull = 12500;
constexpr int kPostnetHalf = 5000;
constexpr int kTrackerHeight = 5000;
constexpr int kExtender = 7500;

// A length in printer dots.
int Dots(int resolution, int hundredThousandths)
{
    return static_cast<int>((static_cast<long long>(resolution) * hundredThousandths + 49999) /
                            100000);
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

// --- Postnet -----------------------------------------------------------------------

CPostnet::CPostnet() : CBarcode(SYM_POSTNET)
{
    // A ZIP+4 code: a Postnet symbol carries 5, 9 or 11 digits.
    InitFromPreferences(QStringLiteral("123456789"), TRUE, FALSE, FALSE);
}

int CPostnet::CheckDigit(const QString& digits)
{
    int sum = 0;
    for (QChar c : digits)
        sum += c.unicode() - u'0';
    return (10 - sum % 10) % 10;
}

BOOL CPostnet::PrepareData()
{
    m_expandedData.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    m_humanReadable.clear();
    for (QChar c : m_data) {
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9' || m_encodedText.size() == kMaxCharacters)
            return FALSE;
        m_encodedText += c;
        m_expandedData += QChar(char16_t(c.unicode() - u'0'));
    }
    const qsizetype n = m_encodedText.size();
    const qsizetype before = m_calculateCheck ? n : n - 1; // digits before the check digit
    if (before != 5 && before != 9 && before != 11)
        return FALSE;
    const int check = CheckDigit(m_encodedText);
    m_checkChars = QString(QChar(char16_t(u'0' + check)));
    if (m_calculateCheck)
        m_expandedData += QChar(char16_t(check));
    return TRUE;
}

void CPostnet::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 5 + 2);
    m_pattern.push_back(kFull);
    for (QChar c : m_expandedData) {
        const char* bars = kPostnetDigits[c.unicode() % 10];
        for (int i = 0; i < 5; ++i)
            m_pattern.push_back(bars[i] == '1' ? kFull : kHalf);
    }
    m_pattern.push_back(kFull);
}

void CPostnet::LayoutBars()
{
    const int along = ResolutionAlong();
    const int across = ResolutionAcross();
    const int w = std::max(1, Dots(along, kBarWidth));
    const int g = std::max(1, Dots(along, kGap));
    const int full = std::max(2, Dots(across, kPostnetFull));
    const int half = std::max(1, Dots(across, kPostnetHalf));
    const long long n = static_cast<long long>(m_pattern.size());
    if (n == 0 || !CreateSymbolBitmap(n * w + (n - 1) * g, full)) {
        ShowInvalid();
        return;
    }
    int x = 0;
    for (BYTE state : m_pattern) {
        if (state == kFull)
            FillBlack(m_bitmap, x, 0, w, full);
        else
            FillBlack(m_bitmap, x, full - half, w, half);
        x += w + g;
    }
    FinishSymbol();
}

// --- Royal Mail 4-state -------------------------------------------------------------

CRoyalMail::CRoyalMail() : CBarcode(SYM_ROYAL_MAIL)
{
    InitFromPreferences(QStringLiteral("CB249AD"), TRUE, FALSE, FALSE);
}

namespace {

int TablePosition(char16_t c)
{
    if (c > 127)
        return -1;
    const char* at = c ? std::strchr(CRoyalMail::kTable, char(c)) : nullptr;
    return at ? int(at - CRoyalMail::kTable) : -1;
}

// The two of the four bars that carry the extender for a row or column.
constexpr int kExtenderBars[6][2] = {{0, 1}, {2, 3}, {1, 3}, {1, 2}, {0, 3}, {0, 2}};

} // namespace

char16_t CRoyalMail::CheckCharacter(const QString& text)
{
    int rows = 0, columns = 0;
    for (QChar c : text) {
        const int at = TablePosition(c.unicode());
        if (at < 0)
            return 0;
        rows += at / 6;
        columns += at % 6;
    }
    return char16_t(kTable[(rows % 6) * 6 + columns % 6]);
}

std::array<BYTE, 4> CRoyalMail::States(char16_t c)
{
    std::array<BYTE, 4> states{kTracker, kTracker, kTracker, kTracker};
    const int at = TablePosition(c);
    if (at < 0)
        return states;
    for (int bar : kExtenderBars[at / 6])
        states[std::size_t(bar)] |= kAscender;
    for (int bar : kExtenderBars[at % 6])
        states[std::size_t(bar)] |= kDescender;
    return states;
}

BOOL CRoyalMail::PrepareData()
{
    m_expandedData.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    m_humanReadable.clear();
    for (QChar raw : m_data) {
        if (raw == u' ')
            continue;
        const QChar c = raw.toUpper();
        const bool accepted = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
        if (!accepted || m_expandedData.size() == kMaxCharacters)
            return FALSE;
        m_expandedData += c;
        m_encodedText += c;
    }
    const QChar check(CheckCharacter(m_expandedData));
    m_expandedData += check;
    m_checkChars = QString(check);
    return TRUE;
}

void CRoyalMail::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 4 + 2);
    m_pattern.push_back(kAscender);
    for (QChar c : m_expandedData) {
        for (BYTE state : States(c.unicode()))
            m_pattern.push_back(state);
    }
    m_pattern.push_back(kFullBar);
}

void CRoyalMail::LayoutBars()
{
    const int along = ResolutionAlong();
    const int across = ResolutionAcross();
    const int w = std::max(1, Dots(along, kBarWidth));
    const int g = std::max(1, Dots(along, kGap));
    const int tracker = std::max(1, Dots(across, kTrackerHeight));
    const int extender = std::max(1, Dots(across, kExtender));
    const long long n = static_cast<long long>(m_pattern.size());
    if (n == 0 || !CreateSymbolBitmap(n * w + (n - 1) * g, tracker + 2 * extender)) {
        ShowInvalid();
        return;
    }
    int x = 0;
    for (BYTE state : m_pattern) {
        const int top = state & kAscender ? 0 : extender;
        const int bottom = extender + tracker + (state & kDescender ? extender : 0);
        FillBlack(m_bitmap, x, top, w, bottom - top);
        x += w + g;
    }
    FinishSymbol();
}

void RegisterPostalCopies()
{
    CBarcode::RegisterCopy(SYM_POSTNET, &CopyAs<CPostnet>);
    CBarcode::RegisterCopy(SYM_ROYAL_MAIL, &CopyAs<CRoyalMail>);
}
