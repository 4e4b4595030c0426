// The PROMSIM_FAIL and PROMSIM_ASIC_MACS readers, and the checked number
// reader behind them once it is built (FUZZ_CHECKED_NUMBER). Rules that are
// accepted must write back to a text that reads as the same rules; a
// rejected value leaves no rules and names a rule of the text; numbers are
// compared with a model that never overflows.
//
// Input: the first byte picks the reader, the rest is the value; for the
// number reader the form, then the range's bounds (8 bytes each), then the
// text.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check.h"
#include "fail_rules.h"
#if FUZZ_CHECKED_NUMBER
#include "checked_number.h"
#endif

namespace {

using promsim::FailRule;

bool is_name_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == ':';
}

std::string write_rules(const std::vector<FailRule> &rules)
{
    std::string text;
    for (const FailRule &rule : rules) {
        if (!text.empty())
            text += ",";
        text += rule.name;
        if (rule.nth != 0)
            text += "#" + std::to_string(rule.nth);
        text += "=" + std::to_string(rule.rc) + "/" + std::to_string(rule.error);
    }
    return text;
}

bool same(const std::vector<FailRule> &a, const std::vector<FailRule> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].nth != b[i].nth || a[i].rc != b[i].rc ||
            a[i].error != b[i].error)
            return false;
    return true;
}

void check_fail_rules(const std::string &text)
{
    std::vector<FailRule> rules(1);
    std::string bad = ",";  // no rule holds a comma
    if (!promsim::parse_fail_rules(text, rules, &bad)) {
        FUZZ_CHECK(rules.empty(), "rules left after a rejected value");
        FUZZ_CHECK(bad != "," && text.find(bad) != std::string::npos,
                   "offending rule '%s' is not part of the value", bad.c_str());
        return;
    }
    std::size_t commas = 0;
    for (char c : text)
        commas += c == ',';
    FUZZ_CHECK(rules.empty() || rules.size() == commas + 1, "%zu rules from %zu commas",
               rules.size(), commas);
    for (const FailRule &rule : rules) {
        FUZZ_CHECK(!rule.name.empty(), "a rule without a name");
        for (char c : rule.name)
            FUZZ_CHECK(is_name_char(c), "name '%s'", rule.name.c_str());
        FUZZ_CHECK(rule.error >= 0, "errno %d", rule.error);
    }
    std::vector<FailRule> again;
    std::string written = write_rules(rules);
    FUZZ_CHECK(promsim::parse_fail_rules(written, again, nullptr) && same(rules, again),
               "'%s' does not read back", written.c_str());
}

void check_asic_mac_count(const std::string &text)
{
    bool digits = !text.empty();
    unsigned long long value = 0;
    for (char c : text) {
        digits = digits && c >= '0' && c <= '9';
        if (digits && value <= UINT_MAX)
            value = value * 10 + static_cast<unsigned>(c - '0');
    }
    bool expected = digits && value <= UINT_MAX;
    unsigned int count = 12345;
    bool ok = promsim::parse_asic_mac_count(text, &count);
    FUZZ_CHECK(ok == expected, "'%s' %s", text.c_str(), ok ? "accepted" : "rejected");
    FUZZ_CHECK(ok ? count == value : count == 12345, "'%s' gave %u", text.c_str(), count);
}


#if FUZZ_CHECKED_NUMBER
using Wide = __int128;

int digit_of(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number `text` spells in `form`, saturated far beyond 64 bits; false
// when it spells none.
bool spelled_number(const std::string &text, promsim::NumberForm form, Wide *value)
{
    std::size_t at = 0;
    bool negative = false, hex = false;
    if (form == promsim::NumberForm::signed_decimal && !text.empty() &&
        (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        at = 1;
    }
    if (form == promsim::NumberForm::decimal_or_hex && text.size() > 1 && text[0] == '0' &&
        (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        at = 2;
    }
    if (at == text.size())
        return false;
    const Wide limit = Wide{1} << 100;
    Wide magnitude = 0;
    for (; at < text.size(); ++at) {
        int digit = digit_of(text[at], hex);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit)
            magnitude = limit;
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}

uint64_t bound(const uint8_t *bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = value << 8 | bytes[i];
    return value;
}

void check_number(const uint8_t *data, std::size_t size)
{
    if (size < 17)
        return;
    const promsim::NumberForm form = static_cast<promsim::NumberForm>(data[0] % 3);
    const long long min = static_cast<long long>(bound(data + 1));
    const long long max = static_cast<long long>(bound(data + 9));
    std::string text(reinterpret_cast<const char *>(data + 17), size - 17);
    Wide spelled = 0;
    bool number = spelled_number(text, form, &spelled);
    long long value = 7;
    bool ok = promsim::parse_number(text, form, min, max, &value);
    bool expected = number && spelled >= Wide(min) && spelled <= Wide(max);
    FUZZ_CHECK(ok == expected, "'%s' form %d [%lld, %lld] %s", text.c_str(), data[0] % 3, min,
               max, ok ? "accepted" : "rejected");
    FUZZ_CHECK(ok ? Wide(value) == spelled : value == 7, "'%s' gave %lld", text.c_str(), value);
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    switch (data[0] % 4) {
    case 1:
        check_asic_mac_count(text);
        break;
#if FUZZ_CHECKED_NUMBER
    case 2:
    case 3:
        check_number(data + 1, size - 1);
        break;
#endif
    default:
        check_fail_rules(text);
        break;
    }
    return 0;
}
