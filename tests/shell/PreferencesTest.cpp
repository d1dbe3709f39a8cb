#include "Preferences.h"

#include "BarcodeStyle.h"
#include "ElementDefaults.h"
#include "LogFont.h"
#include "PriceFormatList.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "TextBase.h"

#include <QSettings>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

class PreferencesTest : public ::testing::Test
{
protected:
    PreferencesTest() { EnsureWidgetApp(); }

    // The designer's own profile file, read directly.
    QVariant Stored(const QString& key) const
    {
        QSettings ini(home.FilePath("Corvane/Tabrel.ini"), QSettings::IniFormat);
        return ini.value(key);
    }
    static void Put(const char* section, const char* key, const QString& text)
    {
        CSignApp::WriteProfileString(section, key, text);
    }

    CTestHome home;
    std::optional<CAppContext> context{std::in_place};
};

double Radians(int degrees)
{
    return degrees * 0.017453292519944444;
}

LogFontFields Font(const char* face, LONG height, BYTE italic)
{
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfFaceName = face;
    lf.lfHeight = height;
    lf.lfItalic = italic;
    lf.lfWeight = 700;
    return lf;
}

// Each listed field of the settings read back holds what the saved copy
// holds; a field that differs is named by its place in the list (from 1).
template <class T, class... Fields>
void ExpectSameFields(const char* what, const T& read, const T& saved, Fields T::*... fields)
{
    int place = 0;
    const auto same = [&](auto field) {
        ++place;
        EXPECT_EQ(read.*field, saved.*field) << what << ", field " << place;
    };
    (same(fields), ...);
}

} // namespace

TEST_F(PreferencesTest, EmptyProfileGivesTheDefaults)
{
    LoadPreferences();
    EXPECT_DOUBLE_EQ(App().general.rotationAngle, Radians(90));
    EXPECT_EQ(App().general.variableOutline, 255u);
    EXPECT_EQ(App().general.viewMode, -1);
    EXPECT_EQ(App().Get<CBoxDefaults>().fillColour, 16777215u);
    EXPECT_EQ(App().Get<CBoxDefaults>().cornerRadius, 40);
    EXPECT_EQ(CTextDefaults::Current().font.GetLogFont(), CLogFont::DefaultLogFont());
    EXPECT_EQ(App().Get<CTextElementDefaults>().maxHeight, 568);
    EXPECT_EQ(CBarcodePreferences::Current().font.lfFaceName, "Tabrel OCRB");
    EXPECT_EQ(CBarcodePreferences::Current().horzJustify, 1);
    EXPECT_EQ(CBulletPreferences::Current().font.lfHeight, 141);
    EXPECT_EQ(CBulletPreferences::Current().symbol, 34);
    for (const LogFontFields& part : CPricePreferences::Current().partFonts)
        EXPECT_EQ(part, CLogFont::DefaultLogFont());
    EXPECT_EQ(CPricePreferences::Current().format, "Standard Format");
    EXPECT_EQ(CSpellPreferences::Current().options, 243);
    EXPECT_EQ(CSpellPreferences::Current().dictionary, home.FilePath("AMERICAN.VTD"));
    EXPECT_EQ(CSymbolPreferences::Current().font.lfFaceName, "Tabrel Symbol 1");
    EXPECT_EQ(CSymbolPreferences::Current().font.lfHeight, 94);
    EXPECT_EQ(CSymbolPreferences::Current().font.lfPitchAndFamily, 2);
}

// Every value away from its default goes to the profile and comes back.
TEST_F(PreferencesTest, SaveAndLoadKeepEveryValue)
{
    ThePriceFormatList().LoadLibrary();
    CPriceFormat sale;
    sale.m_name = "Sale";
    ThePriceFormatList().AddFormat(sale);

    CGeneralPreferences& general = App().general;
    general.rotationAngle = Radians(45);
    general.duplicateX = -20;
    general.duplicateY = 35;
    general.variableOutline = 0x00ff8000;
    general.undoLevels = 12;
    general.nativePrint = 0;
    general.endJobWithPage = 1;
    general.viewMode = 1;
    general.storeRelativePaths = 1;
    general.storePrinterSettings = 0;
    App().Get<CLineDefaults>() = {25, 0x123456, 2, 3};
    CBoxDefaults& box = App().Get<CBoxDefaults>();
    box.thickness = 7;
    box.outlineColour = 0xff;
    box.fillInterior = 1;
    box.fillColour = 0xabcdef;
    box.cornerType = 2;
    box.cornerRadius = 100;
    CEllipseDefaults& ellipse = App().Get<CEllipseDefaults>();
    ellipse.thickness = 3;
    ellipse.outlineColour = 0xff00;
    ellipse.fillInterior = 1;
    ellipse.fillColour = 0;
    CTextDefaults::Current().font.SetLogFont(Font("Liberation Serif", 120, 1));
    CTextDefaults::Current().colour = 0x0000ff;
    App().Get<CTextElementDefaults>() = {1, 0x00ffff, 20, 300, 2, 1, 0};
    CBarcodePreferences& barcode = CBarcodePreferences::Current();
    barcode.type = 12;
    barcode.style = "Wide, 3:1";
    barcode.height = 150;
    barcode.calcChecksum = 0;
    barcode.showHuman = 1;
    barcode.showChecksum = 0;
    barcode.horzJustify = 2;
    barcode.vertJustify = 1;
    CBulletPreferences& bullet = CBulletPreferences::Current();
    bullet.font = Font("Liberation Sans", 80, 0);
    bullet.symbol = 200;
    bullet.offset = 30;
    bullet.size = 150;
    bullet.colour = 0x808080;
    CPricePreferences& price = CPricePreferences::Current();
    for (int i = 0; i < 5; ++i)
        price.partFonts[i] = Font("Liberation Mono", 50 + 10 * i, BYTE(i % 2));
    price.textColour = 1;
    price.colouredBackground = 1;
    price.backgroundColour = 2;
    price.crossOutColour = 3;
    price.crossOutPattern = 4;
    price.crossOutThickness = 5;
    price.crossOutEndStyle = 1;
    price.format = "Sale";
    CImagePreferences::Current() = {0, 0};
    CSpellPreferences& spell = CSpellPreferences::Current();
    spell.options = 1 | 2 | 32 | 8 | 256;
    spell.dictionary = "/usr/share/hunspell/en_GB.dic";
    spell.performance = -7;
    spell.searchLimit = 10000;
    spell.displayLimit = 50;
    CSymbolPreferences& symbol = CSymbolPreferences::Current();
    symbol.font = Font("DejaVu Sans", 200, 1);
    symbol.symbolColour = 0x010203;
    symbol.colouredBackground = 1;
    symbol.backgroundColour = 0x040506;

    // Copies of everything, then a fresh context that loads them again.
    const CGeneralPreferences savedGeneral = general;
    const CLineDefaults savedLine = App().Get<CLineDefaults>();
    const CBoxDefaults savedBox = box;
    const CEllipseDefaults savedEllipse = ellipse;
    const LogFontFields savedTextFont = CTextDefaults::Current().font.GetLogFont();
    const CTextElementDefaults savedText = App().Get<CTextElementDefaults>();
    const CBarcodePreferences savedBarcode = barcode;
    const CBulletPreferences savedBullet = bullet;
    const CPricePreferences savedPrice = price;
    const CSpellPreferences savedSpell = spell;
    const CSymbolPreferences savedSymbol = symbol;
    SavePreferences();
    EXPECT_EQ(Stored("GeneralPreferences/RotationAngle").toString(), "45");

    context.emplace();
    ThePriceFormatList().LoadLibrary();
    ThePriceFormatList().AddFormat(sale);
    LoadPreferences();

    EXPECT_DOUBLE_EQ(App().general.rotationAngle, savedGeneral.rotationAngle);
    using General = CGeneralPreferences;
    using Line = CLineDefaults;
    using Box = CBoxDefaults;
    using Ellipse = CEllipseDefaults;
    using Text = CTextElementDefaults;
    using Barcode = CBarcodePreferences;
    using Bullet = CBulletPreferences;
    using Price = CPricePreferences;
    using Spell = CSpellPreferences;
    using Symbol = CSymbolPreferences;
    ExpectSameFields("general", App().general, savedGeneral, &General::duplicateX,
                     &General::duplicateY, &General::variableOutline, &General::undoLevels,
                     &General::nativePrint, &General::endJobWithPage, &General::viewMode,
                     &General::storeRelativePaths, &General::storePrinterSettings);
    ExpectSameFields("line", App().Get<CLineDefaults>(), savedLine, &Line::thickness, &Line::colour,
                     &Line::lineStyle, &Line::endStyle);
    ExpectSameFields("box", App().Get<CBoxDefaults>(), savedBox, &Box::thickness,
                     &Box::outlineColour, &Box::fillInterior, &Box::fillColour, &Box::cornerType,
                     &Box::cornerRadius);
    ExpectSameFields("ellipse", App().Get<CEllipseDefaults>(), savedEllipse, &Ellipse::thickness,
                     &Ellipse::outlineColour, &Ellipse::fillInterior, &Ellipse::fillColour);

    EXPECT_EQ(CTextDefaults::Current().font.GetLogFont(), savedTextFont);
    EXPECT_EQ(CTextDefaults::Current().colour, 0x0000ffu);
    ExpectSameFields("text", App().Get<CTextElementDefaults>(), savedText,
                     &Text::colouredBackground, &Text::backgroundColour, &Text::minHeight,
                     &Text::maxHeight, &Text::horzJustify, &Text::vertJustify,
                     &Text::preserveLineBreaks);

    ExpectSameFields("barcode", CBarcodePreferences::Current(), savedBarcode, &Barcode::font,
                     &Barcode::type, &Barcode::style, &Barcode::height, &Barcode::calcChecksum,
                     &Barcode::showHuman, &Barcode::showChecksum, &Barcode::horzJustify,
                     &Barcode::vertJustify);
    ExpectSameFields("bullet", CBulletPreferences::Current(), savedBullet, &Bullet::font,
                     &Bullet::symbol, &Bullet::offset, &Bullet::size, &Bullet::colour);
    ExpectSameFields("price", CPricePreferences::Current(), savedPrice, &Price::partFonts,
                     &Price::textColour, &Price::colouredBackground, &Price::backgroundColour,
                     &Price::crossOutColour, &Price::crossOutPattern, &Price::crossOutThickness,
                     &Price::crossOutEndStyle);
    EXPECT_EQ(CPricePreferences::Current().format, "Sale");

    EXPECT_EQ(CImagePreferences::Current().constrainStretching, 0);
    EXPECT_EQ(CImagePreferences::Current().fastPrint, 0);

    ExpectSameFields("spelling", CSpellPreferences::Current(), savedSpell, &Spell::options,
                     &Spell::dictionary, &Spell::performance, &Spell::searchLimit,
                     &Spell::displayLimit);
    ExpectSameFields("symbol", CSymbolPreferences::Current(), savedSymbol, &Symbol::font,
                     &Symbol::symbolColour, &Symbol::colouredBackground, &Symbol::backgroundColour);
}

// The angle lives in radians between start and exit; whole degrees must
// come back as they were, negative ones too.
TEST_F(PreferencesTest, RotationAngleSurvivesStartAndExit)
{
    for (int degrees : {45, 90, 1, 359, -45, -1}) {
        SCOPED_TRACE(degrees);
        CSignApp::WriteProfileInt("GeneralPreferences", "RotationAngle", degrees);
        for (int run = 0; run < 3; ++run) {
            LoadPreferences();
            SavePreferences();
        }
        EXPECT_EQ(CSignApp::GetProfileInt("GeneralPreferences", "RotationAngle", 0), degrees);
    }
}

TEST_F(PreferencesTest, ColoursStoredAsText)
{
    struct Case
    {
        const char* text;
        COLORREF outline; // "VariableOutline", default 255
        COLORREF fill;    // "FillColour" of boxes, default white
    };
    const Case cases[] = {
        {"65280", 65280, 65280},
        {"blue", 0, 0},      // not a number: black
        {"", 255, 16777215}, // empty: the default
        {"  12abc", 12, 12}, // the leading number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Put("GeneralPreferences", "VariableOutline", c.text);
        Put("BoxPreferences", "FillColour", c.text);
        LoadPreferences();
        EXPECT_EQ(App().general.variableOutline, c.outline);
        EXPECT_EQ(App().Get<CBoxDefaults>().fillColour, c.fill);
    }
}

TEST_F(PreferencesTest, PriceFormatThatNoLongerExists)
{
    ThePriceFormatList().LoadLibrary();
    CPriceFormat sale;
    sale.m_name = "Sale";
    ThePriceFormatList().AddFormat(sale);

    Put("PricePreferences", "Format", "Sale");
    LoadPreferences();
    EXPECT_EQ(CPricePreferences::Current().format, "Sale");

    // Names are exact: another case is another (missing) format.
    for (const char* gone : {"Clearance", "sale", ""}) {
        SCOPED_TRACE(gone);
        Put("PricePreferences", "Format", gone);
        LoadPreferences();
        EXPECT_EQ(CPricePreferences::Current().format, CPriceFormatList::StandardFormatName());
    }
}

TEST_F(PreferencesTest, GridSettings)
{
    struct Case
    {
        const char* x;
        const char* y;
        const char* units;
        int expectedX;
        int expectedY;
        int expectedUnits;
    };
    const Case cases[] = {
        {"25", "40", "1", 25, 40, 1},
        {"0", "0", "0", 10, 10, 0},               // no grid: the default interval
        {"-5", "7", "2", 10, 10, 0},              // below 1 mm; an unknown unit
        {"20000", "10000", "0", 10000, 10000, 0}, // above 1 m
        {"fine", "", "inches", 10, 10, 0},        // not numbers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        Put("grid", "GridIntervalX", c.x);
        Put("grid", "GridIntervalY", c.y);
        Put("ruler", "DisplayUnits", c.units);
        LoadGridSettings();
        EXPECT_EQ(CGridSettings::Current().intervalX, c.expectedX);
        EXPECT_EQ(CGridSettings::Current().intervalY, c.expectedY);
        EXPECT_EQ(App().general.displayUnits, c.expectedUnits);
    }

    // The switches round-trip; the interval read back is the one saved.
    CGridSettings& grid = CGridSettings::Current();
    grid = {1, 1, 0, 50, 20, 0, 0};
    App().general.displayUnits = 1;
    SaveGridSettings();
    grid = CGridSettings();
    App().general.displayUnits = 0;
    LoadGridSettings();
    EXPECT_EQ(grid.showGrid, 1);
    EXPECT_EQ(grid.snapToGrid, 1);
    EXPECT_EQ(grid.snapToGuides, 0);
    EXPECT_EQ(grid.intervalX, 50);
    EXPECT_EQ(grid.intervalY, 20);
    EXPECT_EQ(grid.showMargins, 0);
    EXPECT_EQ(grid.showRuler, 0);
    EXPECT_EQ(App().general.displayUnits, 1);
    EXPECT_EQ(Stored("margins/ShowMargins").toString(), "0");
}

TEST_F(PreferencesTest, SixteenBitSpellingValues)
{
    Put("SpellPreferences", "SpellOptions", QString::number(65536 + 243));
    Put("SpellPreferences", "Performance", "-7");
    Put("SpellPreferences", "SearchLimit", QString::number(65536 + 1500));
    LoadPreferences();
    EXPECT_EQ(CSpellPreferences::Current().options, 243);
    EXPECT_EQ(CSpellPreferences::Current().performance, -7);
    EXPECT_EQ(CSpellPreferences::Current().searchLimit, 1500);
}

TEST_F(PreferencesTest, OutOfRangeValuesAreBroughtIntoRange)
{
    struct Case
    {
        const char* section;
        const char* key;
        const char* stored;
        std::function<int()> read;
        int expected;
    };
    const auto undo = [] { return App().general.undoLevels; };
    const auto search = [] { return int(CSpellPreferences::Current().searchLimit); };
    const auto display = [] { return int(CSpellPreferences::Current().displayLimit); };
    const Case cases[] = {
        {"GeneralPreferences", "UndoLevels", "0", undo, 1},
        {"GeneralPreferences", "UndoLevels", "-3", undo, 1},
        {"GeneralPreferences", "UndoLevels", "5000", undo, 1000},
        {"SpellPreferences", "SearchLimit", "5", search, 100},
        {"SpellPreferences", "SearchLimit", "30000", search, 10000},
        {"SpellPreferences", "DisplayLimit", "0", display, 1},
        {"SpellPreferences", "DisplayLimit", "99", display, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        Put(c.section, c.key, c.stored);
        LoadPreferences();
        EXPECT_EQ(c.read(), c.expected);
    }
}
