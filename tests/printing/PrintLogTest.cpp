// The print log: settings read from the shared profile, the row each job
// writes to the SQLite file in the program folder, the purge of old rows,
// and what happens when the file is gone or the database refuses a row.
#include "PrintLog.h"

#include "AppContext.h"
#include "Damage.h"
#include "MessageBox.h"
#include "SignApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const QString kSection = QStringLiteral("Admin/Print Logging");

// Database drivers and the printer need an application object; the test
// program has no main of its own, so the first test makes one.
void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "printing_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// A row as read back; NULL text reads as "<null>".
struct Row
{
    std::string user;
    std::string time;
    std::string templ;
    int quantity = 0;
    int copies = 0;
    std::string printer;
};

std::string Text(const QVariant& v)
{
    return v.isNull() ? std::string("<null>") : v.toString().toStdString();
}

// Runs statements on the file through a connection of the test's own and
// returns the rows of the last one.
std::vector<std::vector<QVariant>> Query(const QString& path, const QStringList& statements)
{
    std::vector<std::vector<QVariant>> rows;
    const QString name = QStringLiteral("PrintLogTestReader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        for (const QString& statement : statements)
            EXPECT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
        while (q.isSelect() && q.next()) {
            std::vector<QVariant> row;
            for (int i = 0; i < q.record().count(); ++i)
                row.push_back(q.value(i));
            rows.push_back(row);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

std::vector<Row> ReadRows()
{
    std::vector<Row> rows;
    for (const auto& v : Query(CPrintLog::GetDatabasePath(),
                               {QStringLiteral("SELECT * FROM \"PrintLog\" ORDER BY rowid")})) {
        EXPECT_EQ(v.size(), 6u);
        if (v.size() == 6)
            rows.push_back(
                {Text(v[0]), Text(v[1]), Text(v[2]), v[3].toInt(), v[4].toInt(), Text(v[5])});
    }
    return rows;
}

std::vector<std::string> ReadTimes()
{
    std::vector<std::string> times;
    for (const Row& row : ReadRows())
        times.push_back(row.time);
    return times;
}

class PrintLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(m_dir.isValid());
        Save("TABREL_HOME");
        Save("TABREL_DEFAULT_PRINTER");
        qputenv("TABREL_HOME", QFile::encodeName(m_dir.path()));
        qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        CSignApp::SetProfileFolderForTests(m_dir.path());
        CPrintLog::SetClockForTests([this] { return m_now; });
        m_app = std::make_unique<CAppContext>();
    }

    void TearDown() override
    {
        m_app.reset();
        CPrintLog::SetClockForTests({});
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    // Writes the settings to the shared profile and loads them.
    static void Settings(int mode, int duration = 7)
    {
        CSignApp::WriteProfileInt(kSection, QStringLiteral("mode"), mode, true);
        CSignApp::WriteProfileInt(kSection, QStringLiteral("duration"), duration, true);
        ThePrintLog().LoadSettings();
    }

    // The program ends and starts again: a fresh context reads the settings.
    void Restart()
    {
        m_app.reset();
        m_app = std::make_unique<CAppContext>();
        ThePrintLog().LoadSettings();
    }

    static void PrintJob(const QString& templatePath, int signs, int copies,
                         int destination = CPrintLog::ToPrinter, BOOL failed = FALSE)
    {
        CPrintLog& log = ThePrintLog();
        log.BeginRecord(templatePath, copies, destination);
        for (int i = 0; i < signs; ++i)
            log.CountSign();
        log.WriteRecord(failed);
    }

    static bool DatabaseExists() { return QFileInfo::exists(CPrintLog::GetDatabasePath()); }

    QTemporaryDir m_dir;
    QDateTime m_now{QDate(2024, 3, 15), QTime(10, 30, 0)};
    CMessageResponder m_messages;
    std::unique_ptr<CAppContext> m_app;

private:
    void Save(const char* name)
    {
        m_saved.push_back({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    }
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST_F(PrintLogTest, SettingsAreClampedAndMissingValuesKeepTheDefaults)
{
    struct Case
    {
        int mode, duration, wantMode, wantDuration;
    };
    const Case cases[] = {
        {5, 0, 2, 1}, {-1, 5000, 0, 999}, {1, 30, 1, 30}, {2, 999, 2, 999}, {0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", duration " + std::to_string(c.duration));
        CSignApp::WriteProfileInt(kSection, QStringLiteral("mode"), c.mode, true);
        CSignApp::WriteProfileInt(kSection, QStringLiteral("duration"), c.duration, true);
        CPrintLog log;
        log.LoadSettings();
        EXPECT_EQ(log.GetMode(), c.wantMode);
        EXPECT_EQ(log.GetDuration(), c.wantDuration);
    }

    // Settings of the program's own profile are not the shared ones.
    QFile::remove(QDir(m_dir.path()).filePath(QStringLiteral("Corvane.ini")));
    CSignApp::WriteProfileInt(kSection, QStringLiteral("mode"), 2, false);
    CPrintLog fresh;
    fresh.LoadSettings();
    EXPECT_EQ(fresh.GetMode(), 0);
    EXPECT_EQ(fresh.GetDuration(), 7);

    // Only the mode set: the duration stays at its default.
    CSignApp::WriteProfileInt(kSection, QStringLiteral("mode"), 2, true);
    CPrintLog modeOnly;
    modeOnly.LoadSettings();
    EXPECT_EQ(modeOnly.GetMode(), 2);
    EXPECT_EQ(modeOnly.GetDuration(), 7);
}

TEST_F(PrintLogTest, JobWritesOneRowCountingSignsAndCopies)
{
    Settings(1);
    App().currentUserName = [] { return QStringLiteral("alice"); };
    // Two records of a data-linked sign, three copies each.
    PrintJob(QStringLiteral("/home/alice/Signs/Shelf Talker.sgn"), 2, 3);

    EXPECT_EQ(m_messages.Count(), 0) << m_messages.LastText().toStdString();
    EXPECT_EQ(QFileInfo(CPrintLog::GetDatabasePath()).absolutePath(),
              QFileInfo(m_dir.path()).absoluteFilePath());
    const std::vector<Row> rows = ReadRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].user, "alice");
    EXPECT_EQ(rows[0].time, "2024-03-15T10:30:00");
    EXPECT_EQ(rows[0].templ, "/home/alice/Signs/Shelf Talker.sgn");
    EXPECT_EQ(rows[0].quantity, 2);
    EXPECT_EQ(rows[0].copies, 3);
    EXPECT_EQ(rows[0].printer, "Tabrel PDF");

    // The table has the six columns in their order.
    std::vector<std::string> columns;
    for (const auto& v :
         Query(CPrintLog::GetDatabasePath(), {QStringLiteral("PRAGMA table_info(\"PrintLog\")")}))
        columns.push_back(Text(v[1]));
    EXPECT_EQ(columns, (std::vector<std::string>{"User", "Time", "Template", "Quantity", "Copies",
                                                 "Printer"}));

    // Each job starts its record afresh: no signs carried over from the last.
    App().currentUserName = nullptr;
    PrintJob(QStringLiteral("/tmp/Price.sgn"), 1, 1);
    const std::vector<Row> after = ReadRows();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].quantity, 1);
    EXPECT_EQ(after[1].copies, 1);
    // Nobody logged on: a zero-length name, not NULL.
    EXPECT_EQ(after[1].user, "");
}

TEST_F(PrintLogTest, DestinationNamesThePrinterColumn)
{
    Settings(1);
    PrintJob(QStringLiteral("a.sgn"), 1, 1, CPrintLog::ToPrinter);
    PrintJob(QStringLiteral("b.sgn"), 1, 1, CPrintLog::ToFile);
    PrintJob(QStringLiteral("c.sgn"), 4, 1, CPrintLog::ToQueue);

    const std::vector<Row> rows = ReadRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].printer, "Tabrel PDF");
    EXPECT_EQ(rows[1].printer, "File");
    EXPECT_EQ(rows[2].printer, "Queue");
    EXPECT_EQ(rows[2].quantity, 4);
}

TEST_F(PrintLogTest, CancelledJobWritesNoRow)
{
    Settings(1);
    PrintJob(QStringLiteral("cancelled.sgn"), 1, 2, CPrintLog::ToPrinter, TRUE);
    EXPECT_FALSE(DatabaseExists());

    PrintJob(QStringLiteral("done.sgn"), 1, 1);
    PrintJob(QStringLiteral("failed.sgn"), 0, 5, CPrintLog::ToQueue, TRUE);
    const std::vector<Row> rows = ReadRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].templ, "done.sgn");
}

TEST_F(PrintLogTest, LoggingOffWritesNothingAndMakesNoFile)
{
    for (int mode : {0, -1}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Restart();
        Settings(mode);
        PrintJob(QStringLiteral("a.sgn"), 2, 3);
        PrintJob(QStringLiteral("b.sgn"), 1, 1, CPrintLog::ToQueue);
        EXPECT_FALSE(DatabaseExists());
        EXPECT_EQ(m_messages.Count(), 0);
    }
}

TEST_F(PrintLogTest, PurgeDeletesRowsOlderThanTheDurationInModeTwoOnly)
{
    // Rows already in the log, oldest first; the cut-off is seven days
    // before the time of the next job, 2024-03-08T10:30:00.
    const QStringList before = {
        QStringLiteral("2023-12-31T23:59:59"),
        QStringLiteral("2024-03-08T10:29:59"),
        QStringLiteral("2024-03-08T10:30:00"),
        QStringLiteral("2024-03-14T08:00:00"),
    };
    struct Case
    {
        int mode;
        std::vector<std::string> wantTimes;
    };
    const Case cases[] = {
        {1,
         {"2023-12-31T23:59:59", "2024-03-08T10:29:59", "2024-03-08T10:30:00",
          "2024-03-14T08:00:00", "2024-03-15T10:30:00"}},
        {2, {"2024-03-08T10:30:00", "2024-03-14T08:00:00", "2024-03-15T10:30:00"}},
        // Clamped to 2.
        {5, {"2024-03-08T10:30:00", "2024-03-14T08:00:00", "2024-03-15T10:30:00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        m_app.reset();
        QFile::remove(CPrintLog::GetDatabasePath());
        Query(CPrintLog::GetDatabasePath(),
              {QStringLiteral("CREATE TABLE \"PrintLog\" (\"User\" TEXT, \"Time\" TEXT, "
                              "\"Template\" TEXT, \"Quantity\" INTEGER, \"Copies\" INTEGER, "
                              "\"Printer\" TEXT)")});
        for (const QString& time : before)
            Query(CPrintLog::GetDatabasePath(),
                  {QStringLiteral("INSERT INTO \"PrintLog\" VALUES ('bob', '%1', 'old.sgn', 1, "
                                  "1, 'Tabrel PDF')")
                       .arg(time)});
        m_app = std::make_unique<CAppContext>();
        Settings(c.mode, 7);

        PrintJob(QStringLiteral("new.sgn"), 1, 1);
        EXPECT_EQ(ReadTimes(), c.wantTimes);
    }

    // The cut-off follows the duration.
    m_now = QDateTime(QDate(2024, 3, 20), QTime(9, 0, 0));
    Settings(2, 1);
    PrintJob(QStringLiteral("later.sgn"), 1, 1);
    EXPECT_EQ(ReadTimes(), (std::vector<std::string>{"2024-03-20T09:00:00"}));
    EXPECT_EQ(m_messages.Count(), 0) << m_messages.LastText().toStdString();
}

TEST_F(PrintLogTest, DeletedDatabaseIsMadeAgainWithAnEmptyTable)
{
    Settings(1);
    PrintJob(QStringLiteral("first.sgn"), 1, 1);
    ASSERT_EQ(ReadRows().size(), 1u);

    // Deleted while the program is not running.
    m_app.reset();
    ASSERT_TRUE(QFile::remove(CPrintLog::GetDatabasePath()));
    Restart();
    EXPECT_FALSE(DatabaseExists());
    PrintJob(QStringLiteral("second.sgn"), 1, 1);
    std::vector<Row> rows = ReadRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].templ, "second.sgn");

    // Deleted while the log has it open.
    ASSERT_TRUE(QFile::remove(CPrintLog::GetDatabasePath()));
    PrintJob(QStringLiteral("third.sgn"), 1, 1);
    rows = ReadRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].templ, "third.sgn");
    EXPECT_EQ(m_messages.Count(), 0) << m_messages.LastText().toStdString();
}

TEST_F(PrintLogTest, FailedRowsAreKeptForTheNextJobAndTheFailureShownOnce)
{
    // A table the row does not fit: the insert fails.
    Query(CPrintLog::GetDatabasePath(),
          {QStringLiteral("CREATE TABLE \"PrintLog\" (\"Something\" TEXT)")});
    Settings(2);
    PrintJob(QStringLiteral("a.sgn"), 1, 1);
    ASSERT_EQ(m_messages.Count(), 1);
    const QString text = m_messages.LastText();
    EXPECT_TRUE(text.startsWith(u'"') && text.endsWith(u'"') && text.size() > 2)
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("User"))) << text.toStdString();
    PrintJob(QStringLiteral("b.sgn"), 2, 1);
    EXPECT_EQ(m_messages.Count(), 1); // not again for every job
    EXPECT_EQ(ThePrintLog().PendingRows(), 2);
    EXPECT_TRUE(Query(CPrintLog::GetDatabasePath(), {QStringLiteral("SELECT * FROM \"PrintLog\"")})
                    .empty());

    // The table is mended: the next job writes the kept rows first.
    Query(CPrintLog::GetDatabasePath(),
          {QStringLiteral("DROP TABLE \"PrintLog\""),
           QStringLiteral("CREATE TABLE \"PrintLog\" (\"User\" TEXT, \"Time\" TEXT, "
                          "\"Template\" TEXT, \"Quantity\" INTEGER, \"Copies\" INTEGER, "
                          "\"Printer\" TEXT)")});
    PrintJob(QStringLiteral("c.sgn"), 3, 1);
    std::vector<Row> rows = ReadRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].templ, "a.sgn");
    EXPECT_EQ(rows[1].templ, "b.sgn");
    EXPECT_EQ(rows[1].quantity, 2);
    EXPECT_EQ(rows[2].templ, "c.sgn");
    EXPECT_EQ(ThePrintLog().PendingRows(), 0);
    EXPECT_EQ(m_messages.Count(), 1);

    // A new failure after a success is shown again; the rows kept are
    // bounded.
    Query(CPrintLog::GetDatabasePath(), {QStringLiteral("DROP TABLE \"PrintLog\""),
                                         QStringLiteral("CREATE TABLE \"PrintLog\" (\"X\" TEXT)")});
    for (int i = 0; i < CPrintLog::kMaxPendingRows + 5; ++i)
        PrintJob(QStringLiteral("d.sgn"), 1, 1);
    EXPECT_EQ(m_messages.Count(), 2);
    EXPECT_EQ(ThePrintLog().PendingRows(), CPrintLog::kMaxPendingRows);

    // A program folder that cannot hold the file: Open fails after a
    // message, the next job tries again without another one.
    m_messages.Clear();
    qputenv("TABREL_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("missing/folder"))));
    Restart();
    EXPECT_FALSE(ThePrintLog().Open());
    PrintJob(QStringLiteral("e.sgn"), 1, 1);
    ASSERT_EQ(m_messages.Count(), 1);
    EXPECT_TRUE(m_messages.LastText().startsWith(u'"')) << m_messages.LastText().toStdString();
    EXPECT_EQ(ThePrintLog().PendingRows(), 1);
    EXPECT_FALSE(DatabaseExists());
}

TEST_F(PrintLogTest, DamagedDatabaseNeverHoldsPrintingUpNorCrashes)
{
    // A log of a hundred rows, then damaged copies of it.
    Settings(2, 999);
    for (int i = 0; i < 100; ++i)
        PrintJob(QStringLiteral("seed-%1.sgn").arg(i), i % 7, 1 + i % 3);
    m_app.reset();
    QFile file(CPrintLog::GetDatabasePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray seed = file.readAll();
    file.close();
    ASSERT_GT(seed.size(), 4096);

    std::mt19937 rng(1405);
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        {
            QFile damaged(CPrintLog::GetDatabasePath());
            ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write(DamagedCopy(seed, rng));
        }
        m_messages.Clear();
        Restart();
        PrintJob(QStringLiteral("a.sgn"), 1, 1);
        PrintJob(QStringLiteral("b.sgn"), 1, 1);
        EXPECT_LE(m_messages.Count(), 1); // told once at most
        // Either the rows went in or they wait for the next job.
        EXPECT_TRUE(ThePrintLog().PendingRows() == 0 || ThePrintLog().PendingRows() == 2);
        if (HasFailure())
            break;
    }
    m_app.reset();
}

} // namespace
