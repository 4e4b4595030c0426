// The items of an identity file: the system PROM's rows, each family's
// members numbered one after the other, in the rows' order (the order
// promcfg asks them, of reports and of --show). Everything promcfg-apply
// knows of an item comes from its row.
#ifndef PROMCFG_APPLY_ITEMS_H
#define PROMCFG_APPLY_ITEMS_H

#include <string>

#include "prom/identity_items.h"

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
    for (const IdentityItem &row : system_identity_items) {
        if (name && same_name(row.name, name))
            return number;
        number += static_cast<int>(row.count);
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
static_assert(item_product_id >= 0 && item_subassembly_count >= 0 && item_subassembly0 >= 0 && item_asic_mac0 >= 0,
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
