#include "Line.h"

#include "AppContext.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "Rounding.h"
#include "TextExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

IMPLEMENT_PERSISTENT(CLine, CElement, 1)

namespace {

// Stored coordinates and thicknesses beyond these cannot come from a sign;
// a record holding them is damaged.
constexpr int kMaxStoredCoordinate = 1 << 20;
constexpr int kMaxStoredThickness = 1 << 20;

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

CPoint ReadStoredPoint(CArchive& ar)
{
    CPoint p;
    ar >> p;
    if (std::abs(qint64(p.x)) > kMaxStoredCoordinate ||
        std::abs(qint64(p.y)) > kMaxStoredCoordinate)
        throw CArchiveException(CArchiveException::generic, "archive: line point out of range");
    return p;
}

double DirectionOf(CPoint start, CPoint end)
{
    return std::atan2(double(end.y) - start.y, double(end.x) - start.x);
}

CPoint Midpoint(CPoint a, CPoint b)
{
    return CPoint((a.x + b.x) / 2, (a.y + b.y) / 2);
}

} // namespace

CLine::CLine()
{
    const CLineDefaults& d = App().Get<CLineDefaults>();
    m_thickness = d.thickness;
    m_colour = d.colour;
    m_lineValue = d.lineStyle;
    m_endStyle = d.endStyle;
    // There are no native line commands for this system's printers: lines
    // are always drawn through the device context.
    m_nativePrint = 0;
    RecalcPosition(nullptr);
}

CLine::~CLine() = default;

CElement* CopyLineElement(const CElement& element)
{
    if (!element.IsKindOf(RUNTIME_CLASS(CLine)))
        return nullptr;
    return new CLine(static_cast<const CLine&>(element));
}

// --- archive -----------------------------------------------------------------

void CLine::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_start << m_end << DWORD(m_thickness) << DWORD(m_colour) << DWORD(m_lineValue)
           << DWORD(m_endStyle);
        return;
    }
    const CPoint start = ReadStoredPoint(ar);
    const CPoint end = ReadStoredPoint(ar);
    const int thickness = ar.ReadInt();
    if (thickness < 0 || thickness > kMaxStoredThickness)
        throw CArchiveException(CArchiveException::generic, "archive: line thickness out of range");
    const COLORREF colour = ar.ReadDWord();
    const int lineValue = ar.ReadInt();
    const int endStyle = ar.ReadInt();
    m_start = start;
    m_end = end;
    m_thickness = thickness;
    m_colour = colour;
    m_lineValue = lineValue;
    m_endStyle = endStyle;
    RecalcPosition(nullptr);
}

// --- geometry ----------------------------------------------------------------

double CLine::GetLength() const
{
    return std::hypot(double(m_end.x) - m_start.x, double(m_end.y) - m_start.y);
}

int CLine::GetAngleDegrees() const
{
    int degrees = RoundHalfAway(DirectionOf(m_start, m_end) * 180.0 / std::numbers::pi);
    if (degrees < 0)
        degrees += 360;
    return degrees;
}

void CLine::RecalcPosition(CView*)
{
    const double theta = DirectionOf(m_start, m_end);
    m_direction = theta;

    if (m_start.x < m_end.x)
        m_orientation = m_end.y > m_start.y ? 0 : 270;
    else
        m_orientation = m_end.y > m_start.y ? 90 : 180;

    // Half the thickness across and along the line; the offsets can be
    // negative, so they round half away from zero.
    const double half = m_thickness * 0.5;
    const int c = RoundHalfAway(std::cos(theta) * half);
    const int s = RoundHalfAway(std::sin(theta) * half);
    const int x0 = m_start.x, y0 = m_start.y;
    const int x1 = m_end.x, y1 = m_end.y;
    CPoint* p = m_outline;
    p[0] = CPoint(x0 + s, y0 - c);
    p[1] = CPoint(p[0].x + c, p[0].y + s);
    p[2] = CPoint(p[1].x + c, p[0].y + 2 * s);
    p[5] = CPoint(x1 + s, y1 - c);
    p[4] = CPoint(p[5].x - c, p[5].y - s);
    p[3] = CPoint(p[4].x - c, p[4].y - s);
    p[6] = CPoint(x1 - s, y1 + c);
    p[7] = CPoint(p[6].x - c, p[6].y - s);
    p[8] = CPoint(p[7].x - c, p[7].y - s);
    p[11] = CPoint(x0 - s, y0 + c);
    p[10] = CPoint(p[11].x + c, p[11].y + s);
    p[9] = CPoint(p[10].x + c, p[11].y + 2 * s);

    CRect bounds(p[0], p[0]);
    for (const CPoint& q : m_outline) {
        bounds.left = std::min(bounds.left, q.x);
        bounds.top = std::min(bounds.top, q.y);
        bounds.right = std::max(bounds.right, q.x);
        bounds.bottom = std::max(bounds.bottom, q.y);
    }
    m_bounds = bounds;
}

// --- creation ----------------------------------------------------------------

void CLine::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] { m_start = m_end = p; });
}

void CLine::TrackCreate(CView* view, int x, int y, BOOL constrain)
{
    CPoint p = SnapPoint(x, y);
    if (constrain) {
        const long long dx = std::llabs((long long)p.x - m_start.x);
        const long long dy = std::llabs((long long)p.y - m_start.y);
        if (dx <= dy)
            p.x = m_start.x; // vertical
        else
            p.y = m_start.y; // horizontal
    }
    Redraw(view, [this, p] { m_end = p; });
}

// --- moving, resizing and turning ----------------------------------------------

void CLine::ApplyTrackRect(CView*)
{
    // Each end follows the edges of the tracking rectangle that it lies on.
    const int dl = m_trackRect.left - m_startRect.left;
    const int dt = m_trackRect.top - m_startRect.top;
    const int dr = m_trackRect.right - m_startRect.right;
    const int db = m_trackRect.bottom - m_startRect.bottom;
    switch (m_orientation) {
    case 90:
        m_start = m_start + CPoint(dr, dt);
        m_end = m_end + CPoint(dl, db);
        break;
    case 180:
        m_start = m_start + CPoint(dr, db);
        m_end = m_end + CPoint(dl, dt);
        break;
    case 270:
        m_start = m_start + CPoint(dl, db);
        m_end = m_end + CPoint(dr, dt);
        break;
    default:
        m_start = m_start + CPoint(dl, dt);
        m_end = m_end + CPoint(dr, db);
        break;
    }
}

void CLine::SetBounds(CView* view, const CRect& bounds)
{
    Redraw(view, [this, bounds] {
        CRect r = bounds;
        r.NormalizeRect();
        double degrees = DirectionOf(m_start, m_end) * 180.0 / std::numbers::pi;
        if (degrees < 0)
            degrees += 360.0;
        // A direction just short of a full turn counts as pointing right.
        const int quadrant = (int(degrees + 0.5) / 90) % 4;
        const int midX = r.left + (r.right - r.left) / 2;
        const int midY = r.top + (r.bottom - r.top) / 2;
        switch (quadrant) {
        case 1:
            m_start = CPoint(midX, r.top);
            m_end = CPoint(midX, r.bottom);
            break;
        case 2:
            m_start = CPoint(r.right, midY);
            m_end = CPoint(r.left, midY);
            break;
        case 3:
            m_start = CPoint(midX, r.bottom);
            m_end = CPoint(midX, r.top);
            break;
        default:
            m_start = CPoint(r.left, midY);
            m_end = CPoint(r.right, midY);
            break;
        }
        m_trackRect = r;
        m_startRect = m_trackRect;
    });
}

void CLine::Rotate(CView* view)
{
    Redraw(view, [this] {
        const double length = GetLength();
        const double direction = std::remainder(
            DirectionOf(m_start, m_end) + App().general.rotationAngle, 2 * std::numbers::pi);
        m_end = m_start + CPoint(RoundHalfAway(std::cos(direction) * length),
                                 RoundHalfAway(std::sin(direction) * length));
    });
}

void CLine::RotateAbout(CView* view, CPoint centre)
{
    Redraw(view, [this, centre] {
        const double angle = App().general.rotationAngle;
        RotatePointRadians(m_start, centre.x, centre.y, angle);
        RotatePointRadians(m_end, centre.x, centre.y, angle);
    });
}

BOOL CLine::IsHandleEnabled(int handle) const
{
    if (m_start.y == m_end.y)
        return handle == HANDLE_RIGHT || handle == HANDLE_LEFT;
    if (m_start.x == m_end.x)
        return handle == HANDLE_TOP || handle == HANDLE_BOTTOM;
    return TRUE;
}

// --- drawing -----------------------------------------------------------------

void CLine::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }

    const CPoint* p = m_outline;
    const int saved = dc->SaveDC();
    dc->SelectPen(CPen(PS_INSIDEFRAME, 1, m_colour));
    dc->SelectBrush(CBrush::Solid(m_colour));

    if (m_thickness < kMinStyledThickness) {
        const CPoint band[4] = {p[0], p[5], p[6], p[11]};
        dc->Polygon(band, 4);
    } else {
        if (m_endStyle == LINE_END_ROUND) {
            const CPoint body[4] = {p[1], p[4], p[7], p[10]};
            dc->Polygon(body, 4);
        } else {
            const CPoint body[4] = {p[2], p[3], p[8], p[9]};
            dc->Polygon(body, 4);
        }
        switch (m_endStyle) {
        case LINE_END_SQUARE: {
            const CPoint startEnd[4] = {p[0], p[2], p[9], p[11]};
            const CPoint endEnd[4] = {p[3], p[5], p[6], p[8]};
            dc->Polygon(startEnd, 4);
            dc->Polygon(endEnd, 4);
            break;
        }
        case LINE_END_ROUND: {
            // Circles of the line's thickness centred half a thickness
            // inside each end.
            for (const CPoint centre : {Midpoint(p[1], p[10]), Midpoint(p[4], p[7])}) {
                const int left = centre.x - m_thickness / 2;
                const int top = centre.y - m_thickness / 2;
                dc->Ellipse(left, top, left + m_thickness + 1, top + m_thickness + 1);
            }
            break;
        }
        case LINE_END_NOTCHED: {
            // A V cut into each end, its point a whole thickness inside.
            const CPoint along(RoundHalfAway(std::cos(m_direction) * m_thickness),
                               RoundHalfAway(std::sin(m_direction) * m_thickness));
            const CPoint a = m_start + along;
            const CPoint b = m_end - along;
            const CPoint startEnd[5] = {a, p[0], p[2], p[9], p[11]};
            const CPoint endEnd[5] = {b, p[5], p[3], p[8], p[6]};
            dc->Polygon(startEnd, 5);
            dc->Polygon(endEnd, 5);
            break;
        }
        case LINE_END_POINTED: {
            const CPoint startEnd[3] = {m_start, p[2], p[9]};
            const CPoint endEnd[3] = {m_end, p[3], p[8]};
            dc->Polygon(startEnd, 3);
            dc->Polygon(endEnd, 3);
            break;
        }
        default:
            break;
        }
    }
    dc->RestoreDC(saved);
    DrawTracker(dc);
}

// --- types, colours and setters ----------------------------------------------

int CLine::GetTypeCode() const
{
    return TYPE_LINE;
}

QString CLine::GetTypeName() const
{
    return QStringLiteral("Line");
}

int CLine::GetThickness() const
{
    return m_thickness;
}

void CLine::SetThickness(CView* view, int value)
{
    Redraw(view, [this, value] { m_thickness = std::max(0, value); });
}

BOOL CLine::GetColour(COLORREF& colour) const
{
    colour = m_colour;
    return TRUE;
}

void CLine::CopyColoursFrom(const CElement* element)
{
    COLORREF colour = 0;
    if (!element || !element->GetColour(colour))
        return;
    Redraw(CurrentView(), [this, colour] { m_colour = colour; });
}

void CLine::SetPoints(CView* view, CPoint start, CPoint end)
{
    Redraw(view, [this, start, end] {
        m_start = start;
        m_end = end;
    });
}

void CLine::SetEndStyle(CView* view, int endStyle)
{
    Redraw(view, [this, endStyle] { m_endStyle = endStyle; });
}

void CLine::SetColour(CView* view, COLORREF colour)
{
    Redraw(view, [this, colour] { m_colour = colour; });
}

// --- text export -------------------------------------------------------------

void CLine::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <line>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n",
                                       m_start.x, m_start.y));
    file.WriteString(
        QString::asprintf("    <length units=\"TMM\" value=\"%d\"/>\n", RoundHalfUp(GetLength())));
    file.WriteString(ExportLine(4, "angle", GetAngleDegrees()));
    file.WriteString(
        QString::asprintf("    <thickness units=\"TMM\" value=\"%d\"/>\n", m_thickness));
    file.WriteString(ExportLine(4, "colour", ColourToHtml(m_colour)));
    file.WriteString(ExportLine(4, "end-style", m_endStyle));
    file.WriteString(QStringLiteral("\n  </line>\n\n"));
}
