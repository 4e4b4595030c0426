#include "apply/plan.h"

#include <cstdlib>

#include "apply/session_reading.h"

namespace {

struct DialogueRow {
    ItemDialogue dialogue;
    ActKind kind;
    const char *how;
    const char *name;
    const char *done;
    const char *selection;  // the option, or the menu row
};

// In the order promcfg runs them.
constexpr DialogueRow dialogue_rows[] = {
    {ItemDialogue::system_data, ActKind::option_dialogue, "-s", "system data", "\nSystem Data updated\n", "-s"},
    {ItemDialogue::board_data, ActKind::option_dialogue, "-b", "board data", "\nBoard Data updated\n", "-b"},
    {ItemDialogue::chassis_data, ActKind::option_dialogue, "-c", "chassis data", "\nChassis Data updated\n", "-c"},
    {ItemDialogue::chassis_type, ActKind::chassis_type, "-x", "chassis type", "Done.\n", "-x"},
    {ItemDialogue::blade_setup, ActKind::menu_write, "row 5", "blade VPD record", "", "5"},
    {ItemDialogue::mgmt_address, ActKind::menu_write, "row 8", "IP addresses", "IP info written to VPD successfully.\n",
     "8"},
    {ItemDialogue::kestrel_setup, ActKind::menu_write, "row 14", "Kestrel VPD record", "", "14"},
};

// Subassemblies asked: the count given, or one more than the highest ID
// given; none when neither is (promcfg asks no ID after an empty count).
int subassemblies_asked(const Wanted &wanted)
{
    if (wanted.given[item_subassembly_count])
        return atoi(wanted.answer[item_subassembly_count].c_str());  // checked: 1 to 8
    int count = 0;
    for (int item = item_subassembly0; index_in_family(item, item_subassembly0) >= 0; ++item)
        if (wanted.given[item])
            count = index_in_family(item, item_subassembly0) + 1;
    return count;
}

bool names_any(const Wanted &wanted, ItemDialogue dialogue)
{
    for (int item = 0; item < item_count; ++item)
        if (wanted.given[item] && item_info(item).row->dialogue == dialogue)
            return true;
    return false;
}

// The questions of an option's dialogue, each answered from the file or
// left empty to keep its item.
void option_steps(const Wanted &wanted, const Identity &before, ItemDialogue dialogue, std::vector<Step> &steps)
{
    const int subassemblies = subassemblies_asked(wanted);
    // As many ASIC MACs as promcfg asks for: known, or up to its room,
    // the ones past what it asks passed over.
    const unsigned long asic_macs = wanted.asic_count_known ? wanted.asic_macs : board_max_asic_macs;
    for (int item = 0; item < item_count; ++item) {
        if (item_info(item).row->dialogue != dialogue)
            continue;
        int subassembly = index_in_family(item, item_subassembly0);
        int asic_mac = index_in_family(item, item_asic_mac0);
        if (subassembly >= subassemblies || (asic_mac >= 0 && static_cast<unsigned long>(asic_mac) >= asic_macs))
            continue;
        Step step = {item_prompt(item), wanted.given[item] ? wanted.answer[item] : "", item};
        if (item == item_subassembly_count && step.answer.empty() && subassemblies > 0)
            step.answer = std::to_string(subassemblies);
        // The switch's own product, which the table may not know, is kept.
        if (item == item_product_id && before.defined[item] && before.value[item] == step.answer)
            step.answer.clear();
        step.optional = asic_mac >= 0 && !wanted.asic_count_known;
        steps.push_back(step);
    }
}

// A record's questions: the file's answer, else the one that keeps the field.
void record_steps(const Wanted &wanted, ItemDialogue dialogue, std::vector<Step> &steps)
{
    for (int item = 0; item < item_count; ++item) {
        const IdentityItem &row = *item_info(item).row;
        if (row.dialogue != dialogue)
            continue;
        Prompt prompt = row.kind == ItemKind::address ? Prompt::address : Prompt::question;
        steps.push_back({row.prompt, wanted.given[item] ? wanted.answer[item] : wanted.keep[item], item, prompt});
    }
}

bool runs(const Wanted &wanted, const DialogueRow &row)
{
    if (row.dialogue == ItemDialogue::blade_setup)
        return names_any(wanted, row.dialogue) || !wanted.blade_rewrite.empty();
    if (row.dialogue == ItemDialogue::kestrel_setup)
        return names_any(wanted, row.dialogue) || !wanted.kestrel_rewrite.empty();
    return names_any(wanted, row.dialogue);
}

}  // namespace

WritePlan make_plan(const Wanted &wanted, const Identity &before, const Layout *layout)
{
    WritePlan plan;
    RunPlan &options = plan.options;
    RunPlan &menu = plan.menu;
    std::vector<Step> &option_list = options.dialogue.steps;
    std::vector<Step> &menu_list = menu.dialogue.steps;
    // The done words of the write before, in each run.
    const char *last_option_done = nullptr, *last_menu_done = nullptr;
    menu.arguments.push_back("-m");
    for (const DialogueRow &row : dialogue_rows) {
        if (!runs(wanted, row))
            continue;
        Act act = {row.kind, row.dialogue, row.how, row.name, row.done, 0, 0, ""};
        if (row.dialogue == ItemDialogue::blade_setup && !names_any(wanted, row.dialogue))
            act.why = wanted.blade_rewrite;
        if (row.dialogue == ItemDialogue::kestrel_setup && !names_any(wanted, row.dialogue))
            act.why = wanted.kestrel_rewrite;
        if (row.kind == ActKind::menu_write) {
            act.first = menu_list.size();
            Step select = {"", row.selection, -1, Prompt::selection, Lead::any};
            // Another write before it in the session: it must have printed
            // its success alone, then the menu.
            if (last_menu_done) {
                select.lead = Lead::exact;
                select.lead_text = std::string(last_menu_done) + "\n";
            }
            menu_list.push_back(select);
            record_steps(wanted, row.dialogue, menu_list);
            menu_list[act.first + 1].lead = Lead::any;
            act.end = menu_list.size();
            last_menu_done = row.done;
            menu.acts.push_back(act);
            continue;
        }
        act.first = option_list.size();
        if (row.kind == ActKind::option_dialogue) {
            option_steps(wanted, before, row.dialogue, option_list);
            // Nothing to answer (the switch's own product kept): not run.
            bool any_answer = false;
            for (std::size_t i = act.first; i < option_list.size(); ++i)
                any_answer = any_answer || !option_list[i].answer.empty();
            if (!any_answer) {
                option_list.erase(option_list.begin() + static_cast<long>(act.first), option_list.end());
                continue;
            }
        }
        options.arguments.push_back(row.selection);
        if (row.kind == ActKind::chassis_type) {
            options.arguments.push_back(wanted.answer[item_chassis_type]);
        } else {
            // After another dialogue: its done line first, no failed call.
            Step &first = option_list[act.first];
            first.lead = last_option_done ? Lead::after_done : Lead::any;
            first.lead_text = last_option_done ? last_option_done : "";
            last_option_done = row.done;
            options.dialogue.done = row.done;
        }
        act.end = option_list.size();
        options.acts.push_back(act);
    }
    options.dialogue.answers = !option_list.empty();

    // The reading after the writes.
    menu.dialogue.answers = true;
    menu.dialogue.resume_at = menu_list.size();
    bool kestrel_named = false;
    for (int item = 0; item < item_count; ++item)
        kestrel_named = kestrel_named || (wanted.given[item] && item_info(item).row->prom == ItemProm::kestrel);
    append_reading(menu_list, rows_to_read(wanted.product, wanted.product_known, kestrel_named, layout), true);
    if (!menu.acts.empty()) {
        menu_list[menu.dialogue.resume_at].lead = Lead::exact;
        menu_list[menu.dialogue.resume_at].lead_text = std::string(menu.acts.back().done) + "\n";
    }
    return plan;
}
