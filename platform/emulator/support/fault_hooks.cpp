// PROMSIM_FAIL and PROMSIM_ASIC_MACS: read once, checked when the library
// loads, so that a mistyped test hook stops the process before the tool has
// touched any device.
#include "sim_support.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>

namespace promsim {
namespace {

bool is_name_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == ':';
}

// Decimal digits only, no sign, no blanks, at most `max`.
bool parse_unsigned(const std::string &text, unsigned long long max, unsigned long long *value)
{
    if (text.empty() || text.size() > 20)
        return false;
    unsigned long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > max)
            return false;
    }
    *value = v;
    return true;
}

bool parse_int(const std::string &text, int *value)
{
    bool negative = !text.empty() && text[0] == '-';
    bool has_sign = negative || (!text.empty() && text[0] == '+');
    unsigned long long magnitude;
    unsigned long long limit = negative ? 1ull + INT_MAX : INT_MAX;
    if (!parse_unsigned(has_sign ? text.substr(1) : text, limit, &magnitude))
        return false;
    *value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                      : static_cast<int>(magnitude);
    return true;
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
    rule.nth = 0;
    if (hash != std::string::npos) {
        unsigned long long nth;
        if (!parse_unsigned(left.substr(hash + 1), ULONG_MAX, &nth) || nth == 0)
            return false;
        rule.nth = static_cast<unsigned long>(nth);
    }

    std::size_t slash = right.find('/');
    if (!parse_int(right.substr(0, slash), &rule.rc))
        return false;
    rule.error = EIO;
    if (slash != std::string::npos) {
        unsigned long long error;
        if (!parse_unsigned(right.substr(slash + 1), INT_MAX, &error))
            return false;
        rule.error = static_cast<int>(error);
    }
    return true;
}

struct Hooks {
    std::vector<FailRule> rules;
    bool asic_override = false;
    unsigned int asic_count = 0;
    std::map<std::string, unsigned long> calls;
};

[[noreturn]] void die(const std::string &message)
{
    std::string line = message + "\n";
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    _exit(2);
}

Hooks &hooks()
{
    static Hooks *h = [] {
        Hooks *made = new Hooks;  // never freed: emulated calls may run at exit
        const char *fail = getenv("PROMSIM_FAIL");
        std::string bad;
        if (fail && !parse_fail_rules(fail, made->rules, &bad))
            die("promsim: malformed PROMSIM_FAIL rule '" + bad +
                "' (expected NAME[#N]=RC[/ERRNO])");
        const char *asic = getenv("PROMSIM_ASIC_MACS");
        if (asic) {
            if (!parse_asic_mac_count(asic, &made->asic_count))
                die(std::string("promsim: malformed PROMSIM_ASIC_MACS '") + asic +
                    "' (expected a decimal count)");
            made->asic_override = true;
        }
        return made;
    }();
    return *h;
}

__attribute__((constructor)) void check_hooks_at_load()
{
    hooks();
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
    unsigned long long value;
    if (!parse_unsigned(text, UINT_MAX, &value))
        return false;
    *count = static_cast<unsigned int>(value);
    return true;
}

bool injected_failure(const char *name, int *rc)
{
    Hooks &h = hooks();
    if (h.rules.empty())
        return false;
    unsigned long call = ++h.calls[name];
    for (const FailRule &rule : h.rules) {
        if (rule.name == name && (rule.nth == 0 || rule.nth == call)) {
            *rc = rule.rc;
            errno = rule.error;
            return true;
        }
    }
    return false;
}

bool asic_mac_override(unsigned int *count)
{
    Hooks &h = hooks();
    if (h.asic_override)
        *count = h.asic_count;
    return h.asic_override;
}

}  // namespace promsim
