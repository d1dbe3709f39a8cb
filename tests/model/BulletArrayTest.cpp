// Bullet lists: the item numbering, the layout in front of a text's
// paragraphs, the record inside the text's, and a bulleted text that goes
// through a sign file and onto paper.
#include "BulletArray.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "Damage.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "Helpers.h"
#include "SignData.h"
#include "TestElements.h"
#include "TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <random>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

LogFontFields Font(const char* face, int height)
{
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfFaceName = QString::fromLatin1(face);
    lf.lfHeight = height;
    return lf;
}

class BulletArrayTest : public RealElementTest
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
        CTextDefaults::Current().font = CLogFont(Font("Liberation Sans", 60));
        CBulletPreferences& prefs = CBulletPreferences::Current();
        prefs.font = Font("Liberation Sans", 60);
        prefs.symbol = 'o';
        prefs.offset = 30;
        prefs.size = 100;
        prefs.colour = MakeRGB(200, 0, 0);
    }
};

} // namespace

TEST(BulletNumbering, EveryStyleWithItsLimits)
{
    struct Case
    {
        int style;
        qint64 number;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {BULLET_SYMBOL, 7, "\xb7"},          // the bullet character, whatever the number
        {BULLET_DECIMAL, 1, "1"}, {BULLET_DECIMAL, 0, "0"}, {BULLET_DECIMAL, -12, "-12"},
        {BULLET_DECIMAL, qint64(INT_MAX) + 1, "2147483648"}, // a start number near the top does not wrap
        {BULLET_LOWER_LETTER, 1, "a"}, {BULLET_LOWER_LETTER, 2, "b"}, {BULLET_LOWER_LETTER, 26, "z"},
        {BULLET_LOWER_LETTER, 27, "z"}, {BULLET_LOWER_LETTER, 0, "a"}, {BULLET_LOWER_LETTER, -40, "a"},
        {BULLET_UPPER_LETTER, 3, "C"}, {BULLET_UPPER_LETTER, 1000, "Z"},
        {BULLET_LOWER_ROMAN, 1, "i"}, {BULLET_LOWER_ROMAN, 4, "iv"}, {BULLET_LOWER_ROMAN, 9, "ix"},
        {BULLET_LOWER_ROMAN, 10, "x"}, {BULLET_LOWER_ROMAN, 14, "xiv"}, {BULLET_LOWER_ROMAN, 40, "xl"},
        {BULLET_LOWER_ROMAN, 49, "xlix"}, {BULLET_LOWER_ROMAN, 50, "l"}, {BULLET_LOWER_ROMAN, 88, "lxxxviii"},
        {BULLET_LOWER_ROMAN, 90, "xc"}, {BULLET_LOWER_ROMAN, 99, "xcix"}, {BULLET_LOWER_ROMAN, 120, "xcix"},
        {BULLET_LOWER_ROMAN, 0, "i"}, {BULLET_LOWER_ROMAN, -3, "i"},
        {BULLET_UPPER_ROMAN, 9, "IX"}, {BULLET_UPPER_ROMAN, 11, "XI"}, {BULLET_UPPER_ROMAN, 44, "XLIV"},
        {6, 3, "\xb7"}, {-1, 3, "\xb7"},     // a style out of range shows the bullet
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(CBulletArray::FormatItemNumber(c.number, c.style, 0xb7),
                  QString::fromLatin1(c.expected))
            << "style " << c.style << ", number " << c.number;
    }
}

TEST_F(BulletArrayTest, ItemsFollowStyleStartPrefixAndSuffix)
{
    struct Case
    {
        int style;
        int start;
        const char* prefix;
        const char* suffix;
        int count;
        QStringList expected;
    };
    const Case cases[] = {
        {BULLET_LOWER_ROMAN, 1, "", "", 4, {"i", "ii", "iii", "iv"}},
        {BULLET_UPPER_ROMAN, 9, "", ".", 3, {"IX.", "X.", "XI."}},
        {BULLET_LOWER_LETTER, 25, "", ")", 4, {"y)", "z)", "z)", "z)"}},
        {BULLET_DECIMAL, 1, "(", ")", 3, {"(1)", "(2)", "(3)"}},
        {BULLET_DECIMAL, -1, "#", "", 3, {"#-1", "#0", "#1"}},
        {BULLET_SYMBOL, 5, "(", ")", 2, {"o", "o"}}, // no prefix, suffix or number on a bullet
    };
    for (const Case& c : cases) {
        CBulletArray bullets;
        bullets.m_style = c.style;
        bullets.m_startNumber = c.start;
        bullets.m_prefix = QString::fromLatin1(c.prefix);
        bullets.m_suffix = QString::fromLatin1(c.suffix);
        ASSERT_TRUE(bullets.Layout(c.count, nullptr, 60));
        QStringList items;
        for (const QString& item : bullets.GetItemTexts())
            items << item;
        EXPECT_EQ(items, c.expected) << "style " << c.style;
    }
}

TEST_F(BulletArrayTest, LayoutSizesIndentsAndCentresTheItems)
{
    CBulletArray bullets;
    bullets.m_style = BULLET_DECIMAL;
    bullets.m_startNumber = 9;
    bullets.m_size = 50;
    bullets.m_offset = 25;
    const std::vector<CPoint> lines = {{100, 200}, {100, 300}};
    ASSERT_TRUE(bullets.Layout(2, &lines, 100));

    EXPECT_EQ(bullets.GetFont().GetHeight(), 50); // half the text's height
    // The indent is the offset plus the wider item, "10".
    CTextBase ten(&bullets.GetFont(), "10");
    EXPECT_EQ(bullets.GetIndent(), 25 + (ten.GetTextWidth() + 5) / 10);
    // Each item centred on its line: (100 - 50 + 1) / 2 down.
    ASSERT_EQ(bullets.GetPositions().size(), 2u);
    EXPECT_EQ(bullets.GetPositions()[0], CPoint(100, 225));
    EXPECT_EQ(bullets.GetPositions()[1], CPoint(100, 325));

    // Nothing to lay out: no items and no indent.
    ASSERT_TRUE(bullets.Layout(0, &lines, 100));
    EXPECT_TRUE(bullets.GetItemTexts().empty());
    EXPECT_TRUE(bullets.GetPositions().empty());
    EXPECT_EQ(bullets.GetIndent(), 0);
}

TEST_F(BulletArrayTest, RecordHoldsEverySettingAfterTheTextPart)
{
    CBulletArray bullets;
    bullets.m_style = BULLET_UPPER_LETTER;
    bullets.m_bulletChar = 0x95;
    bullets.m_prefix = "<";
    bullets.m_startNumber = 3;
    bullets.m_suffix = ">";
    bullets.m_offset = 40;
    bullets.m_size = 80;
    const std::vector<CPoint> lines = {{10, 20}, {10, 90}};
    bullets.Layout(2, &lines, 60);
    const std::vector<CPoint> positions = bullets.GetPositions();
    const int indent = bullets.GetIndent();

    const QByteArray bytes = Store(bullets);
    CTextBase base(static_cast<const CTextBase&>(bullets));
    const QByteArray textPart = Store(base);
    ASSERT_TRUE(bytes.startsWith(textPart));

    QByteArray expected;
    {
        CArchive ar(&expected, CArchive::store);
        ar << DWORD(3) << BYTE(0x95) << QString("<") << DWORD(3) << QString(">") << DWORD(40)
           << DWORD(80) << DWORD(2);
        ar.WriteCount(2);
        ar << positions[0] << positions[1];
        ar.WriteCount(2);
        ar << QString("<C>") << QString("<D>");
        ar << DWORD(indent);
    }
    EXPECT_EQ(bytes.mid(textPart.size()), expected);

    QByteArray copy = bytes;
    CArchive in(&copy, CArchive::load);
    CBulletArray loaded;
    loaded.Serialize(in);
    EXPECT_EQ(loaded.GetSettings().style, BULLET_UPPER_LETTER);
    EXPECT_EQ(loaded.m_bulletChar, 0x95);
    EXPECT_EQ(loaded.m_prefix, "<");
    EXPECT_EQ(loaded.m_suffix, ">");
    EXPECT_EQ(loaded.m_startNumber, 3);
    EXPECT_EQ(loaded.m_offset, 40);
    EXPECT_EQ(loaded.m_size, 80);
    EXPECT_EQ(loaded.GetPositions(), positions);
    EXPECT_EQ(loaded.GetItemTexts(), (std::vector<QString>{"<C>", "<D>"}));
    EXPECT_EQ(loaded.GetIndent(), indent);
    EXPECT_EQ(loaded.GetColour(), bullets.GetColour());
    EXPECT_EQ(loaded.GetFont().GetLogFont(), bullets.GetFont().GetLogFont());
}

TEST_F(BulletArrayTest, DamagedRecordsAreBroughtIntoRangeOrRefused)
{
    CBulletArray bullets;
    CTextBase base(static_cast<const CTextBase&>(bullets));
    const QByteArray textPart = Store(base);
    const auto record = [&](int style, int size, int offset, DWORD positions, DWORD items,
                            const QString& affix = QString()) {
        QByteArray tail;
        CArchive ar(&tail, CArchive::store);
        ar << DWORD(style) << BYTE('*') << affix << DWORD(1) << affix << DWORD(offset)
           << DWORD(size) << DWORD(7);
        ar.WriteCount(positions);
        for (DWORD i = 0; i < positions; ++i)
            ar << CPoint(int(i), INT_MAX);
        ar.WriteCount(items);
        for (DWORD i = 0; i < items; ++i)
            ar << QString("x");
        ar << DWORD(12);
        return textPart + tail;
    };

    struct Case
    {
        const char* what;
        QByteArray bytes;
        int style, size, offset, items;
    };
    const Case cases[] = {
        {"a style beyond the roman numerals", record(9, 100, 10, 1, 1), 0, 100, 10, 1},
        {"a negative style", record(-2, 100, 10, 1, 1), 0, 100, 10, 1},
        {"no size", record(1, 0, 10, 1, 1), 1, 1, 10, 1},
        {"a huge size", record(1, 500000, 10, 1, 1), 1, 1000, 10, 1},
        {"an offset beyond any sign", record(1, 100, INT_MAX, 1, 1), 1, 100, 15000, 1},
        {"more places than items", record(2, 100, 10, 3, 1), 2, 100, 10, 1},
        {"more items than places", record(2, 100, 10, 1, 3), 2, 100, 10, 1},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CArchive ar(&bytes, CArchive::load);
        CBulletArray loaded;
        ASSERT_NO_THROW(loaded.Serialize(ar)) << c.what;
        EXPECT_EQ(loaded.m_style, c.style) << c.what;
        EXPECT_EQ(loaded.m_size, c.size) << c.what;
        EXPECT_EQ(loaded.m_offset, c.offset) << c.what;
        EXPECT_EQ(int(loaded.GetItemTexts().size()), c.items) << c.what;
        EXPECT_EQ(loaded.GetPositions().size(), loaded.GetItemTexts().size()) << c.what;
        for (const CPoint& p : loaded.GetPositions())
            EXPECT_LE(p.y, 1 << 20) << c.what;
    }

    // Every item repeats the prefix and suffix: a list keeps no more of them
    // than an item can show, so laying out many paragraphs stays linear.
    {
        QByteArray bytes = record(1, 100, 10, 1, 1, QString(5000, u'x'));
        CArchive ar(&bytes, CArchive::load);
        CBulletArray loaded;
        loaded.Serialize(ar);
        EXPECT_EQ(loaded.m_prefix, QString(CBulletArray::kMaxAffixLength, u'x'));
        EXPECT_EQ(loaded.m_suffix, QString(CBulletArray::kMaxAffixLength, u'x'));
    }

    // A count of places that the file cannot hold, and a record cut short.
    QByteArray huge = record(1, 100, 10, 0, 0);
    const qsizetype countAt = textPart.size() + 4 + 1 + 1 + 4 + 1 + 4 + 4 + 4;
    huge[countAt] = '\xfe';
    huge[countAt + 1] = '\xff';
    QByteArray shortRecord = record(1, 100, 10, 2, 2);
    shortRecord.chop(10);
    for (QByteArray bytes : {huge, shortRecord}) {
        CArchive ar(&bytes, CArchive::load);
        CBulletArray loaded;
        EXPECT_THROW(loaded.Serialize(ar), CArchiveException);
    }
}

TEST_F(BulletArrayTest, BulletedTextOpensAgainAndPrintsItsNumbers)
{
    CTestHome home;
    auto* text = static_cast<CText*>(list.CreateElement("CText"));
    ASSERT_NE(text, nullptr);
    text->m_name = "List";
    text->m_position = CPoint(200, 100);
    text->m_formatRect = CRect(200, 100, 200, 100);
    text->SetBullets(nullptr);
    ASSERT_NE(dynamic_cast<CBulletArray*>(text->m_bullets.get()), nullptr);
    auto& bullets = static_cast<CBulletArray&>(*text->m_bullets);
    bullets.m_style = BULLET_UPPER_ROMAN;
    bullets.m_prefix = "(";
    bullets.m_suffix = ")";
    bullets.m_startNumber = 4;
    text->SetSampleData(nullptr, "one\ntwo\n\nthree");

    const QString path = home.FilePath("bullets.sgn");
    CSignData sign;
    ASSERT_TRUE(sign.OnSaveDocument(path));
    list.DeleteAll();

    CSignData opened;
    ASSERT_TRUE(opened.OnOpenDocument(path)) << messages.LastText().toStdString();
    EXPECT_EQ(messages.Count(), 0);
    ASSERT_EQ(list.GetCount(), 1);
    auto* loaded = dynamic_cast<CText*>(list.GetAt(0));
    ASSERT_NE(loaded, nullptr);
    auto* loadedBullets = dynamic_cast<CBulletArray*>(loaded->m_bullets.get());
    ASSERT_NE(loadedBullets, nullptr);
    EXPECT_EQ(loadedBullets->GetItemTexts(), (std::vector<QString>{"(IV)", "(V)", "(VI)"}));
    EXPECT_EQ(loadedBullets->GetColour(), MakeRGB(200, 0, 0));
    EXPECT_EQ(loaded->m_bulletLines, (std::vector<DWORD>{0, 1, 3}));

    // Each paragraph's number stands in its own colour in the column left of
    // the text, level with its line; the empty line gets none.
    const int indent = loadedBullets->GetIndent();
    ASSERT_GT(indent, 0);
    const QImage image = Render(*loaded, 800, 500);
    const auto redIn = [&image](int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        }
        return count;
    };
    for (size_t i = 0; i < loaded->m_lines.size(); ++i) {
        const CPoint origin = loaded->m_lines[i]->GetOrigin();
        EXPECT_EQ(origin.x, 200 + indent) << "line " << i;
        const int top = origin.y;
        const int bottom = origin.y + loaded->m_lines[i]->GetHeight();
        const bool bulleted = i != 2;
        EXPECT_EQ(redIn(200, top, 200 + indent, bottom) > 20, bulleted) << "line " << i;
    }
    EXPECT_EQ(redIn(0, 0, 200, 500), 0) << "nothing left of the position";
}

// A bullet list made with the preferences a fresh installation has draws
// each paragraph's bullet as a round blot in the bullet face, not as the
// character its code has in a text face.
TEST_F(BulletArrayTest, ANewListDrawsRoundBulletsInTheBulletFace)
{
    CBulletPreferences& prefs = CBulletPreferences::Current();
    prefs = CBulletPreferences();
    prefs.colour = MakeRGB(200, 0, 0); // to tell the bullets from the text
    CTextDefaults::Current().font = CLogFont(Font("Liberation Sans", 200));
    auto* text = static_cast<CText*>(list.CreateElement("CText"));
    ASSERT_NE(text, nullptr);
    text->m_position = CPoint(100, 100);
    text->m_formatRect = CRect(100, 100, 100, 100);
    text->SetBullets(nullptr);
    auto* bullets = dynamic_cast<CBulletArray*>(text->m_bullets.get());
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->GetFont().GetFaceName(), "Tabrel bullets");
    text->SetSampleData(nullptr, "one\ntwo");
    ASSERT_EQ(text->m_lines.size(), 2u);

    const QImage image = Render(*text, 1200, 800);
    for (size_t i = 0; i < text->m_lines.size(); ++i) {
        SCOPED_TRACE(i);
        const int top = text->m_lines[i]->GetOrigin().y;
        const int bottom = top + text->m_lines[i]->GetHeight();
        QRect blot;
        int red = 0;
        for (int y = top; y < bottom && y < image.height(); ++y) {
            for (int x = 100; x < 100 + bullets->GetIndent(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 100 && c.blue() < 100) {
                    blot |= QRect(x, y, 1, 1);
                    ++red;
                }
            }
        }
        ASSERT_GT(red, 50);
        EXPECT_NEAR(double(blot.width()) / blot.height(), 1.0, 0.15);
        const QColor middle = image.pixelColor(blot.center());
        EXPECT_TRUE(middle.red() > 150 && middle.green() < 100) << "a gap in the middle";
        EXPECT_GT(double(red) / (blot.width() * blot.height()), 0.6);
    }
}

TEST_F(BulletArrayTest, DamagedBulletedTextsReadSafely)
{
    App().fileVersion = 514;
    CText text;
    text.m_position = CPoint(100, 100);
    text.m_formatRect = CRect(100, 100, 100, 100);
    text.SetBullets(nullptr);
    static_cast<CBulletArray&>(*text.m_bullets).m_style = BULLET_LOWER_ROMAN;
    text.SetSampleData(nullptr, "one\ntwo\nthree");
    const QByteArray seed = Store(text);

    std::mt19937 rng(1142);
    int read = 0;
    for (int i = 0; i < 400; ++i) {
        QByteArray bytes = DamagedCopy(seed, rng);
        CArchive ar(&bytes, CArchive::load);
        CText loaded;
        try {
            loaded.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        }
        ++read;
        if (auto* bullets = dynamic_cast<CBulletArray*>(loaded.m_bullets.get())) {
            EXPECT_GE(bullets->m_style, BULLET_SYMBOL);
            EXPECT_LE(bullets->m_style, BULLET_UPPER_ROMAN);
            EXPECT_GE(bullets->m_size, 1);
            EXPECT_LE(bullets->m_size, 1000);
            EXPECT_EQ(bullets->GetPositions().size(), bullets->GetItemTexts().size());
            EXPECT_TRUE(bullets->GetFont().GetHeight() != 0);
        }
        // What was read draws, and saves and reads again the same.
        Render(loaded, 300, 300);
        QByteArray again = Store(loaded);
        CArchive ar2(&again, CArchive::load);
        CText reread;
        ASSERT_NO_THROW(reread.Serialize(ar2)) << "copy " << i;
    }
    EXPECT_GT(read, 0);
}
