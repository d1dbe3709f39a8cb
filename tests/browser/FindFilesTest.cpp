// Find Files: the search over a folder tree, through links that lead back
// up the tree, and the dialog as the user drives it.
#include "FindFilesDlg.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// root/top.sgn, root/a/b/deep.sgn, root/a/notes.txt, root/old.signs/dotted.sgn;
// root/a/loop -> root and root/a/b/up -> root/a lead back up the tree,
// root/a/again -> root/a/b reaches a folder twice.
class FindFilesTest : public ::testing::Test
{
protected:
    FindFilesTest()
    {
        EnsureWidgetApp();
        const QDir root(dir.path());
        root.mkpath(QStringLiteral("a/b"));
        root.mkpath(QStringLiteral("old.signs"));
        Touch(root.filePath(QStringLiteral("top.sgn")));
        Touch(root.filePath(QStringLiteral("a/b/deep.sgn")));
        Touch(root.filePath(QStringLiteral("a/notes.txt")));
        Touch(root.filePath(QStringLiteral("old.signs/dotted.sgn")));
        QFile::link(root.path(), root.filePath(QStringLiteral("a/loop")));
        QFile::link(root.filePath(QStringLiteral("a")), root.filePath(QStringLiteral("a/b/up")));
        QFile::link(root.filePath(QStringLiteral("a/b")), root.filePath(QStringLiteral("a/again")));
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FindFilesTest, LinksBackUpTheTreeAreSearchedOnce)
{
    struct Case
    {
        const char* pattern;
        bool subfolders;
        QStringList names;
    };
    const Case cases[] = {
        {"*.sgn", true, {"deep.sgn", "dotted.sgn", "top.sgn"}},
        {"*.sgn", false, {"top.sgn"}},
        {"*", false, {"a", "old.signs", "top.sgn"}},
        {"*.signs", true, {"old.signs"}}, // a folder that matches is listed like a file
        {"*.txt", true, {"notes.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        std::vector<CFindFilesDlg::Found> rows;
        const int count =
            CFindFilesDlg::Search(dir.path(), QString::fromLatin1(c.pattern), c.subfolders, rows);
        ASSERT_EQ(count, int(rows.size()));
        QStringList names;
        for (const auto& row : rows)
            names.push_back(row.name);
        names.sort();
        EXPECT_EQ(names, c.names);
    }
    std::vector<CFindFilesDlg::Found> rows;
    EXPECT_EQ(CFindFilesDlg::Search(dir.filePath(QStringLiteral("missing")), QStringLiteral("*"),
                                    true, rows),
              0);
}

TEST_F(FindFilesTest, TheDialogListsCountsAndHandsBackTheChosenPath)
{
    CFindFilesDlg dialog(dir.path());
    auto* lookFor = dialog.findChild<QLineEdit*>(QStringLiteral("id1120"));
    auto* lookIn = dialog.findChild<QLineEdit*>(QStringLiteral("id1370"));
    auto* results = dialog.findChild<QTreeWidget*>(QStringLiteral("id1087"));
    auto* count = dialog.findChild<QLabel*>(QStringLiteral("id1374"));
    auto* subfolders = dialog.findChild<QCheckBox*>(QStringLiteral("id1258"));
    auto* findNow = dialog.findChild<QPushButton*>(QStringLiteral("id1373"));
    ASSERT_TRUE(lookFor && lookIn && results && count && subfolders && findNow);
    EXPECT_EQ(lookFor->text(), "*.sgn");
    EXPECT_EQ(lookIn->text(), dir.path());
    EXPECT_TRUE(subfolders->isChecked());

    QTest::mouseClick(findNow, Qt::LeftButton);
    EXPECT_EQ(count->text(), "3 Files Found");
    ASSERT_EQ(results->topLevelItemCount(), 3);
    EXPECT_TRUE(dialog.ResultPath().isEmpty());

    QTreeWidgetItem* deep = results->findItems(QStringLiteral("deep.sgn"), Qt::MatchExactly)[0];
    results->setCurrentItem(deep);
    EXPECT_EQ(dialog.ResultPath(), dir.filePath(QStringLiteral("a/b/deep.sgn")));
    EXPECT_EQ(deep->text(2), "1KB");

    // An empty pattern finds everything in the folder alone.
    subfolders->setChecked(false);
    lookFor->clear();
    QTest::mouseClick(findNow, Qt::LeftButton);
    EXPECT_EQ(count->text(), "3 Files Found");
    lookIn->setText(dir.filePath(QStringLiteral("nowhere")));
    QTest::mouseClick(findNow, Qt::LeftButton);
    EXPECT_EQ(count->text(), "0 Files Found");
    EXPECT_EQ(results->topLevelItemCount(), 0);
}
