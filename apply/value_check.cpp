#include "apply/value_check.h"

#include <cstdint>
#include <cstdio>

#include "apply/items.h"
#include "driver/ground/answer_bytes.h"
#include "prom/display_labels.h"
#include "prom/product_table.h"

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

// 2 * bytes hexadecimal digits, with a ':' allowed between two bytes.
std::string check_hex(const std::string &value, unsigned bytes, std::string &answer)
{
    static const char digits[] = "0123456789abcdef";
    char reason[80];
    snprintf(reason, sizeof reason, "%u hexadecimal digits expected (':' allowed between bytes)",
             2 * bytes);
    answer.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == ':') {
            bool between = answer.size() % 2 == 0 && !answer.empty() && i + 1 < value.size() &&
                           value[i + 1] != ':';
            if (!between)
                return reason;
            continue;
        }
        int digit = hex_digit(value[i]);
        if (digit < 0 || answer.size() >= 2 * bytes)
            return reason;
        answer += digits[digit];
    }
    return answer.size() == 2 * bytes ? "" : reason;
}

std::string check_text(const std::string &value, unsigned limit, std::string &answer)
{
    for (char c : value)
        if (!is_printable_byte(static_cast<unsigned char>(c)))
            return "holds a byte outside printable ASCII (0x20 to 0x7e)";
    if (value.size() > limit)
        return "longer than " + std::to_string(limit) + " characters";
    if (value.empty())
        return "empty, which a file line cannot hold (an empty answer keeps the item)";
    if (value.front() == ' ' || value.back() == ' ')
        return "begins or ends with a blank, which a file line cannot hold";
    if (value == display_undefined)
        return "reads as a missing item on promcfg's display, so it could never be read back";
    answer = value;
    return "";
}

}  // namespace

bool parse_decimal(const char *text, long long min, long long max, long long &value)
{
    bool negative = *text == '-';
    const char *p = negative ? text + 1 : text;
    if (*p == '\0')
        return false;
    long long magnitude = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        // Any number past this is out of every range asked for.
        if (magnitude > 100000000000LL)
            return false;
        magnitude = magnitude * 10 + (*p - '0');
    }
    long long result = negative ? -magnitude : magnitude;
    if (result < min || result > max)
        return false;
    value = result;
    return true;
}

std::string check_value(int item, const std::string &value, std::string &answer)
{
    ItemInfo info = item_info(item);
    long long number = 0;
    switch (info.kind) {
    case ItemKind::hex:
        return check_hex(value, info.limit, answer);
    case ItemKind::product_id:
        if (!parse_decimal(value.c_str(), INT32_MIN, INT32_MAX, number))
            return "a decimal product ID expected";
        if (find_product(static_cast<int32_t>(number), 0).id == -1)
            return std::to_string(number) + " has no row in the product table, so promcfg refuses it";
        answer = std::to_string(number);
        return "";
    case ItemKind::subassembly_count:
        if (!parse_decimal(value.c_str(), 1, board_max_subassemblies, number))
            return "a count from 1 to " + std::to_string(board_max_subassemblies) + " expected";
        answer = std::to_string(number);
        return "";
    case ItemKind::text:
        return check_text(value, info.limit, answer);
    }
    return "unknown item";
}

std::string printable(const std::string &text)
{
    std::string shown;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (is_printable_byte(byte)) {
            shown += c;
        } else {
            char escape[5];
            snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        }
    }
    return shown;
}
