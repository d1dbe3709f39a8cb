// The pages of the date/time stamp, the price calculation, the incrementing
// number and the option list, driven as the user does through each
// variable's own new-variable and edit dialogs.
#include "DateTimePage.h"
#include "IncPage.h"
#include "OptionListPage.h"
#include "PriceCalcPage.h"
#include "SourceChoice.h"
#include "VariableDialogs.h"
#include "VariableSheet.h"

#include "AppContext.h"
#include "DateTime.h"
#include "Element.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "PriceCalculation.h"
#include "Seams.h"
#include "SequenceStore.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <ctime>
#include <functional>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Runs the action on the variable's sheet once it shows.
void WhenShown(std::function<void(CVariableSheet*)> action)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* sheet = qobject_cast<CVariableSheet*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(sheet);
            // A sheet the action left open is closed, so nothing waits.
            if (sheet->isVisible())
                sheet->reject();
        }
    });
    timer->start(5);
}

void Click(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    button->click();
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

template <class Page> Page* Current(CVariableSheet* sheet)
{
    auto* page = qobject_cast<Page*>(sheet->CurrentPage());
    EXPECT_NE(page, nullptr);
    return page;
}

class CStoreLink : public CDataLinkSeam
{
public:
    int kind = 1;
    int GetLinkKind() const override { return kind; }
    QString GetFieldValue(const QString&) override { return QString(); }
    int GetStoreRecordCount() override { return 0; }
    bool TableHasColumn(const QString&) override { return false; }
};

class VariablePagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureWidgetApp();
        tz.Set("UTC");
        RegisterVariableSignParts();
        InstallVariableDialogs();
        // 15 January 2026, 09:05 UTC, a Thursday.
        CDateTime::s_clock = [] { return std::time_t(1768467900); };
    }
    void TearDown() override { CDateTime::s_clock = nullptr; }

    template <class T> T* Create(int type, const char* name)
    {
        return dynamic_cast<T*>(TheVariableList().CreateVariable(type, QString::fromLatin1(name)));
    }

    CTestHome home;
    CScopedEnv tz{"TZ"};
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(VariablePagesTest, DateTimeStampFormatAndOffset)
{
    auto* stamp = Create<CDateTime>(VARIABLE_DATE_TIME, "Packed");
    ASSERT_NE(stamp, nullptr);
    bool walked = false;
    WhenShown([&](CVariableSheet* sheet) {
        EXPECT_TRUE(sheet->IsWizard());
        auto* format = Current<CDateTimePage1>(sheet);
        ASSERT_NE(format, nullptr);
        // The standard formats are shown as the time they print.
        ASSERT_EQ(format->FormatList()->count(), 21);
        EXPECT_EQ(format->FormatList()->item(0)->text(), "15.01.26");
        EXPECT_EQ(format->FormatList()->item(2)->text(), "Thursday 15 January 2026");
        EXPECT_EQ(format->FormatList()->currentRow(), 0);
        EXPECT_FALSE(format->FormatEdit()->isEnabled());
        EXPECT_FALSE(sheet->FinishButton()->isEnabled());

        format->FormatList()->setCurrentRow(7);
        EXPECT_EQ(format->FormatEdit()->text(), "%H:%M");
        EXPECT_EQ(format->Sample()->text(), "09:05");

        Click(format->CustomButton());
        EXPECT_TRUE(format->FormatEdit()->isEnabled());
        Retype(format->FormatEdit(), "week %U, %d %b %");
        // A trailing "%" is a conversion not yet typed: left out.
        EXPECT_EQ(format->Sample()->text(), "week 03, 15 Jan ");
        EXPECT_EQ(format->FormatList()->currentRow(), -1);
        Click(sheet->NextButton());

        auto* offset = Current<CDateTimePage2>(sheet);
        ASSERT_NE(offset, nullptr);
        EXPECT_TRUE(offset->NormalButton()->isChecked());
        EXPECT_FALSE(offset->DaysEdit()->isEnabled());
        EXPECT_FALSE(offset->AllowCheck()->isEnabled());
        Click(offset->OffsetButton());
        Retype(offset->DaysEdit(), "3");
        Retype(offset->WeeksEdit(), "two");
        Click(offset->AllowCheck());
        EXPECT_TRUE(offset->PromptEdit()->isEnabled());
        EXPECT_FALSE(offset->FieldCombo()->isEnabled());
        Retype(offset->PromptEdit(), "Extra days");

        // Weeks that are no number: told, and the page stays.
        Click(sheet->FinishButton());
        EXPECT_EQ(messages.Count(), 1);
        EXPECT_TRUE(sheet->isVisible());
        Retype(offset->WeeksEdit(), "1");
        walked = true;
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(stamp->DoNewDialog(nullptr));
    ASSERT_TRUE(walked);
    EXPECT_EQ(stamp->m_format, "week %U, %d %b ");
    EXPECT_EQ(stamp->m_offsetDays, 10);
    EXPECT_TRUE(stamp->m_allowAdditional);
    EXPECT_EQ(stamp->m_additionalSource, CDateTime::ADDITIONAL_KEYBOARD);
    EXPECT_EQ(stamp->m_prompt, "Extra days");
    EXPECT_EQ(stamp->GetValue(), "week 04, 25 Jan ");

    // The property sheet shows 10 days as 1 week and 3 days; a database
    // source is refused while the link keeps the sign's data store.
    CStoreLink store;
    context.dataLink = &store;
    WhenShown([&](CVariableSheet* sheet) {
        EXPECT_FALSE(sheet->IsWizard());
        EXPECT_EQ(sheet->windowTitle(), "Date/Time Stamp Properties");
        EXPECT_EQ(sheet->findChild<QTabWidget*>()->count(), 2);
        auto* offset = qobject_cast<CDateTimePage2*>(sheet->Page(1));
        ASSERT_NE(offset, nullptr);
        EXPECT_TRUE(offset->OffsetButton()->isChecked());
        EXPECT_EQ(offset->DaysEdit()->text(), "3");
        EXPECT_EQ(offset->WeeksEdit()->text(), "1");
        messages.Clear();
        offset->SourceCombo()->setCurrentIndex(1);
        emit offset->SourceCombo()->activated(1);
        EXPECT_EQ(messages.LastText(),
                  "The database link is being used for data storage, and cannot be used as a "
                  "data source.");
        EXPECT_EQ(offset->SourceCombo()->currentIndex(), 0);
        Retype(offset->DaysEdit(), "4");
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(stamp->DoEditDialog(nullptr));
    EXPECT_EQ(stamp->m_offsetDays, 11);
    context.dataLink = nullptr;

    // Cancel leaves the variable as it was.
    WhenShown([](CVariableSheet* sheet) {
        auto* offset = qobject_cast<CDateTimePage2*>(sheet->Page(1));
        Click(offset->NormalButton());
        Click(sheet->CancelButton());
    });
    EXPECT_FALSE(stamp->DoEditDialog(nullptr));
    EXPECT_EQ(stamp->m_offsetDays, 11);
}

TEST_F(VariablePagesTest, PriceCalculationTypeInputsAndRounding)
{
    auto* calc = Create<CPriceCalculation>(VARIABLE_PRICE_CALC, "Offer");
    ASSERT_NE(calc, nullptr);
    bool walked = false;
    WhenShown([&](CVariableSheet* sheet) {
        auto* type = Current<CPriceCalcPage1>(sheet);
        ASSERT_NE(type, nullptr);
        EXPECT_TRUE(type->TypeButton(0)->isChecked());
        Click(type->TypeButton(2));
        EXPECT_EQ(type->Description()->text(),
                  "The result of applying a percentage discount to a price.");
        Click(sheet->NextButton());

        auto* a = Current<CPriceCalcPage2>(sheet);
        EXPECT_EQ(a->Description()->text(), "Please specify, or select the source of, the price "
                                            "to which the discount should be applied.");
        // No element to take from, no database: those choices are off.
        EXPECT_FALSE(a->Source()->Button(SOURCE_ELEMENT)->isEnabled());
        EXPECT_FALSE(a->Source()->Button(SOURCE_DATABASE)->isEnabled());
        Retype(a->Source()->ValueEdit(), "12.50");
        Click(sheet->NextButton());

        auto* b = Current<CPriceCalcPage2>(sheet);
        ASSERT_NE(b, a);
        Click(a->Source()->Button(SOURCE_FIXED)); // the other page's button: no effect here
        b->Source()->ValueEdit()->clear();
        Click(sheet->NextButton());
        EXPECT_EQ(messages.LastText(), "No fixed value specified.");
        EXPECT_EQ(sheet->CurrentPage(), b);
        Click(b->Source()->Button(SOURCE_KEYBOARD));
        EXPECT_EQ(b->window()->focusWidget(), b->Source()->PromptEdit());
        EXPECT_FALSE(b->Source()->ValueEdit()->isEnabled());
        QTest::keyClicks(b->Source()->PromptEdit(), "Discount %");
        Click(sheet->NextButton());

        auto* rounding = Current<CPriceCalcPage3>(sheet);
        EXPECT_EQ(rounding->RoundEdit()->text(), "0.01");
        EXPECT_TRUE(rounding->RoundDownCheck()->isChecked());
        Retype(rounding->RoundEdit(), "0.001");
        // Back to the type, and a percentage is rounded in whole percent.
        Click(sheet->BackButton());
        Click(sheet->BackButton());
        Click(sheet->BackButton());
        Click(Current<CPriceCalcPage1>(sheet)->TypeButton(1));
        Click(sheet->NextButton());
        Click(sheet->NextButton());
        Click(sheet->NextButton());
        EXPECT_EQ(rounding->UnitLabel()->text(), "%");
        EXPECT_EQ(rounding->RoundEdit()->text(), "0");
        Retype(rounding->RoundEdit(), "250");
        walked = true;
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(calc->DoNewDialog(nullptr));
    ASSERT_TRUE(walked);
    EXPECT_EQ(calc->m_type, CPriceCalculation::CALC_DISCOUNT);
    EXPECT_EQ(calc->m_inputs[0].sourceKind, SOURCE_FIXED);
    EXPECT_EQ(calc->m_inputs[0].data, "12.50");
    EXPECT_EQ(calc->m_inputs[1].sourceKind, SOURCE_KEYBOARD);
    EXPECT_EQ(calc->m_inputs[1].sourceName, "source1");
    EXPECT_EQ(calc->m_inputs[1].prompt, "Discount %");
    EXPECT_DOUBLE_EQ(calc->m_roundTo, 100.0); // a percentage step is 1 to 100
    EXPECT_FALSE(calc->m_roundUp);
    calc->SetSourceValue("2.5", SOURCE_KEYBOARD, "source1", TRUE);
    EXPECT_EQ(calc->GetValue(), "0"); // 80 % to a step of 100 %

    // The property sheet has the inputs and the rounding only; a step below
    // a hundredth becomes one.
    calc->m_type = CPriceCalculation::CALC_DISCOUNTED_PRICE;
    WhenShown([&](CVariableSheet* sheet) {
        EXPECT_EQ(sheet->windowTitle(), "Price Calculation Properties");
        ASSERT_EQ(sheet->PageCount(), 3);
        auto* rounding = qobject_cast<CPriceCalcPage3*>(sheet->Page(2));
        ASSERT_NE(rounding, nullptr);
        Retype(rounding->RoundEdit(), "0.001");
        Click(rounding->RoundDownCheck());
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(calc->DoEditDialog(nullptr));
    EXPECT_DOUBLE_EQ(calc->m_roundTo, 0.01);
    EXPECT_TRUE(calc->m_roundUp);
    calc->SetSourceValue("20", SOURCE_KEYBOARD, "source1", TRUE);
    EXPECT_EQ(calc->GetValue(), "10.00");
}

TEST_F(VariablePagesTest, IncrementingNumberStartIncrementAndLimit)
{
    ASSERT_FALSE(LoadSequenceStore());
    TheSequenceStore().SetValue("Tickets", "0100");
    auto* element = new CElement;
    element->m_name = "Batch";
    TheElementList().AddTail(element);

    auto* n = Create<CIncNumber>(VARIABLE_INCREMENTING, "Serial");
    ASSERT_NE(n, nullptr);
    bool walked = false;
    WhenShown([&](CVariableSheet* sheet) {
        auto* start = Current<CIncPage1>(sheet);
        CSourceChoice* source = start->Source();
        EXPECT_TRUE(source->Button(SOURCE_FIXED)->isChecked());
        EXPECT_EQ(source->ValueEdit()->text(), "1");
        EXPECT_TRUE(source->Button(SOURCE_ELEMENT)->isEnabled());
        source->ValueEdit()->clear();
        Click(sheet->NextButton());
        EXPECT_EQ(messages.LastText(), "No start value specified.");

        // A serial number: a known name (any case) shows its next number; a
        // new name needs one.
        Click(source->Button(CIncNumber::SOURCE_SEQUENCE));
        EXPECT_EQ(source->SequenceCombo()->currentText(), "Tickets");
        EXPECT_EQ(source->NextNumberEdit()->text(), "0100");
        source->SequenceCombo()->setEditText("Crates");
        EXPECT_EQ(source->NextNumberEdit()->text(), "");
        Click(sheet->NextButton());
        EXPECT_EQ(messages.LastText(), "Invalid serial number definition");
        source->SequenceCombo()->setEditText("TICKETS");
        EXPECT_EQ(source->NextNumberEdit()->text(), "0100");
        Retype(source->NextNumberEdit(), "0120");
        Click(sheet->NextButton());

        auto* increment = Current<CIncPage2>(sheet);
        EXPECT_TRUE(increment->IncrementButton()->isChecked());
        EXPECT_EQ(increment->ByBox()->value(), 1);
        increment->StyleCombo()->setCurrentIndex(CIncNumber::STYLE_CUSTOM);
        EXPECT_TRUE(increment->SequenceEdit()->isEnabled());
        Click(sheet->NextButton());
        EXPECT_EQ(messages.LastText(), "No custom sequence specified.");
        increment->StyleCombo()->setCurrentIndex(CIncNumber::STYLE_DECIMAL);
        Click(increment->DecrementButton());
        increment->ByBox()->setValue(2);
        increment->LabelsBox()->setValue(3);
        Click(sheet->NextButton());

        auto* limit = Current<CIncPage3>(sheet);
        EXPECT_EQ(limit->ActionCombo()->currentText(), "No Limit");
        EXPECT_FALSE(limit->Source()->isEnabled());
        limit->ActionCombo()->setCurrentIndex(CIncNumber::LIMIT_RESTART);
        limit->Source()->ValueEdit()->clear();
        Click(sheet->FinishButton());
        EXPECT_EQ(messages.LastText(), "No limit value specified.");
        Retype(limit->Source()->ValueEdit(), "0110");
        walked = true;
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(n->DoNewDialog(nullptr));
    ASSERT_TRUE(walked);
    EXPECT_EQ(n->m_startSource, CIncNumber::SOURCE_SEQUENCE);
    EXPECT_EQ(n->m_startName, "Tickets");
    EXPECT_EQ(TheSequenceStore().GetValue("Tickets"), "0120");
    EXPECT_EQ(n->GetValue(), "0120");
    EXPECT_EQ(n->m_amount, -2);
    EXPECT_EQ(n->m_frequency, 3);
    EXPECT_EQ(n->m_incrementType, CIncNumber::INCREMENT_LABELS);
    EXPECT_EQ(n->m_limitAction, CIncNumber::LIMIT_RESTART);
    EXPECT_EQ(n->m_limitValue, "0110");

    // The property sheet: every page at once; Every Page is taken.
    WhenShown([&](CVariableSheet* sheet) {
        EXPECT_EQ(sheet->windowTitle(), "Incrementing Number Properties");
        auto* increment = qobject_cast<CIncPage2*>(sheet->Page(1));
        ASSERT_NE(increment, nullptr);
        EXPECT_TRUE(increment->DecrementButton()->isChecked());
        EXPECT_EQ(increment->LabelsBox()->value(), 3);
        increment->PageButton()->setChecked(true);
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(n->DoEditDialog(nullptr));
    EXPECT_EQ(n->m_incrementType, CIncNumber::INCREMENT_PAGE);
    EXPECT_EQ(messages.Count(), 4);
}

TEST_F(VariablePagesTest, OptionListTypedWithSeparateData)
{
    auto* list = Create<COptionList>(VARIABLE_OPTION_LIST, "Size");
    ASSERT_NE(list, nullptr);
    bool walked = false;
    WhenShown([&](CVariableSheet* sheet) {
        auto* how = Current<COptionListPage1>(sheet);
        EXPECT_TRUE(how->TypedButton()->isChecked());
        // No database can be reached: the page stays.
        Click(how->DatabaseButton());
        Click(sheet->NextButton());
        EXPECT_EQ(sheet->CurrentPage(), how);
        EXPECT_EQ(messages.Count(), 1);
        Click(how->TypedButton());
        Click(sheet->NextButton());

        auto* typed = Current<COptionListPage2>(sheet);
        Click(sheet->NextButton());
        EXPECT_EQ(messages.LastText(), "An option list must contain at least one option.");
        EXPECT_FALSE(typed->AddButton()->isEnabled());
        QTest::keyClicks(typed->OptionEdit(), "Small");
        QTest::keyClick(typed->OptionEdit(), Qt::Key_Return); // Enter adds, and stays
        EXPECT_EQ(sheet->CurrentPage(), typed);
        QTest::keyClicks(typed->OptionEdit(), "Large");
        Click(typed->AddButton());
        QTest::keyClicks(typed->OptionEdit(), "Large");
        EXPECT_FALSE(typed->AddButton()->isEnabled()); // already listed
        Retype(typed->OptionEdit(), "Extra");
        Click(typed->AddButton());
        QTest::keyClicks(typed->OptionEdit(), "Medium");
        Click(typed->AddButton());
        EXPECT_EQ(typed->Options(), (QStringList{"Small", "Large", "Extra", "Medium"}));
        // Move the last to the top, sort, remove one.
        typed->List()->setCurrentItem(typed->List()->topLevelItem(3));
        Click(typed->MoveButton(0));
        EXPECT_EQ(typed->Options().first(), "Medium");
        Click(typed->SortButton());
        EXPECT_EQ(typed->Options(), (QStringList{"Extra", "Large", "Medium", "Small"}));
        QTest::mouseClick(typed->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          typed->List()->visualItemRect(typed->List()->topLevelItem(0)).center());
        EXPECT_EQ(typed->OptionEdit()->text(), "Extra");
        Click(typed->RemoveButton());
        QTest::keyClicks(typed->PromptEdit(), "Size?");
        Click(sheet->NextButton());

        auto* kind = Current<COptionListPage3>(sheet);
        EXPECT_TRUE(kind->NormalButton()->isChecked());
        EXPECT_TRUE(sheet->FinishButton()->isEnabled());
        Click(kind->SeparateButton());
        EXPECT_FALSE(sheet->FinishButton()->isEnabled());
        Click(sheet->NextButton());

        auto* pairs = Current<COptionListPage2>(sheet);
        ASSERT_NE(pairs, typed);
        ASSERT_EQ(pairs->List()->topLevelItemCount(), 3);
        const char* codes[] = {"L", "M", "S"};
        for (int i = 0; i < 3; ++i) {
            QTreeWidgetItem* item = pairs->List()->topLevelItem(i);
            pairs->List()->setCurrentItem(item);
            QTest::mouseClick(pairs->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              pairs->List()->visualItemRect(item).center());
            Retype(pairs->DataEdit(), QString::fromLatin1(codes[i]));
            Click(pairs->UpdateButton());
        }
        walked = true;
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(list->DoNewDialog(nullptr));
    ASSERT_TRUE(walked);
    EXPECT_EQ(list->m_options, (QStringList{"Large", "Medium", "Small"}));
    EXPECT_EQ(list->m_dataValues, (QStringList{"L", "M", "S"}));
    EXPECT_TRUE(list->m_separateData);
    EXPECT_EQ(list->m_prompt, "Size?");
    EXPECT_EQ(list->GetValue(), "L");
    list->SetSourceValue("Small", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(list->GetValue(), "S");

    // The property sheet edits the pairs on one page.
    WhenShown([&](CVariableSheet* sheet) {
        EXPECT_EQ(sheet->windowTitle(), "Option List Properties");
        ASSERT_EQ(sheet->PageCount(), 1);
        auto* pairs = qobject_cast<COptionListPage2*>(sheet->Page(0));
        ASSERT_NE(pairs, nullptr);
        EXPECT_EQ(pairs->List()->topLevelItem(2)->text(1), "S");
        pairs->List()->setCurrentItem(pairs->List()->topLevelItem(2));
        Click(pairs->MoveButton(0));
        Click(sheet->FinishButton());
    });
    ASSERT_TRUE(list->DoEditDialog(nullptr));
    EXPECT_EQ(list->m_options, (QStringList{"Small", "Large", "Medium"}));
    EXPECT_EQ(list->m_dataValues, (QStringList{"S", "L", "M"}));
}
