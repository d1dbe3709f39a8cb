// Interleaved 2 of 5, digits in pairs with an optional modulo-10 check
// digit, and ITF-14, the 14-digit shipping symbol with fixed quiet zones and
// a bearer frame drawn into the symbol.
#pragma once

#include "Barcode.h"

class CInterleaved2of5 : public CBarcode
{
    DECLARE_PERSISTENT(CInterleaved2of5)

public:
    CInterleaved2of5();
    CInterleaved2of5(const CInterleaved2of5&) = default;

    BOOL PrepareData() override;
    void BuildPattern() override;

    // The modulo-10 check digit: weight 3 on the rightmost digit, then 1 and
    // 3 alternating leftwards (the GS1 check digit).
    static int CheckDigit(const QString& digits);

protected:
    explicit CInterleaved2of5(int symbologyId);
    // Encodes the digits of the text (carriage returns, tabs and spaces
    // skipped); the element's data is left as it is.
    BOOL PrepareDigits(const QString& text);
};

class CITF14 : public CInterleaved2of5
{
    DECLARE_PERSISTENT(CITF14)

public:
    CITF14();
    CITF14(const CITF14&) = default;

    // Spaces and hyphens between digit groups are dropped; the first 13 of
    // 13 or 14 digits are encoded with their check digit. The element's own
    // data is never changed.
    BOOL PrepareData() override;
    // Quiet zones of 12 narrow bars each side and a bearer frame of 2.
    void LayoutBars() override;
    // An element that is not printed shows its bearer frame grey.
    void Draw(CDC* dc, const CRect& clip) override;

    // The 13 digits an ITF-14 data text stands for, or an empty string.
    static QString GtinDigits(const QString& data);
};

// Tells the element copy how to copy each of these classes.
void RegisterInterleavedCopies();
