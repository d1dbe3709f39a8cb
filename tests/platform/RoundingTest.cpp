#include "Rounding.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

TEST(Rounding, BothRulesAndTheirLimits)
{
    struct Case
    {
        double v;
        int up, away;
    };
    const Case cases[] = {
        {2.5, 3, 3},
        {2.4, 2, 2},
        {-2.5, -2, -3},
        {-1.7, -1, -2},
        {-0.4, 0, 0},
        {1e300, INT_MAX, INT_MAX},
        {-1e300, INT_MIN, INT_MIN},
        {std::numeric_limits<double>::quiet_NaN(), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundHalfUp(c.v), c.up) << c.v;
        EXPECT_EQ(RoundHalfAway(c.v), c.away) << c.v;
    }
}
