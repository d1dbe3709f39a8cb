#include "Speller.h"

#include "Codec1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

#include <hunspell.hxx>

namespace {

// Hunspell knows no longer words, and its suggestions for long nonsense take
// long; such words get none.
constexpr qsizetype kMaxWordLength = 100;
constexpr qsizetype kMaxSuggestedLength = 40;
// A user dictionary larger than this is no word list; it is left alone.
constexpr qint64 kMaxUserDictionaryBytes = 64 * 1024 * 1024;
// How far a tag or an entity of the mark-up may reach.
constexpr qsizetype kMaxTagLength = 256;
constexpr qsizetype kMaxEntityLength = 10;

bool IsApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019);
}

bool CanRead(const QString& path)
{
    QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// The end of a mark-up tag or entity starting at i, or -1 when none starts there.
qsizetype MarkupEnd(const QString& text, qsizetype i)
{
    const qsizetype n = text.size();
    if (text[i] == u'<') {
        // A tag opens with its name or a slash: "a < b" is no tag.
        if (i + 1 >= n || !(text[i + 1].isLetter() || text[i + 1] == u'/'))
            return -1;
        for (qsizetype k = i + 1; k < n && k - i <= kMaxTagLength; ++k) {
            if (text[k] == u'>')
                return k + 1;
            if (text[k] == u'<' || text[k] == u'\n' || text[k] == u'\r')
                return -1;
        }
        return -1;
    }
    if (text[i] == u'&') {
        for (qsizetype k = i + 1; k < n && k - i <= kMaxEntityLength; ++k) {
            if (text[k] == u';')
                return k > i + 1 ? k + 1 : -1;
            if (!text[k].isLetterOrNumber() && text[k] != u'#')
                return -1;
        }
    }
    return -1;
}

} // namespace

CSpeller::CSpeller() = default;

CSpeller::~CSpeller() = default;

// --- dictionaries ------------------------------------------------------------

BOOL CSpeller::OpenMainDictionary(const QString& affixPath, const QString& wordsPath)
{
    CloseMainDictionary();
    if (!CanRead(affixPath) || !CanRead(wordsPath))
        return FALSE;
    auto dictionary = std::make_unique<Hunspell>(QFile::encodeName(affixPath).constData(),
                                                 QFile::encodeName(wordsPath).constData());
    m_utf8Dictionary = dictionary->get_dict_encoding() == "UTF-8";
    m_main = std::move(dictionary);
    m_mainPath = wordsPath;
    for (const QString& word : m_userWords)
        m_main->add(Encode(word).toStdString());
    return TRUE;
}

void CSpeller::CloseMainDictionary()
{
    m_main.reset();
    m_mainPath.clear();
}

BOOL CSpeller::OpenUserDictionary(const QString& path)
{
    m_userPath = path;
    m_userWords.clear();
    m_userReadable = true;
    m_userUtf8 = true;
    QFileInfo info(path);
    if (!info.exists())
        return TRUE;
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxUserDictionaryBytes ||
        !file.open(QIODevice::ReadOnly)) {
        m_userReadable = false;
        return FALSE;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_userReadable = false;
        return FALSE;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = FromWindows1252(bytes);
        m_userUtf8 = false;
    }
    QSet<QString> seen;
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QString word = line.trimmed().toString();
        if (word.isEmpty() || word.size() > kMaxWordLength || seen.contains(word))
            continue;
        if (std::any_of(word.begin(), word.end(), [](QChar c) {
                return c.isSpace() || c.category() == QChar::Other_Control;
            }))
            continue;
        seen.insert(word);
        m_userWords << word;
        if (m_main)
            m_main->add(Encode(word).toStdString());
    }
    return TRUE;
}

BOOL CSpeller::AddWord(const QString& rawWord)
{
    const QString word = rawWord.trimmed();
    if (word.isEmpty() || word.size() > kMaxWordLength)
        return FALSE;
    if (m_main)
        m_main->add(Encode(word).toStdString());
    if (m_userWords.contains(word))
        return TRUE;
    if (m_userPath.isEmpty() || !m_userReadable)
        return FALSE;

    // The list as it stands on the disk, with the word after it.
    QByteArray bytes;
    if (QFileInfo::exists(m_userPath)) {
        QFile old(m_userPath);
        if (!old.open(QIODevice::ReadOnly))
            return FALSE;
        bytes = old.readAll();
        if (old.error() != QFileDevice::NoError)
            return FALSE;
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += '\n';
    bytes += m_userUtf8 ? word.toUtf8() : ToWindows1252(word);
    bytes += '\n';
    QSaveFile file(m_userPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return FALSE;
    m_userWords << word;
    return TRUE;
}

QByteArray CSpeller::Encode(const QString& word) const
{
    return m_utf8Dictionary ? word.toUtf8() : word.toLatin1();
}

QString CSpeller::Decode(const std::string& word) const
{
    const QByteArray bytes = QByteArray::fromStdString(word);
    return m_utf8Dictionary ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

bool CSpeller::IsKnown(const QString& word) const
{
    if (!m_main)
        return false;
    if (word.size() > kMaxWordLength)
        return false;
    return m_main->spell(Encode(word).toStdString());
}

QStringList CSpeller::Suggest(const QString& word) const
{
    QStringList out;
    if (!m_main || word.size() > kMaxSuggestedLength)
        return out;
    for (const std::string& s : m_main->suggest(Encode(word).toStdString())) {
        if (m_displayLimit > 0 && out.size() >= m_displayLimit)
            break;
        out << Decode(s);
    }
    return out;
}

// --- one text ------------------------------------------------------------------

int CSpeller::CheckText(const QString& text)
{
    m_text = text;
    m_changes = 0;
    m_checking = true;
    return Continue(0);
}

QString CSpeller::UnknownWord() const
{
    if (m_wordStart < 0)
        return QString();
    return m_text.mid(m_wordStart, m_wordLength);
}

bool CSpeller::Ignored(const QString& word) const
{
    if (m_ignoreAll.contains(word))
        return true;
    bool digits = false;
    bool letters = false;
    bool lower = false;
    for (QChar c : word) {
        if (c.isDigit())
            digits = true;
        else if (c.isLetter())
            letters = true;
        if (c.isLower())
            lower = true;
    }
    if (digits && !letters)
        return (m_options & IgnorePureNumbers) != 0;
    if (digits)
        return (m_options & IgnorePartialNumbers) != 0;
    return (m_options & IgnoreUpperCase) != 0 && !lower && word.size() > 1;
}

int CSpeller::Continue(qsizetype from)
{
    m_pos = from;
    m_wordStart = -1;
    m_wordLength = 0;
    m_suggestions.clear();
    return FindNextUnknown();
}

int CSpeller::FindNextUnknown()
{
    const bool split = (m_options & SplitHyphenated) != 0;
    while (m_pos < m_text.size()) {
        const qsizetype i = m_pos;
        const QChar c = m_text[i];
        if (c == u'<' || c == u'&') {
            const qsizetype end = MarkupEnd(m_text, i);
            m_pos = end > 0 ? end : i + 1;
            continue;
        }
        if (!c.isLetterOrNumber()) {
            ++m_pos;
            continue;
        }
        // A word: letters and digits, joined by apostrophes (and hyphens
        // unless they split words) that stand between two of them.
        qsizetype k = i + 1;
        while (k < m_text.size()) {
            const QChar d = m_text[k];
            if (d.isLetterOrNumber()) {
                ++k;
                continue;
            }
            const bool joins = IsApostrophe(d) || (!split && d == u'-');
            if (joins && k + 1 < m_text.size() && m_text[k + 1].isLetterOrNumber()) {
                k += 2;
                continue;
            }
            break;
        }
        const QString word = m_text.mid(i, k - i);
        m_pos = k;
        if (Ignored(word))
            continue;
        const auto change = m_changeAll.find(word);
        if (change != m_changeAll.end()) {
            m_text.replace(i, k - i, change->second);
            m_pos = i + change->second.size();
            ++m_changes;
            continue;
        }
        if (IsKnown(word))
            continue;
        m_wordStart = i;
        m_wordLength = k - i;
        m_suggestions = Suggest(word);
        return kUnknownWord;
    }
    m_checking = false;
    return kFinished;
}

int CSpeller::Ignore()
{
    if (!m_checking || m_wordStart < 0)
        return kNoText;
    return Continue(m_wordStart + m_wordLength);
}

int CSpeller::IgnoreAll()
{
    if (!m_checking || m_wordStart < 0)
        return kNoText;
    m_ignoreAll.insert(UnknownWord());
    return Continue(m_wordStart + m_wordLength);
}

int CSpeller::Change(const QString& replacement)
{
    if (!m_checking || m_wordStart < 0)
        return kNoText;
    const qsizetype start = m_wordStart;
    if (replacement != UnknownWord()) {
        m_text.replace(start, m_wordLength, replacement);
        ++m_changes;
    }
    return Continue(start + replacement.size());
}

int CSpeller::ChangeAll(const QString& replacement)
{
    if (!m_checking || m_wordStart < 0)
        return kNoText;
    m_changeAll[UnknownWord()] = replacement;
    return Change(replacement);
}

int CSpeller::AddToDictionary()
{
    if (!m_checking || m_wordStart < 0)
        return kNoText;
    m_lastAddFailed = !AddWord(UnknownWord());
    return Continue(m_wordStart + m_wordLength);
}

void CSpeller::Close()
{
    m_checking = false;
    m_text.clear();
    m_pos = 0;
    m_wordStart = -1;
    m_wordLength = 0;
    m_suggestions.clear();
    m_changes = 0;
    m_ignoreAll.clear();
    m_changeAll.clear();
}
