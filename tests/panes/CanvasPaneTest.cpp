// The canvas and the property pane together in the designer as it starts:
// the pane follows edits made with the mouse, the corner box's unit reaches
// the panes, and a tool put down leaves the sign as it was.
#include "AppContext.h"
#include "BarcodeStyle.h"
#include "Box.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "ElementList.h"
#include "ElementView.h"
#include "Grid.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Ruler.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "UndoHistory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class CanvasPaneTest : public CDesignerCanvasTest
{
protected:
    std::vector<CElement*> Elements() const
    {
        std::vector<CElement*> list;
        for (CElement* element : TheElementList())
            list.push_back(element);
        return list;
    }
};

// A box dragged with the mouse shows its new place in the pane, and the
// shown value typed again leaves it there.
TEST_F(CanvasPaneTest, PaneShowsWhereTheMouseMovedTheElement)
{
    ASSERT_NE(view, nullptr);
    CBox* box = DrawBox(CRect(200, 200, 600, 400));
    ASSERT_NE(box, nullptr);
    ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CBoxView");
    const CRect before = box->GetPointRect();
    EXPECT_EQ(Find<QLineEdit>(1002)->text(), PaneUnits::Format(before.left));

    struct Case
    {
        int dx, dy;
        bool waitForTimer; // rest on the way, so the drag timer applies a step
    };
    const Case cases[] = {{300, 150, false}, {-120, 80, true}, {0, -200, false}};
    for (const Case& c : cases) {
        const CRect from = box->GetPointRect();
        const CPoint grab((from.left + from.right) / 2, (from.top + from.bottom) / 2);
        Press(grab.x, grab.y);
        ASSERT_EQ(view->Mode(), MODE_MOVE);
        Move(grab.x + c.dx / 2, grab.y + c.dy / 2);
        if (c.waitForTimer) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !view->DragTimerActive(); }, 10000));
            // The step the timer applied is in the pane while the drag goes on.
            EXPECT_EQ(Find<QLineEdit>(1002)->text(), PaneUnits::Format(box->GetPointRect().left));
        }
        Move(grab.x + c.dx, grab.y + c.dy);
        Release(grab.x + c.dx, grab.y + c.dy);
        const CRect moved = box->GetPointRect();
        EXPECT_NE(moved.TopLeft(), from.TopLeft()) << c.dx << "," << c.dy;
        EXPECT_EQ(Find<QLineEdit>(1002)->text(), PaneUnits::Format(moved.left)) << c.dx;
        EXPECT_EQ(Find<QLineEdit>(1005)->text(), PaneUnits::Format(moved.top)) << c.dy;

        // Applying what the pane shows keeps the box where the mouse left it.
        Type(1002, Find<QLineEdit>(1002)->text());
        Type(1005, Find<QLineEdit>(1005)->text());
        EXPECT_EQ(box->GetPointRect(), moved) << c.dx << "," << c.dy;
    }

    // A nudge with the arrow keys and a turn from the menu reach the pane too.
    const int left = box->GetPointRect().left;
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box->GetPointRect().left, left + 10);
    EXPECT_EQ(Find<QLineEdit>(1002)->text(), PaneUnits::Format(left + 10));
    Command(ID_EDIT_ROTATE);
    EXPECT_EQ(Find<QLineEdit>(1008)->text(), PaneUnits::Format(box->GetPointRect().Width()));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Picks the display unit on the Ruler page of the Layout Guides sheet that
// the Ruler... command opens, and confirms.
bool ChooseUnitInSheet(CMainFrame* frame, int units)
{
    bool answered = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* sheet = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        auto* list = sheet ? sheet->findChild<QComboBox*>(QStringLiteral("id1082")) : nullptr;
        if (!list)
            return;
        timer.stop();
        answered = true;
        list->setCurrentIndex(units);
        sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    timer.start(5);
    frame->UpdateActionsNow();
    frame->Action(ID_OPTIONS_RULER)->trigger();
    return answered;
}

// The display unit is the whole program's: switched with the corner box or
// the Layout Guides sheet, the selection goes, and the sign settings pane and
// every pane made afterwards show and read lengths in the new unit.
TEST_F(CanvasPaneTest, CornerBoxSwitchesTheUnitOfThePanes)
{
    ASSERT_NE(view, nullptr);
    if (!TheGrid().IsShowRuler())
        Command(ID_VIEW_RULER);
    CRuler* corner = TheGrid().GetRuler(CRuler::CornerBox);
    ASSERT_NE(corner, nullptr);
    ASSERT_TRUE(corner->isVisible());
    CBox* box = DrawBox(CRect(200, 200, 600, 400));
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(TheGrid().GetUnits(), 0);
    ASSERT_EQ(Find<QLabel>(1019)->text(), QStringLiteral("mm"));

    struct Case
    {
        bool sheet; // else the corner box
        int units;
        const char* unitName;
        const char* typed;
        int tenths;
    };
    const Case cases[] = {{false, 1, "inches", "1", 254},
                          {false, 0, "mm", "1", 10},
                          {false, 1, "inches", "2.5", 635},
                          {true, 0, "mm", "2.5", 25},
                          {true, 1, "inches", "1", 254}};
    for (const Case& c : cases) {
        if (c.sheet)
            ASSERT_TRUE(ChooseUnitInSheet(frame, c.units));
        else
            QTest::mouseClick(corner, Qt::LeftButton, Qt::NoModifier, corner->rect().center());
        EXPECT_EQ(TheGrid().GetUnits(), c.units);
        EXPECT_EQ(view->Selection().GetCount(), 0) << c.unitName;
        ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CSettingsView");
        EXPECT_EQ(Find<QLabel>(1019)->text(), QString::fromLatin1(c.unitName));

        // The box, chosen again on the canvas, is edited in the new unit.
        const CRect r = box->GetPointRect();
        QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier,
                          Dp((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        ASSERT_EQ(view->Selection().Primary(), box);
        EXPECT_EQ(Find<QLabel>(1019)->text(), QString::fromLatin1(c.unitName));
        Type(1002, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->GetPointRect().left, c.tenths) << c.typed << " " << c.unitName;
        EXPECT_EQ(box->GetPointRect().Width(), r.Width());
    }
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Every tool put down before it made anything, by Escape or by another
// tool, leaves the elements, the undo history and the modified flag as they
// were; the tool used afterwards makes exactly one element.
TEST_F(CanvasPaneTest, ToolPutDownLeavesTheSignAsItWas)
{
    ASSERT_NE(view, nullptr);
    CBarcodePreferences::Current().type = SYM_CODE39; // armed without asking
    CBox* box = DrawBox(CRect(100, 100, 300, 200));
    ASSERT_NE(box, nullptr);
    frame->Document().SetModifiedFlag(false);

    enum Cancel
    {
        ESCAPE,
        OTHER_TOOL,
        SELECT_TOOL
    };
    struct Case
    {
        int tool;
        int armedMode;
        bool drawing; // pressed and dragged part of the way first
        Cancel cancel;
    };
    const Case cases[] = {
        {ID_TOOL_TEXT, MODE_TEXT_PLACE, false, ESCAPE},
        {ID_TOOL_TEXT, MODE_TEXT_PLACE, false, OTHER_TOOL},
        {ID_TOOL_TEXT, MODE_TEXT_PLACE, false, SELECT_TOOL},
        {ID_TOOL_BARCODE, MODE_BARCODE_PLACE, false, ESCAPE},
        {ID_TOOL_BARCODE, MODE_BARCODE_PLACE, false, OTHER_TOOL},
        {ID_TOOL_LINE, MODE_LINE, false, ESCAPE},
        {ID_TOOL_BOX, MODE_BOX, false, OTHER_TOOL},
        {ID_TOOL_ELLIPSE, MODE_ELLIPSE, false, ESCAPE},
        {ID_TOOL_TEXT_BOX, MODE_TEXT_BOX, false, ESCAPE},
        {ID_TOOL_MAGNIFIER, MODE_MAGNIFIER, false, ESCAPE},
        {ID_TOOL_LINE, MODE_LINE, true, ESCAPE},
        {ID_TOOL_BOX, MODE_BOX, true, ESCAPE},
        {ID_TOOL_ELLIPSE, MODE_ELLIPSE, true, ESCAPE},
        {ID_TOOL_TEXT_BOX, MODE_TEXT_BOX, true, ESCAPE},
    };
    for (const Case& c : cases) {
        const std::vector<CElement*> elements = Elements();
        const int undoCount = TheUndoHistory().GetCount();
        const int undoCurrent = TheUndoHistory().GetCurrent();
        Command(c.tool);
        ASSERT_EQ(view->Mode(), c.armedMode) << c.tool;
        if (c.drawing) {
            Press(500, 500);
            Move(700, 650);
            ASSERT_EQ(view->Mode(), c.armedMode + 1) << c.tool;
        }
        switch (c.cancel) {
        case ESCAPE:
            QTest::keyClick(view, Qt::Key_Escape);
            break;
        case OTHER_TOOL:
            Command(c.tool == ID_TOOL_BOX ? ID_TOOL_LINE : ID_TOOL_BOX);
            break;
        case SELECT_TOOL:
            Command(ID_TOOL_SELECT);
            break;
        }
        if (c.drawing)
            Release(700, 650);
        const char* how = c.cancel == ESCAPE ? "Escape" : "another tool";
        EXPECT_EQ(Elements(), elements) << c.tool << " " << how;
        EXPECT_EQ(TheUndoHistory().GetCount(), undoCount) << c.tool << " " << how;
        EXPECT_EQ(TheUndoHistory().GetCurrent(), undoCurrent) << c.tool << " " << how;
        EXPECT_FALSE(frame->Document().IsModified()) << c.tool << " " << how;
        EXPECT_EQ(view->PendingElement(), nullptr) << c.tool;
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_EQ(view->Mode(), MODE_SELECT) << c.tool << " " << how;
    }

    // The text tool used after all that places one text, and only it.
    Command(ID_TOOL_TEXT);
    QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(400, 600));
    const std::vector<CElement*> elements = Elements();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0], box);
    EXPECT_EQ(elements[1]->GetTypeCode(), TYPE_TEXT);
    EXPECT_TRUE(frame->Document().IsModified());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Elements(), std::vector<CElement*>{box});
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Saving while a tool still holds an element it has not placed saves the
// sign without it, and the tool is put down.
TEST_F(CanvasPaneTest, SaveWithAToolArmedLeavesTheUnplacedElementOut)
{
    ASSERT_NE(view, nullptr);
    CBox* box = DrawBox(CRect(100, 100, 300, 200));
    ASSERT_NE(box, nullptr);
    const QString path = home.FilePath("armed.sgn");
    frame->Document().SetPathName(path);
    Command(ID_TOOL_TEXT);
    ASSERT_NE(view->PendingElement(), nullptr);
    Command(ID_FILE_SAVE);
    EXPECT_EQ(view->PendingElement(), nullptr);
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(Elements(), std::vector<CElement*>{box});
    CSignData reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

} // namespace
