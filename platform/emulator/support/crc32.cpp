#include "crc32.h"

#include <array>

namespace promsim {
namespace {

// Reflected polynomial 0x04c11db7: the CRC that zlib, Ethernet and most
// PROM tools compute, so an image can be checked with ordinary tools.
constexpr uint32_t kPolynomial = 0xedb88320u;

constexpr std::array<uint32_t, 256> make_table()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (kPolynomial ^ (c >> 1)) : (c >> 1);
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = make_table();

}  // namespace

uint32_t crc32(const void *bytes, std::size_t length)
{
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < length; ++i)
        c = kTable[(c ^ p[i]) & 0xffu] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

}  // namespace promsim
