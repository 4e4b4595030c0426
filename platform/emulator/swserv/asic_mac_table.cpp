#include "asic_mac_table.h"

#include "fault_hooks.h"

#include <cerrno>

namespace promsim {
namespace {

struct AsicMacEntry {
    int product_id;
    unsigned int count;
};

// Small switches carry one or two ASICs, directors up to 48; product 34 has
// none, so the tool's "no ASIC MAC" path can be run without a test hook.
constexpr AsicMacEntry kAsicMacTable[] = {
    {15, 2},  {19, 2},  {36, 4}, {37, 8}, {40, 1}, {41, 2}, {43, 2}, {44, 16}, {46, 48},
    {47, 4},  {59, 2},  {48, 4}, {49, 2}, {50, 32}, {51, 24},
    {34, 0},  {35, 1},  {38, 2}, {53, 4},
};

}  // namespace

bool asic_mac_count(int product_id, unsigned int *count)
{
    if (asic_mac_override(count))
        return true;
    for (const AsicMacEntry &entry : kAsicMacTable) {
        if (entry.product_id == product_id) {
            *count = entry.count;
            return true;
        }
    }
    errno = EINVAL;
    return false;
}

}  // namespace promsim
