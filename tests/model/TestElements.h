// Small element classes for tests: a rectangle element with its own
// geometry, and a recording view.
#pragma once

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ModelClasses.h"

#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

// An element whose geometry is a rectangle, archived after the common record.
class CTestRect : public CElement
{
    DECLARE_PERSISTENT(CTestRect)
public:
    CRect m_rect;
    QString m_typeName = QStringLiteral("Box");
    int m_disabledHandle = -1;
    bool m_keepAspect = false;
    static QStringList* s_drawLog;

    void Serialize(CArchive& ar) override;
    void RecalcPosition(CView*) override { m_bounds = m_rect; }
    void ApplyTrackRect(CView*) override
    {
        m_rect = m_trackRect;
        m_rect.NormalizeRect();
    }
    void Draw(CDC*, const CRect&) override
    {
        if (s_drawLog)
            s_drawLog->append(m_name);
    }
    QString GetTypeName() const override { return m_typeName; }
    int GetTypeCode() const override { return TYPE_BOX; }
    BOOL IsHandleEnabled(int handle) const override { return handle != m_disabledHandle; }
    BOOL KeepsAspectRatio() const override { return m_keepAspect; }
};

// A second class with a different record: a line from one point to another.
class CTestLine : public CElement
{
    DECLARE_PERSISTENT(CTestLine)
public:
    CPoint m_from, m_to;
    DWORD m_thickness = 10;

    void Serialize(CArchive& ar) override;
    void RecalcPosition(CView*) override
    {
        m_bounds = CRect(m_from, m_to);
        m_bounds.NormalizeRect();
    }
    QString GetTypeName() const override { return QStringLiteral("Line"); }
    int GetTypeCode() const override { return TYPE_LINE; }
};

// A view at one device pixel per logical unit that records invalidations.
class CTestView : public CViewSeam
{
public:
    int scale = 1; // logical units per pixel
    std::vector<CRect> invalidated;

    CPoint LPtoDP(CPoint p) const override { return {p.x / scale, p.y / scale}; }
    CPoint DPtoLP(CPoint p) const override { return {p.x * scale, p.y * scale}; }
    CSize LPtoDPSize(CSize s) const override { return {s.cx / scale, s.cy / scale}; }
    CSize DPtoLPSize(CSize s) const override { return {s.cx * scale, s.cy * scale}; }
    void InvalidateRect(const CRect& r, bool) override { invalidated.push_back(r); }
};

CTestRect* MakeRect(CElementList& list, const QString& name, CRect r);

// Drawing checks: an element drawn alone into a white picture, a white
// pixel, and the smallest rectangle around everything that is not white
// (right and bottom being the last inked pixel).
QImage Render(CElement& element, int width, int height);
bool IsWhite(const QImage& image, int x, int y);
CRect InkBounds(const QImage& image);

// The test classes above are copied under the box and line type codes, like
// the real element classes: a test that registered the real copies gives the
// test classes theirs back.
void RestoreTestElementCopies();

// A fixture for tests of the real element classes: their copies registered,
// a fresh sign and a message responder.
class RealElementTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterModelElementClasses(); }
    void TearDown() override { RestoreTestElementCopies(); }

    CAppContext context;
    CMessageResponder messages;
    CElementList& list = TheElementList();
};
