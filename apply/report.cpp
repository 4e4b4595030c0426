#include "apply/report.h"

#include <utility>
#include <cstdio>

#include "apply/exit_status.h"
#include "apply/interrupts.h"
#include "apply/json.h"
#include "apply/value_check.h"

namespace {

const char *state_word(ActResult::State state)
{
    switch (state) {
    case ActResult::written:
        return "written";
    case ActResult::stopped:
        return "stopped";
    case ActResult::failed:
        return "failed";
    case ActResult::timed_out:
        return "timed-out";
    case ActResult::interrupted:
        return "interrupted";
    case ActResult::unchanged:
        return "unchanged";
    case ActResult::not_run:
        break;
    }
    return "not-run";
}

// How an item reads back. A text as long as the display shows may be
// longer in the PROM: it counts as read back only when the display showed
// something else before, so that the write is what changed it.
enum class Check { ok, differs, unverified, not_read };

Check check_item(int item, const Wanted &wanted, const Identity &before, const ReadBack &after)
{
    const Identity &now = after.identity;
    if (!after.readable[item])
        return Check::not_read;
    if (!after.read || !now.defined[item] || now.value[item] != stored_form(item, wanted.answer[item]))
        return Check::differs;
    bool at_display_limit = item_info(item).row->prom == ItemProm::system && item_info(item).row->kind == ItemKind::text &&
                            now.value[item].size() == display_text_max;
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
    case Check::not_read:
        return "written, not read back";
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
// The copies a written record holds otherwise than the system PROM.
std::string wrong_copies(const ActResult &group, const ReadBack &after)
{
    if (group.state != ActResult::written || !after.read)
        return "";
    if (group.act->group == ItemDialogue::blade_setup)
        return after.blade_copies;
    return group.act->group == ItemDialogue::kestrel_setup ? after.kestrel_copies : "";
}

std::string group_detail(const ActResult &group, const Wanted &wanted, const Identity &before,
                         const ReadBack &after)
{
    const std::string &why = group.act->why;
    if (group.state != ActResult::written || !after.read)
        return group.detail.empty() || why.empty() ? group.detail + why : why + "; " + group.detail;
    std::string differ;
    for (int item = 0; item < item_count; ++item)
        if (wanted.given[item] && item_info(item).row->dialogue == group.act->group &&
            check_item(item, wanted, before, after) == Check::differs)
            differ += (differ.empty() ? "" : ", ") + item_name(item);
    std::string said = group.detail.empty() ? "promcfg said so" : group.detail;
    std::string detail = differ.empty() ? group.detail : said + ", but " + differ + " read back otherwise";
    std::string copies = wrong_copies(group, after);
    if (!copies.empty())
        detail += (detail.empty() ? "promcfg said so, but its " : "; its ") + copies;
    return why.empty() || detail.empty() ? why + detail : why + "; " + detail;
}

// An empty answer keeps a system item; a record's field it writes as zero.
std::string answer_cell(const Step &step)
{
    if (!step.answer.empty())
        return step.answer;
    ItemDialogue dialogue = step.item >= 0 ? item_info(step.item).row->dialogue : ItemDialogue::system_data;
    bool in_record = dialogue == ItemDialogue::blade_setup || dialogue == ItemDialogue::kestrel_setup;
    return in_record ? "(empty: a zero field)" : "(empty: keeps the item)";
}

}  // namespace

void print_problems(const char *file, Problems &problems, bool json)
{
    // By line, each line's in the order found: an insertion sort, stable
    // and small, of at most Problems::kept.
    std::vector<Problem> &list = problems.list;
    for (std::size_t i = 1; i < list.size(); ++i)
        for (std::size_t j = i; j > 0 && list[j - 1].line > list[j].line; --j)
            std::swap(list[j - 1], list[j]);
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

void print_plan(const WritePlan &plan, const Wanted &wanted, const Identity &before, bool force, bool json)
{
    printf(json ? "{\n  \"items\": [" : "%-20s %-24s %-24s %s\n", "item", "before", "wanted", "action");
    const char *separator = "";
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item])
            continue;
        bool unchanged = !force && before.defined[item] && before.value[item] == stored_form(item, wanted.answer[item]);
        const char *action = unchanged ? "unchanged" : "would write";
        if (json)
            printf("%s\n    {\"item\": \"%s\", \"before\": %s, \"wanted\": %s, \"action\": \"%s\"}", separator,
                   item_name(item).c_str(), json_item_value(item, before.value[item], before.defined[item]).c_str(),
                   json_item_value(item, wanted.answer[item], true).c_str(), action);
        else
            printf("%-20s %-24s %-24s %s\n", item_name(item).c_str(), shown_cell(before, item).c_str(),
                   printable(wanted.answer[item]).c_str(), action);
        separator = ",";
    }
    printf(json ? "\n  ],\n  \"plan\": [" : "\n");
    separator = "";
    for (const RunPlan *run : {&plan.options, &plan.menu})
        for (const Act &act : run->acts) {
            const std::string &why = act.why;
            if (json)
                printf("%s\n    {\"how\": \"%s\", \"group\": \"%s\", \"why\": %s, \"answers\": [", separator, act.how,
                       act.name, act.why.empty() ? "null" : json_string(why).c_str());
            else
                printf("promcfg %s (%s)%s%s:\n", act.how, act.name, why.empty() ? "" : ", ", why.c_str());
            if (act.kind == ActKind::chassis_type && !json)
                printf("  -x %s\n", wanted.answer[item_chassis_type].c_str());
            const char *inner = "";
            for (std::size_t i = act.first; i < act.end; ++i) {
                const Step &step = run->dialogue.steps[i];
                if (step.prompt == Prompt::selection || (step.optional && step.answer.empty()))
                    continue;
                if (json)
                    printf("%s\n      {\"question\": %s, \"answer\": %s}", inner, json_string(step.label).c_str(),
                           json_string(step.answer).c_str());
                else
                    printf("  [%s] %s\n", step.label.c_str(), answer_cell(step).c_str());
                inner = ",";
            }
            if (json)
                printf("\n    ]}");
            separator = ",";
        }
    if (json)
        printf("\n  ],\n  \"status\": 0\n}\n");
    else
        printf("promcfg-apply: dry run, nothing written\n");
}

int print_report(const std::vector<ActResult> &results, const Wanted &wanted, const Identity &before,
                 const ReadBack &after, int interrupted, bool json, int runs)
{
    // In the order promcfg runs the writes, the ones left unchanged among them.
    std::vector<ActResult> groups = results;
    for (std::size_t i = 1; i < groups.size(); ++i)
        for (std::size_t j = i; j > 0 && groups[j - 1].act->group > groups[j].act->group; --j)
            std::swap(groups[j - 1], groups[j]);
    bool all_written = true;
    for (const ActResult &group : groups)
        all_written = all_written && (group.state == ActResult::written || group.state == ActResult::unchanged) &&
                      wrong_copies(group, after).empty();
    unsigned given = 0, differ = 0, unverified = 0, not_read = 0;
    for (int item = 0; item < item_count; ++item)
        if (wanted.given[item]) {
            ++given;
            Check check = check_item(item, wanted, before, after);
            differ += check == Check::differs;
            unverified += check == Check::unverified;
            not_read += check == Check::not_read;
        }
    bool none_before = !shows_any_item(before);
    bool none_after = after.read && !shows_any_item(after.identity);
    int status = all_written && after.read && differ + unverified == 0 ? status_ok : status_failed;
    if (status == status_ok && not_read > 0)
        status = status_not_read_back;
    if (none_after)
        status = status_no_item;
    if (interrupted)
        status = status_interrupted + interrupted;

    if (json) {
        printf("{\n  \"groups\": [");
        for (std::size_t i = 0; i < groups.size(); ++i)
            printf("%s\n    {\"how\": \"%s\", \"group\": \"%s\", \"result\": \"%s\", \"detail\": %s}",
                   i ? "," : "", groups[i].act->how, groups[i].act->name, state_word(groups[i].state),
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
               "  \"runs\": %d,\n  \"status\": %d\n}\n",
               none_before ? "true" : "false", none_after ? "true" : "false",
               interrupted ? json_string(signal_name(interrupted)).c_str() : "null", runs, status);
        return status;
    }

    for (const ActResult &group : groups) {
        std::string detail = group_detail(group, wanted, before, after);
        printf("promcfg %-6s %-18s %s%s%s\n", group.act->how, group.act->name, state_word(group.state),
               detail.empty() ? "" : ": ", detail.c_str());
    }
    if (!after.read)
        printf("promcfg -m     %-18s failed: %s\n", "read back", after.failure.c_str());
    printf("\n%-20s %-24s %-24s %-24s %s\n", "item", "before", "wanted", "read", "result");
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item])
            continue;
        printf("%-20s %-24s %-24s %-24s %s\n", item_name(item).c_str(), shown_cell(before, item).c_str(),
               printable(wanted.answer[item]).c_str(), after.read ? shown_cell(after.identity, item).c_str() : "?",
               check_word(check_item(item, wanted, before, after)));
    }
    if (differ + unverified + not_read == 0 && given == 1)
        printf("\npromcfg-apply: the item reads back as given\n");
    else if (differ + unverified + not_read == 0)
        printf("\npromcfg-apply: all %u items read back as given\n", given);
    else if (differ + unverified == 0)
        printf("\npromcfg-apply: %u of %u items written, not read back: the layout (--layout) has no place for them\n",
               not_read, given);
    else if (differ > 0)
        printf("\npromcfg-apply: %u of %u items differ\n", differ, given);
    if (differ > 0 && not_read > 0)
        printf("promcfg-apply: %u of %u items written, not read back: the layout (--layout) has no place for them\n",
               not_read, given);
    if (unverified > 0)
        printf("%spromcfg-apply: %u of %u items unverified: the display shows a text of %zu characters, "
               "as it showed before, and the PROM's may be longer\n",
               differ > 0 ? "" : "\n", unverified, given, display_text_max);
    for (const ActResult &group : groups)
        if (!wrong_copies(group, after).empty())
            printf("promcfg-apply: %s holds copies of system items that differ from the system PROM\n",
                   group.act->name);
    if (none_before)
        printf("promcfg-apply: before, the switch showed no item: its system PROM was blank, erased or damaged\n");
    if (none_after)
        printf("promcfg-apply: the switch shows no item: its system PROM is blank, erased or damaged\n");
    if (interrupted)
        printf("promcfg-apply: interrupted by %s: no dialogue was started after it\n", signal_name(interrupted));
    return status;
}
