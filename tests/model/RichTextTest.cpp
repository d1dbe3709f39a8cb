#include "RichText.h"
#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "RichTextLine.h"
#include "TestSupport.h"

#include <QImage>

#include <climits>
#include <functional>

#include <gtest/gtest.h>

// Readable failures.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Made-up fonts with round numbers: the cell is the height, the ascent four
// fifths of it, the em four fifths too (cell ratio 1.25), the external
// leading a tenth. Every character is five heights wide in hundredths, six in
// bold. The face "Kerned" kerns "AV" by one height.
class SyntheticMetrics : public CFontMetricsProvider
{
public:
    int measureCount = 0;

    static CTextMetrics Metrics(const LogFontFields& lf)
    {
        CTextMetrics tm;
        tm.tmHeight = lf.lfHeight;
        tm.tmAscent = lf.lfHeight * 4 / 5;
        tm.tmDescent = tm.tmHeight - tm.tmAscent;
        tm.tmInternalLeading = lf.lfHeight / 5;
        tm.tmExternalLeading = lf.lfHeight / 10;
        return tm;
    }
    bool Measure(const LogFontFields& lf, CFontMeasures& out) override
    {
        ++measureCount;
        out.tm = Metrics(lf);
        const int h = lf.lfHeight;
        out.widths.fill(lf.lfWeight == 700 ? 6 * h : 5 * h);
        out.kerning.clear();
        if (lf.lfFaceName == "Kerned")
            out.kerning = {{'A', 'V', -h}};
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

constexpr COLORREF kInk = MakeRGB(10, 20, 30);

// Rich text on synthetic fonts; the default font is 60 tenths high.
class RichTextTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }

    static SyntheticMetrics* InstallMetrics()
    {
        auto provider = std::make_unique<SyntheticMetrics>();
        SyntheticMetrics* installed = provider.get();
        CFontMetricsProvider::Install(std::move(provider));
        return installed;
    }

    // Parses the mark-up with the default font; returns the plain text.
    QString Parse(CRichText& rich, const QString& markup, int offset = 0)
    {
        QString text = markup;
        rich.Parse(text, offset, font, kInk);
        return text;
    }

    CAppContext context;
    SyntheticMetrics* metrics = InstallMetrics();
    CLogFont font = MakeFont(60);
};

// The tags in a short notation: "position +kind[=value]" for an opening tag,
// "position -kind[>match]" for a closing one, separated by spaces.
QString Describe(const std::vector<CRichTag>& tags)
{
    static const char* const kNames[] = {"face", "size", "colour", "b",   "i",
                                         "u",    "sup",  "sub",    "nbsp"};
    QStringList parts;
    for (const CRichTag& tag : tags) {
        const BYTE kind = tag.BaseKind();
        QString part =
            QStringLiteral("%1 %2%3")
                .arg(tag.position)
                .arg(QChar(tag.IsOpening() ? u'+' : u'-'))
                .arg(kind < 9 ? QString::fromLatin1(kNames[kind]) : QString::number(kind));
        if (!tag.value.isEmpty())
            part += u'=' + tag.value;
        if (!tag.IsOpening() && tag.IsFontKind())
            part += u'>' + QString::number(tag.match);
        parts << part;
    }
    return parts.join(u' ');
}

// Heights and colours of the runs: "start:height" with "b" for bold, "^"
// superscript, "_" subscript and "#" for a colour other than the default.
QString DescribeRuns(const std::vector<CFontRun>& runs)
{
    QStringList parts;
    for (const CFontRun& run : runs) {
        QString part = QStringLiteral("%1:%2").arg(run.start).arg(run.font->GetHeight());
        if (run.font->GetLogFont().lfWeight == 700)
            part += u'b';
        if (run.superscript)
            part += u'^';
        if (run.subscript)
            part += u'_';
        if (run.font->GetFaceName() != "Plain")
            part += u'@' + run.font->GetFaceName();
        if (run.colour != kInk)
            part += QStringLiteral("#%1").arg(run.colour, 6, 16, QLatin1Char('0'));
        parts << part;
    }
    return parts.join(u' ');
}

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

QRect InkBounds(const QImage& image, const QRect& area, bool (*wanted)(QRgb))
{
    QRect bounds;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (wanted(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

bool AnyInk(QRgb p)
{
    return qRed(p) + qGreen(p) + qBlue(p) < 3 * 255 - 60;
}
bool RedInk(QRgb p)
{
    return qRed(p) > 160 && qGreen(p) < 120 && qBlue(p) < 120;
}
bool DarkInk(QRgb p)
{
    return qRed(p) < 120 && qGreen(p) < 120 && qBlue(p) < 120;
}

} // namespace

// --- parsing -------------------------------------------------------------------------

TEST_F(RichTextTest, ParsingEachTag)
{
    struct Case
    {
        const char* markup;
        const char* plain;
        const char* tags;
    };
    const Case cases[] = {
        // Entities: only "&nbsp;", in any case; the rest stays as typed.
        {"a&nbsp;b", "a b", "1 +nbsp"},
        {"a&NbSp;b&nbsp;", "a b ", "1 +nbsp 3 +nbsp"},
        {"a&amp;b &nbsp &", "a&amp;b &nbsp &", ""},
        // Line-break tags in any case, with white space, give one LF each.
        {"a<br>b<BR>c< bR\t>d", "a\nb\nc\nd", ""},
        {"a<br/>b</br>", "a<br/>b</br>", ""},
        // The simple tags, with white space inside the brackets.
        {"<b>x</b>", "x", "0 +b 1 -b"},
        {"< I >x< / i >", "x", "0 +i 1 -i"},
        {"<u>x</u><sup>y</sup><sub>z</sub>", "xyz", "0 +u 1 -u 1 +sup 2 -sup 2 +sub 3 -sub"},
        {"<bold>x<b x>y<bx>", "<bold>x<b x>y<bx>", ""},
        // Font tags: the first attribute decides and gives the value.
        {"<font face=\"Times New Roman\">x</font>", "x", "0 +face=Times New Roman 1 -face>0"},
        {"<FONT SIZE = \"+50\" >x</Font >", "x", "0 +size=+50 1 -size>0"},
        {"<font colour=\"#FF0000\">x</font>", "x", "0 +colour=#FF0000 1 -colour>0"},
        {"<font face=\"A\" size=\"20\">x", "x", "0 +face=A"},
        // Font tags that are not recognised stay in the text.
        {"<font color=\"#FF0000\">x", "<font color=\"#FF0000\">x", ""},
        {"<font face=Arial>x", "<font face=Arial>x", ""},
        {"<font face=\"\">x", "<font face=\"\">x", ""},
        {"<font>x<fontface=\"A\">", "<font>x<fontface=\"A\">", ""},
        {"<font facet=\"A\">x", "<font facet=\"A\">x", ""},
        {"<font face=\"a>b\">x", "<font face=\"a>b\">x", ""},
        {"x</font>", "x</font>", ""},
        {"<font size=\"9\">x</font size>", "x</font size>", "0 +size=9"},
        // Unterminated tags and stray brackets.
        {"a<b", "a<b", ""},
        {"<<b>>", "<>", "1 +b"},
        {"a > b < c", "a > b < c", ""},
        // A line-break pair counts as one position, a lone break as one.
        {"a\r\n<b>b\n\n<i>c\r\r<u>", "a\r\nb\n\nc\r\r", "2 +b 5 +i 8 +u"},
    };
    for (const Case& c : cases) {
        CRichText rich;
        EXPECT_EQ(Parse(rich, c.markup), c.plain) << c.markup;
        EXPECT_EQ(Describe(rich.GetTags()), c.tags) << c.markup;
    }
}

TEST_F(RichTextTest, NestedFontTagsCloseInnermostFirst)
{
    CRichText rich;
    EXPECT_EQ(Parse(rich, "<font size=\"20\">a<font face=\"B\">b<b>c</font>d</b></font>e</font>"),
              "abcde</font>");
    EXPECT_EQ(Describe(rich.GetTags()), "0 +size=20 1 +face=B 2 +b 3 -face>1 4 -b 4 -size>0");

    // Siblings each close their own tag.
    EXPECT_EQ(Parse(rich, "<font size=\"20\">a</font><font colour=\"#00FF00\">b</font>"), "ab");
    EXPECT_EQ(Describe(rich.GetTags()), "0 +size=20 1 -size>0 1 +colour=#00FF00 2 -colour>2");
}

TEST_F(RichTextTest, StartOffsetAndSingleByteText)
{
    CRichText rich;
    EXPECT_EQ(Parse(rich, "ab<b>c&nbsp;d", 5), "abc d");
    EXPECT_EQ(Describe(rich.GetTags()), "7 +b 8 +nbsp");
    EXPECT_TRUE(rich.IsNbspAt(8));
    EXPECT_FALSE(rich.IsNbspAt(3));
    EXPECT_FALSE(rich.IsNbspAt(7));

    // What Windows-1252 lacks is "?" (one for each UTF-16 unit, as a text
    // base holds it), so positions match the stored text.
    EXPECT_EQ(Parse(rich, QString::fromUtf8("\u20AC\u03A9\U0001F600<b>x")),
              QString::fromUtf8("\u20AC???x"));
    EXPECT_EQ(Describe(rich.GetTags()), "4 +b");

    struct Count
    {
        const char* text;
        int chars;
    };
    for (const Count& c : {Count{"", 0}, Count{"ab", 2}, Count{"a\r\nb", 3}, Count{"\n\r\n\r", 2},
                           Count{"\r\r\n", 2}, Count{"\n\n", 2}, Count{"\v\f\r\n", 2}}) {
        EXPECT_EQ(CRichText::CountChars(c.text), c.chars) << c.text;
    }
}

// --- writing back -----------------------------------------------------------------------

TEST_F(RichTextTest, WritingBackGivesTheMarkup)
{
    struct Case
    {
        const char* markup;
        const char* written; // null: the mark-up itself
        int offset;
    };
    const Case cases[] = {
        {"a&nbsp;b", nullptr, 0},
        {"<b>bold</b> and <i>it</i><u>u</u>", nullptr, 0},
        {"<font size=\"20\">a<font face=\"B\">b</font>c</font>", nullptr, 0},
        {"<font colour=\"#FF0000\">red</font> x<sup>2</sup>+y<sub>i</sub>", nullptr, 4},
        {"one\r\n<u>two</u>\r\n&nbsp;three", nullptr, 0},
        {"&amp; <bold> </font> a<b", nullptr, 0},
        {"", nullptr, 0},
        // What Parse does not keep comes back in its one spelling.
        {"a<BR>b< br >c", "a\nb\nc", 0},
        {"<B>x</ B>&NBSP;", "<b>x</b>&nbsp;", 0},
        {"<font size = \"12\" >x</font >", "<font size=\"12\">x</font>", 0},
        {"<font face=\"A\" size=\"3\">x</font>", "<font face=\"A\">x</font>", 0},
    };
    for (const Case& c : cases) {
        CRichText rich;
        const QString plain = Parse(rich, c.markup, c.offset);
        EXPECT_EQ(rich.ToMarkup(plain, c.offset), c.written ? c.written : c.markup) << c.markup;
    }
}

TEST_F(RichTextTest, WritingBackOverAChangedText)
{
    CRichText rich;
    Parse(rich, "ab<b>cd</b>&nbsp;e");
    // A shorter text: the tags past its end follow it.
    EXPECT_EQ(rich.ToMarkup("ab", 0), "ab<b></b>&nbsp;");
    // No space where the non-breaking one was: the character stays.
    EXPECT_EQ(rich.ToMarkup("abcdXe", 0), "ab<b>cd</b>&nbsp;Xe");
    // An offset larger than the positions puts the tags first.
    EXPECT_EQ(rich.ToMarkup("abcd e", 10), "<b></b>&nbsp;abcd e");
}

// --- font runs ------------------------------------------------------------------------

TEST_F(RichTextTest, RunsFollowTheTags)
{
    struct Case
    {
        const char* markup;
        const char* runs;
    };
    const Case cases[] = {
        {"plain", "0:60"},
        // Tags at one position share one run.
        {"<b><i>x</i></b>y", "0:60b 1:60"},
        // Sizes: relative to the default size, absolute in points; what is
        // not a number is 0 points and snaps to the smallest height.
        {"<font size=\"+50\">a</font><font size=\"-50\">b</font>", "0:90 1:30 2:60"},
        {"<font size=\"20\">a</font>", "0:88 1:60"},
        {"<font size=\"abc\">a<font size=\"1e999\">b<font size=\"nan\">c", "0:3 1:3527 2:3"},
        {"<font size=\"-1e999\">a<font size=\"+1e999\">b<font size=\"99999999999999\">c",
         "0:3 1:3527 2:3527"},
        // Relative sizes are a share of the default, not of the current size.
        {"<font size=\"+50\"><font size=\"+50\">a", "0:90"},
        // Nested sizes come back in turn; siblings go back to the default.
        {"<font size=\"20\">a<font size=\"+50\">b</font>c</font>d", "0:88 1:90 2:88 3:60"},
        {"<font size=\"20\">a</font><font size=\"+50\">b</font>c", "0:88 1:90 2:60"},
        {"<font face=\"Q\">a</font><font size=\"+50\">b</font>c", "0:60@Q 1:90 2:60"},
        // A closing bold is not bold, even inside an outer bold.
        {"<b>a<b>b</b>c</b>", "0:60b 1:60b 2:60 3:60"},
        // A closing font tag keeps what other tags at its opening did.
        {"<b><font size=\"20\">a</font>b</b>c", "0:88b 1:60b 2:60"},
        // Colours: six hexadecimal digits after "#"; others change nothing.
        {"<font colour=\"#FF0000\">a</font>b", "0:60#0000ff 1:60"},
        {"<font colour=\"# 00ff00\">a<font colour=\"#FF00\">b</font></font>c",
         "0:60#00ff00 1:60#00ff00 2:60"},
        {"<font colour=\"red\">a<font colour=\"#0000FFx\">b</font>c", "0:60 1:60#ff0000 2:60"},
        // Superscripts and subscripts take two thirds of the size and give
        // it back.
        {"x<sup>2</sup>y<sub>3</sub>", "0:60 1:40^ 2:60 3:40_ 4:60"},
    };
    for (const Case& c : cases) {
        CRichText rich;
        Parse(rich, c.markup);
        EXPECT_EQ(DescribeRuns(rich.GetRuns()), c.runs) << c.markup;
    }
}

TEST_F(RichTextTest, FaceTagsChangeTheFaceOnly)
{
    CRichText rich;
    Parse(rich, "a<font face=\"Kerned\" size=\"40\">b</font>c");
    const std::vector<CFontRun>& runs = rich.GetRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].font->GetFaceName(), "Kerned");
    EXPECT_EQ(runs[1].font->GetHeight(), 60);
    EXPECT_EQ(runs[1].gdiFont, runs[1].font->GetDrawingFont());
    EXPECT_EQ(runs[2].font->GetFaceName(), "Plain");
    // Each run has a record of its own.
    EXPECT_NE(runs[0].font, runs[2].font);
}

TEST_F(RichTextTest, DefaultRunsAndRebuilding)
{
    CRichText rich;
    EXPECT_TRUE(rich.GetRuns().empty());
    rich.AddRun(font, MakeRGB(1, 2, 3));
    ASSERT_EQ(rich.GetRuns().size(), 1u);
    EXPECT_EQ(rich.GetRuns()[0].start, 0);
    EXPECT_EQ(rich.GetRuns()[0].colour, MakeRGB(1, 2, 3));
    EXPECT_NE(rich.GetRuns()[0].font.get(), &font);
    EXPECT_EQ(rich.GetRuns()[0].font->GetLogFont(), font.GetLogFont());

    // A new default: the relative size follows it, the tags stay.
    Parse(rich, "a<font size=\"+50\">b");
    rich.SetDefaultFont(MakeFont(40), MakeRGB(0, 0, 9));
    EXPECT_EQ(Describe(rich.GetTags()), "1 +size=+50");
    ASSERT_EQ(rich.GetRuns().size(), 2u);
    EXPECT_EQ(rich.GetRuns()[0].font->GetHeight(), 40);
    EXPECT_EQ(rich.GetRuns()[1].font->GetHeight(), 60);
    EXPECT_EQ(rich.GetRuns()[1].colour, MakeRGB(0, 0, 9));

    rich.ClearRuns();
    EXPECT_TRUE(rich.GetRuns().empty());
    EXPECT_FALSE(rich.GetTags().empty());
    rich.ClearTags();
    EXPECT_TRUE(rich.GetTags().empty());
}

TEST_F(RichTextTest, RunsFromAPosition)
{
    CRichText rich;
    Parse(rich, "abc<b>defg</b>hij");
    struct Case
    {
        int position;
        const char* runs;
    };
    for (const Case& c :
         {Case{0, "0:60 3:60b 7:60"}, Case{2, "0:60 1:60b 5:60"}, Case{3, "0:60b 4:60"},
          Case{5, "0:60b 2:60"}, Case{7, "0:60"}, Case{100, "0:60"}, Case{-1, ""}}) {
        EXPECT_EQ(DescribeRuns(rich.GetRunsFrom(c.position)), c.runs) << c.position;
    }
    // The copies share the records, which outlive the rich text's own runs.
    std::vector<CFontRun> copies = rich.GetRunsFrom(3);
    EXPECT_EQ(copies[0].font, rich.GetRuns()[1].font);
    rich.ClearRuns();
    EXPECT_EQ(copies[0].font->GetLogFont().lfWeight, 700);
    EXPECT_TRUE(CRichText().GetRunsFrom(0).empty());
}

TEST_F(RichTextTest, CopiesAreDeep)
{
    CRichText rich;
    Parse(rich, "a<b>b</b>&nbsp;");
    CRichText copy(rich);
    CRichText assigned;
    assigned.AddRun(MakeFont(30), 0);
    assigned = rich;
    for (const CRichText* other : {&copy, &assigned}) {
        EXPECT_EQ(other->GetTags(), rich.GetTags());
        ASSERT_EQ(other->GetRuns().size(), rich.GetRuns().size());
        for (size_t i = 0; i < rich.GetRuns().size(); ++i) {
            EXPECT_NE(other->GetRuns()[i].font, rich.GetRuns()[i].font);
            EXPECT_EQ(other->GetRuns()[i].font->GetLogFont(), rich.GetRuns()[i].font->GetLogFont());
            EXPECT_EQ(other->GetRuns()[i].start, rich.GetRuns()[i].start);
        }
    }
    const auto* before = rich.GetRuns()[0].font.get();
    rich = *&rich;
    EXPECT_EQ(rich.GetRuns()[0].font.get(), before);
}

// --- archive --------------------------------------------------------------------------

TEST_F(RichTextTest, ArchiveRecord)
{
    CRichText rich;
    Parse(rich, "<font size=\"+50\">x</font>");
    // Two tags: an opening size tag with "+50", the closing tag matching it.
    QByteArray expected = QByteArray::fromHex("02000000"
                                              "00000000"
                                              "81"
                                              "032b3530"
                                              "00000000"
                                              "01000000"
                                              "01"
                                              "00"
                                              "00000000"
                                              "02000000");
    for (const CFontRun& run : rich.GetRuns()) {
        QByteArray fields;
        CArchive ar(&fields, CArchive::store);
        ar << run.start << DWORD(run.colour) << 0 << 0;
        expected += fields;
        CLogFont record = *run.font;
        expected += Store(record);
    }
    EXPECT_EQ(Store(rich), expected);

    // Loading empties both lists and gives every run a record of its own.
    CRichText loaded;
    Parse(loaded, "<b>a</b><i>b</i>");
    QByteArray bytes = expected;
    CArchive ar(&bytes, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    EXPECT_EQ(loaded.GetTags(), rich.GetTags());
    EXPECT_EQ(DescribeRuns(loaded.GetRuns()), "0:90 1:60");
    EXPECT_NE(loaded.GetRuns()[0].font, rich.GetRuns()[0].font);
    EXPECT_EQ(loaded.GetRuns()[0].gdiFont, rich.GetRuns()[0].gdiFont);

    // Flags survive too.
    Parse(rich, "a<sup>b</sup><sub>c</sub>");
    QByteArray flagged = Store(rich);
    CArchive in(&flagged, CArchive::load);
    loaded.Serialize(in);
    EXPECT_EQ(DescribeRuns(loaded.GetRuns()), DescribeRuns(rich.GetRuns()));
}

TEST_F(RichTextTest, DamagedArchivesRaiseErrors)
{
    CRichText rich;
    Parse(rich, "<b>a</b>&nbsp;<font face=\"Q\">b</font>");
    const QByteArray whole = Store(rich);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        QByteArray cut = whole.left(length);
        CArchive ar(&cut, CArchive::load);
        CRichText loaded;
        EXPECT_THROW(loaded.Serialize(ar), CArchiveException) << length;
    }
    // Counts far beyond the data fail before anything is made.
    for (const char* hex :
         {"ffffffff", "00000000ffffffff", "0100000000000000880000000000ffffff7f"}) {
        QByteArray bytes = QByteArray::fromHex(hex);
        CArchive ar(&bytes, CArchive::load);
        CRichText loaded;
        EXPECT_THROW(loaded.Serialize(ar), CArchiveException) << hex;
    }
}

TEST_F(RichTextTest, NonsenseTagsFromAnArchiveAreHarmless)
{
    // Tags no parse makes: unknown kinds, matches that point anywhere,
    // positions out of order or negative.
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        ar << DWORD(6);
        const struct
        {
            int position;
            BYTE kind;
            int match;
        } tags[] = {{5, 0x81, 0}, {2, 0x01, 7}, {-3, 0x02, -1},
                    {9, 0x7F, 0}, {1, 0x01, 1}, {4, 0x08, 0}};
        for (const auto& t : tags)
            ar << t.position << t.kind << QStringLiteral("12") << t.match;
        ar << DWORD(0);
    }
    CRichText rich;
    CArchive ar(&bytes, CArchive::load);
    rich.Serialize(ar);
    ASSERT_EQ(rich.GetTags().size(), 6u);
    EXPECT_TRUE(rich.GetRuns().empty());
    EXPECT_TRUE(rich.GetRunsFrom(0).empty());

    rich.SetDefaultFont(font, kInk);
    EXPECT_EQ(DescribeRuns(rich.GetRuns()), "0:60 5:53 2:60 -3:60 1:60");
    EXPECT_EQ(rich.ToMarkup("abcdefghij", 0),
              "abcde<font size=\"12\"></font></font>fghi</font>&nbsp;j");
    EXPECT_TRUE(rich.IsNbspAt(4));
}

// --- hostile mark-up ---------------------------------------------------------------------

TEST_F(RichTextTest, HostileMarkupStaysCheap)
{
    struct Case
    {
        QString markup;
        qsizetype plainLength; // -1: the mark-up's own length
        size_t tags;
    };
    const QString manyBold = QStringLiteral("<b>").repeated(100000);
    const Case cases[] = {
        // Brackets and ampersands with nothing to close them.
        {QStringLiteral("<").repeated(300000), -1, 0},
        {QStringLiteral("&").repeated(300000), -1, 0},
        {QStringLiteral("<font face=\"").repeated(30000), -1, 0},
        // One ">" at the very end: the first tag takes it all, its value
        // running to the next quote.
        {QStringLiteral("<font face=\"x").repeated(30000) + u'>', 0, 1},
        {QStringLiteral("</font>").repeated(30000), -1, 0},
        {u'<' + QString(200000, u' ') + QStringLiteral("b>"), 0, 1},
        // Tags past the limit stay in the text as typed.
        {manyBold, (100000 - CRichText::kMaxTags) * 3, CRichText::kMaxTags},
        {QStringLiteral("&nbsp;").repeated(3000),
         CRichText::kMaxTags + (3000 - CRichText::kMaxTags) * 6, CRichText::kMaxTags},
        // Tags at as many places make as many runs, then no more.
        {QStringLiteral("<b>x</b>").repeated(5000),
         CRichText::kMaxTags / 2 + (5000 - CRichText::kMaxTags / 2) * 8, CRichText::kMaxTags},
    };
    for (const Case& c : cases) {
        CRichText rich;
        const QString plain = Parse(rich, c.markup);
        EXPECT_EQ(plain.size(), c.plainLength < 0 ? c.markup.size() : c.plainLength)
            << c.markup.left(20).toStdString();
        EXPECT_EQ(rich.GetTags().size(), c.tags) << c.markup.left(20).toStdString();
        EXPECT_LE(rich.GetRuns().size(), rich.GetTags().size() + 1);
        // Written back, the text reads the same again.
        CRichText again;
        EXPECT_EQ(Parse(again, rich.ToMarkup(plain, 0)), plain);
    }

    // Each kind, long, is read in one pass: a reader that went back over
    // what it read would not finish here (its growth is measured in bench/).
    const std::function<QString(int)> kinds[] = {
        [](int n) { return QStringLiteral("<").repeated(n); },
        [](int n) { return QStringLiteral("&").repeated(n); },
        [](int n) { return QStringLiteral("<font face=\"").repeated(n / 10); },
        [](int n) { return QStringLiteral("</font>").repeated(n / 10); },
        [](int n) { return u'<' + QString(n, u' ') + QStringLiteral("b>"); },
        [](int n) { return QStringLiteral("<b>x</b>").repeated(n / 8); },
    };
    for (std::size_t k = 0; k < std::size(kinds); ++k) {
        CRichText rich;
        const QString markup = kinds[k](2400000);
        EXPECT_LE(Parse(rich, markup).size(), markup.size()) << "kind " << k;
    }
}

TEST_F(RichTextTest, DeepNestingAndRunawaySizes)
{
    // Font tags nested as deep as the tag limit allows match up in turn.
    const int depth = CRichText::kMaxTags / 2;
    QString markup;
    for (int i = 0; i < depth; ++i)
        markup += QStringLiteral("<font size=\"%1\">x").arg(i % 50 + 1);
    markup += QStringLiteral("</font>").repeated(depth + 1);
    CRichText rich;
    const QString plain = Parse(rich, markup);
    EXPECT_EQ(plain, QString(depth, u'x') + QStringLiteral("</font>"));
    const std::vector<CRichTag>& tags = rich.GetTags();
    ASSERT_EQ(tags.size(), size_t(2 * depth));
    for (int i = 0; i < depth; ++i)
        EXPECT_EQ(tags[size_t(depth + i)].match, depth - 1 - i);
    ASSERT_EQ(rich.GetRuns().size(), size_t(depth + 1));
    EXPECT_EQ(rich.GetRuns().back().font->GetHeight(), 60);

    // Superscripts within superscripts shrink to the smallest height and
    // grow back no further than the largest.
    Parse(rich, QStringLiteral("<sup>").repeated(40) + u'a' +
                    QStringLiteral("</sup>").repeated(60) + u'b');
    ASSERT_EQ(rich.GetRuns().size(), 2u);
    EXPECT_EQ(rich.GetRuns()[0].font->GetHeight(), CLogFont::kMinHeight);
    EXPECT_EQ(rich.GetRuns()[1].font->GetHeight(), CLogFont::kMaxHeight);
    EXPECT_FALSE(rich.GetRuns()[1].superscript);

    // A start offset near the largest position does not wrap around.
    Parse(rich, "abc<b>d", INT_MAX - 1);
    EXPECT_EQ(Describe(rich.GetTags()), QStringLiteral("%1 +b").arg(INT_MAX));
}

// --- the rich-text line ------------------------------------------------------------------

class RichTextLineTest : public RichTextTest
{
protected:
    // The line for the plain text of the mark-up from the position on.
    CTextLines Line(const QString& markup, int from = 0)
    {
        QString text = Parse(rich, markup);
        return CTextLines(rich.GetRunsFrom(from), text.mid(from));
    }

    static QString Segments(const CTextLines& line)
    {
        QStringList parts;
        for (int i = 0; i < line.GetSegmentCount(); ++i) {
            parts << QStringLiteral("%1:%2")
                         .arg(line.GetSegmentStart(i))
                         .arg(line.GetSegment(i).GetText());
            EXPECT_EQ(&line.GetSegment(i).GetFont(), line.GetSegmentRun(i).font.get());
        }
        return parts.join(u' ');
    }

    CRichText rich;
};

TEST_F(RichTextLineTest, SegmentsFollowTheRuns)
{
    struct Case
    {
        const char* markup;
        int from;
        const char* segments;
    };
    const Case cases[] = {
        {"", 0, "0:"},
        {"abc", 0, "0:abc"},
        {"ab<b>cd</b>ef", 0, "0:ab 2:cd 4:ef"},
        {"ab<b>cd</b>ef", 3, "0:d 1:ef"},
        {"ab<b>cd</b>ef", 4, "0:ef"},
        // A run that starts at the end of the text makes no segment.
        {"ab<b>cd</b>", 0, "0:ab 2:cd"},
        {"<b>a</b>", 0, "0:a"},
    };
    for (const Case& c : cases) {
        const CTextLines line = Line(c.markup, c.from);
        EXPECT_EQ(Segments(line), c.segments) << c.markup << " " << c.from;
        EXPECT_LE(line.GetSegmentCount(), int(line.GetRuns().size()));
        for (int i = 0; i < line.GetSegmentCount(); ++i)
            EXPECT_EQ(&line.GetSegmentRun(i), &line.GetRuns()[size_t(i)]) << c.markup;
    }

    // An empty line has one empty segment and the first run's height.
    const CTextLines empty = Line("<font size=\"+50\">");
    EXPECT_EQ(Segments(empty), "0:");
    EXPECT_EQ(empty.GetHeight(), 90 + 9);
    EXPECT_EQ(empty.GetWidth(), 0);

    // No runs at all: the default text font stands in.
    CTextDefaults::Current().font = MakeFont(50);
    const CTextLines bare({}, "xy");
    EXPECT_EQ(bare.GetRuns().size(), 1u);
    EXPECT_EQ(bare.GetHeight(), 55);
    EXPECT_EQ(bare.GetWidth(), 50);

    const CFontRun* found = nullptr;
    const CTextLines line = Line("ab<b>cd</b>ef");
    EXPECT_TRUE(line.FindRunAt(2, &found));
    EXPECT_EQ(found, &line.GetRuns()[1]);
    EXPECT_FALSE(line.FindRunAt(3, &found));
    EXPECT_EQ(found, nullptr);
}

TEST_F(RichTextLineTest, EditingTheText)
{
    // A single run keeps a single segment.
    CTextLines single = Line("abc");
    EXPECT_EQ(single.SetText("hello"), 5);
    single.InsertChar(u'!');
    single.InsertChar(u'>', 0);
    EXPECT_EQ(Segments(single), "0:>hello!");

    // Several runs: appending opens a segment where a run starts.
    CTextLines line = Line("ab<b>cd</b>ef");
    EXPECT_EQ(line.SetText(""), 0);
    EXPECT_EQ(Segments(line), "0:");
    const char* steps[] = {"0:a", "0:ab", "0:ab 2:c", "0:ab 2:cd", "0:ab 2:cd 4:e"};
    for (int i = 0; i < 5; ++i) {
        line.InsertChar(QChar(u'a' + i));
        EXPECT_EQ(Segments(line), steps[i]);
    }
    // Inserting cuts again.
    line.InsertChar(u'X', 1);
    EXPECT_EQ(Segments(line), "0:aX 2:bc 4:de");
    line.InsertChar(u'Y', 99);
    EXPECT_EQ(Segments(line), "0:aX 2:bc 4:deY");

    // Truncating keeps characters 0..n.
    struct Cut
    {
        int last;
        const char* segments;
    };
    for (const Cut& c :
         {Cut{6, "0:aX 2:bc 4:deY"}, Cut{50, "0:aX 2:bc 4:deY"}, Cut{4, "0:aX 2:bc 4:d"},
          Cut{3, "0:aX 2:bc"}, Cut{2, "0:aX 2:b"}, Cut{0, "0:a"}, Cut{-1, "0:"}}) {
        CTextLines cut = line;
        cut.Truncate(c.last);
        EXPECT_EQ(Segments(cut), c.segments) << c.last;
        EXPECT_EQ(cut.GetLength(), std::min(c.last + 1, 7));
    }
}

TEST_F(RichTextLineTest, WidthsWithKerning)
{
    // "AV" kerns by one height within a segment, never across two segments.
    font = MakeFont(60, "Kerned");
    struct Case
    {
        const char* markup;
        int count;
        int width;
    };
    const Case cases[] = {
        {"AVAV", -1, (4 * 300 - 2 * 60 + 5) / 10},
        {"AVAV", 2, (600 - 60 + 5) / 10},
        {"AVAV", 1, 30},
        {"AVAV", 0, 0},
        {"AV<b>AV</b>", -1, (600 - 60 + 720 - 60 + 5) / 10},
        {"AV<b>AV</b>", 3, (540 + 360 + 5) / 10},
        {"A<b>V</b>", -1, (300 + 360 + 5) / 10},
        {"AV<font size=\"+50\">AV</font>AV", 100, (540 + 900 - 90 + 540 + 5) / 10},
        {"AV<font size=\"+50\">AV</font>AV", 5, (540 + 810 + 300 + 5) / 10},
    };
    for (const Case& c : cases) {
        const CTextLines line = Line(c.markup);
        EXPECT_EQ(line.GetWidth(c.count), c.width) << c.markup << " " << c.count;
    }
    // The tallest cell with its leading.
    EXPECT_EQ(Line("a<font size=\"+50\">b</font>c").GetHeight(), 99);
    EXPECT_EQ(Line("a<sub>b</sub>").GetHeight(), 66);
}

TEST_F(RichTextLineTest, LayoutPutsSegmentsOnOneBaseline)
{
    // Default 60 (ascent 48), 90 (ascent 72), superscript 60, subscript 40.
    CTextLines line = Line("<font size=\"+50\">A<sup>2</sup></font>B<sub>3</sub>");
    ASSERT_EQ(line.GetSegmentCount(), 4);
    line.LayOut(CPoint(100, 200));
    EXPECT_EQ(line.GetOrigin(), CPoint(100, 200));
    const CPoint expected[] = {
        {100, 200},           // the tallest segment: its top at the origin
        {145, 200},           // superscript: hangs from the top of the one before
        {175, 200 + 72 - 48}, // normal: the same baseline as the tallest
        {205, 224 + 60 - 40}, // subscript: at the bottom of the one before
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(line.GetSegment(i).GetOrigin(), expected[i]) << i;

    // A superscript first in the line sits at the origin height.
    CTextLines raised = Line("x<sup>23</sup>y", 2);
    raised.LayOut(CPoint(10, 20));
    EXPECT_EQ(raised.GetSegment(0).GetOrigin(), CPoint(10, 20));
    EXPECT_EQ(raised.GetSegment(1).GetOrigin(), CPoint(30, 20));

    // Turned text: each place is turned about the origin, clockwise.
    font.SetRotation(90);
    CTextLines turned = Line("<font size=\"+50\">A</font>B");
    EXPECT_EQ(turned.GetAngle(), 90);
    turned.LayOut(CPoint(100, 200));
    EXPECT_EQ(turned.GetSegment(0).GetOrigin(), CPoint(100, 200));
    EXPECT_EQ(turned.GetSegment(1).GetOrigin(), CPoint(100 - 24, 200 + 45));
    font.SetRotation(0);
    EXPECT_EQ(Line("a").GetAngle(), 0);
}

// --- drawing with real fonts ---------------------------------------------------------------

class RichTextDrawTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }
    CAppContext context;
};

TEST_F(RichTextDrawTest, InkLandsWhereTheLayoutSays)
{
    CLogFont font; // Arial, measured on the virtual printer
    font.SetHeight(100);
    CRichText rich;
    QString text =
        QStringLiteral("HH<font colour=\"#FF0000\"><font size=\"+100\">HH</font></font>x");
    rich.Parse(text, 0, font, MakeRGB(0, 0, 0));
    CTextLines line(rich.GetRunsFrom(0), text);
    ASSERT_EQ(line.GetSegmentCount(), 3);
    line.LayOut(CPoint(40, 30));

    // One pixel per tenth of a millimetre.
    CImageDC dc(900, 400, 254, 254);
    dc.SetTenthsMmMapping();
    const LogFontFields before = dc.SelectFont(CLogFont::DefaultLogFont());
    dc.SetTextColor(MakeRGB(0, 128, 0));
    line.Draw(&dc);
    EXPECT_EQ(dc.GetTextColor(), MakeRGB(0, 128, 0));
    EXPECT_EQ(dc.SelectFont(before), CLogFont::DefaultLogFont());

    const QImage& image = dc.Image();
    const auto segmentBox = [&](int i) {
        const CTextBase& segment = line.GetSegment(i);
        const CPoint o = segment.GetOrigin();
        return QRect(o.x, o.y, (segment.GetTextWidth() + 5) / 10,
                     segment.GetFont().GetTextMetrics().tmHeight);
    };
    const QRect whole = InkBounds(image, image.rect(), AnyInk);
    ASSERT_FALSE(whole.isEmpty());
    EXPECT_GE(whole.left(), 40);
    EXPECT_LE(whole.right(), 40 + line.GetWidth());

    // Each segment's ink lies in its own cell, in its own colour.
    const QRect red = InkBounds(image, image.rect(), RedInk);
    const QRect dark = InkBounds(image, image.rect(), DarkInk);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_TRUE(segmentBox(1).adjusted(-2, -2, 2, 2).contains(red)) << segmentBox(1).x();
    EXPECT_TRUE(InkBounds(image, segmentBox(1), DarkInk).isEmpty());
    const QRect firstDark = InkBounds(image, segmentBox(0), DarkInk);
    const QRect lastDark = InkBounds(image, segmentBox(2), DarkInk);
    ASSERT_FALSE(firstDark.isEmpty());
    ASSERT_FALSE(lastDark.isEmpty());
    EXPECT_EQ(dark, firstDark | lastDark);

    // One baseline: the capitals end on the same row, the larger ones reach
    // twice as high.
    EXPECT_NEAR(red.bottom(), firstDark.bottom(), 1);
    EXPECT_NEAR(lastDark.bottom(), firstDark.bottom(), 1);
    const int smallCap = firstDark.height();
    EXPECT_NEAR(red.height(), 2 * smallCap, 3);
}
