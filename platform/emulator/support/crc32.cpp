// CRC-32 eight bytes at a time: the system PROM's store is checked on every
// change of its file, and blade and Kestrel images on every write.
#include "crc32.h"

#include <array>

namespace promsim {
namespace {

// Reflected polynomial 0x04c11db7: the CRC that zlib, Ethernet and most
// PROM tools compute, so an image can be checked with ordinary tools.
constexpr uint32_t kPolynomial = 0xedb88320u;

// Eight tables, one per byte position of an eight-byte step: a step costs
// eight lookups instead of eight dependent ones.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables make_tables()
{
    Tables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (kPolynomial ^ (c >> 1)) : (c >> 1);
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (std::size_t s = 1; s < 8; ++s)
            t[s][n] = (t[s - 1][n] >> 8) ^ t[0][t[s - 1][n] & 0xffu];
    return t;
}

constexpr Tables kTables = make_tables();

}  // namespace

uint32_t crc32(const void *bytes, std::size_t length)
{
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    uint32_t c = 0xffffffffu;
    for (; length >= 8; p += 8, length -= 8) {
        uint32_t low = c ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                            uint32_t{p[3]} << 24);
        c = kTables[7][low & 0xffu] ^ kTables[6][(low >> 8) & 0xffu] ^
            kTables[5][(low >> 16) & 0xffu] ^ kTables[4][low >> 24] ^ kTables[3][p[4]] ^
            kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; length > 0; ++p, --length)
        c = kTables[0][(c ^ *p) & 0xffu] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

}  // namespace promsim
