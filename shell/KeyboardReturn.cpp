#include "KeyboardReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>

namespace {

bool IsBox(QObject* watched)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->isWindow() && widget->isModal() && widget->windowType() != Qt::Popup &&
           widget->windowType() != Qt::ToolTip;
}

} // namespace

CKeyboardReturn::CKeyboardReturn(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

CKeyboardReturn::~CKeyboardReturn()
{
    qApp->removeEventFilter(this);
}

bool CKeyboardReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && IsBox(watched))
        BoxShown(static_cast<QWidget*>(watched));
    else if (event->type() == QEvent::Hide && IsBox(watched))
        BoxHidden(static_cast<QWidget*>(watched));
    return false;
}

void CKeyboardReturn::BoxShown(QWidget* box)
{
    std::erase_if(m_open, [box](const CReturn& r) { return !r.box || r.box == box; });
    // The box is shown before it is made active: the active window is still
    // the one the user worked in. A box that follows one that has just gone
    // hands the keyboard on to where that one would have.
    QWidget* active = QApplication::activeWindow();
    CReturn r;
    if (active && active != box && active->isVisible())
        r = {box, active, QApplication::focusWidget()};
    else
        r = {box, m_pending.window, m_pending.focus};
    if (r.window)
        m_open.push_back(r);
}

void CKeyboardReturn::BoxHidden(QWidget* box)
{
    const auto it = std::find_if(m_open.begin(), m_open.end(),
                                 [box](const CReturn& r) { return r.box == box; });
    if (it == m_open.end())
        return;
    m_pending = *it;
    m_open.erase(it);
    // Once the hiding is done and the window system has had its say.
    QTimer::singleShot(0, this, &CKeyboardReturn::GiveBack);
}

void CKeyboardReturn::GiveBack()
{
    QWidget* window = m_pending.window;
    if (!window)
        return;
    // Another box is up (it gives the keyboard back when it goes), or a menu.
    QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != window) || QApplication::activePopupWidget())
        return;
    const CReturn r = m_pending;
    m_pending = {};
    if (!window->isVisible() || window->isMinimized())
        return;
    // A window that took the keyboard meanwhile keeps it.
    QWidget* active = QApplication::activeWindow();
    if (active && active != window && active != r.box && active->isVisible())
        return;
    if (active != window)
        window->activateWindow();
    if (r.focus && r.focus->window() == window && r.focus->isVisible() && r.focus->isEnabled())
        r.focus->setFocus(Qt::ActiveWindowFocusReason);
}
