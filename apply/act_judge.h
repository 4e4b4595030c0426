// How each write of a run ended, judged from what promcfg printed, the
// answers it was sent and how it ended.
#ifndef PROMCFG_APPLY_ACT_JUDGE_H
#define PROMCFG_APPLY_ACT_JUDGE_H

#include <string>
#include <vector>

#include "apply/plan.h"
#include "apply/tool_run.h"

struct ActResult {
    const Act *act;
    enum State { not_run, written, stopped, failed, timed_out, interrupted, unchanged } state = not_run;
    std::string detail;
};

// A write counts as written only when promcfg was sent every answer the
// plan gives it and printed, right after its last one, what it prints when
// the write worked: an option's done line with no failed call, the chassis
// type's "Done.", a menu row's message alone before the menu came back;
// and the run did not end badly before that showed.
std::vector<ActResult> judge_run(const RunPlan &plan, const ToolRun &run, long timeout_seconds);

// Results for a run that was not started, with why.
std::vector<ActResult> not_run(const RunPlan &plan, const std::string &why);

#endif
