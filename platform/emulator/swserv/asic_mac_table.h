// How many ASIC MAC addresses a board of each product carries.
#ifndef PROMSIM_SWSERV_ASIC_MAC_TABLE_H
#define PROMSIM_SWSERV_ASIC_MAC_TABLE_H

namespace promsim {

// PROMSIM_ASIC_MACS when set, else the count of the emulator's table, which
// has a row for every product the tool knows and for the blade-only IDs 34,
// 35, 38 and 53. False (errno EINVAL) for a product without a row.
bool asic_mac_count(int product_id, unsigned int *count);

}  // namespace promsim

#endif
