#include "apply/report.h"

#include <algorithm>
#include <cstdio>

#include "apply/exit_status.h"
#include "apply/interrupts.h"
#include "apply/json.h"
#include "apply/value_check.h"

namespace {

const char *state_word(GroupResult::State state)
{
    switch (state) {
    case GroupResult::written:
        return "written";
    case GroupResult::stopped:
        return "stopped";
    case GroupResult::failed:
        return "failed";
    case GroupResult::timed_out:
        return "timed-out";
    case GroupResult::interrupted:
        return "interrupted";
    case GroupResult::not_run:
        break;
    }
    return "not-run";
}

// How an item reads back. A text as long as the display shows may be
// longer in the PROM: it counts as read back only when the display showed
// something else before, so that the write is what changed it.
enum class Check { ok, differs, unverified };

Check check_item(int item, const Wanted &wanted, const Identity &before, const ReadBack &after)
{
    const Identity &now = after.identity;
    if (!after.read || !now.defined[item] || now.value[item] != wanted.answer[item])
        return Check::differs;
    bool at_display_limit = item_info(item).row->kind == ItemKind::text && now.value[item].size() == display_text_max;
    if (at_display_limit && before.defined[item] && before.value[item] == now.value[item])
        return Check::unverified;
    return Check::ok;
}

const char *check_word(Check check)
{
    switch (check) {
    case Check::ok:
        return "ok";
    case Check::unverified:
        return "unverified";
    case Check::differs:
        break;
    }
    return "differs";
}

std::string shown_cell(const Identity &identity, int item)
{
    return identity.defined[item] ? printable(identity.value[item]) : "undefined";
}

// A dialogue's detail; for one that wrote, the items that read back otherwise
// (a failed commit goes unreported by promcfg).
std::string group_detail(const GroupResult &group, const Wanted &wanted, const Identity &before,
                         const ReadBack &after)
{
    if (group.state != GroupResult::written || !after.read)
        return group.detail;
    std::string differ;
    for (const Step &step : group.plan->steps)
        if (step.item >= 0 && wanted.given[step.item] && check_item(step.item, wanted, before, after) == Check::differs)
            differ += (differ.empty() ? "" : ", ") + item_name(step.item);
    std::string said = group.detail.empty() ? "promcfg said so" : group.detail;
    return differ.empty() ? group.detail : said + ", but " + differ + " read back otherwise";
}

}  // namespace

void print_problems(const char *file, Problems &problems, bool json)
{
    // By line, each line's in the order found.
    std::stable_sort(problems.list.begin(), problems.list.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    std::string name = std::string(file) == "-" ? "stdin" : file;
    for (const Problem &problem : problems.list)
        fprintf(stderr, "%s:%lu: %s%s\n", name.c_str(), problem.line,
                problem.item < 0 ? "" : (item_name(problem.item) + ": ").c_str(), problem.reason.c_str());
    if (problems.total > problems.list.size())
        fprintf(stderr, "%s: %lu more problems\n", name.c_str(), problems.total - problems.list.size());
    fprintf(stderr, "promcfg-apply: %s: %lu problem%s; nothing written\n", name.c_str(), problems.total,
            problems.total == 1 ? "" : "s");
    if (!json)
        return;
    printf("{\n  \"problems\": [");
    for (std::size_t i = 0; i < problems.list.size(); ++i) {
        const Problem &problem = problems.list[i];
        printf("%s\n    {\"line\": %lu, \"item\": %s, \"problem\": %s}", i ? "," : "", problem.line,
               problem.item < 0 ? "null" : json_string(item_name(problem.item)).c_str(),
               json_string(problem.reason).c_str());
    }
    printf("\n  ],\n  \"total\": %lu,\n  \"status\": 2\n}\n", problems.total);
}

void print_plan(const std::vector<GroupPlan> &plan, const Wanted &wanted, bool json)
{
    if (json)
        printf("{\n  \"plan\": [");
    for (std::size_t g = 0; g < plan.size(); ++g) {
        const GroupPlan &group = plan[g];
        // A new product's ASIC MAC questions: as many as promcfg asks;
        // shown up to the last one answered.
        std::size_t shown = group.steps.size();
        if (!wanted.asic_count_known)
            while (shown > 0 && index_in_family(group.steps[shown - 1].item, item_asic_mac0) >= 0 &&
                   group.steps[shown - 1].answer.empty())
                --shown;
        if (json)
            printf("%s\n    {\"option\": \"%s\", \"group\": \"%s\", \"answers\": [", g ? "," : "", group.option,
                   group.name);
        else
            printf("promcfg %s (%s):\n", group.option, group.name);
        for (std::size_t i = 0; i < shown; ++i) {
            const Step &step = group.steps[i];
            if (json)
                printf("%s\n      {\"question\": %s, \"answer\": %s}", i ? "," : "", json_string(step.label).c_str(),
                       json_string(step.answer).c_str());
            else
                printf("  [%s] %s\n", step.label.c_str(),
                       step.answer.empty() ? "(empty: keeps the item)" : step.answer.c_str());
        }
        if (json)
            printf("\n    ]}");
        else if (shown < group.steps.size())
            printf("  (every further ASIC MAC question: empty)\n");
    }
    if (json)
        printf("\n  ],\n  \"status\": 0\n}\n");
    else
        printf("promcfg-apply: dry run, nothing written\n");
}

int print_report(const std::vector<GroupResult> &groups, const Wanted &wanted, const Identity &before,
                 const ReadBack &after, int interrupted, bool json)
{
    bool all_written = true;
    for (const GroupResult &group : groups)
        all_written = all_written && group.state == GroupResult::written;
    unsigned given = 0, differ = 0, unverified = 0;
    for (int item = 0; item < item_count; ++item)
        if (wanted.given[item]) {
            ++given;
            Check check = check_item(item, wanted, before, after);
            differ += check == Check::differs;
            unverified += check == Check::unverified;
        }
    bool none_before = !shows_any_item(before);
    bool none_after = after.read && !shows_any_item(after.identity);
    int status = all_written && after.read && differ + unverified == 0 ? status_ok : status_failed;
    if (none_after)
        status = status_no_item;
    if (interrupted)
        status = status_interrupted + interrupted;

    if (json) {
        printf("{\n  \"groups\": [");
        for (std::size_t i = 0; i < groups.size(); ++i)
            printf("%s\n    {\"option\": \"%s\", \"group\": \"%s\", \"result\": \"%s\", \"detail\": %s}",
                   i ? "," : "", groups[i].plan->option, groups[i].plan->name, state_word(groups[i].state),
                   json_string(group_detail(groups[i], wanted, before, after)).c_str());
        printf("\n  ],\n  \"read_back_error\": %s,\n  \"items\": [",
               after.read ? "null" : json_string(after.failure).c_str());
        const char *separator = "";
        for (int item = 0; item < item_count; ++item) {
            if (!wanted.given[item])
                continue;
            printf("%s\n    {\"item\": \"%s\", \"before\": %s, \"wanted\": %s, \"read\": %s, \"result\": \"%s\"}",
                   separator, item_name(item).c_str(),
                   json_item_value(item, before.value[item], before.defined[item]).c_str(),
                   json_item_value(item, wanted.answer[item], true).c_str(),
                   json_item_value(item, after.identity.value[item], after.read && after.identity.defined[item]).c_str(),
                   check_word(check_item(item, wanted, before, after)));
            separator = ",";
        }
        printf("\n  ],\n  \"no_item_before\": %s,\n  \"no_item_after\": %s,\n  \"interrupted\": %s,\n"
               "  \"status\": %d\n}\n",
               none_before ? "true" : "false", none_after ? "true" : "false",
               interrupted ? json_string(signal_name(interrupted)).c_str() : "null", status);
        return status;
    }

    for (const GroupResult &group : groups) {
        std::string detail = group_detail(group, wanted, before, after);
        printf("promcfg %s  %-13s %s%s%s\n", group.plan->option, group.plan->name, state_word(group.state),
               detail.empty() ? "" : ": ", detail.c_str());
    }
    if (!after.read)
        printf("promcfg -P  read back     failed: %s\n", after.failure.c_str());
    printf("\n%-15s %-24s %-24s %-24s %s\n", "item", "before", "wanted", "read", "result");
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item])
            continue;
        printf("%-15s %-24s %-24s %-24s %s\n", item_name(item).c_str(), shown_cell(before, item).c_str(),
               printable(wanted.answer[item]).c_str(), after.read ? shown_cell(after.identity, item).c_str() : "?",
               check_word(check_item(item, wanted, before, after)));
    }
    if (differ + unverified == 0)
        printf("\npromcfg-apply: all %u items read back as given\n", given);
    else if (differ > 0)
        printf("\npromcfg-apply: %u of %u items differ\n", differ, given);
    if (unverified > 0)
        printf("%spromcfg-apply: %u of %u items unverified: the display shows a text of %zu characters, "
               "as it showed before, and the PROM's may be longer\n",
               differ > 0 ? "" : "\n", unverified, given, display_text_max);
    if (none_before)
        printf("promcfg-apply: before, the switch showed no item: its system PROM was blank, erased or damaged\n");
    if (none_after)
        printf("promcfg-apply: the switch shows no item: its system PROM is blank, erased or damaged\n");
    if (interrupted)
        printf("promcfg-apply: interrupted by %s: no dialogue was started after it\n", signal_name(interrupted));
    return status;
}
