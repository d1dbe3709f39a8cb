// The fourteen fields of a stored font description, as signs, side files and
// the profile keep them. Heights follow the stored convention: above 0 the
// cell height (ascent plus descent), below 0 the character (em) height.
// Escapement and orientation are counter-clockwise tenths of a degree.
#pragma once

#include "Types.h"

#include <QString>

struct LogFontFields
{
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    QString lfFaceName; // at most 31 characters when stored

    bool operator==(const LogFontFields&) const = default;

    // Size of the stored raw block: five 32-bit values, eight bytes and a
    // 32-byte zero-terminated face name.
    static constexpr int kRawSize = 60;
};
