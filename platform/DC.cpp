#include "DC.h"

#include "Rounding.h"
#include "ShippedFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

Qt::BrushStyle HatchStyle(int hatch)
{
    switch (hatch) {
    case HS_VERTICAL:
        return Qt::VerPattern;
    case HS_FDIAGONAL:
        return Qt::FDiagPattern;
    case HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case HS_CROSS:
        return Qt::CrossPattern;
    case HS_DIAGCROSS:
        return Qt::DiagCrossPattern;
    case HS_HORIZONTAL:
    default:
        return Qt::HorPattern;
    }
}

bool IsStyledPen(int style)
{
    return style == PS_DASH || style == PS_DOT || style == PS_DASHDOT || style == PS_DASHDOTDOT;
}

// Dash patterns in pixels for one-pixel pens, and in pen widths for wider
// ones (QPen scales its pattern by the width).
QList<qreal> DashPattern(int style, bool cosmetic)
{
    switch (style) {
    case PS_DASH:
        return cosmetic ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
    case PS_DOT:
        return cosmetic ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
    case PS_DASHDOT:
        return cosmetic ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
    case PS_DASHDOTDOT:
        return cosmetic ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
    default:
        return {};
    }
}

// Faces the stored signs name and the metric-compatible faces installed here.
struct FaceSubstitute
{
    const char* requested;
    const char* installed;
};
constexpr FaceSubstitute kFaceSubstitutes[] = {
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    // The symbol font new symbols start with: a free face that draws every
    // character the symbol list offers.
    {"Tabrel Symbol 1", "Symbola"},
    // The human-readable text of barcodes.
    {"Tabrel OCRB", "OCR B"},
};
constexpr const char* kDefaultFace = "Liberation Sans";

// Em height used for a font height of 0: twelve points.
constexpr double kDefaultEmLog = 12.0 * 254.0 / 72.0;

int TableU16(const QByteArray& table, int offset)
{
    if (table.size() < offset + 2)
        return -1;
    return qFromBigEndian<quint16>(table.constData() + offset);
}

int TableS16(const QByteArray& table, int offset)
{
    if (table.size() < offset + 2)
        return 0;
    return qFromBigEndian<qint16>(table.constData() + offset);
}

QFont MakeQFont(const LogFontFields& lf, int pixelSize)
{
    const QString requested = lf.lfFaceName.trimmed();
    QFont f(CDC::SubstituteFaceName(requested.isEmpty() ? QString::fromLatin1(kDefaultFace)
                                                        : requested));
    f.setPixelSize(pixelSize);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setKerning(false);
    if (lf.lfWeight > 0)
        f.setWeight(QFont::Weight(std::clamp(int(lf.lfWeight), 1, 1000)));
    f.setItalic(lf.lfItalic != 0);
    return f;
}

} // namespace

// --- construction --------------------------------------------------------------

CDC::CDC(QPainter* painter, bool printing) : m_painter(painter), m_printing(printing)
{
    if (!m_painter)
        return;
    if (QPaintDevice* device = m_painter->device()) {
        m_dpiX = printing ? device->physicalDpiX() : device->logicalDpiX();
        m_dpiY = printing ? device->physicalDpiY() : device->logicalDpiY();
        m_deviceSize = CSize(device->width(), device->height());
    }
    m_painter->save();
    if (m_painter->hasClipping())
        m_baseClip = m_painter->clipRegion();
}

CDC::~CDC()
{
    if (m_painter && m_painter->isActive())
        m_painter->restore();
}

void CDC::SetDeviceCaps(double dpiX, double dpiY, CSize sizePx)
{
    if (dpiX > 0)
        m_dpiX = dpiX;
    if (dpiY > 0)
        m_dpiY = dpiY;
    m_deviceSize = sizePx;
}

// --- mapping -------------------------------------------------------------------

CPoint CDC::SetWindowOrg(int x, int y)
{
    const CPoint old = m_state.windowOrg;
    m_state.windowOrg = CPoint(x, y);
    return old;
}

CPoint CDC::OffsetWindowOrg(int dx, int dy)
{
    const CPoint old = m_state.windowOrg;
    m_state.windowOrg = old + CPoint(dx, dy);
    return old;
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    const CSize old = m_state.windowExt;
    if (cx != 0 && cy != 0)
        m_state.windowExt = CSize(cx, cy);
    return old;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    const CPoint old = m_state.viewportOrg;
    m_state.viewportOrg = CPoint(x, y);
    return old;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    const CPoint old = m_state.viewportOrg;
    m_state.viewportOrg = old + CPoint(dx, dy);
    return old;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    const CSize old = m_state.viewportExt;
    if (cx != 0 && cy != 0)
        m_state.viewportExt = CSize(cx, cy);
    return old;
}

void CDC::SetTenthsMmMapping(double dpiX, double dpiY)
{
    // 254 logical units per inch; the extents carry the resolution to a
    // hundredth of a dot per inch (4 px/mm is 101.6 dpi).
    m_state.windowExt = CSize(25400, 25400);
    m_state.viewportExt =
        CSize(std::max(1, RoundHalfUp(dpiX * 100.0)), std::max(1, RoundHalfUp(dpiY * 100.0)));
}

double CDC::DeviceUnitsPerLogicalX() const
{
    return double(m_state.viewportExt.cx) / m_state.windowExt.cx;
}

double CDC::DeviceUnitsPerLogicalY() const
{
    return double(m_state.viewportExt.cy) / m_state.windowExt.cy;
}

CPoint CDC::LPtoDP(CPoint p) const
{
    const State& s = m_state;
    return CPoint(RoundHalfAway(double(p.x - s.windowOrg.x) * s.viewportExt.cx / s.windowExt.cx) +
                      s.viewportOrg.x,
                  RoundHalfAway(double(p.y - s.windowOrg.y) * s.viewportExt.cy / s.windowExt.cy) +
                      s.viewportOrg.y);
}

CPoint CDC::DPtoLP(CPoint p) const
{
    const State& s = m_state;
    return CPoint(RoundHalfAway(double(p.x - s.viewportOrg.x) * s.windowExt.cx / s.viewportExt.cx) +
                      s.windowOrg.x,
                  RoundHalfAway(double(p.y - s.viewportOrg.y) * s.windowExt.cy / s.viewportExt.cy) +
                      s.windowOrg.y);
}

CRect CDC::LPtoDP(const CRect& r) const
{
    return CRect(LPtoDP(r.TopLeft()), LPtoDP(r.BottomRight()));
}

CRect CDC::DPtoLP(const CRect& r) const
{
    return CRect(DPtoLP(r.TopLeft()), DPtoLP(r.BottomRight()));
}

CSize CDC::LPtoDP(CSize sz) const
{
    const State& s = m_state;
    return CSize(RoundHalfAway(double(sz.cx) * s.viewportExt.cx / s.windowExt.cx),
                 RoundHalfAway(double(sz.cy) * s.viewportExt.cy / s.windowExt.cy));
}

CSize CDC::DPtoLP(CSize sz) const
{
    const State& s = m_state;
    return CSize(RoundHalfAway(double(sz.cx) * s.windowExt.cx / s.viewportExt.cx),
                 RoundHalfAway(double(sz.cy) * s.windowExt.cy / s.viewportExt.cy));
}

QPointF CDC::LPtoDPF(double x, double y) const
{
    const State& s = m_state;
    return QPointF((x - s.windowOrg.x) * DeviceUnitsPerLogicalX() + s.viewportOrg.x,
                   (y - s.windowOrg.y) * DeviceUnitsPerLogicalY() + s.viewportOrg.y);
}

QRect CDC::DeviceRect(int l, int t, int r, int b) const
{
    CRect d = LPtoDP(CRect(l, t, r, b));
    d.NormalizeRect();
    return QRect(d.left, d.top, d.Width(), d.Height());
}

// --- state ---------------------------------------------------------------------

int CDC::SaveDC()
{
    m_saved.push_back(m_state);
    return int(m_saved.size());
}

bool CDC::RestoreDC(int saved)
{
    const int level = saved < 0 ? int(m_saved.size()) + saved + 1 : saved;
    if (saved == 0 || level < 1 || level > int(m_saved.size()))
        return false;
    m_state = m_saved[size_t(level - 1)];
    m_saved.resize(size_t(level - 1));
    ApplyClip();
    return true;
}

CPen CDC::SelectPen(const CPen& pen)
{
    return std::exchange(m_state.pen, pen);
}

CBrush CDC::SelectBrush(const CBrush& brush)
{
    return std::exchange(m_state.brush, brush);
}

LogFontFields CDC::SelectFont(const LogFontFields& font)
{
    // A damaged record can name any size; keep the sizes within what a sign
    // can hold (ten metres in tenths of a millimetre) so no metric overflows.
    // Nor may the width stretch the glyphs beyond a few times their height:
    // outlines scaled by thousands are more than the rasterizer can take.
    constexpr LONG kLimit = 100000;
    constexpr LONG kWidthPerHeight = 8;
    LogFontFields selected = font;
    selected.lfHeight = std::clamp(selected.lfHeight, -kLimit, kLimit);
    const LONG height = selected.lfHeight == 0 ? LONG(kDefaultEmLog) : std::abs(selected.lfHeight);
    const LONG widest = std::min(kLimit, std::max<LONG>(height, 1) * kWidthPerHeight);
    selected.lfWidth = std::clamp(selected.lfWidth, -widest, widest);
    return std::exchange(m_state.font, selected);
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    return std::exchange(m_state.textColor, color);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    return std::exchange(m_state.bkColor, color);
}

int CDC::SetBkMode(int mode)
{
    return std::exchange(m_state.bkMode, mode == OPAQUE ? OPAQUE : TRANSPARENT);
}

unsigned CDC::SetTextAlign(unsigned align)
{
    return std::exchange(m_state.textAlign, align);
}

int CDC::SetPolyFillMode(int mode)
{
    return std::exchange(m_state.polyFillMode, mode == WINDING ? WINDING : ALTERNATE);
}

int CDC::SetROP2(int rop)
{
    return std::exchange(m_state.rop2, rop);
}

// Sets the painter up for the next primitive; false when there is nothing
// to draw on.
bool CDC::Prepare()
{
    if (!m_painter || !m_painter->isActive())
        return false;
    m_painter->setRenderHint(QPainter::Antialiasing, m_state.antialias);
    m_painter->setRenderHint(QPainter::TextAntialiasing, m_state.textAntialias);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_state.smoothImages);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const QPaintEngine* engine = m_painter->paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
        switch (m_state.rop2) {
        case R2_NOT:
            mode = QPainter::RasterOp_NotDestination;
            break;
        case R2_XORPEN:
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
        case R2_NOTXORPEN:
            mode = QPainter::RasterOp_NotSourceXorDestination;
            break;
        default:
            break;
        }
    }
    m_painter->setCompositionMode(mode);
    return true;
}

// --- clipping ------------------------------------------------------------------

void CDC::ApplyClip()
{
    if (!m_painter || !m_painter->isActive())
        return;
    std::optional<QRegion> clip;
    if (m_state.clip)
        clip = m_baseClip ? (*m_baseClip & *m_state.clip) : *m_state.clip;
    else if (m_baseClip)
        clip = *m_baseClip;
    if (m_clipApplied && clip == m_appliedClip)
        return;
    if (clip)
        m_painter->setClipRegion(*clip);
    else
        m_painter->setClipping(false);
    m_appliedClip = std::move(clip);
    m_clipApplied = true;
}

void CDC::IntersectClipRect(const CRect& r)
{
    const QRegion rect(DeviceRect(r.left, r.top, r.right, r.bottom));
    m_state.clip = m_state.clip ? (*m_state.clip & rect) : rect;
    ApplyClip();
}

void CDC::ExcludeClipRect(const CRect& r)
{
    const QRegion rect(DeviceRect(r.left, r.top, r.right, r.bottom));
    const QRegion all =
        m_state.clip ? *m_state.clip
                     : QRegion(0, 0, std::max(m_deviceSize.cx, 0), std::max(m_deviceSize.cy, 0));
    m_state.clip = all.subtracted(rect);
    ApplyClip();
}

void CDC::SelectClipRect(const CRect& r)
{
    m_state.clip = QRegion(DeviceRect(r.left, r.top, r.right, r.bottom));
    ApplyClip();
}

void CDC::SelectClipNone()
{
    m_state.clip.reset();
    ApplyClip();
}

CRect CDC::GetClipBox() const
{
    QRect box(0, 0, m_deviceSize.cx, m_deviceSize.cy);
    if (m_state.clip)
        box = m_state.clip->boundingRect();
    if (m_baseClip)
        box &= m_baseClip->boundingRect();
    CRect logical =
        DPtoLP(CRect(box.left(), box.top(), box.left() + box.width(), box.top() + box.height()));
    logical.NormalizeRect();
    return logical;
}

bool CDC::RectVisible(const CRect& r) const
{
    const QRect d = DeviceRect(r.left, r.top, r.right, r.bottom);
    if (d.isEmpty())
        return false;
    if (m_state.clip && !m_state.clip->intersects(d))
        return false;
    if (m_baseClip && !m_baseClip->intersects(d))
        return false;
    return true;
}

// --- pens and brushes ----------------------------------------------------------

CDC::Stroke CDC::CurrentStroke() const
{
    Stroke s;
    const CPen& pen = m_state.pen;
    s.visible = pen.style != PS_NULL;
    s.insideFrame = pen.style == PS_INSIDEFRAME;
    s.width = 1;
    if (pen.width != 0)
        s.width = std::max(1, RoundHalfUp(std::abs(pen.width * DeviceUnitsPerLogicalX())));
    s.cosmetic = s.width == 1;
    return s;
}

QPen CDC::MakeQPen(const Stroke& s, COLORREF color, bool styled, Qt::PenJoinStyle join) const
{
    QPen pen(ToQColor(color));
    if (s.cosmetic) {
        pen.setWidth(0);
        pen.setCosmetic(true);
        // A flat cap leaves out the last pixel of an open line.
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        pen.setWidthF(s.width);
        pen.setCosmetic(false);
        pen.setCapStyle(styled ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle(join);
    }
    if (styled)
        pen.setDashPattern(DashPattern(m_state.pen.style, s.cosmetic));
    return pen;
}

// Strokes a path given in pixel-area coordinates, where the centre of pixel
// i is i + 0.5. Straight one-pixel lines go to the one-pixel stroker, which
// addresses pixels by their index, so the path moves by half a pixel for it.
// Curves at one pixel are filled as a band one pixel wide instead, which
// keeps them symmetric and inside their rectangle.
void CDC::StrokeAreaPath(const QPainterPath& areaPath, const Stroke& s, Qt::PenJoinStyle join,
                         bool curved)
{
    const bool styled = IsStyledPen(m_state.pen.style);
    const auto stroke = [&](COLORREF color, bool dashed) {
        if (s.cosmetic && curved) {
            QPainterPathStroker stroker;
            stroker.setWidth(1.0);
            stroker.setCapStyle(Qt::FlatCap);
            stroker.setJoinStyle(Qt::MiterJoin);
            if (dashed)
                stroker.setDashPattern(DashPattern(m_state.pen.style, true));
            m_painter->fillPath(stroker.createStroke(areaPath), ToQColor(color));
        } else {
            const QPainterPath path = s.cosmetic ? areaPath.translated(-0.5, -0.5) : areaPath;
            m_painter->strokePath(path, MakeQPen(s, color, dashed, join));
        }
    };
    if (styled && m_state.bkMode == OPAQUE)
        stroke(m_state.bkColor, false);
    stroke(m_state.pen.color, styled);
}

void CDC::FillDeviceRect(const QRect& r, const CBrush& brush)
{
    if (brush.style == BS_NULL || r.isEmpty())
        return;
    if (brush.style == BS_HATCHED) {
        if (m_state.bkMode == OPAQUE)
            m_painter->fillRect(r, ToQColor(m_state.bkColor));
        m_painter->fillRect(r, QBrush(ToQColor(brush.color), HatchStyle(brush.hatch)));
    } else {
        m_painter->fillRect(r, ToQColor(brush.color));
    }
}

void CDC::FillDevicePath(const QPainterPath& path, const CBrush& brush)
{
    if (brush.style == BS_NULL)
        return;
    if (brush.style == BS_HATCHED) {
        if (m_state.bkMode == OPAQUE)
            m_painter->fillPath(path, ToQColor(m_state.bkColor));
        m_painter->fillPath(path, QBrush(ToQColor(brush.color), HatchStyle(brush.hatch)));
    } else {
        m_painter->fillPath(path, ToQColor(brush.color));
    }
}

// --- figures -------------------------------------------------------------------

CPoint CDC::MoveTo(int x, int y)
{
    return std::exchange(m_state.currentPos, CPoint(x, y));
}

void CDC::LineTo(int x, int y)
{
    const CPoint from = m_state.currentPos;
    m_state.currentPos = CPoint(x, y);
    const CPoint points[] = {from, CPoint(x, y)};
    Polyline(points);
}

void CDC::Polyline(std::span<const CPoint> points)
{
    const Stroke s = CurrentStroke();
    if (points.size() < 2 || !s.visible || !Prepare())
        return;
    QPainterPath path;
    for (size_t i = 0; i < points.size(); ++i) {
        const CPoint d = LPtoDP(points[i]);
        const QPointF p(d.x + 0.5, d.y + 0.5);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    StrokeAreaPath(path, s, Qt::RoundJoin, false);
}

void CDC::Polygon(std::span<const CPoint> points)
{
    if (points.size() < 2 || !Prepare())
        return;
    // The fill takes the pixels whose centres lie inside the polygon through
    // the vertices' corners; the outline runs through the vertices' pixels.
    QPolygonF corners;
    corners.reserve(qsizetype(points.size()));
    for (const CPoint& p : points) {
        const CPoint d = LPtoDP(p);
        corners << QPointF(d.x, d.y);
    }
    QPainterPath fill;
    fill.addPolygon(corners);
    fill.closeSubpath();
    fill.setFillRule(m_state.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    FillDevicePath(fill, m_state.brush);

    const Stroke s = CurrentStroke();
    if (s.visible) {
        QPainterPath outline;
        outline.addPolygon(corners.translated(0.5, 0.5));
        outline.closeSubpath();
        StrokeAreaPath(outline, s, Qt::RoundJoin, false);
    }
}

// Draws a closed figure whose bounding box is `box` (device pixels).
// makeShape(inset) returns the figure's outline in pixel-area coordinates,
// shrunk by `inset` on every side. A normal pen is centred half a pixel
// inside the box, an inside-frame pen half its width inside.
template <typename MakeShape>
void CDC::ClosedFigure(const QRect& box, MakeShape makeShape, bool curved, bool fillInside)
{
    if (box.isEmpty())
        return;
    const Stroke s = CurrentStroke();
    if (!s.visible) {
        FillDevicePath(makeShape(0.0), m_state.brush);
        return;
    }
    if (s.insideFrame && (box.width() < s.width || box.height() < s.width)) {
        // The pen is wider than the figure: the figure is all pen.
        m_painter->fillPath(makeShape(0.0), ToQColor(m_state.pen.color));
        return;
    }
    const double inset = s.insideFrame ? s.width / 2.0 : 0.5;
    const QPainterPath outline = makeShape(inset);
    if (fillInside)
        FillDevicePath(outline, m_state.brush);
    StrokeAreaPath(outline, s, curved ? Qt::RoundJoin : Qt::MiterJoin, curved);
}

void CDC::Rectangle(int l, int t, int r, int b)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(l, t, r, b);
    if (box.isEmpty())
        return;
    const Stroke s = CurrentStroke();
    // Whole pixels for the fill, so the inside stays exact.
    if (!s.visible) {
        FillDeviceRect(box, m_state.brush);
        return;
    }
    if (!(s.insideFrame && (box.width() < s.width || box.height() < s.width))) {
        const int edge = s.insideFrame ? (s.width + 1) / 2 : 1;
        FillDeviceRect(box.adjusted(edge, edge, -edge, -edge), m_state.brush);
    }
    ClosedFigure(
        box,
        [&box](double inset) {
            QPainterPath p;
            p.addRect(QRectF(box.left() + inset, box.top() + inset, box.width() - 2 * inset,
                             box.height() - 2 * inset));
            return p;
        },
        false, false);
}

void CDC::RoundRect(int l, int t, int r, int b, int width, int height)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(l, t, r, b);
    const CSize corner = LPtoDP(CSize(width, height));
    const double rx = std::min(std::abs(corner.cx), box.width()) / 2.0;
    const double ry = std::min(std::abs(corner.cy), box.height()) / 2.0;
    ClosedFigure(
        box,
        [&box, rx, ry](double inset) {
            QPainterPath p;
            p.addRoundedRect(QRectF(box.left() + inset, box.top() + inset, box.width() - 2 * inset,
                                    box.height() - 2 * inset),
                             std::max(0.0, rx - inset), std::max(0.0, ry - inset));
            return p;
        },
        true);
}

void CDC::Ellipse(int l, int t, int r, int b)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(l, t, r, b);
    ClosedFigure(
        box,
        [&box](double inset) {
            QPainterPath p;
            p.addEllipse(QRectF(box.left() + inset, box.top() + inset, box.width() - 2 * inset,
                                box.height() - 2 * inset));
            return p;
        },
        true);
}

void CDC::ArcFigure(const CRect& r, CPoint start, CPoint end, ArcKind kind)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(r.left, r.top, r.right, r.bottom);
    if (box.isEmpty())
        return;
    // Angles of the radials, counter-clockwise on the device, measured on the
    // ellipse's own parameter so that the ends land on the radials.
    const QPointF centre(box.left() + box.width() / 2.0, box.top() + box.height() / 2.0);
    const auto angleOf = [&](CPoint logical) {
        const CPoint d = LPtoDP(logical);
        const double dx = (d.x + 0.5 - centre.x()) / box.width();
        const double dy = (centre.y() - (d.y + 0.5)) / box.height();
        return std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    };
    const double a0 = angleOf(start);
    double sweep = angleOf(end) - a0;
    while (sweep <= 0)
        sweep += 360.0;
    const auto makeShape = [&](double inset) {
        const QRectF rect(box.left() + inset, box.top() + inset, box.width() - 2 * inset,
                          box.height() - 2 * inset);
        QPainterPath p;
        if (kind == ArcKind::Pie) {
            p.moveTo(rect.center());
            p.arcTo(rect, a0, sweep);
            p.closeSubpath();
        } else {
            p.arcMoveTo(rect, a0);
            p.arcTo(rect, a0, sweep);
            if (kind == ArcKind::Chord)
                p.closeSubpath();
        }
        return p;
    };
    if (kind != ArcKind::Arc) {
        ClosedFigure(box, makeShape, true);
        return;
    }
    const Stroke s = CurrentStroke();
    if (s.visible)
        StrokeAreaPath(makeShape(s.insideFrame ? s.width / 2.0 : 0.5), s, Qt::RoundJoin, true);
}

void CDC::Arc(const CRect& r, CPoint start, CPoint end)
{
    ArcFigure(r, start, end, ArcKind::Arc);
}

void CDC::Pie(const CRect& r, CPoint start, CPoint end)
{
    ArcFigure(r, start, end, ArcKind::Pie);
}

void CDC::Chord(const CRect& r, CPoint start, CPoint end)
{
    ArcFigure(r, start, end, ArcKind::Chord);
}

void CDC::FillRect(const CRect& r, const CBrush& brush)
{
    if (Prepare())
        FillDeviceRect(DeviceRect(r.left, r.top, r.right, r.bottom), brush);
}

void CDC::FillSolidRect(const CRect& r, COLORREF color)
{
    if (Prepare())
        FillDeviceRect(DeviceRect(r.left, r.top, r.right, r.bottom), CBrush::Solid(color));
}

void CDC::FrameRect(const CRect& r, const CBrush& brush)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(r.left, r.top, r.right, r.bottom);
    if (box.isEmpty())
        return;
    const CSize unit = LPtoDP(CSize(1, 1));
    const int bx = std::clamp(std::abs(unit.cx), 1, box.width());
    const int by = std::clamp(std::abs(unit.cy), 1, box.height());
    QRegion frame(box);
    frame -= QRegion(box.adjusted(bx, by, -bx, -by));
    for (const QRect& part : frame)
        FillDeviceRect(part, brush);
}

void CDC::InvertPixels(const QRegion& region)
{
    const QPaintEngine* engine = m_painter->paintEngine();
    if (!engine || !engine->hasFeature(QPaintEngine::RasterOpModes))
        return;
    m_painter->save();
    m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const QRect& r : region)
        m_painter->fillRect(r, Qt::white);
    m_painter->restore();
}

void CDC::InvertRect(const CRect& r)
{
    if (Prepare())
        InvertPixels(QRegion(DeviceRect(r.left, r.top, r.right, r.bottom)));
}

void CDC::DrawFocusRect(const CRect& r)
{
    if (!Prepare())
        return;
    const QRect box = DeviceRect(r.left, r.top, r.right, r.bottom);
    if (box.isEmpty())
        return;
    // Every other pixel around the border, each pixel once, so that drawing
    // the frame a second time restores what was there.
    const int l = box.left(), t = box.top();
    const int rgt = l + box.width() - 1, btm = t + box.height() - 1;
    std::vector<QPoint> border;
    for (int x = l; x <= rgt; ++x)
        border.emplace_back(x, t);
    for (int y = t + 1; y <= btm; ++y)
        border.emplace_back(rgt, y);
    if (btm > t) {
        for (int x = rgt - 1; x >= l; --x)
            border.emplace_back(x, btm);
    }
    if (rgt > l) {
        for (int y = btm - 1; y > t; --y)
            border.emplace_back(l, y);
    }
    QRegion dots;
    for (size_t i = 0; i < border.size(); i += 2)
        dots += QRect(border[i], QSize(1, 1));
    InvertPixels(dots);
}

void CDC::SetPixel(int x, int y, COLORREF color)
{
    if (!Prepare())
        return;
    const CPoint d = LPtoDP(CPoint(x, y));
    m_painter->fillRect(QRect(d.x, d.y, 1, 1), ToQColor(color));
}

// --- pictures ------------------------------------------------------------------

void CDC::DrawImage(const QImage& image, const CRect& dest)
{
    DrawImage(image, dest, image.rect());
}

void CDC::DrawImage(const QImage& image, const CRect& dest, const QRect& source)
{
    if (image.isNull() || source.isEmpty() || !Prepare())
        return;
    const CRect d = LPtoDP(dest);
    if (d.Width() == 0 || d.Height() == 0)
        return;
    // The whole picture is drawn as it is, so that a device that keeps
    // pictures (a PDF) can keep it once however often it is drawn.
    const QImage part = source == image.rect() ? image : image.copy(source);
    const QRect target(std::min(d.left, d.right), std::min(d.top, d.bottom), std::abs(d.Width()),
                       std::abs(d.Height()));
    PaintImage(part, target, d.Width() < 0, d.Height() < 0);
}

void CDC::DrawImageAt(const QImage& image, CPoint topLeft, double dpiX, double dpiY)
{
    if (image.isNull() || !(dpiX > 0) || !(dpiY > 0) || !Prepare())
        return;
    // Device pixels per picture pixel, negative along a reversed axis.
    const double kx = DeviceUnitsPerLogicalX() * 254.0 / dpiX;
    const double ky = DeviceUnitsPerLogicalY() * 254.0 / dpiY;
    const auto whole = [](double k) {
        const double a = std::abs(k);
        const long long n = std::llround(a);
        return n >= 1 && n <= 1024 && std::abs(a - double(n)) < 1e-6 * double(n) ? int(n) : 0;
    };
    const auto snap = [](int v, int n) {
        if (n < 2)
            return v;
        const int r = ((v % n) + n) % n;
        return 2 * r < n ? v - r : v - r + n;
    };
    const int nx = whole(kx);
    const int ny = whole(ky);
    const CPoint corner = LPtoDP(topLeft);
    const long long w = nx ? static_cast<long long>(image.width()) * nx
                           : std::llround(image.width() * std::abs(kx));
    const long long h = ny ? static_cast<long long>(image.height()) * ny
                           : std::llround(image.height() * std::abs(ky));
    if (w <= 0 || h <= 0 || w > INT_MAX / 2 || h > INT_MAX / 2)
        return;
    const int x = snap(corner.x, nx);
    const int y = snap(corner.y, ny);
    const QRect target(kx < 0 ? x - int(w) : x, ky < 0 ? y - int(h) : y, int(w), int(h));
    PaintImage(image, target, kx < 0, ky < 0);
}

namespace {

// Whether two rows of a 1-bit picture hold the same pixels.
bool SameMonoRow(const QImage& mono, int a, int b)
{
    const int full = mono.width() / 8;
    const uchar* ra = mono.constScanLine(a);
    const uchar* rb = mono.constScanLine(b);
    if (std::memcmp(ra, rb, size_t(full)) != 0)
        return false;
    const int rest = mono.width() % 8;
    if (rest == 0)
        return true;
    const uchar mask = uchar(0xFF << (8 - rest));
    return ((ra[full] ^ rb[full]) & mask) == 0;
}

} // namespace

void CDC::PaintImage(const QImage& image, const QRect& target, bool mirrorX, bool mirrorY)
{
    if (image.isNull() || target.isEmpty())
        return;
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QList<QRgb> table = image.depth() == 1 ? image.colorTable() : QList<QRgb>();
    const bool blackFirst = table.size() == 2 && table[0] == black && table[1] == white;
    const bool whiteFirst = table.size() == 2 && table[0] == white && table[1] == black;
    if (!blackFirst && !whiteFirst) {
        // Colour, or 1-bit in two other colours: at least never lossy.
        m_painter->save();
        m_painter->setRenderHint(QPainter::LosslessImageRendering, image.depth() == 1);
        m_painter->drawImage(target, mirrorX || mirrorY ? image.mirrored(mirrorX, mirrorY) : image);
        m_painter->restore();
        return;
    }

    // Black and white goes out 1-bit with index 0 black and index 1 white,
    // the table PDF writers and printers keep as 1-bit.
    QImage mono =
        image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_Mono);
    if (mirrorX || mirrorY)
        mono = mono.mirrored(mirrorX, mirrorY);
    const int width = mono.width();
    const int rows = mono.height();
    const size_t bytes = size_t((width + 7) / 8);

    // Rows as the device gets them: index 0 black, index 1 white.
    const auto copyRow = [&](const uchar* from, uchar* to) {
        if (whiteFirst) {
            for (size_t b = 0; b < bytes; ++b)
                to[b] = uchar(~from[b]);
        } else {
            std::memcpy(to, from, bytes);
        }
    };
    const auto newPicture = [&](int height) {
        QImage picture(width, height, QImage::Format_Mono);
        if (!picture.isNull())
            picture.setColorTable({black, white});
        return picture;
    };
    const double perRow = double(target.height()) / rows;

    // Runs of identical rows, each drawn over the device rows the run
    // covers; a picture with few repeated rows goes out whole as an image.
    std::vector<int> runStarts;
    for (int row = 0; row < rows; ++row) {
        if (row == 0 || !SameMonoRow(mono, row - 1, row))
            runStarts.push_back(row);
    }
    if (runStarts.size() * 4 > size_t(rows)) {
        QImage picture = whiteFirst ? newPicture(rows) : mono;
        if (picture.isNull())
            return;
        if (whiteFirst) {
            for (int y = 0; y < rows; ++y)
                copyRow(mono.constScanLine(y), picture.scanLine(y));
        }
        m_painter->drawImage(target, picture);
    } else {
        // Bands are drawn as what they are: a white rectangle with the black
        // runs of their row on it, each edge on a device pixel. The device
        // gets exact rectangles (a PDF gets vector bars) and no picture.
        runStarts.push_back(rows);
        const double perColumn = double(target.width()) / width;
        const auto columnAt = [&](int x) {
            return target.left() + int(std::lround(x * perColumn));
        };
        // The right and bottom edges stop a sixty-fourth of a device pixel
        // short: a renderer that counts a pixel merely touched by a fill's
        // far edge (poppler does) then paints exactly the bar's pixels.
        constexpr double kShort = 1.0 / 64;
        std::vector<QRectF> bars;
        for (size_t i = 0; i + 1 < runStarts.size(); ++i) {
            const int top = target.top() + int(std::lround(runStarts[i] * perRow));
            const int bottom = target.top() + int(std::lround(runStarts[i + 1] * perRow));
            if (bottom <= top)
                continue;
            const uchar* row = mono.constScanLine(runStarts[i]);
            const auto isBlack = [row, whiteFirst](int x) {
                const bool set = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
                return set == whiteFirst;
            };
            for (int x = 0; x < width;) {
                if (!isBlack(x)) {
                    ++x;
                    continue;
                }
                int end = x + 1;
                while (end < width && isBlack(end))
                    ++end;
                const int left = columnAt(x);
                const int right = columnAt(end);
                if (right > left)
                    bars.emplace_back(left, top, right - left - kShort, bottom - top - kShort);
                x = end;
            }
        }
        m_painter->save();
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(Qt::white);
        m_painter->drawRect(
            QRectF(target.left(), target.top(), target.width() - kShort, target.height() - kShort));
        m_painter->setBrush(Qt::black);
        if (!bars.empty())
            m_painter->drawRects(bars.data(), int(bars.size()));
        m_painter->restore();
        return;
    }

    // One picture pixel of white after the right and bottom edges: a
    // renderer that paints a device pixel past an image's far edges (poppler
    // does, and with it the print filters) has its spill painted over, so
    // the last bar keeps its width.
    const int column = std::max(1, int(std::lround(double(target.width()) / width)));
    const int line = std::max(1, int(std::lround(perRow)));
    const QRect strips[2] = {
        QRect(target.left() + target.width(), target.top(), column, target.height() + line),
        QRect(target.left(), target.top() + target.height(), target.width(), line)};
    m_painter->save();
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(Qt::white);
    m_painter->drawRects(strips, 2);
    m_painter->restore();
}

// --- fonts ---------------------------------------------------------------------

QString CDC::SubstituteFaceName(const QString& face)
{
    RegisterShippedFaces();
    for (const FaceSubstitute& s : kFaceSubstitutes) {
        if (face.compare(QLatin1String(s.requested), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.installed);
    }
    return face;
}

CDC::Faces CDC::TakeFaces()
{
    Faces faces;
    faces.list = std::move(m_faces);
    m_faces.clear();
    return faces;
}

void CDC::GiveFaces(Faces&& faces)
{
    if (faces.list.empty())
        return;
    m_faces = std::move(faces.list);
    faces.list.clear();
}

const CDC::Face& CDC::CurrentFace() const
{
    const LogFontFields& lf = m_state.font;
    for (auto it = m_faces.begin(); it != m_faces.end(); ++it) {
        if (it->font == lf) {
            if (it + 1 != m_faces.end())
                std::rotate(it, it + 1, m_faces.end());
            return m_faces.back();
        }
    }
    if (m_faces.size() >= 16)
        m_faces.erase(m_faces.begin());

    Face face;
    face.font = lf;
    const QFont qfont = MakeQFont(lf, 100);
    QRawFont raw = QRawFont::fromFont(qfont);
    face.family = raw.isValid() ? raw.familyName() : qfont.family();

    // The face's own Windows metrics: OS/2 usWinAscent/usWinDescent,
    // xAvgCharWidth and strike-out, head unitsPerEm, hhea line gap and widest
    // advance, post underline.
    double winAscent = -1, winDescent = -1, aveWidth = 0, maxWidth = 0, lineGap = 0;
    double hheaAscent = 0, hheaDescent = 0;
    double underlineTop = 0, underlineSize = 0, strikeOutTop = 0, strikeOutSize = 0;
    if (raw.isValid()) {
        const QByteArray os2 = raw.fontTable("OS/2");
        const QByteArray head = raw.fontTable("head");
        const QByteArray hhea = raw.fontTable("hhea");
        const QByteArray post = raw.fontTable("post");
        const int upem = TableU16(head, 18);
        const int ascent = TableU16(os2, 74);
        const int descent = TableU16(os2, 76);
        if (upem > 0 && ascent >= 0 && descent >= 0 && ascent + descent > 0) {
            face.unitsPerEm = upem;
            winAscent = ascent;
            winDescent = descent;
            aveWidth = TableS16(os2, 2);
            if (hhea.size() >= 12) {
                hheaAscent = TableS16(hhea, 4);
                hheaDescent = TableS16(hhea, 6);
                lineGap = TableS16(hhea, 8);
                maxWidth = TableU16(hhea, 10);
            }
            strikeOutSize = TableS16(os2, 26);
            strikeOutTop = TableS16(os2, 28);
            if (post.size() >= 12) {
                underlineTop = -TableS16(post, 8);
                underlineSize = TableS16(post, 10);
            }
        }
    }
    if (winAscent < 0) {
        // No tables to read: the metrics Qt reports, at an em of 1000 units.
        const QFontMetricsF fm(MakeQFont(lf, 1000));
        face.unitsPerEm = 1000;
        winAscent = fm.ascent();
        winDescent = fm.descent();
        aveWidth = fm.averageCharWidth();
        maxWidth = fm.maxWidth();
        lineGap = fm.leading();
        hheaAscent = winAscent;
        hheaDescent = -winDescent;
    }
    if (underlineSize <= 0) {
        underlineTop = 0.1 * face.unitsPerEm;
        underlineSize = 0.05 * face.unitsPerEm;
    }
    if (strikeOutSize <= 0) {
        strikeOutTop = 0.3 * face.unitsPerEm;
        strikeOutSize = 0.05 * face.unitsPerEm;
    }
    if (aveWidth <= 0 && raw.isValid()) {
        raw.setPixelSize(face.unitsPerEm);
        const QList<quint32> x = raw.glyphIndexesForString(QStringLiteral("x"));
        if (!x.isEmpty())
            aveWidth = raw.advancesForGlyphIndexes(x, QRawFont::UseDesignMetrics).value(0).x();
    }
    if (raw.isValid()) {
        raw.setPixelSize(face.unitsPerEm);
        face.design = raw;
    }

    const double upem = face.unitsPerEm;
    if (lf.lfHeight > 0)
        face.emLog = lf.lfHeight * upem / (winAscent + winDescent);
    else if (lf.lfHeight < 0)
        face.emLog = -double(lf.lfHeight);
    else
        face.emLog = kDefaultEmLog;
    const double perUnit = face.emLog / upem;
    face.ascentLog = winAscent * perUnit;
    face.descentLog = winDescent * perUnit;
    face.externalLeadingLog =
        std::max(0.0, lineGap - ((winAscent + winDescent) - (hheaAscent - hheaDescent))) * perUnit;
    face.aveCharWidthLog = aveWidth * perUnit;
    face.maxCharWidthLog = maxWidth * perUnit;
    face.underlineTopLog = underlineTop * perUnit;
    face.underlineSizeLog = underlineSize * perUnit;
    face.strikeOutTopLog = strikeOutTop * perUnit;
    face.strikeOutSizeLog = strikeOutSize * perUnit;
    if (lf.lfWidth != 0 && face.aveCharWidthLog > 0) {
        face.stretchX = std::abs(lf.lfWidth) / face.aveCharWidthLog;
        face.aveCharWidthLog *= face.stretchX;
        face.maxCharWidthLog *= face.stretchX;
    }
    m_faces.push_back(std::move(face));
    return m_faces.back();
}

QRawFont CDC::GlyphFont(const Face& face, double pixelSize) const
{
    // Kept with the face, so that texts in different fonts drawn in turn
    // (a label's name and its barcode's digits) do not make the font again
    // for every draw.
    if (face.sizedPixels != pixelSize) {
        face.sized = face.design;
        if (face.sized.isValid())
            face.sized.setPixelSize(pixelSize);
        face.sizedPixels = pixelSize;
    }
    return face.sized;
}

CDC::Glyphs CDC::Shape(const Face& face, const QString& text) const
{
    Glyphs g;
    g.advancesLog.assign(size_t(text.size()), 0.0);
    if (!face.design.isValid() || text.isEmpty())
        return g;
    const double perUnit = face.emLog / face.unitsPerEm * face.stretchX;

    // Text of single UTF-16 units takes its glyphs from the face's table,
    // which reads only the characters it has not seen yet from the font.
    const bool pairs =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
    if (!pairs) {
        QString unseen;
        for (QChar c : text) {
            if (!face.glyphs.contains(c.unicode()) && !unseen.contains(c))
                unseen += c;
        }
        bool known = true;
        if (!unseen.isEmpty()) {
            const QList<quint32> indexes = face.design.glyphIndexesForString(unseen);
            if (indexes.size() == unseen.size()) {
                const QList<QPointF> advances =
                    face.design.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics);
                for (qsizetype i = 0; i < unseen.size(); ++i)
                    face.glyphs.insert(unseen.at(i).unicode(), {indexes[i], advances.value(i).x()});
            } else {
                known = false;
            }
        }
        if (known) {
            g.indexes.reserve(text.size());
            g.unitOfGlyph.reserve(size_t(text.size()));
            for (qsizetype i = 0; i < text.size(); ++i) {
                const Face::GlyphMetric m = face.glyphs.value(text.at(i).unicode());
                g.indexes.append(m.index);
                g.unitOfGlyph.push_back(int(i));
                g.advancesLog[size_t(i)] = m.advance * perUnit;
            }
            return g;
        }
    }

    g.indexes = face.design.glyphIndexesForString(text);
    const QList<QPointF> advances =
        face.design.advancesForGlyphIndexes(g.indexes, QRawFont::UseDesignMetrics);
    // One glyph per code point.
    qsizetype glyph = 0;
    for (qsizetype i = 0; i < text.size() && glyph < g.indexes.size(); ++i, ++glyph) {
        g.unitOfGlyph.push_back(int(i));
        g.advancesLog[size_t(i)] = advances.value(glyph).x() * perUnit;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    g.indexes.resize(qsizetype(g.unitOfGlyph.size()));
    return g;
}

CTextMetrics CDC::GetTextMetrics() const
{
    const Face& f = CurrentFace();
    CTextMetrics tm;
    tm.tmAscent = RoundHalfUp(f.ascentLog);
    tm.tmDescent = RoundHalfUp(f.descentLog);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - RoundHalfUp(f.emLog));
    tm.tmExternalLeading = RoundHalfUp(f.externalLeadingLog);
    tm.tmAveCharWidth = RoundHalfUp(f.aveCharWidthLog);
    tm.tmMaxCharWidth = RoundHalfUp(f.maxCharWidthLog);
    tm.tmWeight = f.font.lfWeight > 0 ? int(f.font.lfWeight) : 400;
    tm.tmItalic = f.font.lfItalic != 0;
    tm.tmUnderlined = f.font.lfUnderline != 0;
    tm.tmStruckOut = f.font.lfStrikeOut != 0;
    return tm;
}

QString CDC::GetTextFace() const
{
    return CurrentFace().family;
}

std::vector<double> CDC::GetCharAdvances(const QString& text) const
{
    return Shape(CurrentFace(), text).advancesLog;
}

CSize CDC::GetTextExtent(const QString& text) const
{
    const Face& f = CurrentFace();
    double width = 0;
    for (double a : Shape(f, text).advancesLog)
        width += a;
    return CSize(RoundHalfUp(width), RoundHalfUp(f.ascentLog) + RoundHalfUp(f.descentLog));
}

// --- text ----------------------------------------------------------------------

void CDC::TextOut(int x, int y, const QString& text)
{
    ExtTextOut(x, y, 0, nullptr, text);
}

void CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, const QString& text,
                     std::span<const int> dx)
{
    const bool updateCp = (m_state.textAlign & TA_UPDATECP) != 0;
    const CPoint ref = updateCp ? m_state.currentPos : CPoint(x, y);
    if (!Prepare()) {
        if (updateCp)
            DrawText(QPointF(), text, dx, true);
        return;
    }
    m_painter->save();
    if (rect && (options & ETO_OPAQUE))
        m_painter->fillRect(DeviceRect(rect->left, rect->top, rect->right, rect->bottom),
                            ToQColor(m_state.bkColor));
    if (rect && (options & ETO_CLIPPED))
        m_painter->setClipRect(DeviceRect(rect->left, rect->top, rect->right, rect->bottom),
                               m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    const CPoint d = LPtoDP(ref);
    DrawText(QPointF(d.x, d.y), text, dx, updateCp);
    m_painter->restore();
}

// Draws the text with its reference point at refDevice, or only moves the
// current position when there is no painter.
void CDC::DrawText(QPointF refDevice, const QString& text, std::span<const int> dx, bool updateCp)
{
    const Face& face = CurrentFace();
    const Glyphs g = Shape(face, text);
    const double sx = std::abs(DeviceUnitsPerLogicalX());
    const double sy = std::abs(DeviceUnitsPerLogicalY());

    // Pen positions along the baseline, in logical units from the start.
    std::vector<double> unitPos(size_t(text.size()) + 1, 0.0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const double advance = size_t(i) < dx.size() ? dx[size_t(i)] : g.advancesLog[size_t(i)];
        unitPos[size_t(i) + 1] = unitPos[size_t(i)] + advance;
    }
    const double widthLog = unitPos.back();

    const unsigned horizontal = m_state.textAlign & TA_CENTER;
    const unsigned vertical = m_state.textAlign & TA_BASELINE;
    const double angle = m_state.font.lfEscapement / 10.0;
    if (updateCp) {
        // The current position moves along the baseline to the far end of
        // left-aligned text, the near end of right-aligned text.
        const double along =
            horizontal == TA_LEFT ? widthLog : (horizontal == TA_RIGHT ? -widthLog : 0.0);
        const double rad = angle * std::numbers::pi / 180.0;
        const double sxSigned = DeviceUnitsPerLogicalX();
        const double sySigned = DeviceUnitsPerLogicalY();
        m_state.currentPos.x += RoundHalfAway(along * sx * std::cos(rad) / sxSigned);
        m_state.currentPos.y += RoundHalfAway(-along * sy * std::sin(rad) / sySigned);
    }
    if (!m_painter || !m_painter->isActive() || text.isEmpty())
        return;

    const double width = widthLog * sx;
    const double ascent = face.ascentLog * sy;
    const double descent = face.descentLog * sy;
    double x0 = 0;
    if (horizontal == TA_RIGHT)
        x0 = -width;
    else if (horizontal == TA_CENTER)
        x0 = -width / 2;
    double baseline = ascent;
    if (vertical == TA_BASELINE)
        baseline = 0;
    else if (vertical == TA_BOTTOM)
        baseline = -descent;

    // Upright text at its own width is placed by its coordinates alone: a
    // change of the painter's transform costs a PDF a state change before
    // and after every piece of text.
    const double stretch = face.stretchX;
    const bool moved = angle != 0 || stretch != 1.0;
    const QPointF origin = moved ? QPointF() : refDevice;
    if (moved) {
        m_painter->translate(refDevice);
        if (angle != 0)
            m_painter->rotate(-angle);
    }
    if (m_state.bkMode == OPAQUE)
        m_painter->fillRect(QRectF(origin.x() + x0, origin.y() + baseline - ascent, width,
                                   ascent + descent),
                            ToQColor(m_state.bkColor));

    // Decorations span the whole advance. Upright text keeps them on whole
    // pixels so that they stay crisp and never vanish between two rows.
    const QColor textColor = ToQColor(m_state.textColor);
    const auto decoration = [&](double top, double size) {
        size = std::max(1.0, size);
        if (angle == 0) {
            top = RoundHalfAway(top);
            size = std::max(1, RoundHalfUp(size));
        }
        m_painter->fillRect(QRectF(origin.x() + x0, origin.y() + top, width, size), textColor);
    };
    if (face.font.lfUnderline)
        decoration(baseline + face.underlineTopLog * sy, face.underlineSizeLog * sy);
    if (face.font.lfStrikeOut)
        decoration(baseline - face.strikeOutTopLog * sy, face.strikeOutSizeLog * sy);

    if (!face.design.isValid() || g.indexes.isEmpty())
        return;

    // Glyph outlines are stretched by lfWidth; their positions already are.
    if (stretch != 1.0)
        m_painter->scale(stretch, 1.0);
    QList<QPointF> positions;
    positions.reserve(g.indexes.size());
    for (int unit : g.unitOfGlyph)
        positions << QPointF(origin.x() + (x0 + unitPos[size_t(unit)] * sx) / stretch,
                             origin.y() + baseline);

    QGlyphRun run;
    run.setRawFont(GlyphFont(face, std::max(face.emLog * sy, 0.1)));
    run.setGlyphIndexes(g.indexes);
    run.setPositions(positions);
    m_painter->setPen(textColor);
    m_painter->drawGlyphRun(QPointF(0, 0), run);
}

// --- image context -------------------------------------------------------------

namespace dc_detail {
namespace {
QImage WhiteImage(int widthPx, int heightPx, double dpiX, double dpiY)
{
    QImage image(std::max(widthPx, 1), std::max(heightPx, 1), QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(RoundHalfUp(dpiX / 0.0254));
    image.setDotsPerMeterY(RoundHalfUp(dpiY / 0.0254));
    return image;
}
} // namespace

ImageSurface::ImageSurface(int widthPx, int heightPx, double dpiX, double dpiY)
    : image(WhiteImage(widthPx, heightPx, dpiX, dpiY)), painter(&image)
{
}
} // namespace dc_detail

CImageDC::CImageDC(int widthPx, int heightPx, double dpiX, double dpiY)
    : ImageSurface(widthPx, heightPx, dpiX, dpiY), CDC(&painter, false)
{
    SetDeviceCaps(dpiX, dpiY, CSize(image.width(), image.height()));
}

CImageDC::~CImageDC() = default;
