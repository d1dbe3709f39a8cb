// What the shell's tests share: a way to answer a modal dialog that the
// code under test opens.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
template <class T> class CAnswerDialog
{
public:
    explicit CAnswerDialog(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_answered = true;
                m_action(dialog);
            }
        });
        m_timer.start(5);
    }
    bool Answered() const { return m_answered; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
};
