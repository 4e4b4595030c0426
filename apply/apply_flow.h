// promcfg-apply's two jobs once its command line is read: showing the
// identity the switch holds, and writing a file into it. Each returns the
// exit status.
#ifndef PROMCFG_APPLY_APPLY_FLOW_H
#define PROMCFG_APPLY_APPLY_FLOW_H

#include "apply/options.h"

int show_switch(const Options &options);
int apply_file(const Options &options);

#endif
