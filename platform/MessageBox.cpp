#include "MessageBox.h"

#include <cstdio>

namespace {

MessageBoxPresenter& Presenter()
{
    static MessageBoxPresenter presenter;
    return presenter;
}

} // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    MessageBoxPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

int DefaultMessageBoxAnswer(unsigned style)
{
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},      {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
    };
    const unsigned type = style & MB_TYPEMASK;
    if (type > MB_RETRYCANCEL)
        return IDOK;
    int which = 0;
    if (style & MB_DEFBUTTON3)
        which = 2;
    else if (style & MB_DEFBUTTON2)
        which = 1;
    return buttons[type][which];
}

int AppMessageBox(const QString& text, unsigned style, int helpId)
{
    if (Presenter())
        return Presenter()(text, style, helpId);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return DefaultMessageBoxAnswer(style);
}

CMessageResponder::CMessageResponder()
{
    m_previous = SetMessageBoxPresenter([this](const QString& text, unsigned style, int) {
        m_messages.push_back({text, style});
        if (!m_answers.empty()) {
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return m_defaultAnswer ? m_defaultAnswer : DefaultMessageBoxAnswer(style);
    });
}

CMessageResponder::~CMessageResponder()
{
    SetMessageBoxPresenter(std::move(m_previous));
}
