// The test hooks' state: read once, checked when the library loads, so that
// a mistyped test hook stops the process before the tool has touched any
// device.
#include "fault_hooks.h"

#include "bad_setup.h"
#include "call_trace.h"
#include "fail_rules.h"
#include "platform_functions.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace promsim {
namespace {

struct Hooks {
    std::vector<FailRule> rules;
    bool asic_override = false;
    unsigned int asic_count = 0;
    std::map<std::string, unsigned long> calls;
};

Hooks &hooks()
{
    static Hooks *h = [] {
        Hooks *made = new Hooks;  // never freed: emulated calls may run at exit
        const char *fail = getenv("PROMSIM_FAIL");
        std::string bad;
        if (fail && !parse_fail_rules(fail, made->rules, &bad))
            stop_on_bad_setup("promsim: malformed PROMSIM_FAIL rule '" + bad +
                              "' (expected NAME[#N]=RC[/ERRNO])");
        // A misspelt name would make a failure test pass without its fault.
        for (const FailRule &rule : made->rules)
            if (!is_platform_function(rule.name))
                stop_on_bad_setup("promsim: PROMSIM_FAIL names an unknown function '" +
                                  rule.name + "' (the platform functions: man promsim)");
        check_trace_file();
        const char *asic = getenv("PROMSIM_ASIC_MACS");
        if (asic) {
            if (!parse_asic_mac_count(asic, &made->asic_count))
                stop_on_bad_setup(std::string("promsim: malformed PROMSIM_ASIC_MACS '") + asic +
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
