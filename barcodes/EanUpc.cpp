#include "EanUpc.h"

#include "DC.h"
#include "Rounding.h"

#include <algorithm>

IMPLEMENT_RUNTIME(CEanUpc, CBarcode, 1)
IMPLEMENT_PERSISTENT(CEan13, CEanUpc, 1)
IMPLEMENT_PERSISTENT(CEan8, CEanUpc, 1)
IMPLEMENT_PERSISTENT(CUpcA, CEanUpc, 1)
IMPLEMENT_PERSISTENT(CUpcE, CEanUpc, 1)
IMPLEMENT_PERSISTENT(CUpcESys1, CEanUpc, 1)

namespace {

// Module widths of the digits in number set A, space first. Set B is the
// same read backwards; set C is set A bar first.
constexpr const char* kSetA[10] = {"3211", "2221", "2122", "1411", "1132",
                                   "1231", "1114", "1312", "1213", "3112"};

// EAN-13: the sets of digits 2-7 by the first digit ('B' where set B).
constexpr const char* kEan13Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                          "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

// UPC-E, number system 0: the sets of the six digits by the check digit.
constexpr const char* kUpcEParity[10] = {"BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA",
                                         "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB"};

// The 5-digit add-on: the sets by the weighted sum of its digits.
constexpr const char* kAddOn5Parity[10] = {"BBAAA", "BABAA", "BAABA", "BAAAB", "ABBAA",
                                           "AABBA", "AAABB", "ABABA", "ABAAB", "AABAB"};

bool AllDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

int DigitAt(const QString& text, qsizetype i)
{
    return text[i].unicode() - u'0';
}

// Pattern codes: a bar of n modules is n - 1, a space n + 3.
void AddElements(std::vector<BYTE>& pattern, const char* widths, bool barFirst)
{
    bool bar = barFirst;
    for (int i = 0; widths[i]; ++i) {
        const int modules = widths[i] - '0';
        pattern.push_back(BYTE(bar ? modules - 1 : modules + 3));
        bar = !bar;
    }
}

// One digit: set A and B start with a space, set C with a bar.
void AddDigit(std::vector<BYTE>& pattern, int digit, char set)
{
    const char* a = kSetA[digit];
    if (set == 'B') {
        const char reversed[5] = {a[3], a[2], a[1], a[0], '\0'};
        AddElements(pattern, reversed, false);
    } else {
        AddElements(pattern, a, set != 'C');
    }
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

void SetPartRotation(CTextBase& part, int orientation)
{
    const LONG escapement = orientation == 0 ? 0 : (360 - orientation) * 10;
    if (part.GetFont().GetLogFont().lfEscapement != escapement)
        part.SetRotation(orientation);
}

int FontHeight(const CTextBase& part)
{
    const CLogFont& font = part.GetFont();
    return font.GetHeight() > 0 ? font.GetHeight() : font.GetTextMetrics().tmHeight;
}

} // namespace

// --- the add-on --------------------------------------------------------------------

CBarcodeAddOn::CBarcodeAddOn(int digits) : m_digits(digits)
{
    const CLogFont font(CBarcodePreferences::Current().DefaultFont());
    for (CTextBase& part : m_texts)
        part.CreateOwnFont(&font);
}

CBarcodeAddOn::~CBarcodeAddOn() = default;

BOOL CBarcodeAddOn::PrepareData(const QString& text)
{
    if (text.size() != m_digits || !AllDigits(text))
        return FALSE;
    m_text = text;
    return TRUE;
}

std::vector<bool> CBarcodeAddOn::Parities(const QString& digits)
{
    std::vector<bool> setB;
    if (digits.size() == 2) {
        const int value = DigitAt(digits, 0) * 10 + DigitAt(digits, 1);
        setB = {(value % 4) >= 2, (value % 2) == 1};
    } else if (digits.size() == 5) {
        int sum = 0;
        for (qsizetype i = 0; i < 5; ++i)
            sum += DigitAt(digits, i) * (i % 2 ? 9 : 3);
        const char* parity = kAddOn5Parity[sum % 10];
        for (int i = 0; i < 5; ++i)
            setB.push_back(parity[i] == 'B');
    }
    return setB;
}

void CBarcodeAddOn::BuildPattern()
{
    m_pattern.clear();
    if (m_text.size() != m_digits || !AllDigits(m_text))
        return;
    const std::vector<bool> setB = Parities(m_text);
    AddElements(m_pattern, "112", true); // guard 1011
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (i > 0)
            AddElements(m_pattern, "11", false); // separator 01
        AddDigit(m_pattern, DigitAt(m_text, i), setB[std::size_t(i)] ? 'B' : 'A');
    }
}

void CBarcodeAddOn::LayoutBars(int heightPixels,
                               const std::array<WORD, CBarcode::kWidthClasses>& widths,
                               int gapModules)
{
    m_bitmap = QImage();
    m_bitmapWidth = m_bitmapHeight = 0;
    if (m_text.isEmpty() || m_pattern.empty())
        return;
    const int module = widths[4];
    long long total = 0;
    for (BYTE value : m_pattern)
        total += value < CBarcode::kWidthClasses ? widths[value] : 0;
    const long long width = static_cast<long long>(gapModules) * module + total + 5LL * module;
    if (width > CBarcode::kMaxBitmapSide)
        return;
    m_bitmap = CBarcode::NewMonoImage(static_cast<int>(width), heightPixels);
    if (m_bitmap.isNull())
        return;
    m_bitmapWidth = m_bitmap.width();
    m_bitmapHeight = m_bitmap.height();
    const int start = gapModules * module;
    int x = start;
    bool bar = true;
    for (BYTE value : m_pattern) {
        const int w = value < CBarcode::kWidthClasses ? widths[value] : 0;
        if (bar)
            CBarcode::FillBlack(m_bitmap, x, 0, w, heightPixels);
        x += w;
        bar = !bar;
    }
    m_digitsCentrePixels = (x - start) / 2 + start;
}

void CBarcodeAddOn::Rotate(int orientation, int resolutionAlong)
{
    m_orientation = orientation;
    if (m_text.isEmpty())
        return;
    m_digitsCentre = RoundHalfUp(m_digitsCentrePixels * 254.0 / resolutionAlong);
    m_bitmap = CBarcode::RotateImage(m_bitmap, orientation);
}

void CBarcodeAddOn::PlaceBars(const CRect& owner, int resolutionAlong, int resolutionAcross)
{
    if (m_text.isEmpty() || m_bitmap.isNull()) {
        m_barLocal = CRect();
        return;
    }
    const int width = RoundHalfUp(m_bitmapWidth * 254.0 / resolutionAlong);
    const int height = RoundHalfUp(m_bitmapHeight * 254.0 / resolutionAcross);
    m_barLocal = CRect(owner.right, owner.bottom - height, owner.right + width, owner.bottom);
}

void CBarcodeAddOn::LayoutHumanReadable(const CTextBase* fontSource, int orientation)
{
    for (CTextBase& part : m_texts)
        part.SetText(QString());
    m_textLocal = {};
    m_textRect = CRect();
    if (!fontSource || m_text.isEmpty() || m_barLocal.IsEmpty())
        return;
    const QString texts[2] = {m_text, QStringLiteral(">")};
    for (int i = 0; i < 2; ++i) {
        CTextBase& part = m_texts[std::size_t(i)];
        part.SetFont(&fontSource->GetFont());
        SetPartRotation(part, orientation);
        part.SetText(texts[i]);
        const int w = (part.GetTextWidth() + 5) / 10;
        const int h = FontHeight(part);
        // The digits stand above the add-on bars.
        const int u = i == 0 ? m_barLocal.left + m_digitsCentre - w / 2 : m_barLocal.right - w;
        m_textLocal[std::size_t(i)] = CRect(u, m_barLocal.top - h, u + w, m_barLocal.top);
    }
}

void CBarcodeAddOn::ShowInvalid()
{
    m_text.clear();
    m_bitmap = QImage();
    m_barRect = m_textRect = m_barLocal = CRect();
    m_textLocal = {};
    for (CTextBase& part : m_texts)
        part.SetText(QString());
}

void CBarcodeAddOn::Draw(CDC* dc, CSize bitmapDpi) const
{
    if (m_text.isEmpty())
        return;
    if (!m_bitmap.isNull())
        dc->DrawImageAt(m_bitmap, m_barRect.TopLeft(), bitmapDpi.cx, bitmapDpi.cy);
    for (const CTextBase& part : m_texts)
        part.Draw(dc);
}

// --- what the retail symbols share ------------------------------------------------------

CEanUpc::CEanUpc(int symbologyId) : CBarcode(symbologyId) {}

BOOL CEanUpc::AllowsAddOn() const
{
    const int id = GetSymbologyId();
    return id == SYM_EAN13 || id == SYM_UPCA ? TRUE : FALSE;
}

int CEanUpc::CheckDigit(const QString& digits)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size(); i-- > 0;) {
        sum += DigitAt(digits, i) * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

QString CEanUpc::ExpandUpcE(const QString& six, QChar numberSystem)
{
    if (six.size() != 6)
        return QString();
    const QString d = six;
    QString body;
    switch (six[5].unicode()) {
    case u'0':
    case u'1':
    case u'2':
        body = d.mid(0, 2) + d[5] + QStringLiteral("0000") + d.mid(2, 3);
        break;
    case u'3':
        body = d.mid(0, 3) + QStringLiteral("00000") + d.mid(3, 2);
        break;
    case u'4':
        body = d.mid(0, 4) + QStringLiteral("00000") + d[4];
        break;
    default:
        body = d.mid(0, 5) + QStringLiteral("0000") + d[5];
        break;
    }
    return numberSystem + body;
}

BOOL CEanUpc::PrepareData()
{
    m_expandedData.clear();
    m_encodedText.clear();
    m_checkChars.clear();
    m_humanReadable.clear();

    QString work = m_data;
    if (m_addOn && AllowsAddOn()) {
        const int n = m_addOn->m_digits;
        if (work.size() < n || !m_addOn->PrepareData(work.right(n)))
            return FALSE;
        work.chop(n);
    }

    qsizetype shortest = 0, longest = 0, checked = 0, kept = 0;
    switch (GetSymbologyId()) {
    case SYM_EAN13:
        shortest = 12, longest = 13, checked = 12, kept = 12;
        break;
    case SYM_EAN8:
        shortest = 7, longest = 8, checked = work.size(), kept = 7;
        break;
    case SYM_UPCA:
        shortest = 11, longest = 12, checked = 11, kept = 11;
        break;
    default: // UPC-E of either number system
        shortest = longest = checked = kept = 6;
        break;
    }
    if (work.size() < shortest || work.size() > longest || !AllDigits(work.left(checked)))
        return FALSE;
    // A typed check digit is never trusted: it is replaced.
    const QString digits = work.left(kept);
    QString number = digits;
    if (GetSymbologyId() == SYM_UPCE)
        number = ExpandUpcE(digits, u'0');
    else if (GetSymbologyId() == SYM_UPCE_SYS1)
        number = ExpandUpcE(digits, u'1');
    const QChar check = QChar(char16_t(u'0' + CheckDigit(number)));

    m_encodedText = digits;
    m_checkChars = QString(check);
    m_expandedData = digits + check;
    m_humanReadable = m_expandedData;
    return TRUE;
}

void CEanUpc::BuildPattern()
{
    m_pattern.clear();
    const QString& d = m_expandedData;
    auto guard = [this](const char* widths, bool barFirst) {
        AddElements(m_pattern, widths, barFirst);
    };
    switch (GetSymbologyId()) {
    case SYM_EAN13: {
        const char* parity = kEan13Parity[DigitAt(d, 0)];
        guard("111", true);
        for (int i = 0; i < 6; ++i)
            AddDigit(m_pattern, DigitAt(d, i + 1), parity[i]);
        guard("11111", false);
        for (int i = 0; i < 6; ++i)
            AddDigit(m_pattern, DigitAt(d, i + 7), 'C');
        guard("111", true);
        break;
    }
    case SYM_EAN8:
        guard("111", true);
        for (int i = 0; i < 4; ++i)
            AddDigit(m_pattern, DigitAt(d, i), 'A');
        guard("11111", false);
        for (int i = 0; i < 4; ++i)
            AddDigit(m_pattern, DigitAt(d, i + 4), 'C');
        guard("111", true);
        break;
    case SYM_UPCA:
        guard("111", true);
        for (int i = 0; i < 6; ++i)
            AddDigit(m_pattern, DigitAt(d, i), 'A');
        guard("11111", false);
        for (int i = 0; i < 6; ++i)
            AddDigit(m_pattern, DigitAt(d, i + 6), 'C');
        guard("111", true);
        break;
    default: {
        // Number system 1 takes the complement of number system 0's sets.
        const char* parity = kUpcEParity[DigitAt(d, 6)];
        const bool system1 = GetSymbologyId() == SYM_UPCE_SYS1;
        guard("111", true);
        for (int i = 0; i < 6; ++i) {
            const bool setB = (parity[i] == 'B') != system1;
            AddDigit(m_pattern, DigitAt(d, i), setB ? 'B' : 'A');
        }
        guard("111111", false);
        break;
    }
    }
    if (m_addOn)
        m_addOn->BuildPattern();
}

int CEanUpc::LeftQuietModules() const
{
    switch (GetSymbologyId()) {
    case SYM_EAN13:
        return 11;
    case SYM_EAN8:
        return 7;
    default:
        return 9;
    }
}

int CEanUpc::RightQuietModules() const
{
    switch (GetSymbologyId()) {
    case SYM_EAN13:
        return m_addOn ? 0 : 7;
    case SYM_UPCA:
        return m_addOn ? 0 : 9;
    default:
        return 7;
    }
}

void CEanUpc::LayoutBars()
{
    const int module = m_elementWidths[4];
    const int across = ResolutionAcross();
    const int along = ResolutionAlong();
    const int id = GetSymbologyId();
    const bool ean = id == SYM_EAN13 || id == SYM_EAN8;
    const int barHeight = BarHeightPixels();
    const int extension = RoundHalfUp(across * (ean ? kEanGuardExtension : kUpcGuardExtension));
    const int left = LeftQuietModules() * module;
    const long long width = SymbolWidthPixels() + left + RightQuietModules() * module;
    const long long height =
        static_cast<long long>(barHeight) + extension + m_margins[2] + m_margins[3];
    if (barHeight < 1 || !CreateSymbolBitmap(width, height)) {
        ShowInvalid();
        return;
    }
    const int longBars = barHeight + extension;
    const int y = m_margins[2];
    int x = m_margins[0] + left;
    auto tenths = [along](int pixels) { return RoundHalfUp(pixels * 254.0 / along); };
    auto centre = [](int from, int to) { return (to - from) / 2 + from; };

    if (id == SYM_EAN13 || id == SYM_UPCA || id == SYM_EAN8) {
        const int digitElements = id == SYM_EAN8 ? 16 : 24;
        const int leftEnd = 2 + digitElements; // 26 or 18
        const int rightStart = leftEnd + 6;    // 32 or 24
        const int rightEnd = rightStart + digitElements - 1;
        x = DrawRun(x, y, 0, 2, TRUE, longBars);
        const int leftFrom = x;
        x = DrawRun(x, y, 3, leftEnd, FALSE, barHeight);
        const int leftTo = x;
        x = DrawRun(x, y, leftEnd + 1, leftEnd + 5, FALSE, longBars);
        const int rightFrom = x;
        x = DrawRun(x, y, rightStart, rightEnd, TRUE, barHeight);
        const int rightTo = x;
        x = DrawRun(x, y, rightEnd + 1, rightEnd + 3, TRUE, longBars);
        m_leftCentre = tenths(centre(leftFrom, leftTo));
        m_rightCentre = tenths(centre(rightFrom, rightTo));
        m_rightDigitPosition = tenths(x + 9 * module);
    } else {
        x = DrawRun(x, y, 0, 2, TRUE, longBars);
        const int from = x;
        x = DrawRun(x, y, 3, 26, FALSE, barHeight);
        m_leftCentre = tenths(centre(from, x));
        m_rightCentre = m_leftCentre;
        x = DrawRun(x, y, 27, 32, FALSE, longBars);
        m_rightDigitPosition = tenths(x);
    }
    if (m_addOn && AllowsAddOn())
        m_addOn->LayoutBars(RoundHalfUp(0.86 * longBars), m_elementWidths,
                            id == SYM_UPCA ? kUpcAddOnGap : kEanAddOnGap);
    FinishSymbol();
}

void CEanUpc::LayoutHumanReadable()
{
    ClearText();
    if (m_invalid || !m_showHumanReadable || m_humanReadable.isEmpty()) {
        PlaceAll();
        return;
    }
    const CLogFont group = m_texts[1].GetFont();
    const int groupHeight = FontHeight(m_texts[1]);
    // The smaller digits outside the bars of UPC-A and UPC-E; measuring a
    // font is work an EAN does not need done for every new number.
    const auto smallFont = [&] {
        CLogFont small = group;
        small.SetHeight(groupHeight * 3 / 4);
        return small;
    };

    const int left = m_barLocal.left;
    const int right = m_barLocal.right;
    const int top = m_barLocal.bottom; // every part hangs below the bars
    const QString& d = m_humanReadable;
    auto atLeft = [&](int i, const QString& text, const CLogFont& font) {
        const CSize size = PrepText(i, text, &font);
        PutText(i, left, top + groupHeight - size.cy, size);
    };
    auto endingAt = [&](int i, const QString& text, const CLogFont& font, int edge) {
        const CSize size = PrepText(i, text, &font);
        PutText(i, edge - size.cx, top + groupHeight - size.cy, size);
    };
    auto centredOn = [&](int i, const QString& text, int centre) {
        const CSize size = PrepText(i, text, &group);
        PutText(i, centre - size.cx / 2, top, size);
    };

    switch (GetSymbologyId()) {
    case SYM_EAN13:
        atLeft(0, d.left(1), group);
        centredOn(1, d.mid(1, 6), m_leftCentre);
        centredOn(2, d.mid(7, 6), m_rightCentre);
        if (!m_addOn)
            endingAt(3, QStringLiteral(">"), group, right);
        break;
    case SYM_EAN8:
        atLeft(0, QStringLiteral("<"), group);
        centredOn(1, d.left(4), m_leftCentre);
        centredOn(2, d.mid(4, 4), m_rightCentre);
        endingAt(3, QStringLiteral(">"), group, right);
        break;
    case SYM_UPCA: {
        const CLogFont small = smallFont();
        atLeft(0, d.left(1), small);
        centredOn(1, d.mid(1, 5), m_leftCentre);
        centredOn(2, d.mid(6, 5), m_rightCentre);
        endingAt(3, d.mid(11, 1), small, m_rightDigitPosition);
        break;
    }
    default: {
        const CLogFont small = smallFont();
        atLeft(0, GetSymbologyId() == SYM_UPCE_SYS1 ? QStringLiteral("1") : QStringLiteral("0"),
               small);
        centredOn(1, d.left(6), m_leftCentre);
        endingAt(2, d.mid(6, 1), small, right);
        break;
    }
    }
    if (m_addOn)
        m_addOn->LayoutHumanReadable(&m_texts[1], m_orientation);
    ApplyOverhang();
}

// --- the classes ------------------------------------------------------------------

CEan13::CEan13() : CEanUpc(SYM_EAN13)
{
    InitFromPreferences(QStringLiteral("501234567890"), TRUE, TRUE, TRUE);
}

CEan8::CEan8() : CEanUpc(SYM_EAN8)
{
    InitFromPreferences(QStringLiteral("01234567"), TRUE, TRUE, TRUE);
}

CUpcA::CUpcA() : CEanUpc(SYM_UPCA)
{
    InitFromPreferences(QStringLiteral("01234567890"), TRUE, TRUE, TRUE);
}

CUpcE::CUpcE() : CEanUpc(SYM_UPCE)
{
    InitFromPreferences(QStringLiteral("012345"), TRUE, TRUE, TRUE);
}

CUpcESys1::CUpcESys1() : CEanUpc(SYM_UPCE_SYS1)
{
    InitFromPreferences(QStringLiteral("012345"), TRUE, TRUE, TRUE);
}

void RegisterEanUpcCopies()
{
    CBarcode::RegisterCopy(SYM_EAN13, &CopyAs<CEan13>);
    CBarcode::RegisterCopy(SYM_EAN8, &CopyAs<CEan8>);
    CBarcode::RegisterCopy(SYM_UPCA, &CopyAs<CUpcA>);
    CBarcode::RegisterCopy(SYM_UPCE, &CopyAs<CUpcE>);
    CBarcode::RegisterCopy(SYM_UPCE_SYS1, &CopyAs<CUpcESys1>);
}
