#include "Combination.h"

#include "MessageBox.h"
#include "Messages.h"
#include "ScriptStore.h"

IMPLEMENT_PERSISTENT(CCombination, CMacroScript, 1)

std::function<bool(QWidget*, CCombination&)> CCombination::s_dialog;

namespace {

constexpr int kLastGeneratedNumber = 99999999;

// A free text as a string literal of the script language, whose backslash
// takes the next character as it is.
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

// The character code of an item, or -1 when it is not a number from 0 to
// 255.
int CharacterCode(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    const int code = digits.toInt();
    return code <= 255 ? code : -1;
}

void ReportBuildFailure(const QString& name, const QString& reason)
{
    AppMessageBox(QStringLiteral("The combination \"%1\" could not be made:\n%2")
                      .arg(ElideMiddle(name), reason),
                  MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

CCombination::CCombination() = default;

CCombination::CCombination(const CCombination& other)
    : CMacroScript(other), m_itemKinds(other.m_itemKinds), m_itemTexts(other.m_itemTexts)
{
}

CCombination& CCombination::operator=(const CCombination& other)
{
    if (this == &other)
        return *this;
    CMacroScript::operator=(other);
    m_itemKinds = other.m_itemKinds;
    m_itemTexts = other.m_itemTexts;
    return *this;
}

CCombination::~CCombination() = default;

void CCombination::Serialize(CArchive& ar)
{
    CMacroScript::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WritePlainArray(m_itemKinds);
        ar.WriteCount(static_cast<DWORD>(m_itemTexts.size()));
        for (const QString& text : m_itemTexts)
            ar << text;
        return;
    }
    ar.ReadPlainArray(m_itemKinds);
    // Every string takes at least its length byte.
    const DWORD count = ar.ReadCount(1);
    m_itemTexts.clear();
    m_itemTexts.reserve(qsizetype(count));
    for (DWORD i = 0; i < count; ++i)
        m_itemTexts.append(ar.ReadString());
    // The arrays run parallel: an item lacking its kind or its text is
    // dropped.
    const std::size_t items = std::min(m_itemKinds.size(), std::size_t(m_itemTexts.size()));
    m_itemKinds.resize(items);
    while (std::size_t(m_itemTexts.size()) > items)
        m_itemTexts.removeLast();
}

int CCombination::GetTypeCode() const
{
    return VARIABLE_COMBINATION;
}

QString CCombination::GetName() const
{
    return m_name;
}

QString CCombination::GetTypeName() const
{
    return QStringLiteral("Combination");
}

BOOL CCombination::DoNewDialog(QWidget* parent)
{
    CCombination working;
    working.m_name = m_name;
    if (!s_dialog || !s_dialog(parent, working))
        return FALSE;
    *this = working;
    Build();
    return TRUE;
}

BOOL CCombination::DoEditDialog(QWidget* parent)
{
    CCombination working(*this);
    if (!s_dialog || !s_dialog(parent, working))
        return FALSE;
    // The dialog changes the items only: the names stay.
    m_itemKinds = working.m_itemKinds;
    m_itemTexts = working.m_itemTexts;
    Build();
    return TRUE;
}

bool CCombination::MakeScriptText(QString& text, QString& reason) const
{
    if (m_itemKinds.empty()) {
        reason = QStringLiteral("It has no items.");
        return false;
    }
    QStringList parts;
    const std::size_t count = std::min(m_itemKinds.size(), std::size_t(m_itemTexts.size()));
    for (std::size_t i = 0; i < count; ++i) {
        const QString& item = m_itemTexts[qsizetype(i)];
        switch (m_itemKinds[i]) {
        case ITEM_ELEMENT:
            parts << item + u'$';
            break;
        case ITEM_TEXT:
            parts << Quoted(item);
            break;
        case ITEM_CHARACTER: {
            const int code = CharacterCode(item);
            if (code < 0) {
                reason = QStringLiteral("The character code \"%1\" is not a number from 0 to 255.")
                             .arg(ElideMiddle(item));
                return false;
            }
            parts << QStringLiteral("CHR$(%1)").arg(code);
            break;
        }
        default:
            // An item of an unknown kind adds nothing.
            break;
        }
    }
    if (parts.isEmpty()) {
        reason = QStringLiteral("It has no items.");
        return false;
    }
    text = QStringLiteral("RETURN ") + parts.join(QStringLiteral(" + "));
    return true;
}

bool CCombination::Build()
{
    QString text;
    QString reason;
    if (!MakeScriptText(text, reason)) {
        ReportBuildFailure(m_name, reason);
        return false;
    }
    // Tried apart first, so that a failure leaves the script in use alone.
    {
        CScriptEngine trial;
        if (!trial.Compile(text)) {
            ReportBuildFailure(m_name, trial.GetErrorText());
            return false;
        }
    }
    QString scriptName = m_scriptName;
    if (scriptName.isEmpty()) {
        scriptName = FreeScriptName();
        if (scriptName.isEmpty()) {
            ReportBuildFailure(m_name, QStringLiteral("No free script name is left."));
            return false;
        }
    }
    TheScriptStore().SetScriptText(scriptName, text);
    m_scriptName = scriptName;
    CompileFromStore();
    std::vector<int> kinds;
    QStringList names;
    GetDataSources(kinds, names);
    m_needsRun = true;
    return true;
}

QString CCombination::FreeScriptName()
{
    const CScriptStore& store = TheScriptStore();
    for (int number = 0; number < kLastGeneratedNumber; ++number) {
        const QString name = QStringLiteral("COMB%1").arg(number, 3, 10, QChar(u'0'));
        if (!store.Contains(name))
            return name;
    }
    return QString();
}

QString CCombination::ItemDisplayText(int kind, const QString& text)
{
    return kind == ITEM_CHARACTER ? QStringLiteral("CHR$(%1)").arg(text) : text;
}

void CCombination::AddItem(int kind, const QString& text)
{
    m_itemKinds.push_back(static_cast<WORD>(kind));
    m_itemTexts.append(text);
}

bool CCombination::RemoveItem(int index)
{
    if (index < 0 || std::size_t(index) >= m_itemKinds.size() || index >= m_itemTexts.size())
        return false;
    m_itemKinds.erase(m_itemKinds.begin() + index);
    m_itemTexts.removeAt(index);
    return true;
}

void CCombination::ResolveScriptClash(const QString& loadedText)
{
    const QString fresh = FreeScriptName();
    if (fresh.isEmpty())
        throw CUserException();
    TheScriptStore().SetScriptText(fresh, loadedText);
    m_scriptName = fresh;
}
