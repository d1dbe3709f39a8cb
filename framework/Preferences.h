// General preferences: process-wide values that the designer loads from the
// user's profile at start-up and saves at exit. Lower layers only read them.
#pragma once

#include "Types.h"

struct CGeneralPreferences
{
    double rotationAngle = 1.5707963267948966; // radians; the Rotate command's step
    int duplicateX = 50;
    int duplicateY = 50;
    COLORREF variableOutline = 255; // outline of data-linked elements
    int undoLevels = 50;
    BOOL nativePrint = 1;
    BOOL endJobWithPage = 0;
    int viewMode = -1;
    BOOL storeRelativePaths = 0;
    BOOL storePrinterSettings = 1;
    int displayUnits = 0; // 0 millimetres, 1 inches
};
