// Process-wide state owned by the command line for the life of the process.
#ifndef PROMCFG_DRIVER_GROUND_PROCESS_STATE_H
#define PROMCFG_DRIVER_GROUND_PROCESS_STATE_H

#include <cstdint>

// Product ID read once at start-up; 0 when that read failed. Never changed
// later, even when board data entry writes another ID to the PROM.
extern int32_t current_product_id;

// Value of the last valid -x word; its low 8 bits are the chassis type set.
extern uint32_t requested_chassis_type;

// The menu row label of the action that is running ("Set up board data"),
// for words about it outside the fixed console output.
extern const char *running_action_label;

#endif
