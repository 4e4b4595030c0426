#include "driver/option_actions.h"

#include <cstdio>

#include "driver/ground/failed_call.h"
#include "driver/ground/process_exit.h"
#include "swServerApi.h"

namespace {

struct TlvRange {
    uint16_t first;
    uint16_t last;
};

constexpr TlvRange deletable_tlvs[] = {
    {0x110, 0x113}, {0x120, 0x121}, {0x130, 0x137}, {0x140, 0x141},
    {0x160, 0x161}, {0x500, 0x50f}, {0x52f, 0x52f}, {0x8010, 0x8011},
};

}  // namespace

void initialize_prom(bool raw)
{
    if (raw)
        printf("Performing raw initialization of bus 0 ...\n");
    int rc = raw ? swServInitializeRaw(0) : swServInitialize(0);
    if (rc < 0) {
        print_failed_call(rc, "Error initializing sprom");
        end_process(0);
    }
    printf("Sprom data initialized\n");
}

bool tlv_deletable(uint16_t tlv_id)
{
    for (const TlvRange &range : deletable_tlvs)
        if (tlv_id >= range.first && tlv_id <= range.last)
            return true;
    return false;
}

void delete_tlv(uint16_t tlv_id)
{
    if (!tlv_deletable(tlv_id)) {
        printf("Unsupported TLV: 0x%x\n", tlv_id);
        return;
    }
    int rc = swServDeleteTLV(tlv_id);
    if (rc < 0)
        print_failed_call(rc, "Error deleting TLV 0x%x", tlv_id);
    else
        printf("TLV 0x%x deleted\n", tlv_id);
}
