#include "apply/input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "apply/identity_file.h"
#include "apply/interrupts.h"
#include "apply/monotonic_clock.h"

namespace {

std::string too_big()
{
    return "is larger than " + std::to_string(identity_file_max / 1024) + " KiB";
}

// Reads `fd` to its end, waiting for a writer at most until the deadline.
InputEnd read_all(int fd, long long deadline, std::string &text, std::string &why)
{
    char buffer[4096];
    for (;;) {
        long long left = deadline - now_ms();
        if (left <= 0) {
            why = "did not end within the time limit";
            return InputEnd::refused;
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {interrupt_fd(), POLLIN, 0}};
        int ready = poll(fds, sizeof fds / sizeof fds[0], static_cast<int>(left > 1000 ? 1000 : left));
        if (interrupt_count() > 0)
            return InputEnd::interrupted;
        if (ready < 0 && errno != EINTR) {
            why = std::string("cannot be read: ") + strerror(errno);
            return InputEnd::refused;
        }
        if (ready <= 0 || fds[0].revents == 0)
            continue;
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0) {
            why = std::string("cannot be read: ") + strerror(errno);
            return InputEnd::refused;
        }
        if (n == 0)
            return InputEnd::read;
        if (static_cast<std::size_t>(n) > identity_file_max - text.size()) {
            why = too_big();
            return InputEnd::refused;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

InputEnd read_input_file(const char *path, long timeout_seconds, std::string &text, std::string &why)
{
    const long long deadline = deadline_after(timeout_seconds);
    text.clear();
    if (strcmp(path, "-") == 0)
        return read_all(0, deadline, text, why);

    // Not blocking in open (a FIFO without a writer), nor taking a terminal.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = std::string("cannot be opened: ") + strerror(errno);
        return InputEnd::refused;
    }
    struct stat about = {};
    InputEnd end = InputEnd::refused;
    if (fstat(fd, &about) != 0)
        why = std::string("cannot be read: ") + strerror(errno);
    else if (!S_ISREG(about.st_mode) && !S_ISFIFO(about.st_mode))
        why = "is neither a regular file nor a pipe";
    else if (S_ISREG(about.st_mode) && static_cast<unsigned long long>(about.st_size) > identity_file_max)
        why = too_big();
    else
        end = read_all(fd, deadline, text, why);
    close(fd);
    return end;
}
