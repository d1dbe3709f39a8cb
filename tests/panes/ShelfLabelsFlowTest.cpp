// A sheet of shelf labels as a user makes it in the designer's real main
// frame: a date stamp, an incrementing number and a price fed by a price
// calculation, each variable made through its own wizard from the pane's
// Source list, printed from the print station to a PDF whose every label is
// then read back.
#include "AppContext.h"
#include "ControlById.h"
#include "DateTime.h"
#include "DateTimePage.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "IncPage.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PaperStockDlg.h"
#include "PdfSupport.h"
#include "PriceCalcPage.h"
#include "PriceCalculation.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintStation.h"
#include "Printer.h"
#include "SequenceStore.h"
#include "SignApp.h"
#include "SignData.h"
#include "SourceChoice.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableSheet.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
template <class T> class CAnswer
{
public:
    explicit CAnswer(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_answered = true;
                m_action(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
        m_timer.start(5);
    }
    bool Answered() const { return m_answered; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
};

void Retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

class ShelfLabelsFlowTest : public CDesignerFlow, public ::testing::Test
{
protected:
    ShelfLabelsFlowTest()
    {
        // The printing day: 15 January 2026.
        CDateTime::s_clock = [] { return std::time_t(1768467900); };
    }
    ~ShelfLabelsFlowTest() override { CDateTime::s_clock = nullptr; }

    // Places an element with the tool at the point (tenths of a millimetre
    // on the label); the pane shows it.
    CElement* Place(CMainFrame* frame, int tool, int x, int y)
    {
        auto* view = qobject_cast<CDesignView*>(frame->Canvas());
        const int before = TheElementList().GetCount();
        frame->Action(tool)->trigger();
        const CPoint p = view->LPtoDP(CPoint(x, y));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        EXPECT_EQ(TheElementList().GetCount(), before + 1);
        CElement* placed =
            TheElementList().GetCount() > before ? TheElementList().GetAt(before) : nullptr;
        // The frame shows the new element's pane once the click is over.
        if (placed) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ShownElement() == placed; }, 10000));
        }
        QApplication::processEvents();
        return placed;
    }

    // The 3 x 8 label stock, through the pane's Change... button.
    static void ChooseLabels3x8(CMainFrame* frame)
    {
        CAnswer<CPaperStockDlg> choose([](CPaperStockDlg* dlg) {
            Control<QComboBox>(dlg, 1498)->setCurrentText(QStringLiteral("Labels"));
            auto* list = Control<QListWidget>(dlg, 1136);
            list->setCurrentItem(
                list->findItems(QStringLiteral("Labels 3x8"), Qt::MatchExactly)[0]);
            Control<QPushButton>(dlg, 1)->click();
        });
        Control<QPushButton>(frame->PropertyPane(), 1526)->click();
        ASSERT_TRUE(choose.Answered());
    }

    // Chooses a source kind in the pane's Source list as the user does.
    static void ChooseSource(CMainFrame* frame, const QString& kind)
    {
        auto* type = Control<QComboBox>(frame->PropertyPane(), 1000);
        ASSERT_NE(type, nullptr);
        const int index = type->findText(kind);
        ASSERT_GE(index, 0) << kind.toStdString();
        type->setCurrentIndex(index);
        emit type->activated(index);
    }

    CScopedEnv tz{"TZ", "UTC"};
};

} // namespace

TEST_F(ShelfLabelsFlowTest, ThirtyLabelsEachWithItsNumberDateAndPrice)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);

    // 1. The 3 x 8 label stock, through the pane's Change... button.
    ASSERT_NO_FATAL_FAILURE(ChooseLabels3x8(frame));
    ASSERT_EQ(ThePaper().GetPaperName(), "Labels 3x8");

    // 2. A text whose source is a new date/time stamp in the first standard
    // format.
    CElement* date = Place(frame, ID_TOOL_TEXT, 30, 20);
    ASSERT_NE(date, nullptr);
    CAnswer<CVariableSheet> dateWizard([](CVariableSheet* sheet) {
        auto* format = qobject_cast<CDateTimePage1*>(sheet->CurrentPage());
        ASSERT_NE(format, nullptr);
        format->FormatList()->setCurrentRow(0);
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    ChooseSource(frame, QStringLiteral("Date/Time Stamp"));
    ASSERT_TRUE(dateWizard.Answered());
    EXPECT_EQ(date->m_dataSource, SOURCE_DATE_TIME);
    ASSERT_NE(TheVariableList().FindVariable(VARIABLE_DATE_TIME, date->m_sourceName), nullptr);

    // 3. A text that counts from 1, one step per label.
    CElement* number = Place(frame, ID_TOOL_TEXT, 30, 170);
    ASSERT_NE(number, nullptr);
    CAnswer<CVariableSheet> numberWizard([](CVariableSheet* sheet) {
        auto* start = qobject_cast<CIncPage1*>(sheet->CurrentPage());
        ASSERT_NE(start, nullptr);
        Retype(start->Source()->ValueEdit(), QStringLiteral("1"));
        sheet->NextButton()->click();
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    ChooseSource(frame, QStringLiteral("Incrementing Number"));
    ASSERT_TRUE(numberWizard.Answered());
    EXPECT_EQ(number->m_dataSource, SOURCE_INCREMENTING);

    // 4. A price fed by a price calculation: 12.50 less 20 %.
    CElement* price = Place(frame, ID_TOOL_PRICE, 330, 60);
    ASSERT_NE(price, nullptr);
    CAnswer<CVariableSheet> priceWizard([](CVariableSheet* sheet) {
        auto* type = qobject_cast<CPriceCalcPage1*>(sheet->CurrentPage());
        ASSERT_NE(type, nullptr);
        type->TypeButton(CPriceCalculation::CALC_DISCOUNTED_PRICE)->click();
        sheet->NextButton()->click();
        auto* a = qobject_cast<CPriceCalcPage2*>(sheet->CurrentPage());
        Retype(a->Source()->ValueEdit(), QStringLiteral("12.50"));
        sheet->NextButton()->click();
        auto* b = qobject_cast<CPriceCalcPage2*>(sheet->CurrentPage());
        Retype(b->Source()->ValueEdit(), QStringLiteral("20"));
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    ChooseSource(frame, QStringLiteral("Price Calculation"));
    ASSERT_TRUE(priceWizard.Answered());
    EXPECT_EQ(price->m_dataSource, SOURCE_PRICE_CALC);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(TheVariableList().GetCount(), 3);

    // 5. Saved, a new sign started, and the saved one opened again: the
    // variables travel with the sign.
    const QString pdf = home.FilePath("shelf.pdf");
    const QString sign = home.FilePath("shelf.sgn");
    FrameHooks().chooseFile = [pdf, sign](QWidget*, const CFileChoice& choice) {
        return choice.defaultSuffix == QLatin1String("pdf") ? pdf : sign;
    };
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    ASSERT_TRUE(QFile::exists(sign)) << messages.LastText().toStdString();
    frame->Action(ID_FILE_NEW)->trigger();
    ASSERT_EQ(TheVariableList().GetCount(), 0);
    frame->Action(ID_FILE_OPEN)->trigger();
    ASSERT_EQ(TheElementList().GetCount(), 3) << messages.LastText().toStdString();
    EXPECT_EQ(TheVariableList().GetCount(), 3);
    EXPECT_EQ(TheVariableList().CountOfType(VARIABLE_DATE_TIME), 1);
    EXPECT_EQ(TheVariableList().CountOfType(VARIABLE_INCREMENTING), 1);
    EXPECT_EQ(TheVariableList().CountOfType(VARIABLE_PRICE_CALC), 1);

    // 6. File > Print opens the print station; 30 labels to a PDF file.
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_NE(commands, nullptr);
    ASSERT_TRUE(commands->IsStationOpen());
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    ASSERT_EQ(batch->Destination(), 1);
    auto* count = Control<QSpinBox>(batch, CPrintBatchDlg::IDC_BATCH);
    ASSERT_FALSE(count->isHidden()); // a serialised sign prints in batches
    count->setValue(30);
    Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES)->setValue(1);
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, 30);
    // Eject the half-used second sheet (the job ends, the file is written),
    // then back to the design.
    auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    back->click();
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    back->click();
    EXPECT_FALSE(commands->IsStationOpen());

    // 7. Every label shows its own number, the date and the price.
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(PdfPageCount(pdf), 2);
    for (int label = 0; label < 30; ++label) {
        const int page = label < 24 ? 1 : 2;
        // The date, the label's own number and the price 12.50 less 20 %,
        // in reading order.
        EXPECT_EQ(CellText(pdf, page, label % 24),
                  QStringLiteral("15.01.26") + QString::number(label + 1) + QStringLiteral("10.00"))
            << "label " << label + 1;
    }
    // The cells after the 30th are empty.
    EXPECT_TRUE(CellText(pdf, 2, 6).isEmpty());

    Quit();
}

// A counter that steps every two labels, every page or every row, printed
// on three whole sheets: each label shows the number of its group.
TEST_F(ShelfLabelsFlowTest, CountingByLabelsPageOrRowAcrossThreeSheets)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ASSERT_NO_FATAL_FAILURE(ChooseLabels3x8(frame));

    CElement* number = Place(frame, ID_TOOL_TEXT, 30, 100);
    ASSERT_NE(number, nullptr);
    CAnswer<CVariableSheet> wizard([](CVariableSheet* sheet) {
        auto* start = qobject_cast<CIncPage1*>(sheet->CurrentPage());
        ASSERT_NE(start, nullptr);
        Retype(start->Source()->ValueEdit(), QStringLiteral("1"));
        sheet->NextButton()->click();
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    ChooseSource(frame, QStringLiteral("Incrementing Number"));
    ASSERT_TRUE(wizard.Answered());

    struct Case
    {
        const char* name;
        std::function<void(CIncPage2*)> choose;
        int labelsPerStep;
    };
    const Case cases[] = {
        {"every 2 labels",
         [](CIncPage2* page) {
             page->LabelsButton()->click();
             page->LabelsBox()->setValue(2);
         },
         2},
        {"every page", [](CIncPage2* page) { page->PageButton()->click(); }, 24},
        {"every row", [](CIncPage2* page) { page->RowButton()->click(); }, 3},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The element chosen on the canvas; the pane's Edit... opens the
        // counter's property sheet.
        auto* view = qobject_cast<CDesignView*>(frame->Canvas());
        const CPoint centre = view->LPtoDP(number->m_bounds.CenterPoint());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(centre.x, centre.y));
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ShownElement() == number; }, 10000));
        QApplication::processEvents();
        CAnswer<CVariableSheet> edit([&c](CVariableSheet* sheet) {
            auto* increment = qobject_cast<CIncPage2*>(sheet->Page(1));
            ASSERT_NE(increment, nullptr);
            c.choose(increment);
            sheet->FinishButton()->click();
        });
        Control<QPushButton>(frame->PropertyPane(), 1004)->click();
        ASSERT_TRUE(edit.Answered());

        const QString pdf = home.FilePath(QStringLiteral("run%1.pdf").arg(++run));
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        CPrintCommands* commands = nullptr;
        CPrintBatchDlg* batch = nullptr;
        ASSERT_NO_FATAL_FAILURE(OpenStationToFile(frame, commands, batch));
        Control<QSpinBox>(batch, CPrintBatchDlg::IDC_BATCH)->setValue(72);
        Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        // Three whole sheets: the job has ended with the third.
        ASSERT_NO_FATAL_FAILURE(EjectAndLeaveStation(commands, batch));

        ASSERT_EQ(PdfPageCount(pdf), 3);
        for (int label = 0; label < 72; ++label) {
            EXPECT_EQ(CellText(pdf, label / 24 + 1, label % 24),
                      QString::number(label / c.labelsPerStep + 1))
                << "label " << label + 1;
        }
        // Leaving the station starts the counter again at its start.
        EXPECT_EQ(
            TheVariableList().FindVariable(VARIABLE_INCREMENTING, number->m_sourceName)->GetValue(),
            "1");
    }
    Quit();
}

// A serial number from a number sequence: a job cancelled part way prints
// nothing, so the sequence keeps its next number, and the next print uses
// it; a finished print leaves the number after its last label.
TEST_F(ShelfLabelsFlowTest, ACancelledPrintUsesUpNoSerialNumbers)
{
    CMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    ASSERT_NO_FATAL_FAILURE(ChooseLabels3x8(frame));

    Place(frame, ID_TOOL_TEXT, 30, 100);
    CAnswer<CVariableSheet> wizard([](CVariableSheet* sheet) {
        auto* start = qobject_cast<CIncPage1*>(sheet->CurrentPage());
        ASSERT_NE(start, nullptr);
        start->Source()->Button(CIncNumber::SOURCE_SEQUENCE)->click();
        start->Source()->SequenceCombo()->setEditText(QStringLiteral("Tickets"));
        Retype(start->Source()->NextNumberEdit(), QStringLiteral("100"));
        sheet->NextButton()->click();
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    ChooseSource(frame, QStringLiteral("Incrementing Number"));
    ASSERT_TRUE(wizard.Answered());
    ASSERT_EQ(TheSequenceStore().GetValue(QStringLiteral("Tickets")), "100");

    const auto print = [&](const QString& pdf, int labels, bool cancel) {
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        CPrintCommands* commands = nullptr;
        CPrintBatchDlg* batch = nullptr;
        ASSERT_NO_FATAL_FAILURE(OpenStationToFile(frame, commands, batch));
        Control<QSpinBox>(batch, CPrintBatchDlg::IDC_BATCH)->setValue(labels);
        // The Printing window's Cancel, once a few labels have gone.
        QTimer canceller;
        bool cancelled = false;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            if (!cancel || cancelled || ThePrinter().m_labelPosition < 5)
                return;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->inherits("CPrintAbortDlg") && window->isVisible()) {
                    cancelled = true;
                    QTest::keyClick(window, Qt::Key_Escape);
                }
            }
        });
        canceller.start(0);
        Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
        canceller.stop();
        EXPECT_EQ(cancelled, cancel);
        ASSERT_NO_FATAL_FAILURE(EjectAndLeaveStation(commands, batch));
    };

    // The Printing window is up by the thousandth label.
    print(home.FilePath("cancelled.pdf"), 1100, true);
    EXPECT_FALSE(QFile::exists(home.FilePath("cancelled.pdf")));
    EXPECT_EQ(TheSequenceStore().GetValue(QStringLiteral("Tickets")), "100");

    const QString pdf = home.FilePath("tickets.pdf");
    print(pdf, 3, false);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    for (int label = 0; label < 3; ++label)
        EXPECT_EQ(CellText(pdf, 1, label), QString::number(100 + label)) << label;
    EXPECT_EQ(TheSequenceStore().GetValue(QStringLiteral("Tickets")), "103");

    Quit();
    // The sequence outlives the session in its side file.
    TheSequenceStore().RemoveAll();
    ASSERT_TRUE(LoadSequenceStore());
    EXPECT_EQ(TheSequenceStore().GetValue(QStringLiteral("Tickets")), "103");
}
