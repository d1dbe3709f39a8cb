#include "Messages.h"

namespace {

QString Fill(const QString& text, const QString* values, qsizetype count)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const qsizetype n = text[i + 1].unicode() - u'1';
            if (n < count) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

QString FormatPlaceholders(const QString& text, std::initializer_list<QString> args)
{
    return Fill(text, args.begin(), static_cast<qsizetype>(args.size()));
}

QString FormatMessageText(const QString& text, std::initializer_list<QString> args)
{
    // At most nine are used.
    QString elided[9];
    qsizetype count = 0;
    for (const QString& arg : args) {
        if (count == 9)
            break;
        elided[count++] = ElideMiddle(arg);
    }
    return Fill(text, elided, count);
}

QString FormatStringId(int id, std::initializer_list<QString> args)
{
    return FormatPlaceholders(LoadStringId(id), args);
}

int AppMessageBoxId(int id, unsigned style, int helpId)
{
    return AppMessageBox(LoadStringId(id), style, helpId);
}

int AppMessageBoxIdArgs(int id, std::initializer_list<QString> args, unsigned style)
{
    return AppMessageBox(FormatMessageText(LoadStringId(id), args), style, 0);
}
