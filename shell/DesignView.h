// The design canvas: one sign drawn on its sheet at a chosen magnification
// and edited with the mouse and the keyboard. Logical units are tenths of a
// millimetre; the mapping to pixels uses integer viewport extents against a
// window extent of 1000, and conversions round half away from zero.
#pragma once

#include "Commands.h"
#include "DC.h"
#include "Ruler.h"
#include "Seams.h"
#include "Selection.h"
#include "Types.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <memory>
#include <vector>

class CBackground;
class CElement;
class CUccEanData;
class CMainFrame;
class CSignData;

// Tool modes: an even mode from 2 up is an armed tool, the odd one after it
// the drag that draws the new element.
enum ToolMode : int
{
    MODE_SELECT = 0,
    MODE_MAGNIFIER = 1,
    MODE_LINE = 2,
    MODE_LINE_DRAW = 3,
    MODE_BOX = 4,
    MODE_BOX_DRAW = 5,
    MODE_ELLIPSE = 6,
    MODE_ELLIPSE_DRAW = 7,
    MODE_MOVE = 8,
    MODE_RESIZE = 9,
    MODE_RUBBER_BAND = 10,
    MODE_TEXT_PLACE = 11,
    MODE_TEXT_BOX = 12,
    MODE_TEXT_BOX_DRAW = 13,
    MODE_PRICE_PLACE = 14,
    MODE_PICTURE_PLACE = 15,
    MODE_BARCODE_PLACE = 16,
    MODE_OBJECT_PLACE = 17,
    MODE_SYMBOL_PLACE = 18,
    MODE_ARC_TEXT = 19,
    MODE_ARC_TEXT_DRAW = 20,
    MODE_TABLE = 21,
    MODE_TABLE_DRAW = 22,
    MODE_DATA_ENTRY = 23,
    MODE_GUIDE = 24,
};

enum ZoomMode : int
{
    ZOOM_WHOLE_SIGN = 0,
    ZOOM_FULL_SIZE = 1,
    ZOOM_USER = 2,
};

// The canvas is also the client of the rulers laid along its top and left
// edges (children of its viewport), out of which layout guides are dragged.
class CDesignView : public QAbstractScrollArea,
                    public CViewSeam,
                    public CCommandTarget,
                    public CRulerClient
{
    Q_OBJECT

public:
    // The drag timer's interval: tracked rectangles are applied after the
    // pointer has rested this long.
    static constexpr int kDragTimerMs = 500;

    // frame may be null (tests); document is the sign marked modified.
    explicit CDesignView(CMainFrame* frame, CSignData* document, QWidget* parent = nullptr);
    ~CDesignView() override;

    // The one canvas, or null.
    static CDesignView* Current();

    // Each new or opened sign: select mode, empty selection, history
    // cleared, whole sign fitted.
    void OnInitialUpdate();

    // --- CViewSeam ---------------------------------------------------------
    CPoint LPtoDP(CPoint p) const override;
    CPoint DPtoLP(CPoint p) const override;
    CSize LPtoDPSize(CSize s) const override;
    CSize DPtoLPSize(CSize s) const override;
    void InvalidateRect(const CRect& deviceRect, bool erase) override;
    // A logical rectangle repainted.
    void InvalidateLogical(const CRect& logical);

    // --- CCommandTarget ----------------------------------------------------
    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;
    void FillCommandState(CCommandState& state) const override;

    // --- CRulerClient (guides dragged out of the rulers) ------------------
    // Only with the select tool: a new guide is added and dragged.
    bool BeginGuide(bool vertical, int deviceOffset) override;
    void TrackGuide(bool vertical, QPoint canvasDevicePos) override;
    // Over the guide's own ruler the guide is deleted, elsewhere it stays.
    void EndGuide(bool vertical, QPoint canvasDevicePos, int overRulerKind) override;
    CSize RulerWindowExt() const override;
    CSize RulerViewportExt() const override;
    CPoint RulerViewportOrg() const override;

    // --- modes, zoom -------------------------------------------------------
    void SetMode(int mode);
    int Mode() const { return m_mode; }
    CElement* PendingElement() const { return m_pending; }
    void WholeSign();
    void FullSize();
    // A fitted zoom is fitted anew when the window or the sign changes, not
    // when the column beside the canvas does; while held, not at all.
    void HoldFittedZoom(bool hold) { m_holdFittedZoom = hold; }
    // The window took a new size and its columns are laid out: a fitted
    // zoom is fitted to the canvas as it now is.
    void WindowResized();
    // Zoom in (doubling, at most 1000 %) or out (halving, at least 10 %)
    // with the logical point centred.
    void ZoomAt(CPoint logical, bool in);
    void SetZoomPercent(int percent);
    int ZoomMode() const { return m_zoomMode; }
    int ZoomPercent() const { return m_zoomPercent; }
    CSize ViewportExtent() const { return m_viewportExt; }
    CPoint ViewportOrigin() const { return m_viewportOrg; }
    double PixelsPerMmX() const { return m_pxPerMmX; }
    double PixelsPerMmY() const { return m_pxPerMmY; }
    // The viewport extent for a zoom percent: z x pixels per mm, rounded.
    static CSize ExtentFor(int percent, double pxPerMmX, double pxPerMmY);

    // --- parts --------------------------------------------------------------
    CSelection& Selection() { return m_selection; }
    const CSelection& Selection() const { return m_selection; }
    CMainFrame* Frame() const { return m_frame; }
    void SetModified();
    // Shows the element's pane (none: the sign settings pane).
    void TellFrame(CElement* element);
    // The pane shows the primary element's values anew.
    void RefreshPane();
    bool DragTimerActive() const { return m_dragTimer.isActive(); }
    CRect RubberBand() const { return m_band; }

    // Paints the sign into a painter whose device is the viewport (the one
    // draw path of the canvas); clip is in device pixels.
    void Render(QPainter& painter, const QRect& clip);

    // The shadow switch (program-wide).
    static inline bool s_showShadow = true;

    // The menu a right click opens: an element's context menu (by its id)
    // or the sign's own; the command ids in order, 0 for a separator.
    static constexpr int kSignContextMenu = 202;
    static std::vector<int> ContextMenuCommands(int menuId, int typeCode);
    // The help topic for the element under a point (the smallest one): one
    // per kind of element; empty for the first topic.
    static QString HelpTopicAt(CPoint logical);

    // The canvas border and shadow offset for a sign size.
    static int BorderFor(int signWidth, int signHeight);
    static int ShadowFor(int signWidth, int signHeight);

signals:
    // The primary element's values changed (a drag step was applied, a
    // layout command ran): its pane re-reads them.
    void paneRefreshRequested();
    // The selection's primary element changed.
    void primaryChanged(CElement* element);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DrawSheet(CDC& dc);
    // The rulers' thickness across (left) and down (top), in pixels; 0 while
    // hidden or when the rulers belong to another canvas.
    int RulerLeft() const;
    int RulerTop() const;
    bool OwnsRulers() const;
    // The ruler kind (CRuler::HorizontalRuler...) under a viewport point,
    // or -1.
    int RulerKindAt(QPoint devicePos) const;
    // Rulers shown or hidden: the sign keeps its place next to them.
    void RulersChanged(int oldLeft, int oldTop);
    // The scale changed: grid spacing and rulers follow.
    void UpdateRulers();
    void EndGuideDrag(int overRulerKind);
    void OnDragTimer();
    void UpdateScrollBars();
    void ApplyZoom(int percent, int mode);
    void ArmTool(int mode, const char* className);
    // Asks for the symbology and waits for the click that places the barcode.
    void ArmBarcodeTool();
    // Turns the primary barcode into one of another symbology, keeping its
    // name, place, turn and data.
    bool ChangeSymbology();
    // A picture or object command on the primary element, recorded for undo
    // first; true when the element changed.
    bool RunPrimaryOperation(int id);
    // Turns the page between portrait and landscape with the elements on it.
    bool RotatePaper();
    bool RunCommand(int id);
    void RepaintAll();
    CPoint EventPoint(const QMouseEvent* event) const;
    static bool IsCreationEmpty(const CElement* element);

    // Loads the stock's background picture when the stock, its picture or
    // the sign's size or orientation changed since it was last loaded.
    void RefreshBackground();
    // The context menu of the element at the point, or the sign's menu.
    void TrackContextMenu(CPoint logical, QPoint globalPos);

    CMainFrame* m_frame;
    CSignData* m_document;
    std::unique_ptr<CBackground> m_background; // the stock's picture, or none
    QString m_backgroundKey;
    CSelection m_selection;
    CDC::Faces m_faces; // read by one paint, for the next
    int m_mode = MODE_SELECT;
    int m_zoomMode = ZOOM_WHOLE_SIGN;
    int m_zoomPercent = 100;
    CElement* m_pending = nullptr;
    // The GS1 data made for the pending element, which goes with it.
    CUccEanData* m_pendingData = nullptr;
    CPoint m_bandAnchor;
    CRect m_band;
    double m_pxPerMmX = 4.0;
    double m_pxPerMmY = 4.0;
    CSize m_viewportExt{400, 400};
    CPoint m_viewportOrg{0, 0};
    bool m_updatingBars = false;
    bool m_holdFittedZoom = false;
    QSize m_fittedWindow; // the main window's size when the sign was last fitted
    // The window changed size during a drag: the sign is fitted once the
    // drag ends, so the drag keeps the mapping it began with.
    bool m_refitAfterDrag = false;
    int m_guideOrientation = -1; // of the guide being dragged
    QTimer m_dragTimer;
};
