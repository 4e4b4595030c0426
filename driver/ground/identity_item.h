// The shape of an identity item's row: what names it, which PROM keeps it,
// which dialogue asks it, what it takes, and the labels of its question and
// of its display line. Each subsystem owns the rows of its PROM; companion
// programs (promcfg-apply) read items by these rows alone.
#ifndef PROMCFG_DRIVER_GROUND_IDENTITY_ITEM_H
#define PROMCFG_DRIVER_GROUND_IDENTITY_ITEM_H

enum class ItemProm { system, blade_vpd, kestrel };

// The dialogue that writes an item: promcfg -s, -b, -c, -x, or the menu's
// blade VPD set-up, IP address and Kestrel VPD set-up.
enum class ItemDialogue { system_data, board_data, chassis_data, chassis_type, blade_setup, mgmt_address, kestrel_setup };

enum class ItemKind {
    hex,                // bytes in hexadecimal: MACs and WWNs
    product_id,         // a decimal ID with a row in the product table
    subassembly_count,  // decimal, 1 to `limit`
    text,               // printable text of at most `limit` characters
    aligned_text,       // text, stored right-aligned in `limit` columns
    decimal,            // a number from 0 to `limit`
    hex_number,         // a number from 0 to `limit`, in hexadecimal
    chassis_word,       // a word of -x
    address,            // a dotted IPv4 address
};

// What a question's format takes for its %d: nothing, the item's limit, or
// the item's index in its family.
enum class PromptArgument { none, limit, index };

struct IdentityItem {
    const char *name;  // as identity files and promsim name it; a family's prefix
    unsigned count;    // 1, or the items of a family, named name0, name1, ...
    ItemProm prom;
    ItemDialogue dialogue;
    ItemKind kind;
    unsigned limit;  // bytes of a hex item, longest text, highest count
    const char *prompt;  // the question's label, or its format
    PromptArgument prompt_argument;
    const char *display;  // the display line's label, or its format (%d: the index); null: shown in a dump
};

#endif
