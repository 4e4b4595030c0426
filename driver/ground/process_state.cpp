#include "driver/ground/process_state.h"

int32_t current_product_id = 0;
uint32_t requested_chassis_type = 0;
const char *running_action_label = "";
