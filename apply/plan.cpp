#include "apply/plan.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string formatted(const char *format, int number)
{
    char label[100];
    snprintf(label, sizeof label, format, number);
    return label;
}

// The step of a question that answers `item`: its answer, or "" to keep it.
Step step_for(const std::string &label, const Wanted &wanted, int item)
{
    return {label, wanted.given[item] ? wanted.answer[item] : "", item};
}

void plan_system(const Wanted &wanted, std::vector<Step> &steps)
{
    for (unsigned i = 0; i < system_prompt_count; ++i)
        steps.push_back(step_for(system_prompts[i].label, wanted, item_mac0 + static_cast<int>(i)));
}

void plan_board(const Wanted &wanted, std::vector<Step> &steps)
{
    steps.push_back(step_for(board_product_id_prompt, wanted, item_product_id));
    steps.push_back(step_for(formatted(board_product_code_format, board_text_max), wanted, item_product_code));
    steps.push_back(step_for(formatted(board_sn_format, board_text_max), wanted, item_board_sn));

    // Subassemblies: the count given, or one more than the highest ID given.
    int count = 0;
    for (int i = 0; i < static_cast<int>(board_max_subassemblies); ++i)
        if (wanted.given[item_subassembly0 + i])
            count = i + 1;
    Step count_step = step_for(board_subassembly_count_prompt, wanted, item_subassembly_count);
    if (count > 0 && count_step.answer.empty())
        count_step.answer = std::to_string(count);
    else if (count > 0)
        count = atoi(count_step.answer.c_str());  // checked: 1 to 8
    steps.push_back(count_step);
    for (int i = 0; i < count; ++i)
        steps.push_back(step_for(formatted(board_subassembly_id_format, board_text_max), wanted,
                                 item_subassembly0 + i));

    // As many ASIC MACs as promcfg asks for: known, or up to its room.
    unsigned long asked = wanted.asic_count_known ? wanted.asic_macs : board_max_asic_macs;
    for (unsigned long i = 0; i < asked && i < board_max_asic_macs; ++i)
        steps.push_back(step_for(formatted(board_asic_mac_format, static_cast<int>(i)), wanted,
                                 item_asic_mac0 + static_cast<int>(i)));
}

void plan_chassis(const Wanted &wanted, std::vector<Step> &steps)
{
    for (unsigned i = 0; i < chassis_prompt_count; ++i)
        steps.push_back(step_for(formatted(chassis_prompts[i].label_format, chassis_prompts[i].max_length),
                                 wanted, item_chassis_sn + static_cast<int>(i)));
}

struct GroupRow {
    Group group;
    const char *option;
    const char *name;
    const char *done;
    void (*plan)(const Wanted &, std::vector<Step> &);
};

// In the order promcfg runs them, with the line each prints after its commit.
constexpr GroupRow group_rows[] = {
    {Group::system, "-s", "system data", "\nSystem Data updated\n", plan_system},
    {Group::board, "-b", "board data", "\nBoard Data updated\n", plan_board},
    {Group::chassis, "-c", "chassis data", "\nChassis Data updated\n", plan_chassis},
};

}  // namespace

std::vector<GroupPlan> make_plan(const Wanted &wanted)
{
    std::vector<GroupPlan> plan;
    for (const GroupRow &row : group_rows) {
        bool named = false;
        for (int item = 0; item < item_count; ++item)
            named = named || (wanted.given[item] && item_info(item).group == row.group);
        if (!named)
            continue;
        GroupPlan group = {row.group, row.option, row.name, row.done, {}};
        row.plan(wanted, group.steps);
        plan.push_back(group);
    }
    return plan;
}
