// Program-wide services of the application: the program's title and folder,
// and the per-user profile. The profile is an INI file per program below the
// "Corvane" folder of the user's configuration, plus one "Corvane" file for
// the keys that both programs share (pass shared = true for those).
#pragma once

#include "LogFontFields.h"
#include "Types.h"

#include <QString>

class CSignApp
{
public:
    static void SetProgramTitle(const QString& title);
    // "Tabrel" until set.
    static QString GetProgramTitle();

    // $TABREL_HOME when set; else the executable's folder when it is
    // writable; else ~/.local/share/Corvane/Tabrel, made when missing.
    static QString GetProgramFolder(bool trailingSeparator = false);
    // The program folder, "/Tabrel" and the extension (with its dot). Both
    // programs share these side files.
    static QString GetProgramFileName(const QString& extensionWithDot);

    // Integer values: missing or not a number gives the default.
    static int GetProfileInt(const QString& section, const QString& key, int defaultValue,
                             bool shared = false);
    static bool WriteProfileInt(const QString& section, const QString& key, int value,
                                bool shared = false);

    static QString GetProfileString(const QString& section, const QString& key,
                                    const QString& defaultValue = QString(), bool shared = false);
    static bool WriteProfileString(const QString& section, const QString& key, const QString& value,
                                   bool shared = false);

    // Signed 32-bit values stored as decimal text (colours use this form).
    // Missing or empty text gives the default; text that does not start with
    // a number gives 0.
    static LONG GetProfileLong(const QString& section, const QString& key, LONG defaultValue,
                               bool shared = false);
    static bool WriteProfileLong(const QString& section, const QString& key, LONG value,
                                 bool shared = false);

    // A font as fourteen keys of one section, named after its fields
    // ("lfHeight" ... "lfFaceName"). A missing key leaves that field of
    // inOut as it was.
    static void GetProfileFont(const QString& section, LogFontFields& inOut, bool shared = false);
    static void WriteProfileFont(const QString& section, const LogFontFields& font,
                                 bool shared = false);

    // Points the user-scope INI files at a folder of the test's own.
    static void SetProfileFolderForTests(const QString& folder);
};
