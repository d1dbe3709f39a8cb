// What new shape elements start with, and what they ask of a running print.
// The values are the program's defaults until the designer loads the user's
// preferences over them; reach each through App().Get<...>().
#pragma once

#include "AppContext.h"
#include "LogFontFields.h"
#include "Types.h"

#include <QString>

#include <functional>

// New lines ("LinePreferences").
struct CLineDefaults
{
    int thickness = 10;
    COLORREF colour = 0;
    int lineStyle = 0; // kept and copied with each line; nothing draws it
    int endStyle = 0;  // 0 square, 1 round, 2 notched, 3 pointed
};

// New boxes ("BoxPreferences").
struct CBoxDefaults
{
    int thickness = 10;
    COLORREF outlineColour = 0;
    BOOL fillInterior = 0;
    COLORREF fillColour = MakeRGB(255, 255, 255);
    int cornerType = 0;    // 0 square, 1 rounded, 2 chamfered
    int cornerRadius = 40; // per cent of the side, 0 to 100
};

// New ellipses ("EllipsePreferences").
struct CEllipseDefaults
{
    int thickness = 10;
    COLORREF outlineColour = 0;
    BOOL fillInterior = 0;
    COLORREF fillColour = MakeRGB(255, 255, 255);
};

// New text elements beyond their font and colour, which CTextDefaults holds
// ("TextPreferences").
struct CTextElementDefaults
{
    BOOL colouredBackground = 0;
    COLORREF backgroundColour = MakeRGB(255, 255, 255);
    int minHeight = 5;   // smallest font height of copy-fit, tenths of a millimetre
    int maxHeight = 568; // largest
    int horzJustify = 0; // 0 left, 1 centre, 2 right, 3 block centred
    int vertJustify = 0; // 0 top, 1 centre, 2 bottom
    BOOL preserveLineBreaks = 1;
};

// The state of a running print that elements look at. The printing layer
// installs the function; without it no print run is under way.
struct CElementPrintState
{
    // The printer's label position on the sheet: 0 for the first label of a
    // run, above 0 once the run is past it.
    std::function<int()> labelPosition;

    int LabelPosition() const { return labelPosition ? labelPosition() : 0; }
};

// New bullet lists ("BulletPreferences").
struct CBulletPreferences
{
    CBulletPreferences()
    {
        font.lfHeight = 141;
        font.lfWeight = 400;
        font.lfOutPrecision = 4;
        font.lfPitchAndFamily = 2;
        font.lfFaceName = QStringLiteral("Tabrel bullets");
    }
    LogFontFields font;
    BYTE symbol = 34; // character code of the bullet
    int offset = 50;  // text offset after the bullet
    int size = 100;   // per cent of the text height
    COLORREF colour = 0;

    static CBulletPreferences& Current() { return App().Get<CBulletPreferences>(); }
};

// New pictures ("ImagePreferences").
struct CImagePreferences
{
    BOOL constrainStretching = 1; // keep the aspect ratio when stretched
    BOOL fastPrint = 1;           // 1 speed, 0 quality

    static CImagePreferences& Current() { return App().Get<CImagePreferences>(); }
};
