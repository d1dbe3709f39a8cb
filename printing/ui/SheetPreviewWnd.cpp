#include "SheetPreviewWnd.h"

#include "DC.h"
#include "ElementList.h"
#include "Paper.h"
#include "Printer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

// Logical units per window extent step: the mapping carries the scale to
// a hundred-thousandth of a pixel per tenth of a millimetre.
constexpr int kExtent = 100000;
constexpr int kMarginPx = 12;
constexpr COLORREF kBlack = MakeRGB(0, 0, 0);
constexpr COLORREF kWhite = MakeRGB(255, 255, 255);
constexpr COLORREF kUsed = MakeRGB(214, 214, 214);
constexpr COLORREF kShadow = MakeRGB(96, 96, 96);

// The page's shadow offset for a page size, in tenths of a millimetre.
int ShadowOffset(CSize page)
{
    return std::max(10, std::max(page.cx, page.cy) / 80);
}

void MapTenthsMm(CDC& dc, double scale, QPoint origin)
{
    dc.SetWindowOrg(0, 0);
    dc.SetWindowExt(kExtent, kExtent);
    const int extent = std::max(1, static_cast<int>(std::lround(scale * kExtent)));
    dc.SetViewportExt(extent, extent);
    dc.SetViewportOrg(origin.x(), origin.y());
}

} // namespace

CSheetPreviewWnd::CSheetPreviewWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sheetPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(kRepaintMs);
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] {
        if (!m_repaintPending)
            return;
        m_repaintPending = false;
        update();
        m_repaintTimer.start();
    });
    Reset();
}

CSheetPreviewWnd::~CSheetPreviewWnd() = default;

int CSheetPreviewWnd::LabelsPerSheet() const
{
    const CPaperStock* stock = ThePaper().Current();
    return stock ? std::max(1, stock->LabelsPerSheet()) : 1;
}

bool CSheetPreviewWnd::Landscape() const
{
    return ThePrinter().IsLandscape();
}

CSize CSheetPreviewWnd::SignSize() const
{
    return CSize(ThePaper().GetSignWidth(), ThePaper().GetSignHeight());
}

CSize CSheetPreviewWnd::PageSize() const
{
    return CSize(ThePaper().GetPageWidth(), ThePaper().GetPageHeight());
}

void CSheetPreviewWnd::SetShadow(bool on)
{
    m_shadow = on;
    Layout(size());
    update();
}

void CSheetPreviewWnd::SetUsed(int used)
{
    const int perSheet = LabelsPerSheet();
    m_used = std::clamp(used, 0, perSheet - 1);
    // Cells before the used count are paper used elsewhere: no pictures.
    m_pictures.assign(std::size_t(perSheet), QImage());
    update();
}

void CSheetPreviewWnd::AddUsedLabels(int copies)
{
    const int perSheet = LabelsPerSheet();
    if (int(m_pictures.size()) != perSheet)
        m_pictures.assign(std::size_t(perSheet), QImage());
    int n = std::max(0, copies);
    if (m_used + n > perSheet) {
        // Only the last, partly filled sheet is shown.
        n = (m_used - perSheet + n) % perSheet;
        m_pictures.assign(std::size_t(perSheet), QImage());
        m_used = 0;
    }
    // A run of many signs goes on past this one: a cell whose sheet the run
    // fills up later would get a picture only to lose it.
    const int signsAhead = std::max(0, ThePrinter().m_signsAhead);
    QImage picture;
    for (int i = 0; i < n; ++i) {
        const int labelsAfter = n - i - 1 + signsAhead;
        if (m_used + 1 + labelsAfter < perSheet) {
            if (picture.isNull()) {
                picture = RenderSign();
                ++m_picturesDrawn;
            }
            m_pictures[std::size_t(m_used)] = picture;
        }
        if (++m_used == perSheet) {
            m_pictures.assign(std::size_t(perSheet), QImage());
            m_used = 0;
        }
    }
    RepaintSoon();
}

void CSheetPreviewWnd::RepaintSoon()
{
    // The first change shows at once; those that follow within the interval
    // show together when it ends. While a run goes on, the first waits too:
    // a short run shows only how it ended.
    if (m_repaintTimer.isActive() || ThePrinter().m_signsAhead > 0) {
        m_repaintPending = true;
        if (!m_repaintTimer.isActive())
            m_repaintTimer.start();
        return;
    }
    update();
    m_repaintPending = false;
    m_repaintTimer.start();
}

void CSheetPreviewWnd::Reset()
{
    m_used = 0;
    m_pictures.assign(std::size_t(LabelsPerSheet()), QImage());
    update();
}

bool CSheetPreviewWnd::HasPicture(int cell) const
{
    return cell >= 0 && cell < int(m_pictures.size()) && !m_pictures[std::size_t(cell)].isNull();
}

void CSheetPreviewWnd::Layout(const QSize& size)
{
    const CSize page = PageSize();
    const int shadow = m_shadow ? ShadowOffset(page) : 0;
    const double w = page.cx + shadow;
    const double h = page.cy + shadow;
    const int availableW = std::max(1, size.width() - 2 * kMarginPx);
    const int availableH = std::max(1, size.height() - 2 * kMarginPx);
    m_scale = w > 0 && h > 0 ? std::min(availableW / w, availableH / h) : 0;
    m_origin = QPoint((size.width() - int(std::lround(w * m_scale))) / 2,
                      (size.height() - int(std::lround(h * m_scale))) / 2);
}

QRect CSheetPreviewWnd::CellRect(int cell) const
{
    const CPaperStock* stock = ThePaper().Current();
    if (!stock)
        return QRect();
    const CPoint o = stock->LabelOrigin(cell, Landscape());
    const CSize sign = SignSize();
    auto px = [this](int tmm, int origin) { return origin + int(std::lround(tmm * m_scale)); };
    return QRect(QPoint(px(o.x, m_origin.x()), px(o.y, m_origin.y())),
                 QPoint(px(o.x + sign.cx, m_origin.x()) - 1, px(o.y + sign.cy, m_origin.y()) - 1));
}

void CSheetPreviewWnd::DrawOutline(CDC& dc, const CRect& cell) const
{
    const CPaperStock* stock = ThePaper().Current();
    if (stock && stock->type == 1) {
        dc.Ellipse(cell);
    } else {
        const int corner = stock ? 2 * stock->cornerRadius : 0;
        dc.RoundRect(cell, CPoint(corner, corner));
    }
}

void CSheetPreviewWnd::DrawSign(CDC& dc, CPoint origin) const
{
    const CSize sign = SignSize();
    const int saved = dc.SaveDC();
    dc.SetWindowOrg(-origin.x, -origin.y);
    const CRect signRect(0, 0, sign.cx, sign.cy);
    dc.IntersectClipRect(signRect);
    TheElementList().Draw(&dc, signRect);
    dc.RestoreDC(saved);
}

QImage CSheetPreviewWnd::RenderSign() const
{
    // Drawn at the window's scale in the screen's own pixels: the cell shows
    // it pixel for pixel. A run makes one for every label of the sheet it
    // ends on, each a picture of its own, so no more pixels than are seen.
    const double scale = std::max(m_scale, 0.25) * std::max(1.0, devicePixelRatioF());
    const CSize sign = SignSize();
    const QSize size(std::max(1, int(std::ceil(sign.cx * scale))),
                     std::max(1, int(std::ceil(sign.cy * scale))));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    CDC dc(&painter, true); // what the printer gets: no design-time marks
    dc.GiveFaces(std::move(m_faces));
    MapTenthsMm(dc, scale, QPoint(0, 0));
    DrawSign(dc, CPoint(0, 0));
    m_faces = dc.TakeFaces();
    return image;
}

void CSheetPreviewWnd::Render(QPainter& painter, const QSize& size)
{
    Layout(size);
    const CPaperStock* stock = ThePaper().Current();
    const QRect window(QPoint(0, 0), size);
    const QColor grey(0xc0, 0xc0, 0xc0);
    if (!stock || !(m_scale > 0)) {
        painter.fillRect(window, grey);
        return;
    }
    const CSize page = PageSize();
    const CSize sign = SignSize();
    {
        CDC dc(&painter);
        dc.GiveFaces(std::move(m_faces));
        MapTenthsMm(dc, m_scale, m_origin);
        const CRect onPage(0, 0, page.cx, page.cy);
        // The page covers most of the window: the grey goes round it, not
        // under it. Its inside, a pixel in from its edge, is left to the
        // page's own fill, which covers it whatever the rounding.
        const bool paged = !stock->continuous;
        QRect pageInside;
        if (paged) {
            CRect inside = dc.LPtoDP(onPage);
            inside.NormalizeRect();
            inside.InflateRect(-1, -1, -1, -1);
            if (!inside.IsEmpty())
                pageInside = QRect(QPoint(inside.left, inside.top),
                                   QPoint(inside.right - 1, inside.bottom - 1));
        }
        if (pageInside.isValid())
            painter.setClipRegion(QRegion(window).subtracted(QRegion(pageInside)));
        painter.fillRect(window, grey);
        painter.setClipping(false);
        // The page, with its shadow; a roll has no page edges to show.
        if (paged) {
            if (m_shadow) {
                const int shadow = ShadowOffset(page);
                dc.FillSolidRect(CRect(shadow, shadow, page.cx + shadow, page.cy + shadow),
                                 kShadow);
            }
            const CPen oldPen = dc.SelectPen(CPen(PS_SOLID, 0, kBlack));
            const CBrush oldBrush = dc.SelectBrush(CBrush::Solid(kWhite));
            dc.Rectangle(onPage);
            dc.SelectBrush(oldBrush);
            dc.SelectPen(oldPen);
        }
        const bool landscape = Landscape();
        const int perSheet = LabelsPerSheet();
        const CPen oldPen = dc.SelectPen(CPen(PS_SOLID, 0, MakeRGB(128, 128, 128)));
        for (int cell = 0; cell < perSheet; ++cell) {
            const CPoint o = stock->LabelOrigin(cell, landscape);
            const CRect r(o.x, o.y, o.x + sign.cx, o.y + sign.cy);
            const bool live = cell == m_used;
            const bool picture = HasPicture(cell);
            const bool usedBefore = cell < m_used && !picture;
            // A white cell on the white page needs only its outline; one
            // with a picture or the live sign is outlined again over it.
            const bool onWhite = paged && !usedBefore && r.left >= onPage.left &&
                                 r.top >= onPage.top && r.right <= onPage.right &&
                                 r.bottom <= onPage.bottom;
            dc.SelectBrush(onWhite ? CBrush::Null() : CBrush::Solid(usedBefore ? kUsed : kWhite));
            if (!onWhite || (!picture && !live))
                DrawOutline(dc, r);
            if (!picture && !live)
                continue;
            if (picture)
                dc.DrawImage(m_pictures[std::size_t(cell)], r);
            else
                DrawSign(dc, o);
            dc.SelectBrush(CBrush::Null());
            DrawOutline(dc, r);
        }
        dc.SelectPen(oldPen);
        m_faces = dc.TakeFaces();
    }
    // The next cell is framed.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0, 102, 204), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(CellRect(m_used).adjusted(-2, -2, 2, 2));
    painter.restore();
}

void CSheetPreviewWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Render(painter, size());
}

void CSheetPreviewWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout(size());
}
