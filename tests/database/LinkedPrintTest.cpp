// A sign linked to a database, through the designer's real main frame:
// saved, opened again (the link is made again from the file), and printed
// with Print All from the print station, one label per record. The printed
// PDF is read back: each label's texts and its Code 128 symbol come from its
// own record.
#include "AppContext.h"
#include "Barcode.h"
#include "ConnectionWizard.h"
#include "DataCtrl.h"
#include "DataSourceMap.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "ElementList.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintStation.h"
#include "PrintStationWnd.h"
#include "Printer.h"
#include "SheetPreviewWnd.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"
#include "WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kRecords = 5;

QString Name(int i)
{
    return QStringLiteral("Product %1 \u2014 Example").arg(i, 4, 10, QLatin1Char('0'));
}
QString Code(int i)
{
    return QStringLiteral("TAB%1").arg(i, 7, 10, QLatin1Char('0'));
}

// The records in an SQLite database, stored in reverse: the key puts them
// in order.
void WriteSqlite(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "linked-print-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE Stock (Id INTEGER PRIMARY KEY, Name TEXT, Code TEXT)"));
        for (int i = kRecords; i >= 1; --i) {
            q.prepare("INSERT INTO Stock VALUES (?, ?, ?)");
            q.addBindValue(i);
            q.addBindValue(Name(i));
            q.addBindValue(Code(i));
            ASSERT_TRUE(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("linked-print-fixture");
}

// The records as a comma-separated text file in Windows-1252.
void WriteCsv(const QString& path, int records)
{
    QByteArray bytes = "Name,Code\r\n";
    for (int i = 1; i <= records; ++i)
        bytes += Name(i).replace(QChar(0x2014), QChar(0x97)).toLatin1() + ',' + Code(i).toLatin1() +
                 "\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void WriteCsv(const QString& path)
{
    WriteCsv(path, kRecords);
}

struct Source
{
    const char* what;
    int type;
    const char* file;
    const char* table;
    void (*write)(const QString& path);
};

class LinkedPrintTest : public CDesignerFlow, public ::testing::TestWithParam<Source>
{
};

class DataPathFrameTest : public CDesignerFlow, public ::testing::Test
{
};

// The text of a rectangle of the page (tenths of a millimetre).
QString TextIn(const QString& pdf, const CRect& r)
{
    const auto pt = [](int tmm) { return QString::number(qRound(tmm * 72 / 254.0)); };
    QProcess process;
    process.start("pdftotext", {"-r", "72", "-x", pt(r.left), "-y", pt(r.top), "-W", pt(r.Width()),
                                "-H", pt(r.Height()), "-enc", "UTF-8", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The Code 128 symbol in a rectangle of the rendered page.
QString SymbolIn(const QImage& page, const CRect& r, int dpi)
{
    const auto px = [dpi](int tmm) { return qRound(tmm * dpi / 254.0); };
    const QImage cell = page.copy(px(r.left), px(r.top), px(r.Width()), px(r.Height()))
                            .convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView image(cell.constBits(), cell.width(), cell.height(),
                                 ZXing::ImageFormat::Lum, int(cell.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code128);
    const ZXing::Result result = ZXing::ReadBarcode(image, hints);
    return result.isValid() ? QString::fromStdString(result.text()) : QString();
}

TEST_P(LinkedPrintTest, EachRecordPrintsItsOwnLabel)
{
    const Source& source = GetParam();
    QTemporaryDir signs;
    const QString data = signs.filePath(source.file);
    source.write(data);
    const QString signPath = signs.filePath("linked.sgn");
    const QString pdf = home.FilePath("records.pdf");

    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    App().general.storeRelativePaths = 1;

    // The link, as the connection wizard leaves it.
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(source.type);
    link.m_textHeader = TRUE;
    ASSERT_TRUE(link.Connect(data, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable(source.table)) << messages.LastText().toStdString();

    // A name and a code from the record's fields, and a copy of the name
    // fed by the name element through the data-path map.
    auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
    name->BeginCreate(nullptr, 20, 20);
    name->m_name = "Title";
    name->SetDataSource(SOURCE_DATABASE, "Name");
    auto* copy = static_cast<CText*>(TheElementList().CreateElement("CText"));
    copy->BeginCreate(nullptr, 20, 80);
    copy->m_name = "Again";
    copy->SetDataSource(SOURCE_ELEMENT, "Title");
    auto* code = static_cast<CBarcode*>(TheElementList().CreateElement("CCode128Auto"));
    code->m_name = "Code";
    code->SetDataSource(SOURCE_DATABASE, "Code");
    code->m_origin = CPoint(40, 150);
    code->SetDataText(Code(1), SOURCE_DATABASE, "Code", TRUE);
    code->RecalcPosition(nullptr);
    ASSERT_TRUE(TheDataSourceMap().Rebuild());
    ASSERT_EQ(TheDataSourceMap().GetDependentCount(name), 1);

    // Saved, a new sign, and the saved one opened again: the link is made
    // again from the file alone.
    QString chosen = signPath;
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
    ASSERT_TRUE(QFile::exists(signPath));
    frame->Document().SetModifiedFlag(false);
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_NEW));
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(TheElementList().GetCount(), 0);
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_OPEN));
    ASSERT_EQ(TheElementList().GetCount(), 3);
    ASSERT_TRUE(link.IsConnected()) << messages.LastText().toStdString();
    EXPECT_EQ(link.m_dataSource, data);
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(App().loadOutcome, 0);
    EXPECT_EQ(TheDataSourceMap().GetDependentCount(TheElementList().FindByName("Title")), 1);

    // The print station, to a file, and Print All.
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands->IsStationOpen());
    CPrintBatchDlg* batch = commands->BatchDialog();
    chosen = pdf;
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    frame->UpdateActionsNow();
    QAction* printAll = frame->Action(ID_RECORD_PRINT_ALL);
    ASSERT_TRUE(printAll->isEnabled());
    messages.Clear();
    messages.SetDefaultAnswer(IDYES);
    printAll->trigger();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "Print 5 signs ?");
    EXPECT_EQ(ThePrinter().m_labelPosition, kRecords);
    // Return ejects the sheet, then leaves the station.
    EjectAndReturn(batch);
    EXPECT_FALSE(commands->IsStationOpen());

    ASSERT_EQ(PdfPageCount(pdf), 1);
    const int dpi = 300;
    const QImage page = RenderPdfPage(pdf, 1, dpi);
    ASSERT_FALSE(page.isNull());
    const CPaperStock* stock = ThePaper().Current();
    for (int cell = 0; cell < 8; ++cell) {
        const CPoint o = stock->LabelOrigin(cell, false);
        const CRect label(o.x, o.y, o.x + stock->labelWidth, o.y + stock->labelHeight);
        const QString text = TextIn(pdf, label);
        if (cell < kRecords) {
            EXPECT_EQ(SymbolIn(page, label, dpi), Code(cell + 1)) << "cell " << cell;
            EXPECT_EQ(text.count(Name(cell + 1)), 2)
                << "cell " << cell << ": " << text.toStdString();
        } else {
            EXPECT_EQ(SymbolIn(page, label, dpi), "") << "cell " << cell;
            EXPECT_TRUE(text.trimmed().isEmpty()) << "cell " << cell;
        }
    }
    FrameHooks().chooseFile = nullptr;
    Quit();
}

INSTANTIATE_TEST_SUITE_P(
    Sources, LinkedPrintTest,
    ::testing::Values(Source{"Sqlite", kDatabaseTypeAccess, "stock.db", "Stock", WriteSqlite},
                      Source{"Csv", kDatabaseTypeText, "stock.csv", "stock#csv", WriteCsv}),
    [](const auto& info) { return std::string(info.param.what); });

// A CSV file saved as UTF-8 without a byte-order mark, as spreadsheets save
// it, linked with Database > Connect as a user would (Text File, the file,
// header row, Finish): the wizard proposes UTF-8 and the accented names are
// printed as they stand in the file.
TEST_F(DataPathFrameTest, Utf8TextFileLinkedThroughTheWizardPrintsItsNames)
{
    QTemporaryDir data;
    const QString csv = data.filePath("names.csv");
    constexpr int kCount = 30;
    ASSERT_TRUE(WriteUtf8Records(csv, kCount));
    const QString pdf = home.FilePath("names.pdf");
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    frame->show();
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));

    QString proposed;
    bool driven = false;
    std::function<void()> poll = [&] {
        auto* wizard = qobject_cast<CConnectionWizard*>(QApplication::activeModalWidget());
        if (!wizard) {
            QTimer::singleShot(10, poll);
            return;
        }
        driven = true;
        const auto next = [wizard](QWizard::WizardButton which = QWizard::NextButton) {
            QTest::mouseClick(wizard->button(which), Qt::LeftButton);
        };
        const auto on = [wizard](const char* name) {
            return wizard->currentPage()->findChild<QWidget*>(QString::fromLatin1(name));
        };
        static_cast<QListWidget*>(on("id1089"))->setCurrentRow(kDatabaseTypeText);
        next();
        QTest::keyClicks(on("id1086"), csv);
        next();
        if (wizard->currentId() == CConnectionWizard::kTextPage) {
            proposed = static_cast<QComboBox*>(on("id1097"))->currentText();
            static_cast<QCheckBox*>(on("id1098"))->setChecked(true);
            next();
            next(QWizard::FinishButton);
        }
        if (wizard->isVisible())
            wizard->reject();
    };
    QTimer::singleShot(0, poll);
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_DATABASE_CONNECT));
    ASSERT_TRUE(driven);
    EXPECT_EQ(proposed, "Unicode (UTF-8)");
    CDatabaseLink& link = TheDatabaseLink();
    ASSERT_EQ(link.GetLinkKind(), 0) << messages.LastText().toStdString();

    auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
    name->BeginCreate(nullptr, 20, 20);
    name->m_name = "Title";
    name->SetDataSource(SOURCE_DATABASE, "Name");
    ASSERT_TRUE(TheDataSourceMap().Rebuild());

    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    FrameHooks().chooseFile = [&pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    PrintAllAnsweringYes(frame, messages);
    EXPECT_EQ(messages.LastText(), QStringLiteral("Print %1 signs ?").arg(kCount));
    EjectAndReturn(batch);

    const QString text = PdfText(pdf);
    for (const int i : {1, 7, 18, 23, kCount})
        EXPECT_TRUE(text.contains(AccentedName(i))) << AccentedName(i).toStdString() << " in:\n"
                                                    << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0xC3))) << "a UTF-8 byte read as Windows-1252";
    FrameHooks().chooseFile = nullptr;
    Quit();
}

// Renaming an element in its pane: the element that takes its data from it
// follows the new name, and values still reach it.
TEST_F(DataPathFrameTest, RenameInThePaneReachesWhatTheElementFeeds)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    QApplication::processEvents();
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    ASSERT_NE(view, nullptr);
    view->WholeSign();
    auto* copy = static_cast<CText*>(TheElementList().CreateElement("CText"));
    copy->BeginCreate(nullptr, 400, 400);
    copy->m_name = "Again";
    // The text drawn with its tool is selected and shown in the pane.
    frame->Action(ID_TOOL_TEXT)->trigger();
    const CPoint p = view->LPtoDP(CPoint(50, 50));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    ASSERT_EQ(TheElementList().GetCount(), 2);
    auto* title = static_cast<CText*>(TheElementList().GetAt(1));
    title->SetDataSource(SOURCE_KEYBOARD, QString());
    copy->SetDataSource(SOURCE_ELEMENT, title->m_name);
    ASSERT_TRUE(TheDataSourceMap().Rebuild());
    ASSERT_EQ(TheDataSourceMap().GetDependentCount(title), 1);

    auto* name = frame->PropertyPane()->findChild<QLineEdit*>("id1050");
    ASSERT_NE(name, nullptr);
    ASSERT_EQ(name->text(), title->m_name);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Heading");
    EXPECT_EQ(title->m_name, "Heading");
    EXPECT_EQ(copy->m_sourceName, "Heading");
    EXPECT_EQ(TheDataSourceMap().GetDependentCount(title), 1);
    TheDataSourceMap().SetSourceValue(title, "typed", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(copy->GetText(), "typed");
    Quit();
}

// Print All stops at the first record whose sign cannot be printed: the
// user hears of it once, not once a record, and is told which record it was.
TEST_F(DataPathFrameTest, PrintAllStopsWhenASignCannotPrint)
{
    QTemporaryDir data;
    const QString database = data.filePath("stock.db");
    WriteSqlite(database);
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeAccess);
    ASSERT_TRUE(link.Connect(database, TRUE));
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("Stock"));
    auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
    name->BeginCreate(nullptr, 20, 20);
    name->SetDataSource(SOURCE_DATABASE, "Name");

    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintBatchDlg* batch = CPrintCommands::Of(frame)->BatchDialog();
    ASSERT_NE(batch, nullptr);
    // The file chosen lies in a folder that does not exist.
    const QString nowhere = data.filePath("missing/folder/out.pdf");
    FrameHooks().chooseFile = [&nowhere](QWidget*, const CFileChoice&) { return nowhere; };
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    PrintAllAnsweringYes(frame, messages);
    // "Print 5 signs ?", the one failure, and the record the run stopped at.
    ASSERT_EQ(messages.Count(), 3);
    EXPECT_EQ(messages.Messages().front().text, "Print 5 signs ?");
    EXPECT_TRUE(messages.LastText().startsWith("Print All stopped at record 1 of 5"))
        << messages.LastText().toStdString();
    EXPECT_EQ(link.GetPosition(), 1);
    EXPECT_FALSE(QFile::exists(nowhere));
    FrameHooks().chooseFile = nullptr;
    frame->ExecuteCommand(ID_DATA_CANCEL);
    Quit();
}

// Counts the events of one kind that reach the objects of one class.
class CEventCounter : public QObject
{
public:
    CEventCounter(QEvent::Type type, const char* className) : m_type(type), m_class(className)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~CEventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_type && watched->inherits(m_class))
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    const char* m_class;
    int m_count = 0;
};

// The codes read from a page of the PDF, one per label cell of the 3 x 8
// stock, empty for a cell without one.
QStringList PageCodes(const QString& pdf, int page)
{
    const int dpi = 300;
    const QImage picture = RenderPdfPage(pdf, page, dpi);
    QStringList codes;
    const CPaperStock* stock = ThePaper().Current();
    for (int cell = 0; cell < 24 && !picture.isNull(); ++cell) {
        const CPoint o = stock->LabelOrigin(cell, false);
        codes << SymbolIn(picture,
                          CRect(o.x, o.y, o.x + stock->labelWidth, o.y + stock->labelHeight), dpi);
    }
    return codes;
}

// Print All of fifty records from the print station shows the run, not
// every sign: at most one Printing window for the job (none when the run is
// over before the loop lets the windows run), the sheet preview and the
// rows repainted a few times over the run and the canvas under the station
// not at all, and pictures drawn only for the labels of the sheet the run
// ends on. Every record still gets its label.
TEST_F(DataPathFrameTest, PrintAllShowsTheRunNotEverySign)
{
    constexpr int kLabels = 50;
    QTemporaryDir data;
    const QString csv = data.filePath("stock.csv");
    WriteCsv(csv, kLabels);
    const QString pdf = home.FilePath("run.pdf");
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    ASSERT_TRUE(link.Connect(csv, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("stock#csv")) << messages.LastText().toStdString();
    auto* code = static_cast<CBarcode*>(TheElementList().CreateElement("CCode128Auto"));
    code->SetDataSource(SOURCE_DATABASE, "Code");
    code->m_origin = CPoint(40, 100);
    code->SetDataText(Code(1), SOURCE_DATABASE, "Code", TRUE);
    code->RecalcPosition(nullptr);

    frame->UpdateActionsNow();
    const qint64 readBefore = link.m_recordsRead;
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands->IsStationOpen());
    // The station and its record navigator read the records once.
    EXPECT_EQ(link.m_recordsRead - readBefore, kLabels);
    CSheetPreviewWnd* sheet = commands->Station()->Sheet();
    ASSERT_TRUE(sheet->isVisible());
    auto* rows = qobject_cast<CDataView*>(frame->DataView());
    ASSERT_NE(rows, nullptr);
    CPrintBatchDlg* batch = commands->BatchDialog();
    FrameHooks().chooseFile = [&pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    QApplication::processEvents();

    const int shownBefore = rows->RecordsShown();
    CEventCounter windowShows(QEvent::Show, "CPrintAbortDlg");
    CEventCounter sheetPaints(QEvent::Paint, "CSheetPreviewWnd");
    CEventCounter frameUpdates(QEvent::UpdateRequest, "CMainFrame");
    PrintAllAnsweringYes(frame, messages);
    ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, kLabels);
    EXPECT_LE(windowShows.Count(), 1);
    // Far fewer repaints and fillings of the rows than labels.
    EXPECT_LT(sheetPaints.Count(), kLabels / 2);
    EXPECT_LT(frameUpdates.Count(), kLabels / 2);
    EXPECT_LT(rows->RecordsShown() - shownBefore, kLabels / 2);
    // The run ends on the third sheet with two labels: only they got
    // pictures, and the live sign stands in the next cell.
    EXPECT_EQ(sheet->PicturesDrawn(), 2);
    EXPECT_TRUE(sheet->HasPicture(0));
    EXPECT_TRUE(sheet->HasPicture(1));
    EXPECT_EQ(sheet->LiveCell(), 2);
    // The rows show the last record, and the Printing window is gone.
    ASSERT_EQ(rows->Panel()->RowCount(), 1);
    ASSERT_NE(rows->Panel()->Row(0).edit, nullptr);
    EXPECT_EQ(rows->Panel()->Row(0).edit->text(), Code(kLabels));
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->inherits("CPrintAbortDlg") && window->isVisible());

    EjectAndReturn(batch);
    EXPECT_FALSE(commands->IsStationOpen());
    ASSERT_EQ(PdfPageCount(pdf), 3);
    QStringList first;
    QStringList last;
    for (int cell = 0; cell < 24; ++cell) {
        first << Code(cell + 1);
        last << (48 + cell < kLabels ? Code(48 + cell + 1) : QString());
    }
    EXPECT_EQ(PageCodes(pdf, 1), first);
    EXPECT_EQ(PageCodes(pdf, 3), last);
    FrameHooks().chooseFile = nullptr;
    Quit();
}

// Print All of a sign whose text takes a field puts the wait cursor up once
// for the run: the text laid out again for every record changes nothing on
// screen, where each change of the cursor goes to the window system.
TEST_F(DataPathFrameTest, PrintAllPutsTheWaitCursorUpOnceForTheRun)
{
    constexpr int kLabels = 30;
    QTemporaryDir data;
    const QString csv = data.filePath("stock.csv");
    WriteCsv(csv, kLabels);
    const QString pdf = home.FilePath("names.pdf");
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    ASSERT_TRUE(link.Connect(csv, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("stock#csv")) << messages.LastText().toStdString();
    auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
    name->BeginCreate(nullptr, 40, 30);
    name->SetDataSource(SOURCE_DATABASE, "Name");

    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands->IsStationOpen());
    CPrintBatchDlg* batch = commands->BatchDialog();
    FrameHooks().chooseFile = [&pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    QApplication::processEvents();

    messages.Clear();
    messages.SetDefaultAnswer(IDYES);
    frame->UpdateActionsNow();
    const int shownBefore = CWaitCursor::Shown();
    frame->Action(ID_RECORD_PRINT_ALL)->trigger();
    EXPECT_EQ(CWaitCursor::Shown() - shownBefore, 1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, kLabels);
    EjectAndReturn(batch);
    EXPECT_FALSE(commands->IsStationOpen());
    ASSERT_EQ(PdfPageCount(pdf), 2);
    // The names of the first and the last record are on their pages.
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Product 0001")));
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Product 0030")));
    FrameHooks().chooseFile = nullptr;
    Quit();
}

} // namespace
