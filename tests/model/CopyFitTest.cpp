// Word wrap and copy-fit of text elements on made-up fonts whose widths and
// heights are round numbers, so every break and every size can be worked
// out by hand.
#include "AppContext.h"
#include "LogFont.h"
#include "TestSupport.h"
#include "Text.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Every character of a height-h font is h / 2 tenths wide (5 h hundredths),
// its line h + h / 10 high. "Sizes" comes only in the cell heights 80, 100
// and 120. "Uneven" has widths that jump about with the height, so whether
// a text fits does not grow or shrink steadily with the size.
class WrapMetrics : public CFontMetricsProvider
{
public:
    std::vector<int> measured; // heights measured, in order

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
        measured.push_back(lf.lfHeight);
        out.tm = Metrics(lf);
        const int h = lf.lfHeight;
        int width = 5 * h;
        if (lf.lfFaceName == "Uneven")
            width = ((h * 7919) % 97 + 1) * 40;
        out.widths.fill(width);
        out.face = lf.lfFaceName;
        return true;
    }
    bool GetTextMetrics(const LogFontFields& lf, CTextMetrics& out) override
    {
        out = Metrics(lf);
        return true;
    }
    CFaceInfo EnumerateFace(const QString& face) override
    {
        CFaceInfo info;
        info.found = true;
        info.pitchAndFamily = 0x22;
        info.tmPitchAndFamily = 0x07;
        if (face == "Sizes") {
            info.tmPitchAndFamily = 0x01;
            // Em heights: cells of 80, 100 and 120.
            for (int height : {64, 80, 96})
                info.variants.push_back({face, CFaceVariant::Raster, height});
        }
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

// The lines of a text as "first|second|...".
QString Lines(const CText& text)
{
    QStringList lines;
    for (const auto& line : text.m_lines)
        lines << line->GetText();
    return lines.join(u'|');
}

class CopyFitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        auto provider = std::make_unique<WrapMetrics>();
        metrics = provider.get();
        CFontMetricsProvider::Install(std::move(provider));
        // The record alone, without the program's size callback: every
        // variant of a fixed-size face counts.
        FontHooks().enumSize = [](const CFaceVariant& variant, std::vector<int>& heights) {
            heights.push_back(int(variant.height));
            return 1;
        };
        CTextDefaults::Current().font = MakeFont(20);
    }
    void TearDown() override { FontHooks().enumSize = nullptr; }

    // A copy-fit text with the mark-up, in a format rectangle of the size.
    std::unique_ptr<CText> Make(const QString& markup, int width, int height, int minHeight = 5,
                                int maxHeight = 568)
    {
        auto text = std::make_unique<CText>();
        text->m_copyFit = TRUE;
        text->m_minHeight = minHeight;
        text->m_maxHeight = maxHeight;
        text->m_formatRect = CRect(0, 0, width, height);
        text->m_sampleText = markup;
        text->Refresh();
        return text;
    }

    // The same text wrapped at one height, without the size search.
    BOOL WrapAt(CText& text, int height)
    {
        text.m_font.SetHeight(height);
        text.m_richText.SetDefaultFont(text.m_font, text.m_textColour);
        return text.TryFit(text.m_formatRect);
    }

    CAppContext context;
    WrapMetrics* metrics = nullptr;
};

} // namespace

// --- word wrap -----------------------------------------------------------------

TEST_F(CopyFitTest, WrapBreaksAtSpacesAndKeepsTypedBreaks)
{
    // At height 20 a character is 10 wide and a line 22 high.
    struct Case
    {
        const char* markup;
        int width;
        BOOL preserveBreaks;
        const char* lines;
        BOOL fits;
    };
    const Case cases[] = {
        {"aaa bbb ccc", 75, 1, "aaa bbb|ccc", TRUE},
        {"aaa bbb ccc", 70, 1, "aaa bbb|ccc", TRUE}, // a line as wide as the rectangle fits
        {"aaa bbb ccc", 69, 1, "aaa|bbb|ccc", TRUE},
        {"aaa bbb ccc", 200, 1, "aaa bbb ccc", TRUE},
        // spaces at the start of a wrapped line are dropped, after a hard
        // break too; those before the break stay with their line
        {"aa    bb", 50, 1, "aa   |bb", TRUE},
        {"aa\n   bb", 50, 1, "aa|bb", TRUE},
        // typed breaks: kept, or joined with spaces into one paragraph
        {"ab\ncd", 200, 1, "ab|cd", TRUE},
        {"ab\r\ncd\nef", 200, 0, "ab cd ef", TRUE},
        {"ab\n\ncd", 200, 1, "ab||cd", TRUE},
        // a word wider than the rectangle cannot be broken
        {"abcdefgh", 50, 1, "abcdef", FALSE},
        {"ab abcdefgh", 50, 1, "ab|abcdef", FALSE},
        // a non-breaking space is no place to break
        {"aa&nbsp;bb cc", 60, 1, "aa bb|cc", TRUE},
        {"aa&nbsp;bb cc", 40, 1, "aa bb", FALSE},
        {"aa bb cc", 40, 1, "aa|bb|cc", TRUE},
        {"", 50, 1, "", TRUE},
    };
    for (const Case& c : cases) {
        auto text = Make(c.markup, c.width, 1000);
        text->m_preserveBreaks = c.preserveBreaks;
        text->m_sampleText = c.markup;
        text->Refresh();
        EXPECT_EQ(WrapAt(*text, 20), c.fits) << c.markup << " in " << c.width;
        EXPECT_EQ(Lines(*text), c.lines) << c.markup << " in " << c.width;
    }
}

TEST_F(CopyFitTest, WrappedLinesStartWhereTheirTextStarts)
{
    // The spaces after the break are dropped: the bold word starts the
    // second line, which takes its runs from there.
    auto text = Make("aa    <b>bb</b> cc", 35, 1000);
    ASSERT_TRUE(WrapAt(*text, 20));
    ASSERT_EQ(Lines(*text), "aa |bb|cc");
    EXPECT_EQ(text->m_lineStarts, (std::vector<DWORD>{0, 6, 9}));
    EXPECT_EQ(text->m_lines[1]->GetSegment(0).GetText(), "bb");
    EXPECT_EQ(text->m_lines[1]->GetSegmentRun(0).GetFont().GetLogFont().lfWeight, 700);
    EXPECT_NE(text->m_lines[2]->GetSegmentRun(0).GetFont().GetLogFont().lfWeight, 700);

    // A non-breaking space on such a line is found at its own place.
    auto nbsp = Make("aa    bb&nbsp;cc", 35, 1000);
    EXPECT_FALSE(WrapAt(*nbsp, 20));
    EXPECT_EQ(Lines(*nbsp), "aa |bb c");
    EXPECT_EQ(nbsp->FindWrapPoint(1), -1);
}

TEST_F(CopyFitTest, LineLimitAndHeightDecideTheFit)
{
    struct Case
    {
        const char* markup;
        int maxLines;
        int height; // of the rectangle; lines are 22 apart
        BOOL fits;
    };
    const Case cases[] = {
        {"a\nb\nc", 2, 1000, FALSE}, // the third paragraph hits the limit
        {"a\nb\n", 2, 1000, TRUE},   // two paragraphs ending at a hard break
        {"a\nb", 2, 1000, TRUE},
        {"aaa bbb ccc", 2, 1000, FALSE}, // the wrap needs a third line
        {"aaa bbb ccc", -1, 1000, TRUE},
        {"a\nb\nc", -1, 66, TRUE},
        {"a\nb\nc", -1, 65, FALSE},
        {"a\nb", -1, 44, TRUE},
        {"a\nb", -1, 43, FALSE},
    };
    for (const Case& c : cases) {
        auto text = Make(c.markup, 35, c.height);
        text->m_maxLines = c.maxLines;
        EXPECT_EQ(WrapAt(*text, 20), c.fits) << c.markup << " max " << c.maxLines;
    }
}

TEST_F(CopyFitTest, WrapAsTypedCutsAfterTheLastSpace)
{
    struct Case
    {
        const char* typed;
        const char* lines;
    };
    const Case cases[] = {
        {"hello world", "hello |world"},
        {"abcdefgh", "abcd|efgh"}, // no space: cut after the last-but-two character
        {"ab\ncd ef", "ab|cd ef"},
        {" abcdefgh", " abc|defgh"}, // a space as the first character is no cut
        {"", ""},
    };
    for (const Case& c : cases) {
        auto text = Make("x", 55, 200);
        text->m_text = c.typed;
        text->m_font.SetHeight(20);
        text->m_richText.SetDefaultFont(text->m_font, text->m_textColour);
        text->WrapAsTyped();
        EXPECT_EQ(Lines(*text), c.lines) << c.typed;
        EXPECT_EQ(text->m_lines.size(), text->m_lineStarts.size());
    }
}

TEST_F(CopyFitTest, TypingWrapsWithoutChangingTheSize)
{
    auto text = Make("x", 100, 60);
    const int fitted = text->m_font.GetHeight();
    text->m_dataSource = SOURCE_KEYBOARD;
    text->SetDataText("one two three four", SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(text->m_font.GetHeight(), fitted);
    EXPECT_GT(text->m_lines.size(), 1u);

    // The final text is fitted again: smaller, to hold every word.
    text->SetDataText("one two three four", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_LT(text->m_font.GetHeight(), fitted);
    const QString lines = Lines(*text);
    EXPECT_EQ(lines.split(u'|').join(u' ').simplified(), "one two three four");
}

// --- copy-fit ------------------------------------------------------------------

TEST_F(CopyFitTest, FitsTheLargestHeightWithinTheRange)
{
    // The largest allowed height at which the text fits, found by trying
    // every height from the largest down.
    const auto largestFit = [this](const char* markup, int width, int height, int minHeight,
                                   int maxHeight) {
        auto probe = Make(markup, width, height, minHeight, maxHeight);
        for (int h = maxHeight; h > minHeight; --h) {
            if (WrapAt(*probe, h))
                return h;
        }
        return minHeight;
    };
    struct Case
    {
        const char* markup;
        int width, height, minHeight, maxHeight;
    };
    const Case cases[] = {
        {"ab", 1000, 100, 5, 60},             // grows to the maximum
        {"ab", 1000, 50, 5, 568},             // one line as high as the rectangle allows
        {"ab", 1000, 500, 5, 568},            // grows above the start height
        {"ab", 1000, 2000, 5, 568},           // the start height is limited to the maximum
        {"aaa bbb ccc ddd", 120, 90, 5, 568}, // wrapped onto several lines
        {"aaa bbb\nccc", 300, 120, 5, 568},
        {"one two three four five six seven", 150, 150, 5, 568},
        {"x", 40, 300, 5, 568}, // held back by the width
    };
    for (const Case& c : cases) {
        auto text = Make(c.markup, c.width, c.height, c.minHeight, c.maxHeight);
        const int expected = largestFit(c.markup, c.width, c.height, c.minHeight, c.maxHeight);
        EXPECT_EQ(text->m_font.GetHeight(), expected)
            << c.markup << " in " << c.width << " x " << c.height;
        EXPECT_GE(text->m_font.GetHeight(), c.minHeight);
        EXPECT_LE(text->m_font.GetHeight(), c.maxHeight);
        // the lines drawn are those of the chosen height
        EXPECT_FALSE(text->m_lines.empty());
        for (const auto& line : text->m_lines)
            EXPECT_LE(line->GetWidth(), c.width) << c.markup;
    }
}

TEST_F(CopyFitTest, EndsAtTheMinimumWhenNothingFits)
{
    struct Case
    {
        const char* what;
        const char* markup;
        int width, height, minHeight;
        int maxLines;
    };
    const Case cases[] = {
        {"a word wider than the rectangle", "abcdefghijklmnop", 20, 500, 6, -1},
        {"a rectangle lower than the smallest line", "ab", 500, 3, 8, -1},
        {"the minimum above the rectangle", "ab", 500, 50, 80, -1},
        {"more paragraphs than lines allowed", "a\nb\nc", 500, 500, 10, 2},
        {"an empty rectangle", "abc def", 0, 0, 7, -1},
        {"a rectangle turned inside out", "abc def", -40, -30, 7, -1},
    };
    for (const Case& c : cases) {
        auto text = std::make_unique<CText>();
        text->m_copyFit = TRUE;
        text->m_minHeight = c.minHeight;
        text->m_maxLines = c.maxLines;
        text->m_formatRect = CRect(0, 0, c.width, c.height);
        text->m_text = c.markup;
        metrics->measured.clear();
        text->Reformat(nullptr, FALSE);
        EXPECT_EQ(text->m_font.GetHeight(), c.minHeight) << c.what;
        EXPECT_LT(metrics->measured.size(), 100u) << c.what;
    }
}

TEST_F(CopyFitTest, FixedSizeFaceTriesOnlyItsHeights)
{
    CTextDefaults::Current().font = MakeFont(100, "Sizes");
    ASSERT_EQ(CTextDefaults::Current().font.GetAllowedHeights(), (std::vector<int>{80, 100, 120}));
    struct Case
    {
        int rectHeight;
        int expected;
    };
    // Lines are 88, 110 and 132 high.
    for (const Case c : {Case{200, 120}, Case{120, 100}, Case{100, 80}, Case{50, 80}}) {
        auto text = std::make_unique<CText>();
        text->m_copyFit = TRUE;
        text->m_minHeight = 60;
        text->m_maxHeight = 200;
        text->m_formatRect = CRect(0, 0, 2000, c.rectHeight);
        text->m_text = "ab";
        metrics->measured.clear();
        text->Reformat(nullptr, FALSE);
        EXPECT_EQ(text->m_font.GetHeight(), c.expected) << c.rectHeight;
        const std::set<int> tried(metrics->measured.begin(), metrics->measured.end());
        for (int h : tried)
            EXPECT_TRUE(h == 80 || h == 100 || h == 120) << "tried " << h;
    }
}

TEST_F(CopyFitTest, UnevenFitStillEndsWithinTheRange)
{
    CTextDefaults::Current().font = MakeFont(20, "Uneven");
    for (int width : {30, 90, 170, 400, 900}) {
        for (int height : {20, 60, 250, 700}) {
            auto text = std::make_unique<CText>();
            text->m_copyFit = TRUE;
            text->m_minHeight = 5;
            text->m_maxHeight = 568;
            text->m_formatRect = CRect(0, 0, width, height);
            text->m_sampleText = "uneven widths make a wavy fit";
            metrics->measured.clear();
            text->Refresh();
            EXPECT_GE(text->m_font.GetHeight(), 5);
            EXPECT_LE(text->m_font.GetHeight(), 568);
            EXPECT_LT(metrics->measured.size(), 200u) << width << " x " << height;
        }
    }
}

TEST_F(CopyFitTest, EmptyTextHasNoLines)
{
    auto text = Make("", 200, 100);
    EXPECT_TRUE(text->m_lines.empty());
    EXPECT_TRUE(text->IsEmpty());
    EXPECT_EQ(text->m_textRect.Height(), 0);
}

TEST_F(CopyFitTest, LineSpacingRules)
{
    struct Case
    {
        int mode, amount;
        int spacing; // of a 20-high font, whose line is 22 high
    };
    const Case cases[] = {
        {LINESPACE_OWN, 100, 22},    {LINESPACE_PERCENT, 100, 22}, {LINESPACE_PERCENT, 150, 33},
        {LINESPACE_PERCENT, 50, 11}, {LINESPACE_PER_INCH, 6, 42},  {LINESPACE_PER_INCH, 10, 25},
        {LINESPACE_PER_INCH, 0, 22}, // no rule at all: the line's own height
    };
    for (const Case& c : cases) {
        auto text = Make("a\nb", 200, 1000);
        text->m_lineSpaceMode = c.mode;
        text->m_lineSpaceAmount = c.amount;
        ASSERT_TRUE(WrapAt(*text, 20));
        EXPECT_EQ(text->GetLineSpacing(0), c.spacing) << c.mode << " " << c.amount;
    }

    // Wider spacing makes the copy-fit choose a smaller size.
    auto own = Make("a\nb\nc\nd", 1000, 200);
    auto wide = Make("a\nb\nc\nd", 1000, 200);
    wide->m_lineSpaceMode = LINESPACE_PERCENT;
    wide->m_lineSpaceAmount = 200;
    wide->Reformat(nullptr, FALSE);
    EXPECT_LT(wide->m_font.GetHeight(), own->m_font.GetHeight());
}

TEST_F(CopyFitTest, ParagraphCount)
{
    struct Case
    {
        const char* text;
        int paragraphs;
    };
    const Case cases[] = {{"", 0},       {"a", 1},  {"a\n", 1},    {"a\nb", 2},
                          {"a\n\nb", 2}, {"\n", 1}, {"a\nb\n", 2}, {"\n\na", 2}};
    CText text;
    for (const Case& c : cases) {
        text.m_text = c.text;
        EXPECT_EQ(text.CountParagraphs(), c.paragraphs) << c.text;
    }
}
