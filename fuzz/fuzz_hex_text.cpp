// hex_text_to_bytes against a model of what strtol in base 16 makes of each
// pair of characters on its own.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "check.h"
#include "prom/hex_text.h"

namespace {

int hex_digit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool is_blank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// strtol("<first><second>", nullptr, 16): blanks and a sign may lead, a
// "0x" prefix without digits after it reads as 0, anything else stops.
long pair_value(unsigned char first, unsigned char second)
{
    int low = hex_digit(second);
    if (is_blank(first) || first == '+')
        return low < 0 ? 0 : low;
    if (first == '-')
        return low < 0 ? 0 : -low;
    int high = hex_digit(first);
    if (high < 0)
        return 0;
    return low < 0 ? high : high * 16 + low;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::size_t count = size / 2;
    // Exactly the bytes the function may touch, so that AddressSanitizer
    // sees any access beyond them.
    std::unique_ptr<char[]> text(new char[2 * count]);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[count]);
    for (std::size_t i = 0; i < 2 * count; ++i)
        text[i] = static_cast<char>(data[i]);
    hex_text_to_bytes(text.get(), bytes.get(), count);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char expected =
            static_cast<unsigned char>(pair_value(data[2 * i], data[2 * i + 1]) & 0xff);
        FUZZ_CHECK(bytes[i] == expected, "pair %zu (%02x %02x) gave %02x, expected %02x", i,
                   data[2 * i], data[2 * i + 1], bytes[i], expected);
    }
    return 0;
}
