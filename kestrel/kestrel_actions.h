// Actions on the VPD of a Kestrel blade.
#ifndef PROMCFG_KESTREL_KESTREL_ACTIONS_H
#define PROMCFG_KESTREL_KESTREL_ACTIONS_H

// Returns -19 when the Kestrel library cannot be opened, having printed
// nothing.
int kestrel_vpd_print();
void kestrel_vpd_setup();

#endif
