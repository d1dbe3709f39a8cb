#include "IncNumber.h"

#include "AppContext.h"
#include "Paper.h"
#include "Printer.h"
#include "Seams.h"
#include "SequenceStore.h"
#include "TextExport.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_PERSISTENT(CIncNumber, CVariable, 1)

std::function<bool(QWidget*, CIncNumber&, bool)> CIncNumber::s_dialog;

namespace {

// The most unit steps of one increment, and the most labels per increment,
// that the pages give; stored values are brought into range.
constexpr int kMostAmount = 99999;
constexpr int kMostFrequency = 99999;

bool IsStartKind(int kind)
{
    return kind == SOURCE_FIXED || kind == SOURCE_KEYBOARD || kind == SOURCE_DATABASE ||
           kind == SOURCE_ELEMENT || kind == CIncNumber::SOURCE_SEQUENCE;
}

bool IsLimitKind(int kind)
{
    return kind == SOURCE_FIXED || kind == SOURCE_KEYBOARD || kind == SOURCE_DATABASE ||
           kind == SOURCE_ELEMENT;
}

bool InRange(char16_t c, char16_t low, char16_t high)
{
    return c >= low && c <= high;
}

// One character one place up; carry tells whether the place to the left
// moves too. False when the character is not of the style.
bool CharUp(char16_t& c, bool first, int style, const QString& sequence, bool& carry)
{
    carry = false;
    switch (style) {
    case CIncNumber::STYLE_DECIMAL:
        if (InRange(c, u'0', u'8')) {
            ++c;
        } else if (c == u'9') {
            c = u'0';
            carry = true;
        } else {
            return false;
        }
        return true;
    case CIncNumber::STYLE_HEXADECIMAL:
        if (InRange(c, u'0', u'8') || InRange(c, u'A', u'E') || InRange(c, u'a', u'e')) {
            ++c;
        } else if (c == u'9') {
            c = u'A';
        } else if (c == u'F' || c == u'f') {
            c = u'0';
            carry = true;
        } else {
            return false;
        }
        return true;
    case CIncNumber::STYLE_ALPHA:
        if (InRange(c, u'A', u'Y') || InRange(c, u'a', u'y')) {
            ++c;
        } else if (c == u'Z' || c == u'z') {
            c = c == u'Z' ? u'A' : u'a';
            carry = !first;
        } else {
            return false;
        }
        return true;
    case CIncNumber::STYLE_ALPHANUMERIC:
        if (InRange(c, u'0', u'8') || InRange(c, u'A', u'Y') || InRange(c, u'a', u'y')) {
            ++c;
        } else if (c == u'9') {
            c = u'A';
        } else if (c == u'Z' || c == u'z') {
            c = u'0';
            carry = true;
        } else {
            return false;
        }
        return true;
    case CIncNumber::STYLE_CUSTOM: {
        const qsizetype at = sequence.indexOf(QChar(c));
        if (at < 0)
            return false;
        if (at + 1 < sequence.size()) {
            c = sequence[at + 1].unicode();
        } else {
            c = sequence[0].unicode();
            carry = !first;
        }
        return true;
    }
    default:
        return false;
    }
}

// One character one place down; borrow tells whether the place to the left
// moves too (at the first place: whether it became "0").
bool CharDown(char16_t& c, bool first, int style, const QString& sequence, bool& borrow)
{
    borrow = false;
    switch (style) {
    case CIncNumber::STYLE_DECIMAL:
    case CIncNumber::STYLE_HEXADECIMAL:
    case CIncNumber::STYLE_ALPHANUMERIC: {
        const bool hex = style == CIncNumber::STYLE_HEXADECIMAL;
        const bool alnum = style == CIncNumber::STYLE_ALPHANUMERIC;
        if (InRange(c, u'1', u'9') || (hex && (InRange(c, u'B', u'F') || InRange(c, u'b', u'f'))) ||
            (alnum && (InRange(c, u'B', u'Z') || InRange(c, u'b', u'z')))) {
            --c;
            borrow = first && c == u'0';
        } else if ((hex || alnum) && (c == u'A' || c == u'a')) {
            c = u'9';
        } else if (c == u'0') {
            if (!first) {
                c = hex ? u'F' : alnum ? u'Z' : u'9';
                borrow = true;
            }
        } else {
            return false;
        }
        return true;
    }
    case CIncNumber::STYLE_ALPHA:
        if (InRange(c, u'B', u'Z') || InRange(c, u'b', u'z')) {
            --c;
        } else if (c == u'A' || c == u'a') {
            c = c == u'A' ? u'Z' : u'z';
            borrow = !first;
        } else {
            return false;
        }
        return true;
    case CIncNumber::STYLE_CUSTOM: {
        const qsizetype at = sequence.indexOf(QChar(c));
        if (at < 0)
            return false;
        if (at > 0) {
            c = sequence[at - 1].unicode();
        } else {
            c = sequence[sequence.size() - 1].unicode();
            borrow = !first;
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace

CIncNumber::CIncNumber() = default;
CIncNumber::~CIncNumber() = default;

QString CIncNumber::StepUp(const QString& value, int style, const QString& sequence)
{
    QString text = value;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        char16_t c = text[i].unicode();
        bool carry = false;
        if (!CharUp(c, i == 0, style, sequence, carry))
            break; // a character outside the style stops the carry
        text[i] = QChar(c);
        if (!carry)
            break;
        if (i == 0)
            text.prepend(u'1');
    }
    return text;
}

QString CIncNumber::StepDown(const QString& value, int style, const QString& sequence)
{
    QString text = value;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        char16_t c = text[i].unicode();
        bool borrow = false;
        if (!CharDown(c, i == 0, style, sequence, borrow))
            break;
        text[i] = QChar(c);
        if (!borrow)
            break;
        if (i == 0 && text.size() > 1)
            text.remove(0, 1);
    }
    return text;
}

void CIncNumber::Serialize(CArchive& ar)
{
    CVariable::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_startSource << m_startName << m_startPrompt << m_startValue;
        ar << m_incrementType << m_amount << m_frequency << m_style << m_sequence;
        ar << m_limitAction << m_limitSource << m_limitName << m_limitPrompt << m_limitValue;
        return;
    }
    const int version = App().fileVersion;
    const int start = RenumberStoredSourceKind(ar.ReadInt(), version);
    m_startSource = IsStartKind(start) ? start : SOURCE_FIXED;
    ar >> m_startName >> m_startPrompt >> m_startValue;
    const int type = ar.ReadInt();
    m_incrementType = type >= INCREMENT_LABELS && type <= INCREMENT_ROW ? type : INCREMENT_LABELS;
    m_amount = std::clamp(ar.ReadInt(), -kMostAmount, kMostAmount);
    m_frequency = std::clamp(ar.ReadInt(), 1, kMostFrequency);
    const int style = ar.ReadInt();
    m_style = style >= STYLE_DECIMAL && style <= STYLE_CUSTOM ? style : STYLE_DECIMAL;
    ar >> m_sequence;
    const int action = ar.ReadInt();
    m_limitAction = action >= LIMIT_NONE && action <= LIMIT_RESTART ? action : LIMIT_NONE;
    const int limit = RenumberStoredSourceKind(ar.ReadInt(), version);
    m_limitSource = IsLimitKind(limit) ? limit : SOURCE_FIXED;
    ar >> m_limitName >> m_limitPrompt >> m_limitValue;
    m_currentValue.clear();
}

int CIncNumber::GetTypeCode() const
{
    return VARIABLE_INCREMENTING;
}

QString CIncNumber::GetTypeName() const
{
    return QStringLiteral("Incrementing Number");
}

BOOL CIncNumber::DoNewDialog(QWidget* parent)
{
    CIncNumber working(*this);
    if (!s_dialog || !s_dialog(parent, working, true))
        return FALSE;
    *this = working;
    ResetValue();
    return TRUE;
}

BOOL CIncNumber::DoEditDialog(QWidget* parent)
{
    CIncNumber working(*this);
    if (!s_dialog || !s_dialog(parent, working, false))
        return FALSE;
    *this = working;
    ResetValue();
    return TRUE;
}

int CIncNumber::GetDataSources(std::vector<int>& kinds, QStringList& names)
{
    kinds.push_back(m_startSource);
    names << m_startName;
    if (m_limitAction == LIMIT_NONE)
        return 1;
    kinds.push_back(m_limitSource);
    names << m_limitName;
    return 2;
}

void CIncNumber::SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                                BOOL)
{
    // The same start delivered again before every printed sign (an element
    // that still shows it) leaves the count running; a new start restarts
    // it.
    if (sourceKind == m_startSource && sourceName == m_startName) {
        if (value != m_startValue || m_currentValue.isEmpty())
            m_startValue = m_currentValue = value;
    } else if (sourceKind == m_limitSource && sourceName == m_limitName)
        m_limitValue = value;
}

QString CIncNumber::GetValue()
{
    return m_currentValue;
}

void CIncNumber::ResetValue()
{
    CDataLinkSeam* link = App().dataLink;
    switch (m_startSource) {
    case SOURCE_FIXED:
    case SOURCE_KEYBOARD: // the last typed start
        m_currentValue = m_startValue;
        break;
    case SOURCE_DATABASE:
        m_startValue = m_currentValue = link ? link->GetFieldValue(m_startName) : QString();
        break;
    case SOURCE_SEQUENCE:
        m_startValue = m_currentValue = TheSequenceStore().GetValue(m_startName);
        break;
    default:
        break;
    }
    if (m_limitAction != LIMIT_NONE && m_limitSource == SOURCE_DATABASE && link)
        m_limitValue = link->GetFieldValue(m_limitName);
    if (const CPaperStock* stock = ThePaper().Current()) {
        if (m_incrementType == INCREMENT_PAGE)
            m_frequency = std::clamp(stock->LabelsPerSheet(), 1, kMostFrequency);
        else if (m_incrementType == INCREMENT_ROW)
            m_frequency = std::clamp(stock->columns, 1, kMostFrequency);
    }
    m_jobStarted = false;
}

void CIncNumber::AdvanceAfterPrint()
{
    const CPrinter& printer = ThePrinter();
    Advance(printer.m_labelPosition - printer.m_positionAtLastCopiesEdit, printer.m_copies);
}

void CIncNumber::Advance(int labelsSinceCopiesEdit, int copies)
{
    const long long every = static_cast<long long>(std::max(1, m_frequency)) * std::max(1, copies);
    if (labelsSinceCopiesEdit % every != 0)
        return;
    Step();
}

void CIncNumber::Step()
{
    if (m_currentValue.isEmpty())
        return;
    const bool limited = m_limitAction != LIMIT_NONE;
    if (limited && m_currentValue == m_limitValue) {
        if (m_limitAction == LIMIT_RESTART)
            m_currentValue = m_startValue;
        return;
    }
    const int units = std::min(std::abs(m_amount), kMostAmount);
    for (int i = 0; i < units; ++i) {
        const QString before = m_currentValue;
        m_currentValue = m_amount > 0 ? StepUp(m_currentValue, m_style, m_sequence)
                                      : StepDown(m_currentValue, m_style, m_sequence);
        if (limited && m_currentValue == m_limitValue)
            return;
        if (m_currentValue == before)
            return; // nothing can move it further (0 going down, a stranger)
    }
}

void CIncNumber::EndPrintRun()
{
    if (m_startSource != SOURCE_SEQUENCE || m_startName.isEmpty())
        return;
    // The current value is the next one to print: the last printed one has
    // already been stepped past.
    TheSequenceStore().SetValue(m_startName, m_currentValue);
    SaveSequenceStore();
}

void CIncNumber::BeginPrintJob()
{
    m_jobStartValue = m_currentValue;
    m_jobStarted = true;
}

void CIncNumber::DiscardPrintJob()
{
    if (m_jobStarted)
        m_currentValue = m_jobStartValue;
    m_jobStarted = false;
}

void CIncNumber::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <incrementing-number>\n\n"));
    CVariable::WriteXml(file);
    file.WriteString(
        QStringLiteral("    <start source=\"%1\" name=\"%2\" prompt=\"%3\" value=\"%4\"/>\n")
            .arg(m_startSource)
            .arg(m_startName, m_startPrompt, m_startValue));
    file.WriteString(QStringLiteral("    <increment type=\"%1\" amount=\"%2\" frequency=\"%3\" "
                                    "style=\"%4\" sequence=\"%5\"/>\n")
                         .arg(m_incrementType)
                         .arg(m_amount)
                         .arg(m_frequency)
                         .arg(m_style)
                         .arg(m_sequence));
    file.WriteString(QStringLiteral("    <limit action=\"%1\" source=\"%2\" name=\"%3\" "
                                    "prompt=\"%4\" value=\"%5\"/>\n")
                         .arg(m_limitAction)
                         .arg(m_limitSource)
                         .arg(m_limitName, m_limitPrompt, m_limitValue));
    file.WriteString(QStringLiteral("\n  </incrementing-number>\n\n"));
}

QString CIncNumber::StyleName(int style)
{
    static const char* const names[] = {"Decimal", "Hexadecimal", "Alpha", "Alphanumeric",
                                        "Custom"};
    return style >= 0 && style <= STYLE_CUSTOM ? QString::fromLatin1(names[style]) : QString();
}

QString CIncNumber::LimitActionName(int action)
{
    static const char* const names[] = {"No Limit", "Stop At Limit", "Restart At Limit"};
    return action >= 0 && action <= LIMIT_RESTART ? QString::fromLatin1(names[action]) : QString();
}
