// The constant table of the symbologies a barcode element can have: display
// name, whether the type list offers it, its style family, default style and
// height, and which property switches apply to it.
#pragma once

#include "Types.h"

// Symbology ids: the index into the table.
enum SymbologyId : int
{
    SYM_CODE39 = 0,
    SYM_CODE39_ASCII = 1,
    SYM_CODE93 = 2,
    SYM_INTERLEAVED_2OF5 = 3,
    SYM_CODE128_A = 4,
    SYM_CODE128_B = 5,
    SYM_CODE128_C = 6,
    SYM_CODE128_AUTO = 7,
    SYM_EAN8 = 8,
    SYM_EAN13 = 9,
    SYM_UPCA = 10,
    SYM_UPCE = 11,
    SYM_POSTNET = 12,
    SYM_FIM = 13,
    SYM_CODABAR = 14,
    SYM_EAN128 = 15,
    SYM_EAN128_A = 16,
    SYM_EAN128_B = 17,
    SYM_EAN128_C = 18,
    SYM_PLESSEY = 19,
    SYM_MSI = 20,
    SYM_TELEPEN = 21,
    SYM_TELEPEN_NUMERIC = 22,
    SYM_ROYAL_MAIL = 23,
    SYM_PDF417 = 24,
    SYM_MS7 = 25,
    SYM_UPCE_SYS1 = 26,
    SYM_DATAMATRIX = 27,
    SYM_GS1_128 = 28,
    SYM_ITF14 = 29,
    SYM_GS1_DATAMATRIX = 30,
    SYM_GS1_DATABAR = 31,
    SYM_QRCODE = 32,
};

constexpr int kSymbologyCount = 33;

// Style families: which set of barcode styles a symbology draws its module
// geometry from.
enum StyleFamily : int
{
    FAMILY_NONE = -1,   // two-dimensional symbols: no style
    FAMILY_POSTAL = 0,  // dimensions fixed by the symbology
    FAMILY_RATIO = 1,   // narrow and wide elements
    FAMILY_CODE128 = 2, // module multiples
    FAMILY_EAN_UPC = 3, // module multiples
};

struct SymbologyInfo
{
    int id;
    const char* name;
    BOOL listed;              // offered in the Select Barcode Type list
    int family;               // StyleFamily
    const char* defaultStyle; // null for FAMILY_NONE
    int defaultHeight;        // tenths of a millimetre; -1 for two-dimensional symbols
    BOOL heightAdjustable;    // the bar height can be dragged and edited
    BOOL checkOptional;       // the user may switch the check character on or off
    BOOL checkDefault;        // the check character state when it is not optional
    BOOL checkHidden;         // never shown in the human-readable text
    BOOL humanReadable;       // the symbology has a human-readable line
};

// The record of a symbology id; the id must be in 0..kSymbologyCount-1.
const SymbologyInfo& GetSymbology(int id);
// The record of an id, or null when there is no such symbology.
const SymbologyInfo* FindSymbology(int id);
