// The store-wide calls of the emulated switch PROM service: initialization,
// deletion, commit of staged writes, and the ASIC MAC counts.

// Built with hidden visibility: the platform's declarations are what
// this library exports (exports/*.map keeps everything else local).
#pragma GCC visibility push(default)
#include "swServerApi.h"
#pragma GCC visibility pop

#include "asic_mac_table.h"
#include "call_trace.h"
#include "emulated_call.h"
#include "fault_hooks.h"
#include "swserv_calls.h"
#include "system_prom.h"
#include "tlv_ids.h"

using promsim::emulated_call;
using promsim::fail;

extern "C" {

int swServInitialize(int bus)
{
    return emulated_call(__func__, std::to_string(bus), [&] {
        return promsim::check_bus(bus) != 0 ? -1 : promsim::initialize_store(false);
    });
}

int swServInitializeRaw(int bus)
{
    return emulated_call(__func__, std::to_string(bus), [&] {
        return promsim::check_bus(bus) != 0 ? -1 : promsim::initialize_store(true);
    });
}

int swServDeleteTLV(unsigned short tlv_id)
{
    return emulated_call(__func__, std::to_string(tlv_id),
                         [&] { return promsim::delete_record(tlv_id); });
}

int swServFlush(void)
{
    return emulated_call(__func__, "", [] { return promsim::flush_staged(); });
}

// The count for the product ID that the PROM holds (staged writes
// included). A damaged image fails even when PROMSIM_ASIC_MACS is set.
int swServGetNumAsicMACs(unsigned int *count)
{
    return emulated_call(__func__, "&", [&] {
        if (!count)
            return fail(EINVAL);
        uint32_t product_id = 0;
        int rc = promsim::get_integer(promsim::kTlvProductId, &product_id);
        if (rc != 0 && errno != ENOENT)
            return -1;
        if (promsim::asic_mac_override(count))
            return 0;
        if (rc != 0)
            return -1;
        return promsim::asic_mac_count(static_cast<int>(product_id), count) ? 0 : -1;
    });
}

int swServGetNumAsicMACsByProductID(int product_id, unsigned int *count)
{
    return emulated_call(__func__, promsim::trace_args({std::to_string(product_id), "&"}), [&] {
        if (!count)
            return fail(EINVAL);
        return promsim::asic_mac_count(product_id, count) ? 0 : -1;
    });
}

}  // extern "C"
