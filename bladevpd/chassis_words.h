// The chassis type codes, the words of -x that set them and the names the
// set-up reports them by. Code 5 and codes above 7 have neither.
#ifndef PROMCFG_BLADEVPD_CHASSIS_WORDS_H
#define PROMCFG_BLADEVPD_CHASSIS_WORDS_H

#include <cstdint>

struct ChassisWord {
    const char *word;  // as -x takes it, in any case
    uint32_t value;
};

// In the order the usage text names them; "bce-r" is accepted but named
// neither there nor in the error.
constexpr ChassisWord chassis_words[] = {
    {"telco", 1}, {"bc1", 0}, {"bce-r", 6}, {"bc2", 3}, {"bc10", 7}, {"ht", 2}, {"bcs", 4},
};

// The word of a code, or null.
constexpr const char *chassis_word_of(long code)
{
    for (const ChassisWord &entry : chassis_words)
        if (static_cast<long>(entry.value) == code)
            return entry.word;
    return nullptr;
}

#endif
