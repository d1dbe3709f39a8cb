#include "TextBase.h"
#include "AppContext.h"
#include "Archive.h"
#include "DC.h"

#include <QGuiApplication>

#include <climits>

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

class TextBaseTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }
    CAppContext context;
};

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

void Load(CObject& object, QByteArray bytes)
{
    CArchive ar(&bytes, CArchive::load);
    object.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
}

// Bounds of the pixels that are not white, or an empty rectangle.
QRect InkBounds(const QImage& image, QRgb* darkest = nullptr)
{
    QRect bounds;
    int least = 3 * 256;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            if (sum == 3 * 255)
                continue;
            bounds |= QRect(x, y, 1, 1);
            if (darkest && sum < least) {
                least = sum;
                *darkest = p;
            }
        }
    }
    return bounds;
}

struct ProgressCounter : CProgressSeam
{
    int steps = 0;
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
};

} // namespace

TEST_F(TextBaseTest, TextWithoutAFontOwnsTheDefaultOne)
{
    CTextDefaults::Current().colour = MakeRGB(0, 0, 200);
    CTextDefaults::Current().font.SetHeight(120);

    const CTextBase plain;
    const CTextBase fromNull(nullptr, "abc");
    for (const CTextBase* text : {&plain, &fromNull}) {
        EXPECT_TRUE(text->OwnsFont());
        EXPECT_NE(&text->GetFont(), &CTextDefaults::Current().font);
        EXPECT_EQ(text->GetFont().GetLogFont(), CTextDefaults::Current().font.GetLogFont());
        EXPECT_EQ(text->GetColour(), MakeRGB(0, 0, 200));
        EXPECT_EQ(text->GetOrigin(), CPoint(0, 0));
    }
    EXPECT_EQ(fromNull.GetText(), "abc");
    EXPECT_EQ(fromNull.GetAdvances(), fromNull.GetFont().GetCharAdvances("abc"));
    EXPECT_TRUE(plain.GetAdvances().empty());
}

TEST_F(TextBaseTest, BorrowedFontIsLeftAlone)
{
    CLogFont font;
    CTextBase text(&font, "12");
    EXPECT_FALSE(text.OwnsFont());
    EXPECT_EQ(&text.GetFont(), &font);

    EXPECT_EQ(text.SetHeight(200), 200);
    EXPECT_EQ(text.SetPointSize(30), 47);
    text.SetRotation(90);
    LogFontFields other = font.GetLogFont();
    other.lfWeight = 700;
    text.SetLogFont(other);
    EXPECT_EQ(font.GetLogFont(), CLogFont::DefaultLogFont());

    // Another record is borrowed in its place and measures the text.
    CLogFont larger;
    larger.SetHeight(470);
    text.SetFont(&larger);
    EXPECT_EQ(&text.GetFont(), &larger);
    EXPECT_EQ(text.GetAdvances(), larger.GetCharAdvances("12"));
}

TEST_F(TextBaseTest, OwnedFontFollowsTheSetters)
{
    CTextBase text;
    text.SetText("AVATAR");
    EXPECT_EQ(text.SetHeight(2), 3);
    EXPECT_EQ(text.SetHeight(4000), 3527);
    const int height = text.SetPointSize(12);
    EXPECT_EQ(height, text.GetFont().PointsToHeight(12));
    EXPECT_EQ(text.GetFont().GetHeight(), height);
    EXPECT_EQ(text.GetGdiFont().lfHeight, height);
    EXPECT_EQ(text.GetAdvances(), text.GetFont().GetCharAdvances("AVATAR"));

    text.SetRotation(90);
    EXPECT_EQ(text.GetGdiFont().lfEscapement, 2700);

    CLogFont bold;
    bold.SetBold(1);
    text.SetFont(&bold);
    EXPECT_TRUE(text.OwnsFont());
    EXPECT_NE(&text.GetFont(), &bold);
    EXPECT_EQ(text.GetFont().GetLogFont(), bold.GetLogFont());
    EXPECT_EQ(text.GetGdiFont().lfWeight, 700);
    EXPECT_EQ(text.GetAdvances(), bold.GetCharAdvances("AVATAR"));
    EXPECT_EQ(text.GetTextWidth(), bold.GetTextWidth("AVATAR"));
    EXPECT_EQ(text.GetTextWidth(2), bold.GetTextWidth("AV"));
}

TEST_F(TextBaseTest, CopiesOwnTheirOwnFontAndShareABorrowedOne)
{
    CTextBase owned;
    owned.SetText("Tabrel");
    owned.SetOrigin(10, 20);
    owned.SetColour(MakeRGB(1, 2, 3));
    CTextBase ownedCopy(owned);
    EXPECT_TRUE(ownedCopy.OwnsFont());
    EXPECT_NE(&ownedCopy.GetFont(), &owned.GetFont());
    ownedCopy.SetHeight(200);
    EXPECT_EQ(owned.GetFont().GetHeight(), 47);
    EXPECT_EQ(ownedCopy.GetText(), "Tabrel");
    EXPECT_EQ(ownedCopy.GetOrigin(), CPoint(10, 20));
    EXPECT_EQ(ownedCopy.GetColour(), MakeRGB(1, 2, 3));

    CLogFont font;
    CTextBase borrowed(&font, "x");
    CTextBase assigned;
    assigned = borrowed;
    EXPECT_FALSE(assigned.OwnsFont());
    EXPECT_EQ(&assigned.GetFont(), &font);
    assigned = owned;
    EXPECT_TRUE(assigned.OwnsFont());
    EXPECT_NE(&assigned.GetFont(), &owned.GetFont());
    EXPECT_EQ(assigned.GetAdvances(), owned.GetAdvances());
    assigned = *&assigned;
    EXPECT_EQ(assigned.GetText(), "Tabrel");
}

TEST_F(TextBaseTest, EditingTheText)
{
    CTextBase text;
    EXPECT_EQ(text.SetText("AV"), 2);
    EXPECT_EQ(text.SetText("AV"), 2);
    EXPECT_EQ(text.SetText(""), 0);
    EXPECT_TRUE(text.GetAdvances().empty());
    // Single-byte text: what Windows-1252 lacks is held as "?".
    EXPECT_EQ(text.SetText(QString::fromUtf8("5 \u20AC \u03A9")), 5);
    EXPECT_EQ(text.GetText(), QString::fromUtf8("5 \u20AC ?"));

    struct Insert
    {
        int position;
        const char* result;
    };
    for (const Insert& c : {Insert{0, "Xabc"}, Insert{2, "abXc"}, Insert{3, "abcX"},
                            Insert{-1, "abcX"}, Insert{9, "abcX"}}) {
        text.SetText("abc");
        text.InsertChar(u'X', c.position);
        EXPECT_EQ(text.GetText(), c.result) << c.position;
        EXPECT_EQ(text.GetAdvances().size(), 4u);
    }

    struct Digits
    {
        const char* text;
        BOOL stripped;
        const char* afterStrip;
        BOOL kept;
        const char* afterKeep;
        int number;
    };
    const Digits cases[] = {
        {"007", TRUE, "7", FALSE, "7", 7},
        {"000", TRUE, "", FALSE, "", 0},
        {"70", FALSE, "70", FALSE, "70", 70},
        {"0a1b2", TRUE, "a1b2", TRUE, "12", 12},
        {"", FALSE, "", FALSE, "", 0},
        {"99999999999", FALSE, "99999999999", FALSE, "99999999999", INT_MAX},
    };
    for (const Digits& c : cases) {
        text.SetText(c.text);
        EXPECT_EQ(text.GetNumber(), c.number) << c.text;
        EXPECT_EQ(text.StripLeadingZeros(), c.stripped) << c.text;
        EXPECT_EQ(text.GetText(), c.afterStrip) << c.text;
        EXPECT_EQ(text.KeepDigitsOnly(), c.kept) << c.text;
        EXPECT_EQ(text.GetText(), c.afterKeep) << c.text;
        EXPECT_EQ(text.GetAdvances().size(), size_t(text.GetLength())) << c.text;
    }
}

TEST_F(TextBaseTest, ArchiveRecord)
{
    CLogFont font;
    CTextBase borrowed(&font, "AB");
    borrowed.SetOrigin(0x12, -1);
    // Neither font nor colour for a borrowed font.
    const QByteArray borrowedBytes = QByteArray::fromHex("00000000"
                                                         "024142"
                                                         "12000000"
                                                         "ffffffff");
    EXPECT_EQ(Store(borrowed), borrowedBytes);

    CTextBase owned;
    owned.SetText("Price");
    owned.SetOrigin(10, 20);
    owned.SetColour(0x00123456);
    owned.SetHeight(120);
    CLogFont ownedFont = owned.GetFont();
    QByteArray expected = QByteArray::fromHex("01000000"
                                              "055072696365"
                                              "0a000000"
                                              "14000000");
    expected += Store(ownedFont);
    expected += QByteArray::fromHex("56341200");

    ProgressCounter progress;
    App().progress = &progress;
    const QByteArray ownedBytes = Store(owned);
    EXPECT_EQ(ownedBytes, expected);

    // An owned record makes the reader own its font.
    CTextBase loaded(&font);
    Load(loaded, ownedBytes);
    EXPECT_TRUE(loaded.OwnsFont());
    EXPECT_NE(&loaded.GetFont(), &font);
    EXPECT_EQ(loaded.GetFont().GetLogFont(), owned.GetFont().GetLogFont());
    EXPECT_EQ(loaded.GetGdiFont().lfHeight, 120);
    EXPECT_EQ(loaded.GetText(), "Price");
    EXPECT_EQ(loaded.GetOrigin(), CPoint(10, 20));
    EXPECT_EQ(loaded.GetColour(), 0x00123456u);
    EXPECT_EQ(loaded.GetAdvances(), owned.GetAdvances());

    // A borrowed record leaves the font to the owner, who sets it afterwards.
    Load(loaded, borrowedBytes);
    EXPECT_FALSE(loaded.OwnsFont());
    EXPECT_EQ(loaded.GetText(), "AB");
    EXPECT_EQ(loaded.GetFont().GetHeight(), 120);
    loaded.SetFont(&font);
    EXPECT_EQ(&loaded.GetFont(), &font);
    EXPECT_EQ(loaded.GetAdvances(), font.GetCharAdvances("AB"));
    EXPECT_EQ(progress.steps, 3);
    App().progress = nullptr;

    for (qsizetype length = 0; length < ownedBytes.size(); ++length) {
        QByteArray cut = ownedBytes.left(length);
        CArchive ar(&cut, CArchive::load);
        CTextBase reader;
        EXPECT_THROW(reader.Serialize(ar), CArchiveException) << length;
    }
}

TEST_F(TextBaseTest, DrawsWhereItsCellIs)
{
    // One pixel per tenth of a millimetre.
    CImageDC dc(400, 200, 254, 254);
    dc.SetTenthsMmMapping();
    CTextBase text;
    text.SetHeight(100);
    text.SetColour(MakeRGB(255, 0, 0));
    text.SetOrigin(50, 40);
    text.SetText("HH");
    text.Draw(&dc);

    QRgb darkest = 0;
    const QRect ink = InkBounds(dc.Image(), &darkest);
    ASSERT_FALSE(ink.isEmpty());
    const int ascent = text.GetFont().GetTextMetrics().tmAscent;
    EXPECT_GE(ink.left(), 50);
    EXPECT_LE(ink.left(), 50 + 12);
    EXPECT_LE(ink.right(), 50 + (text.GetTextWidth() + 5) / 10);
    EXPECT_GE(ink.top(), 40);
    EXPECT_NEAR(ink.bottom(), 40 + ascent - 1, 2); // "H" stands on the baseline
    EXPECT_GT(qRed(darkest), 200);
    EXPECT_LT(qGreen(darkest), 60);
    // The context gets its own font and colour back.
    EXPECT_EQ(dc.GetTextColor(), 0u);
    EXPECT_EQ(dc.GetCurrentFont(), LogFontFields());

    // With a borrowed font, the caller's font and colour draw.
    CImageDC borrowedDc(400, 200, 254, 254);
    borrowedDc.SetTenthsMmMapping();
    const CTextBase borrowed(&text.GetFont(), "HH");
    CTextBase placed = borrowed;
    placed.SetOrigin(50, 40);
    borrowedDc.SelectFont(text.GetFont().GetDrawingFont());
    borrowedDc.SetTextColor(MakeRGB(0, 0, 255));
    placed.Draw(&borrowedDc);
    const QRect borrowedInk = InkBounds(borrowedDc.Image(), &darkest);
    EXPECT_EQ(borrowedInk, ink);
    EXPECT_GT(qBlue(darkest), 200);
    EXPECT_LT(qRed(darkest), 60);

    // An empty text draws nothing.
    CImageDC emptyDc(100, 100, 254, 254);
    CTextBase empty;
    empty.Draw(&emptyDc);
    EXPECT_TRUE(InkBounds(emptyDc.Image()).isEmpty());
}

TEST_F(TextBaseTest, MeasureTextFindsTheInkRows)
{
    CTextBase text;
    text.SetHeight(100);
    text.SetText("H");
    const int ascent = text.GetFont().GetTextMetrics().tmAscent;

    CRect h, x, g;
    ASSERT_TRUE(text.MeasureText(h));
    const QString xText = "x", gText = "g";
    ASSERT_TRUE(text.MeasureText(x, &xText));
    ASSERT_TRUE(text.MeasureText(g, &gText));
    EXPECT_EQ(text.GetText(), "H");

    EXPECT_EQ(h.left, 0);
    EXPECT_EQ(h.right, (text.GetTextWidth() + 5) / 10 - 1);
    EXPECT_NEAR(h.bottom, ascent - 1, 2);
    EXPECT_GT(h.top, 5);
    EXPECT_GT(x.top, h.top + 10); // x-height below the capitals
    EXPECT_NEAR(x.bottom, h.bottom, 1);
    EXPECT_GT(g.bottom, h.bottom + 10); // the descender

    const QString none;
    CRect r;
    EXPECT_FALSE(text.MeasureText(r, &none));
}
