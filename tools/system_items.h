// The names that promsim gives the system PROM items, and how each one's
// value is written on the command line and shown.
#ifndef PROMCFG_TOOLS_SYSTEM_ITEMS_H
#define PROMCFG_TOOLS_SYSTEM_ITEMS_H

#include "tlv_ids.h"

#include <cstdint>

namespace promsim_tool {

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
    {"mac0", promsim::kTlvMac0, 1, ItemKind::mac},
    {"mac1", promsim::kTlvMac1, 1, ItemKind::mac},
    {"wwn", promsim::kTlvWwn, 1, ItemKind::wwn},
    {"vwwn", promsim::kTlvVwwn, 1, ItemKind::wwn},
    {"product-id", promsim::kTlvProductId, 1, ItemKind::signed_integer},
    {"product-subtype", promsim::kTlvProductSubtype, 1, ItemKind::signed_integer},
    {"port-count", promsim::kTlvPortCount, 1, ItemKind::signed_integer},
    {"product-code", promsim::kTlvProductCode, 1, ItemKind::text},
    {"board-sn", promsim::kTlvBoardSn, 1, ItemKind::text},
    {"subassy-count", promsim::kTlvSubAssyCount, 1, ItemKind::unsigned_integer},
    {"subassy", promsim::kTlvSubAssy0, promsim::kSubAssySlots, ItemKind::text},
    {"asic-mac", promsim::kTlvAsicMac0, promsim::kAsicMacSlots, ItemKind::mac},
    {"chassis-sn", promsim::kTlvChassisSn, 1, ItemKind::text},
    {"clei", promsim::kTlvClei, 1, ItemKind::text},
};

}  // namespace promsim_tool

#endif
