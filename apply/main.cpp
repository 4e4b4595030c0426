// promcfg-apply: writes an identity file into the switch's system PROM by
// answering promcfg's own questions by their labels, then reads the PROM
// back and compares every item; or shows the identity the PROM holds.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "apply/checks.h"
#include "apply/display_parser.h"
#include "apply/identity_file.h"
#include "apply/plan.h"
#include "apply/report.h"
#include "apply/show.h"
#include "apply/tool_run.h"
#include "apply/value_check.h"

namespace {

constexpr int status_bad_file = 2;

struct Options {
    const char *file = nullptr;
    bool show = false;
    bool json = false;
    bool dry_run = false;
    std::vector<std::string> command;
    long timeout = 60;
};

void usage(FILE *to)
{
    fprintf(to, "Usage:\n"
                "\tpromcfg-apply [--dry-run] [--json] [--promcfg CMD] [--timeout SECONDS] FILE\n"
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

// Parses the command line; returns -1 to go on, else the exit status.
int parse_options(int argc, char **argv, Options &options)
{
    bool command_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool has_value = false;
        std::size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            has_value = true;
        }
        bool takes_value = arg == "--promcfg" || arg == "--timeout";
        if (takes_value && !has_value) {
            if (i + 1 >= argc)
                return usage_error("missing value of ", arg.c_str());
            value = argv[++i];
        } else if (!takes_value && has_value) {
            return usage_error("no value taken by ", arg.c_str());
        }
        long long seconds = 0;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--version") {
            printf("promcfg-apply %s\n", PROMCFG_VERSION);
            return 0;
        } else if (arg == "--show") {
            options.show = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--dry-run") {
            options.dry_run = true;
        } else if (arg == "--promcfg") {
            options.command = split_command(value.c_str());
            command_given = true;
            if (options.command.empty())
                return usage_error("empty command for ", "--promcfg");
        } else if (arg == "--timeout") {
            if (!parse_decimal(value.c_str(), 1, 86400, seconds))
                return usage_error("--timeout takes whole seconds from 1 to 86400, not ", value.c_str());
            options.timeout = static_cast<long>(seconds);
        } else if (arg[0] == '-' && arg != "-") {
            return usage_error("unknown option ", arg.c_str());
        } else if (options.file) {
            return usage_error("one FILE only, also given: ", arg.c_str());
        } else {
            options.file = argv[i];
        }
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
    if (why.empty() && !parse_display(run.out, identity))
        why = "printed no PROM display";
    return why.empty() ? "" : "promcfg -P " + why;
}

int show(const Options &options)
{
    Identity identity;
    std::string why = read_switch(options, identity);
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        return 1;
    }
    if (options.json)
        print_show_json(identity);
    else
        print_show_file(identity);
    return 0;
}

int apply(const Options &options)
{
    bool from_stdin = strcmp(options.file, "-") == 0;
    FILE *in = from_stdin ? stdin : fopen(options.file, "r");
    if (!in) {
        fprintf(stderr, "promcfg-apply: cannot open %s: %s\n", options.file, strerror(errno));
        return status_bad_file;
    }
    std::vector<Entry> entries;
    Problems problems;
    read_identity_file(in, entries, problems);
    bool read_error = ferror(in) != 0;
    if (!from_stdin)
        fclose(in);
    if (read_error) {
        fprintf(stderr, "promcfg-apply: cannot read %s\n", options.file);
        return status_bad_file;
    }
    if (entries.empty() && problems.total == 0)
        problems.add(1, -1, "names no item: nothing to write");

    // The switch first: the "before" of the report, the ASIC MAC count.
    Identity before;
    std::string why = read_switch(options, before);
    if (!why.empty()) {
        fprintf(stderr, "promcfg-apply: cannot read the switch: %s\n", why.c_str());
        if (problems.total == 0)
            return 1;
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }
    Wanted wanted;
    check_entries(entries, before, wanted, problems);
    if (problems.total > 0) {
        print_problems(options.file, problems, options.json);
        return status_bad_file;
    }

    std::vector<GroupPlan> plan = make_plan(wanted);
    if (options.dry_run) {
        print_plan(plan, wanted, options.json);
        return 0;
    }
    // A dialogue that did not write in full stops the ones after it.
    std::vector<GroupResult> results;
    bool stop = false;
    for (const GroupPlan &group : plan) {
        if (stop) {
            results.push_back({&group, GroupResult::not_run, ""});
            continue;
        }
        ToolRun run = run_tool(options.command, group.option, &group.steps, options.timeout);
        results.push_back(judge_group(group, run, options.timeout));
        stop = results.back().state != GroupResult::written;
    }

    Identity after;
    why = read_switch(options, after);
    return print_report(results, wanted, before, after, why.empty(), why, options.json);
}

// Standard output is checked: a report that did not arrive is a failure.
int finish(int status)
{
    if (fflush(stdout) != 0 || ferror(stdout)) {
        fprintf(stderr, "promcfg-apply: write error: %s\n", strerror(errno));
        return status == 0 ? 1 : status;
    }
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    // A promcfg that ends early must not end this program through its pipe.
    signal(SIGPIPE, SIG_IGN);
    Options options;
    int status = parse_options(argc, argv, options);
    if (status >= 0)
        return finish(status);
    return finish(options.show ? show(options) : apply(options));
}
