// Milliseconds of the monotonic clock, for deadlines that a change of the
// wall clock does not move.
#ifndef PROMCFG_APPLY_MONOTONIC_CLOCK_H
#define PROMCFG_APPLY_MONOTONIC_CLOCK_H

#include <ctime>

inline long long now_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

inline long long deadline_after(long seconds)
{
    return now_ms() + static_cast<long long>(seconds) * 1000;
}

#endif
