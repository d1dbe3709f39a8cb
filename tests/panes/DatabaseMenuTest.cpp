// The Database menu of the designer's real main frame: Connect, Change
// Database and Disconnect through the connection wizard (a cancelled wizard
// leaves the link and the elements' links to its fields as they were), the
// Data Entry Order dialog, whose order reaches the data-entry pane, and the
// Data Tree.
#include "AppContext.h"
#include "ConnectionWizard.h"
#include "DataCtrl.h"
#include "DataEntryOrderDlg.h"
#include "DataSourceMap.h"
#include "DataTreeDlg.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "PaneParts.h"
#include "PrintCommands.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
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

    CAnswer<CDataEntryOrderDlg> moved([&](CDataEntryOrderDlg* dlg) {
        EXPECT_EQ(names(dlg), (QStringList{"Code/Code", "Code/Code list", "Price/Price"}));
        EXPECT_EQ(dlg->Selected(), 0);
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

} // namespace
