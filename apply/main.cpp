// promcfg-apply: writes an identity file into the switch's PROMs by
// answering promcfg's own questions by their labels, then reads the PROMs
// back and compares every item; or shows the identity they hold.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "apply/apply_flow.h"
#include "apply/exit_status.h"
#include "apply/interrupts.h"
#include "apply/number_text.h"
#include "apply/options.h"

namespace {


void usage(FILE *to)
{
    fprintf(to, "Usage:\n"
                "\tpromcfg-apply [--dry-run] [--force] [--json] [--promcfg CMD] [--layout FILE] [--timeout SECONDS]\n"
                "\t              [--lock FILE] FILE\n"
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
    {"layout", required_argument, nullptr, 'L'}, {"force", no_argument, nullptr, 'f'}, {"help", no_argument, nullptr, 'h'},       {"version", no_argument, nullptr, 'V'},
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
        case 'f':
            options.force = true;
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
    return finish(options.show ? show_switch(options) : apply_file(options));
}
