// How a VPD set-up reports an item the system PROM did not give.
#ifndef PROMCFG_PROM_MISSING_PREREQUISITE_H
#define PROMCFG_PROM_MISSING_PREREQUISITE_H

#include <cstdio>

// `item` names what could not be read ("MAC address"), `data` the data the
// operator must set up first ("System").
inline void print_missing_prerequisite(const char *item, const char *data)
{
    printf("Error!  Unable read %s from system PROM!\n", item);
    printf("%s data must be initialized before VPD data!\n", data);
}

#endif
