#include "apply/checks.h"

#include <cstdlib>

#include "apply/value_check.h"

void check_entries(const std::vector<Entry> &entries, const Identity &before, Wanted &wanted,
                   Problems &problems)
{
    wanted = Wanted();
    bool any_subassembly = false;
    for (const Entry &entry : entries) {
        std::string reason = check_value(entry.item, entry.value, wanted.answer[entry.item]);
        if (!reason.empty()) {
            problems.add(entry.line, entry.item, reason);
            continue;
        }
        wanted.given[entry.item] = true;
        wanted.line[entry.item] = entry.line;
        any_subassembly = any_subassembly || index_in_family(entry.item, item_subassembly0) >= 0;
    }

    // Validated above: 1 to 8.
    unsigned long count = wanted.given[item_subassembly_count]
                              ? strtoul(wanted.answer[item_subassembly_count].c_str(), nullptr, 10)
                              : 0;
    if (count > 0 && !any_subassembly)
        problems.add(wanted.line[item_subassembly_count], item_subassembly_count,
                     "promcfg writes the count only with a subassembly ID: give " +
                         (count == 1 ? std::string("subassy0") : "one of subassy0 to subassy" + std::to_string(count - 1)));
    for (int item = item_subassembly0; count > 0 && index_in_family(item, item_subassembly0) >= 0; ++item)
        if (wanted.given[item] && static_cast<unsigned long>(index_in_family(item, item_subassembly0)) >= count)
            problems.add(wanted.line[item], item,
                         "beyond subassy-count " + std::to_string(count) + " (line " +
                             std::to_string(wanted.line[item_subassembly_count]) + ")");

    // No ASIC MAC line on the display may be a product without ASIC MACs or
    // a count the platform failed to give: only promcfg's questions tell.
    const std::string &product = before.value[item_product_id];
    wanted.asic_count_known = before.asic_macs > 0 &&
                              (!wanted.given[item_product_id] ||
                               (before.defined[item_product_id] && product == wanted.answer[item_product_id]));
    wanted.asic_macs = before.asic_macs;
    for (int item = item_asic_mac0; wanted.asic_count_known && index_in_family(item, item_asic_mac0) >= 0; ++item) {
        if (!wanted.given[item] || static_cast<unsigned long>(index_in_family(item, item_asic_mac0)) < wanted.asic_macs)
            continue;
        std::string on = before.defined[item_product_id] ? "product " + product : "the switch (no product ID)";
        problems.add(wanted.line[item], item,
                     "beyond the " + std::to_string(wanted.asic_macs) + " ASIC MACs promcfg asks for on " + on);
    }
}
