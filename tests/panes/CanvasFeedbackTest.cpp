// What the user sees while working on the canvas and in the property pane:
// the pane follows the element just made or duplicated, the canvas leaves
// no old handles or unplaced elements painted, the mouse wheel scrolls the
// pane without editing what passes under the pointer, and each action is
// taken back by one Undo.
#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyle.h"
#include "Box.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "ElementList.h"
#include "ElementView.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "SignApp.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "Text.h"
#include "UndoHistory.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>
#include <vector>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class CanvasFeedbackTest : public CDesignerCanvasTest
{
protected:
    QString Shown(int id) const
    {
        auto* field = Find<QLineEdit>(id);
        return field ? field->text() : QStringLiteral("(no field)");
    }
    // What the window shows of the canvas: the window's own backing store,
    // so that parts not painted again since an edit still show old pixels.
    QImage Shot()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        QWindow* window = frame->windowHandle();
        const QPoint at = Surface()->mapTo(frame, QPoint(0, 0));
        return window->screen()
            ->grabWindow(window->winId(), at.x(), at.y(), Surface()->width(), Surface()->height())
            .toImage();
    }
    // The canvas painted afresh from the sign, as the shot ought to be.
    QImage FreshShot()
    {
        Surface()->repaint();
        return Shot();
    }
};

// After Duplicate the pane shows the copy that is now selected, and a
// value typed there goes to the copy, leaving the original alone; the
// canvas keeps no handles of the places the copy passed through while the
// value was typed.
TEST_F(CanvasFeedbackTest, PaneFollowsTheDuplicate)
{
    ASSERT_NE(frame, nullptr);
    // Where an element is, as its pane shows it.
    auto at = [](CElement* element) {
        if (auto* text = dynamic_cast<CText*>(element))
            return text->m_position;
        if (auto* box = dynamic_cast<CBox*>(element))
            return box->GetPointRect().TopLeft();
        return CPoint(-1, -1);
    };
    view->WholeSign();
    for (int kind = 0; kind < 2; ++kind) {
        CElement* original = nullptr;
        if (kind == 0) {
            original = DrawBox(CRect(200, 200, 400, 300));
        } else {
            Command(ID_TOOL_TEXT);
            QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(200, 500));
            original = view->Selection().Primary();
        }
        ASSERT_NE(original, nullptr) << kind;
        const CPoint before = at(original);
        for (int round = 0; round < 2; ++round) {
            Command(ID_EDIT_DUPLICATE);
            CElement* copy = view->Selection().Primary();
            ASSERT_NE(copy, nullptr);
            ASSERT_NE(copy, original);
            EXPECT_EQ(Shown(1002), PaneUnits::Format(at(copy).x)) << kind << round;
            EXPECT_EQ(Shown(1005), PaneUnits::Format(at(copy).y)) << kind << round;
        }
        CElement* copy = view->Selection().Primary();
        Shot();
        Type(1002, QStringLiteral("120"));
        Type(1005, QStringLiteral("70"));
        EXPECT_EQ(at(copy), CPoint(1200, 700)) << kind;
        EXPECT_EQ(at(original), before) << kind;
        const QImage shown = Shot();
        EXPECT_TRUE(shown == FreshShot()) << kind;
    }
}

// Moving or resizing an element with the mouse leaves nothing of its old
// handles or frame on the canvas, at full size and fitted to the window,
// whether the pointer rests on the way (the element follows it then) or not.
TEST_F(CanvasFeedbackTest, NoHandlesLeftBehindAfterMoveOrResize)
{
    ASSERT_NE(frame, nullptr);
    // Each drag starts on the box's middle, or on its bottom-right handle.
    struct Step
    {
        const char* what;
        bool onHandle;
        int dx, dy;
    };
    const Step steps[] = {
        {"move", false, 220, 180},
        {"resize", true, 80, 160},
        {"move back", false, -250, -240},
    };
    for (int zoom = 0; zoom < 2; ++zoom) {
        for (int rest = 0; rest < 2; ++rest) {
            if (zoom == 0)
                view->FullSize();
            else
                view->WholeSign();
            CBox* box = DrawBox(CRect(200, 200, 400, 300));
            ASSERT_NE(box, nullptr);
            Shot();
            for (const Step& step : steps) {
                const std::string what = std::string(step.what) +
                                         (zoom ? " fitted" : " full size") +
                                         (rest ? " resting" : "");
                const CPoint from = step.onHandle ? box->m_handles[4].CenterPoint()
                                                  : box->GetPointRect().CenterPoint();
                const CPoint to(from.x + step.dx, from.y + step.dy);
                Press(from.x, from.y);
                Move(from.x + step.dx / 2, from.y + step.dy / 2);
                if (rest) {
                    Shot();
                    // Resting lets the drag timer apply the step so far.
                    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->DragTimerActive(); }, 10000))
                        << what;
                }
                Move(to.x, to.y);
                Release(to.x, to.y);
                ASSERT_EQ(view->Mode(), MODE_SELECT) << what;
                const QImage shown = Shot();
                const QImage fresh = FreshShot();
                ASSERT_FALSE(fresh.isNull());
                EXPECT_TRUE(shown == fresh) << what;
            }
            EXPECT_NE(box->GetPointRect(), CRect(200, 200, 400, 300));
            Command(ID_EDIT_DELETE);
            ASSERT_TRUE(TheElementList().IsEmpty());
        }
    }
}

// Each action is one Undo: two duplicates and a value typed in the pane
// go back in three presses, each of which changes the sign.
TEST_F(CanvasFeedbackTest, OneUndoPerAction)
{
    ASSERT_NE(frame, nullptr);
    CBox* box = DrawBox(CRect(200, 200, 400, 300));
    ASSERT_NE(box, nullptr);
    Command(ID_EDIT_DUPLICATE);
    Command(ID_EDIT_DUPLICATE);
    Type(1002, QStringLiteral("80"));
    ASSERT_EQ(dynamic_cast<CBox*>(view->Selection().Primary())->GetPointRect().left, 800);

    auto state = [] {
        std::vector<CRect> rects;
        for (CElement* element : TheElementList())
            if (auto* box = dynamic_cast<CBox*>(element))
                rects.push_back(box->GetPointRect());
        return rects;
    };
    const auto afterTyping = state();
    Command(ID_EDIT_UNDO);
    const auto afterFirst = state();
    EXPECT_NE(afterFirst, afterTyping);
    ASSERT_EQ(afterFirst.size(), 3u);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(state().size(), 2u);
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(state().size(), 1u);
    EXPECT_EQ(state()[0], CRect(200, 200, 400, 300));
    // The box itself is the fourth step.
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(state().size(), 0u);
    frame->UpdateActionsNow();
    EXPECT_FALSE(frame->Action(ID_EDIT_UNDO)->isEnabled());
    // And the three come back by three Redo presses.
    for (int i = 0; i < 4; ++i)
        Command(ID_EDIT_REDO);
    EXPECT_EQ(state(), afterTyping);
}

// Selecting an element, without editing it, adds nothing to undo.
TEST_F(CanvasFeedbackTest, SelectingIsNoUndoStep)
{
    ASSERT_NE(frame, nullptr);
    DrawBox(CRect(200, 200, 400, 300));
    DrawBox(CRect(600, 200, 800, 300));
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(300, 250));
        QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(700, 250));
    }
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

// The wheel over the pane scrolls it; a size box or spin box that scrolls
// under the pointer takes the wheel only once the user has clicked into it.
TEST_F(CanvasFeedbackTest, WheelOverThePaneEditsNothingUnfocused)
{
    ASSERT_NE(frame, nullptr);
    frame->resize(1300, 420);
    Command(ID_TOOL_TEXT);
    QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(200, 200));
    auto* text = dynamic_cast<CText*>(view->Selection().Primary());
    ASSERT_NE(text, nullptr);
    QApplication::processEvents();
    auto* size = Find<QComboBox>(1040);
    ASSERT_NE(size, nullptr);
    auto fontHeight = [text] {
        CLogFont font;
        text->GetFont(font);
        return font.GetHeight();
    };
    const LONG height = fontHeight();
    const QString shown = size->currentText();
    auto* area = frame->findChild<QScrollArea*>(QStringLiteral("rightColumn"));
    ASSERT_NE(area, nullptr);
    const int scrolled = area->verticalScrollBar()->value();

    auto wheel = [](QWidget* target) {
        const QPoint at = target->rect().center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        // As the window system delivers it, so that a box that leaves it
        // passes it on to the pane's scroll area.
        // (sendEvent would clear the mark).
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
    };
    frame->Canvas()->setFocus();
    std::vector<QWidget*> fields{size};
    for (auto* spin : frame->PropertyPane()->findChildren<QAbstractSpinBox*>())
        fields.push_back(spin);
    for (auto* combo : frame->PropertyPane()->findChildren<QComboBox*>())
        fields.push_back(combo);
    std::vector<QString> before;
    for (QWidget* field : fields)
        before.push_back(
            field->property(field->inherits("QComboBox") ? "currentText" : "text").toString());
    for (QWidget* field : fields) {
        if (field->isVisible())
            wheel(field);
    }
    EXPECT_EQ(fontHeight(), height);
    EXPECT_EQ(size->currentText(), shown);
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(fields[i]
                      ->property(fields[i]->inherits("QComboBox") ? "currentText" : "text")
                      .toString(),
                  before[i])
            << fields[i]->objectName().toStdString();
    if (area->verticalScrollBar()->maximum() > 0) {
        EXPECT_NE(area->verticalScrollBar()->value(), scrolled);
    }

    // Clicked into, the size box takes the wheel as a user expects.
    size->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(size->hasFocus());
    wheel(size);
    EXPECT_NE(size->currentText(), shown);
    EXPECT_NE(fontHeight(), height);
}

// The barcode tool asks nothing more once the symbology is chosen: while
// it waits for the click that places the barcode, the canvas shows no
// barcode anywhere; the click places it there.
TEST_F(CanvasFeedbackTest, BarcodeWaitingToBePlacedIsNotPainted)
{
    ASSERT_NE(frame, nullptr);
    CBarcodePreferences::Current().type = SYM_CODE39;
    const QImage empty = Shot();
    Command(ID_TOOL_BARCODE);
    ASSERT_EQ(view->Mode(), MODE_BARCODE_PLACE);
    EXPECT_TRUE(Shot() == empty);
    EXPECT_TRUE(FreshShot() == empty);
    QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(300, 300));
    auto* barcode = dynamic_cast<CBarcode*>(view->Selection().Primary());
    ASSERT_NE(barcode, nullptr);
    EXPECT_TRUE(barcode->m_bounds.PtInRect(CPoint(300, 300)));
    EXPECT_FALSE(Shot() == empty);
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

} // namespace
