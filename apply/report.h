// What promcfg-apply tells: the file's problems, the plan of a dry run,
// and the report of a run (each dialogue's end and every item read back),
// as text or as JSON.
#ifndef PROMCFG_APPLY_REPORT_H
#define PROMCFG_APPLY_REPORT_H

#include <string>
#include <vector>

#include "apply/checks.h"
#include "apply/plan.h"
#include "apply/tool_run.h"

// Problems on standard error, by line ("FILE:LINE: item: reason"); with
// json, also as JSON on standard output.
void print_problems(const char *file, Problems &problems, bool json);

void print_plan(const std::vector<GroupPlan> &plan, const Wanted &wanted, bool json);

// The switch as read back after the dialogues.
struct ReadBack {
    bool read = false;    // false: the display could not be read (every item then differs)
    std::string failure;  // why not
    Identity identity;
};

// The report of a run; `interrupted` is the signal that stopped it, or 0.
// Returns the exit status: 0 when every dialogue wrote and every item reads
// back as given; 3 when the switch shows no item after; 128 + the signal
// when interrupted; else 1.
int print_report(const std::vector<GroupResult> &groups, const Wanted &wanted, const Identity &before,
                 const ReadBack &after, int interrupted, bool json);

#endif
