#include "PrintLog.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "Printer.h"
#include "SignApp.h"
#include "WaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <sqlite3.h>
#include <utility>

namespace {

const QString kSection = QStringLiteral("Admin/Print Logging");
const QString kDriver = QStringLiteral("QSQLITE");

// Each log object has a connection of its own, so that a test's fresh
// context never meets the connection of the one before.
QString NewConnectionName()
{
    static std::atomic<int> serial{0};
    return QStringLiteral("TabrelPrintLog-%1").arg(++serial);
}

std::function<QDateTime()>& Clock()
{
    static std::function<QDateTime()> clock;
    return clock;
}

// The engine's own description when it gave one, else the driver's summary.
QString ErrorText(const QSqlError& error)
{
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.driverText().trimmed() : engine;
}

qint64 MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Virtual-machine steps between two looks at the clock.
constexpr int kProgressSteps = 1000;

// Zero-length text rather than NULL for an empty value.
QVariant Text(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

} // namespace

CPrintLog& ThePrintLog()
{
    return App().Get<CPrintLog>();
}

CPrintLog::CPrintLog() : m_connectionName(NewConnectionName()) {}

CPrintLog::~CPrintLog()
{
    CloseDatabase();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void CPrintLog::LoadSettings()
{
    m_mode = std::clamp(CSignApp::GetProfileInt(kSection, QStringLiteral("mode"), m_mode, true),
                        int(LogOff), int(LogAndPurge));
    m_duration = std::clamp(
        CSignApp::GetProfileInt(kSection, QStringLiteral("duration"), m_duration, true), 1, 999);
}

void CPrintLog::BeginRecord(const QString& templatePath, int copies, int destination)
{
    if (m_mode == LogOff)
        return;
    const auto& userName = App().currentUserName;
    m_user = userName ? userName() : QString();
    m_time = Now();
    m_template = templatePath;
    m_quantity = 0;
    m_copies = copies;
    switch (destination) {
    case ToPrinter:
        m_printer = ThePrinter().GetDeviceName();
        break;
    case ToFile:
        m_printer = QStringLiteral("File");
        break;
    case ToQueue:
        m_printer = QStringLiteral("Queue");
        break;
    default:
        m_printer.clear();
        break;
    }
}

void CPrintLog::CountSign()
{
    if (m_mode != LogOff)
        ++m_quantity;
}

void CPrintLog::WriteRecord(BOOL failed)
{
    if (m_mode == LogOff || failed)
        return;
    m_pending.push_back({m_user, m_time, m_template, m_quantity, m_copies, m_printer});
    while (m_pending.size() > size_t(kMaxPendingRows))
        m_pending.pop_front();
    if (!Open())
        return;

    CWaitCursor wait;
    QString error;
    if (WritePending(error))
        m_failureReported = false;
    else
        ReportError(error);
}

bool CPrintLog::WritePending(QString& error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    StartBudget();
    const auto fail = [&](const QSqlError& sqlError) {
        error = ErrorText(sqlError);
        EndBudget();
        db.rollback(); // nothing when the engine has rolled back already
        return false;
    };

    // All the rows or none, so that a row is never written twice.
    if (!db.transaction())
        return fail(db.lastError());
    bool inserted = false;
    QSqlError insertError;
    {
        QSqlQuery insert(db);
        bool ok = insert.prepare(QStringLiteral("INSERT INTO \"PrintLog\" (\"User\", \"Time\", "
                                                "\"Template\", \"Quantity\", \"Copies\", "
                                                "\"Printer\") VALUES (?, ?, ?, ?, ?, ?)"));
        for (auto row = m_pending.cbegin(); ok && row != m_pending.cend(); ++row) {
            insert.addBindValue(Text(row->user));
            const QString time = TimeText(row->time);
            insert.addBindValue(time.isEmpty() ? QVariant() : QVariant(time));
            insert.addBindValue(Text(row->templ));
            insert.addBindValue(row->quantity);
            insert.addBindValue(row->copies);
            insert.addBindValue(Text(row->printer));
            ok = insert.exec();
        }
        inserted = ok;
        if (!ok)
            insertError = insert.lastError();
    } // the statement is finished before the transaction ends
    if (!inserted)
        return fail(insertError);
    if (!db.commit())
        return fail(db.lastError());
    m_pending.clear();

    if (m_mode == LogAndPurge) {
        // Times are local and of one fixed width, so text order is time order.
        QSqlQuery purge(db);
        bool ok = purge.prepare(QStringLiteral("DELETE FROM \"PrintLog\" WHERE \"Time\" < ?"));
        if (ok) {
            purge.addBindValue(TimeText(Now().addDays(-m_duration)));
            ok = purge.exec();
        }
        if (!ok) {
            error = ErrorText(purge.lastError());
            EndBudget();
            return false;
        }
    }
    EndBudget();
    return true;
}

void CPrintLog::StartBudget()
{
    m_deadline = MonotonicMs() + kWriteBudgetMs;
}

void CPrintLog::EndBudget()
{
    m_deadline = 0;
}

int CPrintLog::OnProgress(void* log)
{
    const qint64 deadline = static_cast<CPrintLog*>(log)->m_deadline;
    return deadline != 0 && MonotonicMs() > deadline ? 1 : 0;
}

BOOL CPrintLog::Open()
{
    const QString path = GetDatabasePath();
    if (m_open) {
        if (QFileInfo::exists(path))
            return TRUE;
        // The file was removed under the open connection: make it again.
        CloseDatabase();
    }

    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        ReportError(
            QStringLiteral("The SQLite database driver (%1) is not installed.").arg(kDriver));
        return FALSE;
    }

    CWaitCursor wait;
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(kDriver, m_connectionName);
    db.setDatabaseName(path);
    // Several running programs share the file; wait a little for one
    // another's writes, never long enough to hold printing up.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        ReportError(ErrorText(db.lastError()));
        db.close();
        return FALSE;
    }
    // Statements that run past the budget (a trigger that never ends) are
    // cut off by the engine.
    m_handle = nullptr;
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3* const*>(handle.constData());
    if (m_handle)
        sqlite3_progress_handler(static_cast<sqlite3*>(m_handle), kProgressSteps, &OnProgress,
                                 this);

    bool made = true;
    QString error;
    StartBudget();
    {
        QSqlQuery create(db);
        made = create.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"PrintLog\" ("
                                          "\"User\" TEXT, \"Time\" TEXT, \"Template\" TEXT, "
                                          "\"Quantity\" INTEGER, \"Copies\" INTEGER, "
                                          "\"Printer\" TEXT)"));
        if (!made)
            error = ErrorText(create.lastError());
    }
    EndBudget();
    if (!made) {
        ReportError(error);
        CloseDatabase();
        return FALSE;
    }
    m_open = true;
    return TRUE;
}

QString CPrintLog::GetDatabasePath()
{
    return CSignApp::GetProgramFolder(true) + QStringLiteral("PrintLog.db");
}

QDateTime CPrintLog::Now()
{
    const auto& clock = Clock();
    return clock ? clock() : QDateTime::currentDateTime();
}

void CPrintLog::SetClockForTests(std::function<QDateTime()> clock)
{
    Clock() = std::move(clock);
}

QString CPrintLog::TimeText(const QDateTime& time)
{
    if (!time.isValid())
        return QString();
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

void CPrintLog::CloseDatabase()
{
    if (m_handle) {
        sqlite3_progress_handler(static_cast<sqlite3*>(m_handle), 0, nullptr, nullptr);
        m_handle = nullptr;
    }
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    m_open = false;
}

void CPrintLog::ReportError(const QString& errorText)
{
    // Once, not for every job, until a write succeeds again.
    if (m_failureReported)
        return;
    m_failureReported = true;
    AppMessageBox(QStringLiteral("\"%1\"").arg(errorText), MB_OK | MB_ICONEXCLAMATION);
}
