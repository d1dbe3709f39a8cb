#include "MacroScript.h"

#include "AppContext.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "TextExport.h"
#include "VariableList.h"

IMPLEMENT_PERSISTENT(CMacroScript, CVariable, 1)

std::function<void(CVariable& variable)> CMacroScript::s_propagateValue;
std::function<bool(QWidget*, CMacroScript&, bool)> CMacroScript::s_dialog;

namespace {

constexpr int kLowestKind = -1;
constexpr int kHighestKind = SOURCE_ELEMENT;

void WriteStrings(CArchive& ar, const QStringList& strings)
{
    ar.WriteCount(static_cast<DWORD>(strings.size()));
    for (const QString& s : strings)
        ar << s;
}

QStringList ReadStrings(CArchive& ar)
{
    // Every string takes at least its length byte.
    const DWORD count = ar.ReadCount(1);
    QStringList strings;
    strings.reserve(qsizetype(count));
    for (DWORD i = 0; i < count; ++i)
        strings.append(ar.ReadString());
    return strings;
}

void WriteInts(CArchive& ar, const std::vector<int>& values)
{
    std::vector<DWORD> words;
    words.reserve(values.size());
    for (const int v : values)
        words.push_back(static_cast<DWORD>(v));
    ar.WritePlainArray(words);
}

std::vector<int> ReadInts(CArchive& ar)
{
    std::vector<DWORD> words;
    ar.ReadPlainArray(words);
    std::vector<int> values;
    values.reserve(words.size());
    for (const DWORD w : words)
        values.push_back(static_cast<int>(w));
    return values;
}

// Asks whether the sign's text replaces the store's text of the name:
// IDYES, IDNO or IDCANCEL.
int AskReplaceScript(const QString& name)
{
    return AppMessageBox(QStringLiteral("A macro script with the name '%1' already exists and is "
                                        "used on other templates. Do you wish to replace that "
                                        "script with the one used on this template ?")
                             .arg(ElideMiddle(name)),
                         MB_YESNOCANCEL | MB_ICONQUESTION);
}

} // namespace

CMacroScript::CMacroScript() = default;

CMacroScript::CMacroScript(const QString& scriptName) : m_scriptName(scriptName)
{
    CompileFromStore();
    std::vector<int> kinds;
    QStringList names;
    GetDataSources(kinds, names);
    m_needsRun = false;
}

CMacroScript::CMacroScript(const CMacroScript& other)
    : CVariable(other), m_scriptName(other.m_scriptName), m_inputTypes(other.m_inputTypes),
      m_inputNames(other.m_inputNames), m_sourceKinds(other.m_sourceKinds),
      m_sourceNames(other.m_sourceNames)
{
    CompileFromStore();
}

CMacroScript& CMacroScript::operator=(const CMacroScript& other)
{
    if (this == &other)
        return *this;
    CVariable::operator=(other);
    m_scriptName = other.m_scriptName;
    CompileFromStore();
    m_inputTypes = other.m_inputTypes;
    m_inputNames = other.m_inputNames;
    m_sourceKinds = other.m_sourceKinds;
    m_sourceNames = other.m_sourceNames;
    m_needsRun = false;
    m_runErrorShown = false;
    return *this;
}

CMacroScript::~CMacroScript() = default;

void CMacroScript::CompileFromStore()
{
    m_engine.Compile(GetScriptText(m_scriptName));
}

void CMacroScript::Serialize(CArchive& ar)
{
    CVariable::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_scriptName << GetScriptText(m_scriptName);
        WriteStrings(ar, m_inputNames);
        WriteInts(ar, m_inputTypes);
        WriteStrings(ar, m_sourceNames);
        WriteInts(ar, m_sourceKinds);
        return;
    }

    m_scriptName = ar.ReadString();
    const QString loadedText = ar.ReadString();
    // The sign's copy of the text meets the store. The texts are compared
    // exactly: a sign never runs another text than the one it was made with
    // without the user being asked.
    CScriptStore& store = TheScriptStore();
    if (!m_scriptName.isEmpty()) {
        if (!store.Contains(m_scriptName)) {
            store.SetScriptText(m_scriptName, loadedText);
        } else if (store.GetScriptText(m_scriptName) != loadedText) {
            ResolveScriptClash(loadedText);
        }
    }

    m_inputNames = ReadStrings(ar);
    m_inputTypes = ReadInts(ar);
    m_sourceNames = ReadStrings(ar);
    m_sourceKinds = ReadInts(ar);

    // The arrays run parallel to the input names; kinds of older signs are
    // renumbered, and a kind that names no source counts as unresolved.
    const std::size_t count = std::size_t(m_inputNames.size());
    m_inputTypes.resize(count, SCRIPT_TYPE_STRING);
    m_sourceKinds.resize(count, -1);
    while (std::size_t(m_sourceNames.size()) < count)
        m_sourceNames.append(QString());
    while (std::size_t(m_sourceNames.size()) > count)
        m_sourceNames.removeLast();
    const int version = App().fileVersion;
    for (int& kind : m_sourceKinds) {
        kind = RenumberStoredSourceKind(kind, version);
        if (kind < kLowestKind || kind > kHighestKind)
            kind = -1;
    }
    m_needsRun = false;
    m_runErrorShown = false;
    // A sign without a script name uses the text it carries.
    if (m_scriptName.isEmpty())
        m_engine.Compile(loadedText);
    else
        CompileFromStore();
}

void CMacroScript::ResolveScriptClash(const QString& loadedText)
{
    switch (AskReplaceScript(m_scriptName)) {
    case IDYES:
        TheScriptStore().SetScriptText(m_scriptName, loadedText);
        break;
    case IDNO:
        break;
    default:
        throw CUserException();
    }
}

int CMacroScript::GetTypeCode() const
{
    return VARIABLE_MACRO;
}

BOOL CMacroScript::DoNewDialog(QWidget* parent)
{
    CMacroScript working;
    working.m_name = m_name;
    if (!s_dialog || !s_dialog(parent, working, true))
        return FALSE;
    *this = working;
    std::vector<int> kinds;
    QStringList names;
    GetDataSources(kinds, names);
    return TRUE;
}

BOOL CMacroScript::DoEditDialog(QWidget* parent)
{
    CMacroScript working(*this);
    if (!s_dialog || !s_dialog(parent, working, false))
        return FALSE;
    *this = working;
    std::vector<int> kinds;
    QStringList names;
    GetDataSources(kinds, names);
    return TRUE;
}

QString CMacroScript::GetName() const
{
    return m_scriptName;
}

QString CMacroScript::GetTypeName() const
{
    return QStringLiteral("Macro Script");
}

int CMacroScript::GetDataSources(std::vector<int>& kinds, QStringList& names)
{
    QStringList inputNames;
    std::vector<int> inputTypes;
    m_engine.GetInputs(inputNames, inputTypes);

    std::vector<int> sourceKinds(std::size_t(inputNames.size()), -1);
    QStringList sourceNames = inputNames;
    for (qsizetype i = 0; i < inputNames.size(); ++i) {
        const qsizetype previous = m_inputNames.indexOf(inputNames[i]);
        if (previous >= 0 && std::size_t(previous) < m_sourceKinds.size() &&
            previous < m_sourceNames.size()) {
            sourceKinds[std::size_t(i)] = m_sourceKinds[std::size_t(previous)];
            sourceNames[i] = m_sourceNames[previous];
        }
    }
    m_inputNames = inputNames;
    m_inputTypes = inputTypes;
    m_sourceKinds = sourceKinds;
    m_sourceNames = sourceNames;

    for (qsizetype i = 0; i < m_inputNames.size(); ++i) {
        int& kind = m_sourceKinds[std::size_t(i)];
        if (kind != -1)
            continue;
        for (int code = kFirstVariableType; code <= kLastVariableType && kind == -1; ++code) {
            const CVariable* found = TheVariableList().FindVariable(code, m_sourceNames[i]);
            // A script never feeds itself: that would go round for ever.
            if (found && found != this)
                kind = SourceKindForVariableType(code);
        }
        if (kind == -1 && TheElementList().FindByName(m_sourceNames[i]))
            kind = SOURCE_ELEMENT;
    }

    for (qsizetype i = 0; i < m_inputNames.size(); ++i) {
        const int kind = m_sourceKinds[std::size_t(i)];
        bool present = false;
        for (std::size_t k = 0; k < kinds.size() && !present; ++k)
            present = kinds[k] == kind && qsizetype(k) < names.size() &&
                      names[qsizetype(k)] == m_sourceNames[i];
        if (!present) {
            kinds.push_back(kind);
            names.append(m_sourceNames[i]);
        }
    }
    return int(kinds.size());
}

void CMacroScript::SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                                  BOOL /*refresh*/)
{
    const qsizetype count =
        std::min<qsizetype>({m_inputNames.size(), qsizetype(m_inputTypes.size()),
                             qsizetype(m_sourceKinds.size()), m_sourceNames.size()});
    for (qsizetype i = 0; i < count; ++i) {
        if (m_sourceKinds[std::size_t(i)] == sourceKind &&
            m_sourceNames[i].compare(sourceName, Qt::CaseInsensitive) == 0)
            m_engine.SetInput(m_inputNames[i], m_inputTypes[std::size_t(i)], value);
    }
    m_needsRun = true;
}

QString CMacroScript::GetValue()
{
    if (m_needsRun) {
        m_engine.Run();
        m_needsRun = false;
        const QString error = m_engine.GetRunError();
        if (!error.isEmpty() && !m_runErrorShown) {
            m_runErrorShown = true;
            AppMessageBox(
                QStringLiteral("Macro script \"%1\"\n%2").arg(ElideMiddle(m_scriptName), error),
                MB_OK | MB_ICONEXCLAMATION);
        }
    }
    return m_engine.GetResult();
}

void CMacroScript::ResetValue()
{
    m_runErrorShown = false;
    if (m_inputNames.isEmpty()) {
        m_needsRun = true;
        if (s_propagateValue)
            s_propagateValue(*this);
        return;
    }
    for (const int kind : m_sourceKinds) {
        if (kind == -1) {
            AppMessageBox(QStringLiteral("Insufficient data supplied to macro script \"%1\"\n"
                                         "Output may contain errors!")
                              .arg(ElideMiddle(m_scriptName)),
                          MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
}

void CMacroScript::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <macro-script>\n\n"));
    CVariable::WriteXml(file);
    file.WriteString(ExportLine(4, "name", m_scriptName));
    file.WriteString(ExportLine(4, "script", GetScriptText(m_scriptName)));
    file.WriteString(QStringLiteral("\n  </macro-script>\n\n"));
}
