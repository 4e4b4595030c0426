#include "fail_rules.h"

#include "checked_number.h"

#include <climits>
#include <cstdint>

namespace promsim {
namespace {

bool is_name_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == ':';
}

std::string trim(const std::string &text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool parse_rule(const std::string &text, FailRule &rule)
{
    std::size_t eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    std::string left = text.substr(0, eq), right = text.substr(eq + 1);

    std::size_t hash = left.find('#');
    rule.name = left.substr(0, hash);
    if (rule.name.empty())
        return false;
    for (char c : rule.name)
        if (!is_name_char(c))
            return false;
    // The same ranges on every host: N within 32 bits, RC and ERRNO ints.
    long long nth = 0, rc, error = EIO;
    if (hash != std::string::npos &&
        !parse_number(left.substr(hash + 1), NumberForm::decimal, 1, UINT32_MAX, &nth))
        return false;
    std::size_t slash = right.find('/');
    if (!parse_number(right.substr(0, slash), NumberForm::signed_decimal, INT_MIN, INT_MAX, &rc))
        return false;
    if (slash != std::string::npos &&
        !parse_number(right.substr(slash + 1), NumberForm::decimal, 0, INT_MAX, &error))
        return false;
    rule.nth = static_cast<unsigned long>(nth);
    rule.rc = static_cast<int>(rc);
    rule.error = static_cast<int>(error);
    return true;
}

}  // namespace

bool parse_fail_rules(const std::string &text, std::vector<FailRule> &rules, std::string *bad)
{
    rules.clear();
    if (trim(text).empty())
        return true;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string item = trim(text.substr(start, comma == std::string::npos ? std::string::npos
                                                                               : comma - start));
        FailRule rule;
        if (!parse_rule(item, rule)) {
            if (bad)
                *bad = item;
            rules.clear();
            return false;
        }
        rules.push_back(rule);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

bool parse_asic_mac_count(const std::string &text, unsigned int *count)
{
    long long value;
    if (!parse_number(text, NumberForm::decimal, 0, UINT32_MAX, &value))
        return false;
    *count = static_cast<unsigned int>(value);
    return true;
}

}  // namespace promsim
