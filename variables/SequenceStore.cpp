#include "SequenceStore.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "SignApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace {

const char* const kExtension = ".sns";

void ReportFileError(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("The file %1 could not be saved.\n%2").arg(path, reason),
                  MB_OK | MB_ICONEXCLAMATION);
}

void ReportUnreadStore(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("Your number sequences file \"%1\" cannot be read whole: %2. "
                                 "It is left as it is, and the numbers printed from its "
                                 "sequences are not saved into it in this session.")
                      .arg(path, reason),
                  MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

QString CSequenceStore::GetValue(const QString& name) const
{
    QString value;
    m_map.Lookup(name, value);
    return value;
}

void CSequenceStore::SetValue(const QString& name, const QString& value)
{
    if (!name.isEmpty())
        m_map.SetAt(name, value);
}

void CSequenceStore::Merge(const CStringMap& other)
{
    for (const CStringMap::Pair& pair : other.Pairs()) {
        QString existing;
        if (!pair.first.isEmpty() && !m_map.Lookup(pair.first, existing))
            m_map.SetAt(pair.first, pair.second);
    }
}

QStringList CSequenceStore::Names() const
{
    QStringList names;
    for (const CStringMap::Pair& pair : m_map.Pairs())
        names << pair.first;
    return names;
}

int CSequenceStore::FillNames(QStringList& names, const QString& name) const
{
    names = Names();
    if (names.isEmpty())
        return -1;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].startsWith(name, Qt::CaseInsensitive))
            return int(i);
    }
    return 0;
}

bool CSequenceStore::Load(const QString& folder)
{
    const QString own = CSignApp::GetProgramFileName(QString::fromLatin1(kExtension));
    m_filePath = folder.isEmpty() ? own : QDir(folder).filePath(QFileInfo(own).fileName());
    m_fileKept = false;
    QFile file(m_filePath);
    if (!file.exists())
        return false;
    const auto keep = [this](const QString& reason) {
        m_fileKept = true;
        ReportUnreadStore(m_filePath, reason);
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return keep(file.errorString());
    try {
        CArchive ar(&file, CArchive::load);
        ar.SetFilePath(m_filePath);
        if (file.error() != QFileDevice::NoError)
            return keep(file.errorString());
        // Each pair holds two strings of one byte at least.
        const DWORD count = ar.ReadCount(2);
        for (DWORD i = 0; i < count; ++i) {
            const QString name = ar.ReadString();
            const QString value = ar.ReadString();
            if (name.isEmpty())
                return keep(QStringLiteral("number sequence %1 has no name").arg(i + 1));
            m_map.SetAt(name, value);
        }
        if (ar.BytesRemaining() > 0)
            return keep(QStringLiteral("the file has data after its last number sequence"));
    } catch (const CArchiveException&) {
        return keep(QStringLiteral("the file is damaged"));
    } catch (const std::bad_alloc&) {
        return keep(QStringLiteral("not enough memory"));
    }
    return true;
}

bool CSequenceStore::Save()
{
    // Before the file has been read its sequences are unknown, and writing
    // the map would lose them.
    if (m_filePath.isEmpty() || m_fileKept)
        return false;
    if (m_map.IsEmpty()) {
        QFile old(m_filePath);
        if (!old.exists() || old.remove())
            return true;
        ReportFileError(m_filePath, old.errorString());
        return false;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ReportFileError(m_filePath, file.errorString());
        return false;
    }
    QString error;
    try {
        CArchive ar(&file, CArchive::store);
        ar.WriteStringMap(m_map);
        ar.Flush();
    } catch (const CArchiveException&) {
        error = file.errorString();
        if (error.isEmpty())
            error = QStringLiteral("the disk may be full");
    }
    if (error.isEmpty() && file.commit())
        return true;
    if (error.isEmpty())
        error = file.errorString();
    file.cancelWriting();
    ReportFileError(m_filePath, error);
    return false;
}

CSequenceStore& TheSequenceStore()
{
    return App().Get<CSequenceStore>();
}

bool LoadSequenceStore(const QString& folder)
{
    return TheSequenceStore().Load(folder);
}

bool SaveSequenceStore()
{
    return TheSequenceStore().Save();
}
