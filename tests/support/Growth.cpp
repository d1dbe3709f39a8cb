#include "Growth.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include <time.h>

qint64 ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

namespace {

// One round: all tries of one size, then of the other.
double GrowthRound(const std::function<qint64(int size)>& measure, int small, int large, int tries)
{
    // All tries of one size, then of the other: taking turns leaves the
    // large input's memory for the small one to work in, and makes the
    // large one slower than it is.
    const auto fastest = [&](int size) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int i = 0; i < std::max(tries, 1); ++i)
            best = std::min(best, measure(size));
        return best;
    };
    qint64 smallTime = fastest(small);
    qint64 largeTime = fastest(large);
    // A clock that did not move counts as one microsecond, so that the
    // ratio stays finite.
    smallTime = std::max<qint64>(smallTime, 1000);
    largeTime = std::max<qint64>(largeTime, 1000);
    const double growth = double(largeTime) / double(smallTime);
    // TABREL_SHOW_GROWTH shows the figures, to see how far from the bound
    // they stay.
    if (qEnvironmentVariableIsSet("TABREL_SHOW_GROWTH"))
        std::fprintf(stderr, "growth %d -> %d: %.3f ms -> %.3f ms, %.1f times\n", small, large,
                     double(smallTime) / 1e6, double(largeTime) / 1e6, growth);
    return growth;
}

} // namespace

double Growth(const std::function<qint64(int size)>& measure, int small, int large, int tries)
{
    // On a machine whose caches other work shares, the large input can
    // come out several times slower for a while. A round over the bound is
    // taken again: work that truly grows too fast is over it every time,
    // a passing burst of load is not.
    constexpr int kRounds = 3;
    double growth = GrowthRound(measure, small, large, tries);
    for (int round = 1; round < kRounds && growth >= kLinearGrowthBound; ++round)
        growth = std::min(growth, GrowthRound(measure, small, large, tries));
    return growth;
}
