// Reading the identity back from promcfg's display of the system PROM (-P).
#ifndef PROMCFG_APPLY_DISPLAY_PARSER_H
#define PROMCFG_APPLY_DISPLAY_PARSER_H

#include <string>

#include "apply/byte_rows.h"
#include "apply/items.h"
#include "prom/display_labels.h"

// The longest text the display shows: a longer one in the PROM shows cut.
constexpr std::size_t display_text_max = display_value_size - 1;

struct Identity {
    bool shown[item_count] = {};    // the display has a line for the item
    bool defined[item_count] = {};  // ... that does not read as undefined
    // As a file would give it: hex in lowercase without separators, numbers
    // in decimal, texts as the PROM holds them (also non-printable bytes).
    std::string value[item_count];
    // The ASIC MAC lines shown: the count the platform gives for the
    // product the PROM holds (0 when it gives none).
    unsigned long asic_macs = 0;
    // The records that copy system items, where the layout finds them:
    // whether the blade VPD and the Kestrel VPD hold a set-up record, and
    // the bytes their dumps showed.
    bool blade_record = false;
    bool kestrel_record = false;
    ByteMap blade_bytes, kestrel_bytes;
};

// Parses the whole output of promcfg -P. False when it is not the display
// (an item line that every display has is missing).
bool parse_display(const std::string &out, Identity &identity);

// False when no item reads: a blank, erased or damaged system PROM, which
// the display cannot tell apart.
bool shows_any_item(const Identity &identity);

#endif
