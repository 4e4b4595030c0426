// Actions on the VPD PROM of a blade switch module.
#ifndef PROMCFG_BLADEVPD_VPD_ACTIONS_H
#define PROMCFG_BLADEVPD_VPD_ACTIONS_H

#include <cstdint>

// Kind of blade chassis, 0 to 7.
using ChassisType = uint8_t;

void vpd_setup();
void vpd_print();
void vpd_print_8k();
// Returns only when the client refuses to open, with that code.
int vpd_display_cli();
void chassis_type_print();
void chassis_type_set(ChassisType type);
void chassis_type_set_enterprise();
void chassis_type_set_telco();
void chassis_type_set_ht();
void mgmt_ip_set();
void mgmt_data_clear();
void vpd_detect_size();
void vpd_clear();

#endif
