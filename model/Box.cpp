#include "Box.h"

#include "AppContext.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "Rounding.h"
#include "TextExport.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <numbers>

IMPLEMENT_PERSISTENT(CBox, CElement, 1)
IMPLEMENT_PERSISTENT(CEllipse, CBox, 1)

namespace {

// Creation keeps a box between these sizes in each direction.
constexpr int kMinCreateOffset = 3;
constexpr int kMaxCreateOffset = 32766;

// Stored coordinates and thicknesses beyond these cannot come from a sign;
// a record holding them is damaged.
constexpr int kMaxStoredCoordinate = 1 << 20;
constexpr int kMaxStoredThickness = 1 << 20;

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

// The orientation of a box whose creation ran from p0 to p2.
int OrientationOf(CPoint p0, CPoint p2)
{
    if (p0.x < p2.x)
        return p0.y < p2.y ? 0 : 270;
    return p0.y < p2.y ? 90 : 180;
}

int ClampOffset(long long offset)
{
    if (offset >= 0)
        return int(std::clamp<long long>(offset, kMinCreateOffset, kMaxCreateOffset));
    return int(std::clamp<long long>(offset, -kMaxCreateOffset, -kMinCreateOffset));
}

CPoint ReadStoredPoint(CArchive& ar)
{
    CPoint p;
    ar >> p;
    if (std::abs(qint64(p.x)) > kMaxStoredCoordinate ||
        std::abs(qint64(p.y)) > kMaxStoredCoordinate)
        throw CArchiveException(CArchiveException::generic, "archive: shape point out of range");
    return p;
}

} // namespace

// --- construction ------------------------------------------------------------

CBox::CBox()
{
    const CBoxDefaults& d = App().Get<CBoxDefaults>();
    m_thickness = d.thickness;
    m_outlineColour = d.outlineColour;
    m_fillInterior = d.fillInterior;
    m_fillColour = d.fillColour;
    m_cornerType = d.cornerType;
    m_cornerRadius = d.cornerRadius;
    m_savedOutlineColour = m_outlineColour;
    m_savedFillColour = m_fillColour;
    // There are no native box commands for this system's printers: boxes
    // are always drawn through the device context.
    m_nativePrint = 0;
}

CBox::~CBox() = default;

CEllipse::CEllipse()
{
    const CEllipseDefaults& d = App().Get<CEllipseDefaults>();
    m_thickness = d.thickness;
    m_outlineColour = d.outlineColour;
    m_fillInterior = d.fillInterior;
    m_fillColour = d.fillColour;
    m_savedOutlineColour = m_outlineColour;
    m_savedFillColour = m_fillColour;
}

CEllipse::CEllipse(const CBox& box) : CBox(box) {}

CEllipse::~CEllipse() = default;

CElement* CopyBoxElement(const CElement& element)
{
    if (!element.IsKindOf(RUNTIME_CLASS(CBox)))
        return nullptr;
    return new CBox(static_cast<const CBox&>(element));
}

CElement* CopyEllipseElement(const CElement& element)
{
    if (!element.IsKindOf(RUNTIME_CLASS(CBox)))
        return nullptr;
    return new CEllipse(static_cast<const CBox&>(element));
}

// --- archive -----------------------------------------------------------------

void CBox::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        for (const CPoint& p : m_points)
            ar << p;
        ar << DWORD(m_thickness) << DWORD(m_outlineColour) << DWORD(m_fillInterior)
           << DWORD(m_fillColour) << DWORD(m_cornerType) << DWORD(m_cornerRadius);
        return;
    }

    CPoint points[4];
    for (CPoint& p : points)
        p = ReadStoredPoint(ar);
    const int thickness = ar.ReadInt();
    if (thickness < 0 || thickness > kMaxStoredThickness)
        throw CArchiveException(CArchiveException::generic, "archive: box thickness out of range");
    const COLORREF outline = ar.ReadDWord();
    const BOOL fillInterior = ar.ReadInt();
    const COLORREF fill = ar.ReadDWord();
    const int cornerType = ar.ReadInt();
    // Files before version 105 keep the default corner radius.
    const int cornerRadius = App().fileVersion >= 105 ? ar.ReadInt() : m_cornerRadius;

    std::copy(std::begin(points), std::end(points), std::begin(m_points));
    m_thickness = thickness;
    m_outlineColour = m_savedOutlineColour = outline;
    m_fillInterior = fillInterior;
    m_fillColour = m_savedFillColour = fill;
    m_cornerType = cornerType;
    m_cornerRadius = cornerRadius;
    RecalcPosition(nullptr);
}

// --- geometry ----------------------------------------------------------------

CRect CBox::GetPointRect() const
{
    CRect r(m_points[0], m_points[2]);
    r.NormalizeRect();
    return r;
}

CSize CBox::GetUnturnedSize() const
{
    const int dx = std::abs(m_points[2].x - m_points[0].x);
    const int dy = std::abs(m_points[2].y - m_points[0].y);
    const int orientation = OrientationOf(m_points[0], m_points[2]);
    if (orientation == 90 || orientation == 270)
        return CSize(dy, dx);
    return CSize(dx, dy);
}

void CBox::PlaceSideCorners()
{
    const CPoint p0 = m_points[0];
    const CPoint p2 = m_points[2];
    if (m_orientation == 90 || m_orientation == 270) {
        m_points[1] = CPoint(p0.x, p2.y);
        m_points[3] = CPoint(p2.x, p0.y);
    } else {
        m_points[1] = CPoint(p2.x, p0.y);
        m_points[3] = CPoint(p0.x, p2.y);
    }
}

void CBox::LayOnRect(const CRect& rect)
{
    switch (m_orientation) {
    case 90:
        m_points[0] = CPoint(rect.right, rect.top);
        m_points[2] = CPoint(rect.left, rect.bottom);
        break;
    case 180:
        m_points[0] = CPoint(rect.right, rect.bottom);
        m_points[2] = CPoint(rect.left, rect.top);
        break;
    case 270:
        m_points[0] = CPoint(rect.left, rect.bottom);
        m_points[2] = CPoint(rect.right, rect.top);
        break;
    default:
        m_points[0] = CPoint(rect.left, rect.top);
        m_points[2] = CPoint(rect.right, rect.bottom);
        break;
    }
    PlaceSideCorners();
}

void CBox::RecalcPosition(CView*)
{
    m_orientation = OrientationOf(m_points[0], m_points[2]);
    m_bounds = GetPointRect();
}

// --- creation ----------------------------------------------------------------

void CBox::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] { std::fill(std::begin(m_points), std::end(m_points), p); });
}

void CBox::TrackCreate(CView* view, int x, int y, BOOL constrain)
{
    const CPoint p = SnapPoint(x, y);
    long long dx = (long long)p.x - m_points[0].x;
    long long dy = (long long)p.y - m_points[0].y;
    if (constrain) {
        const long long side = std::max(std::llabs(dx), std::llabs(dy));
        dx = dx < 0 ? -side : side;
        dy = dy < 0 ? -side : side;
    }
    const CPoint corner(m_points[0].x + ClampOffset(dx), m_points[0].y + ClampOffset(dy));
    Redraw(view, [this, view, corner] {
        m_points[2] = corner;
        RecalcPosition(view);
        PlaceSideCorners();
    });
}

void CBox::EndCreate(CView* view, unsigned)
{
    Redraw(view, [this] {
        const CPoint old[4] = {m_points[0], m_points[1], m_points[2], m_points[3]};
        switch (m_orientation) {
        case 90:
            m_points[0] = old[3];
            m_points[1] = old[0];
            m_points[2] = old[1];
            m_points[3] = old[2];
            break;
        case 180:
            m_points[0] = old[2];
            m_points[1] = old[3];
            m_points[2] = old[0];
            m_points[3] = old[1];
            break;
        case 270:
            m_points[0] = old[1];
            m_points[1] = old[2];
            m_points[2] = old[3];
            m_points[3] = old[0];
            break;
        default:
            break;
        }
    });
}

// --- moving, resizing and turning ----------------------------------------------

void CBox::ApplyTrackRect(CView*)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    LayOnRect(r);
}

void CBox::SetBounds(CView* view, const CRect& bounds)
{
    Redraw(view, [this, bounds] {
        CRect r = bounds;
        r.NormalizeRect();
        LayOnRect(r);
        m_trackRect = r;
        m_startRect = m_trackRect;
    });
}

void CBox::Rotate(CView* view)
{
    Redraw(view, [this, view] {
        const CSize size = GetUnturnedSize();
        const int w = size.cx;
        const int h = size.cy;
        const CPoint p0 = m_points[0];
        for (int i = 1; i < 4; ++i)
            RotatePointRadians(m_points[i], p0.x, p0.y, App().general.rotationAngle);
        RecalcPosition(view);
        // Square the turned points to an exact rectangle of the old size.
        switch (m_orientation) {
        case 90:
            m_points[2] = CPoint(p0.x - h, p0.y + w);
            break;
        case 180:
            m_points[2] = CPoint(p0.x - w, p0.y - h);
            break;
        case 270:
            m_points[2] = CPoint(p0.x + h, p0.y - w);
            break;
        default:
            m_points[2] = CPoint(p0.x + w, p0.y + h);
            break;
        }
        PlaceSideCorners();
    });
}

void CBox::RotateAbout(CView* view, CPoint centre)
{
    // Boxes turn about a point only by whole quarter turns: the nearest one
    // to the rotation angle.
    const double degrees = App().general.rotationAngle * 180.0 / std::numbers::pi;
    const int nearest = RoundHalfAway(degrees) + 45;
    const int quarter = (nearest >= 0 ? nearest / 90 : -((-nearest + 89) / 90)) * 90;
    Redraw(view, [this, centre, quarter] {
        for (CPoint& p : m_points)
            RotatePoint(p, centre.x, centre.y, quarter % 360);
    });
}

BOOL CBox::IsHandleEnabled(int) const
{
    return TRUE;
}

// --- drawing -----------------------------------------------------------------

void CBox::SelectPenAndBrush(CDC* dc, int penWidth) const
{
    dc->SelectPen(CPen(PS_INSIDEFRAME, penWidth, m_outlineColour));
    dc->SelectBrush(m_fillInterior ? CBrush::Solid(m_fillColour) : CBrush::Null());
}

void CBox::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }

    // The box covers its corner points: right and bottom are one past them.
    // Working from the normalised rectangle keeps a turned box on the same
    // units as an unturned one.
    const CRect r = GetPointRect();
    const int w = r.Width() + 1;
    const int h = r.Height() + 1;
    const int penWidth = std::max(0, std::min({m_thickness, w / 2, h / 2}));
    const int radius = std::clamp(m_cornerRadius, 0, 100);

    const int saved = dc->SaveDC();
    SelectPenAndBrush(dc, penWidth);
    switch (m_cornerType) {
    case CORNER_ROUNDED: {
        const int ew = RoundHalfUp(w * radius * 0.01);
        const int eh = RoundHalfUp(h * radius * 0.01);
        const int e = std::min(ew, eh);
        dc->RoundRect(r.left, r.top, r.right + 1, r.bottom + 1, e, e);
        break;
    }
    case CORNER_CHAMFERED: {
        const int c = std::min(RoundHalfUp(w * radius * 0.005), RoundHalfUp(h * radius * 0.005));
        const int p = penWidth / 2;
        const CPoint outline[8] = {
            {r.left + c, r.top + p},     {r.right - c, r.top + p},    {r.right - p, r.top + c},
            {r.right - p, r.bottom - c}, {r.right - c, r.bottom - p}, {r.left + c, r.bottom - p},
            {r.left + p, r.bottom - c},  {r.left + p, r.top + c},
        };
        dc->Polygon(outline, 8);
        break;
    }
    default:
        dc->Rectangle(r.left, r.top, r.right + 1, r.bottom + 1);
        break;
    }
    dc->RestoreDC(saved);
    DrawTracker(dc);
}

void CEllipse::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }
    const CRect r = GetPointRect();
    const int penWidth =
        std::max(0, std::min({m_thickness, r.Width() / 2 + 1, r.Height() / 2 + 1}));
    const int saved = dc->SaveDC();
    SelectPenAndBrush(dc, penWidth);
    dc->Ellipse(r.left, r.top, r.right + 1, r.bottom + 1);
    dc->RestoreDC(saved);
    DrawTracker(dc);
}

// --- types -------------------------------------------------------------------

int CBox::GetTypeCode() const
{
    return TYPE_BOX;
}

QString CBox::GetTypeName() const
{
    return QStringLiteral("Box");
}

int CEllipse::GetTypeCode() const
{
    return TYPE_ELLIPSE;
}

QString CEllipse::GetTypeName() const
{
    return QStringLiteral("Ellipse");
}

// --- colours and data --------------------------------------------------------

int CBox::GetThickness() const
{
    return m_thickness;
}

void CBox::SetThickness(CView* view, int value)
{
    Redraw(view, [this, value] { m_thickness = std::max(0, value); });
}

void CBox::SetOutlineColour(CView* view, COLORREF colour)
{
    Redraw(view, [this, colour] { m_outlineColour = colour; });
}

void CBox::SetFill(CView* view, BOOL fillInterior, COLORREF colour)
{
    Redraw(view, [this, fillInterior, colour] {
        m_fillInterior = fillInterior;
        m_fillColour = colour;
    });
}

void CBox::SetCornerType(CView* view, int cornerType)
{
    Redraw(view, [this, cornerType] { m_cornerType = cornerType; });
}

void CBox::SetCornerRadius(CView* view, int percent)
{
    Redraw(view, [this, percent] { m_cornerRadius = std::clamp(percent, 0, 100); });
}

BOOL CBox::GetColour(COLORREF& colour) const
{
    colour = m_outlineColour;
    return TRUE;
}

BOOL CBox::GetFill(COLORREF& colour) const
{
    colour = m_fillColour;
    return m_fillInterior;
}

void CBox::CopyColoursFrom(const CElement* element)
{
    if (!element)
        return;
    Redraw(CurrentView(), [this, element] {
        COLORREF colour = 0;
        if (element->GetColour(colour))
            m_outlineColour = colour;
        if (element->GetFill(colour))
            m_fillColour = colour;
    });
}

QString CBox::GetSampleData() const
{
    return QString::asprintf("%02X %02X %02X %02X %02X %02X", GetRValue(m_outlineColour),
                             GetGValue(m_outlineColour), GetBValue(m_outlineColour),
                             GetRValue(m_fillColour), GetGValue(m_fillColour),
                             GetBValue(m_fillColour));
}

void CBox::SetDataText(const QString& text, int, const QString&, BOOL)
{
    if (KeepsStartOnlyData())
        return;
    // "RR GG BB RR GG BB": the outline's components, then the fill's.
    if (text.size() != 17)
        return;
    const QByteArray bytes = text.toLatin1();
    unsigned v[6] = {};
    if (std::sscanf(bytes.constData(), "%x %x %x %x %x %x", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5]) != 6)
        return;
    // A component is one byte: a larger (or negative) number is refused, not
    // cut down to its last two digits.
    if (std::any_of(std::begin(v), std::end(v), [](unsigned c) { return c > 0xFF; }))
        return;
    Redraw(CurrentView(), [this, &v] {
        m_outlineColour = MakeRGB(int(v[0]), int(v[1]), int(v[2]));
        m_fillColour = MakeRGB(int(v[3]), int(v[4]), int(v[5]));
    });
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CBox::BeginDataEntry()
{
    m_savedOutlineColour = m_outlineColour;
    m_savedFillColour = m_fillColour;
    if (m_dataSource != SOURCE_FIXED)
        SetDataText(GetDataText(FALSE), m_dataSource, m_sourceName, FALSE);
    CElement::BeginDataEntry();
}

void CBox::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        m_outlineColour = m_savedOutlineColour;
        m_fillColour = m_savedFillColour;
    }
    CElement::EndDataEntry();
}

// --- text export -------------------------------------------------------------

void CBox::WriteShapeXml(CTextExportFile& file, const char* tag, bool corners)
{
    file.WriteString(QStringLiteral("  <%1>\n\n").arg(QLatin1String(tag)));
    CElement::WriteXml(file);
    const CPoint p0 = m_points[0];
    const CSize size = GetUnturnedSize();
    file.WriteString(
        QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n", p0.x, p0.y));
    file.WriteString(QString::asprintf("    <size units=\"TMM\" width=\"%d\" height=\"%d\"/>\n",
                                       size.cx, size.cy));
    file.WriteString(ExportLine(4, "orientation", OrientationOf(m_points[0], m_points[2])));
    file.WriteString(
        QString::asprintf("    <thickness units=\"TMM\" value=\"%d\"/>\n", m_thickness));
    file.WriteString(ExportLine(4, "outline-colour", ColourToHtml(m_outlineColour)));
    file.WriteString(ExportLine(4, "fill-interior", m_fillInterior));
    file.WriteString(ExportLine(4, "fill-colour", ColourToHtml(m_fillColour)));
    if (corners) {
        file.WriteString(ExportLine(4, "corner-type", m_cornerType));
        file.WriteString(ExportLine(4, "corner-radius", m_cornerRadius));
    }
    file.WriteString(QStringLiteral("\n  </%1>\n\n").arg(QLatin1String(tag)));
}

void CBox::WriteXml(CTextExportFile& file)
{
    WriteShapeXml(file, "box", true);
}

void CEllipse::WriteXml(CTextExportFile& file)
{
    WriteShapeXml(file, "ellipse", false);
}
