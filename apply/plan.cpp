#include "apply/plan.h"

#include <cstdlib>

#include "apply/session_reading.h"
#include "apply/value_check.h"

namespace {

struct DialogueRow {
    ItemDialogue dialogue;
    ActKind kind;
    const char *how;
    const char *name;
    const char *done;
    const char *selection;  // the option, or the menu row
    const char *menu_how;   // the same dialogue as a menu row: its "how", then its row
    const char *menu_row;
};

// In the order promcfg runs them.
constexpr DialogueRow dialogue_rows[] = {
    {ItemDialogue::system_data, ActKind::option_dialogue, "-s", "system data", "\nSystem Data updated\n", "-s", "row 1",
     "1"},
    {ItemDialogue::board_data, ActKind::option_dialogue, "-b", "board data", "\nBoard Data updated\n", "-b", "row 2",
     "2"},
    {ItemDialogue::chassis_data, ActKind::option_dialogue, "-c", "chassis data", "\nChassis Data updated\n", "-c",
     "row 3", "3"},
    {ItemDialogue::chassis_type, ActKind::chassis_type, "-x", "chassis type", "Done.\n", "-x", nullptr, nullptr},
    {ItemDialogue::blade_setup, ActKind::menu_write, "row 5", "blade VPD record", "", "5", nullptr, nullptr},
    {ItemDialogue::mgmt_address, ActKind::menu_write, "row 8", "IP addresses", "IP info written to VPD successfully.\n",
     "8", nullptr, nullptr},
    {ItemDialogue::kestrel_setup, ActKind::menu_write, "row 14", "Kestrel VPD record", "", "14", nullptr, nullptr},
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

// Whether the switch holds every item of the group that the file gives,
// and nothing of it needs writing again; what says why not, if the switch
// cannot tell.
bool group_unchanged(const Wanted &wanted, const Identity &before, ItemDialogue group, const Layout *layout,
                     std::string &why)
{
    if ((group == ItemDialogue::blade_setup && !wanted.blade_rewrite.empty()) ||
        (group == ItemDialogue::kestrel_setup && !wanted.kestrel_rewrite.empty()))
        return false;
    bool unchanged = true;
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item] || item_info(item).row->dialogue != group)
            continue;
        if (!item_readable(item, layout))
            why = "without a layout it cannot be told unchanged";
        // A text as long as the display shows may be longer in the PROM.
        bool may_be_longer = item_info(item).row->prom == ItemProm::system &&
                             item_info(item).row->kind == ItemKind::text &&
                             before.value[item].size() == display_text_max;
        unchanged = unchanged && before.defined[item] && !may_be_longer &&
                    before.value[item] == stored_form(item, wanted.answer[item]);
    }
    return unchanged && why.empty();
}

// Appends a menu row's selection and questions. The selection follows the
// write before it in the session, which must have printed its success alone.
void append_menu_write(Dialogue &dialogue, std::vector<Act> &acts, Act act, const char *selection,
                       const std::vector<Step> &questions, const char *&last_done)
{
    std::vector<Step> &steps = dialogue.steps;
    act.first = steps.size();
    Step select = {"", selection, -1, Prompt::selection, Lead::any};
    if (last_done) {
        select.lead = Lead::exact;
        select.lead_text = std::string(last_done) + "\n";
    }
    steps.push_back(select);
    steps.insert(steps.end(), questions.begin(), questions.end());
    steps[act.first + 1].lead = Lead::any;
    act.end = steps.size();
    last_done = act.done;
    acts.push_back(act);
}

// The reading after a session's writes, where a write that did not print its
// success goes on.
void append_reading_after(Dialogue &dialogue, const ReadRows &rows, bool with_display, const char *last_done)
{
    dialogue.resume_at = dialogue.steps.size();
    append_reading(dialogue.steps, rows, with_display);
    if (last_done && dialogue.resume_at < dialogue.steps.size()) {
        dialogue.steps[dialogue.resume_at].lead = Lead::exact;
        dialogue.steps[dialogue.resume_at].lead_text = std::string(last_done) + "\n";
    }
}

// An option dialogue's questions, or none when it has nothing to answer
// (the switch's own product kept).
std::vector<Step> option_questions(const Wanted &wanted, const Identity &before, ItemDialogue dialogue)
{
    std::vector<Step> steps;
    option_steps(wanted, before, dialogue, steps);
    for (const Step &step : steps)
        if (!step.answer.empty())
            return steps;
    return {};
}

}  // namespace

WritePlan make_plan(const Wanted &wanted, const Identity &before, const Layout *layout, bool force)
{
    WritePlan plan;
    RunPlan &options = plan.options;
    RunPlan &menu = plan.menu;
    std::vector<Step> &option_list = options.dialogue.steps;
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
        std::string why;
        if (group_unchanged(wanted, before, row.dialogue, layout, why) && !force) {
            plan.unchanged.push_back(act);
            continue;
        }
        if (act.why.empty())
            act.why = why;
        if (row.kind == ActKind::menu_write) {
            std::vector<Step> questions;
            record_steps(wanted, row.dialogue, questions);
            append_menu_write(menu.dialogue, menu.acts, act, row.selection, questions, last_menu_done);
            continue;
        }
        act.first = option_list.size();
        if (row.kind == ActKind::option_dialogue) {
            std::vector<Step> questions = option_questions(wanted, before, row.dialogue);
            if (questions.empty())
                continue;
            // After another dialogue: its done line first, no failed call.
            questions.front().lead = last_option_done ? Lead::after_done : Lead::any;
            questions.front().lead_text = last_option_done ? last_option_done : "";
            option_list.insert(option_list.end(), questions.begin(), questions.end());
            last_option_done = row.done;
            options.dialogue.done = row.done;
        }
        options.arguments.push_back(row.selection);
        if (row.kind == ActKind::chassis_type)
            options.arguments.push_back(wanted.answer[item_chassis_type]);
        act.end = option_list.size();
        options.acts.push_back(act);
    }
    options.dialogue.answers = !option_list.empty();

    menu.dialogue.answers = true;
    bool kestrel_named = false;
    for (int item = 0; item < item_count; ++item)
        kestrel_named = kestrel_named || (wanted.given[item] && item_info(item).row->prom == ItemProm::kestrel);
    append_reading_after(menu.dialogue, rows_to_read(wanted.product, wanted.product_known, kestrel_named, layout), true,
                         last_menu_done);
    return plan;
}

void append_system_rows(Dialogue &session, std::vector<Act> &acts, const Wanted &wanted, const Identity &before,
                        bool force, std::vector<Act> &unchanged, const ReadRows &reading)
{
    const char *last_done = nullptr;
    for (const DialogueRow &row : dialogue_rows) {
        if (row.kind != ActKind::option_dialogue || !names_any(wanted, row.dialogue))
            continue;
        Act act = {ActKind::menu_write, row.dialogue, row.menu_how, row.name, row.done, 0, 0, ""};
        std::string why;
        if (group_unchanged(wanted, before, row.dialogue, nullptr, why) && !force) {
            unchanged.push_back(act);
            continue;
        }
        std::vector<Step> questions = option_questions(wanted, before, row.dialogue);
        if (!questions.empty())
            append_menu_write(session, acts, act, row.menu_row, questions, last_done);
    }
    append_reading_after(session, reading, false, last_done);
}
