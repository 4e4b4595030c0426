// A row of a VPD prompt table.
#ifndef PROMCFG_DRIVER_GROUND_VPD_FIELD_H
#define PROMCFG_DRIVER_GROUND_VPD_FIELD_H

#include <cstdint>

struct VpdField {
    char prompt[56];
    int32_t min_length;  // documents the field; answers are not checked against it
    int32_t max_length;  // prompt_input gets max_length + 1 as its limit
};

#endif
