#include "PageLabels.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "DC.h"
#include "ElementList.h"
#include "TextExport.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

namespace {

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

// 5 March 2024, 14:07:09 local time.
std::time_t FixedTime()
{
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 14;
    tm.tm_min = 7;
    tm.tm_sec = 9;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

QString Strftime(const char* format)
{
    const std::time_t t = FixedTime();
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return QString::fromLocal8Bit(buffer, qsizetype(n));
}

class CNamedText : public CElement
{
public:
    CNamedText(const QString& name, const QString& text) : m_text(text) { m_name = name; }
    QString GetText() const override { return m_text; }

private:
    QString m_text;
};

class CCountingProgress : public CProgressSeam
{
public:
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
    int steps = 0;
};

// Bounding box of the pixels with ink (any channel below 160) in the region;
// empty when there is none.
QRect InkBox(const QImage& image, const QRect& region)
{
    QRect box;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 160 || c.green() < 160 || c.blue() < 160)
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

class PageLabelsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        CPageLabels::s_now = FixedTime;
    }
    void TearDown() override { CPageLabels::s_now = nullptr; }

    CPageLabels& Labels() { return ThePageLabels(); }

    CAppContext context;
};

// --- codes and splitting ---------------------------------------------------------------

TEST_F(PageLabelsTest, ExpandsCodesInEachPart)
{
    CPageLabels& labels = Labels();
    labels.m_pageNumber = 7;
    labels.m_signPath = QStringLiteral("/signs/shelf/Price Card.tsg");
    App().currentUserName = [] { return QStringLiteral("Morgan"); };
    TheElementList().AddTail(new CNamedText(QStringLiteral("Price"), QStringLiteral("4.99")));

    struct Case
    {
        const char* format;
        int part;
        QString expected;
    };
    const Case cases[] = {
        // Page number, empty centre, date with its own format on the right.
        {"Page $p::$d<%d/%m/%Y>", 0, QStringLiteral("Page 7")},
        {"Page $p::$d<%d/%m/%Y>", 1, QString()},
        {"Page $p::$d<%d/%m/%Y>", 2, QStringLiteral("05/03/2024")},
        // A colon inside angle brackets does not split.
        {"$t<%H:%M>:centre", 0, QStringLiteral("14:07")},
        {"$t<%H:%M>:centre", 1, QStringLiteral("centre")},
        {"$d:$t:", 0, Strftime("%x")},
        {"$d:$t:", 1, Strftime("%X")},
        {":$f:", 1, QStringLiteral("Price Card.tsg")},
        {"$w:", 0, QStringLiteral("/signs/shelf/Price Card.tsg")},
        {"by $u:", 0, QStringLiteral("by Morgan")},
        // Element look-up is case-insensitive; an unknown name stands as it is.
        {"$e<price> each:", 0, QStringLiteral("4.99 each")},
        {"$e<Missing>:", 0, QStringLiteral("$e<Missing>")},
        {"$e<>x:", 0, QStringLiteral("$e<>x")},
        {"$ex:", 0, QStringLiteral("$ex")},
        {"::$e<Price", 2, QStringLiteral("$e<Price")},
        {"::$d<%Y", 2, QStringLiteral("$d<%Y")},
        // "$" at the end, unknown codes, letters in either case.
        {"cost 5$:", 0, QStringLiteral("cost 5$")},
        {"$q$$P:", 0, QStringLiteral("$q$7")},
        {"$D<%Y> $T<%M>:", 0, QStringLiteral("2024 07")},
        // One separator: no right part; further colons belong to the right part.
        {"L:C", 0, QStringLiteral("L")},
        {"L:C", 1, QStringLiteral("C")},
        {"L:C", 2, QString()},
        {"a:b:c:d", 2, QStringLiteral("c:d")},
        // No separator outside brackets: nothing.
        {"Page $p", 0, QString()},
        {"Page $p", 1, QString()},
        {"<a:b>", 0, QString()},
        {"", 0, QString()},
    };
    for (const Case& c : cases) {
        labels.Item(CPageLabels::HEADER).format = QString::fromLatin1(c.format);
        EXPECT_EQ(labels.GetItemText(CPageLabels::HEADER, c.part), c.expected)
            << c.format << " part " << c.part;
    }
    EXPECT_EQ(labels.GetItemText(2, 0), QString());
    EXPECT_EQ(labels.GetItemText(CPageLabels::HEADER, 3), QString());
}

TEST_F(PageLabelsTest, ExpandFormatMovesBehindTheCode)
{
    CPageLabels& labels = Labels();
    TheElementList().AddTail(new CNamedText(QStringLiteral("Name"), QStringLiteral("Tea")));
    struct Case
    {
        const char* text;
        QString expected;
        qsizetype end;
    };
    const Case cases[] = {
        {"$p!", QStringLiteral("1"), 2},        {"$e<NAME>!", QStringLiteral("Tea"), 8},
        {"$e<Other>!", QStringLiteral("$"), 1}, {"$d<%Y>!", QStringLiteral("2024"), 6},
        {"$", QStringLiteral("$"), 1},          {"$z", QStringLiteral("$"), 1},
    };
    for (const Case& c : cases) {
        qsizetype pos = 0;
        EXPECT_EQ(labels.ExpandFormat(QString::fromLatin1(c.text), pos), c.expected) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
    }
    // Nobody logged on, or no user list at all: empty.
    qsizetype pos = 0;
    App().currentUserName = nullptr;
    EXPECT_EQ(labels.ExpandFormat(QStringLiteral("$u"), pos), QString());
}

// --- archive and export ------------------------------------------------------------------

TEST_F(PageLabelsTest, ArchiveRoundTripAndBytes)
{
    CPageLabels& labels = Labels();
    CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
    header.print = 1;
    header.asFirstPage = 1;
    header.offset = 150;
    header.format = QStringLiteral("Caf\u00e9 $p::$d<%x>");
    header.font.SetBold(1);
    header.textColour = MakeRGB(255, 0, 0);
    CPageLabelItem& footer = labels.Item(CPageLabels::FOOTER);
    footer.offset = 75;
    footer.textColour = 0x123456;

    CCountingProgress progress;
    App().progress = &progress;
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        labels.Serialize(ar);
    }
    EXPECT_EQ(progress.steps, 1);

    // The header's bytes: three DWORDs, the string, the font, the colour.
    QByteArray expected;
    {
        CArchive ar(&expected, CArchive::store);
        ar << DWORD(1) << DWORD(1) << DWORD(150);
        ar.WriteRawString(ToWindows1252(header.format));
        CLogFont font = header.font;
        font.Serialize(ar);
        ar << DWORD(MakeRGB(255, 0, 0));
    }
    ASSERT_GT(bytes.size(), expected.size());
    EXPECT_EQ(bytes.left(expected.size()), expected);
    EXPECT_EQ(bytes.mid(12, 1), QByteArray(1, char(header.format.size())));
    EXPECT_EQ(bytes.mid(13, 4), QByteArray("Caf\xe9"));

    CPageLabels loaded;
    {
        CArchive ar(&bytes, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
    EXPECT_EQ(progress.steps, 2);
    App().progress = nullptr;
    for (int i = 0; i < 2; ++i) {
        const CPageLabelItem& a = labels.Item(i);
        const CPageLabelItem& b = loaded.Item(i);
        EXPECT_EQ(b.print, a.print) << i;
        EXPECT_EQ(b.asFirstPage, a.asFirstPage) << i;
        EXPECT_EQ(b.offset, a.offset) << i;
        EXPECT_EQ(b.format, a.format) << i;
        EXPECT_EQ(b.font.GetLogFont(), a.font.GetLogFont()) << i;
        EXPECT_EQ(b.textColour, a.textColour) << i;
    }
    // Text objects exist for the printed item only.
    for (const auto& text : loaded.Item(CPageLabels::HEADER).texts)
        ASSERT_TRUE(text);
    EXPECT_EQ(loaded.Item(CPageLabels::HEADER).texts[0]->GetColour(), MakeRGB(255, 0, 0));
    for (const auto& text : loaded.Item(CPageLabels::FOOTER).texts)
        EXPECT_FALSE(text);
}

TEST_F(PageLabelsTest, DamagedArchiveRaisesAndChangesNothing)
{
    CPageLabels& labels = Labels();
    labels.Item(CPageLabels::FOOTER).print = 1;
    labels.Item(CPageLabels::FOOTER).format = QStringLiteral("::$p");
    QByteArray good;
    {
        CArchive ar(&good, CArchive::store);
        labels.Serialize(ar);
    }

    QByteArray hostileOffset = good;
    hostileOffset[8] = 0;
    hostileOffset[9] = 0;
    hostileOffset[10] = 0;
    hostileOffset[11] = char(0x80); // INT_MIN

    CPageLabels target;
    target.Item(CPageLabels::HEADER).format = QStringLiteral("kept");
    for (QByteArray bytes : {good.left(good.size() - 1), hostileOffset}) {
        CArchive ar(&bytes, CArchive::load);
        EXPECT_THROW(target.Serialize(ar), CArchiveException);
        EXPECT_EQ(target.Item(CPageLabels::HEADER).format, QStringLiteral("kept"));
        EXPECT_EQ(target.Item(CPageLabels::FOOTER).print, 0);
    }
}

TEST_F(PageLabelsTest, TextExportLines)
{
    CPageLabels& labels = Labels();
    CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
    header.print = 1;
    header.asFirstPage = 1;
    header.offset = 120;
    header.format = QStringLiteral("A & \"B\"::$d<%x>");
    header.textColour = MakeRGB(0x12, 0x34, 0x56);
    labels.Item(CPageLabels::FOOTER).offset = 80;

    QByteArray out;
    {
        CTextExportFile file(&out);
        labels.WriteXml(file);
    }
    const QByteArray expected = "<page-labels>\r\n\r\n"
                                "  <header>\r\n\r\n"
                                "    <print=\"1\"/>\r\n"
                                "    <first-page-only=\"1\"/>\r\n"
                                "    <offset units=\"TMM\" value=\"120\"/>\r\n"
                                "    <format=\"A &amp; &quot;B&quot;::$d&lt;%x&gt;\"/>\r\n"
                                "    <text-colour=\"#123456\"/>\r\n"
                                "\r\n  </header>\r\n\r\n"
                                "  <footer>\r\n\r\n"
                                "    <print=\"0\"/>\r\n"
                                "    <first-page-only=\"0\"/>\r\n"
                                "    <offset units=\"TMM\" value=\"80\"/>\r\n"
                                "    <format=\"\"/>\r\n"
                                "    <text-colour=\"#000000\"/>\r\n"
                                "\r\n  </footer>\r\n\r\n"
                                "</page-labels>\r\n\r\n";
    EXPECT_EQ(out, expected);
}

// --- drawing ---------------------------------------------------------------------------------

// A page of 100 x 70 mm at 254 dpi, so one pixel is a tenth of a millimetre,
// with a printable area 6 mm in from the sides and 4 mm from top and bottom.
constexpr int kPageW = 1000;
constexpr int kPageH = 700;
const CRect kArea(60, 40, 940, 660);

TEST_F(PageLabelsTest, DrawsHeaderTopLeftAndFooterRightAligned)
{
    CPageLabels& labels = Labels();
    CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
    header.print = 1;
    header.offset = 30;
    header.format = QStringLiteral("HEADER:MID:");
    header.textColour = MakeRGB(255, 0, 0);
    CPageLabelItem& footer = labels.Item(CPageLabels::FOOTER);
    footer.print = 1;
    footer.offset = 50;
    footer.format = QStringLiteral("::FOOTER");
    const int cell = footer.font.GetHeight();
    ASSERT_GT(cell, 20);

    CImageDC dc(kPageW, kPageH, 254, 254);
    int calls = 0;
    EXPECT_TRUE(labels.DrawPageLabels(&dc, kArea, [&] { return ++calls, TRUE; }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(labels.m_pageNumber, 2);

    const QImage& image = dc.Image();
    const int headerTop = kArea.top + 30;
    const int footerBottom = kArea.bottom - 50;
    const QRect left = InkBox(image, QRect(0, 0, 300, kPageH / 2));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.left(), kArea.left);
    EXPECT_LE(left.left(), kArea.left + 8);
    EXPECT_GE(left.top(), headerTop);
    EXPECT_LE(left.bottom(), headerTop + cell);
    // Drawn in the header's colour: its strongest ink is red.
    QColor ink(Qt::white);
    for (int y = left.top(); y <= left.bottom(); ++y) {
        for (int x = left.left(); x <= left.right(); ++x) {
            if (image.pixelColor(x, y).green() < ink.green())
                ink = image.pixelColor(x, y);
        }
    }
    EXPECT_GT(ink.red(), 200);
    EXPECT_LT(ink.green(), 60);

    const QRect centre = InkBox(image, QRect(300, 0, 400, kPageH / 2));
    ASSERT_FALSE(centre.isEmpty());
    EXPECT_NEAR(centre.center().x(), (kArea.left + kArea.right) / 2, 6);

    const QRect right = InkBox(image, QRect(kPageW / 2, kPageH / 2, kPageW / 2, kPageH / 2));
    ASSERT_FALSE(right.isEmpty());
    EXPECT_LT(right.right(), kArea.right);
    EXPECT_GE(right.right(), kArea.right - 8);
    EXPECT_LT(right.bottom(), footerBottom);
    EXPECT_GE(right.top(), footerBottom - cell);

    // Nothing else on the page, and the DC is as it was.
    EXPECT_TRUE(InkBox(image, QRect(0, kPageH / 2, kPageW / 2, kPageH / 2)).isEmpty());
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(0, 0));
    EXPECT_EQ(dc.GetWindowExt(), CSize(1, 1));
    EXPECT_EQ(dc.GetViewportExt(), CSize(1, 1));
    EXPECT_EQ(dc.GetCurrentFont(), LogFontFields());
    EXPECT_EQ(dc.GetTextColor(), COLORREF(0));
}

TEST_F(PageLabelsTest, FirstPageOfItsOwnCarriesOnlyTheLabels)
{
    CPageLabels& labels = Labels();
    CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
    header.print = 1;
    header.asFirstPage = 1;
    header.format = QStringLiteral("TITLE PAGE::");
    CPageLabelItem& footer = labels.Item(CPageLabels::FOOTER);
    footer.print = 1;
    footer.format = QStringLiteral("::Page $p");

    CImageDC dc(kPageW, kPageH, 254, 254);
    std::vector<QImage> ended;
    const auto newPage = [&] {
        ended.push_back(dc.Image().copy());
        dc.FillSolidRect(CRect(0, 0, kPageW, kPageH), MakeRGB(255, 255, 255));
        return TRUE;
    };
    EXPECT_TRUE(labels.DrawPageLabels(&dc, kArea, newPage));
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(labels.m_pageNumber, 3);

    const QRect top(0, 0, kPageW, kPageH / 2);
    const QRect bottom(0, kPageH / 2, kPageW, kPageH / 2);
    EXPECT_FALSE(InkBox(ended[0], top).isEmpty());
    EXPECT_FALSE(InkBox(ended[0], bottom).isEmpty());
    EXPECT_TRUE(InkBox(dc.Image(), top).isEmpty());
    EXPECT_FALSE(InkBox(dc.Image(), bottom).isEmpty());
    // "Page 1" and "Page 2".
    EXPECT_NE(ended[0].copy(bottom), dc.Image().copy(bottom));

    // Later pages: no more page breaks.
    EXPECT_TRUE(labels.DrawPageLabels(&dc, kArea, newPage));
    EXPECT_EQ(ended.size(), 1u);
    EXPECT_EQ(labels.m_pageNumber, 4);

    // A page that cannot be started is reported.
    labels.m_pageNumber = 1;
    EXPECT_FALSE(labels.DrawPageLabels(&dc, kArea, [] { return FALSE; }));
    EXPECT_EQ(labels.m_pageNumber, 2);
}

TEST_F(PageLabelsTest, LabelWithNothingToPrintCostsNoPage)
{
    // Print checked with an empty format, or a first-page label switched off:
    // no ink and no page of its own.
    struct Case
    {
        BOOL print;
        const char* format;
    };
    for (const Case& c : {Case{1, ""}, Case{0, "TITLE::"}}) {
        CPageLabels labels;
        CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
        header.print = c.print;
        header.asFirstPage = 1;
        header.format = QString::fromLatin1(c.format);

        CImageDC dc(kPageW, kPageH, 254, 254);
        int calls = 0;
        EXPECT_TRUE(labels.DrawPageLabels(&dc, kArea, [&] { return ++calls, TRUE; }));
        EXPECT_EQ(calls, 0) << c.format;
        EXPECT_EQ(labels.m_pageNumber, 2);
        EXPECT_TRUE(InkBox(dc.Image(), QRect(0, 0, kPageW, kPageH)).isEmpty()) << c.format;
    }
}

TEST_F(PageLabelsTest, DefaultsAndTextObjects)
{
    CPageLabels& labels = Labels();
    for (int i = 0; i < 2; ++i) {
        const CPageLabelItem& item = labels.Item(i);
        EXPECT_EQ(item.print, 0);
        EXPECT_EQ(item.asFirstPage, 0);
        EXPECT_EQ(item.offset, 0);
        EXPECT_TRUE(item.format.isEmpty());
        EXPECT_NEAR(item.font.HeightToPoints(), 9.0, 0.15);
        EXPECT_EQ(item.textColour, COLORREF(0));
        EXPECT_FALSE(item.texts[0]);
    }
    EXPECT_FALSE(labels.CreateTextItems(2, 0));
    EXPECT_FALSE(labels.CreateTextItems(-1, 0));
    EXPECT_TRUE(labels.CreateTextItems(CPageLabels::FOOTER, MakeRGB(0, 0, 255)));
    for (const auto& text : labels.Item(CPageLabels::FOOTER).texts) {
        ASSERT_TRUE(text);
        EXPECT_EQ(text->GetColour(), MakeRGB(0, 0, 255));
        EXPECT_EQ(&text->GetFont(), &labels.Item(CPageLabels::FOOTER).font);
    }
    labels.DeleteTextItems(CPageLabels::FOOTER);
    EXPECT_FALSE(labels.Item(CPageLabels::FOOTER).texts[2]);
}

} // namespace
