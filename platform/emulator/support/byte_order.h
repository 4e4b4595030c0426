// Big-endian fields of the emulated PROM layouts, written byte by byte so
// that a layout is the same on every host and no field is read through an
// unaligned pointer.
#ifndef PROMSIM_BYTE_ORDER_H
#define PROMSIM_BYTE_ORDER_H

#include <cstdint>

namespace promsim {

inline uint16_t get_be16(const unsigned char *p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t get_be32(const unsigned char *p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void put_be16(unsigned char *p, uint16_t value)
{
    p[0] = static_cast<unsigned char>(value >> 8);
    p[1] = static_cast<unsigned char>(value);
}

inline void put_be32(unsigned char *p, uint32_t value)
{
    p[0] = static_cast<unsigned char>(value >> 24);
    p[1] = static_cast<unsigned char>(value >> 16);
    p[2] = static_cast<unsigned char>(value >> 8);
    p[3] = static_cast<unsigned char>(value);
}

}  // namespace promsim

#endif
