// Checking an identity file against the answer rules and the switch as
// read, before anything is written.
#ifndef PROMCFG_APPLY_CHECKS_H
#define PROMCFG_APPLY_CHECKS_H

#include <string>
#include <vector>

#include "apply/display_parser.h"
#include "apply/identity_file.h"
#include "apply/items.h"
#include "apply/problems.h"

// What the file asks for, checked.
struct Wanted {
    bool given[item_count] = {};
    std::string answer[item_count];  // as promcfg is to be given it, and as it reads back
    unsigned long line[item_count] = {};
    // The ASIC MAC count of the product that the board data will name is
    // known before writing when the file keeps the switch's product and the
    // display shows its ASIC MACs; else only promcfg's questions tell.
    bool asic_count_known = true;
    unsigned long asic_macs = 0;
};

// Checks every entry, and the entries together: a subassembly beyond the
// subassembly count, a count with no subassembly ID (promcfg writes the
// count only with one), an ASIC MAC beyond the known count.
void check_entries(const std::vector<Entry> &entries, const Identity &before, Wanted &wanted,
                   Problems &problems);

#endif
