// Actions on the switch's system PROM.
#ifndef PROMCFG_PROM_PROM_ACTIONS_H
#define PROMCFG_PROM_PROM_ACTIONS_H

void setup_system_data();
void setup_board_data();
void setup_chassis_data();
void prom_display();

#endif
