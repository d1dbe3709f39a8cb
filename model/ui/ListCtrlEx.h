// The report list that dialogs, pages and panes of both programs share:
// captioned columns, rows with an optional icon and a value, and finding and
// selecting a row by its text.
#pragma once

#include <QIcon>
#include <QList>
#include <QTableWidget>

// A report list: rows of cells under captioned columns, one selected row.
class CListCtrlEx : public QTableWidget
{
    Q_OBJECT

public:
    explicit CListCtrlEx(QWidget* parent = nullptr);

    // Deletes every row and every column.
    void RemoveAll();
    // A column captioned from the string table; -1 when the string is not
    // there, else the new column's index.
    int InsertColumnId(int column, int stringId, Qt::Alignment align = Qt::AlignLeft,
                       int width = 100);
    int InsertColumnText(int column, const QString& caption, Qt::Alignment align = Qt::AlignLeft,
                         int width = 100);
    // Sub-item 0 inserts a new row at that index; others set a cell.
    bool SetCellText(int item, int subItem, const QString& text);
    QString CellText(int item, int subItem) const;
    // A row at the top with an icon of the image list, a text and a value.
    bool InsertIconItem(int iconIndex, const QString& text, qint64 data);
    qint64 ItemData(int item) const;
    // The image list index a row was given (-1 for none).
    int ItemImage(int item) const;
    bool DeleteItem(int item);
    // The image list: the icons rows show by index, drawn at the size given.
    void SetImageList(const QList<QIcon>& icons, QSize iconSize = QSize());
    // Widest text of the column (its caption too) + 15, + 16 with icons.
    int FitColumn(int column, bool hasIcons);
    // One caption-less column as wide as the window less a scroll bar and 4.
    void InsertFullWidthColumn(QWidget* window);
    // Two columns, each half of the window's width less 4.
    void InsertTwoColumns(QWidget* window, int firstId, int secondId);
    // The first row whose text equals the text (exactly, unless told to
    // ignore case), or -1.
    int FindItemText(const QString& text, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    int SelectItemText(const QString& text);
    bool SelectItem(int index);
    // The selected row, or -1 when none is selected.
    int SelectedItem() const;
    int ItemCount() const { return rowCount(); }
    // Rows one line of text high, as a list view's rows are.
    void SetCompactRows();

private:
    QList<QIcon> m_icons;
};
