#include "FileName.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

qsizetype FirstSeparator(const QString& s, qsizetype from = 0)
{
    for (qsizetype i = from; i < s.size(); ++i) {
        if (IsSeparator(s[i]))
            return i;
    }
    return -1;
}

qsizetype LastSeparator(const QString& s)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (IsSeparator(s[i]))
            return i;
    }
    return -1;
}

QString WithSlashes(QString path)
{
    path.replace(u'\\', u'/');
    return path;
}

// The first file-system entry that the path names; the file name may carry
// the wildcards '*' and '?', in which case the first match by name counts.
std::optional<QFileInfo> FindFirst(const QString& rawPath)
{
    if (rawPath.isEmpty())
        return std::nullopt;
    const QString path = WithSlashes(rawPath);
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    if (!name.contains(u'*') && !name.contains(u'?')) {
        QFileInfo info(path);
        if (info.exists())
            return info;
        return std::nullopt;
    }
    QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash);
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    const QFileInfoList matches = QDir(folder).entryInfoList(
        {name}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (matches.isEmpty())
        return std::nullopt;
    return matches.first();
}

} // namespace

QString CFileName::GetFileTitle(bool withExtension) const
{
    QString title = m_path.mid(LastSeparator(m_path) + 1);
    if (!withExtension) {
        const qsizetype dot = title.indexOf(u'.');
        if (dot >= 0)
            title.truncate(dot);
    }
    return title;
}

QString CFileName::GetExtension() const
{
    const qsizetype dot = m_path.indexOf(u'.');
    return dot < 0 ? QString() : m_path.mid(dot);
}

QString CFileName::GetFolder(bool trailingSeparator) const
{
    const qsizetype sep = LastSeparator(m_path);
    if (sep < 0)
        return QString();
    QString folder = m_path.left(sep);
    if (trailingSeparator)
        folder += u'/';
    return folder;
}

QString CFileName::GetExtensionFilter(const QString& defaultFilter) const
{
    const qsizetype dot = m_path.indexOf(u'.');
    return dot < 0 ? defaultFilter : u'*' + m_path.mid(dot);
}

QString CFileName::ReplaceExtension(const QString& newExtension) const
{
    const qsizetype dot = m_path.lastIndexOf(u'.');
    return (dot < 0 ? m_path : m_path.left(dot)) + newExtension;
}

bool CFileName::Exists(bool inSystemFolder) const
{
    if (!inSystemFolder)
        return FindFirst(m_path).has_value();
    const QString systemFolder = qEnvironmentVariable("TABREL_SYSTEM_DIR");
    if (systemFolder.isEmpty())
        return false;
    return FindFirst(systemFolder + u'/' + m_path).has_value();
}

int CFileName::SplitPath(QStringList& parts) const
{
    parts.clear();
    QString rest = m_path;
    if (rest.size() >= 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) {
        rest.remove(0, 2);
    } else if (!rest.isEmpty() && IsSeparator(rest[0])) {
        rest.remove(0, 1);
    } else if (rest.size() >= 2 && rest[0].isLetter() && rest[1] == u':') {
        parts.append(rest.left(2));
        rest.remove(0, 3);
    }
    for (qsizetype sep = FirstSeparator(rest); sep >= 0; sep = FirstSeparator(rest)) {
        parts.append(rest.left(sep));
        rest.remove(0, sep + 1);
    }
    if (!rest.isEmpty())
        parts.append(rest);
    return int(parts.size());
}

qint64 CFileName::GetFileSize() const
{
    const auto found = FindFirst(m_path);
    return found ? found->size() : 0;
}

QString CFileName::GetSizeText() const
{
    const auto found = FindFirst(m_path);
    if (!found)
        return QString();
    return QString::number((found->size() + 1023) / 1024) + QStringLiteral("KB");
}

QDateTime CFileName::GetLastWriteTime() const
{
    const auto found = FindFirst(m_path);
    return found ? found->lastModified() : QDateTime();
}

QString CFileName::GetTimeText() const
{
    const QDateTime time = GetLastWriteTime();
    if (!time.isValid())
        return QString();
    return time.toLocalTime().toString(QStringLiteral("dd/MM/yy hh:mm"));
}

QString CFileName::GetAbbreviatedPath(int maxLength) const
{
    const qsizetype excess = m_path.size() - maxLength;
    const qsizetype first = FirstSeparator(m_path);
    if (excess <= 0 || first < 0)
        return m_path;
    const QString head = m_path.left(first + 1) + QStringLiteral("..");
    for (qsizetype p = FirstSeparator(m_path, first + 1); p >= 0;
         p = FirstSeparator(m_path, p + 1)) {
        if (p - first - 3 > excess)
            return head + m_path.mid(p);
    }
    const qsizetype last = LastSeparator(m_path);
    if (last > first)
        return head + m_path.mid(last);
    return m_path;
}

QString NormalizeStoredPath(const QString& path, const QString& baseFolder)
{
    QString result = WithSlashes(path);
    if (result.startsWith(u"./") && !baseFolder.isEmpty()) {
        QString base = WithSlashes(baseFolder);
        if (!base.endsWith(u'/'))
            base += u'/';
        result = base + result.mid(2);
    }
    return result;
}
