#include "ScriptStore.h"

#include "AppContext.h"

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
