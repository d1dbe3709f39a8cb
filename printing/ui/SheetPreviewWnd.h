// The whole-sheet preview of the print station: the sheet of label stock as
// the printer is filling it. Cells already printed show the sign as it was
// printed there, cells that were used before the run are shaded, and the
// next free cell shows the sign live, drawn like the canvas and the printer
// draw it. Cells are placed by the print loop's own function.
#pragma once

#include "DC.h"
#include "Types.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

struct CPaperStock;

class CSheetPreviewWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CSheetPreviewWnd(QWidget* parent = nullptr);
    ~CSheetPreviewWnd() override;

    // The cells of the sheet in the printer that are used already (0 to
    // labels per sheet - 1); they get no pictures. The live cell follows.
    void SetUsed(int used);
    // After a sign was printed with that many copies: the cells get its
    // picture; a sheet that fills up starts again empty. During a run of
    // many signs (CPrinter::m_signsAhead) cells whose sheet the run fills
    // later get none, and the window shows the run a few times a second.
    void AddUsedLabels(int copies);
    // Repaints now, or with the changes that follow when it repainted a
    // moment ago.
    void RepaintSoon();
    // How many pictures of the sign the window has drawn for its cells.
    int PicturesDrawn() const { return m_picturesDrawn; }
    // An empty sheet.
    void Reset();

    int UsedCount() const { return m_used; }
    // The cell that shows the live sign.
    int LiveCell() const { return m_used; }
    // Whether the cell holds a printed sign's picture.
    bool HasPicture(int cell) const;

    // The page's drop shadow (the design view's shadow setting).
    void SetShadow(bool on);

    // The scale (pixels per tenth of a millimetre) and the page's top-left
    // corner in the window; valid after the window has a size.
    double Scale() const { return m_scale; }
    QPoint PageOrigin() const { return m_origin; }
    // A cell's rectangle in the window, in pixels.
    QRect CellRect(int cell) const;

    // Draws the sheet into a painter over the given window size.
    void Render(QPainter& painter, const QSize& size);

    QSize sizeHint() const override { return QSize(420, 560); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int LabelsPerSheet() const;
    bool Landscape() const;
    // The sign size and the page size as seen on the page.
    CSize SignSize() const;
    CSize PageSize() const;
    void Layout(const QSize& size);
    // The sign drawn at the cell's place (logical units: tenths of a
    // millimetre from the page's corner).
    void DrawSign(CDC& dc, CPoint origin) const;
    void DrawOutline(CDC& dc, const CRect& cell) const;
    QImage RenderSign() const;

    // The shortest time between two repaints that follow the printing.
    static constexpr int kRepaintMs = 250;

    int m_used = 0;
    int m_picturesDrawn = 0;
    QTimer m_repaintTimer;
    bool m_repaintPending = false;
    std::vector<QImage> m_pictures; // one per cell; null: a blank label
    // The fonts read for one picture or paint serve the next.
    mutable CDC::Faces m_faces;
    bool m_shadow = true;
    double m_scale = 0;
    QPoint m_origin;
};
