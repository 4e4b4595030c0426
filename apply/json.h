// Writing JSON for inventory tools.
#ifndef PROMCFG_APPLY_JSON_H
#define PROMCFG_APPLY_JSON_H

#include <string>

// `text` as a JSON string: quoted, with '"', '\' and every byte outside
// printable ASCII escaped (a byte above 0x7f as the character of that
// number), so that the output is valid UTF-8 whatever the PROM holds.
std::string json_string(const std::string &text);

// An item's value: null when undefined, a number for the product ID and
// the subassembly count, else a string.
std::string json_item_value(int item, const std::string &value, bool defined);

#endif
