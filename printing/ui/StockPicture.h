// The picture of a paper stock that the Paper Stock and Paper Design dialogs
// show: the page scaled to at most 80 % of the frame and centred, with one
// outline per label cell (rounded rectangles or ellipses), the stock's
// background picture fitted into every cell. Drawn through the device
// context layer like everything else the program draws.
#pragma once

#include "Types.h"

#include <QImage>
#include <QWidget>
#include <vector>

class CDC;
struct CPaperStock;

// What the picture shows, in one unit of length throughout (tenths of a
// millimetre, millimetres or inches: only the proportions matter).
struct CStockPictureModel
{
    double pageWidth = 0;
    double pageHeight = 0;
    double signWidth = 0;
    double signHeight = 0;
    int type = 0; // 0 rectangular, 1 elliptical
    double cornerRadius = 0;
    // The page as a light-yellow band (a roll in the Paper Design dialog).
    bool rollBand = false;
    // Each column's and row's offset from the page's top-left corner.
    std::vector<double> columnOffsets;
    std::vector<double> rowOffsets;
    QImage background; // drawn fitted into every cell; null for none

    // A stock as the library holds it: cells where the print loop puts them.
    static CStockPictureModel FromStock(const CPaperStock& stock);
};

class CStockPicture : public QWidget
{
    Q_OBJECT

public:
    explicit CStockPicture(QWidget* parent = nullptr);

    void SetModel(const CStockPictureModel& model);
    const CStockPictureModel& Model() const { return m_model; }

    // Draws the picture into the frame rectangle (device pixels).
    static void Draw(CDC& dc, const CRect& frame, const CStockPictureModel& model);
    // The page's rectangle in the frame; empty when the page has no size.
    static CRect PageRect(const CRect& frame, const CStockPictureModel& model, double* scale);

    // A picture file loaded and turned as the stock asks; null when it
    // cannot be read.
    static QImage LoadBackground(const QString& path, int orientation);

    QSize sizeHint() const override { return QSize(260, 260); }
    QSize minimumSizeHint() const override { return QSize(160, 160); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CStockPictureModel m_model;
};
