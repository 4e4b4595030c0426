#include "apply/json.h"

#include <cstdio>

#include "apply/items.h"

std::string json_string(const std::string &text)
{
    std::string json = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte >= 0x20 && byte <= 0x7e) {
            json += c;
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        }
    }
    return json + "\"";
}

std::string json_item_value(int item, const std::string &value, bool defined)
{
    if (!defined)
        return "null";
    ItemKind kind = item_info(item).row->kind;
    if (kind == ItemKind::product_id || kind == ItemKind::subassembly_count || kind == ItemKind::decimal)
        return value;  // a decimal number, checked when read
    return json_string(value);
}
