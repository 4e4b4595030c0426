#include "apply/tool_run.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Bounds on what a run may print: the whole display, or what comes
// between two questions; and the part of standard error kept.
constexpr std::size_t out_limit = 1 << 20;
constexpr std::size_t err_kept = 4096;

long long now_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void close_fd(int &fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// A pipe whose ends are closed in every program started later.
bool make_pipe(int ends[2])
{
    if (pipe(ends) != 0)
        return false;
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    return true;
}

struct Child {
    pid_t pid = -1;
    int in = -1, out = -1, err = -1;
};

// Starts command + option in a process group of its own, so that a kill
// reaches a launcher and what it started.
bool start(const std::vector<std::string> &command, const char *option, bool with_input,
           Child &child)
{
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if ((with_input && !make_pipe(in)) || !make_pipe(out) || !make_pipe(err)) {
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            if (fd >= 0)
                close(fd);
        return false;
    }
    std::vector<char *> argv;
    for (const std::string &word : command)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(const_cast<char *>(option));
    argv.push_back(nullptr);

    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        int input = with_input ? in[0] : open("/dev/null", O_RDONLY);
        dup2(input, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        signal(SIGPIPE, SIG_DFL);
        execvp(argv[0], argv.data());
        dprintf(2, "promcfg-apply: cannot start %s: %s\n", argv[0], strerror(errno));
        _exit(127);
    }
    close_fd(in[0]);
    close_fd(out[1]);
    close_fd(err[1]);
    if (pid < 0) {
        close_fd(in[1]);
        close_fd(out[0]);
        close_fd(err[0]);
        return false;
    }
    setpgid(pid, pid);
    child.pid = pid;
    child.in = in[1];
    child.out = out[0];
    child.err = err[0];
    if (child.in >= 0)
        fcntl(child.in, F_SETFL, fcntl(child.in, F_GETFL) | O_NONBLOCK);
    return true;
}

void kill_child(const Child &child)
{
    kill(-child.pid, SIGKILL);
    kill(child.pid, SIGKILL);
}

// The question the output ends with: its last line is "[label] ", the
// label padded with blanks. Empty when the output ends otherwise.
std::string question_at_end(const std::string &out, std::size_t &line_start)
{
    std::size_t newline = out.rfind('\n');
    line_start = newline == std::string::npos ? 0 : newline + 1;
    if (out.size() < line_start + 3 || out[line_start] != '[' || out.compare(out.size() - 2, 2, "] ") != 0)
        return "";
    std::string label = out.substr(line_start + 1, out.size() - line_start - 3);
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

bool write_answer(int fd, const std::string &answer)
{
    std::string line = answer + "\n";
    std::size_t done = 0;
    while (done < line.size()) {
        ssize_t n = write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Answers the question that `run.out` ends with, if it is the next step's;
// any other question ends the dialogue (a question after the last step
// finds the input closed already).
void answer_question(ToolRun &run, Child &child, const std::vector<Step> &steps)
{
    std::size_t line_start = 0;
    std::string label = question_at_end(run.out, line_start);
    if (label.empty())
        return;  // no question (yet): the tool is busy or ending
    // Only the first question may follow other output (board data's
    // product list); after that, output before a question means the tool
    // had something to say about the answer.
    bool expected = run.answered < steps.size() && label == steps[run.answered].label &&
                    (run.answered == 0 || line_start == 0);
    if (expected && write_answer(child.in, steps[run.answered].answer)) {
        ++run.answered;
        run.out.clear();
        // After the last answer the tool writes and ends; the end of its
        // input also ends a filter in front of it, which would else wait.
        if (run.answered == steps.size())
            close_fd(child.in);
        return;
    }
    run.unexpected = true;
    run.unexpected_label = label;
    close_fd(child.in);
}

// Waits for the child until the deadline; kills it then.
void reap(ToolRun &run, const Child &child, long long deadline)
{
    for (;;) {
        int wstatus = 0;
        pid_t done = waitpid(child.pid, &wstatus, WNOHANG);
        if (done == child.pid) {
            run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
            return;
        }
        if (done < 0 && errno != EINTR)
            return;
        if (now_ms() >= deadline) {
            kill_child(child);
            waitpid(child.pid, &wstatus, 0);
            run.end = ToolRun::timed_out;
            run.status = 128 + SIGKILL;
            return;
        }
        timespec pause = {0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

}  // namespace

ToolRun run_tool(const std::vector<std::string> &command, const char *option,
                 const std::vector<Step> *steps, long timeout_seconds)
{
    ToolRun run;
    Child child;
    if (command.empty() || !start(command, option, steps != nullptr, child)) {
        run.err = std::string("cannot start promcfg: ") + strerror(errno);
        return run;
    }
    run.end = ToolRun::exited;
    const long long deadline = now_ms() + static_cast<long long>(timeout_seconds) * 1000;
    char buffer[4096];
    while (child.out >= 0 || child.err >= 0) {
        long long left = deadline - now_ms();
        if (left <= 0) {
            run.end = ToolRun::timed_out;
            break;
        }
        pollfd fds[2];
        int *owners[2];
        nfds_t count = 0;
        for (int *fd : {&child.out, &child.err}) {
            if (*fd < 0)
                continue;
            fds[count] = {*fd, POLLIN, 0};
            owners[count++] = fd;
        }
        int ready = poll(fds, count, left > 1000 ? 1000 : static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            break;
        for (nfds_t i = 0; ready > 0 && i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            ssize_t n = read(*owners[i], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                close_fd(*owners[i]);
                // The tool is done with its output: end its input too, so
                // that a launcher or filter in front of it ends as well.
                if (owners[i] == &child.out)
                    close_fd(child.in);
                continue;
            }
            std::size_t size = static_cast<std::size_t>(n);
            if (owners[i] == &child.err) {
                run.err.append(buffer, run.err.size() + size > err_kept ? err_kept - run.err.size() : size);
                continue;
            }
            run.out.append(buffer, size);
            if (run.out.size() > out_limit) {
                run.end = ToolRun::too_much_output;
                break;
            }
            if (steps && !run.unexpected)
                answer_question(run, child, *steps);
        }
        if (run.end != ToolRun::exited)
            break;
    }
    close_fd(child.in);
    close_fd(child.out);
    close_fd(child.err);
    if (run.end != ToolRun::exited) {
        kill_child(child);
        int wstatus = 0;
        waitpid(child.pid, &wstatus, 0);
        run.status = 128 + SIGKILL;
        return run;
    }
    reap(run, child, deadline);
    return run;
}

std::string describe_end(const ToolRun &run, long timeout_seconds)
{
    std::string first_error = run.err.substr(0, run.err.find('\n'));
    switch (run.end) {
    case ToolRun::not_started:
        return run.err;
    case ToolRun::timed_out:
        return "timed out after " + std::to_string(timeout_seconds) + " s, stopped";
    case ToolRun::too_much_output:
        return "printed more than expected, stopped";
    case ToolRun::exited:
        break;
    }
    if (run.status == 0)
        return "";
    std::string end = run.status > 128 ? "ended by signal " + std::to_string(run.status - 128)
                                       : "ended with status " + std::to_string(run.status);
    return first_error.empty() ? end : end + ": " + first_error;
}
