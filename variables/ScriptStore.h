// The macro script store: every macro script by name, shared by all signs
// for the life of the program. Variables and elements refer to a script by
// its name; a sign carries a copy of the text of each script it uses.
#pragma once

#include "Archive.h"

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

private:
    CStringMap m_scripts;
};

// The application's store.
CScriptStore& TheScriptStore();

// The text stored under the name in the application's store, or empty.
QString GetScriptText(const QString& name);
