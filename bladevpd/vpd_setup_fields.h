// The questions of the blade VPD set-up, in table order (the set-up asks
// the hardware revision first).
#ifndef PROMCFG_BLADEVPD_VPD_SETUP_FIELDS_H
#define PROMCFG_BLADEVPD_VPD_SETUP_FIELDS_H

#include "driver/ground/vpd_field.h"

constexpr VpdField vpd_fields[] = {
    {"Date code        (WWYY - WW=1-52)", 0, 4},
    {"Hardware Rev     (decimal number 0-255)", 0, 3},
    {"Part Number", 0, 20},
    {"FRU Number", 0, 20},
    {"POS ID           (HEX number 0-ffff)", 0, 4},
    {"Manufacturer ID", 0, 4},
    {"Product Name", 0, 128},
};

enum FieldRow { date_code_row, hw_rev_row, part_row, fru_row, pos_id_row, manufacturer_row, name_row };

#endif
