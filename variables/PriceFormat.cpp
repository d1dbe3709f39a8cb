#include "PriceFormat.h"

#include "Archive.h"

#include <algorithm>
#include <cmath>

namespace {

// Bytes of one part when its text is empty: length byte, ratio, alignment.
constexpr qsizetype kMinPartBytes = 1 + 8 + 4;

double UsableRatio(double ratio)
{
    if (!std::isfinite(ratio) || ratio <= 0.0)
        return 1.0;
    return std::min(ratio, CPriceFormat::kMaxRatio);
}

int UsableAlignment(int alignment)
{
    return alignment >= CPriceFormat::ALIGN_TOP && alignment <= CPriceFormat::ALIGN_BASELINE
               ? alignment
               : int(CPriceFormat::ALIGN_BASELINE);
}

} // namespace

CPriceFormat::CPriceFormat()
{
    m_partRatio.fill(1.0);
    m_partAlignment.fill(ALIGN_BASELINE);
}

QString CPriceFormat::GetPartText(int part) const
{
    if (part == PART_THOUSANDS_SEPARATOR)
        return m_thousandsSeparator;
    return IsPart(part) ? m_partText[std::size_t(part)] : QString();
}

double CPriceFormat::GetPartRatio(int part) const
{
    return IsPart(part) ? m_partRatio[std::size_t(part)] : 1.0;
}

int CPriceFormat::GetPartAlignment(int part) const
{
    return IsPart(part) ? m_partAlignment[std::size_t(part)] : int(ALIGN_BASELINE);
}

void CPriceFormat::SetPartText(int part, const QString& text)
{
    if (part == PART_THOUSANDS_SEPARATOR) {
        m_thousandsSeparator = text;
        return;
    }
    if (!IsPart(part))
        return;
    m_partText[std::size_t(part)] = text;
    if (part == PART_SECONDARY_SYMBOL)
        m_showPrimaryAmount = text.isEmpty() ? TRUE : FALSE;
}

void CPriceFormat::SetPartRatio(int part, double ratio)
{
    if (!IsPart(part))
        return;
    m_partRatio[std::size_t(part)] = ratio;
    if (part == PART_SECONDARY_AMOUNT)
        m_partRatio[PART_DECIMAL_SEPARATOR] = ratio;
}

void CPriceFormat::SetPartAlignment(int part, int alignment)
{
    if (!IsPart(part))
        return;
    m_partAlignment[std::size_t(part)] = alignment;
    if (part == PART_SECONDARY_AMOUNT)
        m_partAlignment[PART_DECIMAL_SEPARATOR] = alignment;
}

int CPriceFormat::GetRatioPercent(int part) const
{
    // The small allowance lifts a product such as 28.999999999999996 to the
    // whole percentage that the ratio was made from, before truncating.
    const double percent = GetPartRatio(part) * 100.0 + 1e-6;
    if (!std::isfinite(percent) || std::fabs(percent) >= 2147483647.0)
        return 0;
    return static_cast<int>(percent);
}

qsizetype CPriceFormat::MinRecordBytes(DWORD version)
{
    qsizetype bytes = 1 + PART_COUNT * kMinPartBytes + 1;
    for (DWORD gate : {kVersionAlwaysShow, kVersionNeverShow, kVersionSymbolAfter,
                       kVersionShowPrimary, kVersionShowZero}) {
        if (version >= gate)
            bytes += 4;
    }
    return bytes;
}

void CPriceFormat::Write(CArchive& ar) const
{
    ar << m_name;
    for (std::size_t i = 0; i < PART_COUNT; ++i)
        ar << m_partText[i] << m_partRatio[i] << m_partAlignment[i];
    ar << m_thousandsSeparator;
    ar << m_secondaryAlwaysShow << m_secondaryNeverShow << m_symbolAfterAmount
       << m_showPrimaryAmount << m_showZeroSecondary;
}

void CPriceFormat::Read(CArchive& ar, DWORD version)
{
    ar >> m_name;
    for (std::size_t i = 0; i < PART_COUNT; ++i) {
        double ratio = 1.0;
        int alignment = ALIGN_BASELINE;
        ar >> m_partText[i] >> ratio >> alignment;
        m_partRatio[i] = UsableRatio(ratio);
        m_partAlignment[i] = UsableAlignment(alignment);
    }
    ar >> m_thousandsSeparator;
    // Flags are TRUE or FALSE whatever number the file holds.
    const auto flag = [&ar, version](DWORD since, BOOL absent) {
        return version >= since ? (ar.ReadInt() != 0 ? TRUE : FALSE) : absent;
    };
    m_secondaryAlwaysShow = flag(kVersionAlwaysShow, FALSE);
    m_secondaryNeverShow = flag(kVersionNeverShow, FALSE);
    m_symbolAfterAmount = flag(kVersionSymbolAfter, FALSE);
    m_showPrimaryAmount = flag(kVersionShowPrimary, TRUE);
    m_showZeroSecondary = flag(kVersionShowZero, TRUE);
}
