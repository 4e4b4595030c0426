// What promcfg-apply tells: the file's problems, the plan of a dry run,
// and the report of a run (each dialogue's end and every item read back),
// as text or as JSON.
#ifndef PROMCFG_APPLY_REPORT_H
#define PROMCFG_APPLY_REPORT_H

#include <string>
#include <vector>

#include "apply/act_judge.h"
#include "apply/checks.h"
#include "apply/plan.h"

// Problems on standard error, by line ("FILE:LINE: item: reason"); with
// json, also as JSON on standard output.
void print_problems(const char *file, Problems &problems, bool json);

// A dry run: per item, what the switch holds, what the file gives, and
// whether it would be written; then each write and its questions.
// With `force` every item would be written.
void print_plan(const WritePlan &plan, const Wanted &wanted, const Identity &before, bool force, bool json);

// The switch as read back after the dialogues.
struct ReadBack {
    bool read = false;    // false: the display could not be read (every item then differs)
    std::string failure;  // why not
    Identity identity;
    bool readable[item_count] = {};  // the item can be read back at all
    // Copies of system items that the blade and the Kestrel record hold
    // otherwise: "" or which.
    std::string blade_copies, kestrel_copies;
};

// The report of a run; `interrupted` is the signal that stopped it, or 0;
// `runs` the promcfg runs it took. Returns the exit status: 0 when every
// write worked and every item reads back as given; 5 when so, but for items
// that cannot be read back (no place for them in a layout); 3 when the
// switch shows no item after; 128 + the signal when interrupted; else 1.
int print_report(const std::vector<ActResult> &acts, const Wanted &wanted, const Identity &before,
                 const ReadBack &after, int interrupted, bool json, int runs);

#endif
