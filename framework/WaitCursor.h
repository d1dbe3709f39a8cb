// Shows the wait cursor while it lives, when there is a screen to show it on.
#pragma once

#include <QCursor>
#include <QGuiApplication>

class CWaitCursor
{
public:
    CWaitCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            m_active = true;
        }
    }
    ~CWaitCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_active = false;
};
