// The actions only options run: -i and -r initialize the system PROM, -D
// deletes one TLV from it.
#ifndef PROMCFG_DRIVER_OPTION_ACTIONS_H
#define PROMCFG_DRIVER_OPTION_ACTIONS_H

#include <cstdint>

// -i (raw false) and -r (raw true). A failure ends the process: nothing
// after it may run on a PROM in an unknown state.
void initialize_prom(bool raw);

// The TLV IDs that -D may delete.
bool tlv_deletable(uint16_t tlv_id);

// -D: deletes the TLV when it is one of those.
void delete_tlv(uint16_t tlv_id);

#endif
