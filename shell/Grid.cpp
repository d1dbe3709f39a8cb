#include "Grid.h"

#include "AppContext.h"
#include "DC.h"
#include "Helpers.h"
#include "Messages.h"
#include "Paper.h"
#include "Preferences.h"
#include "Rounding.h"
#include "Ruler.h"

#include "ui/GridPage.h"
#include "ui/MarginPage.h"
#include "ui/RulerPage.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>
#include <cstdlib>
#include <new>

namespace {

CGridSettings& Settings()
{
    return CGridSettings::Current();
}

// n times the interval, saturated at the limits of int.
int Multiply(int n, int interval)
{
    const long long v = static_cast<long long>(n) * interval;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

// A coordinate to the nearest multiple of the interval; halves go away from
// zero, so that the same distance snaps the same way on both sides of 0.
int SnapCoordinate(int v, int interval)
{
    if (interval <= 0)
        return v;
    return Multiply(RoundHalfAway(static_cast<double>(v) / interval), interval);
}

// The first guide of one orientation that either edge reaches, as the
// offset that puts that edge on it; 0 when none does.
int GuideOffset(const std::vector<CGuide>& guides, int orientation, int nearEdge, int farEdge,
                int tolerance)
{
    for (const CGuide& g : guides) {
        if (g.orientation != orientation)
            continue;
        const long long lo = static_cast<long long>(g.position) - tolerance;
        const long long hi = static_cast<long long>(g.position) + tolerance;
        if (nearEdge >= lo && nearEdge <= hi)
            return g.position - nearEdge;
        if (farEdge >= lo && farEdge <= hi)
            return g.position - farEdge;
    }
    return 0;
}

int DoubleUntil(int interval, int minimum)
{
    if (interval <= 0)
        interval = CGridSettings::kDefaultInterval;
    while (interval < minimum && interval <= INT_MAX / 2)
        interval *= 2;
    return interval;
}

} // namespace

CGrid& TheGrid()
{
    return App().Get<CGrid>();
}

CGrid::CGrid()
{
    UpdateDrawInterval();
    App().snap = this;
}

CGrid::~CGrid()
{
    DestroyRulers();
    if (App().snap == this)
        App().snap = nullptr;
}

void CGrid::Load()
{
    LoadGridSettings();
    UpdateDrawInterval();
    for (auto& ruler : m_rulers) {
        if (ruler)
            ruler->SetUnits(GetUnits());
    }
}

void CGrid::Save()
{
    SaveGridSettings();
}

// Settings ------------------------------------------------------------------

int CGrid::GetUnits() const
{
    return App().general.displayUnits == 1 ? 1 : 0;
}

void CGrid::SetUnits(int units)
{
    App().general.displayUnits = units == 1 ? 1 : 0;
    for (auto& ruler : m_rulers) {
        if (ruler)
            ruler->SetUnits(GetUnits());
    }
}

bool CGrid::IsSnapToGrid() const
{
    return Settings().snapToGrid != 0;
}

void CGrid::SetSnapToGrid(bool on)
{
    Settings().snapToGrid = on;
}

bool CGrid::IsSnapToGuides() const
{
    return Settings().snapToGuides != 0;
}

void CGrid::SetSnapToGuides(bool on)
{
    Settings().snapToGuides = on;
}

bool CGrid::IsShowGrid() const
{
    return Settings().showGrid != 0;
}

void CGrid::SetShowGrid(bool on)
{
    Settings().showGrid = on;
}

bool CGrid::IsShowMargins() const
{
    return Settings().showMargins != 0;
}

void CGrid::SetShowMargins(bool on)
{
    Settings().showMargins = on;
}

bool CGrid::IsShowRuler() const
{
    return Settings().showRuler != 0;
}

void CGrid::SetShowRuler(bool on)
{
    Settings().showRuler = on;
    for (auto& ruler : m_rulers) {
        if (ruler)
            ruler->Show(!on);
    }
}

CSize CGrid::GetInterval() const
{
    return CSize(Settings().intervalX, Settings().intervalY);
}

void CGrid::SetInterval(int x, int y)
{
    if (x >= 1)
        Settings().intervalX = x;
    if (y >= 1)
        Settings().intervalY = y;
    UpdateDrawInterval();
}

void CGrid::UpdateDrawInterval()
{
    m_drawInterval.cx = DoubleUntil(Settings().intervalX, m_minSpacing.cx);
    m_drawInterval.cy = DoubleUntil(Settings().intervalY, m_minSpacing.cy);
}

// Snapping ------------------------------------------------------------------

CPoint CGrid::SnapPoint(int x, int y) const
{
    if (!IsSnapToGrid())
        return CPoint(x, y);
    return CPoint(SnapCoordinate(x, Settings().intervalX), SnapCoordinate(y, Settings().intervalY));
}

void CGrid::SnapRectToGuides(CViewSeam* view, CRect& rect) const
{
    if (!IsSnapToGuides() || m_guides.empty())
        return;
    const CSize tol = WindowDPtoLPSize(view, CSize(kSnapTolerancePx, kSnapTolerancePx));
    const int tx = std::abs(tol.cx);
    const int ty = std::abs(tol.cy);
    const int dy = GuideOffset(m_guides, CGuide::Horizontal, rect.top, rect.bottom, ty);
    rect.OffsetRect(0, dy);
    const int dx = GuideOffset(m_guides, CGuide::Vertical, rect.left, rect.right, tx);
    rect.OffsetRect(dx, 0);
}

// Drawing -------------------------------------------------------------------

void CGrid::RecalcGridSpacing(CViewSeam* view, double pxPerMmX, double pxPerMmY)
{
    m_pxPerMmX = pxPerMmX;
    m_pxPerMmY = pxPerMmY;
    const CSize minPx(RoundHalfUp(2 * pxPerMmX), RoundHalfUp(2 * pxPerMmY));
    const CSize minLp = WindowDPtoLPSize(view, minPx);
    m_minSpacing = CSize(std::abs(minLp.cx), std::abs(minLp.cy));
    UpdateDrawInterval();
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler}) {
        if (CRuler* ruler = m_rulers[kind]) {
            ruler->RecalcScale();
            ruler->SyncOrigin();
        }
    }
    InvalidateCanvas();
}

void CGrid::DrawGrid(CDC& dc, CSize signSize) const
{
    if (!IsShowGrid())
        return;
    const int dx = m_drawInterval.cx;
    const int dy = m_drawInterval.cy;
    if (dx <= 0 || dy <= 0)
        return;
    for (long long y = 0; y < signSize.cy; y += dy) {
        for (long long x = 0; x < signSize.cx; x += dx)
            dc.SetPixel(static_cast<int>(x), static_cast<int>(y), MakeRGB(0, 0, 0));
    }
}

void CGrid::DrawGrid(CDC& dc) const
{
    if (!IsShowGrid())
        return;
    CPaper& paper = ThePaper();
    DrawGrid(dc, CSize(paper.GetSignWidth(), paper.GetSignHeight()));
}

void CGrid::DrawGuides(CDC& dc, const CRect& visibleArea) const
{
    if (m_guides.empty())
        return;
    const CPen oldPen = dc.SelectPen(CPen(PS_DOT, 0, MakeRGB(0, 0, 0)));
    for (const CGuide& g : m_guides) {
        if (g.orientation == CGuide::Vertical) {
            dc.MoveTo(g.position, visibleArea.top);
            dc.LineTo(g.position, visibleArea.bottom);
        } else {
            dc.MoveTo(visibleArea.left, g.position);
            dc.LineTo(visibleArea.right, g.position);
        }
    }
    dc.SelectPen(oldPen);
}

void CGrid::DrawGuides(CDC& dc, CViewSeam* view) const
{
    DrawGuides(dc, VisibleArea(view));
}

void CGrid::DrawMargins(CDC& dc, const CRect& printable) const
{
    if (!IsShowMargins() || printable.Width() <= 0 || printable.Height() <= 0)
        return;
    const CPen oldPen = dc.SelectPen(CPen(PS_DOT, 0, MakeRGB(128, 128, 128)));
    const CBrush oldBrush = dc.SelectBrush(CBrush::Null());
    dc.Rectangle(printable);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CGrid::DrawMargins(CDC& dc) const
{
    if (!IsShowMargins())
        return;
    DrawMargins(dc, ThePaper().GetPrintableRect());
}

CRect CGrid::VisibleArea(CViewSeam* view) const
{
    if (!m_canvas)
        return CRect();
    const CPoint a = WindowDPtoLP(view, CPoint(RulerWidth(), RulerHeight()));
    const CPoint b = WindowDPtoLP(view, CPoint(m_canvas->width(), m_canvas->height()));
    CRect r(a.x, a.y, b.x, b.y);
    r.NormalizeRect();
    return r;
}

void CGrid::InvalidateCanvas() const
{
    if (m_canvas)
        m_canvas->update();
}

// Rulers --------------------------------------------------------------------

bool CGrid::CreateRulers(QWidget* canvas, CRulerClient* client)
{
    DestroyRulers();
    m_canvas = canvas;
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler, CRuler::CornerBox}) {
        try {
            m_rulers[kind] = new CRuler(canvas, client, kind, GetUnits());
        } catch (const std::bad_alloc&) {
            return false;
        }
        m_rulers[kind]->Reposition();
    }
    return true;
}

void CGrid::DestroyRulers()
{
    for (auto& ruler : m_rulers) {
        delete ruler.data();
        ruler = nullptr;
    }
}

CRuler* CGrid::GetRuler(int kind) const
{
    if (kind < 0 || kind > 2)
        return nullptr;
    return m_rulers[kind].data();
}

void CGrid::RepositionRulers()
{
    for (auto& ruler : m_rulers) {
        if (ruler)
            ruler->Reposition();
    }
}

void CGrid::SyncRulers()
{
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler}) {
        if (CRuler* ruler = m_rulers[kind])
            ruler->SyncOrigin();
    }
}

int CGrid::RulerHeight() const
{
    const CRuler* r = m_rulers[CRuler::HorizontalRuler];
    return r && !r->IsHiddenRuler() ? r->RulerHeight() : 0;
}

int CGrid::RulerWidth() const
{
    const CRuler* r = m_rulers[CRuler::VerticalRuler];
    return r && !r->IsHiddenRuler() ? r->RulerWidth() : 0;
}

void CGrid::TrackPosition(int x, int y)
{
    for (int kind : {CRuler::HorizontalRuler, CRuler::VerticalRuler}) {
        if (CRuler* ruler = m_rulers[kind])
            ruler->TrackPosition(x, y);
    }
}

// Guides --------------------------------------------------------------------

void CGrid::InsertGuide(int orientation, int position)
{
    m_guides.push_back(
        {orientation == CGuide::Vertical ? CGuide::Vertical : CGuide::Horizontal, position});
}

void CGrid::RemoveAllGuides()
{
    m_guides.clear();
    m_current = -1;
}

bool CGrid::AddGuide(CViewSeam* view, int orientation)
{
    if (m_current >= 0)
        return false;
    try {
        InsertGuide(orientation, 0);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return false;
    }
    m_current = GuideCount() - 1;
    InvalidateGuide(view, false);
    return true;
}

bool CGrid::GuideNear(CViewSeam* view, const CGuide& guide, int x, int y) const
{
    const CSize tol = WindowDPtoLPSize(view, CSize(kPickTolerancePx, kPickTolerancePx));
    if (guide.orientation == CGuide::Vertical)
        return std::llabs(static_cast<long long>(x) - guide.position) <= std::abs(tol.cx);
    return std::llabs(static_cast<long long>(y) - guide.position) <= std::abs(tol.cy);
}

int CGrid::HitTestGuide(CViewSeam* view, int x, int y) const
{
    for (const CGuide& g : m_guides) {
        if (GuideNear(view, g, x, y))
            return g.orientation;
    }
    return -1;
}

int CGrid::PickGuide(CViewSeam* view, int x, int y)
{
    for (int i = 0; i < GuideCount(); ++i) {
        if (GuideNear(view, m_guides[i], x, y)) {
            m_current = i;
            SetRulerGuideCursor(m_guides[i].orientation, true);
            return m_guides[i].orientation;
        }
    }
    return -1;
}

void CGrid::MoveGuide(CViewSeam* view, int x, int y)
{
    if (m_current < 0)
        return;
    const CPoint p = SnapPoint(x, y);
    InvalidateGuide(view, true);
    CGuide& g = m_guides[m_current];
    g.position = g.orientation == CGuide::Vertical ? p.x : p.y;
    InvalidateGuide(view, false);
}

void CGrid::ReleaseGuide()
{
    if (m_current < 0)
        return;
    SetRulerGuideCursor(m_guides[m_current].orientation, false);
    m_current = -1;
}

bool CGrid::DeleteGuide(CViewSeam* view, int orientation)
{
    if (m_current < 0 || m_guides[m_current].orientation != orientation)
        return false;
    InvalidateGuide(view, true);
    m_guides.erase(m_guides.begin() + m_current);
    m_current = -1;
    SetRulerGuideCursor(orientation, false);
    return true;
}

void CGrid::InvalidateGuide(CViewSeam* view, bool erase) const
{
    if (m_current < 0 || !view || !m_canvas)
        return;
    const CRect area = VisibleArea(view);
    const CGuide& g = m_guides[m_current];
    CPoint a, b;
    if (g.orientation == CGuide::Vertical) {
        a = CPoint(g.position, area.top);
        b = CPoint(g.position, area.bottom);
    } else {
        a = CPoint(area.left, g.position);
        b = CPoint(area.right, g.position);
    }
    view->InvalidateRect(WindowLPtoDPRect(view, a, b), erase);
}

void CGrid::SetRulerGuideCursor(int orientation, bool guideCursor)
{
    CRuler* ruler =
        GetRuler(orientation == CGuide::Vertical ? CRuler::VerticalRuler : CRuler::HorizontalRuler);
    if (!ruler)
        return;
    if (guideCursor)
        ruler->SetGuideCursor();
    else
        ruler->ResetCursor();
}

void CGrid::ToggleUnits()
{
    SetUnits(GetUnits() == 1 ? 0 : 1);
    if (onUnitsToggled)
        onUnitsToggled();
}

// The settings sheet --------------------------------------------------------

int CGrid::IntervalFromDisplay(double value, int units)
{
    if (units == 1)
        InchesToMm(value);
    // Tenths of a millimetre, truncated; the small allowance keeps a typed
    // decimal such as 2.3 (22.999... times ten in binary) at 23.
    return SaturateToInt(value * 10 + 1e-7);
}

CGrid::SheetValues CGrid::GetSheetValues() const
{
    SheetValues v;
    v.showGrid = IsShowGrid();
    v.snapToGrid = IsSnapToGrid();
    v.snapToGuides = IsSnapToGuides();
    v.intervalX = Settings().intervalX * 0.1;
    v.intervalY = Settings().intervalY * 0.1;
    v.units = GetUnits();
    if (v.units == 1) {
        MmToInches(v.intervalX);
        MmToInches(v.intervalY);
    }
    v.showMargins = IsShowMargins();
    v.showRuler = IsShowRuler();
    return v;
}

void CGrid::ApplySheetValues(const SheetValues& values, CViewSeam* view)
{
    SetShowGrid(values.showGrid);
    SetSnapToGrid(values.snapToGrid);
    SetSnapToGuides(values.snapToGuides);
    // The intervals are in the unit the sheet was opened with.
    const int sheetUnits = GetUnits();
    SetInterval(IntervalFromDisplay(values.intervalX, sheetUnits),
                IntervalFromDisplay(values.intervalY, sheetUnits));
    RecalcGridSpacing(view, m_pxPerMmX, m_pxPerMmY);
    SetShowMargins(values.showMargins);
    if (values.units != GetUnits())
        SetUnits(values.units);
    if (values.showRuler != IsShowRuler())
        SetShowRuler(values.showRuler);
    InvalidateCanvas();
}

bool CGrid::RunSettingsSheet(QWidget* parent, CViewSeam* view, int commandId)
{
    const SheetValues in = GetSheetValues();

    QDialog sheet(parent);
    sheet.setWindowTitle(FormatStringId(IDS_LAYOUT_GUIDES));
    auto* tabs = new QTabWidget(&sheet);
    auto* gridPage = new CGridPage(in);
    auto* marginPage = new CMarginPage(in);
    auto* rulerPage = new CRulerPage(in);
    tabs->addTab(gridPage, QObject::tr("Grid"));
    tabs->addTab(marginPage, QObject::tr("Margins"));
    tabs->addTab(rulerPage, QObject::tr("Ruler"));
    tabs->setCurrentIndex(commandId == 32812 ? 1 : commandId == 32803 ? 2 : 0);

    // OK takes the pages' values only when every one of them is valid; a
    // page that refuses a value is shown, and the sheet stays open.
    SheetValues out = in;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &sheet, [&] {
        tabs->setCurrentWidget(gridPage);
        if (!gridPage->Read(out))
            return;
        marginPage->Read(out);
        rulerPage->Read(out);
        sheet.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
    auto* layout = new QVBoxLayout(&sheet);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    if (sheet.exec() != QDialog::Accepted)
        return false;
    ApplySheetValues(out, view);
    return true;
}
