#include "VariableList.h"

#include "AppContext.h"
#include "Messages.h"
#include "TextExport.h"

#include <array>
#include <new>
#include <unordered_set>

IMPLEMENT_PERSISTENT(CVariableList, CObject, 1)

std::function<void(CVariable&)> CVariableList::s_removeGeneratedScript;

CVariableList& TheVariableList()
{
    return App().Get<CVariableList>();
}

namespace {

std::array<CVariableList::Creator, kLastVariableType - kFirstVariableType + 1>& Creators()
{
    static std::array<CVariableList::Creator, kLastVariableType - kFirstVariableType + 1> table{};
    return table;
}

bool IsTypeCode(int typeCode)
{
    return typeCode >= kFirstVariableType && typeCode <= kLastVariableType;
}

char16_t FoldAscii(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

// Equal when only the letters a-z and A-Z differ in case.
bool EqualsIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode()))
            return false;
    }
    return true;
}

} // namespace

int FindStringPrefix(const QStringList& items, const QString& prefix)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].startsWith(prefix, Qt::CaseInsensitive))
            return static_cast<int>(i);
    }
    return -1;
}

CVariableList::CVariableList() = default;

CVariableList::~CVariableList()
{
    DeleteAll();
}

CVariableList::Creator CVariableList::RegisterVariableType(int typeCode, Creator create)
{
    if (!IsTypeCode(typeCode))
        return nullptr;
    Creator& slot = Creators()[static_cast<std::size_t>(typeCode - kFirstVariableType)];
    const Creator previous = slot;
    slot = create;
    return previous;
}

// --- ownership -----------------------------------------------------------------

CVariable* CVariableList::CreateVariable(int typeCode, const QString& name)
{
    if (!IsTypeCode(typeCode))
        return nullptr;
    const Creator create = Creators()[static_cast<std::size_t>(typeCode - kFirstVariableType)];
    if (!create)
        return nullptr;
    CVariable* variable = nullptr;
    try {
        variable = create();
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return nullptr;
    }
    if (!variable)
        return nullptr;
    if (!AddVariable(variable)) {
        delete variable;
        return nullptr;
    }
    variable->m_name = name;
    return variable;
}

BOOL CVariableList::AddVariable(CVariable* variable)
{
    // A variable listed twice would be deleted twice.
    if (!variable || Contains(variable))
        return FALSE;
    try {
        m_variables.push_back(variable);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return FALSE;
    }
    return TRUE;
}

BOOL CVariableList::RemoveVariable(CVariable* variable)
{
    const int position = Find(variable);
    if (position < 0)
        return FALSE;
    m_variables.erase(m_variables.begin() + position);
    delete variable;
    return TRUE;
}

void CVariableList::DeleteAll()
{
    // Each variable leaves the list before it is destroyed, so that a
    // destructor that looks at the list never finds a dying variable.
    while (!m_variables.empty()) {
        CVariable* variable = m_variables.front();
        m_variables.erase(m_variables.begin());
        delete variable;
    }
}

int CVariableList::Find(const CVariable* variable) const
{
    if (!variable)
        return -1;
    for (std::size_t i = 0; i < m_variables.size(); ++i) {
        if (m_variables[i] == variable)
            return static_cast<int>(i);
    }
    return -1;
}

// --- searches ------------------------------------------------------------------

CVariable* CVariableList::FindVariable(int typeCode, const QString& name) const
{
    for (CVariable* variable : m_variables) {
        if (variable->GetTypeCode() == typeCode &&
            EqualsIgnoringAsciiCase(variable->GetName(), name))
            return variable;
    }
    return nullptr;
}

int CVariableList::CountOfType(int typeCode) const
{
    int count = 0;
    for (const CVariable* variable : m_variables) {
        if (variable->GetTypeCode() == typeCode)
            ++count;
    }
    return count;
}

int CVariableList::GetItemCount() const
{
    int count = 0;
    for (const CVariable* variable : m_variables)
        count += variable->GetItemCount();
    return count;
}

int CVariableList::FillComboBox(QStringList& items, int& selected, int typeCode,
                                const QString& name) const
{
    items.clear();
    for (const CVariable* variable : m_variables) {
        if (variable->GetTypeCode() == typeCode)
            items << variable->GetName();
    }
    selected = FindStringPrefix(items, name);
    if (selected < 0 && !items.isEmpty())
        selected = 0;
    return static_cast<int>(items.size());
}

BOOL CVariableList::HasOptionList() const
{
    return CountOfType(VARIABLE_OPTION_LIST) > 0;
}

BOOL CVariableList::HasKeyboardDateTime() const
{
    for (const CVariable* variable : m_variables) {
        if (variable->GetTypeCode() == VARIABLE_DATE_TIME && variable->IsKeyboardSourced())
            return TRUE;
    }
    return FALSE;
}

BOOL CVariableList::HasDatabaseSource(const QString* fieldName) const
{
    for (const CVariable* variable : m_variables) {
        if (!variable->IsDatabaseSourced())
            continue;
        if (!fieldName ||
            variable->GetSourceFieldName().compare(*fieldName, Qt::CaseInsensitive) == 0)
            return TRUE;
    }
    return FALSE;
}

void CVariableList::BreakDatabaseLinks()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i) {
        if (m_variables[i]->IsDatabaseSourced())
            m_variables[i]->BreakDatabaseLink();
    }
}

// --- the print run ---------------------------------------------------------------
// The walkers go by position, so that a variable that reaches the list from
// its own operation cannot leave them on a stale iterator.

void CVariableList::ResetValues()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i)
        m_variables[i]->ResetValue();
}

BOOL CVariableList::UpdateForPrint()
{
    CDataPathSeam* map = App().dataPaths;
    if (!map)
        return TRUE; // no node, so nothing feeds anything
    for (std::size_t i = 0; i < m_variables.size(); ++i) {
        CVariable* variable = m_variables[i];
        if (map->GetDependentCount(variable) > 0 && !variable->PrepareForPrint())
            return FALSE;
    }
    return TRUE;
}

void CVariableList::AdvanceAfterPrint()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i)
        m_variables[i]->AdvanceAfterPrint();
}

void CVariableList::EndPrintRun()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i)
        m_variables[i]->EndPrintRun();
}

void CVariableList::BeginPrintJob()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i)
        m_variables[i]->BeginPrintJob();
}

void CVariableList::DiscardPrintJob()
{
    for (std::size_t i = 0; i < m_variables.size(); ++i)
        m_variables[i]->DiscardPrintJob();
}

// --- clean-up --------------------------------------------------------------------

void CVariableList::RemoveCombinationScripts()
{
    if (!s_removeGeneratedScript)
        return;
    for (std::size_t i = 0; i < m_variables.size(); ++i) {
        if (m_variables[i]->GetTypeCode() == VARIABLE_COMBINATION)
            s_removeGeneratedScript(*m_variables[i]);
    }
}

void CVariableList::RemoveUnusedVariables()
{
    CDataPathSeam* map = App().dataPaths;
    if (!map)
        return;
    // Removing a variable can leave one that fed only it feeding nothing, so
    // go round again until a pass removes nothing.
    bool removed = true;
    while (removed) {
        removed = false;
        for (std::size_t i = 0; i < m_variables.size();) {
            CVariable* variable = m_variables[i];
            if (map->GetDependentCount(variable) > 0) {
                ++i;
                continue;
            }
            map->RemoveVariable(variable);
            m_variables.erase(m_variables.begin() + static_cast<std::ptrdiff_t>(i));
            delete variable;
            removed = true;
        }
    }
}

// --- files -------------------------------------------------------------------------

void CVariableList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteObList(m_variables);
        return;
    }
    if (App().fileVersion < 110)
        return;
    const DWORD count = ar.ReadCount(2);
    std::unordered_set<const CVariable*> listed(m_variables.begin(), m_variables.end());
    for (DWORD i = 0; i < count; ++i) {
        CVariable* variable = ar.ReadObjectOf<CVariable>();
        if (!variable)
            continue; // an empty entry holds nothing to keep
        // A second reference to one variable would make the list delete it twice.
        if (listed.count(variable))
            throw CArchiveException(CArchiveException::badIndex, "archive: variable listed twice");
        try {
            listed.insert(variable);
            m_variables.push_back(variable);
        } catch (const std::bad_alloc&) {
            delete variable; // not in the list
            throw CArchiveException(CArchiveException::generic, "archive: out of memory");
        }
    }
}

void CVariableList::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("<variables>\n\n"));
    for (CVariable* variable : m_variables)
        variable->WriteXml(file);
    file.WriteString(QStringLiteral("</variables>\n\n"));
}
