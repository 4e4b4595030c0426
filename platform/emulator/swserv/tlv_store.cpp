#include "tlv_store.h"

#include "byte_order.h"
#include "crc32.h"

#include <algorithm>

namespace promsim {
namespace {

const unsigned char kMagic[4] = {'T', 'L', 'V', 'S'};
constexpr uint16_t kVersion = 1;
constexpr std::size_t kCrcOffset = 8;

uint32_t image_crc(std::vector<unsigned char> image)
{
    put_be32(&image[kCrcOffset], 0);
    return crc32(image.data(), image.size());
}

StoreState damaged(std::string *why, const char *reason)
{
    if (why)
        *why = reason;
    return StoreState::damaged;
}

}  // namespace

StoreState parse_store(const std::vector<unsigned char> &image, Records &records,
                       std::string *why)
{
    records.clear();
    if (std::all_of(image.begin(), image.end(), [](unsigned char b) { return b == 0xff; }))
        return StoreState::erased;
    if (image.size() < kStoreHeaderSize || !std::equal(kMagic, kMagic + 4, image.begin()))
        return damaged(why, "no store header");
    if (get_be16(&image[4]) != kVersion)
        return damaged(why, "unknown store version");
    std::size_t length = get_be16(&image[6]);
    if (length > image.size() - kStoreHeaderSize)
        return damaged(why, "record length beyond the image");
    if (get_be32(&image[kCrcOffset]) != image_crc(image))
        return damaged(why, "checksum mismatch");

    Records found;
    std::size_t at = kStoreHeaderSize, end = kStoreHeaderSize + length;
    while (at < end) {
        if (end - at < kRecordHeaderSize)
            return damaged(why, "truncated record");
        uint16_t id = get_be16(&image[at]);
        std::size_t size = get_be16(&image[at + 2]);
        at += kRecordHeaderSize;
        if (size > end - at)
            return damaged(why, "truncated record");
        if (!found.emplace(id, Bytes(image.begin() + at, image.begin() + at + size)).second)
            return damaged(why, "duplicate record");
        at += size;
    }
    records.swap(found);
    return StoreState::valid;
}

std::size_t store_size(const Records &records)
{
    const std::size_t most = static_cast<std::size_t>(-1);
    std::size_t size = kStoreHeaderSize;
    for (const auto &record : records) {
        // Saturates: records too big for any image never wrap to a small size.
        if (size > most - kRecordHeaderSize ||
            record.second.size() > most - kRecordHeaderSize - size)
            return most;
        size += kRecordHeaderSize + record.second.size();
    }
    return size;
}

bool build_store(const Records &records, std::vector<unsigned char> &image)
{
    std::size_t size = store_size(records);
    if (size > image.size() || size - kStoreHeaderSize > 0xffff)
        return false;
    for (const auto &record : records)
        if (record.second.size() > 0xffff)
            return false;

    std::vector<unsigned char> built(image.size(), 0xff);
    std::copy(kMagic, kMagic + 4, built.begin());
    put_be16(&built[4], kVersion);
    put_be16(&built[6], static_cast<uint16_t>(size - kStoreHeaderSize));
    std::size_t at = kStoreHeaderSize;
    for (const auto &record : records) {
        put_be16(&built[at], record.first);
        put_be16(&built[at + 2], static_cast<uint16_t>(record.second.size()));
        std::copy(record.second.begin(), record.second.end(), built.begin() + at + 4);
        at += kRecordHeaderSize + record.second.size();
    }
    put_be32(&built[kCrcOffset], image_crc(built));
    image.swap(built);
    return true;
}

}  // namespace promsim
