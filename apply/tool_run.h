// Running promcfg: with no input to read its display, or in a dialogue that
// answers each of its questions by the question's label; and what a run's
// end means. Every run has a time limit; a run past it, or stopped by a
// second interrupt, is killed with everything it started. Nothing a run
// started outlives it.
#ifndef PROMCFG_APPLY_TOOL_RUN_H
#define PROMCFG_APPLY_TOOL_RUN_H

#include <string>
#include <vector>

#include "apply/dialogue.h"
#include "apply/plan.h"

struct ToolRun {
    explicit ToolRun(const std::vector<Step> *steps = nullptr, const char *done = nullptr) : dialogue(steps, done) {}

    enum End {
        exited,           // on its own
        timed_out,        // killed at the time limit
        too_much_output,  // killed
        stopped,          // killed on request: a display at the first interrupt, anything at the second
        not_started,
    } end = not_started;
    int status = -1;  // exit status, or 128 + the signal that ended it
    Dialogue dialogue;
    std::string err;      // the start of standard error
    int interrupted = 0;  // the signal that asked this run to stop, or 0
};

// Runs `command` (a program, perhaps behind a launcher) with `option`: the
// display (-P) without a group, else the group's dialogue. The display's
// standard input is /dev/null and the first interrupt stops it. In a
// dialogue the first interrupt closes its input, which ends a promcfg still
// asking with nothing written, and the run is waited for until its time
// limit: a promcfg that has all its answers may be writing.
ToolRun run_tool(const std::vector<std::string> &command, const char *option, const GroupPlan *group,
                 long timeout_seconds);

// What went wrong with a run that reads, in words; "" when it exited with
// status 0.
std::string describe_end(const ToolRun &run, long timeout_seconds);

struct GroupResult {
    const GroupPlan *plan;
    enum State { not_run, written, stopped, failed, timed_out, interrupted } state = not_run;
    std::string detail;
};

// How one dialogue ended. Written only when promcfg was sent every answer
// that the plan gives, ended with status 0, reported no failed call and
// said, after the last answer, that it wrote.
GroupResult judge_group(const GroupPlan &plan, const ToolRun &run, long timeout_seconds);

#endif
