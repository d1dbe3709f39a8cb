// The canvas's commands in the designer as it starts: every command of the
// menus and toolbars is taken by some part of the program, is enabled by its
// rule, and does what it says to the sign; the dialogs and menus they open
// are answered as a user would.
#include "AppContext.h"
#include "Barcode.h"
#include "Box.h"
#include "Commands.h"
#include "DataSourceMap.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "Grid.h"
#include "Image.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "PaneParts.h"
#include "Paper.h"
#include "Preferences.h"
#include "Printer.h"
#include "Ruler.h"
#include "SelectBarcodeTypeDlg.h"
#include "Selection.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "Text.h"
#include "UccEanDataDlg.h"
#include "UndoHistory.h"
#include "UserList.h"
#include "Variable.h"
#include "VariableList.h"
#include "ui/LoginDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/RotationOriginDlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Receives the addresses the program hands to the desktop.
class CUrlCatcher : public QObject
{
    Q_OBJECT

public:
    CUrlCatcher()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
    }
    ~CUrlCatcher() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

// Runs the action on the popup menu that opens next (once).
class CMenuAnswer
{
public:
    explicit CMenuAnswer(std::function<void(QMenu*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                m_timer.stop();
                m_answered = true;
                m_action(menu);
            }
        });
        m_timer.start(5);
    }
    bool Answered() const { return m_answered; }

private:
    std::function<void(QMenu*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
};

std::vector<int> MenuCommands(QMenu* menu)
{
    std::vector<int> ids;
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name.startsWith(QLatin1String("cmd_")))
            ids.push_back(name.mid(4).toInt());
    }
    return ids;
}

class CanvasCommandsTest : public CDesignerStartTest
{
protected:
    // Starts the designer, the canvas at the full size of the sign.
    bool Start() { return CDesignerStartTest::Start(true); }

    // A box drawn with its tool; it is the selection afterwards.
    CBox* DrawBox(const CRect& r)
    {
        EXPECT_TRUE(Command(ID_TOOL_BOX));
        Drag(r.left, r.top, r.right, r.bottom);
        return dynamic_cast<CBox*>(view->Selection().Primary());
    }
    // Three boxes, none selected: A (100,100)-(300,200), B (400,300)-(500,450),
    // C (700,500)-(1000,600).
    std::vector<CBox*> ThreeBoxes()
    {
        std::vector<CBox*> boxes = {DrawBox(CRect(100, 100, 300, 200)),
                                    DrawBox(CRect(400, 300, 500, 450)),
                                    DrawBox(CRect(700, 500, 1000, 600))};
        view->Selection().DeselectAll();
        return boxes;
    }
    void Select(const std::vector<CBox*>& boxes, int count)
    {
        view->Selection().DeselectAll();
        for (int i = 0; i < count; ++i) {
            const CRect r = CSelection::PositionRect(boxes[i]);
            Click(r.CenterPoint().x, r.CenterPoint().y, i ? Qt::ControlModifier : Qt::NoModifier);
        }
    }
    bool Modified() const { return frame->Document().IsModified(); }
    void ClearModified() { frame->Document().SetModifiedFlag(false); }

    // A barcode placed with its tool.
    CBarcode* PlaceBarcode(int symbology, CPoint at)
    {
        CAnswer<CSelectBarcodeTypeDlg> type([symbology](CSelectBarcodeTypeDlg* dlg) {
            dlg->SelectSymbology(symbology);
            dlg->accept();
        });
        EXPECT_TRUE(Command(ID_TOOL_BARCODE));
        EXPECT_TRUE(type.Answered());
        Click(at.x, at.y);
        return dynamic_cast<CBarcode*>(view->Selection().Primary());
    }
};

// --- the table of commands -----------------------------------------------------

// Every command on a menu or toolbar is taken by a part of the program, and
// every command takes its shortcut from the one action of its id.
TEST_F(CanvasCommandsTest, EveryMenuAndToolbarCommandIsHandled)
{
    ASSERT_TRUE(Start());
    std::set<int> reachable;
    for (const CMenuEntry& entry : MenuLayout()) {
        if (entry.id != 0 && !entry.title)
            reachable.insert(entry.id);
    }
    for (const auto* bar : {&MainToolBarButtons(), &DrawToolBarButtons(), &LayoutToolBarButtons(),
                            &DataEntryToolBarButtons()}) {
        for (int id : *bar) {
            if (id != 0)
                reachable.insert(id);
        }
    }
    // The recent files are taken once there are some, data entry's own
    // commands while the print station is open; objects of other programs
    // cannot be made here (their command stays disabled).
    const std::set<int> takenLater = {ID_FILE_MRU_FIRST, ID_DATA_CANCEL, ID_RECORD_PRINT_ALL,
                                      ID_TOOL_OBJECT};
    for (int id : reachable) {
        QAction* action = frame->Action(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->objectName(), QStringLiteral("cmd_%1").arg(id));
        if (!takenLater.count(id)) {
            EXPECT_TRUE(frame->IsCommandHandled(id)) << "nobody takes command " << id << " "
                                                     << FindCommand(id)->text;
        }
    }
    // The commands that other windows send are taken too.
    for (int id : {ID_PICTURE_RESAMPLE, ID_PICTURE_INVERT, ID_PICTURE_GREYSCALE, ID_OBJECT_EDIT,
                   ID_OBJECT_OPEN, ID_SHOW_SIGN_SETTINGS})
        EXPECT_TRUE(frame->IsCommandHandled(id)) << id;
    EXPECT_FALSE(Enabled(ID_TOOL_OBJECT));
}

// Each layout command: disabled below the number of elements it needs,
// enabled from it, and what it does to three boxes, marking the sign
// modified.
TEST_F(CanvasCommandsTest, LayoutCommandsNeedTheirSelectionAndChangeTheSign)
{
    ASSERT_TRUE(Start());
    const std::vector<CBox*> boxes = ThreeBoxes();
    auto rect = [](const CBox* box) { return CSelection::PositionRect(box); };
    const int signW = ThePaper().GetSignWidth();
    const int signH = ThePaper().GetSignHeight();
    struct Case
    {
        int id;
        int needs;      // selected elements
        bool modifies;  // marks the sign modified
        std::function<void(const std::vector<CBox*>&)> check;
    };
    const std::vector<Case> cases = {
        {ID_ALIGN_LEFT, 2, true, [&](auto& b) { EXPECT_EQ(rect(b[0]).left, rect(b[1]).left); }},
        {ID_ALIGN_RIGHT, 2, true, [&](auto& b) { EXPECT_EQ(rect(b[0]).right, rect(b[1]).right); }},
        {ID_ALIGN_TOP, 2, true, [&](auto& b) { EXPECT_EQ(rect(b[0]).top, rect(b[1]).top); }},
        {ID_ALIGN_BOTTOM, 2, true,
         [&](auto& b) { EXPECT_EQ(rect(b[0]).bottom, rect(b[1]).bottom); }},
        {ID_ALIGN_VERT_CENTRE, 2, true,
         [&](auto& b) { EXPECT_NEAR(rect(b[0]).CenterPoint().x, rect(b[1]).CenterPoint().x, 1); }},
        {ID_ALIGN_HORZ_CENTRE, 2, true,
         [&](auto& b) { EXPECT_NEAR(rect(b[0]).CenterPoint().y, rect(b[1]).CenterPoint().y, 1); }},
        {ID_CENTRE_HORIZONTAL, 1, true,
         [&](auto& b) { EXPECT_NEAR(rect(b[0]).CenterPoint().x, signW / 2, 1); }},
        {ID_CENTRE_VERTICAL, 1, true,
         [&](auto& b) { EXPECT_NEAR(rect(b[0]).CenterPoint().y, signH / 2, 1); }},
        {ID_SAME_WIDTH, 2, true,
         [&](auto& b) { EXPECT_EQ(rect(b[0]).Width(), rect(b[1]).Width()); }},
        {ID_SAME_HEIGHT, 2, true,
         [&](auto& b) { EXPECT_EQ(rect(b[0]).Height(), rect(b[1]).Height()); }},
        {ID_SAME_SIZE, 2, true, [&](auto& b) {
             EXPECT_EQ(rect(b[0]).Width(), rect(b[1]).Width()); EXPECT_EQ(rect(b[0]).Height(), rect(b[1]).Height());
         }},
        {ID_SPACE_HORIZONTAL, 3, true, [&](auto& b) {
             EXPECT_NEAR(rect(b[1]).left - rect(b[0]).left, rect(b[2]).left - rect(b[1]).left, 1);
         }},
        {ID_SPACE_VERTICAL, 3, true, [&](auto& b) {
             EXPECT_NEAR(rect(b[1]).top - rect(b[0]).top, rect(b[2]).top - rect(b[1]).top, 1);
         }},
        {ID_SAME_LINE_THICKNESS, 2, true,
         [&](auto& b) { EXPECT_EQ(b[0]->GetThickness(), b[1]->GetThickness()); }},
        {ID_SAME_COLOURS, 2, true, [&](auto&) {}},
        {ID_EDIT_ROTATE, 1, true, [&](auto& b) {
             // A quarter turn about its centre: width and height swap.
             EXPECT_NEAR(rect(b[0]).Width(), 100, 4);
             EXPECT_NEAR(rect(b[0]).Height(), 200, 4);
         }},
        {ID_EDIT_DUPLICATE, 1, true,
         [&](auto&) { EXPECT_EQ(TheElementList().GetCount(), 4); }},
        {ID_BRING_TO_FRONT, 1, true,
         [&](auto& b) { EXPECT_EQ(TheElementList().Elements().back(), b[0]); }},
        {ID_SEND_TO_BACK, 1, true,
         [&](auto& b) { EXPECT_EQ(TheElementList().Elements().front(), b[0]); }},
        {ID_EDIT_DELETE, 1, true, [&](auto& b) {
             EXPECT_EQ(TheElementList().GetCount(), 2);
             EXPECT_FALSE(TheElementList().Contains(b[0]));
         }},
        {ID_EDIT_COPY, 1, false, [&](auto&) {
             const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
             ASSERT_NE(mime, nullptr);
             EXPECT_TRUE(mime->hasFormat(CSignApp::GetClipboardFormat()));
         }},
        {ID_EDIT_CUT, 1, true,
         [&](auto&) { EXPECT_EQ(TheElementList().GetCount(), 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FindCommand(c.id)->text);
        // Each case starts from the three boxes as drawn.
        frame->NewSign();
        const std::vector<CBox*> fresh = ThreeBoxes();
        // Thicker B so that Same Line Thickness has something to change.
        fresh[1]->SetThickness(view, 25);
        Select(fresh, c.needs - 1);
        EXPECT_FALSE(Enabled(c.id)) << "with one element too few";
        // The primary is the first picked: select B (and C) first, A last.
        view->Selection().DeselectAll();
        for (int i = c.needs - 1; i >= 0; --i) {
            const CRect r = rect(fresh[i]);
            Click(r.CenterPoint().x, r.CenterPoint().y, i == c.needs - 1 ? Qt::NoModifier
                                                                        : Qt::ControlModifier);
        }
        ASSERT_EQ(view->Selection().GetCount(), c.needs);
        ASSERT_EQ(view->Selection().Primary(), fresh[0]);
        ClearModified();
        EXPECT_TRUE(Command(c.id));
        EXPECT_EQ(Modified(), c.modifies);
        c.check(fresh);
    }
    (void)boxes;
}

// Each drawing tool is checked while armed and makes its element where it
// is dragged or clicked; the element is selected and recorded for undo.
TEST_F(CanvasCommandsTest, ToolsMakeTheirElements)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        int id;
        bool drags;
        int typeCode;
    };
    const Case cases[] = {
        {ID_TOOL_LINE, true, TYPE_LINE},       {ID_TOOL_BOX, true, TYPE_BOX},
        {ID_TOOL_ELLIPSE, true, TYPE_ELLIPSE}, {ID_TOOL_TEXT_BOX, true, TYPE_TEXT},
        {ID_TOOL_ARC_TEXT, true, TYPE_ARC_TEXT}, {ID_TOOL_TABLE, true, TYPE_TABLE},
        {ID_TOOL_TEXT, false, TYPE_TEXT},      {ID_TOOL_PRICE, false, TYPE_PRICE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FindCommand(c.id)->text);
        frame->NewSign();
        ClearModified();
        ASSERT_TRUE(Command(c.id));
        frame->UpdateActionsNow();
        EXPECT_TRUE(frame->Action(c.id)->isChecked());
        if (c.drags)
            Drag(200, 200, 900, 700);
        else
            Click(200, 200);
        CElement* made = view->Selection().Primary();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->GetTypeCode(), c.typeCode);
        EXPECT_TRUE(Modified());
        EXPECT_EQ(view->Mode(), MODE_SELECT);
        EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    }
}

// The view switches and the magnifier are checked by what they switch, go
// back with a second trigger and never mark the sign modified.
TEST_F(CanvasCommandsTest, ViewSwitchesToggleTheirCheckAndLeaveTheSignAlone)
{
    ASSERT_TRUE(Start());
    DrawBox(CRect(100, 100, 300, 200));
    struct Case
    {
        int id;
        std::function<bool()> state;
    };
    const Case cases[] = {
        {ID_VIEW_GRID, [] { return TheGrid().IsShowGrid(); }},
        {ID_VIEW_RULER, [] { return TheGrid().IsShowRuler(); }},
        {ID_VIEW_MARGINS, [] { return TheGrid().IsShowMargins(); }},
        {ID_VIEW_SHADOW, [] { return CDesignView::s_showShadow; }},
        {ID_TOOL_MAGNIFIER, [this] { return view->Mode() == MODE_MAGNIFIER; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FindCommand(c.id)->text);
        ClearModified();
        const bool before = c.state();
        ASSERT_TRUE(Command(c.id));
        frame->UpdateActionsNow();
        EXPECT_NE(c.state(), before);
        EXPECT_EQ(frame->Action(c.id)->isChecked(), c.state());
        ASSERT_TRUE(Command(c.id));
        frame->UpdateActionsNow();
        EXPECT_EQ(c.state(), before);
        EXPECT_EQ(frame->Action(c.id)->isChecked(), before);
        EXPECT_FALSE(Modified());
    }
}

// Undo and Redo follow the history; text on the clipboard pastes as a text.
TEST_F(CanvasCommandsTest, UndoRedoAndPastingPlainText)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    CBox* box = DrawBox(CRect(100, 100, 300, 200));
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < 5 && Enabled(ID_EDIT_UNDO); ++i)
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(TheElementList().GetCount(), 0);
    EXPECT_TRUE(view->Selection().IsEmpty());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    for (int i = 0; i < 5 && Enabled(ID_EDIT_REDO); ++i)
        ASSERT_TRUE(Command(ID_EDIT_REDO));
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));

    QGuiApplication::clipboard()->setText(QStringLiteral("Fresh today"));
    ClearModified();
    ASSERT_TRUE(Command(ID_EDIT_PASTE));
    ASSERT_EQ(TheElementList().GetCount(), 2);
    EXPECT_EQ(TheElementList().GetAt(1)->GetTypeCode(), TYPE_TEXT);
    EXPECT_EQ(TheElementList().GetAt(1)->GetSampleData(), QStringLiteral("Fresh today"));
    EXPECT_TRUE(Modified());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
}

// What the clipboard holds, with each look at it counted.
class CCountedMime : public QMimeData
{
public:
    mutable int looks = 0;
    bool hasFormat(const QString& type) const override
    {
        ++looks;
        return QMimeData::hasFormat(type);
    }
    QStringList formats() const override
    {
        ++looks;
        return QMimeData::formats();
    }
};

// Paste follows what the clipboard holds, which is looked at once after
// each change and not at every update of the commands: on X every look is
// a round trip to the server.
TEST_F(CanvasCommandsTest, PasteFollowsTheClipboardLookingAtItOncePerChange)
{
    ASSERT_TRUE(Start());
    auto* mime = new CCountedMime;
    mime->setText(QStringLiteral("Fresh today"));
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    const int looks = mime->looks;
    EXPECT_GT(looks, 0);
    DrawBox(CRect(100, 100, 300, 200));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    EXPECT_EQ(mime->looks, looks);

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->setText(QStringLiteral("Two for one"));
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
}

// --- rotating about a chosen point ---------------------------------------------------

TEST_F(CanvasCommandsTest, RotateAsksForTheOriginAndCancelLeavesTheSignAlone)
{
    ASSERT_TRUE(Start());
    const std::vector<CBox*> boxes = ThreeBoxes();
    Select(boxes, 2);
    const CRect a = CSelection::PositionRect(boxes[0]);
    const CRect b = CSelection::PositionRect(boxes[1]);
    ClearModified();
    const int undoBefore = TheUndoHistory().GetCount();

    // Cancel after picking a point: nothing turns, nothing is recorded.
    CAnswer<CRotationOriginDlg> cancel([](CRotationOriginDlg* dlg) {
        EXPECT_EQ(dlg->Origin(), 0);
        EXPECT_EQ(dlg->OriginButton(0)->text(), QStringLiteral("X"));
        dlg->OriginButton(4)->click();
        dlg->reject();
    });
    ASSERT_TRUE(Command(ID_EDIT_ROTATE));
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(CSelection::PositionRect(boxes[0]), a);
    EXPECT_EQ(CSelection::PositionRect(boxes[1]), b);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(TheUndoHistory().GetCount(), undoBefore);

    // The dialog opens at the top-left corner again; the centre chosen
    // turns both about the middle of their bounding rectangle.
    const CRect bounds = CRect::Union(a, b);
    const CPoint centre((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    CAnswer<CRotationOriginDlg> ok([](CRotationOriginDlg* dlg) {
        EXPECT_EQ(dlg->Origin(), 0);
        dlg->OriginButton(4)->click();
        EXPECT_EQ(dlg->Origin(), 4);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(dlg->OriginButton(i)->text().isEmpty(), i != 4) << i;
        dlg->accept();
    });
    ASSERT_TRUE(Command(ID_EDIT_ROTATE));
    EXPECT_TRUE(ok.Answered());
    EXPECT_TRUE(Modified());
    const CRect turned = CSelection::PositionRect(boxes[0]);
    EXPECT_EQ(turned.Width(), a.Height());
    EXPECT_EQ(turned.Height(), a.Width());
    // The centre of the pair stays where it was.
    const CRect after = CRect::Union(turned, CSelection::PositionRect(boxes[1]));
    EXPECT_NEAR((after.left + after.right) / 2, centre.x, 2);
    EXPECT_NEAR((after.top + after.bottom) / 2, centre.y, 2);

    // One element turns without asking.
    Select(boxes, 1);
    CAnswer<CRotationOriginDlg> none([](CRotationOriginDlg* dlg) { dlg->reject(); });
    ASSERT_TRUE(Command(ID_EDIT_ROTATE));
    EXPECT_FALSE(none.Answered());
}

// --- Change Symbology ----------------------------------------------------------------

TEST_F(CanvasCommandsTest, ChangeSymbologyKeepsTheBarcodeAndItsDataPaths)
{
    ASSERT_TRUE(Start());
    CBarcode* old = PlaceBarcode(SYM_CODE39, CPoint(300, 300));
    ASSERT_NE(old, nullptr);
    const QString name = old->m_name;
    const CPoint origin = old->m_origin;
    auto* map = dynamic_cast<CDataSourceMap*>(App().dataPaths);
    ASSERT_NE(map, nullptr);
    ClearModified();

    CAnswer<CSelectBarcodeTypeDlg> type([](CSelectBarcodeTypeDlg* dlg) {
        dlg->SelectSymbology(SYM_CODE128_B);
        dlg->accept();
    });
    ASSERT_TRUE(Command(ID_CHANGE_SYMBOLOGY));
    EXPECT_TRUE(type.Answered());
    auto* changed = dynamic_cast<CBarcode*>(view->Selection().Primary());
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->GetSymbologyId(), SYM_CODE128_B);
    EXPECT_EQ(changed->m_name, name);
    EXPECT_EQ(changed->m_origin, origin);
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_TRUE(Modified());
    // The data paths know the new element, not the old one.
    EXPECT_EQ(map->GetDependentCount(changed), 0);

    // A barcode whose data is typed and feeds a text keeps its symbology,
    // and says why.
    changed->m_dataSource = SOURCE_KEYBOARD;
    map->AddElement(changed);
    auto* text = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
    ASSERT_NE(text, nullptr);
    text->BeginCreate(view, 1000, 1000);
    text->SetDataSource(SOURCE_ELEMENT, changed->m_name);
    map->AddElement(text);
    map->UpdateElement(text, text->m_name);
    ASSERT_EQ(map->GetDependentCount(changed), 1);
    view->Selection().DeselectAll();
    view->Selection().AddElement(changed);
    messages.Clear();
    ClearModified();
    CAnswer<CSelectBarcodeTypeDlg> never([](CSelectBarcodeTypeDlg* dlg) { dlg->reject(); });
    ASSERT_TRUE(Command(ID_CHANGE_SYMBOLOGY));
    EXPECT_FALSE(never.Answered());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(changed->m_name));
    EXPECT_TRUE(TheElementList().Contains(changed));
    EXPECT_EQ(changed->GetSymbologyId(), SYM_CODE128_B);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(map->GetDependentCount(changed), 1);
}

// Changed into a GS1 symbol, a barcode takes its data from a GS1 data
// variable made for it; cancelling that leaves the old barcode.
TEST_F(CanvasCommandsTest, ChangeSymbologyToGS1MakesItsDataVariable)
{
    ASSERT_TRUE(Start());
    CBarcode* old = PlaceBarcode(SYM_CODE39, CPoint(300, 300));
    ASSERT_NE(old, nullptr);
    const QString name = old->m_name;
    const int variables = TheVariableList().GetCount();
    auto pick = [](CSelectBarcodeTypeDlg* dlg) {
        dlg->SelectSymbology(SYM_GS1_128);
        dlg->accept();
    };

    ClearModified();
    {
        CAnswer<CSelectBarcodeTypeDlg> type(pick);
        CAnswer<CUccEanDataDlg> cancel([](CUccEanDataDlg* dlg) { dlg->reject(); });
        ASSERT_TRUE(Command(ID_CHANGE_SYMBOLOGY));
        EXPECT_TRUE(cancel.Answered());
    }
    ASSERT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(TheElementList().GetAt(0), old);
    EXPECT_EQ(old->GetSymbologyId(), SYM_CODE39);
    EXPECT_EQ(TheVariableList().GetCount(), variables);
    EXPECT_FALSE(Modified());

    view->Selection().AddElement(old);
    CAnswer<CSelectBarcodeTypeDlg> type(pick);
    CAnswer<CUccEanDataDlg> make([](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "09501101530003");
        dlg->accept();
    });
    ASSERT_TRUE(Command(ID_CHANGE_SYMBOLOGY));
    EXPECT_TRUE(make.Answered());
    auto* gs1 = dynamic_cast<CBarcode*>(view->Selection().Primary());
    ASSERT_NE(gs1, nullptr);
    EXPECT_EQ(gs1->GetSymbologyId(), SYM_GS1_128);
    EXPECT_EQ(gs1->m_name, name);
    EXPECT_EQ(gs1->m_dataSource, SOURCE_GS1);
    EXPECT_EQ(TheVariableList().GetCount(), variables + 1);
    EXPECT_NE(TheVariableList().FindVariable(VARIABLE_GS1, gs1->m_sourceName), nullptr);
    EXPECT_TRUE(gs1->m_data.endsWith(QStringLiteral("0109501101530003"))) << gs1->m_data.toStdString();
    EXPECT_TRUE(Modified());
}

// --- Paste of damaged data ----------------------------------------------------------

TEST_F(CanvasCommandsTest, DamagedClipboardDataIsRefusedWhole)
{
    ASSERT_TRUE(Start());
    const std::vector<CBox*> boxes = ThreeBoxes();
    const QByteArray good = CSelection::WriteElements({boxes[0], boxes[1]});
    ASSERT_GE(good.size(), 4);

    // The count of a list is a 16-bit word at its start; an entry is an
    // object reference.
    auto withCount = [&good](int count, const QByteArray& extra) {
        QByteArray data = good;
        data[0] = char(count & 0xFF);
        data[1] = char((count >> 8) & 0xFF);
        return data + extra;
    };
    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"cut short", good.left(good.size() / 2)},
        {"one entry more than there is", withCount(3, QByteArray())},
        {"a missing entry", withCount(3, QByteArray("\x00\x00", 2))},
        {"a second reference to the first element", withCount(3, QByteArray("\x02\x00", 2))},
        {"a class tag of nothing known", withCount(3, QByteArray("\xff\xff\x01\x00\x01\x00Z", 7))},
        {"empty", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* mime = new QMimeData;
        mime->setData(CSignApp::GetClipboardFormat(), c.data);
        QGuiApplication::clipboard()->setMimeData(mime);
        messages.Clear();
        ClearModified();
        ASSERT_TRUE(Command(ID_EDIT_PASTE));
        EXPECT_EQ(TheElementList().GetCount(), 3);
        EXPECT_EQ(messages.Count(), 1);
        EXPECT_FALSE(Modified());
    }

    // The same data whole pastes both elements, under new names.
    auto* mime = new QMimeData;
    mime->setData(CSignApp::GetClipboardFormat(), good);
    QGuiApplication::clipboard()->setMimeData(mime);
    messages.Clear();
    ASSERT_TRUE(Command(ID_EDIT_PASTE));
    EXPECT_EQ(messages.Count(), 0);
    ASSERT_EQ(TheElementList().GetCount(), 5);
    EXPECT_TRUE(Modified());
    std::set<QString> names;
    for (const CElement* element : TheElementList())
        names.insert(element->m_name);
    EXPECT_EQ(names.size(), 5u);
}

// --- context menus ----------------------------------------------------------------------

TEST_F(CanvasCommandsTest, RightClickOpensTheElementsOrTheSignsMenu)
{
    ASSERT_TRUE(Start());
    const std::vector<CBox*> boxes = ThreeBoxes();
    CBarcode* barcode = PlaceBarcode(SYM_CODE39, CPoint(300, 1200));
    ASSERT_NE(barcode, nullptr);
    Select(boxes, 2);

    struct Case
    {
        const char* what;
        CPoint at;
        QString menuName;
        std::vector<int> commands;
        CElement* primary;
    };
    const CRect b = CSelection::PositionRect(boxes[1]);
    const CRect code = CSelection::PositionRect(barcode);
    const Case cases[] = {
        {"a box of two selected", b.CenterPoint(), QStringLiteral("menu121"),
         {ID_EDIT_DELETE, ID_EDIT_ROTATE, ID_EDIT_DUPLICATE, ID_BRING_TO_FRONT, ID_SEND_TO_BACK,
          ID_ELEMENT_PROPERTIES},
         boxes[1]},
        {"a barcode", code.CenterPoint(), QStringLiteral("menu189"),
         {ID_EDIT_DELETE, ID_EDIT_ROTATE, ID_EDIT_DUPLICATE, ID_BRING_TO_FRONT, ID_SEND_TO_BACK,
          ID_CHANGE_SYMBOLOGY, ID_ELEMENT_PROPERTIES},
         barcode},
        {"the empty sign", CPoint(1500, 2500), QStringLiteral("menu202"),
         {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_SIGN_PROPERTIES},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString shown;
        std::vector<int> commands;
        bool deleteEnabled = false;
        CMenuAnswer answer([&](QMenu* menu) {
            shown = menu->objectName();
            commands = MenuCommands(menu);
            deleteEnabled = frame->Action(ID_EDIT_DELETE)->isEnabled();
            menu->close();
        });
        QTest::mouseClick(Surface(), Qt::RightButton, Qt::NoModifier, Dp(c.at.x, c.at.y));
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(shown, c.menuName);
        EXPECT_EQ(commands, c.commands);
        // The element clicked is the one selection.
        if (c.primary) {
            EXPECT_EQ(view->Selection().Primary(), c.primary);
            EXPECT_EQ(view->Selection().GetCount(), 1);
            EXPECT_TRUE(deleteEnabled);
        }
    }

    // A command chosen from the menu acts on the element clicked.
    CMenuAnswer remove([&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QStringLiteral("cmd_%1").arg(ID_EDIT_DELETE)) {
                menu->close();
                action->trigger();
            }
        }
    });
    QTest::mouseClick(Surface(), Qt::RightButton, Qt::NoModifier,
                      Dp(b.CenterPoint().x, b.CenterPoint().y));
    EXPECT_TRUE(remove.Answered());
    EXPECT_FALSE(TheElementList().Contains(boxes[1]));
}

// --- Same Typeface ---------------------------------------------------------------------

TEST_F(CanvasCommandsTest, SameTypefaceGivesTheFaceAndKeepsEachHeight)
{
    ASSERT_TRUE(Start());
    std::vector<CText*> texts;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Command(ID_TOOL_TEXT));
        Click(200, 300 + 600 * i);
        texts.push_back(dynamic_cast<CText*>(view->Selection().Primary()));
        ASSERT_NE(texts.back(), nullptr);
    }
    CLogFont face;
    ASSERT_TRUE(texts[0]->GetFont(face));
    face.SetFaceName(QStringLiteral("Courier New"));
    face.SetHeight(80);
    texts[0]->SetFont(view, face);
    CLogFont other;
    ASSERT_TRUE(texts[1]->GetFont(other));
    other.SetFaceName(QStringLiteral("Times New Roman"));
    other.SetHeight(120);
    texts[1]->SetFont(view, other);

    // The primary is the first picked.
    view->Selection().DeselectAll();
    view->Selection().AddElement(texts[1]);
    view->Selection().AddElement(texts[0]);
    ASSERT_EQ(view->Selection().Primary(), texts[0]);
    ClearModified();
    ASSERT_TRUE(Command(ID_SAME_TYPEFACE));
    EXPECT_TRUE(Modified());
    CLogFont result;
    ASSERT_TRUE(texts[1]->GetFont(result));
    EXPECT_EQ(result.GetFaceName(), QStringLiteral("Courier New"));
    EXPECT_EQ(result.GetHeight(), 120);
    // One undo step gives the old face back.
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    CLogFont undone;
    ASSERT_TRUE(dynamic_cast<CText*>(TheElementList().GetAt(1))->GetFont(undone));
    EXPECT_EQ(undone.GetFaceName(), QStringLiteral("Times New Roman"));
}

// --- the picture commands that the picture pane sends -----------------------------------

TEST_F(CanvasCommandsTest, PictureCommandsChangeThePrimaryPictureOneUndoStepEach)
{
    ASSERT_TRUE(Start());
    QImage colours(40, 30, QImage::Format_RGB32);
    colours.fill(QColor(200, 40, 10));
    const QString file = home.FilePath(QStringLiteral("colours.png"));
    ASSERT_TRUE(colours.save(file));
    auto* picture = dynamic_cast<CImage*>(TheElementList().CreateElement(QStringLiteral("CImage")));
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->LoadFile(view, file));
    picture->BeginCreate(view, 300, 300);
    CBox* box = DrawBox(CRect(1000, 1000, 1200, 1200));

    // Sent while a box is the primary element, they leave everything alone.
    const int undoBefore = TheUndoHistory().GetCount();
    ClearModified();
    for (int id : {ID_PICTURE_INVERT, ID_PICTURE_GREYSCALE, ID_PICTURE_RESAMPLE})
        ASSERT_TRUE(frame->ExecuteCommand(id)) << id;
    EXPECT_EQ(TheUndoHistory().GetCount(), undoBefore);
    EXPECT_FALSE(Modified());
    (void)box;

    view->Selection().DeselectAll();
    view->Selection().AddElement(picture);
    const int undoShown = TheUndoHistory().GetCount();
    ASSERT_TRUE(frame->ExecuteCommand(ID_PICTURE_INVERT));
    EXPECT_EQ(picture->m_inverted, 1);
    EXPECT_TRUE(Modified());
    ASSERT_TRUE(frame->ExecuteCommand(ID_PICTURE_GREYSCALE));
    EXPECT_EQ(picture->m_greyScaled, 1);
    EXPECT_EQ(TheUndoHistory().GetCount(), undoShown + 2);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    auto* restored = dynamic_cast<CImage*>(TheElementList().GetAt(0));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->m_inverted, 0);
    EXPECT_EQ(restored->m_greyScaled, 0);
}

// A right click on a picture offers its three picture commands; each one chosen
// there changes the picture and is one step of Undo.
TEST_F(CanvasCommandsTest, PicturesMenuResamplesInvertsAndGreysOneUndoStepEach)
{
    ASSERT_TRUE(Start());
    QImage colours(40, 30, QImage::Format_RGB32);
    colours.fill(QColor(200, 40, 10));
    const QString file = home.FilePath(QStringLiteral("menu-colours.png"));
    ASSERT_TRUE(colours.save(file));
    auto* picture = dynamic_cast<CImage*>(TheElementList().CreateElement(QStringLiteral("CImage")));
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->LoadFile(view, file));
    picture->BeginCreate(view, 300, 300);
    // Drawn larger than its natural size, so that resampling changes it.
    picture->m_trackRect = CRect(300, 300, 500, 450);
    picture->ApplyTrackRect(view);
    picture->RecalcPosition(view);
    const CPoint at = CSelection::PositionRect(picture).CenterPoint();

    // Chooses the command from the picture's menu; the menu's commands are kept.
    auto choose = [&](int id, std::vector<int>* commands) {
        CMenuAnswer answer([&](QMenu* menu) {
            if (commands)
                *commands = MenuCommands(menu);
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QStringLiteral("cmd_%1").arg(id)) {
                    menu->close();
                    action->trigger();
                    return;
                }
            }
            menu->close();
        });
        QTest::mouseClick(Surface(), Qt::RightButton, Qt::NoModifier, Dp(at.x, at.y));
        EXPECT_TRUE(answer.Answered());
    };
    auto current = [] { return dynamic_cast<CImage*>(TheElementList().GetAt(0)); };

    std::vector<int> commands;
    Click(at.x, at.y);
    const int undoBefore = TheUndoHistory().GetCount();
    ClearModified();
    choose(ID_PICTURE_INVERT, &commands);
    EXPECT_EQ(commands,
              (std::vector<int>{ID_EDIT_DELETE, ID_EDIT_ROTATE, ID_EDIT_DUPLICATE,
                                ID_BRING_TO_FRONT, ID_SEND_TO_BACK, ID_PICTURE_RESAMPLE,
                                ID_PICTURE_INVERT, ID_PICTURE_GREYSCALE, ID_ELEMENT_PROPERTIES}));
    EXPECT_EQ(view->Selection().Primary(), picture);
    EXPECT_EQ(picture->m_inverted, 1);
    EXPECT_EQ(picture->m_bitmap.Image().pixelColor(5, 5), QColor(55, 215, 245));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(TheUndoHistory().GetCount(), undoBefore + 1);

    choose(ID_PICTURE_GREYSCALE, nullptr);
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->m_greyScaled, 1);
    EXPECT_TRUE(current()->m_bitmap.IsGrey());
    EXPECT_EQ(TheUndoHistory().GetCount(), undoBefore + 2);

    const QSize before = current()->m_bitmap.Size();
    choose(ID_PICTURE_RESAMPLE, nullptr);
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->m_resampled, 1);
    CRect r = current()->m_pictureRect;
    r.NormalizeRect();
    EXPECT_EQ(current()->m_bitmap.Width(), int(r.Width() * CImage::PrinterDpiX() / 254.0 + 0.5));
    EXPECT_NE(current()->m_bitmap.Size(), before);
    EXPECT_EQ(TheUndoHistory().GetCount(), undoBefore + 3);

    // Each Undo takes back one of them, newest first.
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(current()->m_resampled, 0);
    EXPECT_EQ(current()->m_greyScaled, 1);
    EXPECT_EQ(current()->m_bitmap.Size(), before);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(current()->m_greyScaled, 0);
    EXPECT_EQ(current()->m_inverted, 1);
    EXPECT_EQ(current()->m_bitmap.Image().pixelColor(5, 5), QColor(55, 215, 245));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(current()->m_inverted, 0);
    EXPECT_EQ(current()->m_bitmap.Image().pixelColor(5, 5), QColor(200, 40, 10));
}

// Inverting, grey-scaling and resampling a large picture show the one
// progress window with the operation's caption, stepped by the percentage
// done and without Cancel; a small picture is done before a window could be
// seen and shows none.
TEST_F(CanvasCommandsTest, ProcessingALargePictureShowsItsProgress)
{
    ASSERT_TRUE(Start());
    struct Shown
    {
        QString caption;
        bool cancelOffered = true;
        std::vector<int> positions;
    };
    std::vector<Shown> shown;
    CShownWatch<CProgressDlg> watch([&](CProgressDlg* window) {
        shown.push_back(
            {window->windowTitle(),
             !window->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDCANCEL))->isHidden(),
             {}});
        const size_t index = shown.size() - 1;
        auto* bar = window->findChild<QProgressBar*>(
            QStringLiteral("id%1").arg(CProgressDlg::IDC_PROGRESS));
        QObject::connect(bar, &QProgressBar::valueChanged, window,
                         [&shown, index](int value) { shown[index].positions.push_back(value); });
    });

    auto place = [&](const QString& name, QSize size, CPoint at) {
        QImage colours(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                colours.setPixel(x, y, qRgb(x % 256, y % 256, 90));
        const QString file = home.FilePath(name);
        EXPECT_TRUE(colours.save(file));
        auto* picture =
            dynamic_cast<CImage*>(TheElementList().CreateElement(QStringLiteral("CImage")));
        EXPECT_TRUE(picture->LoadFile(view, file));
        picture->BeginCreate(view, at.x, at.y);
        return picture;
    };
    CImage* large = place(QStringLiteral("large.png"), QSize(1200, 1000), CPoint(200, 200));
    CImage* small = place(QStringLiteral("small.png"), QSize(60, 40), CPoint(200, 1500));
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    // Drawn at a third of its size, so that resampling has work to do.
    large->m_trackRect = CRect(200, 200, 370, 340);
    large->ApplyTrackRect(view);
    large->RecalcPosition(view);

    auto choose = [&](CImage* picture, int id) {
        const CPoint at = CSelection::PositionRect(picture).CenterPoint();
        CMenuAnswer answer([&](QMenu* menu) {
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QStringLiteral("cmd_%1").arg(id)) {
                    menu->close();
                    action->trigger();
                    return;
                }
            }
            menu->close();
        });
        QTest::mouseClick(Surface(), Qt::RightButton, Qt::NoModifier, Dp(at.x, at.y));
        EXPECT_TRUE(answer.Answered());
    };

    for (int id : {ID_PICTURE_INVERT, ID_PICTURE_GREYSCALE})
        choose(small, id);
    EXPECT_EQ(watch.Count(), 0);

    choose(large, ID_PICTURE_INVERT);
    choose(large, ID_PICTURE_GREYSCALE);
    choose(large, ID_PICTURE_RESAMPLE);
    ASSERT_EQ(shown.size(), 3u);
    const char* captions[] = {"Inverting Image...", "Greyscaling Picture...",
                              "Resampling Picture..."};
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(captions[i]);
        EXPECT_EQ(shown[i].caption, captions[i]);
        EXPECT_FALSE(shown[i].cancelOffered);
        ASSERT_FALSE(shown[i].positions.empty());
        EXPECT_EQ(shown[i].positions.back(), 100);
        EXPECT_TRUE(std::is_sorted(shown[i].positions.begin(), shown[i].positions.end()));
    }
    // Row by row: the bar moves through the percentages on the way.
    EXPECT_GE(shown[0].positions.size(), 50u);
    EXPECT_GE(shown[1].positions.size(), 50u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window went";
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// --- the sign's own commands -----------------------------------------------------------

TEST_F(CanvasCommandsTest, RotatePaperTurnsThePageAndItsElements)
{
    ASSERT_TRUE(Start());
    CBox* box = DrawBox(CRect(100, 100, 500, 200));
    ASSERT_NE(box, nullptr);
    const bool landscape = ThePrinter().IsLandscape();
    const int w = ThePaper().GetSignWidth();
    const int h = ThePaper().GetSignHeight();
    ClearModified();
    ASSERT_TRUE(Command(ID_PAPER_ROTATE));
    EXPECT_NE(ThePrinter().IsLandscape(), landscape);
    EXPECT_EQ(ThePaper().GetSignWidth(), h);
    EXPECT_EQ(ThePaper().GetSignHeight(), w);
    const CRect r = CSelection::PositionRect(box);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 400);
    EXPECT_TRUE(view->Selection().IsEmpty());
    EXPECT_TRUE(Modified());
    ASSERT_TRUE(Command(ID_PAPER_ROTATE));
    EXPECT_EQ(ThePrinter().IsLandscape(), landscape);
    EXPECT_EQ(CSelection::PositionRect(box), CRect(100, 100, 500, 200));
}

TEST_F(CanvasCommandsTest, ElementPropertiesPointsToThePane)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Enabled(ID_ELEMENT_PROPERTIES));
    DrawBox(CRect(100, 100, 500, 200));
    ClearModified();
    ASSERT_TRUE(Command(ID_ELEMENT_PROPERTIES));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), LoadStringId(IDS_PROPERTIES_ON_RIGHT));
    EXPECT_FALSE(Modified());
}

// --- help -------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, HelpOpensTheHelpPagesInTheBrowser)
{
    ASSERT_TRUE(Start());
    CUrlCatcher urls;
    const QString pages = CSignApp::GetHelpFilePath();
    EXPECT_EQ(pages, home.FilePath(QStringLiteral("Tabrel.html")));

    // Missing pages are named, and nothing is opened.
    ASSERT_TRUE(Command(ID_HELP_FINDER));
    EXPECT_TRUE(urls.opened.isEmpty());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("Tabrel.html")));

    // The shipped pages, from the program folder.
    ASSERT_TRUE(QFile::copy(QStringLiteral(TABREL_SOURCE_DIR "/resources/files/Tabrel.html"),
                            pages));
    for (int id : {ID_HELP, ID_HELP_FINDER}) {
        urls.opened.clear();
        ASSERT_TRUE(Command(id)) << id;
        ASSERT_EQ(urls.opened.size(), 1) << id;
        EXPECT_EQ(urls.opened.front(), QUrl::fromLocalFile(pages));
    }
    // F1 on the canvas, and in a dialog of the program.
    urls.opened.clear();
    frame->activateWindow();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F1);
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened.front(), QUrl::fromLocalFile(pages));

    // The key goes where the user's would: to the focus of the dialog once
    // it is the active window (the dialog's own window reports itself
    // active as soon as the main window is, so the application is asked).
    urls.opened.clear();
    Select(ThreeBoxes(), 2);
    CAnswer<CRotationOriginDlg> help([](CRotationOriginDlg* dlg) {
        EXPECT_TRUE(QTest::qWaitFor([dlg] { return QApplication::activeWindow() == dlg; }, 20000));
        QWidget* target = dlg->focusWidget() ? dlg->focusWidget() : dlg;
        QTest::keyClick(target, Qt::Key_F1);
        dlg->reject();
    });
    ASSERT_TRUE(Command(ID_EDIT_ROTATE));
    EXPECT_TRUE(help.Answered());
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened.front(), QUrl::fromLocalFile(pages));

    // F1 pressed the moment the dialog shows, before the activation has
    // reached the program, opens the help too.
    urls.opened.clear();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == frame; }, 20000));
    view->setFocus();
    bool pressed = false;
    CShownWatch<CRotationOriginDlg> early([&](CRotationOriginDlg* dlg) {
        // The first thing the dialog's event loop does, before the window
        // system's news of the activation is read.
        QMetaObject::invokeMethod(
            dlg,
            [&, dlg] {
                EXPECT_EQ(QApplication::focusWidget(), view);
                QTest::keyClick(dlg->focusWidget() ? dlg->focusWidget() : dlg, Qt::Key_F1);
                pressed = true;
            },
            Qt::QueuedConnection);
    });
    CAnswer<CRotationOriginDlg> close([](CRotationOriginDlg* dlg) { dlg->reject(); });
    ASSERT_TRUE(Command(ID_EDIT_ROTATE));
    EXPECT_EQ(early.Count(), 1);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(close.Answered());
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened.front(), QUrl::fromLocalFile(pages));
}

// Shift+F1 and a click on an element open the help at the topic of its kind;
// a click on the empty sheet or outside the canvas opens the first topic. The
// click ends help mode.
TEST_F(CanvasCommandsTest, HelpModeOpensTheTopicOfTheElementClicked)
{
    ASSERT_TRUE(Start());
    CUrlCatcher urls;
    const QString pages = CSignApp::GetHelpFilePath();
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(TABREL_SOURCE_DIR "/resources/files/Tabrel.html"), pages));
    CBox* box = DrawBox(CRect(100, 100, 600, 400));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Command(ID_TOOL_TEXT));
    Click(200, 900);
    auto* text = dynamic_cast<CText*>(view->Selection().Primary());
    ASSERT_NE(text, nullptr);
    CBarcode* barcode = PlaceBarcode(SYM_CODE39, CPoint(300, 1500));
    ASSERT_NE(barcode, nullptr);
    view->Selection().DeselectAll();
    QFile file(pages);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString shipped = QString::fromUtf8(file.readAll());

    auto topicUrl = [&](const QString& topic) {
        QUrl url = QUrl::fromLocalFile(pages);
        if (!topic.isEmpty())
            url.setFragment(topic);
        return url;
    };
    struct Case
    {
        const char* what;
        CPoint at;
        QString topic;
    };
    const Case cases[] = {
        {"a box", CSelection::PositionRect(box).CenterPoint(), QStringLiteral("box")},
        {"a text", CSelection::PositionRect(text).CenterPoint(), QStringLiteral("text")},
        {"a barcode", CSelection::PositionRect(barcode).CenterPoint(), QStringLiteral("barcode")},
        {"the empty sheet", CPoint(1500, 2500), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        urls.opened.clear();
        // Help mode from the command, then the click.
        ASSERT_TRUE(Command(ID_CONTEXT_HELP));
        EXPECT_TRUE(frame->InHelpMode());
        Click(c.at.x, c.at.y);
        EXPECT_FALSE(frame->InHelpMode());
        ASSERT_EQ(urls.opened.size(), 1);
        EXPECT_EQ(urls.opened.front(), topicUrl(c.topic));
        // The pages hold the topic.
        if (!c.topic.isEmpty()) {
            EXPECT_TRUE(shipped.contains(QStringLiteral("id=\"%1\"").arg(c.topic)));
        }
    }
    // Every kind of element the help names has its topic in the pages.
    for (const char* topic : {"line", "ellipse", "price", "picture", "zip"}) {
        EXPECT_TRUE(shipped.contains(QStringLiteral("id=\"%1\"").arg(QLatin1String(topic))))
            << topic;
    }
    // Help mode and a click outside the canvas: the first topic.
    urls.opened.clear();
    ASSERT_TRUE(Command(ID_CONTEXT_HELP));
    QWidget* pane = frame->PropertyPane();
    ASSERT_NE(pane, nullptr);
    QTest::mouseClick(pane, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(frame->InHelpMode());
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened.front(), topicUrl(QString()));
    // A click on an element outside help mode opens nothing.
    urls.opened.clear();
    Click(CSelection::PositionRect(box).CenterPoint().x,
          CSelection::PositionRect(box).CenterPoint().y);
    EXPECT_TRUE(urls.opened.isEmpty());
}

// The Select button shows pressed only while the canvas has the keyboard
// focus: typing in the pane releases it, coming back presses it again.
TEST_F(CanvasCommandsTest, SelectButtonIsReleasedWhileTheCanvasHasNoFocus)
{
    ASSERT_TRUE(Start());
    CBox* box = DrawBox(CRect(100, 100, 600, 400));
    ASSERT_NE(box, nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    frame->UpdateActionsNow();
    QAction* select = frame->Action(ID_TOOL_SELECT);
    ASSERT_TRUE(select->isChecked());

    auto* field = frame->PropertyPane()->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    EXPECT_FALSE(select->isChecked());
    frame->UpdateActionsNow();
    EXPECT_FALSE(select->isChecked()) << "the rule keeps it released";

    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    frame->UpdateActionsNow();
    EXPECT_TRUE(select->isChecked());
}

// --- View > Shadow ---------------------------------------------------------------------

TEST_F(CanvasCommandsTest, ShadowFollowsTheProfileAndIsSaved)
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
              QStringLiteral("Tabrel"))
        .setValue(QStringLiteral("GeneralPreferences/Shadow"), QStringLiteral("0"));
    ASSERT_TRUE(Start());
    frame->UpdateActionsNow();
    EXPECT_FALSE(frame->Action(ID_VIEW_SHADOW)->isChecked());
    EXPECT_FALSE(CDesignView::s_showShadow);
    ASSERT_TRUE(Command(ID_VIEW_SHADOW));
    frame->UpdateActionsNow();
    EXPECT_TRUE(frame->Action(ID_VIEW_SHADOW)->isChecked());
    Stop();
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                        QStringLiteral("Tabrel"))
                  .value(QStringLiteral("GeneralPreferences/Shadow"))
                  .toInt(),
              1);
}

// --- fitting the whole sign --------------------------------------------------------------

TEST_F(CanvasCommandsTest, WholeSignLeavesNoScrollBar)
{
    ASSERT_TRUE(Start());
    for (const QSize size : {QSize(1300, 900), QSize(900, 1100), QSize(700, 500), QSize(1601, 777)}) {
        SCOPED_TRACE(size.width());
        frame->resize(size);
        QApplication::processEvents();
        ASSERT_TRUE(Command(ID_VIEW_WHOLE_SIGN));
        QApplication::processEvents();
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
        EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(view->verticalScrollBar()->isVisible());
        // Full size of a sign larger than the window scrolls.
        ASSERT_TRUE(Command(ID_VIEW_FULL_SIZE));
    }
}

// --- the sheet -------------------------------------------------------------------------

// Pixels of the canvas as shown.
QImage Shot(CDesignView* view)
{
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int DarkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                ++dark;
        }
    }
    return dark;
}

// An oval sign with the stock's background picture: the picture lies on
// the face, and the printable frame is drawn only inside the oval.
TEST_F(CanvasCommandsTest, SheetShowsTheBackgroundPictureAndTheMarginFrameInsideTheShape)
{
    ASSERT_TRUE(Start());
    QImage red(60, 80, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    const QString picture = home.FilePath(QStringLiteral("back.png"));
    ASSERT_TRUE(red.save(picture));

    CPaperStock stock;
    ASSERT_TRUE(ThePaper().GetStock(QString(), stock));
    stock.name = QStringLiteral("Oval with picture");
    stock.builtIn = 0;
    stock.type = 1;
    stock.cornerRadius = 0;
    ASSERT_TRUE(ThePaper().SetStock(stock));
    ASSERT_TRUE(ThePaper().SelectStock(stock.name));
    ASSERT_TRUE(Command(ID_VIEW_WHOLE_SIGN));
    frame->UpdateActionsNow();
    if (!frame->Action(ID_VIEW_MARGINS)->isChecked()) {
        ASSERT_TRUE(Command(ID_VIEW_MARGINS));
    }
    const int w = ThePaper().GetSignWidth();
    const int h = ThePaper().GetSignHeight();
    const CRect printable = ThePaper().GetPrintableRect();
    ASSERT_GT(printable.Width(), 0);

    // The frame's corner lies outside the oval: nothing of it is drawn
    // there, while its left edge shows beside the middle of the sign.
    QImage image = Shot(view);
    const CPoint corner = view->LPtoDP(CPoint(printable.left + w / 40, printable.top));
    const CPoint cornerEnd = view->LPtoDP(CPoint(printable.left + w / 10, printable.top + h / 40));
    EXPECT_EQ(DarkPixels(image, QRect(QPoint(corner.x, corner.y - 1),
                                      QPoint(cornerEnd.x, cornerEnd.y))),
              0);
    const CPoint edge = view->LPtoDP(CPoint(printable.left, h / 2 - h / 20));
    const CPoint edgeEnd = view->LPtoDP(CPoint(printable.left, h / 2 + h / 20));
    EXPECT_GT(DarkPixels(image, QRect(QPoint(edge.x - 1, edge.y), QPoint(edgeEnd.x + 1, edgeEnd.y))),
              0);
    const CPoint middle = view->LPtoDP(CPoint(w / 2, h / 2));
    EXPECT_EQ(QColor(image.pixel(middle.x, middle.y)), QColor(Qt::white));

    // With the background picture the face is red in the middle.
    stock.backgroundImage = picture;
    ASSERT_TRUE(ThePaper().SetStock(stock));
    ASSERT_TRUE(ThePaper().SelectStock(stock.name));
    ASSERT_TRUE(Command(ID_VIEW_WHOLE_SIGN));
    image = Shot(view);
    const CPoint centre = view->LPtoDP(CPoint(w / 2, h / 2));
    EXPECT_EQ(QColor(image.pixel(centre.x, centre.y)), QColor(255, 0, 0));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Printing a sign with typed data: the rulers make way for the print
// station and come back when data entry is cancelled.
TEST_F(CanvasCommandsTest, DataEntryHidesTheRulersUntilItIsCancelled)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TheGrid().IsShowRuler());
    ASSERT_TRUE(Command(ID_TOOL_TEXT));
    Click(300, 300);
    CElement* text = view->Selection().Primary();
    ASSERT_NE(text, nullptr);
    text->m_dataSource = SOURCE_KEYBOARD;
    ASSERT_TRUE(Command(ID_FILE_PRINT));
    EXPECT_EQ(view->Mode(), MODE_DATA_ENTRY);
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox})
        EXPECT_TRUE(TheGrid().GetRuler(kind)->isHidden()) << kind;
    // Keys do nothing to the sign meanwhile.
    view->Selection().AddElement(text);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_TRUE(TheElementList().Contains(text));

    ASSERT_TRUE(Command(ID_DATA_CANCEL));
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox})
        EXPECT_FALSE(TheGrid().GetRuler(kind)->isHidden()) << kind;
    EXPECT_TRUE(TheGrid().IsShowRuler());
}

// --- Log Off ---------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, LogOffLetsAnotherUserOnOrShutsDown)
{
    CSignApp::WriteProfileInt("Admin/Users", "access", 1, true);
    const char* const users[][2] = {{"Ann", "one"}, {"Bob", "two"}};
    for (int i = 0; i < 2; ++i) {
        const QString section = QStringLiteral("Admin/Users/User%1").arg(i);
        CSignApp::WriteProfileString(section, "name", users[i][0], true);
        CSignApp::WriteProfileString(section, "password", users[i][1], true);
        CSignApp::WriteProfileInt(section, "access", 0, true);
    }
    auto logOn = [](const char* name, const char* password) {
        return [name, password](CLoginDlg* dlg) {
            dlg->UserNameEdit()->setText(QString::fromLatin1(name));
            dlg->PasswordEdit()->setText(QString::fromLatin1(password));
            dlg->accept();
        };
    };
    {
        CAnswer<CLoginDlg> start(logOn("Ann", "one"));
        ASSERT_TRUE(Start());
        EXPECT_TRUE(start.Answered());
    }
    EXPECT_EQ(CUserList::Current().GetCurrentUserName(), QStringLiteral("Ann"));
    EXPECT_TRUE(Enabled(ID_LOG_OFF));

    CAnswer<CLoginDlg> bob(logOn("Bob", "two"));
    ASSERT_TRUE(Command(ID_LOG_OFF));
    EXPECT_TRUE(bob.Answered());
    EXPECT_EQ(CUserList::Current().GetCurrentUserName(), QStringLiteral("Bob"));
    QApplication::processEvents();
    EXPECT_TRUE(frame->isVisible());

    // Shut Down closes the window.
    CAnswer<CLoginDlg> shutDown([](CLoginDlg* dlg) { dlg->reject(); });
    ASSERT_TRUE(Command(ID_LOG_OFF));
    EXPECT_TRUE(shutDown.Answered());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !frame->isVisible(); }, 10000));
    EXPECT_EQ(CUserList::Current().GetCurrentUserName(), QStringLiteral("Bob"));
}

} // namespace

#include "CanvasCommandsTest.moc"
