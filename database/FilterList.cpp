#include "FilterList.h"

#include "AppContext.h"
#include "DatabaseLink.h"

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
