#include "apply/tool_run.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "apply/interrupts.h"
#include "apply/monotonic_clock.h"
#include "apply/value_check.h"

namespace {

// The part of standard error kept.
constexpr std::size_t err_kept = 4096;

void close_fd(int &fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// A pipe whose ends are closed in every program started later.
bool make_pipe(int ends[2])
{
    return pipe2(ends, O_CLOEXEC) == 0;
}

struct Child {
    pid_t pid = -1;
    int in = -1, out = -1, err = -1;
};

// Starts command + option in a process group of its own, so that a kill
// reaches a launcher and what it started. It inherits standard input,
// output and error and nothing else.
bool start(const std::vector<std::string> &command, const std::vector<std::string> &arguments, bool with_input,
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
    for (const std::string &word : arguments)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);

    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        int input = with_input ? in[0] : open("/dev/null", O_RDONLY | O_CLOEXEC);
        dup2(input, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        // Nothing else this process was given goes on to promcfg.
        if (close_range(3, ~0U, 0) != 0)
            for (int fd = 3; fd < 1024; ++fd)
                close(fd);
        // The interrupts are promcfg-apply's to judge: promcfg keeps none of
        // its handlers (exec resets them) and takes SIGPIPE as it comes.
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

bool write_all(int fd, const std::string &line)
{
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

// One run's moving parts: the child, its deadline, the interrupts seen.
class Runner {
public:
    Runner(ToolRun &run, Child &child, long timeout_seconds)
        : run_(run), child_(child), deadline_(deadline_after(timeout_seconds)),
          // A dialogue takes an interrupt that came before it as its first:
          // none is started after one, but one may come just as it starts.
          interrupts_seen_(run.dialogue.answers && !run.dialogue.only_reads ? 0 : interrupt_count())
    {
    }

    // Until promcfg closes its output, or the run must end.
    void talk()
    {
        on_interrupts();
        char buffer[4096];
        while ((child_.out >= 0 || child_.err >= 0) && run_.end == ToolRun::exited) {
            pollfd fds[3];
            int *owners[2];
            nfds_t count = 0;
            for (int *fd : {&child_.out, &child_.err}) {
                if (*fd < 0)
                    continue;
                fds[count] = {*fd, POLLIN, 0};
                owners[count++] = fd;
            }
            fds[count] = {interrupt_fd(), POLLIN, 0};
            if (!wait_for(fds, count + 1))
                return;
            for (nfds_t i = 0; i < count && run_.end == ToolRun::exited; ++i) {
                if (fds[i].revents == 0)
                    continue;
                ssize_t n = read(*owners[i], buffer, sizeof buffer);
                if (n < 0 && (errno == EINTR || errno == EAGAIN))
                    continue;
                if (n <= 0) {
                    close_fd(*owners[i]);
                    // The tool is done with its output: end its input too, so
                    // that a launcher or filter in front of it ends as well.
                    if (owners[i] == &child_.out)
                        close_fd(child_.in);
                    continue;
                }
                std::size_t size = static_cast<std::size_t>(n);
                if (owners[i] == &child_.err)
                    run_.err.append(buffer, std::min(size, err_kept - run_.err.size()));
                else
                    take_output(buffer, size);
            }
        }
    }

    // Until promcfg has ended and is reaped with all its process group.
    void finish()
    {
        close_fd(child_.in);
        close_fd(child_.out);
        close_fd(child_.err);
        while (run_.end == ToolRun::exited) {
            siginfo_t info = {};
            // Looked at, not reaped: its group cannot be reused while it is a zombie.
            if (waitid(P_PID, static_cast<id_t>(child_.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 &&
                errno != EINTR)
                break;
            if (info.si_pid == child_.pid)
                break;
            pollfd fds[1] = {{interrupt_fd(), POLLIN, 0}};
            wait_for(fds, 1, 10);
        }
        // Whatever the tool left in its group goes with it.
        kill(-child_.pid, SIGKILL);
        if (run_.end != ToolRun::exited)
            kill(child_.pid, SIGKILL);
        int wstatus = 0;
        while (waitpid(child_.pid, &wstatus, 0) < 0 && errno == EINTR) {
        }
        run_.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    }

private:
    // Polls until something is ready, at most `most_ms`; false when the run
    // must end (time limit, a request to stop).
    bool wait_for(pollfd *fds, nfds_t count, long long most_ms = 1000)
    {
        long long left = deadline_ - now_ms();
        if (left <= 0) {
            run_.end = ToolRun::timed_out;
            return false;
        }
        int ready = poll(fds, count, static_cast<int>(std::min(left, most_ms)));
        if (ready < 0 && errno != EINTR)
            return false;
        drain_interrupts();
        on_interrupts();
        return run_.end == ToolRun::exited;
    }

    // The first interrupt stops a display at once and closes a dialogue's
    // input; while it asks, promcfg then ends writing nothing, and once it
    // has every answer it is left to finish. Any later one stops it.
    void on_interrupts()
    {
        unsigned count = interrupt_count();
        if (count == interrupts_seen_)
            return;
        interrupts_seen_ = count;
        run_.interrupted = interrupt_signal();
        if (!run_.dialogue.answers || run_.dialogue.only_reads || count > 1)
            run_.end = ToolRun::stopped;
        close_fd(child_.in);
        run_.dialogue.input_closed = true;
    }

    void take_output(const char *bytes, std::size_t size)
    {
        Reply reply = dialogue_printed(run_.dialogue, bytes, size);
        if (run_.dialogue.stop == Dialogue::too_much_output) {
            run_.end = ToolRun::too_much_output;
            return;
        }
        if (reply.send && (child_.in < 0 || !write_all(child_.in, reply.line))) {
            dialogue_answer_lost(run_.dialogue);
            reply.close_input = true;
        }
        if (reply.close_input)
            close_fd(child_.in);
    }

    ToolRun &run_;
    Child &child_;
    const long long deadline_;
    unsigned interrupts_seen_;
};

}  // namespace

ToolRun run_tool(const std::vector<std::string> &command, const std::vector<std::string> &arguments,
                 Dialogue dialogue, long timeout_seconds)
{
    ToolRun run(std::move(dialogue));
    Child child;
    if (command.empty() || !start(command, arguments, run.dialogue.answers, child)) {
        run.err = std::string("cannot start promcfg: ") + strerror(errno);
        return run;
    }
    run.end = ToolRun::exited;
    Runner runner(run, child, timeout_seconds);
    runner.talk();
    runner.finish();
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
    case ToolRun::stopped:
        return std::string("stopped by ") + signal_name(run.interrupted);
    case ToolRun::exited:
        break;
    }
    if (run.status == 0)
        return "";
    std::string end = run.status > 128 ? "ended by signal " + std::to_string(run.status - 128)
                                       : "ended with status " + std::to_string(run.status);
    return first_error.empty() ? end : end + ": " + first_error;
}

