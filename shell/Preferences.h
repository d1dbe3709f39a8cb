// The designer's per-user preferences: the values new elements start with,
// a few general options and the spelling options, loaded from the profile
// at start-up and saved at exit. In between only the Preferences sheet
// changes them, in memory. Element constructors, panes and the print code
// read them directly.
//
// The values live where their readers find them: the general options in
// App().general, the line, box, ellipse and text defaults in the model's
// CLineDefaults, CBoxDefaults, CEllipseDefaults, CTextElementDefaults and
// CBulletPreferences, the text font and colour in CTextDefaults, the barcode
// values in CBarcodePreferences. The groups
// that have no home below the shell yet are the plain structs of this file,
// each reached through App().Get<>() (its Current()).
//
// Also here: the grid, margin and ruler settings (until the layout aids
// take them over) and the last-used folders and the shadow setting.
#pragma once

#include "AppContext.h"
#include "ElementDefaults.h"
#include "LogFontFields.h"
#include "PricePreferences.h"
#include "Symbol.h"
#include "Types.h"

#include <QString>
#include <array>

// The spelling checker ("SpellPreferences"); 16-bit values as the checker takes them.
struct CSpellPreferences
{
    enum : WORD
    {
        IgnoreUpperCase = 8,
        IgnorePartialNumbers = 16,
        IgnorePureNumbers = 64,
        SplitHyphenated = 128,
        ExactCase = 256,
        AlwaysSet = 1 | 2 | 32,
    };

    CSpellPreferences();
    WORD options = 243;
    QString dictionary;    // full path; "AMERICAN.VTD" in the program folder
    short performance = 0; // -7 (least memory) to 7
    short searchLimit = 1500;
    short displayLimit = 10;

    static CSpellPreferences& Current() { return App().Get<CSpellPreferences>(); }
};

// New symbols ("SymbolPreferences"): the settings the symbol element
// itself starts from.
using CSymbolPreferences = CSymbolDefaults;

// The grid, margin and ruler switches of the design view ("grid",
// "margins", "ruler"). The display unit itself is App().general.displayUnits.
struct CGridSettings
{
    static constexpr int kDefaultInterval = 10;

    BOOL showGrid = 0;
    BOOL snapToGrid = 0;
    BOOL snapToGuides = 1;
    int intervalX = kDefaultInterval; // tenths of a millimetre, always above 0
    int intervalY = kDefaultInterval;
    BOOL showMargins = 1;
    BOOL showRuler = 1;

    static CGridSettings& Current() { return App().Get<CGridSettings>(); }
};

// The last-used folders of the open boxes ("paths"; the picture boxes keep
// theirs, CImageSelect::LastPictureFolder) and the sheet shadow of the
// design view ("GeneralPreferences", "Shadow").
struct CShellSettings
{
    QString lastTemplateFolder;
    QString lastDatabaseFolder;
    BOOL shadow = 1;

    static CShellSettings& Current() { return App().Get<CShellSettings>(); }
};

// The default fonts of the preference table.
LogFontFields DefaultTextFont();

// Every preference value from the profile, each with its default; a price
// format name the price format list does not hold becomes the standard
// format's name. Load the price formats first. Each value is brought into
// the range the elements' readers accept (thicknesses and offsets within
// the panes' 1500 mm, fonts within the font layer's heights, switches 0 or
// 1, choices among their own), so that whatever the profile holds, the
// elements made from the preferences save and open again. The profile is
// read once for the whole table, and written once when saved.
void LoadPreferences();
void SavePreferences();

// Grid intervals are brought into 1 mm to 1 m (10 to 10000 tenths; no
// number reads as the default); a display unit other than 1 reads as 0
// (millimetres).
void LoadGridSettings();
void SaveGridSettings();

// The last-used folders (each defaults to the program folder) and the shadow.
void LoadShellSettings();
void SaveShellSettings();
