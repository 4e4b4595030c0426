#include "apply/report.h"

#include <cstdio>

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
    case GroupResult::not_run:
        break;
    }
    return "not-run";
}

// The line of promcfg's closing words that reports a failed call: every
// such message ends in ", rc = N errno = N".
std::string failure_line(const std::string &out)
{
    std::size_t at = out.find("rc = ");
    if (at == std::string::npos)
        return "";
    std::size_t begin = out.rfind('\n', at);
    begin = begin == std::string::npos ? 0 : begin + 1;
    std::size_t end = out.find('\n', at);
    return out.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

bool reads_as_wanted(int item, const Wanted &wanted, const Identity &after)
{
    // A text is compared as shown, so that a text "Undefined" can match.
    bool text = item_info(item).kind == ItemKind::text;
    return (text ? after.shown[item] : after.defined[item]) && after.value[item] == wanted.answer[item];
}

std::string shown_cell(const Identity &identity, int item)
{
    return identity.defined[item] ? printable(identity.value[item]) : "undefined";
}

// A dialogue's detail; for one that wrote, the items that read back otherwise
// (a failed commit goes unreported by promcfg).
std::string group_detail(const GroupResult &group, const Wanted &wanted, const Identity &after, bool after_read)
{
    if (group.state != GroupResult::written || !after_read)
        return group.detail;
    std::string differ;
    for (const Step &step : group.plan->steps)
        if (step.item >= 0 && wanted.given[step.item] && !reads_as_wanted(step.item, wanted, after))
            differ += (differ.empty() ? "" : ", ") + item_name(step.item);
    return differ.empty() ? "" : "promcfg said so, but " + differ + " read back otherwise";
}

}  // namespace

GroupResult judge_group(const GroupPlan &plan, const ToolRun &run, long timeout_seconds)
{
    GroupResult result = {&plan, GroupResult::failed, ""};
    if (run.end == ToolRun::timed_out) {
        result.state = GroupResult::timed_out;
        result.detail = describe_end(run, timeout_seconds);
        return result;
    }
    if (run.unexpected) {
        result.state = GroupResult::stopped;
        bool again = run.answered > 0 && run.unexpected_label == plan.steps[run.answered - 1].label;
        std::string expected = run.answered < plan.steps.size() ? "\"" + plan.steps[run.answered].label + "\""
                                                                 : "no more questions";
        result.detail = again ? "\"" + run.unexpected_label + "\" came again (promcfg refused the answer)"
                              : "promcfg asked \"" + printable(run.unexpected_label) + "\", expected " + expected;
        result.detail += "; its input was closed, so nothing of " + std::string(plan.name) + " was written";
        return result;
    }
    result.detail = describe_end(run, timeout_seconds);
    if (!result.detail.empty())
        return result;
    result.detail = failure_line(run.out);
    if (!result.detail.empty())
        return result;
    // Only ASIC MACs can go unasked: a new product's count shows only here.
    std::string not_asked;
    unsigned asic_macs = 0;
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        int item = plan.steps[i].item;
        if (i < run.answered)
            asic_macs += item >= item_asic_mac0 && item < item_chassis_sn;
        else if (!plan.steps[i].answer.empty() && item >= 0)
            not_asked += (not_asked.empty() ? "" : ", ") + item_name(item);
    }
    if (!not_asked.empty()) {
        result.detail = "promcfg asked for " + std::to_string(asic_macs) + " ASIC MACs, not for " + not_asked +
                        "; the rest was written";
        return result;
    }
    result.state = GroupResult::written;
    return result;
}

void print_problems(const char *file, Problems &problems, bool json)
{
    // By line, each line's in the order found: a bounded list, sorted in place.
    for (std::size_t i = 1; i < problems.list.size(); ++i)
        for (std::size_t j = i; j > 0 && problems.list[j - 1].line > problems.list[j].line; --j)
            problems.list[j - 1].swap(problems.list[j]);
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
        if (group.group == Group::board && !wanted.asic_count_known)
            while (shown > 0 && group.steps[shown - 1].item >= item_asic_mac0 && group.steps[shown - 1].answer.empty())
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
                 const Identity &after, bool after_read, const std::string &read_failure, bool json)
{
    int status = after_read ? 0 : 1;
    for (const GroupResult &group : groups)
        if (group.state != GroupResult::written)
            status = 1;
    unsigned given = 0, differ = 0;
    for (int item = 0; item < item_count; ++item)
        if (wanted.given[item]) {
            ++given;
            differ += !(after_read && reads_as_wanted(item, wanted, after));
        }
    if (differ > 0)
        status = 1;

    if (json) {
        printf("{\n  \"groups\": [");
        for (std::size_t i = 0; i < groups.size(); ++i)
            printf("%s\n    {\"option\": \"%s\", \"group\": \"%s\", \"result\": \"%s\", \"detail\": %s}",
                   i ? "," : "", groups[i].plan->option, groups[i].plan->name, state_word(groups[i].state),
                   json_string(group_detail(groups[i], wanted, after, after_read)).c_str());
        printf("\n  ],\n  \"read_back_error\": %s,\n  \"items\": [",
               after_read ? "null" : json_string(read_failure).c_str());
        const char *separator = "";
        for (int item = 0; item < item_count; ++item) {
            if (!wanted.given[item])
                continue;
            printf("%s\n    {\"item\": \"%s\", \"before\": %s, \"wanted\": %s, \"read\": %s, \"result\": \"%s\"}",
                   separator, item_name(item).c_str(),
                   json_item_value(item, before.value[item], before.defined[item]).c_str(),
                   json_item_value(item, wanted.answer[item], true).c_str(),
                   json_item_value(item, after.value[item], after_read && after.defined[item]).c_str(),
                   after_read && reads_as_wanted(item, wanted, after) ? "ok" : "differs");
            separator = ",";
        }
        printf("\n  ],\n  \"status\": %d\n}\n", status);
        return status;
    }

    for (const GroupResult &group : groups) {
        std::string detail = group_detail(group, wanted, after, after_read);
        printf("promcfg %s  %-13s %s%s%s\n", group.plan->option, group.plan->name, state_word(group.state),
               detail.empty() ? "" : ": ", detail.c_str());
    }
    if (!after_read)
        printf("promcfg -P  read back     failed: %s\n", read_failure.c_str());
    printf("\n%-15s %-24s %-24s %-24s %s\n", "item", "before", "wanted", "read", "result");
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item])
            continue;
        bool ok = after_read && reads_as_wanted(item, wanted, after);
        printf("%-15s %-24s %-24s %-24s %s\n", item_name(item).c_str(), shown_cell(before, item).c_str(),
               printable(wanted.answer[item]).c_str(), after_read ? shown_cell(after, item).c_str() : "?",
               ok ? "ok" : "differs");
    }
    if (differ == 0)
        printf("\npromcfg-apply: all %u items read back as given\n", given);
    else
        printf("\npromcfg-apply: %u of %u items differ\n", differ, given);
    return status;
}
