#include "driver/command_line.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bladevpd/blade_products.h"
#include "bladevpd/chassis_words.h"
#include "bladevpd/vpd_actions.h"
#include "driver/main_menu.h"
#include "driver/option_actions.h"
#include "driver/ground/process_exit.h"
#include "driver/ground/process_state.h"
#include "driver/ground/strtol32.h"
#include "prom/prom_actions.h"
#include "swServerApi.h"

namespace {

// The actions options collect; each runs at most once, in run order.
struct ActionSet {
    bool initialize = false;
    bool raw_initialize = false;
    bool system_data = false;
    bool board_data = false;
    bool chassis_data = false;
    bool menu = false;
    bool set_chassis_type = false;
    bool telco = false;
    bool ht = false;
    bool enterprise = false;
    bool delete_tlv = false;

    bool empty() const
    {
        return !(initialize || raw_initialize || system_data || board_data || chassis_data ||
                 menu || set_chassis_type || telco || ht || enterprise || delete_tlv);
    }
};

[[noreturn]] void usage(const char *program)
{
    printf("Usage:\n");
    printf("\t%s [-ibhHpmscx]\n", program);
    printf("\t-i\t Initialize all data\n");
    printf("\t-r\t Initialize all data (raw)\n");
    printf("\t-s\t Set system data (MAC/WWN/VWWN)\n");
    printf("\t-b\t Set board data\n");
    printf("\t-c\t Set chassis data\n");
    printf("\t-p\t Print all data\n");
    printf("\t-P\t Print all data except VPD\n");
    printf("\t-x <arg>\tSet Quillon chassis type.\n");
    printf("\t\tWhere arg can be: telco, bc1, bc2, bc10, ht, or bcs\n");
    printf("\t-m\t Main configuration menu\n");
    end_process(-1);
}

[[noreturn]] void unknown_chassis_word(const char *word)
{
    printf("Uknown chassis type: %s\n", word);
    printf("\tValid values are: telco, bc1, bc2, bc10, ht, or bcs\n");
    end_process(1);
}

void deprecation_note()
{
    printf("Note: This option will be deprecated.  Use -x <arg>\n");
}

// -p: the PROM display, then the blade VPD display the product has.
[[noreturn]] void print_all()
{
    prom_display();
    const BladeProduct *blade = find_blade_product(current_product_id);
    if (blade && blade->print_8k_passes > 0)
        vpd_print_8k();
    else if (blade)
        vpd_print();
    end_process(0);
}

// A data-entry action run from the command line is named as its menu row.
void run_entry_action(void (*action)())
{
    running_action_label = menu_row_label(action);
    action();
}

}  // namespace

bool chassis_word_value(const char *word, uint32_t *value)
{
    for (const ChassisWord &entry : chassis_words) {
        if (strcasecmp(word, entry.word) == 0) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

void promcfg_main(int argc, char *argv[])
{
    int32_t product_id = 0;
    current_product_id = swServGetProductID(&product_id) < 0 ? 0 : product_id;

    ActionSet actions;
    uint16_t tlv_id = 0;
    int option;
    while ((option = getopt(argc, argv, "irsbcmx:tzeD:qvPphH")) != -1) {
        switch (option) {
        case 'i': actions.initialize = true; break;
        case 'r': actions.raw_initialize = true; break;
        case 's': actions.system_data = true; break;
        case 'b': actions.board_data = true; break;
        case 'c': actions.chassis_data = true; break;
        case 'm': actions.menu = true; break;
        case 'x':
            if (!chassis_word_value(optarg, &requested_chassis_type))
                unknown_chassis_word(optarg);
            actions.set_chassis_type = true;
            break;
        case 't': deprecation_note(); actions.telco = true; break;
        case 'z': deprecation_note(); actions.ht = true; break;
        case 'e': deprecation_note(); actions.enterprise = true; break;
        case 'D':
            tlv_id = static_cast<uint16_t>(strtol32(optarg, 16) & 0xffff);
            actions.delete_tlv = true;
            break;
        case 'q': vpd_clear(); break;
        case 'v': vpd_display_cli(); break;
        case 'P': prom_display(); end_process(0);
        case 'p': print_all();
        default: usage(argv[0]);  // -h, -H and getopt's own diagnostics
        }
    }

    if (actions.empty())
        main_menu();
    if (actions.initialize)
        initialize_prom(false);
    if (actions.raw_initialize)
        initialize_prom(true);
    if (actions.system_data)
        run_entry_action(setup_system_data);
    if (actions.board_data)
        run_entry_action(setup_board_data);
    if (actions.chassis_data)
        run_entry_action(setup_chassis_data);
    if (actions.menu)
        main_menu();
    if (actions.set_chassis_type) {
        chassis_type_set(static_cast<ChassisType>(requested_chassis_type & 0xff));
        end_process(0);
    }
    if (actions.telco)
        chassis_type_set_telco();
    else if (actions.ht)
        chassis_type_set_ht();
    else if (actions.enterprise)
        chassis_type_set_enterprise();
    if (actions.delete_tlv)
        delete_tlv(tlv_id);
    end_process(0);
}
