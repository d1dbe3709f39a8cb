// The alphanumeric linear symbols: Code 39 and Codabar with narrow and wide
// elements, and Code 93 in module multiples with its two check characters.
#pragma once

#include "Barcode.h"

class CCode39 : public CBarcode
{
    DECLARE_PERSISTENT(CCode39)

public:
    // The characters Code 39 carries; the position is the value, and "*"
    // (value 43) is the start and stop character.
    static constexpr const char* kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";

    CCode39();
    CCode39(const CCode39&) = default;

    // A leading "*" is skipped and an embedded "*" ends the data; the check
    // character is the value sum modulo 43.
    BOOL PrepareData() override;
    void BuildPattern() override;

    // The modulo-43 check character of a text of Code 39 characters; 0 when
    // a character is not one of them.
    static char16_t CheckCharacter(const QString& text);
};

class CCode93 : public CBarcode
{
    DECLARE_PERSISTENT(CCode93)

public:
    // The characters Code 93 takes from the data (values 0..42); 43..46
    // are its four shift characters and 47 the start and stop character.
    static constexpr const char* kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    static constexpr int kAccepted = 42; // the percent sign is not taken from the data
    static constexpr int kStartStop = 47;

    CCode93();
    CCode93(const CCode93&) = default;

    // Both check characters are always encoded and never shown.
    BOOL PrepareData() override;
    void BuildPattern() override;

    // The weighted check value of a run of values: weights 1, 2, 3, ... from
    // the last value, starting again at 1 after maxWeight; modulo 47.
    static int CheckValue(const std::vector<int>& values, int maxWeight);
};

class CCodabar : public CBarcode
{
    DECLARE_PERSISTENT(CCodabar)

public:
    static constexpr const char* kCharacters = "0123456789-$:/.+ABCD";

    CCodabar();
    CCodabar(const CCodabar&) = default;

    // The data carries its own start and stop characters (A, B, C or D at
    // both ends and nowhere else); data without them would make a symbol
    // that no reader takes, so it shows the placeholder.
    BOOL PrepareData() override;
    void BuildPattern() override;
};

// Tells the element copy how to copy each of these classes.
void RegisterCode39Copies();
