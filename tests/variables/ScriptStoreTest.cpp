// The macro script store's file beside the program: round trip, damage and a
// full disk.

#include "Damage.h"
#include "SmallDisk.h"

#include "AppContext.h"
#include "Archive.h"
#include "MessageBox.h"
#include "ScriptStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <random>

#include <gtest/gtest.h>

namespace {

QByteArray Pairs(const std::vector<std::pair<QString, QString>>& pairs)
{
    CStringMap map;
    for (const auto& [name, text] : pairs)
        map.SetAt(name, text);
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        ar.WriteStringMap(map);
    }
    return bytes;
}

class ScriptStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        homeWasSet = qEnvironmentVariableIsSet("TABREL_HOME");
        savedHome = qgetenv("TABREL_HOME");
        qputenv("TABREL_HOME", QFile::encodeName(home.path()));
    }
    void TearDown() override
    {
        if (homeWasSet)
            qputenv("TABREL_HOME", savedHome);
        else
            qunsetenv("TABREL_HOME");
    }

    QString StorePath() const { return home.path() + "/Tabrel.mss"; }
    void WriteStore(const QByteArray& bytes) const
    {
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray ReadStore() const
    {
        QFile file(StorePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
    bool homeWasSet = false;
    QByteArray savedHome;
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(ScriptStoreTest, ScriptsRoundTripThroughTheProgramFolder)
{
    EXPECT_FALSE(LoadScriptStore()); // no file yet: nothing read, no message
    EXPECT_EQ(TheScriptStore().GetFilePath(), StorePath());
    CScriptStore& store = TheScriptStore();
    const QString longText = "RETURN \"" + QString(70000, QChar('x')) + "\"";
    store.SetScriptText("Price_2", "RETURN P$ + \"kg\"");
    store.SetScriptText("price_2", "RETURN 1"); // names keep their case
    store.SetScriptText("Long", longText);
    store.SetScriptText("Latin", QString::fromUtf8("RETURN \"\u00ab\u00e9\u00bb\""));
    ASSERT_TRUE(SaveScriptStore());

    // The framework's map archive: a WORD count, then name and text pairs.
    const QByteArray bytes = ReadStore();
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 4);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0);
    EXPECT_EQ(bytes.mid(2, 8), QByteArray("\x07Price_2", 8));

    CAppContext fresh;
    EXPECT_TRUE(LoadScriptStore());
    EXPECT_TRUE(TheScriptStore().Scripts() == store.Scripts());
    EXPECT_EQ(GetScriptText("Long"), longText);
    EXPECT_EQ(GetScriptText("price_2"), "RETURN 1");
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(ScriptStoreTest, AnEmptyStoreRemovesTheFile)
{
    WriteStore(Pairs({{"Only", "RETURN 1"}}));
    ASSERT_TRUE(LoadScriptStore());
    ASSERT_TRUE(TheScriptStore().RemoveScript("Only"));
    EXPECT_TRUE(SaveScriptStore());
    EXPECT_FALSE(QFile::exists(StorePath()));
    EXPECT_TRUE(SaveScriptStore()); // nothing to remove is no failure
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(ScriptStoreTest, SavingBeforeLoadingLeavesTheUsersFileAlone)
{
    const QByteArray bytes = Pairs({{"Mine", "RETURN 1"}});
    WriteStore(bytes);
    TheScriptStore().SetScriptText("Session", "RETURN 2");
    EXPECT_FALSE(SaveScriptStore());
    EXPECT_EQ(ReadStore(), bytes);
}

// A file that cannot be read whole keeps the scripts read before the damage,
// is named once with the reason, and is neither rewritten nor removed.
TEST_F(ScriptStoreTest, AFileThatCannotBeReadWholeIsNamedOnceAndKept)
{
    const QByteArray good = Pairs({{"One", "RETURN 1"}, {"Two", "RETURN 2"}});
    QByteArray cut = good;
    cut.chop(3);
    QByteArray hugeCount = good;
    hugeCount[0] = '\xFF';
    hugeCount[1] = '\xFF';
    hugeCount.insert(2, QByteArray("\xFF\xFF\xFF\x7F", 4));
    const QByteArray unnamed = Pairs({{"One", "RETURN 1"}, {"", "RETURN 3"}, {"Two", "RETURN 2"}});
    QByteArray trailing = good;
    trailing.append("\x03Odd", 4);
    struct Case
    {
        const char* what;
        QByteArray bytes;
        QStringList kept;
        const char* reason;
    } cases[] = {
        {"cut short", cut, {"One"}, "damaged"},
        {"count beyond the data", hugeCount, {}, "damaged"},
        {"pair without a name", unnamed, {"One"}, "no name"},
        {"data after the last script", trailing, {"One", "Two"}, "after"},
        {"empty file", QByteArray(), {}, "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppContext fresh;
        messages.Clear();
        WriteStore(c.bytes);
        EXPECT_FALSE(LoadScriptStore());
        EXPECT_TRUE(TheScriptStore().IsFileKept());
        QStringList names;
        for (const auto& pair : TheScriptStore().Scripts().Pairs())
            names << pair.first;
        EXPECT_EQ(names, c.kept);
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains(StorePath()));
        EXPECT_TRUE(messages.LastText().contains(c.reason)) << messages.LastText().toStdString();

        TheScriptStore().SetScriptText("Added", "RETURN 9");
        EXPECT_FALSE(SaveScriptStore());
        TheScriptStore().RemoveAll();
        EXPECT_FALSE(SaveScriptStore());
        EXPECT_EQ(ReadStore(), c.bytes);
        EXPECT_EQ(messages.Count(), 1);
    }
}

TEST_F(ScriptStoreTest, AFileThatCannotBeOpenedIsNamedOnceAndLeftAlone)
{
    ASSERT_TRUE(QDir(home.path()).mkdir("Tabrel.mss")); // a folder where the file belongs
    EXPECT_FALSE(LoadScriptStore());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(StorePath()));
    TheScriptStore().SetScriptText("New", "RETURN 1");
    EXPECT_FALSE(SaveScriptStore());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(QFileInfo(StorePath()).isDir());
}

// Damaged copies of a good file: whatever reads is kept, the file is either
// read whole (and then saved so that it reads whole again) or kept byte for
// byte.
TEST_F(ScriptStoreTest, DamagedFilesAreReadOrKeptByteForByte)
{
    std::vector<std::pair<QString, QString>> pairs;
    for (int i = 0; i < 12; ++i)
        pairs.emplace_back(
            QString("Script_%1").arg(i),
            QString("A$ = \"%1\"\nRETURN A$ + STR$(%2)").arg(QString(i * 30, 'y')).arg(i));
    const QByteArray seed = Pairs(pairs);
    std::mt19937 rng(20);
    for (int round = 0; round < 2000; ++round) {
        const QByteArray damaged = DamagedCopy(seed, rng);
        CAppContext fresh;
        messages.Clear();
        WriteStore(damaged);
        const bool whole = LoadScriptStore();
        ASSERT_EQ(messages.Count(), whole ? 0 : 1) << round;
        TheScriptStore().SetScriptText("Session", "RETURN 1");
        if (whole) {
            const CStringMap before = TheScriptStore().Scripts();
            ASSERT_TRUE(SaveScriptStore()) << round;
            CAppContext again;
            ASSERT_TRUE(LoadScriptStore()) << round;
            ASSERT_TRUE(TheScriptStore().Scripts() == before) << round;
        } else {
            ASSERT_FALSE(SaveScriptStore()) << round;
            ASSERT_EQ(ReadStore(), damaged) << round;
        }
    }
}

// On a full disk the save fails with a message and the old file is whole.
TEST_F(ScriptStoreTest, AFullDiskLeavesTheOldFileWhole)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    qputenv("TABREL_HOME", QFile::encodeName(disk.Path()));
    const QString path = disk.FilePath("Tabrel.mss");
    LoadScriptStore();
    ASSERT_EQ(TheScriptStore().GetFilePath(), path);
    TheScriptStore().SetScriptText("Small", "RETURN 1");
    ASSERT_TRUE(SaveScriptStore());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    for (int i = 0; i < 400; ++i)
        TheScriptStore().SetScriptText(QString("Big_%1").arg(i),
                                       "RETURN \"" + QString(1000, QChar('x')) + "\"");
    disk.Fill();
    EXPECT_FALSE(SaveScriptStore());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    saved.close();
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"Tabrel.mss"}))
        << "no temporary file left behind";
}
