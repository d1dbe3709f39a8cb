// The settings a new price starts with ("PricePreferences" and the part
// fonts "PriceFont1" to "PriceFont5"): the price element reads them when it
// is made, the designer's preferences load and save them.
#pragma once

#include "AppContext.h"
#include "LogFont.h"
#include "LogFontFields.h"
#include "Types.h"

#include <QString>
#include <array>

struct CPricePreferences
{
    CPricePreferences() { partFonts.fill(CLogFont::DefaultLogFont()); }
    std::array<LogFontFields, 5> partFonts;
    COLORREF textColour = 0;
    BOOL colouredBackground = 0;
    COLORREF backgroundColour = 16777215;
    COLORREF crossOutColour = 0;
    int crossOutPattern = 0;
    int crossOutThickness = 10;
    int crossOutEndStyle = 0;
    QString format = QStringLiteral("Standard Format");

    static CPricePreferences& Current() { return App().Get<CPricePreferences>(); }
};
