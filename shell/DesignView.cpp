#include "DesignView.h"

#include "GS1DataBar.h"
#include "GS1DataBarTypeDlg.h"

#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeParts.h"
#include "Box.h"
#include "DC.h"
#include "Element.h"
#include "ElementList.h"
#include "Grid.h"
#include "Image.h"
#include "ImageSelect.h"
#include "Line.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Paper.h"
#include "Preferences.h"
#include "Printer.h"
#include "Rounding.h"
#include "SelectBarcodeTypeDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbol.h"
#include "SymbolSelectDlg.h"
#include "SystemCallbacks.h"
#include "Table.h"
#include "Text.h"
#include "UccEanData.h"
#include "UndoHistory.h"
#include "UserList.h"
#include "VariableList.h"
#include "ui/RotationOriginDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace {

// What the clipboard holds, looked at once after each change: the commands
// ask for it on every update, and on X every look is a round trip to the
// server. The answer lives with the clipboard object and is forgotten when
// the clipboard says it changed (before anyone hears that its data did).
class CClipboardWatch : public QObject
{
public:
    explicit CClipboardWatch(QClipboard* clipboard) : QObject(clipboard)
    {
        setObjectName(QStringLiteral("clipboardWatch"));
        connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                m_known = -1;
        });
    }
    bool HasElements(const QClipboard& clipboard)
    {
        if (m_known < 0) {
            const QMimeData* data = clipboard.mimeData();
            m_known = data && (data->hasFormat(CSignApp::GetClipboardFormat()) || data->hasText())
                          ? 1
                          : 0;
        }
        return m_known == 1;
    }

private:
    int m_known = -1;
};

bool ClipboardHasElements()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* watch = clipboard->findChild<CClipboardWatch*>(QStringLiteral("clipboardWatch"),
                                                          Qt::FindDirectChildrenOnly);
    if (!watch)
        watch = new CClipboardWatch(clipboard);
    return watch->HasElements(*clipboard);
}

CDesignView* g_designView = nullptr;

// Logical units the window extent spans: 100 mm.
constexpr int kWindowExtent = 1000;
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;

bool IsDrawingMode(int mode)
{
    switch (mode) {
    case MODE_LINE_DRAW:
    case MODE_BOX_DRAW:
    case MODE_ELLIPSE_DRAW:
    case MODE_TEXT_BOX_DRAW:
    case MODE_ARC_TEXT_DRAW:
    case MODE_TABLE_DRAW:
        return true;
    default:
        return false;
    }
}

bool TakesCapture(int mode)
{
    return IsDrawingMode(mode) || mode == MODE_MOVE || mode == MODE_RESIZE ||
           mode == MODE_RUBBER_BAND;
}

bool ClearsSelectionOnEntry(int mode)
{
    switch (mode) {
    case MODE_LINE:
    case MODE_BOX:
    case MODE_ELLIPSE:
    case MODE_TEXT_PLACE:
    case MODE_TEXT_BOX:
    case MODE_PRICE_PLACE:
    case MODE_PICTURE_PLACE:
    case MODE_BARCODE_PLACE:
    case MODE_OBJECT_PLACE:
    case MODE_SYMBOL_PLACE:
    case MODE_ARC_TEXT:
    case MODE_TABLE:
        return true;
    default:
        return false;
    }
}

Qt::CursorShape CursorFor(int mode, int handle)
{
    switch (mode) {
    case MODE_SELECT:
    case MODE_DATA_ENTRY:
        return Qt::ArrowCursor;
    case MODE_MAGNIFIER:
        return Qt::PointingHandCursor;
    case MODE_MOVE:
        return Qt::SizeAllCursor;
    case MODE_RESIZE:
        switch (handle) {
        case HANDLE_TOP_LEFT:
        case HANDLE_BOTTOM_RIGHT:
            return Qt::SizeFDiagCursor;
        case HANDLE_TOP_RIGHT:
        case HANDLE_BOTTOM_LEFT:
            return Qt::SizeBDiagCursor;
        case HANDLE_TOP:
        case HANDLE_BOTTOM:
            return Qt::SizeVerCursor;
        default:
            return Qt::SizeHorCursor;
        }
    default:
        return Qt::CrossCursor;
    }
}

// Screen pixels per millimetre: TABREL_PX_PER_MM when set, else the screen's.
void MeasureScreen(double& x, double& y)
{
    bool ok = false;
    const double forced = qEnvironmentVariable("TABREL_PX_PER_MM").toDouble(&ok);
    if (ok && forced > 0) {
        x = y = forced;
        return;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        x = screen->physicalDotsPerInchX() / 25.4;
        y = screen->physicalDotsPerInchY() / 25.4;
    }
    if (!(x > 0))
        x = 4.0;
    if (!(y > 0))
        y = 4.0;
}

int SignWidth()
{
    return ThePaper().Current() ? ThePaper().GetSignWidth() : 2100;
}

int SignHeight()
{
    return ThePaper().Current() ? ThePaper().GetSignHeight() : 2970;
}

} // namespace

CDesignView* CDesignView::Current()
{
    return g_designView;
}

CDesignView::CDesignView(CMainFrame* frame, CSignData* document, QWidget* parent)
    : QAbstractScrollArea(parent), m_frame(frame), m_document(document), m_selection(this)
{
    setObjectName(QStringLiteral("designView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_dragTimer.setSingleShot(true);
    m_dragTimer.setInterval(kDragTimerMs);
    connect(&m_dragTimer, &QTimer::timeout, this, [this] { OnDragTimer(); });
    MeasureScreen(m_pxPerMmX, m_pxPerMmY);
    m_viewportExt = ExtentFor(m_zoomPercent, m_pxPerMmX, m_pxPerMmY);
    // Making the grid installs its snapping for the elements.
    CGrid& grid = TheGrid();
    grid.CreateRulers(viewport(), this);
    grid.SetShowRuler(grid.IsShowRuler());
    UpdateRulers();
    g_designView = this;
    App().currentView = this;
    App().activeDrawingView = this;
    if (m_frame) {
        m_frame->SetCanvas(this);
        connect(m_frame, &CMainFrame::signReset, this, [this] { OnInitialUpdate(); });
    }
}

CDesignView::~CDesignView()
{
    m_dragTimer.stop();
    if (OwnsRulers())
        TheGrid().DestroyRulers();
    if (g_designView == this)
        g_designView = nullptr;
    if (App().currentView == this)
        App().currentView = nullptr;
    if (App().activeDrawingView == this)
        App().activeDrawingView = nullptr;
}

void CDesignView::OnInitialUpdate()
{
    m_dragTimer.stop();
    m_mode = MODE_SELECT;
    m_pending = nullptr;
    viewport()->setCursor(Qt::ArrowCursor);
    g_designView = this;
    App().currentView = this;
    m_selection.Reset();
    TellFrame(nullptr);
    TheUndoHistory().Clear();
    // The stock's background picture is read again for each sign.
    m_background.reset();
    m_backgroundKey.clear();
    WholeSign();
}

// --- mapping -----------------------------------------------------------------

CSize CDesignView::ExtentFor(int percent, double pxPerMmX, double pxPerMmY)
{
    // Pixels for 100 mm at the percent; never below one pixel.
    return CSize(std::max(1, RoundHalfUp(percent * pxPerMmX)),
                 std::max(1, RoundHalfUp(percent * pxPerMmY)));
}

CPoint CDesignView::LPtoDP(CPoint p) const
{
    return CPoint(RoundHalfAway(double(p.x) * m_viewportExt.cx / kWindowExtent) + m_viewportOrg.x,
                  RoundHalfAway(double(p.y) * m_viewportExt.cy / kWindowExtent) + m_viewportOrg.y);
}

CPoint CDesignView::DPtoLP(CPoint p) const
{
    return CPoint(RoundHalfAway(double(p.x - m_viewportOrg.x) * kWindowExtent / m_viewportExt.cx),
                  RoundHalfAway(double(p.y - m_viewportOrg.y) * kWindowExtent / m_viewportExt.cy));
}

CSize CDesignView::LPtoDPSize(CSize s) const
{
    return CSize(RoundHalfAway(double(s.cx) * m_viewportExt.cx / kWindowExtent),
                 RoundHalfAway(double(s.cy) * m_viewportExt.cy / kWindowExtent));
}

CSize CDesignView::DPtoLPSize(CSize s) const
{
    return CSize(RoundHalfAway(double(s.cx) * kWindowExtent / m_viewportExt.cx),
                 RoundHalfAway(double(s.cy) * kWindowExtent / m_viewportExt.cy));
}

void CDesignView::InvalidateRect(const CRect& deviceRect, bool)
{
    // While data is entered the print station covers the whole canvas:
    // nothing of it shows until the station closes and it is drawn anew.
    if (m_mode == MODE_DATA_ENTRY)
        return;
    CRect r = deviceRect;
    r.NormalizeRect();
    viewport()->update(QRect(r.left, r.top, r.Width() + 1, r.Height() + 1));
}

void CDesignView::InvalidateLogical(const CRect& logical)
{
    if (logical.IsEmpty())
        return;
    CRect d(LPtoDP(logical.TopLeft()), LPtoDP(logical.BottomRight()));
    d.InflateRect(1, 1, 2, 2);
    InvalidateRect(d, true);
}

void CDesignView::RepaintAll()
{
    viewport()->update();
}

// --- rulers and guides -----------------------------------------------------------

bool CDesignView::OwnsRulers() const
{
    const CRuler* ruler = TheGrid().GetRuler(CRuler::HorizontalRuler);
    return ruler && ruler->parentWidget() == viewport();
}

int CDesignView::RulerLeft() const
{
    return OwnsRulers() ? TheGrid().RulerWidth() : 0;
}

int CDesignView::RulerTop() const
{
    return OwnsRulers() ? TheGrid().RulerHeight() : 0;
}

int CDesignView::RulerKindAt(QPoint devicePos) const
{
    if (!OwnsRulers())
        return -1;
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox}) {
        const CRuler* ruler = TheGrid().GetRuler(kind);
        if (ruler && !ruler->IsHiddenRuler() && ruler->geometry().contains(devicePos))
            return kind;
    }
    return -1;
}

void CDesignView::UpdateRulers()
{
    TheGrid().RecalcGridSpacing(this, m_pxPerMmX, m_pxPerMmY);
}

void CDesignView::RulersChanged(int oldLeft, int oldTop)
{
    if (m_zoomMode == ZOOM_WHOLE_SIGN) {
        WholeSign();
        return;
    }
    m_viewportOrg.x += RulerLeft() - oldLeft;
    m_viewportOrg.y += RulerTop() - oldTop;
    UpdateScrollBars();
    UpdateRulers();
    RepaintAll();
}

CSize CDesignView::RulerWindowExt() const
{
    return CSize(kWindowExtent, kWindowExtent);
}

CSize CDesignView::RulerViewportExt() const
{
    return m_viewportExt;
}

CPoint CDesignView::RulerViewportOrg() const
{
    return m_viewportOrg;
}

bool CDesignView::BeginGuide(bool vertical, int)
{
    if (m_mode != MODE_SELECT)
        return false;
    const int orientation = vertical ? CGuide::Vertical : CGuide::Horizontal;
    if (!TheGrid().AddGuide(this, orientation))
        return false;
    m_guideOrientation = orientation;
    SetMode(MODE_GUIDE);
    return true;
}

void CDesignView::TrackGuide(bool, QPoint canvasDevicePos)
{
    if (m_mode != MODE_GUIDE)
        return;
    const CPoint p = DPtoLP(CPoint(canvasDevicePos.x(), canvasDevicePos.y()));
    TheGrid().MoveGuide(this, p.x, p.y);
    if (OwnsRulers())
        TheGrid().TrackPosition(canvasDevicePos.x(), canvasDevicePos.y());
    if (m_frame)
        m_frame->SetStatusPosition(p.x, p.y);
}

void CDesignView::EndGuide(bool, QPoint, int overRulerKind)
{
    if (m_mode == MODE_GUIDE)
        EndGuideDrag(overRulerKind);
}

void CDesignView::EndGuideDrag(int overRulerKind)
{
    const int ownRuler =
        m_guideOrientation == CGuide::Vertical ? CRuler::VerticalRuler : CRuler::HorizontalRuler;
    if (m_guideOrientation < 0 || overRulerKind != ownRuler ||
        !TheGrid().DeleteGuide(this, m_guideOrientation))
        TheGrid().ReleaseGuide();
    m_guideOrientation = -1;
    SetMode(MODE_SELECT);
}

int CDesignView::BorderFor(int signWidth, int signHeight)
{
    return RoundHalfUp(0.02 * (double(signWidth) + signHeight));
}

int CDesignView::ShadowFor(int signWidth, int signHeight)
{
    return RoundHalfUp(0.01 * (double(signWidth) + signHeight));
}

// --- zoom and scrolling --------------------------------------------------------

void CDesignView::ApplyZoom(int percent, int mode)
{
    m_zoomMode = mode;
    m_zoomPercent = std::clamp(percent, kMinZoom, kMaxZoom);
    m_viewportExt = ExtentFor(m_zoomPercent, m_pxPerMmX, m_pxPerMmY);
    TheElementList().UpdateAllRects(this);
    if (m_frame)
        m_frame->SetStatusZoom(m_zoomPercent);
}

void CDesignView::RefreshBackground()
{
    const CPaperStock* stock = ThePaper().Current();
    const QString path = stock ? stock->backgroundImage : QString();
    QString key;
    if (!path.isEmpty()) {
        key = QStringLiteral("%1|%2|%3x%4|%5")
                  .arg(path)
                  .arg(stock->backgroundOrientation)
                  .arg(SignWidth())
                  .arg(SignHeight())
                  .arg(ThePrinter().IsLandscape() ? 1 : 0);
    }
    // A picture that could not be read is not tried again until the stock
    // or the sign changes.
    if (key == m_backgroundKey)
        return;
    m_backgroundKey = key;
    m_background.reset();
    if (path.isEmpty())
        return;
    auto background = std::make_unique<CBackground>();
    if (!background->LoadFile(this, path))
        return;
    // Turned for a landscape page, fitted to the sign.
    if (ThePrinter().IsLandscape())
        background->UpdateForPaper(this);
    else
        background->FitToPage(this);
    m_background = std::move(background);
}

void CDesignView::WholeSign()
{
    RefreshBackground();
    const int w = SignWidth();
    const int h = SignHeight();
    const int border = BorderFor(w, h);
    const int shadow = ShadowFor(w, h);
    const QSize client = viewport()->size();
    const int availX = int((client.width() - RulerLeft()) / m_pxPerMmX) * 10;
    const int availY = int((client.height() - RulerTop()) / m_pxPerMmY) * 10;
    int ex = w + shadow + border;
    int ey = h + shadow + border;
    for (const CElement* element : TheElementList()) {
        const CRect r = CSelection::PositionRect(element);
        ex = std::max(ex, r.right + border);
        ey = std::max(ey, r.bottom + border);
    }
    const int zx = int(double(availX) / std::max(1, ex) * 100);
    const int zy = int(double(availY) / std::max(1, ey) * 100);
    int percent = std::clamp(std::min(zx, zy), kMinZoom, kMaxZoom);
    // The sign with its shadow fits the window, so no scroll bar shows; the
    // pixel rounding of the extent may take a percent off.
    auto pixels = [](int logical, int extent) {
        return RoundHalfAway(double(logical) * extent / kWindowExtent);
    };
    for (; percent > kMinZoom; --percent) {
        const CSize e = ExtentFor(percent, m_pxPerMmX, m_pxPerMmY);
        if (RulerLeft() + pixels(border, e.cx) + pixels(w, e.cx) + pixels(shadow, e.cx) <=
                client.width() &&
            RulerTop() + pixels(border, e.cy) + pixels(h, e.cy) + pixels(shadow, e.cy) <=
                client.height())
            break;
    }
    m_refitAfterDrag = false;
    m_fittedWindow = window()->size();
    ApplyZoom(percent, ZOOM_WHOLE_SIGN);
    const CSize b = LPtoDPSize(CSize(border, border));
    m_viewportOrg = CPoint(b.cx + RulerLeft(), b.cy + RulerTop());
    UpdateScrollBars();
    UpdateRulers();
    RepaintAll();
}

void CDesignView::WindowResized()
{
    if (m_zoomMode != ZOOM_WHOLE_SIGN || m_holdFittedZoom)
        return;
    if (TakesCapture(m_mode))
        m_refitAfterDrag = true;
    else
        WholeSign();
}

void CDesignView::FullSize()
{
    ApplyZoom(100, ZOOM_FULL_SIZE);
    const int border = BorderFor(SignWidth(), SignHeight());
    const CSize b = LPtoDPSize(CSize(border, border));
    m_viewportOrg = CPoint(b.cx + RulerLeft(), b.cy + RulerTop());
    UpdateScrollBars();
    UpdateRulers();
    RepaintAll();
}

void CDesignView::SetZoomPercent(int percent)
{
    ApplyZoom(percent, ZOOM_USER);
    UpdateScrollBars();
    UpdateRulers();
    RepaintAll();
}

void CDesignView::ZoomAt(CPoint logical, bool in)
{
    const int percent =
        in ? std::min(m_zoomPercent * 2, kMaxZoom) : std::max(m_zoomPercent / 2, kMinZoom);
    ApplyZoom(percent, ZOOM_USER);
    // The clicked point goes to the middle of the client area next to the
    // rulers.
    const QSize client = viewport()->size();
    const CSize offset = LPtoDPSize(CSize(logical.x, logical.y));
    const int left = RulerLeft();
    const int top = RulerTop();
    m_viewportOrg = CPoint(left + (client.width() - left) / 2 - offset.cx,
                           top + (client.height() - top) / 2 - offset.cy);
    UpdateScrollBars();
    UpdateRulers();
    RepaintAll();
}

void CDesignView::UpdateScrollBars()
{
    const int w = SignWidth();
    const int h = SignHeight();
    const CSize border = LPtoDPSize(CSize(BorderFor(w, h), BorderFor(w, h)));
    const CSize shadow = LPtoDPSize(CSize(ShadowFor(w, h), ShadowFor(w, h)));
    // The client area less the rulers.
    const int clientLeft = RulerLeft();
    const int clientTop = RulerTop();
    const QSize client(viewport()->width() - clientLeft, viewport()->height() - clientTop);
    const CPoint corner = LPtoDP(CPoint(w, h));
    const int left = std::min(clientLeft, m_viewportOrg.x - border.cx);
    const int top = std::min(clientTop, m_viewportOrg.y - border.cy);
    const int right = std::max(viewport()->width(), corner.x + shadow.cx);
    const int bottom = std::max(viewport()->height(), corner.y + shadow.cy);

    m_updatingBars = true;
    auto set = [](QScrollBar* bar, int range, int position) {
        if (range <= 0) {
            bar->setRange(0, 0);
            return;
        }
        bar->setRange(0, range);
        bar->setSingleStep(std::max(1, range / 20));
        bar->setPageStep(std::max(1, range / 5));
        bar->setValue(std::min(position, range));
    };
    set(horizontalScrollBar(), right - left - client.width(), clientLeft - left);
    set(verticalScrollBar(), bottom - top - client.height(), clientTop - top);
    m_updatingBars = false;
}

void CDesignView::scrollContentsBy(int dx, int dy)
{
    if (m_updatingBars)
        return;
    m_viewportOrg.x += dx;
    m_viewportOrg.y += dy;
    if (OwnsRulers())
        TheGrid().SyncRulers();
    RepaintAll();
}

void CDesignView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (OwnsRulers())
        TheGrid().RepositionRulers();
    // The fitted zoom follows the window, not the column beside the canvas
    // (the property pane, whose width changes with the element shown).
    const bool windowChanged = window()->size() != m_fittedWindow;
    if (m_zoomMode == ZOOM_WHOLE_SIGN && !m_holdFittedZoom && windowChanged) {
        if (TakesCapture(m_mode))
            m_refitAfterDrag = true;
        else
            WholeSign();
    }
    if (m_zoomMode != ZOOM_WHOLE_SIGN || m_holdFittedZoom || !windowChanged || m_refitAfterDrag)
        UpdateScrollBars();
}

// --- drawing -------------------------------------------------------------------

void CDesignView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    Render(painter, event->rect());
}

void CDesignView::Render(QPainter& painter, const QRect& clip)
{
    painter.fillRect(clip, QColor(0xc0, 0xc0, 0xc0));
    CDC dc(&painter);
    // The fonts read for one paint serve the next.
    dc.GiveFaces(std::move(m_faces));
    dc.SetWindowExt(kWindowExtent, kWindowExtent);
    dc.SetViewportExt(m_viewportExt);
    dc.SetViewportOrg(m_viewportOrg);
    // The clip in logical units, one unit wider for the rounding.
    CRect logicalClip(DPtoLP(CPoint(clip.left(), clip.top())),
                      DPtoLP(CPoint(clip.right() + 1, clip.bottom() + 1)));
    logicalClip.NormalizeRect();
    logicalClip.InflateRect(1, 1, 1, 1);

    DrawSheet(dc);
    CGrid& grid = TheGrid();
    grid.DrawGrid(dc, CSize(SignWidth(), SignHeight()));
    CRect visible(DPtoLP(CPoint(RulerLeft(), RulerTop())),
                  DPtoLP(CPoint(viewport()->width(), viewport()->height())));
    visible.NormalizeRect();
    grid.DrawGuides(dc, visible);
    // An element that waits for the click placing it has no place yet: it
    // is not shown until it has one.
    const bool placing = m_pending && !IsDrawingMode(m_mode);
    TheElementList().Draw(&dc, logicalClip, placing ? m_pending : nullptr);
    m_selection.Draw(&dc);
    if (m_mode == MODE_RUBBER_BAND) {
        const CPen oldPen = dc.SelectPen(CPen(PS_DOT, 0, MakeRGB(128, 128, 128)));
        const CBrush oldBrush = dc.SelectBrush(CBrush::Null());
        dc.Rectangle(m_band);
        dc.SelectBrush(oldBrush);
        dc.SelectPen(oldPen);
    }
    m_faces = dc.TakeFaces();
}

void CDesignView::DrawSheet(CDC& dc)
{
    const int w = SignWidth();
    const int h = SignHeight();
    const CPaperStock* stock = ThePaper().Current();
    const bool elliptic = stock && stock->type == 1;
    const int radius = stock ? stock->cornerRadius : 0;
    const int shadow = ShadowFor(w, h);
    auto shape = [&](const CRect& r) {
        if (elliptic)
            dc.Ellipse(r);
        else if (radius > 0)
            dc.RoundRect(r, CPoint(2 * radius, 2 * radius));
        else
            dc.Rectangle(r);
    };
    const CPen oldPen = dc.SelectPen(CPen(PS_SOLID, 1, MakeRGB(0, 0, 0)));
    const CBrush oldBrush = dc.SelectBrush(CBrush::Solid(MakeRGB(0, 0, 0)));
    if (s_showShadow)
        shape(CRect(shadow, shadow, w + shadow, h + shadow));
    dc.SelectPen(CPen(PS_SOLID, 1, MakeRGB(255, 255, 255)));
    dc.SelectBrush(CBrush::Solid(MakeRGB(255, 255, 255)));
    shape(CRect(0, 0, w, h));
    // The stock's background picture lies on the sign's face.
    if (m_background)
        m_background->Draw(&dc, CRect(0, 0, w, h));
    dc.SelectPen(CPen(PS_SOLID, 1, MakeRGB(0, 0, 0)));
    dc.SelectBrush(CBrush::Null());
    shape(CRect(0, 0, w, h));
    // The printable part of the sign, clipped to the sign's shape.
    if (stock && TheGrid().IsShowMargins()) {
        const int saved = dc.SaveDC();
        dc.IntersectClipRect(CRect(0, 0, w, h));
        if (QPainter* painter = dc.GetPainter()) {
            const CPoint a = LPtoDP(CPoint(0, 0));
            const CPoint b = LPtoDP(CPoint(w, h));
            const QRect face(QPoint(a.x, a.y), QPoint(b.x - 1, b.y - 1));
            QRegion region(face);
            if (elliptic) {
                region = QRegion(face, QRegion::Ellipse);
            } else if (radius > 0) {
                const CSize r = LPtoDPSize(CSize(radius, radius));
                QPainterPath path;
                path.addRoundedRect(QRectF(face), r.cx, r.cy);
                region = QRegion(path.toFillPolygon().toPolygon());
            }
            painter->setClipRegion(region, Qt::IntersectClip);
        }
        dc.SelectPen(CPen(PS_DOT, 0, MakeRGB(0, 0, 0)));
        dc.SelectBrush(CBrush::Null());
        dc.Rectangle(ThePaper().GetPrintableRect());
        dc.RestoreDC(saved);
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

// --- modes -----------------------------------------------------------------------

void CDesignView::SetMode(int mode)
{
    // Leaving the current mode.
    if (TakesCapture(m_mode))
        viewport()->releaseMouse();
    // An element still waiting to be placed or drawn when its tool is put
    // down (Escape, another tool) was never made: it leaves the sign, which
    // stays as it was. Only an armed tool going on to draw keeps it.
    if (m_pending && mode != m_mode && !(IsDrawingMode(mode) && mode == m_mode + 1)) {
        m_pending->Invalidate(this, TRUE);
        TheElementList().RemoveAndDelete(m_pending);
        m_pending = nullptr;
        // So does the GS1 data made for it.
        if (m_pendingData) {
            if (CDataPathSeam* paths = App().dataPaths)
                paths->RemoveVariable(m_pendingData);
            TheVariableList().RemoveVariable(m_pendingData);
        }
    }
    m_pendingData = nullptr;
    // Entering the new one.
    if (ClearsSelectionOnEntry(mode))
        m_selection.DeselectAll();
    if (TakesCapture(mode) && viewport()->isVisible())
        viewport()->grabMouse();
    const bool dataEntryChanged = (mode == MODE_DATA_ENTRY) != (m_mode == MODE_DATA_ENTRY);
    m_mode = mode;
    // The rulers make way while data is entered, and come back as the
    // ruler switch says.
    if (dataEntryChanged && OwnsRulers()) {
        const int left = RulerLeft();
        const int top = RulerTop();
        const bool show = mode != MODE_DATA_ENTRY && TheGrid().IsShowRuler();
        for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox}) {
            if (CRuler* ruler = TheGrid().GetRuler(kind))
                ruler->Show(!show);
        }
        RulersChanged(left, top);
    }
    if (dataEntryChanged && mode != MODE_DATA_ENTRY)
        viewport()->update();
    if (mode == MODE_GUIDE)
        viewport()->setCursor(m_guideOrientation == CGuide::Vertical ? Qt::SizeHorCursor
                                                                     : Qt::SizeVerCursor);
    else
        viewport()->setCursor(CursorFor(mode, HANDLE_NONE));
    if (m_frame)
        m_frame->updateActions();
}

void CDesignView::ArmTool(int mode, const char* className)
{
    SetMode(MODE_SELECT);
    m_selection.DeselectAll();
    CElement* pending = nullptr;
    if (className) {
        pending = TheElementList().CreateElement(QString::fromLatin1(className));
        if (!pending)
            return;
    }
    SetMode(mode);
    m_pending = pending;
}

void CDesignView::ArmBarcodeTool()
{
    SetMode(MODE_SELECT);
    // A symbology chosen in the preferences is placed without asking.
    int id = CBarcodePreferences::Current().type;
    BOOL native = App().general.nativePrint;
    if (!BarcodeClassName(id)) {
        CSelectBarcodeTypeDlg dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        id = dialog.SelectedId();
        native = dialog.NativePrint();
    }
    const char* className = BarcodeClassName(id);
    if (!className)
        return;
    // A GS1 DataBar is placed in the kind the user picks.
    int dataBarKind = -1;
    if (id == SYM_GS1_DATABAR) {
        CGS1DataBarTypeDlg kinds(this);
        if (kinds.exec() != QDialog::Accepted)
            return;
        dataBarKind = kinds.SelectedIndex();
    }
    ArmTool(MODE_BARCODE_PLACE, className);
    if (m_pending)
        m_pending->m_nativePrint =
            native && ThePrinter().IsNativeBarcodeSupported(id) ? TRUE : FALSE;
    if (auto* dataBar = dynamic_cast<CGS1DataBar*>(m_pending); dataBar && dataBarKind >= 0)
        dataBar->SetDataBarType(dataBarKind);
    // A GS1 symbol takes its data from GS1 data made for it now: cancelled,
    // nothing is placed.
    auto* barcode = dynamic_cast<CBarcode*>(m_pending);
    if (barcode && (id == SYM_GS1_128 || id == SYM_GS1_DATAMATRIX || id == SYM_GS1_DATABAR)) {
        CVariableList& variables = TheVariableList();
        const QString base = barcode->m_name.isEmpty() ? QStringLiteral("GS1") : barcode->m_name;
        QString name = base;
        for (int n = 2; variables.FindVariable(VARIABLE_GS1, name); ++n)
            name = QStringLiteral("%1_%2").arg(base).arg(n);
        auto* gs1 = dynamic_cast<CUccEanData*>(variables.CreateVariable(VARIABLE_GS1, name));
        const auto* dataBar = dynamic_cast<const CGS1DataBar*>(barcode);
        const int mode =
            dataBar && dataBar->GetDataBarType() != CGS1DataBar::kExpanded ? 1 : -1;
        if (!gs1 || !gs1->DoNewDialog(this, mode)) {
            if (gs1)
                variables.RemoveVariable(gs1);
            SetMode(MODE_SELECT);
            return;
        }
        if (CDataPathSeam* paths = App().dataPaths)
            paths->AddVariable(gs1);
        barcode->SetDataSource(SOURCE_GS1, gs1->GetName());
        m_pendingData = gs1;
    }
}

bool CDesignView::ChangeSymbology()
{
    auto* old = dynamic_cast<CBarcode*>(m_selection.Primary());
    if (!old || !TheElementList().Contains(old))
        return false;
    // Elements that take their data from this barcode would lose their
    // source with it.
    CDataPathSeam* paths = App().dataPaths;
    if (paths && paths->GetDependentCount(old) > 0) {
        AppMessageBoxIdArgs(IDS_ELEMENT_IS_DATA_SOURCE, {old->m_name}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (old->m_dataSource != SOURCE_FIXED) {
        AppMessageBoxId(IDS_SYMBOLOGY_CHANGE_NOT_PERMITTED);
        return false;
    }
    CSelectBarcodeTypeDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const int id = dialog.SelectedId();
    const char* className = BarcodeClassName(id);
    if (!className || id == old->GetSymbologyId() || !TheElementList().Contains(old))
        return false;
    // The new element is made first: when it cannot be, the old one stays.
    auto* barcode =
        dynamic_cast<CBarcode*>(TheElementList().CreateElement(QString::fromLatin1(className)));
    if (!barcode)
        return false;
    // A GS1 symbol takes its data from a GS1 data variable made for it now;
    // cancelling it leaves the old barcode as it was.
    CUccEanData* gs1 = nullptr;
    if (id == SYM_GS1_128 || id == SYM_GS1_DATAMATRIX || id == SYM_GS1_DATABAR) {
        CVariableList& variables = TheVariableList();
        const QString base = old->m_name.isEmpty() ? QStringLiteral("GS1") : old->m_name;
        QString variableName = base;
        for (int n = 2; variables.FindVariable(VARIABLE_GS1, variableName); ++n)
            variableName = QStringLiteral("%1_%2").arg(base).arg(n);
        gs1 = dynamic_cast<CUccEanData*>(variables.CreateVariable(VARIABLE_GS1, variableName));
        const auto* dataBar = dynamic_cast<const CGS1DataBar*>(barcode);
        const int mode =
            dataBar && dataBar->GetDataBarType() != CGS1DataBar::kExpanded ? 1 : -1;
        if (!gs1 || !gs1->DoNewDialog(this, mode)) {
            if (gs1)
                variables.RemoveVariable(gs1);
            TheElementList().RemoveAndDelete(barcode);
            return false;
        }
    }
    // It keeps the old one's name, place, turn and data.
    const QString name = old->m_name;
    const CPoint origin = old->m_origin;
    const int orientation = old->m_orientation;
    const QString sample = old->m_sampleData;
    const BOOL native = old->m_nativePrint;
    const BOOL notPrinted = old->m_notPrinted;
    CUndoHistory& history = TheUndoHistory();
    history.Record(UNDO_GROUP_BEGIN, nullptr);
    history.Record(UNDO_DELETED, old);
    m_selection.DeselectAll();
    TellFrame(nullptr);
    if (paths)
        paths->RemoveElement(old);
    old->Invalidate(this, TRUE);
    TheElementList().RemoveAndDelete(old);

    barcode->m_name = name;
    barcode->m_nativePrint = native && ThePrinter().IsNativeBarcodeSupported(id) ? TRUE : FALSE;
    barcode->m_notPrinted = notPrinted;
    barcode->m_orientation = orientation;
    barcode->m_sampleData = sample;
    barcode->m_data = sample;
    barcode->Regenerate();
    if (gs1) {
        barcode->m_dataSource = SOURCE_GS1;
        barcode->m_sourceName = gs1->GetName();
        barcode->m_sampleData = gs1->GetBarcodeData();
        barcode->m_data = barcode->m_sampleData;
        barcode->Regenerate();
        if (paths)
            paths->AddVariable(gs1);
    }
    barcode->BeginCreate(this, origin.x, origin.y);
    if (paths)
        paths->AddElement(barcode);
    m_selection.AddElement(barcode);
    history.Record(UNDO_ADDED, barcode);
    history.Record(UNDO_GROUP_END, nullptr);
    return true;
}

bool CDesignView::RunPrimaryOperation(int id)
{
    CElement* element = m_selection.Primary();
    if (!element || !TheElementList().Contains(element))
        return false;
    // Only the kind of element the command is for is recorded and asked.
    const bool object = id == ID_OBJECT_EDIT || id == ID_OBJECT_OPEN;
    if (object ? element->GetTypeCode() != TYPE_OLE : !dynamic_cast<CImage*>(element))
        return false;
    TheUndoHistory().Record(UNDO_CHANGED, element);
    BOOL changed = FALSE;
    switch (id) {
    case ID_PICTURE_RESAMPLE:
        changed = element->ResamplePicture(this);
        break;
    case ID_PICTURE_INVERT:
        changed = element->InvertPicture(this);
        break;
    case ID_PICTURE_GREYSCALE:
        changed = element->GreyscalePicture(this);
        break;
    case ID_OBJECT_EDIT:
        changed = element->EditObject();
        break;
    case ID_OBJECT_OPEN:
        changed = element->OpenObject();
        break;
    default:
        break;
    }
    element->Invalidate(this, TRUE);
    if (changed)
        RefreshPane();
    return changed != 0;
}

bool CDesignView::RotatePaper()
{
    CPrinter& printer = ThePrinter();
    const bool landscape = !printer.IsLandscape();
    if (!printer.SetOrientation(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT))
        return false;
    m_selection.DeselectAll();
    TheElementList().RotateAllForOrientation(this, landscape, SignWidth(), SignHeight());
    TheElementList().UpdateAllRects(this);
    // The pane shows the turned sign's size.
    TellFrame(nullptr);
    WholeSign();
    return true;
}

bool CDesignView::IsCreationEmpty(const CElement* element)
{
    if (const auto* line = dynamic_cast<const CLine*>(element))
        return line->m_start == line->m_end;
    if (const auto* box = dynamic_cast<const CBox*>(element)) {
        const CRect r = box->GetPointRect();
        return r.Width() == 0 || r.Height() == 0;
    }
    if (const auto* text = dynamic_cast<const CText*>(element))
        return text->m_formatRect.Width() == 0 || text->m_formatRect.Height() == 0;
    const CRect r = element->m_bounds;
    return r.Width() <= 0 || r.Height() <= 0;
}

void CDesignView::SetModified()
{
    if (m_document)
        m_document->SetModifiedFlag(true);
    if (m_frame) {
        m_frame->UpdateTitle();
        m_frame->updateActions();
    }
}

void CDesignView::TellFrame(CElement* element)
{
    if (m_frame)
        m_frame->SwitchElementView(element);
    emit primaryChanged(element);
    if (m_frame)
        m_frame->updateActions();
}

void CDesignView::RefreshPane()
{
    emit paneRefreshRequested();
}

// --- mouse -------------------------------------------------------------------------

CPoint CDesignView::EventPoint(const QMouseEvent* event) const
{
    const QPoint p = event->position().toPoint();
    return DPtoLP(CPoint(p.x(), p.y()));
}

void CDesignView::mousePressEvent(QMouseEvent* event)
{
    const CPoint p = EventPoint(event);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->button() == Qt::RightButton) {
        if (m_mode == MODE_MAGNIFIER)
            ZoomAt(p, false);
        else if (m_mode == MODE_SELECT)
            TrackContextMenu(p, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);

    static const struct
    {
        int mode;
        const char* className;
    } creators[] = {
        {MODE_LINE, "CLine"},     {MODE_BOX, "CBox"},          {MODE_ELLIPSE, "CEllipse"},
        {MODE_TEXT_BOX, "CText"}, {MODE_ARC_TEXT, "CArcText"}, {MODE_TABLE, "CTable"},
    };
    for (const auto& creator : creators) {
        if (creator.mode != m_mode)
            continue;
        m_pending = TheElementList().CreateElement(QString::fromLatin1(creator.className));
        if (!m_pending)
            return;
        if (m_mode == MODE_TEXT_BOX)
            static_cast<CText*>(m_pending)->BeginCreateFrame(this, p.x, p.y);
        else
            m_pending->BeginCreate(this, p.x, p.y);
        SetMode(m_mode + 1);
        return;
    }

    switch (m_mode) {
    case MODE_MAGNIFIER:
        ZoomAt(p, true);
        return;
    case MODE_TEXT_PLACE:
    case MODE_PRICE_PLACE:
    case MODE_PICTURE_PLACE:
    case MODE_BARCODE_PLACE:
    case MODE_OBJECT_PLACE:
    case MODE_SYMBOL_PLACE: {
        CElement* element = m_pending;
        m_pending = nullptr;
        m_pendingData = nullptr;
        if (!element)
            return;
        element->BeginCreate(this, p.x, p.y);
        // Its data path, when it has one from the start (GS1 data).
        if (CDataPathSeam* paths = App().dataPaths; paths && element->m_dataSource != SOURCE_FIXED)
            paths->AddElement(element);
        SetMode(MODE_SELECT);
        SetModified();
        m_selection.AddElement(element);
        TheUndoHistory().Record(UNDO_ADDED, element);
        return;
    }
    case MODE_DATA_ENTRY:
    case MODE_GUIDE:
        return;
    default:
        break;
    }

    const int handle = m_selection.HitTestHandle(p.x, p.y, true);
    if (handle != HANDLE_NONE) {
        m_selection.BeginResize(p.x, p.y, handle);
        SetMode(MODE_RESIZE);
        viewport()->setCursor(CursorFor(MODE_RESIZE, handle));
        return;
    }
    const CElement* hit = m_selection.SelectAt(p.x, p.y, ctrl);
    if (!hit && !m_selection.GetBoundingRect().PtInRect(p)) {
        m_selection.DeselectAll();
        const int orientation = TheGrid().PickGuide(this, p.x, p.y);
        if (orientation >= 0) {
            m_guideOrientation = orientation;
            SetMode(MODE_GUIDE);
            return;
        }
        m_bandAnchor = p;
        m_band = CRect(p.x, p.y, p.x + 1, p.y + 1);
        SetMode(MODE_RUBBER_BAND);
        return;
    }
    SetMode(MODE_MOVE);
    m_selection.BeginMove(p.x, p.y);
}

std::vector<int> CDesignView::ContextMenuCommands(int menuId, int typeCode)
{
    // A picture's menu carries its three picture commands before Properties.
    if (typeCode == TYPE_PICTURE && menuId == kElementContextMenu)
        return {ID_EDIT_DELETE,       ID_EDIT_ROTATE,
                ID_EDIT_DUPLICATE,    ID_BRING_TO_FRONT,
                ID_SEND_TO_BACK,      0,
                ID_PICTURE_RESAMPLE,  ID_PICTURE_INVERT,
                ID_PICTURE_GREYSCALE, 0,
                ID_ELEMENT_PROPERTIES};
    switch (menuId) {
    case kSignContextMenu:
        return {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_SIGN_PROPERTIES};
    case 128: // texts
        return {ID_EDIT_DELETE,  ID_EDIT_ROTATE,        ID_EDIT_DUPLICATE, ID_BRING_TO_FRONT,
                ID_SEND_TO_BACK, 0,                     ID_SPELLING,       0,
                ID_ELEMENT_PROPERTIES};
    case 189: // barcodes
        return {ID_EDIT_DELETE,  ID_EDIT_ROTATE, ID_EDIT_DUPLICATE,  ID_BRING_TO_FRONT,
                ID_SEND_TO_BACK, 0,              ID_CHANGE_SYMBOLOGY, 0,
                ID_ELEMENT_PROPERTIES};
    default: // every other element, tables among them
        return {ID_EDIT_DELETE,  ID_EDIT_ROTATE, ID_EDIT_DUPLICATE, ID_BRING_TO_FRONT,
                ID_SEND_TO_BACK, 0,              ID_ELEMENT_PROPERTIES};
    }
}

void CDesignView::TrackContextMenu(CPoint logical, QPoint globalPos)
{
    if (!m_frame)
        return;
    CElement* element = m_selection.PickForContextMenu(logical.x, logical.y);
    const int menuId = element ? element->GetContextMenuId() : kSignContextMenu;
    m_frame->UpdateActionsNow();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu%1").arg(menuId));
    for (int id : ContextMenuCommands(menuId, element ? element->GetTypeCode() : TYPE_BASE)) {
        if (id == 0)
            menu.addSeparator();
        else if (QAction* action = m_frame->Action(id))
            menu.addAction(action);
    }
    menu.exec(globalPos);
}

void CDesignView::mouseMoveEvent(QMouseEvent* event)
{
    CPoint p = EventPoint(event);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (m_mode) {
    case MODE_SELECT: {
        Qt::CursorShape shape = Qt::ArrowCursor;
        const int handle = m_selection.HitTestHandle(p.x, p.y, false);
        if (handle != HANDLE_NONE)
            shape = CursorFor(MODE_RESIZE, handle);
        else if (m_selection.HitTestSelected(p.x, p.y) ||
                 (!TheElementList().HitTest(p.x, p.y) && m_selection.GetBoundingRect().PtInRect(p)))
            shape = Qt::SizeAllCursor;
        else if (const int o = TheGrid().HitTestGuide(this, p.x, p.y); o >= 0)
            shape = o == CGuide::Vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor;
        viewport()->setCursor(shape);
        break;
    }
    case MODE_GUIDE:
        TheGrid().MoveGuide(this, p.x, p.y);
        break;
    case MODE_MOVE:
        m_dragTimer.stop();
        p = m_selection.TrackMove(p.x, p.y);
        m_dragTimer.start();
        break;
    case MODE_RESIZE:
        m_dragTimer.stop();
        p = m_selection.TrackResize(p.x, p.y, shift);
        m_dragTimer.start();
        break;
    case MODE_RUBBER_BAND: {
        InvalidateLogical(m_band);
        CRect band(m_bandAnchor.x, m_bandAnchor.y, p.x + 1, p.y + 1);
        band.NormalizeRect();
        band.right += 1;
        band.bottom += 1;
        m_band = band;
        InvalidateLogical(m_band);
        break;
    }
    default:
        if (IsDrawingMode(m_mode) && m_pending)
            m_pending->TrackCreate(this, p.x, p.y, shift);
        break;
    }
    if (m_frame)
        m_frame->SetStatusPosition(p.x, p.y);
    if (OwnsRulers()) {
        const QPoint d = event->position().toPoint();
        TheGrid().TrackPosition(d.x(), d.y());
    }
}

void CDesignView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click in a table shows the pane of the cell under it (with
    // Ctrl, of a nested table's cell).
    auto* table = dynamic_cast<CTable*>(m_selection.Primary());
    if (event->button() != Qt::LeftButton || m_mode != MODE_SELECT || !table) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const unsigned flags = (event->modifiers() & Qt::ControlModifier) ? CTable::kControlKey : 0u;
    if (CElement* cell = table->SelectCellAt(this, flags, EventPoint(event)); cell && m_frame)
        m_frame->SwitchElementView(cell);
}

void CDesignView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const CPoint p = EventPoint(event);
    if (m_mode == MODE_GUIDE) {
        // A guide dropped on its own ruler goes.
        EndGuideDrag(RulerKindAt(event->position().toPoint()));
        return;
    }
    if (IsDrawingMode(m_mode)) {
        CElement* element = m_pending;
        m_pending = nullptr;
        if (element && IsCreationEmpty(element)) {
            element->Invalidate(this, TRUE);
            TheElementList().RemoveAndDelete(element);
        } else if (element) {
            element->EndCreate(this, 0);
            SetModified();
            m_selection.AddElement(element);
            TheUndoHistory().Record(UNDO_ADDED, element);
        }
    } else {
        switch (m_mode) {
        case MODE_MOVE:
            m_dragTimer.stop();
            m_selection.EndMove();
            SetModified();
            break;
        case MODE_RESIZE:
            m_dragTimer.stop();
            m_selection.EndResize();
            SetModified();
            break;
        case MODE_RUBBER_BAND:
            m_selection.SelectInRect(m_band);
            InvalidateLogical(m_band);
            break;
        default:
            return;
        }
    }
    (void)p;
    SetMode(MODE_SELECT);
    if (m_refitAfterDrag && m_zoomMode == ZOOM_WHOLE_SIGN)
        WholeSign();
}

void CDesignView::OnDragTimer()
{
    if (m_mode == MODE_MOVE || m_mode == MODE_RESIZE)
        m_selection.OnDragTimer();
}

void CDesignView::keyPressEvent(QKeyEvent* event)
{
    // Escape puts down the armed tool, or the one drawing, and what it was
    // making.
    if (event->key() == Qt::Key_Escape &&
        (m_mode == MODE_MAGNIFIER || ClearsSelectionOnEntry(m_mode) || IsDrawingMode(m_mode))) {
        SetMode(MODE_SELECT);
        return;
    }
    if (m_mode != MODE_SELECT) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int step = shift ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_selection.SelectNext(shift || event->key() == Qt::Key_Backtab,
                               event->modifiers() & Qt::ControlModifier);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (m_selection.IsEmpty())
            return;
        const int dx = event->key() == Qt::Key_Left    ? -step
                       : event->key() == Qt::Key_Right ? step
                                                       : 0;
        const int dy = event->key() == Qt::Key_Up ? -step : event->key() == Qt::Key_Down ? step : 0;
        m_selection.Nudge(dx, dy);
        RefreshPane();
        SetModified();
        return;
    }
    case Qt::Key_Delete:
        if (m_selection.DeleteSelected()) {
            RepaintAll();
            SetModified();
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
}

bool CDesignView::focusNextPrevChild(bool)
{
    // Tab and Shift+Tab step through the elements, not the widgets.
    return false;
}

void CDesignView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_frame)
        m_frame->RecheckSelectTool();
}

void CDesignView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (m_frame)
        m_frame->UncheckSelectTool();
}

QString CDesignView::HelpTopicAt(CPoint logical)
{
    const CElement* element = TheElementList().HitTest(logical.x, logical.y);
    switch (element ? element->GetTypeCode() : TYPE_BASE) {
    case TYPE_LINE:
        return QStringLiteral("line");
    case TYPE_BOX:
        return QStringLiteral("box");
    case TYPE_ELLIPSE:
        return QStringLiteral("ellipse");
    case TYPE_TEXT:
        return QStringLiteral("text");
    case TYPE_PRICE:
        return QStringLiteral("price");
    case TYPE_PICTURE:
        return QStringLiteral("picture");
    case TYPE_BARCODE:
        return QStringLiteral("barcode");
    default:
        return QString(); // the first topic
    }
}

// --- commands ------------------------------------------------------------------------

namespace {

const int kCanvasCommands[] = {
    ID_TOOL_SELECT,       ID_TOOL_MAGNIFIER,      ID_TOOL_LINE,         ID_TOOL_BOX,
    ID_TOOL_ELLIPSE,      ID_TOOL_TEXT,           ID_TOOL_TEXT_BOX,     ID_EDIT_ROTATE,
    ID_EDIT_DELETE,       ID_EDIT_DUPLICATE,      ID_BRING_TO_FRONT,    ID_SEND_TO_BACK,
    ID_ALIGN_LEFT,        ID_ALIGN_RIGHT,         ID_ALIGN_TOP,         ID_ALIGN_BOTTOM,
    ID_ALIGN_VERT_CENTRE, ID_ALIGN_HORZ_CENTRE,   ID_CENTRE_HORIZONTAL, ID_CENTRE_VERTICAL,
    ID_SAME_WIDTH,        ID_SAME_HEIGHT,         ID_SAME_SIZE,         ID_SPACE_HORIZONTAL,
    ID_SPACE_VERTICAL,    ID_SAME_LINE_THICKNESS, ID_SAME_COLOURS,      ID_EDIT_CUT,
    ID_EDIT_COPY,         ID_EDIT_PASTE,          ID_EDIT_UNDO,         ID_EDIT_REDO,
    ID_VIEW_FULL_SIZE,    ID_VIEW_WHOLE_SIGN,     ID_VIEW_SHADOW,       ID_SHOW_SIGN_SETTINGS,
    ID_VIEW_GRID,         ID_VIEW_RULER,          ID_VIEW_MARGINS,      ID_LAYOUT_GUIDES,
    ID_OPTIONS_GRID,      ID_OPTIONS_RULER,       ID_OPTIONS_MARGINS,   ID_TOOL_BARCODE,
    ID_CHANGE_SYMBOLOGY,  ID_TOOL_PRICE,
    ID_TOOL_ARC_TEXT,     ID_TOOL_SYMBOL,
    ID_TOOL_PICTURE,      ID_TOOL_TABLE,
    ID_SAME_TYPEFACE,     ID_ELEMENT_PROPERTIES,  ID_PAPER_ROTATE,      ID_LOG_OFF,
    ID_PICTURE_RESAMPLE,  ID_PICTURE_INVERT,      ID_PICTURE_GREYSCALE, ID_OBJECT_EDIT,
    ID_OBJECT_OPEN,
};

} // namespace

bool CDesignView::HandlesCommand(int id) const
{
    return std::find(std::begin(kCanvasCommands), std::end(kCanvasCommands), id) !=
           std::end(kCanvasCommands);
}

bool CDesignView::OnCommand(int id)
{
    if (!HandlesCommand(id))
        return false;
    m_selection.EnsurePrimary();
    const bool changed = RunCommand(id);
    if (changed && id != ID_EDIT_COPY)
        SetModified();
    if (m_frame)
        m_frame->updateActions();
    return true;
}

bool CDesignView::RunCommand(int id)
{
    switch (id) {
    case ID_TOOL_SELECT:
        SetMode(MODE_SELECT);
        return false;
    case ID_TOOL_MAGNIFIER:
        SetMode(m_mode == MODE_MAGNIFIER ? MODE_SELECT : MODE_MAGNIFIER);
        return false;
    case ID_TOOL_LINE:
        ArmTool(MODE_LINE, nullptr);
        return false;
    case ID_TOOL_BOX:
        ArmTool(MODE_BOX, nullptr);
        return false;
    case ID_TOOL_ELLIPSE:
        ArmTool(MODE_ELLIPSE, nullptr);
        return false;
    case ID_TOOL_TEXT:
        ArmTool(MODE_TEXT_PLACE, "CText");
        return false;
    case ID_TOOL_TEXT_BOX:
        ArmTool(MODE_TEXT_BOX, nullptr);
        return false;
    case ID_TOOL_BARCODE:
        ArmBarcodeTool();
        return false;
    case ID_TOOL_ARC_TEXT:
        ArmTool(MODE_ARC_TEXT, nullptr);
        return false;
    case ID_TOOL_SYMBOL: {
        // The character is chosen first; a click then places it.
        CSymbolSelectDlg dialog(FillFaceList, this);
        if (dialog.exec() != QDialog::Accepted || dialog.ResultText().isEmpty())
            return false;
        ArmTool(MODE_SYMBOL_PLACE, "CSymbol");
        if (auto* symbol = dynamic_cast<CSymbol*>(m_pending)) {
            const QString face = dialog.Font().GetFaceName();
            symbol->SetFace(nullptr, face, CLogFont::EnumerateFace(face));
            symbol->SetSampleData(nullptr, dialog.ResultText());
        }
        return false;
    }
    case ID_TOOL_TABLE:
        ArmTool(MODE_TABLE, nullptr);
        return false;
    case ID_TOOL_PRICE:
        ArmTool(MODE_PRICE_PLACE, "CPriceField");
        return false;
    case ID_TOOL_PICTURE: {
        // The picture is chosen first; a click then places it. One that
        // cannot be read (named by its message) puts the tool down again.
        const QString path = CImageSelect::Choose(this);
        if (path.isEmpty())
            return false;
        ArmTool(MODE_PICTURE_PLACE, "CImage");
        auto* picture = dynamic_cast<CImage*>(m_pending);
        if (picture && !picture->LoadFile(nullptr, path))
            SetMode(MODE_SELECT);
        return false;
    }
    case ID_CHANGE_SYMBOLOGY: {
        const bool done = ChangeSymbology();
        RepaintAll();
        return done;
    }
    case ID_EDIT_ROTATE: {
        // Several elements turn about the point the user picks; a cancelled
        // choice leaves them, and the sign, as they were.
        int origin = 4;
        if (m_selection.GetCount() > 1) {
            CRotationOriginDlg dialog(this);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            origin = dialog.Origin();
        }
        const bool done = m_selection.Rotate(origin);
        RefreshPane();
        return done;
    }
    case ID_EDIT_DELETE: {
        const bool done = m_selection.DeleteSelected();
        RepaintAll();
        return done;
    }
    case ID_EDIT_DUPLICATE:
        return m_selection.Duplicate();
    case ID_BRING_TO_FRONT:
        return m_selection.BringToFront();
    case ID_SEND_TO_BACK:
        return m_selection.SendToBack();
    case ID_ALIGN_LEFT:
        return m_selection.Align(ALIGN_LEFT);
    case ID_ALIGN_RIGHT:
        return m_selection.Align(ALIGN_RIGHT);
    case ID_ALIGN_TOP:
        return m_selection.Align(ALIGN_TOP);
    case ID_ALIGN_BOTTOM:
        return m_selection.Align(ALIGN_BOTTOM);
    case ID_ALIGN_VERT_CENTRE:
        return m_selection.Align(ALIGN_VERT_CENTRE);
    case ID_ALIGN_HORZ_CENTRE:
        return m_selection.Align(ALIGN_HORZ_CENTRE);
    case ID_CENTRE_HORIZONTAL:
        return m_selection.CentreInSign(0);
    case ID_CENTRE_VERTICAL:
        return m_selection.CentreInSign(1);
    case ID_SAME_WIDTH:
        return m_selection.MakeSameSize(SAME_WIDTH);
    case ID_SAME_HEIGHT:
        return m_selection.MakeSameSize(SAME_HEIGHT);
    case ID_SAME_SIZE:
        return m_selection.MakeSameSize(SAME_BOTH);
    case ID_SPACE_HORIZONTAL:
        return m_selection.SpaceEvenly(0);
    case ID_SPACE_VERTICAL:
        return m_selection.SpaceEvenly(1);
    case ID_SAME_TYPEFACE:
        return m_selection.MatchTypeface();
    case ID_SAME_LINE_THICKNESS:
        return m_selection.MatchLineThickness();
    case ID_ELEMENT_PROPERTIES:
        AppMessageBoxId(IDS_PROPERTIES_ON_RIGHT, MB_OK | MB_ICONINFORMATION);
        return false;
    case ID_PICTURE_RESAMPLE:
    case ID_PICTURE_INVERT:
    case ID_PICTURE_GREYSCALE:
    case ID_OBJECT_EDIT:
    case ID_OBJECT_OPEN:
        return RunPrimaryOperation(id);
    case ID_PAPER_ROTATE:
        return RotatePaper();
    case ID_LOG_OFF:
        // Another user logs on; one who shuts down closes the program, with
        // the usual question about a modified sign.
        if (!CUserList::Current().LogOn(TRUE, this) && m_frame)
            QMetaObject::invokeMethod(m_frame, &QWidget::close, Qt::QueuedConnection);
        return false;
    case ID_SAME_COLOURS:
        return m_selection.MatchColours();
    case ID_EDIT_CUT: {
        const bool done = m_selection.Cut();
        RepaintAll();
        return done;
    }
    case ID_EDIT_COPY:
        m_selection.Copy();
        return false;
    case ID_EDIT_PASTE: {
        const bool done = m_selection.Paste();
        RepaintAll();
        return done;
    }
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO: {
        m_selection.DeselectAll();
        const BOOL done =
            id == ID_EDIT_UNDO ? TheUndoHistory().Undo(this) : TheUndoHistory().Redo(this);
        TellFrame(nullptr);
        RepaintAll();
        return done != 0;
    }
    case ID_VIEW_FULL_SIZE:
        FullSize();
        return false;
    case ID_VIEW_WHOLE_SIGN:
        WholeSign();
        return false;
    case ID_VIEW_SHADOW:
        s_showShadow = !s_showShadow;
        CShellSettings::Current().shadow = s_showShadow ? 1 : 0;
        RepaintAll();
        return false;
    case ID_SHOW_SIGN_SETTINGS:
        m_selection.DeselectAll();
        TellFrame(nullptr);
        return false;
    case ID_VIEW_GRID:
        TheGrid().SetShowGrid(!TheGrid().IsShowGrid());
        RepaintAll();
        return false;
    case ID_VIEW_MARGINS:
        TheGrid().SetShowMargins(!TheGrid().IsShowMargins());
        RepaintAll();
        return false;
    case ID_VIEW_RULER: {
        const int left = RulerLeft();
        const int top = RulerTop();
        TheGrid().SetShowRuler(!TheGrid().IsShowRuler());
        RulersChanged(left, top);
        return false;
    }
    case ID_LAYOUT_GUIDES:
    case ID_OPTIONS_GRID:
    case ID_OPTIONS_RULER:
    case ID_OPTIONS_MARGINS: {
        const int left = RulerLeft();
        const int top = RulerTop();
        const int units = TheGrid().GetUnits();
        if (TheGrid().RunSettingsSheet(this, this, id == ID_LAYOUT_GUIDES ? ID_OPTIONS_GRID : id))
            RulersChanged(left, top);
        // A new display unit, as from the corner box: the panes are made
        // again in it.
        if (TheGrid().GetUnits() != units)
            RunCommand(ID_SHOW_SIGN_SETTINGS);
        RepaintAll();
        return false;
    }
    default:
        return false;
    }
}

void CDesignView::FillCommandState(CCommandState& state) const
{
    state.toolMode = m_mode;
    state.selectedCount = m_selection.GetCount();
    const CElement* primary = m_selection.Primary();
    state.primaryType = primary ? primary->GetTypeCode() : -1;
    state.showShadow = s_showShadow;
    state.userTableConfigured = CUserList::Current().IsLogOnEnabled() != 0;
    const CGrid& grid = TheGrid();
    state.showGrid = grid.IsShowGrid();
    state.showRuler = grid.IsShowRuler();
    state.showMargins = grid.IsShowMargins();
    state.clipboardHasElements = ClipboardHasElements();
}
