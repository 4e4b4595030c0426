#include "apply/number_text.h"

#include <charconv>
#include <cstring>

bool parse_decimal(const char *text, long long min, long long max, long long &value)
{
    const char *end = text + strlen(text);
    long long number = 0;
    std::from_chars_result read = std::from_chars(text, end, number);
    if (read.ec != std::errc() || read.ptr != end || number < min || number > max)
        return false;
    value = number;
    return true;
}

bool parse_hex(const char *text, long long max, long long &value)
{
    const char *end = text + strlen(text);
    long long number = 0;
    // from_chars alone would take a sign.
    if (text == end || *text == '-' || end - text > 15)
        return false;
    std::from_chars_result read = std::from_chars(text, end, number, 16);
    if (read.ec != std::errc() || read.ptr != end || number > max)
        return false;
    value = number;
    return true;
}

bool hex_to_bytes(const std::string &digits, std::string &bytes)
{
    if (digits.size() % 2 != 0)
        return false;
    std::string read;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        // Two digits each: from_chars alone would take a sign, or fewer.
        unsigned byte = 0;
        const char *pair = digits.data() + i;
        std::from_chars_result result = std::from_chars(pair, pair + 2, byte, 16);
        if (result.ec != std::errc() || result.ptr != pair + 2)
            return false;
        read += static_cast<char>(byte);
    }
    bytes = read;
    return true;
}
