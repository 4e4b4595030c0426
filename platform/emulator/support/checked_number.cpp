#include "checked_number.h"

namespace promsim {
namespace {

// Sign and magnitude of the whole text. The magnitude never passes the
// limit of its sign (the largest the caller can take), checked before each
// digit is added, so it cannot wrap.
bool read_magnitude(const std::string &text, NumberForm form, unsigned long long positive_limit,
                    unsigned long long negative_limit, bool *negative,
                    unsigned long long *magnitude)
{
    std::size_t at = 0;
    *negative = false;
    if (form == NumberForm::signed_decimal && !text.empty() && (text[0] == '-' || text[0] == '+')) {
        *negative = text[0] == '-';
        at = 1;
    }
    unsigned base = 10;
    if (form == NumberForm::decimal_or_hex && text.size() > 2 && text[0] == '0' &&
        (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        at = 2;
    }
    if (at == text.size())
        return false;
    unsigned long long limit = *negative ? negative_limit : positive_limit, v = 0;
    for (; at < text.size(); ++at) {
        int digit = digit_value(text[at], base);
        if (digit < 0)
            return false;
        unsigned long long d = static_cast<unsigned>(digit);
        if (d > limit || v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    *magnitude = v;
    return true;
}

}  // namespace

int digit_value(char c, unsigned base)
{
    unsigned v = c >= '0' && c <= '9'   ? unsigned(c - '0')
                 : c >= 'a' && c <= 'f' ? unsigned(c - 'a' + 10)
                 : c >= 'A' && c <= 'F' ? unsigned(c - 'A' + 10)
                                        : 99u;
    return v < base ? static_cast<int>(v) : -1;
}

bool parse_number(const std::string &text, NumberForm form, long long min, long long max,
                  long long *value)
{
    if (min > max)
        return false;
    // The largest magnitudes each sign may reach, as unsigned values.
    unsigned long long positive_limit = max < 0 ? 0 : static_cast<unsigned long long>(max);
    unsigned long long negative_limit = min >= 0 ? 0 : 0ull - static_cast<unsigned long long>(min);
    bool negative;
    unsigned long long magnitude;
    if (!read_magnitude(text, form, positive_limit, negative_limit, &negative, &magnitude))
        return false;
    // magnitude - 1 fits a long long whatever the sign: min's magnitude too.
    long long v = magnitude == 0 ? 0 : static_cast<long long>(magnitude - 1);
    v = magnitude == 0 ? 0 : negative ? -v - 1 : v + 1;
    if (v < min || v > max)
        return false;
    *value = v;
    return true;
}

}  // namespace promsim
