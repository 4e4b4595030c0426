// The system PROM image format, as pure functions over an image.
//
// Layout of a store (all fields big-endian):
//   0   4  magic "TLVS"
//   4   2  format version, 1
//   6   2  L, bytes of records that follow the header
//   8   4  CRC-32 of the whole image with these four bytes taken as zero
//  12   L  records: ID (2), data length n (2), n data bytes; ascending IDs
//  12+L    0xff to the end of the image
// An image of only 0xff bytes is erased: no records, and the first commit
// creates a store in it. Any other image that is not a store as above is
// damaged.
#ifndef PROMSIM_SWSERV_TLV_STORE_H
#define PROMSIM_SWSERV_TLV_STORE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace promsim {

using Bytes = std::vector<unsigned char>;
using Records = std::map<uint16_t, Bytes>;

constexpr std::size_t kStoreHeaderSize = 12;
constexpr std::size_t kRecordHeaderSize = 4;

enum class StoreState { erased, valid, damaged };

// Reads the records of `image`. A damaged image yields no records and, in
// *why, a short reason ("checksum mismatch", ...).
StoreState parse_store(const std::vector<unsigned char> &image, Records &records,
                       std::string *why = nullptr);

// Bytes of an image that a store of these records takes up (SIZE_MAX when
// that is beyond what a size_t holds).
std::size_t store_size(const Records &records);

// Writes a valid store of `records` over the whole of `image` (keeping its
// size). Returns false, leaving `image` as it was, when they do not fit.
bool build_store(const Records &records, std::vector<unsigned char> &image);

}  // namespace promsim

#endif
