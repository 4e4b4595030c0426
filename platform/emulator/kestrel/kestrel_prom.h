// The VPD area of the emulated Kestrel serial PROM (first 256 bytes of the
// 2 KiB image) and the texts derived from it. docs/emulated-kestrel.md draws
// the map.
#ifndef PROMSIM_KESTREL_PROM_H
#define PROMSIM_KESTREL_PROM_H

#include <cstddef>
#include <string>

#include "kestrelApi.h"
#include "device.h"

namespace kestrelprom {

constexpr std::size_t kVpdAreaSize = 256;
constexpr std::size_t kRecordOffset = 0x08;
constexpr std::size_t kCrcOffset = kRecordOffset + sizeof(kestrel_vpd_data);  // 0x96

// Magic, version, record length, the record byte for byte, CRC-32, zeros to
// the end of the area. The rest of the PROM is left as it was.
void write_vpd_area(promsim::Image &image, const kestrel_vpd_data &record);

// The written record: 0, -ENODATA when the area was never set up (no magic),
// or -EBADMSG when its version, length or CRC do not check.
int read_record(const promsim::Image &image, kestrel_vpd_data *record);

// The text of a fixed-size field: up to its first zero byte, the field's
// size at most.
std::string field_text(const char *field, std::size_t size);

// "CN-" MAC bytes 3 to 5 in upper-case hex "-" hardware revision "-"
// service tag, e.g. "CN-A1B2C3-A00-ABC1234"; 51 characters at most.
std::string derive_eppid(const kestrel_vpd_data &record);

// The size of the callers' text buffers, which the text calls are not told.
constexpr std::size_t kTextBufferSize = 64;

// Copies text into a caller's buffer of kTextBufferSize bytes, cut to fit,
// always terminated.
void copy_out(const std::string &text, char *buffer);

}  // namespace kestrelprom

#endif
