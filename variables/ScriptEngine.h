// One compiled macro script: a small line-oriented BASIC-like program that
// turns a few input texts into one result text. Compile once, then for each
// use set the inputs, run and take the result.
#pragma once

#include "ScriptStatement.h"
#include "ScriptSymbol.h"
#include "ScriptToken.h"
#include "Types.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class CScriptEngine
{
public:
    CScriptEngine();
    virtual ~CScriptEngine();
    CScriptEngine(const CScriptEngine&) = delete;
    CScriptEngine& operator=(const CScriptEngine&) = delete;

    // Compiles the text from scratch; FALSE when any error was reported.
    BOOL Compile(const QString& text);
    // The error messages, and after a blank line the line excerpts.
    QString GetErrorText() const;
    // Names (without "$" or "#") and types (37, 39, 40) of the inputs: the
    // names the script reads and never assigns. Returns the count.
    int GetInputs(QStringList& names, std::vector<int>& types) const;
    // Sets the value of the input of that name and type; ignored when the
    // script has no such input.
    void SetInput(const QString& name, int type, const QString& value);
    // Runs the statements compiled so far.
    void Run();
    QString GetResult() const;
    // Why the last run was stopped (too many steps, too long a text); empty
    // when it ran to its end.
    QString GetRunError() const;

    // The longest script text that is compiled.
    static constexpr qsizetype kMaxScriptLength = 500'000;
    // How deeply function calls may nest inside one another.
    static constexpr int kMaxCallDepth = 64;

    // --- read by the tests ----------------------------------------------------
    const std::vector<std::unique_ptr<CScriptToken>>& Tokens() const { return m_tokens; }
    const std::vector<std::unique_ptr<CScriptStatement>>& Statements() const
    {
        return m_statements;
    }
    const CScriptSymbol* FindSymbol(const QString& name) const;

private:
    struct OpenFor
    {
        int tokenIndex;
        CScriptSymbol* counter;
        int testIndex;
        std::shared_ptr<CScriptExpression> step;
    };
    // How a parse went.
    enum ParseOutcome
    {
        PARSE_OK,
        PARSE_FAILED,
        PARSE_WRONG_TYPE,
    };

    void Clear();
    void ReportError(const QString& message, int tokenIndex);
    QString Excerpt(int tokenIndex) const;
    CScriptToken& Token(int index) const { return *m_tokens[std::size_t(index)]; }
    int StatementCount() const { return int(m_statements.size()); }
    CScriptStatement& AddStatement(int kind);
    // Looks up or creates the symbol of the name with the type; nullptr
    // when the name is already a symbol of another type.
    CScriptSymbol* LookUpSymbol(const QString& name, int type, CScriptSymbol** existing = nullptr);

    // Statement compilers: each returns the index of the token that starts
    // the next statement, or -1 after reporting an error.
    int CompileAssignment(int index);
    int CompileLabel(int index);
    int CompileGoto(int index);
    int CompileIf(int index);
    int CompileElse(int index);
    int CompileEndIf(int index);
    int CompileFor(int index);
    int CompileNext(int index);
    int CompileReturn(int index);
    void CloseChecks();

    // The token that ends the expression starting at first, or -1.
    int FindExpressionEnd(int first) const;
    // Parses tokens [first, end) into a postfix expression.
    ParseOutcome ParseExpression(int first, int end, int depth,
                                 std::unique_ptr<CScriptExpression>& result);
    // Parses a function call whose name is at index; end bounds it. Returns
    // the index behind its ")" or -1.
    int ParseCall(int index, int end, int depth);

    QString m_result;
    std::vector<OpenFor> m_forStack;
    const QString* m_source = nullptr;
    int m_compileFailed = 0;
    QString m_errorLines;
    QString m_errorMessages;
    int m_errorCount = 0;
    std::vector<std::unique_ptr<CScriptToken>> m_tokens;
    // Tokens the compiler adds (the step 1 of a FOR without STEP).
    std::vector<std::unique_ptr<CScriptToken>> m_extraTokens;
    std::vector<std::unique_ptr<CScriptStatement>> m_statements;
    std::map<QString, std::unique_ptr<CScriptSymbol>> m_symbols;
    int m_openIf = -1;
    int m_pendingElse = -1;
    int m_openIfThen = -1;
    QString m_runError;
};
