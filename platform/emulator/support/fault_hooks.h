// PROMSIM_FAIL and PROMSIM_ASIC_MACS as the emulated calls see them. Both
// variables are read once and checked when the library loads: a malformed
// value ends the process with status 2 before the tool has touched any
// device.
#ifndef PROMSIM_FAULT_HOOKS_H
#define PROMSIM_FAULT_HOOKS_H

namespace promsim {

// Counts this call of `name` and, when a PROMSIM_FAIL rule matches it, sets
// errno and returns true with the rule's result in *rc. The first matching
// rule in the variable's order wins. Calls are counted per name, so each
// library counting its own calls counts them all.
bool injected_failure(const char *name, int *rc);

// PROMSIM_ASIC_MACS: true with the count when the variable is set.
bool asic_mac_override(unsigned int *count);

}  // namespace promsim

#endif
