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
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
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
    if (!Open())
        return;

    CWaitCursor wait;
    const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);

    QSqlQuery insert(db);
    bool ok = insert.prepare(QStringLiteral("INSERT INTO \"PrintLog\" (\"User\", \"Time\", "
                                            "\"Template\", \"Quantity\", \"Copies\", \"Printer\") "
                                            "VALUES (?, ?, ?, ?, ?, ?)"));
    if (ok) {
        insert.addBindValue(Text(m_user));
        const QString time = TimeText(m_time);
        insert.addBindValue(time.isEmpty() ? QVariant() : QVariant(time));
        insert.addBindValue(Text(m_template));
        insert.addBindValue(m_quantity);
        insert.addBindValue(m_copies);
        insert.addBindValue(Text(m_printer));
        ok = insert.exec();
    }
    if (!ok) {
        ReportError(ErrorText(insert.lastError()));
        return;
    }

    if (m_mode != LogAndPurge)
        return;
    // Times are local and of one fixed width, so text order is time order.
    QSqlQuery purge(db);
    ok = purge.prepare(QStringLiteral("DELETE FROM \"PrintLog\" WHERE \"Time\" < ?"));
    if (ok) {
        purge.addBindValue(TimeText(Now().addDays(-m_duration)));
        ok = purge.exec();
    }
    if (!ok)
        ReportError(ErrorText(purge.lastError()));
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
        if (!m_driverMissingReported) {
            m_driverMissingReported = true;
            ReportError(
                QStringLiteral("The SQLite database driver (%1) is not installed.").arg(kDriver));
        }
        return FALSE;
    }

    CWaitCursor wait;
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(kDriver, m_connectionName);
    db.setDatabaseName(path);
    // Several running programs share the file; wait for one another's writes.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        ReportError(ErrorText(db.lastError()));
        db.close();
        return FALSE;
    }

    bool made = true;
    QString error;
    {
        QSqlQuery create(db);
        made = create.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"PrintLog\" ("
                                          "\"User\" TEXT, \"Time\" TEXT, \"Template\" TEXT, "
                                          "\"Quantity\" INTEGER, \"Copies\" INTEGER, "
                                          "\"Printer\" TEXT)"));
        if (!made)
            error = ErrorText(create.lastError());
    }
    if (!made) {
        ReportError(error);
        db.close();
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
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    m_open = false;
}

void CPrintLog::ReportError(const QString& errorText)
{
    AppMessageBox(QStringLiteral("\"%1\"").arg(errorText), MB_OK | MB_ICONEXCLAMATION);
}
