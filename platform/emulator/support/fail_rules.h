// The readers of the test hooks' values: PROMSIM_FAIL rules and the
// PROMSIM_ASIC_MACS count. Pure functions; fault_hooks.cpp applies them.
#ifndef PROMSIM_FAIL_RULES_H
#define PROMSIM_FAIL_RULES_H

#include <cerrno>
#include <string>
#include <vector>

namespace promsim {

// One PROMSIM_FAIL rule, NAME[#N]=RC[/ERRNO]; nth 0 matches every call,
// else N is 1 to 4294967295.
struct FailRule {
    std::string name;
    unsigned long nth = 0;
    int rc = 0;
    int error = EIO;
};

// Parses a comma-separated PROMSIM_FAIL value (blanks around a rule are
// allowed, an empty value holds no rules). On a malformed rule returns false
// with the offending rule in *bad.
bool parse_fail_rules(const std::string &text, std::vector<FailRule> &rules, std::string *bad);

// Parses a PROMSIM_ASIC_MACS value: decimal digits only, up to 2^32 - 1.
// Both parsers read their numbers with parse_number().
bool parse_asic_mac_count(const std::string &text, unsigned int *count);

}  // namespace promsim

#endif
