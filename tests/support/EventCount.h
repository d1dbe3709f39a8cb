// Counts the events of one type that reach an object, letting each one on.
#pragma once

#include <QEvent>
#include <QObject>

class CEventCount : public QObject
{
public:
    explicit CEventCount(QEvent::Type type) : m_type(type) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_type)
            ++count;
        return QObject::eventFilter(watched, event);
    }
    int count = 0;

private:
    QEvent::Type m_type;
};
