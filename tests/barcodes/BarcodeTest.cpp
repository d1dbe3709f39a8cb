// The barcode element base, the symbology table and the barcode styles.

#include "BarcodeTestSupport.h"

#include "Archive.h"
#include "BarcodeStyle.h"
#include "Code128.h"
#include "EanUpc.h"
#include "ElementList.h"
#include "LogFont.h"
#include "Messages.h"
#include "SmallDisk.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

using namespace barcode_test;

namespace {

// A symbology of the ratio family with a fixed five-element pattern: narrow
// bar, narrow space, wide bar, wide space, narrow bar. Data with "!" cannot
// be encoded.
class CTestBarcode : public CBarcode
{
public:
    CTestBarcode() : CBarcode(SYM_CODE39)
    {
        InitFromPreferences(QStringLiteral("ABC"), FALSE, FALSE, TRUE);
    }
    BOOL PrepareData() override
    {
        m_expandedData = m_data;
        ExpandEscapes(m_expandedData);
        if (m_data.isEmpty() || m_expandedData.contains(u'!'))
            return FALSE;
        m_humanReadable = m_expandedData;
        return TRUE;
    }
    void BuildPattern() override { m_pattern = {0, 4, 2, 6, 0}; }

    void Turn(int orientation)
    {
        m_orientation = orientation;
        ComputeLayout();
        Regenerate();
        RecalcPosition(nullptr);
    }
};

bool IsBlack(const QImage& mono, int x, int y)
{
    return mono.pixelIndex(x, y) == 1;
}

int BlackPixels(const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int count = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            count += line[x] < 128;
    }
    return count;
}

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar.WriteObject(&object);
    return bytes;
}

std::unique_ptr<CBarcode> Load(QByteArray bytes)
{
    CArchive ar(&bytes, CArchive::load);
    return std::unique_ptr<CBarcode>(ar.ReadObjectOf<CBarcode>());
}

QString Export(CBarcode& barcode)
{
    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        barcode.WriteXml(file);
    }
    return QString::fromLatin1(bytes);
}

} // namespace

// --- symbology table and styles --------------------------------------------------

TEST_F(BarcodeFixture, EverySymbologyFindsItsDefaultStyleInItsOwnFamily)
{
    const CBarcodeStyleList& styles = TheBarcodeStyleList();
    for (int id = 0; id < kSymbologyCount; ++id) {
        const SymbologyInfo& info = GetSymbology(id);
        SCOPED_TRACE(info.name);
        EXPECT_EQ(info.id, id);
        if (info.family == FAMILY_NONE) {
            EXPECT_EQ(info.defaultStyle, nullptr);
            EXPECT_EQ(info.defaultHeight, -1);
            continue;
        }
        ASSERT_NE(info.defaultStyle, nullptr);
        const CBarcodeStyle* style =
            styles.Find(QString::fromLatin1(info.defaultStyle), info.family);
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->name, QString::fromLatin1(info.defaultStyle));
    }
    EXPECT_EQ(FindSymbology(-1), nullptr);
    EXPECT_EQ(FindSymbology(kSymbologyCount), nullptr);
}

TEST_F(BarcodeFixture, StyleLookupByNameAndFamily)
{
    const CBarcodeStyleList& styles = TheBarcodeStyleList();
    struct Case
    {
        const char* name;
        int family;
        const char* found; // null: none
        const char* description;
    };
    const Case cases[] = {
        {"Standard", 3, "EAN 100%", "Nominal 100%"}, // no family-3 style of that name
        {"Standard", 1, "Standard",
         "15 mil X Dimension, Nominal 3:1 ratio (ideal for use on laser printers)"},
        {"Standard", 2, "Standard", "13 mil X Dimension (standard for Code128)"},
        {"Standard", 0, "Standard", "Dimensions are set by symbology specification"},
        {"high density", 2, "Standard", "13 mil X Dimension (standard for Code128)"}, // case counts
        {"EAN 175%", 3, "EAN 175%", "Nominal 175%"},
        {"EAN 175%", 2, "Standard", "13 mil X Dimension (standard for Code128)"},
        {"Standard", 7, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in family " + std::to_string(c.family));
        const CBarcodeStyle* style = styles.Find(QString::fromLatin1(c.name), c.family);
        if (!c.found) {
            EXPECT_EQ(style, nullptr);
            continue;
        }
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->name, QString::fromLatin1(c.found));
        EXPECT_EQ(style->description, QString::fromLatin1(c.description));
    }
    EXPECT_EQ(styles.StyleNames(0), QStringList{QStringLiteral("Standard")});
    EXPECT_EQ(styles.StyleNames(3).size(), 6);
    EXPECT_EQ(TheBarcodeStyleList().Add(CBarcodeStyle()), nullptr) << "a style needs a name";
}

TEST_F(BarcodeFixture, ElementWidthsComeFromStyleAndResolution)
{
    CBarcodeStyleList& styles = TheBarcodeStyleList();
    CBarcodeStyle gain;
    gain.name = QStringLiteral("Gain");
    gain.family = FAMILY_CODE128;
    gain.xDimension = 0.01f;
    gain.ratio = 300;
    gain.printGain = 0.002f;
    styles.Add(gain);

    using Widths = std::array<WORD, 8>;
    struct Case
    {
        const char* what;
        int symbology;
        const char* style; // null: no style
        int family;
        Widths widths;
    };
    const Case cases[] = {
        // 0.015 in is the float 0.01499999..., so 1499 hundred-thousandths:
        // n = (600 * 1499 + 49999) / 100000 = 9; the gain 0.0017 gives 1;
        // the wide element (300 * 9 + 50) / 100 = 27.
        {"ratio family", SYM_CODE39, "Standard", 1, {9, 0, 27, 54, 10, 0, 28, 0}},
        {"ratio 2:1", SYM_CODE39, "2:1 Low density", 1, {9, 0, 18, 36, 10, 0, 19, 0}},
        {"Code 128 standard", SYM_CODE128_B, "Standard", 2, {8, 16, 24, 32, 8, 16, 24, 32}},
        {"Code 128 low density", SYM_CODE128_B, "Low density", 2, {12, 24, 36, 48, 12, 24, 36, 48}},
        {"print gain widens spaces", SYM_CODE128_B, "Gain", 2, {6, 12, 18, 24, 7, 13, 19, 25}},
        {"no style", SYM_CODE128_B, nullptr, 2, {4, 8, 12, 16, 5, 9, 13, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<CBarcode> barcode;
        if (c.symbology == SYM_CODE39)
            barcode = std::make_unique<CTestBarcode>();
        else
            barcode = std::make_unique<CCode128B>();
        barcode->SetStyle(c.style ? styles.Find(QString::fromLatin1(c.style), c.family) : nullptr);
        barcode->ComputeLayout();
        EXPECT_EQ(barcode->m_elementWidths, c.widths);
    }
}

// --- escapes ---------------------------------------------------------------------

TEST_F(BarcodeFixture, PercentEscapes)
{
    CTestBarcode barcode;
    struct Case
    {
        const char* typed;
        QString expanded;
    };
    const Case cases[] = {
        {"50%", QStringLiteral("50%")},     // at the end it stays
        {"%D6", QStringLiteral("%D6")},     // too short
        {"x%D06", QStringLiteral("x%D06")}, // still too short
        {"%D065", QStringLiteral("A")},
        {"%d0650", QStringLiteral("A0")},
        {"%h4a", QStringLiteral("J")},
        {"%H4A%H4", QStringLiteral("J%H4")},
        {"%Q", QStringLiteral("%Q")},
        {"%%D065", QStringLiteral("%D065")}, // an escaped percent starts nothing
        {"%D0A5", QStringLiteral("%D0A5")},  // a non-digit stops the escape
        {"%HG1", QStringLiteral("%HG1")},
        {"%D300", QStringLiteral("%D300")}, // no byte has that value
        {"%D255", QString(QChar(char16_t(255)))},
        {"%D%%", QStringLiteral("%D%")}, // scanning resumes at the letter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QString text = QString::fromLatin1(c.typed);
        EXPECT_EQ(barcode.ExpandEscapes(text), c.expanded.size());
        EXPECT_EQ(text, c.expanded);
    }
}

// --- bars, placeholder and text layout ---------------------------------------------

TEST_F(BarcodeFixture, BarsAreDrawnFromThePatternAtPrinterResolution)
{
    CTestBarcode barcode;
    ASSERT_FALSE(barcode.IsShowingInvalid());
    const QImage& bits = barcode.m_bitmap;
    ASSERT_EQ(bits.format(), QImage::Format_Mono);
    // 9 + 10 + 27 + 28 + 9 pixels; 12.7 mm of bars at 600 dpi.
    EXPECT_EQ(bits.width(), 83);
    EXPECT_EQ(bits.height(), 300);
    struct Run
    {
        int from, to;
        bool black;
    };
    for (const Run& run : {Run{0, 9, true}, Run{9, 19, false}, Run{19, 46, true},
                           Run{46, 74, false}, Run{74, 83, true}}) {
        for (int x = run.from; x < run.to; ++x) {
            EXPECT_EQ(IsBlack(bits, x, 0), run.black) << "column " << x;
            EXPECT_EQ(IsBlack(bits, x, 299), run.black) << "column " << x;
        }
    }
    // 83 px and 300 px in tenths of a millimetre at 600 dpi.
    EXPECT_EQ(barcode.m_barRect.Width(), 35);
    EXPECT_EQ(barcode.m_barRect.Height(), 127);
}

TEST_F(BarcodeFixture, UnencodableDataShowsThePlaceholder)
{
    CTestBarcode barcode;
    barcode.m_origin = CPoint(200, 300);
    barcode.m_data = QStringLiteral("A!B");
    barcode.Regenerate();
    barcode.RecalcPosition(nullptr);
    ASSERT_TRUE(barcode.IsShowingInvalid());
    const QImage& bits = barcode.m_bitmap;
    EXPECT_EQ(bits.width(), 900); // an inch and a half
    EXPECT_EQ(bits.height(), 300);
    EXPECT_FALSE(IsBlack(bits, 0, 0));
    EXPECT_TRUE(IsBlack(bits, 1, 1)); // the frame
    EXPECT_TRUE(IsBlack(bits, 898, 298));
    EXPECT_TRUE(IsBlack(bits, 450, 1));
    // The message is written inside the frame.
    QImage inside = bits.copy(3, 3, 894, 294);
    EXPECT_GT(BlackPixels(inside), 500);
    for (const CTextBase& part : barcode.m_texts)
        EXPECT_TRUE(part.GetText().isEmpty());
    EXPECT_TRUE(barcode.m_textRect.IsEmpty());
    EXPECT_EQ(barcode.m_barRect, CRect(200, 300, 581, 427));

    // And back to a symbol once the data can be encoded.
    barcode.m_data = QStringLiteral("AB");
    barcode.Regenerate();
    EXPECT_FALSE(barcode.IsShowingInvalid());
    EXPECT_EQ(barcode.m_bitmap.width(), 83);
}

TEST_F(BarcodeFixture, ASymbolOfNoSizeShowsThePlaceholderInstead)
{
    CTestBarcode barcode;
    for (int height : {0, -50, std::numeric_limits<int>::max()}) {
        SCOPED_TRACE(height);
        barcode.m_height = height;
        barcode.Regenerate();
        EXPECT_TRUE(barcode.IsShowingInvalid());
        EXPECT_FALSE(barcode.m_bitmap.isNull());
        EXPECT_LE(barcode.m_bitmap.height(), CBarcode::kMaxBitmapSide);
    }
}

TEST_F(BarcodeFixture, EmptyDataDrawsNothingButTheTracker)
{
    CTestBarcode barcode;
    barcode.m_origin = CPoint(100, 100);
    barcode.Regenerate();
    ASSERT_GT(BlackPixels(Render(barcode)), 1000);

    barcode.SetDataText(QString(), SOURCE_FIXED, QString(), FALSE);
    EXPECT_TRUE(barcode.IsEmpty());
    EXPECT_EQ(BlackPixels(Render(barcode)), 0);
}

TEST_F(BarcodeFixture, TextLiesAlongTheSymbolsBottomAndTheOriginStaysItsTopLeft)
{
    CTestBarcode barcode;
    barcode.m_origin = CPoint(1000, 1000);
    barcode.m_hJustify = 0;
    const CPoint o = barcode.m_origin;
    for (int vertical : {0, 1}) {
        for (int orientation : {0, 90, 180, 270}) {
            SCOPED_TRACE("vertical " + std::to_string(vertical) + ", orientation " +
                         std::to_string(orientation));
            barcode.m_vJustify = vertical;
            barcode.Turn(orientation);
            const CRect bars = barcode.m_barRect;
            const CRect text = barcode.m_textRect;
            const CRect all = barcode.m_bounds;
            ASSERT_FALSE(text.IsEmpty());
            const int h = barcode.m_texts[0].GetFont().GetHeight();
            // The symbol's own top-left corner, wherever the turn puts it.
            switch (orientation) {
            case 0:
                EXPECT_EQ(all.TopLeft(), o);
                EXPECT_EQ(vertical ? text.bottom : text.top, vertical ? bars.top : bars.bottom);
                EXPECT_EQ(text.Height(), h);
                break;
            case 90:
                EXPECT_EQ(CPoint(all.right, all.top), o);
                EXPECT_EQ(vertical ? text.left : text.right, vertical ? bars.right : bars.left);
                EXPECT_EQ(text.Width(), h);
                break;
            case 180:
                EXPECT_EQ(all.BottomRight(), o);
                EXPECT_EQ(vertical ? text.top : text.bottom, vertical ? bars.bottom : bars.top);
                break;
            default:
                EXPECT_EQ(CPoint(all.left, all.bottom), o);
                EXPECT_EQ(vertical ? text.right : text.left, vertical ? bars.left : bars.right);
                break;
            }
            // The text starts at the symbol's own left end.
            const CPoint start = barcode.m_texts[0].GetOrigin();
            switch (orientation) {
            case 0:
                EXPECT_EQ(start.x, bars.left);
                break;
            case 90:
                EXPECT_EQ(start.y, bars.top);
                break;
            case 180:
                EXPECT_EQ(start.x, bars.right);
                break;
            default:
                EXPECT_EQ(start.y, bars.bottom);
                break;
            }
        }
    }
}

TEST_F(BarcodeFixture, HorizontalJustificationOfTheText)
{
    CTestBarcode barcode;
    barcode.m_data = QStringLiteral("A");
    barcode.m_height = 100;
    // A narrow symbol under a wide text and the other way round.
    for (const char* data : {"A", "WIDE TEXT UNDER BARS"}) {
        barcode.m_data = QString::fromLatin1(data);
        for (int justify : {0, 1, 2}) {
            SCOPED_TRACE(std::string(data) + " justified " + std::to_string(justify));
            barcode.m_hJustify = justify;
            barcode.Regenerate();
            barcode.RecalcPosition(nullptr);
            const CRect bars = barcode.m_barRect;
            const CRect text = barcode.m_textRect;
            if (justify == 0)
                EXPECT_EQ(text.left, bars.left);
            else if (justify == 2)
                EXPECT_EQ(text.right, bars.right);
            else
                EXPECT_LE(std::abs((text.left + text.right) - (bars.left + bars.right)), 1);
            EXPECT_EQ(barcode.m_bounds.TopLeft(), CPoint(0, 0)) << "nothing left of the origin";
        }
    }
}

// --- moving, resizing and turning ---------------------------------------------------

TEST_F(BarcodeFixture, ResizingAcrossTheBarsChangesTheHeightButNeverBelowOneMillimetre)
{
    CTestBarcode barcode;
    barcode.m_origin = CPoint(500, 500);
    barcode.Regenerate();
    barcode.RecalcPosition(nullptr);
    const CRect start = barcode.m_bounds;

    // Dragging the bottom handle down by 50.
    barcode.m_startRect = start;
    barcode.m_trackRect = start;
    barcode.m_trackRect.bottom += 50;
    barcode.ApplyTrackRect(nullptr);
    barcode.RecalcPosition(nullptr);
    EXPECT_EQ(barcode.m_height, 177);
    EXPECT_EQ(barcode.m_bounds.TopLeft(), start.TopLeft());

    // Dragging the top handle far below the bottom.
    barcode.m_startRect = barcode.m_bounds;
    barcode.m_trackRect = barcode.m_bounds;
    barcode.m_trackRect.top += 5000;
    barcode.ApplyTrackRect(nullptr);
    EXPECT_EQ(barcode.m_height, CBarcode::kMinHeight);
}

TEST_F(BarcodeFixture, AMovedSymbolStaysWhereItWasPutWhenItsDataChanges)
{
    CTestBarcode barcode;
    barcode.RecalcPosition(nullptr);
    barcode.m_startRect = barcode.m_bounds;
    barcode.m_trackRect = barcode.m_bounds;
    barcode.m_trackRect.OffsetRect(300, 200);
    barcode.ApplyTrackRect(nullptr);
    EXPECT_EQ(barcode.m_origin, CPoint(300, 200));
    const CRect moved = barcode.m_barRect;

    barcode.SetDataText(QStringLiteral("ABD"), SOURCE_FIXED, QString(), FALSE);
    EXPECT_EQ(barcode.m_barRect, moved);
}

TEST_F(BarcodeFixture, RotationKeepsQuarterTurnsAndTurnsTheOriginAboutAPoint)
{
    CTestBarcode barcode;
    barcode.m_origin = CPoint(100, 0);
    struct Case
    {
        double degrees;
        int orientation; // after the turn, from the one before
    };
    const Case cases[] = {{90, 90}, {90, 180}, {-90, 90}, {45, 90}, {-450, 0}, {270, 270}};
    for (const Case& c : cases) {
        App().general.rotationAngle = c.degrees * M_PI / 180.0;
        barcode.Rotate(nullptr);
        EXPECT_EQ(barcode.m_orientation, c.orientation) << c.degrees;
    }

    barcode.m_orientation = 0;
    App().general.rotationAngle = M_PI / 2;
    barcode.RotateAbout(nullptr, CPoint(0, 0));
    EXPECT_EQ(barcode.m_orientation, 90);
    EXPECT_EQ(barcode.m_origin, CPoint(0, 100)); // a quarter turn clockwise
}

TEST_F(BarcodeFixture, ResizeHandlesAreTheTwoAcrossTheBars)
{
    CTestBarcode barcode;
    for (int orientation : {0, 90, 180, 270}) {
        barcode.m_orientation = orientation;
        std::vector<int> enabled;
        for (int h = 0; h < 8; ++h) {
            if (barcode.IsHandleEnabled(h))
                enabled.push_back(h);
        }
        const std::vector<int> expected =
            orientation % 180 == 0 ? std::vector<int>{1, 5} : std::vector<int>{3, 7};
        EXPECT_EQ(enabled, expected) << orientation;
    }
}

// --- data entry -----------------------------------------------------------------------

TEST_F(BarcodeFixture, DataDuringAPrintRunAndAfterDataEntry)
{
    CTestBarcode barcode;
    barcode.m_dataSource = SOURCE_KEYBOARD;
    barcode.m_sampleData = QStringLiteral("SAMPLE");
    barcode.m_prefix = QStringLiteral("<");
    barcode.SetDataText(QStringLiteral("TYPED"), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(barcode.m_data, QStringLiteral("<TYPED")) << "the data-entry rules apply";
    EXPECT_EQ(barcode.m_texts[0].GetText(), QStringLiteral("<TYPED"));

    // Past the first label of a run, start-data-only elements keep their data
    // unless an incrementing number feeds them.
    ThePrinter().m_labelPosition = 2;
    barcode.m_startDataOnly = TRUE;
    barcode.SetDataText(QStringLiteral("LATER"), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(barcode.m_data, QStringLiteral("<TYPED"));
    barcode.m_dataSource = SOURCE_INCREMENTING;
    barcode.SetDataText(QStringLiteral("7"), SOURCE_INCREMENTING, QString(), FALSE);
    EXPECT_EQ(barcode.m_data, QStringLiteral("<7"));
    ThePrinter().m_labelPosition = 0;

    barcode.EndDataEntry();
    EXPECT_EQ(barcode.m_data, QStringLiteral("<SAMPLE"));
    EXPECT_EQ(barcode.m_texts[0].GetText(), QStringLiteral("<SAMPLE"));
}

// --- the last-used settings -------------------------------------------------------------

TEST_F(BarcodeFixture, NewElementsTakeTheLastUsedSettingsOfTheirOwnSymbologyOnly)
{
    CBarcodePreferences& prefs = CBarcodePreferences::Current();
    prefs.type = SYM_CODE128_B;
    prefs.style = QStringLiteral("Low density");
    prefs.height = 200;
    prefs.showHuman = 0;
    prefs.horzJustify = 2;

    CCode128B same;
    EXPECT_EQ(same.m_styleName, QStringLiteral("Low density"));
    EXPECT_EQ(same.m_height, 200);
    EXPECT_FALSE(same.m_showHumanReadable);
    EXPECT_TRUE(same.m_calculateCheck); // -1: the symbology's own
    EXPECT_EQ(same.m_hJustify, 2);

    CCode128A other;
    EXPECT_EQ(other.m_styleName, QStringLiteral("Standard"));
    EXPECT_EQ(other.m_height, 130);
    EXPECT_TRUE(other.m_showHumanReadable);
    EXPECT_EQ(other.m_hJustify, 2); // justification is shared by all

    // The design face is kept, and drawn and measured with OCR-B.
    const QString face = same.m_texts[0].GetFont().GetFaceName();
    EXPECT_EQ(face, QStringLiteral("Tabrel OCRB"));
    EXPECT_EQ(CPrinterFontMetrics::ResolveFace(face), QStringLiteral("OCR B"));
}

// --- factory, copy and archive ---------------------------------------------------------

TEST_F(BarcodeFixture, TheFactoryMakesEveryBarcodeClassAndTheCopyKeepsIt)
{
    const char* const names[] = {"CCode128A", "CCode128B", "CCode128C", "CCode128Auto", "CEan128",
                                 "CEan128A",  "CEan128B",  "CEan128C",  "CUccEan128",   "CEan13",
                                 "CEan8",     "CUpcA",     "CUpcE",     "CUpcESys1"};
    CElementList& list = TheElementList();
    for (const char* name : names) {
        SCOPED_TRACE(name);
        CElement* element = list.CreateElement(QString::fromLatin1(name));
        ASSERT_NE(element, nullptr);
        auto* barcode = dynamic_cast<CBarcode*>(element);
        ASSERT_NE(barcode, nullptr);
        EXPECT_FALSE(barcode->IsShowingInvalid()) << "the default data encodes";
        EXPECT_EQ(element->GetTypeCode(), TYPE_BARCODE);
        EXPECT_EQ(element->GetContextMenuId(), 189);
        EXPECT_TRUE(element->m_name.startsWith(QStringLiteral("Barcode")));

        std::unique_ptr<CElement> copy(CloneElement(element));
        ASSERT_NE(copy, nullptr);
        EXPECT_STREQ(copy->GetRuntimeClass()->m_className, name);
        auto* copied = static_cast<CBarcode*>(copy.get());
        EXPECT_EQ(copied->GetSymbologyId(), barcode->GetSymbologyId());
        EXPECT_EQ(copied->m_data, barcode->m_data);
        EXPECT_EQ(copied->m_bitmap, barcode->m_bitmap);
        EXPECT_EQ(copied->m_barRect, barcode->m_barRect);
        EXPECT_EQ(copied->m_style, barcode->m_style);
    }
    EXPECT_EQ(list.CreateElement(QStringLiteral("CBarcode")), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CBarcode")->CreateObject(), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CCode128")->CreateObject(), nullptr);
}

TEST_F(BarcodeFixture, ArchiveRoundTripOfAnElement)
{
    CCode128B original;
    original.m_data = QStringLiteral("Round trip");
    original.m_sampleData = QStringLiteral("sample <1>");
    original.m_height = 155;
    original.m_origin = CPoint(321, 654);
    original.m_orientation = 270;
    original.m_hJustify = 0;
    original.m_vJustify = 1;
    original.m_showCheck = TRUE;
    original.m_name = QStringLiteral("Barcode7");
    original.SetStyle(TheBarcodeStyleList().Find(QStringLiteral("High density"), FAMILY_CODE128));
    original.ComputeLayout();
    original.Regenerate();
    original.RecalcPosition(nullptr);

    const std::unique_ptr<CBarcode> loaded = Load(Store(original));
    ASSERT_NE(loaded, nullptr);
    EXPECT_STREQ(loaded->GetRuntimeClass()->m_className, "CCode128B");
    EXPECT_EQ(loaded->m_name, original.m_name);
    EXPECT_EQ(loaded->m_data, original.m_data);
    EXPECT_EQ(loaded->m_sampleData, original.m_sampleData);
    EXPECT_EQ(loaded->m_height, 155);
    EXPECT_EQ(loaded->m_origin, original.m_origin);
    EXPECT_EQ(loaded->m_orientation, 270);
    EXPECT_EQ(loaded->m_hJustify, 0);
    EXPECT_EQ(loaded->m_vJustify, 1);
    EXPECT_TRUE(loaded->m_showCheck);
    EXPECT_EQ(loaded->m_style, original.m_style);
    EXPECT_EQ(loaded->m_elementWidths, original.m_elementWidths);
    EXPECT_EQ(loaded->m_bitmap, original.m_bitmap);
    EXPECT_EQ(loaded->m_barRect, original.m_barRect);
    EXPECT_EQ(loaded->m_textRect, original.m_textRect);
    EXPECT_EQ(loaded->m_texts[0].GetText(), QStringLiteral("Round trip"));

    // Stored again it gives the same bytes.
    EXPECT_EQ(Store(*loaded), Store(original));
}

TEST_F(BarcodeFixture, AnOldSignIsReadThroughItsVersionGates)
{
    // A barcode record as version 240 wrote it: a rectangle after the height,
    // the origin, two words nobody reads, one font for all the texts.
    CLogFont oldFont(CBarcodePreferences::Current().DefaultFont());
    oldFont.SetHeight(50);
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        CElement common;
        common.m_name = QStringLiteral("Old");
        common.Serialize(ar);
        ar << QStringLiteral("OLD DATA") << QStringLiteral("OLD SAMPLE") << DWORD(140);
        ar << CRect(1, 2, 3, 4) << 70 << 80 << DWORD(0xAAAA);
        ar << DWORD(1) << DWORD(1) << DWORD(0) << DWORD(0xBBBB);
        ar << QStringLiteral("Standard");
        ar.WritePlainArray(std::vector<WORD>{0, 0, 0, 0});
        ar << DWORD(90);
        oldFont.Serialize(ar);
        CBarcodeStyle wide;
        wide.name = QStringLiteral("Old style");
        wide.family = FAMILY_CODE128;
        wide.xDimension = 0.01f;
        wide.userDefined = TRUE;
        ar << wide.name << wide.description << DWORD(wide.family) << wide.xDimension << DWORD(0)
           << 0.0f << DWORD(1);
    }
    App().fileVersion = 240;
    CCode128B barcode;
    CArchive ar(&bytes, CArchive::load);
    barcode.Serialize(ar);
    App().fileVersion = 514;
    EXPECT_EQ(ar.BytesRemaining(), 0);
    EXPECT_EQ(barcode.m_name, QStringLiteral("Old"));
    EXPECT_EQ(barcode.m_data, QStringLiteral("OLD DATA"));
    EXPECT_EQ(barcode.m_height, 140);
    EXPECT_EQ(barcode.m_origin, CPoint(70, 80));
    EXPECT_EQ(barcode.m_orientation, 90);
    for (const CTextBase& part : barcode.m_texts)
        EXPECT_EQ(part.GetFont().GetHeight(), 50);
    EXPECT_EQ(barcode.m_texts[0].GetText(), QStringLiteral("OLD DATA"));
    // The style the sign brought along joined the list.
    const CBarcodeStyle* added = TheBarcodeStyleList().Find(QStringLiteral("Old style"), 2);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->name, QStringLiteral("Old style"));
}

TEST_F(BarcodeFixture, ADamagedRecordRaisesTheArchiveError)
{
    CEan13 original;
    original.SetAddOnDigits(2);
    original.m_data = QStringLiteral("50123456789012");
    original.Regenerate();
    const QByteArray good = Store(original);

    // Cut short anywhere: an archive error, never a crash.
    for (qsizetype length : {good.size() - 1, good.size() / 2, qsizetype(40)})
        EXPECT_THROW(Load(good.left(length)), CArchiveException) << length;

    // A record written field by field, with the origin and add-on size given.
    CEan13 plain;
    plain.m_data = QStringLiteral("501234567890");
    auto record = [&plain](CPoint origin, DWORD addOn) {
        QByteArray bytes;
        CArchive ar(&bytes, CArchive::store);
        plain.CElement::Serialize(ar);
        ar << plain.m_data << plain.m_sampleData << DWORD(plain.m_height) << origin.x << origin.y
           << DWORD(1) << DWORD(1) << DWORD(1) << plain.m_styleName;
        ar.WritePlainArray(plain.m_margins);
        ar << DWORD(0);
        for (CTextBase& part : plain.m_texts)
            part.Serialize(ar);
        ar << DWORD(1) << DWORD(0) << addOn;
        TheBarcodeStyleList().SerializeStyle(ar, plain.m_style, FAMILY_EAN_UPC);
        return bytes;
    };
    {
        // An add-on of a size that does not exist.
        QByteArray bytes = record(CPoint(0, 0), 7);
        CEan13 target;
        CArchive ar(&bytes, CArchive::load);
        EXPECT_THROW(target.Serialize(ar), CArchiveException);
    }
    {
        // An origin far beyond any sign is brought within reach.
        QByteArray bytes =
            record(CPoint(std::numeric_limits<int>::max(), std::numeric_limits<int>::min()), 2);
        CEan13 target;
        CArchive ar(&bytes, CArchive::load);
        target.Serialize(ar);
        EXPECT_EQ(target.m_origin, CPoint(CBarcode::kMaxCoordinate, -CBarcode::kMaxCoordinate));
        EXPECT_EQ(target.GetAddOnDigits(), 2);
        EXPECT_TRUE(target.IsShowingInvalid()) << "12 characters leave 10 for the symbol";
    }
}

TEST_F(BarcodeFixture, AStyleOfNoSenseFromASignStillDrawsSomething)
{
    CCode128B barcode;
    CBarcodeStyle odd;
    odd.name = QStringLiteral("Odd");
    odd.family = FAMILY_CODE128;
    odd.xDimension = std::numeric_limits<float>::quiet_NaN();
    odd.printGain = 1e30f;
    barcode.SetStyle(TheBarcodeStyleList().Add(odd));
    barcode.ComputeLayout();
    barcode.Regenerate();
    EXPECT_FALSE(barcode.m_bitmap.isNull());
    EXPECT_GE(barcode.m_elementWidths[0], 1);
}

// --- side file of user styles -------------------------------------------------------------

TEST_F(BarcodeFixture, UserStylesSurviveTheSideFileAndOnlyThemAreWritten)
{
    const QString path = CBarcodeStyleList::FilePath();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Tabrel.cbs")));

    // Nothing of the user's: no file, and an existing one is left alone.
    EXPECT_TRUE(TheBarcodeStyleList().Save());
    EXPECT_FALSE(QFile::exists(path));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    EXPECT_TRUE(TheBarcodeStyleList().Save());
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("keep"));
    }

    CBarcodeStyle wide;
    wide.name = QStringLiteral("Wide");
    wide.description = QStringLiteral("Wide bars, 2.5:1");
    wide.family = FAMILY_RATIO;
    wide.xDimension = 0.0213f;
    wide.ratio = 250;
    wide.printGain = 0.0011f;
    wide.userDefined = TRUE;
    CBarcodeStyle ean = wide;
    ean.name = QStringLiteral("EAN 90%");
    ean.family = FAMILY_EAN_UPC;
    TheBarcodeStyleList().Add(wide);
    TheBarcodeStyleList().Add(ean);
    ASSERT_TRUE(TheBarcodeStyleList().Save());
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Version 514, two records.
        EXPECT_EQ(bytes.left(8), QByteArray::fromHex("0202000002000000"));
    }

    CAppContext fresh;
    CBarcodeStyleList& list = TheBarcodeStyleList();
    const int builtIn = list.GetCount();
    list.Load();
    ASSERT_EQ(list.GetCount(), builtIn + 2);
    EXPECT_EQ(*list.GetAt(builtIn), wide);
    EXPECT_EQ(*list.GetAt(builtIn + 1), ean);
}

TEST_F(BarcodeFixture, ASideFileThatCannotBeWrittenIsReported)
{
    CBarcodeStyle mine;
    mine.name = QStringLiteral("Mine");
    mine.family = FAMILY_CODE128;
    mine.userDefined = TRUE;
    TheBarcodeStyleList().Add(mine);
    EXPECT_FALSE(
        TheBarcodeStyleList().SaveTo(home.filePath(QStringLiteral("no/such/folder/x.cbs"))));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("could not be saved")));
}

TEST_F(BarcodeFixture, ADamagedSideFileKeepsTheStylesReadBeforeTheDamage)
{
    CBarcodeStyle first;
    first.name = QStringLiteral("First");
    first.family = FAMILY_CODE128;
    first.xDimension = 0.01f;
    first.userDefined = TRUE;
    CBarcodeStyle second = first;
    second.name = QStringLiteral("Second");
    TheBarcodeStyleList().Add(first);
    TheBarcodeStyleList().Add(second);
    const QString path = home.filePath(QStringLiteral("styles.cbs"));
    ASSERT_TRUE(TheBarcodeStyleList().SaveTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.resize(bytes.size() - 5);
    file.close();

    CAppContext fresh;
    const int builtIn = TheBarcodeStyleList().GetCount();
    TheBarcodeStyleList().LoadFrom(path);
    ASSERT_EQ(TheBarcodeStyleList().GetCount(), builtIn + 1);
    EXPECT_EQ(TheBarcodeStyleList().GetAt(builtIn)->name, QStringLiteral("First"));
    // named once, and kept as it is however the session's styles change
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(path));
    EXPECT_EQ(TheBarcodeStyleList().KeptFile(), path);
    CBarcodeStyle third = first;
    third.name = QStringLiteral("Third");
    TheBarcodeStyleList().Add(third);
    EXPECT_FALSE(TheBarcodeStyleList().SaveTo(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes.left(bytes.size() - 5));
    file.close();
    TheBarcodeStyleList().LoadFrom(home.filePath(QStringLiteral("missing.cbs")));
    EXPECT_EQ(TheBarcodeStyleList().GetCount(), builtIn + 2);
    EXPECT_EQ(messages.Count(), 1);
}

// A style file there but not readable (here a folder in its place) is named
// once and left alone.
TEST_F(BarcodeFixture, AStyleFileThatCannotBeOpenedIsNamedOnceAndLeftAlone)
{
    const QString path = CBarcodeStyleList::FilePath();
    ASSERT_TRUE(QDir().mkpath(path));
    TheBarcodeStyleList().Load();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(path));
    CBarcodeStyle mine;
    mine.name = QStringLiteral("Mine");
    mine.family = FAMILY_CODE128;
    mine.xDimension = 0.01f;
    mine.userDefined = TRUE;
    TheBarcodeStyleList().Add(mine);
    EXPECT_FALSE(TheBarcodeStyleList().Save());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// On a full disk saving fails with a message and the old file stays whole.
TEST_F(BarcodeFixture, AFullDiskLeavesTheOldStyleFileWhole)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    const QString path = disk.FilePath(QStringLiteral("Tabrel.cbs"));
    CBarcodeStyle style;
    style.name = QStringLiteral("Mine");
    style.family = FAMILY_CODE128;
    style.xDimension = 0.01f;
    style.userDefined = TRUE;
    TheBarcodeStyleList().Add(style);
    ASSERT_TRUE(TheBarcodeStyleList().SaveTo(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    for (int i = 0; i < 400; ++i) {
        style.name = QStringLiteral("Style %1").arg(i);
        style.description = QString(200, QChar('d'));
        TheBarcodeStyleList().Add(style);
    }
    disk.Fill();
    EXPECT_FALSE(TheBarcodeStyleList().SaveTo(path));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    saved.close();
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("Tabrel.cbs")}));
}

TEST_F(BarcodeFixture, AStyleBroughtByASignIsAddedOnce)
{
    CBarcodeStyle wide;
    wide.name = QStringLiteral("Wide");
    wide.family = FAMILY_CODE128;
    wide.xDimension = 0.02f;
    wide.ratio = 300;
    wide.userDefined = TRUE;
    QByteArray bytes;
    {
        CBarcodeStyleList other;
        CArchive ar(&bytes, CArchive::store);
        other.SerializeStyle(ar, &wide, FAMILY_CODE128);
        other.SerializeStyle(ar, &wide, FAMILY_CODE128);
        // An element without a style writes an empty one, which adds nothing.
        other.SerializeStyle(ar, nullptr, FAMILY_CODE128);
    }
    CBarcodeStyleList& list = TheBarcodeStyleList();
    const int before = list.GetCount();
    CArchive ar(&bytes, CArchive::load);
    for (int i = 0; i < 3; ++i)
        list.SerializeStyle(ar, nullptr, FAMILY_CODE128);
    EXPECT_EQ(list.GetCount(), before + 1);
    EXPECT_EQ(*list.Find(QStringLiteral("Wide"), FAMILY_CODE128), wide);
}

// --- text export and native printing ----------------------------------------------------------

TEST_F(BarcodeFixture, TextExportBlock)
{
    CCode128B barcode;
    barcode.m_sampleData = QStringLiteral("a<b&c");
    barcode.m_origin = CPoint(12, 34);
    const QString text = Export(barcode);
    EXPECT_TRUE(text.startsWith(QStringLiteral("  <barcode>\r\n\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n  </barcode>\r\n\r\n")));
    for (const char* line : {
             "    <type=\"5\"/>\r\n",
             "    <position units=\"TMM\" x=\"12\" y=\"34\"/>\r\n",
             "    <height units=\"TMM\" value=\"130\"/>\r\n",
             "    <orientation=\"0\"/>\r\n",
             "    <checksum generate=\"1\" show=\"0\"/>\r\n",
             "    <human-readable=\"1\"/>\r\n\r\n    <font>\r\n",
             "    <justification horizontal=\"1\" vertical=\"0\"/>\r\n",
             "    <x-dimension units=\"mil\" value=\"13.33\"/>\r\n",
             "    <ratio=\"3.00:1\"/>\r\n",
             "    <print-gain=\"mil\" value=\"0.00\"/>\r\n",
             "    <sample-data>a&lt;b&amp;c</sample-data>\r\n",
         }) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line;
    }
    EXPECT_FALSE(text.contains(QStringLiteral("add-on")));
    CEan13 ean;
    ean.SetAddOnDigits(5);
    EXPECT_TRUE(Export(ean).contains(QStringLiteral("    <add-on=\"5\"/>\r\n")));
}

TEST_F(BarcodeFixture, NativeRecordForAPrinterThatDrawsTheSymbology)
{
    CCode128C barcode;
    barcode.m_origin = CPoint(100, 200);
    barcode.Regenerate();
    const QByteArray record = barcode.NativeRecord(CPoint(5, 7));
    ASSERT_EQ(record.size(), 44 + 6 + 1);
    auto word = [&record](int offset) {
        return int(quint8(record[offset])) | (int(quint8(record[offset + 1])) << 8);
    };
    EXPECT_EQ(word(0), 105);
    EXPECT_EQ(word(2), 207);
    EXPECT_EQ(word(4), SYM_CODE128_C);
    EXPECT_EQ(word(6), 8); // the first element width
    EXPECT_EQ(word(22), 130);
    EXPECT_EQ(word(28), 1);
    EXPECT_EQ(word(30), barcode.m_bitmap.width());
    EXPECT_EQ(record[36], 1);
    EXPECT_EQ(word(38), 1);
    EXPECT_EQ(word(40), 6);
    EXPECT_EQ(record.mid(44, 6), QByteArray("012345"));
    // Nothing on this platform takes the record: the bitmap is always drawn.
    CImageDC dc(10, 10);
    EXPECT_FALSE(barcode.CanPrintNatively(&dc));
}

// --- preview --------------------------------------------------------------------------

TEST_F(BarcodeFixture, PreviewFitsTheSymbolIntoTheRectangleCentred)
{
    CEan8 barcode;
    CImageDC dc(400, 400);
    barcode.RenderPreview(&dc, CRect(10, 10, 390, 390));
    const QImage image = dc.Image().convertToFormat(QImage::Format_Grayscale8);
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.constScanLine(y)[x] < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(bottom, 0);
    EXPECT_GE(left, 10);
    EXPECT_LE(right, 390);
    EXPECT_GT(right - left, 250) << "the wide side fills the rectangle";
    EXPECT_LE(std::abs((top + bottom) / 2 - 200), 40) << "centred";
}

// --- limits of a style's geometry ---------------------------------------------------------

namespace {

CBarcodeStyle StyleOf(const char* name, int family, float xDimension, int ratio, float printGain)
{
    CBarcodeStyle style;
    style.name = QString::fromLatin1(name);
    style.family = family;
    style.xDimension = xDimension;
    style.ratio = ratio;
    style.printGain = printGain;
    style.userDefined = TRUE;
    return style;
}

} // namespace

TEST_F(BarcodeFixture, ATypedStyleOutsideTheLimitsIsRefusedWithItsReason)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case
    {
        const char* what;
        CBarcodeStyle style;
        const char* reason; // a word of the message; null: accepted
    };
    const Case cases[] = {
        {"a usual style", StyleOf("Usual", FAMILY_CODE128, 0.01f, 300, 0.001f), nullptr},
        {"ratio exactly 1:1", StyleOf("Even", FAMILY_RATIO, 0.01f, 100, 0.0f), nullptr},
        {"gain as wide as a module", StyleOf("Fat", FAMILY_EAN_UPC, 0.01f, 300, 0.01f), nullptr},
        {"no name", StyleOf("", FAMILY_CODE128, 0.01f, 300, 0.0f), "name"},
        {"a blank name", StyleOf("   ", FAMILY_CODE128, 0.01f, 300, 0.0f), "name"},
        {"X dimension 0", StyleOf("Zero", FAMILY_CODE128, 0.0f, 300, 0.0f), "X dimension"},
        {"negative X dimension", StyleOf("Neg", FAMILY_RATIO, -0.01f, 300, 0.0f), "X dimension"},
        {"X dimension NaN", StyleOf("NaN", FAMILY_RATIO, nan, 300, 0.0f), "X dimension"},
        {"X dimension infinite", StyleOf("Inf", FAMILY_RATIO, inf, 300, 0.0f), "X dimension"},
        {"ratio below 1:1", StyleOf("Thin", FAMILY_RATIO, 0.01f, 99, 0.0f), "ratio"},
        {"ratio 0", StyleOf("None", FAMILY_CODE128, 0.01f, 0, 0.0f), "ratio"},
        {"ratio far too wide", StyleOf("Wide", FAMILY_RATIO, 0.01f, 10001, 0.0f), "ratio"},
        {"negative gain", StyleOf("Shrink", FAMILY_EAN_UPC, 0.01f, 300, -0.0001f), "print gain"},
        {"gain beyond a module", StyleOf("Bleed", FAMILY_EAN_UPC, 0.01f, 300, 0.0101f),
         "print gain"},
        {"gain NaN", StyleOf("Odd", FAMILY_CODE128, 0.01f, 300, nan), "print gain"},
        // The postal family's dimensions are fixed by the symbology.
        {"postal style of no dimensions", StyleOf("Post", FAMILY_POSTAL, 0.0f, 0, 0.0f), nullptr},
    };
    CBarcodeStyleList& list = TheBarcodeStyleList();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = list.GetCount();
        QString reason = QStringLiteral("stale");
        const CBarcodeStyle* added = list.AddTyped(c.style, reason);
        EXPECT_EQ(c.style.Validate(), reason);
        if (!c.reason) {
            EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
            ASSERT_NE(added, nullptr);
            EXPECT_EQ(*added, c.style);
            EXPECT_EQ(list.GetCount(), before + 1);
            continue;
        }
        EXPECT_EQ(added, nullptr);
        EXPECT_EQ(list.GetCount(), before) << "a refused style is not added";
        EXPECT_TRUE(reason.contains(QString::fromLatin1(c.reason))) << reason.toStdString();
    }
    EXPECT_EQ(messages.Count(), 0) << "the dialog shows the reason, not the list";
}

TEST_F(BarcodeFixture, AStyleReadFromAFileIsClampedOrLeftOut)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        const char* what;
        CBarcodeStyle stored;
        bool kept;
        int ratio;  // after reading
        float gain; // after reading
    };
    const Case cases[] = {
        {"within the limits", StyleOf("Fine", FAMILY_CODE128, 0.01f, 250, 0.002f), true, 250,
         0.002f},
        {"ratio below 1:1", StyleOf("Thin", FAMILY_RATIO, 0.01f, 50, 0.0f), true, 100, 0.0f},
        {"negative ratio", StyleOf("Minus", FAMILY_RATIO, 0.01f, -300, 0.0f), true, 100, 0.0f},
        {"ratio far too wide", StyleOf("Huge", FAMILY_RATIO, 0.01f, 1 << 30, 0.0f), true, 10000,
         0.0f},
        {"negative gain", StyleOf("Shrink", FAMILY_EAN_UPC, 0.01f, 300, -0.5f), true, 300, 0.0f},
        {"gain beyond a module", StyleOf("Bleed", FAMILY_EAN_UPC, 0.01f, 300, 0.5f), true, 300,
         0.01f},
        {"gain NaN", StyleOf("Odd", FAMILY_CODE128, 0.01f, 300, nan), true, 300, 0.0f},
        {"X dimension 0", StyleOf("Zero", FAMILY_CODE128, 0.0f, 300, 0.0f), false, 0, 0.0f},
        {"negative X dimension", StyleOf("Neg", FAMILY_RATIO, -1.0f, 300, 0.0f), false, 0, 0.0f},
        {"X dimension NaN", StyleOf("NaN", FAMILY_RATIO, nan, 300, 0.0f), false, 0, 0.0f},
        {"postal, as stored", StyleOf("Post", FAMILY_POSTAL, 0.0f, 0, 0.0f), true, 0, 0.0f},
    };

    // Every case in one side file, and each in a sign's style record; the
    // list that writes them takes anything.
    const QString path = home.filePath(QStringLiteral("limits.cbs"));
    QByteArray records;
    {
        CBarcodeStyleList writer;
        CArchive ar(&records, CArchive::store);
        for (const Case& c : cases) {
            ASSERT_NE(writer.Add(c.stored), nullptr);
            writer.SerializeStyle(ar, &c.stored, c.stored.family);
        }
        ASSERT_TRUE(writer.SaveTo(path));
    }

    auto check = [&cases](const CBarcodeStyleList& list, int builtIn) {
        int at = builtIn;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const CBarcodeStyle* found = list.Find(c.stored.name, c.stored.family);
            ASSERT_NE(found, nullptr);
            if (!c.kept) {
                EXPECT_NE(found->name, c.stored.name) << "left out";
                continue;
            }
            ASSERT_LT(at, list.GetCount());
            const CBarcodeStyle* read = list.GetAt(at++);
            EXPECT_EQ(read->name, c.stored.name);
            EXPECT_EQ(read->xDimension, c.stored.xDimension);
            EXPECT_EQ(read->ratio, c.ratio);
            EXPECT_EQ(read->printGain, c.gain);
            EXPECT_TRUE(read->Validate().isEmpty()) << read->Validate().toStdString();
        }
        EXPECT_EQ(at, list.GetCount());
    };
    {
        SCOPED_TRACE("side file");
        CAppContext fresh;
        const int builtIn = TheBarcodeStyleList().GetCount();
        TheBarcodeStyleList().LoadFrom(path);
        check(TheBarcodeStyleList(), builtIn);
        // the file, with styles left out of the list, is kept as it is
        EXPECT_EQ(TheBarcodeStyleList().KeptFile(), path);
        EXPECT_EQ(messages.Count(), 1);
        messages.Clear();
    }
    {
        SCOPED_TRACE("sign records");
        CAppContext fresh;
        CBarcodeStyleList& list = TheBarcodeStyleList();
        const int builtIn = list.GetCount();
        CArchive ar(&records, CArchive::load);
        for (std::size_t i = 0; i < std::size(cases); ++i)
            list.SerializeStyle(ar, nullptr, FAMILY_CODE128);
        EXPECT_EQ(ar.BytesRemaining(), 0) << "a left-out record is still read through";
        check(list, builtIn);
    }
}

TEST_F(BarcodeFixture, AnElementWhoseStyleIsLeftOutTakesItsFamilysFirst)
{
    CCode128B original;
    original.SetStyle(TheBarcodeStyleList().Add(StyleOf("Zero", FAMILY_CODE128, 0.0f, 300, 0.0f)));
    original.ComputeLayout();
    original.Regenerate();
    const QByteArray bytes = Store(original);

    CAppContext fresh;
    RegisterBarcodeClasses();
    const std::unique_ptr<CBarcode> loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_style, TheBarcodeStyleList().Find(QStringLiteral("Standard"), 2));
    EXPECT_FALSE(loaded->IsShowingInvalid());
    EXPECT_EQ(loaded->m_elementWidths[0], 8);
}

TEST_F(BarcodeFixture, AStoredOrientationIsReadAsAQuarterTurn)
{
    struct Case
    {
        int stored;
        int read;
    };
    const Case cases[] = {{0, 0},
                          {90, 90},
                          {-90, 270},
                          {-180, 180},
                          {-270, 90},
                          {-360, 0},
                          {-450, 270},
                          {450, 90},
                          {720, 0},
                          {-720, 0},
                          {-1, 270},
                          {359, 270},
                          {std::numeric_limits<int>::min(), 180},
                          {std::numeric_limits<int>::max(), 90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        CCode128B original;
        original.m_orientation = c.stored;
        const std::unique_ptr<CBarcode> loaded = Load(Store(original));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->m_orientation, c.read);
        EXPECT_FALSE(loaded->IsShowingInvalid());
        // Turned a quarter or three, the symbol lies across the sign.
        const bool across = c.read == 90 || c.read == 270;
        EXPECT_EQ(loaded->m_barRect.Height() > loaded->m_barRect.Width(), across);
    }
}
