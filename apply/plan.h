// The dialogues that write a checked file: which of promcfg -s, -b, -c run
// (only those whose items the file names, in that order), and the answer
// to each question they ask.
#ifndef PROMCFG_APPLY_PLAN_H
#define PROMCFG_APPLY_PLAN_H

#include <vector>

#include "apply/checks.h"
#include "apply/dialogue.h"

struct GroupPlan {
    ItemDialogue group;
    const char *option;  // "-s", "-b", "-c"
    const char *name;    // "system data", ...
    const char *done;    // what promcfg prints once it wrote: "Board Data updated"
    std::vector<Step> steps;
};

std::vector<GroupPlan> make_plan(const Wanted &wanted);

#endif
