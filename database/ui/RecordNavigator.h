// The record navigator: the bar of the data-entry pane that walks the
// records of the sign's database link or data store. It moves to the first,
// previous, next or last record or to a typed record number, sorts by the
// chosen field, searches that field by its leading characters while the user
// types, applies a saved filter, prints one sign per record and, for a data
// store, saves the typed data set as a record or deletes the current one.
//
// Every condition it builds quotes the field name and the typed text with
// the link's own delimiters (CDatabaseLink::StartsWithCondition), so a typed
// quote or wildcard is searched for as it stands and never ends the text
// early.
//
// The pane that hosts the bar tells it, through CNavigatorHost, how to take
// a record into its rows and how to reach the print bar; every callback may
// be left empty.
#pragma once

#include "DatabaseLink.h"

#include <QComboBox>
#include <QFrame>
#include <QString>

#include <functional>

class CObject;
class QLabel;
class QLineEdit;
class QTimer;
class CPictureButton;
class QPushButton;

// What the data-entry pane does for the navigator.
struct CNavigatorHost
{
    // The navigator moved to another record and delivered its fields to the
    // elements and variables that take them: the rows show it.
    std::function<void()> recordChanged;
    // Leave data entry when no print run is in progress (Escape).
    std::function<void()> leaveDataEntryIfIdle;
    // The print bar's Print (Ctrl+P).
    std::function<void()> print;
    // Print All over an external database: one sign per record of the
    // link. A data store's records are printed by the bar itself, pressing
    // print once per record.
    std::function<void()> printAll;
    // Whether the last print printed nothing (a sign's data was refused or
    // printing failed); a data store's Print All stops there.
    std::function<bool()> printFailed;
    // Sets the print bar's Identical Copies from a stored copy quantity.
    std::function<void(const QString& copies)> setCopies;
    // The print bar's Identical Copies text, stored with a data set when the
    // store keeps copy quantities.
    std::function<QString()> copiesText;
    // Put the focus on the row of that element or variable (null: the first
    // row).
    std::function<void(CObject* owner)> focusRow;
    // The data store lost its last record: the keyboard rows show the
    // elements' own data again. Unset, every keyboard element is given its
    // own data text back.
    std::function<void()> resetKeyboardRows;
};

// The Data combo: editable, filled with the values around the current
// record just before its list drops down.
class CNavigatorDataCombo : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
signals:
    void aboutToDropDown();
};

class CRecordNavigator : public QFrame
{
    Q_OBJECT
public:
    enum
    {
        IDD = 227,
        IDC_FIRST = 32830,
        IDC_PREVIOUS = 32831,
        IDC_NUMBER = 1116,
        IDC_NEXT = 32832,
        IDC_LAST = 32833,
        IDC_COUNT = 1315,
        IDC_FIELD = 1129,
        IDC_DATA = 1312,
        IDC_FILTER = 1348,
        IDC_FILTER_BUTTON = 32773,
        IDC_SAVE = 32879,
        IDC_DELETE = 32880,
        IDC_PRINT_ALL = 32875,
        ID_PRINT = 32807,
    };
    // The delay of the type-ahead search after the last key.
    static constexpr int kSearchDelay = 750;
    // How many values the Data combo's list shows around the current record.
    static constexpr int kValueWindow = 51;

    // Opens the link's recordset on the whole table or view and shows its
    // first record.
    CRecordNavigator(CDatabaseLink& link, CNavigatorHost host, QWidget* parent = nullptr);
    // Closes the recordset.
    ~CRecordNavigator() override;

    // After a print run: the key field again, the whole table or view, and
    // every text and state shown anew.
    void Refresh();

    // What the bar shows.
    bool IsNewDataSet() const { return m_newDataSet; }
    const QString& CurrentField() const { return m_field; }
    bool IsSearchPending() const;
    CDatabaseLink& Link() { return m_link; }

    // The saved filters, supplied by the filter library: their names and
    // the condition of one (a null text when there is none of that name).
    static std::function<QStringList()> s_savedFilterNames;
    static std::function<QString(const QString& name)> s_savedFilterCondition;
    // The advanced filter sheet: TRUE when it applied a filter to the link.
    static std::function<bool(QWidget* parent, CDatabaseLink& link)> s_advancedFilter;

    // The commands of the bar, as its buttons run them.
    void OnFirst();
    void OnPrevious();
    void OnNext();
    void OnLast();
    void OnFilterButton();
    void OnSave();
    void OnDelete();
    void OnPrintAll();
    // Runs a pending type-ahead search now.
    void RunSearch();

    // The current record's fields reach the elements and variables fed by
    // them: by field name from an external database, by column name (the
    // element's or variable's own) from a data store.
    static void DeliverCurrentRecord(CDatabaseLink& link);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void InitialState();
    bool IsStore() const;
    QString KeyField();
    void RecordChanged();
    void UpdateNumber();
    void UpdateCount();
    void UpdateValue();
    void UpdateEnabling();
    void UpdateAll();
    void FillFieldCombo();
    void SelectField(const QString& name);
    void FillFilterCombo();
    void OnNumberEdited(const QString& text);
    void OnFieldChosen(int index);
    void OnDataEdited();
    void OnDataDropDown();
    void OnDataChosen(int index);
    void OnFilterChosen(int index);
    void ResetKeyboardRows();
    void PrintStoredDataSets();

    CDatabaseLink& m_link;
    CNavigatorHost m_host;
    QString m_field;
    bool m_newDataSet = false;
    bool m_filling = false;

    CPictureButton* m_first = nullptr;
    CPictureButton* m_previous = nullptr;
    QLineEdit* m_number = nullptr;
    CPictureButton* m_next = nullptr;
    CPictureButton* m_last = nullptr;
    QLabel* m_count = nullptr;
    QComboBox* m_fields = nullptr;
    CNavigatorDataCombo* m_data = nullptr;
    QComboBox* m_filters = nullptr;
    QPushButton* m_filterButton = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    CPictureButton* m_printAll = nullptr;
    QTimer* m_searchTimer = nullptr;
};
