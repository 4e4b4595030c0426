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

struct ToolRun {
    explicit ToolRun(Dialogue dialogue = Dialogue()) : dialogue(std::move(dialogue)) {}

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

// Runs `command` (a program, perhaps behind a launcher) with `arguments`:
// a display when the dialogue answers nothing, else the dialogue. The
// display's standard input is /dev/null and the first interrupt stops it.
// In a dialogue the first interrupt closes its input, which ends a promcfg
// still asking with nothing written, and the run is waited for until its
// time limit: a promcfg that has all its answers may be writing.
ToolRun run_tool(const std::vector<std::string> &command, const std::vector<std::string> &arguments,
                 Dialogue dialogue, long timeout_seconds);

// What went wrong with a run that reads, in words; "" when it exited with
// status 0.
std::string describe_end(const ToolRun &run, long timeout_seconds);

#endif
