// The macro script store: every macro script by name, shared by all signs
// for the life of the program. Variables and elements refer to a script by
// its name; a sign carries a copy of the text of each script it uses.
#pragma once

#include "Archive.h"
#include "StringMapFile.h"

#include <QString>

class CScriptStore
{
public:
    // The text stored under the name (exact, case counts), or empty.
    QString GetScriptText(const QString& name) const;
    bool Contains(const QString& name) const;
    void SetScriptText(const QString& name, const QString& text);
    bool RemoveScript(const QString& name);
    void RemoveAll() { m_scripts.RemoveAll(); }
    int GetCount() const { return m_scripts.GetCount(); }
    const CStringMap& Scripts() const { return m_scripts; }

    // The store's file: the program's file name with ".mss". Loading sets
    // the path; a missing file leaves the store empty and shows nothing. A
    // pair with an empty name is not taken. True when the whole file was
    // read. A file that is there but cannot be read whole (no permission,
    // damaged) is named in one message with the reason; the scripts read
    // before the damage are kept, and the file is then left as it is: Save
    // neither rewrites nor removes it in this session.
    bool Load() { return m_file.Load(m_scripts); }
    // Writes every script, or removes the file when the store is empty.
    // Nothing is written before the store has been loaded (the path is not
    // known and the user's file would be lost), nor after it could not be
    // read whole. When the file cannot be written whole (a full disk) the
    // file error is shown, the old file stays as it was and the answer is
    // false.
    bool Save() { return m_file.Save(m_scripts); }
    const QString& GetFilePath() const { return m_file.FilePath(); }
    // The file could not be read whole and is left as it is.
    bool IsFileKept() const { return m_file.IsFileKept(); }

private:
    CStringMap m_scripts;
    CStringMapFile m_file{{".mss", "macro scripts", "macro script", "script"}};
};

// The application's store.
CScriptStore& TheScriptStore();

// The text stored under the name in the application's store, or empty.
QString GetScriptText(const QString& name);

// The application's store from and to its file (at start-up, and at exit and
// before a package export).
bool LoadScriptStore();
bool SaveScriptStore();
