// The named filters and the named custom views the program keeps between
// sessions: name to SQL statement (filters, side file ".flf") and name to
// query (custom views, side file ".vlf"). Both programs share them; they are
// read at start-up and written at exit.
#pragma once

#include "Archive.h"
#include "StringMapFile.h"

#include <QString>
#include <QStringList>

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
    const CStringMapFile& File() const { return m_file; }

private:
    CStringMap m_map;
    CStringMapFile m_file{{".flf", "filters", "entry", "entry", "", true}};
};

CFilterList& TheFilterList();

// The side file of the custom view list (TheCustomViewList, DatabaseLink.h).
class CCustomViewFile
{
public:
    CStringMapFile file{{".vlf", "custom views", "entry", "entry", "", true}};
};

// The name of the first custom view whose query is the text (case ignored),
// else empty.
QString FindViewName(const QString& query);

bool LoadFilterFile(const QString& folder = QString());
bool SaveFilterFile();
bool LoadViewFile(const QString& folder = QString());
bool SaveViewFile();
