// The spelling engine behind the spelling check: a hunspell dictionary, the
// user's own word list, and the check of one text at a time with its
// Ignore, Ignore All, Change, Change All and Add steps.
//
// Checking a text stops at each word the dictionaries do not know; the
// caller then takes one step, and each step tells what follows: 0 the text
// is finished, below 0 another unknown word waits, above 0 an error. Words
// are runs of letters and digits, with apostrophes inside them; mark-up
// tags ("<b>") and character entities ("&nbsp;") are not words. Ignore All
// and Change All last until the check is closed.
//
// The user dictionary is a plain word list, one word a line (UTF-8; a file
// that is not UTF-8 is read as Windows-1252 and kept so). A word added is
// written at once; a list that could not be read is never written over.
#pragma once

#include "Types.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class Hunspell;

class CSpeller
{
public:
    // Option bits, as the spelling settings hold them.
    enum : WORD
    {
        IgnoreUpperCase = 8,       // words in capitals only
        IgnorePartialNumbers = 16, // words holding digits
        IgnorePureNumbers = 64,    // words of digits only
        SplitHyphenated = 128,     // "well-known" is two words
    };
    // What a step reports.
    static constexpr int kFinished = 0;
    static constexpr int kUnknownWord = -1;
    static constexpr int kNoText = 1; // a step without a check under way

    CSpeller();
    ~CSpeller();
    CSpeller(const CSpeller&) = delete;
    CSpeller& operator=(const CSpeller&) = delete;

    // --- dictionaries --------------------------------------------------------
    // A hunspell dictionary: the affix file and the word file. FALSE (and no
    // dictionary) when either cannot be read.
    BOOL OpenMainDictionary(const QString& affixPath, const QString& wordsPath);
    void CloseMainDictionary();
    bool HasMainDictionary() const { return m_main != nullptr; }
    QString MainDictionaryPath() const { return m_mainPath; }

    // The user's word list at the path; a missing file is an empty list
    // that the first added word creates. FALSE when the file exists but
    // cannot be read: its words are not known and it is left as it is.
    BOOL OpenUserDictionary(const QString& path);
    bool HasUserDictionary() const { return !m_userPath.isEmpty(); }
    QString UserDictionaryPath() const { return m_userPath; }
    QStringList UserWords() const { return m_userWords; }
    // Adds the word to the user's list and writes the list; FALSE (with the
    // word known for this session only) when it cannot be written.
    BOOL AddWord(const QString& word);

    void SetOptions(WORD options) { m_options = options; }
    WORD GetOptions() const { return m_options; }
    // Suggestions offered for an unknown word, at most this many.
    void SetDisplayLimit(int limit) { m_displayLimit = limit; }

    bool IsKnown(const QString& word) const;
    QStringList Suggest(const QString& word) const;

    // --- one text ------------------------------------------------------------
    // Starts on the text: kFinished when every word is known, kUnknownWord
    // at the first one that is not.
    int CheckText(const QString& text);
    QString UnknownWord() const;
    // Suggestions for the unknown word, best first.
    QStringList Suggestions() const { return m_suggestions; }
    int Ignore();
    int IgnoreAll();
    int Change(const QString& replacement);
    int ChangeAll(const QString& replacement);
    // Adds the unknown word to the user dictionary and goes on; the word is
    // known for the session even when the list could not be written.
    int AddToDictionary();
    bool LastAddFailed() const { return m_lastAddFailed; }
    // Words changed in the text so far, and the text with the changes.
    int ChangeCount() const { return m_changes; }
    QString CheckedText() const { return m_text; }
    // Forgets the text, the words ignored and the changes made for all.
    void Close();

private:
    int FindNextUnknown();
    int Continue(qsizetype from);
    QByteArray Encode(const QString& word) const;
    QString Decode(const std::string& word) const;
    bool Ignored(const QString& word) const;

    std::unique_ptr<Hunspell> m_main;
    QString m_mainPath;
    bool m_utf8Dictionary = true;
    QString m_userPath;
    QStringList m_userWords;
    bool m_userReadable = true;
    bool m_userUtf8 = true;
    WORD m_options = 243;
    int m_displayLimit = 10;

    bool m_checking = false;
    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_wordStart = -1;
    qsizetype m_wordLength = 0;
    QStringList m_suggestions;
    int m_changes = 0;
    bool m_lastAddFailed = false;
    QSet<QString> m_ignoreAll;
    std::map<QString, QString> m_changeAll;
};
