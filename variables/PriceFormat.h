// One named price format: how the five parts of a price (primary symbol,
// whole units, decimal separator, hundredths, secondary symbol) are drawn
// relative to the primary amount, and when the amounts are shown. A plain
// record owned by the price format list.
#pragma once

#include "Types.h"

#include <QString>
#include <array>

class CArchive;

class CPriceFormat
{
public:
    enum Part : int
    {
        PART_PRIMARY_SYMBOL = 0,
        PART_PRIMARY_AMOUNT = 1,
        PART_DECIMAL_SEPARATOR = 2,
        PART_SECONDARY_AMOUNT = 3,
        PART_SECONDARY_SYMBOL = 4,
        PART_COUNT = 5,
        // Not a drawn part: the wizard's index for the thousands separator,
        // accepted by GetPartText and SetPartText.
        PART_THOUSANDS_SEPARATOR = 5,
    };

    // Vertical alignment of a part against the primary amount, in the order
    // of the wizard's alignment list.
    enum Alignment : int
    {
        ALIGN_TOP = 0,
        ALIGN_CENTRE = 1,
        ALIGN_BOTTOM = 2,
        ALIGN_BASELINE = 3,
    };

    // The oldest file versions that carry each of the later flags.
    static constexpr DWORD kVersionAlwaysShow = 104;
    static constexpr DWORD kVersionNeverShow = 230;
    static constexpr DWORD kVersionSymbolAfter = 250;
    static constexpr DWORD kVersionShowPrimary = 264;
    static constexpr DWORD kVersionShowZero = 400;
    static constexpr DWORD kCurrentVersion = 514;

    // Stored ratios are kept within these bounds when read.
    static constexpr double kMaxRatio = 10.0;

    CPriceFormat();

    // Only the texts of the primary symbol, the decimal separator and the
    // secondary symbol are drawn; the amounts' texts stay empty. A part
    // index out of range gives an empty text, ratio 1.0 and baseline.
    QString GetPartText(int part) const;
    double GetPartRatio(int part) const;
    int GetPartAlignment(int part) const;

    // Setters that keep the format's own rules: the decimal separator follows
    // the secondary amount's ratio and alignment, and setting a secondary
    // symbol hides the primary amount (clearing it shows it again). A part
    // index out of range changes nothing.
    void SetPartText(int part, const QString& text);
    void SetPartRatio(int part, double ratio);
    void SetPartAlignment(int part, int alignment);

    // The part's ratio as a whole percentage (1.0 gives 100). A ratio made
    // from a whole percentage gives that percentage back, though 0.29 * 100
    // is a hair below 29 in binary.
    int GetRatioPercent(int part) const;

    // One record of the library file or of a sign: name, the five parts
    // (text, ratio, alignment), the thousands separator, then the flags. The
    // flags that the given file version lacks take their defaults. Reading
    // raises CArchiveException on bad data; ratios and alignments outside
    // their ranges are brought back to usable values.
    void Write(CArchive& ar) const;
    void Read(CArchive& ar, DWORD version);
    // The fewest bytes that one record of that version can take.
    static qsizetype MinRecordBytes(DWORD version);

    bool operator==(const CPriceFormat&) const = default;

    QString m_name;
    std::array<QString, PART_COUNT> m_partText;
    std::array<double, PART_COUNT> m_partRatio;
    std::array<int, PART_COUNT> m_partAlignment;
    QString m_thousandsSeparator;
    BOOL m_secondaryAlwaysShow = FALSE; // an empty secondary amount shows "00"
    BOOL m_secondaryNeverShow = FALSE;  // the secondary amount is never drawn
    BOOL m_symbolAfterAmount = FALSE;   // the primary symbol follows the amount
    BOOL m_showPrimaryAmount = TRUE;    // cleared while a secondary symbol is set
    BOOL m_showZeroSecondary = TRUE;    // clear: a zero secondary amount is not drawn

private:
    static bool IsPart(int part) { return part >= 0 && part < PART_COUNT; }
};
