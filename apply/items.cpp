#include "apply/items.h"

#include <cstdio>
#include <cstring>

#include "apply/number_text.h"

namespace {

std::string formatted(const char *format, unsigned number)
{
    char label[100];
    snprintf(label, sizeof label, format, static_cast<int>(number));
    return label;
}

}  // namespace

ItemInfo item_info(int item)
{
    // Asked for every item in every loop: each item's row, found once.
    static ItemInfo rows[item_count];
    static bool found = false;
    if (!found) {
        int number = 0;
        for (const ItemTable &table : item_tables)
            for (unsigned i = 0; i < table.size; ++i)
                for (unsigned index = 0; index < table.rows[i].count; ++index)
                    rows[number++] = {&table.rows[i], index};
        found = true;
    }
    if (item < 0 || item >= item_count)
        return {nullptr, 0};
    return rows[item];
}

std::string item_name(int item)
{
    ItemInfo info = item_info(item);
    return info.row->count == 1 ? info.row->name : info.row->name + std::to_string(info.index);
}

int index_in_family(int item, int first)
{
    // Past the last item there is no row, and so no family.
    if (item < 0)
        return -1;
    ItemInfo family = item_info(first), member = item_info(item);
    return member.row == family.row ? static_cast<int>(member.index) : -1;
}

int find_item(const std::string &name)
{
    for (int first = 0; item_info(first).row; first += static_cast<int>(item_info(first).row->count)) {
        const IdentityItem &row = *item_info(first).row;
        std::size_t length = strlen(row.name);
        long long index = 0;
        if (row.count == 1 && name == row.name)
            return first;
        // A family's index as promsim writes it: no sign, no leading zero.
        if (row.count > 1 && name.compare(0, length, row.name) == 0 && name.size() > length &&
            !(name[length] == '0' && name.size() > length + 1) && name[length] != '-' &&
            parse_decimal(name.c_str() + length, 0, row.count - 1, index))
            return first + static_cast<int>(index);
    }
    return -1;
}

std::string item_prompt(int item)
{
    ItemInfo info = item_info(item);
    switch (info.row->prompt_argument) {
    case PromptArgument::limit:
        return formatted(info.row->prompt, info.row->limit);
    case PromptArgument::index:
        return formatted(info.row->prompt, info.index);
    case PromptArgument::none:
        break;
    }
    return info.row->prompt ? info.row->prompt : "";
}

std::string item_display_label(int item)
{
    ItemInfo info = item_info(item);
    if (!info.row->display)
        return "";
    return info.row->count == 1 ? info.row->display : formatted(info.row->display, info.index);
}
