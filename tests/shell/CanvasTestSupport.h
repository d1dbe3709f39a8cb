// What the canvas and selection tests share: a fresh sign with a canvas
// shown offscreen at a zoom where one pixel is one tenth of a millimetre,
// and helpers that drive it with the mouse in logical units.
#pragma once

#include "AppContext.h"
#include "Box.h"
#include "DesignView.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "SignData.h"
#include "TestSupport.h"
#include "UndoHistory.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class CanvasTest : public ::testing::Test
{
protected:
    CanvasTest()
    {
        EnsureWidgetApp();
        RegisterModelElementClasses();
        view = std::make_unique<CDesignView>(nullptr, &document);
        view->resize(900, 700);
        view->show();
        view->FullSize();
        // 250 % at 4 pixels per millimetre: one pixel per tenth of a mm.
        view->SetZoomPercent(250);
    }
    ~CanvasTest() override { view.reset(); }

    QPoint Dp(int x, int y) const
    {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    }
    QWidget* Surface() const { return view->viewport(); }

    void Press(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(Surface(), Qt::LeftButton, mods, Dp(x, y));
    }
    void Move(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, Dp(x, y), Surface()->mapToGlobal(Dp(x, y)),
                          Qt::NoButton, Qt::LeftButton, mods);
        QApplication::sendEvent(Surface(), &event);
    }
    void Release(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseRelease(Surface(), Qt::LeftButton, mods, Dp(x, y));
    }
    void Drag(int x0, int y0, int x1, int y1)
    {
        Press(x0, y0);
        Move((x0 + x1) / 2, (y0 + y1) / 2);
        Move(x1, y1);
        Release(x1, y1);
    }
    void Click(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Press(x, y, mods);
        Release(x, y, mods);
    }

    // A box made as the tool makes it, without selecting it.
    CBox* AddBox(const CRect& r)
    {
        auto* box = static_cast<CBox*>(TheElementList().CreateElement(QStringLiteral("CBox")));
        box->BeginCreate(view.get(), r.left, r.top);
        box->TrackCreate(view.get(), r.right, r.bottom, FALSE);
        box->EndCreate(view.get(), 0);
        return box;
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignData document;
    std::unique_ptr<CDesignView> view;
};
