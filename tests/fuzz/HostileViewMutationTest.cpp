// Signs whose custom view would write, as made and as damaged: reading any
// of them leaves the database it names byte for byte as it was and makes no
// file, whatever the damage made of the view's text.
#include "Damage.h"
#include "TestSupport.h"
#include "SignReaderTarget.h"

#include "AppContext.h"
#include "Archive.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "SignData.h"
#include "Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

void MakeShelf(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "mutation-shelf");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql : {"CREATE TABLE Shelf (RecordId INTEGER PRIMARY KEY, Name TEXT)",
                                "INSERT INTO Shelf (Name) VALUES ('Apples')",
                                "INSERT INTO Shelf (Name) VALUES ('Pears')"})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("mutation-shelf");
}

// A sign of one text linked to the database with the view, as the writer
// stores it.
QByteArray LinkedSign(const QString& data, int kind, const QString& view)
{
    CAppContext context;
    CMessageResponder messages;
    RegisterDatabaseSignParts();
    ThePaper().Init("A4");
    CSignData document;
    auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
    text->BeginCreate(nullptr, 20, 20);
    text->SetDataSource(SOURCE_DATABASE, "Name");
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeAccess);
    EXPECT_TRUE(link.Connect(data, kind == 0));
    link.m_linkKind = kind;
    link.m_customViewQuery = view;
    TheCustomViewList().Set("Shelf view", view);
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    document.Serialize(ar);
    ar.Flush();
    link.Disconnect();
    return bytes;
}

} // namespace

TEST(SignReader, HostileCustomViewsNeverWriteWhateverTheDamage)
{
    PrepareSignReading();
    {
        CAppContext context;
        RegisterDatabaseSignParts();
    }
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString store = dir.filePath("shelf.mdb");
    MakeShelf(store);
    const QString made = elsewhere.filePath("made");
    const QStringList views = {
        "DELETE FROM Shelf",
        "WITH s AS (SELECT 1) DELETE FROM Shelf",
        "UPDATE Shelf SET Name = 'gone'",
        "DROP TABLE Shelf",
        "ATTACH '" + made + "-attached.db' AS x",
        "VACUUM INTO '" + made + "-copy.db'",
        "PRAGMA user_version = 9",
        "SELECT load_extension('" + made + "-library')",
        "SELECT * FROM Shelf; DELETE FROM Shelf",
    };
    // The data store (opened for writing) and the same file as a database.
    QVector<QByteArray> seeds;
    for (const int kind : {1, 0})
        for (const QString& view : views)
            seeds.push_back(LinkedSign(store, kind, view));
    const auto before = Snapshot(dir.path());
    ASSERT_EQ(before.size(), 1);

    std::mt19937 rng(20261210);
    constexpr int kDamagedPerSeed = 30;
    int read = 0;
    for (const QByteArray& seed : seeds) {
        ReadSignBytes(reinterpret_cast<const std::uint8_t*>(seed.constData()),
                      std::size_t(seed.size()));
        for (int i = 0; i < kDamagedPerSeed; ++i) {
            const QByteArray bytes = DamagedCopy(seed, rng);
            const SignOutcome outcome =
                ReadSignBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              std::size_t(bytes.size()));
            read += outcome.read ? 1 : 0;
        }
    }
    EXPECT_GT(read, 0);
    EXPECT_EQ(Snapshot(dir.path()), before);
    EXPECT_TRUE(Snapshot(elsewhere.path()).isEmpty());
}
