#include "prom/prom_actions.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/ground/console_input.h"
#include "driver/ground/failed_call.h"
#include "swServerApi.h"

namespace {

struct ChassisItem {
    const char *prompt_format;
    int32_t max_length;
    const char *write_error;
    int (*write)(char *text, int length);
};

// Asked and written in this order.
constexpr ChassisItem chassis_items[] = {
    {"Serial Number    (string max=%d chars)", 23, "Error writing chassis SN",
     [](char *text, int length) { return swServSetChassisSN_bus(text, length, 0); }},
    {"CLEI registration     (string max=%d chars)", 10, "Error writing CLEI",
     [](char *text, int length) { return swServSetCLEI_bus(text, length, 0); }},
};

constexpr unsigned item_count = sizeof chassis_items / sizeof chassis_items[0];

}  // namespace

void setup_chassis_data()
{
    char answers[item_count][24] = {};
    bool any_entered = false;
    for (unsigned i = 0; i < item_count; ++i) {
        char prompt[80];
        snprintf(prompt, sizeof prompt, chassis_items[i].prompt_format, chassis_items[i].max_length);
        any_entered = prompt_input(prompt, answers[i], chassis_items[i].max_length + 1) > 0 ||
                      any_entered;
    }
    if (!any_entered)
        return;

    for (unsigned i = 0; i < item_count; ++i) {
        if (answers[i][0] == '\0')
            continue;
        int rc = chassis_items[i].write(answers[i], static_cast<int>(strlen(answers[i]) + 1));
        if (rc < 0) {
            print_failed_call(rc, "%s", chassis_items[i].write_error);
            return;
        }
    }
    swServFlush();
    printf("\nChassis Data updated\n");
}
