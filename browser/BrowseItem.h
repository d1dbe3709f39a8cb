// What the sign browser knows of one item of a folder: the record behind a
// row of its file list, the order the list is sorted in, and which items
// the "Signs Only" view shows.
#pragma once

#include <QDateTime>
#include <QString>

class QFileInfo;

// The file-name suffix of a sign, without its dot.
inline constexpr char kSignSuffix[] = "sgn";

struct BrowseItem
{
    QString name; // the display name within its folder
    QString path; // the absolute path; empty for an item outside the file system
    bool fileSystem = true;
    bool folder = false;
    bool removable = false; // on removable media: no time is shown
    qint64 size = 0;        // bytes; 0 for a folder
    QDateTime modified;
    QString typeName;

    // The record of a file or folder as the file system describes it;
    // removable: it lies on removable media (IsOnRemovableMedia of its
    // folder, asked once for a whole folder).
    static BrowseItem FromFileInfo(const QFileInfo& info, bool removable = false);

    // The texts of the list's columns: 0 name, 1 size ("%dKB", rounded up;
    // empty for folders), 2 type, 3 modified ("dd/MM/yy hh:mm").
    QString ColumnText(int column) const;
};

// Whether the path lies on removable media (an optical disc, a memory card,
// a drive mounted under /media).
bool IsOnRemovableMedia(const QString& path);

// Sort modes: bits 0-1 the column (0 name, 1 size, 2 type, 3 modified),
// bit 2 descending.
enum BrowseSort : int
{
    SORT_NAME = 0,
    SORT_SIZE = 1,
    SORT_TYPE = 2,
    SORT_MODIFIED = 3,
    SORT_COLUMN_MASK = 3,
    SORT_DESCENDING = 4,
};

// Three-way comparison for the list and the tree: below 0 when a comes
// before b. Items of the file system come before others, folders before
// files, then by the sort column; items that the column ranks the same are
// ordered by name, then by path, so that two distinct items are never
// equal and the order is a strict weak ordering in both directions.
int CompareBrowseItems(const BrowseItem& a, const BrowseItem& b, int sortMode);

// Whether the list shows an item of this file name: every item with All
// Files; otherwise only those whose name ends in the sign suffix (compared
// without regard to case). Only the name's own suffix counts, never a dot
// in a folder above it.
bool IsShownInList(const QString& fileName, bool allFiles);
