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
