// The record navigator over an SQLite price list in the designer's context:
// moves and record numbers, the type-ahead search with quotes and
// wildcards typed as they stand, sorting by a field, the list of values
// around the current record, and a data store's Save and Delete; then the
// Database menu's Data Store and Properties dialogs with their refusals.
#include "RecordNavigator.h"
#include "AppContext.h"
#include "ConnectionPropertiesDlg.h"
#include "DataCtrl.h"
#include "DataSourceMap.h"
#include "DataStore.h"
#include "DataStoreDlg.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OptionList.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PictureButton.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

template <class W> W* Control(QWidget* parent, int id)
{
    return parent ? parent->findChild<W*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

class RecordNavigatorTest : public CDesignerFixture
{
protected:
    RecordNavigatorTest()
    {
        database = home.FilePath("stock.db");
        const QString name = QStringLiteral("navigator-fixture");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(database);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec("CREATE TABLE Products (Code TEXT PRIMARY KEY, Name TEXT, "
                               "Price REAL)"));
            const struct
            {
                const char* code;
                const char* name;
                double price;
            } rows[] = {{"A001", "Apple", 1.2},     {"A002", "O'Brien", 2.5},
                        {"A003", "50% off", 3},     {"A004", "500 Series", 0.5},
                        {"A005", "Under_score", 5}, {"A006", "Uncle", 6}};
            q.prepare("INSERT INTO Products VALUES (?, ?, ?)");
            for (const auto& row : rows) {
                q.addBindValue(QString::fromLatin1(row.code));
                q.addBindValue(QString::fromUtf8(row.name));
                q.addBindValue(row.price);
                EXPECT_TRUE(q.exec());
            }
            EXPECT_TRUE(q.exec("CREATE TABLE Many (Id INTEGER PRIMARY KEY, Label TEXT)"));
            EXPECT_TRUE(db.transaction());
            q.prepare("INSERT INTO Many VALUES (?, ?)");
            for (int i = 1; i <= 120; ++i) {
                q.addBindValue(i);
                q.addBindValue(QStringLiteral("Item %1").arg(i, 3, 10, QChar(u'0')));
                EXPECT_TRUE(q.exec());
            }
            EXPECT_TRUE(db.commit());
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    ~RecordNavigatorTest() override
    {
        delete navigator;
        FrameHooks().chooseFile = nullptr;
    }

    bool Start() { return StartDesigner(QSize(1100, 800)); }

    CText* Text(const QString& name, int kind, const QString& source, int y)
    {
        auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
        text->BeginCreate(nullptr, 20, y);
        text->m_name = name;
        text->m_prompt = name + QStringLiteral(":");
        text->m_maxLines = 1;
        text->m_useSampleData = 0;
        text->SetDataSource(kind, source);
        return text;
    }

    // The sign linked to a table of the fixture, with a text fed by a field.
    void Link(const QString& table)
    {
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeAccess);
        ASSERT_TRUE(link.Connect(database, TRUE));
        ASSERT_TRUE(link.OpenTable(table));
        link.m_linkKind = 0;
    }

    CRecordNavigator* Open()
    {
        navigator = new CRecordNavigator(TheDatabaseLink(), {});
        navigator->resize(420, 200);
        navigator->show();
        navigator->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(navigator));
        return navigator;
    }

    QString Number() const
    {
        return Control<QLineEdit>(navigator, CRecordNavigator::IDC_NUMBER)->text();
    }
    QString Count() const
    {
        return Control<QLabel>(navigator, CRecordNavigator::IDC_COUNT)->text();
    }
    QComboBox* Data() const { return Control<QComboBox>(navigator, CRecordNavigator::IDC_DATA); }
    QString Value() const { return Data()->currentText(); }
    void Click(int id)
    {
        auto* button = Control<QAbstractButton>(navigator, id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->isEnabled()) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void ChooseField(const QString& name)
    {
        auto* fields = Control<QComboBox>(navigator, CRecordNavigator::IDC_FIELD);
        const int index = fields->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        fields->setCurrentIndex(index);
        emit fields->activated(index);
    }
    // Types into the Data combo and tabs away, which runs the search at once.
    void Search(const QString& text)
    {
        QLineEdit* edit = Data()->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        Control<QComboBox>(navigator, CRecordNavigator::IDC_FIELD)->setFocus();
    }
    int RowsInTable()
    {
        QSqlQuery q(TheDatabaseLink().Database());
        return q.exec("SELECT COUNT(*) FROM Products") && q.next() ? q.value(0).toInt() : -1;
    }

    CRecordNavigator* navigator = nullptr;
    QString database;
};

TEST_F(RecordNavigatorTest, MovesShowTheRecordAndItsNumber)
{
    ASSERT_TRUE(Start());
    CText* name = Text("Name", SOURCE_DATABASE, "Name", 100);
    Link("Products");
    Open();
    EXPECT_EQ(Count(), "6");
    EXPECT_EQ(Number(), "1");
    // The key field is the one searched and shown.
    EXPECT_EQ(navigator->CurrentField(), "Code");
    EXPECT_EQ(Value(), "A001");

    const struct
    {
        int button;
        const char* number;
        const char* name;
    } moves[] = {
        {CRecordNavigator::IDC_NEXT, "2", "O'Brien"},
        {CRecordNavigator::IDC_LAST, "6", "Uncle"},
        {CRecordNavigator::IDC_NEXT, "6", "Uncle"}, // past the last: stays
        {CRecordNavigator::IDC_PREVIOUS, "5", "Under_score"},
        {CRecordNavigator::IDC_FIRST, "1", "Apple"},
        {CRecordNavigator::IDC_PREVIOUS, "1", "Apple"}, // before the first: stays
    };
    for (const auto& move : moves) {
        // The move buttons are flat picture buttons.
        auto* picture = Control<CPictureButton>(navigator, move.button);
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(picture->IsFlat() && picture->HasIcon()) << move.button;
        Click(move.button);
        EXPECT_EQ(Number(), move.number) << move.button;
        EXPECT_EQ(TheDatabaseLink().GetFieldValue("Name"), move.name);
        // The record reaches the element fed by its field.
        EXPECT_EQ(name->GetEnteredData(), move.name) << move.button;
    }

    // A typed record number moves there; one out of range is refused.
    CMessageResponder responder;
    QLineEdit* number = Control<QLineEdit>(navigator, CRecordNavigator::IDC_NUMBER);
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, "4");
    EXPECT_EQ(TheDatabaseLink().GetPosition(), 4);
    EXPECT_EQ(Value(), "A004");
    EXPECT_EQ(name->GetEnteredData(), "500 Series");
    EXPECT_EQ(responder.Count(), 0);
    number->selectAll();
    QTest::keyClicks(number, "9");
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LastText(), LoadStringId(IDS_NO_SUCH_RECORD));
    EXPECT_EQ(number->text(), "4");
    EXPECT_EQ(TheDatabaseLink().GetPosition(), 4);
}

TEST_F(RecordNavigatorTest, SearchTakesTypedTextAsItStands)
{
    ASSERT_TRUE(Start());
    Link("Products");
    Open();
    ChooseField("Name");
    // Each search starts from the whole table: the searches replace each
    // other, they do not narrow down.
    const struct
    {
        const char* typed;
        int count; // 0: nothing found, the bar keeps what it showed
        const char* first;
    } cases[] = {
        {"O'", 1, "O'Brien"},
        {"o'b", 1, "O'Brien"},
        {"50%", 1, "50% off"}, // not "500 Series"
        {"50", 2, "50% off"},
        {"Under_", 1, "Under_score"}, // "_" is no wildcard
        {"Un", 2, "Uncle"},
        {"%", 0, nullptr},
        {"_", 0, nullptr},
        {"x' OR '1'='1", 0, nullptr},
        {"'; DROP TABLE Products; --", 0, nullptr},
        {"]", 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CMessageResponder responder;
        navigator->Refresh();
        ChooseField("Name");
        Search(QString::fromUtf8(c.typed));
        EXPECT_FALSE(navigator->IsSearchPending());
        if (c.count > 0) {
            EXPECT_EQ(responder.Count(), 0) << responder.LastText().toStdString();
            EXPECT_EQ(Count(), QString::number(c.count));
            EXPECT_EQ(TheDatabaseLink().GetFieldValue("Name"), c.first);
        } else {
            ASSERT_EQ(responder.Count(), 1);
            EXPECT_EQ(responder.LastText(),
                      FormatMessageText(LoadStringId(IDS_NO_RECORDS_STARTING_WITH),
                                        {"Name", QString::fromUtf8(c.typed)}));
            EXPECT_EQ(Count(), "6");
        }
        EXPECT_EQ(RowsInTable(), 6);
    }
}

TEST_F(RecordNavigatorTest, SearchWaitsForTheTypingToPause)
{
    ASSERT_TRUE(Start());
    Link("Products");
    Open();
    ChooseField("Name");
    QLineEdit* edit = Data()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "Un");
    // Nothing is searched while the typing goes on.
    EXPECT_TRUE(navigator->IsSearchPending());
    EXPECT_EQ(Count(), "6");
    QTRY_COMPARE_WITH_TIMEOUT(Count(), QString("2"), 10000);
    EXPECT_FALSE(navigator->IsSearchPending());
    // The typed text is selected for the next search.
    EXPECT_EQ(edit->selectedText(), "Un");
}

TEST_F(RecordNavigatorTest, ChoosingAFieldSortsByIt)
{
    ASSERT_TRUE(Start());
    CText* name = Text("Name", SOURCE_DATABASE, "Name", 100);
    Link("Products");
    Open();
    const struct
    {
        const char* field;
        const char* first;
        const char* last;
    } sorts[] = {
        {"Price", "500 Series", "Uncle"},
        {"Name", "50% off", "Under_score"},
        {"Code", "Apple", "Uncle"},
    };
    for (const auto& sort : sorts) {
        ChooseField(sort.field);
        EXPECT_EQ(Number(), "1") << sort.field;
        EXPECT_EQ(name->GetEnteredData(), sort.first) << sort.field;
        EXPECT_EQ(Value(), TheDatabaseLink().GetFieldValue(sort.field));
        Click(CRecordNavigator::IDC_LAST);
        EXPECT_EQ(name->GetEnteredData(), sort.last) << sort.field;
        Click(CRecordNavigator::IDC_FIRST);
    }
}

TEST_F(RecordNavigatorTest, ValueListShowsTheRecordsAroundTheCurrentOne)
{
    ASSERT_TRUE(Start());
    Link("Many");
    Open();
    ChooseField("Label");
    const struct
    {
        int current;
        int first;
        int last;
    } windows[] = {{110, 70, 120}, {30, 5, 55}, {1, 1, 51}, {120, 70, 120}};
    for (const auto& w : windows) {
        ASSERT_TRUE(TheDatabaseLink().MoveTo(w.current));
        Data()->showPopup();
        Data()->hidePopup();
        ASSERT_EQ(Data()->count(), w.last - w.first + 1) << w.current;
        EXPECT_EQ(Data()->itemData(0).toInt(), w.first);
        EXPECT_EQ(Data()->itemData(Data()->count() - 1).toInt(), w.last);
        EXPECT_EQ(Data()->itemText(0), QStringLiteral("Item %1").arg(w.first, 3, 10, QChar(u'0')));
        // The list leaves the current record where it was.
        EXPECT_EQ(TheDatabaseLink().GetPosition(), w.current);
    }
    // Choosing an item moves to its record.
    Data()->setCurrentIndex(3);
    emit Data()->activated(3);
    EXPECT_EQ(TheDatabaseLink().GetPosition(), 73);
    EXPECT_EQ(Number(), "73");
}

TEST_F(RecordNavigatorTest, ValueListOfAShortTableListsItAll)
{
    ASSERT_TRUE(Start());
    Link("Products");
    Open();
    Click(CRecordNavigator::IDC_LAST);
    Data()->showPopup();
    Data()->hidePopup();
    EXPECT_EQ(Data()->count(), 6);
}

// --- the data store -------------------------------------------------------------------

class DataStoreTest : public RecordNavigatorTest
{
protected:
    void MakeSign()
    {
        product = Text("Product", SOURCE_KEYBOARD, QString(), 100);
        desc = Text("Desc", SOURCE_KEYBOARD, QString(), 300);
        sign = home.FilePath("Shelf.sgn");
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return sign; };
    }
    bool RunCommand(int id, std::function<void(CDataStoreDlg&)> drive)
    {
        frame->UpdateActionsNow();
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
        return WhileModal<CDataStoreDlg>([&] { frame->Action(id)->trigger(); }, std::move(drive));
    }
    static void Check(QWidget* dialog, int id, bool on)
    {
        auto* box = Control<QCheckBox>(dialog, id);
        ASSERT_NE(box, nullptr);
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        ASSERT_EQ(box->isChecked(), on);
    }
    static void Ok(QWidget* dialog) { Control<QPushButton>(dialog, 1)->click(); }
    // Makes the store Shelf.mdb keyed by Product through the Database menu.
    void MakeStore()
    {
        ASSERT_TRUE(frame->SaveSignAs());
        ASSERT_TRUE(RunCommand(ID_DATA_STORE_CREATE, [](CDataStoreDlg& dialog) {
            Check(&dialog, CDataStoreDlg::IDC_ENABLE, true);
            Ok(&dialog);
        }));
        ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 1);
    }
    void Type(CText* element, const QString& text)
    {
        element->SetDataText(text, SOURCE_KEYBOARD, QString(), TRUE);
    }
    QStringList StoreRows()
    {
        QSqlQuery q(TheDatabaseLink().Database());
        QStringList rows;
        if (q.exec("SELECT Product, Desc FROM Shelf ORDER BY RecordId"))
            while (q.next())
                rows << q.value(0).toString() + u'|' + q.value(1).toString();
        return rows;
    }

    CText* product = nullptr;
    CText* desc = nullptr;
    QString sign;
};

TEST_F(DataStoreTest, DialogSavesTheSignFirstAndProposesAStoreBesideIt)
{
    ASSERT_TRUE(Start());
    MakeSign();
    ASSERT_TRUE(RunCommand(ID_DATA_STORE_CREATE, [this](CDataStoreDlg& dialog) {
        auto* enable = Control<QCheckBox>(&dialog, CDataStoreDlg::IDC_ENABLE);
        auto* saveNow = Control<QPushButton>(&dialog, CDataStoreDlg::IDC_SAVE_NOW);
        auto* key = Control<QComboBox>(&dialog, CDataStoreDlg::IDC_KEY);
        // A sign that was never saved has no place for a store yet.
        EXPECT_FALSE(enable->isEnabled());
        EXPECT_TRUE(saveNow->isEnabled());
        saveNow->click();
        EXPECT_TRUE(QFile::exists(sign));
        EXPECT_TRUE(enable->isEnabled());
        EXPECT_FALSE(saveNow->isEnabled());
        Check(&dialog, CDataStoreDlg::IDC_ENABLE, true);
        EXPECT_EQ(Control<QLineEdit>(&dialog, CDataStoreDlg::IDC_FILE)->text(), "Shelf.mdb");
        EXPECT_TRUE(Control<QCheckBox>(&dialog, CDataStoreDlg::IDC_UNIQUE)->isChecked());
        EXPECT_EQ(key->count(), 2);
        EXPECT_EQ(key->currentText(), "Product");
        Check(&dialog, CDataStoreDlg::IDC_COPY_QUANTITY, true);
        Ok(&dialog);
        EXPECT_FALSE(dialog.isVisible());
    }));
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_EQ(link.GetLinkKind(), 1);
    EXPECT_EQ(link.m_keyField, "Product");
    EXPECT_TRUE(link.m_storeCopyQuantity);
    EXPECT_TRUE(QFile::exists(home.FilePath("Shelf.mdb")));
    EXPECT_EQ(CDataStore(link).Columns(),
              QStringList({CDataStore::kRecordColumn, "Product", "Desc", "CopyQty"}));
    EXPECT_TRUE(frame->Document().IsModified());

    // Properties of a sign with a store: the same dialog; unchecking Enable
    // unlinks the store and leaves its file.
    ASSERT_TRUE(RunCommand(ID_DATABASE_PROPERTIES, [](CDataStoreDlg& dialog) {
        EXPECT_TRUE(Control<QCheckBox>(&dialog, CDataStoreDlg::IDC_ENABLE)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(&dialog, CDataStoreDlg::IDC_FILE)->text(), "Shelf.mdb");
        EXPECT_EQ(Control<QComboBox>(&dialog, CDataStoreDlg::IDC_KEY)->currentText(), "Product");
        Check(&dialog, CDataStoreDlg::IDC_ENABLE, false);
        Ok(&dialog);
    }));
    EXPECT_EQ(link.GetLinkKind(), -1);
    EXPECT_TRUE(QFile::exists(home.FilePath("Shelf.mdb")));
}

TEST_F(DataStoreTest, DialogRefusesANameWithAFolderAndStaysAfterAFailedCreation)
{
    ASSERT_TRUE(Start());
    MakeSign();
    ASSERT_TRUE(frame->SaveSignAs());
    QDir(home.FilePath(QString())).mkdir("sub");
    QFile foreign(home.FilePath("Foreign.mdb"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("Standard Jet DB, not ours");
    foreign.close();
    CMessageResponder responder;
    ASSERT_TRUE(RunCommand(ID_DATA_STORE_CREATE, [&](CDataStoreDlg& dialog) {
        Check(&dialog, CDataStoreDlg::IDC_ENABLE, true);
        auto* file = Control<QLineEdit>(&dialog, CDataStoreDlg::IDC_FILE);
        EXPECT_TRUE(file->isReadOnly());
        Control<QPushButton>(&dialog, CDataStoreDlg::IDC_FILE_EDIT)->click();
        EXPECT_FALSE(file->isReadOnly());
        const char* refused[] = {
            "../Shelf.mdb", "sub/Shelf.mdb",  "sub\\Shelf.mdb", "..",         "",
            ".mdb",         "/tmp/Shelf.mdb", "a:b.mdb",        "Foreign.mdb"};
        for (const char* name : refused) {
            responder.Clear();
            file->setText(QString::fromUtf8(name));
            Ok(&dialog);
            EXPECT_TRUE(dialog.isVisible()) << name;
            EXPECT_EQ(responder.Count(), 1) << name;
            EXPECT_EQ(TheDatabaseLink().GetLinkKind(), -1) << name;
        }
        EXPECT_FALSE(QFile::exists(home.FilePath("Shelf.mdb")));
        EXPECT_TRUE(QDir(home.FilePath("sub")).isEmpty());
        file->setText("Kept.mdb");
        Ok(&dialog);
        EXPECT_FALSE(dialog.isVisible());
    }));
    // The foreign file is left as it was.
    ASSERT_TRUE(foreign.open(QIODevice::ReadOnly));
    EXPECT_EQ(foreign.readAll(), QByteArray("Standard Jet DB, not ours"));
    EXPECT_EQ(TheDatabaseLink().GetLinkKind(), 1);
    EXPECT_TRUE(QFile::exists(home.FilePath("Kept.mdb")));
}

TEST_F(DataStoreTest, NavigatorSavesAndDeletesDataSets)
{
    ASSERT_TRUE(Start());
    MakeSign();
    MakeStore();
    Open();
    // An empty store: a new data set to fill in.
    EXPECT_TRUE(navigator->IsNewDataSet());
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(Number(), "1");
    EXPECT_TRUE(Control<QPushButton>(navigator, CRecordNavigator::IDC_SAVE)->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(navigator, CRecordNavigator::IDC_DELETE)->isEnabled());
    EXPECT_FALSE(Control<QAbstractButton>(navigator, CRecordNavigator::IDC_PRINT_ALL)->isEnabled());

    CMessageResponder responder;
    Type(product, "P1");
    Type(desc, "First");
    Click(CRecordNavigator::IDC_SAVE);
    EXPECT_EQ(StoreRows(), QStringList({"P1|First"}));
    EXPECT_EQ(Count(), "1");
    EXPECT_FALSE(navigator->IsNewDataSet());
    EXPECT_TRUE(Control<QPushButton>(navigator, CRecordNavigator::IDC_DELETE)->isEnabled());

    // The same key again asks whether to replace the record; New is not
    // offered, and No leaves the record alone.
    Type(desc, "Changed");
    for (const int answer : {int(IDNO), int(IDYES)}) {
        bool newOffered = true;
        EXPECT_TRUE(WhileModal<CAddToDataStoreDlg>(
            [&] { Click(CRecordNavigator::IDC_SAVE); },
            [&](CAddToDataStoreDlg& dialog) {
                newOffered = Control<QPushButton>(&dialog, kAddToStoreNew)->isEnabled();
                Control<QPushButton>(&dialog, answer)->click();
            }));
        EXPECT_FALSE(newOffered);
        EXPECT_EQ(StoreRows(), QStringList({answer == IDYES ? "P1|Changed" : "P1|First"}));
    }

    // A key with a quote is a new record like any other.
    Type(product, "O'Brien");
    Type(desc, "Second");
    Click(CRecordNavigator::IDC_SAVE);
    EXPECT_EQ(StoreRows(), QStringList({"P1|Changed", "O'Brien|Second"}));
    EXPECT_EQ(Count(), "2");

    // No key, no save.
    Type(product, "  ");
    Click(CRecordNavigator::IDC_SAVE);
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LastText(), LoadStringId(IDS_INVALID_PRODUCT_ID));
    EXPECT_EQ(StoreRows().size(), 2);

    // Moving takes a record into the keyboard elements; the records go by
    // their key.
    Click(CRecordNavigator::IDC_FIRST);
    EXPECT_EQ(product->GetEnteredData(), "O'Brien");
    EXPECT_EQ(desc->GetEnteredData(), "Second");
    Click(CRecordNavigator::IDC_NEXT);
    EXPECT_EQ(product->GetEnteredData(), "P1");
    EXPECT_EQ(desc->GetEnteredData(), "Changed");

    // Delete asks first; No keeps the record.
    responder.Clear();
    responder.QueueAnswer(IDNO);
    Click(CRecordNavigator::IDC_DELETE);
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LastText(), LoadStringId(IDS_DELETE_CURRENT_RECORD));
    EXPECT_EQ(StoreRows().size(), 2);
    Click(CRecordNavigator::IDC_DELETE);
    EXPECT_EQ(StoreRows(), QStringList({"O'Brien|Second"}));
    EXPECT_EQ(Count(), "1");
    EXPECT_EQ(product->GetEnteredData(), "O'Brien");
    Click(CRecordNavigator::IDC_DELETE);
    EXPECT_TRUE(StoreRows().isEmpty());
    EXPECT_EQ(Count(), "0");
    EXPECT_TRUE(navigator->IsNewDataSet());
    // The keyboard elements no longer show the deleted data.
    EXPECT_EQ(product->GetEnteredData(), "");
    EXPECT_FALSE(Control<QPushButton>(navigator, CRecordNavigator::IDC_DELETE)->isEnabled());
}

// Every road that adds, renames, duplicates, pastes or deletes a keyboard
// element keeps the store's columns in step: a renamed element's column
// follows it with its values (and the key with it), a copy gets a column of
// its own, a column with values outlives its element for the undo that
// brings it back, and Save stores every value typed.
TEST_F(DataStoreTest, StoreColumnsFollowTheElementsOnEveryRoad)
{
    ASSERT_TRUE(Start());
    MakeSign();
    MakeStore();
    CDatabaseLink& link = TheDatabaseLink();
    // The navigator's buttons are clicked; it need not take the focus from
    // the designer's window.
    navigator = new CRecordNavigator(TheDatabaseLink(), {});
    navigator->show();
    Type(product, "P1");
    Type(desc, "First");
    Click(CRecordNavigator::IDC_SAVE);
    ASSERT_EQ(StoreRows(), QStringList({"P1|First"}));

    CMessageResponder responder;
    auto* view = qobject_cast<CDesignView*>(frame->Canvas());
    ASSERT_NE(view, nullptr);
    view->FullSize();
    const auto select = [&](const QString& name) {
        CElement* element = TheElementList().FindByName(name);
        if (!element)
            return false;
        const CPoint p = view->LPtoDP(element->m_bounds.CenterPoint());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        return view->Selection().Primary() == element && view->Selection().GetCount() == 1;
    };
    const auto rename = [&](const QString& to) {
        auto* name = frame->PropertyPane()->findChild<QLineEdit*>(QStringLiteral("id1050"));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, to);
    };
    const auto columns = [&] { return CDataStore(link).Columns(); };
    const auto value = [&](const QString& column) {
        QSqlQuery q(link.Database());
        q.exec(QStringLiteral("SELECT \"%1\" FROM Shelf ORDER BY RecordId").arg(column));
        return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    };
    const auto command = [&](int id) {
        frame->UpdateActionsNow();
        return frame->ExecuteCommand(id);
    };

    // Renamed in the pane: the column and its value follow.
    ASSERT_TRUE(select("Desc"));
    rename("Title");
    EXPECT_EQ(columns(), QStringList({CDataStore::kRecordColumn, "Product", "Title"}));
    EXPECT_EQ(value("Title"), "First");
    // Undo takes the name back, column and all.
    ASSERT_TRUE(command(ID_EDIT_UNDO));
    ASSERT_NE(TheElementList().FindByName("Desc"), nullptr);
    EXPECT_EQ(columns(), QStringList({CDataStore::kRecordColumn, "Product", "Desc"}));
    EXPECT_EQ(value("Desc"), "First");
    // The key element renamed: the key names its new column.
    ASSERT_TRUE(select("Product"));
    rename("Code");
    EXPECT_EQ(link.m_keyField, "Code");
    EXPECT_EQ(value("Code"), "P1");

    // A duplicate gets a column; undone, its empty column goes again.
    ASSERT_TRUE(select("Desc"));
    ASSERT_TRUE(command(ID_EDIT_DUPLICATE));
    const QString copy = view->Selection().Primary()->m_name;
    ASSERT_NE(copy, "Desc");
    EXPECT_TRUE(columns().contains(copy)) << copy.toStdString();
    ASSERT_TRUE(command(ID_EDIT_UNDO));
    EXPECT_EQ(columns(), QStringList({CDataStore::kRecordColumn, "Code", "Desc"}));

    // Pasted: a column for the pasted element.
    ASSERT_TRUE(select("Desc"));
    ASSERT_TRUE(command(ID_EDIT_COPY));
    ASSERT_TRUE(command(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->clear();
    ASSERT_EQ(TheElementList().GetCount(), 3);
    const QString pasted = TheElementList().GetAt(2)->m_name;
    EXPECT_TRUE(columns().contains(pasted)) << pasted.toStdString();
    // Deleted: its empty column goes; a column with values stays for the
    // undo that brings its element back. (The pasted element lies under
    // the one it was copied from.)
    view->Selection().DeselectAll();
    view->Selection().AddElement(TheElementList().FindByName(pasted));
    ASSERT_EQ(view->Selection().Primary(), TheElementList().FindByName(pasted));
    ASSERT_TRUE(command(ID_EDIT_DELETE));
    EXPECT_FALSE(columns().contains(pasted));
    ASSERT_TRUE(select("Desc"));
    ASSERT_TRUE(command(ID_EDIT_DELETE));
    EXPECT_EQ(TheElementList().FindByName("Desc"), nullptr);
    EXPECT_TRUE(columns().contains("Desc"));
    ASSERT_TRUE(command(ID_EDIT_UNDO));
    ASSERT_NE(TheElementList().FindByName("Desc"), nullptr);
    EXPECT_EQ(value("Desc"), "First");
    EXPECT_EQ(responder.Count(), 0) << responder.LastText().toStdString();

    // Save stores each typed value in the columns of today's names.
    navigator->Refresh();
    Type(static_cast<CText*>(TheElementList().FindByName("Code")), "P2");
    Type(static_cast<CText*>(TheElementList().FindByName("Desc")), "Second");
    Click(CRecordNavigator::IDC_SAVE);
    EXPECT_EQ(responder.Count(), 0) << responder.LastText().toStdString();
    QSqlQuery q(link.Database());
    ASSERT_TRUE(q.exec("SELECT Code, Desc FROM Shelf ORDER BY RecordId"));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + u'|' + q.value(1).toString();
    EXPECT_EQ(rows, QStringList({"P1|First", "P2|Second"}));
}

// A value typed for an element whose column the store lacks (a store made
// by an earlier program, say) is stored in a column made for it, never
// dropped.
TEST_F(DataStoreTest, SaveMakesTheColumnAValueLacks)
{
    ASSERT_TRUE(Start());
    MakeSign();
    MakeStore();
    CDatabaseLink& link = TheDatabaseLink();
    ASSERT_TRUE(CDataStore(link).DeleteStoreColumn("Desc"));
    Open();
    CMessageResponder responder;
    Type(product, "P1");
    Type(desc, "First");
    Click(CRecordNavigator::IDC_SAVE);
    EXPECT_EQ(responder.Count(), 0) << responder.LastText().toStdString();
    EXPECT_EQ(StoreRows(), QStringList({"P1|First"}));
}

// --- connection properties --------------------------------------------------------------------

TEST_F(RecordNavigatorTest, PropertiesChangeTheKeyOnlyOnOk)
{
    ASSERT_TRUE(Start());
    Link("Products");
    CDatabaseLink& link = TheDatabaseLink();
    for (const bool ok : {false, true}) {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(ID_DATABASE_PROPERTIES);
        ASSERT_TRUE(action->isEnabled());
        EXPECT_TRUE(WhileModal<CConnectionPropertiesDlg>(
            [&] { action->trigger(); },
            [&](CConnectionPropertiesDlg& dialog) {
                EXPECT_EQ(Control<QLabel>(&dialog, CConnectionPropertiesDlg::IDC_FILE)->text(),
                          database);
                EXPECT_EQ(Control<QLabel>(&dialog, CConnectionPropertiesDlg::IDC_TYPE)->text(),
                          QString::fromLatin1(DatabaseTypeRow(kDatabaseTypeAccess).name));
                EXPECT_EQ(Control<QLabel>(&dialog, CConnectionPropertiesDlg::IDC_VIEW)->text(),
                          "Products");
                auto* key = Control<QComboBox>(&dialog, CConnectionPropertiesDlg::IDC_KEY);
                EXPECT_EQ(key->count(), 3);
                EXPECT_EQ(key->currentText(), "Code");
                key->setCurrentIndex(key->findText("Name"));
                Control<QCheckBox>(&dialog, CConnectionPropertiesDlg::IDC_COPY_QUANTITY)
                    ->setChecked(true);
                Control<QPushButton>(&dialog, ok ? 1 : 2)->click();
            }));
        EXPECT_EQ(link.GetKeyField(), ok ? "Name" : "Code");
        EXPECT_EQ(link.m_firstFieldIsCopyQuantity, ok ? TRUE : FALSE);
        EXPECT_EQ(frame->Document().IsModified(), ok);
    }
}

TEST_F(RecordNavigatorTest, DatabaseErrorsReachTheErrorReport)
{
    ASSERT_TRUE(Start());
    Link("Products");
    CMessageResponder responder;
    EXPECT_EQ(TheDatabaseLink().OpenRecordset("SELECT * FROM NoSuchTable"), 0);
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_TRUE(responder.LastText().startsWith(u'"'));
    EXPECT_TRUE(responder.LastText().contains("NoSuchTable"));
    CMdacErrorDlg report(responder.LastText());
    EXPECT_EQ(Control<QLabel>(&report, CMdacErrorDlg::IDC_DESCRIPTION)->text(),
              responder.LastText());
    EXPECT_EQ(report.windowTitle(), "Microsoft Data Access Components");
}

// --- in the data-entry pane ---------------------------------------------------------------

// The navigator as the designer shows it: Print on a linked sign puts it in
// the data-entry pane above the print bar; its moves reach the pane's rows,
// its search narrows what Print All prints, and leaving the station ends it.
TEST_F(RecordNavigatorTest, DataEntryPaneWalksSearchesAndPrintsAll)
{
    ASSERT_TRUE(Start());
    CText* name = Text("Name", SOURCE_DATABASE, "Name", 100);
    Link("Products");
    const QString pdf = home.FilePath("labels.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands && commands->IsStationOpen());
    CDataView* pane = commands->DataView();
    ASSERT_NE(pane, nullptr);
    navigator = qobject_cast<CRecordNavigator*>(pane->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    EXPECT_TRUE(pane->isAncestorOf(navigator));
    EXPECT_TRUE(navigator->isVisible());
    CDataCtrl* panel = pane->Panel();
    ASSERT_EQ(panel->RowCount(), 1);
    QLineEdit* row = panel->Row(0).edit;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Count(), "6");
    EXPECT_EQ(row->text(), "Apple");

    Click(CRecordNavigator::IDC_NEXT);
    EXPECT_EQ(row->text(), "O'Brien");
    EXPECT_EQ(name->GetEnteredData(), "O'Brien");
    Click(CRecordNavigator::IDC_LAST);
    EXPECT_EQ(row->text(), "Uncle");

    // Searching "Un" leaves two records, and Print All prints those two.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    ChooseField("Name");
    Search("Un");
    ASSERT_EQ(Count(), "2");
    EXPECT_EQ(row->text(), "Uncle");
    // A picture of the pane, written when TABREL_SHOT_DIR names a folder.
    if (const QString shots = qEnvironmentVariable("TABREL_SHOT_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        EXPECT_TRUE(frame->grab().save(shots + "/record-navigator-frame.png"));
        EXPECT_TRUE(navigator->grab().save(shots + "/record-navigator.png"));
    }
    auto* destination =
        Control<QComboBox>(commands->BatchDialog(), CPrintBatchDlg::IDC_DESTINATION);
    ASSERT_NE(destination, nullptr);
    destination->setCurrentIndex(1);
    CMessageResponder responder;
    // Ctrl+P in the bar prints the record shown, as the print bar's Print.
    QTest::keyClick(Data(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    Click(CRecordNavigator::IDC_PRINT_ALL);
    ASSERT_GE(responder.Count(), 1);
    EXPECT_EQ(responder.Messages().front().text, "Print 2 signs ?");
    EXPECT_EQ(ThePrinter().m_labelPosition, 3);
    // Return ejects the sheet, then leaves the station; the navigator goes
    // with the pane.
    QPointer<CRecordNavigator> shown = navigator;
    navigator = nullptr;
    auto* back = Control<QPushButton>(commands->BatchDialog(), CPrintBatchDlg::IDC_RETURN);
    back->click();
    if (commands->IsStationOpen())
        back->click();
    EXPECT_FALSE(commands->IsStationOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
    EXPECT_FALSE(TheDatabaseLink().IsRecordsetOpen());

    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("Uncle")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("Under_score")) << printed.toStdString();
    for (const char* other : {"Apple", "O'Brien", "50% off", "500 Series"})
        EXPECT_FALSE(printed.contains(other)) << other;
}

// What the Properties dialog shows of the link: the name of its custom view
// (when the view is still kept), the table of a source that has tables, and
// a text source's schema.
TEST_F(RecordNavigatorTest, PropertiesShowTheViewAndTheTextSchema)
{
    ASSERT_TRUE(Start());
    TheCustomViewList().Set("Cheap", "SELECT * FROM Products WHERE Price < 2");
    const struct
    {
        int type;
        const char* table;
        const char* view; // custom view query, or null
        char delimiter;
        const char* shownView;
        int checkedRadio; // 0: none
        const char* other;
        int fileType = 0;
        const char* shownFileType = "";
    } cases[] = {
        {kDatabaseTypeAccess, "Products", nullptr, ',', "Products", 0, ""},
        {kDatabaseTypeAccess, "Products", "select * from products where price < 2", ',', "Cheap", 0,
         ""},
        {kDatabaseTypeAccess, "Products", "SELECT * FROM Products WHERE Price > 9", ',', "", 0, ""},
        {1 /* dBASE III */, "items", nullptr, ',', "", 0, ""},
        {kDatabaseTypeText, "prices#csv", nullptr, ';', "", CConnectionPropertiesDlg::IDC_SEMICOLON,
         "", 0, "Windows (ANSI)"},
        {kDatabaseTypeText, "prices#csv", nullptr, '\t', "", CConnectionPropertiesDlg::IDC_TAB, "",
         1, "DOS (ASCII)"},
        {kDatabaseTypeText, "prices#csv", nullptr, '|', "", CConnectionPropertiesDlg::IDC_OTHER,
         "|", 2, "Unicode (UTF-8)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shownView);
        CDatabaseLink link;
        link.SetDatabaseType(c.type);
        link.m_tableName = c.table;
        link.m_customViewQuery = c.view ? QString::fromLatin1(c.view) : QString();
        link.m_textDelimiter = c.delimiter;
        link.m_textHeader = TRUE;
        link.m_textFileType = c.fileType;
        CConnectionPropertiesDlg dialog(link);
        auto* fileType = Control<QComboBox>(&dialog, CConnectionPropertiesDlg::IDC_FILE_TYPE);
        ASSERT_NE(fileType, nullptr);
        EXPECT_EQ(fileType->count(), 3);
        EXPECT_EQ(fileType->currentText(), c.shownFileType);
        EXPECT_EQ(Control<QLabel>(&dialog, CConnectionPropertiesDlg::IDC_VIEW)->text(),
                  c.shownView);
        for (int id = CConnectionPropertiesDlg::IDC_TAB; id <= CConnectionPropertiesDlg::IDC_OTHER;
             ++id)
            EXPECT_EQ(Control<QAbstractButton>(&dialog, id)->isChecked(), id == c.checkedRadio)
                << id;
        EXPECT_EQ(Control<QLineEdit>(&dialog, CConnectionPropertiesDlg::IDC_OTHER_CHAR)->text(),
                  c.other);
        EXPECT_EQ(Control<QCheckBox>(&dialog, CConnectionPropertiesDlg::IDC_HEADER)->isChecked(),
                  c.type == kDatabaseTypeText);
    }
}

// Print All over a data store, through the data-entry pane: each stored data
// set reaches the rows and prints in key order, and a data set that its
// element refuses stops the run there, naming the record.
TEST_F(DataStoreTest, PrintAllPrintsTheStoredDataSetsUpToARefusedOne)
{
    ASSERT_TRUE(Start());
    MakeSign();
    desc->m_mustEnterData = TRUE;
    MakeStore();
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands && commands->IsStationOpen());
    CDataView* pane = commands->DataView();
    ASSERT_NE(pane, nullptr);
    navigator = qobject_cast<CRecordNavigator*>(pane->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    CDataCtrl* panel = pane->Panel();
    const auto typeRow = [panel](CText* element, const QString& text) {
        const int row = panel->FindRow(element);
        ASSERT_GE(row, 0);
        QLineEdit* edit = panel->Row(row).edit;
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    };
    // Three data sets typed and saved; the second has no description.
    const char* sets[][2] = {{"P3", "Third"}, {"P1", "First"}, {"P2", ""}};
    for (const auto& set : sets) {
        typeRow(product, set[0]);
        typeRow(desc, set[1]);
        Click(CRecordNavigator::IDC_SAVE);
    }
    ASSERT_EQ(StoreRows(), QStringList({"P3|Third", "P1|First", "P2|"}));
    ASSERT_EQ(Count(), "3");
    // Each saved data set is in its place among the others.
    EXPECT_EQ(Number(), "2");
    EXPECT_EQ(Value(), "P2");
    Click(CRecordNavigator::IDC_FIRST);
    EXPECT_EQ(desc->GetEnteredData(), "First");
    EXPECT_EQ(panel->Row(panel->FindRow(desc)).edit->text(), "First");

    const QString pdf = home.FilePath("store.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    Control<QComboBox>(commands->BatchDialog(), CPrintBatchDlg::IDC_DESTINATION)
        ->setCurrentIndex(1);
    CMessageResponder responder;
    Click(CRecordNavigator::IDC_PRINT_ALL);
    QStringList texts;
    for (const auto& message : responder.Messages())
        texts << message.text;
    ASSERT_EQ(texts.size(), 3) << texts.join(" / ").toStdString();
    EXPECT_EQ(texts[0], "Print 3 signs ?");
    EXPECT_EQ(texts[1], FormatStringId(IDS_DATA_MUST_BE_SUPPLIED, {"Desc"}));
    EXPECT_TRUE(texts[2].startsWith("Print All stopped at record 2 of 3"))
        << texts[2].toStdString();
    EXPECT_EQ(Number(), "2");
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);

    navigator = nullptr;
    auto* back = Control<QPushButton>(commands->BatchDialog(), CPrintBatchDlg::IDC_RETURN);
    back->click();
    if (commands->IsStationOpen())
        back->click();
    ASSERT_FALSE(commands->IsStationOpen());
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("P1")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("First"));
    for (const char* other : {"P2", "P3", "Third"})
        EXPECT_FALSE(printed.contains(other)) << other;
}

// A store whose entries are not unique asks on every Save after the first:
// Yes writes over the data set shown, New adds one, No leaves the store.
TEST_F(DataStoreTest, StoreWithoutAKeyAsksWhetherToReplaceOrAdd)
{
    ASSERT_TRUE(Start());
    MakeSign();
    ASSERT_TRUE(frame->SaveSignAs());
    ASSERT_TRUE(RunCommand(ID_DATA_STORE_CREATE, [](CDataStoreDlg& dialog) {
        Check(&dialog, CDataStoreDlg::IDC_ENABLE, true);
        Check(&dialog, CDataStoreDlg::IDC_UNIQUE, false);
        EXPECT_FALSE(Control<QComboBox>(&dialog, CDataStoreDlg::IDC_KEY)->isEnabled());
        Ok(&dialog);
    }));
    ASSERT_EQ(TheDatabaseLink().GetLinkKind(), 1);
    EXPECT_TRUE(TheDatabaseLink().m_keyField.isEmpty());
    Open();
    // The first data set goes in without a question.
    Type(product, "P1");
    Type(desc, "First");
    Click(CRecordNavigator::IDC_SAVE);
    ASSERT_EQ(StoreRows(), QStringList({"P1|First"}));

    const struct
    {
        int answer;
        const char* product;
        QStringList rows;
    } saves[] = {
        {IDNO, "P1", {"P1|First"}},
        {IDYES, "P1b", {"P1b|First"}},
        {kAddToStoreNew, "P2", {"P1b|First", "P2|First"}},
    };
    for (const auto& save : saves) {
        Type(product, save.product);
        bool newOffered = false;
        EXPECT_TRUE(WhileModal<CAddToDataStoreDlg>(
            [&] { Click(CRecordNavigator::IDC_SAVE); },
            [&](CAddToDataStoreDlg& dialog) {
                newOffered = Control<QPushButton>(&dialog, kAddToStoreNew)->isEnabled();
                Control<QPushButton>(&dialog, save.answer)->click();
            }));
        EXPECT_TRUE(newOffered);
        EXPECT_EQ(StoreRows(), save.rows) << save.answer;
        EXPECT_FALSE(navigator->IsNewDataSet());
    }
    EXPECT_EQ(Count(), "2");
}

// The key candidates: keyboard elements, then option lists, each name once
// whatever its case, and a name that only starts like another still listed.
TEST_F(DataStoreTest, KeyCandidatesListEachNameOnce)
{
    ASSERT_TRUE(Start());
    MakeSign();
    Text("Fixed", SOURCE_FIXED, QString(), 500);
    const char* lists[] = {"desc", "Prod", "Size", "SIZE"};
    for (const char* name : lists) {
        auto* list = new COptionList;
        list->m_name = name;
        list->m_options = QStringList{"a", "b"};
        ASSERT_TRUE(TheVariableList().AddVariable(list));
    }
    EXPECT_EQ(CDataStoreDlg::KeyCandidates(TheElementList(), TheVariableList()),
              QStringList({"Product", "Desc", "Prod", "Size"}));
}

} // namespace
