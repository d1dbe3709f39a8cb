#include "ScriptStore.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "SignApp.h"

#include <QFile>
#include <QSaveFile>

#include <new>

namespace {

void ReportFileError(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("The file %1 could not be saved.\n%2").arg(path, reason));
}

void ReportUnreadStore(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("Your macro scripts file \"%1\" cannot be read whole: %2. "
                                 "It is left as it is, and changes to your macro scripts are "
                                 "not saved into it in this session.")
                      .arg(path, reason),
                  MB_ICONEXCLAMATION);
}

} // namespace

QString CScriptStore::GetScriptText(const QString& name) const
{
    QString text;
    m_scripts.Lookup(name, text);
    return text;
}

bool CScriptStore::Contains(const QString& name) const
{
    QString text;
    return m_scripts.Lookup(name, text);
}

void CScriptStore::SetScriptText(const QString& name, const QString& text)
{
    m_scripts.SetAt(name, text);
}

bool CScriptStore::RemoveScript(const QString& name)
{
    return m_scripts.RemoveKey(name);
}

bool CScriptStore::Load()
{
    m_filePath = CSignApp::GetProgramFileName(QStringLiteral(".mss"));
    m_fileKept = false;
    QFile file(m_filePath);
    if (!file.exists())
        return false;
    // From here on the user has a file of scripts: whatever keeps it from
    // being read whole is said once, and the file is kept as it is.
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
            const QString text = ar.ReadString();
            if (name.isEmpty())
                return keep(QStringLiteral("macro script %1 has no name").arg(i + 1));
            m_scripts.SetAt(name, text);
        }
        if (ar.BytesRemaining() > 0)
            return keep(QStringLiteral("the file has data after its last script"));
    } catch (const CArchiveException&) {
        return keep(QStringLiteral("the file is damaged"));
    } catch (const std::bad_alloc&) {
        return keep(QStringLiteral("not enough memory"));
    }
    return true;
}

bool CScriptStore::Save()
{
    if (m_filePath.isEmpty() || m_fileKept)
        return false;
    if (m_scripts.IsEmpty()) {
        QFile old(m_filePath);
        if (!old.exists() || old.remove())
            return true;
        ReportFileError(m_filePath, old.errorString());
        return false;
    }

    // Written beside the old file and put in its place only when every byte
    // reached the disk.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ReportFileError(m_filePath, file.errorString());
        return false;
    }
    QString error;
    try {
        CArchive ar(&file, CArchive::store);
        ar.WriteStringMap(m_scripts);
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

CScriptStore& TheScriptStore()
{
    return App().Get<CScriptStore>();
}

QString GetScriptText(const QString& name)
{
    return TheScriptStore().GetScriptText(name);
}

bool LoadScriptStore()
{
    return TheScriptStore().Load();
}

bool SaveScriptStore()
{
    return TheScriptStore().Save();
}
