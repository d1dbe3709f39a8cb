// "GS1 Barcode Data": edits the application identifier entries of a GS1
// data variable (a working copy the caller takes over on OK), and "GS1
// Application Identifiers", which picks the identifier of a new entry from
// the table.
#pragma once

#include "UccEanData.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

class CGS1AISelectDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 353;

    explicit CGS1AISelectDlg(QWidget* parent = nullptr);

    // The identifier chosen, -1 before a row is clicked.
    int ChosenAI() const { return m_chosen; }
    QTreeWidget* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QTreeWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    int m_chosen = -1;
};

class CUccEanDataDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 354;

    // forcedAI 1 keeps the data a GTIN alone (one entry, nothing added or
    // deleted); -1 leaves the list to the user.
    CUccEanDataDlg(CUccSubStringArray& entries, int forcedAI, QWidget* parent = nullptr);

    // Refuses a decimal-point digit outside 0..6 and a list without
    // entries.
    void accept() override;

    QTreeWidget* List() const { return m_list; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* DeleteButton() const { return m_delete; }
    QPushButton* UpButton() const { return m_up; }
    QPushButton* DownButton() const { return m_down; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* NameCombo() const { return m_name; }
    QLineEdit* SampleEdit() const { return m_sample; }
    QLineEdit* DecimalsEdit() const { return m_decimals; }
    QLineEdit* PrefixEdit() const { return m_prefix; }
    QLineEdit* SuffixEdit() const { return m_suffix; }
    QCheckBox* CheckDigitBox() const { return m_check; }

    // Adds an entry for the identifier as "Add..." does.
    void AddEntry(int ai);

private:
    CUccSubString* Current();
    void ShowEntry();
    void UpdateControls();
    void RefillList(int select);
    void OnAdd();
    void OnDelete();
    void OnMove(int by);
    void OnType(int index);
    void OnName(int index);

    CUccSubStringArray& m_entries;
    int m_forcedAI = -1;
    bool m_initialised = false;
    bool m_loading = false;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_name = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_promptLabel = nullptr;
    QLineEdit* m_prompt = nullptr;
    QLineEdit* m_sample = nullptr;
    QLabel* m_decimalsLabel = nullptr;
    QLineEdit* m_decimals = nullptr;
    QLabel* m_format = nullptr;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_suffix = nullptr;
    QCheckBox* m_check = nullptr;
};

// Installs the dialog as the GS1 data variable's.
void InstallGS1DataDialogs();
