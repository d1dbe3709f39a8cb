#include "CanvasTestSupport.h"

#include "Line.h"
#include "Text.h"

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
    QTest::qWait(CDesignView::kDragTimerMs + 200);
    EXPECT_TRUE(box->m_state & STATE_TRACK_COMMITTED);
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
    QTest::qWait(CDesignView::kDragTimerMs + 200);
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

} // namespace
