// Shows the wait cursor while it lives, when there is a screen to show it on.
#pragma once

#include <QCursor>
#include <QGuiApplication>

class CWaitCursor
{
public:
    CWaitCursor()
    {
        // Inside a wait cursor already shown (a print run reformats a text
        // per label) nothing changes: each change of the cursor goes to the
        // window system.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            const QCursor* shown = QGuiApplication::overrideCursor();
            if (shown && shown->shape() == Qt::WaitCursor)
                return;
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            m_active = true;
            ++s_shown;
        }
    }
    ~CWaitCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // How many times a wait cursor was put up, over the process.
    static int Shown() { return s_shown; }

private:
    inline static int s_shown = 0;
    bool m_active = false;
};
