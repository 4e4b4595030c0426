#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bladevpd/blade_products.h"
#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"
#include "bladevpd/vpd_setup_fields.h"
#include "driver/ground/console_input.h"
#include "driver/ground/process_state.h"
#include "driver/ground/strtol32.h"
#include "swServerApi.h"

namespace {

// Asks a row; the answer (room for the longest) is empty when skipped.
int32_t ask(FieldRow row, char (&answer)[129])
{
    return prompt_input(vpd_fields[row].prompt, answer, vpd_fields[row].max_length + 1);
}

// Asks until the answer is empty (0) or starts with a number from 0 to
// `max`; an answer without a number counts as 0.
int32_t ask_number(FieldRow row, int base, int32_t max)
{
    char answer[129];
    for (;;) {
        ask(row, answer);  // an empty answer reads as 0
        int32_t value = strtol32(answer, base);
        if (value >= 0 && value <= max)
            return value;
    }
}

// Copies the answer into a zero-filled field: an empty one leaves it so.
void ask_text(FieldRow row, char *field)
{
    char answer[129];
    int32_t length = ask(row, answer);
    memcpy(field, answer, static_cast<std::size_t>(length));
}

// The record's system PROM part; false after reporting what is missing.
bool read_system_prom(init_vpd_data &record)
{
    const BladeProduct *blade = find_blade_product(current_product_id);
    if (!blade) {
        printf("Operation not allowed for this product type!\n");
        return false;
    }
    // Two MACs: the second Ethernet MAC first.
    int mac_rc = swServGetMAC(record.mac1, blade->two_macs ? 1 : 0);
    if (mac_rc >= 0 && blade->two_macs)
        mac_rc = swServGetMAC(record.mac2, 0);
    if (mac_rc < 0) {
        printf("Error!  Unable read MAC address from system PROM!\n");
        printf("System data must be initialized before VPD data!\n");
        return false;
    }
    if (swServGetWWN(record.wwn) < 0) {
        printf("Error!  Unable read WWN from system PROM!\n");
        printf("System data must be initialized before VPD data!\n");
        return false;
    }
    char chassis_sn[24] = {};
    if (swServGetChassisSN(chassis_sn, sizeof chassis_sn) < 0) {
        printf("Error!  Unable read chassis SN from system PROM!\n");
        printf("Chassis data must be initialized before VPD data!\n");
        return false;
    }
    if (swServGetCLEI(record.clei, sizeof record.clei) < 0) {
        printf("Warning: Unable read CLEI from system PROM.\n");
        printf("         CLEI will be uninitialized in VPD.\n\n");
    }
    chassis_sn[sizeof chassis_sn - 1] = '\0';
    strncpy(record.chassis_sn, chassis_sn, sizeof record.chassis_sn - 1);
    record.product_id = current_product_id;
    record.reserved0 = 0;
    return true;
}

}  // namespace

void vpd_setup()
{
    VpdSession session;
    if (session.refused())
        return;
    init_vpd_data record;
    memset(&record, 0, sizeof record);
    if (!read_system_prom(record))
        return;

    record.hw_rev = static_cast<unsigned char>(ask_number(hw_rev_row, 10, 255));
    ask_text(date_code_row, record.date_code);
    char part_number[129] = {};
    ask_text(part_row, part_number);
    memcpy(record.part_number, part_number, sizeof record.part_number);
    memcpy(record.part_number2, part_number, sizeof record.part_number2);
    ask_text(fru_row, record.fru_number);
    record.pos_id = static_cast<uint16_t>(ask_number(pos_id_row, 16, 0xffff));
    ask_text(manufacturer_row, record.manufacturer_id);
    ask_text(name_row, record.product_name);

    int rc = session.client().initialize_vpd(&record);
    if (rc < 0)
        printf("Failure initializing VPD! (rc=%#x)\n", rc);
}
