#include "PrintStationWnd.h"

#include "AppContext.h"
#include "Paper.h"
#include "SheetPreviewWnd.h"
#include "SignData.h"

#include <QEvent>

CPrintStationWnd::CPrintStationWnd(QWidget* parent, QWidget* singleSign)
    : QWidget(parent), m_single(singleSign)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    setPalette(p);
    m_sheet = new CSheetPreviewWnd(this);
    if (m_single)
        m_single->setParent(this);
    if (parent)
        parent->installEventFilter(this);
    m_changesTimer.setSingleShot(true);
    m_changesTimer.setInterval(250);
    connect(&m_changesTimer, &QTimer::timeout, this, [this] {
        if (!m_changesPending)
            return;
        m_changesPending = false;
        RepaintPreviews();
        m_changesTimer.start();
    });

    const int viewMode = App().general.viewMode;
    const CPaperStock* stock = ThePaper().Current();
    const bool several = stock && stock->LabelsPerSheet() > 1;
    FitToParent();
    SetSheetView(viewMode != -1 ? viewMode == 1 : several);
    show();
}

CPrintStationWnd::~CPrintStationWnd() = default;

void CPrintStationWnd::SetSheetView(bool wholeSheet)
{
    m_wholeSheet = wholeSheet;
    TheSignSettings().sheetPreview = wholeSheet ? 1 : 0; // kept with the sign
    m_sheet->setVisible(wholeSheet);
    if (m_single)
        m_single->setVisible(!wholeSheet);
}

void CPrintStationWnd::ShowChanges()
{
    if (m_changesTimer.isActive()) {
        m_changesPending = true;
        return;
    }
    RepaintPreviews();
    m_changesPending = false;
    m_changesTimer.start();
}

void CPrintStationWnd::RepaintPreviews()
{
    update();
    if (m_single)
        m_single->update();
}

void CPrintStationWnd::FitToParent()
{
    if (QWidget* parent = parentWidget())
        setGeometry(parent->rect());
    const QRect area = rect();
    m_sheet->setGeometry(area);
    if (m_single)
        m_single->setGeometry(area);
    SetSheetView(m_wholeSheet);
}

void CPrintStationWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_sheet->setGeometry(rect());
    if (m_single)
        m_single->setGeometry(rect());
}

bool CPrintStationWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
