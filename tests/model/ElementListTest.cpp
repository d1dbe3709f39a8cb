#include "AppContext.h"
#include "Box.h"
#include "DC.h"
#include "ExportBlock.h"
#include "Growth.h"
#include "Messages.h"
#include "SignData.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "TextExport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

class ElementListTest : public ::testing::Test
{
protected:
    CAppContext context;
    CMessageResponder messages;
    CElementList& list = TheElementList();

    QStringList Names() const
    {
        QStringList names;
        for (const CElement* e : list)
            names << e->m_name;
        return names;
    }
};

class CCountingProgress : public CProgressSeam
{
public:
    int steps = 0;
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
};

} // namespace

TEST_F(ElementListTest, FactoryKnowsOnlyElementClassesByExactName)
{
    for (const char* name : {"CElement", "CBarcode", "cbox", "CBOX", "", "CTestRect", "CObject"})
        EXPECT_EQ(list.CreateElement(name), nullptr) << name;
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(ElementListTest, HitTestPrefersTheSmallestThenTheLowest)
{
    CTestRect* big = MakeRect(list, "Big", CRect(0, 0, 100, 100));
    CTestRect* small = MakeRect(list, "Small", CRect(10, 10, 20, 20));
    CTestRect* twinA = MakeRect(list, "TwinA", CRect(50, 50, 70, 70));
    CTestRect* twinB = MakeRect(list, "TwinB", CRect(60, 60, 80, 80));
    // the small element lies under... no: it is above here; move it below
    list.Remove(small);
    list.AddHead(small);
    EXPECT_EQ(list.HitTest(15, 15), small); // under the big one, still hit
    EXPECT_EQ(list.HitTest(65, 65), twinA); // equal areas: nearer the head
    EXPECT_EQ(list.HitTest(75, 75), twinB);
    EXPECT_EQ(list.HitTest(99, 5), big);
    EXPECT_EQ(list.HitTest(100, 5), nullptr); // right edge is outside
    EXPECT_EQ(list.FindSmallest(), small);
}

TEST_F(ElementListTest, ReorderingAndRemoval)
{
    CTestRect* a = MakeRect(list, "A", CRect(0, 0, 1, 1));
    CTestRect* b = MakeRect(list, "B", CRect(0, 0, 1, 1));
    CTestRect* c = MakeRect(list, "C", CRect(0, 0, 1, 1));
    EXPECT_EQ(Names(), QStringList({"A", "B", "C"}));

    // Bring to front, send to back
    list.Remove(a);
    list.AddTail(a);
    EXPECT_EQ(Names(), QStringList({"B", "C", "A"}));
    list.Remove(a);
    list.AddHead(a);
    EXPECT_EQ(Names(), QStringList({"A", "B", "C"}));

    EXPECT_EQ(list.FindByName("b"), b);
    EXPECT_EQ(list.FindByName("D"), nullptr);
    EXPECT_EQ(list.RemoveHead(), a);
    EXPECT_FALSE(list.Contains(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_FALSE(list.RemoveAndDelete(a));
    delete a;

    auto* d = new CTestRect;
    d->m_name = "D";
    list.SetAt(1, d); // undo puts another element in a place
    EXPECT_EQ(Names(), QStringList({"B", "D"}));
    delete c;
    EXPECT_TRUE(list.RemoveAndDelete(b));
    EXPECT_EQ(Names(), QStringList({"D"}));
}

TEST_F(ElementListTest, ElementNamesFollowTheRule)
{
    CTestRect* box1 = MakeRect(list, "Box1", CRect(0, 0, 1, 1));
    CTestRect* other = MakeRect(list, "Other", CRect(0, 0, 1, 1));
    struct Case
    {
        const CElement* element;
        QString name;
        bool ok;
        QString result;
    };
    const Case cases[] = {
        {other, "box1", false, ""},   // another element's name
        {box1, "box1", true, "box1"}, // its own name in another case
        {other, "  Price_2  ", true, "Price_2"},
        {other, "2Price", false, ""},
        {other, "Price-2", false, ""},
        {other, "", false, ""},
        {other, "   ", false, ""},
        {other, "_x", false, ""},
        {other, "\u00C9tiquette", true, "\u00C9tiquette"},
        // letters of Windows-1252 beyond Latin-1, and letters it lacks
        {other, "\u0160koda_\u0178", true, "\u0160koda_\u0178"},
        {other, "\u03A9a", false, ""},
        {other, "a\u0416", false, ""},
        {other, "x\u0662", false, ""}, // an Arabic-Indic digit
    };
    for (const Case& c : cases) {
        messages.Clear();
        QString name = c.name;
        EXPECT_EQ(list.ValidateName(c.element, name) != 0, c.ok) << c.name.toStdString();
        if (c.ok) {
            EXPECT_EQ(name, c.result);
            EXPECT_EQ(messages.Count(), 0);
        } else {
            EXPECT_EQ(messages.LastText(), "Invalid or non-unique element name");
        }
    }
}

TEST_F(ElementListTest, RoundTripOfTwoElementClasses)
{
    CCountingProgress progress;
    App().progress = &progress;

    CTestRect* box = MakeRect(list, "Box1", CRect(10, 20, 300, 400));
    box->m_dataSource = SOURCE_DATABASE;
    box->m_sourceName = "Price";
    auto* line = new CTestLine;
    line->m_name = "Line1";
    line->m_from = CPoint(-5, 7);
    line->m_to = CPoint(100, 7);
    line->m_thickness = 25;
    list.AddTail(line);
    MakeRect(list, "Box2", CRect(1, 2, 3, 4));

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    EXPECT_EQ(progress.steps, 3);
    // count, then the first class record
    EXPECT_EQ(bytes.left(2), QByteArray("\x03\x00", 2));
    EXPECT_EQ(bytes.mid(2, 6), QByteArray("\xff\xff\x01\x00\x09\x00", 6));
    EXPECT_EQ(bytes.mid(8, 9), QByteArray("CTestRect"));

    {
        CAppContext fresh;
        App().fileVersion = 514;
        CElementList& loaded = TheElementList();
        CArchive ar(&bytes, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
        ASSERT_EQ(loaded.GetCount(), 3);
        auto* box2 = DynamicDowncast<CTestRect>(loaded.GetAt(0));
        auto* line2 = DynamicDowncast<CTestLine>(loaded.GetAt(1));
        ASSERT_TRUE(box2 && line2);
        EXPECT_EQ(box2->m_rect, CRect(10, 20, 300, 400));
        EXPECT_EQ(box2->m_dataSource, SOURCE_DATABASE);
        EXPECT_EQ(box2->m_sourceName, "Price");
        EXPECT_EQ(line2->m_from, CPoint(-5, 7));
        EXPECT_EQ(line2->m_thickness, 25u);
        EXPECT_EQ(loaded.GetAt(2)->m_name, "Box2");

        // and it writes back byte for byte
        QByteArray again;
        CArchive out(&again, CArchive::store);
        loaded.Serialize(out);
        EXPECT_EQ(again, bytes);
    }
    App().progress = nullptr;
}

TEST_F(ElementListTest, TableCellsAreNeitherSavedNorDeletedByTheList)
{
    CTestRect cell; // owned by a table, which deletes it
    cell.m_name = "Cell1";
    cell.m_ownedByTable = 1;
    MakeRect(list, "Box1", CRect(0, 0, 1, 1));
    list.AddTail(&cell);

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    EXPECT_EQ(bytes.left(2), QByteArray("\x01\x00", 2));
    EXPECT_FALSE(bytes.contains("Cell1"));
    list.DeleteAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(cell.m_name, "Cell1"); // still alive
}

TEST_F(ElementListTest, DamagedListsFailCleanly)
{
    MakeRect(list, "Box1", CRect(0, 0, 10, 10));
    MakeRect(list, "Box2", CRect(0, 0, 10, 10));
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    // every truncation is an archive error, and nothing leaks or crashes
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        CAppContext fresh;
        QByteArray cut = bytes.left(n);
        CArchive ar(&cut, CArchive::load);
        EXPECT_THROW(TheElementList().Serialize(ar), CArchiveException) << n;
    }
    // the same element listed twice would be deleted twice
    QByteArray twice = bytes;
    twice[0] = 3;
    twice.append("\x02\x00", 2); // a reference to the first element again
    CAppContext fresh;
    CArchive ar(&twice, CArchive::load);
    EXPECT_THROW(TheElementList().Serialize(ar), CArchiveException);
}

TEST_F(ElementListTest, DataLinkQueries)
{
    CTestRect* a = MakeRect(list, "A", CRect(0, 0, 1, 1));
    CTestRect* b = MakeRect(list, "B", CRect(0, 0, 1, 1));
    MakeRect(list, "C", CRect(0, 0, 1, 1));
    EXPECT_FALSE(list.HasLinkedElements());
    a->SetDataSource(SOURCE_DATABASE, "Price");
    b->SetDataSource(SOURCE_KEYBOARD, "");
    EXPECT_TRUE(list.HasLinkedElements());
    EXPECT_TRUE(list.HasDataEntryElements());
    const QString price = "PRICE";
    const QString other = "Other";
    EXPECT_TRUE(list.HasFieldLink(&price));
    EXPECT_FALSE(list.HasFieldLink(&other));
    EXPECT_TRUE(list.HasFieldLink(nullptr));

    QStringList items;
    EXPECT_EQ(list.FillComboWithLinked(items, "B"), 1);
    EXPECT_EQ(items, QStringList({"A", "B"}));
    EXPECT_EQ(list.FillComboWithLinked(items, "Z"), 0);

    class CLink : public CDataLinkSeam
    {
    public:
        int GetLinkKind() const override { return 0; }
        QString GetFieldValue(const QString&) override { return {}; }
        int GetStoreRecordCount() override { return 0; }
        bool TableHasColumn(const QString& name) override { return name == "Cost"; }
    } link;
    App().dataLink = &link;
    EXPECT_FALSE(list.CheckDataLinks()); // Price is not a column
    EXPECT_EQ(a->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_EQ(a->m_sourceName, "Price");
    a->SetDataSource(SOURCE_DATABASE, "Cost");
    EXPECT_TRUE(list.CheckDataLinks());
    list.BreakDataLinks();
    EXPECT_FALSE(list.HasSourceKind(SOURCE_DATABASE));
    App().dataLink = nullptr;
}

TEST_F(ElementListTest, ValidateDataStopsAtTheFirstRefusal)
{
    CTestRect* a = MakeRect(list, "A", CRect(0, 0, 1, 1));
    CTestRect* b = MakeRect(list, "B", CRect(0, 0, 1, 1));
    a->SetDataSource(SOURCE_KEYBOARD, "");
    a->m_mustEnterData = 1;
    b->SetDataSource(SOURCE_KEYBOARD, "");
    b->m_mustEnterData = 1;
    EXPECT_FALSE(list.ValidateData());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "Data must be supplied for A.");
}

TEST_F(ElementListTest, RotateForOrientationKeepsTheLayoutOnTheSign)
{
    // An element that turns a quarter clockwise about its top-left corner.
    class CTurning : public CTestRect
    {
    public:
        void Rotate(CView*) override
        {
            Redraw(nullptr, [this] {
                m_rect = CRect(m_rect.left - m_rect.Height(), m_rect.top, m_rect.left,
                               m_rect.top + m_rect.Width());
            });
        }
    };
    auto* e = new CTurning;
    e->m_name = "T";
    e->m_rect = CRect(100, 50, 300, 100); // 200 x 50
    e->UpdateRects(nullptr);
    list.AddTail(e);
    const double angle = App().general.rotationAngle;
    // portrait: the old bottom edge becomes the left edge, measured from the
    // right of the turned sign; the old left edge becomes the top
    list.RotateAllForOrientation(nullptr, false, 1000, 2000);
    EXPECT_EQ(e->m_rect, CRect(900, 100, 950, 300));
    EXPECT_EQ(e->m_state, 0u);
    EXPECT_EQ(App().general.rotationAngle, angle);
}

TEST_F(ElementListTest, DrawsInListOrderAndSkipsWhatDoesNotPrint)
{
    QStringList drawn;
    CTestRect::s_drawLog = &drawn;
    MakeRect(list, "Back", CRect(0, 0, 10, 10));
    CTestRect* hidden = MakeRect(list, "Hidden", CRect(0, 0, 10, 10));
    hidden->m_notPrinted = 1;
    CTestRect* cell = MakeRect(list, "Cell", CRect(0, 0, 10, 10));
    cell->m_ownedByTable = 1;
    MakeRect(list, "Front", CRect(0, 0, 10, 10));

    QImage image(20, 20, QImage::Format_ARGB32);
    QPainter painter(&image);
    {
        CDC screen(&painter, false);
        list.Draw(&screen, CRect(0, 0, 20, 20));
    }
    EXPECT_EQ(drawn, QStringList({"Back", "Hidden", "Front"}));
    drawn.clear();
    {
        CDC printer(&painter, true);
        list.Draw(&printer, CRect(0, 0, 20, 20));
    }
    EXPECT_EQ(drawn, QStringList({"Back", "Front"}));
    CTestRect::s_drawLog = nullptr;
    list.Remove(cell);
    delete cell;
}

TEST_F(ElementListTest, SelectionDecorationsAreDrawnOnScreenOnly)
{
    CTestRect* e = MakeRect(list, "Box1", CRect(20, 20, 60, 40));
    e->Select(nullptr, 2);

    CImageDC screen(100, 100);
    e->DrawTracker(&screen);
    const QImage& img = screen.Image();
    // the primary selection's handles are filled grey, the outline is grey
    EXPECT_EQ(QColor(img.pixel(e->m_handles[0].left + 4, e->m_handles[0].top + 4)),
              QColor(128, 128, 128));
    EXPECT_EQ(QColor(img.pixel(40, e->m_invalidRect.top)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(img.pixel(40, 30)), QColor(Qt::white)); // null brush inside

    // a secondary selection has white handles with a grey frame
    e->Select(nullptr, 1);
    CImageDC second(100, 100);
    e->DrawTracker(&second);
    EXPECT_EQ(QColor(second.Image().pixel(e->m_handles[0].left + 4, e->m_handles[0].top + 4)),
              QColor(Qt::white));
    EXPECT_EQ(QColor(second.Image().pixel(e->m_handles[0].left, e->m_handles[0].top + 4)),
              QColor(128, 128, 128));

    // a data-linked element that is not selected shows the variable outline
    e->Select(nullptr, 0);
    e->SetDataSource(SOURCE_KEYBOARD, "");
    e->UpdateRects(nullptr);
    CImageDC linked(100, 100);
    e->DrawTracker(&linked);
    int red = 0;
    for (int x = e->m_invalidRect.left; x < e->m_invalidRect.right; ++x)
        red += QColor(linked.Image().pixel(x, e->m_invalidRect.top)) == QColor(255, 0, 0);
    EXPECT_GT(red, 5); // dotted: some of the top edge in the outline colour
    EXPECT_LT(red, e->m_invalidRect.Width());

    // nothing at all when printing
    QImage page(100, 100, QImage::Format_ARGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    {
        CDC printer(&painter, true);
        e->Select(nullptr, 2);
        e->DrawTracker(&printer);
    }
    painter.end();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(QColor(page.pixel(x, y)), QColor(Qt::white));
}

TEST_F(ElementListTest, TextExportFrame)
{
    CTestRect* e = MakeRect(list, "Box1", CRect(0, 0, 1, 1));
    e->m_prompt = "Size <\"A\"> & more";
    e->m_paddingChar = '0';
    QByteArray out;
    CTextExportFile file(&out);
    list.WriteXml(file);
    const QByteArray expected =
        "<elements>\r\n\r\n" +
        ElementExportBlock("Box1", "Size &lt;&quot;A&quot;&gt; &amp; more", '0') +
        "</elements>\r\n\r\n";
    EXPECT_EQ(out, expected);
}

// Opening is linear in the number of elements: a sign of sixteen times as
// many boxes takes about sixteen times as long to open, not 256 (a search of
// the list per element read took minutes for 200,000).
TEST_F(RealElementTest, ASignOfManyElementsOpensQuickly)
{
    EnsureGuiApp();
    CTestHome home;
    const QString path = home.FilePath("many.sgn");
    const auto open = [&](int elements) -> qint64 {
        for (int i = 0; i < elements; ++i) {
            auto* box = new CBox;
            box->m_name = QString("Box%1").arg(i + 1);
            box->SetBounds(nullptr, CRect(i % 1000, 10, i % 1000 + 50, 60));
            EXPECT_TRUE(list.AddTail(box));
        }
        CSignData sign;
        EXPECT_TRUE(sign.OnSaveDocument(path));
        list.DeleteAll();

        CSignData opened;
        const CCpuTimer timer;
        EXPECT_TRUE(opened.OnOpenDocument(path));
        const qint64 spent = timer.Nanoseconds();
        EXPECT_EQ(list.GetCount(), elements);
        if (list.GetCount() == elements) {
            EXPECT_EQ(list.GetAt(elements - 1)->m_name, QString("Box%1").arg(elements));
        }
        list.DeleteAll();
        return spent;
    };
    EXPECT_LT(Growth(open, 40000), kLinearGrowthBound);
    EXPECT_EQ(messages.Count(), 0);
}
