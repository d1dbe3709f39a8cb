// Through the designer's real main frame: a price list of a thousand
// records is filtered to one department, two of its records are taken out
// on the grid page, the filter is saved, and only the remaining records are
// printed, one label each; the printed PDF is read back and its labels
// counted, and the saved filter is in the program's filter file at exit.
#include "AppContext.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "FilterList.h"
#include "FilterSheet.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintStation.h"
#include "Printer.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

namespace {

QString Code(int i)
{
    return QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0'));
}

// A thousand records in fifty departments of twenty.
void WritePriceList(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "price-list-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(db.transaction());
        ASSERT_TRUE(q.exec("CREATE TABLE Prices (Id INTEGER PRIMARY KEY, Code TEXT, Name TEXT, "
                           "Dept TEXT, Price REAL)"));
        for (int i = 1; i <= 1000; ++i) {
            q.prepare("INSERT INTO Prices VALUES (?, ?, ?, ?, ?)");
            q.addBindValue(i);
            q.addBindValue(Code(i));
            q.addBindValue(QStringLiteral("Article %1").arg(i));
            q.addBindValue(QStringLiteral("Dept %1").arg(i % 50, 2, 10, QLatin1Char('0')));
            q.addBindValue(1 + (i % 97) * 0.25);
            ASSERT_TRUE(q.exec());
        }
        ASSERT_TRUE(q.exec("CREATE TABLE Loose (Code TEXT, Name TEXT)"));
        ASSERT_TRUE(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase("price-list-fixture");
}

template <class T> T* Child(QWidget* parent, int id)
{
    T* found = parent->findChild<T*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(found, nullptr) << id;
    return found;
}

TEST(FilterPrintTest, FilteredSavedAndOnlyTheRemainingRecordsPrinted)
{
    EnsureWidgetApp();
    RegisterPanes();
    CTestHome home;
    {
        ASSERT_TRUE(WriteLabelStockLibrary(home));
    }
    CMessageResponder messages;
    QTemporaryDir data;
    const QString database = data.filePath("prices.db");
    WritePriceList(database);
    const QString pdf = home.FilePath("labels.pdf");

    CAppContext context;
    CSignApp app;
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    ASSERT_TRUE(app.InitInstance({"tabrel"}));
    auto* frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));

    // The price list, linked as the connection wizard leaves it. Records
    // are picked by their key: a table without one is refused.
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeAccess);
    ASSERT_TRUE(link.Connect(database, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("Loose"));
    frame->UpdateActionsNow();
    messages.Clear();
    frame->Action(ID_RECORD_FILTER)->trigger();
    EXPECT_EQ(messages.LastText(), "Advanced filtration is only available with a primary key.");
    ASSERT_TRUE(link.OpenTable("Prices"));
    link.m_keyField = "Id";
    auto* code = static_cast<CText*>(TheElementList().CreateElement("CText"));
    code->BeginCreate(nullptr, 20, 20);
    code->SetDataSource(SOURCE_DATABASE, "Code");
    auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
    name->BeginCreate(nullptr, 20, 120);
    name->SetDataSource(SOURCE_DATABASE, "Name");

    // Database > Filter: one department on the statement page, two of its
    // records taken out on the grid page, and the result saved by name.
    frame->UpdateActionsNow();
    QAction* filter = frame->Action(ID_RECORD_FILTER);
    ASSERT_TRUE(filter->isEnabled());
    QString saved;
    CAnswer<CFilterSheet> answer([&saved](CFilterSheet* sheet) {
        sheet->Tabs()->setCurrentIndex(1);
        auto* fields = Child<QListWidget>(sheet, CFilterSheet::IDC_FIELDS);
        const QListWidgetItem* dept = fields->findItems("Dept", Qt::MatchExactly).front();
        QTest::mouseClick(fields->viewport(), Qt::LeftButton, Qt::NoModifier,
                          fields->visualItemRect(dept).center());
        QTest::mouseClick(sheet->findChild<QPushButton*>(
                              QStringLiteral("token%1").arg(CFilterSheet::Tokens().indexOf("="))),
                          Qt::LeftButton);
        auto* value = Child<QLineEdit>(sheet, CFilterSheet::IDC_VALUE);
        QTest::keyClicks(value, "Dept 07");
        QTest::keyClick(value, Qt::Key_Return);
        QTest::mouseClick(Child<QPushButton>(sheet, CFilterSheet::IDC_APPLY), Qt::LeftButton);

        sheet->Tabs()->setCurrentIndex(0);
        auto* grid = Child<QTableView>(sheet, CFilterSheet::IDC_GRID);
        EXPECT_EQ(grid->model()->rowCount(), 20);
        for (const int row : {0, 5}) {
            const QModelIndex index = grid->model()->index(row, 1);
            grid->scrollTo(index);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton,
                              row == 0 ? Qt::NoModifier : Qt::ControlModifier,
                              grid->visualRect(index).center());
        }
        QTest::mouseClick(Child<QPushButton>(sheet, CFilterSheet::IDC_EXCLUDING_SELECTION),
                          Qt::LeftButton);
        EXPECT_EQ(grid->model()->rowCount(), 18);

        sheet->Tabs()->setCurrentIndex(1);
        auto* list = Child<QComboBox>(sheet, CFilterSheet::IDC_FILTER_LIST);
        QTest::keyClicks(list->lineEdit(), "Dept 07 without two");
        QTest::mouseClick(Child<QPushButton>(sheet, CFilterSheet::IDC_FILTER_ADD), Qt::LeftButton);
        saved = Child<QPlainTextEdit>(sheet, CFilterSheet::IDC_STATEMENT)->toPlainText();
        QTest::mouseClick(sheet->findChild<QPushButton*>("idClose"), Qt::LeftButton);
    });
    filter->trigger();
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(saved.toStdString(), "SELECT * FROM [Prices] WHERE [Dept] = 'Dept 07' AND [Id] <> 7 "
                                   "AND [Id] <> 257 ORDER BY [Id] ASC");
    EXPECT_EQ(TheFilterList().Find("Dept 07 without two"), saved);
    EXPECT_EQ(link.GetRecordCount(), 18);

    // The print station, Print All to a file. Where the data-entry pane
    // offers the saved filters, the saved one is chosen there.
    FrameHooks().chooseFile = [&pdf](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    if (auto* filters = frame->findChild<QComboBox*>("id1348")) {
        const int at = filters->findText("Dept 07 without two");
        ASSERT_GE(at, 0);
        filters->setCurrentIndex(at);
        emit filters->activated(at);
        EXPECT_EQ(link.GetRecordCount(), 18);
        // The navigator's Filter button opens the same sheet on those
        // records.
        CAnswer<CFilterSheet> again([](CFilterSheet* sheet) {
            EXPECT_EQ(Child<QTableView>(sheet, CFilterSheet::IDC_GRID)->model()->rowCount(), 18);
            QTest::mouseClick(sheet->findChild<QPushButton*>("idClose"), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>(frame, 32773), Qt::LeftButton);
        EXPECT_TRUE(again.Answered());
    }
    EXPECT_EQ(link.GetRecordCount(), 18);
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    ASSERT_NO_FATAL_FAILURE(ChooseFileDestination(batch));
    PrintAllAnsweringYes(frame, messages);
    ASSERT_GE(messages.Count(), 1);
    EXPECT_EQ(messages.Messages().front().text, "Print 18 signs ?");
    EjectAndReturn(batch);
    FrameHooks().chooseFile = nullptr;

    // The labels read back: the department's twenty codes but the two.
    ASSERT_EQ(PdfPageCount(pdf), 1);
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    std::multiset<QString> printed;
    const QRegularExpression codes(QStringLiteral("P\\d{4}"));
    for (auto it = codes.globalMatch(text); it.hasNext();)
        printed.insert(it.next().captured());
    std::multiset<QString> expected;
    for (int i = 7; i <= 1000; i += 50) {
        if (i != 7 && i != 257)
            expected.insert(Code(i));
    }
    EXPECT_EQ(printed.size(), 18u);
    EXPECT_TRUE(printed == expected);

    // The saved filter outlives the session in the program's filter file.
    frame->Document().SetModifiedFlag(false);
    app.ExitInstance();
    CAppContext next;
    EXPECT_TRUE(LoadFilterFile());
    EXPECT_EQ(TheFilterList().Find("Dept 07 without two"), saved);
}

} // namespace
