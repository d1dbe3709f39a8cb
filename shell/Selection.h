// The canvas's selection: the selected elements in the order they were
// picked with one primary element, the state of a move or resize drag, and
// the layout and clipboard commands that act on the selected elements.
// Every change of an element is preceded by its undo record.
#pragma once

#include <functional>

#include "Types.h"

#include <QByteArray>
#include <QString>
#include <vector>

class CDC;
class CElement;
class CDesignView;

enum AlignKind : int
{
    ALIGN_TOP = 0,
    ALIGN_BOTTOM = 1,
    ALIGN_LEFT = 2,
    ALIGN_RIGHT = 3,
    ALIGN_VERT_CENTRE = 4,
    ALIGN_HORZ_CENTRE = 5,
};

enum SizeKind : int
{
    SAME_WIDTH = 0,
    SAME_HEIGHT = 1,
    SAME_BOTH = 2,
};

class CSelection
{
public:
    explicit CSelection(CDesignView* view);

    // --- membership -------------------------------------------------------
    void Reset();
    void EnsurePrimary();
    void SetElementState(CElement* element, int state, bool tellFrame);
    void AddElement(CElement* element);
    void DeselectAll();
    CElement* SelectAt(int x, int y, bool extend);
    void SelectInRect(const CRect& rect);
    void SelectNext(bool backwards, bool extend);

    bool IsEmpty() const { return m_selected.empty(); }
    int GetCount() const { return static_cast<int>(m_selected.size()); }
    const std::vector<CElement*>& Elements() const { return m_selected; }
    CElement* Primary() const { return m_primary; }
    bool Contains(const CElement* element) const;

    // The element a right click at the point opens the menu of: the
    // smallest selected element there, else the element picked there as a
    // click would. A multiple selection is reduced to it. Null when there is
    // no element at the point.
    CElement* PickForContextMenu(int x, int y);

    // --- hit tests ------------------------------------------------------
    bool HitTestSelected(int x, int y) const;
    CElement* HitTestSelectedElement(int x, int y) const;
    int HitTestHandle(int x, int y, bool select);
    // The union of the selected elements' areas, 1 wider on every side for
    // more than one; empty for none. With invalidate, also repainted.
    CRect GetBoundingRect(bool invalidate = false) const;
    // The frame round a multiple selection (the elements draw their handles).
    void Draw(CDC* dc) const;

    // --- dragging -----------------------------------------------------------
    void BeginMove(int x, int y);
    CPoint TrackMove(int x, int y);
    void EndMove();
    void BeginResize(int x, int y, int handle);
    CPoint TrackResize(int x, int y, bool keepShape);
    void EndResize();
    void OnDragTimer();
    void Nudge(int dx, int dy);

    // --- layout commands (true when the sign changed) ------------------------
    // Several elements turn about one of nine points of the bounding
    // rectangle (0 top-left .. 8 bottom-right, row by row).
    bool Rotate(int originChoice = 4);
    bool DeleteSelected();
    bool Duplicate();
    bool BringToFront();
    bool SendToBack();
    bool Align(int kind);
    bool CentreInSign(int kind);
    bool MakeSameSize(int kind);
    bool SpaceEvenly(int kind);
    // The primary element's typeface for every other selected element that
    // has a font; each keeps its own height and turn.
    bool MatchTypeface();
    bool MatchLineThickness();
    bool MatchColours();

    // --- clipboard -----------------------------------------------------------
    bool Copy();
    bool Cut();
    bool Paste();
    // The archive of elements that the clipboard carries (under
    // CSignApp::GetClipboardFormat()), and its reader: the elements are new
    // and belong to the caller; data that cannot be read whole gives none.
    static QByteArray WriteElements(const std::vector<CElement*>& elements);
    static std::vector<CElement*> ReadElements(const QByteArray& data);

    // The rotation origin of a bounding rectangle for choices 0..8.
    static CPoint RotationOrigin(const CRect& bounds, int choice);
    // An element's position rectangle, without handles.
    static CRect PositionRect(const CElement* element);

private:
    bool MovePrimaryInPaintOrder(bool toFront);
    // Moves the selected elements (all, or all but the primary) by the
    // offset offsetOf gives for each one's tracking rectangle, one undo step.
    bool MoveSelected(bool group, bool skipPrimary,
                      const std::function<CPoint(const CRect&)>& offsetOf);
    void Invalidate(const CRect& logical) const;
    void RefreshPane() const;
    void Remove(CElement* element);

    CDesignView* m_view;
    std::vector<CElement*> m_selected;
    CElement* m_primary = nullptr;
    CPoint m_anchor;
    CPoint m_offset;
};
