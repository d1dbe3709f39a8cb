#include "StringMapFile.h"

#include "MessageBox.h"
#include "SignApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace {

void ReportSaveError(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("The file %1 could not be saved.\n%2")
                      .arg(ElideMiddle(path), ElideMiddle(reason)),
                  MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

bool CStringMapFile::Load(CStringMap& map, const QString& folder)
{
    const QString own = CSignApp::GetProgramFileName(QString::fromLatin1(m_texts.extension));
    m_filePath = folder.isEmpty() ? own : QDir(folder).filePath(QFileInfo(own).fileName());
    m_fileKept = false;
    QFile file(m_filePath);
    if (!file.exists())
        return false;
    // From here on the user has a file: whatever keeps it from being read
    // whole is said once, and the file is kept as it is.
    const auto keep = [this](const QString& reason) {
        m_fileKept = true;
        const QString what = QString::fromLatin1(m_texts.what);
        QString means = QString::fromLatin1(m_texts.keptMeans);
        if (means.isEmpty())
            means = QStringLiteral("changes to your %1 are not saved into it").arg(what);
        AppMessageBox(QStringLiteral("Your %1 file \"%2\" cannot be read whole: %3. It is left "
                                     "as it is, and %4 in this session.")
                          .arg(what, ElideMiddle(m_filePath), reason, means),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return keep(file.errorString());
    try {
        CArchive ar(&file, CArchive::load);
        ar.SetFilePath(m_filePath);
        if (file.error() != QFileDevice::NoError)
            return keep(file.errorString());
        // Each entry holds two strings of one byte at least.
        const DWORD count = ar.ReadCount(2);
        for (DWORD i = 0; i < count; ++i) {
            const QString name = ar.ReadString();
            const QString text = ar.ReadString();
            if ((m_texts.trimNames ? name.trimmed() : name).isEmpty()) {
                return keep(QStringLiteral("%1 %2 has no name")
                                .arg(QString::fromLatin1(m_texts.entry))
                                .arg(i + 1));
            }
            map.SetAt(name, text);
        }
        if (ar.BytesRemaining() > 0) {
            return keep(QStringLiteral("the file has data after its last %1")
                            .arg(QString::fromLatin1(m_texts.lastEntry)));
        }
    } catch (const CArchiveException&) {
        return keep(QStringLiteral("the file is damaged"));
    } catch (const std::bad_alloc&) {
        return keep(QStringLiteral("not enough memory"));
    }
    return true;
}

bool CStringMapFile::Save(const CStringMap& map)
{
    if (m_filePath.isEmpty() || m_fileKept)
        return false;
    if (map.IsEmpty()) {
        QFile old(m_filePath);
        if (!old.exists() || old.remove())
            return true;
        ReportSaveError(m_filePath, old.errorString());
        return false;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ReportSaveError(m_filePath, file.errorString());
        return false;
    }
    QString error;
    try {
        CArchive ar(&file, CArchive::store);
        ar.WriteStringMap(map);
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
    ReportSaveError(m_filePath, error);
    return false;
}
