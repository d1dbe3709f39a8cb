// The print log: one row per print job (who printed which template, how many
// signs and copies, on which printer) in the SQLite database "PrintLog.db"
// in the program folder. An administrator switches logging on and sets how
// long rows are kept in the shared profile, section "Admin/Print Logging":
// "mode" 0 off, 1 log, 2 log and delete rows older than "duration" days.
// The program only reads these settings, once, at start-up.
#pragma once

#include "Types.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>

class CPrintLog
{
public:
    enum Mode : int
    {
        LogOff = 0,
        LogJobs = 1,
        LogAndPurge = 2,
    };

    // Where a job goes; the "Printer" column names the device, or the other two.
    enum Destination : int
    {
        ToPrinter = 0,
        ToFile = 1,
        ToQueue = 2,
    };

    CPrintLog();
    ~CPrintLog();
    CPrintLog(const CPrintLog&) = delete;
    CPrintLog& operator=(const CPrintLog&) = delete;

    // Reads "mode" (clamped to 0..2) and "duration" (clamped to 1..999); a
    // missing value leaves the current one.
    void LoadSettings();

    // Starts the record of a job: the logged-on user, the time now, the
    // template, no signs yet, the copies asked for and the printer.
    void BeginRecord(const QString& templatePath, int copies, int destination);
    // One more sign printed or queued in the job.
    void CountSign();
    // Appends the job's row and, in mode 2, deletes the rows that have
    // outlived the duration. Nothing for a failed or cancelled job. Never
    // holds printing up for long: a database locked by another program, or
    // one whose statements do not end, is given up after a short time. A
    // row that cannot be written is kept and written with the next job's;
    // the failure is shown once, until a write succeeds again.
    void WriteRecord(BOOL failed);

    // Opens the database, making the file and its table when missing; TRUE at
    // once while it is open. FALSE when it cannot be opened, after a message
    // unless a failure has already been shown.
    BOOL Open();

    // The longest a database write may take, and how long it waits for a
    // lock that another program holds.
    static constexpr int kWriteBudgetMs = 300;
    static constexpr int kBusyTimeoutMs = 200;
    // The most rows kept while they cannot be written; the oldest go first.
    static constexpr int kMaxPendingRows = 1000;
    int PendingRows() const { return static_cast<int>(m_pending.size()); }

    int GetMode() const { return m_mode; }
    int GetDuration() const { return m_duration; }

    // The database file in the program folder.
    static QString GetDatabasePath();

    // The current local time, from the clock set for tests when there is one.
    static QDateTime Now();
    // Replaces the clock; an empty function restores the system clock.
    static void SetClockForTests(std::function<QDateTime()> clock);

    // Text form of the "Time" column: local time, which sorts as text.
    static QString TimeText(const QDateTime& time);

private:
    struct Record
    {
        QString user;
        QDateTime time;
        QString templ;
        int quantity = 0;
        int copies = 0;
        QString printer;
    };

    void CloseDatabase();
    void ReportError(const QString& errorText);
    // Writes the pending rows and purges; the engine's error text on failure.
    bool WritePending(QString& error);
    // Limits the statements run from now on to the write budget.
    void StartBudget();
    void EndBudget();
    static int OnProgress(void* log);

    int m_mode = LogOff;
    int m_duration = 7;

    // The job being recorded.
    QString m_user;
    QDateTime m_time;
    QString m_template;
    int m_quantity = 0;
    int m_copies = 0;
    QString m_printer;

    // Rows not yet written, oldest first.
    std::deque<Record> m_pending;

    const QString m_connectionName;
    bool m_open = false;
    bool m_failureReported = false; // shown once until a write succeeds
    void* m_handle = nullptr;       // the engine's connection, for the budget
    qint64 m_deadline = 0;          // 0: no budget in force
};

// The program's print log.
CPrintLog& ThePrintLog();
