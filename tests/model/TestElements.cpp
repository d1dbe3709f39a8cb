#include "TestElements.h"

#include "DC.h"
#include "UndoHistory.h"

#include <algorithm>

IMPLEMENT_PERSISTENT(CTestRect, CElement, 1)
IMPLEMENT_PERSISTENT(CTestLine, CElement, 1)

QStringList* CTestRect::s_drawLog = nullptr;

void CTestRect::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring())
        ar << m_rect;
    else
        ar >> m_rect;
}

void CTestLine::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring())
        ar << m_from << m_to << m_thickness;
    else
        ar >> m_from >> m_to >> m_thickness;
}

CTestRect* MakeRect(CElementList& list, const QString& name, CRect r)
{
    auto* element = new CTestRect;
    element->m_name = name;
    element->m_rect = r;
    element->UpdateRects(nullptr);
    list.AddTail(element);
    return element;
}

namespace {

CElement* CopyTestRect(const CElement& e)
{
    return new CTestRect(static_cast<const CTestRect&>(e));
}

CElement* CopyTestLine(const CElement& e)
{
    return new CTestLine(static_cast<const CTestLine&>(e));
}

// The test classes copy like the real ones: by type code.
const bool s_copiesRegistered = [] {
    RegisterElementCopy(TYPE_BOX, &CopyTestRect);
    RegisterElementCopy(TYPE_LINE, &CopyTestLine);
    return true;
}();

} // namespace

void RestoreTestElementCopies()
{
    RegisterElementCopy(TYPE_BOX, &CopyTestRect);
    RegisterElementCopy(TYPE_LINE, &CopyTestLine);
    RegisterElementCopy(TYPE_ELLIPSE, nullptr);
}

bool IsWhite(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

CRect InkBounds(const QImage& image)
{
    CRect r(image.width(), image.height(), -1, -1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsWhite(image, x, y))
                continue;
            r.left = std::min(r.left, x);
            r.top = std::min(r.top, y);
            r.right = std::max(r.right, x);
            r.bottom = std::max(r.bottom, y);
        }
    }
    return r;
}

QImage Render(CElement& element, int width, int height)
{
    CImageDC dc(width, height);
    element.Draw(&dc, CRect(0, 0, width, height));
    return dc.Image();
}
