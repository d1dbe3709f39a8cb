// The layout aids of the design canvas: the snapping grid, the layout
// guides dragged out of the rulers, the printer-margin switch, the rulers
// and the program-wide display unit (0 millimetres, 1 inches) that every
// pane and dialog showing a length reads.
//
// The switches and intervals live in CGridSettings (loaded and saved with
// the "grid", "margins" and "ruler" profile keys) and the display unit in
// App().general.displayUnits; CGrid reads and writes them there, so there
// is one copy of each value. Guides are kept in memory only: they are not
// saved, and they survive File New and File Open.
//
// The one object is App().Get<CGrid>() (TheGrid()); making it installs it
// as App().snap.
#pragma once

#include "Seams.h"
#include "Types.h"

#include <QPointer>
#include <QSize>
#include <array>
#include <functional>
#include <vector>

class CDC;
class CRuler;
class CRulerClient;
class QWidget;

// One layout guide: a horizontal guide is the line y = position, a
// vertical guide the line x = position (tenths of a millimetre).
struct CGuide
{
    enum : int
    {
        Horizontal = 0,
        Vertical = 1,
    };
    int orientation = Horizontal;
    int position = 0;

    bool operator==(const CGuide&) const = default;
};

class CGrid : public CSnapSeam
{
public:
    // Pixels around a guide within which a press picks it.
    static constexpr int kPickTolerancePx = 5;
    // Pixels within which an element's edge snaps onto a guide.
    static constexpr int kSnapTolerancePx = 10;

    CGrid();
    ~CGrid() override;
    CGrid(const CGrid&) = delete;
    CGrid& operator=(const CGrid&) = delete;

    // The profile keys (through CGridSettings); Load also recomputes nothing
    // on screen: the canvas calls RecalcGridSpacing when it is shown.
    void Load();
    void Save();

    // Settings ---------------------------------------------------------
    int GetUnits() const;     // 0 millimetres, 1 inches
    void SetUnits(int units); // also gives the unit to the rulers
    bool IsSnapToGrid() const;
    void SetSnapToGrid(bool on);
    bool IsSnapToGuides() const;
    void SetSnapToGuides(bool on);
    bool IsShowGrid() const;
    void SetShowGrid(bool on);
    bool IsShowMargins() const;
    void SetShowMargins(bool on);
    bool IsShowRuler() const;
    void SetShowRuler(bool on); // also shows or hides the rulers
    // Grid intervals in tenths of a millimetre; a value below 1 is refused
    // (the interval stays as it was).
    CSize GetInterval() const;
    void SetInterval(int x, int y);
    // The spacing of the drawn dots: a multiple (by a power of two) of the
    // grid interval, at least about two screen millimetres.
    CSize GetDrawInterval() const { return m_drawInterval; }

    // Snapping (CSnapSeam) ---------------------------------------------
    // Each coordinate to the nearest multiple of its interval, halves away
    // from zero, when snap to grid is on; else the point unchanged.
    CPoint SnapPoint(int x, int y) const override;
    // Moves an element rectangle onto the first guide (in list order) that
    // its top, else its bottom, lies within 10 pixels of, then likewise
    // across with its left, else its right edge; the pixels are converted
    // through the view. Nothing when snap to guides is off.
    void SnapRectToGuides(CViewSeam* view, CRect& rect) const override;

    // Drawing ----------------------------------------------------------
    // Recomputes the drawing intervals from the screen's pixels per
    // millimetre (as the canvas records them) and the view's scale,
    // re-scales and re-aligns the rulers and repaints the canvas.
    void RecalcGridSpacing(CViewSeam* view, double pxPerMmX, double pxPerMmY);
    // The dots, one black pixel at each drawing-interval point of the sign
    // (0 <= x < width, 0 <= y < height, design units); only with show grid.
    void DrawGrid(CDC& dc, CSize signSize) const;
    // The same over the current paper's sign.
    void DrawGrid(CDC& dc) const;
    // Every guide as a dotted black line across the visible area (design
    // units).
    void DrawGuides(CDC& dc, const CRect& visibleArea) const;
    // The same over the canvas's visible area (VisibleArea).
    void DrawGuides(CDC& dc, CViewSeam* view) const;
    // The printable part of the sign as a dotted grey frame; only with show
    // margins, and only when it is not empty.
    void DrawMargins(CDC& dc, const CRect& printable) const;
    // The same for the current paper.
    void DrawMargins(CDC& dc) const;
    // The canvas's client area less the rulers (when shown), in design
    // units; empty without a canvas.
    CRect VisibleArea(CViewSeam* view) const;

    // Rulers -----------------------------------------------------------
    // Creates the horizontal ruler, the vertical ruler and the corner box
    // as children of the canvas; false when one could not be made (those
    // made so far stay).
    bool CreateRulers(QWidget* canvas, CRulerClient* client);
    void DestroyRulers();
    // 0 horizontal, 1 vertical, 2 corner box; null before CreateRulers.
    CRuler* GetRuler(int kind) const;
    // Lays the rulers along the canvas after it was resized or scrolled.
    void RepositionRulers();
    void SyncRulers();
    // Thickness of the horizontal ruler and width of the vertical one, in
    // pixels; 0 while the rulers are hidden or absent.
    int RulerHeight() const;
    int RulerWidth() const;
    // Moves the rulers' pointer markers to a canvas device position.
    void TrackPosition(int x, int y);

    // Guides -----------------------------------------------------------
    const std::vector<CGuide>& Guides() const { return m_guides; }
    int GuideCount() const { return static_cast<int>(m_guides.size()); }
    // Index of the guide being dragged, or -1.
    int CurrentGuide() const { return m_current; }
    // Appends a guide (for tests and programmatic layouts); not current.
    void InsertGuide(int orientation, int position);
    void RemoveAllGuides();
    // Appends a new guide at position 0 and makes it current; false (and
    // nothing added) while a guide is current.
    bool AddGuide(CViewSeam* view, int orientation);
    // The orientation of the first guide within 5 pixels of the logical
    // point (across for vertical, down for horizontal guides), or -1.
    int HitTestGuide(CViewSeam* view, int x, int y) const;
    // The same; on a hit the guide becomes current and the ruler of its
    // direction shows the guide cursor.
    int PickGuide(CViewSeam* view, int x, int y);
    // Moves the current guide to the snapped logical point, repainting its
    // old and new line.
    void MoveGuide(CViewSeam* view, int x, int y);
    // The drag ends over the canvas: the guide stays, none is current.
    void ReleaseGuide();
    // The drag ends over the ruler of the guide's own direction: the
    // current guide, when it has that orientation, is removed. False when
    // there was nothing to remove.
    bool DeleteGuide(CViewSeam* view, int orientation);
    // Repaints the current guide's line across the visible canvas.
    void InvalidateGuide(CViewSeam* view, bool erase) const;

    // Switches the display unit and tells the rulers, then calls
    // onUnitsToggled (the main frame clears the selection and shows the
    // sign settings pane afresh, so lengths appear in the new unit).
    void ToggleUnits();
    std::function<void()> onUnitsToggled;

    // The "Layout Guides" sheet opened at the page of the command (32802
    // grid, 32812 margins, 32803 ruler); true when closed with OK. The
    // canvas repaints afterwards.
    bool RunSettingsSheet(QWidget* parent, CViewSeam* view, int commandId);

    // What the sheet shows: intervals in millimetres, or in inches when the
    // display unit is 1.
    struct SheetValues
    {
        bool showGrid = false;
        bool snapToGrid = false;
        bool snapToGuides = true;
        double intervalX = 1.0;
        double intervalY = 1.0;
        bool showMargins = true;
        int units = 0;
        bool showRuler = true;
    };
    SheetValues GetSheetValues() const;
    // Takes the values of a sheet closed with OK: intervals back to tenths
    // of a millimetre (through InchesToMm when the sheet's unit is inches),
    // the spacing recomputed, the unit and ruler switch given to the rulers.
    void ApplySheetValues(const SheetValues& values, CViewSeam* view);
    // A typed interval (millimetres or inches) in tenths of a millimetre.
    static int IntervalFromDisplay(double value, int units);

private:
    void InvalidateCanvas() const;
    bool GuideNear(CViewSeam* view, const CGuide& guide, int x, int y) const;
    void SetRulerGuideCursor(int orientation, bool guideCursor);

    void UpdateDrawInterval();

    CSize m_drawInterval;
    CSize m_minSpacing;    // design units; 0 until RecalcGridSpacing
    double m_pxPerMmX = 4; // the screen's, as the canvas last gave them
    double m_pxPerMmY = 4;
    std::array<QPointer<CRuler>, 3> m_rulers;
    QPointer<QWidget> m_canvas;
    std::vector<CGuide> m_guides;
    int m_current = -1;
};

CGrid& TheGrid();
