// The rulers along the top and left of the design canvas and the corner
// box between them. Along its axis a ruler copies the canvas's scale, so
// its ticks and labels (centimetres or inches) line up with the sign at any
// zoom; a press on a ruler drags a new layout guide out of it, and a press
// on the corner box switches the display unit.
#pragma once

#include "Types.h"

#include <QFont>
#include <QString>
#include <QWidget>
#include <vector>

// What a ruler needs of the design canvas. The canvas implements it.
class CRulerClient
{
public:
    virtual ~CRulerClient() = default;

    // A press on a ruler: vertical is true for the vertical (left) ruler,
    // which makes vertical guides. deviceOffset is the pointer's canvas
    // device coordinate across the guide (x for vertical, y for horizontal
    // guides). True when the canvas accepted and added a guide; it then
    // drags it (CGrid::MoveGuide) until EndGuide.
    virtual bool BeginGuide(bool vertical, int deviceOffset) = 0;
    // The pointer moved while a guide is dragged out of a ruler; the point
    // is in canvas device coordinates.
    virtual void TrackGuide(bool vertical, QPoint canvasDevicePos) = 0;
    // The button went up. overRulerKind is the kind of ruler under the
    // pointer (0 horizontal, 1 vertical, 2 corner box) or -1 over the
    // canvas: over the ruler of the guide's direction the canvas deletes it
    // (CGrid::DeleteGuide), elsewhere it keeps it (CGrid::ReleaseGuide).
    virtual void EndGuide(bool vertical, QPoint canvasDevicePos, int overRulerKind) = 0;

    // The canvas's mapping: window and viewport extents and the viewport
    // origin (in canvas pixels), as its device context has them.
    virtual CSize RulerWindowExt() const = 0;
    virtual CSize RulerViewportExt() const = 0;
    virtual CPoint RulerViewportOrg() const = 0;
};

// One tick of a ruler.
struct CRulerTick
{
    enum : int
    {
        Short = 0,
        Mid = 1,
        Labelled = 2,
    };
    int index = 0;    // minor step count from 0
    int position = 0; // tenths of a millimetre along the axis
    int kind = Short;
    QString label;    // only for labelled ticks
    bool red = false; // the "0" tick

    bool operator==(const CRulerTick&) const = default;
};

// The tick steps of a ruler at one scale.
struct CRulerScale
{
    int major = 100;       // 100 (one centimetre) or 254 (one inch)
    int n = 1;             // major units per labelled step
    int divisions = 10;    // minor steps per labelled step
    int midPeriod = 5;     // minor steps per mid tick
    double minorStep = 10; // tenths of a millimetre
};

class CRuler : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        None = -1,
        HorizontalRuler = 0,
        VerticalRuler = 1,
        CornerBox = 2,
    };

    // A child of the canvas; kind and unit (0 metric, 1 inches).
    CRuler(QWidget* canvas, CRulerClient* client, int kind, int units);
    ~CRuler() override;

    int Kind() const { return m_kind; }
    int Units() const { return m_units; }
    void SetUnits(int units);

    // Thickness of the horizontal ruler and width of the vertical one, in
    // pixels, made equal in physical size.
    int RulerHeight() const { return m_rulerHeight; }
    int RulerWidth() const { return m_rulerWidth; }
    int TextAscent() const { return m_ascent; }
    int ShortTick() const { return m_shortTick; }
    int MidTick() const { return m_midTick; }

    // Lays the ruler along the canvas's client area.
    void Reposition();
    // Takes the canvas's scale along the ruler's axis and chooses the steps.
    void RecalcScale();
    // Follows the canvas's viewport origin after a scroll.
    void SyncOrigin();
    const CRulerScale& Scale() const { return m_scale; }

    // Shows or hides the ruler and remembers it.
    void Show(bool hide);
    bool IsHiddenRuler() const { return m_hidden; }

    // Moves the marker to the pointer's canvas device x (horizontal ruler)
    // or y (vertical ruler).
    void TrackPosition(int x, int y);
    // The marker in ruler pixels along the axis, or -1.
    int MarkerPosition() const { return m_marker; }

    void SetGuideCursor();
    void ResetCursor();
    bool HasGuideCursor() const { return m_guideCursor; }

    // The steps for a unit when a label needs labelExtent tenths of a
    // millimetre.
    static CRulerScale ChooseScale(int units, int labelExtent);
    // The ticks from start (inclusive) to end (exclusive), in tenths of a
    // millimetre, as the ruler draws them.
    static std::vector<CRulerTick> Ticks(const CRulerScale& scale, int start, int end);
    // The ticks the ruler shows now over its client area.
    std::vector<CRulerTick> VisibleTicks() const;

    // Ruler pixels along the axis for a design position, and back.
    int ToPixel(int position) const;
    int ToDesign(int pixel) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint ToCanvas(QPoint rulerPos) const;
    int RulerKindAt(QPoint canvasPos) const;

    CRulerClient* m_client = nullptr;
    int m_kind = None;
    int m_units = 0;
    int m_rulerHeight = 0;
    int m_rulerWidth = 0;
    int m_ascent = 0;
    int m_midTick = 0;
    int m_shortTick = 0;
    QFont m_font;
    CRulerScale m_scale;
    // Along-axis mapping: pixel = position * vpExt / winExt + vpOrg.
    int m_winExt = 1;
    int m_vpExt = 1;
    int m_vpOrg = 0;
    bool m_hidden = false;
    int m_marker = -1;
    bool m_guideCursor = false;
    bool m_dragging = false;
};
