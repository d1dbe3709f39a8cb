// The two integer rounding rules of the design. No other rounding is used
// for geometry.
#pragma once

#include <cmath>

// "Add one half and truncate": for values that cannot be negative (sizes,
// counts, scaled lengths).
inline int RoundHalfUp(double v)
{
    return static_cast<int>(v + 0.5);
}

// Half away from zero: for values that can be negative (positions, offsets,
// rotations, snapping), so that nothing creeps when it is edited repeatedly.
inline int RoundHalfAway(double v)
{
    return static_cast<int>(std::lround(v));
}
