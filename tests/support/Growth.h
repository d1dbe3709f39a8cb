// How work grows with its input, measured so that a busy machine cannot fail
// a test: the CPU time of this thread (not the wall clock), the fastest of a
// few tries, compared between an input and one sixteen times larger.
// Work linear in its input grows about 16 times, quadratic work about 256.
#pragma once

#include <QtGlobal>

#include <functional>

// The CPU time this thread has used, in nanoseconds.
qint64 ThreadCpuNanoseconds();

// Measures the CPU time of a piece of work: start it, then read it once the
// work is done.
class CCpuTimer
{
public:
    CCpuTimer() : m_start(ThreadCpuNanoseconds()) {}
    qint64 Nanoseconds() const { return ThreadCpuNanoseconds() - m_start; }

private:
    qint64 m_start;
};

// How many times larger the large input is than the small one.
inline constexpr int kGrowthStep = 16;

// The bound a test puts on the growth from an input to one sixteen times
// larger: six times what linear work takes, so that a machine whose memory
// other work keeps busy (which makes a large input several times slower than
// it is) stays well below it; still under half of what quadratic work takes.
inline constexpr double kLinearGrowthBound = 96.0;

// measure(size) prepares an input of that size, does the work on it and
// returns the CPU time of the work alone (see CCpuTimer). It is measured at
// `large` and at `large` / kGrowthStep, each size `tries` times; the result is
// how many times longer the fastest large try took than the fastest small one.
// A result over kLinearGrowthBound is measured again, up to five rounds, and
// the fastest tries of all rounds count.
double Growth(const std::function<qint64(int size)>& measure, int large, int tries = 5);
