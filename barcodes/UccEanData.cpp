#include "UccEanData.h"

#include "AppContext.h"
#include "Archive.h"
#include "GS1AIInfo.h"
#include "ScriptStore.h"
#include "VariableList.h"

#include <algorithm>

IMPLEMENT_PERSISTENT(CUccEanData, CMacroScript, 1)

std::function<bool(QWidget*, CUccSubStringArray&, int)> CUccEanData::s_dialog;

namespace {

constexpr int kLastScriptNumber = 99999999;

// A text as a string literal of the script language: a backslash takes the
// next character as it is, so quotes and backslashes cannot end it.
QString Quoted(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    quoted.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted.append(u'\\');
        quoted.append(c);
    }
    quoted.append(u'"');
    return quoted;
}

// A value as the barcode reads it: a percent sign is not an escape.
QString Escaped(const QString& text)
{
    return QString(text).replace(u'%', QStringLiteral("%%"));
}

bool SeparatorBefore(const CUccSubStringArray& entries, int i)
{
    return i >= 1 && GS1NeedsSeparatorAfter(entries[i - 1].m_ai);
}

QString AIOf(const CUccSubString& entry)
{
    return GS1AIText(entry.m_ai, entry.m_decimals);
}

// The key length before which the check digit of a document or asset
// identifier goes; -1 for the others, whose digit ends the field.
int CheckDigitKey(int ai)
{
    return ai == 253 ? 12 : ai == 8003 ? 13 : -1;
}

QString FieldText(const CUccSubString& entry, const QString& value)
{
    const QString field = entry.m_prefix + value + entry.m_suffix;
    return entry.m_appendCheckDigit ? GS1WithCheckDigit(entry.m_ai, field) : field;
}

} // namespace

// --- the entry array ---------------------------------------------------------------

CUccSubStringArray& CUccSubStringArray::operator=(const CUccSubStringArray& other)
{
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<CUccSubString>> copies;
    copies.reserve(other.m_entries.size());
    for (const auto& entry : other.m_entries)
        copies.push_back(std::make_unique<CUccSubString>(*entry));
    m_entries = std::move(copies);
    return *this;
}

CUccSubString& CUccSubStringArray::Add(const CUccSubString& entry)
{
    m_entries.push_back(std::make_unique<CUccSubString>(entry));
    return *m_entries.back();
}

void CUccSubStringArray::RemoveAt(int i)
{
    if (i >= 0 && i < GetSize())
        m_entries.erase(m_entries.begin() + i);
}

// --- the variable ------------------------------------------------------------------

CUccEanData::CUccEanData() = default;

CUccEanData::CUccEanData(const CUccEanData& other)
    : CMacroScript(other), m_entries(other.m_entries)
{
}

CUccEanData& CUccEanData::operator=(const CUccEanData& other)
{
    if (this == &other)
        return *this;
    CMacroScript::operator=(other);
    m_entries = other.m_entries;
    return *this;
}

CUccEanData::~CUccEanData()
{
    if (m_ownsScript && !m_scriptName.isEmpty()) {
        if (CScriptStore* store = App().Find<CScriptStore>())
            store->RemoveScript(m_scriptName);
    }
}

int CUccEanData::GetTypeCode() const
{
    return VARIABLE_GS1;
}

QString CUccEanData::GetName() const
{
    return m_name;
}

QString CUccEanData::GetTypeName() const
{
    return QStringLiteral("UCC/EAN");
}

QString CUccEanData::BuildScript() const
{
    QString text = QStringLiteral("return ");
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const CUccSubString& entry = m_entries[i];
        if (i >= 1) {
            text += QStringLiteral(" + ");
            if (SeparatorBefore(m_entries, i))
                text += Quoted(QStringLiteral("%1")) + QStringLiteral(" + ");
        }
        text += Quoted(AIOf(entry)) + QStringLiteral(" + ");
        QString value;
        if (entry.m_sourceKind == CUccSubString::kElement) {
            QStringList parts;
            if (!entry.m_prefix.isEmpty())
                parts << Quoted(Escaped(entry.m_prefix));
            parts << entry.m_sourceName + QStringLiteral("$");
            if (!entry.m_suffix.isEmpty())
                parts << Quoted(Escaped(entry.m_suffix));
            value = parts.join(QStringLiteral(" + "));
        } else {
            value = Quoted(Escaped(entry.m_value));
        }
        if (!entry.m_appendCheckDigit) {
            text += value;
            continue;
        }
        const int key = CheckDigitKey(entry.m_ai);
        if (key < 0) {
            text += value + QStringLiteral(" + CSUM$(1,%1)").arg(value);
        } else {
            // The digit belongs to the key, before the serial.
            const QString head = QStringLiteral("LEFT$(%1,%2)").arg(value).arg(key);
            text += QStringLiteral("%1 + CSUM$(1,%1) + MID$(%2,%3)").arg(head, value).arg(key + 1);
        }
    }
    return text;
}

QString CUccEanData::GetBarcodeData() const
{
    QString data;
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const CUccSubString& entry = m_entries[i];
        if (SeparatorBefore(m_entries, i))
            data += QStringLiteral("%1");
        data += AIOf(entry) + Escaped(FieldText(entry, entry.m_value));
    }
    return data;
}

QString CUccEanData::GetHumanReadable() const
{
    QString line;
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const CUccSubString& entry = m_entries[i];
        line += u'(' + AIOf(entry) + u')' + FieldText(entry, entry.m_currentValue);
    }
    return line;
}

QString CUccEanData::FreeScriptName()
{
    const CScriptStore& store = TheScriptStore();
    for (int n = 1; n < kLastScriptNumber; ++n) {
        const QString name = QStringLiteral("GS1_%1").arg(n);
        if (!store.Contains(name))
            return name;
    }
    return QString();
}

bool CUccEanData::Build()
{
    const QString text = BuildScript();
    {
        CScriptEngine trial;
        if (!trial.Compile(text))
            return false;
    }
    QString name = m_scriptName;
    if (name.isEmpty()) {
        name = FreeScriptName();
        if (name.isEmpty())
            return false;
    }
    TheScriptStore().SetScriptText(name, text);
    m_scriptName = name;
    m_ownsScript = true;
    CompileFromStore();
    std::vector<int> kinds;
    QStringList names;
    GetDataSources(kinds, names);
    m_needsRun = true;
    return true;
}

BOOL CUccEanData::DoNewDialog(QWidget* parent)
{
    return DoNewDialog(parent, -1);
}

BOOL CUccEanData::DoEditDialog(QWidget* parent)
{
    return DoEditDialog(parent, -1);
}

BOOL CUccEanData::DoNewDialog(QWidget* parent, int forcedAI)
{
    CUccSubStringArray entries;
    if (!s_dialog || !s_dialog(parent, entries, forcedAI))
        return FALSE;
    m_entries = entries;
    for (int i = 0; i < m_entries.GetSize(); ++i)
        m_entries[i].m_currentValue = m_entries[i].m_value;
    return Build() ? TRUE : FALSE;
}

BOOL CUccEanData::DoEditDialog(QWidget* parent, int forcedAI)
{
    CUccSubStringArray entries = m_entries;
    if (!s_dialog || !s_dialog(parent, entries, forcedAI))
        return FALSE;
    const CUccSubStringArray before = m_entries;
    m_entries = entries;
    for (int i = 0; i < m_entries.GetSize(); ++i)
        m_entries[i].m_currentValue = m_entries[i].m_value;
    if (!Build()) {
        m_entries = before;
        return FALSE;
    }
    return TRUE;
}

void CUccEanData::SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                                 BOOL refresh)
{
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        CUccSubString& entry = m_entries[i];
        if (entry.m_sourceKind == CUccSubString::kElement &&
            entry.m_sourceName.compare(sourceName, Qt::CaseInsensitive) == 0)
            entry.m_currentValue = value;
    }
    CMacroScript::SetSourceValue(value, sourceKind, sourceName, refresh);
}

void CUccEanData::EndPrintRun()
{
    for (int i = 0; i < m_entries.GetSize(); ++i)
        m_entries[i].m_currentValue = m_entries[i].m_value;
    CMacroScript::EndPrintRun();
}

void CUccEanData::Serialize(CArchive& ar)
{
    CMacroScript::Serialize(ar);
    if (ar.IsStoring()) {
        ar << DWORD(m_entries.GetSize());
        for (int i = 0; i < m_entries.GetSize(); ++i) {
            const CUccSubString& e = m_entries[i];
            ar << DWORD(e.m_ai) << DWORD(e.m_sourceKind) << e.m_sourceName << e.m_prompt
               << e.m_value << e.m_prefix << e.m_suffix << DWORD(e.m_decimals)
               << DWORD(e.m_appendCheckDigit);
        }
        return;
    }
    m_ownsScript = !m_scriptName.isEmpty();
    // Every entry takes at least its fixed fields and five string lengths.
    const DWORD count = ar.ReadDWord();
    if (count > DWORD(ar.BytesRemaining() / 21))
        throw CArchiveException(CArchiveException::endOfFile, "GS1 data: bad entry count");
    m_entries.RemoveAll();
    for (DWORD i = 0; i < count; ++i) {
        CUccSubString e;
        e.m_ai = std::clamp(ar.ReadInt(), 0, 9999);
        e.m_sourceKind = ar.ReadInt() == CUccSubString::kElement ? CUccSubString::kElement
                                                                  : CUccSubString::kFixed;
        ar >> e.m_sourceName >> e.m_prompt >> e.m_value >> e.m_prefix >> e.m_suffix;
        e.m_decimals = std::clamp(ar.ReadInt(), 0, 9);
        e.m_appendCheckDigit = ar.ReadInt() != 0 ? TRUE : FALSE;
        e.m_currentValue = e.m_value;
        m_entries.Add(e);
    }
}

CUccEanData* FindGS1Data(int sourceKind, const QString& name)
{
    if (sourceKind != SOURCE_GS1)
        return nullptr;
    return dynamic_cast<CUccEanData*>(TheVariableList().FindVariable(VARIABLE_GS1, name));
}

void RegisterGS1DataVariable()
{
    CVariableList::RegisterVariableType(VARIABLE_GS1, &CUccEanData::Make);
}
