#include "SpellOCX.h"

#include "Messages.h"
#include "SignApp.h"

#include <QDir>
#include <QFileInfo>

namespace {

CSpellOCX::UnknownWordDialog& DialogRunner()
{
    static CSpellOCX::UnknownWordDialog runner;
    return runner;
}

const char* const kLanguage = "en_US";

// The words file of the hunspell pair at base (a path without extension),
// with its affix file; empty when either is missing.
QString PairAt(const QString& base, QString* affix)
{
    const QString words = base + QStringLiteral(".dic");
    const QString affixes = base + QStringLiteral(".aff");
    if (!QFileInfo(words).isFile() || !QFileInfo(affixes).isFile())
        return QString();
    if (affix)
        *affix = affixes;
    return words;
}

} // namespace

void CSpellOCX::SetUnknownWordDialog(UnknownWordDialog dialog)
{
    DialogRunner() = std::move(dialog);
}

QString CSpellOCX::UserDictionaryPath()
{
    return CSignApp::GetProgramFileName(QStringLiteral(".dic"));
}

QStringList CSpellOCX::DictionaryFolders()
{
    const QByteArray dicPath = qgetenv("DICPATH");
    if (!dicPath.isNull())
        return QString::fromLocal8Bit(dicPath).split(u':', Qt::SkipEmptyParts);
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/local/share/hunspell"),
            QStringLiteral("/usr/share/myspell"), QStringLiteral("/usr/share/myspell/dicts")};
}

QString CSpellOCX::FindMainDictionary(const QString& setting, QString* affix)
{
    // The dictionary the user chose: either file of a hunspell pair.
    const QString chosen = QString(setting).replace(u'\\', u'/');
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix == QLatin1String("dic") || suffix == QLatin1String("aff")) {
        const QString found = PairAt(chosen.left(chosen.size() - 4), affix);
        if (!found.isEmpty())
            return found;
    }
    QStringList folders{CSignApp::GetProgramFolder()};
    folders += DictionaryFolders();
    for (const QString& folder : folders) {
        const QString found = PairAt(QDir(folder).filePath(QString::fromLatin1(kLanguage)), affix);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

BOOL CSpellOCX::Create(const CSpellSettings& settings)
{
    if (m_created)
        return TRUE;
    m_created = TRUE;
    m_settings = settings;
    OpenUserDictionary();
    OpenMainDictionary();
    m_speller.SetOptions(m_settings.options);
    m_speller.SetDisplayLimit(m_settings.displayLimit);
    return TRUE;
}

void CSpellOCX::ApplySettings(const CSpellSettings& settings)
{
    m_settings = settings;
    if (!m_created)
        return;
    OpenMainDictionary();
    m_speller.SetOptions(m_settings.options);
    m_speller.SetDisplayLimit(m_settings.displayLimit);
}

BOOL CSpellOCX::OpenMainDictionary()
{
    if (!m_created)
        return FALSE;
    QString affix;
    const QString words = FindMainDictionary(m_settings.dictionary, &affix);
    if (words.isEmpty()) {
        m_speller.CloseMainDictionary();
        return FALSE;
    }
    if (!m_speller.OpenMainDictionary(affix, words)) {
        AppMessageBox(QStringLiteral("Unable to open dictionary %1").arg(ElideMiddle(words)),
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL CSpellOCX::OpenUserDictionary()
{
    if (!m_created)
        return FALSE;
    const QString path = UserDictionaryPath();
    if (!m_speller.OpenUserDictionary(path)) {
        AppMessageBox(QStringLiteral("Unable to read the user dictionary %1; it is left as it is "
                                     "and words cannot be added to it.")
                          .arg(ElideMiddle(path)),
                      MB_OK | MB_ICONEXCLAMATION);
    }
    return TRUE;
}

void CSpellOCX::Close()
{
    m_speller.Close();
}

int CSpellOCX::CheckText(const QString& text, QString& corrected)
{
    if (!IsAvailable())
        return 0;
    const int result = m_speller.CheckText(text);
    if (result > 0) {
        ReportError(result);
        return 2;
    }
    if (result < 0) {
        // Nobody to ask about the word: nothing is changed.
        if (!DialogRunner() || DialogRunner()(*this) != IDOK)
            return 2;
    }
    if (m_speller.ChangeCount() < 1 || m_speller.CheckedText() == text)
        return 0;
    corrected = m_speller.CheckedText();
    return 1;
}

int CSpellOCX::AddWordToUserDictionary()
{
    const QString word = m_speller.UnknownWord();
    const int next = m_speller.AddToDictionary();
    if (m_speller.LastAddFailed()) {
        AppMessageBox(QStringLiteral("Unable to add \"%1\" to the user dictionary %2")
                          .arg(ElideMiddle(word), ElideMiddle(m_speller.UserDictionaryPath())),
                      MB_OK | MB_ICONEXCLAMATION);
    }
    return next;
}

void CSpellOCX::ReportError(int code)
{
    if (code > 0)
        AppMessageBox(QStringLiteral("Spell checking error %1").arg(code),
                      MB_OK | MB_ICONEXCLAMATION);
}
