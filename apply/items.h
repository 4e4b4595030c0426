// The items of an identity file, named as promsim names them, numbered in
// the order promcfg asks them (the order of reports and of --show).
#ifndef PROMCFG_APPLY_ITEMS_H
#define PROMCFG_APPLY_ITEMS_H

#include <string>

#include "prom/entry_prompts.h"

enum class ItemKind {
    hex,                // bytes in hexadecimal: MACs and WWNs
    product_id,         // a decimal ID with a row in the product table
    subassembly_count,  // decimal, 1 to 8
    text,               // printable text of at most `limit` characters
};

// The entry dialogue that asks the item: promcfg -s, -b or -c.
enum class Group { system, board, chassis };

constexpr int item_mac0 = 0;
constexpr int item_mac1 = 1;
constexpr int item_wwn = 2;
constexpr int item_vwwn = 3;
constexpr int item_product_id = 4;
constexpr int item_product_code = 5;
constexpr int item_board_sn = 6;
constexpr int item_subassembly_count = 7;
constexpr int item_subassembly0 = 8;
constexpr int item_asic_mac0 = item_subassembly0 + static_cast<int>(board_max_subassemblies);
constexpr int item_chassis_sn = item_asic_mac0 + static_cast<int>(board_max_asic_macs);
constexpr int item_clei = item_chassis_sn + 1;
constexpr int item_count = item_clei + 1;

struct ItemInfo {
    ItemKind kind;
    Group group;
    unsigned limit;  // bytes of a hex item, longest text of a text item
};

// For 0 <= item < item_count.
ItemInfo item_info(int item);
std::string item_name(int item);

// The item called `name` exactly (subassy3, asic-mac12), or -1.
int find_item(const std::string &name);

#endif
