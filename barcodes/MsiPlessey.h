// MSI and Plessey (four bits a character), MS 7 (an eight-digit retail
// symbol in the EAN-8 bars, framed by a box) and Telepen with its numeric
// variant (the full ASCII set, digits in pairs in numeric mode).
#pragma once

#include "Barcode.h"

#include <array>

class CMsi : public CBarcode
{
    DECLARE_PERSISTENT(CMsi)

public:
    CMsi();
    CMsi(const CMsi&) = default;

    BOOL PrepareData() override;
    void BuildPattern() override;

    // The two check values from the plain sum of the digit values:
    // (10 - sum mod 10) mod 10 and (11 - sum mod 11) mod 11.
    static std::array<int, 2> CheckValues(const QString& digits);
};

class CPlessey : public CBarcode
{
    DECLARE_PERSISTENT(CPlessey)

public:
    CPlessey();
    CPlessey(const CPlessey&) = default;

    BOOL PrepareData() override;
    void BuildPattern() override;

    // The two check values (0..15) of a run of values: the remainder of the
    // values' bits, least significant first, followed by eight zero bits,
    // divided by x^8 + x^7 + x^6 + x^5 + x^3 + 1.
    static std::array<int, 2> CheckValues(const std::vector<int>& values);
};

class CMS7 : public CBarcode
{
    DECLARE_PERSISTENT(CMS7)

public:
    CMS7();
    CMS7(const CMS7&) = default;

    BOOL PrepareData() override;
    void BuildPattern() override;
    void LayoutBars() override;
    void LayoutHumanReadable() override;
    // Puts the frame box around the bars and the text.
    void OnRegenerated() override;
};

class CTelepen : public CBarcode
{
    DECLARE_PERSISTENT(CTelepen)

public:
    static constexpr char16_t kStart = u'_';
    static constexpr char16_t kStop = u'z';

    CTelepen();
    CTelepen(const CTelepen&) = default;

    // Characters above 127 cannot be carried: the placeholder shows.
    BOOL PrepareData() override;
    void BuildPattern() override;

    // (127 - sum mod 127) mod 127.
    static int CheckValue(int sum);
    // The module widths of a character (0..127), bar first: eight bits with
    // even parity, least significant first; a 1 is a narrow bar and space;
    // two 0s with only 1s between them make a wide bar and a narrow space
    // (no 1), a wide bar and a wide space (one 1), or else a narrow bar and
    // a wide space at both ends of the 1s between.
    static QByteArray CharacterWidths(int value);

protected:
    explicit CTelepen(int symbologyId);
    // Appends the value to the expanded and encoded text, the shown text
    // and the sum.
    void AddValue(int value, QChar shown, int& sum);
    // The check and stop characters after the values.
    void Finish(int sum);
};

class CTelepenNumeric : public CTelepen
{
    DECLARE_PERSISTENT(CTelepenNumeric)

public:
    CTelepenNumeric();
    CTelepenNumeric(const CTelepenNumeric&) = default;

    // Digits in pairs (a digit and "X" closing an odd run); DLE changes to
    // the full character set for the rest of the data.
    BOOL PrepareData() override;
};

// Tells the element copy how to copy each of these classes.
void RegisterMsiPlesseyCopies();
