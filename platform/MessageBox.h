// The program's one way to show a message box. The user interface installs a
// presenter that shows a real box; tests install a responder that records the
// message and answers it, so that no test ever waits on a modal box.
#pragma once

#include "Types.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

using MessageBoxPresenter = std::function<int(const QString& text, unsigned style, int helpId)>;

// Installs a presenter and returns the previous one.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Shows a message and returns the button pressed (IDOK, IDCANCEL, IDYES, ...).
// Without a presenter the message goes to standard error and the default
// button of the style answers. The text shown is capped: a line longer than
// kMaxMessageLine loses its middle, and so does a text longer than
// kMaxMessageText, so that no name read from a file can make a box that
// takes long to lay out.
int AppMessageBox(const QString& text, unsigned style = MB_OK, int helpId = 0);

// The longest name (or other inserted text) a message quotes, the longest
// line and the longest text a box shows.
inline constexpr qsizetype kMaxMessageArgument = 100;
inline constexpr qsizetype kMaxMessageLine = 1000;
inline constexpr qsizetype kMaxMessageText = 4000;

// The text itself when it has at most maxLength characters, else its start
// and end around an ellipsis, maxLength characters in all. Time and memory
// depend on maxLength only, however long the text.
QString ElideMiddle(const QString& text, qsizetype maxLength = kMaxMessageArgument);

// The text as a box shows it (see AppMessageBox).
QString CapMessageText(const QString& text);

// The button that a box of this style answers when nobody is asked.
int DefaultMessageBoxAnswer(unsigned style);

// Records every message shown while it lives and answers each one from a
// queue of answers, then with the default answer (the style's default
// button unless set otherwise).
class CMessageResponder
{
public:
    struct Message
    {
        QString text;
        unsigned style = 0;
    };

    CMessageResponder();
    ~CMessageResponder();
    CMessageResponder(const CMessageResponder&) = delete;
    CMessageResponder& operator=(const CMessageResponder&) = delete;

    void QueueAnswer(int button) { m_answers.push_back(button); }
    void SetDefaultAnswer(int button) { m_defaultAnswer = button; }

    const std::vector<Message>& Messages() const { return m_messages; }
    int Count() const { return static_cast<int>(m_messages.size()); }
    QString LastText() const { return m_messages.empty() ? QString() : m_messages.back().text; }
    void Clear() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
    std::deque<int> m_answers;
    int m_defaultAnswer = 0; // 0: the style's default button
    MessageBoxPresenter m_previous;
};
