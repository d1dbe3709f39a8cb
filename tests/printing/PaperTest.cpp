#include "Paper.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "Growth.h"
#include "MessageBox.h"
#include "Printer.h"
#include "ScopedEnv.h"
#include "SignApp.h"
#include "TextExport.h"

#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <vector>

#include <unistd.h>

// Readable values in failure messages.
std::ostream& operator<<(std::ostream& os, const QString& text)
{
    return os << '"' << text.toStdString() << '"';
}
static void PrintTo(const CSize& s, std::ostream* os)
{
    *os << "CSize(" << s.cx << ", " << s.cy << ")";
}
static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "CPoint(" << p.x << ", " << p.y << ")";
}
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "CRect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
static void PrintTo(const CPaperStock& s, std::ostream* os)
{
    *os << s.category << "," << s.name;
    for (int v : {s.pageWidth, s.pageHeight, s.continuous, s.topMargin, s.leftMargin, s.type,
                  s.cornerRadius, s.labelWidth, s.columns, s.horzPitch, s.labelHeight, s.rows,
                  s.vertPitch, s.builtIn, s.selectionWidth, s.selectionHeight})
        *os << "," << v;
    *os << "," << s.backgroundImage << "," << s.backgroundOrientation;
}

namespace {

// The printer needs a GUI application; the test program has no main of its
// own, so the first test makes one.
void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "printing_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

const QString kHeader = QString::fromLatin1(CPaper::kLibraryHeader);

CPaperStock MakeStock(const QString& category, const QString& name, int labelWidth = 991,
                      int labelHeight = 381)
{
    CPaperStock s;
    s.category = category;
    s.name = name;
    s.pageWidth = s.selectionWidth = 2100;
    s.pageHeight = s.selectionHeight = 2970;
    s.topMargin = 151;
    s.leftMargin = 46;
    s.labelWidth = labelWidth;
    s.labelHeight = labelHeight;
    s.columns = 2;
    s.horzPitch = 10160;
    s.rows = 7;
    s.vertPitch = 3810;
    return s;
}

class PaperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(home.isValid());
        homeEnv.Set(home.path().toUtf8());
        printerEnv.Set("Tabrel PDF");
        CSignApp::SetProfileFolderForTests(home.filePath(QStringLiteral("profile")));
    }
    void TearDown() override { CPaper::s_locateMissingFile = nullptr; }

    QString PathOf(const QString& name) const { return home.filePath(name); }

    void WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadBytes(const QString& name) const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A library file: the header, then the lines, with CR LF ends.
    void WriteLibrary(const QString& name, const QStringList& lines) const
    {
        QString text = kHeader + QStringLiteral("\r\n");
        for (const QString& line : lines)
            text += line + QStringLiteral("\r\n");
        WriteBytes(name, ToWindows1252(text));
    }
    // An empty picture file in the program folder.
    QString MakePicture(const QString& name) const
    {
        const QString path = PathOf(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    QTemporaryDir home;
    CScopedEnv homeEnv{"TABREL_HOME"};
    CScopedEnv printerEnv{"TABREL_DEFAULT_PRINTER"};
    CAppContext context;
    CMessageResponder messages;
    CPaper& paper = ThePaper();
};

// Line of a library file with the given grid; the rest as a 2 x 7 A4 sheet.
QString Line(const QString& head, const QString& tail = QString())
{
    return head + QStringLiteral(",2100,2970,0,151,46,0,0,991,2,10160,381,7,3810") + tail;
}

} // namespace

// Library files ------------------------------------------------------------

TEST_F(PaperTest, LibraryLinesAreReadOrSkippedOrRefused)
{
    const QString picture = MakePicture(QStringLiteral("back.png"));
    struct Case
    {
        const char* what;
        QString line;
        enum
        {
            read,
            skipped,
            refused
        } outcome;
        CSize selection{};
        QString image{};
        int orientation = 0;
        bool lfOnly = false;
    };
    const Case cases[] = {
        {"short line: selection is the page", Line("Cat,S"), Case::read, {2100, 2970}},
        {"LF-only ends are read like CR LF", Line("Cat,S"), Case::read, {2100, 2970}, {}, 0, true},
        {"selection given", Line("Cat,S", ",1000,500"), Case::read, {1000, 500}},
        {"old writer's picture line: selection 0 x 0",
         Line("Cat,S", ",,," + picture + ",90"),
         Case::read,
         {0, 0},
         picture,
         90},
        {"picture without orientation",
         Line("Cat,S", ",2100,2970," + picture),
         Case::read,
         {2100, 2970},
         picture,
         0},
        {"fields beyond the known ones are passed over",
         Line("Cat,S", ",2100,2970,,0,extra,99"),
         Case::read,
         {2100, 2970}},
        {"blanks before numbers, as atoi reads them",
         "Cat,S, 2100,2970,0,151,46,0,0,991,2,10160,"
         "381,7, 3810",
         Case::read,
         {2100, 2970}},
        {"selection width without height", Line("Cat,S", ",1000"), Case::skipped},
        {"too few fields", "Cat,S,2100,2970,0,151,46,0,0,991,2,10160,381,7", Case::skipped},
        {"blank line", "", Case::skipped},
        {"only commas", ",,,,", Case::skipped},
        {"no columns (empty field)", "Cat,S,2100,2970,0,151,46,0,0,991,,10160,381,7,3810",
         Case::refused},
        {"no rows", "Cat,S,2100,2970,0,151,46,0,0,991,2,10160,381,0,3810", Case::refused},
        {"negative columns", "Cat,S,2100,2970,0,151,46,0,0,991,-2,10160,381,7,3810", Case::refused},
        {"label without width", "Cat,S,2100,2970,0,151,46,0,0,0,2,10160,381,7,3810", Case::refused},
        {"label of negative height", "Cat,S,2100,2970,0,151,46,0,0,991,2,10160,-381,7,3810",
         Case::refused},
        {"page without height", "Cat,S,2100,,0,151,46,0,0,991,2,10160,381,7,3810", Case::refused},
        {"a comma in the name moves numbers into texts",
         "Cat,S,x,2100,2970,0,151,46,0,0,991,2,10160,381,7,3810", Case::refused},
        {"a comma in the picture path", Line("Cat,S", ",2100,2970,/pics/a,b.png,0"), Case::refused},
        {"number too big for any printer form",
         Line("Cat,S", ",99999999999,500"),
         Case::read,
         {1000000, 500}},
        {"label wider than 100 m", "Cat,S,2100,2970,0,151,46,0,0,99999999999,2,10160,381,7,3810",
         Case::refused},
        {"ten thousand columns", "Cat,S,2100,2970,0,151,46,0,0,991,10000,10160,381,7,3810",
         Case::refused},
        {"no name", Line("Cat,"), Case::refused},
        {"a carriage return inside the name", Line("Cat,S\rT"), Case::refused},
        {"a carriage return inside the picture path", Line("Cat,S", ",2100,2970,/a\rb.png,0"),
         Case::refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppContext fresh;
        CMessageResponder responder;
        CPaper& library = ThePaper();
        if (c.lfOnly)
            WriteBytes(QStringLiteral("Stock.zel"), ToWindows1252(kHeader + "\n" + c.line + "\n"));
        else
            WriteLibrary(QStringLiteral("Stock.zel"), {c.line});
        EXPECT_TRUE(library.LoadStockLibrary());

        CPaperStock s;
        const bool found = library.GetStock(QStringLiteral("S"), s);
        switch (c.outcome) {
        case Case::read:
            ASSERT_TRUE(found);
            EXPECT_EQ(library.StockCount(), 1);
            EXPECT_EQ(s.category, "Cat");
            EXPECT_EQ(s.pageWidth, 2100);
            EXPECT_EQ(s.vertPitch, 3810);
            EXPECT_EQ(s.builtIn, 1);
            EXPECT_EQ(CSize(s.selectionWidth, s.selectionHeight), c.selection);
            EXPECT_EQ(s.backgroundImage, c.image);
            EXPECT_EQ(s.backgroundOrientation, c.orientation);
            EXPECT_EQ(responder.Count(), 0);
            break;
        case Case::skipped:
            EXPECT_EQ(library.StockCount(), 0);
            EXPECT_EQ(responder.Count(), 0);
            break;
        case Case::refused:
            EXPECT_EQ(library.StockCount(), 0);
            ASSERT_EQ(responder.Count(), 1);
            EXPECT_TRUE(responder.LastText().contains(u"Stock.zel")) << responder.LastText();
            break;
        }
    }
}

TEST_F(PaperTest, RefusedStocksAreNamedInOneMessageAfterLoading)
{
    WriteLibrary(QStringLiteral("Stock.zel"),
                 {Line("Cat,Good"), "Cat,NoColumns,2100,2970,0,0,0,0,0,991,0,0,381,1,0"});
    WriteLibrary(QStringLiteral("Stock2.zel"),
                 {"Mine,NoRows,2100,2970,0,0,0,0,0,991,1,0,381,,0", Line("Mine,Fine")});
    EXPECT_TRUE(paper.LoadStockLibrary());

    EXPECT_EQ(paper.StockNames(), QStringList({"Fine", "Good"}));
    ASSERT_EQ(messages.Count(), 1);
    const QString text = messages.LastText();
    EXPECT_TRUE(text.contains(u"\"NoColumns\" in Stock.zel")) << text;
    EXPECT_TRUE(text.contains(u"\"NoRows\" in Stock2.zel")) << text;
}

TEST_F(PaperTest, MissingLibraryPictureIsAskedForOnceAndKeptWhenNotFound)
{
    const QString moved = MakePicture(QStringLiteral("pics/moved.png"));
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("Cat,Found", ",2100,2970,./gone.png,0"),
                                               Line("Cat,Kept", ",2100,2970,.\\gone2.png,0")});
    QStringList asked;
    CPaper::s_locateMissingFile = [&](const QString& path) {
        asked << path;
        return path.endsWith(u"gone.png") ? QString(moved).replace(u'/', u'\\') : QString();
    };
    paper.LoadStockLibrary();

    // A leading "./" (or ".\") is the program folder; "\" is read as "/".
    EXPECT_EQ(asked, QStringList({PathOf("gone.png"), PathOf("gone2.png")}));
    CPaperStock s;
    ASSERT_TRUE(paper.GetStock(QStringLiteral("Found"), s));
    EXPECT_EQ(s.backgroundImage, moved);
    // Not found now (a share not mounted yet, say) is not gone for good.
    ASSERT_TRUE(paper.GetStock(QStringLiteral("Kept"), s));
    EXPECT_EQ(s.backgroundImage, PathOf("gone2.png"));
}

TEST_F(PaperTest, UserStockPictureThatIsMissingAtStartUpStaysInTheUserFile)
{
    // Nobody is asked in the program: the path is kept as it is.
    const QString line = Line("Mine,Pictured", ",2100,2970,/mnt/share/not-mounted.png,90");
    WriteLibrary(QStringLiteral("Stock2.zel"), {line, Line("Mine,Plain")});
    paper.Init(QString());
    CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Added"));
    ASSERT_TRUE(paper.SetStock(s));
    EXPECT_TRUE(paper.SaveUserStocks());
    EXPECT_TRUE(ReadBytes(QStringLiteral("Stock2.zel")).contains(line.toLatin1() + "\r\n"));
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(PaperTest, UserStockNamedLikeBuiltInOneReplacesItAndIsWrittenBack)
{
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("Standard,A4"), Line("Standard,A5")});
    WriteLibrary(QStringLiteral("Stock2.zel"), {"Mine,A4,2100,2970,0,0,0,0,0,2000,1,0,2900,1,0"});
    const QByteArray builtInBytes = ReadBytes(QStringLiteral("Stock.zel"));
    paper.LoadStockLibrary();

    CPaperStock s;
    ASSERT_TRUE(paper.GetStock(QStringLiteral("A4"), s));
    EXPECT_EQ(s.category, "Mine");
    EXPECT_EQ(s.labelWidth, 2000);
    EXPECT_EQ(s.builtIn, 0);

    paper.SaveUserStocks();
    EXPECT_EQ(ReadBytes(QStringLiteral("Stock2.zel")),
              (kHeader + "\r\nMine,A4,2100,2970,0,0,0,0,0,2000,1,0,2900,1,0\r\n").toLatin1());
    EXPECT_EQ(ReadBytes(QStringLiteral("Stock.zel")), builtInBytes);
}

TEST_F(PaperTest, UserStocksSurviveSaveAndLoad)
{
    const QString picture = MakePicture(QStringLiteral("Bäck.png"));
    CPaperStock plain = MakeStock(QStringLiteral("Café"), QStringLiteral("Plain €"));
    CPaperStock form = MakeStock(QStringLiteral("Mine"), QStringLiteral("Form"));
    form.selectionWidth = 2159;
    form.selectionHeight = 2794;
    form.continuous = 1;
    form.type = 1;
    form.cornerRadius = 25;
    CPaperStock pictured = MakeStock(QStringLiteral("Mine"), QStringLiteral("Pictured"));
    pictured.backgroundImage = picture;
    pictured.backgroundOrientation = 270;
    CPaperStock builtIn = MakeStock(QStringLiteral("Standard"), QStringLiteral("Shipped"));
    builtIn.builtIn = 1;
    for (const CPaperStock* s : {&plain, &form, &pictured, &builtIn})
        ASSERT_TRUE(paper.SetStock(*s));
    paper.SaveUserStocks();

    // Sorted by name; only user stocks; selection written whenever it is not
    // the page, never left empty; Windows-1252 with CR LF.
    const QString expected =
        kHeader + "\r\n" +
        "Mine,Form,2100,2970,1,151,46,1,25,991,2,10160,381,7,3810,2159,2794,,0\r\n" +
        "Mine,Pictured,2100,2970,0,151,46,0,0,991,2,10160,381,7,3810,2100,2970," + picture +
        ",270\r\n" + "Café,Plain €,2100,2970,0,151,46,0,0,991,2,10160,381,7,3810\r\n";
    EXPECT_EQ(ReadBytes(QStringLiteral("Stock2.zel")), ToWindows1252(expected));

    CAppContext fresh;
    CPaper& reread = ThePaper();
    EXPECT_TRUE(reread.LoadStockLibrary());
    EXPECT_EQ(reread.StockCount(), 3);
    for (const CPaperStock* s : {&plain, &form, &pictured}) {
        CPaperStock back;
        ASSERT_TRUE(reread.GetStock(s->name, back)) << s->name.toStdString();
        EXPECT_EQ(back, *s) << s->name.toStdString();
    }
}

TEST_F(PaperTest, DeletingTheLastUserStockDeletesTheUserFileAtSave)
{
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("Standard,A4")});
    WriteLibrary(QStringLiteral("Stock2.zel"), {Line("Mine,Only")});
    paper.Init(QStringLiteral("Only"));
    EXPECT_FALSE(paper.DeleteStock(QStringLiteral("Only"))); // the current one stays
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("A4")));
    EXPECT_TRUE(paper.DeleteStock(QStringLiteral("Only")));
    EXPECT_FALSE(paper.DeleteStock(QStringLiteral("Only")));

    paper.SaveUserStocks();
    EXPECT_FALSE(QFileInfo::exists(PathOf("Stock2.zel")));
    EXPECT_TRUE(QFileInfo::exists(PathOf("Stock.zel")));
}

TEST_F(PaperTest, SetStockRefusesRecordsTheLibraryCannotHold)
{
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("Keep"))));
    struct Case
    {
        const char* what;
        void (*spoil)(CPaperStock&);
    };
    const Case cases[] = {
        {"comma in category", [](CPaperStock& s) { s.category = "A,B"; }},
        {"comma in name", [](CPaperStock& s) { s.name = "Keep,2"; }},
        {"line break in name", [](CPaperStock& s) { s.name = "Keep\n2"; }},
        {"carriage return in category", [](CPaperStock& s) { s.category = "A\rB"; }},
        {"comma in picture path", [](CPaperStock& s) { s.backgroundImage = "/pics/a,b.png"; }},
        {"empty name", [](CPaperStock& s) { s.name.clear(); }},
        {"no columns", [](CPaperStock& s) { s.columns = 0; }},
        {"no rows", [](CPaperStock& s) { s.rows = 0; }},
        {"zero label height", [](CPaperStock& s) { s.labelHeight = 0; }},
        {"negative page width", [](CPaperStock& s) { s.pageWidth = -2100; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Keep"), 500, 200);
        c.spoil(s);
        EXPECT_FALSE(paper.SetStock(s));
        EXPECT_EQ(paper.StockNames(), QStringList({"Keep"}));
        CPaperStock kept;
        ASSERT_TRUE(paper.GetStock(QStringLiteral("Keep"), kept));
        EXPECT_EQ(kept.labelWidth, 991);
    }
}

TEST_F(PaperTest, InitFallsBackToA4ThenToTheFirstStock)
{
    {
        // No library at all: the one default stock.
        paper.Init(QStringLiteral("Whatever"));
        EXPECT_EQ(paper.StockNames(), QStringList({"A4"}));
        CPaperStock s;
        ASSERT_TRUE(paper.GetStock(QString(), s));
        EXPECT_EQ(s.category, "Standard");
        EXPECT_EQ(CSize(s.labelWidth, s.labelHeight), CSize(2100, 2970));
        EXPECT_EQ(CSize(s.selectionWidth, s.selectionHeight), CSize(2100, 2970));
        EXPECT_EQ(s.columns * s.rows, 1);
        EXPECT_EQ(s.builtIn, 1);
    }
    {
        // A library that opens but holds no stock gets the default too.
        CAppContext fresh;
        WriteLibrary(QStringLiteral("Stock.zel"), {});
        ThePaper().Init(QString());
        EXPECT_EQ(ThePaper().GetPaperName(), "A4");
    }
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("L,b"), Line("L,B"), Line("L,a")});
    for (const auto& [last, expected] :
         {std::pair{"a", "a"}, std::pair{"A", "B"}, std::pair{"", "B"}}) {
        CAppContext fresh;
        ThePaper().Init(QString::fromLatin1(last));
        // Names sort by code unit, so "B" comes before "a" and "b".
        EXPECT_EQ(ThePaper().GetPaperName(), expected) << last;
    }
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("L,b"), Line("L,A4")});
    CAppContext fresh;
    ThePaper().Init(QStringLiteral("gone"));
    EXPECT_EQ(ThePaper().GetPaperName(), "A4");
}

TEST_F(PaperTest, CategoryAndStockListsFollowLibraryOrder)
{
    WriteLibrary(QStringLiteral("Stock.zel"),
                 {Line("Rolls,c"), Line("Sheets,a"), Line("rolls,d"), Line("Rolls,b")});
    paper.LoadStockLibrary();
    QStringList items{"stale"};
    paper.FillCategoryCombo(items);
    EXPECT_EQ(items, QStringList({"Sheets", "Rolls", "rolls"}));
    paper.FillStockList(items, QStringLiteral("Rolls"));
    EXPECT_EQ(items, QStringList({"b", "c"}));
    paper.FillStockList(items, QStringLiteral("None"));
    EXPECT_TRUE(items.isEmpty());
}

// The old archive library ----------------------------------------------------

namespace {

struct OldStock
{
    QString name;
    int pageWidth, pageHeight, continuous, top, left, labelWidth, columns, horzPitch, labelHeight,
        rows, vertPitch;
};

QByteArray OldLibrary(DWORD version, const std::vector<OldStock>& stocks, bool truncate = false)
{
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        ar << version;
        if (version >= 103)
            ar << DWORD(stocks.size());
        for (const OldStock& s : stocks) {
            ar << s.name << s.pageWidth << s.pageHeight;
            if (version >= 264)
                ar << s.continuous;
            ar << s.top << s.left << s.labelWidth << s.columns << s.horzPitch << s.labelHeight
               << s.rows << s.vertPitch;
        }
    }
    if (truncate)
        bytes.chop(6);
    return bytes;
}

} // namespace

TEST_F(PaperTest, OldLibraryIsImportedByItsVersion)
{
    const OldStock first{"First", 2100, 2970, 1, 10, 20, 991, 2, 1016, 381, 7, 381};
    const OldStock second{"Second", 1480, 2100, 1, 0, 0, 1480, 1, 0, 2100, 1, 0};
    struct Case
    {
        DWORD version;
        int continuous;
        int horzPitch;
        int vertPitch;
    };
    // Below 103 the first word is the count; below 110 the pitches were in
    // tenths; from 264 the continuous flag is stored.
    const Case cases[] = {
        {2, 0, 10160, 3810}, {103, 0, 10160, 3810}, {110, 0, 1016, 381},
        {263, 0, 1016, 381}, {264, 1, 1016, 381},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        CAppContext fresh;
        CPaper& library = ThePaper();
        QFile::remove(PathOf("Stock2.zel"));
        WriteBytes(QStringLiteral("Tabrel.plf"), OldLibrary(c.version, {first, second}));
        EXPECT_TRUE(library.LoadStockLibrary());

        EXPECT_EQ(library.StockNames(), QStringList({"First", "Second"}));
        CPaperStock s;
        ASSERT_TRUE(library.GetStock(QStringLiteral("First"), s));
        EXPECT_EQ(s.category, "Custom");
        EXPECT_EQ(s.builtIn, 0);
        EXPECT_EQ(s.continuous, c.continuous);
        EXPECT_EQ(s.horzPitch, c.horzPitch);
        EXPECT_EQ(s.vertPitch, c.vertPitch);
        EXPECT_EQ(CPoint(s.leftMargin, s.topMargin), CPoint(20, 10));
        EXPECT_EQ(CSize(s.labelWidth, s.labelHeight), CSize(991, 381));
        EXPECT_EQ(CSize(s.selectionWidth, s.selectionHeight), CSize(2100, 2970));
        EXPECT_EQ(s.type + s.cornerRadius, 0);

        // Imported, made safe in the user file, and only then removed.
        EXPECT_FALSE(QFileInfo::exists(PathOf("Tabrel.plf")));
        EXPECT_TRUE(ReadBytes(QStringLiteral("Stock2.zel")).contains("\r\nCustom,Second,1480,"));
    }
}

TEST_F(PaperTest, OldLibraryImportSkipsKnownNamesAndRefusesUnusableStocks)
{
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("Standard,First")});
    const OldStock first{"First", 1, 1, 0, 0, 0, 1, 1, 0, 1, 1, 0};
    const OldStock empty{"Empty", 2100, 2970, 0, 0, 0, 991, 0, 0, 381, 1, 0};
    const OldStock comma{"A,B", 2100, 2970, 0, 0, 0, 991, 1, 0, 381, 1, 0};
    const OldStock fine{"Fine", 2100, 2970, 0, 0, 0, 991, 1, 0, 381, 1, 0};
    WriteBytes(QStringLiteral("Tabrel.plf"), OldLibrary(300, {first, empty, comma, fine}));
    EXPECT_TRUE(paper.LoadStockLibrary());

    EXPECT_EQ(paper.StockNames(), QStringList({"Fine", "First"}));
    CPaperStock s;
    ASSERT_TRUE(paper.GetStock(QStringLiteral("First"), s));
    EXPECT_EQ(s.category, "Standard"); // the library's own stays
    EXPECT_EQ(s.builtIn, 1);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(u"\"Empty\" in Tabrel.plf")) << messages.LastText();
    EXPECT_TRUE(messages.LastText().contains(u"\"A,B\" in Tabrel.plf")) << messages.LastText();
    // The stocks that could not be taken over are still in the old file,
    // which stays; the one that could is saved with the user's stocks.
    EXPECT_TRUE(QFileInfo::exists(PathOf("Tabrel.plf")));
    EXPECT_TRUE(paper.SaveUserStocks());
    EXPECT_TRUE(ReadBytes(QStringLiteral("Stock2.zel")).contains("\r\nCustom,Fine,2100,"));
}

TEST_F(PaperTest, OldLibraryThatCannotBeReadIsKept)
{
    const OldStock fine{"Fine", 2100, 2970, 0, 0, 0, 991, 1, 0, 381, 1, 0};
    const QByteArray broken = OldLibrary(300, {fine, fine}, true);
    WriteBytes(QStringLiteral("Tabrel.plf"), broken);
    EXPECT_FALSE(paper.LoadStockLibrary()); // no library file, and the import failed
    EXPECT_EQ(ReadBytes(QStringLiteral("Tabrel.plf")), broken);
    EXPECT_FALSE(QFileInfo::exists(PathOf("Stock2.zel")));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(u"Tabrel.plf")) << messages.LastText();

    EXPECT_FALSE(paper.ImportLibraryFile(PathOf("nowhere.plf")));
}

// The paper inside a sign ---------------------------------------------------------

namespace {

QByteArray StoreSign(CPaper& paper)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    paper.Serialize(ar);
    return bytes;
}

void LoadSign(CPaper& paper, QByteArray bytes, int version)
{
    App().fileVersion = version;
    CArchive ar(&bytes, CArchive::load);
    paper.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
}

// A sign's paper record as the given file version wrote it.
QByteArray OldSignPaper(int version, const CPaperStock& s)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    if (version >= 300)
        ar << s.category;
    ar << s.name << s.pageWidth << s.pageHeight;
    if (version >= 264)
        ar << s.continuous;
    ar << s.topMargin << s.leftMargin;
    if (version >= 300)
        ar << s.type << s.cornerRadius;
    ar << s.labelWidth << s.columns << s.horzPitch << s.labelHeight << s.rows << s.vertPitch;
    if (version >= 300)
        ar << s.builtIn << s.selectionWidth << s.selectionHeight;
    if (version >= 400)
        ar << s.backgroundImage << s.backgroundOrientation;
    return bytes;
}

} // namespace

TEST_F(PaperTest, SignPaperRoundTrip)
{
    CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Shelf"));
    s.continuous = 1;
    s.type = 1;
    s.cornerRadius = 30;
    s.selectionWidth = 2159;
    s.selectionHeight = 2794;
    ASSERT_TRUE(paper.SetStock(s));
    ASSERT_TRUE(paper.SelectStock(s.name));
    const QByteArray bytes = StoreSign(paper);
    EXPECT_EQ(bytes, OldSignPaper(514, s));

    CAppContext fresh;
    LoadSign(ThePaper(), bytes, 514);
    CPaperStock back;
    ASSERT_TRUE(ThePaper().GetStock(QString(), back));
    EXPECT_EQ(back, s);
    EXPECT_EQ(App().loadOutcome, 0);
}

TEST_F(PaperTest, OldSignsFollowTheirVersion)
{
    CPaperStock known = MakeStock(QStringLiteral("Shelf labels"), QStringLiteral("Known"));
    known.builtIn = 1;
    known.selectionWidth = 2159;
    CPaperStock inSign = MakeStock(QStringLiteral("Ignored"), QStringLiteral("Known"), 500, 200);
    inSign.continuous = 1;
    inSign.horzPitch = 600; // tenths before 110
    inSign.vertPitch = 250;
    inSign.backgroundImage = QStringLiteral("/nowhere.png");
    inSign.backgroundOrientation = 90;

    struct Case
    {
        int version;
        const char* name;
        std::optional<CPaperStock> expected; // unset: the library's own
    };
    CPaperStock custom109 = inSign;
    custom109.name = "New";
    custom109.category = "Custom";
    custom109.continuous = 0;
    custom109.horzPitch = 6000;
    custom109.vertPitch = 2500;
    custom109.selectionWidth = 2100;
    custom109.backgroundImage.clear();
    custom109.backgroundOrientation = 0;
    CPaperStock custom264 = custom109;
    custom264.continuous = 1;
    custom264.horzPitch = 600;
    custom264.vertPitch = 250;
    CPaperStock full300 = inSign;
    full300.name = "New";
    full300.builtIn = 0;
    full300.backgroundImage.clear();
    full300.backgroundOrientation = 0;
    full300.horzPitch = 600;
    full300.vertPitch = 250;
    const Case cases[] = {
        {109, "Known", std::nullopt}, {299, "Known", std::nullopt}, {109, "New", custom109},
        {264, "New", custom264},      {300, "New", full300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + c.name);
        CAppContext fresh;
        CPaper& library = ThePaper();
        ASSERT_TRUE(library.SetStock(known));
        CPaperStock stored = inSign;
        stored.name = QString::fromLatin1(c.name);
        LoadSign(library, OldSignPaper(c.version, stored), c.version);

        CPaperStock current;
        ASSERT_TRUE(library.GetStock(QString(), current));
        EXPECT_EQ(current, c.expected.value_or(known));
        EXPECT_EQ(library.GetPaperName(), QString::fromLatin1(c.name));
    }
}

TEST_F(PaperTest, SignNeverChangesWhetherAStockIsBuiltIn)
{
    WriteLibrary(QStringLiteral("Stock.zel"), {Line("Standard,Shipped")});
    WriteLibrary(QStringLiteral("Stock2.zel"), {Line("Mine,Own")});
    struct Case
    {
        const char* name;
        int storedFlag;
        int expectedFlag;
    };
    for (const Case& c : {Case{"Own", 1, 0}, Case{"Shipped", 0, 1}, Case{"Brand new", 1, 0}}) {
        SCOPED_TRACE(c.name);
        CAppContext fresh;
        CPaper& library = ThePaper();
        library.LoadStockLibrary();
        CPaperStock stored = MakeStock(QStringLiteral("From sign"), QString::fromLatin1(c.name));
        stored.builtIn = c.storedFlag;
        stored.labelWidth = 700;
        LoadSign(library, OldSignPaper(514, stored), 514);

        CPaperStock s;
        ASSERT_TRUE(library.GetStock(QString::fromLatin1(c.name), s));
        EXPECT_EQ(s.labelWidth, 700);
        EXPECT_EQ(s.builtIn, c.expectedFlag);
        library.SaveUserStocks();
        const QByteArray user = ReadBytes(QStringLiteral("Stock2.zel"));
        EXPECT_TRUE(user.contains(",Own,")); // never dropped from the user file
        EXPECT_EQ(user.contains(QByteArray(",") + c.name + ","), c.expectedFlag == 0);
    }
}

TEST_F(PaperTest, UnusableSignStockRefusesTheLoad)
{
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("Current"))));
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("Current")));
    for (int version : {250, 514}) {
        SCOPED_TRACE(version);
        messages.Clear();
        CPaperStock broken = MakeStock(QStringLiteral("Mine"), QStringLiteral("Broken"));
        broken.columns = 0;
        QByteArray bytes = OldSignPaper(version, broken);
        App().fileVersion = version;
        CArchive ar(&bytes, CArchive::load);
        EXPECT_THROW(paper.Serialize(ar), CUserException);
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains(u"\"Broken\"")) << messages.LastText();
        EXPECT_EQ(paper.GetPaperName(), "Current");
        EXPECT_EQ(paper.StockCount(), 1);
    }
}

TEST_F(PaperTest, MissingSignPictureIsRelocatedOrKept)
{
    const QString found = MakePicture(QStringLiteral("pics/found.png"));
    CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Pictured"));
    s.backgroundImage = QStringLiteral("C:\\Old\\gone.png");
    s.backgroundOrientation = 180;
    const QByteArray bytes = OldSignPaper(514, s);
    {
        CAppContext fresh;
        LoadSign(ThePaper(), bytes, 514); // nobody to ask: going on with it missing
        CPaperStock back;
        ThePaper().GetStock(QString(), back);
        EXPECT_EQ(back.backgroundImage, "C:/Old/gone.png") << "the sign keeps its picture's name";
        EXPECT_EQ(App().loadOutcome, 0);
    }
    {
        // Abandoned in the dialog: kept as well.
        CAppContext fresh;
        CPaper::s_locateMissingFile = [](const QString&) { return QString(); };
        LoadSign(ThePaper(), bytes, 514);
        CPaperStock back;
        ThePaper().GetStock(QString(), back);
        EXPECT_EQ(back.backgroundImage, "C:/Old/gone.png");
        EXPECT_EQ(App().loadOutcome, 0);
    }
    CAppContext fresh;
    QString asked;
    CPaper::s_locateMissingFile = [&](const QString& path) {
        asked = path;
        return found;
    };
    LoadSign(ThePaper(), bytes, 514);
    EXPECT_EQ(asked, "C:/Old/gone.png");
    CPaperStock back;
    ThePaper().GetStock(QString(), back);
    EXPECT_EQ(back.backgroundImage, found);
    EXPECT_EQ(App().loadOutcome, 3);
}

TEST_F(PaperTest, SignPicturePathIsStoredAsAskedAndReadBack)
{
    const QString inside = MakePicture(QStringLiteral("pics/back.png"));
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("far.png"));
    QFile(outside).open(QIODevice::WriteOnly);

    struct Case
    {
        const char* what;
        QString picture;
        bool relative;
        bool package;
        QString stored;
    };
    const QString outsideRelative =
        "./" + QDir(CSignApp::GetProgramFolder()).relativeFilePath(outside);
    const Case cases[] = {
        {"as held", inside, false, false, inside},
        {"relative inside the program folder", inside, true, false, "./pics/back.png"},
        {"relative outside it", outside, true, false, outsideRelative},
        {"package export", inside, true, true, "pictures/back.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppContext fresh;
        CPaper& p = ThePaper();
        CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Pictured"));
        s.backgroundImage = c.picture;
        ASSERT_TRUE(p.SetStock(s));
        ASSERT_TRUE(p.SelectStock(s.name));
        App().general.storeRelativePaths = c.relative;
        App().packageExport = c.package;
        App().packagePicturePrefix = QStringLiteral("pictures/");
        const QByteArray bytes = StoreSign(p);
        QByteArray copy = bytes;
        CArchive ar(&copy, CArchive::load);
        App().fileVersion = 514;
        CPaperStock raw;
        ar >> raw.category >> raw.name;
        for (int i = 0; i < 16; ++i)
            ar.ReadInt();
        EXPECT_EQ(ar.ReadString(), c.stored);
        EXPECT_EQ(ar.ReadInt(), 0);

        if (!c.package) {
            CAppContext reader;
            LoadSign(ThePaper(), bytes, 514);
            CPaperStock back;
            ThePaper().GetStock(QString(), back);
            EXPECT_EQ(QFileInfo(back.backgroundImage).canonicalFilePath(),
                      QFileInfo(c.picture).canonicalFilePath());
        }
    }
}

TEST_F(PaperTest, SignPaperIsExportedAsText)
{
    CPaperStock s = MakeStock(QStringLiteral("Mine"), QStringLiteral("Shelf"));
    s.type = 1;
    s.cornerRadius = 25;
    ASSERT_TRUE(paper.SetStock(s));
    ASSERT_TRUE(paper.SelectStock(s.name));
    ASSERT_TRUE(ThePrinter().SetOrientation(DMORIENT_LANDSCAPE)); // raw fields all the same
    QByteArray out;
    {
        CTextExportFile file(&out);
        paper.WriteXml(file);
    }
    EXPECT_EQ(out, QByteArray("<paper>\r\n\r\n"
                              "  <page units=\"TMM\" width=\"2100\" height=\"2970\"/>\r\n"
                              "  <margins units=\"TMM\" left=\"46\" top=\"151\"/>\r\n"
                              "  <sign units=\"TMM\" type=\"1\" corner-radius=\"25\" width=\"991\" "
                              "height=\"381\"/>\r\n"
                              "  <layout rows=\"7\" columns=\"2\"/>\r\n"
                              "  <pitch units=\"HMM\" horizontal=\"10160\" vertical=\"3810\"/>\r\n"
                              "\r\n</paper>\r\n\r\n"));
}

// Geometry -------------------------------------------------------------------------

TEST(PaperStock, CellsRunAcrossThenDown)
{
    CPaperStock s;
    s.leftMargin = 47;
    s.topMargin = 127;
    s.columns = 3;
    s.rows = 10;
    s.horzPitch = 6985; // 69.85 mm: cells at 69.9 and 139.7 mm
    s.vertPitch = 2540;
    EXPECT_EQ(s.LabelsPerSheet(), 30);
    const std::pair<int, CPoint> cells[] = {
        {0, {47, 127}},       {1, {47 + 699, 127}},  {2, {47 + 1397, 127}},
        {3, {47, 127 + 254}}, {5, {47 + 1397, 381}}, {29, {47 + 1397, 127 + 2286}},
    };
    for (const auto& [index, origin] : cells)
        EXPECT_EQ(s.CellOrigin(index), origin) << index;
}

TEST_F(PaperTest, RightAndBottomMarginsComeFromTheRawFields)
{
    struct Case
    {
        int page, label, margin, count, pitch, expected;
    };
    const Case cases[] = {
        {2100, 2100, 0, 1, 0, 0},        // one cell, no pitch
        {2100, 991, 46, 2, 10160, 47},   // 2100 - 991 - 46 - 1016
        {2159, 667, 47, 3, 6985, 48},    // r(13970) = 1397
        {2159, 445, 71, 4, 5239, 71},    // r(15717) = 1572
        {2159, 445, 71, 4, 5235, 72},    // r(15705) = 1571
        {2100, 991, 46, 1, 12345, 1063}, // a single cell ignores the pitch
        {1000, 1200, 0, 1, 0, -200},     // a label larger than its page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.page << " " << c.label << " " << c.pitch);
        CPaperStock s = MakeStock(QStringLiteral("M"), QStringLiteral("S"));
        s.pageWidth = s.pageHeight = c.page;
        s.labelWidth = s.labelHeight = c.label;
        s.leftMargin = s.topMargin = c.margin;
        s.columns = s.rows = c.count;
        s.horzPitch = s.vertPitch = c.pitch;
        ASSERT_TRUE(paper.SetStock(s));
        ASSERT_TRUE(paper.SelectStock(s.name));
        for (int orientation : {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE}) {
            ASSERT_TRUE(ThePrinter().SetOrientation(orientation));
            EXPECT_EQ(paper.GetRightMargin(), c.expected);
            EXPECT_EQ(paper.GetBottomMargin(), c.expected);
        }
    }
}

TEST_F(PaperTest, SizesAreSwappedInLandscape)
{
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("M"), QStringLiteral("S"))));
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("S")));
    ASSERT_TRUE(ThePrinter().SetOrientation(DMORIENT_PORTRAIT));
    EXPECT_EQ(CSize(paper.GetSignWidth(), paper.GetSignHeight()), CSize(991, 381));
    EXPECT_EQ(CSize(paper.GetPageWidth(), paper.GetPageHeight()), CSize(2100, 2970));
    EXPECT_EQ(paper.FormatSignWidth(), "99.1");
    EXPECT_EQ(paper.FormatSignHeight(), "38.1");
    EXPECT_EQ(paper.FormatLabelsPerPage(), "14");

    ASSERT_TRUE(ThePrinter().SetOrientation(DMORIENT_LANDSCAPE));
    EXPECT_EQ(CSize(paper.GetSignWidth(), paper.GetSignHeight()), CSize(381, 991));
    EXPECT_EQ(CSize(paper.GetPageWidth(), paper.GetPageHeight()), CSize(2970, 2100));
    EXPECT_EQ(paper.FormatSignWidth(), "38.1");
    App().general.displayUnits = 1;
    EXPECT_EQ(paper.FormatSignWidth(), "1.50");  // 38.1 mm
    EXPECT_EQ(paper.FormatSignHeight(), "3.90"); // 99.1 mm
    EXPECT_EQ(paper.FormatLabelsPerPage(), "14");
}

TEST(PaperPrintableRect, CutsTheSignToWhatThePrinterReachesInEveryCell)
{
    // A 2 x 7 sheet: left 46, top 151, right margin 47, bottom margin 152.
    const CPaperStock s = MakeStock(QStringLiteral("M"), QStringLiteral("S"));
    struct Case
    {
        const char* what;
        bool landscape;
        CRect printable;
        CRect expected;
    };
    const Case cases[] = {
        {"portrait, printer reaches everything", false, CRect(0, 0, 2100, 2970),
         CRect(0, 0, 991, 381)},
        // 5 mm unprintable all round: cells lose what lies within 5 mm of
        // the page edge; the area is centred across the page first.
        {"portrait, 5 mm borders", false, CRect(50, 50, 2050, 2920), CRect(4, 0, 991 - 3, 381)},
        {"portrait, off-centre area is centred", false, CRect(0, 50, 2000, 2920),
         CRect(4, 0, 991 - 3, 381)},
        {"portrait, deep top border", false, CRect(50, 200, 2050, 2920),
         CRect(4, 49, 991 - 3, 381)},
        {"landscape, printer reaches everything", true, CRect(0, 0, 2970, 2100),
         CRect(0, 0, 381, 991)},
        {"landscape, 5 mm borders", true, CRect(50, 50, 2920, 2050), CRect(0, 4, 381, 991 - 3)},
        {"landscape, off-centre area is centred", true, CRect(50, 0, 2920, 2000),
         CRect(0, 4, 381, 991 - 3)},
        {"landscape, deep left border", true, CRect(200, 50, 2920, 2050),
         CRect(48, 4, 381, 991 - 3)},
        {"nothing printable", false, CRect(0, 0, 0, 0), CRect()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPaper::PrintableRectFor(s, c.landscape, c.printable), c.expected) << c.what;
}

TEST_F(PaperTest, PrintableRectUsesThePrintersAreaAndOrientation)
{
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("M"), QStringLiteral("S"))));
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("S")));
    CPaperStock s;
    paper.GetStock(QString(), s);
    for (int orientation : {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE}) {
        SCOPED_TRACE(orientation);
        ASSERT_TRUE(ThePrinter().SetOrientation(orientation));
        const CRect area = ThePrinter().GetPrintableArea();
        EXPECT_FALSE(area.IsEmpty());
        const CRect r = paper.GetPrintableRect();
        EXPECT_EQ(r, CPaper::PrintableRectFor(s, orientation == DMORIENT_LANDSCAPE, area));
        EXPECT_FALSE(r.IsEmpty());
        EXPECT_LE(r.right, paper.GetSignWidth());
        EXPECT_LE(r.bottom, paper.GetSignHeight());
    }
}

TEST_F(PaperTest, SelectingAStockSetsSpacingAndOrientation)
{
    CPaperStock s = MakeStock(QStringLiteral("M"), QStringLiteral("S"));
    ASSERT_TRUE(paper.SetStock(s));
    s.name = "Turned";
    s.backgroundImage = MakePicture(QStringLiteral("turned.png"));
    s.backgroundOrientation = 90;
    ASSERT_TRUE(paper.SetStock(s));
    s.name = "Upright";
    s.backgroundOrientation = 180;
    ASSERT_TRUE(paper.SetStock(s));

    ASSERT_TRUE(paper.SelectStock(QStringLiteral("S")));
    // (991 + 381) x 0.02 = 27.44 and x 0.01 = 13.72, each rounded up from .5.
    EXPECT_EQ(paper.m_viewSpacingLarge, CSize(27, 27));
    EXPECT_EQ(paper.m_viewSpacingSmall, CSize(14, 14));

    ASSERT_TRUE(paper.SelectStock(QStringLiteral("Turned")));
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_LANDSCAPE);
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("Upright")));
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_PORTRAIT);

    EXPECT_FALSE(paper.SelectStock(QStringLiteral("Unknown")));
    EXPECT_EQ(paper.GetPaperName(), "Upright");
}

// The shipped library ------------------------------------------------------------

TEST_F(PaperTest, ShippedLibraryLoadsAndEveryStockFitsItsPage)
{
    const QString shipped = QStringLiteral(TABREL_SOURCE_DIR "/resources/files/Stock.zel");
    QFile source(shipped);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << shipped.toStdString();
    const QByteArray bytes = source.readAll();
    ASSERT_TRUE(bytes.startsWith(kHeader.toLatin1() + "\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')); // CR LF throughout
    WriteBytes(QStringLiteral("Stock.zel"), bytes);

    paper.Init(QString());
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(paper.GetPaperName(), "A4");
    EXPECT_GE(paper.StockCount(), 20);
    QStringList categories;
    paper.FillCategoryCombo(categories);
    for (const char* category : {"Standard", "A4 Labels", "Letter Labels", "Thermal"})
        EXPECT_TRUE(categories.contains(QString::fromLatin1(category))) << category;

    for (const QString& name : paper.StockNames()) {
        SCOPED_TRACE(name.toStdString());
        CPaperStock s;
        ASSERT_TRUE(paper.GetStock(name, s));
        EXPECT_TRUE(s.IsUsable());
        EXPECT_EQ(s.builtIn, 1);
        EXPECT_EQ(CSize(s.selectionWidth, s.selectionHeight), CSize(s.pageWidth, s.pageHeight));
        EXPECT_GE(s.leftMargin, 0);
        EXPECT_GE(s.topMargin, 0);
        // The far cell ends on the page, and neighbours do not overlap.
        const CPoint last = s.CellOrigin(s.LabelsPerSheet() - 1);
        EXPECT_LE(last.x + s.labelWidth, s.pageWidth);
        EXPECT_LE(last.y + s.labelHeight, s.pageHeight);
        if (s.columns > 1) {
            EXPECT_GE(s.horzPitch, s.labelWidth * 10);
        }
        if (s.rows > 1) {
            EXPECT_GE(s.vertPitch, s.labelHeight * 10);
        }
        // Centred: the margins either side differ by at most 0.1 mm.
        ASSERT_TRUE(paper.SelectStock(name));
        ASSERT_TRUE(ThePrinter().SetOrientation(DMORIENT_PORTRAIT));
        EXPECT_LE(std::abs(paper.GetRightMargin() - s.leftMargin), 1);
        EXPECT_LE(std::abs(paper.GetBottomMargin() - s.topMargin), 1);
    }
    for (const char* name : {"A4", "A5", "A6", "Letter", "Legal"}) {
        CPaperStock s;
        EXPECT_TRUE(paper.GetStock(QString::fromLatin1(name), s)) << name;
    }
}

// Damaged and unreadable libraries -----------------------------------------------

TEST_F(PaperTest, UserLibraryNotReadWholeIsNamedOnceAndLeftAsItIs)
{
    const QByteArray good =
        ToWindows1252(kHeader + "\r\n" + Line("Mine,One") + "\r\n" + Line("Mine,Two") + "\r\n");
    struct Case
    {
        const char* what;
        QByteArray bytes;
        const char* why; // part of the message
        int stocksRead;
    };
    const Case cases[] = {
        {"cut short in its last line", good.left(good.size() - 7), "cut short", 1},
        {"a line that is not a stock", good + "Mine,Three,2100,29\r\n", "not paper stocks", 2},
        {"a stock that cannot be used",
         good + "Mine,NoRows,2100,2970,0,0,0,0,0,991,1,0,381,0,0\r\n", "not paper stocks", 2},
        {"no header", good.mid(good.indexOf('\n') + 1), "header", 2},
        {"noise", QByteArray("\x00\x01\xff\xfe garbage\r\n", 14), "not paper stocks", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppContext fresh;
        CMessageResponder responder;
        CPaper& library = ThePaper();
        WriteBytes(QStringLiteral("Stock2.zel"), c.bytes);
        library.Init(QString());

        int userStocks = 0;
        for (const QString& name : library.StockNames()) {
            CPaperStock s;
            library.GetStock(name, s);
            userStocks += s.builtIn == 0;
        }
        EXPECT_EQ(userStocks, c.stocksRead);
        ASSERT_EQ(responder.Count(), 1);
        EXPECT_TRUE(responder.LastText().contains(u"\"Stock2.zel\"")) << responder.LastText();
        EXPECT_TRUE(responder.LastText().contains(QLatin1String(c.why))) << responder.LastText();

        // Unchanged: nothing to save and nothing said.
        EXPECT_TRUE(library.SaveUserStocks());
        EXPECT_EQ(responder.Count(), 1);
        EXPECT_EQ(ReadBytes(QStringLiteral("Stock2.zel")), c.bytes);

        // Changed: the file is still not written over, and the user is told.
        ASSERT_TRUE(library.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("New"))));
        EXPECT_FALSE(library.SaveUserStocks());
        EXPECT_EQ(responder.Count(), 2);
        EXPECT_EQ(ReadBytes(QStringLiteral("Stock2.zel")), c.bytes);
    }
}

TEST_F(PaperTest, UserLibrarySavedByAnEditorWithAByteOrderMarkIsReadWhole)
{
    WriteBytes(QStringLiteral("Stock2.zel"),
               "\xEF\xBB\xBF" + ToWindows1252(kHeader + "\r\n" + Line("Mine,One") + "\r\n"));
    paper.Init(QString());
    EXPECT_EQ(messages.Count(), 0) << messages.LastText();
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("Two"))));
    EXPECT_TRUE(paper.SaveUserStocks());
    EXPECT_TRUE(ReadBytes(QStringLiteral("Stock2.zel")).contains(",One,"));
}

TEST_F(PaperTest, UserLibraryThatCannotBeOpenedIsNeitherWrittenOverNorDeleted)
{
    // A folder in its place cannot be opened even by root; a file without
    // read permission stands for a shared program folder elsewhere.
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Stock2.zel")));
    paper.Init(QString());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(u"\"Stock2.zel\" cannot be read"))
        << messages.LastText();
    ASSERT_TRUE(paper.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("New"))));
    ASSERT_TRUE(paper.SelectStock(QStringLiteral("New")));
    EXPECT_FALSE(paper.SaveUserStocks());
    EXPECT_EQ(messages.Count(), 2);
    EXPECT_TRUE(QFileInfo(PathOf("Stock2.zel")).isDir());

    if (::geteuid() == 0)
        return; // root reads files without read permission
    QDir(home.path()).rmdir(QStringLiteral("Stock2.zel"));
    const QByteArray bytes = ToWindows1252(kHeader + "\r\n" + Line("Mine,Own") + "\r\n");
    WriteBytes(QStringLiteral("Stock2.zel"), bytes);
    QFile::setPermissions(PathOf("Stock2.zel"), QFileDevice::WriteOwner);
    CAppContext fresh;
    CMessageResponder responder;
    ThePaper().Init(QString());
    EXPECT_EQ(responder.Count(), 1);
    ASSERT_TRUE(ThePaper().DeleteStock(QStringLiteral("Own")) == FALSE); // never read
    ASSERT_TRUE(ThePaper().SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("New"))));
    EXPECT_FALSE(ThePaper().SaveUserStocks());
    QFile::setPermissions(PathOf("Stock2.zel"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ReadBytes(QStringLiteral("Stock2.zel")), bytes);
}

TEST_F(PaperTest, FieldsOutsideTheirRangeAreBroughtIntoItAndWrittenSo)
{
    struct Case
    {
        const char* what;
        QString line;
        int continuous, type, cornerRadius, selectionWidth, selectionHeight, orientation;
    };
    const Case cases[] = {
        {"as written", "Mine,S,2100,2970,1,151,46,1,25,991,2,10160,381,7,3810,2159,2794,,270", 1, 1,
         25, 2159, 2794, 270},
        {"flags beyond one", "Mine,S,2100,2970,7,151,46,5,25,991,2,10160,381,7,3810,2159,2794,,0",
         1, 0, 25, 2159, 2794, 0},
        {"negative", "Mine,S,2100,2970,-1,151,46,-1,-25,991,2,10160,381,7,3810,-1,-2,,-90", 1, 0, 0,
         0, 0, 0},
        {"huge",
         "Mine,S,2100,2970,0,151,46,1,2147483647,991,2,10160,381,7,3810,2147483647,99999999999,,"
         "2147483647",
         0, 1, 1000000, 1000000, 1000000, 0},
        {"an orientation that is no quarter turn",
         "Mine,S,2100,2970,0,151,46,0,0,991,2,10160,381,7,3810,2100,2970,,45", 0, 0, 0, 2100, 2970,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppContext fresh;
        CPaper& library = ThePaper();
        WriteLibrary(QStringLiteral("Stock2.zel"), {c.line});
        library.LoadStockLibrary();
        CPaperStock s;
        ASSERT_TRUE(library.GetStock(QStringLiteral("S"), s));
        EXPECT_EQ(s.continuous, c.continuous);
        EXPECT_EQ(s.type, c.type);
        EXPECT_EQ(s.cornerRadius, c.cornerRadius);
        EXPECT_EQ(CSize(s.selectionWidth, s.selectionHeight),
                  CSize(c.selectionWidth, c.selectionHeight));
        EXPECT_EQ(s.backgroundOrientation, c.orientation);

        // What is written reads back the same.
        ASSERT_TRUE(library.SetStock(s));
        ASSERT_TRUE(library.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("T"))));
        ASSERT_TRUE(library.SaveUserStocks());
        CAppContext again;
        CMessageResponder quiet;
        ThePaper().LoadStockLibrary();
        EXPECT_EQ(quiet.Count(), 0) << quiet.LastText();
        CPaperStock back;
        ASSERT_TRUE(ThePaper().GetStock(QStringLiteral("S"), back));
        EXPECT_EQ(back, s);
    }
}

TEST_F(PaperTest, OldPitchesInTenthsSaturateInsteadOfWrapping)
{
    // Pitches below version 110 are tenths: times ten, they leave 32 bits.
    const OldStock wraps{"Wraps", 2100, 2970, 0, 0, 0, 991, 2, INT_MAX, 381, 1, INT_MIN};
    const OldStock fits{"Fits", 2100, 2970, 0, 0, 0, 991, 2, 100000, 381, 2, -100000};
    WriteBytes(QStringLiteral("Tabrel.plf"), OldLibrary(2, {wraps, fits}));
    paper.LoadStockLibrary();
    EXPECT_EQ(paper.StockNames(), QStringList({"Fits"}));
    CPaperStock s;
    ASSERT_TRUE(paper.GetStock(QStringLiteral("Fits"), s));
    EXPECT_EQ(CSize(s.horzPitch, s.vertPitch), CSize(1000000, -1000000));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(u"\"Wraps\" in Tabrel.plf")) << messages.LastText();

    // The same in a sign's paper record.
    for (int pitch : {INT_MAX, INT_MIN, INT_MAX / 10 + 1}) {
        SCOPED_TRACE(pitch);
        messages.Clear();
        CPaperStock stored = MakeStock(QStringLiteral("Mine"), QStringLiteral("Old"));
        stored.horzPitch = pitch;
        QByteArray bytes = OldSignPaper(100, stored);
        App().fileVersion = 100;
        CArchive ar(&bytes, CArchive::load);
        EXPECT_THROW(paper.Serialize(ar), CUserException);
        EXPECT_EQ(messages.Count(), 1);
    }
}

TEST_F(PaperTest, RefusedStocksMessageStaysShortWhateverTheLibrary)
{
    // Refused stocks, one of them with a long name: sixteen times as many, and
    // a name sixteen times as long, take about sixteen times as long to read.
    const auto library = [](int stocks) {
        QByteArray bytes = ToWindows1252(kHeader + "\r\n");
        bytes += "Cat," + QByteArray(stocks * 10, 'N') + ",2100,2970,0,0,0,0,0,991,0,0,381,1,0\r\n";
        for (int i = 0; i < stocks; ++i)
            bytes += "Cat,Bad" + QByteArray::number(i) + ",2100,2970,0,0,0,0,0,991,0,0,381,1,0\r\n";
        return bytes;
    };
    const auto init = [&](int stocks) -> qint64 {
        WriteBytes(QStringLiteral("Stock.zel"), library(stocks));
        messages.Clear();
        const CCpuTimer timer;
        paper.Init(QString());
        const qint64 spent = timer.Nanoseconds();
        EXPECT_EQ(messages.Count(), 1);
        return spent;
    };
    EXPECT_LT(Growth(init, 20000), kLinearGrowthBound);

    // A hundred thousand refused stocks, one of them with a 1 MB name.
    WriteBytes(QStringLiteral("Stock.zel"), library(100000));
    messages.Clear();
    paper.Init(QString());
    ASSERT_EQ(messages.Count(), 1);
    const QString text = messages.LastText();
    EXPECT_LE(text.size(), kMaxMessageText);
    EXPECT_TRUE(text.contains(u"\"Bad0\" in Stock.zel")) << text.left(300);
    EXPECT_TRUE(text.contains(u"more")) << text.right(300);

    // An old library of one refused stock with a name of megabytes.
    QFile::remove(PathOf("Stock.zel"));
    const auto load = [&](int nameLength) -> qint64 {
        const OldStock huge{QString(nameLength, u'H'), 2100, 2970, 0, 0, 0, 991, 0, 0, 381, 1, 0};
        WriteBytes(QStringLiteral("Tabrel.plf"), OldLibrary(300, {huge}));
        messages.Clear();
        const CCpuTimer timer;
        paper.LoadStockLibrary();
        const qint64 spent = timer.Nanoseconds();
        EXPECT_EQ(messages.Count(), 1);
        EXPECT_LE(messages.LastText().size(), kMaxMessageText);
        EXPECT_TRUE(messages.LastText().contains(u"HHH\u2026HHH")) << messages.LastText().left(300);
        return spent;
    };
    EXPECT_LT(Growth(load, 2 << 20), kLinearGrowthBound);
}

TEST_F(PaperTest, FullDiskLeavesTheOldUserLibraryAndSaysSo)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    qputenv("TABREL_HOME", disk.Path().toUtf8());
    CAppContext fresh;
    CMessageResponder responder;
    CPaper& library = ThePaper();
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << Line(QStringLiteral("Mine,Stock %1").arg(i));
    QString text = kHeader + "\r\n";
    for (const QString& line : lines)
        text += line + "\r\n";
    const QByteArray old = ToWindows1252(text);
    {
        QFile file(disk.FilePath(QStringLiteral("Stock2.zel")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    library.Init(QString());
    ASSERT_EQ(responder.Count(), 0) << responder.LastText();

    // Many more stocks than the disk has room for.
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(
            library.SetStock(MakeStock(QStringLiteral("Mine"), QStringLiteral("Added %1").arg(i))));
    disk.Fill();
    EXPECT_FALSE(library.SaveUserStocks());
    disk.Unfill();
    ASSERT_EQ(responder.Count(), 1);
    EXPECT_TRUE(responder.LastText().contains(u"Stock2.zel")) << responder.LastText();
    QFile file(disk.FilePath(QStringLiteral("Stock2.zel")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    file.close();

    // With room again, the save goes through.
    EXPECT_TRUE(library.SaveUserStocks());
    qputenv("TABREL_HOME", home.path().toUtf8());
}
