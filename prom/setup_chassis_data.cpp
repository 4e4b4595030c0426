#include "prom/prom_actions.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/ground/console_input.h"
#include "driver/ground/failed_call.h"
#include "prom/entry_prompts.h"
#include "swServerApi.h"

namespace {

struct ChassisItem {
    const char *write_error;
    int (*write)(char *text, int length);
};

// Written in this order, one row per question of chassis_prompts.
constexpr ChassisItem chassis_items[] = {
    {"Error writing chassis SN", [](char *text, int length) { return swServSetChassisSN_bus(text, length, 0); }},
    {"Error writing CLEI", [](char *text, int length) { return swServSetCLEI_bus(text, length, 0); }},
};

constexpr unsigned item_count = sizeof chassis_items / sizeof chassis_items[0];
static_assert(item_count == chassis_prompt_count, "one write per question");

}  // namespace

void setup_chassis_data()
{
    char answers[item_count][24] = {};
    bool any_entered = false;
    for (unsigned i = 0; i != item_count; ++i) {
        char prompt[80];
        snprintf(prompt, sizeof prompt, chassis_prompts[i].label_format, chassis_prompts[i].max_length);
        any_entered = prompt_input(prompt, answers[i], chassis_prompts[i].max_length + 1) > 0 ||
                      any_entered;
    }
    if (!any_entered)
        return;

    for (unsigned i = 0; i != item_count; ++i) {
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
