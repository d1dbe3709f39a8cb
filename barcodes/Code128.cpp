#include "Code128.h"

#include "GS1AIInfo.h"
#include "UccEanData.h"

#include "Codec1252.h"

#include <array>
#include <cstring>

IMPLEMENT_RUNTIME(CCode128, CBarcode, 1)
IMPLEMENT_PERSISTENT(CCode128A, CCode128, 1)
IMPLEMENT_PERSISTENT(CCode128B, CCode128, 1)
IMPLEMENT_PERSISTENT(CCode128C, CCode128, 1)
IMPLEMENT_PERSISTENT(CCode128Auto, CCode128, 1)
IMPLEMENT_PERSISTENT(CEan128, CCode128, 1)
IMPLEMENT_PERSISTENT(CEan128A, CEan128, 1)
IMPLEMENT_PERSISTENT(CEan128B, CEan128, 1)
IMPLEMENT_PERSISTENT(CEan128C, CEan128, 1)
IMPLEMENT_PERSISTENT(CUccEan128, CCode128Auto, 1)

namespace {

// Module widths of the symbol characters 0..105, bar first.
constexpr std::array<const char*, 106> kSymbols = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232",
};
constexpr const char* kStop = "2331112";

constexpr bool EveryCharacterIsElevenModules()
{
    for (const char* widths : kSymbols) {
        int sum = 0;
        for (int i = 0; i < 6; ++i)
            sum += widths[i] - '0';
        if (sum != 11 || widths[6] != '\0')
            return false;
    }
    return true;
}
static_assert(EveryCharacterIsElevenModules(), "a Code 128 symbol character of the wrong width");

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
bool IsControl(char16_t c)
{
    return c < 32;
}
bool IsLowerCase(char16_t c)
{
    return c >= 96 && c <= 127;
}

// Consecutive decimal digits from position i.
qsizetype DigitRun(const QString& s, qsizetype i)
{
    qsizetype n = 0;
    while (i + n < s.size() && IsDigit(s[i + n].unicode()))
        ++n;
    return n;
}

// The digits from i that set C carries in whole pairs, a function 1 between
// two stretches of digits included (set C has a function 1 of its own): the
// first stretch less its odd digit, which goes first in the set before, then
// each stretch after a function 1 while the stretch before it ended on a
// whole pair.
qsizetype CarriedDigits(const QString& s, qsizetype i)
{
    const qsizetype first = DigitRun(s, i);
    qsizetype carried = first - first % 2;
    qsizetype j = i + first;
    bool whole = true; // the first stretch's odd digit does not stop the run
    while (whole && j < s.size() && s[j] == QChar(C128_FNC1)) {
        const qsizetype run = DigitRun(s, j + 1);
        if (run == 0)
            break;
        carried += run - run % 2;
        whole = run % 2 == 0;
        j += 1 + run;
    }
    return carried;
}

// Whether set C pays from i: four digits at least in one stretch, or in
// whole pairs across function 1 characters.
bool WorthSetC(const QString& s, qsizetype i)
{
    const qsizetype first = DigitRun(s, i);
    return first >= 4 || (first % 2 == 0 && CarriedDigits(s, i) >= 4);
}

// Whether a control character comes before any lower-case one from i.
bool ControlComesFirst(const QString& s, qsizetype i)
{
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (IsControl(c))
            return true;
        if (IsLowerCase(c))
            return false;
    }
    return false;
}

// The encoders of the three sets: each takes the character at i (two digits
// in set C), appends its codeword and returns the next state (0 for no
// change), or -1 when the set cannot carry it.
constexpr int kShiftToB = 5; // B for one character, then A
constexpr int kShiftToA = 6; // A for one character, then B

int EncodeFunction(char16_t c, QByteArray& out)
{
    switch (c) {
    case C128_FNC1:
        out.append(char(102));
        return 0;
    case C128_FNC2:
        out.append(char(97));
        return 0;
    case C128_FNC3:
        out.append(char(96));
        return 0;
    default:
        return -1;
    }
}

int EncodeA(const QString& s, qsizetype& i, QByteArray& out)
{
    const char16_t c = s[i++].unicode();
    if (c < 32) {
        out.append(char(c + 64));
        return 0;
    }
    if (c <= 95) {
        out.append(char(c - 32));
        return 0;
    }
    switch (c) {
    case C128_CODE_B:
        out.append(char(100));
        return C128_SET_B;
    case C128_CODE_C:
        out.append(char(99));
        return C128_SET_C;
    case C128_SHIFT:
        out.append(char(98));
        return kShiftToB;
    case C128_FNC4:
        out.append(char(101));
        return 0;
    default:
        return EncodeFunction(c, out);
    }
}

int EncodeB(const QString& s, qsizetype& i, QByteArray& out)
{
    const char16_t c = s[i++].unicode();
    if (c >= 32 && c <= 127) {
        out.append(char(c - 32));
        return 0;
    }
    switch (c) {
    case C128_CODE_A:
        out.append(char(101));
        return C128_SET_A;
    case C128_CODE_C:
        out.append(char(99));
        return C128_SET_C;
    case C128_SHIFT:
        out.append(char(98));
        return kShiftToA;
    case C128_FNC4:
        out.append(char(100));
        return 0;
    default:
        return EncodeFunction(c, out);
    }
}

int EncodeC(const QString& s, qsizetype& i, QByteArray& out)
{
    const char16_t c = s[i].unicode();
    if (IsDigit(c)) {
        if (i + 1 >= s.size() || !IsDigit(s[i + 1].unicode()))
            return -1;
        out.append(char((c - u'0') * 10 + (s[i + 1].unicode() - u'0')));
        i += 2;
        return 0;
    }
    ++i;
    switch (c) {
    case C128_CODE_A:
        out.append(char(101));
        return C128_SET_A;
    case C128_CODE_B:
        out.append(char(100));
        return C128_SET_B;
    case C128_FNC1:
        out.append(char(102));
        return 0;
    default:
        return -1;
    }
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

// --- the shared encoder -----------------------------------------------------------

CCode128::CCode128(int symbologyId) : CBarcode(symbologyId) {}

BOOL CCode128::AllowsExplicitSets() const
{
    const int id = GetSymbologyId();
    return id != SYM_CODE128_AUTO && id != SYM_EAN128 ? TRUE : FALSE;
}

int CCode128::ExpandEscapes(QString& text)
{
    const bool sets = AllowsExplicitSets();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'%' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const char16_t letter = text[i + 1].unicode();
        char16_t function = 0;
        switch (letter) {
        case u'%':
            function = u'%';
            break;
        case u'1':
            function = C128_FNC1;
            break;
        case u'2':
            function = C128_FNC2;
            break;
        case u'3':
            function = C128_FNC3;
            break;
        case u'4':
            function = C128_FNC4;
            break;
        case u'A':
        case u'a':
            function = sets ? C128_CODE_A : 0;
            break;
        case u'B':
        case u'b':
            function = sets ? C128_CODE_B : 0;
            break;
        case u'C':
        case u'c':
            function = sets ? C128_CODE_C : 0;
            break;
        case u'S':
        case u's':
            function = sets ? C128_SHIFT : 0;
            break;
        default:
            break;
        }
        if (function != 0) {
            out += QChar(function);
            i += 2;
            continue;
        }
        i += AppendNumericEscape(text, i, out);
    }
    text = out;
    return static_cast<int>(text.size());
}

int CCode128::ChooseCodeSets(QString& s)
{
    int start = C128_SET_B;
    if (WorthSetC(s, 0) || (!s.isEmpty() && s[0] == QChar(C128_FNC1) && WorthSetC(s, 1)))
        start = C128_SET_C;
    else if (ControlComesFirst(s, 0))
        start = C128_SET_A;

    QString out;
    out.reserve(s.size() + 8);
    int set = start;
    qsizetype i = 0;
    while (i < s.size()) {
        const char16_t c = s[i].unicode();
        if (set == C128_SET_C) {
            if (IsDigit(c) && i + 1 < s.size() && IsDigit(s[i + 1].unicode())) {
                out += s.mid(i, 2);
                i += 2;
            } else if (c == C128_FNC1) {
                out += s[i++];
            } else if (ControlComesFirst(s, i)) {
                out += QChar(C128_CODE_A);
                set = C128_SET_A;
            } else {
                out += QChar(C128_CODE_B);
                set = C128_SET_B;
            }
            continue;
        }
        const qsizetype digits = DigitRun(s, i);
        if (digits >= 4 || (digits > 0 && CarriedDigits(s, i) >= 4)) {
            if (digits % 2)
                out += s[i++];
            out += QChar(C128_CODE_C);
            set = C128_SET_C;
            continue;
        }
        const bool next = i + 1 < s.size();
        if (set == C128_SET_A && IsLowerCase(c)) {
            if (next && IsControl(s[i + 1].unicode())) {
                out += QChar(C128_SHIFT);
                out += s[i++];
            } else {
                out += QChar(C128_CODE_B);
                set = C128_SET_B;
            }
            continue;
        }
        if (set == C128_SET_B && IsControl(c)) {
            if (next && IsLowerCase(s[i + 1].unicode())) {
                out += QChar(C128_SHIFT);
                out += s[i++];
            } else {
                out += QChar(C128_CODE_A);
                set = C128_SET_A;
            }
            continue;
        }
        out += s[i++];
    }
    s = out;
    return start;
}

BOOL CCode128::Encode(const QString& expanded, int startSet, QByteArray& codewords)
{
    codewords.clear();
    if (startSet < C128_SET_A || startSet > C128_SET_C)
        return FALSE;
    codewords.append(char(kStartA + startSet - 1));
    int state = startSet;
    qsizetype i = 0;
    while (i < expanded.size()) {
        int next = -1;
        switch (state) {
        case C128_SET_A:
        case kShiftToA:
            next = EncodeA(expanded, i, codewords);
            break;
        case C128_SET_B:
        case kShiftToB:
            next = EncodeB(expanded, i, codewords);
            break;
        default:
            next = EncodeC(expanded, i, codewords);
            break;
        }
        if (next < 0)
            return FALSE;
        if (state == kShiftToA || state == kShiftToB) {
            // A shift carries one character; a change of set or another
            // shift in its place would make an unreadable symbol.
            if (next != 0)
                return FALSE;
            state &= 3;
        } else if (next != 0) {
            state = next;
        }
    }
    return TRUE;
}

int CCode128::CheckCodeword(const QByteArray& codewords)
{
    if (codewords.isEmpty())
        return 0;
    long long sum = static_cast<unsigned char>(codewords[0]);
    for (qsizetype i = 1; i < codewords.size(); ++i)
        sum += static_cast<long long>(static_cast<unsigned char>(codewords[i])) * i;
    return static_cast<int>(sum % 103);
}

const char* CCode128::SymbolWidths(int codeword)
{
    return codeword >= 0 && codeword < int(kSymbols.size()) ? kSymbols[std::size_t(codeword)]
                                                            : nullptr;
}

const char* CCode128::StopWidths()
{
    return kStop;
}

BOOL CCode128::PrepareData()
{
    m_codewords.clear();
    m_humanReadable.clear();
    if (m_data.isEmpty())
        return FALSE;
    m_expandedData = QString::fromLatin1(ToWindows1252(m_data));
    m_encodedText.clear();
    m_checkChars.clear();
    ExpandEscapes(m_expandedData);
    m_encodedText = m_expandedData;

    int start = 0;
    switch (GetSymbologyId()) {
    case SYM_CODE128_A:
    case SYM_EAN128_A:
        start = C128_SET_A;
        break;
    case SYM_CODE128_B:
    case SYM_EAN128_B:
        start = C128_SET_B;
        break;
    case SYM_CODE128_C:
    case SYM_EAN128_C:
        start = C128_SET_C;
        break;
    default:
        start = ChooseCodeSets(m_expandedData);
        break;
    }
    if (!Encode(m_expandedData, start, m_codewords)) {
        m_codewords.clear();
        return FALSE;
    }
    const int check = CheckCodeword(m_codewords);
    m_codewords.append(char(check));
    m_checkChars = QString(QChar(char16_t(check)));
    for (QChar c : m_expandedData) {
        if (c.unicode() >= 32 && c.unicode() <= 126)
            m_humanReadable += c;
    }
    return TRUE;
}

void CCode128::BuildPattern()
{
    m_pattern.clear();
    m_pattern.reserve(std::size_t(m_codewords.size()) * 6 + 7);
    auto add = [this](const char* widths) {
        for (int i = 0; widths[i]; ++i) {
            const int modules = widths[i] - '0';
            m_pattern.push_back(BYTE(modules - 1 + (i % 2 ? 4 : 0)));
        }
    };
    for (char codeword : m_codewords) {
        if (const char* widths = SymbolWidths(static_cast<unsigned char>(codeword)))
            add(widths);
    }
    add(kStop);
}

// --- the classes ------------------------------------------------------------------

CCode128A::CCode128A() : CCode128(SYM_CODE128_A)
{
    InitFromPreferences(QStringLiteral("CODE128 A"), TRUE, FALSE, TRUE);
}

CCode128B::CCode128B() : CCode128(SYM_CODE128_B)
{
    InitFromPreferences(QStringLiteral("CODE128 B"), TRUE, FALSE, TRUE);
}

CCode128C::CCode128C() : CCode128(SYM_CODE128_C)
{
    InitFromPreferences(QStringLiteral("012345"), TRUE, FALSE, TRUE);
}

CCode128Auto::CCode128Auto(int symbologyId) : CCode128(symbologyId) {}

CCode128Auto::CCode128Auto() : CCode128(SYM_CODE128_AUTO)
{
    InitFromPreferences(QStringLiteral("Code128 Auto"), TRUE, FALSE, TRUE);
}

CEan128::CEan128(int symbologyId) : CCode128(symbologyId) {}

CEan128::CEan128() : CCode128(SYM_EAN128)
{
    InitFromPreferences(QStringLiteral("EAN128"), TRUE, FALSE, TRUE);
}

BOOL CEan128::PrepareData()
{
    // Empty data stays empty: an empty element draws nothing.
    if (!m_data.isEmpty() && !m_data.startsWith(QStringLiteral("%1")))
        m_data.prepend(QStringLiteral("%1"));
    return CCode128::PrepareData();
}

CEan128A::CEan128A() : CEan128(SYM_EAN128_A)
{
    InitFromPreferences(QStringLiteral("EAN128A"), TRUE, FALSE, TRUE);
}

CEan128B::CEan128B() : CEan128(SYM_EAN128_B)
{
    InitFromPreferences(QStringLiteral("Ean128B"), TRUE, FALSE, TRUE);
}

CEan128C::CEan128C() : CEan128(SYM_EAN128_C)
{
    InitFromPreferences(QStringLiteral("0128"), TRUE, FALSE, TRUE);
}

CUccEan128::CUccEan128() : CCode128Auto(SYM_GS1_128)
{
    InitFromPreferences(QStringLiteral("%10109501101020917"), TRUE, FALSE, TRUE);
}

BOOL CUccEan128::PrepareData()
{
    // Data typed with its identifiers in brackets is encoded as the element
    // string it stands for, never with the brackets; the data stays as typed.
    const QString typed = m_data;
    const bool bracketed = typed.trimmed().startsWith(u'(');
    if (bracketed) {
        QString element;
        if (!GS1BracketedToElementString(typed, element, nullptr)) {
            m_humanReadable.clear();
            return FALSE;
        }
        m_data = element;
    }
    if (!m_data.isEmpty() && !m_data.startsWith(QStringLiteral("%1")))
        m_data.prepend(QStringLiteral("%1"));
    const QString elementString = m_data;
    const BOOL ok = CCode128::PrepareData();
    if (bracketed)
        m_data = typed;
    // People read the identifiers in brackets.
    QString readable;
    if (ok && GS1ElementStringToBracketed(elementString, readable))
        m_humanReadable = readable;
    return ok;
}

void CUccEan128::LayoutHumanReadable()
{
    if (const CUccEanData* data = FindGS1Data(m_dataSource, m_sourceName); data && !m_invalid)
        m_humanReadable = data->GetHumanReadable();
    CCode128Auto::LayoutHumanReadable();
}

void CUccEan128::SetDataSource(int kind, const QString& sourceName)
{
    CElement::SetDataSource(kind, sourceName);
    if (const CUccEanData* data = FindGS1Data(kind, sourceName)) {
        m_data = m_sampleData = data->GetBarcodeData();
        Regenerate();
    }
}

void CUccEan128::EndDataEntry()
{
    if (CUccEanData* data = FindGS1Data(m_dataSource, m_sourceName))
        data->EndPrintRun();
    CCode128Auto::EndDataEntry();
}

void RegisterCode128Copies()
{
    CBarcode::RegisterCopy(SYM_CODE128_A, &CopyAs<CCode128A>);
    CBarcode::RegisterCopy(SYM_CODE128_B, &CopyAs<CCode128B>);
    CBarcode::RegisterCopy(SYM_CODE128_C, &CopyAs<CCode128C>);
    CBarcode::RegisterCopy(SYM_CODE128_AUTO, &CopyAs<CCode128Auto>);
    CBarcode::RegisterCopy(SYM_EAN128, &CopyAs<CEan128>);
    CBarcode::RegisterCopy(SYM_EAN128_A, &CopyAs<CEan128A>);
    CBarcode::RegisterCopy(SYM_EAN128_B, &CopyAs<CEan128B>);
    CBarcode::RegisterCopy(SYM_EAN128_C, &CopyAs<CEan128C>);
    CBarcode::RegisterCopy(SYM_GS1_128, &CopyAs<CUccEan128>);
}
