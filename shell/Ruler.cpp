#include "Ruler.h"

#include "Grid.h"
#include "Rounding.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace {

// Minor divisions and mid-tick period for n major units per label.
struct Steps
{
    int divisions;
    int midPeriod;
};

Steps StepsFor(int n)
{
    static constexpr Steps table[] = {
        {10, 5}, {8, 4}, {6, 2}, {8, 2}, {5, 5}, {6, 3}, {7, 7}, {8, 2},
    };
    if (n >= 1 && n <= 8)
        return table[n - 1];
    return {n, n};
}

constexpr int kMaxTicks = 100000;

} // namespace

CRuler::CRuler(QWidget* canvas, CRulerClient* client, int kind, int units)
    : QWidget(canvas), m_client(client), m_kind(kind), m_units(units == 1 ? 1 : 0)
{
    setObjectName(kind == HorizontalRuler ? QStringLiteral("horizontalRuler")
                  : kind == VerticalRuler ? QStringLiteral("verticalRuler")
                                          : QStringLiteral("rulerCorner"));
    m_font = QFont(QStringLiteral("Sans Serif"));
    m_font.setPointSizeF(8);
    setFont(m_font);

    const QFontMetrics fm(m_font, this);
    const int a = fm.ascent();
    const int w = fm.horizontalAdvance(QStringLiteral("-000"));
    m_rulerHeight = 2 * a;
    m_rulerWidth = w + a;
    // Equal physical thickness on screens whose pixels are not square.
    const int aspectX = std::max(1, logicalDpiY());
    const int aspectY = std::max(1, logicalDpiX());
    if (m_rulerWidth * aspectX < m_rulerHeight * aspectY)
        m_rulerWidth = m_rulerHeight * aspectY / aspectX;
    else
        m_rulerHeight = m_rulerWidth * aspectX / aspectY;
    m_ascent = a;
    m_shortTick = RoundHalfUp(a * 0.3333333333333333);
    m_midTick = 2 * m_shortTick;

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);

    RecalcScale();
    SyncOrigin();
    show();
}

CRuler::~CRuler() = default;

void CRuler::SetUnits(int units)
{
    m_units = units == 1 ? 1 : 0;
    RecalcScale();
    update();
}

void CRuler::Reposition()
{
    const QWidget* canvas = parentWidget();
    if (!canvas)
        return;
    const int cw = canvas->width();
    const int ch = canvas->height();
    switch (m_kind) {
    case HorizontalRuler:
        setGeometry(m_rulerWidth, 0, std::max(0, cw - m_rulerWidth), m_rulerHeight);
        break;
    case VerticalRuler:
        setGeometry(0, m_rulerHeight, m_rulerWidth, std::max(0, ch - m_rulerHeight));
        break;
    default:
        setGeometry(0, 0, m_rulerWidth, m_rulerHeight);
        break;
    }
}

CRulerScale CRuler::ChooseScale(int units, int labelExtent)
{
    CRulerScale s;
    s.major = units == 1 ? 254 : 100;
    s.n = std::max(0, labelExtent) / s.major + 1;
    const Steps steps = StepsFor(s.n);
    s.divisions = steps.divisions;
    s.midPeriod = steps.midPeriod;
    s.minorStep = static_cast<double>(s.n) * s.major / s.divisions;
    return s;
}

void CRuler::RecalcScale()
{
    if (m_kind != HorizontalRuler && m_kind != VerticalRuler)
        return;
    if (m_client) {
        const CSize win = m_client->RulerWindowExt();
        const CSize vp = m_client->RulerViewportExt();
        m_winExt = m_kind == HorizontalRuler ? win.cx : win.cy;
        m_vpExt = m_kind == HorizontalRuler ? vp.cx : vp.cy;
    }
    if (m_winExt == 0)
        m_winExt = 1;
    if (m_vpExt == 0)
        m_vpExt = 1;
    const QFontMetrics fm(m_font, this);
    const int labelPx =
        m_kind == HorizontalRuler ? fm.horizontalAdvance(QStringLiteral("-000")) : fm.height();
    const int labelExtent = RoundHalfUp(std::abs(double(labelPx) * m_winExt / m_vpExt));
    m_scale = ChooseScale(m_units, labelExtent);
    update();
}

void CRuler::SyncOrigin()
{
    if (!m_client)
        return;
    const CPoint org = m_client->RulerViewportOrg();
    if (m_kind == HorizontalRuler)
        m_vpOrg = org.x - m_rulerWidth;
    else if (m_kind == VerticalRuler)
        m_vpOrg = org.y - m_rulerHeight;
    update();
}

int CRuler::ToPixel(int position) const
{
    return RoundHalfAway(double(position) * m_vpExt / m_winExt) + m_vpOrg;
}

int CRuler::ToDesign(int pixel) const
{
    return RoundHalfAway(double(pixel - m_vpOrg) * m_winExt / m_vpExt);
}

std::vector<CRulerTick> CRuler::Ticks(const CRulerScale& scale, int start, int end)
{
    std::vector<CRulerTick> ticks;
    if (!(scale.minorStep > 0) || scale.divisions <= 0 || scale.midPeriod <= 0)
        return ticks;
    // The walk starts at the tick index of the start, truncated toward zero.
    long long i = static_cast<long long>(start / scale.minorStep);
    for (int count = 0; count < kMaxTicks; ++count, ++i) {
        const int position = RoundHalfAway(double(i) * scale.minorStep);
        if (position >= end)
            break;
        CRulerTick t;
        t.index = static_cast<int>(i);
        t.position = position;
        if (i % scale.divisions == 0) {
            t.kind = CRulerTick::Labelled;
            const int value = position / scale.major;
            t.label = QString::number(value);
            t.red = value == 0;
        } else if (i % scale.midPeriod == 0) {
            t.kind = CRulerTick::Mid;
        }
        ticks.push_back(t);
    }
    return ticks;
}

std::vector<CRulerTick> CRuler::VisibleTicks() const
{
    if (m_kind != HorizontalRuler && m_kind != VerticalRuler)
        return {};
    const int length = m_kind == HorizontalRuler ? width() : height();
    // The client area less one pixel at the start and two at the end.
    int start = ToDesign(1);
    int end = ToDesign(length - 2);
    if (start > end)
        std::swap(start, end);
    return Ticks(m_scale, start, end);
}

void CRuler::Show(bool hide)
{
    m_hidden = hide;
    setVisible(!hide);
}

void CRuler::TrackPosition(int x, int y)
{
    if (m_kind == HorizontalRuler)
        m_marker = x - this->x();
    else if (m_kind == VerticalRuler)
        m_marker = y - this->y();
    else
        return;
    update();
}

void CRuler::SetGuideCursor()
{
    m_guideCursor = true;
    setCursor(m_kind == VerticalRuler ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void CRuler::ResetCursor()
{
    m_guideCursor = false;
    setCursor(Qt::ArrowCursor);
}

void CRuler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();

    // A raised frame.
    p.setPen(Qt::white);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
    p.setPen(Qt::black);
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);

    p.setFont(m_font);
    if (m_kind == CornerBox) {
        p.setPen(Qt::red);
        p.drawText(rect(), Qt::AlignCenter,
                   m_units == 1 ? QStringLiteral("in") : QStringLiteral("cm"));
        return;
    }
    if (m_kind != HorizontalRuler && m_kind != VerticalRuler)
        return;

    const bool horizontal = m_kind == HorizontalRuler;
    const QFontMetrics fm(m_font, this);
    // Ticks end 3 pixels before the edge next to the canvas.
    const int inner = (horizontal ? h : w) - 3;
    for (const CRulerTick& t : VisibleTicks()) {
        const int at = ToPixel(t.position);
        const int length = t.kind == CRulerTick::Labelled ? m_ascent
                           : t.kind == CRulerTick::Mid    ? m_midTick
                                                          : m_shortTick;
        p.setPen(t.red ? Qt::red : Qt::black);
        if (horizontal)
            p.drawLine(at, inner - length, at, inner - 1);
        else
            p.drawLine(inner - length, at, inner - 1, at);
        if (t.kind != CRulerTick::Labelled)
            continue;
        const int textWidth = fm.horizontalAdvance(t.label);
        if (horizontal)
            p.drawText(at - textWidth / 2, m_rulerHeight - m_ascent - 4, t.label);
        else
            p.drawText(m_rulerWidth - m_ascent - 4 - textWidth, at, t.label);
    }

    if (m_marker >= 0) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        if (horizontal)
            p.drawLine(m_marker, 1, m_marker, inner - 1);
        else
            p.drawLine(1, m_marker, inner - 1, m_marker);
    }
}

QPoint CRuler::ToCanvas(QPoint rulerPos) const
{
    return mapToParent(rulerPos);
}

int CRuler::RulerKindAt(QPoint canvasPos) const
{
    const QWidget* canvas = parentWidget();
    if (!canvas)
        return None;
    for (const CRuler* r : canvas->findChildren<CRuler*>(Qt::FindDirectChildrenOnly)) {
        if (!r->IsHiddenRuler() && r->geometry().contains(canvasPos))
            return r->Kind();
    }
    return None;
}

void CRuler::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_kind == CornerBox) {
        TheGrid().ToggleUnits();
        return;
    }
    if (!m_client || (m_kind != HorizontalRuler && m_kind != VerticalRuler))
        return;
    const bool vertical = m_kind == VerticalRuler;
    const QPoint at = ToCanvas(event->position().toPoint());
    if (m_client->BeginGuide(vertical, vertical ? at.x() : at.y())) {
        m_dragging = true;
        SetGuideCursor();
    }
}

void CRuler::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || !m_client)
        return;
    m_client->TrackGuide(m_kind == VerticalRuler, ToCanvas(event->position().toPoint()));
}

void CRuler::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    const QPoint at = ToCanvas(event->position().toPoint());
    if (m_client)
        m_client->EndGuide(m_kind == VerticalRuler, at, RulerKindAt(at));
    ResetCursor();
}
