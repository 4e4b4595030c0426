#include "apply/run_lock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include "apply/interrupts.h"
#include "apply/monotonic_clock.h"

namespace {

// The holder's process ID, which it writes into the file, for the message.
std::string holder(int fd)
{
    char text[24] = {};
    ssize_t n = pread(fd, text, sizeof text - 1, 0);
    std::string pid = n > 0 ? std::string(text, static_cast<std::size_t>(n)) : "";
    pid.erase(pid.find_last_not_of("\n") + 1);
    return pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos ? "" : " (process " + pid + ")";
}

}  // namespace

LockEnd take_run_lock(const std::string &path, long timeout_seconds, std::string &why)
{
    // Kept open, and so held, until the process ends; no program it starts inherits it.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        why = "cannot open the lock " + path + ": " + strerror(errno);
        return LockEnd::failed;
    }
    const long long deadline = deadline_after(timeout_seconds);
    bool said = false;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            why = "cannot take the lock " + path + ": " + strerror(errno);
            close(fd);
            return LockEnd::failed;
        }
        if (!said) {
            fprintf(stderr, "promcfg-apply: another run on this switch holds %s%s; waiting up to %ld s\n",
                    path.c_str(), holder(fd).c_str(), timeout_seconds);
            said = true;
        }
        if (now_ms() >= deadline) {
            why = "another run on this switch still holds " + path + holder(fd) + " after " +
                  std::to_string(timeout_seconds) + " s";
            close(fd);
            return LockEnd::busy;
        }
        pollfd wake = {interrupt_fd(), POLLIN, 0};
        poll(&wake, 1, 100);
        if (interrupt_count() > 0) {
            close(fd);
            return LockEnd::interrupted;
        }
    }
    char pid[24];
    int length = snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
    if (ftruncate(fd, 0) != 0 || pwrite(fd, pid, static_cast<std::size_t>(length), 0) != length) {
        // The lock holds all the same; only the message of a waiting run lacks the holder.
    }
    return LockEnd::taken;
}
