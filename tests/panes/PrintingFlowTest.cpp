// The paper and printing roads as a user takes them through the designer's
// real main frame: the Sign Settings pane, the paper dialogs, the canvas
// tools, the print station and the printed file.
#include "AppContext.h"
#include "Barcode.h"
#include "Box.h"
#include "ControlById.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "EventCount.h"
#include "ElementList.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PaperDesignDlg.h"
#include "PaperStockDlg.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintQueue.h"
#include "PrintSignDlg.h"
#include "PrintStationWnd.h"
#include "PrintToPdf.h"
#include "Printer.h"
#include "SheetPreviewWnd.h"
#include "SheetReuseWarningDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Types into a field of the dialog as the user does: the old text is
// replaced.
void Type(QWidget* dialog, int id, const QString& text)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

class PrintingFlowTest : public CDesignerFlow, public ::testing::Test
{
protected:
    // The designer on the 3 x 8 label sheet with one text, placed with its
    // tool and typed at print time; null when it did not get that far.
    CMainFrame* StartWithATypedText()
    {
        CMainFrame* frame = Start();
        if (!frame)
            return nullptr;
        frame->resize(1200, 860);
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        QApplication::processEvents();
        auto* view = qobject_cast<CDesignView*>(frame->Canvas());
        view->WholeSign();
        frame->Action(ID_TOOL_TEXT)->trigger();
        const CPoint p = view->LPtoDP(CPoint(50, 50));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        if (TheElementList().GetCount() != 1)
            return nullptr;
        TheElementList().GetAt(0)->m_dataSource = SOURCE_KEYBOARD;
        return frame;
    }
};

// A stock designed from the Sign Settings pane goes into "Stock2.zel" when
// the program ends, and is there, and the sign's paper, when it starts again.
TEST_F(PrintingFlowTest, StockDesignedThroughThePaneOutlivesARestart)
{
    {
        CMainFrame* frame = Start();
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(ThePaper().StockCount(), 2);

        CAnswer<CPaperDesignDlg> design([](CPaperDesignDlg* dlg) {
            Control<QComboBox>(dlg, 1498)->setEditText(QStringLiteral("Shelf"));
            Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Shelf talker"));
            Type(dlg, 1144, "90");
            Type(dlg, 1145, "50.5");
            Type(dlg, 1148, "210");
            Type(dlg, 1139, "297");
            Type(dlg, 1140, "10");
            Type(dlg, 1141, "12.5");
            Type(dlg, 1143, "2");
            Type(dlg, 1142, "5");
            Type(dlg, 1146, "5");
            Type(dlg, 1147, "3");
            Control<QPushButton>(dlg, 1)->click();
        });
        CAnswer<CPaperStockDlg> choose([](CPaperStockDlg* dlg) {
            Control<QPushButton>(dlg, CPaperStockDlg::IDC_NEW)->click();
            // The new stock is the one shown and chosen.
            EXPECT_EQ(Control<QListWidget>(dlg, 1136)->currentItem()->text(), "Shelf talker");
            Control<QPushButton>(dlg, 1)->click();
        });
        auto* change = Control<QPushButton>(frame->PropertyPane(), 1526);
        ASSERT_NE(change, nullptr);
        change->click();
        EXPECT_TRUE(choose.Answered());
        EXPECT_TRUE(design.Answered());
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        EXPECT_EQ(ThePaper().GetPaperName(), "Shelf talker");
        // The pane shows the new stock.
        EXPECT_EQ(Control<QLabel>(frame->PropertyPane(), 1528)->text(), "Shelf talker");
        EXPECT_EQ(Control<QLabel>(frame->PropertyPane(), 1138)->text(), "10");
        EXPECT_TRUE(frame->Document().IsModified());
        Quit();
    }
    QFile saved(home.FilePath("Stock2.zel"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(
        text.contains("Shelf,Shelf talker,2100,2970,0,125,100,0,0,900,2,9500,505,5,5350\r\n"))
        << text.toStdString();

    {
        ASSERT_NE(Start(), nullptr);
        EXPECT_EQ(ThePaper().GetPaperName(), "Shelf talker");
        CPaperStock stock;
        ASSERT_TRUE(ThePaper().GetStock(QStringLiteral("Shelf talker"), stock));
        EXPECT_EQ(stock.category, "Shelf");
        EXPECT_EQ(stock.builtIn, 0);
        EXPECT_EQ(stock.labelWidth, 900);
        EXPECT_EQ(stock.labelHeight, 505);
        EXPECT_EQ(stock.horzPitch, 9500);
        EXPECT_EQ(stock.vertPitch, 5350);
        EXPECT_EQ(stock.topMargin, 125);
        EXPECT_EQ(stock.LabelsPerSheet(), 10);
        Quit();
    }
}

// The first page of a printed PDF as poppler renders it.
QImage RenderFirstPage(const QString& pdf, int dpi)
{
    return RenderPdfPage(pdf, 1, dpi);
}

// From a fresh start: the label stock chosen through the Sign Settings pane,
// a box and a text drawn with the canvas tools, the sheet previewed in the
// print station, and printed to a PDF on a partly used sheet.
TEST_F(PrintingFlowTest, LabelsChosenDrawnPreviewedAndPrinted)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);

    // 1. The label stock, through the pane's Change... button.
    CAnswer<CPaperStockDlg> choose([](CPaperStockDlg* dlg) {
        Control<QComboBox>(dlg, 1498)->setCurrentText(QStringLiteral("Labels"));
        auto* list = Control<QListWidget>(dlg, 1136);
        list->setCurrentItem(list->findItems(QStringLiteral("Labels 3x8"), Qt::MatchExactly)[0]);
        EXPECT_EQ(Control<QLabel>(dlg, 1138)->text(), "24");
        Control<QPushButton>(dlg, 1)->click();
    });
    Control<QPushButton>(frame->PropertyPane(), 1526)->click();
    ASSERT_TRUE(choose.Answered());
    ASSERT_EQ(ThePaper().GetPaperName(), "Labels 3x8");
    EXPECT_EQ(Control<QLabel>(frame->PropertyPane(), 1138)->text(), "24");

    // 2. A box and a text, drawn with the tools.
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    ASSERT_NE(view, nullptr);
    QWidget* surface = view->viewport();
    auto dp = [view](int x, int y) {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    };
    frame->Action(ID_TOOL_BOX)->trigger();
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, dp(30, 40));
    for (const QPoint& p : {dp(100, 100), dp(280, 290)}) {
        QMouseEvent move(QEvent::MouseMove, p, surface->mapToGlobal(p), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, dp(280, 290));
    frame->Action(ID_TOOL_TEXT)->trigger();
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, dp(330, 120));
    ASSERT_EQ(TheElementList().GetCount(), 2);
    const CRect boxRect = TheElementList().GetAt(0)->m_bounds;
    const CRect textRect = TheElementList().GetAt(1)->m_bounds;
    EXPECT_EQ(TheElementList().GetAt(0)->GetTypeCode(), TYPE_BOX);
    EXPECT_EQ(TheElementList().GetAt(1)->GetTypeCode(), TYPE_TEXT);

    // 3. The preview of the whole sheet, from the View menu.
    QAction* wholeSheet = frame->Action(ID_PREVIEW_SHEET);
    frame->UpdateActionsNow();
    ASSERT_TRUE(wholeSheet->isEnabled());
    wholeSheet->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_NE(commands, nullptr);
    ASSERT_TRUE(commands->IsStationOpen());
    EXPECT_TRUE(frame->IsDataEntryMode());
    CPrintStationWnd* station = commands->Station();
    EXPECT_TRUE(station->IsSheetView());
    EXPECT_EQ(station->geometry(), view->rect());
    CSheetPreviewWnd* sheet = station->Sheet();
    EXPECT_EQ(sheet->LiveCell(), 0);
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(batch->isVisible());
    // The data-entry toolbar switches to the single sign and back.
    frame->Action(ID_PREVIEW_SINGLE)->trigger();
    EXPECT_FALSE(station->IsSheetView());
    EXPECT_TRUE(station->SingleSign()->isVisible());
    frame->Action(ID_PREVIEW_SHEET)->trigger();
    EXPECT_TRUE(sheet->isVisible());

    // 4. Printed to a file: two copies on a sheet whose first three labels
    // are gone; the reuse warning is answered.
    const QString pdf = home.FilePath("labels.pdf");
    QString chosenFile = pdf;
    FrameHooks().chooseFile = [&chosenFile](QWidget*, const CFileChoice&) { return chosenFile; };
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    EXPECT_EQ(batch->Destination(), 1);
    EXPECT_EQ(Control<QLabel>(batch, CPrintBatchDlg::IDC_DESTINATION_TEXT)->text(), pdf);
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES)->setValue(2);
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->setValue(3);
    CAnswer<CSheetReuseWarningDlg> warning(
        [](CSheetReuseWarningDlg* dlg) { Control<QPushButton>(dlg, IDOK)->click(); });
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
    EXPECT_TRUE(warning.Answered());
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, 5);
    // The preview follows: three used cells, two printed, the next live.
    EXPECT_EQ(sheet->LiveCell(), 5);
    EXPECT_FALSE(sheet->HasPicture(2));
    EXPECT_TRUE(sheet->HasPicture(3));
    EXPECT_TRUE(sheet->HasPicture(4));
    EXPECT_EQ(Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->value(), 5);
    EXPECT_FALSE(Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->isEnabled());
    EXPECT_TRUE(batch->IsBlinking());
    auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    EXPECT_EQ(back->text(), "Eject Sheet");
    // Return first ejects the sheet (the job ends and the file is written),
    // then leaves the station.
    back->click();
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    EXPECT_FALSE(batch->IsBlinking());
    EXPECT_EQ(back->text(), "Return to Label Design");
    back->click();
    EXPECT_FALSE(commands->IsStationOpen());
    EXPECT_FALSE(frame->IsDataEntryMode());

    // 5. The file: one page, ink in the fourth and fifth labels only.
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const int dpi = 100;
    const QImage page = RenderFirstPage(pdf, dpi);
    ASSERT_FALSE(page.isNull());
    const CPaperStock* stock = ThePaper().Current();
    for (int cell = 0; cell < 24; ++cell) {
        const CPoint o = stock->LabelOrigin(cell, false);
        const CRect label(o.x, o.y, o.x + stock->labelWidth, o.y + stock->labelHeight);
        const bool printed = cell == 3 || cell == 4;
        if (printed) {
            CRect box = boxRect;
            box.OffsetRect(o.x, o.y);
            CRect text = textRect;
            text.OffsetRect(o.x, o.y);
            EXPECT_GT(PageInk(page, box, dpi), 100) << "box in cell " << cell;
            EXPECT_GT(PageInk(page, text, dpi), 20) << "text in cell " << cell;
        } else {
            EXPECT_EQ(PageInk(page, label, dpi), 0) << "cell " << cell;
        }
    }

    // 6. The same sign through File > Print and its dialog, to a new file:
    // one copy, on the first label of a fresh sheet.
    QImage again;
    ASSERT_NO_FATAL_FAILURE(PrintSignToPdf(frame, home.FilePath("again.pdf"), dpi, again));
    for (int cell = 0; cell < 24; ++cell) {
        const CPoint o = stock->LabelOrigin(cell, false);
        const CRect label(o.x, o.y, o.x + stock->labelWidth, o.y + stock->labelHeight);
        if (cell == 0)
            EXPECT_GT(PageInk(again, label, dpi), 100);
        else
            EXPECT_EQ(PageInk(again, label, dpi), 0) << "cell " << cell;
    }
    FrameHooks().chooseFile = nullptr;
    Quit();
}

// What reaches past the label is cut at its edge on paper as in the
// preview: a long text, and the "BARCODE DATA INVALID" placeholder of a
// barcode wider than its label, printed on the first label of a sheet
// through File > Print, leave no ink in the gap or on the next labels.
TEST_F(PrintingFlowTest, EachSignIsPrintedInsideItsLabel)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    CAnswer<CPaperStockDlg> choose([](CPaperStockDlg* dlg) {
        Control<QComboBox>(dlg, 1498)->setCurrentText(QStringLiteral("Labels"));
        auto* list = Control<QListWidget>(dlg, 1136);
        list->setCurrentItem(list->findItems(QStringLiteral("Labels 3x8"), Qt::MatchExactly)[0]);
        Control<QPushButton>(dlg, 1)->click();
    });
    Control<QPushButton>(frame->PropertyPane(), 1526)->click();
    ASSERT_TRUE(choose.Answered());
    const CPaperStock* stock = ThePaper().Current();
    ASSERT_EQ(stock->labelWidth, 635);

    // A text running far past the right edge, and below it a barcode whose
    // data it cannot encode, placed so that its placeholder does too.
    auto* text = dynamic_cast<CText*>(TheElementList().CreateElement("CText"));
    ASSERT_NE(text, nullptr);
    text->BeginCreate(nullptr, 100, 30);
    text->SetSampleData(nullptr, QStringLiteral("A long text that runs on well past the label"));
    text->RecalcPosition(nullptr);
    ASSERT_GT(text->m_bounds.right, stock->horzPitch / 10);
    auto* barcode = dynamic_cast<CBarcode*>(TheElementList().CreateElement("CEan13"));
    ASSERT_NE(barcode, nullptr);
    barcode->m_data = barcode->m_sampleData = QStringLiteral("not digits");
    barcode->BeginCreate(nullptr, 400, 120);
    barcode->Regenerate();
    barcode->RecalcPosition(nullptr);
    ASSERT_TRUE(barcode->IsShowingInvalid());
    ASSERT_GT(barcode->m_bounds.right, stock->horzPitch / 10);

    const int dpi = 150;
    QImage page;
    ASSERT_NO_FATAL_FAILURE(PrintSignToPdf(frame, home.FilePath("cut.pdf"), dpi, page));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    const CPoint first = stock->LabelOrigin(0, false);
    const CPoint second = stock->LabelOrigin(1, false);
    // A pixel's width inside each edge, for the rounding of the rendering.
    const int edge = 254 / dpi + 1;
    const CRect label(first.x, first.y, first.x + stock->labelWidth, first.y + stock->labelHeight);
    CRect text0 = text->m_bounds;
    text0.OffsetRect(first.x, first.y);
    text0.right = label.right - edge;
    EXPECT_GT(PageInk(page, text0, dpi), 50) << "the text, up to the label's edge";
    const CRect beyond(label.right + edge, 0, page.width() * 254 / dpi,
                       second.y + stock->labelHeight);
    EXPECT_EQ(PageInk(page, beyond, dpi), 0) << "the gap and the labels to the right";
    FrameHooks().chooseFile = nullptr;
    Quit();
}

// The print bar's rules, on the real station: nothing printed for no
// copies, a cancelled file choice goes back to the printer, Sheet Usage is
// locked while a sheet is partly filled, the eject prompt blinks every
// 600 ms, and a one-label stock has no Sheet Usage at all.
TEST_F(PrintingFlowTest, PrintBarRules)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    QApplication::processEvents(); // the frame is laid out
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    view->WholeSign();
    frame->Action(ID_TOOL_BOX)->trigger();
    QWidget* surface = view->viewport();
    auto dp = [view](int x, int y) {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    };
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, dp(50, 50));
    for (const QPoint& p : {dp(100, 100), dp(300, 250)}) {
        QMouseEvent move(QEvent::MouseMove, p, surface->mapToGlobal(p), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, dp(300, 250));
    ASSERT_EQ(TheElementList().GetCount(), 1);

    frame->Action(ID_PREVIEW_SHEET)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    auto* copies = Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES);
    auto* usage = Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE);
    auto* print = Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT);
    auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    auto* restart = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RESTART);
    EXPECT_EQ(copies->value(), 1);
    EXPECT_FALSE(restart->isEnabled());
    EXPECT_EQ(Control<QLabel>(batch, CPrintBatchDlg::IDC_PER_SHEET)->text(), "24");
    // The serialised batch is for signs with an incrementing number only.
    EXPECT_TRUE(Control<QSpinBox>(batch, CPrintBatchDlg::IDC_BATCH)->isHidden());

    // A cancelled file choice: back to the printer.
    FrameHooks().chooseFile = [](QWidget*, const CFileChoice&) { return QString(); };
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    EXPECT_EQ(batch->Destination(), 0);

    const QString pdf = home.FilePath("bar.pdf");
    FrameHooks().chooseFile = [&pdf](QWidget*, const CFileChoice&) { return pdf; };
    QTest::keyClick(destination, Qt::Key_Down);
    ASSERT_EQ(batch->Destination(), 1);

    // No copies: nothing happens.
    copies->setValue(0);
    print->click();
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    EXPECT_EQ(commands->Station()->Sheet()->LiveCell(), 0);

    // Two copies: the sheet is started, Sheet Usage shows 2 and is locked,
    // Destination is locked and Restart open, the eject prompt blinks.
    copies->setValue(2);
    print->click();
    EXPECT_TRUE(ThePrinter().IsSheetStarted());
    EXPECT_EQ(usage->value(), 2);
    EXPECT_FALSE(usage->isEnabled());
    EXPECT_FALSE(destination->isEnabled());
    EXPECT_TRUE(restart->isEnabled());
    ASSERT_TRUE(batch->IsBlinking());
    EXPECT_EQ(back->text(), "Eject Sheet");
    // The prompt goes and comes back on the blink timer.
    EXPECT_EQ(batch->BlinkInterval(), CPrintBatchDlg::kBlinkMs);
    EXPECT_TRUE(QTest::qWaitFor([back] { return back->text().isEmpty(); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([back] { return back->text() == "Eject Sheet"; }, 10000));
    // Restart ejects the sheet and starts afresh.
    restart->click();
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    EXPECT_FALSE(batch->IsBlinking());
    EXPECT_EQ(usage->value(), 0);
    EXPECT_TRUE(usage->isEnabled());
    EXPECT_EQ(copies->value(), 1);
    EXPECT_EQ(commands->Station()->Sheet()->LiveCell(), 0);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    frame->ExecuteCommand(ID_DATA_CANCEL);
    EXPECT_FALSE(commands->IsStationOpen());

    // A one-label stock: no Sheet Usage, and the station starts on the sign.
    ThePaper().SelectStock(QStringLiteral("A4"));
    frame->ExecuteCommand(ID_PREVIEW_SINGLE);
    ASSERT_TRUE(commands->IsStationOpen());
    EXPECT_FALSE(commands->Station()->IsSheetView());
    batch = commands->BatchDialog();
    EXPECT_TRUE(Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->isHidden());
    EXPECT_TRUE(Control<QLabel>(batch, CPrintBatchDlg::IDC_PER_SHEET)->isHidden());
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN)->click();
    EXPECT_FALSE(commands->IsStationOpen());

    FrameHooks().chooseFile = nullptr;
    Quit();
}

// The print bar hands signs to the print queue: only for a saved sign;
// Restart hands the collected job over as its job and data files.
TEST_F(PrintingFlowTest, PrintBarQueuesASavedSign)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    const QString queue = home.FilePath("queue");
    ASSERT_TRUE(QDir().mkpath(queue));
    ThePrintQueue().SetFolder(queue);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
    frame->ExecuteCommand(ID_PREVIEW_SHEET);
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    ASSERT_EQ(destination->count(), 3);

    // Not saved yet: the queue is refused.
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_End);
    EXPECT_EQ(messages.LastText(), "Template must be saved before adding to print queue.");
    EXPECT_EQ(batch->Destination(), 0);

    frame->Document().SetPathName(home.FilePath("shelf.sgn"));
    QTest::keyClick(destination, Qt::Key_End);
    ASSERT_EQ(batch->Destination(), 2);
    EXPECT_FALSE(Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->isEnabled());
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES)->setValue(4);
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
    EXPECT_TRUE(ThePrintQueue().IsPending());
    EXPECT_EQ(ThePrintQueue().GetTotalCopies(), 4);
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    EXPECT_TRUE(Control<QPushButton>(batch, CPrintBatchDlg::IDC_RESTART)->isEnabled());
    EXPECT_FALSE(destination->isEnabled());

    // Return hands the job over first, then leaves.
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN)->click();
    EXPECT_FALSE(ThePrintQueue().IsPending());
    const QStringList files = QDir(queue).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
    EXPECT_TRUE(files[0].endsWith(".PJD"));
    EXPECT_TRUE(files[1].endsWith(".TXT"));
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN)->click();
    EXPECT_FALSE(commands->IsStationOpen());
    Quit();
}

// Sign > Paper > New... makes the new stock the sign's; Edit... changes it,
// and the elements grow with the sign.
TEST_F(PrintingFlowTest, NewAndEditedStockScaleTheSign)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    QApplication::processEvents();
    auto design = [](const char* width, const char* height) {
        return [width, height](CPaperDesignDlg* dlg) {
            Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Tag"));
            Type(dlg, 1144, width);
            Type(dlg, 1145, height);
            Type(dlg, 1143, "1");
            Type(dlg, 1146, "1");
            Control<QPushButton>(dlg, 1)->click();
        };
    };
    {
        CAnswer<CPaperDesignDlg> answer(design("100", "50"));
        frame->UpdateActionsNow();
        frame->Action(ID_PAPER_NEW)->trigger();
        ASSERT_TRUE(answer.Answered());
    }
    ASSERT_EQ(ThePaper().GetPaperName(), "Tag");
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    auto* box = new CBox;
    box->SetBounds(nullptr, CRect(100, 100, 400, 300));
    TheElementList().AddTail(box);

    messages.QueueAnswer(IDYES); // replace the stock of that name
    {
        CAnswer<CPaperDesignDlg> answer(design("200", "100"));
        frame->UpdateActionsNow();
        ASSERT_TRUE(frame->Action(ID_PAPER_EDIT)->isEnabled());
        frame->Action(ID_PAPER_EDIT)->trigger();
        ASSERT_TRUE(answer.Answered());
    }
    EXPECT_EQ(ThePaper().Current()->labelWidth, 2000);
    EXPECT_EQ(box->GetPointRect(), CRect(200, 200, 800, 600));
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    Quit();
}

// File > Print on a sign whose text is typed at print time opens the print
// station instead of the Print dialog, on the whole sheet of a label stock.
TEST_F(PrintingFlowTest, PrintOfATypedSignOpensTheStation)
{
    CMainFrame* frame = StartWithATypedText();
    ASSERT_NE(frame, nullptr);

    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands->IsStationOpen());
    EXPECT_TRUE(commands->Station()->IsSheetView());
    EXPECT_EQ(TheSignSettings().sheetPreview, 1);
    EXPECT_TRUE(frame->IsDataEntryMode());
    EXPECT_EQ(messages.Count(), 0);
    // Cancel data entry leaves it.
    frame->UpdateActionsNow();
    frame->Action(ID_DATA_CANCEL)->trigger();
    EXPECT_FALSE(commands->IsStationOpen());
    EXPECT_FALSE(frame->IsDataEntryMode());
    Quit();
}

// Leaving the print station brings back the sign settings pane the user
// left, not one built anew, reading the paper and printer again; on the way
// in and out the menu bar greys and lights all its menus with one layout of
// its items each way, not one per menu.
TEST_F(PrintingFlowTest, TheStationHandsBackTheSettingsPaneAndGreysTheMenusAtOnce)
{
    CMainFrame* frame = StartWithATypedText();
    ASSERT_NE(frame, nullptr);
    frame->show();
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    // A click beside the text lets go of it: the pane shows the sign.
    frame->Action(ID_TOOL_SELECT)->trigger();
    const CPoint empty = view->LPtoDP(CPoint(600, 900));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(empty.x, empty.y));
    QApplication::processEvents();
    const QPointer<QWidget> settings = frame->PropertyPane();
    ASSERT_TRUE(settings);
    ASSERT_EQ(settings->metaObject()->className(), std::string("CSettingsView"));
    const auto stock = [frame] {
        auto* label = frame->PropertyPane()->findChild<QLabel*>(QStringLiteral("id1528"));
        return label ? label->text() : QString();
    };
    const QString stockShown = stock();
    ASSERT_FALSE(stockShown.isEmpty());

    CEventCount news(QEvent::ActionChanged);
    frame->menuBar()->installEventFilter(&news);
    const QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_GT(menus.size(), 2);
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands->IsStationOpen());
    EXPECT_EQ(news.count, 1);
    for (QAction* menu : menus)
        EXPECT_FALSE(menu->isEnabled()) << menu->text().toStdString();
    EXPECT_NE(frame->PropertyPane(), settings.data());
    EXPECT_TRUE(settings) << "the settings pane went with the station's opening";

    news.count = 0;
    auto* back = Control<QPushButton>(commands->BatchDialog(), CPrintBatchDlg::IDC_RETURN);
    ASSERT_NE(back, nullptr);
    QTest::mouseClick(back, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(commands->IsStationOpen());
    EXPECT_EQ(news.count, 1);
    for (QAction* menu : menus)
        EXPECT_TRUE(menu->isEnabled()) << menu->text().toStdString();
    frame->menuBar()->removeEventFilter(&news);
    ASSERT_TRUE(settings);
    EXPECT_EQ(frame->PropertyPane(), settings.data());
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(stock(), stockShown);
    Quit();
}

// Pictures of the print station with a 3 x 8 sheet half used and of the
// paper dialogs, for looking at; written only when TABREL_PRINT_SHOTS names
// a folder.
TEST_F(PrintingFlowTest, Pictures)
{
    const QString folder = qEnvironmentVariable("TABREL_PRINT_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "TABREL_PRINT_SHOTS not set";
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->showNormal();
    frame->resize(1280, 860);
    ThePaper().SelectStock(QStringLiteral("Labels 3x8"));

    // The Paper Stock dialog on the label sheet.
    CAnswer<CPaperStockDlg> stockShot([&folder](CPaperStockDlg* dlg) {
        dlg->grab().save(folder + QStringLiteral("/paper-stock.png"));
        dlg->reject();
    });
    frame->ExecuteCommand(ID_PAPER_SELECT);
    // The Paper Design dialog on an elliptical roll of two across.
    CAnswer<CPaperDesignDlg> designShot([&folder](CPaperDesignDlg* dlg) {
        Control<QRadioButton>(dlg, CPaperDesignDlg::IDC_CONTINUOUS)->click();
        Control<QRadioButton>(dlg, CPaperDesignDlg::IDC_ELLIPTICAL)->click();
        Type(dlg, CPaperDesignDlg::IDC_ACROSS, "2");
        dlg->grab().save(folder + QStringLiteral("/paper-design.png"));
        dlg->reject();
    });
    frame->ExecuteCommand(ID_PAPER_NEW);

    // A sign: a box and a text.
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    auto dp = [view](int x, int y) {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    };
    QWidget* surface = view->viewport();
    frame->Action(ID_TOOL_BOX)->trigger();
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, dp(30, 30));
    for (const QPoint& p : {dp(100, 100), dp(605, 309)}) {
        QMouseEvent move(QEvent::MouseMove, p, surface->mapToGlobal(p), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, dp(605, 309));
    frame->Action(ID_TOOL_TEXT)->trigger();
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, dp(90, 110));

    // The station with 4 labels used before and 8 printed.
    frame->Action(ID_PREVIEW_SHEET)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CPrintBatchDlg* batch = commands->BatchDialog();
    FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) {
        return home.FilePath("shots.pdf");
    };
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES)->setValue(8);
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_SHEET_USAGE)->setValue(4);
    CAnswer<CSheetReuseWarningDlg> warning([&folder](CSheetReuseWarningDlg* dlg) {
        dlg->grab().save(folder + QStringLiteral("/sheet-reuse-warning.png"));
        Control<QPushButton>(dlg, IDOK)->click();
    });
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
    QApplication::processEvents();
    QImage shot = frame->grab().toImage();
    {
        // The batch dialog where it stands beside the station.
        QPainter painter(&shot);
        const QPoint at = batch->pos() - frame->pos();
        painter.drawPixmap(at, batch->grab());
    }
    shot.save(folder + QStringLiteral("/print-station.png"));
    batch->grab().save(folder + QStringLiteral("/print-batch.png"));
    FrameHooks().chooseFile = nullptr;
    frame->ExecuteCommand(ID_DATA_CANCEL);
    Quit();
}

} // namespace
