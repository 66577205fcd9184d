#pragma once
// What every benchmark measures with: the steady clock, one timed run in
// milliseconds, and the median of a set of runs (the middle value; the
// mean of the two middle ones for an even count; 0 for none), which a
// stray slow run does not move.
#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> Values)
{
    if (Values.empty())
        return 0;
    std::sort(Values.begin(), Values.end());
    const size_t n = Values.size();
    return n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

template <class F>
double TimeMs(F&& Work)
{
    const auto start = Clock::now();
    Work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace bench
