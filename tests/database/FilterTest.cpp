// Filters over a linked SQLite database: conditions made from selected
// records, typed values and "starts with" texts, each statement run and its
// records counted; custom views searched, filtered and sorted; the named
// filters and views in their side files.
#include "AppContext.h"
#include "Damage.h"
#include "DatabaseLink.h"
#include "FilterList.h"
#include "MessageBox.h"
#include "RecordFilter.h"
#include "SignApp.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>
#include <random>

namespace {

// Forty records: Id 1 to 40, in four departments; names with quotes and
// LIKE wildcards; dates as ISO text.
void MakeStock(const QString& path)
{
    const QString name = QStringLiteral("filter-fixture");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE Stock (Id INTEGER PRIMARY KEY, Name TEXT, Dept TEXT, "
                           "Price REAL, Added TEXT)"));
        const char* depts[] = {"Dairy", "Bakery", "Fruit", "O'Brien's"};
        for (int i = 1; i <= 40; ++i) {
            QString item = QStringLiteral("Item %1").arg(i);
            if (i == 5)
                item = QStringLiteral("O'Brien's Tea");
            if (i == 6)
                item = QStringLiteral("50%_off");
            if (i == 7)
                item = QStringLiteral("50 percent");
            if (i == 8)
                item = QStringLiteral("x' OR 'a'='a");
            q.prepare("INSERT INTO Stock VALUES (?, ?, ?, ?, ?)");
            q.addBindValue(i);
            q.addBindValue(item);
            q.addBindValue(QString::fromLatin1(depts[i % 4]));
            q.addBindValue(i * 1.5);
            q.addBindValue(QStringLiteral("2024-%1-01").arg(1 + i % 12, 2, 10, QLatin1Char('0')));
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

class FilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath("stock.db");
        MakeStock(database);
    }

    CDatabaseLink& Linked(bool table = true)
    {
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeConnectionString);
        EXPECT_TRUE(link.Connect("Provider=QSQLITE;Data Source=" + database, TRUE));
        link.m_linkKind = 0;
        if (table) {
            EXPECT_TRUE(link.OpenTable("Stock"));
        }
        return link;
    }

    static QStringList Column(CDatabaseLink& link, const QString& field)
    {
        QStringList values;
        if (!link.MoveFirst())
            return values;
        do
            values << link.GetFieldValue(field);
        while (link.MoveNext());
        return values;
    }

    CAppContext context;
    CMessageResponder messages;
    QTemporaryDir dir;
    QString database;
};

// A saved filter whose statement never comes to an end (a recursive query
// in the side file) is stopped once its budget is spent, said so, and
// leaves the link working.
TEST_F(FilterTest, ASavedFilterThatNeverEndsIsStoppedWithAMessage)
{
    CTestHome home;
    const int budget = CDatabaseLink::s_queryBudgetMs;
    CDatabaseLink::s_queryBudgetMs = 200;
    struct Restore
    {
        int ms;
        ~Restore() { CDatabaseLink::s_queryBudgetMs = ms; }
    } restore{budget};

    EXPECT_FALSE(LoadFilterFile()); // none yet
    TheFilterList().Set("Endless",
                        "SELECT * FROM [Stock] WHERE [Id] = (WITH RECURSIVE n(x) AS (SELECT 1 "
                        "UNION ALL SELECT x + 1 FROM n) SELECT COUNT(*) FROM n)");
    TheFilterList().Set("Dairy", "SELECT * FROM [Stock] WHERE [Dept] = 'Dairy'");
    ASSERT_TRUE(SaveFilterFile());
    CAppContext fresh;
    ASSERT_TRUE(LoadFilterFile());
    CDatabaseLink& link = Linked();
    ASSERT_EQ(link.OpenRecordset(), 40);
    messages.Clear();
    EXPECT_EQ(link.OpenRecordset(TheFilterList().Find("Endless")), 0);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("stopped")) << messages.LastText().toStdString();
    // The link goes on answering, without a budget left behind.
    EXPECT_EQ(link.OpenRecordset(TheFilterList().Find("Dairy")), 10);
    EXPECT_EQ(link.OpenRecordset(), 40);
    EXPECT_EQ(messages.Count(), 1);
}

// Filter By Selection and Filter Excluding Selection, on the key and on a
// text field, each result run against the database.
TEST_F(FilterTest, SelectionsBuildConditionsThatSelectExactlyThoseRecords)
{
    CDatabaseLink& link = Linked();
    ASSERT_EQ(link.OpenRecordset(), 40);
    const int idType = link.GetFieldType("Id");
    const int nameType = link.GetFieldType("Name");
    const auto eq = [&](int id) {
        return CRecordFilter::EqualCondition(link, "Id", idType, QVariant(id));
    };
    const auto ne = [&](int id) {
        return CRecordFilter::DiffersCondition(link, "Id", idType, QVariant(id));
    };
    const auto exclude = [&](CRecordFilter& f, std::initializer_list<int> ids) {
        for (const int id : ids)
            f.ExcludeRecord(eq(id), ne(id));
    };
    struct Case
    {
        const char* what;
        std::function<void(CRecordFilter&)> build;
        QString start;
        QString text;
        int count;
    } cases[] = {
        {"selected 3 and 7",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(3), eq(7)});
         },
         "", "[Id] = 3 OR [Id] = 7", 2},
        {"selected 3 and 7, 7 excluded",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(3), eq(7)});
             exclude(f, {7});
         },
         "", "[Id] = 3", 1},
        {"3 excluded from 3 and 30 leaves 30",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(3), eq(30)});
             exclude(f, {3});
         },
         "", "[Id] = 30", 1},
        {"30 excluded from 3 and 30 leaves 3",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(30), eq(3)});
             exclude(f, {30});
         },
         "", "[Id] = 3", 1},
        {"no filter, 3 and 7 excluded",
         [&](CRecordFilter& f) {
             exclude(f, {3, 7});
         },
         "", "[Id] <> 3 AND [Id] <> 7", 38},
        {"selected and others excluded: the selection grouped",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(3), eq(7), eq(9)});
             exclude(f, {9, 12});
         },
         "", "([Id] = 3 OR [Id] = 7) AND [Id] <> 12", 2},
        {"the last selected record excluded leaves nothing",
         [&](CRecordFilter& f) {
             f.SelectRecords({eq(3)});
             exclude(f, {3, 4});
         },
         "", "1 = 0", 0},
        {"a filter made elsewhere stays whole",
         [&](CRecordFilter& f) {
             exclude(f, {2, 30});
         },
         "[Dept] = 'Bakery' OR [Dept] = 'Fruit'",
         "([Dept] = 'Bakery' OR [Dept] = 'Fruit') AND [Id] <> 2 AND [Id] <> 30", 18},
        {"excluded twice counts once",
         [&](CRecordFilter& f) {
             exclude(f, {3, 3});
         },
         "", "[Id] <> 3", 39},
        {"a text key with quotes",
         [&](CRecordFilter& f) {
             f.SelectRecords(
                 {CRecordFilter::EqualCondition(link, "Name", nameType, "O'Brien's Tea"),
                  CRecordFilter::EqualCondition(link, "Name", nameType, "x' OR 'a'='a")});
         },
         "", "[Name] = 'O''Brien''s Tea' OR [Name] = 'x'' OR ''a''=''a'", 2},
        {"a number held in a text column is quoted",
         [&](CRecordFilter& f) {
             f.SelectRecords(
                 {CRecordFilter::EqualCondition(link, "Id", idType, QVariant("3 OR 1 = 1"))});
         },
         "", "[Id] = '3 OR 1 = 1'", 0},
        {"a null key",
         [&](CRecordFilter& f) {
             f.ExcludeRecord(CRecordFilter::EqualCondition(link, "Name", nameType, QVariant()),
                             CRecordFilter::DiffersCondition(link, "Name", nameType, QVariant()));
         },
         "", "[Name] IS NOT NULL", 40},
    };
    for (Case& c : cases) {
        CRecordFilter filter(c.start);
        c.build(filter);
        EXPECT_EQ(filter.Text(), c.text) << c.what;
        EXPECT_EQ(link.SetFilter(filter.Text()), c.count) << c.what;
        EXPECT_EQ(link.GetRecordCount(), c.count) << c.what;
    }
    EXPECT_EQ(link.ClearFilter(), 40);
}

// Values typed on the statement page, and the "starts with" texts of the
// compound filter: never pasted, always quoted by the field's type.
TEST_F(FilterTest, TypedValuesAreQuotedByTheFieldsType)
{
    CDatabaseLink& link = Linked();
    ASSERT_EQ(link.OpenRecordset(), 40);
    const int text = link.GetFieldType("Name");
    const int real = link.GetFieldType("Price");
    ASSERT_TRUE(CRecordFilter::IsTextType(text));
    ASSERT_FALSE(CRecordFilter::IsTextType(real));
    struct Case
    {
        const char* field;
        const char* op;
        int type;
        QString typed;
        QString literal;
        int count;
    } cases[] = {
        {"Name", "=", text, "O'Brien's Tea", "'O''Brien''s Tea'", 1},
        {"Name", "=", text, "'O''Brien''s Tea'", "'O''Brien''s Tea'", 1},
        {"Name", "=", text, "\"O'Brien's Tea\"", "'O''Brien''s Tea'", 1},
        {"Name", "=", text, "'50 percent", "'50 percent'", 1},
        {"Name", "=", text, "x' OR 'a'='a", "'x'' OR ''a''=''a'", 1},
        {"Name", "=", text, "' OR 1=1 --", "' OR 1=1 --'", 0},
        {"Dept", "=", text, "O'Brien's", "'O''Brien''s'", 10},
        {"Name", "Like", text, "50%", "'50%'", 2},
        {"Price", ">", real, "54", "54", 4},
        {"Price", ">", real, " 52.5 ", "52.5", 5},
        {"Price", ">", real, "-1e1", "-1e1", 40},
        {"Price", ">", real, "0 OR 1=1", "'0 OR 1=1'", 0},
        {"Added", "=", text, "2024-03-01", "'2024-03-01'", 4},
        {"Added", ">=", text, "'2024-11-01", "'2024-11-01'", 6},
        // A date field: the link's date delimiters, here set for SQLite.
        {"Added", "=", 7, "2024-03-01", "'2024-03-01'", 4},
        {"Added", "=", 7, "'2024-03-01'", "'2024-03-01'", 4},
    };
    link.m_dateDelimiters[0] = link.m_dateDelimiters[1] = '\'';
    for (const Case& c : cases) {
        const QString literal = CRecordFilter::TypedLiteral(link, c.type, c.typed);
        EXPECT_EQ(literal, c.literal) << c.typed.toStdString();
        const QString condition = QStringLiteral("[%1] %2 %3").arg(c.field, c.op, literal);
        EXPECT_EQ(link.SetFilter(condition), c.count) << condition.toStdString();
    }
    link.m_dateDelimiters[0] = link.m_dateDelimiters[1] = '#';
    EXPECT_EQ(CRecordFilter::TypedLiteral(link, 133, "#2024-03-01#"), "#2024-03-01#");
    EXPECT_EQ(CRecordFilter::TypedLiteral(link, 7, "2024#03"), "#2024##03#");

    // "Starts with": the wildcards typed stand for themselves.
    struct Starts
    {
        QVector<std::pair<QString, QString>> texts;
        int count;
    } starts[] = {
        {{{"Name", "50%"}}, 1},
        {{{"Name", "50"}}, 2},
        {{{"Name", "O'"}}, 1},
        {{{"Name", "_"}}, 0},
        {{{"Dept", "Dai"}, {"Name", "Item 1"}}, 2},
        {{{"Dept", "Dai"}, {"Name", ""}, {"Added", "2024-05"}}, 4},
    };
    for (const Starts& s : starts) {
        const QString condition = CRecordFilter::StartsWithAll(link, s.texts);
        EXPECT_EQ(link.SetFilter(condition), s.count) << condition.toStdString();
    }
}

// The statement page's token insertion and the compound filter's condition
// added to the statement in force; each statement is opened.
TEST_F(FilterTest, StatementsTakeTokensAndConditionsInTheirPlace)
{
    struct Token
    {
        QString statement;
        QString token;
        QString result;
    } tokens[] = {
        {"SELECT * FROM [Stock] ORDER BY [Code]", "=",
         "SELECT * FROM [Stock] WHERE = ORDER BY [Code]"},
        {"SELECT * FROM [Stock]", "[Id]", "SELECT * FROM [Stock] WHERE [Id] "},
        {"SELECT * FROM [Stock] WHERE [Id] ", ">", "SELECT * FROM [Stock] WHERE [Id] > "},
        {"SELECT * FROM [Stock] WHERE [Name] = 'order by' ORDER BY [Id]", "And",
         "SELECT * FROM [Stock] WHERE [Name] = 'order by' And ORDER BY [Id]"},
    };
    for (const Token& t : tokens)
        EXPECT_EQ(CRecordFilter::InsertToken(t.statement, t.token), t.result);

    CDatabaseLink& link = Linked();
    const QString c = link.StartsWithCondition("Dept", "Dai");
    struct Case
    {
        QString statement;
        QString result;
        int count;
    } cases[] = {
        {"SELECT * FROM [Stock]", "SELECT * FROM [Stock] WHERE " + c, 10},
        {"SELECT * FROM [Stock] WHERE [Id] < 5 OR [Id] > 30 ORDER BY [Id] ASC;",
         "SELECT * FROM [Stock] WHERE ([Id] < 5 OR [Id] > 30) AND " + c + " ORDER BY [Id] ASC", 4},
        {"SELECT Id, Dept AS Dept, Name AS Title FROM Stock WHERE Id <= 20",
         "SELECT * FROM (SELECT Id, Dept AS Dept, Name AS Title FROM Stock WHERE Id <= 20) AS "
         "tabrel_filtered WHERE " +
             c,
         5},
        {"SELECT Dept, COUNT(*) AS N FROM Stock GROUP BY Dept",
         "SELECT * FROM (SELECT Dept, COUNT(*) AS N FROM Stock GROUP BY Dept) AS "
         "tabrel_filtered WHERE " +
             c,
         1},
    };
    for (const Case& k : cases) {
        const QString result = CRecordFilter::AddCondition(k.statement, c);
        EXPECT_EQ(result, k.result);
        EXPECT_EQ(link.OpenRecordset(result), k.count) << result.toStdString();
    }
}

// A custom view is searched and filtered as a sub-query and keeps its own
// order as the sort: one ORDER BY, never two.
TEST_F(FilterTest, CustomViewsAreSearchedFilteredAndSorted)
{
    const QString view = "SELECT Id, Name AS Title, Dept, Price FROM Stock WHERE Price > 30 "
                         "ORDER BY Price DESC";
    for (const bool table : {true, false}) {
        SCOPED_TRACE(table ? "with its table" : "without a table");
        CDatabaseLink& link = Linked(table);
        link.m_keyField = "Id";
        link.m_customViewQuery = view;
        ASSERT_EQ(link.OpenRecordset(), 20);
        EXPECT_EQ(Column(link, "Id").mid(0, 3), (QStringList{"40", "39", "38"}));
        const QString base = link.GetDefaultSql();
        EXPECT_EQ(base, view);
        EXPECT_EQ(link.OpenRecordset(base), 20);
        EXPECT_EQ(Column(link, "Id").front(), "40");

        // The navigator's search on a field the view names.
        EXPECT_EQ(link.OpenRecordset(link.StartsWithCondition("Title", "Item 3")), 10);
        EXPECT_EQ(Column(link, "Id").mid(0, 3), (QStringList{"39", "38", "37"}));
        EXPECT_EQ(link.OpenRecordset(link.StartsWithCondition("Title", "O'")), 0);
        // A condition with its own sort.
        EXPECT_EQ(link.OpenRecordset("[Dept] = 'Dairy' ORDER BY [Id] ASC"), 5);
        EXPECT_EQ(Column(link, "Id"), (QStringList{"24", "28", "32", "36", "40"}));
        // A filter over the view, and a compound condition added to it.
        ASSERT_EQ(link.OpenRecordset(), 20);
        EXPECT_EQ(link.SetFilter("[Dept] = 'Fruit'"), 5);
        EXPECT_EQ(Column(link, "Id").front(), "38");
        const QString compound = CRecordFilter::AddCondition(
            link.GetCurrentSql(true, true), link.StartsWithCondition("Title", "Item 2"));
        EXPECT_EQ(link.OpenRecordset(compound), 2) << compound.toStdString();
        EXPECT_EQ(Column(link, "Id"), (QStringList{"26", "22"}));
        link.Disconnect();
    }

    // A bare condition as the view: a sort by the key added once.
    CDatabaseLink& link = Linked();
    link.m_keyField = "Id";
    link.m_customViewQuery = "Price > 54";
    EXPECT_EQ(link.GetDefaultSql(), "SELECT * FROM [Stock] WHERE Price > 54 ORDER BY [Id] ASC");
    EXPECT_EQ(link.OpenRecordset(), 4);
    EXPECT_EQ(link.OpenRecordset(link.StartsWithCondition("Dept", "Dairy")), 1);
    EXPECT_EQ(link.GetFieldValue("Id"), "40");
}

// The named filters and views go through their side files; a damaged file
// is kept as it is, and an emptied list removes its file.
TEST_F(FilterTest, NamedFiltersAndViewsLiveInTheirSideFiles)
{
    CTestHome home;
    const QString folder = dir.path();
    const QString flf =
        QDir(folder).filePath(QFileInfo(CSignApp::GetProgramFileName(".flf")).fileName());
    const QString vlf =
        QDir(folder).filePath(QFileInfo(CSignApp::GetProgramFileName(".vlf")).fileName());
    EXPECT_FALSE(LoadFilterFile(folder));
    EXPECT_FALSE(LoadViewFile(folder));
    CFilterList& filters = TheFilterList();
    filters.Set("Dairy", "SELECT * FROM [Stock] WHERE [Dept] = 'Dairy'");
    filters.Set("Caf\u00e9 \u2014 O'Brien", "SELECT * FROM [Stock] WHERE [Id] <> 3");
    TheCustomViewList().Set("Dear", "Price > 10 ORDER BY Name");
    EXPECT_TRUE(SaveFilterFile());
    EXPECT_TRUE(SaveViewFile());
    ASSERT_TRUE(QFile::exists(flf));
    ASSERT_TRUE(QFile::exists(vlf));
    {
        CAppContext fresh;
        EXPECT_TRUE(LoadFilterFile(folder));
        EXPECT_TRUE(LoadViewFile(folder));
        EXPECT_EQ(TheFilterList().Names(), (QStringList{"Dairy", "Caf\u00e9 \u2014 O'Brien"}));
        EXPECT_EQ(TheFilterList().Find("Dairy"), "SELECT * FROM [Stock] WHERE [Dept] = 'Dairy'");
        EXPECT_EQ(TheCustomViewList().Find("dear"), "Price > 10 ORDER BY Name");
        // Emptied: the files go at exit.
        TheFilterList().RemoveAll();
        EXPECT_TRUE(TheCustomViewList().Remove("DEAR"));
        EXPECT_TRUE(SaveFilterFile());
        EXPECT_TRUE(SaveViewFile());
        EXPECT_FALSE(QFile::exists(flf));
        EXPECT_FALSE(QFile::exists(vlf));
    }

    // Damaged copies: read as far as they go or refused, never written over.
    {
        CAppContext fresh;
        TheFilterList().Set("Dairy", "SELECT * FROM [Stock] WHERE [Dept] = 'Dairy'");
        TheFilterList().Set("Cheap", "SELECT * FROM [Stock] WHERE [Price] < 5");
        LoadFilterFile(folder);
        ASSERT_TRUE(SaveFilterFile());
    }
    QFile file(flf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();
    std::mt19937 rng(1210);
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        const QByteArray damaged = DamagedCopy(good, rng);
        {
            QFile out(flf);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(damaged);
        }
        CAppContext fresh;
        messages.Clear();
        const bool whole = LoadFilterFile(folder);
        const int loadMessages = messages.Count();
        // Whatever was read is run as the navigator runs a chosen filter:
        // answered, refused or stopped with a message, never a crash.
        {
            CDatabaseLink& link = Linked();
            for (const QString& name : TheFilterList().Names()) {
                const int before = messages.Count();
                if (link.OpenRecordset(TheFilterList().Find(name)) == 0 &&
                    !link.IsRecordsetOpen()) {
                    EXPECT_EQ(messages.Count(), before + 1);
                }
            }
            link.Disconnect();
        }
        if (!whole) {
            ++refused;
            EXPECT_EQ(loadMessages, 1);
            TheFilterList().Set("New", "SELECT 1");
            EXPECT_FALSE(SaveFilterFile());
            QFile back(flf);
            ASSERT_TRUE(back.open(QIODevice::ReadOnly));
            EXPECT_EQ(back.readAll(), damaged);
        }
    }
    EXPECT_GT(refused, 0);
}

} // namespace
