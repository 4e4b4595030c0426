// The system PROM's identity items, one row each (a family such as the ASIC
// MACs in one row), in the order promcfg asks them: the order of
// promcfg-apply's reports and of its identity files. The labels are the
// entry dialogues' and the display's own.
#ifndef PROMCFG_PROM_IDENTITY_ITEMS_H
#define PROMCFG_PROM_IDENTITY_ITEMS_H

#include "driver/ground/identity_item.h"
#include "prom/display_labels.h"
#include "prom/entry_prompts.h"

constexpr IdentityItem system_identity_items[] = {
    {"mac0", 1, ItemProm::system, ItemDialogue::system_data, ItemKind::hex, system_prompts[0].bytes,
     system_prompts[0].label, PromptArgument::none, display_ethernet_mac},
    {"mac1", 1, ItemProm::system, ItemDialogue::system_data, ItemKind::hex, system_prompts[1].bytes,
     system_prompts[1].label, PromptArgument::none, display_ethernet2_mac},
    {"wwn", 1, ItemProm::system, ItemDialogue::system_data, ItemKind::hex, system_prompts[2].bytes,
     system_prompts[2].label, PromptArgument::none, display_switch_wwn},
    {"vwwn", 1, ItemProm::system, ItemDialogue::system_data, ItemKind::hex, system_prompts[3].bytes,
     system_prompts[3].label, PromptArgument::none, display_switch_vwwn},
    {"product-id", 1, ItemProm::system, ItemDialogue::board_data, ItemKind::product_id, 0,
     board_product_id_prompt, PromptArgument::none, display_product_id},
    {"product-code", 1, ItemProm::system, ItemDialogue::board_data, ItemKind::text, board_text_max,
     board_product_code_format, PromptArgument::limit, display_product_code},
    {"board-sn", 1, ItemProm::system, ItemDialogue::board_data, ItemKind::text, board_text_max,
     board_sn_format, PromptArgument::limit, display_board_sn},
    {"subassy-count", 1, ItemProm::system, ItemDialogue::board_data, ItemKind::subassembly_count,
     board_max_subassemblies, board_subassembly_count_prompt, PromptArgument::none, display_subassembly_count},
    {"subassy", board_max_subassemblies, ItemProm::system, ItemDialogue::board_data, ItemKind::text,
     board_text_max, board_subassembly_id_format, PromptArgument::limit, display_subassembly_format},
    {"asic-mac", board_max_asic_macs, ItemProm::system, ItemDialogue::board_data, ItemKind::hex, 6,
     board_asic_mac_format, PromptArgument::index, display_asic_mac_format},
    {"chassis-sn", 1, ItemProm::system, ItemDialogue::chassis_data, ItemKind::text,
     static_cast<unsigned>(chassis_prompts[0].max_length), chassis_prompts[0].label_format, PromptArgument::limit,
     display_chassis_sn},
    {"clei", 1, ItemProm::system, ItemDialogue::chassis_data, ItemKind::text,
     static_cast<unsigned>(chassis_prompts[1].max_length), chassis_prompts[1].label_format, PromptArgument::limit,
     display_clei},
};

#endif
