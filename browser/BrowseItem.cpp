#include "BrowseItem.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QStorageInfo>

namespace {

template <class T> int ThreeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareNames(const BrowseItem& a, const BrowseItem& b)
{
    int result = a.name.compare(b.name, Qt::CaseInsensitive);
    if (result == 0)
        result = a.name.compare(b.name, Qt::CaseSensitive);
    if (result == 0)
        result = a.path.compare(b.path, Qt::CaseSensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

// The kind of file as a user calls it: signs by name, others as the
// desktop knows them, else by their suffix.
QString TypeName(const QFileInfo& info)
{
    if (info.isDir())
        return QStringLiteral("File Folder");
    const QString suffix = info.suffix();
    if (suffix.compare(QLatin1String(kSignSuffix), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Tabrel Sign");
    static const QMimeDatabase types;
    const QMimeType type = types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (!type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
}

} // namespace

bool IsOnRemovableMedia(const QString& path)
{
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return false;
    const QByteArray device = storage.device();
    return device.startsWith("/dev/sr") || device.contains("mmcblk") ||
           storage.rootPath().startsWith(QLatin1String("/media/")) ||
           storage.rootPath().startsWith(QLatin1String("/run/media/"));
}

BrowseItem BrowseItem::FromFileInfo(const QFileInfo& info, bool removable)
{
    BrowseItem item;
    item.name = info.fileName();
    if (item.name.isEmpty())
        item.name = info.absoluteFilePath(); // the root
    item.path = info.absoluteFilePath();
    item.fileSystem = true;
    item.folder = info.isDir();
    item.size = item.folder ? 0 : info.size();
    item.modified = info.lastModified();
    item.removable = removable;
    item.typeName = TypeName(info);
    return item;
}

QString BrowseItem::ColumnText(int column) const
{
    switch (column) {
    case 0:
        return name;
    case 1:
        if (!fileSystem || folder)
            return QString();
        // Whole kilobytes rounded up, without overflow for any size.
        return QStringLiteral("%1KB").arg(size / 1024 + (size % 1024 != 0 ? 1 : 0));
    case 2:
        return fileSystem ? typeName : QString();
    case 3:
        if (!fileSystem || removable || !modified.isValid())
            return QString();
        return modified.toString(QStringLiteral("dd/MM/yy hh:mm"));
    default:
        return QString();
    }
}

int CompareBrowseItems(const BrowseItem& a, const BrowseItem& b, int sortMode)
{
    int result = 0;
    if (a.fileSystem != b.fileSystem)
        result = a.fileSystem ? -1 : 1;
    else if (a.folder != b.folder)
        result = a.folder ? -1 : 1;
    else {
        switch (sortMode & SORT_COLUMN_MASK) {
        case SORT_SIZE:
            result = ThreeWay(a.size, b.size);
            break;
        case SORT_TYPE: {
            const int c = a.typeName.compare(b.typeName, Qt::CaseInsensitive);
            result = c < 0 ? -1 : (c > 0 ? 1 : 0);
            break;
        }
        case SORT_MODIFIED:
            // The later one first; an invalid time counts as the earliest.
            if (a.modified.isValid() != b.modified.isValid())
                result = a.modified.isValid() ? -1 : 1;
            else if (a.modified.isValid())
                result = -ThreeWay(a.modified, b.modified);
            break;
        default:
            break;
        }
        if (result == 0)
            result = CompareNames(a, b);
    }
    return (sortMode & SORT_DESCENDING) ? -result : result;
}

bool IsShownInList(const QString& fileName, bool allFiles)
{
    if (allFiles)
        return true;
    // The name alone, whatever folders it was given with.
    QString name = fileName;
    const qsizetype slash =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    if (slash >= 0)
        name = name.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    return name.mid(dot + 1).compare(QLatin1String(kSignSuffix), Qt::CaseInsensitive) == 0;
}
