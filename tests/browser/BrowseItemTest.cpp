// The sign browser's order and filter: the comparison is a strict weak
// ordering in every sort mode (sizes beyond 2 GB, equal times, equal types),
// and "Signs Only" goes by the file name's own suffix.
#include "BrowseItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

BrowseItem File(const char* name, qint64 size, int minute, const char* type = "Sign")
{
    BrowseItem item;
    item.name = QString::fromUtf8(name);
    item.path = QStringLiteral("/signs/") + item.name;
    item.size = size;
    item.modified = QDateTime(QDate(2026, 1, 15), QTime(10, minute), Qt::UTC);
    item.typeName = QString::fromUtf8(type);
    return item;
}

BrowseItem Folder(const char* name)
{
    BrowseItem item = File(name, 0, 0, "Folder");
    item.folder = true;
    return item;
}

std::vector<QString> Names(std::vector<BrowseItem> items, int mode)
{
    std::sort(items.begin(), items.end(), [mode](const BrowseItem& a, const BrowseItem& b) {
        return CompareBrowseItems(a, b, mode) < 0;
    });
    std::vector<QString> names;
    for (const BrowseItem& item : items)
        names.push_back(item.name);
    return names;
}

constexpr qint64 kGB = 1024LL * 1024 * 1024;

const std::vector<BrowseItem>& Sample()
{
    static const std::vector<BrowseItem> items = {
        File("huge.sgn", 5 * kGB, 1),
        File("Big.sgn", 3 * kGB, 1),
        File("small.sgn", 1, 1),
        File("empty.sgn", 0, 2),
        File("also2gb.sgn", 2 * kGB + 1, 3),
        File("same.txt", 1, 1, "Text"),
        File("SAME.sgn", 1, 1),
        Folder("old.signs"),
        Folder("Archive"),
        [] {
            BrowseItem outside = File("Network", 0, 0, "");
            outside.fileSystem = false;
            outside.path.clear();
            return outside;
        }(),
    };
    return items;
}

} // namespace

// In every mode: irreflexive, antisymmetric, transitive, and two distinct
// items are never equivalent.
TEST(BrowseItemOrder, IsAStrictTotalOrderInEverySortMode)
{
    const auto& items = Sample();
    for (int mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE("sort mode " + std::to_string(mode));
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(CompareBrowseItems(items[i], items[i], mode), 0);
            for (size_t j = 0; j < items.size(); ++j) {
                const int ij = CompareBrowseItems(items[i], items[j], mode);
                EXPECT_EQ(ij, -CompareBrowseItems(items[j], items[i], mode));
                if (i != j) {
                    EXPECT_NE(ij, 0)
                        << items[i].name.toStdString() << " / " << items[j].name.toStdString();
                }
                for (size_t k = 0; k < items.size(); ++k) {
                    if (ij < 0 && CompareBrowseItems(items[j], items[k], mode) < 0) {
                        EXPECT_LT(CompareBrowseItems(items[i], items[k], mode), 0);
                    }
                }
            }
        }
    }
}

TEST(BrowseItemOrder, SortsByEachColumnBothWays)
{
    struct Case
    {
        int mode;
        std::vector<QString> expected;
    };
    const Case cases[] = {
        // Folders before files, the file system before the rest; names
        // without regard to case.
        {SORT_NAME,
         {"Archive", "old.signs", "also2gb.sgn", "Big.sgn", "empty.sgn", "huge.sgn", "SAME.sgn",
          "same.txt", "small.sgn", "Network"}},
        // Sizes beyond 2 GB order by size; equal sizes by name.
        {SORT_SIZE,
         {"Archive", "old.signs", "empty.sgn", "SAME.sgn", "same.txt", "small.sgn", "also2gb.sgn",
          "Big.sgn", "huge.sgn", "Network"}},
        {SORT_SIZE | SORT_DESCENDING,
         {"Network", "huge.sgn", "Big.sgn", "also2gb.sgn", "small.sgn", "same.txt", "SAME.sgn",
          "empty.sgn", "old.signs", "Archive"}},
        // The later first; equal times by name.
        {SORT_MODIFIED,
         {"Archive", "old.signs", "also2gb.sgn", "empty.sgn", "Big.sgn", "huge.sgn", "SAME.sgn",
          "same.txt", "small.sgn", "Network"}},
        // Equal types by name.
        {SORT_TYPE,
         {"Archive", "old.signs", "also2gb.sgn", "Big.sgn", "empty.sgn", "huge.sgn", "SAME.sgn",
          "small.sgn", "same.txt", "Network"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("sort mode " + std::to_string(c.mode));
        EXPECT_EQ(Names(Sample(), c.mode), c.expected);
    }
}

TEST(BrowseItemColumns, SizeAndTimeTexts)
{
    struct Case
    {
        qint64 size;
        const char* text;
    };
    const Case cases[] = {{0, "0KB"},
                          {1, "1KB"},
                          {1024, "1KB"},
                          {1025, "2KB"},
                          {3 * kGB, "3145728KB"},
                          {3 * kGB + 1, "3145729KB"}};
    for (const Case& c : cases)
        EXPECT_EQ(File("a.sgn", c.size, 5).ColumnText(1), QString::fromLatin1(c.text)) << c.size;
    EXPECT_EQ(Folder("x").ColumnText(1), "");
    EXPECT_EQ(File("a.sgn", 1, 5).ColumnText(3), "15/01/26 10:05");
    BrowseItem removable = File("a.sgn", 1, 5);
    removable.removable = true;
    EXPECT_EQ(removable.ColumnText(3), "");
}

TEST(BrowseItemFilter, SignsOnlyGoesByTheNamesOwnSuffix)
{
    struct Case
    {
        const char* path;
        bool shown;
    };
    const Case cases[] = {
        {"price.sgn", true},
        {"PRICE.SGN", true},
        {"/home/shop/old.signs/price.sgn", true}, // a dotted folder above
        {"/home/shop/v1.2/offers.sgn", true},
        {"/home/shop/backup.sgn/readme", false}, // the folder's dot is not the file's
        {"C:\\Signs\\Old.Signs\\Shelf.sgn", true},
        {"price.sgn.bak", false},
        {"price.sg", false},
        {"sgn", false},
        {"notes.txt", false},
        {"archive.tar.sgn", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsShownInList(QString::fromUtf8(c.path), false), c.shown) << c.path;
        EXPECT_TRUE(IsShownInList(QString::fromUtf8(c.path), true)) << c.path;
    }
}
