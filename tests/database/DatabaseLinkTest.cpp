#include "DatabaseLink.h"
#include "AppContext.h"
#include "Archive.h"
#include "Damage.h"
#include "FileSources.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "TestSupport.h"
#include "TextExport.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>

namespace {

// Makes an SQLite database file with the statements given.
void MakeSqliteFile(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("fixture-%1").arg(qHash(path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QString& statement : statements)
            ASSERT_TRUE(query.exec(statement))
                << statement.toStdString() << " " << query.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

const QStringList kProducts = {
    "CREATE TABLE Products (Id INTEGER PRIMARY KEY, Name TEXT, Code TEXT, Price REAL, "
    "Stock INTEGER, \"Odd]Name\" TEXT)",
    "INSERT INTO Products VALUES (3, 'O''Brien''s Tea', 'TAB0000003', 12.5, 9007199254740993, "
    "'x')",
    "INSERT INTO Products VALUES (1, 'Somewhere Else', 'TAB0000001', 7.0, 5, 'y')",
    "INSERT INTO Products VALUES (2, '50%_off', 'TAB0000002', 20.25, -4, NULL)",
    "INSERT INTO Products VALUES (4, '50 percent', 'TAB0000004', 3, 0, 'z')",
    "CREATE TABLE Empty (Id INTEGER PRIMARY KEY, Name TEXT)",
    "CREATE VIEW Dear AS SELECT Name, Price FROM Products WHERE Price > 10",
};

class DatabaseLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath("products.db");
        MakeSqliteFile(database, kProducts);
    }

    // A link to the products database as an external database.
    CDatabaseLink& Linked(const QString& table = "Products")
    {
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeConnectionString);
        EXPECT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + database, TRUE));
        link.m_linkKind = 0;
        if (!table.isEmpty()) {
            EXPECT_TRUE(link.OpenTable(table));
        }
        return link;
    }

    static QStringList Column(CDatabaseLink& link, const QString& field)
    {
        QStringList values;
        if (!link.MoveFirst())
            return values;
        do
            values << link.GetFieldValue(field);
        while (link.MoveNext());
        return values;
    }

    CAppContext context;
    QTemporaryDir dir;
    QString database;
};

// --- the SQL text -----------------------------------------------------------------

TEST(DatabaseSqlText, SplitQueryFindsKeywordsOnlyOutsideQuotes)
{
    struct Case
    {
        const char* text;
        const char* table; // quoted current table, or "" for none
        const char* statement;
        const char* sort;
    } cases[] = {
        {"ORDER BY Price", "[t]", "SELECT * FROM [t]", "Price"},
        {"Price > 10", "[t]", "SELECT * FROM [t] WHERE Price > 10", ""},
        {"SELECT Name FROM t WHERE Price > 10 ORDER BY Name", "[t]",
         "SELECT Name FROM t WHERE Price > 10", "Name"},
        {"Price > 10 ORDER BY Name DESC", "[t]", "SELECT * FROM [t] WHERE Price > 10", "Name DESC"},
        {"WHERE Price > 10", "[t]", "SELECT * FROM [t] WHERE Price > 10", ""},
        {"select Name from t order by Name", "[t]", "select Name from t", "Name"},
        // A literal or a name holding a keyword is no keyword.
        {"Name = 'Somewhere'", "[t]", "SELECT * FROM [t] WHERE Name = 'Somewhere'", ""},
        {"[Somewhere] = 1", "[t]", "SELECT * FROM [t] WHERE [Somewhere] = 1", ""},
        {"Somewhere = 1", "[t]", "SELECT * FROM [t] WHERE Somewhere = 1", ""},
        {"Note = 'a ORDER BY b' ORDER BY [Where]", "[t]",
         "SELECT * FROM [t] WHERE Note = 'a ORDER BY b'", "[Where]"},
        {"SELECT [Order By], \"Select\" FROM t WHERE x = 'it''s WHERE' ORDER BY x", "[t]",
         "SELECT [Order By], \"Select\" FROM t WHERE x = 'it''s WHERE'", "x"},
        {"SelectedItem = 2", "[t]", "SELECT * FROM [t] WHERE SelectedItem = 2", ""},
        // Without a current table the statement is taken as it stands.
        {"SELECT * FROM t ORDER BY Name ;", "", "SELECT * FROM t", "Name"},
        {"SELECT * FROM t WHERE a = 'ORDER BY'", "", "SELECT * FROM t WHERE a = 'ORDER BY'", ""},
    };
    for (const Case& c : cases) {
        const auto [statement, sort] = CDatabaseLink::SplitQuery(c.text, c.table);
        EXPECT_EQ(statement, QString(c.statement)) << c.text;
        EXPECT_EQ(sort, QString(c.sort)) << c.text;
    }
}

TEST(DatabaseSqlText, QuotesDoubleTheirClosingDelimiter)
{
    CAppContext context;
    CDatabaseLink link;
    struct Case
    {
        std::function<QString(const QString&)> quote;
        const char* text;
        const char* quoted;
    } cases[] = {
        {[&](const QString& t) { return link.QuoteName(t); }, "Price", "[Price]"},
        {[&](const QString& t) { return link.QuoteName(t); }, "a]b", "\"a]b\""},
        {[&](const QString& t) { return link.QuoteName(t); }, "a]\"b", "\"a]\"\"b\""},
        {[&](const QString& t) { return link.QuoteString(t); }, "O'Brien", "'O''Brien'"},
        {[&](const QString& t) { return link.QuoteString(t); }, "'; DROP TABLE t; --",
         "'''; DROP TABLE t; --'"},
        {[&](const QString& t) { return link.QuoteDate(t); }, "2024-01-05", "#2024-01-05#"},
        {[&](const QString& t) { return link.StartsWithCondition("Code", t); }, "50%_\\x'",
         "[Code] LIKE '50\\%\\_\\\\x''%' ESCAPE '\\'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.quote(c.text), QString(c.quoted)) << c.text;

    link.m_nameDelimiters[0] = link.m_nameDelimiters[1] = '"';
    EXPECT_EQ(link.QuoteName("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST(DatabaseSqlText, ValuesOfEveryTypeAreFormatted)
{
    const QUuid guid("{67c8770b-44f1-410a-ab9a-f9b5446f13ee}");
    const QDate date(2024, 1, 5);
    struct Case
    {
        QVariant value;
        QString text;
    } cases[] = {
        {QVariant(), ""},
        {QVariant(QMetaType::fromType<QString>()), ""},
        {QVariant(qint64(9007199254740993LL)), "9007199254740993"},
        {QVariant(quint64(18446744073709551615ULL)), "18446744073709551615"},
        {QVariant(-42), "-42"},
        {QVariant(2.50), "2.5"},
        {QVariant(7.0), "7"},
        {QVariant(12.5), "12.5"},
        {QVariant(-0.0), "0"},
        {QVariant(true), "TRUE"},
        {QVariant(false), "FALSE"},
        {QVariant(guid), "{67C8770B-44F1-410A-AB9A-F9B5446F13EE}"},
        {QVariant(guid.toRfc4122()), "{67C8770B-44F1-410A-AB9A-F9B5446F13EE}"},
        {QVariant(QByteArray("\x01\xab", 2)), "01AB"},
        {QVariant(date), QLocale().toString(date, QLocale::ShortFormat)},
        {QVariant(QString("text")), "text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDatabaseLink::FormatValue(c.value), c.text) << c.value.typeName();
}

// --- a linked SQLite database -----------------------------------------------------

TEST_F(DatabaseLinkTest, RecordsetIsSortedByTheKeyAndWalkedByPosition)
{
    CDatabaseLink& link = Linked();
    EXPECT_EQ(link.GetKeyField(), "Id");
    EXPECT_EQ(link.OpenRecordset(), 4);
    EXPECT_EQ(Column(link, "Id"), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(Column(link, "Stock"), (QStringList{"5", "-4", "9007199254740993", "0"}));
    EXPECT_EQ(Column(link, "Price"), (QStringList{"7", "20.25", "12.5", "3"}));
    // The last record: MoveNext stays there and says so.
    EXPECT_EQ(link.GetPosition(), 4);
    EXPECT_FALSE(link.MoveNext());
    EXPECT_EQ(link.GetPosition(), 4);
    EXPECT_TRUE(link.MovePrevious());
    EXPECT_EQ(link.GetPosition(), 3);

    EXPECT_TRUE(link.FindRecord("name", "somewhere else"));
    EXPECT_EQ(link.GetFieldValue("Code"), "TAB0000001");
    const int bookmark = link.GetBookmark();
    EXPECT_FALSE(link.FindRecord("Name", "nobody"));
    EXPECT_EQ(link.GetBookmark(), bookmark);
    EXPECT_TRUE(link.GotoKey("3"));
    EXPECT_EQ(link.GetFieldValue("Name"), "O'Brien's Tea");
    EXPECT_EQ(link.GetFieldValue("Odd]Name"), "x");

    // An option list filled from the link reads a whole column and leaves
    // the record being printed where it was.
    EXPECT_EQ(static_cast<CDataLinkSeam&>(link).GetColumnValues("Price"),
              (QStringList{"7", "20.25", "12.5", "3"}));
    EXPECT_EQ(link.GetFieldValue("Name"), "O'Brien's Tea");

    EXPECT_TRUE(link.SortBy("Name"));
    EXPECT_EQ(Column(link, "Id"), (QStringList{"4", "2", "3", "1"}));
    EXPECT_TRUE(link.TableHasColumn("PRICE"));
    EXPECT_FALSE(link.TableHasColumn("Pric"));
    EXPECT_EQ(link.GetFieldTypeName(link.GetFieldType("Name")), "Text");
    EXPECT_EQ(link.GetFieldTypeName(link.GetFieldType("Price")), "Double");
}

// A sort by a text field ignores case the way the records' own comparison
// does, letter by letter: accented letters and capitals fold to their small
// letters and nothing more (no "ss" for "ß", no accent dropped), letters
// outside the basic plane fold too, nulls come first, and records whose
// texts are the same but for case keep the order they came in.
TEST_F(DatabaseLinkTest, TextSortIgnoresCaseLetterByLetter)
{
    const QStringList words = {
        "apple", "Apple", "APPLE pie", u"\u00c4pfel"_qs, u"\u00e4pfel"_qs, "Zebra", "zebra",
        u"Stra\u00dfe"_qs, "STRASSE", QString(), "", u"\u00c9mile"_qs, "emile",
        u"\U00010428bc"_qs, u"\U00010400bc"_qs, u"\U00010428b"_qs, "b", "B2",
        u"\u00e9clair"_qs, "Eclair", u"\uff21"_qs, u"\uff41"_qs, "a"};
    {
        const QString name = QStringLiteral("words-fixture");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dir.filePath("words.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("CREATE TABLE Words (Id INTEGER PRIMARY KEY, Name TEXT)"));
        for (int i = 0; i < words.size(); ++i) {
            ASSERT_TRUE(query.prepare("INSERT INTO Words VALUES (?, ?)"));
            query.addBindValue(i + 1);
            query.addBindValue(words[i].isNull() ? QVariant(QMetaType(QMetaType::QString))
                                                 : QVariant(words[i]));
            ASSERT_TRUE(query.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("words-fixture"));

    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeConnectionString);
    ASSERT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + dir.filePath("words.db"), TRUE));
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("Words"));
    ASSERT_EQ(link.OpenRecordset(), int(words.size()));
    // Nulls, the empty text, then by folded units: "strasse" before
    // "straße", "äpfel" before "éclair" before "émile", then the letters
    // outside the basic plane and the full-width ones.
    const QStringList ascending = {"10", "11", "23", "1",  "2",  "3",  "17", "18",
                                   "20", "13", "9",  "8",  "6",  "7",  "4",  "5",
                                   "19", "12", "16", "14", "15", "21", "22"};
    ASSERT_TRUE(link.SortBy("Name"));
    EXPECT_EQ(Column(link, "Id"), ascending);
    // Each neighbour stands where the comparison of the two texts puts it.
    for (int i = 1; i < ascending.size(); ++i) {
        const QString& first = words[ascending[i - 1].toInt() - 1];
        const QString& second = words[ascending[i].toInt() - 1];
        EXPECT_LE(first.compare(second, Qt::CaseInsensitive), 0) << i;
    }

    // Descending: nulls last, and texts the same but for case still in the
    // order they came in.
    ASSERT_EQ(link.OpenRecordset("SELECT * FROM Words ORDER BY Name DESC"), int(words.size()));
    EXPECT_EQ(Column(link, "Id"),
              (QStringList{"21", "22", "14", "15", "16", "12", "19", "4", "5", "6", "7", "8",
                           "9", "13", "20", "18", "17", "3", "1", "2", "23", "11", "10"}));
    link.Disconnect();
}

// The names and types of the fields, asked with no recordset open (the
// wizard's sort page, every pane's field list), come from the columns of the
// table or view without reading its records; what they say is what the
// recordset says once it is open.
TEST_F(DatabaseLinkTest, FieldNamesAndTypesReadNoRecords)
{
    for (const QString& view : {QString(), QStringLiteral("SELECT Name, Price FROM Products")}) {
        CDatabaseLink& link = Linked();
        link.m_customViewQuery = view;
        link.CloseRecordset();
        const qint64 before = link.m_recordsRead;
        const QStringList names = link.FieldNames();
        QList<int> types;
        for (const QString& name : names)
            types << link.GetFieldType(name);
        EXPECT_EQ(link.m_recordsRead, before) << view.toStdString();
        EXPECT_FALSE(link.IsRecordsetOpen());

        EXPECT_EQ(link.OpenRecordset(), 4);
        EXPECT_EQ(link.m_recordsRead, before + 4);
        EXPECT_EQ(link.FieldNames(), names);
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(link.GetFieldType(names[i]), types[i]) << names[i].toStdString();
        EXPECT_EQ(names.contains("Price"), true);
        EXPECT_EQ(link.GetFieldTypeName(types[names.indexOf("Price")]), "Double");
        link.m_customViewQuery.clear();
        link.Disconnect();
    }
}

TEST_F(DatabaseLinkTest, CustomViewsAndFiltersOpenTheRightRecords)
{
    CDatabaseLink& link = Linked();
    struct Case
    {
        const char* view;
        QStringList ids;
    } cases[] = {
        {"Price > 10", {"2", "3"}},
        {"ORDER BY Price DESC", {"2", "3", "1", "4"}},
        {"Price < 100 ORDER BY [Name] DESC", {"1", "3", "2", "4"}},
        {"SELECT Id, Name FROM Products WHERE Name <> 'Somewhere Else' ORDER BY Id DESC",
         {"4", "3", "2"}},
    };
    for (const Case& c : cases) {
        link.CloseRecordset();
        link.m_customViewQuery = c.view;
        EXPECT_EQ(link.OpenRecordset(), c.ids.size()) << c.view;
        EXPECT_EQ(Column(link, "Id"), c.ids) << c.view;
    }
    link.m_customViewQuery.clear();
    link.CloseRecordset();
    link.OpenRecordset();

    // Conditions made from typed text select exactly what was typed.
    struct Filter
    {
        QString condition;
        QStringList ids;
    } filters[] = {
        {link.QuoteName("Name") + " = " + link.QuoteString("O'Brien's Tea"), {"3"}},
        {link.StartsWithCondition("Name", "50%"), {"2"}},
        {link.StartsWithCondition("Name", "50"), {"2", "4"}},
        {link.StartsWithCondition("Name", "O'"), {"3"}},
        {link.QuoteName("Odd]Name") + " = " + link.QuoteString("y"), {"1"}},
        {link.QuoteName("Name") + " = " + link.QuoteString("x' OR 'a'='a"), {}},
    };
    for (const Filter& f : filters) {
        EXPECT_EQ(link.SetFilter(f.condition), f.ids.size()) << f.condition.toStdString();
        EXPECT_EQ(Column(link, "Id"), f.ids) << f.condition.toStdString();
        EXPECT_EQ(link.GetFilter(), f.condition);
    }
    EXPECT_EQ(link.GetCurrentSql(true, true),
              "SELECT * FROM [Products] WHERE " + filters[5].condition + " ORDER BY [Id] ASC");
    EXPECT_EQ(link.ClearFilter(), 4);
}

TEST_F(DatabaseLinkTest, EmptyTablesAndViewsAreLinksAllTheSame)
{
    CDatabaseLink& link = Linked("Empty");
    EXPECT_EQ(link.OpenRecordset(), 0);
    EXPECT_TRUE(link.IsRecordsetOpen());
    EXPECT_EQ(link.GetFieldValue("Name"), "");
    EXPECT_FALSE(link.MoveFirst());
    EXPECT_EQ(link.FieldNames(), (QStringList{"Id", "Name"}));

    // A view is a table of the source too.
    link.CloseRecordset();
    EXPECT_TRUE(link.TableNames().contains("Dear"));
    EXPECT_TRUE(link.OpenTable("Dear"));
    EXPECT_EQ(link.OpenRecordset(), 2);
}

TEST_F(DatabaseLinkTest, ConnectionStringsNameTheirDriver)
{
    struct Case
    {
        const char* text;
        const char* driver;
        const char* database;
        const char* host;
        int port;
    } cases[] = {
        {"Provider=QSQLITE;Data Source=/tmp/a.db", "QSQLITE", "/tmp/a.db", "", -1},
        {"provider=qpsql; Host=/tmp/sock; Port=5433; Database=shop; User=me", "QPSQL", "shop",
         "/tmp/sock", 5433},
        {"Provider=QPSQL;Host=h;Port=99999;Database=d", "QPSQL", "d", "h", -1},
        {"Driver={SQLite3;x};Database=/tmp/b.db", "QODBC", "Driver={SQLite3;x};Database=/tmp/b.db",
         "", -1},
        {"DSN=Shop", "QODBC", "DSN=Shop", "", -1},
    };
    for (const Case& c : cases) {
        const auto parts = CDatabaseLink::ParseConnectionString(c.text);
        EXPECT_EQ(parts.driver, QString(c.driver)) << c.text;
        EXPECT_EQ(parts.database, QString(c.database)) << c.text;
        EXPECT_EQ(parts.host, QString(c.host)) << c.text;
        EXPECT_EQ(parts.port, c.port) << c.text;
    }
}

TEST_F(DatabaseLinkTest, ConnectingTwiceToTheSameSourceKeepsTheConnection)
{
    CDatabaseLink& link = Linked();
    const QString connection = link.m_connectionName;
    EXPECT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + database, TRUE));
    EXPECT_EQ(link.m_connectionName, connection);
    EXPECT_EQ(link.CurrentTable(), "Products");

    // A source that is not there fails, with the reason shown.
    CMessageResponder answers;
    EXPECT_FALSE(link.Connect("Provider=QSQLITE;Data Source=" + dir.filePath("none.db"), TRUE));
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(answers.Count(), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("none.db")));
}

// --- the sign's block -------------------------------------------------------------

class DatabaseBlockTest : public DatabaseLinkTest
{
protected:
    QByteArray Write(CDatabaseLink& link, const QString& signFolder)
    {
        QByteArray bytes;
        App().signFolder = signFolder;
        CArchive ar(&bytes, CArchive::store);
        link.Serialize(ar);
        ar.Flush();
        return bytes;
    }
    void Read(QByteArray bytes, const QString& signFolder, int version = 514)
    {
        App().signFolder = signFolder;
        App().fileVersion = version;
        App().loadOutcome = 0;
        CArchive ar(&bytes, CArchive::load);
        TheDatabaseLink().Serialize(ar);
    }
    // A block written field by field, as older versions stored it.
    static QByteArray OldBlock(const std::function<void(CArchive&)>& write)
    {
        QByteArray bytes;
        CArchive ar(&bytes, CArchive::store);
        write(ar);
        ar.Flush();
        return bytes;
    }
};

TEST_F(DatabaseBlockTest, LinkIsMadeAgainWhereTheSignIsRead)
{
    // An SQLite database chosen as an Access-type file, stored relative to
    // the sign's folder, is found beside the sign wherever it moves.
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeAccess);
    ASSERT_TRUE(link.Connect(database, TRUE));
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("Products"));
    link.m_keyField = "Code";
    link.m_firstFieldIsCopyQuantity = TRUE;
    link.m_stringDelimiters[0] = link.m_stringDelimiters[1] = '"';
    App().general.storeRelativePaths = 1;
    const QByteArray bytes = Write(link, dir.path() + "/");
    EXPECT_TRUE(bytes.contains(QByteArray(".\\products.db")));
    link.Disconnect();

    QTemporaryDir moved;
    ASSERT_TRUE(QFile::copy(database, moved.filePath("products.db")));
    Read(bytes, moved.path() + "/");
    EXPECT_EQ(App().loadOutcome, 0);
    ASSERT_TRUE(link.IsConnected());
    EXPECT_EQ(link.m_dataSource, moved.filePath("products.db"));
    EXPECT_EQ(link.CurrentTable(), "Products");
    EXPECT_EQ(link.m_keyField, "Code");
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_TRUE(link.m_firstFieldIsCopyQuantity);
    EXPECT_EQ(link.m_stringDelimiters[0], '"');
    EXPECT_EQ(link.OpenRecordset(), 4);
    EXPECT_EQ(link.GetFieldValue("Code"), "TAB0000001");

    // Without the preference, or outside the sign's folder, the full path.
    App().general.storeRelativePaths = 0;
    EXPECT_TRUE(Write(link, moved.path() + "/").contains(moved.filePath("products.db").toUtf8()));
    App().general.storeRelativePaths = 1;
    EXPECT_TRUE(Write(link, dir.path() + "/").contains(moved.filePath("products.db").toUtf8()));
}

TEST_F(DatabaseBlockTest, UnlinkedSignHoldsOneWordAndExportsTwoLines)
{
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_EQ(Write(link, dir.path() + "/"), QByteArray(4, '\0'));
    Read(QByteArray(4, '\0'), dir.path() + "/");
    EXPECT_FALSE(link.IsConnected());
    QByteArray text;
    {
        CTextExportFile file(&text);
        link.WriteXml(file);
    }
    EXPECT_EQ(text, QByteArray("<database>\r\n\r\n\r\n</database>\r\n\r\n"));
}

TEST_F(DatabaseBlockTest, LinkThatCannotBeMadeAgainIsTheUsersChoice)
{
    struct Case
    {
        int kind;
        int answer;
        int message;
        int outcome;
        bool thrown;
    } cases[] = {
        {0, IDYES, IDS_CANNOT_RECREATE_DATA_LINK, 1, false},
        {1, IDYES, IDS_CANNOT_REOPEN_DATA_STORE, 2, false},
        {0, IDNO, IDS_CANNOT_RECREATE_DATA_LINK, 0, true},
    };
    const QString missing = dir.filePath("gone.db");
    for (const Case& c : cases) {
        const QByteArray bytes = OldBlock([&](CArchive& ar) {
            ar << DWORD(1) << DWORD(c.kind) << DWORD(0) << missing << QString("Products")
               << QString() << QString() << QString("Id") << DWORD(0) << DWORD(0) << DWORD(1);
            for (const char c : {'[', ']', '\'', '\'', '#', '#', '%'})
                ar << BYTE(c);
        });
        CMessageResponder answers;
        answers.SetDefaultAnswer(c.answer);
        bool thrown = false;
        try {
            Read(bytes, dir.path() + "/");
        } catch (const CUserException&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, c.thrown);
        EXPECT_EQ(answers.LastText(), FormatStringId(c.message, {missing}));
        if (!c.thrown) {
            EXPECT_EQ(App().loadOutcome, c.outcome);
        }
        EXPECT_FALSE(TheDatabaseLink().IsConnected());
        EXPECT_EQ(TheDatabaseLink().GetLinkKind(), -1);
    }
}

TEST_F(DatabaseBlockTest, OldSignsReadTheirBlocksInTodaysNumbering)
{
    struct Case
    {
        int version;
        int storedType;
        int type;
    } cases[] = {
        {300, 9, kDatabaseTypeExcel},
        {300, 11, kDatabaseTypeExcel},
        {300, 14, 10},
        {300, 16, kDatabaseTypeText},
        {255, 8, 13},
        {249, 6, 6},
        {240, 8, 13},
        {240, 12, kDatabaseTypeExcel},
        {514, 12, kDatabaseTypeText},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = OldBlock([&](CArchive& ar) {
            ar << DWORD(1);
            ar << DWORD(0); // kind (from version 105)
            ar << DWORD(c.storedType) << QString("D:\\old\\stock.dbf");
            if (c.version >= 265 && c.version <= 299)
                ar << DWORD(77);
            ar << QString("stock");
            if (c.version >= 310)
                ar << QString() << QString();
            ar << QString();
            if (c.type == kDatabaseTypeText)
                ar << BYTE(';') << DWORD(1) << DWORD(1) << DWORD(1) << QString("Name")
                   << QString("Text");
            if (c.version >= 230)
                ar << DWORD(0);
            if (c.version >= 330)
                ar << DWORD(0);
            if (c.version >= 320)
                ar << DWORD(1);
            if (c.version >= 263)
                for (const char c : {'[', ']', '\'', '\'', '#', '#', '%'})
                    ar << BYTE(c);
            ar << DWORD(0xC0FFEE); // what follows the block
        });
        CMessageResponder answers;
        answers.SetDefaultAnswer(IDYES);
        QByteArray copy = bytes;
        App().fileVersion = c.version;
        CArchive ar(&copy, CArchive::load);
        TheDatabaseLink().Serialize(ar);
        EXPECT_EQ(ar.ReadDWord(), DWORD(0xC0FFEE)) << c.version << " " << c.storedType;
        EXPECT_EQ(TheDatabaseLink().m_typeId, c.type) << c.version << " " << c.storedType;
        if (c.type == 13) {
            EXPECT_TRUE(answers.LastText().contains(
                "SourceType=DBF;SourceDB=D:\\old;Driver={Microsoft Visual FoxPro Driver}"))
                << answers.LastText().toStdString();
        }
        if (c.type == kDatabaseTypeText) {
            EXPECT_EQ(TheDatabaseLink().m_textDelimiter, ';');
        }
    }
}

TEST_F(DatabaseBlockTest, DamagedBlocksFailCleanly)
{
    CDatabaseLink& link = Linked();
    link.m_customViewQuery = "Price > 10";
    TheCustomViewList().Set("Dear ones", "Price > 10");
    const QByteArray whole = Write(link, dir.path() + "/");
    link.Disconnect();
    CMessageResponder answers;
    answers.SetDefaultAnswer(IDYES);
    for (qsizetype size = 0; size < whole.size(); ++size) {
        bool failed = false;
        try {
            Read(whole.left(size), dir.path() + "/");
        } catch (const CArchiveException&) {
            failed = true;
        }
        EXPECT_TRUE(failed) << size;
        EXPECT_FALSE(TheDatabaseLink().IsConnected()) << size;
    }
    Read(whole, dir.path() + "/");
    EXPECT_TRUE(TheDatabaseLink().IsConnected());
    EXPECT_EQ(TheDatabaseLink().GetRecordCount(), 2);
}

TEST_F(DatabaseBlockTest, CustomViewOfTheSignMeetsTheListedViews)
{
    CDatabaseLink& link = Linked();
    link.m_customViewQuery = "Price > 10";
    TheCustomViewList().Set("Dear", "Price > 10");
    const QByteArray bytes = Write(link, dir.path() + "/");
    link.Disconnect();
    struct Case
    {
        const char* listed; // the list's query under the name, or null
        int answer;
        const char* used;
        const char* listedAfter;
        bool asked;
    } cases[] = {
        {nullptr, 0, "Price > 10", "Price > 10", false},
        {"PRICE > 10", 0, "Price > 10", "PRICE > 10", false},
        {"Price > 1", IDYES, "Price > 10", "Price > 10", true},
        {"Price > 1", IDNO, "Price > 1", "Price > 1", true},
    };
    for (const Case& c : cases) {
        CAppContext fresh;
        if (c.listed)
            TheCustomViewList().Set("dear", c.listed);
        CMessageResponder answers;
        answers.SetDefaultAnswer(c.answer);
        Read(bytes, dir.path() + "/");
        EXPECT_EQ(answers.Count(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(answers.LastText(), FormatStringId(IDS_REPLACE_CUSTOM_VIEW, {"Dear"}));
        }
        EXPECT_EQ(TheDatabaseLink().m_customViewQuery, QString(c.used));
        EXPECT_EQ(TheCustomViewList().Find("Dear"), QString(c.listedAfter));
        EXPECT_TRUE(TheDatabaseLink().IsRecordsetOpen());
    }
    // Cancel abandons the load.
    CAppContext fresh;
    TheCustomViewList().Set("Dear", "Price > 1");
    CMessageResponder answers;
    answers.SetDefaultAnswer(IDCANCEL);
    EXPECT_THROW(Read(bytes, dir.path() + "/"), CUserException);
}

} // namespace

namespace {

// A sign's view that would reach a file is refused with the reason: the
// sign keeps its table without the view, and the view stays out of the list.
TEST_F(DatabaseBlockTest, ViewThatWouldWriteLeavesTheSignOnItsTable)
{
    CDatabaseLink& link = Linked();
    const QString view =
        "SELECT * FROM Products WHERE load_extension('" + dir.filePath("library") + "') IS NULL";
    link.m_customViewQuery = view;
    TheCustomViewList().Set("Loader", view);
    const QByteArray bytes = Write(link, dir.path() + "/");
    link.Disconnect();
    CAppContext fresh;
    CMessageResponder answers;
    Read(bytes, dir.path() + "/");
    ASSERT_EQ(answers.Count(), 1);
    EXPECT_EQ(answers.LastText(), "\"The custom view may only read data.\"");
    EXPECT_EQ(App().loadOutcome, 0);
    ASSERT_TRUE(TheDatabaseLink().IsConnected());
    EXPECT_EQ(TheDatabaseLink().CurrentTable(), "Products");
    EXPECT_EQ(TheDatabaseLink().m_customViewQuery, "");
    EXPECT_TRUE(TheCustomViewList().Find("Loader").isNull());
    EXPECT_EQ(TheDatabaseLink().OpenRecordset(), 4);
}

TEST_F(DatabaseBlockTest, EmptyViewIsALinkAllTheSame)
{
    CDatabaseLink& link = Linked();
    link.m_customViewQuery = "Price > 1000";
    const QByteArray bytes = Write(link, dir.path() + "/");
    link.Disconnect();
    CMessageResponder answers;
    Read(bytes, dir.path() + "/");
    EXPECT_EQ(answers.Count(), 0) << answers.LastText().toStdString();
    EXPECT_EQ(App().loadOutcome, 0);
    EXPECT_TRUE(link.IsConnected());
    EXPECT_TRUE(link.IsRecordsetOpen());
    EXPECT_EQ(link.GetRecordCount(), 0);
}

TEST_F(DatabaseBlockTest, SettingsOfTheSignReadBeforeDoNotLinger)
{
    CDatabaseLink& link = Linked();
    link.m_nameDelimiters[0] = link.m_nameDelimiters[1] = '`';
    link.m_excelHeader = FALSE;
    link.m_keyField = "Code";
    Read(Write(link, dir.path() + "/"), dir.path() + "/");
    ASSERT_TRUE(link.IsConnected());
    EXPECT_EQ(link.m_nameDelimiters[0], '`');

    // A block of version 250 holds no delimiters and no workbook setting.
    const QByteArray old = OldBlock([&](CArchive& ar) {
        ar << DWORD(1) << DWORD(0) << DWORD(0) << database << QString("Products") << QString()
           << DWORD(0);
    });
    Read(old, dir.path() + "/", 250);
    ASSERT_TRUE(link.IsConnected());
    EXPECT_EQ(link.m_nameDelimiters[0], '[');
    EXPECT_EQ(link.m_nameDelimiters[1], ']');
    EXPECT_TRUE(link.m_excelHeader);
    EXPECT_EQ(link.m_keyField, "");
    EXPECT_EQ(link.GetKeyField(), "Id");
}

} // namespace

namespace {

// A workbook is linked like any source: its sheets are the tables, and the
// link's header setting decides whether the first row names the fields.
TEST_F(DatabaseLinkTest, WorkbookSheetsAreTables)
{
    const QString workbook = QStringLiteral(TABREL_DATABASE_FIXTURES "/prices.xls");
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeExcel);
    ASSERT_TRUE(link.Connect(workbook, TRUE));
    link.m_linkKind = 0;
    EXPECT_EQ(link.TableNames(), (QStringList{"Prices$", "Second Sheet$"}));
    ASSERT_TRUE(link.OpenTable("Prices$"));
    EXPECT_EQ(link.OpenRecordset(), 3);
    EXPECT_EQ(Column(link, "Code"), (QStringList{"TAB0000001", "TAB0000002", "00123"}));
    EXPECT_EQ(Column(link, "Price"), (QStringList{"2.5", "7", "1234.125"}));
    EXPECT_EQ(Column(link, "Count"), (QStringList{"12", "0", "-3"}));
    EXPECT_EQ(link.GetDefaultSql(), "SELECT * FROM [Prices$]");
    // A sheet that is not there is reported, and the table stays.
    CMessageResponder answers;
    EXPECT_FALSE(link.OpenTable("Missing$"));
    EXPECT_EQ(answers.Count(), 1);
    EXPECT_EQ(link.CurrentTable(), "Prices$");
}

} // namespace

namespace {

// A text source is read as the link describes it, the first time and after
// the sign is opened again: the link's settings reach the schema file, and
// a section's own declared columns stay when the link declares none.
TEST_F(DatabaseBlockTest, TextSourcesAreReadAsTheLinkSays)
{
    const QString csv = dir.filePath("plain.txt");
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("007;Tea\r\n010;Cake\r\n");
    }
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textDelimiter = ';';
    link.m_textHeader = FALSE;
    ASSERT_TRUE(link.Connect(csv, TRUE));
    link.m_linkKind = 0;
    QString table;
    ASSERT_TRUE(link.GetDefaultTableName(table));
    EXPECT_EQ(table, "plain#txt");
    ASSERT_TRUE(link.OpenTable(table));
    EXPECT_EQ(link.OpenRecordset(), 2);
    EXPECT_EQ(link.FieldNames(), (QStringList{"F1", "F2"}));
    CTextSchema schema;
    QString error;
    ASSERT_TRUE(ReadTextSchema(csv, &schema, &error)) << error.toStdString();
    EXPECT_FALSE(schema.header);
    EXPECT_EQ(schema.delimiter, ';');

    // Columns declared in the file by another tool: the codes stay texts.
    schema.columns = {{"Code", "Text", 0}, {"Item", "Text", 0}};
    ASSERT_TRUE(WriteTextSchema(csv, schema, &error));
    ASSERT_TRUE(link.Reopen());
    link.OpenRecordset();
    EXPECT_EQ(Column(link, "Code"), (QStringList{"007", "010"}));
    const QByteArray bytes = Write(link, dir.path() + "/");
    link.Disconnect();
    Read(bytes, dir.path() + "/");
    ASSERT_TRUE(link.IsConnected());
    link.OpenRecordset();
    EXPECT_EQ(Column(link, "Code"), (QStringList{"007", "010"}));
    EXPECT_EQ(Column(link, "Item"), (QStringList{"Tea", "Cake"}));
}

// A section with one line the reader cannot take: the link neither
// rewrites nor drops what the user declared, and the line is refused with a
// message that names the schema file and the line.
TEST_F(DatabaseBlockTest, ASchemaSectionWithABadLineIsKeptAndRefused)
{
    const QString csv = dir.filePath("plain.txt");
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("007;Tea;1\r\n010;Cake;2\r\n");
    }
    const QByteArray schema = "[other.csv]\r\nFormat=CSVDelimited\r\n"
                              "[plain.txt]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\n"
                              "Col1=\"Code\" Text\r\nCol2=\"Item\" Text\r\n"
                              "Col3=\"Count\" Lnog\r\n";
    const QString schemaPath = dir.filePath("SCHEMA.INI");
    {
        QFile file(schemaPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(schema);
    }
    CMessageResponder answers;
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textDelimiter = ',';
    link.m_textHeader = TRUE;
    if (link.Connect(csv, TRUE)) {
        link.m_linkKind = 0;
        EXPECT_FALSE(link.OpenTable("plain#txt"));
    }
    ASSERT_GE(answers.Count(), 1);
    EXPECT_TRUE(answers.LastText().contains("SCHEMA.INI")) << answers.LastText().toStdString();
    EXPECT_TRUE(answers.LastText().contains("Col3=\"Count\" Lnog"))
        << answers.LastText().toStdString();
    link.Disconnect();
    QFile file(schemaPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), schema);
}

} // namespace

namespace {

// The character set of a text source: what the schema file names holds
// when the sign is opened again, whatever the sign says; a section that
// names none gets UTF-8 for a file that is UTF-8. The sign keeps UTF-8.
TEST_F(DatabaseBlockTest, CharacterSetOfTheSchemaFileHolds)
{
    const QByteArray utf8 = "Name,Code\r\nCr\xC3\xA8me07,7\r\n";
    const QByteArray ansi = "Name,Code\r\nCr\xE8me07,7\r\n";
    const struct
    {
        const char* what;
        QByteArray bytes;
        const char* section; // the CharacterSet line written by hand, or none
        QString name;        // as the link reads it
        int fileType;        // the link's afterwards
        const char* written; // the section's CharacterSet afterwards
    } cases[] = {
        {"UTF-8 named by hand", utf8, "CharacterSet=65001", QString::fromUtf8("Crème07"), 2,
         "65001"},
        {"UTF-8, no character set named", utf8, nullptr, QString::fromUtf8("Crème07"), 2, "65001"},
        {"Windows-1252, none named", ansi, nullptr, QString::fromUtf8("Crème07"), 0, nullptr},
        {"the user said ANSI", utf8, "CharacterSet=ANSI", QString::fromUtf8("CrÃ¨me07"), 0, "ANSI"},
        {"the user said OEM", "Name,Code\r\nCr\x8Ame07,7\r\n", "CharacterSet=OEM",
         QString::fromUtf8("Crème07"), 1, "OEM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const QString csv = folder.filePath("names.csv");
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        // The sign as an earlier program saved it: ANSI, header row.
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeText);
        link.m_textHeader = TRUE;
        link.m_textFileType = 0;
        link.m_dataSource = csv;
        link.m_linkKind = 0;
        QByteArray bytes;
        {
            // Written as a connected text link would be, without connecting.
            CDatabaseLink made;
            made.SetDatabaseType(kDatabaseTypeText);
            made.m_textHeader = TRUE;
            ASSERT_TRUE(made.Connect(csv, TRUE));
            ASSERT_TRUE(made.OpenTable("names#csv"));
            made.m_linkKind = 0;
            made.m_textFileType = 0;
            bytes = Write(made, folder.path() + "/");
        }
        link.Disconnect();
        QFile schema(folder.filePath("SCHEMA.INI"));
        ASSERT_TRUE(schema.open(QIODevice::WriteOnly));
        schema.write("[names.csv]\r\nColNameHeader=True\r\nFormat=CSVDelimited\r\n");
        if (c.section)
            schema.write(QByteArray(c.section) + "\r\n");
        schema.close();

        Read(bytes, folder.path() + "/");
        ASSERT_TRUE(link.IsConnected());
        EXPECT_EQ(link.m_textFileType, c.fileType);
        ASSERT_EQ(link.OpenRecordset(), 1);
        EXPECT_EQ(link.GetFieldValue("Name"), c.name);
        ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
        const QByteArray section = schema.readAll();
        schema.close();
        if (c.written)
            EXPECT_TRUE(section.contains(QByteArray("CharacterSet=") + c.written + "\r\n"))
                << section.constData();
        else
            EXPECT_FALSE(section.contains("CharacterSet=")) << section.constData();
        // The sign stores the character set it now reads with.
        const QByteArray again = Write(link, folder.path() + "/");
        link.Disconnect();
        link.m_textFileType = -1;
        Read(again, folder.path() + "/");
        EXPECT_EQ(link.m_textFileType, c.fileType);
        link.Disconnect();
    }
}

// Damaged blocks of a text-file link, a view of an SQLite database and an
// old-version link: each is read, refused with the archive's error or met
// with the re-link question, and never writes beside a file it names unless
// that file is a text table.
TEST_F(DatabaseBlockTest, DamagedCopiesAreReadOrRefused)
{
    const QString csv = dir.filePath("rows.csv");
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Code\r\nA,1\r\nB,2\r\n");
    }
    QList<QByteArray> seeds;
    CDatabaseLink& link = Linked();
    link.m_customViewQuery = "Price > 10 ORDER BY Name";
    seeds << Write(link, dir.path() + "/");
    link.Disconnect();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    link.m_textFields = {{"Name", "Text"}, {"Code", "Long"}};
    ASSERT_TRUE(link.Connect(csv, TRUE));
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("rows#csv"));
    seeds << Write(link, dir.path() + "/");
    link.Disconnect();

    CMessageResponder answers;
    answers.SetDefaultAnswer(IDYES);
    std::mt19937 rng(20261210);
    int read = 0;
    for (int i = 0; i < 400; ++i) {
        const QByteArray damaged = DamagedCopy(seeds[i % seeds.size()], rng);
        try {
            Read(damaged, dir.path() + "/");
            ++read;
        } catch (const CArchiveException&) {
        } catch (const CUserException&) {
        }
        TheDatabaseLink().Disconnect();
    }
    EXPECT_GT(read, 0);
    // Nothing was written but the schema file beside the text table.
    QStringList files = QDir(dir.path()).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"SCHEMA.INI", "products.db", "rows.csv"}));
}

} // namespace

namespace {

// A value of megabytes in a linked database is read for an element as no
// more than an element holds, so one record cannot hold printing up.
TEST_F(DatabaseLinkTest, AHugeValueIsReadNoLongerThanAnElementHolds)
{
    const QString big = dir.filePath("big.db");
    MakeSqliteFile(big, {"CREATE TABLE Big (Id INTEGER PRIMARY KEY, Note TEXT, Raw BLOB)",
                         "INSERT INTO Big VALUES (1, replace(hex(zeroblob(3000000)), '00', 'x') "
                         "|| 'end', zeroblob(3000000))",
                         "INSERT INTO Big VALUES (2, 'short', x'0102')"});
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeConnectionString);
    ASSERT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + big, TRUE));
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("Big"));
    ASSERT_EQ(link.OpenRecordset(), 2);
    ASSERT_TRUE(link.MoveFirst());
    const QString note = link.GetFieldValue("Note");
    EXPECT_EQ(note.size(), CDatabaseLink::kMaxFieldChars);
    EXPECT_EQ(note, QString(CDatabaseLink::kMaxFieldChars, u'x'));
    EXPECT_LE(link.GetFieldValue("Raw").size(), CDatabaseLink::kMaxFieldChars);
    ASSERT_TRUE(link.MoveNext());
    EXPECT_EQ(link.GetFieldValue("Note"), "short");
    EXPECT_EQ(link.GetFieldValue("Raw"), "0102");
}

TEST_F(DatabaseLinkTest, ReopenThatFindsNothingFallsBackToTheWholeTable)
{
    CDatabaseLink& link = Linked();
    ASSERT_EQ(link.OpenRecordset(), 4);
    EXPECT_EQ(link.OpenRecordset("Price > 1000"), 0);
    EXPECT_EQ(link.GetRecordCount(), 4);
    EXPECT_EQ(link.GetCurrentSql(false, false), "SELECT * FROM [Products]");
    // A statement that names a name no table has is reported, not run.
    CMessageResponder answers;
    EXPECT_EQ(link.OpenRecordset("[No such] = 1"), 0);
    EXPECT_EQ(answers.Count(), 1);
    EXPECT_FALSE(link.IsRecordsetOpen());
    EXPECT_EQ(link.OpenRecordset(), 4);
}

} // namespace
