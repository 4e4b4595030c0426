// The items of an identity file: the rows of the system PROM, the blade VPD
// and the Kestrel VPD, each family's members numbered one after the other,
// in the rows' order (the order promcfg asks them, of reports and of
// --show). Everything promcfg-apply knows of an item comes from its row.
#ifndef PROMCFG_APPLY_ITEMS_H
#define PROMCFG_APPLY_ITEMS_H

#include <string>

#include "bladevpd/identity_items.h"
#include "kestrel/identity_items.h"
#include "prom/identity_items.h"

struct ItemTable {
    const IdentityItem *rows;
    unsigned size;
};

template <unsigned N>
constexpr ItemTable table_of(const IdentityItem (&rows)[N])
{
    return {rows, N};
}

constexpr ItemTable item_tables[] = {
    table_of(system_identity_items),
    table_of(blade_identity_items),
    table_of(kestrel_identity_items),
};

namespace item_numbering {

constexpr bool same_name(const char *a, const char *b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The number of the first item of the row called `name`; the count of all
// items for null.
constexpr int first_of(const char *name)
{
    int number = 0;
    for (const ItemTable &table : item_tables)
        for (unsigned i = 0; i < table.size; ++i) {
            if (name && same_name(table.rows[i].name, name))
                return number;
            number += static_cast<int>(table.rows[i].count);
        }
    return name ? -1 : number;
}

}  // namespace item_numbering

constexpr int item_count = item_numbering::first_of(nullptr);
// The items the checks and the plan treat apart.
constexpr int item_product_id = item_numbering::first_of("product-id");
constexpr int item_subassembly_count = item_numbering::first_of("subassy-count");
constexpr int item_subassembly0 = item_numbering::first_of("subassy");
constexpr int item_asic_mac0 = item_numbering::first_of("asic-mac");
constexpr int item_mac0 = item_numbering::first_of("mac0");
constexpr int item_mac1 = item_numbering::first_of("mac1");
constexpr int item_wwn = item_numbering::first_of("wwn");
constexpr int item_chassis_sn = item_numbering::first_of("chassis-sn");
constexpr int item_clei = item_numbering::first_of("clei");
constexpr int item_chassis_type = item_numbering::first_of("chassis-type");
constexpr int item_vpd_hw_rev = item_numbering::first_of("vpd-hw-rev");
constexpr int item_ip_address = item_numbering::first_of("ip-address");
constexpr int item_kestrel_service_tag = item_numbering::first_of("kestrel-service-tag");
static_assert(item_product_id >= 0 && item_subassembly_count >= 0 && item_subassembly0 >= 0 && item_asic_mac0 >= 0 &&
                  item_mac0 >= 0 && item_mac1 >= 0 && item_wwn >= 0 && item_chassis_sn >= 0 && item_clei >= 0 &&
                  item_chassis_type >= 0 && item_vpd_hw_rev >= 0 && item_ip_address >= 0 &&
                  item_kestrel_service_tag >= 0,
              "the rows hold the items treated apart");

// An item's row, and its index in the row's family (0 for a single item).
struct ItemInfo {
    const IdentityItem *row;
    unsigned index;
};

// For 0 <= item; a null row from item_count on.
ItemInfo item_info(int item);
std::string item_name(int item);

// The index of `item` in the family whose first item is `first`, or -1.
int index_in_family(int item, int first);

// The item called `name` exactly (subassy3, asic-mac12), or -1.
int find_item(const std::string &name);

// The label of the question that asks the item, and of its display line.
std::string item_prompt(int item);
std::string item_display_label(int item);

#endif
