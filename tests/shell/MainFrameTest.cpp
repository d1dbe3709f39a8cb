#include "MainFrame.h"

#include "AppContext.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "NullView.h"
#include "ProfileSession.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "UndoHistory.h"
#include "ZipCommands.h"
#include "ui/MissingFileDlg.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>
#include <set>

// Readable values in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Receives the addresses the desktop would open, so that no browser starts.
class CUrlCatcher : public QObject
{
    Q_OBJECT

public:
    CUrlCatcher()
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~CUrlCatcher() override
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList opened;

public slots:
    void Open(const QUrl& url) { opened << url.toString(); }

private:
    static constexpr const char* kSchemes[] = {"http", "https", "mailto", "file", "javascript"};
};

// An element of any type code, copied for the undo history like a real one.
class CTestElement : public CElement
{
public:
    explicit CTestElement(int typeCode) : m_typeCode(typeCode) {}
    int GetTypeCode() const override { return m_typeCode; }

private:
    int m_typeCode;
};

CElement* CopyTestElement(const CElement& element)
{
    if (auto* test = dynamic_cast<const CTestElement*>(&element))
        return new CTestElement(*test);
    return nullptr;
}

// A command target that carries out the commands it is given.
class CTestTarget : public CCommandTarget
{
public:
    std::set<int> handled;
    std::vector<int> executed;

    bool HandlesCommand(int id) const override { return handled.count(id) != 0; }
    bool OnCommand(int id) override
    {
        executed.push_back(id);
        return true;
    }
};

// A canvas that also tells the selection and the tool mode.
class CTestCanvas : public QWidget, public CTestTarget
{
public:
    int selectedCount = 0;
    int toolMode = 0;

    void FillCommandState(CCommandState& state) const override
    {
        state.selectedCount = selectedCount;
        state.toolMode = toolMode;
    }
};

class MainFrameTest : public ::testing::Test
{
protected:
    MainFrameTest()
    {
        EnsureWidgetApp();
        for (int type = TYPE_LINE; type <= TYPE_ARC_TEXT; ++type)
            RegisterElementCopy(type, CopyTestElement);
        FrameHooks() = CFrameHooks();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice& choice) {
            choices.push_back(choice);
            return chosenPath;
        };
        frame = std::make_unique<CMainFrame>();
    }
    ~MainFrameTest() override
    {
        frame.reset();
        FrameHooks() = CFrameHooks();
        for (int type = TYPE_LINE; type <= TYPE_ARC_TEXT; ++type)
            CMainFrame::RegisterPaneCreator(type, nullptr);
    }

    CElement* AddElement(int typeCode)
    {
        auto* element = new CTestElement(typeCode);
        TheElementList().AddTail(element);
        return element;
    }

    // A sign written to the test's folder.
    QString WriteSign(const QString& name)
    {
        const QString path = home.FilePath(name);
        CSignData sign;
        sign.m_title = QStringLiteral("Sample");
        EXPECT_TRUE(sign.OnSaveDocument(path));
        return path;
    }

    CTestCanvas* InstallCanvas()
    {
        auto* canvas = new CTestCanvas;
        frame->SetCanvas(canvas);
        return canvas;
    }

    QString Title(const QString& name) const
    {
        return name + QStringLiteral(" - ") + CSignApp::GetProgramTitle();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    QString chosenPath;
    std::vector<CFileChoice> choices;
    CUrlCatcher urls;
    QStringList& openedAddresses = urls.opened;
    std::unique_ptr<CMainFrame> frame;
};

// --- commands -------------------------------------------------------------

TEST_F(MainFrameTest, EveryCommandHasItsNamedAction)
{
    std::set<int> ids;
    std::set<QString> shortcuts;
    for (const CCommandInfo& info : AllCommands()) {
        SCOPED_TRACE(info.id);
        EXPECT_TRUE(ids.insert(info.id).second) << "listed twice";
        if (info.shortcut) {
            EXPECT_TRUE(shortcuts.insert(QString::fromLatin1(info.shortcut)).second)
                << "shortcut taken twice: " << info.shortcut;
        }
        auto* action = frame->findChild<QAction*>(QStringLiteral("cmd_%1").arg(info.id));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action, frame->Action(info.id));
        EXPECT_FALSE(QString::fromUtf8(info.prompt).isEmpty());
        if (info.icon) {
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/%1.png").arg(info.icon)));
            EXPECT_FALSE(action->icon().isNull());
        }
    }
}

TEST_F(MainFrameTest, MenusAndToolbarsNameOnlyKnownCommands)
{
    std::set<int> seen;
    for (const CMenuEntry& entry : MenuLayout()) {
        if (entry.id != 0) {
            EXPECT_NE(FindCommand(entry.id), nullptr) << entry.id;
            EXPECT_TRUE(seen.insert(entry.id).second) << "twice in the menus: " << entry.id;
        }
    }
    for (const auto* buttons : {&MainToolBarButtons(), &DataEntryToolBarButtons(),
                                &DrawToolBarButtons(), &LayoutToolBarButtons()}) {
        for (int id : *buttons) {
            if (id != 0) {
                ASSERT_NE(FindCommand(id), nullptr) << id;
                EXPECT_NE(FindCommand(id)->icon, nullptr) << "a button without a picture: " << id;
            }
        }
    }
    // Every toolbar button is also in a menu, except the tools and modes that
    // only the toolbars offer.
    const std::set<int> toolbarOnly = {ID_TOOL_SELECT, ID_HELP, ID_PREVIEW_SINGLE, ID_PREVIEW_SHEET,
                                       ID_SWITCH_DOCKING};
    for (int id : MainToolBarButtons()) {
        if (id != 0 && !toolbarOnly.count(id)) {
            EXPECT_TRUE(seen.count(id)) << "only on a toolbar: " << id;
        }
    }
}

TEST_F(MainFrameTest, EnableRulesFollowTheState)
{
    struct Case
    {
        int id;
        void (*set)(CCommandState&);
        bool enabled;
    };
    // clang-format off
    const Case cases[] = {
        {ID_EDIT_UNDO, [](CCommandState&) {}, false},
        {ID_EDIT_UNDO, [](CCommandState& s) { s.canUndo = true; }, true},
        {ID_EDIT_REDO, [](CCommandState& s) { s.canUndo = true; }, false},
        {ID_EDIT_REDO, [](CCommandState& s) { s.canRedo = true; }, true},
        {ID_EDIT_COPY, [](CCommandState&) {}, false},
        {ID_EDIT_COPY, [](CCommandState& s) { s.selectedCount = 1; }, true},
        {ID_EDIT_PASTE, [](CCommandState& s) { s.selectedCount = 3; }, false},
        {ID_EDIT_PASTE, [](CCommandState& s) { s.clipboardHasElements = true; }, true},
        {ID_EDIT_ROTATE, [](CCommandState& s) { s.selectedCount = 1; s.primaryType = TYPE_BOX; }, true},
        {ID_EDIT_ROTATE, [](CCommandState& s) { s.selectedCount = 2; s.primaryType = TYPE_OLE; }, false},
        {ID_OBJECT_EDIT, [](CCommandState& s) { s.selectedCount = 1; s.primaryType = TYPE_OLE; }, true},
        {ID_OBJECT_EDIT, [](CCommandState& s) { s.selectedCount = 1; s.primaryType = TYPE_TEXT; }, false},
        {ID_CENTRE_HORIZONTAL, [](CCommandState& s) { s.selectedCount = 1; }, true},
        {ID_ALIGN_LEFT, [](CCommandState& s) { s.selectedCount = 1; }, false},
        {ID_ALIGN_LEFT, [](CCommandState& s) { s.selectedCount = 2; }, true},
        {ID_SAME_COLOURS, [](CCommandState& s) { s.selectedCount = 2; }, true},
        {ID_SPACE_VERTICAL, [](CCommandState& s) { s.selectedCount = 2; }, false},
        {ID_SPACE_VERTICAL, [](CCommandState& s) { s.selectedCount = 3; }, true},
        {ID_PAPER_SELECT, [](CCommandState& s) { s.stockCount = 1; }, false},
        {ID_PAPER_SELECT, [](CCommandState& s) { s.stockCount = 2; }, true},
        {ID_PAPER_EDIT, [](CCommandState& s) { s.stockBuiltIn = true; }, false},
        {ID_PAPER_EDIT, [](CCommandState& s) { s.stockBuiltIn = false; }, true},
        {ID_PRICE_FORMAT_EDIT, [](CCommandState& s) { s.priceFormatCount = 1; }, false},
        {ID_PRICE_FORMAT_DELETE, [](CCommandState& s) { s.priceFormatCount = 2; }, true},
        {ID_DATABASE_CONNECT, [](CCommandState& s) { s.databaseEngine = true; s.linkKind = 1; }, false},
        {ID_DATABASE_CONNECT, [](CCommandState& s) { s.databaseEngine = true; s.linkKind = 0; }, true},
        {ID_DATABASE_CONNECT, [](CCommandState& s) { s.linkKind = -1; }, false},
        {ID_DATABASE_DISCONNECT, [](CCommandState& s) { s.databaseEngine = true; }, false},
        {ID_DATABASE_DISCONNECT, [](CCommandState& s) { s.databaseEngine = true; s.linkKind = 1; }, true},
        {ID_DATABASE_CHANGE, [](CCommandState& s) { s.databaseEngine = true; s.linkKind = 1; }, false},
        {ID_DATA_STORE_CREATE, [](CCommandState& s) { s.databaseEngine = true; s.hasDataEntrySources = true; }, true},
        {ID_DATA_STORE_CREATE, [](CCommandState& s) { s.databaseEngine = true; s.hasDataEntrySources = true; s.linkKind = 0; }, false},
        {ID_DATA_ENTRY_ORDER, [](CCommandState& s) { s.hasLinkedElements = true; }, true},
        {ID_DATA_TREE, [](CCommandState&) {}, false},
        {ID_PREVIEW_SHEET, [](CCommandState& s) { s.labelsPerPage = 1; }, false},
        {ID_PREVIEW_SHEET, [](CCommandState& s) { s.labelsPerPage = 2; }, true},
        {ID_LOG_OFF, [](CCommandState& s) { s.userTableConfigured = true; }, true},
        {ID_SPELLING, [](CCommandState&) {}, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        const CCommandInfo* info = FindCommand(c.id);
        ASSERT_NE(info, nullptr);
        ASSERT_NE(info->enabled, nullptr) << c.id;
        CCommandState state;
        c.set(state);
        EXPECT_EQ(info->enabled(state), c.enabled)
            << "command " << c.id << ", case " << (&c - cases);
    }
}

TEST_F(MainFrameTest, ToolButtonsAreCheckedInTheirModes)
{
    struct Case
    {
        int id;
        int mode;
        int elements;
        bool checked;
    };
    const Case cases[] = {
        {ID_TOOL_SELECT, 0, 1, true},    {ID_TOOL_SELECT, 0, 0, false}, // nothing to select
        {ID_TOOL_SELECT, 4, 1, false},   {ID_TOOL_MAGNIFIER, 1, 0, true},
        {ID_TOOL_LINE, 3, 0, true},      {ID_TOOL_BOX, 5, 0, true},
        {ID_TOOL_BOX, 6, 0, false},      {ID_TOOL_TEXT, 11, 0, true},
        {ID_TOOL_TEXT_BOX, 13, 0, true}, {ID_TOOL_PICTURE, 15, 0, true},
        {ID_TOOL_ARC_TEXT, 20, 0, true}, {ID_TOOL_TABLE, 22, 0, false},
    };
    for (const Case& c : cases) {
        CCommandState state;
        state.toolMode = c.mode;
        state.elementCount = c.elements;
        EXPECT_EQ(FindCommand(c.id)->checked(state), c.checked)
            << "command " << c.id << " in mode " << c.mode;
    }
}

TEST_F(MainFrameTest, UndoNeedsAHistoryAndSomebodyToCarryItOut)
{
    QAction* undo = frame->Action(ID_EDIT_UNDO);
    CElement* element = AddElement(TYPE_BOX);
    TheUndoHistory().Record(UNDO_CHANGED, element);
    frame->UpdateActionsNow();
    EXPECT_FALSE(undo->isEnabled()) << "no canvas takes Undo yet";

    CTestCanvas* canvas = InstallCanvas();
    canvas->handled = {ID_EDIT_UNDO, ID_EDIT_REDO};
    TheUndoHistory().Clear();
    frame->UpdateActionsNow();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(frame->ExecuteCommand(ID_EDIT_UNDO));

    TheUndoHistory().Record(UNDO_CHANGED, element);
    frame->updateActions();
    frame->updateActions();
    EXPECT_FALSE(undo->isEnabled()) << "the refresh waits for the event loop";
    QCoreApplication::processEvents();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(frame->Action(ID_EDIT_REDO)->isEnabled());

    undo->trigger();
    EXPECT_EQ(canvas->executed, std::vector<int>{ID_EDIT_UNDO});
}

TEST_F(MainFrameTest, CommandsGoToTheFirstTargetThatTakesThem)
{
    CTestCanvas* canvas = InstallCanvas();
    canvas->handled = {ID_TOOL_BOX, ID_FILE_NEW};
    CTestTarget later;
    later.handled = {ID_TOOL_BOX, ID_VIEW_FULL_SIZE};
    frame->AddCommandTarget(&later);
    // Import From Zip is nobody's once its link has left the chain.
    auto* zip = frame->findChild<CZipCommands*>();
    ASSERT_NE(zip, nullptr);
    frame->RemoveCommandTarget(zip);

    EXPECT_TRUE(frame->ExecuteCommand(ID_TOOL_BOX));
    EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_FULL_SIZE));
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_NEW));   // the frame's own
    EXPECT_FALSE(frame->ExecuteCommand(ID_IMPORT_ZIP)); // nobody's
    EXPECT_EQ(canvas->executed, std::vector<int>{ID_TOOL_BOX});
    EXPECT_EQ(later.executed, std::vector<int>{ID_VIEW_FULL_SIZE});

    frame->UpdateActionsNow();
    EXPECT_FALSE(frame->Action(ID_IMPORT_ZIP)->isEnabled());
    EXPECT_TRUE(frame->Action(ID_VIEW_FULL_SIZE)->isEnabled());
    canvas->toolMode = 4;
    frame->UpdateActionsNow();
    EXPECT_TRUE(frame->Action(ID_TOOL_BOX)->isChecked());
    frame->RemoveCommandTarget(&later);
    frame->UpdateActionsNow();
    EXPECT_FALSE(frame->Action(ID_VIEW_FULL_SIZE)->isEnabled());
}

TEST_F(MainFrameTest, ToolbarCommandsShowHideAndCheck)
{
    QToolBar* draw = frame->DrawToolBar();
    QAction* toggle = frame->Action(ID_VIEW_DRAW_TOOLBAR);
    frame->UpdateActionsNow();
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(draw->isHidden());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(draw->isHidden());
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(MainFrameTest, WebItemTakesTheBrandingTextAndAddress)
{
    QAction* web = frame->Action(ID_WEB_PAGE);
    frame->UpdateActionsNow();
    EXPECT_EQ(web->text(), QStringLiteral("Corvane &Home Page"));
    web->trigger();
    ASSERT_EQ(openedAddresses.size(), 1);
    EXPECT_FALSE(openedAddresses[0].isEmpty()) << "the built-in address";

    FrameHooks().webMenuText = QStringLiteral("&Reseller Site");
    FrameHooks().webAddress = QStringLiteral("https://reseller.example/ ");
    frame->UpdateActionsNow();
    EXPECT_EQ(web->text(), QStringLiteral("&Reseller Site"));
    web->trigger();
    EXPECT_EQ(openedAddresses.value(1), QStringLiteral("https://reseller.example/"));

    // A branding file is not trusted to start programs or open files.
    for (const char* address : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)"}) {
        FrameHooks().webAddress = QString::fromLatin1(address);
        web->trigger();
        EXPECT_EQ(openedAddresses.size(), 2) << address;
        EXPECT_TRUE(messages.LastText().contains("cannot be opened")) << address;
    }
}

// --- the property pane ------------------------------------------------------

TEST_F(MainFrameTest, PaneFollowsTheTypeCode)
{
    ASSERT_NE(frame->PropertyPane(), nullptr);
    EXPECT_EQ(frame->PropertyPane()->objectName(), QStringLiteral("id361")) << "at start";

    struct Case
    {
        int typeCode;
        int formId;
    };
    const Case cases[] = {{TYPE_LINE, 369},    {TYPE_BOX, 370},     {TYPE_ELLIPSE, 370},
                          {TYPE_TEXT, 371},    {TYPE_PRICE, 375},   {TYPE_PICTURE, 378},
                          {TYPE_BARCODE, 381}, {TYPE_OLE, 361},     {TYPE_SYMBOL, 387},
                          {TYPE_TABLE, 388},   {TYPE_ARC_TEXT, 389}};
    for (const Case& c : cases) {
        CElement* element = AddElement(c.typeCode);
        const int records = TheUndoHistory().GetCount();
        ASSERT_TRUE(frame->SwitchElementView(element)) << c.typeCode;
        EXPECT_EQ(frame->PaneFormId(), c.formId) << c.typeCode;
        EXPECT_EQ(frame->PropertyPane()->objectName(), QStringLiteral("id%1").arg(c.formId));
        EXPECT_EQ(frame->ShownElement(), element);
        // One "changed" snapshot of the element, also for an OLE object.
        ASSERT_EQ(TheUndoHistory().GetCount(), records + 1) << c.typeCode;
        EXPECT_EQ(TheUndoHistory().GetRecord(records).kind, UNDO_CHANGED);
        EXPECT_EQ(TheUndoHistory().GetRecord(records).identity, element->m_undoIdentity);
    }

    const int records = TheUndoHistory().GetCount();
    ASSERT_TRUE(frame->SwitchElementView(nullptr));
    EXPECT_EQ(frame->PropertyPane()->objectName(), QStringLiteral("id361"));
    EXPECT_EQ(frame->ShownElement(), nullptr);
    EXPECT_EQ(TheUndoHistory().GetCount(), records) << "no element, no snapshot";
}

TEST_F(MainFrameTest, SameElementAgainKeepsItsPaneAndGoesToTheFirstPage)
{
    CElement* text = AddElement(TYPE_TEXT);
    CMainFrame::RegisterPaneCreator(TYPE_TEXT, [](CElement*) {
        auto* pane = new QWidget;
        auto* tabs = new QTabWidget(pane);
        tabs->addTab(new QWidget, QStringLiteral("Text"));
        tabs->addTab(new QWidget, QStringLiteral("Font"));
        return pane;
    });
    ASSERT_TRUE(frame->SwitchElementView(text));
    QWidget* pane = frame->PropertyPane();
    auto* tabs = pane->findChild<QTabWidget*>();
    tabs->setCurrentIndex(1);
    const int records = TheUndoHistory().GetCount();

    ASSERT_TRUE(frame->SwitchElementView(text));
    EXPECT_EQ(frame->PropertyPane(), pane);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(TheUndoHistory().GetCount(), records);

    // Once the element has left the sign it is forgotten: the same pointer
    // (now another element) gets a new pane.
    TheElementList().Remove(text);
    ASSERT_TRUE(frame->SwitchElementView(text));
    EXPECT_NE(frame->PropertyPane(), pane);
    EXPECT_EQ(TheUndoHistory().GetCount(), records + 1);
    TheElementList().AddTail(text);
}

TEST_F(MainFrameTest, RegisteredPaneGetsTheElementAndAFailedOneLeavesNone)
{
    CElement* given = nullptr;
    CMainFrame::RegisterPaneCreator(TYPE_LINE, [&given](CElement* element) {
        given = element;
        return new QLabel(QStringLiteral("line pane"));
    });
    CMainFrame::RegisterPaneCreator(TYPE_BOX, [](CElement*) { return nullptr; });

    CElement* line = AddElement(TYPE_LINE);
    ASSERT_TRUE(frame->SwitchElementView(line));
    EXPECT_EQ(given, line);
    EXPECT_NE(qobject_cast<QLabel*>(frame->PropertyPane()), nullptr);

    EXPECT_FALSE(frame->SwitchElementView(AddElement(TYPE_BOX)));
    EXPECT_EQ(frame->PropertyPane(), nullptr);
    EXPECT_EQ(frame->ShownElement(), nullptr);
    EXPECT_TRUE(frame->SwitchElementView(nullptr));
    EXPECT_NE(frame->PropertyPane(), nullptr);
}

TEST_F(MainFrameTest, TallFormWidensTheColumnByAScrollBar)
{
    auto formOf = [](int height) {
        return [height](CElement*) {
            auto* form = new QWidget;
            form->setMinimumSize(230, height);
            return form;
        };
    };
    CMainFrame::RegisterPaneCreator(TYPE_LINE, formOf(100));
    CMainFrame::RegisterPaneCreator(TYPE_BOX, formOf(5000));
    frame->resize(1000, 700);
    frame->show();
    QCoreApplication::processEvents();
    auto* column = frame->findChild<QScrollArea*>(QStringLiteral("rightColumn"));
    ASSERT_NE(column, nullptr);

    ASSERT_TRUE(frame->SwitchElementView(AddElement(TYPE_LINE)));
    QCoreApplication::processEvents();
    const int shortWidth = column->width();
    ASSERT_TRUE(frame->SwitchElementView(AddElement(TYPE_BOX)));
    QCoreApplication::processEvents();
    EXPECT_EQ(shortWidth, 230);
    EXPECT_EQ(column->width() - shortWidth,
              frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, frame.get()) + 1);
}

// --- data entry -------------------------------------------------------------

TEST_F(MainFrameTest, DataEntryHidesTheBarsAndSwitchDockingMovesThePane)
{
    frame->DrawToolBar()->hide();
    frame->ShowDataView(true);
    EXPECT_TRUE(frame->IsDataEntryMode());
    EXPECT_TRUE(frame->MainToolBar()->isHidden());
    EXPECT_TRUE(frame->LayoutToolBar()->isHidden());
    EXPECT_FALSE(frame->DataEntryToolBar()->isHidden());
    QWidget* dataView = frame->DataView();
    ASSERT_NE(dataView, nullptr);
    EXPECT_EQ(frame->PropertyPane(), dataView) << "docked in the right column";
    frame->UpdateActionsNow();
    for (QAction* menu : frame->menuBar()->actions())
        EXPECT_FALSE(menu->isEnabled()) << menu->text().toStdString();
    EXPECT_FALSE(frame->ExecuteCommand(ID_FILE_NEW));
    EXPECT_TRUE(frame->Action(ID_SWITCH_DOCKING)->isEnabled());

    EXPECT_FALSE(frame->Document().IsModified());
    frame->Action(ID_SWITCH_DOCKING)->trigger();
    EXPECT_TRUE(frame->Document().IsModified()) << "the side is stored with the sign";
    EXPECT_EQ(TheSignSettings().dataViewDocking, 3);
    auto* lowerRow = frame->findChild<QScrollArea*>(QStringLiteral("lowerRow"));
    EXPECT_EQ(lowerRow->widget(), dataView);
    EXPECT_EQ(frame->PropertyPane()->objectName(), QStringLiteral("id365"));
    EXPECT_NE(qobject_cast<CNullView*>(frame->PropertyPane()), nullptr);

    frame->OnSwitchDocking();
    EXPECT_EQ(TheSignSettings().dataViewDocking, 2);
    EXPECT_EQ(frame->PropertyPane(), dataView);

    frame->ShowDataView(false);
    EXPECT_FALSE(frame->IsDataEntryMode());
    EXPECT_FALSE(frame->MainToolBar()->isHidden());
    EXPECT_TRUE(frame->DrawToolBar()->isHidden()) << "hidden before, hidden after";
    EXPECT_TRUE(frame->DataEntryToolBar()->isHidden());
    EXPECT_EQ(frame->PropertyPane()->objectName(), QStringLiteral("id361"));
    frame->UpdateActionsNow();
    EXPECT_TRUE(frame->menuBar()->actions().first()->isEnabled());
}

TEST_F(MainFrameTest, SignSavedAtTheLowerSideOpensDataEntryThere)
{
    TheSignSettings().dataViewDocking = 3;
    frame->ShowDataView(true);
    auto* lowerRow = frame->findChild<QScrollArea*>(QStringLiteral("lowerRow"));
    EXPECT_EQ(lowerRow->widget(), frame->DataView());
    EXPECT_NE(qobject_cast<CNullView*>(frame->PropertyPane()), nullptr);
    frame->ShowDataView(false);
    EXPECT_EQ(lowerRow->widget()->objectName(), QStringLiteral("id365"));
    EXPECT_NE(qobject_cast<CNullView*>(lowerRow->widget()), nullptr);
}

// --- the sign and its files ------------------------------------------------

TEST_F(MainFrameTest, OpeningASignSetsTheTitle)
{
    EXPECT_EQ(frame->windowTitle(), Title(QStringLiteral("Untitled")));
    const QString path = WriteSign(QStringLiteral("sale.sgn"));
    ASSERT_TRUE(frame->OpenSign(path));
    EXPECT_EQ(frame->windowTitle(), Title(QStringLiteral("sale")));
    EXPECT_EQ(frame->Document().GetPathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(frame->Document().m_title, QStringLiteral("Sample"));
    EXPECT_EQ(frame->RecentFiles().value(0), QFileInfo(path).absoluteFilePath());

    // A sign that cannot be read leaves a new one, after a message.
    EXPECT_FALSE(frame->OpenSign(home.FilePath(QStringLiteral("missing.sgn"))));
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(frame->windowTitle(), Title(QStringLiteral("Untitled")));
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());
}

TEST_F(MainFrameTest, DroppedSignIsOpened)
{
    const QString path = WriteSign(QStringLiteral("dropped.sgn"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(frame->Document().GetPathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(frame->windowTitle(), Title(QStringLiteral("dropped")));
}

TEST_F(MainFrameTest, ModifiedSignAsksBeforeItIsReplaced)
{
    const QString path = WriteSign(QStringLiteral("keep.sgn"));
    ASSERT_TRUE(frame->OpenSign(path));
    frame->Document().SetModifiedFlag(true);

    messages.QueueAnswer(IDCANCEL);
    frame->Action(ID_FILE_NEW)->trigger();
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(frame->Document().GetPathName(), QFileInfo(path).absoluteFilePath());

    messages.QueueAnswer(IDNO);
    frame->Action(ID_FILE_NEW)->trigger();
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());
    EXPECT_FALSE(frame->Document().IsModified());

    // Yes saves an untitled sign through Save As; cancelling that keeps it.
    frame->Document().SetModifiedFlag(true);
    messages.QueueAnswer(IDYES);
    chosenPath.clear();
    EXPECT_FALSE(frame->SaveModified());
    EXPECT_EQ(choices.size(), 1u);
    EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(MainFrameTest, SaveAsWritesTheChosenFileAndOpenReadsIt)
{
    frame->Document().m_title = QStringLiteral("Spring offer");
    chosenPath = home.FilePath(QStringLiteral("offer")); // no extension typed
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_TRUE(choices[0].save);
    const QString saved = home.FilePath(QStringLiteral("offer.sgn"));
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(frame->windowTitle(), Title(QStringLiteral("offer")));

    frame->Action(ID_FILE_NEW)->trigger();
    EXPECT_TRUE(frame->Document().m_title.isEmpty());
    chosenPath = saved;
    frame->Action(ID_FILE_OPEN)->trigger();
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_FALSE(choices[1].save);
    EXPECT_EQ(frame->Document().m_title, QStringLiteral("Spring offer"));

    // Save writes to the sign's own file without asking.
    frame->Document().m_title = QStringLiteral("Summer offer");
    frame->Action(ID_FILE_SAVE)->trigger();
    EXPECT_EQ(choices.size(), 2u);
    CSignData reread;
    ASSERT_TRUE(reread.OnOpenDocument(saved));
    EXPECT_EQ(reread.m_title, QStringLiteral("Summer offer"));
}

TEST_F(MainFrameTest, RecentFilesKeepFourNewestFirstAndLiveInTheProfile)
{
    QStringList paths;
    for (const char* name : {"a.sgn", "b.sgn", "c.sgn", "d.sgn", "e.sgn"})
        paths << QFileInfo(WriteSign(QString::fromLatin1(name))).absoluteFilePath();
    for (const QString& path : paths)
        ASSERT_TRUE(frame->OpenSign(path));
    ASSERT_TRUE(frame->OpenSign(paths[2])); // again: moves to the top
    const QStringList expected = {paths[2], paths[4], paths[3], paths[1]};
    EXPECT_EQ(frame->RecentFiles(), expected);
    EXPECT_TRUE(frame->Action(ID_FILE_MRU_FIRST + 1)->text().contains(QStringLiteral("e.sgn")));

    frame.reset();
    frame = std::make_unique<CMainFrame>();
    EXPECT_EQ(frame->RecentFiles(), expected);

    // A recent file that has gone is asked for; abandoned, it leaves the list.
    QFile::remove(paths[4]);
    frame->UpdateActionsNow();
    CAnswer<CMissingFileDlg> abandon([](CMissingFileDlg* box) { box->reject(); });
    frame->Action(ID_FILE_MRU_FIRST + 1)->trigger();
    EXPECT_TRUE(abandon.Answered());
    EXPECT_EQ(frame->RecentFiles(), (QStringList{paths[2], paths[3], paths[1]}));
    frame->UpdateActionsNow();
    EXPECT_FALSE(frame->Action(ID_FILE_MRU_LAST)->isVisible());
    EXPECT_FALSE(frame->Action(ID_FILE_MRU_LAST)->isEnabled());

    // The list goes to the profile in one write, not one a line.
    const int written = CProfileSession::FilesWritten();
    frame->AddToRecentFiles(paths[0]);
    EXPECT_EQ(CProfileSession::FilesWritten() - written, 1);
    frame.reset();
    frame = std::make_unique<CMainFrame>();
    EXPECT_EQ(frame->RecentFiles(), (QStringList{paths[0], paths[2], paths[3], paths[1]}));
}

TEST_F(MainFrameTest, TextExportSuggestsTheSignsNameAndRemembersTheFolder)
{
    const QString path = WriteSign(QStringLiteral("shelf.sgn"));
    ASSERT_TRUE(frame->OpenSign(path));
    ASSERT_TRUE(QDir(home.Path()).mkdir(QStringLiteral("exports")));
    chosenPath = home.FilePath(QStringLiteral("exports/shelf.txt"));
    frame->Action(ID_EXPORT_TEXT)->trigger();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(QFileInfo(choices[0].suggested).fileName(), QStringLiteral("shelf.txt"));
    EXPECT_TRUE(choices[0].filter.contains(QStringLiteral("(*.txt)")));
    QFile text(chosenPath);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(text.readAll().startsWith("<template>"));

    // The next export starts where the last one went.
    frame->Action(ID_EXPORT_TEXT)->trigger();
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[1].suggested, chosenPath);
}

// --- status bar -------------------------------------------------------------

TEST_F(MainFrameTest, StatusPanesShowPositionAndZoom)
{
    auto* position = frame->findChild<QLabel*>(QStringLiteral("id32878"));
    auto* zoom = frame->findChild<QLabel*>(QStringLiteral("id32882"));
    ASSERT_NE(position, nullptr);
    ASSERT_NE(zoom, nullptr);

    frame->SetStatusPosition(1055, -20);
    EXPECT_EQ(position->text(), QStringLiteral("105.5,-2.0"));
    App().general.displayUnits = 1;
    frame->SetStatusPosition(1050, 254);
    EXPECT_EQ(position->text(), QStringLiteral("4.13,1.00"));
    frame->SetStatusZoom(250);
    EXPECT_EQ(zoom->text(), QStringLiteral("250%"));
}

} // namespace

#include "MainFrameTest.moc"
