#include "ScriptEngine.h"

CScriptEngine::CScriptEngine() = default;
CScriptEngine::~CScriptEngine() = default;

namespace {

// A damaged or generated script could report the same error endlessly; the
// error text keeps the first ones.
constexpr int kMaxReportedErrors = 20;
// The longest line excerpt shown with an error.
constexpr qsizetype kMaxExcerpt = 200;

} // namespace

void CScriptEngine::Clear()
{
    m_result.clear();
    m_forStack.clear();
    m_source = nullptr;
    m_compileFailed = 0;
    m_errorLines.clear();
    m_errorMessages.clear();
    m_errorCount = 0;
    m_statements.clear();
    m_symbols.clear();
    m_tokens.clear();
    m_extraTokens.clear();
    m_openIf = -1;
    m_pendingElse = -1;
    m_openIfThen = -1;
    m_runError.clear();
}

void CScriptEngine::ReportError(const QString& message, int tokenIndex)
{
    m_compileFailed = -1;
    if (++m_errorCount > kMaxReportedErrors)
        return;
    m_errorMessages += message + u'\n';
    if (tokenIndex >= 0)
        m_errorLines += Excerpt(tokenIndex) + u'\n';
}

QString CScriptEngine::Excerpt(int tokenIndex) const
{
    if (!m_source || m_tokens.empty())
        return QString();
    const QString& text = *m_source;
    const int index = std::clamp(tokenIndex, 0, int(m_tokens.size()) - 1);
    const qsizetype end = std::clamp<qsizetype>(Token(index).m_start, 0, text.size());
    const qsizetype lineStart = end > 0 ? text.lastIndexOf(u'\n', end - 1) + 1 : 0;
    QString excerpt = text.mid(lineStart, end - lineStart);
    excerpt.remove(u'\r');
    if (excerpt.size() > kMaxExcerpt)
        excerpt = QStringLiteral("...") + excerpt.right(kMaxExcerpt);
    return excerpt;
}

CScriptStatement& CScriptEngine::AddStatement(int kind)
{
    m_statements.push_back(std::make_unique<CScriptStatement>());
    m_statements.back()->m_kind = kind;
    return *m_statements.back();
}

CScriptSymbol* CScriptEngine::LookUpSymbol(const QString& name, int type, CScriptSymbol** existing)
{
    auto it = m_symbols.find(name);
    if (it != m_symbols.end()) {
        if (existing)
            *existing = it->second.get();
        return it->second->m_type == type ? it->second.get() : nullptr;
    }
    auto symbol = std::make_unique<CScriptSymbol>();
    symbol->m_name = name;
    symbol->m_type = type;
    CScriptSymbol* raw = symbol.get();
    m_symbols.emplace(name, std::move(symbol));
    if (existing)
        *existing = raw;
    return raw;
}

const CScriptSymbol* CScriptEngine::FindSymbol(const QString& name) const
{
    const auto it = m_symbols.find(name);
    return it == m_symbols.end() ? nullptr : it->second.get();
}

BOOL CScriptEngine::Compile(const QString& text)
{
    Clear();
    m_source = &text;
    struct SourceReset
    {
        const QString*& source;
        ~SourceReset() { source = nullptr; }
    } sourceReset{m_source};

    if (text.isEmpty()) {
        ReportError(QStringLiteral("No source code found"), -1);
        return FALSE;
    }
    if (text.size() > kMaxScriptLength) {
        ReportError(QStringLiteral("Script too long"), -1);
        return FALSE;
    }

    // Tokenise the whole text.
    qsizetype pos = 0;
    for (;;) {
        auto token = std::make_unique<CScriptToken>();
        const int tokenClass = ReadScriptToken(text, pos, *token);
        m_tokens.push_back(std::move(token));
        if (tokenClass == SCRIPT_REJECTED) {
            ReportError(QStringLiteral("Invalid input"), int(m_tokens.size()) - 1);
            return FALSE;
        }
        if (tokenClass == SCRIPT_END_OF_TEXT)
            break;
    }

    // Compile statement by statement.
    const int count = int(m_tokens.size());
    int index = 0;
    while (index < count) {
        int next = -1;
        switch (Token(index).m_class) {
        case SCRIPT_FOR:
            next = CompileFor(index);
            break;
        case SCRIPT_NEXT:
            next = CompileNext(index);
            break;
        case SCRIPT_IF:
            next = CompileIf(index);
            break;
        case SCRIPT_ELSE:
            next = CompileElse(index);
            break;
        case SCRIPT_ENDIF:
            next = CompileEndIf(index);
            break;
        case SCRIPT_GOTO:
            next = CompileGoto(index);
            break;
        case SCRIPT_RETURN:
            next = CompileReturn(index);
            break;
        case SCRIPT_NAME:
            next = CompileAssignment(index);
            break;
        case SCRIPT_LABEL:
            next = CompileLabel(index);
            break;
        case SCRIPT_END_OF_LINE:
        case SCRIPT_END_OF_TEXT:
            next = index + 1;
            break;
        default:
            ReportError(QStringLiteral("Invalid statement"), index);
            break;
        }
        if (next < 0)
            return FALSE;
        if (next <= index) { // every statement moves on; guards the walk
            ReportError(QStringLiteral("Invalid statement"), index);
            return FALSE;
        }
        index = next;
    }

    if (m_statements.empty()) {
        ReportError(QStringLiteral("No source code found"), -1);
        return FALSE;
    }
    CloseChecks();
    return m_compileFailed == 0 ? TRUE : FALSE;
}

void CScriptEngine::CloseChecks()
{
    const int count = StatementCount();
    const int lastKind = m_statements.back()->m_kind;
    if (lastKind != SCRIPT_RETURN_STATEMENT && lastKind != SCRIPT_JUMP) {
        ReportError(QStringLiteral("Script must end with RETURN or GOTO"), -1);
        return;
    }
    bool hasReturn = false;
    for (const auto& statement : m_statements)
        hasReturn = hasReturn || statement->m_kind == SCRIPT_RETURN_STATEMENT;
    if (!hasReturn) {
        ReportError(QStringLiteral("Script must have a RETURN statement"), -1);
        return;
    }
    for (const auto& statement : m_statements) {
        if (statement->m_kind != SCRIPT_JUMP || statement->m_target1 >= 0 ||
            statement->m_labelName.isEmpty())
            continue;
        const CScriptSymbol* label = FindSymbol(statement->m_labelName);
        if (!label || label->m_type != SCRIPT_TYPE_LABEL) {
            ReportError(QStringLiteral("Cannot find label - ") + statement->m_labelName, -1);
            return;
        }
        statement->m_target1 = label->m_intValue;
    }
    if (m_openIf >= 0) {
        ReportError(QStringLiteral("IF statement incomplete - no ENDIF found"), m_openIfThen);
        return;
    }
    for (const auto& statement : m_statements) {
        if (statement->m_kind != SCRIPT_IF_STATEMENT)
            continue;
        if (statement->m_target1 < 0 || statement->m_target1 >= count || statement->m_target2 < 0 ||
            statement->m_target2 >= count) {
            ReportError(QStringLiteral("IF statement branch out of range"), -1);
            return;
        }
    }
    if (!m_forStack.empty())
        ReportError(QStringLiteral("FOR loop does not nave NEXT statement"),
                    m_forStack.back().tokenIndex);
}

QString CScriptEngine::GetErrorText() const
{
    if (m_errorLines.isEmpty())
        return m_errorMessages;
    return m_errorMessages + u'\n' + m_errorLines;
}

int CScriptEngine::GetInputs(QStringList& names, std::vector<int>& types) const
{
    names.clear();
    types.clear();
    for (const auto& [key, symbol] : m_symbols) {
        if (!symbol->m_input || symbol->m_type == SCRIPT_TYPE_LABEL)
            continue;
        QString name = symbol->m_name;
        if (name.endsWith(u'$') || name.endsWith(u'#'))
            name.chop(1);
        names.append(name);
        types.push_back(symbol->m_type);
    }
    return int(names.size());
}

void CScriptEngine::SetInput(const QString& name, int type, const QString& value)
{
    QString key = name.toUpper();
    if (type == SCRIPT_TYPE_STRING)
        key += u'$';
    else if (type == SCRIPT_TYPE_FLOAT)
        key += u'#';
    else if (type != SCRIPT_TYPE_INTEGER)
        return;
    const auto it = m_symbols.find(key);
    if (it == m_symbols.end() || it->second->m_type != type)
        return;
    CScriptSymbol& symbol = *it->second;
    if (type == SCRIPT_TYPE_INTEGER)
        symbol.m_intValue = ScriptDecimal(value);
    else if (type == SCRIPT_TYPE_FLOAT)
        symbol.m_floatValue = ScriptFloat(value);
    else
        symbol.m_valueText = value;
}

void CScriptEngine::Run()
{
    m_result.clear();
    m_runError.clear();
    for (auto& [key, symbol] : m_symbols) {
        if (symbol->m_input || symbol->m_type == SCRIPT_TYPE_LABEL)
            continue;
        symbol->m_intValue = 0;
        symbol->m_floatValue = 0.0;
        symbol->m_valueText.clear();
    }
    ScriptRunState run;
    const int count = StatementCount();
    int index = 0;
    int last = -1;
    while (index >= 0 && index < count) {
        if (!run.Spend(1))
            break;
        const int next = m_statements[std::size_t(index)]->Execute(index, run);
        if (run.stopped)
            break;
        last = index;
        index = next;
    }
    if (run.stopped) {
        m_runError = run.error;
        return;
    }
    if (last >= 0)
        m_result = m_statements[std::size_t(last)]->m_result;
}

QString CScriptEngine::GetResult() const
{
    return m_result;
}

QString CScriptEngine::GetRunError() const
{
    return m_runError;
}
