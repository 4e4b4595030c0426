#include "sim_fixture.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char **environ;

namespace promtest {
namespace {

// PROMCFG_LAUNCHER: the cross-build's emulator command, words separated by
// '|'; empty on a native build.
std::vector<std::string> launcher()
{
    std::vector<std::string> words;
    std::string list = PROMCFG_LAUNCHER;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('|', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            words.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string temp_path(const char *stem)
{
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + stem + "XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd >= 0)
        close(fd);
    return buf.data();
}

void write_file(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

pid_t start_program(const std::string &program, const std::vector<std::string> &args,
                    const EnvList &env, const std::string &input_path, const std::string &out_path,
                    const std::string &err_path)
{
    std::vector<std::string> argv_s = launcher();
    argv_s.push_back(program[0] == '/' ? program : std::string(PROMCFG_BIN_DIR) + "/" + program);
    argv_s.insert(argv_s.end(), args.begin(), args.end());

    std::vector<std::string> env_s;
    for (char **e = environ; *e; ++e)
        if (strncmp(*e, "PROMSIM_", 8) != 0)
            env_s.push_back(*e);
    for (const auto &kv : env)
        env_s.push_back(kv.first + "=" + kv.second);

    std::vector<char *> argv_p, env_p;
    for (auto &s : argv_s)
        argv_p.push_back(&s[0]);
    argv_p.push_back(nullptr);
    for (auto &s : env_s)
        env_p.push_back(&s[0]);
    env_p.push_back(nullptr);

    auto path_or_null = [](const std::string &path) { return path.empty() ? "/dev/null" : path.c_str(); };
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        // A tool that never stops reading or writing must not hang the suite
        // or fill the disk: the alarm outlives exec, and so does the limit.
        alarm(120);
        struct rlimit size = {64 << 20, 64 << 20};
        setrlimit(RLIMIT_FSIZE, &size);
        dup2(open(path_or_null(input_path), O_RDONLY), 0);
        dup2(open(path_or_null(out_path), O_WRONLY | O_TRUNC | O_CREAT, 0600), 1);
        if (err_path == "&1")
            dup2(1, 2);
        else
            dup2(open(path_or_null(err_path), O_WRONLY | O_TRUNC | O_CREAT, 0600), 2);
        execvpe(argv_p[0], argv_p.data(), env_p.data());
        _exit(127);
    }
    return pid;
}

int wait_program(pid_t pid)
{
    int wstatus = 0;
    if (pid <= 0 || waitpid(pid, &wstatus, 0) != pid)
        return -1;
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

RunResult run_program(const std::string &program, const std::vector<std::string> &args,
                      const std::string &input, const EnvList &env)
{
    std::string in_path = temp_path("promtest-in"), out_path = temp_path("promtest-out"),
                err_path = temp_path("promtest-err");
    write_file(in_path, input);
    RunResult result;
    result.status = wait_program(start_program(program, args, env, in_path, out_path, err_path));
    result.out = read_file(out_path);
    result.err = read_file(err_path);
    for (const std::string &path : {in_path, out_path, err_path})
        unlink(path.c_str());
    return result;
}

std::string promcfg_command()
{
    std::string command;
    for (const std::string &word : launcher())
        command += word + " ";
    return command + PROMCFG_BIN_DIR + "/promcfg";
}

std::vector<std::string> menu_actions(const std::string &out)
{
    std::vector<std::string> actions;
    const std::string selection = "Selection (0-15): \n", list = "\t0.\tExit\n";
    for (std::size_t at = out.find(selection); at != std::string::npos; at = out.find(selection, at)) {
        at += selection.size();
        std::size_t end = out.find(list, at);
        if (end == std::string::npos)
            break;
        actions.push_back(out.substr(at, end - at - 1));  // less the "\n" after the action
    }
    return actions;
}

std::string hex(const void *bytes, std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char b = static_cast<const unsigned char *>(bytes)[i];
        text += digits[b >> 4];
        text += digits[b & 0xf];
    }
    return text;
}

std::string call_arguments(const std::vector<std::string> &trace, const std::string &call)
{
    for (const std::string &line : trace)
        if (line.compare(0, call.size() + 1, call + "(") == 0)
            return line.substr(call.size() + 1, line.rfind(')') - call.size() - 1);
    return "<not called>";
}

int count_calls(const std::vector<std::string> &trace, const std::string &call)
{
    int calls = 0;
    for (const std::string &line : trace)
        calls += line.compare(0, call.size() + 1, call + "(") == 0;
    return calls;
}

std::vector<std::string> calls_of(const std::vector<std::string> &trace, const std::string &prefix, bool keep)
{
    std::vector<std::string> found;
    for (const auto &line : trace)
        if ((line.rfind(prefix, 0) == 0) == keep)
            found.push_back(line);
    return found;
}

std::vector<std::string> write_calls(const std::vector<std::string> &trace)
{
    static const char *const reads[] = {"swServGet", "VPD_Client::VPD_Client(", "VPD_Client::~VPD_Client(",
                                        "VPD_Client::read(", "VPD_Client::chassis_type(", "VPD_Client::release_bus(",
                                        "VPD_Client::read_mgmt_data(", "kestrel_open(", "kestrel_read(",
                                        "kestrel_get_"};
    std::vector<std::string> found;
    for (const auto &line : trace) {
        bool read = false;
        for (const char *prefix : reads)
            read = read || line.rfind(prefix, 0) == 0;
        if (!read)
            found.push_back(line);
    }
    return found;
}

std::string prompt(const std::string &label)
{
    return "[" + label + std::string(label.size() < 48 ? 48 - label.size() : 0, ' ') + "] ";
}

std::string prompts(const std::vector<std::string> &labels)
{
    std::string text;
    for (const std::string &label : labels)
        text += prompt(label);
    return text;
}

std::string blade(int product, const std::string &without)
{
    std::string items = "product-id=" + std::to_string(product);
    for (const char *item : {"mac0=0a1b2c3d4e5f", "mac1=00c0ffee0001", "wwn=1000000533aabbcc",
                             "chassis-sn=CH12345", "clei=CLEI012345"})
        if (std::string(item).rfind(without + "=", 0) != 0)
            items += std::string(" ") + item;
    return items;
}

void SimTest::SetUp()
{
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/promsimXXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir_ = std::string(buf.data()) + "/sim";
    trace_path_ = std::string(buf.data()) + "/trace";
}

void SimTest::TearDown()
{
    std::string parent = dir_.substr(0, dir_.rfind('/'));
    std::string cmd = "rm -rf '" + parent + "'";
    if (system(cmd.c_str()) != 0)
        ADD_FAILURE() << "could not remove " << parent;
}

RunResult SimTest::promcfg(const std::vector<std::string> &args, const std::string &input,
                           const EnvList &env)
{
    EnvList all = {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", trace_path_}};
    all.insert(all.end(), env.begin(), env.end());
    return run_program("promcfg", args, input, all);
}

RunResult SimTest::apply(const std::vector<std::string> &args, const std::string &input, const EnvList &env,
                         const std::string &tool)
{
    EnvList all = {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", trace_path_}};
    all.insert(all.end(), env.begin(), env.end());
    std::vector<std::string> words = {"--promcfg", tool.empty() ? promcfg_command() : tool};
    words.insert(words.end(), args.begin(), args.end());
    return run_program("promcfg-apply", words, input, all);
}

pid_t SimTest::start_apply(const std::vector<std::string> &args, const std::string &input_path,
                           const std::string &out_path, const std::string &err_path, const std::string &tool)
{
    std::vector<std::string> words = {"--promcfg", tool.empty() ? promcfg_command() : tool};
    words.insert(words.end(), args.begin(), args.end());
    return start_program("promcfg-apply", words, {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", trace_path_}},
                         input_path, out_path, err_path);
}

std::string SimTest::scratch(const std::string &name) const
{
    return dir_.substr(0, dir_.rfind('/')) + "/" + name;
}

std::string SimTest::promcfg_script(const std::string &name, const std::string &body)
{
    std::string path = scratch(name);
    FILE *file = fopen(path.c_str(), "w");
    fputs(("#!/bin/sh\n" + body).c_str(), file);
    fclose(file);
    chmod(path.c_str(), 0755);
    return path + " " + promcfg_command();
}

RunResult SimTest::promsim_result(const std::vector<std::string> &args, const EnvList &env)
{
    EnvList all = {{"PROMSIM_DIR", dir_}};
    all.insert(all.end(), env.begin(), env.end());
    return run_program("promsim", args, "", all);
}

pid_t SimTest::start_promsim(const std::vector<std::string> &args)
{
    return start_program("promsim", args, {{"PROMSIM_DIR", dir_}});
}

void SimTest::set_items(const std::string &items)
{
    std::istringstream in(items);
    for (std::string item; in >> item;)
        promsim({"set", item.substr(0, item.find('=')), item.substr(item.find('=') + 1)});
}

std::vector<std::string> SimTest::menu(const std::string &input, const EnvList &env)
{
    RunResult r = promcfg({"-m"}, input + "0\n", env);
    EXPECT_EQ(r.status, 0);
    return menu_actions(r.out);
}

std::string SimTest::promsim(const std::vector<std::string> &args)
{
    RunResult r = promsim_result(args);
    EXPECT_EQ(r.status, 0) << "promsim " << ::testing::PrintToString(args) << ": " << r.err;
    return r.out;
}

std::vector<std::string> SimTest::take_trace()
{
    std::vector<std::string> lines;
    std::istringstream in(read_file(trace_path_));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    clear_trace();
    return lines;
}

void SimTest::clear_trace()
{
    unlink(trace_path_.c_str());
}

}  // namespace promtest
