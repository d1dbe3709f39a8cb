// The designer as a test meets it: the real program started with its main
// frame, and the user's means of driving it (the mouse on the canvas, the
// menu commands, the property pane's fields). For the tests of the panes and
// the canvas, which link the whole designer.
#pragma once

#include "AppContext.h"
#include "Box.h"
#include "Commands.h"
#include "DesignView.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "SignApp.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSize>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

// The designer of a test, in the test's own home and context, its messages
// answered: started by StartDesigner once the test has set what the start
// reads; the sign is left unmodified and the program ended when the test
// ends.
class CDesignerFixture : public ::testing::Test
{
protected:
    CDesignerFixture()
    {
        EnsureWidgetApp();
        RegisterPanes();
    }
    ~CDesignerFixture() override
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }

    // Starts the designer as the user does, its frame at that size and shown
    // unless told otherwise; false when it did not start.
    bool StartDesigner(QSize size, bool shown = true)
    {
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (!frame)
            return false;
        frame->resize(size);
        if (shown)
            frame->show();
        view = qobject_cast<CDesignView*>(frame->Canvas());
        return true;
    }

    // A point of the sign in the canvas's device pixels.
    QPoint Dp(int x, int y) const
    {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    }
    QWidget* Surface() const { return view->viewport(); }
    QWidget* Pane() const { return frame->PropertyPane(); }

    CTestHome home;
    CMessageResponder messages;
    CAppContext context;
    CSignApp app;
    CMainFrame* frame = nullptr;
    CDesignView* view = nullptr;
};

// The designer started when the test starts. shown: the frame is shown and
// the canvas zoomed to the full size of the sign; else the frame is only
// sized.
class CDesignerTest : public CDesignerFixture
{
protected:
    explicit CDesignerTest(QSize size = QSize(1300, 900), bool shown = true)
    {
        if (StartDesigner(size, shown) && view && shown)
            view->FullSize();
    }
};

// The designer, shown, with the user's means of working on the canvas and in
// the property pane.
class CDesignerCanvasTest : public CDesignerTest
{
protected:
    void Press(int x, int y)
    {
        QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(x, y));
    }
    // The pointer moved with the left button held.
    void Move(int x, int y)
    {
        QMouseEvent event(QEvent::MouseMove, Dp(x, y), Surface()->mapToGlobal(Dp(x, y)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Surface(), &event);
    }
    void Release(int x, int y)
    {
        QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(x, y));
    }
    void Click(int x, int y)
    {
        Press(x, y);
        Release(x, y);
    }
    // A drag from corner to corner, the pointer resting half way.
    void Drag(int x0, int y0, int x1, int y1)
    {
        Press(x0, y0);
        Move((x0 + x1) / 2, (y0 + y1) / 2);
        Move(x1, y1);
        Release(x1, y1);
    }
    // Runs a command as its menu item does; it must be enabled.
    void Command(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    // A box drawn with the box tool; it is the selection afterwards.
    CBox* DrawBox(const CRect& r)
    {
        Command(ID_TOOL_BOX);
        Drag(r.left, r.top, r.right, r.bottom);
        return dynamic_cast<CBox*>(view->Selection().Primary());
    }
    // A control of the property pane by its id.
    template <class T> T* Find(int id) const
    {
        return frame->PropertyPane()->findChild<T*>(QStringLiteral("id%1").arg(id));
    }
    // Types into a pane field as the user does: the field takes the focus
    // and the old text is replaced.
    void Type(int id, const QString& text)
    {
        auto* field = Find<QLineEdit>(id);
        ASSERT_NE(field, nullptr) << id;
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
};

// The designer started by the test itself (Start), as the user starts it:
// the program of its own, without the splash window; ended by Stop or when
// the test ends.
class CDesignerStartTest : public ::testing::Test
{
protected:
    CDesignerStartTest() { EnsureWidgetApp(); }
    ~CDesignerStartTest() override { Stop(); }

    // Starts the designer, the frame shown at its size; fullSize: the canvas
    // zoomed to the full size of the sign. False when it did not start.
    bool Start(bool fullSize = false)
    {
        RegisterPanes();
        app = std::make_unique<CSignApp>(CSignApp::Program::Designer);
        app->frameTemplate = CSignApp::DesignerFrameTemplate();
        if (!app->InitInstance({"tabrel", "/nosplash"}))
            return false;
        frame = qobject_cast<CMainFrame*>(app->GetMainWindow());
        if (!frame)
            return false;
        frame->showNormal();
        frame->resize(1300, 900);
        view = qobject_cast<CDesignView*>(frame->Canvas());
        if (!view)
            return false;
        QApplication::processEvents();
        if (fullSize)
            view->FullSize();
        return true;
    }
    void Stop()
    {
        if (!app)
            return;
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app->ExitInstance();
        app.reset();
        frame = nullptr;
        view = nullptr;
    }
    bool Enabled(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        return action && action->isEnabled();
    }
    // Triggers a command as its menu item would; false when it is disabled.
    bool Command(int id)
    {
        if (!Enabled(id))
            return false;
        frame->Action(id)->trigger();
        QApplication::processEvents();
        return true;
    }
    QPoint Dp(int x, int y) const
    {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    }
    QWidget* Surface() const { return view->viewport(); }
    void Click(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(Surface(), Qt::LeftButton, mods, Dp(x, y));
    }
    // A drag in device pixels, the pointer resting on the way.
    void DragDevice(QPoint from, QPoint to)
    {
        QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint& p : {(from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, p, Surface()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Surface(), &move);
        }
        QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, to);
    }
    void Drag(int x0, int y0, int x1, int y1) { DragDevice(Dp(x0, y0), Dp(x1, y1)); }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    std::unique_ptr<CSignApp> app;
    CMainFrame* frame = nullptr;
    CDesignView* view = nullptr;
};

// The home of a test that starts the designer itself, perhaps more than once
// (Start): the stock library of the printing tests in it, the messages
// answered. Joined with the test's own ::testing::Test or TestWithParam; a
// run still going when the test ends is ended then.
class CDesignerFlow
{
protected:
    CDesignerFlow()
    {
        EnsureWidgetApp();
        RegisterPanes();
        WriteLabelStockLibrary(home);
    }
    ~CDesignerFlow() { Quit(); }

    // Starts the designer as a user does, in a context of its own (a run
    // before it is ended first); the frame is the real one, or null when the
    // program did not start.
    CMainFrame* Start()
    {
        Quit();
        m_app.reset();
        m_context.emplace();
        CSignApp& app = m_app.emplace();
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        m_started = app.InitInstance({"tabrel"});
        if (m_started)
            m_frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        return m_frame;
    }

    // Ends the run as the user leaves the program, the sign left unmodified
    // so that nothing asks to save it; its context lasts until the next
    // start or the end of the test.
    void Quit()
    {
        if (m_frame)
            m_frame->Document().SetModifiedFlag(false);
        if (m_app && m_started)
            m_app->ExitInstance();
        m_frame = nullptr;
        m_started = false;
    }

    CTestHome home;
    CMessageResponder messages;

private:
    std::optional<CAppContext> m_context;
    std::optional<CSignApp> m_app;
    CMainFrame* m_frame = nullptr;
    bool m_started = false;
};
