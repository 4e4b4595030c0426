// Where the emulated blade VPD keeps what its client is given, and the pure
// image transformations behind the VPD_Client members. The image is the whole
// 64 KiB serial EEPROM; docs/emulated-blade-vpd.md draws the map.
#ifndef PROMSIM_BLADE_VPD_LAYOUT_H
#define PROMSIM_BLADE_VPD_LAYOUT_H

#include <cstddef>
#include <cstdint>

#include "device.h"

struct init_vpd_data;

namespace bladevpd {

constexpr std::size_t kFixedBlock = 0x0000;
constexpr std::size_t kBlockSize = 0x0400;
// CRC-32 of 0x0000-0x03fb, big-endian, closing the fixed block.
constexpr std::size_t kFixedCrc = 0x03fc;

constexpr std::size_t kHistoryStart = 0x0c00;  // block 3
constexpr std::size_t kHistoryEntrySize = 8;
constexpr std::size_t kHistoryEntries = kBlockSize / kHistoryEntrySize;
constexpr unsigned char kHistoryTag = 0x48;  // 'H'

constexpr std::size_t kMgmtStart = 0x1000;  // block 4
constexpr std::size_t kMgmtSize = 1024;

// The image size the product's VPD PROM answers a size probe with, or
// -EINVAL for a product without blade VPD.
int product_vpd_size(unsigned int product_id);

// The record byte for byte at 0x0000, zeros up to the CRC, then the CRC.
void place_init_record(promsim::Image &image, const init_vpd_data &record);

// Type of the newest valid history entry, or -ENOENT when there is none.
int newest_chassis_type(const promsim::Image &image);

// Appends an entry after the newest one; a full buffer is erased and starts
// again with the new entry alone.
void append_chassis_type(promsim::Image &image, unsigned char type);

// What a wrap-around size probe leaves: every even address a holds the
// 16-bit big-endian value a.
void write_probe_pattern(promsim::Image &image);

}  // namespace bladevpd

#endif
