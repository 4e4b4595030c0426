// The runs that write a checked file. promcfg runs its options in a fixed
// order and its menu never returns, so at most two runs write: promcfg
// -s -b -c -x WORD (only what the file names), then one menu session that
// runs rows 5, 8 and 14 and reads everything back (rows 4, 7, 15, 11). Row
// 5 copies the product ID that its process read at start, so it runs in a
// process started after the board data is written.
#ifndef PROMCFG_APPLY_PLAN_H
#define PROMCFG_APPLY_PLAN_H

#include <string>
#include <vector>

#include "apply/checks.h"
#include "apply/dialogue.h"
#include "apply/layout.h"
#include "apply/session_reading.h"

enum class ActKind {
    option_dialogue,  // promcfg -s, -b, -c
    chassis_type,     // promcfg -x WORD: no question
    menu_write,       // rows 5, 8, 14
};

// One write of a run.
struct Act {
    ActKind kind;
    ItemDialogue group;
    const char *how;   // "-s", "-x", "row 5"
    const char *name;  // "system data", ...
    // What promcfg prints once it wrote: the done line of an option's
    // dialogue, the chassis type's "Done.", a row's message ("" for the
    // set-ups, which print nothing).
    const char *done;
    std::size_t first = 0, end = 0;  // its steps in its run's dialogue
    std::string why;                 // a record the file names nothing of: the copies it writes again
};

struct RunPlan {
    std::vector<std::string> arguments;
    Dialogue dialogue;
    std::vector<Act> acts;
};

struct WritePlan {
    RunPlan options;  // no acts: not run
    RunPlan menu;     // the writes of the menu, then the reading
    // The writes left out: the switch holds what the file gives already.
    std::vector<Act> unchanged;
};

// `force`: write also what the switch holds already.
WritePlan make_plan(const Wanted &wanted, const Identity &before, const Layout *layout, bool force = false);

// A file of system PROM items alone, in the menu session that showed row 4
// (`session`, whose writes go to `acts`):
// the system, board and chassis data as menu rows 1 to 3 (those that
// change, or all with `force`), then `reading`. The rows left out go to
// `unchanged`.
void append_system_rows(Dialogue &session, std::vector<Act> &acts, const Wanted &wanted, const Identity &before,
                        bool force, std::vector<Act> &unchanged, const ReadRows &reading);

#endif
