// The option list's pages: how the list is made (typed or from a
// database), the typed options, whether each option prints a separate
// data text, the options with their data, and the database list.
#pragma once

#include "VariableSheet.h"

#include <functional>

class COptionList;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class COptionListPage1 : public CVariablePage
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 214;
    COptionListPage1(COptionList& variable, QWidget* parent = nullptr);
    bool Leave() override;
    int NextPage(int ownIndex) const override;

    QRadioButton* TypedButton() const { return m_typed; }
    QRadioButton* DatabaseButton() const { return m_database; }

    // Connects the list's own link to a database table: the sign's database
    // (linked first through the connection wizard when it has none, or
    // linked anew with change); installed by the designer's frame. Without
    // it no database can be chosen.
    static std::function<bool(QWidget* parent, COptionList& list, bool change)> s_connect;

private:
    COptionList& m_variable;
    QRadioButton* m_typed = nullptr;
    QRadioButton* m_database = nullptr;
};

// The typed options (dialog 215), or the options with their data texts
// (dialog 298).
class COptionListPage2 : public CVariablePage
{
    Q_OBJECT

public:
    COptionListPage2(COptionList& variable, bool withData, QWidget* parent = nullptr);
    void Enter() override;
    bool Leave() override;
    int NextPage(int ownIndex) const override { return m_withData ? -1 : ownIndex + 1; }

    QLineEdit* OptionEdit() const { return m_option; }
    QLineEdit* DataEdit() const { return m_data; }
    QLineEdit* PromptEdit() const { return m_prompt; }
    QTreeWidget* List() const { return m_list; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* UpdateButton() const { return m_update; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* SortButton() const { return m_sort; }
    // Top, up, down, bottom.
    QPushButton* MoveButton(int which) const { return m_move[which]; }

    QStringList Options() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill(const QStringList& options, const QStringList& data);
    bool InList(const QString& text) const;
    void OnTextEdited();
    void OnAdd();
    void OnUpdate();
    void OnRemove();
    void OnSort();
    void OnClicked();
    void Move(int which);

    COptionList& m_variable;
    bool m_withData;
    QLineEdit* m_option = nullptr;
    QLineEdit* m_data = nullptr;
    QLineEdit* m_prompt = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_sort = nullptr;
    QPushButton* m_move[4] = {};
};

class COptionListPage3 : public CVariablePage
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 216;
    COptionListPage3(COptionList& variable, QWidget* parent = nullptr);
    bool Leave() override;
    int NextPage(int ownIndex) const override;

    QRadioButton* NormalButton() const { return m_normal; }
    QRadioButton* SeparateButton() const { return m_separate; }

private:
    COptionList& m_variable;
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_separate = nullptr;
};

class COptionListPage5 : public CVariablePage
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 300;
    COptionListPage5(COptionList& variable, QWidget* parent = nullptr);
    void Enter() override;
    bool Leave() override;
    int NextPage(int) const override { return -1; }

    QComboBox* KeyCombo() const { return m_key; }
    QPushButton* ChangeButton() const { return m_change; }
    QComboBox* SelectionCombo() const { return m_selection; }
    QCheckBox* SeparateCheck() const { return m_separate; }
    QComboBox* DataCombo() const { return m_dataField; }
    QLineEdit* PromptEdit() const { return m_prompt; }

private:
    COptionList& m_variable;
    QLabel* m_file = nullptr;
    QLabel* m_type = nullptr;
    QLabel* m_table = nullptr;
    QComboBox* m_key = nullptr;
    QPushButton* m_change = nullptr;
    QComboBox* m_selection = nullptr;
    QCheckBox* m_separate = nullptr;
    QComboBox* m_dataField = nullptr;
    QLineEdit* m_prompt = nullptr;
};

// The wizard for a new option list, or its one-page property sheet.
bool RunOptionListSheet(QWidget* parent, COptionList& working, bool isNew);
