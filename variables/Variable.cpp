#include "Variable.h"

#include "AppContext.h"
#include "Messages.h"
#include "TextExport.h"

IMPLEMENT_PERSISTENT(CVariable, CObject, 1)

namespace {

struct KindName
{
    int kind;
    int stringId;
};

// In the order of the "Source" combo boxes.
constexpr KindName kComboKinds[] = {
    {SOURCE_FIXED, IDS_SOURCE_FIXED},
    {SOURCE_KEYBOARD, IDS_SOURCE_KEYBOARD},
    {SOURCE_DATABASE, IDS_SOURCE_DATABASE},
    {SOURCE_OPTION_LIST, IDS_SOURCE_OPTION_LIST},
    {SOURCE_INCREMENTING, IDS_SOURCE_INCREMENTING_NUMBER},
    {SOURCE_DATE_TIME, IDS_SOURCE_DATE_TIME_STAMP},
    {SOURCE_PRICE_CALC, IDS_SOURCE_PRICE_CALCULATION},
    {SOURCE_COMBINATION, IDS_SOURCE_COMBINATION},
    {SOURCE_MACRO, IDS_SOURCE_MACRO_SCRIPT},
    {SOURCE_ELEMENT, IDS_SOURCE_ANOTHER_ELEMENT},
};

} // namespace

QString DataSourceKindName(int kind)
{
    for (const KindName& entry : kComboKinds) {
        if (entry.kind == kind)
            return LoadStringId(entry.stringId);
    }
    return QString();
}

const std::vector<int>& SourceComboKinds()
{
    static const std::vector<int> kinds = [] {
        std::vector<int> list;
        for (const KindName& entry : kComboKinds)
            list.push_back(entry.kind);
        return list;
    }();
    return kinds;
}

QStringList SourceComboTexts()
{
    QStringList texts;
    for (const KindName& entry : kComboKinds)
        texts << LoadStringId(entry.stringId);
    return texts;
}

// --- the variable base ---------------------------------------------------------

CVariable::CVariable() = default;
CVariable::~CVariable() = default;

void CVariable::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_name << m_prompt << m_dataEntryIndex;
    } else {
        ar >> m_name >> m_prompt;
        m_dataEntryIndex = ar.ReadInt();
    }
    App().StepProgress();
}

int CVariable::GetTypeCode() const
{
    return VARIABLE_NONE;
}

QString CVariable::GetName() const
{
    return m_name;
}

QString CVariable::GetTypeName() const
{
    return QString();
}

int CVariable::GetItemCount() const
{
    return 1;
}

BOOL CVariable::DoNewDialog(QWidget*)
{
    return FALSE;
}

int CVariable::GetDataSources(std::vector<int>&, QStringList&)
{
    return 0;
}

BOOL CVariable::DoEditDialog(QWidget*)
{
    return FALSE;
}

void CVariable::Reserved() {}

void CVariable::SetSourceValue(const QString&, int, const QString&, BOOL) {}

QString CVariable::GetValue()
{
    return QString();
}

void CVariable::ResetValue() {}

BOOL CVariable::PrepareForPrint()
{
    return TRUE;
}

void CVariable::AdvanceAfterPrint() {}

void CVariable::EndPrintRun() {}

void CVariable::WriteXml(CTextExportFile& file)
{
    file.WriteString(ExportLine(4, "name", m_name));
    file.WriteString(ExportLine(4, "data-entry-index", m_dataEntryIndex));
    file.WriteString(ExportLine(4, "prompt", m_prompt));
}

BOOL CVariable::IsKeyboardSourced() const
{
    return FALSE;
}

BOOL CVariable::IsDatabaseSourced() const
{
    return FALSE;
}

QString CVariable::GetSourceFieldName() const
{
    return QString();
}

QString CVariable::GetStoredData(BOOL)
{
    return QString();
}

void CVariable::BreakDatabaseLink() {}

void CVariable::BeginPrintJob() {}

void CVariable::DiscardPrintJob() {}
