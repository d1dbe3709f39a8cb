// The connection wizard driven page by page as a user would: a CSV file and
// a workbook linked, wrong choices refused on their page, and a wizard
// cancelled halfway leaving the sign's link as it was.
#include "ConnectionWizard.h"
#include "AppContext.h"
#include "DatabaseLink.h"
#include "FileSources.h"
#include "MessageBox.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QString Fixture(const char* name)
{
    return QDir::cleanPath(QStringLiteral(TABREL_DATABASE_FIXTURES "/") + QLatin1String(name));
}

class ConnectionWizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureWidgetApp();
        ASSERT_TRUE(dir.isValid());
        csv = dir.filePath("prices.csv");
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Code,Price\r\nWidget,TAB0000001,2.50\r\nGadget,TAB0000002,7\r\n"
                   "O'Brien's,TAB0000003,1.25\r\n");

        // An SQLite database of two tables, opened as an Access-type file.
        sqlite = dir.filePath("stock.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "wizard-fixture");
            db.setDatabaseName(sqlite);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            for (const char* statement :
                 {"CREATE TABLE Shelves (Id INTEGER PRIMARY KEY, Aisle TEXT)",
                  "CREATE TABLE Items (Code TEXT PRIMARY KEY, Name TEXT, Price REAL)",
                  "INSERT INTO Items VALUES ('TAB0000002', 'Gadget', 7)",
                  "INSERT INTO Items VALUES ('TAB0000001', 'Widget', 2.5)"})
                ASSERT_TRUE(q.exec(QString::fromLatin1(statement))) << statement;
            db.close();
        }
        QSqlDatabase::removeDatabase("wizard-fixture");
    }

    struct CDriver
    {
        CConnectionWizard& wizard;

        void Click(QWizard::WizardButton which)
        {
            QAbstractButton* button = wizard.button(which);
            ASSERT_TRUE(button && button->isVisible() && button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        }
        template <class T> T* Find(const char* name)
        {
            T* found = wizard.currentPage()->findChild<T*>(QString::fromLatin1(name));
            EXPECT_NE(found, nullptr) << name;
            return found;
        }
        void ChooseType(int type)
        {
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTypePage);
            Find<QListWidget>("id1089")->setCurrentRow(type);
            Click(QWizard::NextButton);
        }
        void TypePath(const QString& path)
        {
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kFilePage);
            QLineEdit* edit = Find<QLineEdit>("id1086");
            edit->clear();
            QTest::keyClicks(edit, path);
            Click(QWizard::NextButton);
        }
        void ChooseTable(const QString& table)
        {
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);
            auto* list = Find<QListWidget>("id1090");
            const auto items = list->findItems(table, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1) << table.toStdString();
            list->setCurrentItem(items.front());
        }
    };

    CAppContext context;
    QTemporaryDir dir;
    QString csv;
    QString sqlite;
    CMessageResponder messages;
};

TEST_F(ConnectionWizardTest, FileSourcesAreLinkedThroughThePages)
{
    struct Case
    {
        const char* what;
        int type;
        QString path;
        int lastPage;
        QString table; // empty: the file's one table, chosen already
        QString linkedTable;
        QStringList fields;
        QString key;
        int records;
        QString firstKey; // the sort field of the first record
    };
    // The records come in the order of the sort field chosen.
    // clang-format off
    const Case cases[] = {
        {"CSV", kDatabaseTypeText, csv, CConnectionWizard::kTextPage, {}, "prices#csv",
         {"Name", "Code", "Price"}, "Name", 3, "Gadget"},
        {"workbook", kDatabaseTypeExcel, Fixture("prices.xlsx"), CConnectionWizard::kViewPage,
         "Price List$", "Price List$",
         {"Name", "Code", "Price", "Added", "In stock", "Count"}, "Name", 3,
         QString::fromUtf8("Crème brûlée")},
        {"SQLite database", kDatabaseTypeAccess, sqlite, CConnectionWizard::kViewPage, "Items",
         "Items", {"Code", "Name", "Price"}, "Code", 2, "TAB0000001"},
        // A dBASE file is its one table: straight on to the sort field.
        {"dBASE file", 1, Fixture("notes3.dbf"), CConnectionWizard::kSortPage, {}, "notes3",
         {"NAME", "NOTE", "QTY", "PRICE", "ADDED", "ACTIVE"}, "NAME", 2, "Jam"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDatabaseLink link;
        ASSERT_EQ(link.m_linkKind, -1);
        CConnectionWizard wizard(link);
        wizard.show();
        CDriver drive{wizard};
        drive.ChooseType(c.type);
        drive.TypePath(c.path);
        ASSERT_EQ(wizard.currentId(), c.lastPage) << messages.LastText().toStdString();
        // Until Finish the sign's link is untouched.
        EXPECT_FALSE(link.IsConnected());
        EXPECT_EQ(link.m_linkKind, -1);
        if (!c.table.isEmpty())
            drive.ChooseTable(c.table);
        if (c.lastPage == CConnectionWizard::kTextPage) {
            // A comma-separated file whose first line names the fields.
            EXPECT_TRUE(drive.Find<QRadioButton>("id1094")->isChecked());
            drive.Find<QCheckBox>("id1098")->setChecked(true);
        }
        if (c.lastPage != CConnectionWizard::kSortPage)
            drive.Click(QWizard::NextButton);
        // The sort field: the table's key, else the first field.
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage)
            << messages.LastText().toStdString();
        QTreeWidgetItem* row = drive.Find<QTreeWidget>("id1099")->currentItem();
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(0), c.key);
        EXPECT_EQ(drive.Find<QLineEdit>("id1129")->isVisible(), c.type == kDatabaseTypeText);
        EXPECT_FALSE(link.IsConnected());
        drive.Click(QWizard::FinishButton);

        EXPECT_EQ(wizard.result(), QDialog::Accepted);
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        EXPECT_EQ(link.m_linkKind, 0);
        EXPECT_EQ(link.m_typeId, c.type);
        EXPECT_EQ(link.m_dataSource, c.path);
        EXPECT_EQ(link.CurrentTable(), c.linkedTable);
        EXPECT_EQ(link.FieldNames(), c.fields);
        EXPECT_EQ(link.m_keyField, c.key);
        EXPECT_EQ(link.OpenRecordset(), c.records);
        ASSERT_TRUE(link.MoveFirst());
        EXPECT_EQ(link.GetFieldValue(c.key), c.firstKey);
    }
}

TEST_F(ConnectionWizardTest, WrongChoicesKeepTheirPageWithAMessage)
{
    CDatabaseLink link;
    CConnectionWizard wizard(link);
    wizard.show();
    CDriver drive{wizard};

    // No type chosen.
    drive.Find<QListWidget>("id1089")->clearSelection();
    drive.Find<QListWidget>("id1089")->setCurrentRow(-1);
    drive.Click(QWizard::NextButton);
    EXPECT_EQ(wizard.currentId(), CConnectionWizard::kTypePage);
    EXPECT_EQ(messages.LastText(), "Invalid selection");

    drive.ChooseType(kDatabaseTypeExcel);
    const struct
    {
        QString typed;
        QString message; // a part of the message shown
    } refused[] = {
        {"   ", "Invalid selection"},
        {dir.filePath("missing.xlsx"), "does not exist"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed.toStdString());
        messages.Clear();
        drive.TypePath(r.typed);
        EXPECT_EQ(wizard.currentId(), CConnectionWizard::kFilePage);
        EXPECT_TRUE(messages.LastText().contains(r.message)) << messages.LastText().toStdString();
    }

    // A workbook of two sheets: one must be chosen.
    drive.TypePath(Fixture("prices.xlsx"));
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);
    auto* tables = drive.Find<QListWidget>("id1090");
    EXPECT_EQ(tables->count(), 2);
    EXPECT_TRUE(drive.Find<QCheckBox>("id1098")->isVisible());
    messages.Clear();
    drive.Click(QWizard::NextButton);
    EXPECT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);
    EXPECT_EQ(messages.LastText(), "Invalid selection");
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(link.m_linkKind, -1);
}

TEST_F(ConnectionWizardTest, TextFormatPageRefusesABadDelimiterAndWritesTheSchema)
{
    CDatabaseLink link;
    CConnectionWizard wizard(link);
    wizard.show();
    CDriver drive{wizard};
    drive.ChooseType(kDatabaseTypeText);
    drive.TypePath(csv);
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);

    auto* other = drive.Find<QLineEdit>("id1055");
    for (const QString& typed : {QString(";;"), QString("\""), QString()}) {
        SCOPED_TRACE(typed.toStdString());
        messages.Clear();
        other->clear();
        QTest::keyClicks(other, typed);
        drive.Find<QRadioButton>("id1096")->setChecked(true);
        drive.Click(QWizard::NextButton);
        EXPECT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        EXPECT_EQ(messages.LastText(), "Error - Invalid delimiter");
        EXPECT_FALSE(link.IsConnected());
    }

    // Typing in the edit chooses Other; a single character is taken.
    other->clear();
    QTest::keyClicks(other, "|");
    EXPECT_TRUE(drive.Find<QRadioButton>("id1096")->isChecked());
    drive.Find<QCheckBox>("id1098")->setChecked(true);
    messages.Clear();
    drive.Click(QWizard::NextButton);
    ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
    // The one column renamed and given a type of its own.
    auto* name = drive.Find<QLineEdit>("id1129");
    EXPECT_EQ(name->text(), "Name,Code,Price");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Everything");
    auto* type = drive.Find<QComboBox>("id1130");
    type->setCurrentIndex(type->findText("Memo"));
    emit type->activated(type->currentIndex());
    drive.Click(QWizard::FinishButton);
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(link.m_keyField, "Everything");
    EXPECT_EQ(link.m_textDelimiter, '|');
    EXPECT_EQ(link.m_textHeader, TRUE);
    // The sign's link took over the file as the pages read it last: Finish
    // did not read it again.
    EXPECT_EQ(link.m_filesRead, 0);
    EXPECT_TRUE(link.IsConnected());
    EXPECT_FALSE(wizard.Work().IsConnected());
    CTextSchema schema;
    QString error;
    ASSERT_TRUE(ReadTextSchema(csv, &schema, &error)) << error.toStdString();
    EXPECT_EQ(schema.delimiter, '|');
    EXPECT_TRUE(schema.header);
    ASSERT_EQ(schema.columns.size(), 1);
    EXPECT_EQ(schema.columns[0].name, "Everything");
    EXPECT_EQ(schema.columns[0].type, "Memo");
    // The commas no longer part the fields: one column, under its new name.
    EXPECT_EQ(link.FieldNames(), QStringList{"Everything"});
    EXPECT_EQ(link.OpenRecordset(), 3);
}

// A text file is read once on the wizard's road: the file page only checks
// it, the text page reads it with the format chosen, and the sort page reads
// it again only when the names or types chosen there load it otherwise; the
// table handed over is the one a fresh link makes from the saved settings.
TEST_F(ConnectionWizardTest, ATextFileIsReadOncePerFormatChosen)
{
    struct Case
    {
        const char* what;
        bool backAndForth; // Next from the text page without the header, Back, then with it
        const char* field; // the field given another name or type on the sort page
        const char* name;
        const char* type;
        int filesRead;
    };
    const Case cases[] = {
        {"names and types as read", false, nullptr, nullptr, nullptr, 1},
        {"a type changed", false, "Price", nullptr, "Text", 2},
        {"a field renamed", false, "Name", "Product", nullptr, 2},
        {"the header row chosen after going back", true, nullptr, nullptr, nullptr, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(dir.filePath("SCHEMA.INI"));
        CDatabaseLink link;
        CConnectionWizard wizard(link);
        wizard.show();
        CDriver drive{wizard};
        drive.ChooseType(kDatabaseTypeText);
        drive.TypePath(csv);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        EXPECT_EQ(wizard.Work().m_filesRead, 0);
        if (c.backAndForth) {
            drive.Find<QCheckBox>("id1098")->setChecked(false);
            drive.Click(QWizard::NextButton);
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
            drive.Click(QWizard::BackButton);
            ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        }
        drive.Find<QCheckBox>("id1098")->setChecked(true);
        drive.Click(QWizard::NextButton);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
        auto* fields = drive.Find<QTreeWidget>("id1099");
        if (c.field) {
            const auto found = fields->findItems(QString::fromLatin1(c.field), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            fields->setCurrentItem(found.front());
            if (c.name) {
                auto* name = drive.Find<QLineEdit>("id1129");
                name->setFocus();
                name->selectAll();
                QTest::keyClicks(name, QString::fromLatin1(c.name));
            }
            if (c.type) {
                auto* type = drive.Find<QComboBox>("id1130");
                type->setCurrentIndex(type->findText(QString::fromLatin1(c.type)));
                emit type->activated(type->currentIndex());
            }
        }
        drive.Click(QWizard::FinishButton);
        ASSERT_EQ(wizard.result(), QDialog::Accepted) << messages.LastText().toStdString();
        EXPECT_EQ(wizard.Work().m_filesRead, c.filesRead);
        EXPECT_EQ(link.m_filesRead, 0);

        // A link made afresh from what was saved holds the same records.
        CDatabaseLink fresh;
        fresh.SetDatabaseType(kDatabaseTypeText);
        fresh.m_textHeader = TRUE;
        ASSERT_TRUE(fresh.Connect(csv, TRUE));
        ASSERT_TRUE(fresh.OpenTable(QString()));
        EXPECT_EQ(fresh.m_filesRead, 1);
        fresh.m_keyField = link.m_keyField;
        const QStringList names = fresh.FieldNames();
        ASSERT_EQ(link.FieldNames(), names);
        for (const QString& name : names)
            EXPECT_EQ(link.GetFieldType(name), fresh.GetFieldType(name)) << name.toStdString();
        ASSERT_EQ(link.OpenRecordset(), 3);
        ASSERT_EQ(fresh.OpenRecordset(), 3);
        ASSERT_TRUE(link.MoveFirst());
        ASSERT_TRUE(fresh.MoveFirst());
        for (int record = 0; record < 3; ++record) {
            for (const QString& name : names)
                EXPECT_EQ(link.GetFieldValue(name).toStdString(),
                          fresh.GetFieldValue(name).toStdString())
                    << record << ' ' << name.toStdString();
            link.MoveNext();
            fresh.MoveNext();
        }
        if (c.type) {
            EXPECT_EQ(link.GetFieldTypeName(link.GetFieldType("Price")), "Text");
        }
    }
}

// The file type of a text file: UTF-8 is offered, and proposed when the
// file's bytes are UTF-8 (with or without a byte-order mark); what the
// schema file names holds until the user chooses otherwise on the page.
TEST_F(ConnectionWizardTest, TextFileTypeProposesUtf8AndKeepsTheSchemaFiles)
{
    const QByteArray utf8 = "Name,Code\r\nCr\xC3\xA8me07,7\r\n";
    const QByteArray ansi = "Name,Code\r\nCr\xE8me07,7\r\n";
    const QString creme = QString::fromUtf8("Crème07");
    const struct
    {
        const char* what;
        QByteArray bytes;
        const char* schema; // the file's section before, or none
        QString proposed;
        QString chosen; // what the user takes (empty: the proposal)
        QString name;
        const char* written;
    } cases[] = {
        {"UTF-8", utf8, nullptr, "Unicode (UTF-8)", {}, creme, "65001"},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF" + utf8,
         nullptr,
         "Unicode (UTF-8)",
         {},
         creme,
         "65001"},
        {"Windows-1252", ansi, nullptr, "Windows (ANSI)", {}, creme, "ANSI"},
        {"ASCII only",
         "Name,Code\r\nCream07,7\r\n",
         nullptr,
         "Windows (ANSI)",
         {},
         "Cream07",
         "ANSI"},
        {"UTF-8 named by hand", utf8, "CharacterSet=65001", "Unicode (UTF-8)", {}, creme, "65001"},
        {"ANSI named, the user takes UTF-8", utf8, "CharacterSet=ANSI", "Windows (ANSI)",
         "Unicode (UTF-8)", creme, "65001"},
        {"UTF-8 proposed, the user takes ANSI", utf8, nullptr, "Unicode (UTF-8)", "Windows (ANSI)",
         QString::fromUtf8("CrÃ¨me07"), "ANSI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const QString path = folder.filePath("names.csv");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        if (c.schema) {
            QFile schema(folder.filePath("SCHEMA.INI"));
            ASSERT_TRUE(schema.open(QIODevice::WriteOnly));
            schema.write("[names.csv]\r\nColNameHeader=True\r\nFormat=CSVDelimited\r\n" +
                         QByteArray(c.schema) + "\r\n");
        }
        CDatabaseLink link;
        CConnectionWizard wizard(link);
        wizard.show();
        CDriver drive{wizard};
        drive.ChooseType(kDatabaseTypeText);
        drive.TypePath(path);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kTextPage);
        auto* type = drive.Find<QComboBox>("id1097");
        QStringList offered;
        for (int i = 0; i < type->count(); ++i)
            offered << type->itemText(i);
        EXPECT_EQ(offered, (QStringList{"Windows (ANSI)", "DOS (ASCII)", "Unicode (UTF-8)"}));
        EXPECT_EQ(type->currentText(), c.proposed);
        if (!c.chosen.isEmpty())
            type->setCurrentIndex(type->findText(c.chosen));
        drive.Find<QCheckBox>("id1098")->setChecked(true);
        drive.Click(QWizard::NextButton);
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kSortPage);
        drive.Click(QWizard::FinishButton);
        ASSERT_EQ(wizard.result(), QDialog::Accepted);
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        EXPECT_EQ(link.m_textFileType, type->findText(c.chosen.isEmpty() ? c.proposed : c.chosen));
        ASSERT_EQ(link.OpenRecordset(), 1);
        EXPECT_EQ(link.GetFieldValue("Name"), c.name);
        QFile schema(folder.filePath("SCHEMA.INI"));
        ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
        const QByteArray section = schema.readAll();
        EXPECT_TRUE(section.contains(QByteArray("CharacterSet=") + c.written + "\r\n"))
            << section.constData();
        EXPECT_EQ(section.count("CharacterSet="), 1) << section.constData();
    }
}

TEST_F(ConnectionWizardTest, CancelledHalfwayLeavesTheLinkAsItWas)
{
    // A sign linked to the CSV file, and a sign with no link at all.
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "linked" : "unlinked");
        CDatabaseLink link;
        if (linked) {
            link.SetDatabaseType(kDatabaseTypeText);
            link.m_textHeader = TRUE;
            ASSERT_TRUE(link.Connect(csv, TRUE));
            ASSERT_TRUE(link.OpenTable(QString()));
            link.m_linkKind = 0;
            link.m_keyField = "Code";
        }
        const QString table = link.CurrentTable();
        const QString connection = link.m_connectionName;

        // Halfway: another type, another file connected and a sheet chosen.
        CConnectionWizard wizard(link);
        wizard.show();
        CDriver drive{wizard};
        drive.ChooseType(kDatabaseTypeExcel);
        drive.TypePath(Fixture("prices.xlsx"));
        ASSERT_EQ(wizard.currentId(), CConnectionWizard::kViewPage);
        drive.ChooseTable("Notes$");
        drive.Click(QWizard::CancelButton);
        EXPECT_EQ(wizard.result(), QDialog::Rejected);

        EXPECT_EQ(link.m_linkKind, linked ? 0 : -1);
        EXPECT_EQ(link.m_typeId, linked ? kDatabaseTypeText : 0);
        EXPECT_EQ(link.m_dataSource, linked ? csv : QString());
        EXPECT_EQ(link.m_connectionName, connection);
        EXPECT_EQ(link.CurrentTable(), table);
        EXPECT_EQ(link.IsConnected(), linked);
        if (linked) {
            EXPECT_EQ(link.m_keyField, "Code");
            EXPECT_EQ(link.OpenRecordset(), 3);
            ASSERT_TRUE(link.MoveLast());
            EXPECT_EQ(link.GetFieldValue("Name"), "O'Brien's");
        }
    }
}

} // namespace
