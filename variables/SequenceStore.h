// The number sequences: named counters that carry on from one sign and one
// print run to the next. The store maps each sequence's name to the next
// number to print, and lives in the side file ".sns" beside the program.
#pragma once

#include "Archive.h"
#include "StringMapFile.h"

#include <QString>
#include <QStringList>

class CSequenceStore
{
public:
    // The next number of the sequence (exact name), or empty.
    QString GetValue(const QString& name) const;
    bool Lookup(const QString& name, QString& value) const { return m_map.Lookup(name, value); }
    void SetValue(const QString& name, const QString& value);
    // Adds each entry of the other map whose name the store lacks.
    void Merge(const CStringMap& other);
    // The sequence names in the store's order.
    QStringList Names() const;
    // The names in the store's order, and the index of the first that begins
    // with the name (case ignored), else 0; -1 when the store is empty.
    int FillNames(QStringList& names, const QString& name) const;
    int GetCount() const { return m_map.GetCount(); }
    const CStringMap& Map() const { return m_map; }
    void RemoveAll() { m_map.RemoveAll(); }

    // Reads the file: the program's own ".sns", or the file of that name in
    // the folder. A missing file leaves the store as it is. True when the
    // whole file was read. A file that is there but cannot be read whole is
    // named once with the reason; the entries before the damage are kept,
    // and the file is left as it is: Save never rewrites or removes it.
    // Nothing is written before the store has been loaded. Writes the map,
    // or removes the file when the map is empty. Written
    // beside the old file and put in its place only when every byte reached
    // the disk; a failure is shown and the old file stays.
    bool Load(const QString& folder = QString()) { return m_file.Load(m_map, folder); }
    bool Save() { return m_file.Save(m_map); }
    const QString& GetFilePath() const { return m_file.FilePath(); }
    bool IsFileKept() const { return m_file.IsFileKept(); }

private:
    CStringMap m_map;
    CStringMapFile m_file{{".sns", "number sequences", "number sequence", "number sequence",
                           "the numbers printed from its sequences are not saved into it"}};
};

CSequenceStore& TheSequenceStore();

bool LoadSequenceStore(const QString& folder = QString());
bool SaveSequenceStore();
