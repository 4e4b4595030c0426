#include "apply/items.h"

#include <cstring>

#include "apply/value_check.h"

namespace {

struct NamedItem {
    const char *name;
    int item;
};

constexpr NamedItem single_items[] = {
    {"mac0", item_mac0},
    {"mac1", item_mac1},
    {"wwn", item_wwn},
    {"vwwn", item_vwwn},
    {"product-id", item_product_id},
    {"product-code", item_product_code},
    {"board-sn", item_board_sn},
    {"subassy-count", item_subassembly_count},
    {"chassis-sn", item_chassis_sn},
    {"clei", item_clei},
};

// The items numbered by an index: subassy0 to subassy7, asic-mac0 to asic-mac47.
struct IndexedItems {
    const char *prefix;
    int first;
    unsigned count;
};

constexpr IndexedItems indexed_items[] = {
    {"subassy", item_subassembly0, board_max_subassemblies},
    {"asic-mac", item_asic_mac0, board_max_asic_macs},
};

}  // namespace

ItemInfo item_info(int item)
{
    if (item <= item_vwwn)
        return {ItemKind::hex, Group::system, system_prompts[item].bytes};
    if (item == item_product_id)
        return {ItemKind::product_id, Group::board, 0};
    if (item == item_subassembly_count)
        return {ItemKind::subassembly_count, Group::board, 0};
    if (item >= item_asic_mac0 && item < item_chassis_sn)
        return {ItemKind::hex, Group::board, 6};
    if (item == item_chassis_sn || item == item_clei)
        return {ItemKind::text, Group::chassis,
                static_cast<unsigned>(chassis_prompts[item - item_chassis_sn].max_length)};
    return {ItemKind::text, Group::board, static_cast<unsigned>(board_text_max)};
}

std::string item_name(int item)
{
    for (const NamedItem &single : single_items)
        if (single.item == item)
            return single.name;
    for (const IndexedItems &row : indexed_items)
        if (item >= row.first && item < row.first + static_cast<int>(row.count))
            return row.prefix + std::to_string(item - row.first);
    return "?";
}

int find_item(const std::string &name)
{
    for (const NamedItem &single : single_items)
        if (name == single.name)
            return single.item;
    for (const IndexedItems &row : indexed_items) {
        std::size_t length = strlen(row.prefix);
        long long index = 0;
        // The index as promsim writes it: no sign, no leading zero.
        if (name.compare(0, length, row.prefix) != 0 || name.size() == length ||
            (name[length] == '0' && name.size() > length + 1) ||
            !parse_decimal(name.c_str() + length, 0, row.count - 1, index) || name[length] == '-')
            continue;
        return row.first + static_cast<int>(index);
    }
    return -1;
}
