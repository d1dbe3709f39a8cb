// The named filters and the named custom views the program keeps between
// sessions: name to SQL statement (filters, side file ".flf") and name to
// query (custom views, side file ".vlf"). Both programs share them; they are
// read at start-up and written at exit.
#pragma once

#include "Archive.h"

#include <QString>
#include <QStringList>

// One side file of named texts: the framework archive of a string map (the
// count, then each name and its text). A file that is there but cannot be
// read whole is named once with the reason and kept as it is: the entries
// before the damage are used, and the file is never written over or removed
// in that session.
class CNamedTextFile
{
public:
    explicit CNamedTextFile(const char* extension, const char* what)
        : m_extension(extension), m_what(what)
    {
    }
    // Reads the program's own file, or the file of that name in the folder.
    // A missing file is an empty map. True when the whole file was read.
    bool Load(CStringMap& map, const QString& folder = QString());
    // Writes the map (removes the file when the map is empty). Nothing is
    // written before the file has been loaded, nor over a file kept after
    // damage. A failure is shown and the old file stays.
    bool Save(const CStringMap& map);
    const QString& FilePath() const { return m_filePath; }
    bool IsFileKept() const { return m_fileKept; }

private:
    const char* m_extension;
    const char* m_what;
    QString m_filePath;
    bool m_fileKept = false;
};

// The named filters: name to SQL statement.
class CFilterList
{
public:
    // The statement of the name (exact name), or a null text.
    QString Find(const QString& name) const;
    bool Contains(const QString& name) const;
    // Stores the statement under the name, replacing one of the same name.
    void Set(const QString& name, const QString& statement);
    bool Remove(const QString& name);
    QStringList Names() const;
    int GetCount() const { return m_map.GetCount(); }
    const CStringMap& Map() const { return m_map; }
    void RemoveAll() { m_map.RemoveAll(); }

    bool Load(const QString& folder = QString()) { return m_file.Load(m_map, folder); }
    bool Save() { return m_file.Save(m_map); }
    const CNamedTextFile& File() const { return m_file; }

private:
    CStringMap m_map;
    CNamedTextFile m_file{".flf", "filters"};
};

CFilterList& TheFilterList();

// The side file of the custom view list (TheCustomViewList, DatabaseLink.h).
class CCustomViewFile
{
public:
    CNamedTextFile file{".vlf", "custom views"};
};

// The name of the first custom view whose query is the text (case ignored),
// else empty.
QString FindViewName(const QString& query);

bool LoadFilterFile(const QString& folder = QString());
bool SaveFilterFile();
bool LoadViewFile(const QString& folder = QString());
bool SaveViewFile();
