// The data-entry panel: one row of controls for every element and variable
// whose value is typed or chosen while the sign is printed, in data-entry
// order. Typing delivers the value through the data-path map at once and
// lays the elements that depend on it out again a second after the last key
// (or when the row loses the focus).
#pragma once

#include "Types.h"

#include <QString>
#include <QWidget>

#include <vector>

class CObject;
class CElement;
class CVariable;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// One row of the panel. The controls belong to the panel; any may be absent.
struct CDataEntryField
{
    // Element type code 0..10, or variable type code 11..17.
    int kind = 0;
    CObject* owner = nullptr;
    // Grows to the right and bottom edges of every control of the row.
    CRect rect;
    QLabel* label = nullptr;
    // A single-line edit, or a multi-line one (exactly one of them, or none).
    QLineEdit* edit = nullptr;
    QPlainTextEdit* textEdit = nullptr;
    QPushButton* button1 = nullptr; // "Select..."
    QPushButton* button2 = nullptr; // "Clear"
    QPushButton* more = nullptr;    // ">" beside a multi-line edit
    QComboBox* combo = nullptr;
    // Which input of a variable the row feeds: empty, "start" or "limit",
    // "source0" or "source1".
    QString partName;
    int entryIndex = 0;
    // A typed value has been delivered without re-layout; the timer runs.
    bool pending = false;
    QTimer* timer = nullptr;

    bool IsElement() const { return kind >= 0 && kind <= 10; }
    CElement* Element() const;
    CVariable* Variable() const;
};

class CDataCtrl : public QWidget
{
    Q_OBJECT

public:
    enum
    {
        IDD = 148
    };
    // The re-layout after the last key.
    static constexpr int kRefreshMs = 1000;

    explicit CDataCtrl(QWidget* parent = nullptr);
    ~CDataCtrl() override;

    // Makes the rows again from the element and variable lists and the
    // data-path map: data-entry elements in list order, then the variables
    // that feed something and take a typed input, sorted by entry index
    // (rows of equal index keep their order).
    void BuildRows();
    int RowCount() const { return int(m_fields.size()); }
    const CDataEntryField& Row(int i) const { return m_fields[size_t(i)]; }
    // The row that feeds the owner's part (first match), or -1.
    int FindRow(const CObject* owner, const QString& partName = QString()) const;

    // Every row shows its owner's current data; all rows enabled; the focus
    // goes to the first row that takes it.
    void LoadValues();
    // The current record's fields have reached the sign: the rows fed by a
    // database field show them, and with a data store the typed rows too.
    void LoadRecord();
    // After each printed sign: a must-enter keyboard row is emptied (with its
    // element), and each row is enabled as the data-path map allows.
    void ResetFields();
    void SetFocusToFirstField();
    // Delivers every pending typed value at once (before printing).
    void FlushPending();
    // Spell-checks the typed texts (every one with all, else only those
    // whose element asks for it); FALSE when the user cancelled.
    BOOL CheckSpelling(bool all);
    // Whether the row's typed text takes part in that check.
    bool IsSpellChecked(int row, bool all) const;
    void EnsureVisible(int row);

    QSize sizeHint() const override;

signals:
    // A typed or chosen value reached the sign: its pictures repaint.
    void valuesChanged();

private:
    void CreateControls(int row);
    void Clear();
    void OnEdited(int row);
    void OnRowTimer(int row);
    void OnComboChosen(int row);
    void OnSelectPicture(int row);
    void OnClearPicture(int row);
    void OnMore(int row);
    void OnFocusIn(int row);
    void OnFocusOut(int row);
    void Deliver(int row, const QString& value, BOOL refresh);
    void ShowText(int row, const QString& text);
    QString RowText(int row) const;
    void EnableRow(int row, bool enabled);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::vector<CDataEntryField> m_fields;
    QFont m_labelFont;
    QFont m_controlFont;
    QFont m_symbolFont;
    QSize m_extent;
    bool m_loading = false;
};
