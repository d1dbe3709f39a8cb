#include "DateTime.h"

#include "AppContext.h"
#include "DateTimeFormat.h"
#include "Helpers.h"
#include "Seams.h"
#include "TextExport.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_PERSISTENT(CDateTime, CVariable, 1)

std::function<std::time_t()> CDateTime::s_clock;
std::function<bool(QWidget*, CDateTime&, bool)> CDateTime::s_dialog;

namespace {

// Days beyond this either way have no local time worth printing; the sum is
// kept here so that the seconds cannot overflow.
constexpr long long kMostDays = 3650000;

// The leading whole number of the text, as the C library's atoi reads it:
// blanks, a sign and digits; 0 when there is none. Saturates instead of
// overflowing.
int LeadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), 2147483647LL);
    return static_cast<int>(negative ? -value : value);
}

} // namespace

CDateTime::CDateTime() : m_format(StandardFormats().first()) {}

CDateTime::~CDateTime() = default;

const QStringList& CDateTime::StandardFormats()
{
    static const QStringList formats = {
        QStringLiteral("%d.%m.%y"),
        QStringLiteral("%d %B %Y"),
        QStringLiteral("%A %d %B %Y"),
        QStringLiteral("%d-%m-%y"),
        QStringLiteral("%d/%m/%y"),
        QStringLiteral("%d %b %y"),
        QStringLiteral("%b %y"),
        QStringLiteral("%H:%M"),
        QStringLiteral("%I:%M %p"),
        QStringLiteral("%d.%m.%y %H:%M"),
        QStringLiteral("%d %B %Y %H:%M"),
        QStringLiteral("%A %d %B %Y %H:%M"),
        QStringLiteral("%d-%m-%y %H:%M"),
        QStringLiteral("%d/%m/%y %H:%M"),
        QStringLiteral("%d %b %y %H:%M"),
        QStringLiteral("%d.%m.%y %I:%M %p"),
        QStringLiteral("%d %B %Y %I:%M %p"),
        QStringLiteral("%A %d %B %Y %I:%M %p"),
        QStringLiteral("%d-%m-%y %I:%M %p"),
        QStringLiteral("%d/%m/%y %I:%M %p"),
        QStringLiteral("%d %b %y %I:%M %p"),
    };
    return formats;
}

QString CDateTime::FormatDateTime(const QString& format, std::time_t when)
{
    return ::FormatDateTime(format, when);
}

std::time_t CDateTime::Now()
{
    return s_clock ? s_clock() : std::time(nullptr);
}

void CDateTime::Serialize(CArchive& ar)
{
    CVariable::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_format << m_offsetDays << m_allowAdditional << m_additionalSource << m_field;
        return;
    }
    ar >> m_format;
    m_offsetDays = static_cast<int>(std::clamp<long long>(ar.ReadInt(), -kMostDays, kMostDays));
    m_allowAdditional = ar.ReadInt() != 0 ? TRUE : FALSE;
    m_additionalSource = ADDITIONAL_KEYBOARD;
    m_field.clear();
    if (App().fileVersion >= 400) {
        const int source = ar.ReadInt();
        m_additionalSource =
            source == ADDITIONAL_DATABASE ? ADDITIONAL_DATABASE : ADDITIONAL_KEYBOARD;
        ar >> m_field;
    }
}

int CDateTime::GetTypeCode() const
{
    return VARIABLE_DATE_TIME;
}

QString CDateTime::GetTypeName() const
{
    return QStringLiteral("Date/Time Stamp");
}

BOOL CDateTime::DoNewDialog(QWidget* parent)
{
    CDateTime working(*this);
    if (!s_dialog || !s_dialog(parent, working, true))
        return FALSE;
    *this = working;
    Recalculate();
    return TRUE;
}

BOOL CDateTime::DoEditDialog(QWidget* parent)
{
    CDateTime working(*this);
    if (!s_dialog || !s_dialog(parent, working, false))
        return FALSE;
    *this = working;
    Recalculate();
    return TRUE;
}

int CDateTime::GetDataSources(std::vector<int>& kinds, QStringList& names)
{
    if (!m_allowAdditional)
        return 0;
    kinds.push_back(m_additionalSource);
    names << m_field;
    return 1;
}

void CDateTime::SetSourceValue(const QString& value, int, const QString&, BOOL)
{
    if (!m_allowAdditional)
        return;
    m_additionalDays = LeadingInteger(value);
    Recalculate();
}

QString CDateTime::GetValue()
{
    return m_value;
}

void CDateTime::ResetValue()
{
    if (!m_allowAdditional) {
        Recalculate();
        return;
    }
    SetSourceValue(GetStoredData(FALSE), m_additionalSource, m_field, FALSE);
}

BOOL CDateTime::PrepareForPrint()
{
    Recalculate();
    return TRUE;
}

void CDateTime::Recalculate()
{
    std::time_t when = Now();
    // Days supplied at print time count only while the variable takes them.
    const long long additional = m_allowAdditional ? m_additionalDays : 0;
    const long long days = std::clamp<long long>(static_cast<long long>(m_offsetDays) + additional,
                                                 -kMostDays, kMostDays);
    if (days != 0)
        when += static_cast<std::time_t>(days * 86400);
    m_value = FormatDateTime(m_format, when);
}

void CDateTime::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <date-time-stamp>\n\n"));
    CVariable::WriteXml(file);
    file.WriteString(ExportLine(4, "format-string", m_format));
    file.WriteString(QStringLiteral("    <offset=\"%1\" allow-additional=\"%2\"/>\n")
                         .arg(m_offsetDays)
                         .arg(m_allowAdditional));
    file.WriteString(QStringLiteral("\n  </date-time-stamp>\n\n"));
}

BOOL CDateTime::IsKeyboardSourced() const
{
    return m_allowAdditional && m_additionalSource == ADDITIONAL_KEYBOARD ? TRUE : FALSE;
}

BOOL CDateTime::IsDatabaseSourced() const
{
    return m_allowAdditional && m_additionalSource == ADDITIONAL_DATABASE ? TRUE : FALSE;
}

QString CDateTime::GetSourceFieldName() const
{
    return m_field;
}

QString CDateTime::GetStoredData(BOOL noStore)
{
    CDataLinkSeam* link = App().dataLink;
    if (m_additionalSource == ADDITIONAL_DATABASE)
        return link ? link->GetFieldValue(m_field) : QString();
    if (link && link->GetLinkKind() == 1 && link->GetStoreRecordCount() > 0 && !noStore)
        return link->GetFieldValue(m_name);
    return QStringLiteral("0");
}

void CDateTime::BreakDatabaseLink()
{
    if (m_allowAdditional && m_additionalSource == ADDITIONAL_DATABASE)
        m_additionalSource = ADDITIONAL_KEYBOARD;
}
