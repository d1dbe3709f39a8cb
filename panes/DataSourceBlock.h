// Where an element's data comes from: the kind of source (1000), the name
// of the variable, field, script or element that feeds it (1001) with
// "Read Only" (1091), "Edit..." (1004) and "New..." (1137), the prompt
// (1072) and the data-entry checks (1259, 1263, 1265). One block, bound to
// the element it edits, serves every pane that shows a data source.
#pragma once

#include "PaneBlock.h"

class CVariable;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CDataSourceBlock : public CPaneBlock
{
    Q_OBJECT

public:
    // withCombination: the kinds offer "Combination" too. The edits'
    // begin yields the element while the pane takes edits (a change of
    // source keeps no Undo step); modified marks the sign modified.
    // linkDatabase runs the connection wizard over the sign's link and is
    // true once the sign is linked to a database.
    CDataSourceBlock(bool withCombination, Edits edits, std::function<bool()> linkDatabase,
                     QWidget* parent);

    // Binds the block to its element and shows the element's source.
    void Bind(CElement* element);

private:
    // The bound element while the block takes edits, else null.
    CElement* Editable() const;
    void Load(CElement* element);
    void Enable(int kind);
    void SelectKind(int kind);
    // Fills the Name list for a source kind and selects the element's
    // source; for a database, a field the source lacks is kept in the list
    // unless keepUnknownField is false (a name left from another kind).
    void FillNames(int kind, CElement* element, bool keepUnknownField = true);
    void RefreshDataPath(CElement* element);
    // The element stops running the macro script variable of that name: the
    // variable goes once nothing but this element depends on it.
    void ReleaseMacroVariable(CElement* element, const QString& name);
    // A variable of the kind, named like the element, made through its
    // new-variable dialog; nothing (and no variable left) when cancelled.
    CVariable* NewVariable(int kind, CElement* element);

    void OnType(int index);
    void OnName(int index);
    void OnChecks(QObject* check);
    void OnEdit();
    void OnNew();

    std::function<bool()> m_linkDatabase;

    QComboBox* m_type = nullptr;
    QLabel* m_nameLabel = nullptr;
    QComboBox* m_name = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_create = nullptr;
    QLabel* m_promptLabel = nullptr;
    QLineEdit* m_prompt = nullptr;
    QCheckBox* m_startOnly = nullptr;
    QCheckBox* m_mustEnter = nullptr;
    QCheckBox* m_useSample = nullptr;
    QCheckBox* m_readOnly = nullptr;
    int m_appliedKind = SOURCE_FIXED;
};
