#include "SignPreviewWnd.h"

#include "AppContext.h"
#include "DC.h"
#include "DesignView.h"
#include "ElementList.h"
#include "Paper.h"
#include "ReadingHooks.h"
#include "SignData.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kExtent = 100000;
constexpr int kMarginPx = 16;
// A file's sign is drawn once, this many pixels on its longer side, and
// scaled to the window.
constexpr int kFilePicturePx = 900;
// Larger files are not read for a preview.
constexpr qint64 kMaxPreviewBytes = 64 * 1024 * 1024;
const QColor kBackground(0xc0, 0xc0, 0xc0);

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
    painter.fillRect(QRect(QPoint(0, 0), size), kBackground);
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

bool CSignPreviewWnd::ShowFile(const QString& path)
{
    m_fileMode = true;
    m_filePath = path;
    m_filePicture = QImage();
    const QFileInfo info(path);
    if (info.isFile() && info.size() <= kMaxPreviewBytes) {
        const CGeneralPreferences general = App().general;
        const CQuietSignReading quiet;
        // The file's sign lives in a context of its own, gone with the
        // preview's reading: the current sign is not touched.
        CAppContext context;
        context.general = general;
        CSignData sign;
        if (sign.OnOpenDocument(info.absoluteFilePath())) {
            const int w = ThePaper().GetSignWidth();
            const int h = ThePaper().GetSignHeight();
            if (w > 0 && h > 0) {
                const double fit = double(kFilePicturePx - 2 * kMarginPx) / std::max(w, h);
                const QSize pictureSize(std::max(2 * kMarginPx + 1, int(w * fit) + 2 * kMarginPx),
                                        std::max(2 * kMarginPx + 1, int(h * fit) + 2 * kMarginPx));
                QImage picture(pictureSize, QImage::Format_RGB32);
                QPainter painter(&picture);
                painter.setRenderHint(QPainter::Antialiasing);
                Render(painter, pictureSize);
                painter.end();
                m_filePicture = picture;
            }
        }
        sign.DeleteContents();
    }
    update();
    return !m_filePicture.isNull();
}

void CSignPreviewWnd::Clear()
{
    m_fileMode = true;
    m_filePath.clear();
    m_filePicture = QImage();
    update();
}

void CSignPreviewWnd::ShowCurrentSign()
{
    m_fileMode = false;
    m_filePath.clear();
    m_filePicture = QImage();
    RecalcScale(size());
    update();
}

void CSignPreviewWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_fileMode) {
        Render(painter, size());
        return;
    }
    painter.fillRect(rect(), kBackground);
    if (m_filePicture.isNull())
        return;
    const QSize fitted = m_filePicture.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_filePicture);
}

void CSignPreviewWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcScale(size());
}
