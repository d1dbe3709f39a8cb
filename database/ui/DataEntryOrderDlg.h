// The Data Entry Order dialog: the order in which the data-entry pane asks
// for the sign's typed and database values, changed by moving entries to
// the top, up, down or to the bottom. OK writes each entry's position into
// its own element's or variable's data-entry index; Cancel changes nothing.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class CListCtrlEx;
class CObject;

class CDataEntryOrderDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 176,
        IDC_LIST = 1166,
        IDC_TOP = 1167,
        IDC_UP = 1168,
        IDC_DOWN = 1170,
        IDC_BOTTOM = 1172,
    };

    struct Entry
    {
        CObject* owner = nullptr;
        bool isElement = true;
        int type = 0; // element type code 0..10, variable type code 11..17
        QString name;
        QString prompt;
        int key = 0;
    };

    explicit CDataEntryOrderDlg(QWidget* parent = nullptr);

    // The entries in the list's order.
    const std::vector<Entry>& Entries() const { return m_entries; }
    int Selected() const { return m_selected; }
    void Select(int index);

    void MoveTop();
    void MoveUp();
    void MoveDown();
    void MoveBottom();
    void accept() override;

    // The entries of the sign: every element fed by the keyboard or a
    // database field, then every variable in use that takes a typed input,
    // in list order with their current indexes as keys.
    static std::vector<Entry> CollectEntries();

private:
    void Fill();
    void Resort();

    std::vector<Entry> m_entries;
    CListCtrlEx* m_list = nullptr;
    int m_selected = 0;
};
