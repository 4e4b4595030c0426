#include "checked_number.h"

#include <charconv>

namespace promsim {

bool parse_number(const std::string &text, NumberForm form, long long min, long long max,
                  long long *value)
{
    const char *first = text.data(), *last = text.data() + text.size();
    int base = 10;
    if (form == NumberForm::signed_decimal && first != last && *first == '+')
        ++first;  // from_chars takes a '-' alone
    else if (form == NumberForm::decimal_or_hex && text.size() > 2 && text[0] == '0' &&
             (text[1] == 'x' || text[1] == 'X')) {
        first += 2;
        base = 16;
    }
    // A sign only where the form takes one, and only one.
    bool sign_taken = form == NumberForm::signed_decimal && first == text.data();
    if (first == last || *first == '+' || (*first == '-' && !sign_taken))
        return false;
    long long number = 0;
    std::from_chars_result read = std::from_chars(first, last, number, base);
    if (read.ec != std::errc() || read.ptr != last || number < min || number > max)
        return false;
    *value = number;
    return true;
}

bool parse_hex_pair(const char *pair, unsigned char *byte)
{
    unsigned number = 0;
    std::from_chars_result read = std::from_chars(pair, pair + 2, number, 16);
    if (read.ec != std::errc() || read.ptr != pair + 2)
        return false;
    *byte = static_cast<unsigned char>(number);
    return true;
}

}  // namespace promsim
