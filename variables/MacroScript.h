// The macro script variable: produces its value by running a named macro
// script over inputs that come from other variables and from elements.
#pragma once

#include "ScriptEngine.h"
#include "Variable.h"

#include <QStringList>

#include <functional>
#include <vector>

class CMacroScript : public CVariable
{
    DECLARE_PERSISTENT(CMacroScript)

public:
    CMacroScript();
    // Takes the name, compiles the store's text of that name and resolves
    // its inputs.
    explicit CMacroScript(const QString& scriptName);
    // Copies the fields and the inputs; the engine is compiled afresh from
    // the store.
    CMacroScript(const CMacroScript& other);
    CMacroScript& operator=(const CMacroScript& other);
    ~CMacroScript() override;

    static CVariable* Make() { return new CMacroScript; }

    // After the common record: script name, script text, input names and
    // types, source names and kinds. Loading reconciles the text with the
    // store (asking when the store holds another text under the name) and
    // compiles the text in use; Cancel abandons the load.
    void Serialize(CArchive& ar) override;

    int GetTypeCode() const override;
    // The editor page on a new macro script of this variable's name; Finish
    // copies it here. TRUE on Finish.
    BOOL DoNewDialog(QWidget* parent) override;
    // The editor page on a copy; OK copies it back. TRUE on OK.
    BOOL DoEditDialog(QWidget* parent) override;
    // The macro script dialogs, installed by the user interface: edits the
    // working copy (as a wizard when isNew) and answers whether the user
    // finished it. Without them the dialogs act as if cancelled.
    static std::function<bool(QWidget* parent, CMacroScript& working, bool isNew)> s_dialog;

    // The script name: a source of the macro kind names the script.
    QString GetName() const override;
    QString GetTypeName() const override;
    // Resolves each input of the script to a variable (by name, the first
    // type code from 11 to 17 that has one) or an element, keeping earlier
    // resolutions of inputs of the same name; appends each (kind, name)
    // once. Returns the number of entries in the caller's arrays.
    int GetDataSources(std::vector<int>& kinds, QStringList& names) override;
    void SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                        BOOL refresh) override;
    // Runs the script when an input changed since the last run.
    QString GetValue() override;
    void ResetValue() override;
    void WriteXml(CTextExportFile& file) override;

    // Compiles the store's text of the script name.
    void CompileFromStore();
    const CScriptEngine& Engine() const { return m_engine; }

    // Lets the data-path map pass the value of a script without inputs on to
    // its dependants; installed by the data-path map.
    static std::function<void(CVariable& variable)> s_propagateValue;

    QString m_scriptName;
    // Parallel arrays: the script's inputs and where each comes from (kind
    // -1 when it could not be resolved).
    std::vector<int> m_inputTypes;
    QStringList m_inputNames;
    std::vector<int> m_sourceKinds;
    QStringList m_sourceNames;
    bool m_needsRun = false;

protected:
    // Loading found another text in the store under the script name than
    // the one the sign carries: asks whether the sign's text replaces it (No
    // keeps the store's; Cancel abandons the load).
    virtual void ResolveScriptClash(const QString& loadedText);

    CScriptEngine m_engine;
    // Set once a stopped run has been reported, until the next reset.
    bool m_runErrorShown = false;
};
