// parse_dotted_quad against a model of scanf's "%u.%u.%u.%u": blanks may
// lead each number, a sign may lead its digits, the dots must follow the
// numbers at once, and each number keeps its low 8 bits.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "bladevpd/mgmt_data.h"
#include "check.h"

namespace {

bool is_blank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One %u: false when no digits follow the blanks and sign. A magnitude past
// unsigned long reads as ULONG_MAX, as strtoul gives it; a negative one is
// negated in unsigned long arithmetic.
bool read_number(const unsigned char *&p, unsigned char *low_byte)
{
    while (is_blank(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    unsigned long value = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        unsigned digit = static_cast<unsigned>(*p - '0');
        if (value > (ULONG_MAX - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    }
    if (overflow)
        value = ULONG_MAX;
    else if (negative)
        value = 0 - value;
    *low_byte = static_cast<unsigned char>(value & 0xff);
    return true;
}

bool model(const char *line, unsigned char address[4])
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(line);
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *p++ != '.')
            return false;
        if (!read_number(p, &address[i]))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string line(reinterpret_cast<const char *>(data), size);  // ends at a NUL
    const unsigned char untouched[4] = {0xa5, 0x5a, 0xc3, 0x3c};
    unsigned char got[4], expected[4];
    std::memcpy(got, untouched, 4);
    std::memcpy(expected, untouched, 4);

    bool parsed = parse_dotted_quad(line.c_str(), got);
    bool ok = model(line.c_str(), expected);
    FUZZ_CHECK(parsed == ok, "parsed %d, model %s", parsed, ok ? "accepts" : "rejects");
    if (!ok)
        FUZZ_CHECK(std::memcmp(got, untouched, 4) == 0, "address changed on a rejected line");
    else
        FUZZ_CHECK(std::memcmp(got, expected, 4) == 0, "%u.%u.%u.%u, model %u.%u.%u.%u", got[0],
                   got[1], got[2], got[3], expected[0], expected[1], expected[2], expected[3]);
    return 0;
}
