// The connection wizard's file page as a user browses with it: the folder
// tree and the list of the chosen folder's files of the database type, a
// typed pattern narrowing or widening the list, a folder opened and left
// again, the list sorted by a column, and a bare file name opened in the
// folder shown.
#include "AppContext.h"
#include "ConnectionWizard.h"
#include "DatabaseLink.h"
#include "MessageBox.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class WizardFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureWidgetApp();
        ASSERT_TRUE(dir.isValid());
        const struct
        {
            const char* name;
            int size;
        } files[] = {{"prices.csv", 3000}, {"OTHER.CSV", 10}, {"notes.txt", 1500},
                     {"readme.md", 20},    {"csv", 5},        {"sub/deep.csv", 40}};
        ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
        for (const auto& f : files) {
            QFile file(dir.filePath(f.name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            QByteArray data = "Name,Price\r\n";
            data += QByteArray(f.size, 'x');
            data += ",1\r\n";
            file.write(data);
        }
    }

    // The names the list shows, in its order.
    QStringList Listed() const
    {
        QStringList names;
        auto* list = Find<QTreeWidget>("id1087");
        for (int i = 0; list && i < list->topLevelItemCount(); ++i)
            names << list->topLevelItem(i)->text(0);
        return names;
    }
    template <class T> T* Find(const char* name) const
    {
        T* found = wizard->currentPage()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Type(const QString& text)
    {
        QLineEdit* edit = Find<QLineEdit>("id1086");
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::mouseClick(wizard->button(QWizard::NextButton), Qt::LeftButton);
    }

    CAppContext context;
    QTemporaryDir dir;
    CMessageResponder messages;
    CDatabaseLink link;
    std::unique_ptr<CConnectionWizard> wizard;
};

TEST_F(WizardFolderTest, ListShowsTheFilesOfTheTypeAndOpensABareName)
{
    wizard = std::make_unique<CConnectionWizard>(link);
    wizard->show();
    Find<QListWidget>("id1089")->setCurrentRow(kDatabaseTypeText);
    QTest::mouseClick(wizard->button(QWizard::NextButton), Qt::LeftButton);
    ASSERT_EQ(wizard->currentId(), CConnectionWizard::kFilePage);

    // A pattern with a folder goes there and keeps the page; each pattern
    // replaces the one before. Folders are always listed, first; extensions
    // match whatever their case.
    const struct
    {
        const char* typed;
        QStringList listed;
    } patterns[] = {
        {"/*.csv", {"sub", "OTHER.CSV", "prices.csv"}},
        {"*.TXT", {"sub", "notes.txt"}},
        {"*.*", {"sub", "csv", "notes.txt", "OTHER.CSV", "prices.csv", "readme.md"}},
        {"*", {"sub", "notes.txt", "OTHER.CSV", "prices.csv"}}, // the type's own files again
    };
    for (const auto& p : patterns) {
        const QString typed = QString::fromLatin1(p.typed);
        Type(typed.startsWith(u'/') ? dir.path() + typed : typed);
        EXPECT_EQ(wizard->currentId(), CConnectionWizard::kFilePage) << p.typed;
        EXPECT_EQ(Listed(), p.listed) << p.typed;
    }
    EXPECT_EQ(messages.Count(), 0);

    // The tree shows the folder listed.
    auto* tree = Find<QTreeView>("id1085");
    EXPECT_EQ(tree->currentIndex().data().toString(), QDir(dir.path()).dirName());

    // Details shows the columns; a click on Size sorts by bytes, a second
    // click the other way, the folders staying first.
    auto* list = Find<QTreeWidget>("id1087");
    EXPECT_TRUE(list->isHeaderHidden());
    QTest::mouseClick(Find<QToolButton>("id32894"), Qt::LeftButton);
    EXPECT_FALSE(list->isHeaderHidden());
    EXPECT_TRUE(Find<QToolButton>("id32894")->isChecked());
    EXPECT_FALSE(Find<QToolButton>("id32893")->isChecked());
    list->header()->setSortIndicator(1, Qt::AscendingOrder);
    EXPECT_EQ(Listed(), QStringList({"sub", "OTHER.CSV", "notes.txt", "prices.csv"}));
    list->header()->setSortIndicator(1, Qt::DescendingOrder);
    EXPECT_EQ(Listed(), QStringList({"sub", "prices.csv", "notes.txt", "OTHER.CSV"}));
    EXPECT_EQ(list->topLevelItem(1)->text(1), "3KB");
    // A picture of the page, written when TABREL_SHOT_DIR names a folder.
    if (const QString shots = qEnvironmentVariable("TABREL_SHOT_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        wizard->resize(760, 520);
        EXPECT_TRUE(wizard->grab().save(shots + "/connection-wizard-file-page.png"));
    }
    list->header()->setSortIndicator(0, Qt::AscendingOrder);

    // Into a folder and Up One Level out of it.
    QTreeWidgetItem* sub = list->findItems("sub", Qt::MatchExactly).value(0);
    ASSERT_NE(sub, nullptr);
    emit list->itemDoubleClicked(sub, 0);
    EXPECT_EQ(Listed(), QStringList({"deep.csv"}));
    QTest::mouseClick(Find<QToolButton>("id32890"), Qt::LeftButton);
    EXPECT_EQ(Listed(), QStringList({"sub", "notes.txt", "OTHER.CSV", "prices.csv"}));

    // Clicking a file names it; a bare name is a file of the folder shown.
    QTreeWidgetItem* prices = list->findItems("prices.csv", Qt::MatchExactly).value(0);
    ASSERT_NE(prices, nullptr);
    emit list->itemClicked(prices, 0);
    EXPECT_EQ(Find<QLineEdit>("id1086")->text(), "prices.csv");
    QTest::mouseClick(wizard->button(QWizard::NextButton), Qt::LeftButton);
    ASSERT_EQ(wizard->currentId(), CConnectionWizard::kTextPage)
        << messages.LastText().toStdString();
    EXPECT_EQ(wizard->Work().m_dataSource, QDir(dir.path()).filePath("prices.csv"));
    EXPECT_FALSE(link.IsConnected());
}

} // namespace
