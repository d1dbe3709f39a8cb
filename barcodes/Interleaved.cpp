#include "Interleaved.h"

#include "DC.h"
#include "Rounding.h"

IMPLEMENT_PERSISTENT(CInterleaved2of5, CBarcode, 1)
IMPLEMENT_PERSISTENT(CITF14, CInterleaved2of5, 1)

namespace {

// The five elements of each digit, '1' where wide.
constexpr const char* kDigitPatterns[10] = {"00110", "10001", "01001", "11000", "00101",
                                            "10100", "01100", "00011", "10010", "01010"};

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

// --- Interleaved 2 of 5 -------------------------------------------------------------

CInterleaved2of5::CInterleaved2of5(int symbologyId) : CBarcode(symbologyId) {}

CInterleaved2of5::CInterleaved2of5() : CBarcode(SYM_INTERLEAVED_2OF5)
{
    InitFromPreferences(QStringLiteral("12345"), TRUE, TRUE, TRUE);
}

int CInterleaved2of5::CheckDigit(const QString& digits)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size(); i-- > 0;) {
        sum += (digits[i].unicode() - u'0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

BOOL CInterleaved2of5::PrepareDigits(const QString& text)
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    QString digits;
    digits.reserve(text.size() + 2);
    for (QChar c : text) {
        if (c == u'\r' || c == u'\t' || c == u' ')
            continue;
        if (!IsDigit(c))
            return FALSE;
        digits += c;
    }
    // The symbol carries an even number of digits, check digit included.
    const bool even = digits.size() % 2 == 0;
    if (even == bool(m_calculateCheck))
        digits.prepend(u'0');
    m_expandedData = m_humanReadable = m_encodedText = digits;
    if (!m_calculateCheck)
        return TRUE;
    const QChar check(char16_t(u'0' + CheckDigit(digits)));
    m_expandedData += check;
    m_checkChars = QString(check);
    if (m_showCheck)
        m_humanReadable += check;
    return TRUE;
}

BOOL CInterleaved2of5::PrepareData()
{
    return PrepareDigits(m_data);
}

void CInterleaved2of5::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 5 + 8);
    m_pattern.insert(m_pattern.end(), {0, 4, 0, 4}); // start
    for (qsizetype i = 0; i + 1 < m_expandedData.size(); i += 2) {
        const char* bars = kDigitPatterns[m_expandedData[i].unicode() - u'0'];
        const char* spaces = kDigitPatterns[m_expandedData[i + 1].unicode() - u'0'];
        for (int k = 0; k < 5; ++k) {
            m_pattern.push_back(bars[k] == '1' ? 2 : 0);
            m_pattern.push_back(spaces[k] == '1' ? 6 : 4);
        }
    }
    m_pattern.insert(m_pattern.end(), {2, 4, 0, 4}); // stop
}

// --- ITF-14 ---------------------------------------------------------------------------

CITF14::CITF14() : CInterleaved2of5(SYM_ITF14)
{
    InitFromPreferences(QStringLiteral("1234567890123"), TRUE, TRUE, TRUE);
}

QString CITF14::GtinDigits(const QString& data)
{
    QString digits;
    digits.reserve(14);
    for (QChar c : data) {
        if (c.isSpace() || c == u'-')
            continue;
        if (!IsDigit(c) || digits.size() == 14)
            return QString();
        digits += c;
    }
    return digits.size() >= 13 ? digits.left(13) : QString();
}

BOOL CITF14::PrepareData()
{
    const QString digits = GtinDigits(m_data);
    if (digits.isEmpty()) {
        m_expandedData.clear();
        m_humanReadable.clear();
        m_encodedText.clear();
        m_checkChars.clear();
        return FALSE;
    }
    // The check digit is part of every ITF-14 symbol.
    const BOOL calculate = m_calculateCheck;
    m_calculateCheck = TRUE;
    const BOOL ok = PrepareDigits(digits);
    m_calculateCheck = calculate;
    return ok;
}

void CITF14::LayoutBars()
{
    const int n = m_elementWidths[0];
    const WORD quiet = WORD(std::min(12 * n, 0xFFFF));
    const WORD bearer = WORD(std::min(2 * n, 0xFFFF));
    m_margins = {quiet, quiet, bearer, bearer};
    const int barHeight = BarHeightPixels();
    const long long height = static_cast<long long>(barHeight) + 2LL * bearer;
    if (barHeight < 1 || !CreateSymbolBitmap(SymbolWidthPixels(), height)) {
        ShowInvalid();
        return;
    }
    DrawRun(quiet, bearer, 0, static_cast<int>(m_pattern.size()) - 1, TRUE, barHeight);
    const int w = m_bitmap.width();
    const int h = m_bitmap.height();
    FillBlack(m_bitmap, 0, 0, w, bearer);
    FillBlack(m_bitmap, 0, h - bearer, w, bearer);
    FillBlack(m_bitmap, 0, 0, bearer, h);
    FillBlack(m_bitmap, w - bearer, 0, bearer, h);
    FinishSymbol();
}

void CITF14::Draw(CDC* dc, const CRect& clip)
{
    CBarcode::Draw(dc, clip);
    if (!m_notPrinted || m_invalid || m_bitmap.isNull() || m_data.isEmpty() || !dc ||
        !IsVisibleIn(dc, clip) || IsTracking(dc) || m_margins.size() < 4)
        return;
    // The bearer frame over the black one, in light grey: the element is
    // seen but marks nothing that will be printed.
    const int across = ResolutionAcross();
    const int t = std::max(1, RoundHalfUp(m_margins[2] * 254.0 / across));
    const CRect& r = m_barRect;
    const COLORREF grey = 0x00C0C0C0;
    dc->FillSolidRect(CRect(r.left, r.top, r.right, r.top + t), grey);
    dc->FillSolidRect(CRect(r.left, r.bottom - t, r.right, r.bottom), grey);
    dc->FillSolidRect(CRect(r.left, r.top, r.left + t, r.bottom), grey);
    dc->FillSolidRect(CRect(r.right - t, r.top, r.right, r.bottom), grey);
}

void RegisterInterleavedCopies()
{
    CBarcode::RegisterCopy(SYM_INTERLEAVED_2OF5, &CopyAs<CInterleaved2of5>);
    CBarcode::RegisterCopy(SYM_ITF14, &CopyAs<CITF14>);
}
