#include "apply/display_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "apply/number_text.h"
#include "apply/value_check.h"

namespace {

// The line that a label names: an item, or a member of a family past the
// items a file can name (an ASIC MAC of a product with more), or none.
struct LabelMatch {
    int item = -1;
    int family_first = -1;  // the first item of the family it belongs to
};

LabelMatch match_label(const std::string &label)
{
    LabelMatch match;
    int first = 0;
    for (const IdentityItem &row : system_identity_items) {
        if (row.count == 1 && label == row.display) {
            match.item = first;
            return match;
        }
        // A family's "... %d": the words before the number, then the number,
        // which ends the label, alone (no sign, no leading zero).
        const char *number = row.count > 1 ? strstr(row.display, "%d") : nullptr;
        std::size_t words = number ? static_cast<std::size_t>(number - row.display) : 0;
        long long index = 0;
        if (number && label.compare(0, words, row.display, words) == 0 && label.size() > words &&
            label[words] != '-' && !(label[words] == '0' && label.size() > words + 1) &&
            parse_decimal(label.c_str() + words, 0, INT32_MAX, index)) {
            match.family_first = first;
            match.item = index < static_cast<long long>(row.count) ? first + static_cast<int>(index) : -1;
            return match;
        }
        first += static_cast<int>(row.count);
    }
    return match;
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
    if (item_info(item).row->kind == ItemKind::hex) {
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

        LabelMatch match;
        if (line.size() >= value_at && line[0] == '\t' && line.compare(value_at - 2, 2, ": ") == 0) {
            std::string label = line.substr(1, display_label_width);
            label.erase(label.find_last_not_of(' ') + 1);
            match = match_label(label);
        }
        if (match.family_first == item_asic_mac0)
            ++identity.asic_macs;
        int item = match.item;
        if (item < 0 && match.family_first >= 0) {
            text_item = -1;
            continue;  // counted only
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
        std::string shown = line.substr(value_at);
        identity.shown[item] = true;
        if (item_info(item).row->kind == ItemKind::text) {
            // A text that reads "Undefined" cannot be told from a failed read.
            identity.defined[item] = shown != display_undefined;
            identity.value[item] = shown;
            text_item = item;
        } else {
            identity.defined[item] = normalise(item, shown, identity.value[item]);
        }
    }
    // The lines every display has, whatever the PROM holds: the single items'.
    for (int item = 0; item < item_count; ++item)
        if (item_info(item).row->prom == ItemProm::system && item_info(item).row->count == 1 && !identity.shown[item])
            return false;
    return true;
}

bool shows_any_item(const Identity &identity)
{
    for (int item = 0; item < item_count; ++item)
        if (identity.defined[item] && item_info(item).row->prom == ItemProm::system)
            return true;
    return false;
}
