#include "blade_vpd_layout.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "VPD_Client.h"
#include "byte_order.h"
#include "crc32.h"

namespace bladevpd {
namespace {

struct ProductSize {
    unsigned int product_id;
    int bytes;
};

// The serial EEPROM fitted on each blade product.
constexpr ProductSize kProductSizes[] = {
    {34, 8192}, {35, 8192}, {43, 32768}, {47, 32768}, {53, 32768}, {59, 65536},
};

// History entry: tag, type, 32-bit big-endian sequence number, 0, check.
// The check byte makes the eight bytes sum to 0 modulo 256, so neither an
// erased (0xff) nor a cleared (0x00) slot passes for an entry.
constexpr std::size_t kEntryType = 1;
constexpr std::size_t kEntrySeq = 2;
constexpr std::size_t kEntryCheck = 7;

struct HistoryEntry {
    std::size_t slot;
    unsigned char type;
    uint32_t seq;
};

unsigned char byte_sum(const unsigned char *bytes, std::size_t count)
{
    unsigned int sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<unsigned char>(sum);
}

const unsigned char *slot_bytes(const promsim::Image &image, std::size_t slot)
{
    return image.data() + kHistoryStart + slot * kHistoryEntrySize;
}

bool newest_entry(const promsim::Image &image, HistoryEntry *newest)
{
    bool found = false;
    for (std::size_t slot = 0; slot < kHistoryEntries; ++slot) {
        const unsigned char *e = slot_bytes(image, slot);
        if (e[0] != kHistoryTag || byte_sum(e, kHistoryEntrySize) != 0)
            continue;
        uint32_t seq = promsim::get_be32(e + kEntrySeq);
        // Ties go to the later slot: entries are written in slot order.
        if (!found || seq >= newest->seq) {
            *newest = {slot, e[kEntryType], seq};
            found = true;
        }
    }
    return found;
}

}  // namespace

int product_vpd_size(unsigned int product_id)
{
    for (const ProductSize &p : kProductSizes)
        if (p.product_id == product_id)
            return p.bytes;
    return -EINVAL;
}

void place_init_record(promsim::Image &image, const init_vpd_data &record)
{
    unsigned char *fixed = image.data() + kFixedBlock;
    std::memcpy(fixed, &record, sizeof record);
    std::fill(fixed + sizeof record, fixed + kFixedCrc, 0);
    promsim::put_be32(fixed + kFixedCrc, promsim::crc32(fixed, kFixedCrc));
}

int newest_chassis_type(const promsim::Image &image)
{
    HistoryEntry newest;
    return newest_entry(image, &newest) ? newest.type : -ENOENT;
}

void append_chassis_type(promsim::Image &image, unsigned char type)
{
    HistoryEntry newest{0, 0, 0};
    std::size_t slot = 0;
    if (newest_entry(image, &newest))
        slot = newest.slot + 1;
    uint32_t seq = newest.seq + 1;
    if (slot == kHistoryEntries || seq == 0) {
        unsigned char *start = image.data() + kHistoryStart;
        std::fill(start, start + kBlockSize, 0xff);
        slot = 0;
        if (seq == 0)
            seq = 1;
    }
    unsigned char *e = image.data() + kHistoryStart + slot * kHistoryEntrySize;
    e[0] = kHistoryTag;
    e[kEntryType] = type;
    promsim::put_be32(e + kEntrySeq, seq);
    e[6] = 0;
    e[kEntryCheck] = 0;
    e[kEntryCheck] = static_cast<unsigned char>(-byte_sum(e, kHistoryEntrySize));
}

void write_probe_pattern(promsim::Image &image)
{
    for (std::size_t a = 0; a + 1 < image.size(); a += 2) {
        image[a] = static_cast<unsigned char>(a >> 8);
        image[a + 1] = static_cast<unsigned char>(a);
    }
}

}  // namespace bladevpd
