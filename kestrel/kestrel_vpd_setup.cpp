#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/ground/console_input.h"
#include "kestrel/kestrel_actions.h"
#include "kestrel/kestrel_connection.h"
#include "kestrel/kestrel_setup_fields.h"
#include "kestrelApi.h"
#include "swServerApi.h"

static_assert(sizeof(kestrel_vpd_data) == 142, "kestrel_vpd_data is 142 bytes");

namespace {

// Asks a row; a non-empty answer of at most the row's maximum is copied
// into the zero-filled field, whose last byte stays 0.
void ask_field(const VpdField &row, char *field, std::size_t field_size)
{
    char answer[31];
    static_assert(sizeof answer > 30, "room for the longest answer");
    int32_t length = prompt_input(row.prompt, answer, row.max_length + 1);
    if (length == 0)
        return;
    std::size_t copy = static_cast<std::size_t>(length);
    if (copy > field_size - 1)
        copy = field_size - 1;
    memcpy(field, answer, copy);
}

}  // namespace

void kestrel_vpd_setup()
{
    if (kestrel_vpd_open() != 0)
        return;
    kestrel_vpd_data record;
    memset(&record, 0, sizeof record);

    int32_t product_id = 0;
    if (swServGetProductID(&product_id) < 0) {
        printf("Error!  Unable read board data from system PROM!\n");
        printf("Board data must be initialized before VPD data!\n");
        return;
    }
    if (product_id != kestrel_product_id) {
        printf("Operation not allowed for this product type!\n");
        return;
    }
    unsigned char mac[6];
    if (swServGetMAC(mac, 0) < 0) {
        printf("Error!  Unable read MAC address from system PROM!\n");
        printf("System data must be initialized before VPD data!\n");
        return;
    }
    char chassis_sn[32] = {};
    int length = swServGetChassisSN(chassis_sn, sizeof chassis_sn);
    if (length < 0) {
        printf("Error!  Unable read chassis SN from system PROM!\n");
        printf("Chassis data must be initialized before VPD data!\n");
        return;
    }
    // The library gives the length stored; at most 31 characters are kept.
    std::size_t copy = std::min(static_cast<std::size_t>(length), sizeof record.chassis_sn - 1);
    memcpy(record.chassis_sn, chassis_sn, copy);

    // "%3.3s" pads a short revision to three characters; an empty answer
    // leaves the field all zero.
    char hw_rev[4] = {};
    ask_field(kestrel_fields[0], hw_rev, sizeof hw_rev);
    if (hw_rev[0] != '\0')
        snprintf(record.hw_rev, sizeof record.hw_rev, "%3.3s", hw_rev);
    ask_field(kestrel_fields[1], record.product_name, 31);
    ask_field(kestrel_fields[2], record.service_tag, 8);
    memcpy(record.mac, mac, sizeof mac);

    int rc = kestrel_initialize_vpd(kestrel_handle, &record);
    if (rc < 0)
        printf("Failure initializing VPD!  rc=%d (%#x)\n", rc, rc);
}
