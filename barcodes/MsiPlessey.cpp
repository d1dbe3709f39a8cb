#include "MsiPlessey.h"

#include "Box.h"
#include "Codec1252.h"
#include "Rounding.h"

#include <algorithm>
#include <bit>

IMPLEMENT_PERSISTENT(CMsi, CBarcode, 1)
IMPLEMENT_PERSISTENT(CPlessey, CBarcode, 1)
IMPLEMENT_PERSISTENT(CMS7, CBarcode, 1)
IMPLEMENT_PERSISTENT(CTelepen, CBarcode, 1)
IMPLEMENT_PERSISTENT(CTelepenNumeric, CTelepen, 1)

namespace {

// Module widths of the digits in number set A, space first; set C is the
// same bar first.
constexpr const char* kSetA[10] = {"3211", "2221", "2122", "1411", "1132",
                                   "1231", "1114", "1312", "1213", "3112"};

// Guard-bar extension of the retail symbols, in inches (1.65 mm).
constexpr double kGuardExtension = 0.06496062992125984;

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A bar of n modules is n - 1, a space n + 3.
void AddModules(std::vector<BYTE>& pattern, const char* widths, bool barFirst)
{
    bool bar = barFirst;
    for (int i = 0; widths[i]; ++i) {
        const int modules = widths[i] - '0';
        pattern.push_back(BYTE(bar ? modules - 1 : modules + 3));
        bar = !bar;
    }
}

// One bit as a bar and a space: 1 a wide bar and a narrow space, 0 a
// narrow bar and a wide space.
void AddBit(std::vector<BYTE>& pattern, bool one)
{
    pattern.push_back(one ? 2 : 0);
    pattern.push_back(one ? 4 : 6);
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

// --- MSI ---------------------------------------------------------------------------

CMsi::CMsi() : CBarcode(SYM_MSI)
{
    InitFromPreferences(QStringLiteral("123456"), TRUE, TRUE, TRUE);
}

std::array<int, 2> CMsi::CheckValues(const QString& digits)
{
    int sum = 0;
    for (QChar c : digits)
        sum += c.unicode() - u'0';
    return {(10 - sum % 10) % 10, (11 - sum % 11) % 11};
}

BOOL CMsi::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    for (QChar c : m_data) {
        if (!IsDigit(c))
            return FALSE;
        m_expandedData += QChar(char16_t(c.unicode() - u'0'));
        m_encodedText += c;
        m_humanReadable += c;
    }
    const std::array<int, 2> check = CheckValues(m_encodedText);
    m_checkChars += QChar(char16_t(u'0' + check[0]));
    m_checkChars += QChar(char16_t(u'0' + check[1]));
    if (m_calculateCheck) {
        m_expandedData += QChar(char16_t(check[0]));
        m_expandedData += QChar(char16_t(check[1]));
        if (m_showCheck) {
            m_humanReadable += QChar(char16_t(u'0' + check[0]));
            m_humanReadable += check[1] == 10 ? QChar(u'X') : QChar(char16_t(u'0' + check[1]));
        }
    }
    return TRUE;
}

void CMsi::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 8 + 5);
    m_pattern.insert(m_pattern.end(), {2, 4}); // start
    for (QChar c : m_expandedData) {
        const int value = c.unicode() & 15;
        for (int bit = 3; bit >= 0; --bit)
            AddBit(m_pattern, (value >> bit) & 1);
    }
    m_pattern.insert(m_pattern.end(), {0, 6, 0}); // stop
}

// --- Plessey ---------------------------------------------------------------------------

CPlessey::CPlessey() : CBarcode(SYM_PLESSEY)
{
    InitFromPreferences(QStringLiteral("123456"), TRUE, FALSE, TRUE);
}

std::array<int, 2> CPlessey::CheckValues(const std::vector<int>& values)
{
    // x^8 + x^7 + x^6 + x^5 + x^3 + 1, highest power first.
    static constexpr bool kPolynomial[9] = {1, 1, 1, 1, 0, 1, 0, 0, 1};
    std::vector<bool> bits;
    bits.reserve(values.size() * 4 + 8);
    for (int value : values) {
        for (int bit = 0; bit < 4; ++bit)
            bits.push_back((value >> bit) & 1);
    }
    const std::size_t dataBits = bits.size();
    bits.resize(dataBits + 8, false);
    for (std::size_t i = 0; i < dataBits; ++i) {
        if (!bits[i])
            continue;
        for (std::size_t k = 0; k < 9; ++k)
            bits[i + k] = bits[i + k] != kPolynomial[k];
    }
    std::array<int, 2> check{};
    for (int bit = 0; bit < 8; ++bit) {
        if (bits[dataBits + std::size_t(bit)])
            check[std::size_t(bit / 4)] |= 1 << (bit % 4);
    }
    return check;
}

BOOL CPlessey::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    std::vector<int> values;
    values.reserve(std::size_t(m_data.size()));
    for (QChar raw : m_data) {
        const QChar c = raw.toUpper();
        int value = -1;
        if (IsDigit(c))
            value = c.unicode() - u'0';
        else if (c >= u'A' && c <= u'F')
            value = c.unicode() - u'A' + 10;
        else if (c == u'X')
            value = 10;
        if (value < 0)
            return FALSE;
        values.push_back(value);
        m_expandedData += QChar(char16_t(value));
        m_humanReadable += c;
        m_encodedText += c;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int check : CheckValues(values)) {
        m_expandedData += QChar(char16_t(check));
        m_checkChars += QLatin1Char(kHex[check]);
    }
    return TRUE;
}

void CPlessey::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 8 + 17);
    for (bool one : {true, true, false, true}) // start
        AddBit(m_pattern, one);
    for (QChar c : m_expandedData) {
        const int value = c.unicode() & 15;
        for (int bit = 0; bit < 4; ++bit)
            AddBit(m_pattern, (value >> bit) & 1);
    }
    m_pattern.insert(m_pattern.end(), {3, 6, 0, 6, 0, 4, 2, 4, 2}); // stop
}

// --- MS 7 ---------------------------------------------------------------------------------

CMS7::CMS7() : CBarcode(SYM_MS7)
{
    InitFromPreferences(QStringLiteral("012345"), TRUE, TRUE, TRUE);
}

BOOL CMS7::PrepareData()
{
    m_expandedData.clear();
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    if (m_data.size() != 6 && m_data.size() != 7)
        return FALSE;
    if (!std::all_of(m_data.begin(), m_data.end(), IsDigit))
        return FALSE;
    // A seventh digit is not encoded.
    const QString seven = QStringLiteral("0") + m_data.left(6);
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += (seven[i].unicode() - u'0') * (i % 2 == 0 ? 3 : 1);
    const QChar check(char16_t(u'0' + (10 - sum % 10) % 10));
    m_encodedText = seven;
    m_expandedData = seven + check;
    m_checkChars = QString(check);
    m_humanReadable = m_expandedData.mid(1, 4) + u' ' + m_expandedData.right(3);
    return TRUE;
}

void CMS7::BuildPattern()
{
    m_pattern.clear();
    if (m_expandedData.size() != 8)
        return;
    AddModules(m_pattern, "111", true);
    for (int i = 0; i < 4; ++i)
        AddModules(m_pattern, kSetA[m_expandedData[i].unicode() - u'0'], false);
    AddModules(m_pattern, "11111", false);
    for (int i = 4; i < 8; ++i)
        AddModules(m_pattern, kSetA[m_expandedData[i].unicode() - u'0'], true);
    AddModules(m_pattern, "111", true);
}

void CMS7::LayoutBars()
{
    const int along = ResolutionAlong();
    const int across = ResolutionAcross();
    double x = m_style ? double(m_style->xDimension) : 0.0;
    if (!(x > 0.0 && x <= 1.0))
        x = 0.01299; // the nominal retail module
    const int quietTenths = RoundHalfUp(x * 3180.0);
    const int quiet = RoundHalfUp(double(along) * quietTenths / 254.0);
    // The bars and the text under them share the element's height.
    const int text = m_showHumanReadable ? TextHeight(0) : 0;
    const int longBars =
        RoundHalfUp(std::clamp(double(across) * (m_height - text) / 254.0, -1.0, 1e6));
    const int shortBars = longBars - RoundHalfUp(across * kGuardExtension);
    if (m_pattern.size() != 43 || shortBars < 1 ||
        !CreateSymbolBitmap(SymbolWidthPixels() + 2LL * quiet, longBars)) {
        ShowInvalid();
        return;
    }
    int u = quiet;
    u = DrawRun(u, 0, 0, 2, TRUE, longBars);
    u = DrawRun(u, 0, 3, 18, FALSE, shortBars);
    u = DrawRun(u, 0, 19, 23, FALSE, shortBars);
    u = DrawRun(u, 0, 24, 39, TRUE, shortBars);
    DrawRun(u, 0, 40, 42, TRUE, longBars);
    FinishSymbol();
}

void CMS7::LayoutHumanReadable()
{
    ClearText();
    if (m_invalid || !m_showHumanReadable || m_humanReadable.isEmpty()) {
        PlaceAll();
        return;
    }
    const CLogFont font = m_texts[0].GetFont();
    const int top = m_barLocal.bottom;
    const CSize m = PrepText(0, QStringLiteral("M"), &font);
    PutText(0, m_barLocal.left, top, m);
    const CSize digits = PrepText(1, m_humanReadable, &font);
    PutText(1, (m_barLocal.left + m_barLocal.right - digits.cx) / 2, top, digits);
    const CSize s = PrepText(2, QStringLiteral("S"), &font);
    PutText(2, m_barLocal.right - s.cx, top, s);
    ApplyOverhang();
}

void CMS7::OnRegenerated()
{
    if (!m_frameBox) {
        auto box = std::make_unique<CBox>();
        // An outline only: a filled box would hide the symbol it frames.
        box->m_fillInterior = FALSE;
        box->m_outlineColour = 0;
        m_frameBox = std::move(box);
    }
    const int t = m_style && m_style->xDimension * 100000.0f < 1300.0f ? 4 : 10;
    CRect r = CRect::Union(m_barRect, m_textRect);
    r.InflateRect(t, t, t, t);
    m_frameBox->SetThickness(nullptr, t);
    m_frameBox->SetBounds(nullptr, r);
}

// --- Telepen -----------------------------------------------------------------------------

CTelepen::CTelepen(int symbologyId) : CBarcode(symbologyId) {}

CTelepen::CTelepen() : CBarcode(SYM_TELEPEN)
{
    InitFromPreferences(QStringLiteral("Telepen"), TRUE, FALSE, TRUE);
}

int CTelepen::CheckValue(int sum)
{
    return (127 - sum % 127) % 127;
}

QByteArray CTelepen::CharacterWidths(int value)
{
    unsigned bits = unsigned(value) & 0x7F;
    if (std::popcount(bits) % 2)
        bits |= 0x80; // even parity
    QByteArray widths;
    int i = 0;
    while (i < 8) {
        if ((bits >> i) & 1) {
            widths += "11";
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < 8 && ((bits >> j) & 1))
            ++j;
        // Even parity leaves an even number of 0s, so every 0 has a partner.
        const int ones = j - i - 1;
        if (ones == 0) {
            widths += "31";
        } else if (ones == 1) {
            widths += "33";
        } else {
            widths += "13";
            for (int k = 2; k < ones; ++k)
                widths += "11";
            widths += "13";
        }
        i = j + 1;
    }
    return widths;
}

void CTelepen::AddValue(int value, QChar shown, int& sum)
{
    const QChar c(char16_t(value & 0x7F));
    m_expandedData += c;
    m_encodedText += c;
    m_humanReadable += shown;
    sum += c.unicode();
}

void CTelepen::Finish(int sum)
{
    const QChar check(char16_t(CheckValue(sum)));
    m_expandedData += check;
    m_expandedData += QChar(kStop);
    m_checkChars = QString(check);
}

BOOL CTelepen::PrepareData()
{
    QString text = QString::fromLatin1(ToWindows1252(m_data));
    ExpandEscapes(text);
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    m_expandedData = QString(QChar(kStart));
    int sum = 0;
    for (QChar raw : text) {
        // Telepen carries 7-bit characters only; a character above 127 is
        // refused rather than printed as some other character.
        if (raw.unicode() > 127)
            return FALSE;
        const char16_t c = raw.unicode();
        const QChar shown = c >= 32 && c <= 126 ? QChar(c) : QChar(u' ');
        AddValue(c, shown, sum);
    }
    Finish(sum);
    return TRUE;
}

void CTelepen::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_expandedData.size()) * 16);
    for (QChar c : m_expandedData)
        AddModules(m_pattern, CharacterWidths(c.unicode() & 0x7F).constData(), true);
}

CTelepenNumeric::CTelepenNumeric() : CTelepen(SYM_TELEPEN_NUMERIC)
{
    InitFromPreferences(QStringLiteral("123456"), TRUE, FALSE, TRUE);
}

BOOL CTelepenNumeric::PrepareData()
{
    QString text = QString::fromLatin1(ToWindows1252(m_data));
    ExpandEscapes(text);
    m_humanReadable.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    m_expandedData = QString(QChar(kStart));
    int sum = 0;
    bool numeric = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 127)
            return FALSE;
        if (!numeric) {
            AddValue(c, c >= 32 && c <= 126 ? QChar(c) : QChar(u' '), sum);
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            if (i + 1 >= text.size())
                return FALSE;
            const char16_t next = text[i + 1].unicode();
            int value = 0;
            if (next >= u'0' && next <= u'9')
                value = 27 + 10 * (c - u'0') + (next - u'0');
            else if (next == u'X')
                value = 17 + (c - u'0');
            else
                return FALSE;
            const char16_t kept = c; // the pair is shown and sent as typed
            m_expandedData += QChar(char16_t(value));
            m_encodedText += QChar(kept);
            m_encodedText += QChar(next);
            m_humanReadable += QChar(kept);
            m_humanReadable += QChar(next);
            sum += value;
            ++i;
            continue;
        }
        if (c == 16) { // DLE: the full character set from here on
            numeric = false;
            AddValue(c, QChar(u' '), sum);
            continue;
        }
        if (c < 16 || c == 127) {
            AddValue(c, QChar(u' '), sum);
            continue;
        }
        return FALSE;
    }
    Finish(sum);
    return TRUE;
}

void RegisterMsiPlesseyCopies()
{
    CBarcode::RegisterCopy(SYM_MSI, &CopyAs<CMsi>);
    CBarcode::RegisterCopy(SYM_PLESSEY, &CopyAs<CPlessey>);
    CBarcode::RegisterCopy(SYM_MS7, &CopyAs<CMS7>);
    CBarcode::RegisterCopy(SYM_TELEPEN, &CopyAs<CTelepen>);
    CBarcode::RegisterCopy(SYM_TELEPEN_NUMERIC, &CopyAs<CTelepenNumeric>);
}
