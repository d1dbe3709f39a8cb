// A sign from someone else, opened with nothing but File > Open in the
// designer or a click in the print front end, may read its data and never
// write it: a custom view that deletes, one that attaches a new database
// file and one that copies the database with VACUUM INTO are refused with
// the reason, the sign opens without the view, the victim's bytes stay as
// they were and no file appears anywhere. A saved filter of the same kind,
// chosen in the record navigator, is refused the same way.
#include "AppContext.h"
#include "BrowseView.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "FilterList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PrintCommands.h"
#include "PrintFrame.h"
#include "RecordNavigator.h"
#include "ResourceIds.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListView>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const char kStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n";

void MakeShelf(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "hostile-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql : {"CREATE TABLE Shelf (RecordId INTEGER PRIMARY KEY, Name TEXT)",
                                "INSERT INTO Shelf (Name) VALUES ('Apples')",
                                "INSERT INTO Shelf (Name) VALUES ('Pears')"})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("hostile-fixture");
}

// One hostile sign: the source it names and the view it carries.
struct Hostile
{
    QString sign;
    int kind;     // 0 external database, 1 data store
    int type;     // database type
    QString data; // the victim
    QString view;
};

class HostileSignTest : public ::testing::Test
{
protected:
    HostileSignTest()
    {
        EnsureWidgetApp();
        RegisterPanes();
        QFile file(home.FilePath("Stock.zel"));
        file.open(QIODevice::WriteOnly);
        file.write(kStockLibrary);
        store = signs.filePath("shelf.mdb");
        database = signs.filePath("stock.db");
        csv = signs.filePath("stock.csv");
        MakeShelf(store);
        MakeShelf(database);
        QFile text(csv);
        text.open(QIODevice::WriteOnly);
        text.write("Name\r\nApples\r\nPears\r\n");
    }
    ~HostileSignTest() override { FrameHooks().chooseFile = nullptr; }

    // Three views against each kind of victim: the data store (opened for
    // writing), an SQLite database and a text file read into memory.
    QVector<Hostile> Signs() const
    {
        QVector<Hostile> signsMade;
        const struct
        {
            const char* name;
            int kind;
            int type;
            QString data;
            QString table;
        } victims[] = {
            {"store", 1, kDatabaseTypeAccess, store, "Shelf"},
            {"database", 0, kDatabaseTypeAccess, database, "Shelf"},
            {"text", 0, kDatabaseTypeText, csv, QString()},
        };
        for (const auto& v : victims) {
            const QString n = QString::fromLatin1(v.name);
            // (A text file read into memory has nothing to delete from.)
            if (v.type != kDatabaseTypeText)
                signsMade.push_back(
                    {n + "-delete.sgn", v.kind, v.type, v.data, "DELETE FROM " + v.table});
            signsMade.push_back({n + "-attach.sgn", v.kind, v.type, v.data,
                                 "ATTACH '" + elsewhere.filePath(n + "-attached.db") + "' AS x"});
            signsMade.push_back({n + "-vacuum.sgn", v.kind, v.type, v.data,
                                 "VACUUM INTO '" + elsewhere.filePath(n + "-copy.db") + "'"});
        }
        return signsMade;
    }

    // Each sign written by the designer's own writer, its view not (yet) in
    // the program's list of views.
    void SaveSigns(CSignData& document)
    {
        for (const Hostile& h : Signs()) {
            document.DeleteContents();
            ThePaper().SelectStock("A4");
            auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
            text->BeginCreate(nullptr, 20, 20);
            text->m_name = "Label";
            text->SetTextFromLines("Fresh today");
            CDatabaseLink& link = TheDatabaseLink();
            link.SetDatabaseType(h.type);
            link.m_textHeader = TRUE;
            ASSERT_TRUE(link.Connect(h.data, h.kind == 0)) << messages.LastText().toStdString();
            link.m_linkKind = h.kind;
            link.m_customViewQuery = h.view;
            TheCustomViewList().Set(h.sign, h.view);
            ASSERT_TRUE(document.OnSaveDocument(signs.filePath(h.sign)));
            TheCustomViewList().Remove(h.sign);
            document.DeleteContents();
            document.SetPathName(QString());
        }
        ASSERT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    }

    // What opening one of them must show: the reason (in the print front
    // end, whose browser only looks at a sign, in the status bar), then the
    // question whether to go on without the link (answered Yes).
    void ExpectRefusedOnOpen(const Hostile& h, const QString& statusBar = QString())
    {
        SCOPED_TRACE(h.sign.toStdString());
        const int question =
            h.kind == 0 ? IDS_CANNOT_RECREATE_DATA_LINK : IDS_CANNOT_REOPEN_DATA_STORE;
        QStringList texts;
        for (const auto& m : messages.Messages())
            texts << m.text;
        const QString reason = "\"The custom view may only read data.\"";
        if (statusBar.isNull()) {
            EXPECT_EQ(texts,
                      (QStringList{reason, FormatStringId(question, {ElideMiddle(h.data)})}));
        } else {
            EXPECT_EQ(texts, (QStringList{FormatStringId(question, {ElideMiddle(h.data)})}));
            EXPECT_TRUE(statusBar.contains(reason)) << statusBar.toStdString();
        }
        EXPECT_FALSE(TheDatabaseLink().IsConnected());
        EXPECT_TRUE(TheCustomViewList().Find(h.sign).isNull());
        EXPECT_EQ(TheElementList().GetCount(), 1);
    }

    CTestHome home;
    CMessageResponder messages;
    QTemporaryDir signs;
    QTemporaryDir elsewhere;
    QString store;
    QString database;
    QString csv;
};

TEST_F(HostileSignTest, DesignerOpensThemWithoutTheirViews)
{
    CAppContext context;
    CSignApp app;
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    ASSERT_TRUE(app.InitInstance({"tabrel"}));
    auto* frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
    ASSERT_NE(frame, nullptr);
    SaveSigns(frame->Document());
    const auto before = Snapshot(signs.path());
    ASSERT_TRUE(Snapshot(elsewhere.path()).isEmpty());

    messages.SetDefaultAnswer(IDYES);
    QString chosen;
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    for (const Hostile& h : Signs()) {
        frame->Document().SetModifiedFlag(false);
        chosen = signs.filePath(h.sign);
        messages.Clear();
        frame->UpdateActionsNow();
        ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_OPEN));
        EXPECT_EQ(frame->Document().GetPathName(), chosen);
        ExpectRefusedOnOpen(h);
    }
    frame->Document().SetModifiedFlag(false);
    app.ExitInstance();
    EXPECT_EQ(Snapshot(signs.path()), before);
    EXPECT_TRUE(Snapshot(elsewhere.path()).isEmpty());
}

TEST_F(HostileSignTest, PrintFrontEndShowsThemWithoutTheirViews)
{
    {
        CAppContext context;
        CSignApp designer;
        designer.frameTemplate = CSignApp::DesignerFrameTemplate();
        ASSERT_TRUE(designer.InitInstance({"tabrel"}));
        auto* frame = qobject_cast<CMainFrame*>(designer.GetMainWindow());
        ASSERT_NE(frame, nullptr);
        SaveSigns(frame->Document());
        frame->Document().SetModifiedFlag(false);
        designer.ExitInstance();
    }
    const auto before = Snapshot(signs.path());

    CAppContext context;
    CSignApp app(CSignApp::Program::PrintFrontEnd);
    app.frameTemplate = CPrintFrame::Template();
    ASSERT_TRUE(app.InitInstance({"tabrel-print"}));
    auto* frame = qobject_cast<CPrintFrame*>(app.GetMainWindow());
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);
    CBrowseView* view = frame->View();
    ASSERT_TRUE(view->SelectPath(signs.path()));
    messages.SetDefaultAnswer(IDYES);
    QListView* list = view->IconList();
    for (const Hostile& h : Signs()) {
        messages.Clear();
        const QAbstractItemModel* model = list->model();
        QModelIndex index;
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data().toString() == h.sign)
                index = model->index(row, 0);
        ASSERT_TRUE(index.isValid()) << h.sign.toStdString();
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualRect(index).center());
        ExpectRefusedOnOpen(h, frame->statusBar()->currentMessage());
    }
    app.ExitInstance();
    EXPECT_EQ(Snapshot(signs.path()), before);
    EXPECT_TRUE(Snapshot(elsewhere.path()).isEmpty());
}

// A saved filter is a whole statement: one that would write is refused in
// the navigator with the reason, and the records stay as they were.
TEST_F(HostileSignTest, SavedFilterThatWouldWriteIsRefusedInTheNavigator)
{
    CAppContext context;
    CSignApp app;
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    ASSERT_TRUE(app.InitInstance({"tabrel"}));
    auto* frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
    ASSERT_NE(frame, nullptr);
    frame->resize(1200, 860);

    // A label fed by the database through a plain view.
    CSignData& document = frame->Document();
    ThePaper().SelectStock("A4");
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeAccess);
    ASSERT_TRUE(link.Connect(database, TRUE));
    link.m_linkKind = 0;
    link.m_customViewQuery = "SELECT Name FROM Shelf";
    ASSERT_EQ(link.OpenRecordset(), 2);
    auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
    text->BeginCreate(nullptr, 20, 20);
    text->m_name = "Label";
    text->SetDataSource(SOURCE_DATABASE, "Name");
    const QString sign = signs.filePath("plain.sgn");
    ASSERT_TRUE(document.OnSaveDocument(sign));
    document.SetModifiedFlag(false);

    const QString copy = elsewhere.filePath("filtered.db");
    const QString attached = elsewhere.filePath("attached.db");
    TheFilterList().Set("Copy", "VACUUM INTO (SELECT '" + copy + "')");
    TheFilterList().Set("Attach", "ATTACH (SELECT '" + attached + "') AS x");
    const auto before = Snapshot(signs.path());

    QString chosen = sign;
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_OPEN));
    ASSERT_TRUE(link.IsConnected()) << messages.LastText().toStdString();
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
    ASSERT_TRUE(CPrintCommands::Of(frame)->IsStationOpen());
    auto* data = qobject_cast<CDataView*>(frame->DataView());
    ASSERT_NE(data, nullptr);
    auto* navigator = qobject_cast<CRecordNavigator*>(data->NavigatorBar());
    ASSERT_NE(navigator, nullptr);
    auto* filters =
        navigator->findChild<QComboBox*>(QStringLiteral("id%1").arg(CRecordNavigator::IDC_FILTER));
    ASSERT_NE(filters, nullptr);
    ASSERT_EQ(filters->count(), 2);
    for (int i = 0; i < filters->count(); ++i) {
        const QString name = filters->itemText(i);
        SCOPED_TRACE(name.toStdString());
        messages.Clear();
        filters->setFocus();
        // The entry before it, then the arrow key chooses it.
        filters->setCurrentIndex(i - 1);
        QTest::keyClick(filters, Qt::Key_Down);
        QStringList texts;
        for (const auto& m : messages.Messages())
            texts << m.text;
        EXPECT_EQ(texts, (QStringList{"\"The filter may only read data.\"",
                                      FormatStringId(IDS_NO_RECORDS_FOR_FILTER, {name})}));
        // The view's records are walked on.
        EXPECT_EQ(link.GetRecordCount(), 2);
    }
    CPrintCommands::Of(frame)->ClosePrintStation();
    document.SetModifiedFlag(false);
    app.ExitInstance();
    EXPECT_EQ(Snapshot(signs.path()), before);
    EXPECT_TRUE(Snapshot(elsewhere.path()).isEmpty());
}

} // namespace
