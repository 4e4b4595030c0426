#include "apply/interrupts.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t first_signal = 0;
volatile sig_atomic_t signal_count = 0;
int wake[2] = {-1, -1};

void on_signal(int signal_number)
{
    if (first_signal == 0)
        first_signal = signal_number;
    if (signal_count < 1000)
        signal_count = signal_count + 1;
    // A full pipe already wakes whoever polls it.
    int saved = errno;
    ssize_t ignored = write(wake[1], "!", 1);
    (void)ignored;
    errno = saved;
}

}  // namespace

void watch_interrupts()
{
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // requests still count; only the wake-up is lost
    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal_number, &action, nullptr);
}

int interrupt_fd()
{
    return wake[0];
}

void drain_interrupts()
{
    char bytes[64];
    while (wake[0] >= 0 && read(wake[0], bytes, sizeof bytes) > 0) {
    }
}

int interrupt_signal()
{
    return first_signal;
}

unsigned interrupt_count()
{
    return static_cast<unsigned>(signal_count);
}

const char *signal_name(int signal_number)
{
    switch (signal_number) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    }
    return "a signal";
}
