// The questions of the Kestrel VPD set-up, and the one product it serves.
#ifndef PROMCFG_KESTREL_KESTREL_SETUP_FIELDS_H
#define PROMCFG_KESTREL_KESTREL_SETUP_FIELDS_H

#include <cstdint>

#include "driver/ground/vpd_field.h"

constexpr int32_t kestrel_product_id = 38;

// Asked in this order. The minimum lengths document the fields; only the
// maximum bounds an answer.
constexpr VpdField kestrel_fields[] = {
    {"Hardware Rev (3 characters)", 3, 3},
    {"Product name (Max. 30 characters)", 0, 30},
    {"Service tag  (7 characters)", 7, 7},
};

#endif
