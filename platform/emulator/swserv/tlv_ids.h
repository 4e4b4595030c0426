// The record IDs of the system PROM items, and the item names that promsim
// uses for them.
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

// How a record's bytes read: MACs and WWNs as raw bytes, integers as
// 4 big-endian bytes, texts as the bytes written (no terminator stored).
enum class ItemKind { mac, wwn, signed_integer, unsigned_integer, text };

// One item or a family of `count` items with consecutive IDs, named
// name0, name1, ... ("subassy3", "asic-mac47").
struct SystemItem {
    const char *name;
    uint16_t first_id;
    int count;
    ItemKind kind;
};

constexpr SystemItem kSystemItems[] = {
    {"mac0", kTlvMac0, 1, ItemKind::mac},
    {"mac1", kTlvMac1, 1, ItemKind::mac},
    {"wwn", kTlvWwn, 1, ItemKind::wwn},
    {"vwwn", kTlvVwwn, 1, ItemKind::wwn},
    {"product-id", kTlvProductId, 1, ItemKind::signed_integer},
    {"product-subtype", kTlvProductSubtype, 1, ItemKind::signed_integer},
    {"port-count", kTlvPortCount, 1, ItemKind::signed_integer},
    {"product-code", kTlvProductCode, 1, ItemKind::text},
    {"board-sn", kTlvBoardSn, 1, ItemKind::text},
    {"subassy-count", kTlvSubAssyCount, 1, ItemKind::unsigned_integer},
    {"subassy", kTlvSubAssy0, kSubAssySlots, ItemKind::text},
    {"asic-mac", kTlvAsicMac0, kAsicMacSlots, ItemKind::mac},
    {"chassis-sn", kTlvChassisSn, 1, ItemKind::text},
    {"clei", kTlvClei, 1, ItemKind::text},
};

}  // namespace promsim

#endif
