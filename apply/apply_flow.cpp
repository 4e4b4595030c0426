#include "apply/apply_flow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "apply/act_judge.h"
#include "apply/checks.h"
#include "apply/display_parser.h"
#include "apply/exit_status.h"
#include "apply/identity_file.h"
#include "apply/input_file.h"
#include "apply/interrupts.h"
#include "apply/json.h"
#include "apply/plan.h"
#include "apply/report.h"
#include "apply/run_lock.h"
#include "apply/session_reading.h"
#include "apply/show.h"
#include "apply/tool_run.h"

namespace {

// What the first reading adds once row 4 showed the product.
struct ReadingContext {
    const Layout *layout;
    bool kestrel_asked;
    bool extended;
};

bool extend_reading(void *context, Dialogue &dialogue)
{
    ReadingContext &reading = *static_cast<ReadingContext *>(context);
    if (reading.extended)
        return false;
    reading.extended = true;
    Identity shown;
    bool displayed = parse_display(dialogue.after_step(0), shown);
    long product = shown.defined[item_product_id] ? strtol(shown.value[item_product_id].c_str(), nullptr, 10) : 0;
    std::size_t before = dialogue.steps.size();
    append_reading(dialogue.steps, rows_to_read(product, displayed && shown.defined[item_product_id],
                                                reading.kestrel_asked, reading.layout),
                   false);
    return dialogue.steps.size() > before;
}

// "" or why a reading session did not read.
std::string session_end(const ToolRun &run, const Options &options, Identity &identity)
{
    std::string why = describe_end(run, options.timeout);
    if (why.empty() && !read_session(run.dialogue, options.layout, identity, why))
        identity = Identity();
    return why.empty() ? "" : "promcfg -m " + why;
}

// The switch's identity, read in one menu session: row 4, then what the
// product has; "" or why it could not be.
std::string read_switch(const Options &options, bool kestrel_asked, Identity &identity)
{
    ReadingContext context = {options.layout, kestrel_asked, false};
    Dialogue dialogue;
    dialogue.answers = dialogue.only_reads = true;
    append_reading(dialogue.steps, ReadRows(), true);
    dialogue.extend = extend_reading;
    dialogue.context = &context;
    ToolRun run = run_tool(options.command, {"-m"}, dialogue, options.timeout);
    return session_end(run, options, identity);
}

// An end that leaves no report: one line on standard error, and with --json
// an object that says the same, so that a reader of the JSON is never
// left with nothing.
int ended(const Options &options, int status, const std::string &why)
{
    fprintf(stderr, "promcfg-apply: %s\n", why.c_str());
    if (options.json)
        printf("{\n  \"error\": %s,\n  \"status\": %d\n}\n", json_string(why).c_str(), status);
    return status;
}

int interrupted(const Options &options, const char *what)
{
    int signal_number = interrupt_signal();
    return ended(options, status_interrupted + signal_number,
                 "interrupted by " + std::string(signal_name(signal_number)) + " " + what + "; nothing written");
}

}  // namespace

int show_switch(const Options &options)
{
    Identity identity;
    std::string why = read_switch(options, false, identity);
    if (interrupt_count() > 0)
        return interrupted(options, "while reading the switch");
    if (!why.empty())
        return ended(options, status_failed, "cannot read the switch: " + why);
    int status = shows_any_item(identity) ? status_ok : status_no_item;
    if (options.json)
        print_show_json(identity, options.layout, status);
    else
        print_show_file(identity, options.layout);
    if (status == status_no_item)
        fprintf(stderr, "promcfg-apply: the switch shows no item: its system PROM is blank, erased or damaged\n");
    return status;
}

namespace {

// The file's lines; 0 to go on, else the exit status.
int read_file(const Options &options, std::vector<Entry> &entries, Problems &problems)
{
    std::string text, why;
    InputEnd end = read_input_file(options.file, options.timeout, text, why);
    const char *name = strcmp(options.file, "-") == 0 ? "standard input" : options.file;
    if (end == InputEnd::interrupted)
        return interrupted(options, "while reading the file");
    if (end == InputEnd::refused)
        return ended(options, status_bad_file, std::string(name) + " " + why + "; nothing written");
    read_identity_file(text, entries, problems);
    if (entries.empty() && problems.total == 0)
        problems.add(1, -1, "names no item: nothing to write");
    return status_ok;
}

// The entries checked against the switch as read now; 0 to go on, else the
// exit status.
int check_with_switch(const Options &options, const std::vector<Entry> &entries, Problems &problems,
                      Identity &before, Wanted &wanted)
{
    // The switch first: the "before" of the report, the ASIC MAC count,
    // the records' fields that the file leaves to keep.
    bool kestrel_asked = false;
    for (const Entry &entry : entries)
        kestrel_asked = kestrel_asked || item_info(entry.item).row->prom == ItemProm::kestrel;
    std::string why = read_switch(options, kestrel_asked, before);
    if (interrupt_count() > 0)
        return interrupted(options, "while reading the switch");
    if (!why.empty()) {
        if (problems.total == 0)
            return ended(options, status_failed, "cannot read the switch: " + why);
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    check_entries(entries, before, options.layout, wanted, problems);
    if (problems.total > 0) {
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    return status_ok;
}

int lock_switch(const Options &options)
{
    std::string path = options.lock.empty() ? default_lock_path() : options.lock, why;
    if (path.empty())
        return ended(options, status_failed,
                     "no lock for this switch: no folder for its emulated hardware (set PROMSIM_DIR or give --lock)");
    switch (take_run_lock(path, options.timeout, why)) {
    case LockEnd::taken:
        return status_ok;
    case LockEnd::interrupted:
        return interrupted(options, "while waiting for the lock");
    case LockEnd::busy:
        return ended(options, status_busy, why + "; nothing written");
    case LockEnd::failed:
        break;
    }
    return ended(options, status_failed, why + "; nothing written");
}

// What the read back says, with what only the layout can tell.
ReadBack read_back(const Options &options, const std::string &failure, const Identity &identity)
{
    ReadBack after;
    after.failure = failure;
    after.read = failure.empty();
    after.identity = identity;
    for (int item = 0; item < item_count; ++item)
        after.readable[item] = item_readable(item, options.layout);
    if (options.layout && after.read) {
        after.blade_copies = copies_differ(identity, *options.layout, false);
        after.kestrel_copies = copies_differ(identity, *options.layout, true);
    }
    return after;
}

void add_unchanged(const std::vector<Act> &unchanged, std::vector<ActResult> &results)
{
    for (const Act &act : unchanged)
        results.push_back({&act, ActResult::unchanged, ""});
}

bool all_written(const std::vector<ActResult> &results)
{
    for (const ActResult &result : results)
        if (result.state != ActResult::written && result.state != ActResult::unchanged)
            return false;
    return true;
}

// The system PROM read back alone, with promcfg -P.
std::string read_display(const Options &options, Identity &identity)
{
    Dialogue display;
    ToolRun run = run_tool(options.command, {"-P"}, display, options.timeout);
    std::string why = describe_end(run, options.timeout);
    if (why.empty() && !parse_display(run.dialogue.out, identity))
        why = "printed no PROM display";
    return why.empty() ? "" : "promcfg -P " + why;
}

// A file of system PROM items alone: one menu session shows row 4, and
// once the file is checked against it runs the rows that change (and, if
// the file changes what a record copies, reads that record last); then the
// record is written again, or the system PROM read back.
struct SystemSession {
    const Options &options;
    const std::vector<Entry> &entries;
    Problems &problems;
    Identity before;
    Wanted wanted;
    std::vector<Act> acts, unchanged;
    bool displayed = false;
    bool extended = false;
};

bool extend_system_session(void *context, Dialogue &dialogue)
{
    SystemSession &session = *static_cast<SystemSession *>(context);
    if (session.extended)
        return false;
    session.extended = true;
    session.displayed = parse_display(dialogue.after_step(0), session.before);
    if (!session.displayed || interrupt_count() > 0)
        return false;
    check_entries(session.entries, session.before, session.options.layout, session.wanted, session.problems);
    if (session.problems.total > 0)
        return false;  // the end of input ends the session: nothing written
    ReadRows records;
    if (session.options.layout && copies_change(session.wanted, session.before, ItemDialogue::blade_setup))
        records.blade_ranges = blade_ranges(*session.options.layout);
    records.kestrel = copies_change(session.wanted, session.before, ItemDialogue::kestrel_setup);
    std::size_t steps = dialogue.steps.size();
    append_system_rows(dialogue, session.acts, session.wanted, session.before, session.options.force,
                       session.unchanged, records);
    return dialogue.steps.size() > steps;
}

int apply_system_file(const Options &options, const std::vector<Entry> &entries, Problems &problems)
{
    SystemSession session = {options, entries, problems, Identity(), Wanted(), {}, {}};
    Dialogue dialogue;
    dialogue.answers = true;
    append_reading(dialogue.steps, ReadRows(), true);
    dialogue.extend = extend_system_session;
    dialogue.context = &session;
    ToolRun first = run_tool(options.command, {"-m"}, dialogue, options.timeout);
    if (interrupt_count() > 0 && session.acts.empty())
        return interrupted(options, "while reading the switch");
    if (!session.displayed) {
        std::string why = describe_end(first, options.timeout);
        why = "cannot read the switch: promcfg -m " + (why.empty() ? "printed no PROM display" : why);
        if (problems.total == 0)
            return ended(options, status_failed, why);
        fprintf(stderr, "promcfg-apply: %s\n", why.c_str());
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    if (problems.total > 0) {
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    RunPlan written;
    written.dialogue = first.dialogue;
    written.acts = session.acts;
    std::vector<ActResult> results = judge_run(written, first, options.timeout);
    add_unchanged(session.unchanged, results);
    if (session.acts.empty())
        return print_report(results, session.wanted, session.before,
                            read_back(options, "", session.before), 0, options.json, 1);

    // The records that copy what changed, as the session read them last.
    Identity records;
    std::string why;
    read_session(first.dialogue, options.layout, records, why);
    Problems record_problems;
    Wanted rewrite;
    check_entries(entries, records, options.layout, rewrite, record_problems);
    WritePlan again = make_plan(rewrite, records, options.layout, options.force);
    bool write_again = !again.menu.acts.empty() && all_written(results) && interrupt_count() == 0;
    for (const Problem &problem : record_problems.list)
        fprintf(stderr, "promcfg-apply: %s: %s\n", problem.item < 0 ? "" : item_name(problem.item).c_str(),
                problem.reason.c_str());
    std::vector<ActResult> later;
    Identity now;
    if (write_again && record_problems.total == 0) {
        ToolRun second = run_tool(options.command, again.menu.arguments, again.menu.dialogue, options.timeout);
        later = judge_run(again.menu, second, options.timeout);
        why = session_end(second, options, now);
    } else {
        why = read_display(options, now);
    }
    results.insert(results.end(), later.begin(), later.end());
    int status = print_report(results, session.wanted, session.before, read_back(options, why, now),
                              interrupt_signal(), options.json, 2);
    return record_problems.total > 0 && status == status_ok ? status_failed : status;
}

}  // namespace

int apply_file(const Options &options)
{
    std::vector<Entry> entries;
    Problems problems;
    int status = read_file(options, entries, problems);
    // A dry run writes nothing, and so needs no lock.
    if (status == status_ok && !options.dry_run)
        status = lock_switch(options);
    if (status != status_ok)
        return status;
    bool system_only = true;
    for (const Entry &entry : entries)
        system_only = system_only && item_info(entry.item).row->prom == ItemProm::system;
    if (system_only && !options.dry_run)
        return apply_system_file(options, entries, problems);

    Identity before;
    Wanted wanted;
    status = check_with_switch(options, entries, problems, before, wanted);
    if (status != status_ok)
        return status;
    WritePlan plan = make_plan(wanted, before, options.layout, options.force);
    if (options.dry_run) {
        if (system_only) {
            // As a run would write them: rows 1 to 3 of the menu session.
            plan.options = RunPlan();
            plan.unchanged.clear();
            append_reading(plan.options.dialogue.steps, ReadRows(), true);
            append_system_rows(plan.options.dialogue, plan.options.acts, wanted, before, options.force,
                               plan.unchanged, ReadRows());
        }
        print_plan(plan, wanted, before, options.force, options.json);
        return status_ok;
    }
    std::vector<ActResult> results;
    add_unchanged(plan.unchanged, results);
    if (plan.options.acts.empty() && plan.menu.acts.empty())
        return print_report(results, wanted, before, read_back(options, "", before), 0, options.json, 1);
    int runs = 1;
    if (!plan.options.acts.empty()) {
        ++runs;
        ToolRun run = run_tool(options.command, plan.options.arguments, plan.options.dialogue, options.timeout);
        std::vector<ActResult> written = judge_run(plan.options, run, options.timeout);
        results.insert(results.end(), written.begin(), written.end());
    }
    // The menu's writes only when everything before them was written; the
    // reading back also after an interrupt, to tell what reached the PROMs
    // (a second one stops it).
    Dialogue reading = plan.menu.dialogue;
    std::vector<ActResult> menu_results;
    if (!all_written(results) || interrupt_count() > 0) {
        reading.steps.erase(reading.steps.begin(), reading.steps.begin() + static_cast<long>(reading.resume_at));
        reading.steps.front().lead = Lead::any;
        reading.resume_at = static_cast<std::size_t>(-1);
        reading.only_reads = true;
        menu_results = not_run(plan.menu, interrupt_count() > 0 ? "not started after the interrupt"
                                                                : "not started, as an earlier write did not end well");
    }
    ++runs;
    ToolRun run = run_tool(options.command, plan.menu.arguments, reading, options.timeout);
    if (menu_results.empty())
        menu_results = judge_run(plan.menu, run, options.timeout);
    results.insert(results.end(), menu_results.begin(), menu_results.end());
    Identity now;
    std::string why = session_end(run, options, now);
    return print_report(results, wanted, before, read_back(options, why, now), interrupt_signal(), options.json, runs);
}
