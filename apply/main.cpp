// promcfg-apply: writes an identity file into the switch's system PROM by
// answering promcfg's own questions by their labels, then reads the PROM
// back and compares every item; or shows the identity the PROM holds.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "apply/checks.h"
#include "apply/display_parser.h"
#include "apply/exit_status.h"
#include "apply/identity_file.h"
#include "apply/input_file.h"
#include "apply/interrupts.h"
#include "apply/plan.h"
#include "apply/report.h"
#include "apply/run_lock.h"
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
};

void usage(FILE *to)
{
    fprintf(to, "Usage:\n"
                "\tpromcfg-apply [--dry-run] [--json] [--promcfg CMD] [--timeout SECONDS] [--lock FILE] FILE\n"
                "\tpromcfg-apply --show [--json] [--promcfg CMD] [--timeout SECONDS]\n"
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
    {"help", no_argument, nullptr, 'h'},       {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

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
    return -1;
}

// The switch's identity, read with promcfg -P; "" or why it could not be.
std::string read_switch(const Options &options, Identity &identity)
{
    ToolRun run = run_tool(options.command, "-P", nullptr, options.timeout);
    std::string why = describe_end(run, options.timeout);
    if (why.empty() && !parse_display(run.dialogue.out, identity))
        why = "printed no PROM display";
    return why.empty() ? "" : "promcfg -P " + why;
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
    std::string why = read_switch(options, identity);
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
        print_show_file(identity);
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
    // The switch first: the "before" of the report, the ASIC MAC count.
    std::string why = read_switch(options, before);
    if (interrupt_count() > 0)
        return interrupted("while reading the switch");
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        if (problems.total == 0)
            return status_failed;
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    check_entries(entries, before, wanted, problems);
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

    std::vector<GroupPlan> plan = make_plan(wanted);
    if (options.dry_run) {
        print_plan(plan, wanted, options.json);
        return status_ok;
    }
    // A dialogue that did not write in full, or an interrupt, stops the
    // ones after it.
    std::vector<GroupResult> results;
    for (const GroupPlan &group : plan) {
        bool go = interrupt_count() == 0 && (results.empty() || results.back().state == GroupResult::written);
        if (!go) {
            results.push_back({&group, GroupResult::not_run, ""});
            continue;
        }
        ToolRun run = run_tool(options.command, group.option, &group, options.timeout);
        results.push_back(judge_group(group, run, options.timeout));
    }

    // Read back also after an interrupt, to tell what reached the PROM; a
    // second one stops the reading.
    ReadBack after;
    after.failure = read_switch(options, after.identity);
    after.read = after.failure.empty();
    return print_report(results, wanted, before, after, interrupt_signal(), options.json);
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
