// Numbers and bytes in text, read whole: the readers behind the identity
// file's values, the display's lines and the command line.
#ifndef PROMCFG_APPLY_NUMBER_TEXT_H
#define PROMCFG_APPLY_NUMBER_TEXT_H

#include <string>

// True when all of `text` is one decimal number (an optional '-', then
// digits; no blanks) from min to max, stored in `value`.
bool parse_decimal(const char *text, long long min, long long max, long long &value);

// True when all of `text` is hexadecimal digits (either case; no sign, no
// "0x", at most 15 of them) of a number up to max, stored in `value`.
bool parse_hex(const char *text, long long max, long long &value);

// True when `digits` is pairs of hexadecimal digits (either case) and
// nothing else, stored as one byte a pair in `bytes`.
bool hex_to_bytes(const std::string &digits, std::string &bytes);

#endif
