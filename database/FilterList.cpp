#include "FilterList.h"

#include "AppContext.h"
#include "DatabaseLink.h"
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

// --- the side file ---------------------------------------------------------------------------

bool CNamedTextFile::Load(CStringMap& map, const QString& folder)
{
    const QString own = CSignApp::GetProgramFileName(QString::fromLatin1(m_extension));
    m_filePath = folder.isEmpty() ? own : QDir(folder).filePath(QFileInfo(own).fileName());
    m_fileKept = false;
    QFile file(m_filePath);
    if (!file.exists())
        return false;
    const auto keep = [this](const QString& reason) {
        m_fileKept = true;
        AppMessageBox(QStringLiteral("Your %1 file \"%2\" cannot be read whole: %3. It is left "
                                     "as it is, and changes to your %1 are not saved into it "
                                     "in this session.")
                          .arg(QString::fromLatin1(m_what), ElideMiddle(m_filePath), reason),
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
            if (name.trimmed().isEmpty())
                return keep(QStringLiteral("entry %1 has no name").arg(i + 1));
            map.SetAt(name, text);
        }
        if (ar.BytesRemaining() > 0)
            return keep(QStringLiteral("the file has data after its last entry"));
    } catch (const CArchiveException&) {
        return keep(QStringLiteral("the file is damaged"));
    } catch (const std::bad_alloc&) {
        return keep(QStringLiteral("not enough memory"));
    }
    return true;
}

bool CNamedTextFile::Save(const CStringMap& map)
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

// --- the filter list -------------------------------------------------------------------------

QString CFilterList::Find(const QString& name) const
{
    QString statement;
    return m_map.Lookup(name, statement) ? statement : QString();
}

bool CFilterList::Contains(const QString& name) const
{
    QString statement;
    return m_map.Lookup(name, statement);
}

void CFilterList::Set(const QString& name, const QString& statement)
{
    if (!name.isEmpty())
        m_map.SetAt(name, statement);
}

bool CFilterList::Remove(const QString& name)
{
    return m_map.RemoveKey(name);
}

QStringList CFilterList::Names() const
{
    QStringList names;
    for (const CStringMap::Pair& pair : m_map.Pairs())
        names << pair.first;
    return names;
}

CFilterList& TheFilterList()
{
    return App().Get<CFilterList>();
}

bool LoadFilterFile(const QString& folder)
{
    return TheFilterList().Load(folder);
}

bool SaveFilterFile()
{
    return TheFilterList().Save();
}

// --- the custom view file --------------------------------------------------------------------

QString FindViewName(const QString& query)
{
    return TheCustomViewList().NameOfQuery(query);
}

bool LoadViewFile(const QString& folder)
{
    CStringMap map;
    const bool whole = App().Get<CCustomViewFile>().file.Load(map, folder);
    CCustomViewList& views = TheCustomViewList();
    for (const CStringMap::Pair& pair : map.Pairs())
        views.Set(pair.first, pair.second);
    return whole;
}

bool SaveViewFile()
{
    CStringMap map;
    for (const auto& [name, query] : TheCustomViewList().Views())
        map.SetAt(name, query);
    return App().Get<CCustomViewFile>().file.Save(map);
}
