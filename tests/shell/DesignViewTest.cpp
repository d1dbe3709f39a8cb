#include "CanvasTestSupport.h"

#include "DialogAnswer.h"
#include "Grid.h"
#include "Line.h"
#include "Ruler.h"
#include "Text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

// --- mapping and zoom --------------------------------------------------------------

TEST_F(CanvasTest, ViewportExtentIsZoomTimesPixelsPerMillimetre)
{
    const struct
    {
        int percent;
        double pxPerMm;
        int extent;
    } cases[] = {
        {100, 4.0, 400},   {250, 4.0, 1000}, {10, 4.0, 40},
        {1000, 4.0, 4000}, {100, 3.78, 378}, {15, 3.7795, 57}, // 56.69 rounds up
    };
    for (const auto& c : cases) {
        const CSize ext = CDesignView::ExtentFor(c.percent, c.pxPerMm, c.pxPerMm);
        EXPECT_EQ(ext.cx, c.extent) << c.percent << " % at " << c.pxPerMm;
        EXPECT_EQ(ext.cy, c.extent) << c.percent << " % at " << c.pxPerMm;
    }
}

TEST_F(CanvasTest, ConversionsRoundHalfAwayFromZeroOnBothSidesOfTheOrigin)
{
    // At 100 % a pixel is 2.5 tenths of a millimetre: the halves show the
    // rounding, and a point left of the sign mirrors one right of it.
    view->FullSize();
    const CPoint origin = view->ViewportOrigin();
    for (int px = 1; px <= 9; ++px) {
        const CPoint right = view->DPtoLP(CPoint(origin.x + px, origin.y + px));
        const CPoint left = view->DPtoLP(CPoint(origin.x - px, origin.y - px));
        EXPECT_EQ(left.x, -right.x) << px;
        EXPECT_EQ(left.y, -right.y) << px;
    }
    EXPECT_EQ(view->DPtoLP(CPoint(origin.x + 1, origin.y)).x, 3);  // 2.5
    EXPECT_EQ(view->DPtoLP(CPoint(origin.x - 1, origin.y)).x, -3); // -2.5
    EXPECT_EQ(view->LPtoDP(CPoint(-5, 5)), CPoint(origin.x - 2, origin.y + 2));
    // Round trips of whole pixels never drift, whatever the sign.
    for (int px : {-7, -3, -1, 0, 1, 3, 7}) {
        const CPoint d(origin.x + px, origin.y + px);
        EXPECT_EQ(view->LPtoDP(view->DPtoLP(d)), d) << px;
    }
}

TEST_F(CanvasTest, MagnifierStaysWithinTenAndOneThousandPercent)
{
    const struct
    {
        int from;
        bool in;
        int to;
    } cases[] = {
        {800, true, 1000}, {1000, true, 1000}, {100, true, 200},
        {15, false, 10},   {10, false, 10},    {100, false, 50},
    };
    for (const auto& c : cases) {
        view->SetZoomPercent(c.from);
        view->ZoomAt(CPoint(500, 500), c.in);
        EXPECT_EQ(view->ZoomPercent(), c.to) << c.from << (c.in ? " in" : " out");
        EXPECT_EQ(view->ZoomMode(), ZOOM_USER);
    }
}

TEST_F(CanvasTest, WholeSignFitsTheSignAndItsBorderInTheWindow)
{
    view->WholeSign();
    EXPECT_EQ(view->ZoomMode(), ZOOM_WHOLE_SIGN);
    const CPoint corner = view->LPtoDP(CPoint(2100, 2970));
    EXPECT_LE(corner.x, Surface()->width());
    EXPECT_LE(corner.y, Surface()->height());
    EXPECT_GT(view->ZoomPercent(), 10);
    // An element beyond the sign is brought into view too.
    AddBox(CRect(3000, 3500, 3200, 3700));
    const int before = view->ZoomPercent();
    view->WholeSign();
    EXPECT_LT(view->ZoomPercent(), before);
}

// --- creating elements with the tools -----------------------------------------------

TEST_F(CanvasTest, EachDrawingToolCreatesItsElementWhereItWasDragged)
{
    const struct
    {
        int command;
        int type;
    } tools[] = {
        {ID_TOOL_LINE, TYPE_LINE},
        {ID_TOOL_BOX, TYPE_BOX},
        {ID_TOOL_ELLIPSE, TYPE_ELLIPSE},
        {ID_TOOL_TEXT_BOX, TYPE_TEXT},
    };
    int count = 0;
    for (const auto& tool : tools) {
        SCOPED_TRACE(tool.command);
        document.SetModifiedFlag(false);
        ASSERT_TRUE(view->OnCommand(tool.command));
        EXPECT_NE(view->Mode(), MODE_SELECT);
        Drag(100, 200, 400, 350);
        ASSERT_EQ(TheElementList().GetCount(), ++count);
        CElement* element = TheElementList().GetAt(count - 1);
        EXPECT_EQ(element->GetTypeCode(), tool.type);
        EXPECT_EQ(view->Mode(), MODE_SELECT);
        EXPECT_TRUE(document.IsModified());
        EXPECT_EQ(view->Selection().Primary(), element);
        EXPECT_EQ(view->Selection().GetCount(), 1);
        const CUndoHistory& history = TheUndoHistory();
        ASSERT_GE(history.GetCount(), 1);
        EXPECT_EQ(history.GetRecord(history.GetCurrent()).kind, UNDO_ADDED);
        EXPECT_EQ(history.GetRecord(history.GetCurrent()).identity, element->m_undoIdentity);

        switch (tool.type) {
        case TYPE_LINE: {
            const auto* line = static_cast<CLine*>(element);
            EXPECT_EQ(line->m_start, CPoint(100, 200));
            EXPECT_EQ(line->m_end, CPoint(400, 350));
            break;
        }
        case TYPE_BOX:
        case TYPE_ELLIPSE:
            EXPECT_EQ(static_cast<CBox*>(element)->GetPointRect(), CRect(100, 200, 400, 350));
            break;
        default: {
            const auto* text = static_cast<CText*>(element);
            EXPECT_EQ(text->m_position, CPoint(100, 200));
            EXPECT_EQ(text->m_formatRect.TopLeft(), CPoint(100, 200));
            break;
        }
        }
    }
}

TEST_F(CanvasTest, TextToolPlacesItsElementAtTheClick)
{
    ASSERT_TRUE(view->OnCommand(ID_TOOL_TEXT));
    EXPECT_EQ(view->Mode(), MODE_TEXT_PLACE);
    ASSERT_NE(view->PendingElement(), nullptr);
    Click(300, 420);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    const auto* text = static_cast<CText*>(TheElementList().GetAt(0));
    EXPECT_EQ(text->m_position, CPoint(300, 420));
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(view->Selection().Primary(), text);
    EXPECT_EQ(TheUndoHistory().GetRecord(TheUndoHistory().GetCurrent()).kind, UNDO_ADDED);
    EXPECT_TRUE(document.IsModified());
}

TEST_F(CanvasTest, ReleasingWhereTheDragBeganCreatesNothing)
{
    for (int command : {ID_TOOL_LINE, ID_TOOL_BOX, ID_TOOL_ELLIPSE, ID_TOOL_TEXT_BOX}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(view->OnCommand(command));
        Click(250, 250);
        EXPECT_EQ(TheElementList().GetCount(), 0);
        EXPECT_EQ(TheUndoHistory().GetCount(), 0);
        EXPECT_FALSE(document.IsModified());
        EXPECT_EQ(view->Mode(), MODE_SELECT);
    }
}

TEST_F(CanvasTest, ShapesDrawnLeftOfAndAboveTheSignKeepTheirPositions)
{
    // Points left of and above the sign convert as exactly as those on it.
    ASSERT_TRUE(view->OnCommand(ID_TOOL_BOX));
    Drag(-30, -20, 40, 50);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(static_cast<CBox*>(TheElementList().GetAt(0))->GetPointRect(),
              CRect(-30, -20, 40, 50));
}

// --- selecting --------------------------------------------------------------------

TEST_F(CanvasTest, ClickSelectsCtrlClickAddsAndEmptyCanvasClears)
{
    CBox* a = AddBox(CRect(100, 100, 300, 200));
    CBox* b = AddBox(CRect(500, 100, 700, 200));
    CSelection& selection = view->Selection();

    Click(150, 150);
    EXPECT_EQ(selection.Elements(), (std::vector<CElement*>{a}));
    EXPECT_TRUE(a->IsPrimary());

    Click(550, 150, Qt::ControlModifier);
    EXPECT_EQ(selection.Elements(), (std::vector<CElement*>{a, b}));
    EXPECT_EQ(selection.Primary(), b);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(a->IsPrimary());

    // A click on a selected element keeps the selection and makes it primary.
    Click(150, 150);
    EXPECT_EQ(selection.GetCount(), 2);
    EXPECT_EQ(selection.Primary(), a);

    // A click without Ctrl on an unselected element replaces the selection.
    CBox* c = AddBox(CRect(100, 500, 300, 600));
    Click(150, 550);
    EXPECT_EQ(selection.Elements(), (std::vector<CElement*>{c}));
    EXPECT_FALSE(a->IsSelected());

    // Empty canvas outside the selection clears it.
    Click(1500, 1500);
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(view->Mode(), MODE_SELECT);
}

TEST_F(CanvasTest, OverlappingElementsHitTheSmallestThenTheEarliest)
{
    AddBox(CRect(100, 100, 600, 600));
    CBox* small = AddBox(CRect(200, 200, 300, 300));
    CBox* twin = AddBox(CRect(200, 200, 300, 300));
    (void)twin;
    Click(250, 250);
    EXPECT_EQ(view->Selection().Primary(), small);
}

TEST_F(CanvasTest, RubberBandSelectsWhatLiesWhollyInside)
{
    CBox* a = AddBox(CRect(100, 100, 200, 200));
    CBox* b = AddBox(CRect(300, 100, 400, 200));
    AddBox(CRect(350, 150, 900, 900)); // only partly inside
    Press(50, 50);
    EXPECT_EQ(view->Mode(), MODE_RUBBER_BAND);
    Move(300, 300);
    Move(450, 450);
    EXPECT_EQ(view->RubberBand(), CRect(50, 50, 452, 452));
    Release(450, 450);
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(view->Selection().Elements(), (std::vector<CElement*>{a, b}));
    EXPECT_EQ(view->Selection().Primary(), b);
}

// --- moving and resizing --------------------------------------------------------------

TEST_F(CanvasTest, DragMovesTheSelectionAndTheTimerCommitsTheTrack)
{
    CBox* box = AddBox(CRect(100, 100, 300, 200));
    QSignalSpy refreshes(view.get(), &CDesignView::paneRefreshRequested);
    Press(150, 150);
    EXPECT_EQ(view->Mode(), MODE_MOVE);
    Move(180, 170);
    Move(200, 190);
    EXPECT_TRUE(view->DragTimerActive());
    EXPECT_FALSE(box->m_state & STATE_TRACK_COMMITTED);
    // The element itself moves only when the pointer rests.
    EXPECT_EQ(box->GetPointRect(), CRect(100, 100, 300, 200));
    EXPECT_TRUE(QTest::qWaitFor([&] { return (box->m_state & STATE_TRACK_COMMITTED) != 0; }, 10000));
    EXPECT_EQ(box->GetPointRect(), CRect(150, 140, 350, 240));
    EXPECT_EQ(refreshes.count(), 1);
    Release(200, 190);
    EXPECT_FALSE(view->DragTimerActive());
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(box->GetPointRect(), CRect(150, 140, 350, 240));
    EXPECT_TRUE(document.IsModified());

    const CUndoHistory& history = TheUndoHistory();
    EXPECT_EQ(history.GetRecord(history.GetCurrent()).kind, UNDO_CHANGED);
    view->OnCommand(ID_EDIT_UNDO);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(static_cast<CBox*>(TheElementList().GetAt(0))->GetPointRect(),
              CRect(100, 100, 300, 200));
}

TEST_F(CanvasTest, ReleaseBeforeTheTimerEndsTheDragWithoutIt)
{
    CBox* box = AddBox(CRect(100, 100, 300, 200));
    QSignalSpy refreshes(view.get(), &CDesignView::paneRefreshRequested);
    Press(150, 150);
    Move(160, 155);
    Release(160, 155);
    EXPECT_FALSE(view->DragTimerActive());
    EXPECT_EQ(box->GetPointRect(), CRect(110, 105, 310, 205));
    EXPECT_EQ(refreshes.count(), 1); // the end of the drag only
}

TEST_F(CanvasTest, MovingSeveralElementsRecordsOneGroup)
{
    CBox* a = AddBox(CRect(100, 100, 200, 200));
    CBox* b = AddBox(CRect(400, 100, 500, 200));
    Click(150, 150);
    Click(450, 150, Qt::ControlModifier);
    const int before = TheUndoHistory().GetCount();
    Press(150, 150);
    Move(150, 300);
    Release(150, 300);
    EXPECT_EQ(a->GetPointRect(), CRect(100, 250, 200, 350));
    EXPECT_EQ(b->GetPointRect(), CRect(400, 250, 500, 350));
    const CUndoHistory& h = TheUndoHistory();
    ASSERT_EQ(h.GetCount(), before + 4);
    EXPECT_EQ(h.GetRecord(before).kind, UNDO_GROUP_BEGIN);
    EXPECT_EQ(h.GetRecord(before + 1).kind, UNDO_CHANGED);
    EXPECT_EQ(h.GetRecord(before + 2).kind, UNDO_CHANGED);
    EXPECT_EQ(h.GetRecord(before + 3).kind, UNDO_GROUP_END);
}

TEST_F(CanvasTest, HandleDragResizesThePrimaryAndReducesTheSelection)
{
    CBox* a = AddBox(CRect(100, 100, 300, 200));
    CBox* b = AddBox(CRect(500, 100, 700, 200));
    Click(150, 150);
    Click(550, 150, Qt::ControlModifier);
    ASSERT_EQ(view->Selection().GetCount(), 2);
    // The bottom-right handle of a.
    const CRect handle = a->m_handles[HANDLE_BOTTOM_RIGHT];
    const CPoint grip = handle.CenterPoint();
    Press(grip.x, grip.y);
    EXPECT_EQ(view->Mode(), MODE_RESIZE);
    EXPECT_EQ(view->Selection().Elements(), (std::vector<CElement*>{a}));
    EXPECT_FALSE(b->IsSelected());
    Move(grip.x + 40, grip.y + 20);
    Move(grip.x + 60, grip.y + 30);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->DragTimerActive(); }, 10000));
    EXPECT_EQ(a->GetPointRect(), CRect(100, 100, 360, 230));
    Release(grip.x + 60, grip.y + 30);
    EXPECT_EQ(a->GetPointRect(), CRect(100, 100, 360, 230));
    EXPECT_EQ(TheUndoHistory().GetRecord(TheUndoHistory().GetCurrent()).kind, UNDO_CHANGED);
    view->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(static_cast<CBox*>(TheElementList().GetAt(0))->GetPointRect(),
              CRect(100, 100, 300, 200));
}

TEST_F(CanvasTest, DraggingRepaintsOnlyAroundTheSelection)
{
    AddBox(CRect(100, 100, 300, 200));
    AddBox(CRect(1500, 2000, 1800, 2400));
    Click(150, 150);
    QApplication::processEvents();
    int largest = 0;
    struct CFilter : QObject
    {
        int* largest;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) {
                const QRect r = static_cast<QPaintEvent*>(e)->rect();
                *largest = std::max(*largest, r.width() * r.height());
            }
            return false;
        }
    } filter;
    filter.largest = &largest;
    Surface()->installEventFilter(&filter);
    Press(150, 150);
    Move(170, 160);
    QApplication::processEvents();
    Release(170, 160);
    QApplication::processEvents();
    Surface()->removeEventFilter(&filter);
    EXPECT_GT(largest, 0);
    // Far less than the whole window: the other box is never repainted.
    EXPECT_LT(largest, Surface()->width() * Surface()->height() / 4);
}

TEST_F(CanvasTest, ArrowKeysNudgeByATenthOrAWholeMillimetre)
{
    CBox* box = AddBox(CRect(100, 100, 300, 200));
    Click(150, 150);
    const struct
    {
        int key;
        Qt::KeyboardModifiers mods;
        CPoint topLeft;
    } steps[] = {
        {Qt::Key_Right, Qt::NoModifier, {101, 100}},
        {Qt::Key_Down, Qt::NoModifier, {101, 101}},
        {Qt::Key_Left, Qt::ShiftModifier, {91, 101}},
        {Qt::Key_Up, Qt::ShiftModifier, {91, 91}},
    };
    for (const auto& step : steps) {
        QTest::keyClick(view.get(), Qt::Key(step.key), step.mods);
        EXPECT_EQ(box->GetPointRect().TopLeft(), step.topLeft) << step.key;
    }
    EXPECT_TRUE(document.IsModified());
    // Keys do nothing outside select mode.
    view->OnCommand(ID_TOOL_BOX);
    QTest::keyClick(view.get(), Qt::Key_Right);
    EXPECT_EQ(box->GetPointRect().TopLeft(), CPoint(91, 91));
}

TEST_F(CanvasTest, DeleteKeyRemovesTheSelection)
{
    AddBox(CRect(100, 100, 300, 200));
    Click(150, 150);
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_EQ(TheElementList().GetCount(), 0);
    EXPECT_TRUE(view->Selection().IsEmpty());
    EXPECT_TRUE(document.IsModified());
    view->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

TEST_F(CanvasTest, CommandStateReportsModeAndSelection)
{
    AddBox(CRect(100, 100, 300, 200));
    Click(150, 150);
    CCommandState state;
    view->FillCommandState(state);
    EXPECT_EQ(state.selectedCount, 1);
    EXPECT_EQ(state.primaryType, TYPE_BOX);
    EXPECT_EQ(state.toolMode, MODE_SELECT);
    view->OnCommand(ID_TOOL_ELLIPSE);
    view->FillCommandState(state);
    EXPECT_EQ(state.toolMode, MODE_ELLIPSE);
    EXPECT_EQ(state.selectedCount, 0);
}

// --- grid, guides and rulers -----------------------------------------------------------

TEST_F(CanvasTest, MoveSnapsToTheGridOnlyWhileSnapIsOn)
{
    TheGrid().SetInterval(50, 50);
    const struct
    {
        bool snap;
        CPoint to; // where the pointer, pressed at (150, 150), is released
        CRect expected;
    } cases[] = {
        {false, CPoint(183, 172), CRect(133, 122, 333, 222)},
        {true, CPoint(183, 172), CRect(150, 100, 350, 200)},
        {true, CPoint(124, 174), CRect(50, 100, 250, 200)},
        // Left of and above the sign: halves go away from zero there too.
        {true, CPoint(20, 90), CRect(-50, 50, 150, 150)},
        {true, CPoint(-85, 40), CRect(-150, 0, 50, 100)},
    };
    for (const auto& c : cases) {
        view->Selection().Reset();
        TheElementList().DeleteAll();
        TheGrid().SetSnapToGrid(c.snap);
        CBox* box = AddBox(CRect(100, 100, 300, 200));
        Press(150, 150);
        Move(c.to.x, c.to.y);
        Release(c.to.x, c.to.y);
        EXPECT_EQ(box->GetPointRect(), c.expected)
            << "snap " << c.snap << " to " << c.to.x << "," << c.to.y;
        view->Selection().DeselectAll();
    }
}

// A ruler point over the canvas's device point of a logical position.
QPoint RulerPoint(const CRuler* ruler, QPoint canvasDevice)
{
    return ruler->mapFrom(ruler->parentWidget(), canvasDevice);
}

void SendMove(QWidget* widget, QPoint at)
{
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST_F(CanvasTest, GuideDraggedOutOfTheHorizontalRulerIsAddedAndDroppedBackDeleted)
{
    TheGrid().SetSnapToGrid(false);
    CRuler* ruler = TheGrid().GetRuler(CRuler::HorizontalRuler);
    ASSERT_TRUE(ruler);
    const QPoint onRuler(100, ruler->height() / 2);
    QTest::mousePress(ruler, Qt::LeftButton, Qt::NoModifier, onRuler);
    EXPECT_EQ(view->Mode(), MODE_GUIDE);
    ASSERT_EQ(TheGrid().GuideCount(), 1);
    SendMove(ruler, RulerPoint(ruler, Dp(300, 200)));
    SendMove(ruler, RulerPoint(ruler, Dp(300, 437)));
    QTest::mouseRelease(ruler, Qt::LeftButton, Qt::NoModifier, RulerPoint(ruler, Dp(300, 437)));
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    ASSERT_EQ(TheGrid().GuideCount(), 1);
    EXPECT_EQ(TheGrid().Guides()[0], (CGuide{CGuide::Horizontal, 437}));
    EXPECT_EQ(TheGrid().CurrentGuide(), -1);

    // Picked on the canvas and moved; a drop over the other ruler keeps it.
    CRuler* vertical = TheGrid().GetRuler(CRuler::VerticalRuler);
    ASSERT_TRUE(vertical);
    Press(500, 439);
    EXPECT_EQ(view->Mode(), MODE_GUIDE);
    Move(500, 612);
    const QPoint overVertical = vertical->geometry().center();
    QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, overVertical);
    ASSERT_EQ(TheGrid().GuideCount(), 1);
    EXPECT_EQ(TheGrid().Guides()[0], (CGuide{CGuide::Horizontal, 612}));
    EXPECT_EQ(view->Mode(), MODE_SELECT);

    // Dragged out again from the canvas and dropped on its own ruler: gone.
    Press(500, 610);
    EXPECT_EQ(view->Mode(), MODE_GUIDE);
    const QPoint overHorizontal = ruler->geometry().center();
    QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, overHorizontal);
    EXPECT_EQ(TheGrid().GuideCount(), 0);
    EXPECT_EQ(view->Mode(), MODE_SELECT);

    // One dragged out of the ruler and straight back onto it is not kept.
    QTest::mousePress(ruler, Qt::LeftButton, Qt::NoModifier, onRuler);
    SendMove(ruler, RulerPoint(ruler, Dp(300, 300)));
    SendMove(ruler, onRuler);
    QTest::mouseRelease(ruler, Qt::LeftButton, Qt::NoModifier, onRuler);
    EXPECT_EQ(TheGrid().GuideCount(), 0);
    EXPECT_EQ(TheGrid().CurrentGuide(), -1);

    // Only the select tool takes a guide from a ruler.
    view->OnCommand(ID_TOOL_BOX);
    QTest::mousePress(ruler, Qt::LeftButton, Qt::NoModifier, onRuler);
    QTest::mouseRelease(ruler, Qt::LeftButton, Qt::NoModifier, onRuler);
    EXPECT_EQ(TheGrid().GuideCount(), 0);
    EXPECT_EQ(view->Mode(), MODE_BOX);
}

TEST_F(CanvasTest, RulersLieBesideTheSignAndFollowZoomAndScrolling)
{
    CGrid& grid = TheGrid();
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox}) {
        ASSERT_TRUE(grid.GetRuler(kind)) << kind;
        EXPECT_EQ(grid.GetRuler(kind)->parentWidget(), Surface()) << kind;
    }
    const CRuler* across = grid.GetRuler(CRuler::HorizontalRuler);
    const CRuler* down = grid.GetRuler(CRuler::VerticalRuler);
    auto expectAligned = [&](const char* when) {
        for (int pos : {0, 1000, 2100, -300}) {
            EXPECT_EQ(across->x() + across->ToPixel(pos), view->LPtoDP(CPoint(pos, 0)).x)
                << when << " " << pos;
            EXPECT_EQ(down->y() + down->ToPixel(pos), view->LPtoDP(CPoint(0, pos)).y)
                << when << " " << pos;
        }
    };
    for (int percent : {250, 100, 37, 800}) {
        view->SetZoomPercent(percent);
        expectAligned("zoom");
    }
    view->SetZoomPercent(250);
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() + 40);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + 25);
    expectAligned("scrolled");

    // The sign's corner lies one border beyond the rulers.
    view->FullSize();
    const int border = view->LPtoDPSize(CSize(CDesignView::BorderFor(2100, 2970), 0)).cx;
    EXPECT_EQ(view->ViewportOrigin().x, grid.RulerWidth() + border);
    EXPECT_EQ(view->ViewportOrigin().y, grid.RulerHeight() + border);
    EXPECT_GT(grid.RulerWidth(), 0);

    // The pointer's position is marked on both rulers.
    Move(400, 300);
    EXPECT_EQ(across->MarkerPosition(), Dp(400, 300).x() - across->x());
    EXPECT_EQ(down->MarkerPosition(), Dp(400, 300).y() - down->y());

    // Hiding the rulers gives their room to the sign.
    view->OnCommand(ID_VIEW_RULER);
    EXPECT_EQ(grid.RulerWidth(), 0);
    EXPECT_FALSE(across->isVisible());
    EXPECT_EQ(view->ViewportOrigin().x, border);
}

TEST_F(CanvasTest, GridCommandsToggleTheirSwitchAndTheCommandState)
{
    const struct
    {
        int id;
        bool (CGrid::*get)() const;
        bool CCommandState::*state;
    } cases[] = {
        {ID_VIEW_GRID, &CGrid::IsShowGrid, &CCommandState::showGrid},
        {ID_VIEW_MARGINS, &CGrid::IsShowMargins, &CCommandState::showMargins},
        {ID_VIEW_RULER, &CGrid::IsShowRuler, &CCommandState::showRuler},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(view->HandlesCommand(c.id)) << c.id;
        for (int round = 0; round < 2; ++round) {
            const bool before = (TheGrid().*c.get)();
            EXPECT_TRUE(view->OnCommand(c.id));
            EXPECT_NE((TheGrid().*c.get)(), before) << c.id;
            CCommandState state;
            view->FillCommandState(state);
            EXPECT_EQ(state.*c.state, !before) << c.id;
        }
    }
    for (int id : {ID_LAYOUT_GUIDES, ID_OPTIONS_GRID, ID_OPTIONS_RULER, ID_OPTIONS_MARGINS})
        EXPECT_TRUE(view->HandlesCommand(id)) << id;
    EXPECT_FALSE(document.IsModified());
}

// Black pixels inside a logical rectangle of a grab of the canvas.
int BlackPixels(const QImage& image, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == 0;
    }
    return count;
}

// The Layout Guides sheet as the canvas's commands open it: each command
// at its page, and OK on an interval that is no number in the unit's range
// keeps the sheet open at the Grid page with the range message.
TEST_F(CanvasTest, LayoutGuidesSheetOpensAtItsPageAndRefusesIntervalsOutOfRange)
{
    CMessageResponder messages;
    const struct
    {
        int command;
        const char* page;
    } pages[] = {{ID_LAYOUT_GUIDES, "id137"},
                 {ID_OPTIONS_GRID, "id137"},
                 {ID_OPTIONS_MARGINS, "id150"},
                 {ID_OPTIONS_RULER, "id151"}};
    for (const auto& p : pages) {
        QString shown;
        CAnswer<QDialog> look([&](QDialog* sheet) {
            shown = sheet->findChild<QTabWidget*>()->currentWidget()->objectName();
            sheet->reject();
        });
        view->OnCommand(p.command);
        ASSERT_TRUE(look.Answered()) << p.command;
        EXPECT_EQ(shown, QString::fromLatin1(p.page)) << p.command;
    }

    const struct
    {
        int units;
        const char* typed; // across; then 2.5 mm or 0.1 inch, accepted
        const char* message;
        const char* unitName;
    } cases[] = {
        {0, "0.5", "Please enter a number between 1 and 1000.", "mm"},
        {0, "1000.5", "Please enter a number between 1 and 1000.", "mm"},
        {0, "many", "Please enter a number.", "mm"},
        {0, "", "Please enter a number.", "mm"},
        {1, "0.03", "Please enter a number between 0.04 and 39.", "inches"},
        {1, "39.5", "Please enter a number between 0.04 and 39.", "inches"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TheGrid().SetUnits(c.units);
        TheGrid().SetInterval(100, 100);
        messages.Clear();
        bool keptOpen = false;
        bool refusedFieldFocused = false;
        QString unitLabel;
        CAnswer<QDialog> answer([&](QDialog* sheet) {
            auto* tabs = sheet->findChild<QTabWidget*>();
            tabs->setCurrentIndex(2); // the refusal shows the Grid page again
            auto* across = sheet->findChild<QLineEdit*>(QStringLiteral("id1062"));
            auto* down = sheet->findChild<QLineEdit*>(QStringLiteral("id1063"));
            unitLabel = sheet->findChild<QLabel*>(QStringLiteral("id1020"))->text();
            QPushButton* ok = sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            across->setText(QString::fromLatin1(c.typed));
            ok->click();
            keptOpen = sheet->isVisible() && tabs->currentIndex() == 0;
            refusedFieldFocused = sheet->focusWidget() == across;
            across->setText(c.units == 1 ? QStringLiteral("0.1") : QStringLiteral("2.5"));
            down->setText(QStringLiteral("4"));
            ok->click();
        });
        view->OnCommand(ID_OPTIONS_RULER);
        ASSERT_TRUE(answer.Answered());
        EXPECT_TRUE(keptOpen);
        EXPECT_TRUE(refusedFieldFocused);
        EXPECT_EQ(unitLabel, QString::fromLatin1(c.unitName));
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_EQ(messages.LastText(), QString::fromLatin1(c.message));
        EXPECT_EQ(TheGrid().GetInterval(), CSize(25, c.units == 1 ? 1016 : 40));
    }
}

TEST_F(CanvasTest, GridCommandDrawsTheDotsAndGuidesAreDrawn)
{
    TheGrid().SetShowGrid(false);
    TheGrid().SetInterval(50, 50);
    TheGrid().RemoveAllGuides();
    view->SetZoomPercent(250);
    const QRect inside(Dp(200, 200), Dp(500, 500));
    EXPECT_EQ(BlackPixels(Surface()->grab().toImage(), inside), 0);

    view->OnCommand(ID_VIEW_GRID);
    const QImage dotted = Surface()->grab().toImage();
    // One dot at each 5 mm point (wider than two screen millimetres).
    EXPECT_EQ(BlackPixels(dotted, inside), 7 * 7);
    EXPECT_EQ(dotted.pixel(Dp(200, 200)) & 0xffffff, 0u);
    EXPECT_NE(dotted.pixel(Dp(201, 201)) & 0xffffff, 0u);

    // A guide adds its dotted line across the canvas.
    view->OnCommand(ID_VIEW_GRID);
    TheGrid().InsertGuide(CGuide::Vertical, 515);
    const QImage guided = Surface()->grab().toImage();
    const QRect column(Dp(515, 200), Dp(515, 500));
    EXPECT_GE(BlackPixels(guided, column), 100);
    EXPECT_EQ(BlackPixels(guided, column.translated(3, 0)), 0);

    if (const QString path = qEnvironmentVariable("TABREL_CANVAS_GRAB"); !path.isEmpty()) {
        view->OnCommand(ID_VIEW_GRID);
        TheGrid().InsertGuide(CGuide::Horizontal, 420);
        AddBox(CRect(300, 300, 700, 600));
        view->SetZoomPercent(100);
        view->grab().save(path);
    }
}

} // namespace
