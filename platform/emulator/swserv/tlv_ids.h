// The record IDs of the system PROM items, and the sizes of their values.
#ifndef PROMSIM_SWSERV_TLV_IDS_H
#define PROMSIM_SWSERV_TLV_IDS_H

#include <cstddef>
#include <cstdint>

namespace promsim {

constexpr uint16_t kTlvMac0 = 0x110;
constexpr uint16_t kTlvMac1 = 0x111;
constexpr uint16_t kTlvWwn = 0x112;
constexpr uint16_t kTlvVwwn = 0x113;
constexpr uint16_t kTlvProductId = 0x120;
constexpr uint16_t kTlvProductSubtype = 0x121;
constexpr uint16_t kTlvSubAssy0 = 0x130;  // + index, 0 to 7
constexpr uint16_t kTlvProductCode = 0x140;
constexpr uint16_t kTlvBoardSn = 0x141;
constexpr uint16_t kTlvChassisSn = 0x160;
constexpr uint16_t kTlvClei = 0x161;
constexpr uint16_t kTlvAsicMac0 = 0x500;  // + index, 0 to 47
constexpr uint16_t kTlvPortCount = 0x8010;
constexpr uint16_t kTlvSubAssyCount = 0x8011;

constexpr int kSubAssySlots = 8;
constexpr int kAsicMacSlots = 48;
constexpr std::size_t kMacLength = 6;
constexpr std::size_t kWwnLength = 8;
constexpr std::size_t kIntegerLength = 4;
// Longest text record; the tool itself never writes more than 23 bytes.
constexpr std::size_t kMaxTextLength = 255;

}  // namespace promsim

#endif
