// The text element: settings for new text and the factory, lines and
// justification, creation and resizing, the record and its version gates,
// copies, data entry, colours, drawing and the text export.
#include "Text.h"
#include "AppContext.h"
#include "Archive.h"
#include "Box.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "Helpers.h"
#include "Line.h"
#include "Messages.h"
#include "ModelClasses.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <numbers>
#include <ostream>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "CRect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr COLORREF kRed = MakeRGB(255, 0, 0);
constexpr COLORREF kBlue = MakeRGB(0, 0, 255);
constexpr COLORREF kGreen = MakeRGB(0, 160, 0);

// Every character of a height-h font is h / 2 tenths wide, its line
// h + h / 10 high, its ascent four fifths of h; the em is four fifths of
// the cell, so h tenths are h / 1.25 x 72 / 254 points.
class SyntheticMetrics : public CFontMetricsProvider
{
public:
    static CTextMetrics Metrics(const LogFontFields& lf)
    {
        CTextMetrics tm;
        tm.tmHeight = lf.lfHeight;
        tm.tmAscent = lf.lfHeight * 4 / 5;
        tm.tmDescent = tm.tmHeight - tm.tmAscent;
        tm.tmInternalLeading = lf.lfHeight / 5;
        tm.tmExternalLeading = lf.lfHeight / 10;
        tm.tmAveCharWidth = lf.lfHeight / 2;
        return tm;
    }
    bool Measure(const LogFontFields& lf, CFontMeasures& out) override
    {
        out.tm = Metrics(lf);
        out.widths.fill(5 * lf.lfHeight);
        out.face = lf.lfFaceName;
        return true;
    }
    bool GetTextMetrics(const LogFontFields& lf, CTextMetrics& out) override
    {
        out = Metrics(lf);
        return true;
    }
    CFaceInfo EnumerateFace(const QString&) override
    {
        CFaceInfo info;
        info.found = true;
        info.pitchAndFamily = 0x22;
        info.tmPitchAndFamily = 0x07;
        return info;
    }
};

CLogFont MakeFont(int height, const QString& face = QStringLiteral("Plain"))
{
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfHeight = height;
    lf.lfFaceName = face;
    return CLogFont(lf);
}

QString Lines(const CText& text)
{
    QStringList lines;
    for (const auto& line : text.m_lines)
        lines << line->GetText();
    return lines.join(u'|');
}

std::vector<CPoint> Origins(const CText& text)
{
    std::vector<CPoint> origins;
    for (const auto& line : text.m_lines)
        origins.push_back(line->GetOrigin());
    return origins;
}

// A bullet list that lays its items where it is told, indents by a fixed
// amount and archives that amount.
class CFakeBullets : public CTextBullets
{
public:
    int indent = 30;
    std::vector<CPoint> items;
    int textHeight = 0;

    CTextBullets* Clone() const override { return new CFakeBullets(*this); }
    BOOL Layout(int count, const std::vector<CPoint>* positions, int height) override
    {
        items = positions ? *positions : std::vector<CPoint>(size_t(std::max(count, 0)));
        textHeight = height;
        return TRUE;
    }
    int GetIndent() const override { return items.empty() ? 0 : indent; }
    void Clear() override { items.clear(); }
    void RotateItems(CPoint centre, int degrees) override
    {
        for (CPoint& p : items)
            RotatePoint(p, centre.x, centre.y, degrees);
    }
    void DrawItems(CDC*) override {}
    CBulletSettings GetSettings() const override
    {
        CBulletSettings s;
        s.style = 1;
        s.symbol = 34;
        s.prefix = "(";
        s.suffix = ")";
        s.startValue = 3;
        s.offset = indent;
        s.relativeSize = 80;
        return s;
    }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << DWORD(indent);
        else
            indent = ar.ReadInt();
    }
};

CTextBullets* MakeFakeBullets()
{
    return new CFakeBullets;
}

// A table that counts the data changes of its cells.
class CCountingTable : public CElement
{
public:
    int changes = 0;
    void OnCellDataChanged() override { ++changes; }
};

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

// Text on synthetic fonts; new text takes a 20-high font.
class TextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RegisterModelElementClasses();
        CFontMetricsProvider::Install(std::make_unique<SyntheticMetrics>());
        CTextDefaults::Current().font = MakeFont(20);
    }
    void TearDown() override
    {
        RestoreTestElementCopies();
        RegisterTextBullets(nullptr);
    }

    // A text at the position showing the mark-up, laid out without copy-fit.
    static std::unique_ptr<CText> Make(const QString& markup, CPoint position = CPoint(100, 200))
    {
        auto text = std::make_unique<CText>();
        text->m_position = position;
        text->m_formatRect = CRect(position, position);
        text->SetSampleData(nullptr, markup);
        return text;
    }

    CAppContext context;
    CMessageResponder messages;
    CElementList& list = TheElementList();
};

} // namespace

// --- new text and the factory ----------------------------------------------------

TEST_F(TextTest, FactoryMakesTextWithTheSettingsForNewText)
{
    CTextDefaults::Current().colour = kBlue;
    CTextElementDefaults& d = App().Get<CTextElementDefaults>();
    d.colouredBackground = 1;
    d.backgroundColour = kGreen;
    d.horzJustify = JUSTIFY_RIGHT;
    d.vertJustify = JUSTIFY_BOTTOM;
    d.minHeight = 1;    // snapped to the smallest height
    d.maxHeight = 9000; // and to the largest
    d.preserveLineBreaks = 0;

    CElement* first = list.CreateElement("CText");
    CElement* second = list.CreateElement("CText");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetRuntimeClass(), RUNTIME_CLASS(CText));
    EXPECT_EQ(first->m_name, "Text1");
    EXPECT_EQ(first->m_prompt, "Text1");
    EXPECT_EQ(second->m_name, "Text2");
    EXPECT_EQ(first->GetTypeCode(), TYPE_TEXT);
    EXPECT_EQ(first->GetTypeName(), "Text");
    EXPECT_EQ(first->GetContextMenuId(), 128);

    const auto* t = static_cast<CText*>(first);
    EXPECT_EQ(t->m_text, "Sample Text");
    EXPECT_EQ(t->m_sampleText, "Sample Text");
    EXPECT_EQ(t->GetText(), "Sample Text");
    EXPECT_EQ(t->GetSampleData(), "Sample Text");
    EXPECT_EQ(t->m_font.GetHeight(), 20);
    EXPECT_EQ(t->m_textColour, kBlue);
    EXPECT_EQ(t->m_colouredBackground, 1);
    EXPECT_EQ(t->m_backgroundColour, kGreen);
    EXPECT_EQ(t->m_horzJustify, JUSTIFY_RIGHT);
    EXPECT_EQ(t->m_vertJustify, JUSTIFY_BOTTOM);
    EXPECT_EQ(t->m_minHeight, CLogFont::kMinHeight);
    EXPECT_EQ(t->m_maxHeight, CLogFont::kMaxHeight);
    EXPECT_EQ(t->m_preserveBreaks, 0);
    EXPECT_EQ(t->m_copyFit, 0);
    EXPECT_EQ(t->m_lineSpaceMode, LINESPACE_OWN);
    EXPECT_EQ(t->m_lineSpaceAmount, 100);
    EXPECT_EQ(t->m_maxLines, -1);
    EXPECT_EQ(t->m_frameBox, nullptr);
    EXPECT_EQ(t->m_bullets, nullptr);
    EXPECT_EQ(t->m_horzMargin, 0);
    EXPECT_EQ(t->m_vertMargin, 0);
    EXPECT_EQ(t->IsSpellCheckForced(), FALSE);
    ASSERT_EQ(t->m_richText.GetRuns().size(), 1u);
    EXPECT_EQ(t->m_richText.GetRuns()[0].colour, kBlue);
    EXPECT_EQ(t->m_sampleRichText.GetRuns().size(), 1u);

    // The shipped settings.
    CAppContext fresh;
    CText plain;
    EXPECT_EQ(plain.m_colouredBackground, 0);
    EXPECT_EQ(plain.m_backgroundColour, MakeRGB(255, 255, 255));
    EXPECT_EQ(plain.m_minHeight, 5);
    EXPECT_EQ(plain.m_maxHeight, 568);
    EXPECT_EQ(plain.m_preserveBreaks, 1);
    EXPECT_EQ(plain.m_horzJustify, 0);
    EXPECT_EQ(plain.m_vertJustify, 0);
}

// --- lines ---------------------------------------------------------------------

TEST_F(TextTest, TextIsCutIntoLinesAtItsBreaks)
{
    struct Case
    {
        const char* text;
        BOOL copyFit;
        BOOL preserveBreaks;
        int maxLines;
        const char* lines;
        const char* shown;
        std::vector<DWORD> starts;
    };
    const Case cases[] = {
        {"one\r\ntwo\r\nthree", 0, 1, -1, "one|two|three", "one\ntwo\nthree", {0, 4, 8}},
        {"one\r\ntwo\r\nthree", 0, 1, 2, "one|two", "one\ntwo", {0, 4}},
        {"one\r\ntwo\r\nthree", 1, 1, 2, "one|two|three", "one\ntwo\nthree", {0, 4, 8}},
        {"one\r\ntwo\r\nthree", 1, 0, -1, "one two three", "one two three", {0}},
        {"a\n\rb\rc\vd", 0, 1, -1, "a|b|c|d", "a\nb\nc\nd", {0, 2, 4, 6}},
        {"a\n\nb", 0, 1, -1, "a||b", "a\n\nb", {0, 2, 3}},
        {"", 0, 1, -1, "", "", {0}},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_copyFit = c.copyFit;
        text.m_preserveBreaks = c.preserveBreaks;
        text.m_maxLines = c.maxLines;
        text.SetTextFromLines(c.text);
        EXPECT_EQ(Lines(text), c.lines) << c.text;
        EXPECT_EQ(text.m_text, c.shown) << c.text;
        EXPECT_EQ(text.m_lineStarts, c.starts) << c.text;
        EXPECT_EQ(text.IsEmpty(), c.shown[0] == 0);
    }
}

TEST_F(TextTest, JustificationPlacesTheBlockAndItsLines)
{
    // Lines 40 and 20 wide, 22 apart; the format rectangle is 100 by 100.
    struct Case
    {
        BOOL copyFit;
        int horz, vert;
        CPoint first, second;
    };
    const Case cases[] = {
        {0, JUSTIFY_LEFT, JUSTIFY_TOP, {100, 200}, {100, 222}},
        {0, JUSTIFY_CENTRE, JUSTIFY_TOP, {100, 200}, {110, 222}},
        {0, JUSTIFY_RIGHT, JUSTIFY_BOTTOM, {100, 200}, {120, 222}},
        {0, JUSTIFY_BLOCK_CENTRE, JUSTIFY_MIDDLE, {100, 200}, {100, 222}},
        {1, JUSTIFY_LEFT, JUSTIFY_TOP, {100, 200}, {100, 222}},
        {1, JUSTIFY_CENTRE, JUSTIFY_MIDDLE, {130, 228}, {140, 250}},
        {1, JUSTIFY_RIGHT, JUSTIFY_BOTTOM, {160, 256}, {180, 278}},
        // the block is centred, its lines start at its left edge
        {1, JUSTIFY_BLOCK_CENTRE, JUSTIFY_TOP, {130, 200}, {130, 222}},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_copyFit = c.copyFit;
        text.m_horzJustify = c.horz;
        text.m_vertJustify = c.vert;
        text.m_position = CPoint(100, 200);
        text.m_formatRect = CRect(100, 200, 200, 300);
        text.SetTextFromLines("aaaa\nbb");
        text.Reformat(nullptr, TRUE);
        const std::vector<CPoint> expected = {c.first, c.second};
        EXPECT_EQ(Origins(text), expected) << c.copyFit << " " << c.horz << " " << c.vert;
        EXPECT_EQ(text.m_textRect.Width(), 40);
        EXPECT_EQ(text.m_textRect.Height(), 44);
        // the first line is the widest: it starts where the block does
        EXPECT_EQ(text.m_textRect.TopLeft(), c.first) << c.copyFit << " " << c.horz;
    }
}

TEST_F(TextTest, TurnedTextTurnsItsLinesAndBoundsAboutThePosition)
{
    App().general.rotationAngle = std::numbers::pi / 2;
    auto text = Make("aaaa\nbb");
    ASSERT_EQ(text->m_bounds, CRect(100, 200, 140, 244));
    text->Rotate(nullptr);
    EXPECT_EQ(text->GetAngle(), 90);
    EXPECT_EQ(text->m_font.GetLogFont().lfOrientation, 2700);
    EXPECT_EQ(text->m_orientation, 90);
    // each line's cell top-left turned clockwise about the position
    EXPECT_EQ(Origins(*text), (std::vector<CPoint>{{100, 200}, {78, 200}}));
    EXPECT_EQ(text->m_bounds, CRect(56, 200, 100, 240));
    // the runs are drawn turned as well
    EXPECT_EQ(text->m_lines[0]->GetAngle(), 90);

    text->Rotate(nullptr);
    text->Rotate(nullptr);
    text->Rotate(nullptr);
    EXPECT_EQ(text->GetAngle(), 0);
    EXPECT_EQ(text->m_bounds, CRect(100, 200, 140, 244));

    // Turning about a point moves the position and turns the text.
    text->RotateAbout(nullptr, CPoint(0, 0));
    EXPECT_EQ(text->m_position, CPoint(-200, 100));
    EXPECT_EQ(text->GetAngle(), 90);
}

TEST_F(TextTest, BulletsIndentTheirParagraphs)
{
    RegisterTextBullets(&MakeFakeBullets);
    auto text = Make("a\n\nbb");
    text->SetBullets(nullptr);
    ASSERT_NE(text->m_bullets, nullptr);
    text->Reformat(nullptr, TRUE);
    // every line with text begins a bulleted paragraph
    EXPECT_EQ(text->m_bulletLines, (std::vector<DWORD>{0, 2}));
    const auto& bullets = static_cast<const CFakeBullets&>(*text->m_bullets);
    EXPECT_EQ(bullets.items, (std::vector<CPoint>{{100, 200}, {100, 244}}));
    EXPECT_EQ(bullets.textHeight, 20);
    EXPECT_EQ(Origins(*text), (std::vector<CPoint>{{130, 200}, {130, 222}, {130, 244}}));
    EXPECT_EQ(text->m_textRect, CRect(100, 200, 150, 266));
    EXPECT_EQ(text->GetProgressWeight(), 1 + 3 + 1);
    COLORREF colour = 0;
    EXPECT_TRUE(text->GetBulletColour(colour));

    // The bullet-line list is kept once per line.
    text->MarkBulletLines(2);
    text->MarkBulletLines(1); // an empty line
    text->MarkBulletLines(7); // no such line
    EXPECT_EQ(text->m_bulletLines, (std::vector<DWORD>{0, 2}));

    // A copy-fit text keeps the indent free on the left of its rectangle.
    text->m_copyFit = TRUE;
    text->m_formatRect = CRect(100, 200, 200, 400);
    text->Reformat(nullptr, FALSE);
    EXPECT_EQ(text->m_bulletLines, (std::vector<DWORD>{0, 2}));
    for (const auto& line : text->m_lines)
        EXPECT_LE(line->GetWidth(), 70);

    text->RemoveBullets();
    EXPECT_FALSE(text->GetBulletColour(colour));
}

// --- creation and resizing -----------------------------------------------------------

TEST_F(TextTest, CreationSizesTheFontForFourLines)
{
    struct Case
    {
        CPoint to;
        int minHeight, maxHeight;
        int height;
    };
    // FitLineHeight(200 / 4) gives 45; a rectangle narrower than four
    // average characters (4 x 22) scales that by width x 0.25 / 22.
    const Case cases[] = {
        {{500, 300}, 5, 568, 45},
        {{160, 300}, 5, 568, 31},
        {{160, 300}, 40, 568, 40},
        {{500, 300}, 5, 35, 35},
        // dragged up and left: the rectangle spans both points
        {{-300, -100}, 5, 568, 45},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_minHeight = c.minHeight;
        text.m_maxHeight = c.maxHeight;
        text.BeginCreate(nullptr, 100, 100);
        EXPECT_EQ(text.m_maxLines, 1);
        EXPECT_EQ(Lines(text), "Sample Text");
        text.TrackCreate(nullptr, c.to.x, c.to.y, FALSE);
        text.EndCreate(nullptr, 0);
        EXPECT_EQ(text.m_font.GetHeight(), c.height) << c.to.x;
        EXPECT_EQ(text.m_position, text.m_formatRect.TopLeft());
        EXPECT_EQ(text.m_lines[0]->GetHeight(), c.height + c.height / 10);
    }

    // The text-frame tool starts a copy-fit text with nothing laid out; its
    // end fits the sample text to the rectangle.
    CText frame;
    frame.BeginCreateFrame(nullptr, 10, 10);
    EXPECT_EQ(frame.m_copyFit, TRUE);
    EXPECT_TRUE(frame.m_lines.empty());
    frame.TrackCreate(nullptr, 400, 110, FALSE);
    frame.EndCreate(nullptr, 0);
    EXPECT_EQ(frame.m_formatRect, CRect(10, 10, 400, 110));
    EXPECT_EQ(Lines(frame), "Sample Text");
    EXPECT_GT(frame.m_font.GetHeight(), 45);
}

TEST_F(TextTest, TableCellBoundsSetTheFormatRectangleByOrientation)
{
    const CRect cell(100, 100, 300, 150);
    struct Case
    {
        int degrees; // before the cell places the text
        CPoint position;
        CSize format;
    };
    const Case cases[] = {
        {0, {100, 100}, {200, 50}},
        {90, {300, 100}, {50, 200}},
        {180, {300, 150}, {200, 50}},
        {270, {100, 150}, {50, 200}},
        // brought down to whole quarter turns
        {45, {100, 100}, {200, 50}},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_font.SetRotation(c.degrees);
        text.SetBounds(nullptr, cell);
        EXPECT_EQ(text.m_copyFit, TRUE);
        EXPECT_EQ(text.GetAngle(), c.degrees / 90 * 90);
        EXPECT_EQ(text.m_position, c.position) << c.degrees;
        EXPECT_EQ(CSize(text.m_formatRect.Width(), text.m_formatRect.Height()), c.format);
        EXPECT_EQ(text.m_bounds, cell) << c.degrees;
    }
}

TEST_F(TextTest, AspectAndHandlesFollowCopyFitAndTurn)
{
    struct Case
    {
        BOOL copyFit;
        int degrees;
        BOOL keepsAspect;
        BOOL sideHandles;
    };
    const Case cases[] = {
        {0, 0, TRUE, FALSE},   {0, 90, TRUE, FALSE}, {1, 0, FALSE, TRUE},
        {1, 270, FALSE, TRUE}, {1, 45, TRUE, FALSE},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_copyFit = c.copyFit;
        text.m_font.SetRotation(c.degrees);
        EXPECT_EQ(text.KeepsAspectRatio(), c.keepsAspect) << c.copyFit << " " << c.degrees;
        for (int handle : {1, 3, 5, 7})
            EXPECT_EQ(text.IsHandleEnabled(handle), c.sideHandles) << handle;
        for (int handle : {0, 2, 4, 6})
            EXPECT_TRUE(text.IsHandleEnabled(handle));
    }
}

TEST_F(TextTest, ResizingScalesTheFontOrFitsAgain)
{
    // Without copy-fit a corner drag scales the font with the height.
    auto text = Make("ab", CPoint(100, 100));
    ASSERT_EQ(text->m_bounds, CRect(100, 100, 120, 122));
    text->Select(nullptr, 1);
    text->BeginResize(nullptr, HANDLE_BOTTOM_RIGHT);
    text->TrackResize(nullptr, 20, 22, FALSE);
    text->EndResize(nullptr);
    EXPECT_EQ(text->m_font.GetHeight(), 40);
    EXPECT_EQ(text->m_position, CPoint(100, 100));
    EXPECT_EQ(text->m_textRect, CRect(100, 100, 140, 144));
    EXPECT_EQ(text->m_sampleRichText.GetRuns()[0].font->GetHeight(), 40);

    // A move keeps the size.
    text->BeginMove(nullptr);
    text->TrackMove(nullptr, 7, -3);
    text->EndMove(nullptr);
    EXPECT_EQ(text->m_position, CPoint(107, 97));
    EXPECT_EQ(text->m_font.GetHeight(), 40);

    // With copy-fit a new rectangle size fits the text again.
    CText fitted;
    fitted.m_copyFit = TRUE;
    fitted.m_formatRect = CRect(0, 0, 200, 50);
    fitted.SetSampleData(nullptr, "ab");
    const int before = fitted.m_font.GetHeight();
    fitted.Select(nullptr, 1);
    fitted.BeginResize(nullptr, HANDLE_BOTTOM);
    fitted.TrackResize(nullptr, 0, 50, FALSE);
    fitted.EndResize(nullptr);
    EXPECT_EQ(fitted.m_formatRect, CRect(0, 0, 200, 100));
    EXPECT_GT(fitted.m_font.GetHeight(), before);
    EXPECT_EQ(fitted.m_sampleRichText.GetRuns()[0].font->GetHeight(), fitted.m_font.GetHeight());
}

TEST_F(TextTest, FramedTextKeepsItsProportionsAndMargins)
{
    auto text = Make("ab", CPoint(100, 100)); // text 20 by 22
    CBox box;
    box.m_thickness = 3;
    text->SetFrameBox(&box);
    text->m_horzMargin = 5;
    text->m_vertMargin = 7;
    text->Reformat(nullptr, TRUE);
    EXPECT_EQ(text->m_frameRect, CRect(92, 90, 128, 132));
    EXPECT_EQ(text->m_bounds, text->m_frameRect);
    EXPECT_EQ(text->m_frameBox->GetPointRect(), text->m_frameRect);

    // A corner drag keeps the text's ratio inside the frame.
    text->Select(nullptr, 1);
    text->BeginResize(nullptr, HANDLE_BOTTOM_RIGHT);
    text->TrackResize(nullptr, 20, 0, FALSE);
    EXPECT_EQ(text->m_trackRect, CRect(92, 90, 148, 154));
    text->EndResize(nullptr);
    EXPECT_EQ(text->m_font.GetHeight(), 40);
    EXPECT_EQ(text->m_textRect, CRect(100, 100, 140, 144));
    EXPECT_EQ(text->m_frameRect, CRect(92, 90, 148, 154));
}

// --- records -----------------------------------------------------------------

TEST_F(TextTest, RecordRoundTripKeepsEverything)
{
    RegisterTextBullets(&MakeFakeBullets);
    auto text = Make("<b>Big</b> sale\r\nnow", CPoint(40, 50));
    text->m_name = "Offer";
    text->m_textColour = kRed;
    text->m_colouredBackground = 1;
    text->m_backgroundColour = kGreen;
    text->m_forceSpellCheck = 1;
    text->m_horzJustify = JUSTIFY_CENTRE;
    text->m_vertJustify = JUSTIFY_BOTTOM;
    text->m_minHeight = 12;
    text->m_maxHeight = 300;
    text->m_preserveBreaks = 1;
    text->m_maxLines = 4;
    text->m_lineSpaceMode = LINESPACE_PERCENT;
    text->m_lineSpaceAmount = 120;
    text->m_horzMargin = 6;
    text->m_vertMargin = 8;
    CBox frame;
    frame.m_outlineColour = kBlue;
    frame.m_thickness = 4;
    text->SetFrameBox(&frame);
    text->SetBullets(nullptr);
    static_cast<CFakeBullets&>(*text->m_bullets).indent = 17;
    text->m_copyFit = TRUE;
    text->m_formatRect = CRect(40, 50, 440, 250);
    text->Refresh();

    QByteArray bytes = Store(*text);
    CArchive ar(&bytes, CArchive::load);
    CText loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);

    EXPECT_EQ(loaded.m_name, "Offer");
    EXPECT_EQ(loaded.m_position, CPoint(40, 50));
    EXPECT_EQ(loaded.m_text, text->m_text);
    EXPECT_EQ(loaded.m_sampleText, "<b>Big</b> sale\r\nnow");
    EXPECT_EQ(loaded.m_textColour, kRed);
    EXPECT_EQ(loaded.m_colouredBackground, 1);
    EXPECT_EQ(loaded.m_backgroundColour, kGreen);
    EXPECT_EQ(loaded.m_forceSpellCheck, 1);
    EXPECT_EQ(loaded.m_horzJustify, JUSTIFY_CENTRE);
    EXPECT_EQ(loaded.m_vertJustify, JUSTIFY_BOTTOM);
    EXPECT_EQ(loaded.m_copyFit, 1);
    EXPECT_EQ(loaded.m_minHeight, 12);
    EXPECT_EQ(loaded.m_maxHeight, 300);
    EXPECT_EQ(loaded.m_maxLines, 4);
    EXPECT_EQ(loaded.m_lineSpaceMode, LINESPACE_PERCENT);
    EXPECT_EQ(loaded.m_lineSpaceAmount, 120);
    EXPECT_EQ(loaded.m_formatRect, text->m_formatRect);
    EXPECT_EQ(loaded.m_horzMargin, 6);
    EXPECT_EQ(loaded.m_vertMargin, 8);
    ASSERT_NE(loaded.m_frameBox, nullptr);
    EXPECT_EQ(loaded.m_frameBox->m_outlineColour, kBlue);
    EXPECT_EQ(loaded.m_frameBox->m_thickness, 4);
    ASSERT_NE(loaded.m_bullets, nullptr);
    EXPECT_EQ(static_cast<CFakeBullets&>(*loaded.m_bullets).indent, 17);
    EXPECT_EQ(loaded.m_bulletLines, text->m_bulletLines);
    EXPECT_EQ(loaded.m_sampleRichText.GetTags(), text->m_sampleRichText.GetTags());
    // laid out again as it was
    EXPECT_EQ(loaded.m_font.GetHeight(), text->m_font.GetHeight());
    EXPECT_EQ(Lines(loaded), Lines(*text));
    EXPECT_EQ(Origins(loaded), Origins(*text));
    EXPECT_EQ(loaded.m_textRect, text->m_textRect);
    EXPECT_EQ(loaded.m_frameRect, text->m_frameRect);
    EXPECT_EQ(loaded.m_bounds, text->m_bounds);
    ASSERT_GE(loaded.m_lines[0]->GetSegmentCount(), 2);
    EXPECT_EQ(loaded.m_lines[0]->GetSegmentRun(0).GetFont().GetLogFont().lfWeight, 700);
}

TEST_F(TextTest, ElementListKeepsTheClass)
{
    auto* text = static_cast<CText*>(list.CreateElement("CText"));
    text->SetSampleData(nullptr, "Hello");
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        list.Serialize(ar);
    }
    CElementList loaded;
    CArchive ar(&bytes, CArchive::load);
    loaded.Serialize(ar);
    ASSERT_EQ(loaded.GetCount(), 1);
    ASSERT_EQ(loaded.GetAt(0)->GetRuntimeClass(), RUNTIME_CLASS(CText));
    EXPECT_EQ(loaded.GetAt(0)->GetText(), "Hello");
    EXPECT_EQ(loaded.GetAt(0)->m_name, "Text1");
}

namespace {

// A text record as files of the version hold it, the common part included,
// followed by a marker the reader must leave unread.
QByteArray TextRecord(int version, const QString& text, const QString& sample)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << QString("Text9") << DWORD(SOURCE_FIXED) << DWORD(0) << QString("Text9") << QString()
       << DWORD(1) << DWORD(0);
    if (version >= 110) {
        ar << DWORD(0) << DWORD(0) << DWORD(1) << DWORD(0) << QString() << DWORD(0) << QString()
           << QString() << DWORD(0) << DWORD(-1) << DWORD(0) << DWORD(0) << BYTE(0);
        if (version >= 240)
            ar << DWORD(0);
    }
    ar << CPoint(30, 40) << text << DWORD(1) << DWORD(kRed) << DWORD(kGreen)
       << CRect(30, 40, 90, 62) << CRect(30, 40, 90, 62);
    if (version < 110)
        ar << DWORD(2) << DWORD(1); // filter type and case coercion
    if (version >= 105)
        ar << DWORD(1);
    ar << DWORD(JUSTIFY_RIGHT) << DWORD(JUSTIFY_MIDDLE) << DWORD(0) << DWORD(10) << DWORD(200)
       << DWORD(1) << DWORD(-1);
    if (version >= 240)
        ar << DWORD(LINESPACE_PER_INCH) << DWORD(6);
    CLogFont font = MakeFont(30);
    font.Serialize(ar);
    if (version >= 260) {
        CRichText rich;
        QString plain = sample;
        rich.Parse(plain, 0, font, kRed);
        rich.Serialize(ar);
    } else {
        ar.WriteCount(2); // old formatting items
        for (int i = 0; i < 2; ++i) {
            ar << DWORD(i) << QString("item");
            ar.Write("12345678", 8);
        }
    }
    ar << DWORD(0) << CRect(0, 0, 0, 0) << DWORD(0) << DWORD(0);
    if (version >= 104)
        ar << DWORD(0);
    if (version >= 110)
        ar << sample;
    ar << DWORD(0xDEADBEEF);
    return bytes;
}

} // namespace

TEST_F(TextTest, OlderRecordsReadTheirOwnFields)
{
    struct Case
    {
        int version;
        const char* sample; // as stored
        const char* sampleRead;
        int filterType, caseCoercion;
        BOOL forceSpellCheck;
        int lineSpaceMode;
        size_t tags;
    };
    const Case cases[] = {
        {103, "", "one\ntwo", 2, 1, 0, LINESPACE_OWN, 0},
        {104, "", "one\ntwo", 2, 1, 0, LINESPACE_OWN, 0},
        {105, "", "one\ntwo", 2, 1, 1, LINESPACE_OWN, 0},
        {110, "one\r\n<b>two</b>", "one\n<b>two</b>", 0, 0, 1, LINESPACE_OWN, 0},
        {239, "one\r\ntwo", "one\ntwo", 0, 0, 1, LINESPACE_OWN, 0},
        {240, "one\r\ntwo", "one\ntwo", 0, 0, 1, LINESPACE_PER_INCH, 0},
        {259, "one\r\ntwo", "one\ntwo", 0, 0, 1, LINESPACE_PER_INCH, 0},
        {260, "one\r\n<b>two</b>", "one\r\n<b>two</b>", 0, 0, 1, LINESPACE_PER_INCH, 2},
        {514, "one\r\ntwo", "one\r\ntwo", 0, 0, 1, LINESPACE_PER_INCH, 0},
    };
    for (const Case& c : cases) {
        App().fileVersion = c.version;
        QByteArray bytes = TextRecord(c.version, "one\ntwo", c.sample);
        CArchive ar(&bytes, CArchive::load);
        CText text;
        text.Serialize(ar);
        EXPECT_EQ(ar.ReadDWord(), 0xDEADBEEFu) << "record length of version " << c.version;
        EXPECT_EQ(text.m_name, "Text9");
        EXPECT_EQ(text.m_position, CPoint(30, 40));
        EXPECT_EQ(text.m_text, "one\ntwo");
        EXPECT_EQ(text.m_sampleText, c.sampleRead) << c.version;
        EXPECT_EQ(text.m_filterType, c.filterType) << c.version;
        EXPECT_EQ(text.m_caseCoercion, c.caseCoercion) << c.version;
        EXPECT_EQ(text.m_forceSpellCheck, c.forceSpellCheck) << c.version;
        EXPECT_EQ(text.m_lineSpaceMode, c.lineSpaceMode) << c.version;
        EXPECT_EQ(text.m_horzJustify, JUSTIFY_RIGHT);
        EXPECT_EQ(text.m_vertJustify, JUSTIFY_MIDDLE);
        EXPECT_EQ(text.m_textColour, kRed);
        EXPECT_EQ(text.m_font.GetHeight(), 30);
        EXPECT_EQ(text.m_sampleRichText.GetTags().size(), c.tags) << c.version;
        // old files get one run of the font and colour
        ASSERT_FALSE(text.m_richText.GetRuns().empty());
        EXPECT_EQ(text.m_richText.GetRuns()[0].colour, kRed);
        EXPECT_EQ(text.m_richText.GetRuns()[0].font->GetHeight(), 30);
        // laid out on loading
        EXPECT_EQ(Lines(text), "one|two");
        const int spacing = c.lineSpaceMode == LINESPACE_PER_INCH ? 42 : 33;
        EXPECT_EQ(text.m_bounds, CRect(30, 40, 75, 40 + spacing + 33)) << c.version;
    }
}

TEST_F(TextTest, DamagedRecordsRaiseTheArchiveError)
{
    App().fileVersion = 514;
    const QByteArray good = TextRecord(514, "one", "one");
    QByteArray far = good;
    // the position's x, right after the common part
    CText probe;
    const qsizetype positionAt = good.indexOf(QByteArray("\x1e\x00\x00\x00\x28\x00\x00\x00", 8));
    ASSERT_GT(positionAt, 0);
    far.replace(positionAt, 4, QByteArray("\xf0\xff\xff\x7f", 4));

    auto* withBullets = new CText;
    withBullets->SetSampleData(nullptr, "x");
    RegisterTextBullets(&MakeFakeBullets);
    withBullets->SetBullets(nullptr);
    const QByteArray bulleted = Store(*withBullets);
    delete withBullets;
    RegisterTextBullets(nullptr);

    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"a position beyond any sign", far},
        {"cut short", good.left(good.size() - 12)},
        {"a bullet list this build cannot read", bulleted},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CArchive ar(&bytes, CArchive::load);
        CText text;
        EXPECT_THROW(text.Serialize(ar), CArchiveException) << c.what;
    }

    // Old formatting items claiming more than the file holds.
    App().fileVersion = 200;
    QByteArray old = TextRecord(200, "one", "one");
    const qsizetype countAt = old.indexOf(QByteArray("\x02\x00\x00\x00\x00\x00\x04item", 11));
    ASSERT_GT(countAt, 0);
    old[countAt] = '\xfe';
    old[countAt + 1] = '\xff';
    CArchive ar(&old, CArchive::load);
    CText text;
    EXPECT_THROW(text.Serialize(ar), CArchiveException);
}

// --- copies ----------------------------------------------------------------------

TEST_F(TextTest, UndoCopyIsDeepAndLaidOutTheSame)
{
    auto* text = static_cast<CText*>(list.CreateElement("CText"));
    text->m_position = CPoint(10, 10);
    CBox frame;
    frame.m_outlineColour = kBlue;
    text->SetFrameBox(&frame);
    text->SetSampleData(nullptr, "<b>one</b>\ntwo");
    App().general.rotationAngle = std::numbers::pi / 2;
    text->Rotate(nullptr);

    std::unique_ptr<CElement> copy(CloneElement(text));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CText));
    auto& c = static_cast<CText&>(*copy);
    EXPECT_EQ(c.m_name, text->m_name);
    EXPECT_EQ(Lines(c), Lines(*text));
    EXPECT_EQ(Origins(c), Origins(*text));
    EXPECT_EQ(c.m_lineStarts, text->m_lineStarts);
    EXPECT_EQ(c.m_lines[0]->GetAngle(), 90);
    EXPECT_EQ(c.m_bounds, text->m_bounds);
    // its own frame and runs
    ASSERT_NE(c.m_frameBox, nullptr);
    EXPECT_NE(c.m_frameBox.get(), text->m_frameBox.get());
    text->m_frameBox->m_outlineColour = kRed;
    EXPECT_EQ(c.m_frameBox->m_outlineColour, kBlue);
    EXPECT_NE(c.m_richText.GetRuns()[0].font.get(), text->m_richText.GetRuns()[0].font.get());
    EXPECT_NE(c.m_lines[0]->GetSegmentRun(0).font.get(),
              text->m_lines[0]->GetSegmentRun(0).font.get());
    EXPECT_EQ(c.m_lines[0]->GetSegmentRun(0).GetFont().GetLogFont().lfWeight, 700);

    // Assignment copies the same way; to itself it changes nothing.
    CText assigned;
    assigned = c;
    EXPECT_EQ(Lines(assigned), Lines(c));
    const CText& same = assigned;
    assigned = same;
    EXPECT_EQ(Lines(assigned), Lines(c));
    EXPECT_NE(assigned.m_frameBox, nullptr);
}

// --- data entry ----------------------------------------------------------------------

TEST_F(TextTest, DataTextCarriesItsMarkupAndThePrefixOnce)
{
    auto text = Make("<b>Sample</b>");
    text->m_dataSource = SOURCE_KEYBOARD;
    text->m_prefix = "$";
    text->m_suffix = "!";
    text->Refresh();
    EXPECT_EQ(text->GetText(), "$Sample!");

    text->SetDataText("<i>5</i> off", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(text->GetText(), "$5 off!");
    // what was entered, with its mark-up and without prefix and suffix
    EXPECT_EQ(text->GetDataText(FALSE), "<i>5</i> off");
    ASSERT_GE(text->m_lines[0]->GetSegmentCount(), 2);
    EXPECT_EQ(text->m_lines[0]->GetSegment(1).GetText(), "5");
    EXPECT_EQ(text->m_lines[0]->GetSegmentRun(1).GetFont().GetLogFont().lfItalic, 1);

    // Entering data again, or a new font, keeps one prefix and one suffix.
    text->BeginDataEntry();
    EXPECT_EQ(text->m_state, DWORD(STATE_DATA_ENTRY));
    EXPECT_EQ(text->GetText(), "$5 off!");
    text->SetFont(nullptr, MakeFont(30));
    EXPECT_EQ(text->GetText(), "$5 off!");
    EXPECT_EQ(text->m_font.GetHeight(), 30);
    EXPECT_EQ(text->m_lines[0]->GetHeight(), 33);

    // The end of data entry shows the sample again.
    text->EndDataEntry();
    EXPECT_EQ(text->GetText(), "$Sample!");

    // Without sample data, or with a data store, the element's own rule.
    text->m_useSampleData = FALSE;
    EXPECT_EQ(text->GetDataText(FALSE), "");
}

TEST_F(TextTest, DataTextRespectsStartOnlyAndTellsTheTable)
{
    auto text = Make("first");
    text->m_dataSource = SOURCE_KEYBOARD;
    text->m_startDataOnly = TRUE;
    App().Get<CElementPrintState>().labelPosition = [] { return 2; };
    text->SetDataText("second", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(text->GetText(), "first");
    text->m_dataSource = SOURCE_INCREMENTING;
    text->SetDataText("second", SOURCE_INCREMENTING, QString(), TRUE);
    EXPECT_EQ(text->GetText(), "second");

    CCountingTable table;
    text->m_ownedByTable = TRUE;
    text->m_ownerTable = &table;
    text->SetDataText("third", SOURCE_INCREMENTING, QString(), TRUE);
    EXPECT_EQ(table.changes, 1);
    text->m_ownerTable = nullptr;
}

// --- colours -------------------------------------------------------------------------

TEST_F(TextTest, ColoursComeFromAnotherElement)
{
    auto text = Make("<b>x</b>y");
    text->m_colouredBackground = TRUE;
    CBox frame;
    text->SetFrameBox(&frame);

    CBox source;
    source.m_outlineColour = kRed;
    source.m_fillInterior = TRUE;
    source.m_fillColour = kGreen;
    text->CopyColoursFrom(&source);
    COLORREF colour = 0;
    EXPECT_TRUE(text->GetColour(colour));
    EXPECT_EQ(colour, kRed);
    for (const CFontRun& run : text->m_richText.GetRuns())
        EXPECT_EQ(run.colour, kRed);
    EXPECT_EQ(text->m_lines[0]->GetSegmentRun(0).colour, kRed);
    EXPECT_TRUE(text->GetFill(colour));
    EXPECT_EQ(colour, kGreen);
    EXPECT_EQ(text->m_frameBox->m_fillColour, kGreen);

    // Another framed text gives its frame's outline colour.
    auto framed = Make("z");
    CBox blue;
    blue.m_outlineColour = kBlue;
    framed->SetFrameBox(&blue);
    text->CopyColoursFrom(framed.get());
    EXPECT_TRUE(text->GetOutlineColour(colour));
    EXPECT_EQ(colour, kBlue);

    // A text without a coloured background keeps its background colour.
    auto plain = Make("y");
    plain->CopyColoursFrom(&source);
    EXPECT_FALSE(plain->GetFill(colour));
    EXPECT_EQ(colour, MakeRGB(255, 255, 255));
    EXPECT_FALSE(plain->GetOutlineColour(colour));
}

// --- text export ---------------------------------------------------------------------

TEST_F(TextTest, TextExportBlock)
{
    RegisterTextBullets(&MakeFakeBullets);
    auto text = Make("<b>Big</b> & more\r\nline", CPoint(12, 34));
    text->m_name = "Price & offer";
    text->m_textColour = kRed;
    text->m_copyFit = TRUE;
    text->m_formatRect = CRect(12, 34, 212, 134);
    text->m_horzJustify = JUSTIFY_CENTRE;
    text->m_minHeight = 8;
    text->m_maxHeight = 90;
    text->m_lineSpaceMode = LINESPACE_PERCENT;
    text->m_lineSpaceAmount = 120;
    text->m_forceSpellCheck = TRUE;
    text->m_horzMargin = 4;
    text->m_vertMargin = 6;
    CBox frame;
    frame.m_thickness = 7;
    frame.m_cornerType = CORNER_ROUNDED;
    frame.m_outlineColour = kBlue;
    text->SetFrameBox(&frame);
    text->SetBullets(nullptr);
    text->m_font.SetRotation(90);

    QByteArray common;
    {
        CTextExportFile file(&common);
        text->CElement::WriteXml(file);
    }
    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        text->WriteXml(file);
    }
    const QByteArray head = "  <text>\r\n\r\n" + common;
    ASSERT_TRUE(bytes.startsWith(head));
    const QByteArray expected =
        "    <position units=\"TMM\" x=\"12\" y=\"34\"/>\r\n"
        "    <angle=\"90\"/>\r\n"
        "    <text-colour=\"#FF0000\"/>\r\n"
        "    <coloured-background=\"0\"/>\r\n"
        "    <background-colour=\"#FFFFFF\"/>\r\n"
        "    <copy-fit=\"1\"/>\r\n"
        "    <format-rectangle units=\"TMM\" width=\"200\" height=\"100\"/>\r\n"
        "    <justification horizontal=\"1\" vertical=\"0\"/>\r\n"
        "    <point-size-range min=\"8\" max=\"90\"/>\r\n"
        "    <max-lines=\"-1\"/>\r\n"
        "    <preserve-breaks=\"1\"/>\r\n"
        "    <line-space-mode=\"1\"/>\r\n"
        "    <line-space-amount=\"120\"/>\r\n"
        "    <force-spell-check=\"1\"/>\r\n"
        "\r\n"
        "    <font>\r\n\r\n"
        "        <name=\"Plain\"/>\r\n"
        "        <point-size=\"4.5\"/>\r\n"
        "        <orientation=\"2700\"/>\r\n"
        "        <weight=\"400\"/>\r\n"
        "        <italic=\"0\"/>\r\n"
        "        <underline=\"0\"/>\r\n"
        "        <strike-out=\"0\"/>\r\n"
        "\r\n    </font>\r\n\r\n"
        "    <border>\r\n\r\n"
        "        <thickness units=\"TMM\" value=\"7\"/>\r\n"
        "        <margin units=\"TMM\" horizontal=\"4\" vertical=\"6\"/>\r\n"
        "        <corner-type=\"1\"/>\r\n"
        "        <colour=\"#0000FF\"/>\r\n"
        "\r\n    </border>\r\n\r\n"
        "    <bullets>\r\n\r\n"
        "        <style=\"1\"/>\r\n"
        "        <symbol=\"34\"/>\r\n"
        "        <prefix=\"(\"/>\r\n"
        "        <suffix=\")\"/>\r\n"
        "        <start-value=\"3\"/>\r\n"
        "        <offset units=\"TMM\" value=\"30\"/>\r\n"
        "        <relative-size=\"80\"/>\r\n"
        "        <colour=\"#000000\"/>\r\n"
        "\r\n    </bullets>\r\n\r\n"
        "    <sample-data>&lt;b&gt;Big&lt;/b&gt; &amp; more<br>line"
        "</sample-data>\r\n"
        "\r\n  </text>\r\n\r\n";
    EXPECT_EQ(bytes.mid(head.size()), expected);
}

// --- drawing with real fonts -----------------------------------------------------------

namespace {

class TextDrawingTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }
    CAppContext context;
};

bool IsInk(QRgb p)
{
    return qRed(p) + qGreen(p) + qBlue(p) < 3 * 255 - 90;
}

// The device rectangle around every pixel that is not near white.
QRect TextInkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QRect DeviceRect(const CDC& dc, const CRect& r)
{
    const CRect d = dc.LPtoDP(r);
    return QRect(QPoint(d.left, d.top), QPoint(d.right, d.bottom)).normalized();
}

} // namespace

TEST_F(TextDrawingTest, InkStaysInsideTheElement)
{
    struct Case
    {
        const char* what;
        const char* markup;
        int horz;
        int degrees;
        BOOL copyFit;
    };
    const Case cases[] = {
        {"left", "Left\nand more", JUSTIFY_LEFT, 0, 0},
        {"centred", "Centre\nit", JUSTIFY_CENTRE, 0, 0},
        {"right", "Right\nside", JUSTIFY_RIGHT, 0, 0},
        {"copy-fitted", "Fit this text into the box", JUSTIFY_CENTRE, 0, 1},
        {"rich", "<b>Bold</b> <font size=\"20\">big</font> <i>it</i>", JUSTIFY_LEFT, 0, 0},
        {"turned", "Turned", JUSTIFY_LEFT, 90, 0},
        {"turned copy-fit", "Turned fit", JUSTIFY_LEFT, 270, 1},
    };
    for (const Case& c : cases) {
        CText text;
        text.m_horzJustify = c.horz;
        text.m_copyFit = c.copyFit;
        text.m_position = CPoint(300, 300);
        text.m_formatRect = CRect(300, 300, 600, 400);
        text.m_font.SetRotation(c.degrees);
        text.SetSampleData(nullptr, c.markup);

        CImageDC dc(600, 450, 200, 200);
        dc.SetTenthsMmMapping();
        text.Draw(&dc, CRect(-10000, -10000, 10000, 10000));
        const QRect ink = TextInkBounds(dc.Image());
        ASSERT_FALSE(ink.isEmpty()) << c.what;
        QRect box = DeviceRect(dc, text.m_bounds).adjusted(-1, -1, 1, 1);
        EXPECT_TRUE(box.contains(ink)) << c.what;
        // the ink is most of the element, not a corner of it
        EXPECT_GT(ink.width() * ink.height(), box.width() * box.height() / 8) << c.what;
    }
}

TEST_F(TextDrawingTest, BackgroundAndFrameAreLeftOutForEmptyPrintedText)
{
    CText text;
    text.m_position = CPoint(50, 50);
    text.m_colouredBackground = TRUE;
    text.m_backgroundColour = MakeRGB(0, 0, 255);
    text.SetSampleData(nullptr, "Hi");

    // the background fills the text rectangle
    {
        CImageDC dc(300, 200, 200, 200);
        dc.SetTenthsMmMapping();
        text.Draw(&dc, CRect(0, 0, 1000, 1000));
        const QRect inside = DeviceRect(dc, text.m_textRect);
        const QRgb corner = dc.Image().pixel(inside.left() + 1, inside.top() + 1);
        EXPECT_EQ(qBlue(corner), 255);
        EXPECT_LT(qRed(corner), 60);
    }

    // An empty text with a frame: drawn at design time, not when printing.
    text.m_colouredBackground = FALSE;
    CBox frame;
    frame.m_thickness = 5;
    text.SetFrameBox(&frame);
    text.SetSampleData(nullptr, "");
    ASSERT_TRUE(text.IsEmpty());
    {
        CImageDC dc(300, 200, 200, 200);
        dc.SetTenthsMmMapping();
        text.Draw(&dc, CRect(0, 0, 1000, 1000));
        EXPECT_FALSE(TextInkBounds(dc.Image()).isEmpty());
    }
    {
        QImage image(300, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            CDC dc(&painter, true);
            dc.SetDeviceCaps(200, 200, CSize(300, 200));
            dc.SetTenthsMmMapping();
            text.Draw(&dc, CRect(0, 0, 1000, 1000));
        }
        EXPECT_TRUE(TextInkBounds(image).isEmpty());
    }
}
