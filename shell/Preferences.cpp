#include "Preferences.h"

#include "BarcodeStyle.h"
#include "ElementDefaults.h"
#include "LogFont.h"
#include "PriceFormatList.h"
#include "Rounding.h"
#include "SignApp.h"
#include "TextBase.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519944444;
constexpr double kRadiansToDegrees = 57.29577951307855;

LogFontFields SymbolFont(const char* face, LONG height)
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
        return lf;
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

CBulletPreferences::CBulletPreferences() : font(SymbolFont("Tabrel bullets", 141)) {}

CPricePreferences::CPricePreferences()
{
    partFonts.fill(DefaultTextFont());
}

CSpellPreferences::CSpellPreferences() : dictionary(DefaultDictionary()) {}

CSymbolPreferences::CSymbolPreferences() : font(SymbolFont("Tabrel Symbol 1", 94)) {}

LogFontFields DefaultTextFont()
{
    return CLogFont::DefaultLogFont();
}

void LoadPreferences()
{
    CGeneralPreferences& general = App().general;
    const CGeneralPreferences generalDefaults;
    const CSection gen("GeneralPreferences");
    general.rotationAngle = gen.Int("RotationAngle", 90) * kDegreesToRadians;
    general.duplicateX = gen.Int("DuplicateX", generalDefaults.duplicateX);
    general.duplicateY = gen.Int("DuplicateY", generalDefaults.duplicateY);
    general.variableOutline = gen.Colour("VariableOutline", generalDefaults.variableOutline);
    general.undoLevels = gen.Int("UndoLevels", generalDefaults.undoLevels);
    general.nativePrint = gen.Int("NativePrint", generalDefaults.nativePrint);
    general.endJobWithPage = gen.Int("EndJobWithPage", generalDefaults.endJobWithPage);
    general.viewMode = gen.Int("ViewMode", generalDefaults.viewMode);
    general.storeRelativePaths = gen.Int("StoreRelativePaths", generalDefaults.storeRelativePaths);
    general.storePrinterSettings =
        gen.Int("StorePrinterSettings", generalDefaults.storePrinterSettings);

    CLineDefaults& line = App().Get<CLineDefaults>();
    const CLineDefaults lineDefaults;
    const CSection lines("LinePreferences");
    line.thickness = lines.Int("Thickness", lineDefaults.thickness);
    line.colour = lines.Colour("Colour", lineDefaults.colour);
    line.lineStyle = lines.Int("LineStyle", lineDefaults.lineStyle);
    line.endStyle = lines.Int("EndStyle", lineDefaults.endStyle);

    CBoxDefaults& box = App().Get<CBoxDefaults>();
    const CBoxDefaults boxDefaults;
    const CSection boxes("BoxPreferences");
    box.thickness = boxes.Int("OutlineThickness", boxDefaults.thickness);
    box.outlineColour = boxes.Colour("OutlineColour", boxDefaults.outlineColour);
    box.fillInterior = boxes.Int("FillInterior", boxDefaults.fillInterior);
    box.fillColour = boxes.Colour("FillColour", boxDefaults.fillColour);
    box.cornerType = boxes.Int("CornerType", boxDefaults.cornerType);
    box.cornerRadius = boxes.Int("CornerRadius", boxDefaults.cornerRadius);

    CEllipseDefaults& ellipse = App().Get<CEllipseDefaults>();
    const CEllipseDefaults ellipseDefaults;
    const CSection ellipses("EllipsePreferences");
    ellipse.thickness = ellipses.Int("OutlineThickness", ellipseDefaults.thickness);
    ellipse.outlineColour = ellipses.Colour("OutlineColour", ellipseDefaults.outlineColour);
    ellipse.fillInterior = ellipses.Int("FillInterior", ellipseDefaults.fillInterior);
    ellipse.fillColour = ellipses.Colour("FillColour", ellipseDefaults.fillColour);

    CTextDefaults& textDefaults = CTextDefaults::Current();
    CTextElementDefaults& text = App().Get<CTextElementDefaults>();
    const CTextElementDefaults textPrefDefaults;
    const CSection texts("TextPreferences");
    textDefaults.font.SetLogFont(texts.Font(DefaultTextFont()));
    textDefaults.colour = texts.Colour("TextColour", 0);
    text.colouredBackground = texts.Int("ColouredBackground", textPrefDefaults.colouredBackground);
    text.backgroundColour = texts.Colour("BackgroundColour", textPrefDefaults.backgroundColour);
    text.minHeight = texts.Int("MinPointSize", textPrefDefaults.minHeight);
    text.maxHeight = texts.Int("MaxPointSize", textPrefDefaults.maxHeight);
    text.horzJustify = texts.Int("HorzJustify", textPrefDefaults.horzJustify);
    text.vertJustify = texts.Int("VertJustify", textPrefDefaults.vertJustify);
    text.preserveLineBreaks = texts.Int("PreserveLineBreaks", textPrefDefaults.preserveLineBreaks);

    CBarcodePreferences::Current().Load();

    CBulletPreferences& bullet = CBulletPreferences::Current();
    const CBulletPreferences bulletDefaults;
    const CSection bullets("BulletPreferences");
    bullet.font = bullets.Font(bulletDefaults.font);
    bullet.symbol = static_cast<BYTE>(bullets.Int("Symbol", bulletDefaults.symbol));
    bullet.offset = bullets.Int("Offset", bulletDefaults.offset);
    bullet.size = bullets.Int("Size", bulletDefaults.size);
    bullet.colour = bullets.Colour("Colour", bulletDefaults.colour);

    CPricePreferences& price = CPricePreferences::Current();
    const CPricePreferences priceDefaults;
    for (int part = 0; part < 5; ++part)
        price.partFonts[part] =
            CSection(PriceFontSection(part)).Font(priceDefaults.partFonts[part]);
    const CSection prices("PricePreferences");
    price.textColour = prices.Colour("TextColour", priceDefaults.textColour);
    price.colouredBackground = prices.Int("ColouredBackground", priceDefaults.colouredBackground);
    price.backgroundColour = prices.Colour("BackgroundColour", priceDefaults.backgroundColour);
    price.crossOutColour = prices.Colour("CrossOutColour", priceDefaults.crossOutColour);
    price.crossOutPattern = prices.Int("CrossOutPattern", priceDefaults.crossOutPattern);
    price.crossOutThickness = prices.Int("CrossOutThickness", priceDefaults.crossOutThickness);
    price.crossOutEndStyle = prices.Int("CrossOutEndStyle", priceDefaults.crossOutEndStyle);
    price.format = prices.String("Format", priceDefaults.format);
    if (!ThePriceFormatList().FindFormat(price.format))
        price.format = CPriceFormatList::StandardFormatName();

    CImagePreferences& image = CImagePreferences::Current();
    const CImagePreferences imageDefaults;
    const CSection images("ImagePreferences");
    image.constrainStretching =
        images.Int("ConstrainStretching", imageDefaults.constrainStretching);
    image.fastPrint = images.Int("FastPrint", imageDefaults.fastPrint);

    CSpellPreferences& spell = CSpellPreferences::Current();
    const CSpellPreferences spellDefaults;
    const CSection spelling("SpellPreferences");
    spell.options = static_cast<WORD>(spelling.Int("SpellOptions", spellDefaults.options));
    spell.dictionary = spelling.String("Dictionary", spellDefaults.dictionary);
    spell.performance = static_cast<short>(spelling.Int("Performance", spellDefaults.performance));
    spell.searchLimit = static_cast<short>(spelling.Int("SearchLimit", spellDefaults.searchLimit));
    spell.displayLimit =
        static_cast<short>(spelling.Int("DisplayLimit", spellDefaults.displayLimit));

    CSymbolPreferences& symbol = CSymbolPreferences::Current();
    const CSymbolPreferences symbolDefaults;
    const CSection symbols("SymbolPreferences");
    symbol.font = symbols.Font(symbolDefaults.font);
    symbol.symbolColour = symbols.Colour("SymbolColour", symbolDefaults.symbolColour);
    symbol.colouredBackground =
        symbols.Int("ColouredBackground", symbolDefaults.colouredBackground);
    symbol.backgroundColour = symbols.Colour("BackgroundColour", symbolDefaults.backgroundColour);
}

void SavePreferences()
{
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
    CGridSettings& grid = CGridSettings::Current();
    const CGridSettings defaults;
    const CSection grids("grid");
    grid.showGrid = grids.Int("ShowGrid", defaults.showGrid);
    grid.snapToGrid = grids.Int("SnapToGrid", defaults.snapToGrid);
    grid.snapToGuides = grids.Int("SnapToGuides", defaults.snapToGuides);
    // Snapping divides by the intervals: one that is not above 0 is no grid.
    grid.intervalX = grids.Int("GridIntervalX", defaults.intervalX);
    if (grid.intervalX <= 0)
        grid.intervalX = defaults.intervalX;
    grid.intervalY = grids.Int("GridIntervalY", defaults.intervalY);
    if (grid.intervalY <= 0)
        grid.intervalY = defaults.intervalY;
    grid.showMargins = CSection("margins").Int("ShowMargins", defaults.showMargins);
    const CSection ruler("ruler");
    grid.showRuler = ruler.Int("ShowRuler", defaults.showRuler);
    App().general.displayUnits = ruler.Int("DisplayUnits", 0) == 1 ? 1 : 0;
}

void SaveGridSettings()
{
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
    CShellSettings& shell = CShellSettings::Current();
    const QString folder = CSignApp::GetProgramFolder(false);
    const CSection paths("paths");
    shell.lastTemplateFolder = paths.String("LastTemplate", folder);
    shell.lastImageFolder = paths.String("LastImage", folder);
    shell.lastDatabaseFolder = paths.String("LastDatabase", folder);
    shell.shadow = CSection("GeneralPreferences").Int("Shadow", 1);
}

void SaveShellSettings()
{
    const CShellSettings& shell = CShellSettings::Current();
    CSection("GeneralPreferences").PutInt("Shadow", shell.shadow);
    const CSection paths("paths");
    paths.PutString("LastTemplate", shell.lastTemplateFolder);
    paths.PutString("LastImage", shell.lastImageFolder);
    paths.PutString("LastDatabase", shell.lastDatabaseFolder);
}
