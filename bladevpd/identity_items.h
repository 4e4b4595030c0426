// The blade VPD's identity items: the set-up record's fields in the order
// the set-up asks them, the chassis type and the management addresses. The
// record and the addresses show only in dumps (display null).
#ifndef PROMCFG_BLADEVPD_IDENTITY_ITEMS_H
#define PROMCFG_BLADEVPD_IDENTITY_ITEMS_H

#include "bladevpd/mgmt_data.h"
#include "bladevpd/vpd_setup_fields.h"
#include "driver/ground/identity_item.h"

// The line row 7 prints the chassis type on, before its %#x.
constexpr const char *chassis_type_display = "Chassis type = ";

// The longest answer the console takes, whatever a field's room.
constexpr unsigned console_answer_max = 62;

constexpr unsigned field_limit(FieldRow row)
{
    return static_cast<unsigned>(vpd_fields[row].max_length) < console_answer_max
               ? static_cast<unsigned>(vpd_fields[row].max_length)
               : console_answer_max;
}

constexpr IdentityItem blade_identity_items[] = {
    {"chassis-type", 1, ItemProm::blade_vpd, ItemDialogue::chassis_type, ItemKind::chassis_word, 7, nullptr,
     PromptArgument::none, chassis_type_display},
    {"vpd-hw-rev", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::decimal, 255,
     vpd_fields[hw_rev_row].prompt, PromptArgument::none, nullptr},
    {"vpd-date-code", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::text, field_limit(date_code_row),
     vpd_fields[date_code_row].prompt, PromptArgument::none, nullptr},
    {"vpd-part-number", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::text, field_limit(part_row),
     vpd_fields[part_row].prompt, PromptArgument::none, nullptr},
    {"vpd-fru-number", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::text, field_limit(fru_row),
     vpd_fields[fru_row].prompt, PromptArgument::none, nullptr},
    {"vpd-pos-id", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::hex_number, 0xffff,
     vpd_fields[pos_id_row].prompt, PromptArgument::none, nullptr},
    {"vpd-manufacturer", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::text,
     field_limit(manufacturer_row), vpd_fields[manufacturer_row].prompt, PromptArgument::none, nullptr},
    {"vpd-product-name", 1, ItemProm::blade_vpd, ItemDialogue::blade_setup, ItemKind::text, field_limit(name_row),
     vpd_fields[name_row].prompt, PromptArgument::none, nullptr},
    {"ip-address", 1, ItemProm::blade_vpd, ItemDialogue::mgmt_address, ItemKind::address, 255, mgmt_ip_prompt,
     PromptArgument::none, nullptr},
    {"ip-gateway", 1, ItemProm::blade_vpd, ItemDialogue::mgmt_address, ItemKind::address, 255, mgmt_gateway_prompt,
     PromptArgument::none, nullptr},
    {"ip-netmask", 1, ItemProm::blade_vpd, ItemDialogue::mgmt_address, ItemKind::address, 255, mgmt_netmask_prompt,
     PromptArgument::none, nullptr},
};

#endif
