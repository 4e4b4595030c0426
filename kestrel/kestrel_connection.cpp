#include "kestrel/kestrel_connection.h"

#include "kestrelApi.h"

int32_t kestrel_handle = 0;

int kestrel_vpd_open()
{
    if (kestrel_handle > 0)
        return 0;
    kestrel_handle = kestrel_open();
    return kestrel_handle > 0 ? 0 : -19;
}
