// The sign's one list of variables: it owns them, makes new ones by type
// code, finds them by type and name, and walks them through a data-entry
// print run.
#pragma once

#include "Variable.h"

#include <QStringList>
#include <functional>
#include <vector>

class CVariableList : public CObject
{
    DECLARE_PERSISTENT(CVariableList)

public:
    using Creator = CVariable* (*)();

    CVariableList();
    ~CVariableList() override;
    CVariableList(const CVariableList&) = delete;
    CVariableList& operator=(const CVariableList&) = delete;

    // The factory of the variable kinds: each kind registers how to make a
    // new object of its type code (11 to 17). Returns the creator that was
    // registered before, so that a caller can put it back; a null creator
    // unregisters. Codes outside 11 to 17 are ignored.
    static Creator RegisterVariableType(int typeCode, Creator create);

    // Removes a combination's generated script from the macro script store;
    // the combination kind installs it.
    static std::function<void(CVariable& combination)> s_removeGeneratedScript;

    // A new variable of the type code, appended at the tail and given the
    // name; null for a code that no kind has registered. Out of memory is
    // reported to the user and gives null.
    CVariable* CreateVariable(int typeCode, const QString& name);
    // Appends at the tail and takes ownership. FALSE for null, for a
    // variable already in the list and when memory runs out (reported).
    BOOL AddVariable(CVariable* variable);
    // Unlinks and deletes the variable; FALSE, and nothing deleted, when it
    // is not in the list.
    BOOL RemoveVariable(CVariable* variable);
    // Removes and deletes every variable, head first.
    void DeleteAll();

    // The first variable in list order of the type code whose name equals
    // the given one, letters A-Z compared without regard to case.
    CVariable* FindVariable(int typeCode, const QString& name) const;
    int CountOfType(int typeCode) const;
    // The progress steps that writing or reading the list takes.
    int GetItemCount() const;
    // Fills items with the names of the variables of the type code, in list
    // order, and sets selected to the first item that begins with the name
    // (case ignored), else the first item; -1 when there are none. Returns
    // the number of items.
    int FillComboBox(QStringList& items, int& selected, int typeCode, const QString& name) const;

    BOOL HasOptionList() const;
    // Whether a date/time stamp takes an input typed at data entry.
    BOOL HasKeyboardDateTime() const;
    // Whether a variable takes an input from a database field; with a field
    // name, from that field (case ignored).
    BOOL HasDatabaseSource(const QString* fieldName = nullptr) const;
    void BreakDatabaseLinks();

    // The data-entry print run, in this order: ResetValues when data entry
    // starts; for each sign UpdateForPrint (stop on FALSE), print,
    // AdvanceAfterPrint; at the end EndPrintRun, then ResetValues.
    void ResetValues();
    // Asks only the variables that feed something in the data-path map;
    // FALSE at the first that refuses, without asking the rest.
    BOOL UpdateForPrint();
    void AdvanceAfterPrint();
    void EndPrintRun();
    // A print job begins; the job was cancelled or failed, so what it
    // printed never reached the page and the variables go back to where
    // they stood when it began.
    void BeginPrintJob();
    void DiscardPrintJob();

    // Removes the generated scripts of the combinations from the store.
    void RemoveCombinationScripts();
    // Takes every variable that feeds nothing out of the data-path map and
    // deletes it, until every variable left feeds something. Without a
    // data-path map nothing can be judged and nothing is removed.
    void RemoveUnusedVariables();

    // Count, then each variable with its class tag. Loading appends what it
    // reads (the document's reset empties the list first); signs before
    // file version 110 hold no list. On an archive error the variables read
    // so far stay in the list, which owns them.
    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file);

    int GetCount() const { return static_cast<int>(m_variables.size()); }
    bool IsEmpty() const { return m_variables.empty(); }
    CVariable* GetAt(int position) const { return m_variables[static_cast<std::size_t>(position)]; }
    int Find(const CVariable* variable) const; // list position, or -1
    BOOL Contains(const CVariable* variable) const { return Find(variable) >= 0; }
    const std::vector<CVariable*>& Variables() const { return m_variables; }
    auto begin() const { return m_variables.begin(); }
    auto end() const { return m_variables.end(); }

private:
    std::vector<CVariable*> m_variables;
};

// The sign's variable list.
CVariableList& TheVariableList();

// The index of the first item that begins with the prefix, case ignored, as
// a combo box's select-string search finds it; -1 when none does.
int FindStringPrefix(const QStringList& items, const QString& prefix);
