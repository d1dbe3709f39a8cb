#include "Messages.h"

QString FormatPlaceholders(const QString& text, std::initializer_list<QString> args)
{
    QString out;
    out.reserve(text.size());
    const QString* values = args.begin();
    const qsizetype count = static_cast<qsizetype>(args.size());
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
    return AppMessageBox(FormatStringId(id, args), style, 0);
}
