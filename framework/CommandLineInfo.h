// What the command line asks for. Switches begin with "/" or "-" and are
// matched without regard to case; "/" also begins an absolute path, so a
// "/" word is a switch only when its name is one of the known switches.
#pragma once

#include <QString>
#include <QStringList>

class CCommandLineInfo
{
public:
    enum ShellCommand
    {
        FileNew,       // no sign named
        FileOpen,      // a sign named
        FilePrint,     // "/p" and a sign
        FilePrintTo,   // "/pt" and a sign, printer, driver and port
        FileDDE,       // "/dde"
        AppUnregister, // "/unregister" or "/unregserver"
        FileNothing,   // "/embedding" or "/automation" without a sign
    };

    CCommandLineInfo() = default;
    CCommandLineInfo(const CCommandLineInfo&) = default;
    CCommandLineInfo& operator=(const CCommandLineInfo&) = default;
    virtual ~CCommandLineInfo() = default;

    ShellCommand shellCommand = FileNew;
    QString fileName;
    QString printerName, driverName, portName;
    bool showSplash = true;

    // Reads the arguments (without the program's own name) one by one
    // through ParseParam.
    void ParseCommandLine(const QStringList& arguments);

    // One argument: with flag set it was given with a switch prefix, which
    // param no longer holds; last is set for the final argument. Reads the
    // sign to open and the standard switches (printing, printing to a
    // printer, DDE, automation, embedding, unregistering).
    virtual void ParseParam(const QString& param, bool flag, bool last);

protected:
    // Whether "/name" is a switch rather than a path from the root.
    virtual bool IsSwitchName(const QString& name) const;

private:
    void ParseParamFlag(const QString& flag);
    void ParseParamNotFlag(const QString& param);
    void ParseLast(bool last);

    bool m_embedded = false;
    int m_printToNames = 0; // printer, driver and port read after the sign of "/pt"
};
