#include "Selection.h"

#include <functional>

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "DesignView.h"
#include "Element.h"
#include "ElementList.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Rounding.h"
#include "SignApp.h"
#include "Table.h"
#include "Text.h"
#include "UndoHistory.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <algorithm>
#include <set>

namespace {

qint64 Area(const CRect& r)
{
    return qint64(r.Width()) * r.Height();
}

void Record(int kind, CElement* element)
{
    TheUndoHistory().Record(kind, element);
}

// Group markers around an operation on more than one element.
class CUndoGroup
{
public:
    explicit CUndoGroup(bool several) : m_several(several)
    {
        if (m_several)
            Record(UNDO_GROUP_BEGIN, nullptr);
    }
    ~CUndoGroup()
    {
        if (m_several)
            Record(UNDO_GROUP_END, nullptr);
    }
    CUndoGroup(const CUndoGroup&) = delete;
    CUndoGroup& operator=(const CUndoGroup&) = delete;

private:
    bool m_several;
};

int SignWidth()
{
    return ThePaper().Current() ? ThePaper().GetSignWidth() : 2100;
}

int SignHeight()
{
    return ThePaper().Current() ? ThePaper().GetSignHeight() : 2970;
}

} // namespace

CSelection::CSelection(CDesignView* view) : m_view(view) {}

CRect CSelection::PositionRect(const CElement* element)
{
    if (element->m_state & STATE_TRACKING)
        return element->m_trackRect;
    CRect r = element->m_bounds;
    // Selected elements and data-linked ones cover a frame round their
    // position; see CElement::UpdateRects.
    if ((element->m_state & STATE_SELECTED) && !element->m_ownedByTable) {
        r = element->m_invalidRect;
        r.InflateRect(-1, -1, -2, -2);
    } else if (element->m_dataSource != SOURCE_FIXED && !element->m_ownedByTable) {
        r.InflateRect(-1, -1, -2, -2);
    }
    return r;
}

void CSelection::Invalidate(const CRect& logical) const
{
    if (m_view)
        m_view->InvalidateLogical(logical);
}

void CSelection::RefreshPane() const
{
    if (m_view)
        m_view->RefreshPane();
}

bool CSelection::Contains(const CElement* element) const
{
    return std::find(m_selected.begin(), m_selected.end(), element) != m_selected.end();
}

// --- membership ----------------------------------------------------------------

void CSelection::Reset()
{
    m_selected.clear();
    m_primary = nullptr;
}

void CSelection::EnsurePrimary()
{
    if (!m_selected.empty()) {
        if (m_primary && !Contains(m_primary))
            m_primary = nullptr;
        if (!m_primary) {
            m_primary = m_selected.front();
            m_primary->Select(m_view, 2);
        }
        return;
    }
    if (m_primary && TheElementList().Contains(m_primary))
        m_primary->Select(m_view, 0);
    m_primary = nullptr;
}

void CSelection::SetElementState(CElement* element, int state, bool tellFrame)
{
    element->Select(m_view, state);
    if (element == m_primary && state != 2) {
        m_primary = nullptr;
    } else if (element != m_primary && state == 2) {
        if (m_primary && TheElementList().Contains(m_primary))
            m_primary->Select(m_view, 1);
        m_primary = element;
    }
    if (tellFrame && m_view)
        m_view->TellFrame(m_primary);
}

CElement* CSelection::PickForContextMenu(int x, int y)
{
    EnsurePrimary();
    CElement* element = HitTestSelectedElement(x, y);
    if (!element)
        return SelectAt(x, y, false);
    if (m_selected.size() > 1) {
        GetBoundingRect(true);
        for (CElement* other : m_selected) {
            if (other != element)
                SetElementState(other, 0, false);
        }
        m_selected.assign(1, element);
    }
    SetElementState(element, 2, true);
    return element;
}

void CSelection::AddElement(CElement* element)
{
    if (!element || !TheElementList().Contains(element))
        return;
    if (!Contains(element))
        m_selected.push_back(element);
    SetElementState(element, 2, true);
}

void CSelection::DeselectAll()
{
    if (m_selected.empty())
        return;
    GetBoundingRect(true);
    const std::vector<CElement*> selected = m_selected;
    for (CElement* element : selected)
        SetElementState(element, 0, true);
    m_selected.clear();
    m_primary = nullptr;
}

CElement* CSelection::SelectAt(int x, int y, bool extend)
{
    CElement* best = nullptr;
    qint64 bestArea = 0;
    for (CElement* element : TheElementList()) {
        if (element->m_ownedByTable || !element->m_bounds.PtInRect(CPoint(x, y)))
            continue;
        const qint64 area = Area(element->m_bounds);
        if (!best || area < bestArea) {
            best = element;
            bestArea = area;
        }
    }
    if (!best)
        return nullptr;
    if (!Contains(best)) {
        if (!extend)
            DeselectAll();
        m_selected.push_back(best);
    }
    SetElementState(best, 2, true);
    return best;
}

void CSelection::SelectInRect(const CRect& rect)
{
    CElement* last = nullptr;
    for (CElement* element : TheElementList()) {
        if (Contains(element) || element->m_ownedByTable)
            continue;
        const CRect r = PositionRect(element);
        if (r.left > rect.left && r.top > rect.top && r.right < rect.right &&
            r.bottom < rect.bottom) {
            m_selected.push_back(element);
            SetElementState(element, 2, false);
            last = element;
        }
    }
    if (last && m_view)
        m_view->TellFrame(last);
}

void CSelection::SelectNext(bool backwards, bool extend)
{
    const CElementList& list = TheElementList();
    if (list.GetCount() < 2 || m_selected.empty())
        return;
    EnsurePrimary();
    const int start = list.Find(m_primary);
    if (start < 0)
        return;
    const int n = list.GetCount();
    int i = start;
    for (;;) {
        i = (i + (backwards ? n - 1 : 1)) % n;
        if (i == start)
            return;
        if (!list.GetAt(i)->m_ownedByTable)
            break;
    }
    CElement* next = list.GetAt(i);
    if (!extend)
        DeselectAll();
    if (!Contains(next))
        m_selected.push_back(next);
    SetElementState(next, 2, true);
}

// --- hit tests ---------------------------------------------------------------------

bool CSelection::HitTestSelected(int x, int y) const
{
    return std::any_of(m_selected.begin(), m_selected.end(),
                       [x, y](const CElement* e) { return e->m_bounds.PtInRect(CPoint(x, y)); });
}

CElement* CSelection::HitTestSelectedElement(int x, int y) const
{
    CElement* best = nullptr;
    qint64 bestArea = 0;
    for (CElement* element : m_selected) {
        if (!element->m_bounds.PtInRect(CPoint(x, y)))
            continue;
        const qint64 area = Area(element->m_bounds);
        if (!best || area < bestArea) {
            best = element;
            bestArea = area;
        }
    }
    return best;
}

int CSelection::HitTestHandle(int x, int y, bool select)
{
    for (CElement* element : m_selected) {
        const int handle = element->HitTestHandle(x, y);
        if (handle == HANDLE_NONE)
            continue;
        if (select) {
            if (m_selected.size() > 1) {
                DeselectAll();
                m_selected.push_back(element);
            }
            SetElementState(element, 2, true);
        }
        return handle;
    }
    return HANDLE_NONE;
}

CRect CSelection::GetBoundingRect(bool invalidate) const
{
    if (m_selected.empty())
        return CRect();
    CRect r = m_selected.front()->m_bounds;
    for (const CElement* element : m_selected)
        r = CRect::Union(r, element->m_bounds);
    if (m_selected.size() > 1)
        r.InflateRect(1, 1, 1, 1);
    if (invalidate)
        Invalidate(r);
    return r;
}

void CSelection::Draw(CDC* dc) const
{
    if (m_selected.size() < 2)
        return;
    const CPen oldPen = dc->SelectPen(CPen(PS_DASHDOT, 1, MakeRGB(0, 0, 0)));
    const CBrush oldBrush = dc->SelectBrush(CBrush::Null());
    dc->Rectangle(GetBoundingRect());
    dc->SelectBrush(oldBrush);
    dc->SelectPen(oldPen);
}

// --- dragging ------------------------------------------------------------------------

void CSelection::BeginMove(int x, int y)
{
    GetBoundingRect(true);
    {
        CUndoGroup group(m_selected.size() > 1);
        for (CElement* element : m_selected) {
            element->BeginMove(m_view);
            Record(UNDO_CHANGED, element);
        }
    }
    m_anchor = CPoint(x, y);
    m_offset = CPoint(0, 0);
}

CPoint CSelection::TrackMove(int x, int y)
{
    if (m_selected.empty())
        return CPoint(x, y);
    GetBoundingRect(true);
    m_offset = m_offset + CPoint(x - m_anchor.x, y - m_anchor.y);
    for (CElement* element : m_selected)
        element->TrackMove(m_view, m_offset.x, m_offset.y);
    m_anchor = CPoint(x, y);
    return GetBoundingRect(true).TopLeft();
}

void CSelection::EndMove()
{
    for (CElement* element : m_selected)
        element->EndMove(m_view);
    GetBoundingRect(true);
    RefreshPane();
}

void CSelection::BeginResize(int x, int y, int handle)
{
    if (m_primary) {
        m_primary->BeginResize(m_view, handle);
        Record(UNDO_CHANGED, m_primary);
    }
    m_anchor = CPoint(x, y);
    m_offset = CPoint(0, 0);
}

CPoint CSelection::TrackResize(int x, int y, bool keepShape)
{
    if (!m_primary)
        return CPoint(x, y);
    m_primary->Invalidate(m_view, TRUE);
    m_offset = m_offset + CPoint(x - m_anchor.x, y - m_anchor.y);
    m_primary->TrackResize(m_view, m_offset.x, m_offset.y, keepShape);
    m_anchor = CPoint(x, y);
    m_primary->Invalidate(m_view, FALSE);
    const CRect& r = m_primary->m_trackRect;
    switch (m_primary->m_handle) {
    case HANDLE_TOP_LEFT:
        return CPoint(r.left, r.top);
    case HANDLE_TOP:
        return CPoint(x, r.top);
    case HANDLE_TOP_RIGHT:
        return CPoint(r.right, r.top);
    case HANDLE_RIGHT:
        return CPoint(r.right, y);
    case HANDLE_BOTTOM_RIGHT:
        return CPoint(r.right, r.bottom);
    case HANDLE_BOTTOM:
        return CPoint(x, r.bottom);
    case HANDLE_BOTTOM_LEFT:
        return CPoint(r.left, r.bottom);
    case HANDLE_LEFT:
        return CPoint(r.left, y);
    default:
        return CPoint(x, y);
    }
}

void CSelection::EndResize()
{
    if (m_primary) {
        m_primary->EndResize(m_view);
        m_primary->Invalidate(m_view, TRUE);
    }
    RefreshPane();
}

void CSelection::OnDragTimer()
{
    for (CElement* element : m_selected) {
        if (element->m_state & STATE_TRACKING) {
            element->CommitTrack(m_view);
            element->Invalidate(m_view, TRUE);
        }
    }
    RefreshPane();
}

void CSelection::Nudge(int dx, int dy)
{
    if (m_selected.empty())
        return;
    GetBoundingRect(true);
    {
        CUndoGroup group(m_selected.size() > 1);
        for (CElement* element : m_selected) {
            Record(UNDO_CHANGED, element);
            element->BeginMove(m_view);
            element->TrackMove(m_view, dx, dy);
            element->EndMove(m_view);
        }
    }
    GetBoundingRect(true);
}

// --- layout commands -----------------------------------------------------------------

CPoint CSelection::RotationOrigin(const CRect& b, int choice)
{
    // Midpoints of coordinates that may be negative round half away from
    // zero, so that a layout and its mirror image turn alike.
    const int midX = RoundHalfAway((double(b.left) + b.right) / 2.0);
    const int midY = RoundHalfAway((double(b.top) + b.bottom) / 2.0);
    const int xs[3] = {b.left, midX, b.right};
    const int ys[3] = {b.top, midY, b.bottom};
    choice = std::clamp(choice, 0, 8);
    return CPoint(xs[choice % 3], ys[choice / 3]);
}

bool CSelection::Rotate(int originChoice)
{
    EnsurePrimary();
    if (m_selected.empty())
        return false;
    if (m_selected.size() == 1) {
        CElement* element = m_selected.front();
        element->Invalidate(m_view, TRUE);
        Record(UNDO_CHANGED, element);
        element->Rotate(m_view);
        element->Invalidate(m_view, TRUE);
    } else {
        CRect bounds;
        bool first = true;
        for (const CElement* element : m_selected) {
            bounds = first ? PositionRect(element) : CRect::Union(bounds, PositionRect(element));
            first = false;
        }
        const CPoint origin = RotationOrigin(bounds, originChoice);
        GetBoundingRect(true);
        {
            CUndoGroup group(true);
            for (CElement* element : m_selected) {
                Record(UNDO_CHANGED, element);
                element->RotateAbout(m_view, origin);
            }
        }
        GetBoundingRect(true);
    }
    RefreshPane();
    return true;
}

void CSelection::Remove(CElement* element)
{
    m_selected.erase(std::remove(m_selected.begin(), m_selected.end(), element), m_selected.end());
}

bool CSelection::DeleteSelected()
{
    EnsurePrimary();
    if (m_selected.empty())
        return false;
    bool deleted = false;
    GetBoundingRect(true);
    {
        CUndoGroup group(m_selected.size() > 1);
        const std::vector<CElement*> selected = m_selected;
        for (CElement* element : selected) {
            // An element that feeds another's data stays, and the user is
            // told which.
            CDataPathSeam* paths = App().dataPaths;
            if (paths && !paths->CanDeleteElement(element))
                continue;
            Record(UNDO_DELETED, element);
            Remove(element);
            if (paths)
                paths->RemoveElement(element);
            if (element == m_primary) {
                m_primary = nullptr;
                if (m_view)
                    m_view->TellFrame(nullptr);
            }
            element->Invalidate(m_view, TRUE);
            TheElementList().RemoveAndDelete(element);
            deleted = true;
        }
    }
    if (deleted && !m_primary && !m_selected.empty())
        SetElementState(m_selected.front(), 2, true);
    return deleted;
}

bool CSelection::Duplicate()
{
    EnsurePrimary();
    if (m_selected.empty())
        return false;
    const CGeneralPreferences& prefs = App().general;
    bool made = false;
    GetBoundingRect(true);
    {
        CUndoGroup group(m_selected.size() > 1);
        for (CElement*& slot : m_selected) {
            CElement* source = slot;
            CElement* copy = CloneElement(source);
            if (!copy)
                continue;
            copy->m_state = 0;
            if (!TheElementList().AddTail(copy)) {
                delete copy;
                break;
            }
            SetElementState(source, 0, false);
            slot = copy;
            SetElementState(copy, 2, false);
            copy->BeginMove(m_view);
            copy->TrackMove(m_view, prefs.duplicateX, prefs.duplicateY);
            copy->EndMove(m_view);
            copy->AssignDefaultName();
            if (auto* table = dynamic_cast<CTable*>(copy))
                table->RenameCopiedCells();
            Record(UNDO_ADDED, copy);
            if (App().dataPaths)
                App().dataPaths->AddElement(copy);
            made = true;
        }
    }
    GetBoundingRect(true);
    // The pane opens on the new primary once it stands where it goes.
    if (made && m_view)
        m_view->TellFrame(m_primary);
    return made;
}

bool CSelection::MovePrimaryInPaintOrder(bool toFront)
{
    EnsurePrimary();
    if (!m_primary)
        return false;
    CElementList& list = TheElementList();
    if (!list.Remove(m_primary))
        return false;
    if (!(toFront ? list.AddTail(m_primary) : list.AddHead(m_primary)))
        return false;
    m_primary->Invalidate(m_view, TRUE);
    return true;
}

bool CSelection::BringToFront()
{
    return MovePrimaryInPaintOrder(true);
}

bool CSelection::SendToBack()
{
    return MovePrimaryInPaintOrder(false);
}

bool CSelection::MoveSelected(bool group, bool skipPrimary,
                              const std::function<CPoint(const CRect&)>& offsetOf)
{
    GetBoundingRect(true);
    {
        CUndoGroup undoGroup(group);
        for (CElement* element : m_selected)
            element->BeginMove(m_view);
        for (CElement* element : m_selected) {
            if (skipPrimary && element == m_primary)
                continue;
            const CPoint offset = offsetOf(element->m_trackRect);
            Record(UNDO_CHANGED, element);
            element->TrackMove(m_view, offset.x, offset.y);
        }
    }
    for (CElement* element : m_selected)
        element->EndMove(m_view);
    GetBoundingRect(true);
    RefreshPane();
    return true;
}

bool CSelection::Align(int kind)
{
    EnsurePrimary();
    if (m_selected.size() < 2 || !m_primary)
        return false;
    return MoveSelected(true, true, [this, kind](const CRect& e) {
        const CRect p = m_primary->m_trackRect;
        switch (kind) {
        case ALIGN_TOP:
            return CPoint(0, p.top - e.top);
        case ALIGN_BOTTOM:
            return CPoint(0, p.bottom - e.bottom);
        case ALIGN_LEFT:
            return CPoint(p.left - e.left, 0);
        case ALIGN_RIGHT:
            return CPoint(p.right - e.right, 0);
        case ALIGN_VERT_CENTRE:
            return CPoint(p.Width() / 2 - e.Width() / 2 - e.left + p.left, 0);
        case ALIGN_HORZ_CENTRE:
            return CPoint(0, p.Height() / 2 - e.Height() / 2 - e.top + p.top);
        default:
            return CPoint(0, 0);
        }
    });
}

bool CSelection::CentreInSign(int kind)
{
    EnsurePrimary();
    if (m_selected.empty())
        return false;
    const int w = SignWidth();
    const int h = SignHeight();
    return MoveSelected(m_selected.size() > 1, false, [kind, w, h](const CRect& e) {
        return kind == 0 ? CPoint(w / 2 - e.Width() / 2 - e.left, 0)
                         : CPoint(0, h / 2 - e.Height() / 2 - e.top);
    });
}

bool CSelection::MakeSameSize(int kind)
{
    EnsurePrimary();
    if (m_selected.size() < 2 || !m_primary)
        return false;
    GetBoundingRect(true);
    {
        CUndoGroup group(true);
        for (CElement* element : m_selected)
            element->BeginResize(m_view, HANDLE_BOTTOM_RIGHT);
        const CRect p = m_primary->m_trackRect;
        for (CElement* element : m_selected) {
            if (element == m_primary)
                continue;
            const CRect e = element->m_trackRect;
            Record(UNDO_CHANGED, element);
            const double aspect = e.Height() != 0 ? double(e.Width()) / e.Height() : 1.0;
            const bool keeps = element->KeepsAspectRatio();
            int dx = 0;
            int dy = 0;
            // The differences can be negative: round half away from zero.
            switch (kind) {
            case SAME_WIDTH:
                dx = p.Width() - e.Width();
                dy = keeps && aspect != 0.0 ? RoundHalfAway(dx / aspect) : 0;
                break;
            case SAME_HEIGHT:
                dy = p.Height() - e.Height();
                dx = keeps ? RoundHalfAway(dy * aspect) : 0;
                break;
            default:
                dy = p.Height() - e.Height();
                dx = keeps ? RoundHalfAway(dy * aspect) : p.Width() - e.Width();
                break;
            }
            element->TrackResize(m_view, dx, dy, FALSE);
        }
    }
    for (CElement* element : m_selected)
        element->EndResize(m_view);
    GetBoundingRect(true);
    RefreshPane();
    return true;
}

bool CSelection::SpaceEvenly(int kind)
{
    EnsurePrimary();
    const std::size_t n = m_selected.size();
    if (n < 3)
        return false;
    std::vector<CElement*> sorted = m_selected;
    for (CElement* element : sorted)
        element->BeginMove(m_view);
    auto edge = [kind](const CElement* e) {
        return kind == 0 ? e->m_trackRect.left : e->m_trackRect.top;
    };
    // A stable sort: equal edges keep the selection order.
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&edge](const CElement* a, const CElement* b) { return edge(a) < edge(b); });
    const int first = edge(sorted.front());
    const int last = edge(sorted.back());
    const int step = RoundHalfUp(double(last - first) / double(n - 1));
    if (step <= 0) {
        QApplication::beep();
        for (CElement* element : sorted)
            element->EndMove(m_view);
        return false;
    }
    GetBoundingRect(true);
    {
        CUndoGroup group(true);
        for (std::size_t i = 1; i + 1 < n; ++i) {
            CElement* element = sorted[i];
            Record(UNDO_CHANGED, element);
            const int target = first + int(i) * step;
            if (kind == 0)
                element->TrackMove(m_view, target - edge(element), 0);
            else
                element->TrackMove(m_view, 0, target - edge(element));
        }
    }
    for (CElement* element : sorted)
        element->EndMove(m_view);
    GetBoundingRect(true);
    RefreshPane();
    return true;
}

bool CSelection::MatchTypeface()
{
    EnsurePrimary();
    CLogFont model;
    if (m_selected.size() < 2 || !m_primary || !m_primary->GetFont(model))
        return false;
    CWaitCursor wait;
    bool changed = false;
    {
        CUndoGroup group(true);
        for (CElement* element : m_selected) {
            CLogFont own;
            if (element == m_primary || !element->GetFont(own))
                continue;
            Record(UNDO_CHANGED, element);
            CLogFont font(model);
            font.SetHeight(own.GetHeight());
            const LONG orientation = own.GetLogFont().lfOrientation;
            font.SetRotation(orientation > 0 ? 360 - orientation / 10 : 0);
            element->Invalidate(m_view, TRUE);
            element->SetFont(m_view, font);
            element->Invalidate(m_view, TRUE);
            changed = true;
        }
    }
    RefreshPane();
    return changed;
}

bool CSelection::MatchLineThickness()
{
    EnsurePrimary();
    if (m_selected.size() < 2 || !m_primary || m_primary->GetThickness() == 0)
        return false;
    const int thickness = m_primary->GetThickness();
    {
        CUndoGroup group(true);
        for (CElement* element : m_selected) {
            if (element == m_primary || element->GetThickness() <= 0)
                continue;
            Record(UNDO_CHANGED, element);
            element->SetThickness(m_view, thickness);
        }
    }
    RefreshPane();
    return true;
}

bool CSelection::MatchColours()
{
    EnsurePrimary();
    if (m_selected.size() < 2 || !m_primary)
        return false;
    {
        CUndoGroup group(true);
        for (CElement* element : m_selected) {
            if (element == m_primary)
                continue;
            Record(UNDO_CHANGED, element);
            element->CopyColoursFrom(m_primary);
            element->Invalidate(m_view, TRUE);
        }
    }
    RefreshPane();
    return true;
}

// --- clipboard ---------------------------------------------------------------------

QByteArray CSelection::WriteElements(const std::vector<CElement*>& elements)
{
    QByteArray data;
    CAppContext& app = App();
    const int oldVersion = app.fileVersion;
    CProgressSeam* progress = app.progress;
    app.progress = nullptr; // no progress window for the clipboard
    app.fileVersion = 514;
    {
        CArchive ar(&data, CArchive::store);
        ar.WriteObList(elements);
    }
    app.fileVersion = oldVersion;
    app.progress = progress;
    return data;
}

std::vector<CElement*> CSelection::ReadElements(const QByteArray& data)
{
    std::vector<CElement*> elements;
    CAppContext& app = App();
    const int oldVersion = app.fileVersion;
    CProgressSeam* progress = app.progress;
    app.progress = nullptr;
    app.fileVersion = 514;
    bool whole = false;
    try {
        QByteArray bytes = data;
        CArchive ar(&bytes, CArchive::load);
        ar.ReadObList(elements);
        whole = true;
    } catch (const std::exception&) {
        whole = false;
    }
    // Every entry must be an element of its own: a missing one, or a second
    // reference to an element read before, means the data is damaged.
    std::set<CElement*> distinct;
    for (CElement* element : elements) {
        if (!element || !distinct.insert(element).second)
            whole = false;
    }
    if (!whole) {
        for (CElement* element : distinct)
            delete element;
        elements.clear();
    }
    app.fileVersion = oldVersion;
    app.progress = progress;
    return elements;
}

bool CSelection::Copy()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* mime = new QMimeData;
    mime->setData(CSignApp::GetClipboardFormat(), WriteElements(m_selected));
    clipboard->setMimeData(mime);
    return true;
}

bool CSelection::Cut()
{
    if (!Copy())
        return false;
    DeleteSelected();
    return true;
}

bool CSelection::Paste()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime)
        return false;
    CElementList& list = TheElementList();
    const QString format = CSignApp::GetClipboardFormat();
    if (mime->hasFormat(format)) {
        const std::vector<CElement*> elements = ReadElements(mime->data(format));
        if (elements.empty()) {
            // Nothing of damaged data is added, and the selection stays.
            AppMessageBox(QCoreApplication::translate(
                              "CSelection", "The elements on the clipboard cannot be read, so "
                                            "nothing was pasted."),
                          MB_ICONEXCLAMATION);
            return false;
        }
        DeselectAll();
        std::vector<CElement*> added;
        for (CElement* element : elements) {
            element->m_state = 0;
            if (element->GetTypeCode() != TYPE_TABLE && element->m_dataSource > SOURCE_KEYBOARD)
                element->m_dataSource = SOURCE_KEYBOARD;
            if (list.AddTail(element))
                added.push_back(element);
            else
                delete element;
        }
        // Renamed only after all are in, so that a new name never takes the
        // name of an element pasted after it.
        for (CElement* element : added) {
            if (list.FindByName(element->m_name) != element)
                element->AssignDefaultName();
            if (auto* table = dynamic_cast<CTable*>(element))
                table->RenameCopiedCells();
            element->UpdateRects(m_view);
            element->Invalidate(m_view, TRUE);
            if (App().dataPaths)
                App().dataPaths->AddElement(element);
        }
        DeselectAll();
        return !elements.empty();
    }
    if (mime->hasText()) {
        const QString text = mime->text();
        CElement* element = list.CreateElement(QStringLiteral("CText"));
        if (!element)
            return false;
        element->BeginCreate(m_view, 0, 0);
        element->SetSampleData(m_view, text);
        element->Invalidate(m_view, TRUE);
        return true;
    }
    return false;
}
