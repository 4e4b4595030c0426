#include "apply/number_text.h"
#include "apply/value_check.h"

#include <cstdint>
#include <cstdio>
#include <strings.h>

#include "apply/items.h"
#include "bladevpd/chassis_words.h"
#include "driver/ground/answer_bytes.h"
#include "prom/display_labels.h"
#include "prom/product_table.h"

namespace {

// 2 * bytes hexadecimal digits, with a ':' allowed between two bytes.
std::string check_hex(const std::string &value, unsigned bytes, std::string &answer)
{
    char reason[80];
    snprintf(reason, sizeof reason, "%u hexadecimal digits expected (':' allowed between bytes)",
             2 * bytes);
    std::string digits;
    for (std::size_t i = 0; i < value.size(); ++i) {
        bool between = digits.size() % 2 == 0 && !digits.empty() && i + 1 < value.size() && value[i + 1] != ':';
        if (value[i] != ':')
            digits += value[i];
        else if (!between)
            return reason;
    }
    std::string bytes_read;
    if (digits.size() != 2 * bytes || !hex_to_bytes(digits, bytes_read))
        return reason;
    answer.clear();
    for (unsigned char byte : bytes_read) {
        char pair[3];
        snprintf(pair, sizeof pair, "%02x", byte);
        answer += pair;
    }
    return "";
}

std::string check_text(const std::string &value, unsigned limit, bool on_display, std::string &answer)
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
    if (on_display && value == display_undefined)
        return "reads as a missing item on promcfg's display, so it could never be read back";
    answer = value;
    return "";
}

// Four numbers from 0 to 255 between dots, nothing else.
std::string check_address(const std::string &value, std::string &answer)
{
    const char *reason = "an address of four numbers from 0 to 255 expected (a.b.c.d)";
    std::string read;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t end = part < 3 ? value.find('.', start) : value.size();
        long long number = 0;
        if (end == std::string::npos || end == start || end - start > 3 ||
            !parse_decimal(value.substr(start, end - start).c_str(), 0, 255, number))
            return reason;
        read += (part ? "." : "") + std::to_string(number);
        start = end + 1;
    }
    answer = read;
    return "";
}

// A word of -x in any case, or the code of one.
std::string check_chassis_type(const std::string &value, std::string &answer)
{
    long long code = -1;
    const char *word = parse_decimal(value.c_str(), 0, 255, code) ? chassis_word_of(code) : nullptr;
    for (const ChassisWord &entry : chassis_words)
        if (strcasecmp(value.c_str(), entry.word) == 0)
            word = entry.word;
    if (!word)
        return code >= 0 ? "code " + std::to_string(code) + " has no word of promcfg -x, so it cannot be written"
                         : std::string("a word of promcfg -x expected: telco, bc1, bc2, bc10, ht, bcs or bce-r");
    answer = word;
    return "";
}

}  // namespace

std::string check_value(int item, const std::string &value, std::string &answer)
{
    const IdentityItem &row = *item_info(item).row;
    long long number = 0;
    switch (row.kind) {
    case ItemKind::hex:
        return check_hex(value, row.limit, answer);
    case ItemKind::product_id:
        if (!parse_decimal(value.c_str(), INT32_MIN, INT32_MAX, number))
            return "a decimal product ID expected";
        if (find_product(static_cast<int32_t>(number), 0).id == -1)
            return std::to_string(number) + " has no row in the product table, so promcfg refuses it";
        answer = std::to_string(number);
        return "";
    case ItemKind::subassembly_count:
        if (!parse_decimal(value.c_str(), 1, row.limit, number))
            return "a count from 1 to " + std::to_string(row.limit) + " expected";
        answer = std::to_string(number);
        return "";
    case ItemKind::text:
    case ItemKind::aligned_text:
        return check_text(value, row.limit, row.prom == ItemProm::system, answer);
    case ItemKind::decimal:
        if (!parse_decimal(value.c_str(), 0, row.limit, number))
            return "a decimal number from 0 to " + std::to_string(row.limit) + " expected";
        answer = std::to_string(number);
        return "";
    case ItemKind::hex_number: {
        // Hexadecimal digits alone, at most as many as the limit has.
        std::string digits = value.size() > 2 && (value[1] == 'x' || value[1] == 'X') && value[0] == '0'
                                 ? value.substr(2)
                                 : value;
        long long parsed = 0;
        if (digits.size() > 8 || !parse_hex(digits.c_str(), row.limit, parsed)) {
            char reason[64];
            snprintf(reason, sizeof reason, "a hexadecimal number from 0 to %x expected", row.limit);
            return reason;
        }
        char hex[16];
        snprintf(hex, sizeof hex, "%llx", parsed);
        answer = hex;
        return "";
    }
    case ItemKind::chassis_word:
        return check_chassis_type(value, answer);
    case ItemKind::address:
        return check_address(value, answer);
    }
    return "unknown item";
}

std::string stored_form(int item, const std::string &answer)
{
    const IdentityItem &row = *item_info(item).row;
    if (row.kind != ItemKind::aligned_text || answer.size() >= row.limit)
        return answer;
    return std::string(row.limit - answer.size(), ' ') + answer;
}

std::string file_form(int item, const std::string &stored)
{
    if (item_info(item).row->kind != ItemKind::aligned_text)
        return stored;
    std::size_t start = stored.find_first_not_of(' ');
    return start == std::string::npos ? stored : stored.substr(start);
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
