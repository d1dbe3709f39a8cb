// The print front end as a shop assistant uses it, through its real main
// window: browsing the sign folders, previewing a sign, a damaged file that
// only clears the preview, printing a plain sign through the Print dialog
// and a shelf-label sign linked to a CSV file through the print station,
// each printed to a PDF that is read back.
#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyle.h"
#include "BrowseInfoPane.h"
#include "BrowseView.h"
#include "ControlById.h"
#include "DataCtrl.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "EventCount.h"
#include "ElementList.h"
#include "FindFilesDlg.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "NullView.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PictureButton.h"
#include "Preferences.h"
#include "PrintBatchDlg.h"
#include "PrintFrame.h"
#include "PrintLog.h"
#include "PrintQueue.h"
#include "PrintSetupDlg.h"
#include "PrintSignDlg.h"
#include "PrintStation.h"
#include "PrintStationWnd.h"
#include "Printer.h"
#include "ProfileSession.h"
#include "RecordNavigator.h"
#include "SheetReuseWarningDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "SignPreviewWnd.h"
#include "SplashWnd.h"
#include "TestSupport.h"
#include "Text.h"
#include "ZipPackage.h"
#include "ui/PreferencesSheet.h"
#include "ui/WelcomeDlg.h"
#include "ui/ZipImportDlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Waits until the condition holds, then lets the windows take in what
// changed (layouts, repaints) before the test looks at them.
bool Settle(const std::function<bool()>& condition)
{
    const bool held = QTest::qWaitFor(condition, 10000);
    QApplication::processEvents();
    return held;
}

constexpr int kRecords = 5;

QString Product(int i)
{
    return QStringLiteral("Apples%1").arg(i);
}

class PrintFrontEndTest : public ::testing::Test
{
protected:
    PrintFrontEndTest()
    {
        EnsureWidgetApp();
        WriteLabelStockLibrary(home);
        QDir(home.Path()).mkpath(QStringLiteral("shop.signs"));
        folder = home.FilePath(QStringLiteral("shop.signs"));
    }
    ~PrintFrontEndTest() override
    {
        FrameHooks().chooseFile = nullptr;
        Quit();
    }

    // Starts the front end in a context of its own, as the program starts
    // with `arguments` on its command line, its window at the size the tests
    // lay out for; a run before it is ended first.
    CPrintFrame* Start(const QStringList& arguments = {})
    {
        Quit();
        m_app.reset();
        m_context.emplace();
        CSignApp& app = m_app.emplace(CSignApp::Program::PrintFrontEnd);
        app.frameTemplate = CPrintFrame::Template();
        m_started = app.InitInstance(QStringList{QStringLiteral("tabrel-print")} + arguments);
        auto* frame = m_started ? qobject_cast<CPrintFrame*>(app.GetMainWindow()) : nullptr;
        if (frame)
            frame->resize(1200, 860);
        return frame;
    }

    // Ends the run of the front end as leaving the program does; its context
    // lasts until the next start or the end of the test.
    void Quit()
    {
        if (m_app && m_started)
            m_app->ExitInstance();
        m_started = false;
    }

    CSignApp& Program() { return *m_app; }

    // A sign of fixed texts, one per line, on the named stock.
    void SaveSign(CPrintFrame* frame, const QString& name, const QStringList& lines,
                  const QString& stock = QStringLiteral("A4"))
    {
        CSignData& document = frame->Document();
        document.DeleteContents();
        ThePaper().SelectStock(stock);
        int y = 30;
        for (const QString& line : lines) {
            auto* text =
                static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
            text->BeginCreate(nullptr, 40, y);
            text->SetTextFromLines(line);
            y += 100;
        }
        document.m_title = name;
        document.m_author = QStringLiteral("Shop");
        ASSERT_TRUE(document.OnSaveDocument(QDir(folder).filePath(name)));
        document.DeleteContents();
        document.SetPathName(QString());
    }

    // Shelf labels whose product name is typed at print time.
    void SaveTypedSign(CPrintFrame* frame, const QString& name)
    {
        CSignData& document = frame->Document();
        document.DeleteContents();
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        auto* text = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
        text->BeginCreate(nullptr, 30, 30);
        text->m_name = QStringLiteral("Product");
        text->SetDataSource(SOURCE_KEYBOARD, QString());
        ASSERT_TRUE(document.OnSaveDocument(QDir(folder).filePath(name)));
        document.DeleteContents();
        document.SetPathName(QString());
    }

    // Shelf labels whose product name and code come from a CSV file beside
    // the sign.
    void SaveLinkedSign(CPrintFrame* frame)
    {
        QByteArray csv = "Name,Code\r\n";
        for (int i = 1; i <= kRecords; ++i)
            csv += Product(i).toLatin1() + ",C" + QByteArray::number(i) + "\r\n";
        QFile data(QDir(folder).filePath(QStringLiteral("stock.csv")));
        ASSERT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(csv);
        data.close();

        CSignData& document = frame->Document();
        document.DeleteContents();
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        App().general.storeRelativePaths = 1;
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeText);
        link.m_textHeader = TRUE;
        ASSERT_TRUE(link.Connect(data.fileName(), TRUE)) << messages.LastText().toStdString();
        link.m_linkKind = 0;
        ASSERT_TRUE(link.OpenTable(QStringLiteral("stock#csv")));
        auto* name = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
        name->BeginCreate(nullptr, 20, 20);
        name->m_name = QStringLiteral("Product");
        name->SetDataSource(SOURCE_DATABASE, QStringLiteral("Name"));
        document.m_title = QStringLiteral("Shelf labels");
        ASSERT_TRUE(document.OnSaveDocument(QDir(folder).filePath(QStringLiteral("shelf.sgn"))));
        document.DeleteContents();
        document.SetPathName(QString());
    }

    // Clicks the list's row of that name as the user does.
    static void ClickListItem(CBrowseView* view, const QString& name)
    {
        QListView* list = view->IconList();
        const QAbstractItemModel* model = list->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            if (index.data().toString() == name) {
                list->scrollTo(index);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  list->visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }

    static QStringList ListNames(CBrowseView* view)
    {
        QStringList names;
        for (const BrowseItem& item : view->Items())
            names << item.name;
        return names;
    }

    // The info pane's Print (Data Entry for a sign that takes data) clicked
    // as the user does, and the print station it opens.
    static void OpenStation(CBrowseView* view)
    {
        QTest::mouseClick(view->InfoPane()->PrintButton(), Qt::LeftButton);
        ASSERT_TRUE(Settle([&] { return view->IsStationOpen(); }));
    }

    // The print bar's Return twice: the sheet is ejected, then the station
    // gives the browser back.
    static void LeaveStation(CPrintBatchDlg* batch, CBrowseView* view)
    {
        EjectAndReturn(batch);
        EXPECT_TRUE(Settle([&] { return !view->IsStationOpen(); }));
    }

    // Prints the batch to a file as the user does: File chosen with the
    // keyboard in the Destination list, then Print.
    static void PrintToFile(CPrintBatchDlg* batch)
    {
        ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
        // The print bar's Print: a flat picture button.
        auto* print = BatchControl<CPictureButton>(batch, CPrintBatchDlg::IDC_PRINT);
        ASSERT_NE(print, nullptr);
        EXPECT_TRUE(print->IsFlat());
        EXPECT_TRUE(print->HasIcon());
        QTest::mouseClick(print, Qt::LeftButton);
    }

    // The Print dialog's answer that prints to a file.
    static void PrintToFileFromTheDialog(CPrintSignDlg* dialog)
    {
        dialog->findChild<QComboBox*>(QStringLiteral("id%1").arg(CPrintSignDlg::IDC_DESTINATION))
            ->setCurrentIndex(CPrintSignDlg::DEST_FILE);
        dialog->accept();
    }

    static QString Field(CPrintFrame* frame, int id)
    {
        auto* label = frame->findChild<QLabel*>(QStringLiteral("id%1").arg(id));
        return label ? label->text() : QStringLiteral("<none>");
    }

    // The pixels in which two pictures differ.
    static int Difference(const QImage& a, const QImage& b)
    {
        if (a.size() != b.size())
            return a.width() * a.height();
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        return count;
    }

    CTestHome home;
    CMessageResponder messages;
    QString folder;

private:
    std::optional<CAppContext> m_context;
    std::optional<CSignApp> m_app;
    bool m_started = false;
};

} // namespace

// Browse to a linked shelf-label sign, preview it, open the print station,
// pick the records and print them to a PDF that is read back.
TEST_F(PrintFrontEndTest, BrowsesToALinkedSignAndPrintsItsRecords)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Tabrel Print");
    SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    SaveSign(frame, QStringLiteral("empty.sgn"), {});
    SaveLinkedSign(frame);
    QFile broken(QDir(folder).filePath(QStringLiteral("broken.sgn")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(3000, '\x7f'));
    broken.close();

    // The folder (its name has a dot) is walked and lists only its signs.
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(folder));
    EXPECT_EQ(view->CurrentFolder(), folder);
    EXPECT_EQ(ListNames(view), QStringList({"bread.sgn", "broken.sgn", "empty.sgn", "shelf.sgn"}));
    EXPECT_EQ(view->Tree()->currentIndex().data().toString(), "shop.signs");
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FOLDER), QDir::toNativeSeparators(folder));
    frame->ExecuteCommand(CPrintFrame::ID_ALL_FILES);
    EXPECT_EQ(ListNames(view), QStringList({"bread.sgn", "broken.sgn", "empty.sgn", "SCHEMA.INI",
                                            "shelf.sgn", "stock.csv"}));
    frame->ExecuteCommand(CPrintFrame::ID_SIGNS_ONLY);

    // A damaged file clears the preview and says why in the status bar only.
    ClickListItem(view, QStringLiteral("broken.sgn"));
    QPushButton* print = view->InfoPane()->PrintButton();
    EXPECT_FALSE(print->isEnabled());
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "");
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains("broken.sgn"));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(TheElementList().GetCount(), 0);

    // The plain sign: its details and its drawing in the preview, beside
    // the same paper without it.
    ClickListItem(view, QStringLiteral("empty.sgn"));
    ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "empty.sgn");
    const QImage paper = view->InfoPane()->Preview()->grab().toImage();
    ClickListItem(view, QStringLiteral("bread.sgn"));
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_TITLE), "bread.sgn");
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_AUTHOR), "Shop");
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(print->toolTip(), "Print");
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty());
    EXPECT_GT(Difference(view->InfoPane()->Preview()->grab().toImage(), paper), 20);
    // The shadow goes and comes back with the preview.
    const QImage shadowed = view->InfoPane()->Preview()->grab().toImage();
    ASSERT_TRUE(frame->ExecuteCommand(ID_VIEW_SHADOW));
    EXPECT_FALSE(frame->Action(ID_VIEW_SHADOW)->isChecked());
    EXPECT_GT(Difference(view->InfoPane()->Preview()->grab().toImage(), shadowed), 20);
    ASSERT_TRUE(frame->ExecuteCommand(ID_VIEW_SHADOW));
    EXPECT_EQ(Difference(view->InfoPane()->Preview()->grab().toImage(), shadowed), 0);

    // The shelf labels ask for data entry.
    ClickListItem(view, QStringLiteral("shelf.sgn"));
    ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "shelf.sgn");
    EXPECT_TRUE(TheDatabaseLink().IsConnected()) << messages.LastText().toStdString();
    EXPECT_EQ(print->toolTip(), "Data Entry");
    EXPECT_EQ(Field(frame, CPrintFrame::ID_STATUS_STOCK), "Labels 3x8");
    EXPECT_EQ(Field(frame, CPrintFrame::ID_STATUS_PRINTER), "Tabrel PDF");

    // The menu bar greys its menus with one layout of its items, not one
    // a menu, and lights them again the same way.
    CEventCount news(QEvent::ActionChanged);
    frame->menuBar()->installEventFilter(&news);
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    EXPECT_EQ(news.count, 1);
    EXPECT_TRUE(frame->IsDataEntryMode());
    EXPECT_FALSE(frame->StationToolBar()->isHidden());
    EXPECT_TRUE(frame->BrowseToolBar()->isHidden());
    for (QAction* menu : frame->menuBar()->actions())
        EXPECT_FALSE(menu->isEnabled()) << menu->text().toStdString();
    EXPECT_EQ(view->Station()->objectName(), "id363");
    // One sign or the whole sheet of labels.
    ASSERT_TRUE(frame->ExecuteCommand(ID_PREVIEW_SINGLE));
    EXPECT_FALSE(view->Station()->IsSheetView());
    EXPECT_TRUE(frame->Action(ID_PREVIEW_SINGLE)->isChecked());
    ASSERT_TRUE(frame->ExecuteCommand(ID_PREVIEW_SHEET));
    EXPECT_TRUE(view->Station()->IsSheetView());
    EXPECT_FALSE(frame->Action(ID_PREVIEW_SINGLE)->isChecked());

    // To a file: the third record picked in the navigator, then every
    // record of the CSV file.
    const QString pdf = home.FilePath(QStringLiteral("shelf.pdf"));
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    CPrintBatchDlg* batch = view->BatchDialog();
    ASSERT_NE(batch, nullptr);
    auto* data = qobject_cast<CDataView*>(frame->DataView());
    ASSERT_NE(data, nullptr);
    auto* navigator = qobject_cast<CRecordNavigator*>(data->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    auto* row = data->Panel()->findChild<QLineEdit*>(QStringLiteral("id2000"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(), Product(1));
    auto* next = navigator->findChild<QAbstractButton*>(
        QStringLiteral("id%1").arg(CRecordNavigator::IDC_NEXT));
    ASSERT_NE(next, nullptr);
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(row->text(), Product(3));
    ASSERT_NO_FATAL_FAILURE(PrintToFile(batch));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    messages.SetDefaultAnswer(IDYES);
    ASSERT_TRUE(frame->ExecuteCommand(ID_RECORD_PRINT_ALL));
    ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
    EXPECT_EQ(messages.Messages().front().text, "Print 5 signs ?");
    EXPECT_EQ(ThePrinter().m_labelPosition, 1 + kRecords);

    // Return ejects the sheet, then leaves data entry.
    news.count = 0;
    LeaveStation(batch, view);
    EXPECT_EQ(news.count, 1);
    frame->menuBar()->removeEventFilter(&news);
    EXPECT_FALSE(frame->IsDataEntryMode());
    EXPECT_FALSE(frame->BrowseToolBar()->isHidden());
    for (QAction* menu : frame->menuBar()->actions())
        EXPECT_TRUE(menu->isEnabled());
    EXPECT_TRUE(view->InfoPane()->isVisible());

    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QString text = PdfText(pdf);
    for (int i = 1; i <= kRecords; ++i)
        EXPECT_EQ(text.count(Product(i)), i == 3 ? 2 : 1) << i << ": " << text.toStdString();
    EXPECT_EQ(CBrowseView::RememberedFolder(), folder);
}

// The rows of the print log, 0 while it has none.
static int LogRows()
{
    if (!QFileInfo::exists(CPrintLog::GetDatabasePath()))
        return 0;
    int rows = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("front-end-log"));
        db.setDatabaseName(CPrintLog::GetDatabasePath());
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM PrintLog")) && query.next())
                rows = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("front-end-log"));
    return rows;
}

// A sign whose product name is typed at print time: the data-entry pane
// stands beside the print station with the print bar below its rows; what
// is typed shows in the preview and reaches the page.
TEST_F(PrintFrontEndTest, EntersDataAndPrintsIt)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveTypedSign(frame, QStringLiteral("tag.sgn"));
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(folder));
    ClickListItem(view, QStringLiteral("tag.sgn"));
    QPushButton* print = view->InfoPane()->PrintButton();
    ASSERT_TRUE(print->isEnabled());
    EXPECT_EQ(print->toolTip(), "Data Entry");
    // A raised picture button with the print picture.
    auto* pictureButton = qobject_cast<CPictureButton*>(print);
    ASSERT_NE(pictureButton, nullptr);
    EXPECT_FALSE(pictureButton->IsFlat());
    EXPECT_TRUE(pictureButton->HasIcon());
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    auto* data = qobject_cast<CDataView*>(frame->DataView());
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isVisible());
    CPrintBatchDlg* batch = view->BatchDialog();
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(data->PrintBar(), batch);
    // The station takes the browser's place; the pane sits to its right.
    EXPECT_GT(data->mapTo(frame, QPoint(0, 0)).x(),
              view->Station()->mapTo(frame, QPoint(0, 0)).x());
    // The sign joins the recent files, whose items stay off while the
    // station is open.
    EXPECT_EQ(frame->RecentFiles().value(0), QDir(folder).filePath(QStringLiteral("tag.sgn")));
    EXPECT_FALSE(frame->Action(ID_FILE_MRU_FIRST)->isEnabled());

    auto* row = data->Panel()->findChild<QLineEdit*>(QStringLiteral("id2000"));
    ASSERT_NE(row, nullptr);
    row->setFocus();
    row->selectAll();
    QTest::keyClicks(row, QStringLiteral("Plums"));
    data->Panel()->FlushPending();
    EXPECT_EQ(
        static_cast<CText*>(TheElementList().FindByName(QStringLiteral("Product")))->GetText(),
        "Plums");

    // The typed texts are spell-checked from the station's tool bar.
    ASSERT_TRUE(frame->ExecuteCommand(ID_SPELLING));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "The spelling check is complete");
    messages.Clear();

    const QString pdf = home.FilePath(QStringLiteral("tag.pdf"));
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NO_FATAL_FAILURE(PrintToFile(batch));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    LeaveStation(batch, view);
    EXPECT_EQ(frame->DataView(), nullptr);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    EXPECT_TRUE(PdfText(pdf).contains("Plums")) << PdfText(pdf).toStdString();
}

// A run to the print queue that stops at a refused sign hands nothing to
// the queue when the station is left; a run that printed everything does.
TEST_F(PrintFrontEndTest, QueueRunThatStopsSubmitsNothing)
{
    const QString queue = home.FilePath(QStringLiteral("queue"));
    QDir().mkpath(queue);
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
              QStringLiteral("Pellox"))
        .setValue(QStringLiteral("Location"), queue);
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ThePrintQueue().SetFolder(CPrintQueue::ReadFolderSetting());
    ASSERT_TRUE(ThePrintQueue().IsAvailable());
    {
        CSignData& document = frame->Document();
        document.DeleteContents();
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        auto* code = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
        code->BeginCreate(nullptr, 30, 30);
        code->m_name = QStringLiteral("Code");
        code->SetDataSource(SOURCE_KEYBOARD, QString());
        code->m_mustEnterData = TRUE;
        ASSERT_TRUE(document.OnSaveDocument(QDir(folder).filePath(QStringLiteral("code.sgn"))));
        document.DeleteContents();
        document.SetPathName(QString());
    }
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("code.sgn"))));

    struct Case
    {
        const char* what;
        int batch; // the code must be typed again after each sign
        bool submitted;
    };
    const Case cases[] = {{"stopped at the second sign", 2, false}, {"one sign", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QFileInfo& file : QDir(queue).entryInfoList(QDir::Files))
            QFile::remove(file.filePath());
        ASSERT_NO_FATAL_FAILURE(OpenStation(view));
        auto* data = qobject_cast<CDataView*>(frame->DataView());
        ASSERT_NE(data, nullptr);
        CPrintBatchDlg* batch = view->BatchDialog();
        BatchControl<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION)->setCurrentIndex(2);
        ASSERT_EQ(batch->Destination(), 2);
        auto* row = data->Panel()->findChild<QLineEdit*>(QStringLiteral("id2000"));
        ASSERT_NE(row, nullptr);
        row->setFocus();
        row->selectAll();
        QTest::keyClicks(row, QStringLiteral("XY-1"));
        BatchControl<QSpinBox>(batch, CPrintBatchDlg::IDC_BATCH)->setValue(c.batch);
        messages.Clear();
        BatchControl<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
        EXPECT_EQ(messages.Count(), c.submitted ? 0 : 1) << messages.LastText().toStdString();
        auto* back = BatchControl<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
        back->click();
        if (view->IsStationOpen())
            back->click();
        ASSERT_TRUE(Settle([&] { return !view->IsStationOpen(); }));
        EXPECT_FALSE(ThePrintQueue().IsPending());
        EXPECT_EQ(!QDir(queue).entryList(QDir::Files).isEmpty(), c.submitted)
            << QDir(queue).entryList(QDir::Files).join(' ').toStdString();
    }
}

// A sign of fixed texts goes through the Print dialog to a file and is
// logged; a file box that is cancelled, or a file that cannot be written,
// prints nothing, leaves no job open and adds no row to the print log.
TEST_F(PrintFrontEndTest, PlainSignPrintsThroughThePrintDialog)
{
    CSignApp::WriteProfileInt(QStringLiteral("Admin/Print Logging"), QStringLiteral("mode"),
                              CPrintLog::LogJobs, true);
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveSign(frame, QStringLiteral("bread.sgn"),
             {QStringLiteral("Fresh bread"), QStringLiteral("2.40")});
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("bread.sgn"))));
    ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");

    struct Case
    {
        const char* what;
        const char* file; // empty: the file box is cancelled
        bool printed;
        int messages;
    };
    const Case cases[] = {
        {"to a file", "bread.pdf", true, 0},
        {"file box cancelled", "", false, 0},
        {"folder that is not there", "nowhere/bread.pdf", false, 1},
    };
    int rows = LogRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString pdf = *c.file ? home.FilePath(QString::fromLatin1(c.file)) : QString();
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice& choice) {
            EXPECT_EQ(choice.defaultSuffix, "pdf");
            return pdf;
        };
        CAnswer<CPrintSignDlg> answer(PrintToFileFromTheDialog);
        messages.Clear();
        QTest::mouseClick(view->InfoPane()->PrintButton(), Qt::LeftButton);
        ASSERT_TRUE(Settle([&] { return answer.Answered(); }));
        EXPECT_FALSE(view->IsStationOpen());
        EXPECT_FALSE(ThePrinter().m_jobOpen);
        EXPECT_EQ(messages.Count(), c.messages) << messages.LastText().toStdString();
        EXPECT_EQ(!pdf.isEmpty() && QFile::exists(pdf), c.printed);
        if (c.printed) {
            ++rows;
            EXPECT_EQ(PdfPageCount(pdf), 1);
            const QString text = PdfText(pdf);
            EXPECT_TRUE(text.contains("Fresh bread")) << text.toStdString();
            EXPECT_TRUE(text.contains("2.40")) << text.toStdString();
        }
        EXPECT_EQ(LogRows(), rows);
    }
    EXPECT_EQ(rows, 1);
}

// Once the Print dialog has closed, the keyboard is back in the list: a
// second Ctrl+P opens the dialog again without a click first.
TEST_F(PrintFrontEndTest, KeyboardComesBackToTheListWhenThePrintDialogCloses)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("bread.sgn"))));
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(Settle([&] { return QApplication::activeWindow() == frame; }));
    QListView* list = view->IconList();
    list->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), list);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        CAnswer<CPrintSignDlg> cancel([](CPrintSignDlg* dialog) { dialog->reject(); });
        QWidget* keys = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
        QTest::keyClick(keys, Qt::Key_P, Qt::ControlModifier);
        ASSERT_TRUE(Settle([&] { return cancel.Answered(); }));
        EXPECT_TRUE(Settle([&] { return QApplication::activeWindow() == frame; }));
        EXPECT_EQ(QApplication::focusWidget(), list);
    }
}

// A sign printed, or sent to the Print dialog and cancelled there, is put
// first in the File menu's recent files (one stopped at the sheet-reuse
// warning is not); the list is kept for the next start,
// where choosing a sign from it shows that sign in the browser.
TEST_F(PrintFrontEndTest, PrintedSignsJoinTheRecentFilesAndAreShownFromThere)
{
    const QString bread = QDir(folder).filePath(QStringLiteral("bread.sgn"));
    const QString milk = QDir(folder).filePath(QStringLiteral("milk.sgn"));
    const QString labels = QDir(folder).filePath(QStringLiteral("labels.sgn"));
    {
        CPrintFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
        SaveSign(frame, QStringLiteral("milk.sgn"), {QStringLiteral("Milk")});
        SaveSign(frame, QStringLiteral("labels.sgn"), {QStringLiteral("Eggs")},
                 QStringLiteral("Labels 3x8"));
        EXPECT_TRUE(frame->RecentFiles().isEmpty());
        EXPECT_FALSE(frame->Action(ID_FILE_MRU_FIRST)->isEnabled());
        CBrowseView* view = frame->View();

        // Cancelled in the Print dialog.
        ASSERT_TRUE(view->SelectPath(bread));
        {
            CAnswer<CPrintSignDlg> cancel([](CPrintSignDlg* dialog) { dialog->reject(); });
            // The button's request is queued: the dialog opens once events run.
            QTest::mouseClick(view->InfoPane()->PrintButton(), Qt::LeftButton);
            QTRY_VERIFY(cancel.Answered());
            ASSERT_TRUE(cancel.Answered());
        }
        EXPECT_EQ(frame->RecentFiles(), QStringList{bread});

        // Sent on with labels to skip, then stopped at the sheet-reuse
        // warning: nothing printed, nothing asked for, no recent file.
        ASSERT_TRUE(view->SelectPath(labels));
        int asked = 0;
        FrameHooks().chooseFile = [&asked](QWidget*, const CFileChoice&) {
            ++asked;
            return QString();
        };
        {
            CAnswer<CPrintSignDlg> skipTwo([](CPrintSignDlg* dialog) {
                auto* skip = Control<QSpinBox>(dialog, CPrintSignDlg::IDC_SKIP);
                ASSERT_TRUE(skip->isEnabled());
                skip->setValue(2);
                PrintToFileFromTheDialog(dialog);
            });
            CAnswer<CSheetReuseWarningDlg> decline(
                [](CSheetReuseWarningDlg* dialog) { dialog->reject(); });
            QTest::mouseClick(view->InfoPane()->PrintButton(), Qt::LeftButton);
            QTRY_VERIFY(decline.Answered());
            ASSERT_TRUE(skipTwo.Answered());
        }
        EXPECT_EQ(asked, 0);
        EXPECT_FALSE(ThePrinter().m_jobOpen);
        EXPECT_EQ(frame->RecentFiles(), QStringList{bread});

        // Printed to a file.
        ASSERT_TRUE(view->SelectPath(milk));
        const QString pdf = home.FilePath(QStringLiteral("milk.pdf"));
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        {
            CAnswer<CPrintSignDlg> print(PrintToFileFromTheDialog);
            QTest::mouseClick(view->InfoPane()->PrintButton(), Qt::LeftButton);
            QTRY_VERIFY(print.Answered());
            ASSERT_TRUE(print.Answered());
        }
        EXPECT_TRUE(QFile::exists(pdf));
        EXPECT_EQ(frame->RecentFiles(), (QStringList{milk, bread}));
        frame->UpdateActions();
        QAction* first = frame->Action(ID_FILE_MRU_FIRST);
        EXPECT_TRUE(first->isEnabled());
        EXPECT_TRUE(first->text().startsWith(QStringLiteral("&1 "))) << first->text().toStdString();
        EXPECT_TRUE(first->text().endsWith(QStringLiteral("milk.sgn")))
            << first->text().toStdString();
        // The items stand in the File menu.
        QMenu* file = frame->menuBar()->actions().first()->menu();
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(file->actions().contains(first));
        EXPECT_TRUE(file->actions().contains(frame->Action(ID_FILE_MRU_FIRST + 1)));

        // A sign printed goes to the profile in one write of the whole list;
        // the sign first in the list printed again writes nothing.
        int written = CProfileSession::FilesWritten();
        frame->AddToRecentFiles(bread);
        EXPECT_EQ(CProfileSession::FilesWritten() - written, 1);
        EXPECT_EQ(frame->RecentFiles(), (QStringList{bread, milk}));
        written = CProfileSession::FilesWritten();
        frame->AddToRecentFiles(bread);
        EXPECT_EQ(CProfileSession::FilesWritten() - written, 0);
        frame->AddToRecentFiles(milk);
        EXPECT_EQ(frame->RecentFiles(), (QStringList{milk, bread}));
    }
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->RecentFiles(), (QStringList{milk, bread}));
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_MRU_FIRST + 1));
    EXPECT_EQ(frame->Document().GetPathName(), bread);
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");
    // Shown, not printed: the order stays.
    EXPECT_EQ(frame->RecentFiles(), (QStringList{milk, bread}));
}

// A linked sign joins the recent files the moment its print station opens,
// and the profile when the station closes: opening the station puts nothing
// on disk. A sign printed through the Print dialog is written at once.
TEST_F(PrintFrontEndTest, StationSignsReachTheProfileWhenTheStationCloses)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->show();
    SaveLinkedSign(frame);
    const QString shelf = QDir(folder).filePath(QStringLiteral("shelf.sgn"));
    const auto stored = [] {
        return CSignApp::GetProfileString(QStringLiteral("Recent File List"),
                                          QStringLiteral("File1"));
    };
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(shelf));
    const int written = CProfileSession::FilesWritten();
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    EXPECT_EQ(frame->RecentFiles(), QStringList{shelf});
    EXPECT_TRUE(frame->Action(ID_FILE_MRU_FIRST)->text().endsWith(QStringLiteral("shelf.sgn")));
    EXPECT_EQ(CProfileSession::FilesWritten(), written);
    EXPECT_EQ(stored(), QString());

    auto* back = BatchControl<QPushButton>(view->BatchDialog(), CPrintBatchDlg::IDC_RETURN);
    ASSERT_NE(back, nullptr);
    back->click();
    QTRY_VERIFY(!view->IsStationOpen());
    EXPECT_EQ(CProfileSession::FilesWritten(), written + 1);
    EXPECT_EQ(stored(), shelf);

    // Open again and the program ended with the station open: the list
    // is written as the frame goes.
    SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    const QString bread = QDir(folder).filePath(QStringLiteral("bread.sgn"));
    frame->AddToRecentFiles(bread);
    EXPECT_EQ(stored(), bread);
    ASSERT_TRUE(view->SelectPath(shelf));
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    EXPECT_EQ(stored(), bread);
    Quit();
    EXPECT_EQ(stored(), shelf);
}

// File > Print Setup lays the sign shown out again for the printer: a
// barcode read while the printer had 300 dots per inch lays its bars on the
// dots of the 600 dpi printer chosen.
TEST_F(PrintFrontEndTest, PrintSetupLaysTheShownSignOutForThePrinter)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    {
        CSignData& document = frame->Document();
        document.DeleteContents();
        auto* barcode = dynamic_cast<CBarcode*>(TheElementList().CreateElement("CEan13"));
        ASSERT_NE(barcode, nullptr);
        barcode->m_data = barcode->m_sampleData = QStringLiteral("501234567890");
        barcode->BeginCreate(nullptr, 100, 100);
        ASSERT_TRUE(document.OnSaveDocument(QDir(folder).filePath(QStringLiteral("code.sgn"))));
        document.DeleteContents();
        document.SetPathName(QString());
    }
    CBarcode::SetResolutionOverride(300);
    const bool shown = frame->View()->SelectPath(QDir(folder).filePath(QStringLiteral("code.sgn")));
    CBarcode::SetResolutionOverride(0);
    ASSERT_TRUE(shown);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    auto* barcode = dynamic_cast<CBarcode*>(TheElementList().GetAt(0));
    ASSERT_NE(barcode, nullptr);
    ASSERT_NE(barcode->m_style, nullptr);
    const double xDimension = barcode->m_style->xDimension;
    EXPECT_LE(std::abs(barcode->m_elementWidths[0] - xDimension * 300), 0.5);

    CAnswer<CPrintSetupDlg> setup([](CPrintSetupDlg* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDOK)),
                          Qt::LeftButton);
    });
    frame->Action(ID_FILE_PRINT_SETUP)->trigger();
    ASSERT_TRUE(setup.Answered());
    EXPECT_LE(std::abs(barcode->m_elementWidths[0] - xDimension * 600), 0.5);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Import From Zip unpacks a package into a folder and shows its sign there.
TEST_F(PrintFrontEndTest, ImportFromZipShowsTheUnpackedSign)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    const QString package = home.FilePath(QStringLiteral("job.zip"));
    ASSERT_TRUE(ExportZipPackage(package, {QDir(folder).filePath(QStringLiteral("bread.sgn"))}, {})
                    .Complete());
    const QString target = home.FilePath(QStringLiteral("unpacked"));
    FrameHooks().chooseFile = [package](QWidget*, const CFileChoice& choice) {
        EXPECT_EQ(choice.title, "Import From");
        return package;
    };
    CAnswer<CZipImportDlg> answer([target](CZipImportDlg* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("id%1").arg(CZipImportDlg::IDC_FOLDER))
            ->setText(target);
        dialog->accept();
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_IMPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(frame->View()->CurrentFolder(), target);
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");
    EXPECT_EQ(frame->Document().GetPathName(), target + QStringLiteral("/bread.sgn"));
}

// A sign named on the command line is browsed to and shown at start-up.
TEST_F(PrintFrontEndTest, SignNamedOnTheCommandLineIsShown)
{
    const QString sign = QDir(folder).filePath(QStringLiteral("bread.sgn"));
    {
        // The front end reads the designer's switches: "/NoSplash" is no
        // sign to show.
        CPrintFrame* frame = Start({QStringLiteral("/NoSplash")});
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(Program().IsSplashEnabled());
        EXPECT_EQ(Program().GetCommandLineInfo().shellCommand, CCommandLineInfo::FileNew);
        SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    }
    CPrintFrame* frame = Start({sign});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->View()->CurrentFolder(), folder);
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");
    EXPECT_EQ(frame->Document().GetPathName(), sign);
    EXPECT_TRUE(frame->Action(ID_FILE_PRINT)->isEnabled());
}

// Views, sort and the folder tree, and what the next start finds in the
// profile: the column widths are kept whenever the list shows details.
TEST_F(PrintFrontEndTest, ViewModesSortingAndColumnWidthsSurviveARestart)
{
    QDir(folder).mkpath(QStringLiteral("older.signs"));
    {
        CPrintFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        SaveSign(frame, QStringLiteral("b.sgn"), {QStringLiteral("short")});
        SaveSign(frame, QStringLiteral("a.sgn"),
                 {QStringLiteral("a longer sign"), QStringLiteral("with"), QStringLiteral("more"),
                  QStringLiteral("lines")});
        CBrowseView* view = frame->View();
        ASSERT_TRUE(view->SelectPath(folder));
        frame->ExecuteCommand(CPrintFrame::ID_VIEW_DETAILS);
        EXPECT_TRUE(frame->Action(CPrintFrame::ID_VIEW_DETAILS)->isChecked());
        EXPECT_EQ(ListNames(view), QStringList({"a.sgn", "b.sgn"}));

        // Size ascending, descending, then name ascending.
        QHeaderView* header = view->DetailsList()->header();
        const auto clickHeader = [header](int column) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, Qt::NoModifier,
                QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(1);
        EXPECT_EQ(view->SortModeWord(), SORT_SIZE);
        EXPECT_EQ(ListNames(view), QStringList({"b.sgn", "a.sgn"}));
        clickHeader(1);
        EXPECT_EQ(view->SortModeWord(), SORT_SIZE | SORT_DESCENDING);
        EXPECT_EQ(ListNames(view), QStringList({"a.sgn", "b.sgn"}));
        clickHeader(0);
        EXPECT_EQ(view->SortModeWord(), SORT_NAME);

        // A double click on a folder opens it in the tree.
        frame->ExecuteCommand(CPrintFrame::ID_ALL_FILES);
        EXPECT_EQ(ListNames(view), QStringList({"older.signs", "a.sgn", "b.sgn"}));
        QTreeView* details = view->DetailsList();
        const QRect row = details->visualRect(details->model()->index(0, 0));
        QTest::mouseClick(details->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(details->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        EXPECT_EQ(view->CurrentFolder(), QDir(folder).filePath("older.signs"));
        frame->ExecuteCommand(CPrintFrame::ID_UP_ONE_LEVEL);
        EXPECT_EQ(view->CurrentFolder(), folder);

        // Find... looks below the selected folder and selects the file found.
        QDir(folder).mkpath(QStringLiteral("older.signs/2025"));
        QFile::copy(QDir(folder).filePath(QStringLiteral("b.sgn")),
                    QDir(folder).filePath(QStringLiteral("older.signs/2025/c.sgn")));
        CAnswer<CFindFilesDlg> find([](CFindFilesDlg* dialog) {
            dialog->OnFindNow();
            auto* results = dialog->findChild<QTreeWidget*>(QStringLiteral("id1087"));
            const auto found = results->findItems(QStringLiteral("c.sgn"), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            results->setCurrentItem(found[0]);
            dialog->accept();
        });
        ASSERT_TRUE(frame->ExecuteCommand(CPrintFrame::ID_FIND));
        ASSERT_TRUE(find.Answered());
        EXPECT_EQ(view->CurrentFolder(), QDir(folder).filePath(QStringLiteral("older.signs/2025")));
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "c.sgn");
        ASSERT_TRUE(view->SelectPath(folder));
        // A sign that came into the folder shown since is found.
        ASSERT_TRUE(QFile::copy(QDir(folder).filePath(QStringLiteral("b.sgn")),
                                QDir(folder).filePath(QStringLiteral("new.sgn"))));
        ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("new.sgn"))));
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "new.sgn");
        QFile::remove(QDir(folder).filePath(QStringLiteral("new.sgn")));
        ASSERT_TRUE(view->SelectPath(folder));
        // A path that is not there leaves the selection as it was.
        EXPECT_FALSE(view->SelectPath(QDir(folder).filePath(QStringLiteral("gone/x.sgn"))));
        EXPECT_EQ(view->CurrentFolder(), folder);

        // Without the tree the list takes the whole width, and the tree's
        // commands are off.
        frame->ExecuteCommand(CPrintFrame::ID_EXPLORER);
        EXPECT_FALSE(view->Tree()->isVisible());
        EXPECT_EQ(view->DetailsList()->parentWidget()->width(), view->width());
        EXPECT_FALSE(frame->Action(CPrintFrame::ID_FIND)->isEnabled());
        EXPECT_FALSE(frame->Action(CPrintFrame::ID_UP_ONE_LEVEL)->isEnabled());
        details->setColumnWidth(0, 250);
        frame->close();
    }
    {
        CPrintFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        CBrowseView* view = frame->View();
        EXPECT_EQ(view->ViewModeWord(), CBrowseView::STYLE_DETAILS | CBrowseView::VIEW_ALL_FILES |
                                            CBrowseView::VIEW_TREE_HIDDEN);
        EXPECT_EQ(view->DetailsList()->columnWidth(0), 250);
    }
}

// A sign stays in the info pane only while the list shows its folder:
// another folder chosen in the tree, the folder tree's Up One Level or a
// double-clicked sub-folder clears it and Print with it; showing the same
// folder otherwise keeps it.
TEST_F(PrintFrontEndTest, ChangingFolderLetsGoOfTheSignOfTheFolderBefore)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
    QDir(folder).mkpath(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::copy(QDir(folder).filePath(QStringLiteral("bread.sgn")),
                            QDir(folder).filePath(QStringLiteral("sub/copy.sgn"))));
    CBrowseView* view = frame->View();
    QPushButton* print = view->InfoPane()->PrintButton();
    const QString copy = QDir(folder).filePath(QStringLiteral("sub/copy.sgn"));

    enum How
    {
        TreeClick,
        UpOneLevel,
        SignsAgain, // the same folder, filled again
    };
    struct Case
    {
        const char* what;
        How how;
        bool kept;
    };
    const Case cases[] = {
        {"another folder chosen in the tree", TreeClick, false},
        {"Up One Level", UpOneLevel, false},
        {"All Files in the same folder", SignsAgain, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The copy found in its sub-folder, as Find Files hands it over.
        ASSERT_TRUE(view->SelectPath(copy));
        ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "copy.sgn");
        ASSERT_TRUE(print->isEnabled());
        switch (c.how) {
        case TreeClick: {
            QTreeView* tree = view->Tree();
            const auto* folders = qobject_cast<const QFileSystemModel*>(tree->model());
            ASSERT_NE(folders, nullptr);
            const QModelIndex parent = folders->index(folder);
            ASSERT_TRUE(parent.isValid());
            tree->scrollTo(parent);
            tree->selectionModel()->setCurrentIndex(parent, QItemSelectionModel::ClearAndSelect);
            break;
        }
        case UpOneLevel:
            ASSERT_TRUE(frame->ExecuteCommand(CPrintFrame::ID_UP_ONE_LEVEL));
            break;
        case SignsAgain:
            ASSERT_TRUE(frame->ExecuteCommand(CPrintFrame::ID_ALL_FILES));
            ASSERT_TRUE(frame->ExecuteCommand(CPrintFrame::ID_SIGNS_ONLY));
            break;
        }
        const QString shownFolder = c.kept ? QDir(folder).filePath(QStringLiteral("sub")) : folder;
        EXPECT_EQ(view->CurrentFolder(), shownFolder);
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FOLDER), QDir::toNativeSeparators(shownFolder));
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), c.kept ? "copy.sgn" : "");
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_TITLE), c.kept ? "bread.sgn" : "");
        EXPECT_EQ(print->isEnabled(), c.kept);
        EXPECT_EQ(frame->Action(ID_FILE_PRINT)->isEnabled(), c.kept);
        EXPECT_EQ(frame->Document().GetPathName(), c.kept ? copy : QString());
        EXPECT_EQ(TheElementList().GetCount(), c.kept ? 1 : 0);
    }
    // Print with nothing shown opens nothing.
    ASSERT_TRUE(view->SelectPath(folder));
    view->OnPrint();
    EXPECT_FALSE(view->IsStationOpen());
    // A sign of the folder shown is loaded from it when clicked.
    ClickListItem(view, QStringLiteral("bread.sgn"));
    EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "bread.sgn");
    EXPECT_TRUE(print->isEnabled());
}

// The print station of a linked sign shows its data-entry column whole:
// every row's field inside the pane with no horizontal scroll bar, and the
// record navigator above the print bar, docked right or at the bottom; the
// bar comes back where Switch Docking last put it.
TEST_F(PrintFrontEndTest, DataEntryColumnShowsItsFieldsWhole)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    SaveLinkedSign(frame);
    frame->show();
    frame->resize(1200, 860);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("shelf.sgn"))));
    ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "shelf.sgn");
    // Browsing, the places beside and below the browser are empty and take
    // no room; the pane takes the one it is docked at.
    auto emptyPlaces = [frame] {
        const QList<CNullView*> empty = frame->findChildren<CNullView*>();
        for (CNullView* place : empty)
            EXPECT_TRUE(place->width() == 0 || place->height() == 0);
        return empty;
    };
    auto expectDockedAt = [&](int side) {
        QWidget* data = frame->DataView();
        ASSERT_NE(data, nullptr);
        // Beside the browser, at its top; or below it, at its left.
        EXPECT_TRUE(Settle([&] {
            const QPoint at = data->mapTo(frame, QPoint(0, 0));
            const QPoint browser = view->mapTo(frame, QPoint(0, 0));
            return data->isVisible() && data->width() > 0 && data->height() > 0 &&
                   (side == 2 ? at.x() > browser.x() && at.y() == browser.y()
                              : at.y() > browser.y() && at.x() == browser.x());
        }));
        const QList<CNullView*> empty = emptyPlaces();
        ASSERT_EQ(empty.size(), 1);
        EXPECT_NE(empty.first()->parentWidget(), data->parentWidget());
    };
    EXPECT_EQ(emptyPlaces().size(), 2);
    for (int docking : {2, 3}) {
        SCOPED_TRACE(docking);
        TheSignSettings().dataViewDocking = docking;
        ASSERT_NO_FATAL_FAILURE(OpenStation(view));
        auto* data = qobject_cast<CDataView*>(frame->DataView());
        ASSERT_NE(data, nullptr);
        auto* navigator = qobject_cast<CRecordNavigator*>(data->NavigatorBar());
        ASSERT_NE(navigator, nullptr);
        EXPECT_TRUE(navigator->isVisible());
        EXPECT_TRUE(data->PrintBar()->isVisible());
        EXPECT_LT(navigator->geometry().bottom(), data->PrintBar()->geometry().top());
        auto* row = data->Panel()->findChild<QLineEdit*>(QStringLiteral("id2000"));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(), Product(1));
        const QRect inPane(row->mapTo(data, QPoint(0, 0)), row->size());
        EXPECT_TRUE(data->rect().contains(inPane))
            << inPane.x() << "," << inPane.width() << " in " << data->width();
        auto* scroll = data->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        // Every control of the navigator and the print bar lies inside too.
        for (QWidget* bar : {static_cast<QWidget*>(navigator), data->PrintBar()}) {
            const QRect r(bar->mapTo(data, QPoint(0, 0)), bar->size());
            EXPECT_TRUE(data->rect().contains(r)) << bar->objectName().toStdString();
        }
        // The station beside or above it keeps a usable part of the window.
        EXPECT_GT(view->width(), 200);
        EXPECT_GT(view->height(), 200);
        // Switch Docking moves the pane to the other place and empties this one.
        expectDockedAt(docking);
        ASSERT_TRUE(frame->ExecuteCommand(ID_SWITCH_DOCKING));
        expectDockedAt(docking == 2 ? 3 : 2);
        const auto barPlace = [frame] {
            QApplication::processEvents();
            auto* shown = qobject_cast<CDataView*>(frame->DataView());
            return shown ? QRect(shown->PrintBar()->mapTo(frame, QPoint(0, 0)),
                                 shown->PrintBar()->size())
                         : QRect();
        };
        const QRect placed = barPlace();
        ASSERT_TRUE(frame->ExecuteCommand(ID_DATA_CANCEL));
        ASSERT_TRUE(Settle([&] { return !view->IsStationOpen(); }));
        EXPECT_EQ(frame->DataView(), nullptr);
        EXPECT_EQ(emptyPlaces().size(), 2);
        // Printed again, the bar comes back where it was last placed.
        ASSERT_NO_FATAL_FAILURE(OpenStation(view));
        expectDockedAt(docking == 2 ? 3 : 2);
        EXPECT_EQ(barPlace(), placed);
        ASSERT_TRUE(frame->ExecuteCommand(ID_DATA_CANCEL));
        ASSERT_TRUE(Settle([&] { return !view->IsStationOpen(); }));
    }
}

// The front end shows the splash and then Getting Started as the designer
// does: "Open an Existing Sign Design" asks for a sign with the open box and
// shows the chosen one in the browser; a cancelled box changes nothing.
TEST_F(PrintFrontEndTest, GettingStartedOpensAnExistingSignInTheBrowser)
{
    ASSERT_TRUE(QFile::copy(TABREL_SOURCE_DIR "/resources/files/Splash.dib",
                            home.FilePath(CSplashWnd::kFileName)));
    const QString sign = QDir(folder).filePath(QStringLiteral("bread.sgn"));
    for (bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled ? "cancelled" : "chosen");
        CPrintFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(CSplashWnd::Current(), nullptr);
        SaveSign(frame, QStringLiteral("bread.sgn"), {QStringLiteral("Fresh bread")});
        ASSERT_TRUE(frame->View()->SelectPath(home.Path()));
        int asked = 0;
        FrameHooks().chooseFile = [&](QWidget*, const CFileChoice& choice) {
            asked += choice.save ? 0 : 1;
            return cancelled ? QString() : sign;
        };
        CAnswer<CWelcomeDlg> open([](CWelcomeDlg* dialog) {
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("id1512")),
                              Qt::LeftButton);
        });
        CSplashWnd::HideSplashScreen();
        // Getting Started has had its turn once nothing waits to show it.
        EXPECT_TRUE(Settle([&] {
            return asked > 0 && !frame->findChild<QTimer*>(QStringLiteral("welcome"));
        }));
        EXPECT_TRUE(open.Answered());
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(frame->View()->CurrentFolder(), cancelled ? home.Path() : folder);
        EXPECT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), cancelled ? "" : "bread.sgn");
        EXPECT_EQ(frame->Document().GetPathName(), cancelled ? QString() : sign);
        EXPECT_EQ(frame->Action(ID_FILE_PRINT)->isEnabled(), !cancelled);
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        FrameHooks().chooseFile = nullptr;
    }
}

// The bars show at start and their View items are checked; Toolbar hides
// and shows the browse bar.
TEST_F(PrintFrontEndTest, ViewToolbarAndStatusBarAreCheckedAtStart)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->show();
    QAction* toolbar = frame->Action(ID_VIEW_TOOLBAR);
    QAction* status = frame->Action(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(status->isChecked());
    EXPECT_FALSE(frame->BrowseToolBar()->isHidden());
    toolbar->trigger();
    EXPECT_TRUE(frame->BrowseToolBar()->isHidden());
    EXPECT_FALSE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(frame->BrowseToolBar()->isHidden());
    EXPECT_TRUE(toolbar->isChecked());
    status->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    EXPECT_FALSE(status->isChecked());
}

// The print bar's Return leads back to the browser and says so; once a
// label of a sheet has printed it reads "Eject Sheet", drawn at once.
TEST_F(PrintFrontEndTest, PrintBarReturnNamesTheBrowserAndEjectShowsAtOnce)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->show();
    SaveLinkedSign(frame);
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("shelf.sgn"))));
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    CPrintBatchDlg* batch = view->BatchDialog();
    ASSERT_NE(batch, nullptr);
    auto* back = BatchControl<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), "Return to Sign Browser");
    QTRY_VERIFY(back->isVisible());

    // What the window shows of the button, paint by paint.
    QImage shown = back->grab().toImage();
    struct CPaints : QObject
    {
        QPushButton* button;
        QImage* shown;
        bool grabbing = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == button && event->type() == QEvent::Paint && !grabbing) {
                grabbing = true;
                const QImage now = button->grab().toImage();
                grabbing = false;
                QPainter painter(shown);
                painter.setClipRegion(static_cast<QPaintEvent*>(event)->region());
                painter.drawImage(0, 0, now);
            }
            return false;
        }
    } paints;
    paints.button = back;
    paints.shown = &shown;
    back->installEventFilter(&paints);

    const QString pdf = home.FilePath(QStringLiteral("one.pdf"));
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NO_FATAL_FAILURE(PrintToFile(batch));
    ASSERT_EQ(ThePrinter().m_labelPosition, 1) << messages.LastText().toStdString();
    ASSERT_EQ(back->text(), "Eject Sheet");
    QApplication::processEvents();
    back->removeEventFilter(&paints);
    EXPECT_EQ(Difference(shown.convertToFormat(QImage::Format_RGB32),
                         back->grab().toImage().convertToFormat(QImage::Format_RGB32)),
              0);

    // Return ejects, then leaves for the browser.
    back->click();
    EXPECT_EQ(back->text(), "Return to Sign Browser");
    back->click();
    QTRY_VERIFY(!view->IsStationOpen());
    FrameHooks().chooseFile = nullptr;
}

// A picture of the front end browsing a folder of ten signs with one of
// them previewed, written when TABREL_SHOT_DIR names a folder.
TEST_F(PrintFrontEndTest, PictureOfTenSignsBrowsed)
{
    const QString shots = qEnvironmentVariable("TABREL_SHOT_DIR");
    if (shots.isEmpty())
        GTEST_SKIP() << "TABREL_SHOT_DIR is not set";
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    const char* goods[] = {"Apples", "Bread",  "Cheese", "Dates",     "Eggs",
                           "Figs",   "Grapes", "Honey",  "Ice cream", "Juice"};
    for (int i = 0; i < 10; ++i) {
        SaveSign(frame, QStringLiteral("%1.sgn").arg(QString::fromLatin1(goods[i]).toLower()),
                 {QString::fromLatin1(goods[i]), QStringLiteral("Special offer"),
                  QStringLiteral("%1.99").arg(i + 1)},
                 QStringLiteral("Labels 3x8"));
    }
    CBrowseView* view = frame->View();
    frame->ExecuteCommand(CPrintFrame::ID_VIEW_DETAILS);
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("honey.sgn"))));
    ASSERT_EQ(Field(frame, CBrowseInfoPane::IDC_FILE), "honey.sgn");
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
    QApplication::processEvents();
    QDir().mkpath(shots);
    EXPECT_TRUE(
        frame->grab().save(QDir(shots).filePath(QStringLiteral("tabrel-print-browser.png"))));

    // A sign whose product is typed at print time, in the print station.
    SaveTypedSign(frame, QStringLiteral("offer.sgn"));
    ASSERT_TRUE(view->SelectPath(QDir(folder).filePath(QStringLiteral("offer.sgn"))));
    ASSERT_NO_FATAL_FAILURE(OpenStation(view));
    auto* data = qobject_cast<CDataView*>(frame->DataView());
    ASSERT_NE(data, nullptr);
    auto* row = data->Panel()->findChild<QLineEdit*>(QStringLiteral("id2000"));
    ASSERT_NE(row, nullptr);
    row->setFocus();
    row->selectAll();
    QTest::keyClicks(row, QStringLiteral("Fresh plums"));
    data->Panel()->FlushPending();
    QApplication::processEvents();
    EXPECT_TRUE(
        frame->grab().save(QDir(shots).filePath(QStringLiteral("tabrel-print-station.png"))));
    view->ClosePrintStation();
}

// Tools > Spelling... opens a sheet of the spelling page alone; OK stores
// what was changed on it.
TEST_F(PrintFrontEndTest, SpellingOptionsOpenTheSpellingPageAlone)
{
    CPrintFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->UpdateActions();
    QAction* spelling = frame->Action(ID_PREF_SPELLING);
    ASSERT_TRUE(spelling->isEnabled());
    QStringList tabs;
    CAnswer<CPreferencesSheet> answer([&tabs](CPreferencesSheet* sheet) {
        for (int i = 0; i < sheet->Tabs()->count(); ++i)
            tabs << sheet->Tabs()->tabText(i);
        auto* display = sheet->findChild<QSpinBox*>(QStringLiteral("id1248"));
        ASSERT_NE(display, nullptr);
        display->setValue(25);
        sheet->accept();
    });
    spelling->trigger();
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(tabs, QStringList{"Spelling"});
    EXPECT_EQ(CSpellPreferences::Current().displayLimit, 25);
    EXPECT_EQ(messages.Count(), 0);
}
