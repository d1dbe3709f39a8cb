// The filter dialogs driven as a user would: the grid page picks records by
// eye, the statement page composes, applies and saves a statement, the
// compound filter tries "starts with" texts on its own records, the Custom
// Views and SQL Format dialogs edit what they keep, and the connection
// wizard reaches both; each with its refusals.
#include "AppContext.h"
#include "CompoundFilterDlg.h"
#include "ConnectionPropertiesDlg.h"
#include "ConnectionWizard.h"
#include "CustomViewsDlg.h"
#include "DatabaseLink.h"
#include "DialogAnswer.h"
#include "Element.h"
#include "ElementList.h"
#include "FilterList.h"
#include "FilterSheet.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "PictureButton.h"
#include "SignData.h"
#include "SqlFormatDlg.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class T> T* Child(QWidget* parent, int id)
{
    T* found = parent->findChild<T*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(found, nullptr) << id;
    return found;
}

void Click(QWidget* parent, int id)
{
    auto* button = Child<QAbstractButton>(parent, id);
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

class FilterDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureWidgetApp();
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath("stock.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "filter-dialogs-fixture");
            db.setDatabaseName(database);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec("CREATE TABLE Stock (Id INTEGER PRIMARY KEY, Name TEXT, "
                               "Dept TEXT, Price REAL)"));
            const char* depts[] = {"Dairy", "Bakery", "Fruit", "O'Brien's"};
            for (int i = 1; i <= 40; ++i) {
                q.prepare("INSERT INTO Stock VALUES (?, ?, ?, ?)");
                q.addBindValue(i);
                q.addBindValue(QStringLiteral("Item %1").arg(i));
                q.addBindValue(QString::fromLatin1(depts[i % 4]));
                q.addBindValue(i * 1.5);
                ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("filter-dialogs-fixture");
    }

    CDatabaseLink& Linked()
    {
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeConnectionString);
        EXPECT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + database, TRUE));
        link.m_linkKind = 0;
        EXPECT_TRUE(link.OpenTable("Stock"));
        link.m_keyField = "Id";
        return link;
    }

    // Clicks the grid rows, the first plainly and the rest with Ctrl.
    static void SelectRows(QTableView* grid, std::initializer_list<int> rows)
    {
        bool first = true;
        for (const int row : rows) {
            const QModelIndex index = grid->model()->index(row, 1);
            grid->scrollTo(index);
            const QPoint at = grid->visualRect(index).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton,
                              first ? Qt::NoModifier : Qt::ControlModifier, at);
            first = false;
        }
    }

    CAppContext context;
    QTemporaryDir dir;
    QString database;
    CMessageResponder messages;
};

// The grid page's four tool buttons are flat picture buttons: each paints
// its picture, carries no caption and names itself in its tool tip.
TEST_F(FilterDialogsTest, GridToolButtonsShowPictures)
{
    CDatabaseLink& link = Linked();
    CFilterSheet sheet(link, nullptr, [] {});
    sheet.show();
    const struct
    {
        int id;
        const char* tip;
    } cases[] = {
        {CFilterSheet::IDC_BY_SELECTION, "Filter By Selection"},
        {CFilterSheet::IDC_EXCLUDING_SELECTION, "Filter Excluding Selection"},
        {CFilterSheet::IDC_REMOVE_FILTER, "Remove Filter"},
        {CFilterSheet::IDC_TOGGLE_FIELDS, "Toggle Field Display"},
    };
    QList<QImage> pictures;
    for (const auto& c : cases) {
        auto* button = Child<CPictureButton>(&sheet, c.id);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->text().isEmpty()) << c.id;
        EXPECT_TRUE(button->IsFlat()) << c.id;
        EXPECT_TRUE(button->HasIcon()) << c.id;
        EXPECT_EQ(button->toolTip().toStdString(), c.tip);
        // The picture is painted: dark pixels stand on the button's face.
        const QImage shot = button->grab().toImage();
        int inked = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                inked += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
        EXPECT_GT(inked, 0) << c.id;
        pictures << button->CurrentIcon().pixmap(16, 16).toImage();
    }
    // Four different pictures.
    for (int i = 0; i < pictures.size(); ++i)
        for (int j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]) << i << " " << j;
}

TEST_F(FilterDialogsTest, GridPagePicksRecordsByEye)
{
    CDatabaseLink& link = Linked();
    RegisterModelElementClasses();
    auto* name = TheElementList().CreateElement("CText");
    ASSERT_NE(name, nullptr);
    name->SetDataSource(SOURCE_DATABASE, "name");
    int modified = 0;
    CFilterSheet sheet(link, nullptr, [&modified] { ++modified; });
    sheet.show();
    auto* grid = Child<QTableView>(&sheet, CFilterSheet::IDC_GRID);
    ASSERT_EQ(grid->model()->rowCount(), 40);
    ASSERT_EQ(grid->model()->columnCount(), 4);

    // Nothing selected: the buttons change nothing.
    Click(&sheet, CFilterSheet::IDC_BY_SELECTION);
    Click(&sheet, CFilterSheet::IDC_EXCLUDING_SELECTION);
    EXPECT_EQ(link.GetFilter(), "");

    struct Step
    {
        std::initializer_list<int> rows;
        int button;
        const char* filter;
        int count;
    } steps[] = {
        {{2, 29}, CFilterSheet::IDC_BY_SELECTION, "[Id] = 3 OR [Id] = 30", 2},
        {{0}, CFilterSheet::IDC_EXCLUDING_SELECTION, "[Id] = 30", 1},
        {{}, CFilterSheet::IDC_REMOVE_FILTER, "", 40},
        {{2, 6}, CFilterSheet::IDC_EXCLUDING_SELECTION, "[Id] <> 3 AND [Id] <> 7", 38},
        {{0, 1, 2}, CFilterSheet::IDC_BY_SELECTION, "[Id] = 1 OR [Id] = 2 OR [Id] = 4", 3},
        {{1}, CFilterSheet::IDC_EXCLUDING_SELECTION, "[Id] = 1 OR [Id] = 4", 2},
    };
    for (const Step& step : steps) {
        SelectRows(grid, step.rows);
        Click(&sheet, step.button);
        EXPECT_EQ(link.GetFilter(), step.filter);
        EXPECT_EQ(link.GetRecordCount(), step.count) << step.filter;
        EXPECT_EQ(grid->model()->rowCount(), step.count) << step.filter;
        EXPECT_FALSE(grid->selectionModel()->hasSelection());
    }
    Click(&sheet, CFilterSheet::IDC_REMOVE_FILTER);

    // The conditions outlive the sheet: opened again on the same filter, a
    // record taken out removes its own condition.
    SelectRows(grid, {2, 29});
    Click(&sheet, CFilterSheet::IDC_BY_SELECTION);
    {
        CFilterSheet again(link);
        again.show();
        auto* rows = Child<QTableView>(&again, CFilterSheet::IDC_GRID);
        ASSERT_EQ(rows->model()->rowCount(), 2);
        SelectRows(rows, {1});
        Click(&again, CFilterSheet::IDC_EXCLUDING_SELECTION);
        EXPECT_EQ(link.GetFilter(), "[Id] = 3");
    }
    // A filter set elsewhere is kept whole.
    link.SetFilter("[Id] < 5");
    {
        CFilterSheet again(link);
        again.show();
        SelectRows(Child<QTableView>(&again, CFilterSheet::IDC_GRID), {0});
        Click(&again, CFilterSheet::IDC_EXCLUDING_SELECTION);
        EXPECT_EQ(link.GetFilter().toStdString(), "[Id] < 5 AND [Id] <> 1");
    }
    link.ClearFilter();
    sheet.Tabs()->setCurrentIndex(1);
    sheet.Tabs()->setCurrentIndex(0);

    // Only the fields the sign uses, and back; the sign is marked changed.
    ASSERT_EQ(TheSignSettings().allColumns, 1);
    Click(&sheet, CFilterSheet::IDC_TOGGLE_FIELDS);
    EXPECT_EQ(TheSignSettings().allColumns, 0);
    EXPECT_EQ(modified, 1);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(grid->isColumnHidden(column), column != 1) << column;
    Click(&sheet, CFilterSheet::IDC_TOGGLE_FIELDS);
    EXPECT_FALSE(grid->isColumnHidden(0));

    // A column resized keeps its width in the sign; a header click sorts.
    grid->horizontalHeader()->resizeSection(3, 123);
    ASSERT_GE(TheSignSettings().columnWidths.size(), 4u);
    EXPECT_EQ(TheSignSettings().columnWidths[3], 123u);
    EXPECT_EQ(modified, 3);
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    EXPECT_EQ(link.m_recordset->sort, "[Dept] ASC");
    EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "Bakery");
}

TEST_F(FilterDialogsTest, StatementPageComposesAppliesAndSavesFilters)
{
    CDatabaseLink& link = Linked();
    TheFilterList().Set("Cheap", "SELECT * FROM [Stock] WHERE [Price] < 5");
    CFilterSheet sheet(link);
    sheet.show();
    sheet.Tabs()->setCurrentIndex(1);
    auto* statement = Child<QPlainTextEdit>(&sheet, CFilterSheet::IDC_STATEMENT);
    EXPECT_EQ(statement->toPlainText(), "SELECT * FROM [Stock] ORDER BY [Id] ASC");
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_CLEAR)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_APPLY)->isEnabled());

    // A field, an operator and a typed value with a quote in it.
    auto* fields = Child<QListWidget>(&sheet, CFilterSheet::IDC_FIELDS);
    const QListWidgetItem* dept = fields->findItems("Dept", Qt::MatchExactly).front();
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, Qt::NoModifier,
                      fields->visualItemRect(dept).center());
    auto* equals = sheet.findChild<QPushButton*>(
        QStringLiteral("token%1").arg(CFilterSheet::Tokens().indexOf("=")));
    QTest::mouseClick(equals, Qt::LeftButton);
    auto* value = Child<QLineEdit>(&sheet, CFilterSheet::IDC_VALUE);
    QTest::keyClicks(value, "O'Brien's");
    EXPECT_TRUE(Child<QPushButton>(&sheet, CFilterSheet::IDC_VALUE_ADD)->isEnabled());
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(value->text(), "");
    const QString irish = "SELECT * FROM [Stock] WHERE [Dept] = 'O''Brien''s' ORDER BY [Id] ASC";
    EXPECT_EQ(statement->toPlainText().toStdString(), irish.toStdString());
    Click(&sheet, CFilterSheet::IDC_APPLY);
    EXPECT_EQ(link.GetRecordCount(), 10);
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_APPLY)->isEnabled());

    // Saved under a new name; a listed name offers Remove instead.
    auto* list = Child<QComboBox>(&sheet, CFilterSheet::IDC_FILTER_LIST);
    QTest::keyClicks(list->lineEdit(), "Irish");
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_FILTER_REMOVE)->isEnabled());
    Click(&sheet, CFilterSheet::IDC_FILTER_ADD);
    EXPECT_EQ(TheFilterList().Find("Irish"), irish);
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_FILTER_ADD)->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(&sheet, CFilterSheet::IDC_FILTER_REMOVE)->isEnabled());
    list->lineEdit()->clear();
    QTest::keyClicks(list->lineEdit(), "Cheap");
    EXPECT_FALSE(Child<QPushButton>(&sheet, CFilterSheet::IDC_FILTER_ADD)->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(&sheet, CFilterSheet::IDC_FILTER_REMOVE)->isEnabled());

    // A saved filter chosen and applied.
    list->setCurrentIndex(list->findText("Cheap"));
    emit list->activated(list->currentIndex());
    EXPECT_EQ(statement->toPlainText(), "SELECT * FROM [Stock] WHERE [Price] < 5");
    Click(&sheet, CFilterSheet::IDC_APPLY);
    EXPECT_EQ(link.GetRecordCount(), 3);
    Click(&sheet, CFilterSheet::IDC_FILTER_REMOVE);
    EXPECT_FALSE(TheFilterList().Contains("Cheap"));
    EXPECT_EQ(list->findText("Cheap"), -1);

    // Refused: a typed value that is not a number goes in as a string, and
    // a statement that yields nothing is reported, the whole table in force.
    Click(&sheet, CFilterSheet::IDC_CLEAR);
    EXPECT_EQ(statement->toPlainText(), "SELECT * FROM [Stock] ORDER BY [Id] ASC");
    const QListWidgetItem* price = fields->findItems("Price", Qt::MatchExactly).front();
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, Qt::NoModifier,
                      fields->visualItemRect(price).center());
    QTest::mouseClick(equals, Qt::LeftButton);
    QTest::keyClicks(value, "0 OR 1=1");
    Click(&sheet, CFilterSheet::IDC_VALUE_ADD);
    EXPECT_EQ(statement->toPlainText().toStdString(),
              "SELECT * FROM [Stock] WHERE [Price] = '0 OR 1=1' ORDER BY [Id] ASC");
    messages.Clear();
    Click(&sheet, CFilterSheet::IDC_APPLY);
    EXPECT_EQ(messages.LastText(), "No records generated by this filter.");
    EXPECT_EQ(link.GetRecordCount(), 40);

    // Back on the grid page after a filter of the statement page: excluding
    // a record keeps that filter whole.
    Click(&sheet, CFilterSheet::IDC_CLEAR);
    statement->setPlainText("SELECT * FROM [Stock] WHERE [Id] < 4 OR [Id] > 38");
    Click(&sheet, CFilterSheet::IDC_APPLY);
    EXPECT_EQ(link.GetRecordCount(), 5);
    sheet.Tabs()->setCurrentIndex(0);
    auto* grid = Child<QTableView>(&sheet, CFilterSheet::IDC_GRID);
    SelectRows(grid, {0});
    Click(&sheet, CFilterSheet::IDC_EXCLUDING_SELECTION);
    EXPECT_EQ(link.GetRecordCount(), 4);
    sheet.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(
        statement->toPlainText().toStdString(),
        "SELECT * FROM [Stock] WHERE ([Id] < 4 OR [Id] > 38) AND [Id] <> 1 ORDER BY [Id] ASC");
}

TEST_F(FilterDialogsTest, CompoundFilterTriesStartsWithTextsOnItsOwnRecords)
{
    CDatabaseLink& link = Linked();
    link.OpenRecordset();
    link.SetFilter("[Id] > 10");
    CCompoundFilterDlg dialog(link);
    dialog.show();
    auto* field1 = Child<QComboBox>(&dialog, CCompoundFilterDlg::IDC_FIELD1);
    EXPECT_EQ(field1->currentText(), "Id");
    auto* apply = Child<QPushButton>(&dialog, CCompoundFilterDlg::IDC_APPLY);
    auto* okButton = dialog.findChild<QPushButton*>("idOK");
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_FALSE(okButton->isEnabled());

    field1->setCurrentText("Dept");
    QTest::keyClicks(Child<QLineEdit>(&dialog, CCompoundFilterDlg::IDC_DATA1), "Dai");
    EXPECT_TRUE(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(Child<QLabel>(&dialog, CCompoundFilterDlg::IDC_COUNT)->text(), "8");
    EXPECT_TRUE(okButton->isEnabled());
    Child<QComboBox>(&dialog, CCompoundFilterDlg::IDC_FIELD2)->setCurrentText("Name");
    QTest::keyClicks(Child<QLineEdit>(&dialog, CCompoundFilterDlg::IDC_DATA2), "Item 1");
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(Child<QLabel>(&dialog, CCompoundFilterDlg::IDC_COUNT)->text(), "2");
    // The sign's records are untouched until OK.
    EXPECT_EQ(link.GetRecordCount(), 30);
    const QString result = dialog.ResultStatement();
    EXPECT_TRUE(result.startsWith("SELECT * FROM [Stock] WHERE [Id] > 10 AND "))
        << result.toStdString();

    // Reset empties the texts; the records are the sign's again.
    Click(&dialog, CCompoundFilterDlg::IDC_RESET);
    EXPECT_EQ(Child<QLineEdit>(&dialog, CCompoundFilterDlg::IDC_DATA1)->text(), "");
    EXPECT_EQ(Child<QLabel>(&dialog, CCompoundFilterDlg::IDC_COUNT)->text(), "0");
    EXPECT_FALSE(okButton->isEnabled());
    EXPECT_FALSE(apply->isEnabled());
    QTest::keyClicks(Child<QLineEdit>(&dialog, CCompoundFilterDlg::IDC_DATA1), "Dai");

    // Refused: texts that match nothing.
    QTest::keyClicks(Child<QLineEdit>(&dialog, CCompoundFilterDlg::IDC_DATA3), "x");
    messages.Clear();
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(messages.LastText(), "No records generated by this filter.");
    EXPECT_EQ(Child<QLabel>(&dialog, CCompoundFilterDlg::IDC_COUNT)->text(), "0");
    EXPECT_FALSE(okButton->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&dialog, CCompoundFilterDlg::IDC_RESET)->isEnabled());
    dialog.close();

    // From the grid page: the sign's records opened on the result.
    CFilterSheet sheet(link);
    sheet.show();
    CAnswer<CCompoundFilterDlg> answer([](CCompoundFilterDlg* d) {
        Child<QComboBox>(d, CCompoundFilterDlg::IDC_FIELD1)->setCurrentText("Name");
        QTest::keyClicks(Child<QLineEdit>(d, CCompoundFilterDlg::IDC_DATA1), "Item 2");
        Click(d, CCompoundFilterDlg::IDC_APPLY);
        QTest::mouseClick(d->findChild<QPushButton*>("idOK"), Qt::LeftButton);
    });
    Click(&sheet, CFilterSheet::IDC_COMPOUND);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(link.GetRecordCount(), 10); // Item 20 to Item 29
    EXPECT_EQ(Child<QTableView>(&sheet, CFilterSheet::IDC_GRID)->model()->rowCount(), 10);
}

TEST_F(FilterDialogsTest, CustomViewsAreAddedUpdatedTestedAndUsed)
{
    CDatabaseLink& link = Linked();
    CCustomViewList views;
    views.Set("Dear", "Price > 30");
    CCustomViewsDlg dialog(views, link);
    dialog.show();
    auto* name = Child<QLineEdit>(&dialog, CCustomViewsDlg::IDC_NAME);
    auto* query = Child<QPlainTextEdit>(&dialog, CCustomViewsDlg::IDC_QUERY);
    auto* add = Child<QPushButton>(&dialog, CCustomViewsDlg::IDC_ADD);
    auto* update = Child<QPushButton>(&dialog, CCustomViewsDlg::IDC_UPDATE);
    auto* use = dialog.findChild<QPushButton*>("idOK");
    EXPECT_FALSE(use->isEnabled());
    query->setPlainText("Price < 10");
    QTest::keyClicks(name, "dear");
    EXPECT_FALSE(add->isEnabled()); // listed, whatever the case
    name->clear();
    QTest::keyClicks(name, "Cheap");
    ASSERT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    auto* list = Child<QListWidget>(&dialog, CCustomViewsDlg::IDC_VIEWS);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentItem()->text(), "Cheap");
    EXPECT_EQ(dialog.Views().Find("cheap"), "Price < 10");
    EXPECT_FALSE(update->isEnabled());

    // The selected view changed, its name typed in another case.
    query->setPlainText("Price < 4");
    name->setText("CHEAP");
    ASSERT_TRUE(update->isEnabled());
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(dialog.Views().Find("Cheap"), "Price < 4");

    // Test opens the query as a view would be.
    messages.Clear();
    Click(&dialog, CCustomViewsDlg::IDC_TEST);
    EXPECT_EQ(messages.LastText(), "2 records created.");
    query->setPlainText("SELECT Nothing FROM Nowhere");
    messages.Clear();
    Click(&dialog, CCustomViewsDlg::IDC_TEST);
    EXPECT_EQ(messages.LastText(), "0 records created.");
    EXPECT_EQ(link.m_customViewQuery, "");
    // A typed query that would reach a file only reads: refused, with why.
    query->setPlainText("SELECT * FROM Stock WHERE load_extension('" +
                        QFileInfo(database).absolutePath() + "/library') IS NULL");
    messages.Clear();
    Click(&dialog, CCustomViewsDlg::IDC_TEST);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.Messages().front().text, "\"The custom view may only read data.\"");
    EXPECT_EQ(messages.LastText(), "0 records created.");

    // Delete selects the first view left; Use takes it.
    Click(&dialog, CCustomViewsDlg::IDC_DELETE);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(name->text(), "Dear");
    EXPECT_EQ(query->toPlainText(), "Price > 30");
    Click(&dialog, CCustomViewsDlg::IDC_DELETE);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(name->text(), "");
    EXPECT_FALSE(use->isEnabled());
    EXPECT_TRUE(dialog.Views().Views().isEmpty());
}

TEST_F(FilterDialogsTest, SqlFormatStoresOneVisibleCharacterEach)
{
    CDatabaseLink& link = Linked();
    {
        CSqlFormatDlg dialog(link);
        dialog.show();
        const int ids[] = {1445, 1446, 1447, 1448, 1449, 1450, 1120};
        const char* shown[] = {"[", "]", "'", "'", "#", "#", "%"};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(Child<QLineEdit>(&dialog, ids[i])->text(), shown[i]);
        auto* wildcard = Child<QLineEdit>(&dialog, CSqlFormatDlg::IDC_WILDCARD);
        wildcard->selectAll();
        QTest::keyClicks(wildcard, "*");
        // Refused: an emptied edit.
        Child<QLineEdit>(&dialog, CSqlFormatDlg::IDC_DATE_OPEN)->clear();
        QTest::mouseClick(dialog.findChild<QPushButton*>("idOK"), Qt::LeftButton);
        EXPECT_EQ(messages.LastText(), "Error - Invalid delimiter");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(link.m_wildcard, '%');
        QTest::keyClicks(Child<QLineEdit>(&dialog, CSqlFormatDlg::IDC_DATE_OPEN), "'");
        Child<QLineEdit>(&dialog, CSqlFormatDlg::IDC_DATE_CLOSE)->setText("'");
        QTest::mouseClick(dialog.findChild<QPushButton*>("idOK"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(link.m_wildcard, '*');
    EXPECT_EQ(link.QuoteDate("2024-03-01"), "'2024-03-01'");
    EXPECT_TRUE(link.StartsWithCondition("Name", "ab").contains("LIKE 'ab*'"));

    // The connection properties' Advanced... opens it on the sign's link;
    // Cancel keeps the characters.
    CConnectionPropertiesDlg properties(link);
    properties.show();
    CAnswer<CSqlFormatDlg> answer([](CSqlFormatDlg* d) {
        Child<QLineEdit>(d, CSqlFormatDlg::IDC_WILDCARD)->setText("?");
        QTest::mouseClick(d->findChild<QPushButton*>("idCancel"), Qt::LeftButton);
    });
    Click(&properties, CConnectionPropertiesDlg::IDC_ADVANCED);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(link.m_wildcard, '*');
}

// The wizard's Advanced... and Custom Views... buttons.
TEST_F(FilterDialogsTest, WizardReachesSqlFormatAndCustomViews)
{
    CDatabaseLink& link = TheDatabaseLink();
    TheCustomViewList().Set("Nothing", "SELECT * FROM Stock WHERE Id > 1000");
    CConnectionWizard wizard(link);
    wizard.show();
    auto* page = wizard.currentPage();
    {
        CAnswer<CSqlFormatDlg> answer([](CSqlFormatDlg* d) {
            Child<QLineEdit>(d, CSqlFormatDlg::IDC_WILDCARD)->setText("*");
            QTest::mouseClick(d->findChild<QPushButton*>("idOK"), Qt::LeftButton);
        });
        Click(page, 1196);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(wizard.Work().m_wildcard, '*');
    EXPECT_EQ(link.m_wildcard, '%');
    Child<QListWidget>(page, 1089)->setCurrentRow(kDatabaseTypeConnectionString);
    QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
    QTest::keyClicks(Child<QLineEdit>(wizard.currentPage(), 1086),
                     "Provider=QSQLITE;Data Source=" + database);
    QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);

    // A view that selects nothing keeps the page; the new one is kept in
    // the program's list all the same.
    {
        CAnswer<CCustomViewsDlg> answer([](CCustomViewsDlg* d) {
            auto* list = Child<QListWidget>(d, CCustomViewsDlg::IDC_VIEWS);
            list->setCurrentItem(list->findItems("Nothing", Qt::MatchExactly).front());
            Child<QLineEdit>(d, CCustomViewsDlg::IDC_NAME)->setText("Dairy");
            Child<QPlainTextEdit>(d, CCustomViewsDlg::IDC_QUERY)
                ->setPlainText("SELECT Id, Name FROM Stock WHERE Dept = 'Dairy' ORDER BY Name");
            Click(d, CCustomViewsDlg::IDC_ADD);
            auto* items = list->findItems("Nothing", Qt::MatchExactly).front();
            list->setCurrentItem(items);
            QTest::mouseClick(d->findChild<QPushButton*>("idOK"), Qt::LeftButton);
        });
        Click(wizard.currentPage(), 1260);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);
    EXPECT_FALSE(TheCustomViewList().Find("Dairy").isNull());
    {
        CAnswer<CCustomViewsDlg> answer([](CCustomViewsDlg* d) {
            auto* list = Child<QListWidget>(d, CCustomViewsDlg::IDC_VIEWS);
            list->setCurrentItem(list->findItems("Dairy", Qt::MatchExactly).front());
            QTest::mouseClick(d->findChild<QPushButton*>("idOK"), Qt::LeftButton);
        });
        Click(wizard.currentPage(), 1260);
        EXPECT_TRUE(answer.Answered());
    }
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
    QTest::mouseClick(wizard.button(QWizard::FinishButton), Qt::LeftButton);
    EXPECT_EQ(link.m_customViewQuery,
              "SELECT Id, Name FROM Stock WHERE Dept = 'Dairy' ORDER BY Name");
    EXPECT_EQ(link.m_wildcard, '*');
    EXPECT_EQ(link.OpenRecordset(), 10);
    EXPECT_EQ(link.GetFieldValue("Name"), "Item 12");
}

} // namespace
