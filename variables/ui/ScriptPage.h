// The script editor page: the user writes a macro script, names it, inserts
// language items from the catalogue, tests it and saves it into the store.
// It is the one page of the macro script variable's dialogs.
#pragma once

#include <QStringList>
#include <QWidget>

class CMacroScript;
class CScriptStore;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Empties the combo box and, when the store has scripts, adds every name and
// selects the first that begins with the given name (ignoring case), or the
// first. Returns the number of scripts.
int FillScriptCombo(const CScriptStore& store, QComboBox* combo, const QString& select);

class CScriptPage1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 272;
    // One entry of the language catalogue.
    struct Item;

    // Works on the caller's variable: a variable without a script name
    // makes a new script, one with a name edits that script. The element
    // names are those of the sign's data-linked elements; without any the
    // "Variables" group is not offered.
    CScriptPage1(CMacroScript& variable, const QStringList& linkedElements,
                 QWidget* parent = nullptr);

    // Whether the page may be left: when the script has unsaved changes the
    // user is asked, and Yes leaves only when the save succeeds.
    bool CanLeave();
    bool IsSaved() const { return m_saved; }

    QComboBox* NameCombo() const { return m_name; }
    QPlainTextEdit* Editor() const { return m_editor; }
    QListWidget* GroupList() const { return m_groups; }
    QListWidget* SubGroupList() const { return m_subGroups; }
    QListWidget* ItemList() const { return m_items; }
    QLabel* Description() const { return m_description; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* InsertButton() const { return m_insert; }
    QPushButton* TestButton() const { return m_test; }
    QPushButton* UndoButton() const { return m_undo; }

    // Compiles and stores the script under the typed name; false, after
    // saying why, when it does not compile or the name is refused.
    bool Save();

private:
    void OnGroupChanged();
    void OnSubGroupChanged();
    void OnItemChanged();
    void OnInsert();
    void OnTest();
    void OnTextChanged();
    void OnNameEdited();
    void OnNameChosen(int index);
    void OnSelectionChanged();
    void UpdateSave();
    // The catalogue entry of the current item, or null for a "Variables" item.
    const Item* CurrentCatalogueItem() const;

    CMacroScript& m_variable;
    QStringList m_linked;
    bool m_newScript = true;
    bool m_saved = false;
    bool m_widening = false;
    QComboBox* m_name = nullptr;
    QPushButton* m_save = nullptr;
    QListWidget* m_groups = nullptr;
    QListWidget* m_subGroups = nullptr;
    QListWidget* m_items = nullptr;
    QLabel* m_description = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_undo = nullptr;
    QPlainTextEdit* m_editor = nullptr;
};
