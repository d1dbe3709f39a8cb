#include "CommandLineInfo.h"

namespace {

bool SameName(const QString& name, const char* known)
{
    return name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
}

} // namespace

void CCommandLineInfo::ParseCommandLine(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool last = i + 1 == arguments.size();
        const bool prefixed =
            argument.size() > 1 && (argument[0] == u'/' || argument[0] == u'-');
        if (prefixed && (argument[0] == u'-' || IsSwitchName(argument.mid(1))))
            ParseParam(argument.mid(1), true, last);
        else
            ParseParam(argument, false, last);
    }
}

void CCommandLineInfo::ParseParam(const QString& param, bool flag, bool last)
{
    if (flag)
        ParseParamFlag(param);
    else
        ParseParamNotFlag(param);
    ParseLast(last);
}

bool CCommandLineInfo::IsSwitchName(const QString& name) const
{
    for (const char* known : {"p", "pt", "dde", "unregister", "unregserver", "embedding",
                              "automation"}) {
        if (SameName(name, known))
            return true;
    }
    return false;
}

void CCommandLineInfo::ParseParamFlag(const QString& flag)
{
    if (SameName(flag, "p"))
        shellCommand = FilePrint;
    else if (SameName(flag, "pt"))
        shellCommand = FilePrintTo;
    else if (SameName(flag, "dde"))
        shellCommand = FileDDE;
    else if (SameName(flag, "unregister") || SameName(flag, "unregserver"))
        shellCommand = AppUnregister;
    else if (SameName(flag, "embedding") || SameName(flag, "automation"))
        m_embedded = true;
}

void CCommandLineInfo::ParseParamNotFlag(const QString& param)
{
    if (fileName.isEmpty()) {
        fileName = param;
    } else if (shellCommand == FilePrintTo && m_printToNames < 3) {
        QString* names[] = {&printerName, &driverName, &portName};
        *names[m_printToNames++] = param;
    }
}

void CCommandLineInfo::ParseLast(bool last)
{
    if (!last)
        return;
    if (shellCommand == FileNew && !fileName.isEmpty())
        shellCommand = FileOpen;
    if (shellCommand == FileNew && m_embedded)
        shellCommand = FileNothing;
}
