// How many ASIC MAC addresses a board of each product carries.
#ifndef PROMSIM_SWSERV_ASIC_MAC_TABLE_H
#define PROMSIM_SWSERV_ASIC_MAC_TABLE_H

#include <cstddef>

namespace promsim {

struct AsicMacEntry {
    int product_id;
    unsigned int count;
};

// Every product the tool knows, plus the blade-only IDs 34, 35, 38 and 53.
extern const AsicMacEntry kAsicMacTable[];
extern const std::size_t kAsicMacTableSize;

// PROMSIM_ASIC_MACS when set, else the table's count. False (errno EINVAL)
// for a product without a row.
bool asic_mac_count(int product_id, unsigned int *count);

}  // namespace promsim

#endif
