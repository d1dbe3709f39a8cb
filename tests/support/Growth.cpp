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

double Growth(const std::function<qint64(int size)>& measure, int large, int tries)
{
    const int small = std::max(large / kGrowthStep, 1);
    qint64 smallTime = std::numeric_limits<qint64>::max();
    qint64 largeTime = std::numeric_limits<qint64>::max();
    // All tries of one size, then of the other: taking turns leaves the
    // large input's memory for the small one to work in, and makes the
    // large one slower than it is.
    const auto fastest = [&](int size, qint64& best) {
        for (int i = 0; i < std::max(tries, 1); ++i)
            best = std::min(best, measure(size));
        // A clock that did not move counts as one microsecond, so that the
        // ratio stays finite.
        best = std::max<qint64>(best, 1000);
    };
    // On a machine whose caches other work shares, the large input can come
    // out several times slower for a while. A round over the bound is taken
    // again, and the fastest try of each size over all rounds counts: work
    // that truly grows too fast is over the bound however fast it runs, a
    // passing burst of load is not.
    constexpr int kRounds = 5;
    double growth = 0;
    for (int round = 0; round < kRounds && (round == 0 || growth >= kLinearGrowthBound); ++round) {
        fastest(small, smallTime);
        fastest(large, largeTime);
        growth = double(largeTime) / double(smallTime);
        // TABREL_SHOW_GROWTH shows the figures, to see how far from the
        // bound they stay.
        if (qEnvironmentVariableIsSet("TABREL_SHOW_GROWTH"))
            std::fprintf(stderr, "growth %d -> %d: %.3f ms -> %.3f ms, %.1f times\n", small,
                         large, double(smallTime) / 1e6, double(largeTime) / 1e6, growth);
    }
    return growth;
}
