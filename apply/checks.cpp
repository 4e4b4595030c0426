#include "apply/checks.h"

#include <cstdlib>

#include "apply/number_text.h"
#include "apply/session_reading.h"

#include "apply/value_check.h"
#include "bladevpd/blade_products.h"
#include "kestrel/identity_items.h"

namespace {

// The switch's own product ID, which the product table may not know (the
// Kestrel product), is taken as it is: it is kept, not written.
bool is_own_product(int item, const std::string &value, const Identity &before, std::string &answer)
{
    long long number = 0;
    if (item != item_product_id || !before.defined[item] || !parse_decimal(value.c_str(), INT32_MIN, INT32_MAX, number) ||
        std::to_string(number) != before.value[item])
        return false;
    answer = before.value[item];
    return true;
}

bool changes(const Wanted &wanted, const Identity &before, int item)
{
    return wanted.given[item] && (!before.defined[item] || before.value[item] != wanted.answer[item]);
}

struct RecordRule {
    ItemDialogue dialogue;
    const char *name;
    bool (*serves)(long product);
    // The system items the record copies on product 59 and on the others.
    int copies[6];
};

bool blade_product(long product)
{
    return find_blade_product(static_cast<int32_t>(product)) != nullptr;
}

bool kestrel_product(long product)
{
    return product == kestrel_product_id;
}

constexpr RecordRule record_rules[] = {
    {ItemDialogue::blade_setup, "the blade VPD record", blade_product,
     {item_mac0, item_mac1, item_wwn, item_chassis_sn, item_clei, item_product_id}},
    {ItemDialogue::kestrel_setup, "the Kestrel VPD record", kestrel_product, {item_mac0, item_chassis_sn, -1, -1, -1, -1}},
};

// The system items a record copies that the file changes: "the record
// copies mac0, wwn, which the file changes", or "".
std::string changed_copies(const RecordRule &rule, const Wanted &wanted, const Identity &before)
{
    std::string names;
    const BladeProduct *blade = find_blade_product(static_cast<int32_t>(wanted.product));
    for (int item : rule.copies) {
        // MAC 1 is copied on the product with two MACs alone.
        bool copied = item >= 0 && (item != item_mac1 || (blade && blade->two_macs));
        if (copied && changes(wanted, before, item))
            names += (names.empty() ? "" : ", ") + item_name(item);
    }
    return names.empty() ? "" : "the record copies " + names + ", which the file changes";
}

// A record is written whole: the fields the file leaves out keep their
// values, read first. A record the file names nothing of is written again
// when it copies an item the file changes.
void check_record(const RecordRule &rule, const Identity &before, const Layout *layout, Wanted &wanted,
                  Problems &problems)
{
    unsigned long first_line = 0;
    int first_item = -1;
    std::string missing;
    for (int item = 0; item < item_count; ++item)
        if (item_info(item).row->dialogue == rule.dialogue) {
            if (wanted.given[item] && first_item < 0) {
                first_line = wanted.line[item];
                first_item = item;
            }
            if (!wanted.given[item])
                missing += (missing.empty() ? "" : ", ") + item_name(item);
        }
    bool present = rule.dialogue == ItemDialogue::blade_setup ? before.blade_record : before.kestrel_record;
    bool kestrel = rule.dialogue == ItemDialogue::kestrel_setup;
    std::string copies = first_item < 0 && rule.serves(wanted.product) ? changed_copies(rule, wanted, before) : "";
    // A record whose copies already differ is written again too.
    if (first_item < 0 && copies.empty() && layout && present && rule.serves(wanted.product)) {
        std::string stale = copies_differ(before, *layout, kestrel);
        copies = stale.empty() ? "" : "the record's " + stale;
    }
    if (first_item < 0 && (copies.empty() || (layout && !present)))
        return;  // nothing to write: no record holds the copies
    if (first_item < 0) {
        first_item = item_product_id;
        for (int item : rule.copies)
            if (item >= 0 && changes(wanted, before, item) && wanted.line[item] > first_line)
                first_line = wanted.line[item], first_item = item;
    }
    for (int item = 0; item < item_count && !missing.empty(); ++item) {
        if (item_info(item).row->dialogue != rule.dialogue || wanted.given[item])
            continue;
        std::string why;
        // A switch that was no such product before has no record to keep.
        bool was_served = before.defined[item_product_id] &&
                          rule.serves(strtol(before.value[item_product_id].c_str(), nullptr, 10));
        if (!item_readable(item, layout)) {
            why = std::string(rule.name) + " is written whole, and " + item_name(item) +
                  " cannot be read to keep it " + (layout ? "(the layout has no place for it)" : "(no layout: see --layout)") +
                  ": give " + missing;
        } else if (!before.shown[item] && was_served) {
            why = std::string(rule.name) + " is written whole, and " + item_name(item) +
                  " could not be read to keep it: give " + missing;
        } else if (present && before.defined[item] && !before.value[item].empty()) {
            std::string current = file_form(item, before.value[item]);
            std::string refused = check_value(item, current, wanted.keep[item]);
            if (!refused.empty())
                why = std::string(rule.name) + " is written whole, and the value of " + item_name(item) + " (" +
                      printable(current) + ") cannot be answered to keep it: " + refused + "; give it";
        }
        if (!why.empty()) {
            problems.add(first_line, first_item, copies.empty() ? why : copies + ", so " + why);
            return;
        }
    }
    if (!kestrel)
        wanted.blade_rewrite = copies;
    else
        wanted.kestrel_rewrite = copies;
}

}  // namespace

void check_entries(const std::vector<Entry> &entries, const Identity &before, const Layout *layout, Wanted &wanted,
                   Problems &problems)
{
    wanted = Wanted();
    bool any_subassembly = false;
    for (const Entry &entry : entries) {
        std::string reason = is_own_product(entry.item, entry.value, before, wanted.answer[entry.item])
                                 ? ""
                                 : check_value(entry.item, entry.value, wanted.answer[entry.item]);
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

    // The product after the writes decides which VPD it has.
    wanted.product_known = wanted.given[item_product_id] || before.defined[item_product_id];
    wanted.product = wanted.product_known ? strtol((wanted.given[item_product_id] ? wanted.answer : before.value)[item_product_id].c_str(), nullptr, 10) : 0;
    std::string on = wanted.product_known ? "product " + std::to_string(wanted.product) : "a switch without a product ID";
    // The addresses the file names, whether their values passed or not.
    unsigned addresses = 0;
    for (const Entry &entry : entries)
        addresses += item_info(entry.item).row->kind == ItemKind::address;
    for (int item = 0; item < item_count; ++item) {
        const IdentityItem &row = *item_info(item).row;
        if (!wanted.given[item] || row.prom == ItemProm::system)
            continue;
        if (row.prom == ItemProm::blade_vpd && !blade_product(wanted.product))
            problems.add(wanted.line[item], item, "no blade VPD on " + on + " (the blade products are 34, 35, 43, 47, 53 and 59)");
        if (row.prom == ItemProm::kestrel && !kestrel_product(wanted.product))
            problems.add(wanted.line[item], item, "no Kestrel VPD on " + on + " (the Kestrel product is 38)");
    }
    for (int item = item_ip_address; addresses > 0 && addresses < 3 && item_info(item).row->kind == ItemKind::address; ++item)
        if (wanted.given[item])
            problems.add(wanted.line[item], item, "promcfg writes the address, the gateway and the netmask together: "
                                                  "give ip-address, ip-gateway and ip-netmask");
    if (problems.total > 0)
        return;
    for (const RecordRule &rule : record_rules)
        check_record(rule, before, layout, wanted, problems);
}

bool copies_change(const Wanted &wanted, const Identity &before, ItemDialogue record)
{
    for (const RecordRule &rule : record_rules)
        if (rule.dialogue == record && rule.serves(wanted.product))
            return !changed_copies(rule, wanted, before).empty();
    return false;
}
