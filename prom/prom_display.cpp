#include "prom/prom_actions.h"

#include <cstdint>
#include <cstdio>

#include "driver/ground/print_value.h"
#include "prom/display_labels.h"
#include "prom/entry_prompts.h"
#include "prom/product_table.h"
#include "swServerApi.h"

namespace {

constexpr uint32_t max_subassemblies = board_max_subassemblies;

void label(const char *text)
{
    printf("\t%-*.*s: ", display_label_width, display_label_width, text);
}

void print_bytes(const unsigned char *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        printf("%2.2x", bytes[i]);
    printf("\n");
}

void undefined()
{
    printf("%s\n", display_undefined);
}

// A MAC or WWN item: `count` bytes in hexadecimal, or "Undefined".
void show_address(const char *name, int rc, const unsigned char *value, int count)
{
    label(name);
    if (rc < 0)
        undefined();
    else
        print_bytes(value, count);
}

// A text item; the last byte of the buffer stays a terminator whatever the
// library left in it.
void show_text(const char *name, int rc, char *value)
{
    label(name);
    value[display_value_size - 1] = '\0';
    if (rc < 0)
        undefined();
    else
        print_value(value);
}

void show_subassemblies(char *value)
{
    uint32_t count = 0;
    label(display_subassembly_count);
    if (swServGetSubAssyCount(&count) < 0) {
        undefined();
        return;
    }
    printf("%d\n", static_cast<int32_t>(count));
    // An unreadable subassembly leaves no line at all.
    for (uint32_t i = 0; i < count && i < max_subassemblies; ++i) {
        if (swServGetSubAssy(static_cast<int>(i), value, display_value_size) < 0)
            continue;
        char name[28];
        snprintf(name, sizeof name, display_subassembly_format, static_cast<int>(i));
        show_text(name, 0, value);
    }
}

void show_asic_macs(unsigned char *value)
{
    uint32_t count = 0;
    if (swServGetNumAsicMACs(&count) < 0)
        count = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char name[100];
        snprintf(name, sizeof name, display_asic_mac_format, static_cast<int>(i));
        label(name);
        int rc = swServGetAsicMAC(value, static_cast<int>(i));
        if (rc < 0)
            undefined();
        else
            print_bytes(value, 6);
    }
}

}  // namespace

void prom_display()
{
    // One buffer receives every item in turn.
    union {
        unsigned char bytes[display_value_size];
        char text[display_value_size];
    } value = {};
    int rc;

    printf("--------------------- System Data ---------------------\n");
    rc = swServGetMAC(value.bytes, 0);
    show_address(display_ethernet_mac, rc, value.bytes, 6);
    rc = swServGetMAC(value.bytes, 1);
    show_address(display_ethernet2_mac, rc, value.bytes, 6);
    rc = swServGetWWN_bus(value.bytes, 0);
    show_address(display_switch_wwn, rc, value.bytes, 8);
    rc = swServGetVWWN_bus(value.bytes, 0);
    show_address(display_switch_vwwn, rc, value.bytes, 8);

    printf("--------------------- Board Data ----------------------\n");
    int32_t product_id = 0;
    label(display_product_id);
    if (swServGetProductID(&product_id) < 0)
        undefined();
    else
        printf("%d (%s)\n", product_id, find_product(product_id, 0).name);
    rc = swServGetProductCode(value.text, display_value_size);
    show_text(display_product_code, rc, value.text);
    rc = swServGetBoardSN(value.text, display_value_size);
    show_text(display_board_sn, rc, value.text);
    show_subassemblies(value.text);
    show_asic_macs(value.bytes);

    printf("--------------------- Chassis Data --------------------\n");
    rc = swServGetChassisSN_bus(value.text, display_value_size, 0);
    show_text(display_chassis_sn, rc, value.text);
    rc = swServGetCLEI_bus(value.text, display_value_size, 0);
    show_text(display_clei, rc, value.text);
}
