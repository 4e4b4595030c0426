// The one reader of numbers typed by people and test hooks (promsim's
// arguments, PROMSIM_FAIL, PROMSIM_ASIC_MACS), and the range checks behind
// every offset and length: pure functions, safe with a 32-bit size_t.
#ifndef PROMSIM_CHECKED_NUMBER_H
#define PROMSIM_CHECKED_NUMBER_H

#include <cstddef>
#include <string>

namespace promsim {

enum class NumberForm {
    decimal,         // digits only
    signed_decimal,  // an optional '-' or '+', then digits
    decimal_or_hex,  // digits, or "0x" / "0X" and hexadecimal digits
};

// The whole of `text` read as a number of `form` within [min, max]: true
// with *value, or false (*value untouched) for anything else: empty text,
// blanks, other characters, a sign the form does not take, a value outside
// the range however many digits it has. Never overflows.
bool parse_number(const std::string &text, NumberForm form, long long min, long long max,
                  long long *value);

// The byte that two hexadecimal digits (either case, no sign) at `pair` give:
// true with *byte, or false (*byte untouched).
bool parse_hex_pair(const char *pair, unsigned char *byte);

// True when `length` bytes from `offset` lie within `size` bytes; never
// computes offset + length.
inline bool range_within(std::size_t offset, std::size_t length, std::size_t size)
{
    return offset <= size && length <= size - offset;
}

// The same for the signed offsets and lengths of the platform calls;
// negative ones are outside.
inline bool call_range_within(long long offset, long long length, std::size_t size)
{
    return offset >= 0 && length >= 0 && static_cast<unsigned long long>(offset) <= size &&
           static_cast<unsigned long long>(length) <= size - static_cast<std::size_t>(offset);
}

}  // namespace promsim

#endif
