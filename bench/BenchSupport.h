// What the record benchmarks share: the process's memory, a text file of
// records for the label run of LabelRun.h, the sign driver the print station
// uses without its frame, and the barcodes read back from a printed page.
#pragma once

#include "LabelRun.h"
#include "Printer.h"
#include "Seams.h"
#include "VariableList.h"

#include <QFile>
#include <QList>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

namespace bench {

// Resident memory now, in megabytes.
inline double ResidentMb()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

// The process's peak resident memory so far, in megabytes.
inline double PeakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Records 1..count of the label run as a text file in Windows-1252 with a
// header line "Name,Code"; the path, or empty when it could not be written.
inline QString WriteRecords(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray bytes = "Name,Code\r\n";
    for (int i = 1; i <= count; ++i) {
        QString name = LabelName(i);
        name.replace(QChar(0x2014), QChar(0x97));
        bytes += name.toLatin1() + ',' + LabelCode(i).toLatin1() + "\r\n";
    }
    file.write(bytes);
    return path;
}

// Prints the sign as it stands, as the print station's own driver does
// when no data-entry pane runs the loop.
class CSignDriver : public CPrintRunSeam
{
public:
    explicit CSignDriver(const CSignData& sign) : m_sign(sign) {}
    BOOL PrintEnteredData(int, int copies, int, const QString& file, int) override
    {
        if (!TheVariableList().UpdateForPrint())
            return FALSE;
        const BOOL printed = ThePrinter().PrintSign(m_sign, copies, file, 0);
        TheVariableList().AdvanceAfterPrint();
        return printed;
    }
    void EndPrintRun() override
    {
        if (ThePrinter().m_jobOpen)
            ThePrinter().EndJob();
    }
    void AdjustPrintDepth(bool) override {}
    void LeaveDataEntryIfIdle() override {}

private:
    const CSignData& m_sign;
};

} // namespace bench
