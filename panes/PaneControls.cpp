#include "PaneControls.h"

#include "AppContext.h"

#include "Strings.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWheelEvent>
#include <algorithm>

// --- colours ----------------------------------------------------------------

QColor ColourFromRef(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF RefFromColour(const QColor& colour)
{
    return MakeRGB(colour.red(), colour.green(), colour.blue());
}

// --- colour swatch ------------------------------------------------------------

CColourSwatch::Chooser& CColourSwatch::ColourChooser()
{
    static Chooser chooser = [](QWidget* owner, COLORREF& colour) {
        const QColor chosen = QColorDialog::getColor(ColourFromRef(colour), owner);
        if (!chosen.isValid())
            return false;
        colour = RefFromColour(chosen);
        return true;
    };
    return chooser;
}

void CColourSwatch::Attach(QWidget* swatch, QWidget* owner, COLORREF* colour)
{
    if (m_swatch)
        m_swatch->removeEventFilter(this);
    m_swatch = swatch;
    m_owner = owner;
    m_colour = colour;
    if (m_swatch) {
        m_swatch->installEventFilter(this);
        m_swatch->update();
    }
}

void CColourSwatch::SetColourField(COLORREF* colour)
{
    m_colour = colour;
    if (m_swatch)
        m_swatch->update();
}

void CColourSwatch::PaintTo(QWidget* widget) const
{
    if (!widget || !m_colour)
        return;
    QPainter painter(widget);
    const QColor colour = ColourFromRef(*m_colour);
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    painter.drawRect(widget->rect().adjusted(0, 0, -1, -1));
}

bool CColourSwatch::ChooseColour()
{
    if (!m_owner || !m_colour)
        return false;
    COLORREF colour = *m_colour;
    if (!ColourChooser() || !ColourChooser()(m_owner, colour))
        return false;
    *m_colour = colour;
    m_owner->update();
    if (m_swatch)
        m_swatch->update();
    return true;
}

bool CColourSwatch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_swatch && event->type() == QEvent::Paint) {
        PaintTo(m_swatch);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// --- report list --------------------------------------------------------------

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
    setItem(0, 0, cell);
    return true;
}

qint64 CListCtrlEx::ItemData(int item) const
{
    const QTableWidgetItem* cell = this->item(item, 0);
    return cell ? cell->data(Qt::UserRole).toLongLong() : 0;
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

int CListCtrlEx::FindItemText(const QString& text) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (CellText(row, 0) == text)
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

// --- tab strip ----------------------------------------------------------------

bool CEditSteps::Starts(QObject* control, bool openingKept)
{
    const bool first = m_edits++ == 0;
    const bool starts = first ? !openingKept : (control != m_last || !control);
    m_last = control;
    return starts;
}

CTab::CTab(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("id1092"));
    QFont captions = font();
    captions.setBold(true);
    tabBar()->setFont(captions);
    connect(this, &QTabWidget::currentChanged, this, &CTab::OnCurrentChanged);
}

int CTab::AddPage(CPanePage* page, const QString& caption)
{
    page->setEnabled(false);
    // The first page is entered as soon as it is added.
    return addTab(page, caption);
}

CPanePage* CTab::Page(int index) const
{
    return qobject_cast<CPanePage*>(widget(index));
}

void CTab::ShowFirstPage()
{
    setCurrentIndex(0);
}

void CTab::OnCurrentChanged(int index)
{
    if (CPanePage* leaving = Page(m_current); leaving && m_current != index)
        leaving->setEnabled(false);
    m_current = index;
    if (CPanePage* entering = Page(index)) {
        entering->setEnabled(true);
        entering->Refresh(true);
    }
}

CViewSeam* PaneBuild::View()
{
    return App().currentView;
}

QGridLayout* PaneBuild::AddGroup(QVBoxLayout* form, QWidget* parent, const QString& title)
{
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    form->addWidget(box);
    return grid;
}

// --- the wheel over a pane ---------------------------------------------------------

namespace {

class CWheelGuard : public QObject
{
public:
    static CWheelGuard* Instance()
    {
        static auto* guard = new CWheelGuard(qApp);
        return guard;
    }

protected:
    explicit CWheelGuard(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* box = qobject_cast<QWidget*>(watched);
        if (!box || box->hasFocus())
            return false;
        // Not for this box: the wheel goes on to the pane's scroll area.
        event->ignore();
        return true;
    }
};

bool StepsWithWheel(QWidget* widget)
{
    if (qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
        return true;
    return qobject_cast<QAbstractSlider*>(widget) && !qobject_cast<QScrollBar*>(widget);
}

} // namespace

void KeepWheelForFocusedBoxes(QWidget* root)
{
    if (!root || !qApp)
        return;
    CWheelGuard* guard = CWheelGuard::Instance();
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!StepsWithWheel(widget) || widget->property("wheelGuarded").toBool())
            continue;
        widget->setProperty("wheelGuarded", true);
        // The wheel alone does not give these boxes the focus.
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(guard);
    }
}
