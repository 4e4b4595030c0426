#include <cstdio>

#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"
#include "driver/ground/process_state.h"

void vpd_detect_size()
{
    VpdSession session;
    if (session.refused())
        return;
    int size = session.client().sprom_size(static_cast<unsigned int>(current_product_id));
    if (size < 0)
        printf("Unable to detect VPD size!  rc=%d (%#x)\n", size, size);
    else
        printf("VPD size = %d (%#x)\n", size, size);
}

void vpd_clear()
{
    VpdSession session;
    if (session.refused())
        return;
    int rc = session.client().clear_sprom(static_cast<unsigned int>(current_product_id));
    if (rc < 0)
        printf("Unable to write VPD!  rc=%d (%#x)\n", rc, rc);
}
