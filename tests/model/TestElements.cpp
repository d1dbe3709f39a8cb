#include "TestElements.h"

#include "UndoHistory.h"

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
