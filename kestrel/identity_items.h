// The Kestrel VPD's identity items, in the order the set-up asks them. The
// service tag has a line of the print; the others show only in its dump.
#ifndef PROMCFG_KESTREL_IDENTITY_ITEMS_H
#define PROMCFG_KESTREL_IDENTITY_ITEMS_H

#include "driver/ground/identity_item.h"
#include "kestrel/kestrel_setup_fields.h"

// The print's service tag line, before the text.
constexpr const char *kestrel_service_tag_display = "Service tag:\t";

constexpr IdentityItem kestrel_identity_items[] = {
    // The set-up stores the revision with "%3.3s": "A0" as " A0".
    {"kestrel-hw-rev", 1, ItemProm::kestrel, ItemDialogue::kestrel_setup, ItemKind::aligned_text,
     static_cast<unsigned>(kestrel_fields[0].max_length), kestrel_fields[0].prompt, PromptArgument::none, nullptr},
    {"kestrel-product-name", 1, ItemProm::kestrel, ItemDialogue::kestrel_setup, ItemKind::text,
     static_cast<unsigned>(kestrel_fields[1].max_length), kestrel_fields[1].prompt, PromptArgument::none, nullptr},
    {"kestrel-service-tag", 1, ItemProm::kestrel, ItemDialogue::kestrel_setup, ItemKind::text,
     static_cast<unsigned>(kestrel_fields[2].max_length), kestrel_fields[2].prompt, PromptArgument::none,
     kestrel_service_tag_display},
};

#endif
