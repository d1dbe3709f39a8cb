#include "ListCtrlEx.h"

#include "Strings.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableWidget(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CListCtrlEx::RemoveAll()
{
    setRowCount(0);
    setColumnCount(0);
}

int CListCtrlEx::InsertColumnId(int column, int stringId, Qt::Alignment align, int width)
{
    const QString caption = LoadStringId(stringId);
    if (caption.isEmpty())
        return -1;
    return InsertColumnText(column, caption, align, width);
}

int CListCtrlEx::InsertColumnText(int column, const QString& caption, Qt::Alignment align,
                                  int width)
{
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    auto* header = new QTableWidgetItem(caption);
    header->setTextAlignment(align | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, header);
    setColumnWidth(column, width);
    return column;
}

bool CListCtrlEx::SetCellText(int item, int subItem, const QString& text)
{
    if (subItem < 0 || subItem >= std::max(1, columnCount()))
        return false;
    if (columnCount() == 0)
        setColumnCount(1);
    if (subItem == 0) {
        item = std::clamp(item, 0, rowCount());
        insertRow(item);
        setItem(item, 0, new QTableWidgetItem(text));
        return true;
    }
    if (item < 0 || item >= rowCount())
        return false;
    setItem(item, subItem, new QTableWidgetItem(text));
    return true;
}

QString CListCtrlEx::CellText(int item, int subItem) const
{
    const QTableWidgetItem* cell = this->item(item, subItem);
    return cell ? cell->text() : QString();
}

bool CListCtrlEx::InsertIconItem(int iconIndex, const QString& text, qint64 data)
{
    if (columnCount() == 0)
        setColumnCount(1);
    insertRow(0);
    auto* cell = new QTableWidgetItem(text);
    if (iconIndex >= 0 && iconIndex < m_icons.size())
        cell->setIcon(m_icons[iconIndex]);
    cell->setData(Qt::UserRole, data);
    cell->setData(Qt::UserRole + 1, iconIndex);
    setItem(0, 0, cell);
    return true;
}

qint64 CListCtrlEx::ItemData(int item) const
{
    const QTableWidgetItem* cell = this->item(item, 0);
    return cell ? cell->data(Qt::UserRole).toLongLong() : 0;
}

int CListCtrlEx::ItemImage(int item) const
{
    const QTableWidgetItem* cell = this->item(item, 0);
    const QVariant image = cell ? cell->data(Qt::UserRole + 1) : QVariant();
    return image.isValid() ? image.toInt() : -1;
}

bool CListCtrlEx::DeleteItem(int item)
{
    if (item < 0 || item >= rowCount())
        return false;
    removeRow(item);
    return true;
}

void CListCtrlEx::SetImageList(const QList<QIcon>& icons, QSize iconSize)
{
    m_icons = icons;
    if (iconSize.isValid())
        setIconSize(iconSize);
}

void CListCtrlEx::SetCompactRows()
{
    const int line = std::max(fontMetrics().height(), iconSize().height()) + 4;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(line);
    verticalHeader()->setDefaultSectionSize(line);
}

int CListCtrlEx::FitColumn(int column, bool hasIcons)
{
    if (column < 0 || column >= columnCount())
        return -1;
    const QFontMetrics cells(font());
    int widest = 0;
    for (int row = 0; row < rowCount(); ++row)
        widest = std::max(widest, cells.horizontalAdvance(CellText(row, column).left(255)));
    if (const QTableWidgetItem* header = horizontalHeaderItem(column)) {
        const QFontMetrics captions(horizontalHeader()->font());
        widest = std::max(widest, captions.horizontalAdvance(header->text().left(255)));
    }
    const int width = widest + 15 + (hasIcons ? 16 : 0);
    setColumnWidth(column, width);
    return width;
}

void CListCtrlEx::InsertFullWidthColumn(QWidget* window)
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    InsertColumnText(0, QString(), Qt::AlignLeft, window->width() - scrollBar - 4);
    horizontalHeader()->hide();
}

void CListCtrlEx::InsertTwoColumns(QWidget* window, int firstId, int secondId)
{
    const int width = (window->width() - 4) / 2;
    InsertColumnId(0, firstId, Qt::AlignLeft, width);
    InsertColumnId(1, secondId, Qt::AlignLeft, width);
}

int CListCtrlEx::FindItemText(const QString& text, Qt::CaseSensitivity cs) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (CellText(row, 0).compare(text, cs) == 0)
            return row;
    }
    return -1;
}

int CListCtrlEx::SelectItemText(const QString& text)
{
    const int index = FindItemText(text);
    SelectItem(index);
    return index;
}

bool CListCtrlEx::SelectItem(int index)
{
    if (index < 0 || index >= rowCount())
        return false;
    selectRow(index);
    setCurrentCell(index, 0);
    scrollToItem(item(index, 0));
    return true;
}

int CListCtrlEx::SelectedItem() const
{
    const QList<QTableWidgetItem*> selected = selectedItems();
    int first = -1;
    for (const QTableWidgetItem* cell : selected) {
        if (first < 0 || cell->row() < first)
            first = cell->row();
    }
    return first;
}
