#include "AppContext.h"
#include "Messages.h"
#include "TestElements.h"

#include <gtest/gtest.h>

namespace {

// Each test gets its own sign: a fresh element list and settings.
class ElementTest : public ::testing::Test
{
protected:
    CAppContext context;
    CMessageResponder messages;
    CElementList& list = TheElementList();
};

// A common record in the layout of a given file version, followed by a
// marker that must be left unread.
QByteArray CommonRecord(int version, int kind)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << QString("Text1") << DWORD(kind) << DWORD(3) << QString("Prompt") << QString("Field")
       << DWORD(0) << DWORD(1);
    if (version >= 110) {
        ar << DWORD(1) << DWORD(1) << DWORD(0) << DWORD(2) << QString("09") << DWORD(1)
           << QString("pre") << QString("suf") << DWORD(2) << DWORD(8) << DWORD(1) << DWORD(1)
           << BYTE('0');
        if (version >= 240)
            ar << DWORD(1);
    }
    ar << DWORD(0xDEADBEEF);
    return bytes;
}

CElement ReadCommon(int version, int kind)
{
    App().fileVersion = version;
    QByteArray bytes = CommonRecord(version, kind);
    CArchive ar(&bytes, CArchive::load);
    CElement element;
    element.Serialize(ar);
    EXPECT_EQ(ar.ReadDWord(), 0xDEADBEEFu) << "record length for version " << version;
    return element;
}

} // namespace

TEST_F(ElementTest, CommonRecordRoundTrip)
{
    CElement e;
    e.m_name = "Price_1";
    e.m_dataSource = SOURCE_COMBINATION;
    e.m_sourceName = "Combo";
    e.m_prompt = "Enter \"price\"";
    e.m_dataEntryIndex = 4;
    e.m_dbReadOnly = 0;
    e.m_notPrinted = 1;
    e.m_startDataOnly = 1;
    e.m_mustEnterData = 1;
    e.m_useSampleData = 0;
    e.m_filterType = 4;
    e.m_filterList = "0123456789.";
    e.m_caseCoercion = 2;
    e.m_prefix = "\u00A3";
    e.m_suffix = "p";
    e.m_lengthConstraint = 3;
    e.m_lengthLimit = 6;
    e.m_truncation = 1;
    e.m_paddingMode = 2;
    e.m_paddingChar = ' ';
    e.m_nativePrint = 1;

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        e.Serialize(ar);
    }
    // name, then the kind as a DWORD right after it
    EXPECT_EQ(bytes.left(8), QByteArray("\x07Price_1"));
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("\x09\0\0\0", 4));

    CElement r;
    CArchive ar(&bytes, CArchive::load);
    r.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    EXPECT_EQ(r.m_name, e.m_name);
    EXPECT_EQ(r.m_dataSource, e.m_dataSource);
    EXPECT_EQ(r.m_sourceName, e.m_sourceName);
    EXPECT_EQ(r.m_prompt, e.m_prompt);
    EXPECT_EQ(r.m_dataEntryIndex, 4);
    EXPECT_EQ(r.m_dbReadOnly, 0);
    EXPECT_EQ(r.m_notPrinted, 1);
    EXPECT_EQ(r.m_startDataOnly, 1);
    EXPECT_EQ(r.m_mustEnterData, 1);
    EXPECT_EQ(r.m_useSampleData, 0);
    EXPECT_EQ(r.m_filterType, 4);
    EXPECT_EQ(r.m_filterList, e.m_filterList);
    EXPECT_EQ(r.m_caseCoercion, 2);
    EXPECT_EQ(r.m_prefix, e.m_prefix);
    EXPECT_EQ(r.m_suffix, "p");
    EXPECT_EQ(r.m_lengthConstraint, 3);
    EXPECT_EQ(r.m_lengthLimit, 6);
    EXPECT_EQ(r.m_truncation, 1);
    EXPECT_EQ(r.m_paddingMode, 2);
    EXPECT_EQ(r.m_paddingChar, ' ');
    EXPECT_EQ(r.m_nativePrint, 1);
}

TEST_F(ElementTest, OldFilesStopEarlyAndKeepDefaults)
{
    const CElement v105 = ReadCommon(105, 1);
    EXPECT_EQ(v105.m_name, "Text1");
    EXPECT_EQ(v105.m_notPrinted, 1);
    EXPECT_EQ(v105.m_startDataOnly, 0);
    EXPECT_EQ(v105.m_mustEnterData, 0);
    EXPECT_EQ(v105.m_useSampleData, 1);
    EXPECT_EQ(v105.m_filterType, 0);
    EXPECT_EQ(v105.m_lengthLimit, -1);

    const CElement v239 = ReadCommon(239, 1);
    EXPECT_EQ(v239.m_mustEnterData, 1);
    EXPECT_EQ(v239.m_filterType, 2);
    EXPECT_EQ(v239.m_paddingChar, '0');
    EXPECT_EQ(v239.m_nativePrint, 0);

    EXPECT_EQ(ReadCommon(240, 1).m_nativePrint, 1);
}

TEST_F(ElementTest, OldKindNumbersAreRemapped)
{
    struct Case
    {
        int version, stored, expected;
    };
    const Case cases[] = {
        {320, 8, 10}, {320, 7, 7},   {329, 9, 11}, {330, 8, 8},
        {350, 9, 10}, {399, 10, 11}, {400, 9, 9},  {514, 10, 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCommon(c.version, c.stored).m_dataSource, c.expected)
            << "version " << c.version << " kind " << c.stored;
}

TEST_F(ElementTest, BreakingADatabaseLinkKeepsTheSourceName)
{
    CElement e;
    e.SetDataSource(SOURCE_DATABASE, "Price");
    e.BreakDataLink();
    EXPECT_EQ(e.m_dataSource, SOURCE_KEYBOARD);
    EXPECT_EQ(e.m_sourceName, "Price");
    e.SetDataSource(SOURCE_OPTION_LIST, "Sizes");
    e.BreakDataLink();
    EXPECT_EQ(e.m_dataSource, SOURCE_OPTION_LIST);
}

namespace {

// An element whose entered text is set directly.
class CTypedElement : public CElement
{
public:
    QString text;
    QString GetText() const override { return text; }
};

} // namespace

TEST_F(ElementTest, ValidateDataChecksPresenceAndLength)
{
    struct Case
    {
        int constraint;
        int limit;
        bool mustEnter;
        QString text;
        bool ok;
        QString message;
    };
    const Case cases[] = {
        {1, 5, false, "abc", false, "Data for Code is too short ( min = 5 )."},
        {1, 5, false, "abcdef", false, "Data for Code is too long ( max = 5 )."},
        {1, 5, false, "abcde", true, ""},
        {2, 5, false, "abc", true, ""},
        {2, 5, false, "abcdef", false, "Data for Code is too long ( max = 5 )."},
        {3, 5, false, "abc", false, "Data for Code is too short ( min = 5 )."},
        {3, 5, false, "abcdef", true, ""},
        {0, 5, true, "", false, "Data must be supplied for Code."},
        {0, 5, false, "", true, ""},
        // prefix and suffix do not count as entered data
        {2, 3, false, "<<abc>>", true, ""},
    };
    for (const Case& c : cases) {
        CTypedElement e;
        e.m_name = "Code";
        e.m_dataSource = SOURCE_KEYBOARD;
        e.m_lengthConstraint = c.constraint;
        e.m_lengthLimit = c.limit;
        e.m_mustEnterData = c.mustEnter;
        if (c.text.startsWith("<<")) {
            e.m_prefix = "<<";
            e.m_suffix = ">>";
        }
        e.text = c.text;
        messages.Clear();
        EXPECT_EQ(e.ValidateData() != 0, c.ok) << c.constraint << " " << c.text.toStdString();
        EXPECT_EQ(messages.LastText(), c.message);
    }

    CTypedElement fixed;
    fixed.m_mustEnterData = 1;
    EXPECT_TRUE(fixed.ValidateData());
}

TEST_F(ElementTest, FormatDataTextAppliesTheDataRules)
{
    struct Case
    {
        const char* name;
        int filter;
        QString filterList;
        int coercion;
        int constraint, limit, truncation, padding;
        char pad;
        QString prefix, suffix;
        QString in, out;
    };
    const Case cases[] = {
        {"digits and breaks", 2, "", 0, 0, -1, 0, 0, 0, "", "", "a1b2\r\n3 4\t", "12\r\n34"},
        {"letters and spaces", 1, "", 0, 0, -1, 0, 0, 0, "", "", "ab 1-c", "ab c"},
        {"letters digits spaces", 3, "", 0, 0, -1, 0, 0, 0, "", "", "a-1 b_2", "a1 b2"},
        {"list", 4, "xy", 0, 0, -1, 0, 0, 0, "", "", "axbyc", "xy"},
        {"upper", 0, "", 1, 0, -1, 0, 0, 0, "", "", "mIxEd", "MIXED"},
        {"lower", 0, "", 2, 0, -1, 0, 0, 0, "", "", "mIxEd", "mixed"},
        {"word capitals", 0, "", 3, 0, -1, 0, 0, 0, "", "", "hello, WORLD and fOO",
         "Hello, WORLD And Foo"},
        {"sentence capitals", 0, "", 4, 0, -1, 0, 0, 0, "", "", "one. two", "One. Two"},
        {"sentence after line feed", 0, "", 4, 0, -1, 0, 0, 0, "", "", "A B\nC", "A b\nC"},
        {"keep rightmost", 0, "", 0, 2, 3, 1, 0, 0, "", "", "12345", "345"},
        {"keep leftmost", 0, "", 0, 1, 3, 2, 0, 0, "", "", "12345", "123"},
        {"no truncation", 0, "", 0, 2, 3, 0, 0, 0, "", "", "12345", "12345"},
        {"pad left", 0, "", 0, 1, 5, 0, 1, '0', "", "", "42", "00042"},
        {"pad right", 0, "", 0, 3, 5, 0, 2, '*', "", "", "42", "42***"},
        {"pad needs a minimum", 0, "", 0, 2, 5, 0, 1, '0', "", "", "42", "42"},
        {"prefix and suffix", 0, "", 0, 0, -1, 0, 0, 0, "$", "p", "5", "$5p"},
        {"not on empty", 2, "", 0, 0, -1, 0, 0, 0, "$", "p", "abc", ""},
    };
    for (const Case& c : cases) {
        CElement e;
        e.m_dataSource = SOURCE_KEYBOARD;
        e.m_filterType = c.filter;
        e.m_filterList = c.filterList;
        e.m_caseCoercion = c.coercion;
        e.m_lengthConstraint = c.constraint;
        e.m_lengthLimit = c.limit;
        e.m_truncation = c.truncation;
        e.m_paddingMode = c.padding;
        e.m_paddingChar = BYTE(c.pad);
        e.m_prefix = c.prefix;
        e.m_suffix = c.suffix;
        QString text = c.in;
        e.FormatDataText(text);
        EXPECT_EQ(text, c.out) << c.name;
    }

    CElement fixed;
    fixed.m_caseCoercion = 1;
    QString text = "abc";
    fixed.FormatDataText(text);
    EXPECT_EQ(text, "abc");
}

TEST_F(ElementTest, DefaultNamesAreUniqueIgnoringCase)
{
    MakeRect(list, "bOx1", CRect(0, 0, 10, 10));
    auto* second = new CTestRect;
    list.AddTail(second);
    second->AssignDefaultName();
    EXPECT_EQ(second->m_name, "Box2");
    EXPECT_EQ(second->m_prompt, "Box2");
    auto* third = new CTestRect;
    list.AddTail(third);
    third->AssignDefaultName();
    EXPECT_EQ(third->m_name, "Box3");
}

TEST_F(ElementTest, SelectedElementHasHandlesAroundIt)
{
    CTestView view;
    CTestRect e;
    e.m_rect = CRect(100, 100, 200, 150);
    e.Select(&view, 2);
    EXPECT_TRUE(e.IsSelected());
    EXPECT_TRUE(e.IsPrimary());
    // invalid rect 99,99 - 202,152: w 103, h 53; handles 8 x 8 (+1)
    EXPECT_EQ(e.m_invalidRect, CRect(99, 99, 202, 152));
    EXPECT_EQ(e.m_handles[0], CRect(91, 91, 100, 100));
    EXPECT_EQ(e.m_handles[2], CRect(202, 91, 211, 100));
    EXPECT_EQ(e.m_handles[4], CRect(202, 152, 211, 161));
    EXPECT_EQ(e.m_handles[6], CRect(91, 152, 100, 161));
    EXPECT_EQ(e.m_handles[1], CRect(146, 91, 155, 100));
    EXPECT_EQ(e.m_handles[3], CRect(202, 121, 211, 130));
    EXPECT_EQ(e.m_bounds, CRect(91, 91, 211, 161));
    // the old and the new area were repainted
    EXPECT_EQ(view.invalidated.size(), 2u);

    e.Select(&view, 0);
    EXPECT_FALSE(e.IsSelected());
    EXPECT_EQ(e.m_bounds, e.m_rect);
}

TEST_F(ElementTest, HandlesAreHitOnlyWhenSelectedAndEnabled)
{
    CTestRect e;
    e.m_rect = CRect(100, 100, 200, 150);
    e.m_disabledHandle = HANDLE_RIGHT;
    e.m_state = STATE_SELECTED;
    e.UpdateRects(nullptr);
    const CPoint topLeft = e.m_handles[0].TopLeft();
    const CPoint right = e.m_handles[3].TopLeft();
    EXPECT_EQ(e.HitTestHandle(topLeft.x, topLeft.y), HANDLE_TOP_LEFT);
    EXPECT_EQ(e.HitTestHandle(right.x, right.y), HANDLE_NONE);
    e.m_state = 0;
    EXPECT_EQ(e.HitTestHandle(topLeft.x, topLeft.y), HANDLE_NONE);
}

TEST_F(ElementTest, DataLinkedElementsGrowByTheirOutline)
{
    CTestRect e;
    e.m_rect = CRect(10, 10, 20, 20);
    e.m_dataSource = SOURCE_KEYBOARD;
    e.UpdateRects(nullptr);
    EXPECT_EQ(e.m_bounds, CRect(9, 9, 22, 22));
    e.UpdateRects(nullptr); // recomputed from the geometry, not grown again
    EXPECT_EQ(e.m_bounds, CRect(9, 9, 22, 22));
}

namespace {

class CGridSnap : public CSnapSeam
{
public:
    CPoint SnapPoint(int x, int y) const override
    {
        auto snap = [](int v) { return ((v + (v >= 0 ? 5 : -5)) / 10) * 10; };
        return {snap(x), snap(y)};
    }
    void SnapRectToGuides(CViewSeam*, CRect&) const override {}
};

} // namespace

TEST_F(ElementTest, MoveTracksAndCommits)
{
    CGridSnap grid;
    App().snap = &grid;
    CTestRect e;
    e.m_rect = CRect(100, 100, 150, 130);
    e.m_state = STATE_SELECTED; // the canvas selects before it moves
    e.UpdateRects(nullptr);
    e.BeginMove(nullptr);
    EXPECT_TRUE(e.m_state & STATE_TRACKING);
    EXPECT_EQ(e.m_trackRect, CRect(100, 100, 150, 130));
    e.TrackMove(nullptr, 23, -38); // snapped to 120, 60
    EXPECT_EQ(e.m_trackRect, CRect(120, 60, 170, 90));
    EXPECT_EQ(e.m_rect, CRect(100, 100, 150, 130)); // not yet applied
    e.CommitTrack(nullptr);
    EXPECT_TRUE(e.m_state & STATE_TRACK_COMMITTED);
    EXPECT_EQ(e.m_rect, CRect(120, 60, 170, 90));
    e.TrackMove(nullptr, -21, 0);
    EXPECT_FALSE(e.m_state & STATE_TRACK_COMMITTED);
    e.EndMove(nullptr);
    EXPECT_EQ(e.m_state, DWORD(STATE_SELECTED));
    EXPECT_EQ(e.m_rect, CRect(80, 100, 130, 130));
    App().snap = nullptr;
}

TEST_F(ElementTest, ResizeMovesTheGrabbedEdges)
{
    struct Case
    {
        int handle, dx, dy;
        bool keepAspect;
        CRect expected;
    };
    // start 100,100 - 300,200: ratio 2
    const Case cases[] = {
        {HANDLE_TOP_LEFT, 10, 20, false, CRect(110, 120, 300, 200)},
        {HANDLE_RIGHT, 50, 99, false, CRect(100, 100, 350, 200)},
        {HANDLE_BOTTOM, 0, 40, false, CRect(100, 100, 300, 240)},
        // edge handles never keep the aspect
        {HANDLE_TOP, 0, -50, true, CRect(100, 50, 300, 200)},
        // corner with aspect: 240 x 100 is wider than 2:1, so height follows
        {HANDLE_BOTTOM_RIGHT, 40, 0, true, CRect(100, 100, 340, 220)},
        // 200 x 140 is narrower than 2:1, so width follows
        {HANDLE_BOTTOM_RIGHT, 0, 40, true, CRect(100, 100, 380, 240)},
        {HANDLE_TOP_LEFT, 0, -40, true, CRect(20, 60, 300, 200)},
        {HANDLE_BOTTOM_LEFT, 40, 40, true, CRect(20, 100, 300, 240)},
    };
    for (const Case& c : cases) {
        CTestRect e;
        e.m_rect = CRect(100, 100, 300, 200);
        e.m_state = STATE_SELECTED;
        e.UpdateRects(nullptr);
        e.BeginResize(nullptr, c.handle);
        e.TrackResize(nullptr, c.dx, c.dy, c.keepAspect);
        e.EndResize(nullptr);
        EXPECT_EQ(e.m_rect, c.expected) << "handle " << c.handle;
    }
}

TEST_F(ElementTest, ElementsThatKeepTheirAspectAlwaysDo)
{
    CTestRect e;
    e.m_keepAspect = true;
    e.m_rect = CRect(0, 0, 100, 50);
    e.m_state = STATE_SELECTED;
    e.UpdateRects(nullptr);
    e.BeginResize(nullptr, HANDLE_BOTTOM_RIGHT);
    e.TrackResize(nullptr, 100, 0, FALSE);
    e.EndResize(nullptr);
    EXPECT_EQ(e.m_rect, CRect(0, 0, 200, 100));
}

TEST_F(ElementTest, ScaleToPaper)
{
    EXPECT_DOUBLE_EQ(CElement::ScaleFactor(1000, 500, 2000, 2000, true), 0.25);
    EXPECT_DOUBLE_EQ(CElement::ScaleFactor(1000, 500, 2000, 2000, false), 0.25);
    EXPECT_DOUBLE_EQ(CElement::ScaleFactor(3000, 1500, 1000, 2000, false), 1.5);

    CTestRect e;
    e.m_rect = CRect(101, -33, 301, 67);
    e.UpdateRects(nullptr);
    e.ScaleToPaper(nullptr, 0.5);
    EXPECT_EQ(e.m_rect, CRect(51, -17, 151, 33));
    EXPECT_EQ(e.m_state, 0u);
}

TEST_F(ElementTest, DataTextComesFromTheLink)
{
    class CFakeLink : public CDataLinkSeam
    {
    public:
        int kind = 0;
        int records = 0;
        int GetLinkKind() const override { return kind; }
        QString GetFieldValue(const QString& field) override { return "value of " + field; }
        int GetStoreRecordCount() override { return records; }
        bool TableHasColumn(const QString&) override { return true; }
    } link;

    class CSampleElement : public CElement
    {
    public:
        QString GetSampleData() const override { return "sample"; }
    } e;
    e.m_name = "Title";
    e.SetDataSource(SOURCE_DATABASE, "Price");
    EXPECT_EQ(e.GetDataText(FALSE), ""); // no link yet
    App().dataLink = &link;
    EXPECT_EQ(e.GetDataText(FALSE), "value of Price");

    e.SetDataSource(SOURCE_KEYBOARD, "");
    EXPECT_EQ(e.GetDataText(FALSE), "sample");
    link.kind = 1;
    link.records = 2;
    EXPECT_EQ(e.GetDataText(FALSE), "value of Title");
    EXPECT_EQ(e.GetDataText(TRUE), "sample");
    e.m_useSampleData = 0;
    EXPECT_EQ(e.GetDataText(TRUE), "");
    e.SetDataSource(SOURCE_FIXED, "");
    EXPECT_EQ(e.GetDataText(FALSE), "");
    App().dataLink = nullptr;
}
