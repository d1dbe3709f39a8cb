// The hand-off to the print queue (job and data files in the queue folder),
// what a failed or cancelled print leaves behind, and the label position
// that elements see during a real print run.
#include "PdfSupport.h"
#include "PrintQueue.h"

#include "AppContext.h"
#include "Box.h"
#include "Codec1252.h"
#include "Element.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PrintLog.h"
#include "Printer.h"
#include "PrintingParts.h"
#include "SignApp.h"
#include "SignData.h"
#include "SmallDisk.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// An element whose entered data the test sets.
class CDataElement : public CElement
{
public:
    CDataElement(const QString& name, int source, const QString& data) : m_data(data)
    {
        m_name = name;
        m_dataSource = source;
    }
    QString GetEnteredData() const override { return m_data; }
    void Draw(CDC* dc, const CRect&) override { dc->FillSolidRect(CRect(100, 100, 400, 400), 0); }
    QString m_data;
};

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

int LogRowCount()
{
    if (!QFileInfo::exists(CPrintLog::GetDatabasePath()))
        return 0;
    const QString name = QStringLiteral("PrintQueueTestReader");
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(CPrintLog::GetDatabasePath());
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM \"PrintLog\"")) && q.next())
                rows = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

CPaperStock GridStock(int columns, int rows)
{
    CPaperStock s;
    s.category = QStringLiteral("Test");
    s.name = QStringLiteral("Grid %1 x %2").arg(columns).arg(rows);
    s.pageWidth = s.selectionWidth = 2100;
    s.pageHeight = s.selectionHeight = 2970;
    s.columns = columns;
    s.rows = rows;
    s.leftMargin = 100;
    s.topMargin = 200;
    s.labelWidth = 600;
    s.labelHeight = 1200;
    s.horzPitch = 6500;
    s.vertPitch = 12500;
    return s;
}

class PrintQueueTest : public ::testing::Test
{
protected:
    PrintQueueTest()
    {
        EnsureGuiApp();
        RegisterPrintingSignParts(); // as start-up does: EndJob submits the queue
        m_queueDir = home.FilePath(QStringLiteral("queue"));
        QDir().mkpath(m_queueDir);
        document.m_title = QStringLiteral("Shelf labels");
        document.SetPathName(home.FilePath(QStringLiteral("Shelf.sgn")));
        const CPaperStock stock = GridStock(3, 2);
        EXPECT_TRUE(ThePaper().SetStock(stock));
        EXPECT_TRUE(ThePaper().SelectStock(stock.name));
    }
    ~PrintQueueTest() override
    {
        CPrinter::s_openPrintWindow = nullptr;
        CPrinter::s_choosePrintFile = nullptr;
    }

    // The queue program's folder as it records it in the shared settings.
    void InstallQueue(const QString& folder)
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                  QStringLiteral("Pellox"))
            .setValue(QStringLiteral("Location"), folder);
    }

    static void LogJobs()
    {
        CSignApp::WriteProfileInt(QStringLiteral("Admin/Print Logging"), QStringLiteral("mode"), 1,
                                  true);
        ThePrintLog().LoadSettings();
    }

    QString Job(int number) const
    {
        return QStringLiteral("%1%2").arg(CPrintQueue::HostName()).arg(number, 4, 10, QChar(u'0'));
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignData document;
    QString m_queueDir;
};

TEST_F(PrintQueueTest, FolderComesFromTheQueueProgramsSettings)
{
    EXPECT_FALSE(CPrintQueue().IsAvailable()) << "not installed";
    CPrintQueue none;
    EXPECT_FALSE(none.AddSign(document, 1));
    EXPECT_FALSE(none.IsPending());
    EXPECT_TRUE(FilesIn(m_queueDir).isEmpty());

    InstallQueue(m_queueDir);
    EXPECT_EQ(CPrintQueue().GetFolder(), m_queueDir);
}

TEST_F(PrintQueueTest, NextJobNumberFollowsEveryFileOfThisComputer)
{
    ASSERT_FALSE(CPrintQueue::HostName().isEmpty());
    struct Case
    {
        QStringList present;
        QString folderSuffix;
        int expected;
    };
    const Case cases[] = {
        {{}, QString(), 1},
        {{Job(1) + ".PJD", Job(2) + ".TXT"}, QString(), 3},
        {{Job(2) + ".PJD"}, QStringLiteral("/"), 1},  // a gap is taken
        {{Job(1) + ".PJD"}, QStringLiteral("\\"), 2}, // no second separator
        {{"other0001.PJD", Job(1)}, QString(), 1},    // other computers, no extension
    };
    int round = 0;
    for (const Case& c : cases) {
        const QString folder = home.FilePath(QStringLiteral("numbers%1").arg(round++));
        QDir().mkpath(folder);
        for (const QString& name : c.present) {
            QFile file(QDir(folder).filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        CPrintQueue queue;
        queue.SetFolder(folder + c.folderSuffix);
        ASSERT_TRUE(queue.MakeJobName());
        EXPECT_EQ(queue.GetJobName(), folder + '/' + Job(c.expected)) << round;
    }
}

TEST_F(PrintQueueTest, SubmitWritesDataAndJobFilesInWindowsForm)
{
    InstallQueue(m_queueDir);
    App().currentUserName = [] { return QStringLiteral("Zoë"); };
    TheElementList().AddTail(
        new CDataElement(QStringLiteral("Price"), SOURCE_KEYBOARD, QStringLiteral("1,50 €")));
    TheElementList().AddTail(new CDataElement(QStringLiteral("Logo"), SOURCE_FIXED, "fixed"));
    auto* name =
        new CDataElement(QStringLiteral("Name"), SOURCE_DATABASE, QStringLiteral("12\" \"Pizza\""));
    TheElementList().AddTail(name);

    CPrintQueue& queue = ThePrintQueue();
    ASSERT_TRUE(queue.AddSign(document, 3));
    name->m_data = QStringLiteral("Plain");
    ASSERT_TRUE(queue.AddSign(document, 2));
    ASSERT_TRUE(queue.Submit());
    EXPECT_FALSE(queue.IsPending());

    EXPECT_EQ(FilesIn(m_queueDir), QStringList({Job(1) + ".PJD", Job(1) + ".TXT"}));
    const QByteArray data = ReadBytes(QDir(m_queueDir).filePath(Job(1) + ".TXT"));
    EXPECT_EQ(data, ToWindows1252(QStringLiteral("Copies,Price,Name\r\n"
                                                 "3,\"1,50 €\",\"12\"\" \"\"Pizza\"\"\"\r\n"
                                                 "2,\"1,50 €\",\"Plain\"")));
    EXPECT_TRUE(data.contains('\x80')) << "the euro sign in Windows-1252";

    const QByteArray job = ReadBytes(QDir(m_queueDir).filePath(Job(1) + ".PJD"));
    const QStringList lines = FromWindows1252(job).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7) << job.toStdString();
    EXPECT_EQ(lines[0], document.GetPathName());
    EXPECT_EQ(lines[1], QStringLiteral("Zoë"));
    EXPECT_EQ(lines[2], CPrintQueue::HostName());
    EXPECT_EQ(lines[3], QStringLiteral("Tabrel PDF"));
    EXPECT_EQ(lines[4], ThePrinter().GetPaperSourceName());
    EXPECT_EQ(lines[5], ThePaper().GetPaperName());
    EXPECT_EQ(lines[6], QStringLiteral("5"));

    // A sign without data-linked elements: the copies alone.
    TheElementList().DeleteAll();
    ASSERT_TRUE(queue.AddSign(document, 4));
    ASSERT_TRUE(queue.Submit());
    EXPECT_EQ(ReadBytes(QDir(m_queueDir).filePath(Job(2) + ".TXT")), QByteArray("Copies\r\n4"));
}

TEST_F(PrintQueueTest, AJobThatCannotBeWrittenLeavesNoFileAndStaysPending)
{
    CSmallDisk disk(64);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    InstallQueue(disk.Path());
    LogJobs();
    TheElementList().AddTail(
        new CDataElement(QStringLiteral("Text"), SOURCE_KEYBOARD, QString(1000, u'x')));
    CPrintQueue& queue = ThePrintQueue();
    // About 100 KB of data lines on a 64 KB disk: the data file cannot be
    // written in full.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(queue.AddSign(document, 1));
    EXPECT_FALSE(queue.Submit());
    EXPECT_TRUE(FilesIn(disk.Path()).isEmpty()) << FilesIn(disk.Path()).join(' ').toStdString();
    EXPECT_TRUE(queue.IsPending());
    EXPECT_EQ(queue.GetLines().size(), 100);
    EXPECT_EQ(LogRowCount(), 0);

    // Room for the data file, none for the job file after it.
    queue.Discard();
    TheElementList().DeleteAll();
    TheElementList().AddTail(
        new CDataElement(QStringLiteral("Text"), SOURCE_KEYBOARD, QString(500, u'y')));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(queue.AddSign(document, 1));
    {
        // Leave about 20 KB: the data file (about 20 KB) may fit, the job
        // file after it hardly; whatever fails, both go or neither.
        QFile filler(disk.FilePath(QStringLiteral("filler.bin")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        for (int i = 0; i < 44; ++i)
            filler.write(block);
    }
    const bool submitted = queue.Submit();
    QStringList left = FilesIn(disk.Path());
    left.removeAll(QStringLiteral("filler.bin"));
    if (submitted)
        EXPECT_EQ(left, QStringList({Job(1) + ".PJD", Job(1) + ".TXT"}));
    else
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(PrintQueueTest, FailedOrCancelledPrintIsNeitherLoggedNorFollowedByTheQueue)
{
    InstallQueue(m_queueDir);
    LogJobs();
    TheElementList().AddTail(new CDataElement(QStringLiteral("Price"), SOURCE_KEYBOARD, "1"));
    CPrinter& printer = ThePrinter();

    // A queue job is pending when a print run fails to start (the user
    // cancels the print file): ending that run hands nothing to the queue.
    ASSERT_TRUE(ThePrintQueue().AddSign(document, 1));
    CPrinter::s_choosePrintFile = [](const QString&) { return QString(); };
    EXPECT_FALSE(printer.PrintSign(document, 1, QString(), 0));
    EXPECT_TRUE(printer.EndJob());
    EXPECT_TRUE(FilesIn(m_queueDir).isEmpty());
    EXPECT_TRUE(ThePrintQueue().IsPending());

    // A run cancelled from its Printing window, which is up by its
    // thousandth cell, writes no row.
    struct CCancellingWindow : CPrintWindowSeam
    {
        int shows = 0;
        void Show() override
        {
            if (++shows == 1)
                Cancel();
        }
        void Hide() override {}
    };
    CPrinter::s_openPrintWindow = [](const QString&, const QString&, const QString&) {
        return std::make_unique<CCancellingWindow>();
    };
    const QString pdf = home.FilePath(QStringLiteral("cancelled.pdf"));
    EXPECT_FALSE(printer.PrintSign(document, 1100, pdf, 0));
    printer.EndJob();
    EXPECT_EQ(LogRowCount(), 0);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(FilesIn(m_queueDir).isEmpty());

    // The next run that succeeds is logged, and its end submits the queue.
    CPrinter::s_openPrintWindow = nullptr;
    ASSERT_TRUE(printer.PrintSign(document, 2, home.FilePath(QStringLiteral("ok.pdf")), 0));
    EXPECT_TRUE(printer.EndJob());
    EXPECT_EQ(LogRowCount(), 1);
    EXPECT_TRUE(printer.EndJob()) << "nothing open: the pending queue job goes";
    EXPECT_EQ(FilesIn(m_queueDir), QStringList({Job(1) + ".PJD", Job(1) + ".TXT"}));
    EXPECT_EQ(LogRowCount(), 2);
}

// pdftoppm's picture of a page at 50 dpi.
QImage RenderPage(const QString& pdf, int page)
{
    return RenderPdfPage(pdf, page, 50);
}

TEST_F(PrintQueueTest, StartOnlyDataKeepsTheFirstLabelsValueThroughARealRun)
{
    // A filled box whose colours come from typed data only at the start of a
    // run: later labels of the same job keep the first label's colours.
    auto* box = new CBox;
    box->SetBounds(nullptr, CRect(50, 50, 550, 1150));
    box->m_fillInterior = TRUE;
    box->m_startDataOnly = 1;
    box->SetDataSource(SOURCE_KEYBOARD, QString());
    TheElementList().AddTail(box);

    CPrinter& printer = ThePrinter();
    const QString pdf = home.FilePath(QStringLiteral("run.pdf"));
    const QString colours[] = {QStringLiteral("FF 00 00 FF 00 00"),
                               QStringLiteral("00 00 FF 00 00 FF"),
                               QStringLiteral("00 FF 00 00 FF 00")};
    for (const QString& data : colours) {
        box->SetDataText(data, SOURCE_KEYBOARD, QString(), FALSE);
        ASSERT_TRUE(printer.PrintSign(document, 1, pdf, 0));
        EXPECT_EQ(App().Get<CElementPrintState>().LabelPosition(), printer.m_labelPosition);
    }
    ASSERT_TRUE(printer.EndJob());

    const QImage page = RenderPage(pdf, 1);
    ASSERT_FALSE(page.isNull());
    const CPaperStock* stock = ThePaper().Current();
    for (int cell = 0; cell < 3; ++cell) {
        const CPoint origin = stock->CellOrigin(cell);
        const QPoint centre(qRound((origin.x + 300) * 50 / 254.0),
                            qRound((origin.y + 600) * 50 / 254.0));
        const QColor ink(page.pixel(centre));
        EXPECT_GT(ink.red(), 200) << "cell " << cell;
        EXPECT_LT(ink.green(), 60) << "cell " << cell;
        EXPECT_LT(ink.blue(), 60) << "cell " << cell;
    }
}

} // namespace
