// The emulators' CRC-32 (reflected 0xedb88320, as zlib), computed eight
// bytes at a time. The fuzz builds link it instead of the table-per-byte
// loop of the emulator support library: every harness input checksums whole
// images several times over, and this is what bounds the executions per
// second. crc32_self_check() compares it with the bitwise definition.
#include "crc32.h"

#include <array>

namespace promsim {
namespace {

constexpr uint32_t kPolynomial = 0xedb88320u;

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

uint32_t bitwise_crc32(const unsigned char *p, std::size_t length)
{
    uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < length; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (kPolynomial ^ (c >> 1)) : (c >> 1);
    }
    return c ^ 0xffffffffu;
}

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

bool crc32_self_check()
{
    unsigned char buffer[300];
    uint32_t seed = 1;
    for (unsigned char &b : buffer) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 16);
    }
    if (crc32("123456789", 9) != 0xcbf43926u)
        return false;
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t length = 0; length + start <= sizeof buffer; length += 7)
            if (crc32(buffer + start, length) != bitwise_crc32(buffer + start, length))
                return false;
    return true;
}

}  // namespace promsim
