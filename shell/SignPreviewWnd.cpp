#include "SignPreviewWnd.h"

#include "DC.h"
#include "DesignView.h"
#include "ElementList.h"
#include "Paper.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kExtent = 100000;
constexpr int kMarginPx = 16;

} // namespace

CSignPreviewWnd::CSignPreviewWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("signPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_shadow = CDesignView::s_showShadow;
}

void CSignPreviewWnd::SetPosition(const QRect& rect)
{
    setGeometry(rect);
    RecalcScale(rect.size());
    update();
}

void CSignPreviewWnd::SetShadow(bool on)
{
    m_shadow = on;
    update();
}

void CSignPreviewWnd::RecalcScale(const QSize& size)
{
    CPaper& paper = ThePaper();
    const int w = paper.GetSignWidth();
    const int h = paper.GetSignHeight();
    const int shadow = m_shadow ? CDesignView::ShadowFor(w, h) : 0;
    if (w <= 0 || h <= 0) {
        m_scale = 0;
        return;
    }
    const double availableW = std::max(1, size.width() - 2 * kMarginPx);
    const double availableH = std::max(1, size.height() - 2 * kMarginPx);
    m_scale = std::min(availableW / (w + shadow), availableH / (h + shadow));
    m_origin = QPoint((size.width() - int(std::lround((w + shadow) * m_scale))) / 2,
                      (size.height() - int(std::lround((h + shadow) * m_scale))) / 2);
}

void CSignPreviewWnd::Render(QPainter& painter, const QSize& size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xc0, 0xc0, 0xc0));
    RecalcScale(size);
    const CPaperStock* stock = ThePaper().Current();
    if (!stock || !(m_scale > 0))
        return;
    const int w = ThePaper().GetSignWidth();
    const int h = ThePaper().GetSignHeight();
    CDC dc(&painter, true); // what the printer gets: no design-time marks
    dc.SetWindowExt(kExtent, kExtent);
    const int extent = std::max(1, int(std::lround(m_scale * kExtent)));
    dc.SetViewportExt(extent, extent);
    dc.SetViewportOrg(m_origin.x(), m_origin.y());
    auto shape = [&](const CRect& r) {
        if (stock->type == 1)
            dc.Ellipse(r);
        else
            dc.RoundRect(r, CPoint(2 * stock->cornerRadius, 2 * stock->cornerRadius));
    };
    const CPen oldPen = dc.SelectPen(CPen(PS_SOLID, 0, MakeRGB(0, 0, 0)));
    const CBrush oldBrush = dc.SelectBrush(CBrush::Solid(MakeRGB(0, 0, 0)));
    if (m_shadow) {
        const int shadow = CDesignView::ShadowFor(w, h);
        shape(CRect(shadow, shadow, w + shadow, h + shadow));
    }
    dc.SelectBrush(CBrush::Solid(MakeRGB(255, 255, 255)));
    shape(CRect(0, 0, w, h));
    {
        const int saved = dc.SaveDC();
        dc.IntersectClipRect(CRect(0, 0, w, h));
        TheElementList().Draw(&dc, CRect(0, 0, w, h));
        dc.RestoreDC(saved);
    }
    dc.SelectBrush(CBrush::Null());
    shape(CRect(0, 0, w, h));
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CSignPreviewWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Render(painter, size());
}

void CSignPreviewWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcScale(size());
}
