// strtol32 against strtol clamped to 32 bits, and both against a model of
// the C library's number reading, in every base strtol accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "check.h"
#include "driver/ground/strtol32.h"

namespace {

int digit_value(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool is_blank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Blanks, a sign, the base's prefix ("0x" for 16 or 0, "0" for octal in
// base 0), then digits; the magnitude saturates once past 32 bits.
int32_t model(const char *text, int base)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    while (is_blank(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        if (digit_value(p[2]) < 16)
            p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == '0' ? 8 : 10;
    }
    uint64_t magnitude = 0;
    for (; digit_value(*p) < base; ++p) {
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit_value(*p));
        if (magnitude > (uint64_t{1} << 32))
            magnitude = uint64_t{1} << 32;
    }
    if (negative)
        return magnitude >= (uint64_t{1} << 31) ? INT32_MIN
                                                 : -static_cast<int32_t>(magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the base: 0 or 2 to 36, mostly the tool's own 10 and 16.
    int base = data[0] % 40;
    if (base == 1 || base > 36)
        base = base % 2 ? 10 : 16;
    std::string text(reinterpret_cast<const char *>(data + 1), size - 1);

    int32_t got = strtol32(text.c_str(), base);
    long wide = strtol(text.c_str(), nullptr, base);
    int32_t clamped = wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : static_cast<int32_t>(wide);
    FUZZ_CHECK(got == clamped, "base %d: %d, strtol clamped %d", base, got, clamped);
    int32_t expected = model(text.c_str(), base);
    FUZZ_CHECK(got == expected, "base %d: %d, model %d", base, got, expected);
    return 0;
}
