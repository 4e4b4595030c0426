// CRC-32 (IEEE 802.3, reflected, as zlib computes it).
#ifndef PROMSIM_CRC32_H
#define PROMSIM_CRC32_H

#include <cstddef>
#include <cstdint>

namespace promsim {

uint32_t crc32(const void *bytes, std::size_t length);

}  // namespace promsim

#endif
