// Keeping the reason of a failed write to standard output for the report at exit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "driver/ground/console_output.h"

namespace {

// Runs `body` with standard output sent to `path`.
template <typename Body>
void with_stdout(const char *path, Body body)
{
    fflush(stdout);
    int saved = dup(1);
    int fd = open(path, O_WRONLY);
    dup2(fd, 1);
    close(fd);
    body();
    fflush(stdout);
    clearerr(stdout);
    dup2(saved, 1);
    close(saved);
}

TEST(ConsoleOutput, TheFirstFailedFlushKeepsItsReasonWhateverErrnoSaysLater)
{
    with_stdout("/dev/null", [] {
        errno = EBADMSG;  // left by an earlier library call: not a write error
        printf("prompt");
        flush_output();
        errno = EBADMSG;
        write_output("rows", 4);
        flush_output();
    });
    EXPECT_EQ(first_output_error(), 0);
    with_stdout("/dev/full", [] {
        printf("prompt");
        flush_output();
    });
    EXPECT_EQ(first_output_error(), ENOSPC);
    with_stdout("/dev/null", [] {
        errno = EBADMSG;
        printf("prompt");
        flush_output();
    });
    EXPECT_EQ(first_output_error(), ENOSPC);
}

}  // namespace
