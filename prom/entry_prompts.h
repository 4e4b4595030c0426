// The questions of the system PROM's three entry dialogues, in the order
// they are asked. The setup actions ask by these tables and promcfg-apply
// answers by them, so a label changed here changes both.
#ifndef PROMCFG_PROM_ENTRY_PROMPTS_H
#define PROMCFG_PROM_ENTRY_PROMPTS_H

#include <cstdint>

// System data (-s): hexadecimal answers of exactly 2 * bytes characters.
struct HexPrompt {
    const char *label;
    unsigned bytes;  // 6 for a MAC, 8 for a WWN
};

constexpr HexPrompt system_prompts[] = {
    {"Ethernet MAC     (12 hex digits, no spaces)", 6},
    {"Ethernet2 MAC     (12 hex digits, no spaces)", 6},
    {"Switch WWN       (16 hex digits, no spaces)", 8},
    {"Switch VWWN      (16 hex digits, no spaces)", 8},
};
constexpr unsigned system_prompt_count = sizeof system_prompts / sizeof system_prompts[0];

// Board data (-b): the product list and the product ID, product code, board
// SN, subassembly count, one ID per subassembly (the same label each time),
// then one question per ASIC MAC. Formats take text_max or the MAC's index.
constexpr int32_t board_text_max = 23;
constexpr unsigned board_max_subassemblies = 8;
// Room for the ASIC MACs of the largest board: a library that reports more
// gets the first 48 asked.
constexpr unsigned board_max_asic_macs = 48;
constexpr char board_product_id_prompt[] = "Product ID       (decimal number)";
constexpr char board_product_code_format[] = "Product Code     (string max=%d chars)";
constexpr char board_sn_format[] = "Board SN         (string max=%d chars)";
constexpr char board_subassembly_count_prompt[] = "# Subassemblies  (decimal, 0-8)";
constexpr char board_subassembly_id_format[] = "Subassembly ID   (string max=%d chars)";
constexpr char board_asic_mac_format[] = "ASIC MAC %d      (12 hex digits, no spaces)";

// Chassis data (-c): texts of at most max_length characters; the label is
// the format with max_length.
struct TextPrompt {
    const char *label_format;
    int32_t max_length;
};

constexpr TextPrompt chassis_prompts[] = {
    {"Serial Number    (string max=%d chars)", 23},
    {"CLEI registration     (string max=%d chars)", 10},
};
constexpr unsigned chassis_prompt_count = sizeof chassis_prompts / sizeof chassis_prompts[0];

#endif
