// The table element: cells made in the sign's list from a format text, the
// layout of rows and cells, a refused format that leaves the table as it
// was, and the table's record through a sign file, damaged or nested deep.
#include "Table.h"

#include "Box.h"
#include "Image.h"
#include "Line.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "Damage.h"
#include "ElementList.h"
#include "Growth.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "UndoHistory.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

namespace {

QByteArray StoreList(CElementList& list)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    list.Serialize(ar);
    ar.Flush();
    return bytes;
}

void LoadList(CElementList& list, const QByteArray& bytes)
{
    QByteArray copy = bytes;
    CArchive ar(&copy, CArchive::load);
    list.Serialize(ar);
}

CTable* FreeTable(const CElementList& list)
{
    for (CElement* element : list) {
        if (element->GetTypeCode() == TYPE_TABLE && !element->m_ownedByTable)
            return static_cast<CTable*>(element);
    }
    return nullptr;
}

// Every cell element stands in the list once and belongs to a table that
// is there too and holds it.
void ExpectCellsAccountedFor(const CElementList& list)
{
    for (CElement* element : list) {
        EXPECT_EQ(std::count(list.begin(), list.end(), element), 1);
        if (!element->m_ownedByTable)
            continue;
        auto* owner = dynamic_cast<CTable*>(element->m_ownerTable);
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(list.Contains(owner));
        int holders = 0;
        for (const STableRow& row : owner->m_rows) {
            for (const STableCell& cell : row.cells)
                holders += cell.element == element;
        }
        EXPECT_EQ(holders, 1);
    }
}

class TableTest : public RealElementTest
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
    }

    CTable* NewTable(const CRect& rect, const char* format)
    {
        auto* table = static_cast<CTable*>(list.CreateElement(QStringLiteral("CTable")));
        EXPECT_NE(table, nullptr);
        if (!table)
            return nullptr;
        table->SetBounds(nullptr, rect);
        EXPECT_TRUE(table->SetFormat(QString::fromUtf8(format))) << format;
        return table;
    }
};

TEST_F(TableTest, FormatMakesCellsInTheSignsListAndLaysThemOut)
{
    CTable* table = NewTable(CRect(100, 200, 1100, 800),
                             "<table><tr height=\"30%\"><td width=\"40%\" type=\"1\" "
                             "padding-horz=\"10%\" padding-vert=\"20%\"></td><td type=\"3\"></td>"
                             "</tr><tr separator><td type=\"6\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->m_rows.size(), 2u);
    const STableRow& top = table->m_rows[0];
    const STableRow& bottom = table->m_rows[1];
    EXPECT_EQ(top.height, 3000);
    EXPECT_EQ(top.computedHeight, 180);
    EXPECT_EQ(bottom.height, 7000);
    EXPECT_EQ(bottom.computedHeight, 420);
    EXPECT_EQ(bottom.separator, 1);

    const struct
    {
        const STableCell& cell;
        int type;
        CRect cellRect;
        CRect innerRect;
    } cases[] = {
        {top.cells[0], TYPE_BOX, CRect(100, 200, 500, 380), CRect(140, 236, 460, 344)},
        {top.cells[1], TYPE_TEXT, CRect(500, 200, 1100, 380), CRect(500, 200, 1100, 380)},
        {bottom.cells[0], -1, CRect(100, 380, 1100, 800), CRect(100, 380, 1100, 800)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(c.cell.cellRect, c.cellRect);
        EXPECT_EQ(c.cell.innerRect, c.innerRect);
        if (c.type < 0) {
            EXPECT_EQ(c.cell.element, nullptr);
            continue;
        }
        ASSERT_NE(c.cell.element, nullptr);
        EXPECT_EQ(c.cell.element->GetTypeCode(), c.type);
        EXPECT_TRUE(list.Contains(c.cell.element));
        EXPECT_TRUE(c.cell.element->m_ownedByTable);
        EXPECT_EQ(c.cell.element->m_ownerTable, table);
    }
    EXPECT_EQ(top.cells[1].element->GetSampleData(), QStringLiteral("Sample Text"));
    EXPECT_EQ(list.GetCount(), 3);
    ExpectCellsAccountedFor(list);

    // A new format replaces the cells: the old ones leave the list.
    ASSERT_TRUE(table->SetFormat(CTableFormat::DefaultText()));
    EXPECT_EQ(list.GetCount(), 1);
    ASSERT_EQ(table->m_rows.size(), 1u);
    EXPECT_EQ(table->m_rows[0].cells[0].cellRect, CRect(100, 200, 1100, 800));
}

TEST_F(TableTest, RefusedFormatLeavesTheTableAsItWas)
{
    CTable* table = NewTable(CRect(0, 0, 1000, 1000),
                             "<table><tr><td type=\"1\"></td><td type=\"3\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    const QString format = table->m_formatText;
    CElement* box = table->m_rows[0].cells[0].element;
    CElement* words = table->m_rows[0].cells[1].element;

    std::vector<const char*> refused = {
        "<table><tr height=\"0%\"><td type=\"1\"></td></tr></table>",
        "<table><tr><td width=\"60%\"></td><td width=\"50%\"></td></tr></table>",
        "<table><tr><td type=\"1\"></td></tr>",
    };
    // A cell type whose element this build cannot make refuses the format
    // too, and the elements made for the cells before it go again.
    for (int type = 0; type <= 10; ++type) {
        const QString name = CTableFormat::ElementClassForType(type);
        if (!name.isEmpty() && !CRuntimeClass::FromName(name.toLatin1().constData())) {
            static std::string missing;
            missing = "<table><tr><td type=\"1\"></td><td type=\"" + std::to_string(type) +
                      "\"></td></tr></table>";
            refused.push_back(missing.c_str());
            break;
        }
    }
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(table->SetFormat(QString::fromUtf8(text)));
        EXPECT_EQ(table->m_formatText, format);
        ASSERT_EQ(table->m_rows.size(), 1u);
        ASSERT_EQ(table->m_rows[0].cells.size(), 2u);
        EXPECT_EQ(table->m_rows[0].cells[0].element, box);
        EXPECT_EQ(table->m_rows[0].cells[1].element, words);
        EXPECT_EQ(list.GetCount(), 3);
        ExpectCellsAccountedFor(list);
    }
}

TEST_F(TableTest, DeletingTheTableDeletesItsCells)
{
    CTable* table = NewTable(CRect(0, 0, 500, 500),
                             "<table><tr><td type=\"1\"></td><td type=\"9\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    auto* nested = static_cast<CTable*>(table->m_rows[0].cells[1].element);
    ASSERT_TRUE(nested->SetFormat(QStringLiteral("<table><tr><td type=\"2\"></td></tr></table>")));
    EXPECT_EQ(list.GetCount(), 4);
    ASSERT_TRUE(list.RemoveAndDelete(table));
    EXPECT_EQ(list.GetCount(), 0);
}

class TableRecordTest : public TableTest
{
protected:
    // A table of a box, a text, a barcode and an OLE cell (both without an
    // element); a nested table holding an ellipse; a line, a picture, a
    // symbol and an arc text.
    void MakeSign()
    {
        CTable* table =
            NewTable(CRect(0, 0, 1200, 900),
                     "<table><tr height=\"40%\" separator><td width=\"25%\" type=\"1\" "
                     "padding-horz=\"5%\"></td><td type=\"3\" padding-vert=\"10%\"></td>"
                     "<td type=\"6\"></td><td type=\"7\"></td></tr>"
                     "<tr><td type=\"9\"></td></tr><tr><td type=\"0\"></td><td type=\"5\"></td>"
                     "<td type=\"8\"></td><td type=\"10\"></td></tr></table>");
        ASSERT_NE(table, nullptr);
        auto* nested = static_cast<CTable*>(table->m_rows[1].cells[0].element);
        ASSERT_TRUE(nested->SetFormat(
            QStringLiteral("<table><tr><td type=\"2\"></td><td></td></tr></table>")));
        table->Layout(nullptr);
    }
};

TEST_F(TableRecordTest, SavedAndReopenedWithItsCells)
{
    MakeSign();
    const QByteArray saved = StoreList(list);
    const int count = list.GetCount();
    ASSERT_EQ(count, 9);

    list.DeleteAll();
    LoadList(list, saved);
    EXPECT_EQ(list.GetCount(), count);
    ExpectCellsAccountedFor(list);
    CTable* table = FreeTable(list);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->m_rows.size(), 3u);
    const int lastTypes[] = {TYPE_LINE, TYPE_PICTURE, TYPE_SYMBOL, TYPE_ARC_TEXT};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(lastTypes[i]);
        const STableCell& cell = table->m_rows[2].cells[i];
        ASSERT_NE(cell.element, nullptr);
        EXPECT_EQ(cell.element->GetTypeCode(), lastTypes[i]);
        EXPECT_EQ(cell.element->m_ownerTable, table);
    }
    const STableRow& top = table->m_rows[0];
    EXPECT_EQ(top.height, 4000);
    EXPECT_EQ(top.separator, 1);
    ASSERT_EQ(top.cells.size(), 4u);
    const int types[] = {TYPE_BOX, TYPE_TEXT, TYPE_BARCODE, TYPE_OLE};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(top.cells[i].type, types[i]);
        if (i < 2) {
            ASSERT_NE(top.cells[i].element, nullptr);
            EXPECT_EQ(top.cells[i].element->GetTypeCode(), types[i]);
        } else {
            EXPECT_EQ(top.cells[i].element, nullptr);
        }
    }
    EXPECT_EQ(top.cells[0].paddingHorz, 5);
    EXPECT_EQ(top.cells[1].paddingVert, 10);
    auto* nested = dynamic_cast<CTable*>(table->m_rows[1].cells[0].element);
    ASSERT_NE(nested, nullptr);
    ASSERT_EQ(nested->m_rows.size(), 1u);
    ASSERT_NE(nested->m_rows[0].cells[0].element, nullptr);
    EXPECT_EQ(nested->m_rows[0].cells[0].element->GetTypeCode(), TYPE_ELLIPSE);
    EXPECT_EQ(nested->m_rows[0].cells[0].element->m_ownerTable, nested);

    // Written again, the sign is the same to the byte.
    EXPECT_EQ(StoreList(list), saved);
}

TEST_F(TableRecordTest, DamagedRecordsAreReadSafely)
{
    MakeSign();
    const QByteArray saved = StoreList(list);
    list.DeleteAll();
    std::mt19937 rng(143);
    for (int i = 0; i < 600; ++i) {
        const QByteArray bytes = DamagedCopy(saved, rng);
        try {
            LoadList(list, bytes);
        } catch (const CArchiveException&) {
        }
        ExpectCellsAccountedFor(list);
        list.DeleteAll();
    }
}

TEST_F(TableRecordTest, NestingIsCappedOnRead)
{
    for (int depth : {CTableFormat::kMaxNesting, CTableFormat::kMaxNesting + 1}) {
        SCOPED_TRACE(depth);
        CTable* table =
            NewTable(CRect(0, 0, 1000, 1000), "<table><tr><td type=\"9\"></td></tr></table>");
        ASSERT_NE(table, nullptr);
        for (int level = 2; level < depth; ++level) {
            table = static_cast<CTable*>(table->m_rows[0].cells[0].element);
            ASSERT_TRUE(
                table->SetFormat(QStringLiteral("<table><tr><td type=\"9\"></td></tr></table>")));
        }
        EXPECT_EQ(list.GetCount(), depth);
        const QByteArray saved = StoreList(list);
        list.DeleteAll();
        if (depth <= CTableFormat::kMaxNesting) {
            LoadList(list, saved);
            EXPECT_EQ(list.GetCount(), depth);
        } else {
            EXPECT_THROW(LoadList(list, saved), CArchiveException);
            // Nothing half-read is left in the sign.
            EXPECT_EQ(list.GetCount(), 0);
        }
        list.DeleteAll();
    }
}

} // namespace

namespace {

class TableFlowTest : public TableTest
{
};

// Rows A, S1 (separator), B (a picture without a file: empty), S2
// (separator) and C, each a fifth of the table.
TEST_F(TableFlowTest, EmptyRowsTakeNoSpaceAndSeparatorsDoNotDouble)
{
    CTable* table = NewTable(CRect(0, 0, 500, 1000), "<table><tr><td type=\"1\"></td></tr>"
                                                     "<tr separator><td type=\"1\"></td></tr>"
                                                     "<tr><td type=\"5\"></td><td></td></tr>"
                                                     "<tr separator><td type=\"1\"></td></tr>"
                                                     "<tr><td type=\"1\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    auto* picture = dynamic_cast<CImage*>(table->m_rows[2].cells[0].element);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->IsEmpty());

    auto tops = [table] {
        std::vector<int> out;
        for (const STableRow& row : table->m_rows)
            out.push_back(row.cells[0].cellRect.top);
        return out;
    };
    auto hidden = [table] {
        std::vector<int> out;
        for (const STableRow& row : table->m_rows)
            out.push_back(row.hidden);
        return out;
    };
    EXPECT_EQ(tops(), (std::vector<int>{0, 200, 400, 600, 800}));

    table->OnCellDataChanged();
    // B keeps its old place (it is not drawn over anything: it is empty),
    // S2 is hidden where it was, and C follows S1 directly.
    EXPECT_EQ(tops(), (std::vector<int>{0, 200, 400, 600, 400}));
    EXPECT_EQ(hidden(), (std::vector<int>{0, 0, 0, 1, 0}));
    EXPECT_EQ(table->m_rows[4].cells[0].element->m_bounds.top, 400);
    EXPECT_FALSE(table->IsEmpty());

    // B gets data: everything flows back, and S2 shows again.
    picture->m_filePath = QStringLiteral("photo.png");
    table->OnCellDataChanged();
    EXPECT_EQ(tops(), (std::vector<int>{0, 200, 400, 600, 800}));
    EXPECT_EQ(hidden(), (std::vector<int>{0, 0, 0, 0, 0}));
    picture->m_filePath.clear();
}

TEST_F(TableFlowTest, MovingTheTableMovesItsCells)
{
    CTable* table = NewTable(CRect(0, 0, 400, 400),
                             "<table><tr><td type=\"1\"></td><td type=\"2\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    // The design view moves the selection.
    table->m_state |= STATE_SELECTED | STATE_PRIMARY;
    table->BeginMove(nullptr);
    table->TrackMove(nullptr, 100, 50);
    table->EndMove(nullptr);
    EXPECT_EQ(table->m_tableRect, CRect(100, 50, 500, 450));
    const CRect expected[] = {CRect(100, 50, 300, 450), CRect(300, 50, 500, 450)};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table->m_rows[0].cells[i].cellRect, expected[i]);
        const CRect& b = table->m_rows[0].cells[i].element->m_bounds;
        EXPECT_EQ(b.left, expected[i].left);
        EXPECT_EQ(b.top, expected[i].top);
    }
}

} // namespace

namespace {

bool AnyInk(const QImage& image, const CRect& r)
{
    for (int y = r.top; y <= r.bottom; ++y) {
        for (int x = r.left; x <= r.right; ++x) {
            if (!IsWhite(image, x, y))
                return true;
        }
    }
    return false;
}

QImage RenderPrinted(CElement& element, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        CDC dc(&painter, true);
        dc.SetDeviceCaps(96, 96, CSize(width, height));
        element.Draw(&dc, CRect(0, 0, width, height));
    }
    painter.end();
    return image;
}

class TableDrawTest : public TableTest
{
};

TEST_F(TableDrawTest, OutlineShowsOnScreenOnly)
{
    CTable* table = NewTable(CRect(10, 10, 110, 70),
                             "<table><tr><td></td><td></td></tr><tr><td></td></tr></table>");
    ASSERT_NE(table, nullptr);
    table->RecalcPosition(nullptr);
    const QImage screen = Render(*table, 120, 80);
    const struct
    {
        const char* name;
        CRect area;
        bool ink;
    } cases[] = {
        {"row boundary", CRect(12, 40, 108, 40), true},
        {"cell boundary in the first row", CRect(60, 12, 60, 38), true},
        {"no cell boundary in the second row", CRect(55, 42, 65, 67), false},
        {"left edge", CRect(10, 12, 10, 68), true},
        {"outside", CRect(0, 0, 119, 8), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnyInk(screen, c.area), c.ink);
    }
    EXPECT_FALSE(AnyInk(RenderPrinted(*table, 120, 80), CRect(0, 0, 119, 79)));
}

TEST_F(TableDrawTest, HiddenSeparatorIsNotPrinted)
{
    CTable* table = NewTable(CRect(0, 0, 100, 500), "<table><tr><td type=\"1\"></td></tr>"
                                                    "<tr separator><td type=\"1\"></td></tr>"
                                                    "<tr><td type=\"5\"></td></tr>"
                                                    "<tr separator><td type=\"1\"></td></tr>"
                                                    "<tr><td type=\"1\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    table->OnCellDataChanged();
    table->RecalcPosition(nullptr);
    ASSERT_EQ(table->m_rows[3].hidden, 1);
    const CRect separatorArea(5, 305, 95, 395);
    // S2's box, left where it was, frames this area: its sides are ink on
    // screen and nothing on paper.
    EXPECT_TRUE(AnyInk(Render(*table, 100, 500), CRect(0, 310, 4, 390)));
    const QImage printed = RenderPrinted(*table, 100, 500);
    EXPECT_FALSE(AnyInk(printed, CRect(0, 305, 99, 395)));
    EXPECT_FALSE(AnyInk(printed, separatorArea));
    // C, moved up under S1, is printed.
    EXPECT_TRUE(AnyInk(printed, CRect(0, 205, 4, 295)));
}

} // namespace

namespace {

// The sign's data paths as the table sees them: which elements it names.
class CRecordingPaths : public CDataPathSeam
{
public:
    void AddElement(CObject* element) override { named.insert(element); }
    void RemoveElement(CObject* element) override { named.erase(element); }
    int GetDependentCount(const CObject*) const override { return 0; }

    std::set<CObject*> named;
};

TEST_F(TableTest, CellsLeaveTheDataPathsBeforeTheyGo)
{
    CRecordingPaths paths;
    context.dataPaths = &paths;
    CTable* table = NewTable(CRect(0, 0, 500, 500),
                             "<table><tr><td type=\"1\"></td><td type=\"3\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    table->UpdateFieldLinks();
    EXPECT_EQ(paths.named.size(), 2u);

    // A refused format changes nothing; a new one takes the old cells out.
    EXPECT_FALSE(table->SetFormat(QStringLiteral("<table>")));
    EXPECT_EQ(paths.named.size(), 2u);
    ASSERT_TRUE(table->SetFormat(CTableFormat::DefaultText()));
    EXPECT_TRUE(paths.named.empty());

    ASSERT_TRUE(table->SetFormat(QStringLiteral("<table><tr><td type=\"2\"></td></tr></table>")));
    table->UpdateFieldLinks();
    EXPECT_EQ(paths.named.size(), 1u);
    ASSERT_TRUE(list.RemoveAndDelete(table));
    EXPECT_TRUE(paths.named.empty());
    context.dataPaths = nullptr;
}

} // namespace

namespace {

TEST_F(TableTest, CopyHasItsOwnCellsThatJoinTheListWithIt)
{
    CTable* table =
        NewTable(CRect(0, 0, 600, 300), "<table><tr><td type=\"1\" padding-horz=\"10%\"></td>"
                                        "<td type=\"9\"></td><td type=\"6\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    auto* nested = static_cast<CTable*>(table->m_rows[0].cells[1].element);
    ASSERT_TRUE(nested->SetFormat(QStringLiteral("<table><tr><td type=\"2\"></td></tr></table>")));
    ASSERT_EQ(list.GetCount(), 4);

    auto* copy = dynamic_cast<CTable*>(CloneElement(table));
    ASSERT_NE(copy, nullptr);
    // A copy stands outside the sign until it is added, cells and all.
    EXPECT_EQ(list.GetCount(), 4);
    ASSERT_TRUE(list.AddTail(copy));
    EXPECT_EQ(list.GetCount(), 8);
    ExpectCellsAccountedFor(list);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const STableCell& a = table->m_rows[0].cells[i];
        const STableCell& b = copy->m_rows[0].cells[i];
        EXPECT_EQ(b.type, a.type);
        EXPECT_EQ(b.cellRect, a.cellRect);
        EXPECT_EQ(b.innerRect, a.innerRect);
        EXPECT_EQ(b.element == nullptr, a.element == nullptr);
        if (b.element) {
            EXPECT_NE(b.element, a.element);
        }
    }
    auto* nestedCopy = static_cast<CTable*>(copy->m_rows[0].cells[1].element);
    EXPECT_EQ(nestedCopy->m_rows[0].cells[0].element->m_ownerTable, nestedCopy);

    ASSERT_TRUE(list.RemoveAndDelete(copy));
    EXPECT_EQ(list.GetCount(), 4);
    ExpectCellsAccountedFor(list);
}

TEST_F(TableTest, UndoBringsBackTheCellsOfTheFormerFormat)
{
    CTable* table = NewTable(CRect(0, 0, 600, 300),
                             "<table><tr><td type=\"1\"></td><td type=\"2\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    CUndoHistory& history = TheUndoHistory();
    history.Record(UNDO_CHANGED, table);
    ASSERT_TRUE(table->SetFormat(QStringLiteral("<table><tr><td type=\"8\"></td></tr></table>")));
    ASSERT_EQ(list.GetCount(), 2);

    ASSERT_TRUE(history.Undo(nullptr));
    ExpectCellsAccountedFor(list);
    ASSERT_EQ(list.GetCount(), 3);
    CTable* restored = FreeTable(list);
    ASSERT_NE(restored, nullptr);
    ASSERT_EQ(restored->m_rows[0].cells.size(), 2u);
    EXPECT_EQ(restored->m_rows[0].cells[0].element->GetTypeCode(), TYPE_BOX);
    EXPECT_EQ(restored->m_rows[0].cells[1].element->GetTypeCode(), TYPE_ELLIPSE);

    ASSERT_TRUE(history.Redo(nullptr));
    ExpectCellsAccountedFor(list);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(FreeTable(list)->m_rows[0].cells[0].element->GetTypeCode(), TYPE_SYMBOL);
}

} // namespace

namespace {

TEST_F(TableTest, NewCellsShowTheirSamples)
{
    CTable* table =
        NewTable(CRect(0, 0, 900, 300), "<table><tr><td type=\"0\"></td><td type=\"3\"></td>"
                                        "<td type=\"8\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    const STableRow& row = table->m_rows[0];
    auto* line = dynamic_cast<CLine*>(row.cells[0].element);
    ASSERT_NE(line, nullptr);
    // A level line, laid into its cell.
    EXPECT_EQ(line->m_start.y, line->m_end.y);
    EXPECT_NE(line->m_start.x, line->m_end.x);
    for (const CPoint& p : {line->m_start, line->m_end}) {
        EXPECT_GE(p.x, row.cells[0].cellRect.left);
        EXPECT_LE(p.x, row.cells[0].cellRect.right);
    }
    EXPECT_EQ(row.cells[1].element->GetSampleData(), QStringLiteral("Sample Text"));
    EXPECT_EQ(row.cells[2].element->GetSampleData(), QStringLiteral("!"));
}

} // namespace

namespace {

// A picture cell that gets a file through its data re-flows its table: the
// picture itself tells the table.
TEST_F(TableFlowTest, PictureDataReflowsItsTable)
{
    CTestHome home;
    const QString photo = home.FilePath(QStringLiteral("photo.png"));
    QImage pixels(40, 30, QImage::Format_RGB32);
    pixels.fill(Qt::blue);
    ASSERT_TRUE(pixels.save(photo));

    CTable* table = NewTable(CRect(0, 0, 300, 900),
                             "<table><tr><td type=\"1\"></td></tr><tr><td type=\"5\"></td></tr>"
                             "<tr><td type=\"1\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    auto* picture = static_cast<CImage*>(table->m_rows[1].cells[0].element);
    picture->m_dataSource = SOURCE_KEYBOARD;
    table->OnCellDataChanged();
    // Rows of a third each: 900 x 0.3333, cut down.
    EXPECT_EQ(table->m_rows[2].cells[0].cellRect.top, 299);

    picture->SetDataText(photo, SOURCE_KEYBOARD, QString(), FALSE);
    ASSERT_FALSE(picture->IsEmpty());
    EXPECT_EQ(table->m_rows[2].cells[0].cellRect.top, 598);

    picture->SetDataText(QString(), SOURCE_KEYBOARD, QString(), FALSE);
    ASSERT_TRUE(picture->IsEmpty());
    EXPECT_EQ(table->m_rows[2].cells[0].cellRect.top, 299);
}

} // namespace

namespace {

// Many tables, and one table of many cells, read back in time proportional
// to the file: cells are neither named against the whole sign nor looked for
// in it one by one.
TEST_F(TableRecordTest, LargeSignsReadInOnePass)
{
    auto makeTable = [](int cells) {
        auto* table = new CTable;
        table->m_tableRect = CRect(0, 0, 1000, 1000);
        STableRow& row = table->m_rows.emplace_back();
        row.height = CTableFormat::kFull;
        for (int i = 0; i < cells; ++i) {
            STableCell& cell = row.cells.emplace_back();
            cell.type = TYPE_BOX;
            cell.element = new CBox;
            cell.element->m_ownedByTable = 1;
            cell.element->m_ownerTable = table;
        }
        return table;
    };
    // Sixteen times as many tables and cells take about sixteen times as long.
    const auto read = [&](int tables) -> qint64 {
        const int bigCells = tables * 20 / 3;
        QByteArray bytes;
        {
            std::vector<std::unique_ptr<CTable>> made;
            for (int i = 0; i < tables; ++i)
                made.emplace_back(makeTable(1));
            made.emplace_back(makeTable(bigCells));
            CArchive ar(&bytes, CArchive::store);
            ar.WriteCount(DWORD(made.size()));
            for (const auto& table : made)
                ar.WriteObject(table.get());
            ar.Flush();
        }
        const CCpuTimer timer;
        LoadList(list, bytes);
        const qint64 spent = timer.Nanoseconds();
        EXPECT_EQ(list.GetCount(), (tables + 1) + tables + bigCells); // tables and cells
        list.DeleteAll();
        return spent;
    };
    EXPECT_LT(Growth(read, 3000), kLinearGrowthBound);
    list.DeleteAll();
}

} // namespace

namespace {

// A new format of the same rows and cells keeps the elements of the cells
// whose type it keeps; another shape of table is built anew; a refused
// text changes nothing.
TEST_F(TableTest, ApplyingAFormatKeepsTheCellsWhoseTypeStays)
{
    CTable* table =
        NewTable(CRect(0, 0, 1000, 400), "<table><tr><td type=\"3\"></td><td type=\"1\"></td></tr>"
                                         "<tr><td type=\"6\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    CElement* text = table->m_rows[0].cells[0].element;
    CElement* box = table->m_rows[0].cells[1].element;
    text->SetSampleData(nullptr, QStringLiteral("Kept"));

    ASSERT_TRUE(
        table->ApplyFormat(QStringLiteral("<table><tr height=\"25%\"><td width=\"70%\" type=\"3\" "
                                          "padding-horz=\"10%\"></td><td type=\"2\"></td></tr>"
                                          "<tr><td type=\"8\"></td></tr></table>")));
    const STableRow& top = table->m_rows[0];
    EXPECT_EQ(top.cells[0].element, text);
    EXPECT_EQ(text->GetSampleData(), QStringLiteral("Kept"));
    EXPECT_EQ(top.cells[0].innerRect, CRect(70, 0, 630, 100));
    ASSERT_NE(top.cells[1].element, nullptr);
    EXPECT_EQ(top.cells[1].element->GetTypeCode(), TYPE_ELLIPSE);
    EXPECT_FALSE(list.Contains(box));
    ASSERT_NE(table->m_rows[1].cells[0].element, nullptr);
    EXPECT_EQ(table->m_rows[1].cells[0].element->GetSampleData(), QStringLiteral("!"));
    EXPECT_EQ(list.GetCount(), 4);
    ExpectCellsAccountedFor(list);

    // Refused: the table and its cells as they were.
    const QString before = table->m_formatText;
    EXPECT_FALSE(table->ApplyFormat(QStringLiteral("<table><tr><td type=\"3\"></td></tr>")));
    EXPECT_EQ(table->m_formatText, before);
    EXPECT_EQ(table->m_rows[0].cells[0].element, text);
    EXPECT_EQ(list.GetCount(), 4);

    // Another shape: every cell made anew.
    ASSERT_TRUE(table->ApplyFormat(QStringLiteral("<table><tr><td type=\"3\"></td></tr></table>")));
    EXPECT_FALSE(list.Contains(text));
    EXPECT_EQ(table->m_rows[0].cells[0].element->GetSampleData(), QStringLiteral("Sample Text"));
    EXPECT_EQ(list.GetCount(), 2);
    ExpectCellsAccountedFor(list);
}

TEST_F(TableTest, TheCellUnderAPointIsFoundAndCtrlReachesIntoANestedTable)
{
    CTable* table = NewTable(CRect(0, 0, 900, 300),
                             "<table><tr><td width=\"30%\" type=\"3\"></td><td width=\"30%\" "
                             "type=\"6\"></td><td type=\"9\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    auto* nested = static_cast<CTable*>(table->m_rows[0].cells[2].element);
    ASSERT_TRUE(nested->SetFormat(QStringLiteral(
        "<table><tr><td type=\"1\"></td></tr><tr><td type=\"2\"></td></tr></table>")));
    table->Layout(nullptr);
    const struct
    {
        CPoint point;
        unsigned flags;
        CElement* expected;
    } cases[] = {
        {CPoint(100, 100), 0, table->m_rows[0].cells[0].element},
        {CPoint(400, 100), 0, nullptr}, // a cell without an element
        {CPoint(700, 50), 0, nested},
        {CPoint(700, 50), CTable::kControlKey, nested->m_rows[0].cells[0].element},
        {CPoint(700, 250), CTable::kControlKey, nested->m_rows[1].cells[0].element},
        {CPoint(1000, 100), 0, nullptr}, // outside the table
        {CPoint(100, -5), CTable::kControlKey, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y << " " << c.flags);
        EXPECT_EQ(table->SelectCellAt(nullptr, c.flags, c.point), c.expected);
    }
}

// Undo of a cell's own edit puts the earlier cell in its place in the
// table; a cell's step still finds it after its table was swapped for a
// copy and back.
TEST_F(TableTest, ACellsOwnUndoStepsSwapItInItsTable)
{
    CTable* table = NewTable(CRect(0, 0, 600, 300),
                             "<table><tr><td type=\"3\"></td><td type=\"1\"></td></tr></table>");
    ASSERT_NE(table, nullptr);
    CUndoHistory& history = TheUndoHistory();
    CElement* text = table->m_rows[0].cells[0].element;
    history.Record(UNDO_CHANGED, text);
    text->SetSampleData(nullptr, QStringLiteral("Edited"));
    // The box cell's pane is shown while the table changes.
    table->m_rows[0].cells[1].highlighted = 1;
    history.Record(UNDO_CHANGED, table);
    table->m_tableRect.OffsetRect(100, 0);
    table->Layout(nullptr);

    // The table's step, then the cell's.
    ASSERT_TRUE(history.Undo(nullptr));
    CTable* restored = FreeTable(list);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->m_tableRect.left, 0);
    ASSERT_TRUE(history.Undo(nullptr));
    ASSERT_EQ(FreeTable(list), restored);
    CElement* cell = restored->m_rows[0].cells[0].element;
    EXPECT_EQ(cell->GetSampleData(), QStringLiteral("Sample Text"));
    EXPECT_EQ(cell->m_ownerTable, restored);
    ExpectCellsAccountedFor(list);
    EXPECT_EQ(list.GetCount(), 3);

    ASSERT_TRUE(history.Redo(nullptr));
    ASSERT_TRUE(history.Redo(nullptr));
    CTable* again = FreeTable(list);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_tableRect.left, 100);
    EXPECT_EQ(again->m_rows[0].cells[0].element->GetSampleData(), QStringLiteral("Edited"));
    EXPECT_FALSE(again->m_rows[0].cells[1].highlighted) << "no pane shows it any more";
    ExpectCellsAccountedFor(list);
    EXPECT_EQ(list.GetCount(), 3);
    // Deleting the table leaves nothing behind (the history keeps copies).
    ASSERT_TRUE(list.RemoveAndDelete(again));
    EXPECT_EQ(list.GetCount(), 0);
    history.Clear();
}

} // namespace
