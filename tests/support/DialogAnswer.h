// Answering the program's own modal dialogs in widget tests: the answer runs
// as soon as a dialog of that class is the active modal widget, so a test
// can trigger a command that opens one and go on when it has closed.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

template <class T> class CAnswer
{
public:
    explicit CAnswer(std::function<void(T*)> action) : m_action(std::move(action))
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
