// The words of the system PROM display (-P): the label of each item line,
// in the order printed, and the value of an item that cannot be read. The
// display prints by them and promcfg-apply reads the display by them.
#ifndef PROMCFG_PROM_DISPLAY_LABELS_H
#define PROMCFG_PROM_DISPLAY_LABELS_H

// An item line is a tab, the label left-aligned in this many columns (cut
// there), ": " and the value.
constexpr int display_label_width = 28;

constexpr char display_ethernet_mac[] = "Ethernet MAC";
constexpr char display_ethernet2_mac[] = "Ethernet2 MAC";
constexpr char display_switch_wwn[] = "Switch WWN";
constexpr char display_switch_vwwn[] = "Switch VWWN";
constexpr char display_product_id[] = "Product ID";
constexpr char display_product_code[] = "Product code";
constexpr char display_board_sn[] = "Board SN";
constexpr char display_subassembly_count[] = "# Subassemblies";
constexpr char display_subassembly_format[] = "Subassembly ID   #%d";
constexpr char display_asic_mac_format[] = "ASIC MAC %d";
constexpr char display_chassis_sn[] = "Serial Number";
constexpr char display_clei[] = "CLEI Registration";

constexpr char display_undefined[] = "Undefined";

// One buffer of this many bytes receives every item in turn: a text is
// shown up to one byte less, whatever the PROM holds beyond.
constexpr int display_value_size = 24;

#endif
