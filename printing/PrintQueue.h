// The hand-off to the print-queue program: instead of printing, signs with
// their data are collected into one queue job, which is then dropped into
// the queue program's folder as a job file ("<job>.PJD": template, user,
// computer, printer, paper source, paper and total copies) and a data file
// ("<job>.TXT": a header and one line per queued sign with its copies and
// the data of its data-linked elements).
//
// The queue program picks up a job by its job file, so the data file is put
// in place first and the job file last, each written in full before it is
// given its name; a job that cannot be written leaves no file behind.
#pragma once

#include "Types.h"

#include <QString>
#include <QStringList>

class CSignData;

class CPrintQueue
{
public:
    // Reads the queue folder from the shared settings.
    CPrintQueue();

    // The queue folder; empty when the queue program is not installed.
    const QString& GetFolder() const { return m_folder; }
    bool IsAvailable() const { return !m_folder.isEmpty(); }
    // A backslash in the folder is taken as a separator.
    void SetFolder(const QString& folder);
    // The folder as the queue program records it: organisation "Corvane",
    // application "Pellox", key "Location".
    static QString ReadFolderSetting();

    // Starts collecting a job; FALSE when there is no queue folder or a job
    // is already being collected.
    BOOL BeginJob(const CSignData& document, int copies);
    // Adds the sign's data line (starting a job when none is pending);
    // FALSE when no job could be started.
    BOOL AddSign(const CSignData& document, int copies);
    // Writes the pending job's files. FALSE when they could not be written:
    // nothing is left in the folder and the job stays pending with its
    // lines. With no job pending, ends the printer's job instead.
    BOOL Submit();
    // Forgets the pending job without writing it.
    void Discard();

    BOOL IsPending() const { return m_pending; }
    int GetTotalCopies() const { return m_totalCopies; }
    const QStringList& GetLines() const { return m_lines; }
    // The full path of the last job without extension: the folder, the
    // computer name and a four-digit number.
    const QString& GetJobName() const { return m_jobName; }

    // Chooses the next free job name; FALSE when the computer name cannot be
    // read or every number up to 9999 is in use.
    BOOL MakeJobName();
    // The texts of the two files, lines separated by CR LF.
    QString JobFileText();
    QString DataFileText() const;
    // The header of the data file for the sign's elements.
    static QString DataHeader();

    // The computer name written into job files and job names.
    static QString HostName();

private:
    static QString DataLine(int copies);

    QString m_folder;
    BOOL m_pending = FALSE;
    int m_totalCopies = 0;
    QString m_jobName;
    QString m_templatePath;
    QStringList m_lines;
};

// The application's print queue.
CPrintQueue& ThePrintQueue();
