// Answering the program's own modal dialogs in widget tests: the answer runs
// as soon as a dialog of that class is the active modal widget, so a test
// can trigger a command that opens one and go on when it has closed.
#pragma once

#include <QApplication>
#include <QEvent>
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

// Runs the action on every window of that class as it is shown, modal or
// not, at the moment it is shown (no polling): for windows that come and go
// within one command, such as the progress window.
template <class T> class CShownWatch : public QObject
{
public:
    explicit CShownWatch(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QApplication::instance()->installEventFilter(this);
    }
    ~CShownWatch() override { QApplication::instance()->removeEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* window = qobject_cast<T*>(watched)) {
                ++m_count;
                m_action(window);
            }
        }
        return false;
    }

private:
    std::function<void(T*)> m_action;
    int m_count = 0;
};

// Runs drive on the modal dialog of type T once it shows, while action
// (which opens it) runs; true when the dialog was met. A dialog that drive
// leaves open is cancelled.
template <class T>
bool WhileModal(const std::function<void()>& action, std::function<void(T&)> drive)
{
    bool met = false;
    std::function<void()> poll;
    poll = [&] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, poll);
            return;
        }
        met = true;
        drive(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    };
    QTimer::singleShot(0, poll);
    action();
    return met;
}
