#include "driver/main_menu.h"

#include <cstdint>
#include <cstdio>

#include "bladevpd/vpd_actions.h"
#include "driver/ground/console_input.h"
#include "driver/ground/console_output.h"
#include "driver/ground/process_exit.h"
#include "driver/ground/process_state.h"
#include "driver/ground/strtol32.h"
#include "kestrel/kestrel_actions.h"
#include "prom/prom_actions.h"

constexpr MenuEntry menu_table[] = {
    {"Exit", menu_exit},
    {"Set up system data (MAC, WWN, VWWN)", setup_system_data},
    {"Set up board data", setup_board_data},
    {"Set up chassis data", setup_chassis_data},
    {"Display main prom data", prom_display},
    {"Set up FC Switch Blade data", vpd_setup},
    {"Print FC Switch Blade data", vpd_print},
    {"Print FC Switch Blade chassis type", chassis_type_print},
    {"Set IP address in VPD", mgmt_ip_set},
    {"Clear MM data (includes IP info)", mgmt_data_clear},
    {"Print FC Switch Blade data (8KB)", vpd_print_8k},
    {"VPD Display cli", [] { vpd_display_cli(); }},
    {"Clear IBM VPD PROM", vpd_clear},
    {"Detect IBM VPD PROM size (destructive)", vpd_detect_size},
    {"Set up Kestrel Blade VPD", kestrel_vpd_setup},
    {"Print Kestrel Blade VPD", [] { kestrel_vpd_print(); }},
    {"", nullptr},
};

namespace {

static_assert(sizeof menu_table / sizeof menu_table[0] == 17, "sixteen rows and the terminator");

// The rows before the terminating row.
uint32_t menu_row_count()
{
    uint32_t rows = 0;
    while (menu_table[rows].action != nullptr)
        ++rows;
    return rows;
}

}  // namespace

const char *menu_row_label(void (*action)())
{
    const MenuEntry *row = menu_table;
    while (row->action != nullptr && row->action != action)
        ++row;
    return row->name;
}

void menu_exit()
{
    end_process(0);
}

void main_menu()
{
    const uint32_t rows = menu_row_count();
    printf("\n");
    for (;;) {
        for (uint32_t row = 0; row < rows; ++row)
            printf("\t%d.\t%s\n", static_cast<int>(row), menu_table[row].name);
        printf("\n\t\tSelection (0-%d): ", static_cast<int>(rows - 1));
        flush_output();

        char line[24];
        // End of input here is a script's normal end.
        if (read_console_line(line, sizeof line) == -1)
            end_process(0);
        uint32_t selection = static_cast<uint32_t>(strtol32(line, 10));
        if (selection >= rows) {
            printf("\n");
            continue;
        }
        printf("\n");
        running_action_label = menu_table[selection].name;
        menu_table[selection].action();
        printf("\n");
    }
}
