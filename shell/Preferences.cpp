#include "Preferences.h"

#include "Barcode.h"
#include "BarcodeStyle.h"
#include "ElementDefaults.h"
#include "ImageSelect.h"
#include "LogFont.h"
#include "PriceFormatList.h"
#include "ProfileSession.h"
#include "Rounding.h"
#include "SignApp.h"
#include "TextBase.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr double kDegreesToRadians = 0.017453292519944444;
constexpr double kRadiansToDegrees = 57.29577951307855;

// The largest length of the property panes' size fields (1500 mm): the
// thickest line or outline, the farthest duplicate offset, the widest grid.
constexpr int kMaxLength = 15000;
constexpr int kMaxUndoLevels = 1000;
constexpr int kMinGrid = 10; // tenths of a millimetre
constexpr int kMaxGrid = 10000;
constexpr short kMinSearchLimit = 100;
constexpr short kMaxSearchLimit = 10000;
constexpr short kMinDisplayLimit = 1;
constexpr short kMaxDisplayLimit = 50;
constexpr int kMaxBulletSize = 1000; // per cent of the text height

// A font as the element fonts hold it, whatever the profile said: a cell
// (above 0) or character (below 0) height within the font layer's limits,
// 0 giving the default's height; a width from 0 (the face's own) up to the
// height; angles within one turn; a weight of 0 to 1000; the switches 0 or
// 1; a face name the font record can hold, none giving the default's.
LogFontFields FitFont(LogFontFields lf, const LogFontFields& def)
{
    const long long height = lf.lfHeight == 0 ? def.lfHeight : lf.lfHeight;
    const long long size =
        std::clamp<long long>(std::llabs(height), CLogFont::kMinHeight, CLogFont::kMaxHeight);
    lf.lfHeight = LONG(height < 0 ? -size : size);
    lf.lfWidth = LONG(std::clamp<long long>(std::llabs(lf.lfWidth), 0, size));
    lf.lfEscapement %= 3600;
    lf.lfOrientation %= 3600;
    lf.lfWeight = std::clamp<LONG>(lf.lfWeight, 0, 1000);
    lf.lfItalic = lf.lfItalic ? 1 : 0;
    lf.lfUnderline = lf.lfUnderline ? 1 : 0;
    lf.lfStrikeOut = lf.lfStrikeOut ? 1 : 0;
    lf.lfFaceName = CLogFont::FitFaceName(lf.lfFaceName.trimmed());
    if (lf.lfFaceName.isEmpty())
        lf.lfFaceName = def.lfFaceName;
    return lf;
}

[[maybe_unused]] LogFontFields SymbolFont(const char* face, LONG height)
{
    LogFontFields lf;
    lf.lfHeight = height;
    lf.lfWeight = 400;
    lf.lfOutPrecision = 4;
    lf.lfPitchAndFamily = 2;
    lf.lfFaceName = QString::fromLatin1(face);
    return lf;
}

// One section of the profile, read or written in the forms of the table.
class CSection
{
public:
    explicit CSection(const char* name) : m_name(QString::fromLatin1(name)) {}
    explicit CSection(const QString& name) : m_name(name) {}

    int Int(const char* key, int def) const
    {
        return CSignApp::GetProfileInt(m_name, QString::fromLatin1(key), def);
    }
    // A number brought into the range lo to hi.
    int Int(const char* key, int def, int lo, int hi) const
    {
        return std::clamp(Int(key, def), lo, hi);
    }
    // A switch: any number but 0 reads as 1.
    BOOL Bool(const char* key, BOOL def) const { return Int(key, def) != 0 ? 1 : 0; }
    COLORREF Colour(const char* key, COLORREF def) const
    {
        return static_cast<COLORREF>(
            CSignApp::GetProfileLong(m_name, QString::fromLatin1(key), static_cast<LONG>(def)));
    }
    QString String(const char* key, const QString& def) const
    {
        return CSignApp::GetProfileString(m_name, QString::fromLatin1(key), def);
    }
    LogFontFields Font(const LogFontFields& def) const
    {
        LogFontFields lf = def;
        CSignApp::GetProfileFont(m_name, lf);
        return FitFont(lf, def);
    }

    void PutInt(const char* key, int value) const
    {
        CSignApp::WriteProfileInt(m_name, QString::fromLatin1(key), value);
    }
    void PutColour(const char* key, COLORREF value) const
    {
        CSignApp::WriteProfileLong(m_name, QString::fromLatin1(key), static_cast<LONG>(value));
    }
    void PutString(const char* key, const QString& value) const
    {
        CSignApp::WriteProfileString(m_name, QString::fromLatin1(key), value);
    }
    void PutFont(const LogFontFields& lf) const { CSignApp::WriteProfileFont(m_name, lf); }

private:
    QString m_name;
};

QString PriceFontSection(int part)
{
    return QStringLiteral("PriceFont%1").arg(part + 1);
}

QString DefaultDictionary()
{
    return CSignApp::GetProgramFolder(true) + QStringLiteral("AMERICAN.VTD");
}

} // namespace

CSpellPreferences::CSpellPreferences() : dictionary(DefaultDictionary()) {}

LogFontFields DefaultTextFont()
{
    return CLogFont::DefaultLogFont();
}

void LoadPreferences()
{
    // Every value is brought into the range that the element readers
    // accept, so that the elements made from the preferences save and open.
    const CProfileSession session;

    CGeneralPreferences& general = App().general;
    const CGeneralPreferences generalDefaults;
    const CSection gen("GeneralPreferences");
    // Whole degrees within one turn either way.
    general.rotationAngle = gen.Int("RotationAngle", 90) % 360 * kDegreesToRadians;
    general.duplicateX = gen.Int("DuplicateX", generalDefaults.duplicateX, -kMaxLength, kMaxLength);
    general.duplicateY = gen.Int("DuplicateY", generalDefaults.duplicateY, -kMaxLength, kMaxLength);
    general.variableOutline = gen.Colour("VariableOutline", generalDefaults.variableOutline);
    general.undoLevels = gen.Int("UndoLevels", generalDefaults.undoLevels, 1, kMaxUndoLevels);
    general.nativePrint = gen.Bool("NativePrint", generalDefaults.nativePrint);
    general.endJobWithPage = gen.Bool("EndJobWithPage", generalDefaults.endJobWithPage);
    general.viewMode = gen.Int("ViewMode", generalDefaults.viewMode);
    general.storeRelativePaths = gen.Bool("StoreRelativePaths", generalDefaults.storeRelativePaths);
    general.storePrinterSettings =
        gen.Bool("StorePrinterSettings", generalDefaults.storePrinterSettings);

    CLineDefaults& line = App().Get<CLineDefaults>();
    const CLineDefaults lineDefaults;
    const CSection lines("LinePreferences");
    line.thickness = lines.Int("Thickness", lineDefaults.thickness, 0, kMaxLength);
    line.colour = lines.Colour("Colour", lineDefaults.colour);
    line.lineStyle = lines.Int("LineStyle", lineDefaults.lineStyle);
    line.endStyle = lines.Int("EndStyle", lineDefaults.endStyle, 0, 3);

    CBoxDefaults& box = App().Get<CBoxDefaults>();
    const CBoxDefaults boxDefaults;
    const CSection boxes("BoxPreferences");
    box.thickness = boxes.Int("OutlineThickness", boxDefaults.thickness, 0, kMaxLength);
    box.outlineColour = boxes.Colour("OutlineColour", boxDefaults.outlineColour);
    box.fillInterior = boxes.Bool("FillInterior", boxDefaults.fillInterior);
    box.fillColour = boxes.Colour("FillColour", boxDefaults.fillColour);
    box.cornerType = boxes.Int("CornerType", boxDefaults.cornerType, 0, 2);
    box.cornerRadius = boxes.Int("CornerRadius", boxDefaults.cornerRadius, 0, 100);

    CEllipseDefaults& ellipse = App().Get<CEllipseDefaults>();
    const CEllipseDefaults ellipseDefaults;
    const CSection ellipses("EllipsePreferences");
    ellipse.thickness = ellipses.Int("OutlineThickness", ellipseDefaults.thickness, 0, kMaxLength);
    ellipse.outlineColour = ellipses.Colour("OutlineColour", ellipseDefaults.outlineColour);
    ellipse.fillInterior = ellipses.Bool("FillInterior", ellipseDefaults.fillInterior);
    ellipse.fillColour = ellipses.Colour("FillColour", ellipseDefaults.fillColour);

    CTextDefaults& textDefaults = CTextDefaults::Current();
    CTextElementDefaults& text = App().Get<CTextElementDefaults>();
    const CTextElementDefaults textPrefDefaults;
    const CSection texts("TextPreferences");
    textDefaults.font.SetLogFont(texts.Font(DefaultTextFont()));
    textDefaults.colour = texts.Colour("TextColour", 0);
    text.colouredBackground = texts.Bool("ColouredBackground", textPrefDefaults.colouredBackground);
    text.backgroundColour = texts.Colour("BackgroundColour", textPrefDefaults.backgroundColour);
    text.minHeight = texts.Int("MinPointSize", textPrefDefaults.minHeight, CLogFont::kMinHeight,
                               CLogFont::kMaxHeight);
    text.maxHeight = texts.Int("MaxPointSize", textPrefDefaults.maxHeight, CLogFont::kMinHeight,
                               CLogFont::kMaxHeight);
    if (text.minHeight > text.maxHeight)
        std::swap(text.minHeight, text.maxHeight);
    text.horzJustify = texts.Int("HorzJustify", textPrefDefaults.horzJustify, 0, 3);
    text.vertJustify = texts.Int("VertJustify", textPrefDefaults.vertJustify, 0, 2);
    text.preserveLineBreaks = texts.Bool("PreserveLineBreaks", textPrefDefaults.preserveLineBreaks);

    CBarcodePreferences& barcode = CBarcodePreferences::Current();
    const CBarcodePreferences barcodeDefaults;
    barcode.Load();
    barcode.font = FitFont(barcode.font, barcodeDefaults.font);
    // -1 is "the symbology's own"; a height below the least a barcode
    // takes is none.
    if (barcode.height < CBarcode::kMinHeight)
        barcode.height = -1;
    barcode.height = std::min(barcode.height, kMaxLength);
    for (int* choice : {&barcode.calcChecksum, &barcode.showHuman, &barcode.showChecksum})
        *choice = std::clamp(*choice, -1, 1);
    barcode.horzJustify = std::clamp(barcode.horzJustify, 0, 2);
    barcode.vertJustify = std::clamp(barcode.vertJustify, 0, 1);

    CBulletPreferences& bullet = CBulletPreferences::Current();
    const CBulletPreferences bulletDefaults;
    const CSection bullets("BulletPreferences");
    bullet.font = bullets.Font(bulletDefaults.font);
    bullet.symbol = static_cast<BYTE>(bullets.Int("Symbol", bulletDefaults.symbol));
    bullet.offset = bullets.Int("Offset", bulletDefaults.offset, 0, kMaxLength);
    bullet.size = bullets.Int("Size", bulletDefaults.size, 1, kMaxBulletSize);
    bullet.colour = bullets.Colour("Colour", bulletDefaults.colour);

    CPricePreferences& price = CPricePreferences::Current();
    const CPricePreferences priceDefaults;
    for (int part = 0; part < 5; ++part)
        price.partFonts[part] =
            CSection(PriceFontSection(part)).Font(priceDefaults.partFonts[part]);
    const CSection prices("PricePreferences");
    price.textColour = prices.Colour("TextColour", priceDefaults.textColour);
    price.colouredBackground = prices.Bool("ColouredBackground", priceDefaults.colouredBackground);
    price.backgroundColour = prices.Colour("BackgroundColour", priceDefaults.backgroundColour);
    price.crossOutColour = prices.Colour("CrossOutColour", priceDefaults.crossOutColour);
    price.crossOutPattern = prices.Int("CrossOutPattern", priceDefaults.crossOutPattern, 0, 255);
    price.crossOutThickness =
        prices.Int("CrossOutThickness", priceDefaults.crossOutThickness, 0, kMaxLength);
    price.crossOutEndStyle = prices.Int("CrossOutEndStyle", priceDefaults.crossOutEndStyle, 0, 3);
    price.format = prices.String("Format", priceDefaults.format);
    if (!ThePriceFormatList().FindFormat(price.format))
        price.format = CPriceFormatList::StandardFormatName();

    CImagePreferences& image = CImagePreferences::Current();
    const CImagePreferences imageDefaults;
    const CSection images("ImagePreferences");
    image.constrainStretching =
        images.Bool("ConstrainStretching", imageDefaults.constrainStretching);
    image.fastPrint = images.Bool("FastPrint", imageDefaults.fastPrint);

    // The checker's 16-bit values keep their low 16 bits, as it takes them.
    CSpellPreferences& spell = CSpellPreferences::Current();
    const CSpellPreferences spellDefaults;
    const CSection spelling("SpellPreferences");
    spell.options = static_cast<WORD>(spelling.Int("SpellOptions", spellDefaults.options));
    spell.dictionary = spelling.String("Dictionary", spellDefaults.dictionary);
    spell.performance = static_cast<short>(
        std::clamp<int>(short(spelling.Int("Performance", spellDefaults.performance)), -7, 7));
    spell.searchLimit = std::clamp<short>(
        static_cast<short>(spelling.Int("SearchLimit", spellDefaults.searchLimit)),
        kMinSearchLimit, kMaxSearchLimit);
    spell.displayLimit = std::clamp<short>(
        static_cast<short>(spelling.Int("DisplayLimit", spellDefaults.displayLimit)),
        kMinDisplayLimit, kMaxDisplayLimit);

    CSymbolPreferences& symbol = CSymbolPreferences::Current();
    const CSymbolPreferences symbolDefaults;
    const CSection symbols("SymbolPreferences");
    symbol.font = symbols.Font(symbolDefaults.font);
    symbol.symbolColour = symbols.Colour("SymbolColour", symbolDefaults.symbolColour);
    symbol.colouredBackground =
        symbols.Bool("ColouredBackground", symbolDefaults.colouredBackground);
    symbol.backgroundColour = symbols.Colour("BackgroundColour", symbolDefaults.backgroundColour);
}

void SavePreferences()
{
    const CProfileSession session;
    const CGeneralPreferences& general = App().general;
    const CSection gen("GeneralPreferences");
    // Whole degrees; half away from zero, so that a negative angle does not
    // creep towards zero at every start.
    gen.PutInt("RotationAngle", RoundHalfAway(general.rotationAngle * kRadiansToDegrees));
    gen.PutInt("DuplicateX", general.duplicateX);
    gen.PutInt("DuplicateY", general.duplicateY);
    gen.PutColour("VariableOutline", general.variableOutline);
    gen.PutInt("UndoLevels", general.undoLevels);
    gen.PutInt("NativePrint", general.nativePrint);
    gen.PutInt("EndJobWithPage", general.endJobWithPage);
    gen.PutInt("ViewMode", general.viewMode);
    gen.PutInt("StoreRelativePaths", general.storeRelativePaths);
    gen.PutInt("StorePrinterSettings", general.storePrinterSettings);

    const CLineDefaults& line = App().Get<CLineDefaults>();
    const CSection lines("LinePreferences");
    lines.PutInt("Thickness", line.thickness);
    lines.PutColour("Colour", line.colour);
    lines.PutInt("LineStyle", line.lineStyle);
    lines.PutInt("EndStyle", line.endStyle);

    const CBoxDefaults& box = App().Get<CBoxDefaults>();
    const CSection boxes("BoxPreferences");
    boxes.PutInt("OutlineThickness", box.thickness);
    boxes.PutColour("OutlineColour", box.outlineColour);
    boxes.PutInt("FillInterior", box.fillInterior);
    boxes.PutColour("FillColour", box.fillColour);
    boxes.PutInt("CornerType", box.cornerType);
    boxes.PutInt("CornerRadius", box.cornerRadius);

    const CEllipseDefaults& ellipse = App().Get<CEllipseDefaults>();
    const CSection ellipses("EllipsePreferences");
    ellipses.PutInt("OutlineThickness", ellipse.thickness);
    ellipses.PutColour("OutlineColour", ellipse.outlineColour);
    ellipses.PutInt("FillInterior", ellipse.fillInterior);
    ellipses.PutColour("FillColour", ellipse.fillColour);

    const CTextDefaults& textDefaults = CTextDefaults::Current();
    const CTextElementDefaults& text = App().Get<CTextElementDefaults>();
    const CSection texts("TextPreferences");
    texts.PutFont(textDefaults.font.GetLogFont());
    texts.PutColour("TextColour", textDefaults.colour);
    texts.PutInt("ColouredBackground", text.colouredBackground);
    texts.PutColour("BackgroundColour", text.backgroundColour);
    texts.PutInt("MinPointSize", text.minHeight);
    texts.PutInt("MaxPointSize", text.maxHeight);
    texts.PutInt("HorzJustify", text.horzJustify);
    texts.PutInt("VertJustify", text.vertJustify);
    texts.PutInt("PreserveLineBreaks", text.preserveLineBreaks);

    CBarcodePreferences::Current().Save();

    const CBulletPreferences& bullet = CBulletPreferences::Current();
    const CSection bullets("BulletPreferences");
    bullets.PutFont(bullet.font);
    bullets.PutInt("Symbol", bullet.symbol);
    bullets.PutInt("Offset", bullet.offset);
    bullets.PutInt("Size", bullet.size);
    bullets.PutColour("Colour", bullet.colour);

    const CPricePreferences& price = CPricePreferences::Current();
    for (int part = 0; part < 5; ++part)
        CSection(PriceFontSection(part)).PutFont(price.partFonts[part]);
    const CSection prices("PricePreferences");
    prices.PutString("Format", price.format);
    prices.PutColour("TextColour", price.textColour);
    prices.PutInt("ColouredBackground", price.colouredBackground);
    prices.PutColour("BackgroundColour", price.backgroundColour);
    prices.PutColour("CrossOutColour", price.crossOutColour);
    prices.PutInt("CrossOutPattern", price.crossOutPattern);
    prices.PutInt("CrossOutThickness", price.crossOutThickness);
    prices.PutInt("CrossOutEndStyle", price.crossOutEndStyle);

    const CImagePreferences& image = CImagePreferences::Current();
    const CSection images("ImagePreferences");
    images.PutInt("ConstrainStretching", image.constrainStretching);
    images.PutInt("FastPrint", image.fastPrint);

    const CSpellPreferences& spell = CSpellPreferences::Current();
    const CSection spelling("SpellPreferences");
    spelling.PutInt("SpellOptions", spell.options);
    spelling.PutString("Dictionary", spell.dictionary);
    spelling.PutInt("Performance", spell.performance);
    spelling.PutInt("SearchLimit", spell.searchLimit);
    spelling.PutInt("DisplayLimit", spell.displayLimit);

    const CSymbolPreferences& symbol = CSymbolPreferences::Current();
    const CSection symbols("SymbolPreferences");
    symbols.PutFont(symbol.font);
    symbols.PutColour("SymbolColour", symbol.symbolColour);
    symbols.PutInt("ColouredBackground", symbol.colouredBackground);
    symbols.PutColour("BackgroundColour", symbol.backgroundColour);
}

void LoadGridSettings()
{
    const CProfileSession session;
    CGridSettings& grid = CGridSettings::Current();
    const CGridSettings defaults;
    const CSection grids("grid");
    grid.showGrid = grids.Bool("ShowGrid", defaults.showGrid);
    grid.snapToGrid = grids.Bool("SnapToGrid", defaults.snapToGrid);
    grid.snapToGuides = grids.Bool("SnapToGuides", defaults.snapToGuides);
    // Snapping divides by the intervals: they stay within 1 mm and 1 m.
    grid.intervalX = grids.Int("GridIntervalX", defaults.intervalX, kMinGrid, kMaxGrid);
    grid.intervalY = grids.Int("GridIntervalY", defaults.intervalY, kMinGrid, kMaxGrid);
    grid.showMargins = CSection("margins").Bool("ShowMargins", defaults.showMargins);
    const CSection ruler("ruler");
    grid.showRuler = ruler.Bool("ShowRuler", defaults.showRuler);
    App().general.displayUnits = ruler.Int("DisplayUnits", 0) == 1 ? 1 : 0;
}

void SaveGridSettings()
{
    const CProfileSession session;
    const CGridSettings& grid = CGridSettings::Current();
    const CSection grids("grid");
    grids.PutInt("ShowGrid", grid.showGrid);
    grids.PutInt("SnapToGrid", grid.snapToGrid);
    grids.PutInt("SnapToGuides", grid.snapToGuides);
    grids.PutInt("GridIntervalX", grid.intervalX);
    grids.PutInt("GridIntervalY", grid.intervalY);
    CSection("margins").PutInt("ShowMargins", grid.showMargins);
    const CSection ruler("ruler");
    ruler.PutInt("ShowRuler", grid.showRuler);
    ruler.PutInt("DisplayUnits", App().general.displayUnits);
}

void LoadShellSettings()
{
    const CProfileSession session;
    CShellSettings& shell = CShellSettings::Current();
    const QString folder = CSignApp::GetProgramFolder(false);
    const CSection paths("paths");
    shell.lastTemplateFolder = paths.String("LastTemplate", folder);
    CImageSelect::LastPictureFolder() = paths.String("LastImage", folder);
    shell.lastDatabaseFolder = paths.String("LastDatabase", folder);
    shell.shadow = CSection("GeneralPreferences").Bool("Shadow", 1);
}

void SaveShellSettings()
{
    const CProfileSession session;
    const CShellSettings& shell = CShellSettings::Current();
    CSection("GeneralPreferences").PutInt("Shadow", shell.shadow);
    const CSection paths("paths");
    paths.PutString("LastTemplate", shell.lastTemplateFolder);
    paths.PutString("LastImage", CImageSelect::LastPictureFolder());
    paths.PutString("LastDatabase", shell.lastDatabaseFolder);
}
