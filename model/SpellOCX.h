// The program's spelling check: one process-wide checker over the spelling
// engine (CSpeller) with the main dictionary of the spelling settings and
// the user's own dictionary, the file named after the program with ".dic"
// in the program folder. It checks one text at a time and asks the user
// about each unknown word through the "Spelling: Unknown Word" dialog,
// which the user interface installs.
//
// Finding the main dictionary: the "Dictionary" setting when it names a
// hunspell dictionary (its ".dic" or ".aff" file, with the other beside
// it); otherwise the American English dictionary "en_US" in the program
// folder, then in the folders that $DICPATH lists (separated by ":"), or,
// when DICPATH is not set, in the system's hunspell folders. Without one
// spelling is unavailable.
#pragma once

#include "AppContext.h"
#include "Speller.h"
#include "Types.h"

#include <QString>
#include <QStringList>

#include <functional>

// The spelling settings ("SpellPreferences").
struct CSpellSettings
{
    QString dictionary; // the main dictionary the user chose, or the default name
    WORD options = 243;
    short searchLimit = 1500;
    short displayLimit = 10;
    short performance = 0;

    bool operator==(const CSpellSettings&) const = default;
};

class CSpellOCX
{
public:
    static CSpellOCX& Current() { return App().Get<CSpellOCX>(); }

    // Runs the unknown-word dialog modally over the checker: IDOK when the
    // text is finished, IDCANCEL when the user cancelled (or a step failed).
    using UnknownWordDialog = std::function<int(CSpellOCX& checker)>;
    static void SetUnknownWordDialog(UnknownWordDialog dialog);

    // Makes the checker once and opens its dictionaries; TRUE when it is
    // made (also when no main dictionary was found).
    BOOL Create(const CSpellSettings& settings);
    BOOL IsCreated() const { return m_created; }
    // Made and holding a main dictionary: a check can run.
    BOOL IsAvailable() const { return m_created && m_speller.HasMainDictionary(); }
    // The settings again (after the preferences changed): the main
    // dictionary is opened anew.
    void ApplySettings(const CSpellSettings& settings);
    BOOL OpenMainDictionary();
    BOOL OpenUserDictionary();
    // Ends the check of the sign: words ignored or changed for all are
    // forgotten.
    void Close();

    // 0 nothing changed, 1 the text was corrected (into corrected), 2 the
    // user cancelled or the check failed. 0 when spelling is unavailable.
    int CheckText(const QString& text, QString& corrected);

    // The dialog's steps that need the program: adding the unknown word to
    // the user dictionary (a list that cannot be written is told), and an
    // error of the engine.
    int AddWordToUserDictionary();
    static void ReportError(int code);

    CSpeller& Speller() { return m_speller; }
    const CSpellSettings& Settings() const { return m_settings; }

    // The main dictionary for a setting: the words file, and its affix file
    // into affix; empty when there is none.
    static QString FindMainDictionary(const QString& setting, QString* affix = nullptr);
    // The folders searched for "en_US" after the program folder.
    static QStringList DictionaryFolders();
    // The user dictionary: the program's name with ".dic" in the program folder.
    static QString UserDictionaryPath();

private:
    CSpeller m_speller;
    CSpellSettings m_settings;
    BOOL m_created = FALSE;
};
