// The box element, an outlined and optionally filled rectangle with square,
// rounded or chamfered corners, and the ellipse inscribed in the same
// rectangle. Their colours can come from a data source: a box's data text
// is its six colour components.
#pragma once

#include "Element.h"

// Corner types of a box.
enum BoxCorner : int
{
    CORNER_SQUARE = 0,
    CORNER_ROUNDED = 1,
    CORNER_CHAMFERED = 2,
};

class CBox : public CElement
{
    DECLARE_PERSISTENT(CBox)

public:
    // A box with the defaults for new boxes.
    CBox();
    CBox(const CBox& other) = default;
    CBox& operator=(const CBox& other) = default;
    ~CBox() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void TrackCreate(CView* view, int x, int y, BOOL constrain) override;
    void EndCreate(CView* view, unsigned flags) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    int GetThickness() const override;
    void SetThickness(CView* view, int value) override;
    QString GetSampleData() const override;
    void WriteXml(CTextExportFile& file) override;
    BOOL GetColour(COLORREF& colour) const override;
    BOOL GetFill(COLORREF& colour) const override;
    void CopyColoursFrom(const CElement* element) override;
    void SetBounds(CView* view, const CRect& bounds) override;

    // Setters of the property pane; a null view changes without repainting.
    void SetOutlineColour(CView* view, COLORREF colour);
    void SetFill(CView* view, BOOL fillInterior, COLORREF colour);
    void SetCornerType(CView* view, int cornerType);
    void SetCornerRadius(CView* view, int percent);

    // The rectangle the corner points span, normalised, right and bottom
    // being the last unit inside the box.
    CRect GetPointRect() const;
    // Width and height as the box stands unturned (orientation 0).
    CSize GetUnturnedSize() const;

    // --- fields, in declaration order ---------------------------------------
    // Point 0 is where creation started (after EndCreate the corner that is
    // top-left at orientation 0, turned with the box) and point 2 the
    // opposite corner. At orientations 0 and 180 point 1 is (point 2 x,
    // point 0 y) and point 3 (point 0 x, point 2 y); at 90 and 270 point 1 is
    // (point 0 x, point 2 y) and point 3 (point 2 x, point 0 y).
    CPoint m_points[4];
    int m_thickness = 10;
    COLORREF m_outlineColour = 0;
    BOOL m_fillInterior = 0;
    COLORREF m_fillColour = MakeRGB(255, 255, 255);
    int m_cornerType = CORNER_SQUARE;
    int m_cornerRadius = 40;
    // The design colours, kept while data entry shows the data's colours.
    COLORREF m_savedOutlineColour = 0;
    COLORREF m_savedFillColour = MakeRGB(255, 255, 255);

protected:
    // Lays points 1 and 3 by the orientation rule from points 0 and 2.
    void PlaceSideCorners();
    // Lays the four points on a rectangle by the current orientation.
    void LayOnRect(const CRect& rect);
    // The pen and brush of the outline and fill, selected into the context.
    void SelectPenAndBrush(CDC* dc, int penWidth) const;
    // The export block under the given tag; boxes add their corners.
    void WriteShapeXml(CTextExportFile& file, const char* tag, bool corners);
};

class CEllipse : public CBox
{
    DECLARE_PERSISTENT(CEllipse)

public:
    // An ellipse with the defaults for new ellipses.
    CEllipse();
    // The box's content as an ellipse (the undo copy of an ellipse).
    explicit CEllipse(const CBox& box);
    CEllipse(const CEllipse& other) = default;
    CEllipse& operator=(const CEllipse& other) = default;
    ~CEllipse() override;

    void Draw(CDC* dc, const CRect& clip) override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void WriteXml(CTextExportFile& file) override;
};

// The element copies for the box and ellipse type codes; null for an
// element that is not a box.
CElement* CopyBoxElement(const CElement& element);
CElement* CopyEllipseElement(const CElement& element);
