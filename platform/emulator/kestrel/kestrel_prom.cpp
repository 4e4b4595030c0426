#include "kestrel_prom.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "byte_order.h"
#include "crc32.h"

static_assert(sizeof(kestrel_vpd_data) == 142, "kestrel_vpd_data is 142 bytes");

namespace kestrelprom {
namespace {

constexpr unsigned char kMagic[4] = {'K', 'V', 'P', 'D'};
constexpr std::size_t kVersionOffset = 0x04;
constexpr unsigned char kVersion = 1;
constexpr std::size_t kLengthOffset = 0x06;  // 16-bit big-endian
constexpr std::size_t kRecordSize = sizeof(kestrel_vpd_data);

}  // namespace

void write_vpd_area(promsim::Image &image, const kestrel_vpd_data &record)
{
    unsigned char *area = image.data();
    std::fill(area, area + kVpdAreaSize, 0);
    std::memcpy(area, kMagic, sizeof kMagic);
    area[kVersionOffset] = kVersion;
    promsim::put_be16(area + kLengthOffset, static_cast<uint16_t>(kRecordSize));
    std::memcpy(area + kRecordOffset, &record, kRecordSize);
    promsim::put_be32(area + kCrcOffset, promsim::crc32(area, kCrcOffset));
}

int read_record(const promsim::Image &image, kestrel_vpd_data *record)
{
    const unsigned char *area = image.data();
    if (image.size() < kVpdAreaSize || std::memcmp(area, kMagic, sizeof kMagic) != 0)
        return -ENODATA;
    std::size_t length = promsim::get_be16(area + kLengthOffset);
    if (area[kVersionOffset] != kVersion || length != kRecordSize ||
        promsim::get_be32(area + kCrcOffset) != promsim::crc32(area, kCrcOffset))
        return -EBADMSG;
    std::memcpy(record, area + kRecordOffset, kRecordSize);
    return 0;
}

std::string field_text(const char *field, std::size_t size)
{
    return std::string(field, std::find(field, field + size, '\0'));
}

std::string derive_eppid(const kestrel_vpd_data &record)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string eppid = "CN-";
    for (int i = 3; i < 6; ++i) {
        eppid += kDigits[record.mac[i] >> 4];
        eppid += kDigits[record.mac[i] & 0x0f];
    }
    eppid += "-" + field_text(record.hw_rev, sizeof record.hw_rev);
    eppid += "-" + field_text(record.service_tag, sizeof record.service_tag);
    return eppid;
}

void copy_out(const std::string &text, char *buffer)
{
    std::size_t length = std::min(text.size(), kTextBufferSize - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace kestrelprom
