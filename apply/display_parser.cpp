#include "apply/display_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "apply/value_check.h"

namespace {

struct LabelledItem {
    const char *label;
    int item;
};

// The lines every display has, whatever the PROM holds.
constexpr LabelledItem fixed_lines[] = {
    {display_ethernet_mac, item_mac0},         {display_ethernet2_mac, item_mac1},
    {display_switch_wwn, item_wwn},            {display_switch_vwwn, item_vwwn},
    {display_product_id, item_product_id},     {display_product_code, item_product_code},
    {display_board_sn, item_board_sn},         {display_subassembly_count, item_subassembly_count},
    {display_chassis_sn, item_chassis_sn},     {display_clei, item_clei},
};

// The item that a line's label names, or -1. An ASIC MAC line past the
// items that a file can name gives item_count, to be counted only.
int item_of_label(const std::string &label)
{
    for (const LabelledItem &line : fixed_lines)
        if (label == line.label)
            return line.item;
    char formatted[40];
    for (unsigned i = 0; i < board_max_subassemblies; ++i) {
        snprintf(formatted, sizeof formatted, display_subassembly_format, static_cast<int>(i));
        if (label == formatted)
            return item_subassembly0 + static_cast<int>(i);
    }
    // "ASIC MAC %d": the words before the number, then the number alone.
    const char *format = display_asic_mac_format;
    std::size_t words = static_cast<std::size_t>(strstr(format, "%d") - format);
    long long index = 0;
    if (label.compare(0, words, format, words) != 0 || label.size() == words ||
        label[words] == '-' || !parse_decimal(label.c_str() + words, 0, INT32_MAX, index))
        return -1;
    if (index < static_cast<long long>(board_max_asic_macs))
        return item_asic_mac0 + static_cast<int>(index);
    return item_count;
}

// A display's hex line of a text holding non-printable bytes: a tab, 18
// blanks, then the text's bytes in hexadecimal between brackets.
bool decode_hex_line(const std::string &line, std::string &text)
{
    const std::string lead = "\t" + std::string(18, ' ') + "[";
    if (line.compare(0, lead.size(), lead) != 0 || line.back() != ']')
        return false;
    return hex_to_bytes(line.substr(lead.size(), line.size() - lead.size() - 1), text);
}

// The value of a MAC or WWN, a product ID or a count, as a file gives it;
// false when the line holds no such value.
bool normalise(int item, const std::string &shown, std::string &value)
{
    std::string read;
    if (item_info(item).kind == ItemKind::hex) {
        // A MAC or WWN by the rule a file's value meets.
        if (!check_value(item, shown, read).empty())
            return false;
    } else {
        // "59 (Pellan)" for a product ID, "3" for the subassembly count.
        long long number = 0;
        std::string digits = shown.substr(0, shown.find(' '));
        if (!parse_decimal(digits.c_str(), INT32_MIN, INT32_MAX, number))
            return false;
        read = std::to_string(number);
    }
    value = read;
    return true;
}

}  // namespace

bool parse_display(const std::string &out, Identity &identity)
{
    identity = Identity();
    const std::size_t value_at = 1 + display_label_width + 2;
    int text_item = -1;  // the text item that a hex line may follow
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos)
            end = out.size();
        std::string line = out.substr(start, end - start);
        start = end + 1;

        int item = -1;
        if (line.size() >= value_at && line[0] == '\t' && line.compare(value_at - 2, 2, ": ") == 0) {
            std::string label = line.substr(1, display_label_width);
            label.erase(label.find_last_not_of(' ') + 1);
            item = item_of_label(label);
        }
        if (item < 0) {
            // A text with any non-printable byte (a newline too, which
            // breaks its line) ends with its bytes in hexadecimal.
            std::string decoded;
            if (text_item >= 0 && decode_hex_line(line, decoded)) {
                identity.value[text_item] = decoded;
                text_item = -1;
            }
            continue;
        }
        text_item = -1;
        if (item == item_count) {
            ++identity.asic_macs;
            continue;
        }
        if (item >= item_asic_mac0 && item < item_chassis_sn)
            ++identity.asic_macs;
        std::string shown = line.substr(value_at);
        identity.shown[item] = true;
        if (item_info(item).kind == ItemKind::text) {
            // A text that reads "Undefined" cannot be told from a failed read.
            identity.defined[item] = shown != display_undefined;
            identity.value[item] = shown;
            text_item = item;
        } else {
            identity.defined[item] = normalise(item, shown, identity.value[item]);
        }
    }
    for (const LabelledItem &line : fixed_lines)
        if (!identity.shown[line.item])
            return false;
    return true;
}

bool shows_any_item(const Identity &identity)
{
    for (bool defined : identity.defined)
        if (defined)
            return true;
    return false;
}
