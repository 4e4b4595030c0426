// strtol as the switch's 32-bit C library does it.
#ifndef PROMCFG_DRIVER_GROUND_STRTOL32_H
#define PROMCFG_DRIVER_GROUND_STRTOL32_H

#include <cstdint>
#include <cstdlib>

// A number out of range gives INT32_MAX or INT32_MIN, as strtol does where
// long has 32 bits, so a 64-bit build reads answers as the switch does.
inline int32_t strtol32(const char *text, int base)
{
    long value = strtol(text, nullptr, base);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

#endif
