// The data store: made beside the sign, its columns kept in step with the
// sign's keyboard elements and typed variables, its records edited.

#include "DataStore.h"
#include "AppContext.h"
#include "DatabaseLink.h"
#include "DateTime.h"
#include "ElementList.h"
#include "Messages.h"
#include "OptionList.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

class DataStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
        signPath = dir.filePath(QStringLiteral("Shelf.sgn"));
        AddElement(QStringLiteral("Name"), SOURCE_KEYBOARD);
        AddElement(QStringLiteral("Fixed"), SOURCE_FIXED);
        AddElement(QStringLiteral("Price"), SOURCE_KEYBOARD);
        auto* size = new COptionList;
        size->m_name = QStringLiteral("Size");
        variables.AddVariable(size);
        auto* printed = new CDateTime;
        printed->m_name = QStringLiteral("Printed");
        variables.AddVariable(printed);
        auto* expiry = new CDateTime;
        expiry->m_name = QStringLiteral("Expiry");
        expiry->m_allowAdditional = TRUE;
        expiry->m_additionalSource = CDateTime::ADDITIONAL_KEYBOARD;
        variables.AddVariable(expiry);
    }

    CText* AddElement(const QString& name, int source)
    {
        auto* text = new CText;
        text->m_name = name;
        text->m_dataSource = source;
        elements.AddTail(text);
        return text;
    }

    CDatabaseLink& Link() { return TheDatabaseLink(); }

    // Every record's values of the columns, first to last, joined by '|'.
    QStringList Records(const QStringList& columns)
    {
        QStringList rows;
        CDatabaseLink& link = Link();
        link.CloseRecordset();
        if (link.OpenRecordset() < 1 || !link.MoveFirst())
            return rows;
        do {
            QStringList cells;
            for (const QString& c : columns)
                cells << link.GetFieldValue(c);
            rows << cells.join(u'|');
        } while (link.MoveNext());
        return rows;
    }

    void AddRecords(CDataStore& store, const QStringList& names)
    {
        for (const QString& name : names) {
            ASSERT_TRUE(store.AddNewRecord());
            ASSERT_TRUE(store.SetFieldValue(QStringLiteral("Name"), name));
            ASSERT_TRUE(
                store.SetFieldValue(QStringLiteral("Price"), name + QStringLiteral("-price")));
        }
    }

    CAppContext context;
    CMessageResponder responder;
    QTemporaryDir dir;
    QString signPath;
    CElementList elements;
    CVariableList variables;
};

TEST(DataStorePath, IsTheSignsNameOrTheGivenNameInTheSignsFolder)
{
    struct Case
    {
        const char* sign;
        const char* file;
        bool withFolder;
        const char* expected;
    };
    const Case cases[] = {
        {"/signs/Shelf.sgn", "", true, "/signs/Shelf.mdb"},
        {"/signs/Shelf.sgn", "", false, "Shelf.mdb"},
        {"/signs/Shelf.sgn", "Stock.mdb", true, "/signs/Stock.mdb"},
        {"/signs/Shelf.sgn", "Stock.mdb", false, "Stock.mdb"},
        {"C:\\signs\\Old.sgn", "", true, "C:\\signs\\Old.mdb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDataStore::MakeStorePath(c.sign, c.file, c.withFolder),
                  QString::fromLatin1(c.expected))
            << c.sign << " " << c.file;
}

TEST_F(DataStoreTest, IsMadeBesideTheSignWithAColumnPerTypedValue)
{
    CDataStore store(Link());
    ASSERT_TRUE(store.CreateDataStore(signPath, QString(), elements, variables))
        << store.LastError().toStdString();
    EXPECT_EQ(Link().GetLinkKind(), 1);
    EXPECT_EQ(Link().CurrentTable(), QStringLiteral("Shelf"));
    const QString file = dir.filePath(QStringLiteral("Shelf.mdb"));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(store.Columns(), (QStringList{"RecordId", "Name", "Price", "Size", "Expiry"}));
    AddRecords(store, {QStringLiteral("Tea")});

    // Made again for the same sign, with one more keyboard element: the file
    // is opened, its records kept, and only the missing column added.
    Link().Disconnect();
    AddElement(QStringLiteral("Note"), SOURCE_KEYBOARD);
    ASSERT_TRUE(store.CreateDataStore(signPath, QString(), elements, variables));
    EXPECT_EQ(store.Columns(),
              (QStringList{"RecordId", "Name", "Price", "Size", "Expiry", "Note"}));
    EXPECT_EQ(Records({"Name", "Price", "Note"}), QStringList{"Tea|Tea-price|"});
    // A link in use is not turned into a store.
    EXPECT_FALSE(store.CreateDataStore(signPath, QStringLiteral("Other.mdb"), elements, variables));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Other.mdb"))));
}

TEST_F(DataStoreTest, RefusesAFileOfAnotherProgramAndLeavesItAlone)
{
    const QString file = dir.filePath(QStringLiteral("Shelf.mdb"));
    QByteArray access(8192, '\0');
    access.replace(4, 15, "Standard Jet DB");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(access);
    }
    CDataStore store(Link());
    EXPECT_FALSE(store.CreateDataStore(signPath, QString(), elements, variables));
    EXPECT_EQ(Link().GetLinkKind(), -1);
    EXPECT_EQ(responder.Count(), 1);
    EXPECT_TRUE(responder.LastText().contains(QStringLiteral("not a data store")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), access);
}

TEST_F(DataStoreTest, AnElementAndAVariableOfOneNameCannotShareAColumn)
{
    auto* list = new COptionList;
    list->m_name = QStringLiteral("price");
    variables.AddVariable(list);
    QString clash;
    EXPECT_TRUE(CDataStore::StoreColumnNames(elements, variables, &clash).isEmpty());
    EXPECT_EQ(clash, QStringLiteral("price"));
    CDataStore store(Link());
    EXPECT_FALSE(store.CreateDataStore(signPath, QString(), elements, variables));
    EXPECT_EQ(Link().GetLinkKind(), -1);
    EXPECT_TRUE(responder.LastText().contains(QStringLiteral("price")));
}

TEST_F(DataStoreTest, ColumnsAreAddedRenamedAndDeletedWithTheirValues)
{
    struct Step
    {
        const char* what;
        std::function<BOOL(CDataStore&)> run;
        bool result;
        QStringList columns;
        QString keyField;
    };
    const QStringList all = {"RecordId", "Name", "Price", "Size", "Expiry"};
    for (bool withRecords : {false, true}) {
        SCOPED_TRACE(withRecords ? "store with records" : "empty store");
        Link().Disconnect();
        QFile::remove(dir.filePath(QStringLiteral("Shelf.mdb")));
        CDataStore store(Link());
        ASSERT_TRUE(store.CreateDataStore(signPath, QString(), elements, variables));
        if (withRecords)
            AddRecords(store, {QStringLiteral("Tea"), QStringLiteral("Jam")});
        Link().m_keyField = QStringLiteral("Name");
        const Step steps[] = {
            {"rename to the same name in other letters changes nothing",
             [](CDataStore& s) { return s.RenameStoreColumn("Name", "NAME"); }, true, all, "Name"},
            {"rename moves the column and the key field follows",
             [](CDataStore& s) { return s.RenameStoreColumn("Name", "Title"); },
             true,
             {"RecordId", "Title", "Price", "Size", "Expiry"},
             "Title"},
            {"rename onto another column is refused",
             [](CDataStore& s) { return s.RenameStoreColumn("Title", "price"); },
             false,
             {"RecordId", "Title", "Price", "Size", "Expiry"},
             "Title"},
            {"rename of a column that is not there is refused",
             [](CDataStore& s) { return s.RenameStoreColumn("Missing", "Other"); },
             false,
             {"RecordId", "Title", "Price", "Size", "Expiry"},
             "Title"},
            {"the record column is not renamed",
             [](CDataStore& s) { return s.RenameStoreColumn("RecordId", "Other"); },
             false,
             {"RecordId", "Title", "Price", "Size", "Expiry"},
             "Title"},
            {"adding a column that is there (case ignored) changes nothing",
             [](CDataStore& s) { return s.AddStoreColumn("SIZE"); },
             true,
             {"RecordId", "Title", "Price", "Size", "Expiry"},
             "Title"},
            {"a new column with a quote in its name",
             [](CDataStore& s) { return s.AddStoreColumn("Say \"hi\""); },
             true,
             {"RecordId", "Title", "Price", "Size", "Expiry", "Say \"hi\""},
             "Title"},
            {"delete",
             [](CDataStore& s) { return s.DeleteStoreColumn("Size"); },
             true,
             {"RecordId", "Title", "Price", "Expiry", "Say \"hi\""},
             "Title"},
            {"deleting a column that is not there is refused",
             [](CDataStore& s) { return s.DeleteStoreColumn("Size"); },
             false,
             {"RecordId", "Title", "Price", "Expiry", "Say \"hi\""},
             "Title"},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            EXPECT_EQ(step.run(store) != FALSE, step.result);
            EXPECT_EQ(store.Columns(), step.columns);
            EXPECT_EQ(Link().m_keyField, step.keyField);
        }
        // Sorted by the key field, which followed the rename.
        const QStringList values =
            withRecords ? QStringList{"Jam|Jam-price", "Tea|Tea-price"} : QStringList{};
        EXPECT_EQ(Records({"Title", "Price"}), values);
    }
}

TEST_F(DataStoreTest, AnElementsRenameReachesItsColumn)
{
    CDataStore store(Link());
    ASSERT_TRUE(store.CreateDataStore(signPath, QString(), elements, variables));
    AddRecords(store, {QStringLiteral("Tea")});
    CElement* name = elements.FindByName(QStringLiteral("Name"));
    ASSERT_NE(name, nullptr);

    name->m_name = QStringLiteral("NAME");
    EXPECT_TRUE(store.SyncStoreColumn(*name, QStringLiteral("Name"), &variables));
    EXPECT_EQ(store.Columns(), (QStringList{"RecordId", "Name", "Price", "Size", "Expiry"}));

    // Taking the name of a variable that has a column is refused.
    name->m_name = QStringLiteral("size");
    EXPECT_FALSE(store.SyncStoreColumn(*name, QStringLiteral("Name"), &variables));
    EXPECT_EQ(store.Columns(), (QStringList{"RecordId", "Name", "Price", "Size", "Expiry"}));

    name->m_name = QStringLiteral("Title");
    EXPECT_TRUE(store.SyncStoreColumn(*name, QStringLiteral("Name"), &variables));
    EXPECT_EQ(store.Columns(), (QStringList{"RecordId", "Title", "Price", "Size", "Expiry"}));
    EXPECT_EQ(Records({"Title"}), QStringList{"Tea"});

    // An element that had no column gets one; one not typed gets none.
    CElement* fixed = elements.FindByName(QStringLiteral("Fixed"));
    EXPECT_TRUE(store.SyncStoreColumn(*fixed, QStringLiteral("Fixed"), &variables));
    fixed->m_dataSource = SOURCE_KEYBOARD;
    EXPECT_TRUE(store.SyncStoreColumn(*fixed, QStringLiteral("Fixed"), &variables));
    EXPECT_EQ(store.Columns(),
              (QStringList{"RecordId", "Title", "Price", "Size", "Expiry", "Fixed"}));
}

TEST_F(DataStoreTest, RecordsAreAddedChangedAndDeleted)
{
    CDataStore store(Link());
    ASSERT_TRUE(store.CreateDataStore(signPath, QString(), elements, variables));
    AddRecords(store, {"A", "B", "C", "D"});
    EXPECT_EQ(Records({"Name"}), (QStringList{"A", "B", "C", "D"}));

    // Deleting a record in the middle makes the next current; the last of
    // several, the one before; the only one leaves none.
    struct Step
    {
        int position;
        QString currentAfter;
        QStringList left;
    };
    const Step steps[] = {
        {2, "C", {"A", "C", "D"}},
        {3, "C", {"A", "C"}},
        {1, "C", {"C"}},
        {1, "", {}},
    };
    Link().OpenRecordset();
    for (const Step& s : steps) {
        ASSERT_TRUE(Link().MoveTo(s.position));
        EXPECT_TRUE(store.DeleteCurrentRecord());
        EXPECT_EQ(Link().GetRecordCount() > 0 ? Link().GetFieldValue("Name") : QString(),
                  s.currentAfter);
        const int position = Link().GetPosition();
        EXPECT_EQ(Records({"Name"}), s.left);
        Link().MoveTo(position);
    }
    EXPECT_FALSE(store.DeleteCurrentRecord());

    // A value is cut to 255 characters after a message; 255 are kept whole.
    ASSERT_TRUE(store.AddNewRecord());
    responder.Clear();
    ASSERT_TRUE(store.SetFieldValue("Name", QString(255, u'x')));
    EXPECT_EQ(responder.Count(), 0);
    EXPECT_EQ(Link().GetFieldValue("Name").size(), 255);
    ASSERT_TRUE(store.SetFieldValue("name", QString(300, u'y')));
    EXPECT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LastText(), QStringLiteral("Unable to store more than 255 characters"));
    EXPECT_EQ(Link().GetFieldValue("Name"), QString(255, u'y'));
    EXPECT_EQ(Records({"Name"}), QStringList{QString(255, u'y')});
    EXPECT_FALSE(store.SetFieldValue("NoSuchColumn", "x"));
}

} // namespace
