#include "LogFont.h"
#include "AppContext.h"
#include "Archive.h"
#include "TextExport.h"

#include <QFile>
#include <QGuiApplication>
#include <QRawFont>

#include <gtest/gtest.h>

namespace {

// Fonts need a GUI application; the test program has no main of its own,
// so the first font test makes one.
void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "model_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

class LogFontTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }
    CAppContext context;
};

// Made-up fonts with round numbers: the cell is the height, the em four
// fifths of it (cell ratio 1.25), the external leading a tenth. Byte c is
// (c % 5 + 2) x height hundredths wide, one height more in bold. The face
// "Kerned" kerns "AV" by -height and "To" by -2 x height. "Sizes" comes in
// em heights 64 and 80 only; "Missing" is not installed.
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
        for (int c = 0; c < 256; ++c)
            out.widths[size_t(c)] = (c % 5 + 2) * h + (lf.lfWeight == 700 ? h : 0);
        out.kerning.clear();
        if (lf.lfFaceName == "Kerned")
            out.kerning = {{'A', 'V', -h}, {'T', 'o', -2 * h}};
        out.face = lf.lfFaceName == "Missing" ? QStringLiteral("Stand-in") : lf.lfFaceName;
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
        if (face == "Missing")
            return info;
        info.found = true;
        info.charSet = face == "Kerned" ? 2 : 0;
        info.pitchAndFamily = 0x12;
        info.tmPitchAndFamily = 0x17;
        if (face == "Sizes") {
            info.tmPitchAndFamily = 0x11; // not scalable
            info.variants = {{face, CFaceVariant::Raster, 80}, {face, CFaceVariant::Raster, 64}};
        }
        return info;
    }
};

class SyntheticFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto provider = std::make_unique<SyntheticMetrics>();
        metrics = provider.get();
        CFontMetricsProvider::Install(std::move(provider));
        // The record alone, without the program's size callback: every
        // variant of a fixed-size face counts.
        FontHooks().enumSize = [](const CFaceVariant& variant, std::vector<int>& heights) {
            heights.push_back(int(variant.height));
            return 1;
        };
    }
    void TearDown() override { FontHooks().enumSize = nullptr; }
    CAppContext context;
    SyntheticMetrics* metrics = nullptr;

    static CLogFont Font(const QString& face, int height)
    {
        LogFontFields lf = CLogFont::DefaultLogFont();
        lf.lfFaceName = face;
        lf.lfHeight = height;
        return CLogFont(lf);
    }
};

QByteArray Store(CLogFont& font)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    font.Serialize(ar);
    return bytes;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

const QString kLongFace = QStringLiteral("Tabrel Face With A Name Too Long To Hold");

} // namespace

// --- the archive record ------------------------------------------------------------

TEST_F(LogFontTest, DefaultRecordBytes)
{
    CLogFont font;
    // Five 32-bit values, eight bytes, then the face as an archive string.
    const QByteArray expected =
        Bytes({47, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0, 0,   0,   0,   0,   0x90,
               1,  0, 0, 0, 0, 0, 0, 4, 0, 0, 0x22, 5, 'A', 'r', 'i', 'a', 'l'});
    EXPECT_EQ(Store(font), expected);

    // The same LOGFONT as the raw Windows structure.
    QByteArray raw;
    {
        CArchive ar(&raw, CArchive::store);
        CLogFont::WriteRawLogFont(ar, font.GetLogFont());
    }
    QByteArray rawExpected = expected.left(28) + QByteArray("Arial");
    rawExpected.append(QByteArray(27, '\0'));
    ASSERT_EQ(raw.size(), LogFontFields::kRawSize);
    EXPECT_EQ(raw, rawExpected);
    CArchive in(&raw, CArchive::load);
    EXPECT_EQ(CLogFont::ReadRawLogFont(in), font.GetLogFont());
}

TEST_F(LogFontTest, RecordRoundTripsWithoutVersionGates)
{
    LogFontFields styled = CLogFont::DefaultLogFont();
    styled.lfFaceName = "Times New Roman";
    styled.lfHeight = 120;
    styled.lfWeight = 700;
    styled.lfItalic = 1;
    styled.lfUnderline = 1;
    styled.lfEscapement = styled.lfOrientation = 2700;
    styled.lfCharSet = 0;
    styled.lfPitchAndFamily = 0x12;
    LogFontFields longName = CLogFont::DefaultLogFont();
    longName.lfFaceName = kLongFace;

    // The record is the same in every file version.
    for (int version : {100, 330, 514}) {
        for (const LogFontFields& lf : {CLogFont::DefaultLogFont(), styled, longName}) {
            App().fileVersion = version;
            CLogFont original(lf);
            QByteArray bytes = Store(original);
            CArchive ar(&bytes, CArchive::load);
            CLogFont loaded;
            loaded.Serialize(ar);
            EXPECT_EQ(ar.BytesRemaining(), 0);
            EXPECT_EQ(loaded.GetLogFont(), original.GetLogFont()) << version;
            EXPECT_EQ(loaded.GetCharWidths(), original.GetCharWidths());
            EXPECT_EQ(loaded.GetKerningPairs(), original.GetKerningPairs());
        }
    }
}

TEST_F(LogFontTest, DamagedRecordsRaiseArchiveErrors)
{
    CLogFont font;
    const QByteArray whole = Store(font);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        QByteArray cut = whole.left(length);
        CArchive ar(&cut, CArchive::load);
        CLogFont loaded;
        EXPECT_THROW(loaded.Serialize(ar), CArchiveException) << length;
    }
    // A face claiming four gigabytes.
    QByteArray huge = whole.left(28) + Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'A'});
    CArchive ar(&huge, CArchive::load);
    EXPECT_THROW(font.Serialize(ar), CArchiveException);

    QByteArray raw = whole.left(40);
    CArchive rawIn(&raw, CArchive::load);
    EXPECT_THROW(CLogFont::ReadRawLogFont(rawIn), CArchiveException);
}

TEST_F(LogFontTest, FaceNamesAreCutToWhatTheRecordHolds)
{
    const QString cut = kLongFace.left(31);
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfFaceName = kLongFace;

    EXPECT_EQ(CLogFont(lf).GetFaceName(), cut);
    CLogFont font;
    font.SetLogFont(lf);
    EXPECT_EQ(font.GetFaceName(), cut);
    font.SetFaceName(kLongFace);
    EXPECT_EQ(font.GetFaceName(), cut);
    font.SetFaceFromList(kLongFace, 0x2200);
    EXPECT_EQ(font.GetFaceName(), cut);

    // A stored over-long name, and the raw structure's 32 bytes without a
    // terminating zero.
    QByteArray bytes = Store(font).left(28);
    {
        CArchive ar(&bytes, CArchive::store);
        ar << kLongFace;
    }
    CArchive in(&bytes, CArchive::load);
    font.Serialize(in);
    EXPECT_EQ(font.GetFaceName(), cut);

    QByteArray raw = bytes.left(28) + kLongFace.left(32).toLatin1();
    CArchive rawIn(&raw, CArchive::load);
    EXPECT_EQ(CLogFont::ReadRawLogFont(rawIn).lfFaceName, cut);
}

// --- measures of the installed faces -----------------------------------------------

TEST_F(LogFontTest, PositiveHeightIsTheCellHeight)
{
    for (int height : {20, 47, 100, 353, 1000}) {
        CLogFont font;
        font.SetHeight(height);
        const CTextMetrics& tm = font.GetTextMetrics();
        EXPECT_NEAR(tm.tmHeight, height, 1) << height;
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_GT(tm.tmInternalLeading, 0) << height;
    }
    // Arial's cell is (1854 + 434) / 2048 of its em.
    EXPECT_NEAR(CLogFont().GetCellRatio(), 2288.0 / 2048.0, 0.005);
    EXPECT_EQ(CLogFont().GetMeasuredFace(), "Liberation Sans");
}

TEST_F(LogFontTest, WidthsGrowWithHeight)
{
    CLogFont font;
    int previousW = 0, previousI = 0;
    for (int height = 10; height <= 600; height += 7) {
        font.SetHeight(height);
        const int w = font.GetCharWidth(u'W');
        const int i = font.GetCharWidth(u'i');
        EXPECT_GE(w, previousW) << height;
        EXPECT_GE(i, previousI) << height;
        EXPECT_GT(w, 2 * i) << height;
        previousW = w;
        previousI = i;
    }
    // Ten times the height, ten times the width, to a device pixel per character.
    font.SetHeight(47);
    const int small = font.GetTextWidth("Tabrel");
    font.SetHeight(470);
    EXPECT_NEAR(font.GetTextWidth("Tabrel"), 10 * small, 6 * 10 * 5);
}

TEST_F(LogFontTest, KerningPairsComeFromTheFaceAndAreApplied)
{
    CLogFont font;
    font.SetHeight(100);
    const int av = font.GetKerning(u'A', u'V');
    const int to = font.GetKerning(u'T', u'o');
    EXPECT_LT(av, 0);
    EXPECT_LT(to, 0);
    EXPECT_GT(font.LoadKerningPairs(), 100);
    EXPECT_EQ(font.GetKerning(u'x', u'x'), 0);

    const int a = font.GetCharWidth(u'A'), v = font.GetCharWidth(u'V');
    EXPECT_EQ(font.GetTextWidth("AV"), a + v + av);
    EXPECT_EQ(font.GetTextWidth("AVA"), a + v + a + av + font.GetKerning(u'V', u'A'));
    const std::vector<int> advances = font.GetCharAdvances("AV");
    ASSERT_EQ(advances.size(), 2u);
    EXPECT_EQ(advances[0], (a + av + 5) / 10);
    EXPECT_EQ(advances[1], (v + 5) / 10);

    // Kerning scales with the size (to a device pixel of the small one).
    font.SetHeight(1000);
    EXPECT_NEAR(font.GetKerning(u'A', u'V'), 10 * av, 30);
}

TEST_F(LogFontTest, KerningFollowsEveryChangeOfTheFont)
{
    CLogFont font;
    ASSERT_LT(font.GetKerning(u'A', u'V'), 0);

    // A copy measures like its original at once.
    const CLogFont copy(font);
    EXPECT_EQ(copy.GetKerningPairs(), font.GetKerningPairs());
    EXPECT_EQ(copy.GetTextWidth("AVATAR"), font.GetTextWidth("AVATAR"));
    CLogFont assigned;
    assigned.SetHeight(300);
    assigned = font;
    EXPECT_EQ(assigned.GetTextWidth("AVATAR"), font.GetTextWidth("AVATAR"));

    // A face without kerning has none, however the face arrives.
    font.SetFaceName("Courier New");
    EXPECT_EQ(font.GetMeasuredFace(), "Liberation Mono");
    EXPECT_EQ(font.LoadKerningPairs(), 0);
    EXPECT_EQ(font.GetTextWidth("AV"), font.GetCharWidth(u'A') + font.GetCharWidth(u'V'));
    font.SetFaceFromList("Arial", CLogFont::EnumerateFace("Arial"));
    EXPECT_EQ(font.GetKerningPairs(), copy.GetKerningPairs());
    font.SetFaceFromList("Courier New", CLogFont::EnumerateFace("Courier New"));
    EXPECT_EQ(font.LoadKerningPairs(), 0);
}

TEST_F(LogFontTest, FacesAreEnumeratedAsWindowsDoes)
{
    // Character set, LOGFONT pitch-and-family, text-metric pitch-and-family.
    EXPECT_EQ(CLogFont::EnumerateFace("Arial"), 0x00002227u);
    EXPECT_EQ(CLogFont::EnumerateFace("Times New Roman"), 0x00001217u);
    EXPECT_EQ(CLogFont::EnumerateFace("Courier New"), 0x00003136u);
    EXPECT_EQ(CLogFont::EnumerateFace("Tabrel No Such Face"), 0u);

    CLogFont font;
    font.SetFaceName("Times New Roman");
    EXPECT_EQ(font.GetLogFont().lfPitchAndFamily, 0x12);
    EXPECT_TRUE(font.IsScalable());
    EXPECT_TRUE(font.GetAllowedHeights().empty());
}

TEST_F(LogFontTest, MissingFaceIsMeasuredWithAStandIn)
{
    CLogFont font;
    font.SetHeight(100);
    const LogFontFields before = font.GetLogFont();
    font.SetFaceName("Tabrel No Such Face");

    // The record keeps the name (and the bytes it had) but measures and
    // draws with an installed face, never with nothing.
    EXPECT_EQ(font.GetFaceName(), "Tabrel No Such Face");
    EXPECT_EQ(font.GetLogFont().lfPitchAndFamily, before.lfPitchAndFamily);
    const QString standIn = font.GetMeasuredFace();
    EXPECT_TRUE(standIn == "Liberation Sans" || standIn == "DejaVu Sans") << qPrintable(standIn);
    EXPECT_EQ(font.GetDrawingFont().lfFaceName, standIn);
    EXPECT_TRUE(font.IsScalable());

    LogFontFields lf = font.GetLogFont();
    lf.lfFaceName = standIn;
    const CLogFont reference(lf);
    EXPECT_EQ(font.GetCharWidths(), reference.GetCharWidths());
    EXPECT_EQ(font.GetTextMetrics().tmHeight, reference.GetTextMetrics().tmHeight);
    EXPECT_GT(font.GetTextWidth("Tabrel"), 0);
}

TEST_F(LogFontTest, PairAdjustmentsStandInForAMissingKernTable)
{
    QByteArray data;
    for (const char* path : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                             "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            data = file.readAll();
            break;
        }
    }
    if (data.isEmpty())
        GTEST_SKIP() << "Liberation Sans file not found";

    // The same font with its 'kern' table renamed out of sight.
    QByteArray stripped = data;
    const int tables = (quint8(data[4]) << 8) | quint8(data[5]);
    for (int i = 0; i < tables; ++i) {
        if (stripped.mid(12 + 16 * i, 4) == "kern")
            stripped[12 + 16 * i] = 'x';
    }
    const QRawFont withKern(data, 100);
    const QRawFont gposOnly(stripped, 100);
    ASSERT_TRUE(withKern.isValid());
    ASSERT_TRUE(gposOnly.isValid());
    ASSERT_TRUE(gposOnly.fontTable("kern").isEmpty());

    const std::vector<CKerningPair> fromKern = CPrinterFontMetrics::ReadKerningPairs(withKern);
    const std::vector<CKerningPair> fromGpos = CPrinterFontMetrics::ReadKerningPairs(gposOnly);
    const auto amount = [](const std::vector<CKerningPair>& pairs, char a, char b) {
        for (const CKerningPair& p : pairs) {
            if (p.first == BYTE(a) && p.second == BYTE(b))
                return p.amount;
        }
        return 0;
    };
    EXPECT_GT(fromGpos.size(), 100u);
    for (const char* pair : {"AV", "To", "LT", "Yo", "P,"}) {
        EXPECT_LT(amount(fromGpos, pair[0], pair[1]), 0) << pair;
        EXPECT_EQ(amount(fromGpos, pair[0], pair[1]), amount(fromKern, pair[0], pair[1])) << pair;
    }
}

// --- sizes, styles and conversions (synthetic measures) -------------------------------

TEST_F(SyntheticFontTest, SnapHeight)
{
    const CLogFont free = Font("Plain", 47);
    const CLogFont sized = Font("Sizes", 80);
    // Em heights 64 and 80 at a cell ratio of 1.25.
    ASSERT_EQ(sized.GetAllowedHeights(), (std::vector<int>{80, 100}));
    ASSERT_FALSE(sized.IsScalable());

    struct Case
    {
        const CLogFont* font;
        int height;
        int snapped;
    };
    const Case cases[] = {
        {&free, 2, 3},       {&free, 3, 3},       {&free, 47, 47},   {&free, 3527, 3527},
        {&free, 3528, 3527}, {&free, 4000, 3527}, {&free, -5, 3},    {&sized, 10, 80},
        {&sized, 80, 80},    {&sized, 89, 80},    {&sized, 90, 100}, {&sized, 91, 100},
        {&sized, 100, 100},  {&sized, 500, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.font->SnapHeight(c.height), c.snapped) << c.height;

    // Choosing a fixed-size face snaps the height to it; a free one keeps it.
    CLogFont font = Font("Plain", 47);
    font.SetFaceName("Sizes");
    EXPECT_EQ(font.GetHeight(), 80);
    EXPECT_EQ(font.GetTextMetrics().tmHeight, 80);
    EXPECT_EQ(font.SetHeight(93), 100);
    EXPECT_EQ(font.GetSizeListItems(), (QStringList{"18", "22.5"}));
    font.SetFaceName("Plain");
    EXPECT_EQ(font.GetHeight(), 100);
    EXPECT_EQ(font.GetSizeListItems().size(), 24);
    EXPECT_EQ(font.GetSizeListItems().front(), "2");
    EXPECT_EQ(font.GetSizeListItems().back(), "432");
}

TEST_F(SyntheticFontTest, PointConversions)
{
    const CLogFont font = Font("Plain", 47);
    ASSERT_DOUBLE_EQ(font.GetCellRatio(), 1.25);
    EXPECT_NEAR(font.HeightToPoints(), 47 / 1.25 * 72 / 254, 1e-9);
    EXPECT_NEAR(font.HeightToPoints(100), 100 / 1.25 * 72 / 254, 1e-9);
    EXPECT_EQ(font.PointsToHeight(12), 53);
    EXPECT_EQ(font.PointsToHeight(0), 0);

    // Nearest half point, rounding down from the quarter.
    const std::pair<int, const char*> sizes[] = {
        {53, "12"}, {54, "12"}, {55, "12.5"}, {57, "13"}, {2, "0.5"}, {1000, "227"},
    };
    for (const auto& [height, text] : sizes)
        EXPECT_EQ(font.FormatPointSize(height), text) << height;
}

TEST_F(SyntheticFontTest, RotationAndStyle)
{
    CLogFont font = Font("Plain", 47);
    const std::pair<int, int> turns[] = {{0, 0},     {360, 0},    {90, 2700}, {270, 900},
                                         {-90, 900}, {450, 2700}, {1, 3590}};
    for (const auto& [degrees, tenths] : turns) {
        font.SetRotation(degrees);
        EXPECT_EQ(font.GetLogFont().lfEscapement, tenths) << degrees;
        EXPECT_EQ(font.GetLogFont().lfOrientation, tenths) << degrees;
    }

    EXPECT_EQ(font.GetStyleIndex(), 0);
    const int regular = font.GetCharWidth(u'a');
    font.SetBold(1);
    EXPECT_EQ(font.GetLogFont().lfWeight, 700);
    EXPECT_GT(font.GetCharWidth(u'a'), regular); // measured again
    font.SetItalic(1);
    EXPECT_EQ(font.GetStyleIndex(), 3);
    font.SetBold(0);
    EXPECT_EQ(font.GetLogFont().lfWeight, 0);
    EXPECT_EQ(font.GetStyleIndex(), 1);
    font.SetBold(2); // only 1 means bold
    EXPECT_EQ(font.GetLogFont().lfWeight, 0);
    font.SetUnderline(1);
    font.SetStrikeOut(1);
    EXPECT_EQ(font.GetLogFont().lfUnderline, 1);
    EXPECT_EQ(font.GetLogFont().lfStrikeOut, 1);
}

TEST_F(SyntheticFontTest, FitLineHeight)
{
    // Line = cell + a tenth of it.
    CLogFont font = Font("Plain", 100);
    EXPECT_EQ(font.FitLineHeight(220), TRUE);
    EXPECT_EQ(font.GetHeight(), 200);
    EXPECT_EQ(font.GetTextMetrics().tmHeight, 200);
    EXPECT_EQ(font.FitLineHeight(220), FALSE);
    EXPECT_EQ(font.FitLineHeight(1), TRUE);
    EXPECT_EQ(font.GetHeight(), 3);
}

TEST_F(SyntheticFontTest, KerningIsMeasuredAgainOnEveryChange)
{
    CLogFont font = Font("Kerned", 100);
    EXPECT_EQ(font.GetKerning(u'A', u'V'), -100);
    EXPECT_EQ(font.GetTextWidth("AVTo"), font.GetCharWidth(u'A') + font.GetCharWidth(u'V') +
                                             font.GetCharWidth(u'T') + font.GetCharWidth(u'o') -
                                             100 - 200);

    font.SetHeight(200);
    EXPECT_EQ(font.GetKerning(u'A', u'V'), -200);
    font.SetFaceName("Plain");
    EXPECT_EQ(font.LoadKerningPairs(), 0);
    font.SetFaceFromList("Kerned", 0x021217);
    EXPECT_EQ(font.GetKerning(u'T', u'o'), -400);
    EXPECT_EQ(font.GetLogFont().lfCharSet, 2);
    EXPECT_EQ(font.GetLogFont().lfPitchAndFamily, 0x12);

    CLogFont copy = font;
    font.SetLogFont(Font("Plain", 50).GetLogFont());
    EXPECT_EQ(font.LoadKerningPairs(), 0);
    EXPECT_EQ(copy.GetKerning(u'T', u'o'), -400);
    copy = font;
    EXPECT_EQ(copy.LoadKerningPairs(), 0);
}

TEST_F(SyntheticFontTest, ReadFontControls)
{
    CLogFont font = Font("Plain", 47);
    CFontControlValues values;
    values.styleIndex = 3;
    values.sizeText = " 12 pt";
    values.underline = 1;
    values.faceSelected = true;
    values.faceText = "Kerned";
    values.faceData = CLogFont::EnumerateFace("Kerned");
    const int measuresBefore = metrics->measureCount;
    font.ReadFontControls(values);

    const LogFontFields& lf = font.GetLogFont();
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfHeight, 53);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfFaceName, "Kerned");
    EXPECT_EQ(lf.lfCharSet, 2);
    EXPECT_EQ(font.GetKerning(u'A', u'V'), -53);
    EXPECT_EQ(metrics->measureCount, measuresBefore + 1);

    // No style selected keeps the style; a size that is no number is the smallest.
    CFontControlValues empty;
    empty.sizeText = "big";
    font.ReadFontControls(empty);
    EXPECT_EQ(font.GetStyleIndex(), 3);
    EXPECT_EQ(font.GetHeight(), 3);
    EXPECT_EQ(font.GetFaceName(), "Kerned");
}

TEST_F(SyntheticFontTest, MissingFaceKeepsItsBytesAndMeasuresTheStandIn)
{
    CLogFont font = Font("Plain", 47);
    font.SetFaceName("Missing");
    EXPECT_EQ(font.GetLogFont().lfPitchAndFamily, 0x22);
    EXPECT_EQ(font.GetMeasuredFace(), "Stand-in");
    EXPECT_EQ(font.GetDrawingFont().lfFaceName, "Stand-in");
    EXPECT_EQ(font.GetLogFont().lfFaceName, "Missing");
}

TEST_F(SyntheticFontTest, TextExportBlock)
{
    CLogFont font = Font("Plain", 47);
    font.SetRotation(90);
    font.SetBold(1);
    font.SetUnderline(1);
    QByteArray out;
    {
        CTextExportFile file(&out);
        font.WriteXml(file);
    }
    EXPECT_EQ(out, QByteArray("    <font>\r\n\r\n"
                              "        <name=\"Plain\"/>\r\n"
                              "        <point-size=\"10.7\"/>\r\n"
                              "        <orientation=\"2700\"/>\r\n"
                              "        <weight=\"700\"/>\r\n"
                              "        <italic=\"0\"/>\r\n"
                              "        <underline=\"1\"/>\r\n"
                              "        <strike-out=\"0\"/>\r\n"
                              "\r\n    </font>\r\n\r\n"));
}
