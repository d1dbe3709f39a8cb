// The Database menu of the designer's real main frame: Connect, Change
// Database and Disconnect through the connection wizard (a cancelled wizard
// leaves the link and the elements' links to its fields as they were), the
// Data Entry Order dialog, whose order reaches the data-entry pane, and the
// Data Tree.
#include "AppContext.h"
#include "ConnectionWizard.h"
#include "DataCtrl.h"
#include "DataEntryOrderDlg.h"
#include "ListCtrlEx.h"
#include "PictureButton.h"
#include "DataSourceMap.h"
#include "DataTreeDlg.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "NodeIcons.h"
#include "OptionList.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"
#include "RecordNavigator.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

template <class W> W* Control(QWidget* parent, const QString& name)
{
    return parent ? parent->findChild<W*>(name) : nullptr;
}
template <class W> W* Control(QWidget* parent, int id)
{
    return Control<W>(parent, QStringLiteral("id%1").arg(id));
}

class DatabaseMenuTest : public ::testing::Test
{
protected:
    DatabaseMenuTest()
    {
        EnsureWidgetApp();
        RegisterPanes();
        prices = WriteCsv("prices.csv", "Name,Code,Price\r\nWidget,TAB1,2.50\r\nGadget,TAB2,7\r\n");
        again = WriteCsv("again.csv", "Name,Code,Price\r\nSprocket,TAB9,1.25\r\n");
        other = WriteCsv("other.csv", "Title,Amount\r\nBolt,3\r\n");
    }
    ~DatabaseMenuTest() override
    {
        FrameHooks().chooseFile = nullptr;
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }
    QString WriteCsv(const QString& name, const QByteArray& bytes)
    {
        const QString path = home.FilePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    bool Start()
    {
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (!frame)
            return false;
        frame->resize(1200, 860);
        frame->show();
        return true;
    }
    CText* Text(const QString& name, int kind, const QString& source, int index = 0)
    {
        auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
        text->BeginCreate(nullptr, 20, 20 + 40 * TheElementList().GetCount());
        text->m_name = name;
        text->m_prompt = name;
        text->m_maxLines = 1;
        text->m_dataEntryIndex = index;
        text->SetDataSource(kind, source);
        TheDataSourceMap().Rebuild();
        return text;
    }
    bool Enabled(int id)
    {
        frame->UpdateActionsNow();
        return frame->Action(id)->isEnabled();
    }

    // Runs the command from the menu; the wizard it opens links the file
    // (finish) or is cancelled on its text page.
    void RunWizard(int command, const QString& file, bool finish)
    {
        FrameHooks().chooseFile = [file](QWidget*, const CFileChoice&) { return file; };
        CAnswer<CConnectionWizard> answer([finish](CConnectionWizard* wizard) {
            const auto next = [wizard](QWizard::WizardButton which) {
                QTest::mouseClick(wizard->button(which), Qt::LeftButton);
            };
            const auto on = [wizard](const char* name) {
                return wizard->currentPage()->findChild<QWidget*>(QString::fromLatin1(name));
            };
            qobject_cast<QListWidget*>(on("id1089"))->setCurrentRow(kDatabaseTypeText);
            next(QWizard::NextButton);
            QTest::mouseClick(qobject_cast<QPushButton*>(on("idBrowse")), Qt::LeftButton);
            next(QWizard::NextButton);
            if (wizard->currentId() != CConnectionWizard::kTextPage) {
                wizard->reject();
                return;
            }
            if (!finish) {
                next(QWizard::CancelButton);
                return;
            }
            qobject_cast<QCheckBox*>(on("id1098"))->setChecked(true);
            next(QWizard::NextButton);
            next(QWizard::FinishButton);
            if (wizard->isVisible())
                wizard->reject();
        });
        ASSERT_TRUE(Enabled(command));
        frame->Action(command)->trigger();
        EXPECT_TRUE(answer.Answered());
    }

    CTestHome home;
    CMessageResponder messages;
    CAppContext context;
    CSignApp app;
    CMainFrame* frame = nullptr;
    QString prices, again, other;
};

TEST_F(DatabaseMenuTest, ConnectChangeAndDisconnectThroughTheWizard)
{
    ASSERT_TRUE(Start());
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_TRUE(Enabled(ID_DATABASE_CONNECT));
    EXPECT_FALSE(Enabled(ID_DATABASE_CHANGE));
    EXPECT_FALSE(Enabled(ID_DATABASE_DISCONNECT));

    // Connect links the sign to the price list.
    frame->Document().SetModifiedFlag(false);
    RunWizard(ID_DATABASE_CONNECT, prices, true);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    ASSERT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(link.m_dataSource, prices);
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_TRUE(Enabled(ID_DATABASE_CHANGE));
    EXPECT_TRUE(Enabled(ID_DATABASE_DISCONNECT));
    CText* name = Text("Name", SOURCE_DATABASE, "Name");

    // Connect again, agreed to and then cancelled: the link and the
    // element's field stay as they were.
    messages.Clear();
    messages.QueueAnswer(IDYES);
    RunWizard(ID_DATABASE_CONNECT, other, false);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().startsWith("Only one database connection per sign"));
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(link.m_dataSource, prices);
    EXPECT_EQ(name->m_dataSource, SOURCE_DATABASE);
    EXPECT_EQ(link.OpenRecordset(), 2);

    // Change Database, cancelled: nothing breaks.
    messages.Clear();
    messages.QueueAnswer(IDYES);
    RunWizard(ID_DATABASE_CHANGE, other, false);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(link.m_dataSource, prices);
    EXPECT_EQ(name->m_dataSource, SOURCE_DATABASE);

    // Change Database to one of the same structure: the links hold.
    messages.Clear();
    messages.QueueAnswer(IDYES);
    RunWizard(ID_DATABASE_CHANGE, again, true);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.LastText(), "The database link has been successfully changed.");
    EXPECT_EQ(link.m_dataSource, again);
    EXPECT_EQ(name->m_dataSource, SOURCE_DATABASE);

    // ... and to one without the field: that link is broken, and said so.
    messages.Clear();
    messages.QueueAnswer(IDYES);
    RunWizard(ID_DATABASE_CHANGE, other, true);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_TRUE(messages.LastText().contains("some links between sign elements and database "
                                             "fields have been broken"))
        << messages.LastText().toStdString();
    EXPECT_EQ(link.m_dataSource, other);
    EXPECT_EQ(name->m_dataSource, SOURCE_KEYBOARD);

    // Disconnect asks while an element takes a field: No keeps everything.
    CText* title = Text("Title", SOURCE_DATABASE, "Title");
    messages.Clear();
    messages.QueueAnswer(IDNO);
    ASSERT_TRUE(Enabled(ID_DATABASE_DISCONNECT));
    frame->Action(ID_DATABASE_DISCONNECT)->trigger();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().startsWith("Disconnecting from the database will break"));
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(title->m_dataSource, SOURCE_DATABASE);
    messages.QueueAnswer(IDYES);
    frame->Action(ID_DATABASE_DISCONNECT)->trigger();
    EXPECT_EQ(link.GetLinkKind(), -1);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(title->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_TRUE(Enabled(ID_DATABASE_CONNECT));
    EXPECT_FALSE(Enabled(ID_DATABASE_CHANGE));
    EXPECT_FALSE(Enabled(ID_DATABASE_DISCONNECT));
}

// An element and a variable of the same name keep their own places, and
// the data-entry pane asks in the new order.
TEST_F(DatabaseMenuTest, DataEntryOrderMovesEachEntryByItsOwner)
{
    ASSERT_TRUE(Start());
    auto* list = new COptionList;
    list->m_name = "Code";
    list->m_prompt = "Code list";
    list->m_options = QStringList{"A", "B"};
    TheVariableList().AddVariable(list);
    CText* code = Text("Code", SOURCE_KEYBOARD, QString());
    Text("Size", SOURCE_OPTION_LIST, "Code");
    CText* price = Text("Price", SOURCE_KEYBOARD, QString(), 1);
    ASSERT_EQ(TheDataSourceMap().GetDependentCount(list), 1);

    const auto names = [](CDataEntryOrderDlg* dlg) {
        QStringList texts;
        for (const auto& entry : dlg->Entries())
            texts << entry.name + "/" + entry.prompt;
        return texts;
    };
    // Cancel changes nothing, whatever was moved.
    CAnswer<CDataEntryOrderDlg> cancelled([&](CDataEntryOrderDlg* dlg) {
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_BOTTOM)->click();
        dlg->reject();
    });
    ASSERT_TRUE(Enabled(ID_DATA_ENTRY_ORDER));
    frame->Action(ID_DATA_ENTRY_ORDER)->trigger();
    ASSERT_TRUE(cancelled.Answered());
    EXPECT_EQ(code->m_dataEntryIndex, 0);
    EXPECT_EQ(list->m_dataEntryIndex, 0);

    // Each entry shows the icon of its kind: the text and the option list
    // of one name are told apart at a glance.
    const auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    CAnswer<CDataEntryOrderDlg> moved([&](CDataEntryOrderDlg* dlg) {
        EXPECT_EQ(names(dlg), (QStringList{"Code/Code", "Code/Code list", "Price/Price"}));
        auto* items = Control<CListCtrlEx>(dlg, CDataEntryOrderDlg::IDC_LIST);
        ASSERT_NE(items, nullptr);
        EXPECT_EQ(items->horizontalHeaderItem(0)->text(), "Name");
        EXPECT_EQ(items->horizontalHeaderItem(1)->text(), "Prompt");
        EXPECT_EQ(items->CellText(1, 1), "Code list");
        const int kinds[] = {TYPE_TEXT, VARIABLE_OPTION_LIST, TYPE_TEXT};
        for (int i = 0; i < 3; ++i) {
            const QIcon icon = items->item(i, 0)->icon();
            ASSERT_FALSE(icon.isNull()) << i;
            EXPECT_EQ(image(icon), image(NodeKindIcon(kinds[i]))) << i;
        }
        EXPECT_NE(image(NodeKindIcon(TYPE_TEXT)), image(NodeKindIcon(VARIABLE_OPTION_LIST)));
        // The four moves are picture buttons, each with a picture of its own.
        QList<QImage> pictures;
        for (int id : {CDataEntryOrderDlg::IDC_TOP, CDataEntryOrderDlg::IDC_UP,
                       CDataEntryOrderDlg::IDC_DOWN, CDataEntryOrderDlg::IDC_BOTTOM}) {
            auto* button = Control<CPictureButton>(dlg, id);
            ASSERT_NE(button, nullptr) << id;
            ASSERT_TRUE(button->HasIcon()) << id;
            EXPECT_FALSE(button->IsFlat()) << id;
            const QImage picture = image(button->CurrentIcon());
            EXPECT_FALSE(pictures.contains(picture)) << id;
            pictures << picture;
        }
        EXPECT_EQ(dlg->Selected(), 0);
        // A click below the last row leaves the first entry selected.
        QTest::mouseClick(items->viewport(), Qt::LeftButton, {},
                          QPoint(5, items->viewport()->height() - 3));
        EXPECT_EQ(dlg->Selected(), 0);
        ASSERT_EQ(items->selectedItems().size(), 2);
        EXPECT_EQ(items->selectedItems().front()->row(), 0);
        // Up on the first and down on the last change nothing.
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_UP)->click();
        EXPECT_EQ(names(dlg)[0], "Code/Code");
        dlg->Select(2);
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_DOWN)->click();
        EXPECT_EQ(names(dlg)[2], "Price/Price");
        // Price to the top, then the list's entry to the bottom.
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_TOP)->click();
        EXPECT_EQ(names(dlg), (QStringList{"Price/Price", "Code/Code", "Code/Code list"}));
        dlg->Select(2);
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_UP)->click();
        Control<QPushButton>(dlg, CDataEntryOrderDlg::IDC_BOTTOM)->click();
        EXPECT_EQ(names(dlg), (QStringList{"Price/Price", "Code/Code", "Code/Code list"}));
        EXPECT_EQ(dlg->Selected(), 2);
        Control<QPushButton>(dlg, 1)->click();
    });
    frame->Document().SetModifiedFlag(false);
    frame->Action(ID_DATA_ENTRY_ORDER)->trigger();
    ASSERT_TRUE(moved.Answered());
    EXPECT_EQ(price->m_dataEntryIndex, 0);
    EXPECT_EQ(code->m_dataEntryIndex, 1);
    EXPECT_EQ(list->m_dataEntryIndex, 2);
    EXPECT_TRUE(frame->Document().IsModified());

    // The pane asks in that order.
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CDataView* view = CPrintCommands::Of(frame)->DataView();
    ASSERT_NE(view, nullptr);
    QStringList prompts;
    for (int i = 0; i < view->Panel()->RowCount(); ++i)
        prompts << Control<QLabel>(view->Panel(), 1000 + i)->text();
    EXPECT_EQ(prompts, (QStringList{"Price", "Code", "Code list"}));
    frame->ExecuteCommand(ID_DATA_CANCEL);
}

TEST_F(DatabaseMenuTest, DataTreeShowsWhatFeedsWhat)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Enabled(ID_DATA_TREE));
    Text("Title", SOURCE_KEYBOARD, QString());
    Text("Copy", SOURCE_ELEMENT, "Title");
    Text("Again", SOURCE_ELEMENT, "Copy");
    Text("Alone", SOURCE_KEYBOARD, QString());
    ASSERT_TRUE(Enabled(ID_DATA_TREE));
    QStringList shown;
    CAnswer<CDataTreeDlg> tree([&](CDataTreeDlg* dlg) {
        QTreeWidget* widget = dlg->Tree();
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
            EXPECT_TRUE(item->childCount() == 0 || item->isExpanded())
                << item->text(0).toStdString();
            shown << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
            EXPECT_EQ(item->icon(0).pixmap(16, 16).toImage(),
                      NodeKindIcon(TYPE_TEXT).pixmap(16, 16).toImage())
                << item->text(0).toStdString();
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), depth + 1);
        };
        for (int i = 0; i < widget->topLevelItemCount(); ++i)
            walk(widget->topLevelItem(i), 0);
        Control<QPushButton>(dlg, 1)->click();
    });
    frame->Action(ID_DATA_TREE)->trigger();
    ASSERT_TRUE(tree.Answered());
    EXPECT_EQ(shown, (QStringList{"Alone", "Title", "  Copy", "    Again"}));
}

// A new user's price labels: the sign is linked to a price list in a CSV
// file through the wizard from the Database menu, the records are stepped
// through in the navigator, the offer that the list lacks is typed in the
// data-entry pane, and Print All prints one label per record.
TEST_F(DatabaseMenuTest, PriceListLinkedSteppedTypedAndPrinted)
{
    const QString list = WriteCsv("pricelist.csv", "Name,Price\r\nApples,1.25\r\nFigs,0.95\r\n"
                                                   "Grapes,2.15\r\nPears,3.45\r\nPlums,4.75\r\n");
    const char stocks[] =
        "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
        "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
        "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n"
        "Labels,Labels 3x8,2100,2970,0,129,72,0,20,635,3,6600,339,8,3390\r\n";
    QFile stockFile(home.FilePath("Stock.zel"));
    ASSERT_TRUE(stockFile.open(QIODevice::WriteOnly));
    stockFile.write(stocks);
    stockFile.close();
    ASSERT_TRUE(Start());
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));

    RunWizard(ID_DATABASE_CONNECT, list, true);
    CDatabaseLink& link = TheDatabaseLink();
    ASSERT_EQ(link.GetLinkKind(), 0) << messages.LastText().toStdString();
    Text("Name", SOURCE_DATABASE, "Name");
    Text("Price", SOURCE_DATABASE, "Price");
    CText* offer = Text("Offer", SOURCE_KEYBOARD, QString(), 1);
    offer->m_prompt = "Offer text";
    offer->m_useSampleData = 0;

    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CDataView* view = CPrintCommands::Of(frame)->DataView();
    ASSERT_NE(view, nullptr);
    auto* navigator = qobject_cast<CRecordNavigator*>(view->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    auto* nameRow = Control<QLineEdit>(view->Panel(), 2000);
    ASSERT_NE(nameRow, nullptr);
    EXPECT_EQ(nameRow->text(), "Apples");
    // Stepping through the records: the rows follow.
    Control<QAbstractButton>(navigator, CRecordNavigator::IDC_NEXT)->click();
    EXPECT_EQ(link.GetPosition(), 2);
    EXPECT_EQ(nameRow->text(), "Figs");
    EXPECT_EQ(Control<QLineEdit>(view->Panel(), 2001)->text(), "0.95");
    Control<QAbstractButton>(navigator, CRecordNavigator::IDC_LAST)->click();
    EXPECT_EQ(nameRow->text(), "Plums");
    Control<QAbstractButton>(navigator, CRecordNavigator::IDC_FIRST)->click();
    EXPECT_EQ(nameRow->text(), "Apples");

    // The offer, typed.
    auto* offerRow = Control<QLineEdit>(view->Panel(), 2002);
    ASSERT_NE(offerRow, nullptr);
    offerRow->setFocus();
    QTest::keyClicks(offerRow, "Half price");
    EXPECT_EQ(offer->GetText(), "Half price");

    if (qEnvironmentVariableIsSet("TABREL_SHOTS")) {
        QApplication::processEvents();
        frame->grab().save(QDir(qEnvironmentVariable("TABREL_SHOTS"))
                               .filePath("data-entry-pane-beside-label.png"));
    }

    // Print All to a file, read back label by label.
    const QString pdf = home.FilePath("prices.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    CPrintBatchDlg* batch = CPrintCommands::Of(frame)->BatchDialog();
    Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION)->setCurrentIndex(1);
    ASSERT_EQ(batch->Destination(), 1);
    messages.Clear();
    messages.SetDefaultAnswer(IDYES);
    frame->UpdateActionsNow();
    frame->Action(ID_RECORD_PRINT_ALL)->trigger();
    ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
    EXPECT_EQ(messages.LastText(), "Print 5 signs ?");
    EXPECT_EQ(ThePrinter().m_labelPosition, 5);
    auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    back->click();
    back->click();
    EXPECT_FALSE(CPrintCommands::Of(frame)->IsStationOpen());

    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QStringList expected{"Apples1.25Halfprice", "Figs0.95Halfprice",  "Grapes2.15Halfprice",
                               "Pears3.45Halfprice",  "Plums4.75Halfprice", ""};
    for (int cell = 0; cell < expected.size(); ++cell)
        EXPECT_EQ(CellText(pdf, 1, cell), expected[cell]) << cell;
}

} // namespace
