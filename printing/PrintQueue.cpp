#include "PrintQueue.h"

#include "AppContext.h"
#include "Codec1252.h"
#include "Element.h"
#include "ElementList.h"
#include "Paper.h"
#include "PrintLog.h"
#include "Printer.h"
#include "SignData.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QSysInfo>

namespace {

constexpr int kLastJobNumber = 9999;
const QString kLineBreak = QStringLiteral("\r\n");

// The value in double quotes, each quote inside doubled.
QString Quoted(QString value)
{
    value.replace(u'"', QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

// Writes the whole text into the file's temporary twin; the file takes its
// name only at Commit.
bool WriteInFull(QSaveFile& file, const QString& text)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = ToWindows1252(text);
    return file.write(bytes) == bytes.size();
}

} // namespace

CPrintQueue& ThePrintQueue()
{
    return App().Get<CPrintQueue>();
}

CPrintQueue::CPrintQueue()
{
    SetFolder(ReadFolderSetting());
}

void CPrintQueue::SetFolder(const QString& folder)
{
    m_folder = QDir::fromNativeSeparators(folder);
    m_folder.replace(u'\\', u'/');
}

QString CPrintQueue::ReadFolderSetting()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                             QStringLiteral("Pellox"));
    const QVariant value = settings.value(QStringLiteral("Location"));
    // A value the INI reader took for a list had commas in it.
    const QString folder = value.typeId() == QMetaType::QStringList
                               ? value.toStringList().join(QStringLiteral(", "))
                               : value.toString();
    return folder.trimmed();
}

QString CPrintQueue::HostName()
{
    return QSysInfo::machineHostName();
}

BOOL CPrintQueue::BeginJob(const CSignData& document, int copies)
{
    if (m_folder.isEmpty() || m_pending)
        return FALSE;
    m_pending = TRUE;
    m_totalCopies = 0;
    m_lines.clear();
    m_templatePath = document.GetPathName();
    ThePrintLog().BeginRecord(m_templatePath, copies, CPrintLog::ToQueue);
    return TRUE;
}

BOOL CPrintQueue::AddSign(const CSignData& document, int copies)
{
    if (!m_pending && !BeginJob(document, copies))
        return FALSE;
    m_lines.append(DataLine(copies));
    m_totalCopies += copies;
    ThePrintLog().CountSign();
    return TRUE;
}

void CPrintQueue::Discard()
{
    m_pending = FALSE;
    m_totalCopies = 0;
    m_lines.clear();
}

QString CPrintQueue::DataHeader()
{
    QString header = QStringLiteral("Copies");
    for (const CElement* element : TheElementList()) {
        if (element->m_dataSource != SOURCE_FIXED)
            header += u',' + element->m_name;
    }
    return header;
}

QString CPrintQueue::DataLine(int copies)
{
    QString line = QString::number(copies);
    for (const CElement* element : TheElementList()) {
        if (element->m_dataSource != SOURCE_FIXED)
            line += u',' + Quoted(element->GetEnteredData());
    }
    return line;
}

BOOL CPrintQueue::MakeJobName()
{
    const QString host = HostName();
    if (host.isEmpty())
        return FALSE;
    QString base = m_folder;
    if (!base.endsWith(u'/'))
        base += u'/';
    base += host;

    // Every name in use, read once: "<host>0001.PJD", "<host>0001.TXT" ...
    const QDir folder(m_folder);
    const QStringList used = folder.entryList({host + QStringLiteral("????.*")},
                                              QDir::Files | QDir::Dirs | QDir::Hidden |
                                                  QDir::System | QDir::NoDotAndDotDot);
    QSet<int> taken;
    for (const QString& name : used) {
        bool ok = false;
        const int number = name.mid(host.size(), 4).toInt(&ok);
        if (ok)
            taken.insert(number);
    }
    for (int n = 1; n <= kLastJobNumber; ++n) {
        if (!taken.contains(n)) {
            m_jobName = base + QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
            return TRUE;
        }
    }
    return FALSE;
}

QString CPrintQueue::JobFileText()
{
    const auto& userName = App().currentUserName;
    CPrinter& printer = ThePrinter();
    const QStringList lines = {
        m_templatePath,
        userName ? userName() : QString(),
        HostName(),
        printer.GetDeviceName(),
        printer.GetPaperSourceName(),
        ThePaper().GetPaperName(),
        QString::number(m_totalCopies),
    };
    return lines.join(kLineBreak);
}

QString CPrintQueue::DataFileText() const
{
    return (QStringList{DataHeader()} + m_lines).join(kLineBreak);
}

BOOL CPrintQueue::Submit()
{
    if (!m_pending)
        return ThePrinter().EndJob();
    if (!MakeJobName())
        return FALSE;

    const QString jobPath = m_jobName + QStringLiteral(".PJD");
    const QString dataPath = m_jobName + QStringLiteral(".TXT");
    const bool withData = !m_lines.isEmpty();

    // Both files are written in full under temporary names before either is
    // given its own; the data file is named first, the job file last.
    QSaveFile data(dataPath);
    QSaveFile job(jobPath);
    bool ok = !withData || WriteInFull(data, DataFileText());
    ok = ok && WriteInFull(job, JobFileText());
    ok = ok && (!withData || data.commit());
    if (ok && !job.commit()) {
        QFile::remove(dataPath);
        ok = false;
    }
    if (!ok) {
        data.cancelWriting();
        job.cancelWriting();
        return FALSE;
    }

    m_lines.clear();
    ThePrintLog().WriteRecord(FALSE);
    m_pending = FALSE;
    return TRUE;
}
