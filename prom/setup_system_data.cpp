#include "prom/prom_actions.h"

#include <cstdio>

#include "driver/ground/failed_call.h"
#include "prom/entry_prompts.h"
#include "prom/hex_text.h"
#include "swServerApi.h"

namespace {

struct SystemItem {
    const char *write_error;
    int (*write)(unsigned char *value);
};

// Written in this order, one row per question of system_prompts.
constexpr SystemItem system_items[] = {
    {"Error writing MAC address", [](unsigned char *value) { return swServSetMAC_bus(value, 0, 0); }},
    {"Error writing 2nd MAC address", [](unsigned char *value) { return swServSetMAC_bus(value, 1, 0); }},
    {"Error writing WWName", [](unsigned char *value) { return swServSetWWN_bus(value, 0); }},
    {"Error writing VWWName", [](unsigned char *value) { return swServSetVWWN_bus(value, 0); }},
};

constexpr unsigned item_count = sizeof system_items / sizeof system_items[0];
static_assert(item_count == system_prompt_count, "one write per question");

}  // namespace

void setup_system_data()
{
    unsigned char values[item_count][8] = {};
    bool entered[item_count] = {};
    bool any_entered = false;
    for (unsigned i = 0; i != item_count; ++i) {
        entered[i] = ask_hex_value(system_prompts[i].label, values[i], system_prompts[i].bytes);
        any_entered = any_entered || entered[i];
    }
    if (!any_entered)
        return;

    for (unsigned i = 0; i != item_count; ++i) {
        if (!entered[i])
            continue;
        int rc = system_items[i].write(values[i]);
        if (rc < 0) {
            print_failed_call(rc, "%s", system_items[i].write_error);
            return;
        }
    }
    swServFlush();
    printf("\nSystem Data updated\n");
}
