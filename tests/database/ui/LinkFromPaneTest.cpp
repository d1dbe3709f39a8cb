// Choosing "database field" as the source of an element in the designer's
// real main frame while the sign has no database: the connection wizard
// links the sign first, and a wizard cancelled halfway leaves the sign and
// the element as they were.
#include "AppContext.h"
#include "Commands.h"
#include "ConnectionWizard.h"
#include "DataSourceMap.h"
#include "DatabaseLink.h"
#include "DateTime.h"
#include "DateTimePage.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "IncPage.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "OptionListPage.h"
#include "PaneParts.h"
#include "Preferences.h"
#include "PriceCalcPage.h"
#include "PriceCalculation.h"
#include "SignApp.h"
#include "SignData.h"
#include "SourceChoice.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"
#include "VariableSheet.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

class LinkFromPaneTest : public CDesignerFixture
{
protected:
    LinkFromPaneTest()
    {
        csv = home.FilePath("prices.csv");
        QFile file(csv);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Code,Price\r\nWidget,TAB0000001,2.50\r\nGadget,TAB0000002,7\r\n");
    }
    ~LinkFromPaneTest() override { FrameHooks().chooseFile = nullptr; }
    bool Start()
    {
        if (!StartDesigner(QSize(1300, 1000)))
            return false;
        if (view)
            view->FullSize();
        return view != nullptr;
    }
    CText* PlaceText()
    {
        frame->UpdateActionsNow();
        frame->Action(ID_TOOL_TEXT)->trigger();
        const CPoint p = view->LPtoDP(CPoint(300, 400));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        return dynamic_cast<CText*>(view->Selection().Primary());
    }
    QComboBox* SourceType() const
    {
        auto* tabs = frame->PropertyPane()->findChild<QTabWidget*>(QStringLiteral("id1092"));
        EXPECT_NE(tabs, nullptr);
        if (!tabs)
            return nullptr;
        tabs->setCurrentIndex(0);
        return tabs->widget(0)->findChild<QComboBox*>(QStringLiteral("id1000"));
    }
    // Chooses the source kind in the pane; the wizard it opens is answered
    // by drive once it is shown.
    void ChooseSource(int kind, std::function<void(CConnectionWizard&)> drive)
    {
        QComboBox* type = SourceType();
        ASSERT_NE(type, nullptr);
        const int index = type->findData(kind);
        EXPECT_TRUE(WhileModal<CConnectionWizard>(
            [&] {
                type->setCurrentIndex(index);
                emit type->activated(index);
            },
            std::move(drive)));
    }
    static void Next(CConnectionWizard& wizard, QWizard::WizardButton which = QWizard::NextButton)
    {
        QTest::mouseClick(wizard.button(which), Qt::LeftButton);
    }
    template <class T> static T* On(CConnectionWizard& wizard, const char* name)
    {
        return wizard.currentPage()->findChild<T*>(QString::fromLatin1(name));
    }

    QString csv;
};

TEST_F(LinkFromPaneTest, DatabaseFieldSourceLinksTheSignThroughTheWizard)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText();
    ASSERT_NE(text, nullptr);
    frame->Document().SetModifiedFlag(false);
    QString asked;
    FrameHooks().chooseFile = [&](QWidget*, const CFileChoice& choice) {
        asked = choice.filter;
        return csv;
    };

    ChooseSource(SOURCE_DATABASE, [&](CConnectionWizard& wizard) {
        On<QListWidget>(wizard, "id1089")->setCurrentRow(kDatabaseTypeText);
        Next(wizard);
        // The file comes from the frame's file box.
        QTest::mouseClick(On<QPushButton>(wizard, "idBrowse"), Qt::LeftButton);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        On<QCheckBox>(wizard, "id1098")->setChecked(true);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
        Next(wizard, QWizard::FinishButton);
    });

    EXPECT_TRUE(asked.contains("*.csv")) << asked.toStdString();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_EQ(link.m_dataSource, csv);
    EXPECT_EQ(link.CurrentTable(), "prices#csv");
    EXPECT_EQ(link.FieldNames(), (QStringList{"Name", "Code", "Price"}));
    EXPECT_EQ(link.OpenRecordset(), 2);
    EXPECT_EQ(text->m_dataSource, SOURCE_DATABASE);
    // The Field list offers the new database's fields; the element reads the
    // first until another is chosen.
    auto* fields = frame->PropertyPane()->findChild<QComboBox*>(QStringLiteral("id1001"));
    ASSERT_NE(fields, nullptr);
    QStringList offered;
    for (int i = 0; i < fields->count(); ++i)
        offered << fields->itemText(i);
    EXPECT_EQ(offered, (QStringList{"Name", "Code", "Price"}));
    EXPECT_EQ(fields->currentText(), "Name");
    EXPECT_EQ(text->m_sourceName, "Name");
    EXPECT_TRUE(frame->Document().IsModified());
    // The next file box starts in the folder of this database.
    EXPECT_EQ(CShellSettings::Current().lastDatabaseFolder, QFileInfo(csv).absolutePath());
}

TEST_F(LinkFromPaneTest, CancelledWizardLeavesTheSignUnlinked)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText();
    ASSERT_NE(text, nullptr);
    frame->Document().SetModifiedFlag(false);
    const int before = text->m_dataSource;

    const QString lastFolder = CShellSettings::Current().lastDatabaseFolder;
    ChooseSource(SOURCE_DATABASE, [&](CConnectionWizard& wizard) {
        On<QListWidget>(wizard, "id1089")->setCurrentRow(kDatabaseTypeText);
        Next(wizard);
        QTest::keyClicks(On<QLineEdit>(wizard, "id1086"), csv);
        Next(wizard);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        Next(wizard, QWizard::CancelButton);
    });

    EXPECT_EQ(TheDatabaseLink().GetLinkKind(), -1);
    EXPECT_FALSE(TheDatabaseLink().IsConnected());
    EXPECT_EQ(text->m_dataSource, before);
    EXPECT_EQ(SourceType()->currentData().toInt(), before);
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_EQ(CShellSettings::Current().lastDatabaseFolder, lastFolder);
}

// The connection wizard as a user finishes it for the CSV file: Text File,
// the file typed, header row, Finish.
void LinkCsv(CConnectionWizard& wizard, const QString& csv)
{
    const auto next = [&wizard](QWizard::WizardButton which = QWizard::NextButton) {
        QTest::mouseClick(wizard.button(which), Qt::LeftButton);
    };
    const auto on = [&wizard](const char* name) {
        return wizard.currentPage()->findChild<QWidget*>(QString::fromLatin1(name));
    };
    static_cast<QListWidget*>(on("id1089"))->setCurrentRow(kDatabaseTypeText);
    next();
    QTest::keyClicks(on("id1086"), csv);
    next();
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
    static_cast<QCheckBox*>(on("id1098"))->setChecked(true);
    next();
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
    next(QWizard::FinishButton);
}

QStringList Items(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// An option list taken from a database, made from a text's pane while the
// sign has no database: the list's wizard links the sign through the
// connection wizard, and its database page offers the table's fields and
// Change....
TEST_F(LinkFromPaneTest, OptionListFromADatabaseLinksTheSignThroughTheWizard)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText();
    ASSERT_NE(text, nullptr);
    bool sheetMet = false;
    bool wizardMet = false;
    QStringList selections;
    bool changeOffered = false;
    const bool ran = WhileModal<CVariableSheet>(
        [&] {
            QComboBox* type = SourceType();
            ASSERT_NE(type, nullptr);
            const int index = type->findData(SOURCE_OPTION_LIST);
            type->setCurrentIndex(index);
            emit type->activated(index);
        },
        [&](CVariableSheet& sheet) {
            sheetMet = true;
            auto* how = qobject_cast<COptionListPage1*>(sheet.CurrentPage());
            ASSERT_NE(how, nullptr);
            how->DatabaseButton()->click();
            wizardMet = WhileModal<CConnectionWizard>(
                [&] { sheet.NextButton()->click(); },
                [&](CConnectionWizard& wizard) { LinkCsv(wizard, csv); });
            auto* page = qobject_cast<COptionListPage5*>(sheet.CurrentPage());
            ASSERT_NE(page, nullptr) << messages.LastText().toStdString();
            selections = Items(page->SelectionCombo());
            changeOffered = page->ChangeButton()->isEnabled();
            page->SelectionCombo()->setCurrentIndex(page->SelectionCombo()->findText("Name"));
            page->SeparateCheck()->setChecked(true);
            EXPECT_EQ(Items(page->DataCombo()), (QStringList{"Name", "Code", "Price"}));
            page->DataCombo()->setCurrentIndex(page->DataCombo()->findText("Code"));
            sheet.FinishButton()->click();
        });
    ASSERT_TRUE(ran && sheetMet);
    EXPECT_TRUE(wizardMet);
    EXPECT_EQ(selections, (QStringList{"Name", "Code", "Price"}));
    EXPECT_TRUE(changeOffered);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(TheDatabaseLink().GetLinkKind(), 0);
    EXPECT_EQ(text->m_dataSource, SOURCE_OPTION_LIST);
    auto* list = dynamic_cast<COptionList*>(
        TheVariableList().FindVariable(VARIABLE_OPTION_LIST, text->m_sourceName));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsLinked());
    EXPECT_EQ(list->m_link.dataSource, csv);
    // The records come in the order of the key field chosen in the wizard.
    EXPECT_EQ(list->FillOptionCombo(), (QStringList{"Gadget", "Widget"}));
    list->SetSourceValue("Gadget", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(list->GetValue(), "TAB0000002");
}

// A date/time stamp whose extra days come from a database field, chosen
// while the sign has no database: the connection wizard links it, and the
// field list offers its fields; a cancelled wizard keeps the typed choice.
TEST_F(LinkFromPaneTest, DateStampDatabaseChoiceOffersTheConnectionWizard)
{
    ASSERT_TRUE(Start());
    for (const bool finish : {false, true}) {
        SCOPED_TRACE(finish ? "finished" : "cancelled");
        auto* stamp = static_cast<CDateTime*>(
            TheVariableList().CreateVariable(VARIABLE_DATE_TIME, finish ? "Packed" : "Made"));
        ASSERT_NE(stamp, nullptr);
        QStringList fields;
        int source = -1;
        bool wizardMet = false;
        WhileModal<CVariableSheet>([&] { stamp->DoEditDialog(frame); },
                                   [&](CVariableSheet& sheet) {
                                       CDateTimePage2* page = nullptr;
                                       for (int i = 0; i < sheet.PageCount() && !page; ++i)
                                           page = qobject_cast<CDateTimePage2*>(sheet.Page(i));
                                       ASSERT_NE(page, nullptr);
                                       page->OffsetButton()->click();
                                       page->AllowCheck()->setChecked(true);
                                       QComboBox* combo = page->SourceCombo();
                                       wizardMet = WhileModal<CConnectionWizard>(
                                           [&] {
                                               combo->setCurrentIndex(1);
                                               emit combo->activated(1);
                                           },
                                           [&](CConnectionWizard& wizard) {
                                               if (finish)
                                                   LinkCsv(wizard, csv);
                                               else
                                                   wizard.reject();
                                           });
                                       source = combo->currentIndex();
                                       fields = Items(page->FieldCombo());
                                   });
        EXPECT_TRUE(wizardMet);
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        EXPECT_EQ(source, finish ? 1 : 0);
        EXPECT_EQ(fields, finish ? QStringList({"Name", "Code", "Price"}) : QStringList());
        EXPECT_EQ(TheDatabaseLink().GetLinkKind(), finish ? 0 : -1);
    }
}

// Edit > Delete on an element that feeds another: refused with the message
// naming it, and the element stays; the element it feeds may go, and then
// the first may too.
TEST_F(LinkFromPaneTest, DeletingAnElementThatFeedsAnotherIsRefused)
{
    ASSERT_TRUE(Start());
    CText* t1 = PlaceText();
    ASSERT_NE(t1, nullptr);
    t1->m_name = "T1";
    t1->SetDataSource(SOURCE_KEYBOARD, QString());
    auto* t2 = static_cast<CText*>(TheElementList().CreateElement("CText"));
    t2->BeginCreate(nullptr, 300, 800);
    t2->m_name = "T2";
    t2->SetDataSource(SOURCE_ELEMENT, "T1");
    ASSERT_TRUE(TheDataSourceMap().Rebuild());
    const auto select = [&](CElement* element) {
        const CPoint p = view->LPtoDP(element->m_bounds.CenterPoint());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        return view->Selection().Primary() == element;
    };
    const auto remove = [&] {
        frame->UpdateActionsNow();
        return frame->ExecuteCommand(ID_EDIT_DELETE);
    };
    ASSERT_TRUE(select(t1));
    messages.Clear();
    remove();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(),
              "Element 'T1' is acting as a data source and may not be deleted.");
    EXPECT_EQ(TheElementList().FindByName("T1"), t1);
    EXPECT_TRUE(view->Selection().Contains(t1));

    ASSERT_TRUE(select(t2));
    messages.Clear();
    remove();
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(TheElementList().FindByName("T2"), nullptr);
    ASSERT_TRUE(select(t1));
    remove();
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(TheElementList().GetCount(), 0);
}

// The inputs of a price calculation and the start and limit of an
// incrementing number refuse an element that the variable itself feeds,
// with message 63087, on the page that chooses them.
TEST_F(LinkFromPaneTest, VariablePagesRefuseACircularDataPath)
{
    ASSERT_TRUE(Start());
    CVariableList& variables = TheVariableList();
    auto* calc =
        static_cast<CPriceCalculation*>(variables.CreateVariable(VARIABLE_PRICE_CALC, "Calc"));
    auto* number = static_cast<CIncNumber*>(variables.CreateVariable(VARIABLE_INCREMENTING, "Num"));
    ASSERT_TRUE(calc && number);
    number->m_limitAction = CIncNumber::LIMIT_STOP;
    auto* total = static_cast<CText*>(TheElementList().CreateElement("CText"));
    total->BeginCreate(nullptr, 300, 400);
    total->m_name = "Total";
    total->SetDataSource(SOURCE_PRICE_CALC, "Calc");
    auto* count = static_cast<CText*>(TheElementList().CreateElement("CText"));
    count->BeginCreate(nullptr, 300, 800);
    count->m_name = "Count";
    count->SetDataSource(SOURCE_INCREMENTING, "Num");
    ASSERT_TRUE(TheDataSourceMap().Rebuild());

    const QString circular = "Element or variable forms part of a circular data path.";
    // Each page: the element the variable feeds is refused, another is
    // taken.
    const auto check = [&](CVariable* variable, int pageIndex, const QString& fed) {
        SCOPED_TRACE(variable->GetName().toStdString());
        bool refused = false;
        bool taken = false;
        WhileModal<CVariableSheet>([&] { variable->DoEditDialog(frame); },
                                   [&](CVariableSheet& sheet) {
                                       CVariablePage* page = sheet.Page(pageIndex);
                                       auto* choice = page->findChild<CSourceChoice*>();
                                       ASSERT_NE(choice, nullptr);
                                       choice->Button(SOURCE_ELEMENT)->click();
                                       QComboBox* elements = choice->ElementCombo();
                                       elements->setCurrentIndex(elements->findText(fed));
                                       ASSERT_EQ(elements->currentText(), fed);
                                       messages.Clear();
                                       refused = !page->Leave();
                                       EXPECT_EQ(messages.LastText(), circular);
                                       const QString other = fed == "Total" ? "Count" : "Total";
                                       elements->setCurrentIndex(elements->findText(other));
                                       messages.Clear();
                                       taken = page->Leave();
                                       EXPECT_EQ(messages.Count(), 0);
                                   });
        EXPECT_TRUE(refused);
        EXPECT_TRUE(taken);
    };
    // The price calculation's sheet: input 1, input 2, rounding.
    check(calc, 0, "Total");
    check(calc, 1, "Total");
    // The incrementing number's: start, increment, limit.
    check(number, 0, "Count");
    check(number, 2, "Count");
}

// Database > Connect: the file page opens in the folder of the last
// database linked, and lists its files of the type.
TEST_F(LinkFromPaneTest, FilePageOpensInTheFolderOfTheLastDatabase)
{
    ASSERT_TRUE(Start());
    QString& last = CShellSettings::Current().lastDatabaseFolder;
    const QString kept = last;
    last = QFileInfo(csv).absolutePath();
    QString folder;
    QStringList listed;
    const bool met = WhileModal<CConnectionWizard>(
        [&] {
            frame->UpdateActionsNow();
            frame->ExecuteCommand(ID_DATABASE_CONNECT);
        },
        [&](CConnectionWizard& wizard) {
            wizard.currentPage()->findChild<QListWidget*>("id1089")->setCurrentRow(
                kDatabaseTypeText);
            Next(wizard);
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kFilePage);
            auto* tree = wizard.currentPage()->findChild<QTreeView*>("id1085");
            auto* list = wizard.currentPage()->findChild<QTreeWidget*>("id1087");
            ASSERT_TRUE(tree && list);
            folder = tree->currentIndex().data().toString();
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                listed << list->topLevelItem(i)->text(0);
            wizard.reject();
        });
    last = kept;
    EXPECT_TRUE(met);
    EXPECT_EQ(folder, QFileInfo(QFileInfo(csv).absolutePath()).fileName());
    EXPECT_TRUE(listed.contains("prices.csv")) << listed.join(u',').toStdString();
    EXPECT_EQ(TheDatabaseLink().GetLinkKind(), -1);
}

} // namespace
