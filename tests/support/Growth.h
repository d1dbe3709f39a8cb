// How work grows with its input, measured so that a busy machine cannot fail
// a test: the CPU time of this thread (not the wall clock), the fastest of a
// few tries, compared between a small input and one eight times larger.
// Work linear in its input grows about 8 times, quadratic work about 64.
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

// The bound a test puts on the growth from an input to one eight times
// larger: four times what linear work takes, half of what quadratic work
// takes, so that neither noise nor the machine's load comes near it.
inline constexpr double kLinearGrowthBound = 32.0;

// measure(size) prepares an input of that size, does the work on it and
// returns the CPU time of the work alone (see CCpuTimer). Each size is
// measured `tries` times and its fastest try counts;
// the result is how many times longer the large size took than the small one.
// A result over kLinearGrowthBound is measured again, up to three rounds, and
// the smallest counts.
double Growth(const std::function<qint64(int size)>& measure, int small, int large,
              int tries = 5);
