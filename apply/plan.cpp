#include "apply/plan.h"

#include <cstdlib>

namespace {

struct DialogueRow {
    ItemDialogue dialogue;
    const char *option;
    const char *name;
    const char *done;
};

// In the order promcfg runs them, with the line each prints after its commit.
constexpr DialogueRow dialogue_rows[] = {
    {ItemDialogue::system_data, "-s", "system data", "\nSystem Data updated\n"},
    {ItemDialogue::board_data, "-b", "board data", "\nBoard Data updated\n"},
    {ItemDialogue::chassis_data, "-c", "chassis data", "\nChassis Data updated\n"},
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

}  // namespace

std::vector<GroupPlan> make_plan(const Wanted &wanted)
{
    const int subassemblies = subassemblies_asked(wanted);
    // As many ASIC MACs as promcfg asks for: known, or up to its room.
    const unsigned long asic_macs = wanted.asic_count_known ? wanted.asic_macs : board_max_asic_macs;
    std::vector<GroupPlan> plan;
    for (const DialogueRow &row : dialogue_rows) {
        GroupPlan group = {row.dialogue, row.option, row.name, row.done, {}};
        bool named = false;
        for (int item = 0; item < item_count; ++item) {
            if (item_info(item).row->dialogue != row.dialogue)
                continue;
            named = named || wanted.given[item];
            int subassembly = index_in_family(item, item_subassembly0);
            int asic_mac = index_in_family(item, item_asic_mac0);
            if (subassembly >= subassemblies || (asic_mac >= 0 && static_cast<unsigned long>(asic_mac) >= asic_macs))
                continue;
            // The answer, or "" to keep the item.
            Step step = {item_prompt(item), wanted.given[item] ? wanted.answer[item] : "", item};
            if (item == item_subassembly_count && step.answer.empty() && subassemblies > 0)
                step.answer = std::to_string(subassemblies);
            group.steps.push_back(step);
        }
        if (named)
            plan.push_back(group);
    }
    return plan;
}
