// The straight-line element: a band from a start point to an end point with
// a thickness, a colour and an end style. Thick lines are filled polygons
// whose ends can be square, round, notched or pointed.
#pragma once

#include "Element.h"

// End styles of a line.
enum LineEnd : int
{
    LINE_END_SQUARE = 0,
    LINE_END_ROUND = 1,
    LINE_END_NOTCHED = 2,
    LINE_END_POINTED = 3,
};

class CLine : public CElement
{
    DECLARE_PERSISTENT(CLine)

public:
    // A line with the defaults for new lines.
    CLine();
    CLine(const CLine& other) = default;
    CLine& operator=(const CLine& other) = default;
    ~CLine() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void TrackCreate(CView* view, int x, int y, BOOL constrain) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    int GetThickness() const override;
    void SetThickness(CView* view, int value) override;
    void WriteXml(CTextExportFile& file) override;
    BOOL GetColour(COLORREF& colour) const override;
    void CopyColoursFrom(const CElement* element) override;
    void SetBounds(CView* view, const CRect& bounds) override;

    // Setters of the property pane; a null view changes without repainting.
    void SetPoints(CView* view, CPoint start, CPoint end);
    void SetEndStyle(CView* view, int endStyle);
    void SetColour(CView* view, COLORREF colour);

    // Length from start to end, and the direction in whole degrees from 0
    // to 359 (y grows downward, so 90 points down).
    double GetLength() const;
    int GetAngleDegrees() const;

    // Lines thinner than this are plain bands whatever their end style.
    static constexpr int kMinStyledThickness = 10;

    // --- fields, in declaration order ---------------------------------------
    CPoint m_start;
    CPoint m_end;
    int m_thickness = 10;
    COLORREF m_colour = 0;
    int m_lineValue = 0; // kept and copied; nothing draws or exports it
    int m_endStyle = LINE_END_SQUARE;
    // The outline, recomputed from the above: P0, P5, P6 and P11 are the
    // corners of the whole band; P1, P4, P7 and P10 lie half a thickness
    // inside the ends, P2, P3, P8 and P9 a whole thickness inside.
    CPoint m_outline[12];
    double m_direction = 0; // radians, from start to end
};

// The element copy for the line type code; null for an element that is not
// a line.
CElement* CopyLineElement(const CElement& element);
