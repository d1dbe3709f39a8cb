// The link against database servers: ODBC through SQLite's ODBC driver, and
// PostgreSQL on a throwaway server that the test starts itself.
#include "AppContext.h"
#include "DatabaseLink.h"
#include "Messages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QStringList Column(CDatabaseLink& link, const QString& field)
{
    QStringList values;
    if (!link.MoveFirst())
        return values;
    do
        values << link.GetFieldValue(field);
    while (link.MoveNext());
    return values;
}

// What both servers must do alike: the table listed, its records sorted by
// the key, typed text in conditions kept as text.
void CheckProducts(CDatabaseLink& link)
{
    EXPECT_TRUE(link.TableNames().contains("products", Qt::CaseInsensitive));
    ASSERT_TRUE(link.OpenTable("products"));
    EXPECT_EQ(link.GetKeyField().toLower(), "id");
    EXPECT_EQ(link.OpenRecordset(), 3);
    EXPECT_EQ(Column(link, "name"), (QStringList{"Somewhere Else", "50%_off", "O'Brien"}));
    EXPECT_EQ(Column(link, "big"), (QStringList{"5", "-4", "9007199254740993"}));
    EXPECT_EQ(Column(link, "price"), (QStringList{"7", "20.25", "12.5"}));

    struct Filter
    {
        QString condition;
        QStringList names;
    } filters[] = {
        {link.QuoteName("name") + " = " + link.QuoteString("O'Brien"), {"O'Brien"}},
        {link.StartsWithCondition("name", "50%"), {"50%_off"}},
        {link.StartsWithCondition("name", "5_"), {}},
        {link.QuoteName("name") + " = " + link.QuoteString("x' OR '1'='1"), {}},
    };
    for (const Filter& f : filters) {
        EXPECT_EQ(link.SetFilter(f.condition), f.names.size()) << f.condition.toStdString();
        EXPECT_EQ(Column(link, "name"), f.names) << f.condition.toStdString();
    }
    link.ClearFilter();
    link.CloseRecordset();
    link.m_customViewQuery = "price > 10 ORDER BY name DESC";
    EXPECT_EQ(link.OpenRecordset(), 2);
    EXPECT_EQ(Column(link, "name"), (QStringList{"O'Brien", "50%_off"}));
    link.m_customViewQuery.clear();
    link.CloseRecordset();
}

// A custom view that would write runs in a read-only transaction, alone,
// and is refused with the reason; the table keeps its records.
void CheckViewsOnlyRead(CDatabaseLink& link, const QStringList& writers)
{
    const QString table = link.CurrentTable();
    link.CloseRecordset();
    link.m_tableName.clear();
    for (const QString& text : writers) {
        CMessageResponder answers;
        link.m_customViewQuery = text;
        EXPECT_EQ(link.OpenRecordset(), 0) << text.toStdString();
        EXPECT_TRUE(link.m_refused)
            << text.toStdString() << ": " << answers.LastText().toStdString();
        EXPECT_TRUE(answers.LastText().startsWith("\"The custom view may only read data."))
            << text.toStdString() << ": " << answers.LastText().toStdString();
    }
    link.m_customViewQuery = "SELECT name FROM products ORDER BY name";
    EXPECT_EQ(link.OpenRecordset(), 3);
    link.m_customViewQuery.clear();
    link.CloseRecordset();
    ASSERT_TRUE(link.OpenTable(table));

    // A sign's SQL format whose string delimiters do not pair ends a
    // literal early: text typed into a search then reaches the server as a
    // second statement, which is refused.
    const char closing = link.m_stringDelimiters[1];
    link.m_stringDelimiters[1] = '!';
    ASSERT_EQ(link.OpenRecordset(), 3);
    {
        CMessageResponder answers;
        const QString condition = link.StartsWithCondition("name", "a' ; DELETE FROM products; --");
        EXPECT_EQ(link.SetFilter(condition), 0) << condition.toStdString();
        EXPECT_TRUE(link.m_refused) << answers.LastText().toStdString();
        EXPECT_TRUE(answers.LastText().startsWith("\"The filter may only read data."))
            << answers.LastText().toStdString();
    }
    link.m_stringDelimiters[1] = closing;
    link.ClearFilter();
    EXPECT_EQ(link.GetRecordCount(), 3);
    link.CloseRecordset();
}

TEST(ServerLinkTest, OdbcThroughSqlitesDriver)
{
    const QString driver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
    if (!QFile::exists(driver) || !QSqlDatabase::isDriverAvailable("QODBC"))
        GTEST_SKIP() << "SQLite's ODBC driver or Qt's ODBC driver is not installed";
    EnsureGuiApp();
    CAppContext context;
    QTemporaryDir dir;
    const QString path = dir.filePath("shop.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "odbc-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql :
             {"CREATE TABLE products (id INTEGER PRIMARY KEY, name TEXT, big INTEGER, price REAL)",
              "INSERT INTO products VALUES (3, 'O''Brien', 9007199254740993, 12.5)",
              "INSERT INTO products VALUES (1, 'Somewhere Else', 5, 7.0)",
              "INSERT INTO products VALUES (2, '50%_off', -4, 20.25)"})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("odbc-fixture");

    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeConnectionString);
    CMessageResponder answers;
    // The driver is named by its library, so that no registration of the
    // system's is needed or changed, and the driver manager's view of the
    // registered drivers, which it keeps for the life of the process, does
    // not matter. It reports INTEGER columns as 64-bit ones when asked to.
    ASSERT_TRUE(link.Connect("Driver=" + driver + ";BigInt=1;Database=" + path, TRUE))
        << answers.LastText().toStdString();
    EXPECT_EQ(link.Database().driverName(), "QODBC");
    link.m_linkKind = 0;
    CheckProducts(link);
    const QByteArray bytes = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    CheckViewsOnlyRead(link, {"DELETE FROM products", "SELECT 1; DELETE FROM products",
                              "CREATE TABLE extra (a)", "ATTACH '" + path + "2' AS x"});
    CheckProducts(link);
    link.Disconnect();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
    }
    EXPECT_FALSE(QFile::exists(path + "2"));
}

// A PostgreSQL server in a temporary folder, listening only on a socket
// there; stopped when the test ends.
class CThrowawayServer
{
public:
    CThrowawayServer()
    {
        const QStringList versions =
            QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& version : versions) {
            const QString bin = "/usr/lib/postgresql/" + version + "/bin/";
            if (QFile::exists(bin + "initdb") && QFile::exists(bin + "pg_ctl"))
                m_bin = bin;
        }
        if (m_bin.isEmpty() || !m_dir.isValid())
            return;
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther);
        if (!Run("initdb", {"-D", Data(), "-U", "tabrel", "-A", "trust", "-E", "UTF8", "--no-sync",
                            "--no-instructions"}))
            return;
        m_started =
            Run("pg_ctl", {"-D", Data(), "-w", "-t", "20", "-l", m_dir.filePath("server.log"), "-o",
                           QStringLiteral("-p %1 -k %2 -c listen_addresses= -c fsync=off")
                               .arg(Port())
                               .arg(m_dir.path()),
                           "start"});
    }
    ~CThrowawayServer()
    {
        if (m_started)
            Run("pg_ctl", {"-D", Data(), "-m", "immediate", "-w", "stop"});
    }

    bool Installed() const { return !m_bin.isEmpty(); }
    bool Started() const { return m_started; }
    QString Error() const { return m_error; }
    QString Socket() const { return m_dir.path(); }
    int Port() const { return 5432; }

private:
    QString Data() const { return m_dir.filePath("data"); }

    bool Run(const QString& tool, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        // The server refuses to run as root.
        if (geteuid() == 0)
            process.start("runuser", QStringList{"-u", "nobody", "--", m_bin + tool} + arguments);
        else
            process.start(m_bin + tool, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            m_error = tool + ": " + QString::fromLocal8Bit(process.readAll());
            return false;
        }
        return true;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_error;
    bool m_started = false;
};

TEST(ServerLinkTest, PostgreSql)
{
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        GTEST_SKIP() << "Qt's PostgreSQL driver is not installed";
    CThrowawayServer server;
    if (!server.Installed())
        GTEST_SKIP() << "the PostgreSQL server is not installed";
    ASSERT_TRUE(server.Started()) << server.Error().toStdString();
    EnsureGuiApp();
    CAppContext context;
    const QString connection = QStringLiteral("Provider=QPSQL;Host=%1;Port=%2;Database=postgres;"
                                              "User=tabrel")
                                   .arg(server.Socket())
                                   .arg(server.Port());
    {
        const auto parts = CDatabaseLink::ParseConnectionString(connection);
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-fixture");
        db.setHostName(parts.host);
        db.setPort(parts.port);
        db.setDatabaseName(parts.database);
        db.setUserName(parts.user);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        for (const char* sql :
             {"CREATE TABLE products (id integer PRIMARY KEY, name text, big bigint, "
              "price numeric(8,2), made date, tag uuid, fresh boolean)",
              "INSERT INTO products VALUES (3, 'O''Brien', 9007199254740993, 12.5, '2024-01-05', "
              "'67c8770b-44f1-410a-ab9a-f9b5446f13ee', true)",
              "INSERT INTO products VALUES (1, 'Somewhere Else', 5, 7.0, NULL, NULL, false)",
              "INSERT INTO products VALUES (2, '50%_off', -4, 20.25, NULL, NULL, NULL)"})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("pg-fixture");

    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeConnectionString);
    CMessageResponder answers;
    ASSERT_TRUE(link.Connect(connection, TRUE)) << answers.LastText().toStdString();
    link.m_linkKind = 0;
    // PostgreSQL takes standard quotes in place of the bracket defaults.
    EXPECT_EQ(link.QuoteName("name"), "\"name\"");
    CheckProducts(link);
    CheckViewsOnlyRead(link, {"DELETE FROM products", "SELECT 1; DELETE FROM products",
                              "WITH d AS (DELETE FROM products RETURNING *) SELECT * FROM d",
                              "CREATE TABLE extra (a integer)", "COMMIT"});
    CheckProducts(link);

    ASSERT_TRUE(link.OpenTable("products"));
    link.OpenRecordset();
    ASSERT_TRUE(link.GotoKey("3"));
    EXPECT_EQ(link.GetFieldValue("made"),
              QLocale().toString(QDate(2024, 1, 5), QLocale::ShortFormat));
    EXPECT_EQ(link.GetFieldValue("tag"), "{67C8770B-44F1-410A-AB9A-F9B5446F13EE}");
    EXPECT_EQ(link.GetFieldValue("fresh"), "TRUE");
    EXPECT_EQ(link.GetFieldTypeName(link.GetFieldType("big")), "Big Integer");
    EXPECT_EQ(link.GetFieldTypeName(link.GetFieldType("made")), "Date");
    link.Disconnect();
}

} // namespace
