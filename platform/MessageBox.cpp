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

namespace {

// A cut that does not split a surrogate pair: moves back by one when the
// character before it starts a pair.
qsizetype SafeCut(const QString& text, qsizetype at)
{
    if (at > 0 && at < text.size() && text[at - 1].isHighSurrogate())
        return at - 1;
    return at;
}

} // namespace

QString ElideMiddle(const QString& text, qsizetype maxLength)
{
    if (text.size() <= maxLength)
        return text;
    const QChar ellipsis(0x2026);
    if (maxLength < 3)
        return QString(ellipsis);
    const qsizetype kept = maxLength - 1;
    const qsizetype head = SafeCut(text, kept - kept / 2);
    qsizetype tailStart = text.size() - kept / 2;
    if (tailStart < text.size() && text[tailStart].isLowSurrogate())
        ++tailStart;
    return text.left(head) + ellipsis + text.mid(tailStart);
}

QString CapMessageText(const QString& text)
{
    // First the whole text, so that what follows works on a bounded one.
    const QString capped = ElideMiddle(text, kMaxMessageText);
    QString out;
    out.reserve(capped.size());
    qsizetype start = 0;
    while (start <= capped.size()) {
        qsizetype end = capped.indexOf(u'\n', start);
        if (end < 0)
            end = capped.size();
        const QString line = capped.mid(start, end - start);
        out += line.size() > kMaxMessageLine ? ElideMiddle(line, kMaxMessageLine) : line;
        if (end < capped.size())
            out += u'\n';
        start = end + 1;
    }
    return out;
}

int AppMessageBox(const QString& text, unsigned style, int helpId)
{
    const QString shown = text.size() > kMaxMessageLine || text.size() > kMaxMessageText
                              ? CapMessageText(text)
                              : text;
    if (Presenter())
        return Presenter()(shown, style, helpId);
    std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
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
