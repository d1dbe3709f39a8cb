// What a sign or the user writes into SQL (a custom view, a filter) may read
// data and nothing else, on every kind of SQLite connection the link makes:
// the data store (opened for writing), an SQLite file and a data file read
// into memory. The program's own writes on those connections still work.
#include "ReadOnlySql.h"
#include "AppContext.h"
#include "DataStore.h"
#include "DatabaseLink.h"
#include "MessageBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

void MakeShelf(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "shelf-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql : {"CREATE TABLE Shelf (RecordId INTEGER PRIMARY KEY, Name TEXT)",
                                "INSERT INTO Shelf (Name) VALUES ('Apples')",
                                "INSERT INTO Shelf (Name) VALUES ('Pears')",
                                "INSERT INTO Shelf (Name) VALUES ('Plums')"})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("shelf-fixture");
}

enum class Victim
{
    Store,      // the data store, opened for writing
    SqliteFile, // an SQLite file linked as a database
    TextFile,   // a comma-separated file read into memory
};

const char* NameOf(Victim victim)
{
    switch (victim) {
    case Victim::Store:
        return "data store";
    case Victim::SqliteFile:
        return "SQLite file";
    default:
        return "text file";
    }
}

class ReadOnlySqlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
        store = dir.filePath("shelf.mdb");
        MakeShelf(store);
        QFile csv(dir.filePath("shelf.csv"));
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        csv.write("Name\r\nApples\r\nPears\r\nPlums\r\n");
    }

    // The link on the victim, with no table chosen: a view's text runs as
    // it stands.
    CDatabaseLink& Link(Victim victim)
    {
        CDatabaseLink& link = TheDatabaseLink();
        link.Disconnect();
        switch (victim) {
        case Victim::Store:
            link.SetDatabaseType(kDatabaseTypeAccess);
            EXPECT_TRUE(link.Connect(store, FALSE));
            link.m_linkKind = 1;
            break;
        case Victim::SqliteFile:
            link.SetDatabaseType(kDatabaseTypeAccess);
            EXPECT_TRUE(link.Connect(store, TRUE));
            link.m_linkKind = 0;
            break;
        case Victim::TextFile:
            link.SetDatabaseType(kDatabaseTypeText);
            link.m_textHeader = TRUE;
            EXPECT_TRUE(link.Connect(dir.filePath("shelf.csv"), TRUE));
            link.m_linkKind = 0;
            // The file is read into memory as its table.
            EXPECT_TRUE(link.OpenTable("shelf#csv"));
            link.m_tableName.clear();
            break;
        }
        return link;
    }

    // The table the victim's statements name.
    static QString Table(Victim victim)
    {
        return victim == Victim::TextFile ? "[shelf#csv]" : "Shelf";
    }

    CAppContext context;
    QTemporaryDir dir;
    QString store;
};

TEST_F(ReadOnlySqlTest, ViewsAndFiltersThatWouldWriteAreRefusedAndSayWhy)
{
    struct Case
    {
        QString text;
        bool refused; // refused by the read-only rules (else it fails on its own)
    };
    for (const Victim victim : {Victim::Store, Victim::SqliteFile, Victim::TextFile}) {
        const QString table = Table(victim);
        const QString made = dir.filePath("made");
        const Case cases[] = {
            {"DELETE FROM " + table, true},
            {"WITH s AS (SELECT 1) DELETE FROM " + table, true},
            {"UPDATE " + table + " SET Name = 'x'", true},
            {"INSERT INTO " + table + " (Name) VALUES ('x')", true},
            {"DROP TABLE " + table, true},
            {"CREATE TABLE Extra (a)", true},
            {"CREATE TEMP TABLE Extra (a)", true},
            {"ATTACH '" + made + "1.db' AS x", true},
            {"ATTACH (SELECT '" + made + "2.db') AS x", true},
            {"VACUUM INTO '" + made + "3.db'", true},
            {"VACUUM", true},
            {"PRAGMA user_version = 7", true},
            {"PRAGMA writable_schema = 1", true},
            {"SELECT load_extension('" + made + "4')", true},
            {"SELECT writefile('" + made + "5', 'x')", false},
            {"BEGIN", true},
            {"SAVEPOINT a", true},
            {"ANALYZE", true},
            {"SELECT * FROM " + table + "; DELETE FROM " + table, true},
        };
        // (A text file's schema file is written when it is first linked.)
        Link(victim).Disconnect();
        const QMap<QString, QByteArray> before = Snapshot(dir.path());
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(NameOf(victim)) + ": " + c.text.toStdString());
            CDatabaseLink& link = Link(victim);
            CMessageResponder answers;
            // As a custom view...
            link.m_customViewQuery = c.text;
            EXPECT_EQ(link.OpenRecordset(), 0);
            EXPECT_FALSE(link.IsRecordsetOpen());
            EXPECT_EQ(link.m_refused, c.refused) << answers.LastText().toStdString();
            if (c.refused) {
                ASSERT_EQ(answers.Count(), 1);
                EXPECT_TRUE(answers.LastText().startsWith("\"The custom view may only read data."))
                    << answers.LastText().toStdString();
            }
            // ... and as a filter's statement.
            link.m_customViewQuery.clear();
            answers.Clear();
            EXPECT_EQ(link.OpenRecordset(c.text), 0);
            EXPECT_EQ(link.m_refused, c.refused);
            if (c.refused) {
                EXPECT_TRUE(answers.LastText().startsWith("\"The filter may only read data."))
                    << answers.LastText().toStdString();
            }
            // The link reads on as before.
            link.m_customViewQuery = "SELECT Name FROM " + table + " ORDER BY Name DESC";
            EXPECT_EQ(link.OpenRecordset(), 3);
            EXPECT_EQ(link.GetFieldValue("Name"), "Plums");
            link.Disconnect();
        }
        // Nothing was changed and no file made.
        EXPECT_EQ(Snapshot(dir.path()), before) << NameOf(victim);
    }
}

TEST_F(ReadOnlySqlTest, ReadingStatementsRunAsBefore)
{
    struct Case
    {
        QString text;
        int records;
        QString first;
    } cases[] = {
        {"SELECT Name FROM Shelf WHERE Name LIKE 'P%' ORDER BY Name", 2, "Pears"},
        {"SELECT Name FROM Shelf WHERE Name <> 'a;b' ORDER BY Name", 3, "Apples"},
        {"SELECT Name FROM Shelf ORDER BY Name;", 3, "Apples"},
        {"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 4) "
         "SELECT x AS Name FROM n",
         4, "1"},
        {"SELECT upper(Name) AS Name FROM Shelf -- the shouting shelf\nORDER BY Name", 3, "APPLES"},
    };
    for (const Victim victim : {Victim::Store, Victim::SqliteFile}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(NameOf(victim)) + ": " + c.text.toStdString());
            CDatabaseLink& link = Link(victim);
            CMessageResponder answers;
            link.m_customViewQuery = c.text;
            EXPECT_EQ(link.OpenRecordset(), c.records) << answers.LastText().toStdString();
            EXPECT_EQ(link.GetFieldValue("Name"), c.first);
            EXPECT_FALSE(link.m_refused);
            EXPECT_EQ(answers.Count(), 0) << answers.LastText().toStdString();
        }
    }
    // The driver's own look at a table's columns and key still works.
    CDatabaseLink& link = Link(Victim::SqliteFile);
    ASSERT_TRUE(link.OpenTable("Shelf"));
    EXPECT_TRUE(link.TableHasColumn("name"));
    EXPECT_EQ(link.GetKeyField(), "RecordId");
}

// The data store's own statements write, on the connection that refuses a
// view's writes; a view never borrows their right to.
TEST_F(ReadOnlySqlTest, TheDataStoreStillWritesItsRecords)
{
    CDatabaseLink& link = Link(Victim::Store);
    ASSERT_TRUE(link.OpenTable("Shelf"));
    CDataStore data(link);
    CMessageResponder answers;
    ASSERT_TRUE(data.AddStoreColumn("Price"));
    ASSERT_TRUE(data.AddNewRecord()) << data.LastError().toStdString();
    ASSERT_TRUE(data.SetFieldValue("Name", "Quinces"));
    ASSERT_TRUE(data.RenameStoreColumn("Price", "Cost"));
    EXPECT_EQ(link.OpenRecordset(), 4);
    EXPECT_EQ(link.FieldNames(), (QStringList{"RecordId", "Name", "Cost"}));
    ASSERT_TRUE(data.DeleteCurrentRecord());
    EXPECT_EQ(link.GetRecordCount(), 3);
    EXPECT_TRUE(data.DeleteStoreColumn("Cost"));
    EXPECT_EQ(answers.Count(), 0) << answers.LastText().toStdString();

    // A statement run while the program's own are allowed is refused all
    // the same.
    {
        const CProgramStatements own(link.Database());
        QSqlQuery query(link.Database());
        CReadOnlyStatement statement(link.Database());
        QString error;
        EXPECT_FALSE(statement.Exec(query, "DELETE FROM Shelf", &error));
        EXPECT_EQ(statement.Refused(), ReadOnlySql::Refusal::Writes);
    }
    link.m_customViewQuery = "DELETE FROM Shelf";
    link.CloseRecordset();
    EXPECT_EQ(link.OpenRecordset(), 0);
    link.m_customViewQuery.clear();
    EXPECT_EQ(link.OpenRecordset(), 3);
}

TEST(ReadOnlySqlText, ServersTakeOneStatementOnly)
{
    struct Case
    {
        const char* text;
        bool many;
    } cases[] = {
        {"SELECT 1", false},          {"SELECT 1;", false},
        {"SELECT 1 ; ;\r\n ", false}, {"SELECT 1; DELETE FROM t", true},
        {"SELECT ';' AS a", true}, // dialects differ on where a literal ends
        {"SELECT 1;--", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadOnlySql::HoldsMoreThanOneStatement(c.text), c.many) << c.text;
}

} // namespace
