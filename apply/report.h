// What promcfg-apply tells: the file's problems, the plan of a dry run,
// and the report of a run (each dialogue's end and every item read back),
// as text or as JSON.
#ifndef PROMCFG_APPLY_REPORT_H
#define PROMCFG_APPLY_REPORT_H

#include <string>
#include <vector>

#include "apply/checks.h"
#include "apply/plan.h"

struct GroupResult {
    const GroupPlan *plan;
    enum State { not_run, written, stopped, failed, timed_out } state = not_run;
    std::string detail;
};

// How one dialogue ended, judged from what the tool did and said.
GroupResult judge_group(const GroupPlan &plan, const ToolRun &run, long timeout_seconds);

// Problems on standard error, by line ("FILE:LINE: item: reason"); with
// json, also as JSON on standard output.
void print_problems(const char *file, Problems &problems, bool json);

void print_plan(const std::vector<GroupPlan> &plan, const Wanted &wanted, bool json);

// The report of a run. `after_read` is false when the display could not
// be read back (every item then differs). Returns the exit status: 0 when
// every dialogue wrote and every item reads back as given, else 1.
int print_report(const std::vector<GroupResult> &groups, const Wanted &wanted, const Identity &before,
                 const Identity &after, bool after_read, const std::string &read_failure, bool json);

#endif
