#include "CanvasTestSupport.h"

#include "Paper.h"
#include "SignApp.h"

#include <QClipboard>
#include <QMimeData>

namespace {

// Three boxes selected with the first as the primary element.
class SelectionTest : public CanvasTest
{
protected:
    SelectionTest()
    {
        a = AddBox(CRect(100, 100, 200, 150));
        b = AddBox(CRect(300, 320, 380, 400));
        c = AddBox(CRect(700, 160, 850, 260));
        CSelection& s = view->Selection();
        for (CBox* box : {a, b, c})
            s.AddElement(box);
        s.SetElementState(a, 2, true);
        TheUndoHistory().Clear();
    }

    CSelection& Sel() { return view->Selection(); }
    static CRect RectOf(int index)
    {
        return static_cast<CBox*>(TheElementList().GetAt(index))->GetPointRect();
    }

    CBox* a = nullptr;
    CBox* b = nullptr;
    CBox* c = nullptr;
};

const CRect kA(100, 100, 200, 150);
const CRect kB(300, 320, 380, 400);
const CRect kC(700, 160, 850, 260);

TEST_F(SelectionTest, LayoutCommandsMoveTheOthersAndUndoRestoresThem)
{
    const struct
    {
        const char* name;
        int command;
        CRect b;
        CRect c;
    } cases[] = {
        {"align top", ID_ALIGN_TOP, {300, 100, 380, 180}, {700, 100, 850, 200}},
        {"align bottom", ID_ALIGN_BOTTOM, {300, 70, 380, 150}, {700, 50, 850, 150}},
        {"align left", ID_ALIGN_LEFT, {100, 320, 180, 400}, {100, 160, 250, 260}},
        {"align right", ID_ALIGN_RIGHT, {120, 320, 200, 400}, {50, 160, 200, 260}},
        {"vertical centres", ID_ALIGN_VERT_CENTRE, {110, 320, 190, 400}, {75, 160, 225, 260}},
        {"horizontal centres", ID_ALIGN_HORZ_CENTRE, {300, 85, 380, 165}, {700, 75, 850, 175}},
        {"same width", ID_SAME_WIDTH, {300, 320, 400, 400}, {700, 160, 800, 260}},
        {"same height", ID_SAME_HEIGHT, {300, 320, 380, 370}, {700, 160, 850, 210}},
        {"same size", ID_SAME_SIZE, {300, 320, 400, 370}, {700, 160, 800, 210}},
        // Leading edges 100, 300, 700: the middle one goes to 400.
        {"space across", ID_SPACE_HORIZONTAL, {400, 320, 480, 400}, kC},
        // Tops 100, 160 (c), 320 (b): c goes to 210.
        {"space down", ID_SPACE_VERTICAL, kB, {700, 210, 850, 310}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        document.SetModifiedFlag(false);
        ASSERT_TRUE(view->OnCommand(t.command));
        EXPECT_EQ(RectOf(0), kA); // the primary never moves
        EXPECT_EQ(RectOf(1), t.b);
        EXPECT_EQ(RectOf(2), t.c);
        EXPECT_TRUE(document.IsModified());
        const CUndoHistory& h = TheUndoHistory();
        ASSERT_GE(h.GetCount(), 3);
        EXPECT_EQ(h.GetRecord(0).kind, UNDO_GROUP_BEGIN);
        EXPECT_EQ(h.GetRecord(h.GetCount() - 1).kind, UNDO_GROUP_END);
        for (int i = 1; i + 1 < h.GetCount(); ++i)
            EXPECT_EQ(h.GetRecord(i).kind, UNDO_CHANGED);

        ASSERT_TRUE(view->OnCommand(ID_EDIT_UNDO));
        EXPECT_EQ(RectOf(0), kA);
        EXPECT_EQ(RectOf(1), kB);
        EXPECT_EQ(RectOf(2), kC);
        TheUndoHistory().Clear();
        // Undo cleared the selection: select the fixture again.
        a = static_cast<CBox*>(TheElementList().GetAt(0));
        b = static_cast<CBox*>(TheElementList().GetAt(1));
        c = static_cast<CBox*>(TheElementList().GetAt(2));
        for (CBox* box : {a, b, c})
            Sel().AddElement(box);
        Sel().SetElementState(a, 2, true);
    }
}

TEST_F(SelectionTest, CommandsNeedEnoughSelectedElements)
{
    Sel().DeselectAll();
    Sel().AddElement(a);
    for (int kind = ALIGN_TOP; kind <= ALIGN_HORZ_CENTRE; ++kind)
        EXPECT_FALSE(Sel().Align(kind)) << kind;
    EXPECT_FALSE(Sel().MakeSameSize(SAME_BOTH));
    EXPECT_FALSE(Sel().MatchColours());
    Sel().AddElement(b);
    EXPECT_FALSE(Sel().SpaceEvenly(0));
    EXPECT_EQ(TheUndoHistory().GetCount(), 0);
    EXPECT_EQ(RectOf(1), kB);
}

TEST_F(SelectionTest, SpaceEvenlyWithEqualEdgesBeepsAndMovesNothing)
{
    Sel().DeselectAll();
    TheElementList().DeleteAll();
    CBox* boxes[3] = {AddBox(CRect(0, 0, 50, 50)), AddBox(CRect(0, 100, 40, 150)),
                      AddBox(CRect(0, 200, 30, 250))};
    for (CBox* box : boxes)
        Sel().AddElement(box);
    TheUndoHistory().Clear();
    EXPECT_FALSE(Sel().SpaceEvenly(0));
    EXPECT_EQ(TheUndoHistory().GetCount(), 0);
    EXPECT_EQ(boxes[1]->GetPointRect(), CRect(0, 100, 40, 150));
}

TEST_F(SelectionTest, CentreInSignCentresEachElementOnItsOwn)
{
    const int w = ThePaper().Current() ? ThePaper().GetSignWidth() : 2100;
    const int h = ThePaper().Current() ? ThePaper().GetSignHeight() : 2970;
    ASSERT_TRUE(view->OnCommand(ID_CENTRE_HORIZONTAL));
    for (int i = 0; i < 3; ++i) {
        const CRect r = RectOf(i);
        EXPECT_EQ(r.left, w / 2 - r.Width() / 2) << i;
    }
    ASSERT_TRUE(view->OnCommand(ID_CENTRE_VERTICAL));
    for (int i = 0; i < 3; ++i) {
        const CRect r = RectOf(i);
        EXPECT_EQ(r.top, h / 2 - r.Height() / 2) << i;
    }
}

TEST_F(SelectionTest, RotationOriginsAreMirroredForNegativeCoordinates)
{
    // A layout left of the sign turns about the mirror image of the point
    // its mirror image right of it turns about.
    const CRect left(-5, -3, 0, 2);
    const CRect right(0, -2, 5, 3);
    const struct
    {
        int choice;
        CPoint leftOrigin;
        CPoint rightOrigin;
    } cases[] = {
        {0, {-5, -3}, {0, -2}}, {1, {-3, -3}, {3, -2}}, {4, {-3, -1}, {3, 1}},
        {5, {0, -1}, {5, 1}},   {7, {-3, 2}, {3, 3}},   {8, {0, 2}, {5, 3}},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(CSelection::RotationOrigin(left, t.choice), t.leftOrigin) << t.choice;
        EXPECT_EQ(CSelection::RotationOrigin(right, t.choice), t.rightOrigin) << t.choice;
    }
}

TEST_F(SelectionTest, RotateTurnsOneElementAboutItsCentreAndUndoes)
{
    Sel().DeselectAll();
    Sel().AddElement(a);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_ROTATE));
    const CRect turned = RectOf(0);
    EXPECT_EQ(turned.Width(), kA.Height());
    EXPECT_EQ(turned.Height(), kA.Width());
    EXPECT_EQ(TheUndoHistory().GetRecord(0).kind, UNDO_CHANGED);
    view->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(RectOf(0), kA);
}

TEST_F(SelectionTest, DuplicateLeavesTheCopiesSelectedAndOffset)
{
    App().general.duplicateX = 50;
    App().general.duplicateY = 30;
    Sel().DeselectAll();
    Sel().AddElement(a);
    Sel().AddElement(b);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_DUPLICATE));
    ASSERT_EQ(TheElementList().GetCount(), 5);
    EXPECT_EQ(RectOf(3), CRect(150, 130, 250, 180));
    EXPECT_EQ(RectOf(4), CRect(350, 350, 430, 430));
    EXPECT_EQ(Sel().Elements(),
              (std::vector<CElement*>{TheElementList().GetAt(3), TheElementList().GetAt(4)}));
    EXPECT_FALSE(a->IsSelected());
    EXPECT_NE(TheElementList().GetAt(3)->m_name, a->m_name);
    const CUndoHistory& h = TheUndoHistory();
    ASSERT_EQ(h.GetCount(), 4);
    EXPECT_EQ(h.GetRecord(1).kind, UNDO_ADDED);
    EXPECT_EQ(h.GetRecord(2).kind, UNDO_ADDED);
    view->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 3);
}

TEST_F(SelectionTest, BringToFrontAndSendToBackMoveOnlyThePrimary)
{
    Sel().SetElementState(b, 2, true);
    EXPECT_TRUE(Sel().BringToFront());
    EXPECT_EQ(TheElementList().Elements(), (std::vector<CElement*>{a, c, b}));
    EXPECT_TRUE(Sel().SendToBack());
    EXPECT_EQ(TheElementList().Elements(), (std::vector<CElement*>{b, a, c}));
    EXPECT_EQ(TheUndoHistory().GetCount(), 0);
}

TEST_F(SelectionTest, DeletingThePrimaryMakesTheFirstRemainingOnePrimary)
{
    Sel().DeselectAll();
    Sel().AddElement(a);
    Sel().AddElement(b);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_DELETE));
    EXPECT_EQ(TheElementList().Elements(), (std::vector<CElement*>{c}));
    EXPECT_TRUE(Sel().IsEmpty());
    view->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 3);
}

TEST_F(SelectionTest, SelectNextStepsThroughTheListAndWraps)
{
    Sel().DeselectAll();
    Sel().AddElement(c);
    Sel().SelectNext(false, false);
    EXPECT_EQ(Sel().Elements(), (std::vector<CElement*>{a}));
    Sel().SelectNext(true, true);
    EXPECT_EQ(Sel().Elements(), (std::vector<CElement*>{a, c}));
    EXPECT_EQ(Sel().Primary(), c);
}

TEST_F(SelectionTest, ClipboardCarriesElementsToAnotherSign)
{
    b->m_dataSource = SOURCE_DATABASE;
    b->m_sourceName = QStringLiteral("Price");
    Sel().DeselectAll();
    Sel().AddElement(a);
    Sel().AddElement(b);
    document.SetModifiedFlag(false);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_COPY));
    EXPECT_FALSE(document.IsModified()); // copying changes nothing
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasFormat(CSignApp::GetClipboardFormat()));
    const QString nameA = a->m_name;
    const QString nameB = b->m_name;

    // The second sign already has an element named like the first copy.
    Sel().Reset();
    CAppContext other;
    other.currentView = view.get();
    CBox* resident = AddBox(CRect(10, 10, 20, 20));
    resident->m_name = nameA;
    ASSERT_TRUE(view->OnCommand(ID_EDIT_PASTE));
    ASSERT_EQ(TheElementList().GetCount(), 3);
    const CElement* pastedA = TheElementList().GetAt(1);
    const CElement* pastedB = TheElementList().GetAt(2);
    EXPECT_EQ(pastedA->GetTypeCode(), TYPE_BOX);
    EXPECT_EQ(static_cast<const CBox*>(pastedA)->GetPointRect(), kA);
    EXPECT_EQ(static_cast<const CBox*>(pastedB)->GetPointRect(), kB);
    EXPECT_NE(pastedA->m_name, nameA); // renamed: the name was taken
    EXPECT_EQ(pastedB->m_name, nameB);
    EXPECT_EQ(pastedB->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_TRUE(Sel().IsEmpty());
    EXPECT_FALSE(pastedA->IsSelected());
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(TheUndoHistory().GetCount(), 0);
}

TEST_F(SelectionTest, CutRemovesAndPlainTextPastesAsText)
{
    Sel().DeselectAll();
    Sel().AddElement(c);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_CUT));
    EXPECT_EQ(TheElementList().GetCount(), 2);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_PASTE));
    EXPECT_EQ(TheElementList().GetCount(), 3);
    EXPECT_EQ(RectOf(2), kC);

    QGuiApplication::clipboard()->setText(QStringLiteral("Special offer"));
    ASSERT_TRUE(view->OnCommand(ID_EDIT_PASTE));
    ASSERT_EQ(TheElementList().GetCount(), 4);
    EXPECT_EQ(TheElementList().GetAt(3)->GetTypeCode(), TYPE_TEXT);
    EXPECT_EQ(TheElementList().GetAt(3)->GetSampleData(), QStringLiteral("Special offer"));
}

TEST_F(SelectionTest, ElementArchiveReadsBackWhatItWrote)
{
    const QByteArray data = CSelection::WriteElements({a, c});
    std::vector<CElement*> read = CSelection::ReadElements(data);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(static_cast<CBox*>(read[0])->GetPointRect(), kA);
    EXPECT_EQ(static_cast<CBox*>(read[1])->GetPointRect(), kC);
    for (CElement* e : read)
        delete e;
    EXPECT_TRUE(CSelection::ReadElements(data.left(data.size() / 2)).empty());
}

} // namespace
