// The postal symbols, whose bars differ in height rather than width:
// Postnet (full and half bars) and the Royal Mail 4-state customer code.
// Their sizes are fixed in inches by the postal standards, whatever the
// element's style and height.
#pragma once

#include "Barcode.h"

#include <array>

class CPostnet : public CBarcode
{
    DECLARE_PERSISTENT(CPostnet)

public:
    // Pattern values.
    static constexpr BYTE kHalf = 0;
    static constexpr BYTE kFull = 1;

    CPostnet();
    CPostnet(const CPostnet&) = default;

    // Spaces are skipped; a Postnet symbol carries 5, 9 or 11 digits and its
    // check digit, so other counts show the placeholder (with the check
    // digit not calculated, the data must carry it: 6, 10 or 12 digits).
    BOOL PrepareData() override;
    void BuildPattern() override;
    void LayoutBars() override;

    // (10 - sum of the digits mod 10) mod 10.
    static int CheckDigit(const QString& digits);
};

class CRoyalMail : public CBarcode
{
    DECLARE_PERSISTENT(CRoyalMail)

public:
    // Pattern values: bar states.
    static constexpr BYTE kTracker = 0;
    static constexpr BYTE kAscender = 1;
    static constexpr BYTE kDescender = 2;
    static constexpr BYTE kFullBar = 3;
    // Six rows of six: the check character's table, and the rows and
    // columns that give each character its ascenders and descenders.
    static constexpr const char* kTable = "ZUVWXY501234B6789AHCDEFGNIJKLMTOPQRS";

    CRoyalMail();
    CRoyalMail(const CRoyalMail&) = default;

    BOOL PrepareData() override;
    void BuildPattern() override;
    void LayoutBars() override;

    // The check character of a text of digits and capitals (0 when another
    // character is in it).
    static char16_t CheckCharacter(const QString& text);
    // The four bar states of a digit or capital.
    static std::array<BYTE, 4> States(char16_t c);
};

// Tells the element copy how to copy each of these classes.
void RegisterPostalCopies();
