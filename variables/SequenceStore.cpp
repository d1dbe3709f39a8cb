#include "SequenceStore.h"

#include "AppContext.h"

QString CSequenceStore::GetValue(const QString& name) const
{
    QString value;
    m_map.Lookup(name, value);
    return value;
}

void CSequenceStore::SetValue(const QString& name, const QString& value)
{
    if (!name.isEmpty())
        m_map.SetAt(name, value);
}

void CSequenceStore::Merge(const CStringMap& other)
{
    for (const CStringMap::Pair& pair : other.Pairs()) {
        QString existing;
        if (!pair.first.isEmpty() && !m_map.Lookup(pair.first, existing))
            m_map.SetAt(pair.first, pair.second);
    }
}

QStringList CSequenceStore::Names() const
{
    QStringList names;
    for (const CStringMap::Pair& pair : m_map.Pairs())
        names << pair.first;
    return names;
}

int CSequenceStore::FillNames(QStringList& names, const QString& name) const
{
    names = Names();
    if (names.isEmpty())
        return -1;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].startsWith(name, Qt::CaseInsensitive))
            return int(i);
    }
    return 0;
}

CSequenceStore& TheSequenceStore()
{
    return App().Get<CSequenceStore>();
}

bool LoadSequenceStore(const QString& folder)
{
    return TheSequenceStore().Load(folder);
}

bool SaveSequenceStore()
{
    return TheSequenceStore().Save();
}
