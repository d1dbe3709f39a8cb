// Price labels from a price list, made as a new user makes them in the
// designer's real main frame: the sign is linked to a CSV file through the
// connection wizard from the Database menu, a text and a price take their
// fields from the Field list of their panes, the sign is saved and opened
// again, the records are stepped through at print time and Print All prints
// one label per record, read back from the PDF.
#include "AppContext.h"
#include "ConnectionWizard.h"
#include "ControlById.h"
#include "DataCtrl.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DateTimePage.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
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
#include "Printer.h"
#include "RecordNavigator.h"
#include "SignApp.h"
#include "SignData.h"
#include "SourceChoice.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableSheet.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

class DatabaseFieldsFlowTest : public CDesignerFixture
{
protected:
    DatabaseFieldsFlowTest()
    {
        EXPECT_TRUE(WriteLabelStockLibrary(home));
        QFile list(csv);
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("Code,Name,Price\r\nA1,Apples,1.25\r\nF2,Figs,0.95\r\nG3,Grapes,2.15\r\n");
    }
    ~DatabaseFieldsFlowTest() override { FrameHooks().chooseFile = nullptr; }
    bool Start()
    {
        if (!StartDesigner(QSize(1200, 860)))
            return false;
        // The 3 x 8 label stock, through the pane's Change... button.
        CAnswer<CPaperStockDlg> stock([](CPaperStockDlg* dlg) {
            Control<QComboBox>(dlg, 1498)->setCurrentText(QStringLiteral("Labels"));
            auto* list = Control<QListWidget>(dlg, 1136);
            list->setCurrentItem(
                list->findItems(QStringLiteral("Labels 3x8"), Qt::MatchExactly)[0]);
            Control<QPushButton>(dlg, 1)->click();
        });
        Control<QPushButton>(frame->PropertyPane(), 1526)->click();
        return stock.Answered() && ThePaper().GetPaperName() == QLatin1String("Labels 3x8");
    }
    // Database > Connect: the price list, a text file, comma separated,
    // names in the first row.
    void Connect()
    {
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return csv; };
        CAnswer<CConnectionWizard> wizard([](CConnectionWizard* w) {
            const auto press = [w](QWizard::WizardButton which) {
                QTest::mouseClick(w->button(which), Qt::LeftButton);
            };
            const auto on = [w](const char* name) {
                return w->currentPage()->findChild<QWidget*>(QString::fromLatin1(name));
            };
            qobject_cast<QListWidget*>(on("id1089"))->setCurrentRow(kDatabaseTypeText);
            press(QWizard::NextButton);
            QTest::mouseClick(qobject_cast<QPushButton*>(on("idBrowse")), Qt::LeftButton);
            press(QWizard::NextButton);
            ASSERT_EQ(w->currentId(), CConnectionWizard::kTextPage);
            qobject_cast<QCheckBox*>(on("id1098"))->setChecked(true);
            press(QWizard::NextButton);
            press(QWizard::FinishButton);
        });
        frame->UpdateActionsNow();
        frame->Action(ID_DATABASE_CONNECT)->trigger();
        EXPECT_TRUE(wizard.Answered());
    }
    // Print All from the print station to the PDF file.
    void PrintAll(const QString& pdf, int records)
    {
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        CPrintCommands* commands = CPrintCommands::Of(frame);
        frame->UpdateActionsNow();
        if (!commands->IsStationOpen()) {
            ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
        }
        CPrintBatchDlg* batch = commands->BatchDialog();
        ASSERT_NE(batch, nullptr);
        Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION)->setCurrentIndex(1);
        ASSERT_EQ(batch->Destination(), 1);
        messages.Clear();
        messages.SetDefaultAnswer(IDYES);
        frame->UpdateActionsNow();
        frame->Action(ID_RECORD_PRINT_ALL)->trigger();
        ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
        EXPECT_EQ(messages.LastText(), QStringLiteral("Print %1 signs ?").arg(records));
        auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
        back->click();
        back->click();
        EXPECT_FALSE(commands->IsStationOpen());
    }
    // The element's tool, then a click on the label.
    CElement* Place(int tool, int x, int y)
    {
        auto* view = qobject_cast<CDesignView*>(frame->Canvas());
        const int before = TheElementList().GetCount();
        frame->UpdateActionsNow();
        frame->Action(tool)->trigger();
        const CPoint p = view->LPtoDP(CPoint(x, y));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        CElement* placed =
            TheElementList().GetCount() > before ? TheElementList().GetAt(before) : nullptr;
        if (placed) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ShownElement() == placed; }, 10000));
        }
        QApplication::processEvents();
        return placed;
    }
    // Selects the element with a click on the canvas; its pane shows.
    void Select(CElement* element)
    {
        auto* view = qobject_cast<CDesignView*>(frame->Canvas());
        const CPoint p = view->LPtoDP(element->m_bounds.CenterPoint());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ShownElement() == element; }, 10000));
        QApplication::processEvents();
    }
    // Picks an item of one of the pane's lists as the user does.
    static void Choose(QComboBox* combo, const QString& text)
    {
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString() << " in " << Items(combo).join(',').toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QComboBox* SourceType() { return Control<QComboBox>(frame->PropertyPane(), 1000); }
    QComboBox* SourceField() { return Control<QComboBox>(frame->PropertyPane(), 1001); }

    QString csv = home.FilePath("pricelist.csv");
};

TEST_F(DatabaseFieldsFlowTest, PriceListLinkedFieldsChosenInThePanesAndEveryRecordPrinted)
{
    ASSERT_TRUE(Start());

    Connect();
    ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 0) << messages.LastText().toStdString();

    // A text and a price, each fed by a field chosen in its pane.
    const QStringList fields{"Code", "Name", "Price"};
    CElement* name = Place(ID_TOOL_TEXT, 30, 40);
    ASSERT_NE(name, nullptr);
    Choose(SourceType(), QStringLiteral("Database"));
    EXPECT_EQ(Items(SourceField()), fields);
    Choose(SourceField(), QStringLiteral("Name"));
    EXPECT_EQ(name->m_dataSource, SOURCE_DATABASE);
    EXPECT_EQ(name->m_sourceName, "Name");

    CElement* price = Place(ID_TOOL_PRICE, 330, 160);
    ASSERT_NE(price, nullptr);
    Choose(SourceType(), QStringLiteral("Database"));
    // Chosen as Database, the element takes the first field until another
    // is chosen.
    EXPECT_EQ(Items(SourceField()), fields);
    EXPECT_EQ(SourceField()->currentText(), "Code");
    EXPECT_EQ(price->m_sourceName, "Code");
    Choose(SourceField(), QStringLiteral("Price"));
    EXPECT_EQ(price->m_sourceName, "Price");
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // Saved, a new sign, the saved one opened again: the panes show the
    // fields with each element's own selected.
    const QString sign = home.FilePath("prices.sgn");
    const QString pdf = home.FilePath("prices.pdf");
    FrameHooks().chooseFile = [sign, pdf](QWidget*, const CFileChoice& choice) {
        return choice.defaultSuffix == QLatin1String("pdf") ? pdf : sign;
    };
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    ASSERT_TRUE(QFile::exists(sign)) << messages.LastText().toStdString();
    frame->Action(ID_FILE_NEW)->trigger();
    ASSERT_EQ(TheElementList().GetCount(), 0);
    frame->Action(ID_FILE_OPEN)->trigger();
    ASSERT_EQ(TheElementList().GetCount(), 2) << messages.LastText().toStdString();
    ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 0);
    for (const auto& [index, field] : {std::pair{0, "Name"}, std::pair{1, "Price"}}) {
        CElement* element = TheElementList().GetAt(index);
        Select(element);
        ASSERT_EQ(frame->PropertyPane()->findChild<QComboBox*>("id1001"), SourceField());
        EXPECT_EQ(Items(SourceField()), fields) << field;
        EXPECT_EQ(SourceField()->currentText(), field);
        EXPECT_EQ(element->m_sourceName, field);
    }

    // File > Print: the rows follow the records stepped through.
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    CDataView* view = commands->DataView();
    ASSERT_NE(view, nullptr);
    auto* navigator = qobject_cast<CRecordNavigator*>(view->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    auto* nameRow = Control<QLineEdit>(view->Panel(), 2000);
    auto* priceRow = Control<QLineEdit>(view->Panel(), 2001);
    ASSERT_TRUE(nameRow && priceRow);
    EXPECT_EQ(nameRow->text(), "Apples");
    EXPECT_EQ(priceRow->text(), "1.25");
    Control<QAbstractButton>(navigator, CRecordNavigator::IDC_NEXT)->click();
    EXPECT_EQ(nameRow->text(), "Figs");
    EXPECT_EQ(priceRow->text(), "0.95");
    Control<QAbstractButton>(navigator, CRecordNavigator::IDC_FIRST)->click();

    // Print All to a file: one label per record, each with its own values.
    PrintAll(pdf, 3);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QStringList expected{"Apples1.25", "Figs0.95", "Grapes2.15", ""};
    for (int cell = 0; cell < expected.size(); ++cell)
        EXPECT_EQ(CellText(pdf, 1, cell), expected[cell]) << cell;
}

// A price calculation fed by a field: the text shows the list price less
// 20 %, the price chosen on the input page of the calculation's wizard from
// the fields of the linked database.
TEST_F(DatabaseFieldsFlowTest, PriceCalculationTakesItsPriceFromAField)
{
    ASSERT_TRUE(Start());
    Connect();
    ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 0) << messages.LastText().toStdString();
    CElement* offer = Place(ID_TOOL_TEXT, 30, 40);
    ASSERT_NE(offer, nullptr);
    QStringList offered;
    CAnswer<CVariableSheet> calculation([&offered](CVariableSheet* sheet) {
        auto* type = qobject_cast<CPriceCalcPage1*>(sheet->CurrentPage());
        ASSERT_NE(type, nullptr);
        type->TypeButton(CPriceCalculation::CALC_DISCOUNTED_PRICE)->click();
        sheet->NextButton()->click();
        auto* a = qobject_cast<CPriceCalcPage2*>(sheet->CurrentPage());
        ASSERT_NE(a, nullptr);
        a->Source()->Button(SOURCE_DATABASE)->click();
        offered = Items(a->Source()->FieldCombo());
        Choose(a->Source()->FieldCombo(), QStringLiteral("Price"));
        sheet->NextButton()->click();
        auto* b = qobject_cast<CPriceCalcPage2*>(sheet->CurrentPage());
        ASSERT_NE(b, nullptr);
        b->Source()->ValueEdit()->setText(QStringLiteral("20"));
        sheet->NextButton()->click();
        sheet->FinishButton()->click();
    });
    Choose(SourceType(), QStringLiteral("Price Calculation"));
    ASSERT_TRUE(calculation.Answered());
    EXPECT_EQ(offered, (QStringList{"Code", "Name", "Price"}));
    ASSERT_EQ(offer->m_dataSource, SOURCE_PRICE_CALC);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    const QString pdf = home.FilePath("offers.pdf");
    PrintAll(pdf, 3);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QStringList expected{"1.00", "0.76", "1.72"};
    for (int cell = 0; cell < expected.size(); ++cell)
        EXPECT_EQ(CellText(pdf, 1, cell), expected[cell]) << cell;
}

// A date stamp whose extra days come from a field: the Offset page of its
// wizard lists the linked database's fields.
TEST_F(DatabaseFieldsFlowTest, DateStampOffsetPageListsTheFields)
{
    ASSERT_TRUE(Start());
    Connect();
    ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 0) << messages.LastText().toStdString();
    CElement* date = Place(ID_TOOL_TEXT, 30, 40);
    ASSERT_NE(date, nullptr);
    QStringList offered;
    CAnswer<CVariableSheet> stamp([&offered](CVariableSheet* sheet) {
        auto* format = qobject_cast<CDateTimePage1*>(sheet->CurrentPage());
        ASSERT_NE(format, nullptr);
        format->FormatList()->setCurrentRow(0);
        sheet->NextButton()->click();
        auto* offset = qobject_cast<CDateTimePage2*>(sheet->CurrentPage());
        ASSERT_NE(offset, nullptr);
        offset->OffsetButton()->click();
        offset->AllowCheck()->click();
        Choose(offset->SourceCombo(), QStringLiteral("Database"));
        offered = Items(offset->FieldCombo());
        Choose(offset->FieldCombo(), QStringLiteral("Price"));
        sheet->FinishButton()->click();
    });
    Choose(SourceType(), QStringLiteral("Date/Time Stamp"));
    ASSERT_TRUE(stamp.Answered());
    EXPECT_EQ(offered, (QStringList{"Code", "Name", "Price"}));
    CVariable* variable = TheVariableList().FindVariable(VARIABLE_DATE_TIME, date->m_sourceName);
    ASSERT_NE(variable, nullptr);
    EXPECT_TRUE(variable->IsDatabaseSourced());
    EXPECT_EQ(variable->GetSourceFieldName(), "Price");
}

} // namespace
