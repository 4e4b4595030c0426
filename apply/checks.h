// Checking an identity file against the answer rules and the switch as
// read, before anything is written.
#ifndef PROMCFG_APPLY_CHECKS_H
#define PROMCFG_APPLY_CHECKS_H

#include <string>
#include <vector>

#include "apply/display_parser.h"
#include "apply/identity_file.h"
#include "apply/items.h"
#include "apply/layout.h"
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
    // The product the switch is after the writes, if known.
    long product = 0;
    bool product_known = false;
    // A record item the file leaves out: the answer that keeps its value
    // ("" for a zero field).
    std::string keep[item_count];
    // A record the file names nothing of, written again because it copies
    // items the file changes: which ("copies mac0, wwn"); "" when not.
    std::string blade_rewrite, kestrel_rewrite;
};

// Checks every entry, and the entries together: a subassembly beyond the
// subassembly count, a count with no subassembly ID (promcfg writes the
// count only with one), an ASIC MAC beyond the known count, items of a PROM
// the product has not, addresses given apart, record fields that cannot be
// kept. `layout` (or null) is how the switch's records were read.
void check_entries(const std::vector<Entry> &entries, const Identity &before, const Layout *layout, Wanted &wanted,
                   Problems &problems);

// Whether the file changes a system item that the record of `record`
// (the blade or the Kestrel VPD set-up) copies, on a product that has it.
bool copies_change(const Wanted &wanted, const Identity &before, ItemDialogue record);

#endif
