#include "StockPicture.h"

#include "DC.h"
#include "Paper.h"
#include "PenBrush.h"
#include "PictureBitmap.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace {

constexpr COLORREF kRollColour = MakeRGB(255, 255, 120);
constexpr COLORREF kBlack = MakeRGB(0, 0, 0);
constexpr COLORREF kWhite = MakeRGB(255, 255, 255);

// trunc(x + 0.5) for the non-negative sizes and offsets of the picture.
int Px(double value)
{
    return value > 0 ? static_cast<int>(value + 0.5) : 0;
}

// The image fitted into the cell, keeping its proportions, centred.
CRect FitInRect(const QSize& image, const CRect& cell)
{
    if (image.isEmpty() || cell.Width() <= 0 || cell.Height() <= 0)
        return CRect();
    const double scale =
        std::min(double(cell.Width()) / image.width(), double(cell.Height()) / image.height());
    const int w = std::max(1, Px(image.width() * scale));
    const int h = std::max(1, Px(image.height() * scale));
    const int left = cell.left + (cell.Width() - w) / 2;
    const int top = cell.top + (cell.Height() - h) / 2;
    return CRect(left, top, left + w, top + h);
}

} // namespace

CStockPictureModel CStockPictureModel::FromStock(const CPaperStock& stock)
{
    CStockPictureModel model;
    model.pageWidth = stock.pageWidth;
    model.pageHeight = stock.pageHeight;
    model.signWidth = stock.labelWidth;
    model.signHeight = stock.labelHeight;
    model.type = stock.type;
    model.cornerRadius = stock.cornerRadius;
    // The cells go where the print loop puts them: the pitch in hundredths
    // brought to tenths as the loop does.
    const int columns = std::clamp(stock.columns, 0, 1000);
    const int rows = std::clamp(stock.rows, 0, 1000);
    for (int c = 0; c < columns; ++c)
        model.columnOffsets.push_back(stock.CellOrigin(c).x);
    for (int r = 0; r < rows; ++r)
        model.rowOffsets.push_back(stock.CellOrigin(r * std::max(1, columns)).y);
    return model;
}

CStockPicture::CStockPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id1152"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CStockPicture::SetModel(const CStockPictureModel& model)
{
    m_model = model;
    update();
}

CRect CStockPicture::PageRect(const CRect& frame, const CStockPictureModel& model, double* scale)
{
    const double pw = model.pageWidth;
    const double ph = model.pageHeight;
    if (!(pw > 0) && !(ph > 0))
        return CRect();
    // The page fills at most 80 % of the frame in its tighter direction.
    double s = 0;
    if (pw > 0 && ph > 0)
        s = std::min(0.8 * frame.Width() / pw, 0.8 * frame.Height() / ph);
    else if (pw > 0)
        s = 0.8 * frame.Width() / pw;
    else
        s = 0.8 * frame.Height() / ph;
    if (scale)
        *scale = s;
    const int w = Px(s * std::max(pw, 0.0));
    const int h = Px(s * std::max(ph, 0.0));
    const int left = frame.left + (frame.Width() - w) / 2;
    const int top = frame.top + (frame.Height() - h) / 2;
    return CRect(left, top, left + w, top + h);
}

void CStockPicture::Draw(CDC& dc, const CRect& frame, const CStockPictureModel& model)
{
    double s = 0;
    const CRect page = PageRect(frame, model, &s);
    if (!(s > 0))
        return; // no page to draw

    CPen pagePen(PS_SOLID, 1, kBlack);
    CBrush pageBrush = CBrush::Solid(kWhite);
    if (model.rollBand) {
        CreateFramePen(pagePen, 1, kRollColour);
        CreateFillBrush(pageBrush, kRollColour);
    }
    const CPen oldPen = dc.SelectPen(pagePen);
    const CBrush oldBrush = dc.SelectBrush(pageBrush);
    dc.Rectangle(page);

    const int cw = Px(s * model.signWidth);
    const int ch = Px(s * model.signHeight);
    const int corner = Px(2 * model.cornerRadius * s);
    dc.SelectPen(CPen(PS_SOLID, 1, kBlack));
    auto outline = [&](const CRect& cell) {
        if (model.type == 1)
            dc.Ellipse(cell);
        else
            dc.RoundRect(cell, CPoint(corner, corner));
    };
    for (double rowOffset : model.rowOffsets) {
        for (double columnOffset : model.columnOffsets) {
            const int x = page.left + Px(columnOffset * s);
            const int y = page.top + Px(rowOffset * s);
            const CRect cell(x, y, x + cw, y + ch);
            dc.SelectBrush(CBrush::Solid(kWhite));
            outline(cell);
            if (!model.background.isNull()) {
                const CRect fitted = FitInRect(model.background.size(), cell);
                if (!fitted.IsEmpty())
                    dc.DrawImage(model.background, fitted);
            }
            dc.SelectBrush(CBrush::Null());
            outline(cell);
        }
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

QImage CStockPicture::LoadBackground(const QString& path, int orientation)
{
    if (path.isEmpty())
        return QImage();
    // The picture element's loader: the same formats, and the same cache.
    CPictureBitmap bitmap;
    if (bitmap.Load(path) != PICTURE_OK)
        return QImage();
    QImage image = bitmap.Image();
    // A big picture is kept at a size that the small cells can show.
    if (image.width() > 1024 || image.height() > 1024)
        image = image.scaled(1024, 1024, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const int quarter = ((orientation / 90) % 4 + 4) % 4;
    if (quarter != 0)
        image = image.transformed(QTransform().rotate(-90.0 * quarter));
    return image;
}

void CStockPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Mid).lighter(135));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    CDC dc(&painter);
    Draw(dc, CRect(0, 0, r.width(), r.height()), m_model);
}
