#include "DataView.h"

#include "DataCtrl.h"
#include "ElementList.h"
#include "PrintBatchDlg.h"
#include "PrintQueue.h"
#include "Printer.h"
#include "SignData.h"
#include "VariableList.h"

#include <QGridLayout>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

CDataView::CDataView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("dataEntryScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_panel = new CDataCtrl;
    m_scroll->setWidget(m_panel);
    m_scroll->installEventFilter(this);
    connect(m_panel, &CDataCtrl::valuesChanged, this, &CDataView::valuesChanged);
    // Ctrl+P in the rows prints, as the print bar's Print does.
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), m_scroll);
    print->setContext(Qt::WidgetWithChildrenShortcut);
    connect(print, &QShortcut::activated, this, [this] {
        if (auto* bar = qobject_cast<CPrintBatchDlg*>(m_printBar))
            bar->PrintByAccelerator();
    });
    m_recordTimer.setSingleShot(true);
    m_recordTimer.setInterval(250);
    connect(&m_recordTimer, &QTimer::timeout, this, [this] {
        if (m_recordPending)
            ShowRecord();
    });
    RecalcLayout(2);
}

CDataView::~CDataView() = default;

bool CDataView::eventFilter(QObject* watched, QEvent* event)
{
    // A scroll area that grows decides which bars to show from the ranges
    // it measured at its old size, and only then measures again: the rows,
    // made while the pane was still narrow, flashed a scroll bar the pane
    // no longer needed as it took its width. A bar that cannot be needed at
    // the new size, whatever the other bar does, loses its range first; the
    // scroll area measures it anew once resized.
    if (watched == m_scroll && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        const QSize rows = m_panel->size();
        const int bar = m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
        if (rows.width() + bar <= size.width())
            m_scroll->horizontalScrollBar()->setRange(0, 0);
        if (rows.height() + bar <= size.height())
            m_scroll->verticalScrollBar()->setRange(0, 0);
    }
    return QWidget::eventFilter(watched, event);
}

void CDataView::AdoptedBarSizes(QWidget* bar)
{
    // A bar made as a window of its own measured itself with a window's
    // margins: once it is a child of the pane its sizes are measured anew,
    // or the pane would be laid out for the old ones and squeeze the bar.
    if (QLayout* own = bar->layout())
        own->invalidate();
    bar->updateGeometry();
}

void CDataView::SetPrintBar(QWidget* bar)
{
    if (bar == m_printBar)
        return;
    m_printBar = bar;
    if (bar) {
        bar->setParent(this, Qt::Widget);
        AdoptedBarSizes(bar);
        bar->show();
    }
    RecalcLayout(m_docking);
}

void CDataView::SetNavigatorBar(QWidget* bar)
{
    if (bar == m_navigatorBar)
        return;
    m_navigatorBar = bar;
    if (bar) {
        bar->setParent(this, Qt::Widget);
        AdoptedBarSizes(bar);
        bar->show();
    }
    RecalcLayout(m_docking);
}

void CDataView::RecalcLayout(int docking)
{
    m_docking = docking == 3 ? 3 : 2;
    delete layout();
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const Qt::Alignment barAlign =
        m_docking == 2 ? (Qt::AlignLeft | Qt::AlignBottom) : (Qt::AlignRight | Qt::AlignBottom);
    if (m_docking == 2) {
        // The panel on top, as wide as the bars; the navigator above the
        // print bar at the bottom left.
        grid->addWidget(m_scroll, 0, 0);
        grid->setRowStretch(0, 1);
        int row = 1;
        if (m_navigatorBar)
            grid->addWidget(m_navigatorBar, row++, 0, barAlign);
        if (m_printBar)
            grid->addWidget(m_printBar, row, 0, barAlign);
    } else {
        // The panel at the left; the navigator above the print bar at the
        // bottom right.
        grid->addWidget(m_scroll, 0, 0, 3, 1);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(0, 1);
        if (m_navigatorBar)
            grid->addWidget(m_navigatorBar, 1, 1, barAlign);
        if (m_printBar)
            grid->addWidget(m_printBar, 2, 1, barAlign);
    }
}

QSize CDataView::sizeHint() const
{
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
    const QSize rows = m_panel->sizeHint() + QSize(bar, bar);
    QSize bars(0, 0);
    for (const QWidget* w : {m_navigatorBar, m_printBar}) {
        if (!w)
            continue;
        const QSize s = w->sizeHint();
        bars = QSize(std::max(bars.width(), s.width()), bars.height() + s.height());
    }
    if (m_docking == 2)
        return QSize(std::max(rows.width(), bars.width()), rows.height() + bars.height());
    return QSize(rows.width() + bars.width(), std::max(rows.height(), bars.height()));
}

// --- data entry ----------------------------------------------------------------

void CDataView::BeginDataEntry()
{
    TheElementList().BeginDataEntry();
    TheVariableList().ResetValues();
    m_inDataEntry = true;
    m_panel->BuildRows();
    m_panel->LoadValues();
    emit valuesChanged();
}

void CDataView::EndDataEntry()
{
    if (!m_inDataEntry)
        return;
    m_inDataEntry = false;
    TheElementList().EndDataEntry();
    TheVariableList().EndPrintRun();
    emit valuesChanged();
}

void CDataView::RestartDataEntry()
{
    EndDataEntry();
    BeginDataEntry();
}

void CDataView::OnRecordChanged()
{
    // While a run goes on, the rows show where it stands a few times a
    // second: a short run shows only its last record.
    if (ThePrinter().m_signsAhead > 0) {
        m_recordPending = true;
        if (!m_recordTimer.isActive())
            m_recordTimer.start();
        return;
    }
    ShowRecord();
}

void CDataView::ShowRecord()
{
    m_recordPending = false;
    ++m_recordsShown;
    m_panel->LoadRecord();
    emit valuesChanged();
    if (ThePrinter().m_signsAhead > 0)
        m_recordTimer.start();
}

// --- the print loop ----------------------------------------------------------------

BOOL CDataView::PrintEnteredData(CSignData& document, int count, int copies, int destination,
                                 const QString& file, int sheetUsage,
                                 const std::function<void(int)>& labelsUsed)
{
    m_lastFailure = 0;
    // A value typed a moment ago is laid out before the sign prints.
    m_panel->FlushPending();
    if (!m_panel->CheckSpelling(false)) {
        m_lastFailure = 3;
        return FALSE;
    }
    if (count < 1) {
        m_panel->SetFocusToFirstField();
        return TRUE;
    }
    CElementList& elements = TheElementList();
    CVariableList& variables = TheVariableList();
    CPrinter& printer = ThePrinter();
    for (int sign = 0; sign < count; ++sign) {
        // A refused value ends the loop where it is: the element has said
        // why, and the rows keep what was typed.
        if (!elements.ValidateData() || !variables.UpdateForPrint()) {
            m_lastFailure = 1;
            return FALSE;
        }
        // What the variables advance during a job is taken back when the
        // job is cancelled, since none of it reaches the page.
        if (destination != 2 && !printer.m_jobOpen)
            variables.BeginPrintJob();
        const BOOL printed =
            destination == 2 ? ThePrintQueue().AddSign(document, copies)
                             : printer.PrintSign(document, copies,
                                                 destination == 1 ? file : QString(), sheetUsage);
        if (printed) {
            if (labelsUsed)
                labelsUsed(copies);
        } else if (destination != 2 && printer.m_cancel) {
            variables.DiscardPrintJob();
        }
        elements.RestoreData();
        // A sign that did not print does not advance the variables.
        if (printed)
            variables.AdvanceAfterPrint();
        m_panel->ResetFields();
        if (!printed) {
            m_lastFailure = 2;
            break;
        }
    }
    m_panel->SetFocusToFirstField();
    emit valuesChanged();
    return m_lastFailure == 0;
}
