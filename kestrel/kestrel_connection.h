// The process-wide connection to the Kestrel library: opened by the first
// Kestrel action that succeeds in opening it, never closed.
#ifndef PROMCFG_KESTREL_KESTREL_CONNECTION_H
#define PROMCFG_KESTREL_KESTREL_CONNECTION_H

#include <cstdint>

// Above 0 once the library is open; what the last failed open gave before.
extern int32_t kestrel_handle;

// 0 when the connection is open, -19 when it cannot be opened; a later call
// tries again.
int kestrel_vpd_open();

#endif
