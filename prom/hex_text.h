// Turning an operator's hexadecimal answer into bytes.
#ifndef PROMCFG_PROM_HEX_TEXT_H
#define PROMCFG_PROM_HEX_TEXT_H

#include <cstddef>

// Makes `count` bytes from the first 2 * count characters of `text`: each
// pair is converted by strtol in base 16 on its own and its low 8 bits kept.
// Characters are not checked, so a pair strtol cannot read gives 0.
void hex_text_to_bytes(const char *text, unsigned char *bytes, std::size_t count);

// Asks `prompt` until the answer is empty (returns false, bytes untouched)
// or has exactly 2 * count characters (returns true with the bytes).
bool ask_hex_value(const char *prompt, unsigned char *bytes, std::size_t count);

#endif
