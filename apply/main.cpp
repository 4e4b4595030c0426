// promcfg-apply: writes an identity file into the switch's system PROM by
// answering promcfg's own questions by their labels, then reads the PROM
// back and compares every item; or shows the identity the PROM holds.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "apply/act_judge.h"
#include "apply/checks.h"
#include "apply/display_parser.h"
#include "apply/exit_status.h"
#include "apply/identity_file.h"
#include "apply/input_file.h"
#include "apply/interrupts.h"
#include "apply/plan.h"
#include "apply/report.h"
#include "apply/run_lock.h"
#include "apply/session_reading.h"
#include "apply/show.h"
#include "apply/tool_run.h"
#include "apply/number_text.h"

namespace {

struct Options {
    const char *file = nullptr;
    bool show = false;
    bool json = false;
    bool dry_run = false;
    std::vector<std::string> command;
    long timeout = 60;
    std::string lock;
    const char *layout_file = nullptr;
    Layout layout_read;
    const Layout *layout = nullptr;  // null: none given or found
};

void usage(FILE *to)
{
    fprintf(to, "Usage:\n"
                "\tpromcfg-apply [--dry-run] [--json] [--promcfg CMD] [--layout FILE] [--timeout SECONDS] [--lock FILE] FILE\n"
                "\tpromcfg-apply --show [--json] [--promcfg CMD] [--layout FILE] [--timeout SECONDS]\n"
                "FILE (- for standard input) holds one \"item = value\" a line. See promcfg-apply(8).\n");
}

int usage_error(const char *why, const char *what)
{
    fprintf(stderr, "promcfg-apply: %s%s\n", why, what);
    usage(stderr);
    return status_bad_file;
}

// The words of CMD, split at blanks.
std::vector<std::string> split_command(const char *text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char *p = text;; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\0') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (*p == '\0')
                return words;
        } else {
            word += *p;
        }
    }
}

// promcfg beside this program, else the one PATH finds.
std::vector<std::string> default_command()
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string path(self, static_cast<std::size_t>(length));
        path = path.substr(0, path.rfind('/') + 1) + "promcfg";
        if (access(path.c_str(), X_OK) == 0)
            return {path};
    }
    return {"promcfg"};
}

constexpr option long_options[] = {
    {"show", no_argument, nullptr, 's'},       {"json", no_argument, nullptr, 'j'},
    {"dry-run", no_argument, nullptr, 'n'},    {"promcfg", required_argument, nullptr, 'p'},
    {"timeout", required_argument, nullptr, 't'}, {"lock", required_argument, nullptr, 'l'},
    {"layout", required_argument, nullptr, 'L'}, {"help", no_argument, nullptr, 'h'},       {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The layout given, else the one beside the program, else none. Returns
// -1 to go on, else the exit status: a layout given that does not load is
// the command line's fault, the installed one's is not.
int load_layout_option(Options &options)
{
    std::string path = options.layout_file ? options.layout_file : default_layout_path();
    if (path.empty())
        return -1;
    std::string why = load_layout(path, options.layout_read);
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: layout %s\n", why.c_str());
        return options.layout_file ? status_bad_file : status_failed;
    }
    options.layout = &options.layout_read;
    return -1;
}

// Parses the command line; returns -1 to go on, else the exit status.
int parse_options(int argc, char **argv, Options &options)
{
    bool command_given = false;
    long long seconds = 0;
    opterr = 0;  // its words are promcfg-apply's own, below
    for (int option; (option = getopt_long(argc, argv, ":h", long_options, nullptr)) != -1;) {
        const char *value = optarg;
        switch (option) {
        case 'h':
            usage(stdout);
            return 0;
        case 'V':
            printf("promcfg-apply %s\n", PROMCFG_VERSION);
            return 0;
        case 's':
            options.show = true;
            break;
        case 'j':
            options.json = true;
            break;
        case 'n':
            options.dry_run = true;
            break;
        case 'p':
            options.command = split_command(value);
            command_given = true;
            if (options.command.empty())
                return usage_error("empty command for ", "--promcfg");
            break;
        case 'l':
            if (*value == '\0')
                return usage_error("empty file for ", "--lock");
            options.lock = value;
            break;
        case 'L':
            if (*value == '\0')
                return usage_error("empty file for ", "--layout");
            options.layout_file = value;
            break;
        case 't':
            if (!parse_decimal(value, 1, 86400, seconds))
                return usage_error("--timeout takes whole seconds from 1 to 86400, not ", value);
            options.timeout = static_cast<long>(seconds);
            break;
        case ':':
            return usage_error("missing value of ", argv[optind - 1]);
        default:
            return usage_error("unknown option, or a value given where none is taken: ", argv[optind - 1]);
        }
    }
    for (int i = optind; i < argc; ++i) {
        if (options.file)
            return usage_error("one FILE only, also given: ", argv[i]);
        options.file = argv[i];
    }
    if (options.show && (options.file || options.dry_run))
        return usage_error("--show takes no FILE and no --dry-run", "");
    if (!options.show && !options.file)
        return usage_error("no FILE given", "");
    if (!command_given)
        options.command = default_command();
    return load_layout_option(options);
}

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

int interrupted(const char *what)
{
    int signal_number = interrupt_signal();
    fprintf(stderr, "promcfg-apply: interrupted by %s %s; nothing written\n", signal_name(signal_number), what);
    return status_interrupted + signal_number;
}

int show(const Options &options)
{
    Identity identity;
    std::string why = read_switch(options, false, identity);
    if (interrupt_count() > 0)
        return interrupted("while reading the switch");
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        return status_failed;
    }
    int status = shows_any_item(identity) ? status_ok : status_no_item;
    if (options.json)
        print_show_json(identity, status);
    else
        print_show_file(identity, options.layout);
    if (status == status_no_item)
        fprintf(stderr, "promcfg-apply: the switch shows no item: its system PROM is blank, erased or damaged\n");
    return status;
}

// The file's lines; 0 to go on, else the exit status.
int read_file(const Options &options, std::vector<Entry> &entries, Problems &problems)
{
    std::string text, why;
    InputEnd end = read_input_file(options.file, options.timeout, text, why);
    const char *name = strcmp(options.file, "-") == 0 ? "standard input" : options.file;
    if (end == InputEnd::interrupted)
        return interrupted("while reading the file");
    if (end == InputEnd::refused) {
        fprintf(stderr, "promcfg-apply: %s %s; nothing written\n", name, why.c_str());
        return status_bad_file;
    }
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
        return interrupted("while reading the switch");
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        if (problems.total == 0)
            return status_failed;
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
    if (path.empty()) {
        fprintf(stderr, "promcfg-apply: no lock for this switch: no folder for its emulated hardware "
                        "(set PROMSIM_DIR or give --lock)\n");
        return status_failed;
    }
    switch (take_run_lock(path, options.timeout, why)) {
    case LockEnd::taken:
        return status_ok;
    case LockEnd::interrupted:
        return interrupted("while waiting for the lock");
    case LockEnd::busy:
        fprintf(stderr, "promcfg-apply: %s; nothing written\n", why.c_str());
        return status_busy;
    case LockEnd::failed:
        break;
    }
    fprintf(stderr, "promcfg-apply: %s; nothing written\n", why.c_str());
    return status_failed;
}

int apply(const Options &options)
{
    std::vector<Entry> entries;
    Problems problems;
    int status = read_file(options, entries, problems);
    // A dry run writes nothing, and so needs no lock.
    if (status == status_ok && !options.dry_run)
        status = lock_switch(options);
    Identity before;
    Wanted wanted;
    if (status == status_ok)
        status = check_with_switch(options, entries, problems, before, wanted);
    if (status != status_ok)
        return status;

    WritePlan plan = make_plan(wanted, before, options.layout);
    if (options.dry_run) {
        print_plan(plan, wanted, before, options.json);
        return status_ok;
    }
    int runs = 1;
    std::vector<ActResult> results;
    bool all_written = true;
    if (!plan.options.acts.empty()) {
        ++runs;
        ToolRun run = run_tool(options.command, plan.options.arguments, plan.options.dialogue, options.timeout);
        results = judge_run(plan.options, run, options.timeout);
        for (const ActResult &result : results)
            all_written = all_written && result.state == ActResult::written;
    }
    // The menu's writes only when everything before them was written; the
    // reading back also after an interrupt, to tell what reached the PROMs
    // (a second one stops it).
    Dialogue reading = plan.menu.dialogue;
    std::vector<ActResult> menu_results;
    if (!all_written || interrupt_count() > 0) {
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
    ReadBack after;
    after.failure = session_end(run, options, after.identity);
    after.read = after.failure.empty();
    for (int item = 0; item < item_count; ++item)
        after.readable[item] = item_readable(item, options.layout);
    if (options.layout && after.read) {
        after.blade_copies = copies_differ(after.identity, *options.layout, false);
        after.kestrel_copies = copies_differ(after.identity, *options.layout, true);
    }
    return print_report(results, wanted, before, after, interrupt_signal(), options.json, runs);
}

// Standard output is checked: a report that did not arrive is a failure.
// The reader of a closed pipe has gone: nobody waits for words, as promcfg
// says none either.
int finish(int status)
{
    errno = 0;
    bool failed = fflush(stdout) != 0;
    int error = errno;
    if (!failed && !ferror(stdout))
        return status;
    pollfd out = {1, 0, 0};
    bool reader_gone = error == EPIPE || (poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0);
    if (!reader_gone)
        fprintf(stderr, "promcfg-apply: write error: %s\n", strerror(error != 0 ? error : EIO));
    return status == 0 ? 1 : status;
}

}  // namespace

int main(int argc, char **argv)
{
    // A promcfg that ends early must not end this program through its pipe.
    signal(SIGPIPE, SIG_IGN);
    watch_interrupts();
    Options options;
    int status = parse_options(argc, argv, options);
    if (status >= 0)
        return finish(status);
    return finish(options.show ? show(options) : apply(options));
}
