// The two integer rounding rules of the design. No other rounding is used
// for geometry. Results saturate at the limits of int (and NaN gives 0), so
// that a damaged value can never make the conversion undefined.
#pragma once

#include <climits>
#include <cmath>

inline int SaturateToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// "Add one half and truncate": for values that cannot be negative (sizes,
// counts, scaled lengths).
inline int RoundHalfUp(double v)
{
    return SaturateToInt(v + 0.5);
}

// Half away from zero: for values that can be negative (positions, offsets,
// rotations, snapping), so that nothing creeps when it is edited repeatedly.
inline int RoundHalfAway(double v)
{
    return SaturateToInt(std::round(v));
}
