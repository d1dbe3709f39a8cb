// The Advanced Filter sheet: a grid page on which records are picked by
// eye (filter by selection, filter excluding selection, remove filter,
// toggle field display, compound filter) and a statement page on which an
// SQL statement is composed from fields, operators and values and kept as
// a named filter. Both pages work on the sign's link directly: what they
// apply is in force when the sheet closes, however it closes.
#pragma once

#include "RecordFilter.h"

#include <QDialog>

#include <functional>

class CDatabaseLink;
class QComboBox;
class QTabWidget;

class CFilterSheet : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        // Grid page
        IDC_BY_SELECTION = 1350,
        IDC_EXCLUDING_SELECTION = 1351,
        IDC_REMOVE_FILTER = 1352,
        IDC_TOGGLE_FIELDS = 1353,
        IDC_GRID = 1354,
        IDC_COMPOUND = 1548,
        // Statement page
        IDC_FIELDS = 1099,
        IDC_STATEMENT = 1344,
        IDC_VALUE = 1345,
        IDC_VALUE_ADD = 1346,
        IDC_CLEAR = 1347,
        IDC_APPLY = 1191,
        IDC_FILTER_LIST = 1348,
        IDC_FILTER_ADD = 1349,
        IDC_FILTER_REMOVE = 1355,
    };

    // markModified is called when a grid setting stored in the sign changes
    // (the shown fields, a column's width).
    CFilterSheet(CDatabaseLink& link, QWidget* parent = nullptr,
                 std::function<void()> markModified = {});
    ~CFilterSheet() override;

    QTabWidget* Tabs() const { return m_tabs; }
    // The filter the grid page keeps as conditions.
    const CRecordFilter& GridFilter() const;

    // The statement operator buttons, in their order.
    static const QStringList& Tokens();

private:
    class CFilterPage1; // the grid page
    class CFilterPage2; // the statement page

    CDatabaseLink& m_link;
    QTabWidget* m_tabs = nullptr;
    CFilterPage1* m_grid = nullptr;
    CFilterPage2* m_statement = nullptr;
};

// Empties the combo box and adds every saved filter's name; the number of
// filters.
int FillFilterCombo(QComboBox& combo);

// Runs the sheet modally on the link. Its effect is in force whichever way
// it is closed.
void RunAdvancedFilter(QWidget* parent, CDatabaseLink& link,
                       std::function<void()> markModified = {});
