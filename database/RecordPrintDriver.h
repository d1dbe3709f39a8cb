// Printing a linked sign record by record: before each sign the current
// record of the database link reaches the elements and variables that take
// its fields, and on through the data-path map to everything they feed. The
// sign itself is printed by the print station's own driver, which this one
// wraps.
#pragma once

#include "Seams.h"

#include <functional>

class CRecordPrintDriver : public CPrintRunSeam
{
public:
    explicit CRecordPrintDriver(CPrintRunSeam& signs);

    // Whether the sign is linked to an external database.
    static bool IsLinked();

    // Starts data entry: the data-path map is made again from the sign's
    // lists; a linked sign's whole table or view is opened at its first
    // record, and that record is loaded.
    void Begin();
    // Gives the current record's fields to the elements and variables fed by
    // them, and passes the values on downstream.
    static void LoadRecord();
    // Called after every record loaded here (the data-entry pane shows it).
    void SetRecordLoaded(std::function<void()> loaded) { m_recordLoaded = std::move(loaded); }
    // The record (from 1) at which the last Print All stopped early; 0 when
    // it ran to the end.
    int StoppedAtRecord() const { return m_stoppedAt; }

    // Print All: one sign per record, first to last. press prints the
    // entered data as the print bar's Print button does; before each press
    // setCopies (when given) receives the record's copies when the link
    // takes them from the data. More than one record asks first. A record
    // whose sign is refused or fails to print ends the run, and the user is
    // told which record it was (not after a cancel of their own). FALSE when
    // nothing was printed (no record, the user said No) or the run stopped
    // early.
    BOOL PrintAllRecords(const std::function<void()>& press,
                         const std::function<void(const QString& copies)>& setCopies = {});

    // CPrintRunSeam
    BOOL PrintEnteredData(int batch, int copies, int destination, const QString& file,
                          int sheetUsage) override;
    void EndPrintRun() override;
    void AdjustPrintDepth(bool ending) override { m_signs.AdjustPrintDepth(ending); }
    void LeaveDataEntryIfIdle() override { m_signs.LeaveDataEntryIfIdle(); }
    QString CopiesFromData() override;
    bool IsQueueJobPending() const override { return m_signs.IsQueueJobPending(); }
    bool IsQueueAvailable() const override { return m_signs.IsQueueAvailable(); }
    bool IsSignSaved() const override { return m_signs.IsSignSaved(); }

private:
    CPrintRunSeam& m_signs;
    // The last sign printed through PrintEnteredData failed or was stopped.
    bool m_stopped = false;
    int m_stoppedAt = 0;
    std::function<void()> m_recordLoaded;
};
