// A property that a fuzz target checks: a violation is reported with the
// values involved and aborts, so both engines record the input as a crash.
#ifndef PROMCFG_FUZZ_CHECK_H
#define PROMCFG_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                 \
    do {                                                                           \
        if (!(condition)) {                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, \
                         #condition);                                              \
            std::fprintf(stderr, __VA_ARGS__);                                     \
            std::fprintf(stderr, "\n");                                            \
            std::abort();                                                          \
        }                                                                          \
    } while (0)

#endif
