#include "kestrel_prom.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "crc32.h"

static_assert(sizeof(kestrel_vpd_data) == 142, "kestrel_vpd_data is 142 bytes");

namespace kestrelprom {
namespace {

constexpr unsigned char kMagic[4] = {'K', 'V', 'P', 'D'};
constexpr std::size_t kVersionOffset = 0x04;
constexpr unsigned char kVersion = 1;
constexpr std::size_t kLengthOffset = 0x06;  // 16-bit big-endian
constexpr std::size_t kRecordSize = sizeof(kestrel_vpd_data);

uint32_t stored_crc(const unsigned char *at)
{
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

}  // namespace

void write_vpd_area(promsim::Image &image, const kestrel_vpd_data &record)
{
    unsigned char *area = image.data();
    std::fill(area, area + kVpdAreaSize, 0);
    std::memcpy(area, kMagic, sizeof kMagic);
    area[kVersionOffset] = kVersion;
    area[kLengthOffset] = static_cast<unsigned char>(kRecordSize >> 8);
    area[kLengthOffset + 1] = static_cast<unsigned char>(kRecordSize);
    std::memcpy(area + kRecordOffset, &record, kRecordSize);
    uint32_t crc = promsim::crc32(area, kCrcOffset);
    for (int i = 0; i < 4; ++i)
        area[kCrcOffset + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
}

int read_record(const promsim::Image &image, kestrel_vpd_data *record)
{
    const unsigned char *area = image.data();
    if (image.size() < kVpdAreaSize || std::memcmp(area, kMagic, sizeof kMagic) != 0)
        return -ENODATA;
    std::size_t length = std::size_t(area[kLengthOffset]) << 8 | area[kLengthOffset + 1];
    if (area[kVersionOffset] != kVersion || length != kRecordSize ||
        stored_crc(area + kCrcOffset) != promsim::crc32(area, kCrcOffset))
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
