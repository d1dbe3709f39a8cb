// A sign designed on a whole page and moved to a smaller label stock with
// Sign > Paper > Select, as a user does it in the designer's main frame:
// every kind of element comes along scaled and stays readable, and the
// printed label's symbols read back with a barcode reader.
#include "AppContext.h"
#include "Barcode.h"
#include "Commands.h"
#include "ControlById.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "Image.h"
#include "ImageSelect.h"
#include "LogFont.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PaperStockDlg.h"
#include "PdfSupport.h"
#include "PriceField.h"
#include "PrintSignDlg.h"
#include "SelectBarcodeTypeDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbology.h"
#include "Table.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace {

// A whole A4 page and a sheet of 2 x 4 labels of 99.1 x 67.7 mm.
const char kStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n"
    "Labels,A4 8 labels 99.1 x 67.7 mm,2100,2970,0,130,46,0,0,991,2,10160,677,4,6770\r\n";

// The label is 677 / 2970 of the page's height, less than its share of the
// width: that is the factor every design length is scaled by.
constexpr double kFactor = 677.0 / 2970.0;

class StockChangeTest : public CDesignerFixture
{
protected:
    StockChangeTest()
    {
        QFile stock(home.FilePath("Stock.zel"));
        stock.open(QIODevice::WriteOnly);
        stock.write(kStockLibrary);
        stock.close();
        // A 200 x 150 pixel picture: a dark square on white.
        QImage photo(200, 150, QImage::Format_RGB32);
        photo.fill(Qt::white);
        QPainter(&photo).fillRect(50, 25, 100, 100, Qt::darkBlue);
        photoPath = home.FilePath("photo.png");
        photo.save(photoPath);
        CImageSelect::s_choose = [this](QWidget*, bool) { return photoPath; };
        StartDesigner(QSize(1300, 900), false);
    }
    ~StockChangeTest() override
    {
        CImageSelect::s_choose = nullptr;
        FrameHooks().chooseFile = nullptr;
    }

    void Command(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    // Places an element with a tool by a click at the point.
    CElement* Place(int tool, int x, int y)
    {
        Command(tool);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(x, y));
        CElement* placed = view->Selection().Primary();
        if (placed) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ShownElement() == placed; }, 10000));
        }
        QApplication::processEvents();
        return placed;
    }
    // Places a barcode of the symbology with the barcode tool.
    CBarcode* PlaceBarcode(int symbology, int x, int y)
    {
        CAnswer<CSelectBarcodeTypeDlg> type([symbology](CSelectBarcodeTypeDlg* dlg) {
            auto* list = Control<QListWidget>(dlg, 1089);
            for (int row = 0; row < list->count(); ++row) {
                if (list->item(row)->data(Qt::UserRole).toInt() == symbology)
                    list->setCurrentRow(row);
            }
            EXPECT_EQ(dlg->SelectedId(), symbology);
            dlg->accept();
        });
        // A symbol made in a kind of its own takes the kind offered first.
        CAnswer<QDialog> kind([](QDialog* dlg) {
            if (!qobject_cast<CSelectBarcodeTypeDlg*>(dlg))
                dlg->accept();
        });
        return dynamic_cast<CBarcode*>(Place(ID_TOOL_BARCODE, x, y));
    }
    // Sign > Paper > Select with the stock picked from its category.
    void SelectStock(const QString& category, const QString& name)
    {
        CAnswer<CPaperStockDlg> choose([&](CPaperStockDlg* dlg) {
            Control<QComboBox>(dlg, CPaperStockDlg::IDC_CATEGORY)->setCurrentText(category);
            auto* list = Control<QListWidget>(dlg, CPaperStockDlg::IDC_STOCK_LIST);
            const auto items = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            list->setCurrentItem(items[0]);
            Control<QPushButton>(dlg, 1)->click();
        });
        Command(ID_PAPER_SELECT);
        ASSERT_TRUE(choose.Answered());
        ASSERT_EQ(ThePaper().GetPaperName(), name);
    }
    // The table in the list now (the undo history may swap in a copy).
    static CTable* Table()
    {
        for (CElement* element : TheElementList()) {
            if (element->GetTypeCode() == TYPE_TABLE && !element->m_ownedByTable)
                return static_cast<CTable*>(element);
        }
        return nullptr;
    }
    static double Points(const CElement* element)
    {
        CLogFont font;
        return element->GetFont(font) ? font.HeightToPoints() : 0.0;
    }

    QString photoPath;
};

// Reads the symbol of one format on a printed page; empty when none reads.
QString Read(const QImage& page, ZXing::BarcodeFormat format)
{
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(grey.constBits(), grey.width(), grey.height(),
                                            ZXing::ImageFormat::Lum, int(grey.bytesPerLine())),
                           ZXing::DecodeHints().setFormats(format));
    return result.isValid() ? QString::fromStdString(result.text()) : QString();
}

} // namespace

TEST_F(StockChangeTest, EveryElementScalesToTheLabelAndStaysReadable)
{
    ASSERT_NE(frame, nullptr);
    SelectStock(QStringLiteral("Standard"), QStringLiteral("A4"));

    // A design on the whole page: a Code 39 barcode, a QR Code, a text, a
    // price and a picture.
    // The symbols' widths do not scale: each has a band of the page to
    // itself.
    CBarcode* code39 = PlaceBarcode(SYM_CODE39, 200, 1000);
    ASSERT_NE(code39, nullptr);
    CBarcode* qr = PlaceBarcode(SYM_QRCODE, 200, 1600);
    ASSERT_NE(qr, nullptr);
    CElement* text = Place(ID_TOOL_TEXT, 200, 200);
    ASSERT_NE(text, nullptr);
    auto* price = dynamic_cast<CPriceField*>(Place(ID_TOOL_PRICE, 1100, 200));
    ASSERT_NE(price, nullptr);
    auto* picture = dynamic_cast<CImage*>(Place(ID_TOOL_PICTURE, 1500, 2400));
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(TheElementList().GetCount(), 5);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    view->Selection().DeselectAll();

    const int barHeight = code39->m_height;
    const CRect code39Before = code39->m_bounds;
    const int code39Width = code39->m_barRect.Width();
    const CRect qrBefore = qr->m_bounds;
    const CRect qrBars = qr->m_barRect;
    const double textPoints = Points(text);
    const double pricePoints = Points(price);
    const CRect pictureBefore = picture->m_pictureRect;
    ASSERT_GT(barHeight, 50);

    SelectStock(QStringLiteral("Labels"), QStringLiteral("A4 8 labels 99.1 x 67.7 mm"));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    const CRect label(0, 0, 991, 677);

    // The bars keep their share of the design: their height scales like every
    // other length, while the width follows the style and stays.
    EXPECT_NEAR(code39->m_height, barHeight * kFactor, 1.0);
    EXPECT_EQ(code39->m_barRect.Width(), code39Width);
    // Each symbol keeps its top-left corner's place on the smaller sign.
    EXPECT_NEAR(code39->m_origin.x, code39Before.left * kFactor, 1.0);
    EXPECT_NEAR(code39->m_origin.y, code39Before.top * kFactor, 1.0);
    // A QR Code's size comes from its module width alone: it only moves.
    EXPECT_EQ(qr->m_barRect.Width(), qrBars.Width());
    EXPECT_EQ(qr->m_barRect.Height(), qrBars.Height());
    EXPECT_NEAR(qr->m_origin.x, qrBefore.left * kFactor, 1.0);
    EXPECT_NEAR(qr->m_origin.y, qrBefore.top * kFactor, 1.0);
    for (const CBarcode* symbol : {code39, qr}) {
        EXPECT_GE(symbol->m_bounds.left, 0);
        EXPECT_GE(symbol->m_bounds.top, 0);
        EXPECT_LE(symbol->m_bounds.bottom, label.bottom);
    }
    // Text, price and picture shrink by the same factor.
    EXPECT_NEAR(Points(text), textPoints * kFactor, 1.0);
    EXPECT_NEAR(Points(price), pricePoints * kFactor, 1.0);
    EXPECT_NEAR(picture->m_pictureRect.Width(), pictureBefore.Width() * kFactor, 1.0);
    EXPECT_NEAR(picture->m_pictureRect.Height(), pictureBefore.Height() * kFactor, 1.0);
    EXPECT_NEAR(picture->m_pictureRect.left, pictureBefore.left * kFactor, 1.0);
    EXPECT_NEAR(picture->m_pictureRect.top, pictureBefore.top * kFactor, 1.0);
    const CElement* shrunk[] = {text, price, picture};
    for (const CElement* element : shrunk) {
        EXPECT_TRUE(label.PtInRect(element->m_bounds.TopLeft()))
            << element->GetTypeName().toStdString();
    }

    // Printed to a file, both symbols read back from the first label.
    const QString pdf = home.FilePath("label.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dlg) {
        auto* where = Control<QComboBox>(dlg, CPrintSignDlg::IDC_DESTINATION);
        where->setCurrentIndex(where->findText(QStringLiteral("File")));
        Control<QSpinBox>(dlg, CPrintSignDlg::IDC_COPIES)->setValue(1);
        dlg->accept();
    });
    Command(ID_FILE_PRINT);
    ASSERT_TRUE(print.Answered());
    ASSERT_TRUE(QFile::exists(pdf)) << messages.LastText().toStdString();
    const QImage page = RenderPdfPage(pdf, 1, 300);
    ASSERT_FALSE(page.isNull());
    if (qEnvironmentVariableIsSet("TABREL_SHOTS"))
        page.save(qEnvironmentVariable("TABREL_SHOTS") + QStringLiteral("/stock-change-label.png"));
    EXPECT_EQ(Read(page, ZXing::BarcodeFormat::Code39), code39->m_data + code39->m_checkChars);
    EXPECT_EQ(Read(page, ZXing::BarcodeFormat::QRCode), qr->m_data);
}

// A table shrinks with the sign and lays its cells out afresh; the text and
// the price in its cells follow their cells once and are not scaled a second
// time on their own.
TEST_F(StockChangeTest, ATableAndWhatItsCellsHoldScaleOnce)
{
    ASSERT_NE(frame, nullptr);
    SelectStock(QStringLiteral("Standard"), QStringLiteral("A4"));

    // Drawn with the tool, its format typed into its pane.
    const CRect tableRect(200, 400, 1800, 2400);
    Command(ID_TOOL_TABLE);
    QWidget* surface = view->viewport();
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, Dp(tableRect.left, tableRect.top));
    for (const CPoint p : {tableRect.CenterPoint(), tableRect.BottomRight()}) {
        QMouseEvent move(QEvent::MouseMove, Dp(p.x, p.y), surface->mapToGlobal(Dp(p.x, p.y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier,
                        Dp(tableRect.right, tableRect.bottom));
    ASSERT_NE(Table(), nullptr);
    auto* format = frame->PropertyPane()->findChild<QPlainTextEdit*>(QStringLiteral("id1162"));
    ASSERT_NE(format, nullptr);
    format->setPlainText(QStringLiteral("<table><tr height=\"40%\"><td type=\"3\"></td></tr>"
                                        "<tr><td type=\"4\"></td></tr></table>"));
    Control<QPushButton>(frame->PropertyPane(), 1191)->click();
    view->Selection().DeselectAll();
    CTable* table = Table();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->m_rows.size(), 2u);
    double points[2] = {};
    CRect bounds[2];
    for (int row = 0; row < 2; ++row) {
        const CElement* cell = table->m_rows[size_t(row)].cells[0].element;
        ASSERT_NE(cell, nullptr) << row;
        points[row] = Points(cell);
        bounds[row] = cell->m_bounds;
    }
    ASSERT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    SelectStock(QStringLiteral("Labels"), QStringLiteral("A4 8 labels 99.1 x 67.7 mm"));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_NEAR(table->m_tableRect.left, tableRect.left * kFactor, 1.0);
    EXPECT_NEAR(table->m_tableRect.top, tableRect.top * kFactor, 1.0);
    EXPECT_NEAR(table->m_tableRect.Width(), tableRect.Width() * kFactor, 1.0);
    EXPECT_NEAR(table->m_tableRect.Height(), tableRect.Height() * kFactor, 1.0);
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const STableCell& cell = table->m_rows[size_t(row)].cells[0];
        ASSERT_NE(cell.element, nullptr);
        EXPECT_TRUE(cell.cellRect.PtInRect(cell.element->m_bounds.TopLeft()));
        // Shrunk with its cell, once: about the stock's factor, not its square.
        EXPECT_GT(Points(cell.element), points[row] * kFactor * 0.6);
        EXPECT_GT(cell.element->m_bounds.Width(), bounds[row].Width() * kFactor * 0.6);
    }
}
