// Running promcfg: with no input to read its display, or in a dialogue that
// answers each of its questions by the question's label. Every run has a
// time limit; a run past it is killed with everything it started.
#ifndef PROMCFG_APPLY_TOOL_RUN_H
#define PROMCFG_APPLY_TOOL_RUN_H

#include <string>
#include <vector>

// One question the dialogue expects, in order, and its answer ("" keeps
// the item).
struct Step {
    std::string label;
    std::string answer;
    int item;  // the file's item it answers, or -1
};

struct ToolRun {
    enum End { exited, timed_out, too_much_output, not_started } end = not_started;
    int status = -1;         // exit status, or 128 + the signal that ended it
    std::string out;         // standard output after the last answer (all of it without steps)
    std::string err;         // the start of standard error
    std::size_t answered = 0;  // steps answered
    // The question that came when another was expected: the tool's input
    // was closed there, so that the dialogue ended unwritten.
    bool unexpected = false;
    std::string unexpected_label;
};

// Runs `command` (a program, perhaps behind a launcher) with `option`.
// Without steps its standard input is /dev/null. With steps, each
// question is answered while it is the next step's; any other question
// (an unknown label, one asked again, a step other than the first after
// other output) ends the answers.
ToolRun run_tool(const std::vector<std::string> &command, const char *option,
                 const std::vector<Step> *steps, long timeout_seconds);

// What went wrong with a run, in words; "" when it exited with status 0.
std::string describe_end(const ToolRun &run, long timeout_seconds);

#endif
