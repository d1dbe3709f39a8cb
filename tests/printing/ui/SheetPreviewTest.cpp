// The whole-sheet preview against the print loop: the cells it shows as
// used, printed and next are where the printer puts signs, skipped cells
// included.
#include "SheetPreviewWnd.h"

#include "AppContext.h"
#include "Box.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Printer.h"
#include "SignData.h"
#include "TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A sheet of 3 x 8 labels of 63.5 x 33.9 mm.
CPaperStock Labels3x8()
{
    CPaperStock s;
    s.category = QStringLiteral("Labels");
    s.name = QStringLiteral("Labels 3x8");
    s.pageWidth = s.selectionWidth = 2100;
    s.pageHeight = s.selectionHeight = 2970;
    s.topMargin = 129;
    s.leftMargin = 72;
    s.cornerRadius = 20;
    s.labelWidth = 635;
    s.columns = 3;
    s.horzPitch = 6600;
    s.labelHeight = 339;
    s.rows = 8;
    s.vertPitch = 3390;
    return s;
}

class SheetPreviewTest : public ::testing::Test
{
protected:
    SheetPreviewTest()
    {
        ThePaper().SetStock(Labels3x8());
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        // One black box in the middle of the sign.
        auto* box = new CBox;
        box->SetBounds(nullptr, CRect(100, 80, 535, 259));
        box->SetFill(nullptr, TRUE, MakeRGB(0, 0, 0));
        TheElementList().AddTail(box);
        preview.resize(600, 800);
    }

    // "x" for a cell that shows ink at its centre, "." for one that does
    // not, row by row.
    std::string PreviewPattern()
    {
        QImage image(preview.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        preview.Render(painter, image.size());
        painter.end();
        std::string pattern;
        for (int cell = 0; cell < 24; ++cell) {
            if (cell > 0 && cell % 3 == 0)
                pattern += '/';
            const QPoint c = preview.CellRect(cell).center();
            pattern += qGray(image.pixel(c)) < 128 ? 'x' : '.';
        }
        return pattern;
    }

    bool appMade = (EnsureWidgetApp(), true);
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    std::unique_ptr<CSheetPreviewWnd> window = std::make_unique<CSheetPreviewWnd>();
    CSheetPreviewWnd& preview = *window;
};

TEST_F(SheetPreviewTest, UsedCellsFollowThePrinting)
{
    struct Case
    {
        const char* what;
        int used;   // Sheet Usage
        int copies; // then printed; -1 for nothing
        int expectedUsed;
        int firstPicture; // cells with pictures: first to last, -1 for none
        int lastPicture;
    };
    const Case cases[] = {
        {"sheet usage only: no pictures, the live cell after them", 3, -1, 3, -1, -1},
        {"printing after skipped cells", 3, 2, 5, 3, 4},
        {"exactly the cells left: an empty sheet", 20, 4, 0, -1, -1},
        {"more than fit: the last sheet's cells only", 20, 30, 2, 0, 1},
        {"copies 0 change nothing", 5, 0, 5, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        preview.Reset();
        preview.SetUsed(c.used);
        if (c.copies >= 0)
            preview.AddUsedLabels(c.copies);
        EXPECT_EQ(preview.UsedCount(), c.expectedUsed);
        EXPECT_EQ(preview.LiveCell(), c.expectedUsed);
        for (int cell = 0; cell < 24; ++cell) {
            const bool picture =
                c.firstPicture >= 0 && cell >= c.firstPicture && cell <= c.lastPicture;
            EXPECT_EQ(preview.HasPicture(cell), picture) << cell;
        }
    }
}

// Sheet Usage 4, then two signs of 3 copies: the preview and the printed
// page agree cell by cell (the preview also shows the live sign next).
TEST_F(SheetPreviewTest, PreviewShowsWhatThePrinterPrints)
{
    const QString pdf = home.FilePath("sheet.pdf");
    CSignData document;
    CPrinter& printer = ThePrinter();
    preview.SetUsed(4);
    for (int sign = 0; sign < 2; ++sign) {
        ASSERT_TRUE(printer.PrintSign(document, 3, pdf, 4));
        preview.AddUsedLabels(3);
    }
    EXPECT_EQ(printer.m_labelPosition, 10);
    ASSERT_TRUE(printer.EndJob());

    EXPECT_EQ(PreviewPattern(), ".../.xx/xxx/xx./.../.../.../...");
    // The cells before the skipped ones are shaded, not drawn.
    for (int cell = 0; cell < 4; ++cell)
        EXPECT_FALSE(preview.HasPicture(cell)) << cell;

    QProcess render;
    const QString prefix = home.FilePath("sheet");
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, prefix});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    std::string printed;
    const CPaperStock stock = Labels3x8();
    for (int cell = 0; cell < 24; ++cell) {
        if (cell > 0 && cell % 3 == 0)
            printed += '/';
        const CPoint o = stock.LabelOrigin(cell, false);
        const QPoint centre(qRound((o.x + 317) * 40 / 254.0), qRound((o.y + 170) * 40 / 254.0));
        printed += qGray(page.pixel(centre)) < 128 ? 'x' : '.';
    }
    // The printer's cells 4 to 9; the preview's next one, 10, is live.
    EXPECT_EQ(printed, ".../.xx/xxx/x../.../.../.../...");
}

// Turned to landscape, the cells run along the stock's rows from the edge
// that was the page's bottom; the preview follows the printer there too.
TEST_F(SheetPreviewTest, LandscapeSheetAgreesWithThePrinter)
{
    CPrinter& printer = ThePrinter();
    ASSERT_TRUE(printer.SetOrientation(DMORIENT_LANDSCAPE));
    ASSERT_TRUE(printer.IsLandscape());
    const QString pdf = home.FilePath("turned.pdf");
    CSignData document;
    preview.SetUsed(2);
    ASSERT_TRUE(printer.PrintSign(document, 5, pdf, 2));
    preview.AddUsedLabels(5);
    ASSERT_TRUE(printer.EndJob());
    EXPECT_EQ(preview.LiveCell(), 7);

    QImage shown(preview.size(), QImage::Format_RGB32);
    {
        QPainter painter(&shown);
        preview.Render(painter, shown.size());
    }
    QProcess render;
    const QString prefix = home.FilePath("turned");
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, prefix});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    ASSERT_GT(page.width(), page.height()) << "a landscape page";

    // A point inside the box of each cell, in the sign's own units.
    const CPoint inside(200, 170);
    const CPaperStock stock = Labels3x8();
    for (int cell = 0; cell < 24; ++cell) {
        const CPoint o = stock.LabelOrigin(cell, true);
        const QPoint onPage(qRound((o.x + inside.x) * 40 / 254.0),
                            qRound((o.y + inside.y) * 40 / 254.0));
        const bool printed = qGray(page.pixel(onPage)) < 128;
        const QPoint onScreen =
            preview.CellRect(cell).topLeft() +
            QPoint(qRound(inside.x * preview.Scale()), qRound(inside.y * preview.Scale()));
        const bool previewed = qGray(shown.pixel(onScreen)) < 128;
        EXPECT_EQ(printed, cell >= 2 && cell <= 6) << cell;
        EXPECT_EQ(previewed, printed || cell == 7) << cell;
    }
}

} // namespace

namespace {

// The preview owns every pixel of its window (it paints without the
// background being cleared first): whatever the window held before, the
// same picture comes out, for a sheet with a shadow or without, with used,
// printed and live cells, round labels, a roll with no page edges, and
// labels that stand out over the page's edge.
TEST_F(SheetPreviewTest, EveryPixelOfTheWindowIsPaintedWhateverItHeld)
{
    struct Case
    {
        const char* what;
        bool shadow;
        int used;
        int printed;
        void (*stock)(CPaperStock&);
    };
    const Case cases[] = {
        {"sheet, shadow, used and printed cells", true, 3, 4, [](CPaperStock&) {}},
        {"sheet without a shadow, empty", false, 0, 0, [](CPaperStock&) {}},
        {"round labels", true, 1, 2, [](CPaperStock& s) { s.type = 1; }},
        {"a roll", false, 0, 1, [](CPaperStock& s) { s.continuous = 1; }},
        {"labels over the page's edge", true, 2, 1, [](CPaperStock& s) { s.leftMargin = -300; }},
    };
    for (const QSize size : {QSize(600, 800), QSize(1409, 1120), QSize(97, 31)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(size.width()));
            CPaperStock stock = Labels3x8();
            c.stock(stock);
            ThePaper().SetStock(stock);
            ThePaper().SelectStock(stock.name);
            preview.resize(size);
            preview.SetShadow(c.shadow);
            preview.SetUsed(c.used);
            if (c.printed > 0)
                preview.AddUsedLabels(c.printed);
            const auto shown = [&](QColor before) {
                QImage image(size, QImage::Format_RGB32);
                image.fill(before);
                QPainter painter(&image);
                preview.Render(painter, size);
                return image;
            };
            const QImage onMagenta = shown(Qt::magenta);
            EXPECT_EQ(onMagenta, shown(Qt::green));
            EXPECT_EQ(onMagenta, shown(Qt::white));
        }
    }
}

} // namespace
