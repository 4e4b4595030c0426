#include "driver/ground/console_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "driver/ground/console_output.h"
#include "driver/ground/process_exit.h"
#include "driver/ground/process_state.h"

namespace {

// fstat64: a 32-bit fstat fails with EOVERFLOW on 64-bit inode numbers.
bool stderr_shares_output()
{
    struct stat64 out, err;
    return fstat64(STDOUT_FILENO, &out) == 0 && fstat64(STDERR_FILENO, &err) == 0 &&
           out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}

}  // namespace

int read_console_line(char *buffer, int size)
{
    int count = 0;
    while (count < size - 1) {
        int c = getchar();
        if (c == EOF)
            break;
        buffer[count++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[count] = '\0';
    return count == 0 ? -1 : count;
}

int32_t prompt_input(const char *label, char *answer, int32_t limit)
{
    char line[64];
    answer[0] = '\0';
    for (;;) {
        printf("[%-48s] ", label);
        flush_output();
        int read = read_console_line(line, sizeof line);
        if (read == -1) {
            // The prompt left its line open: where standard error shows on
            // the same screen or file, the note starts a line of its own.
            if (stderr_shares_output())
                fprintf(stderr, "\npromcfg: end of input: %s not written\n", running_action_label);
            else
                fprintf(stderr, "promcfg: end of input: %s not written\n", running_action_label);
            end_process(0);
        }
        // The last byte read is dropped unseen: the newline when the line
        // fitted, else the 63rd byte of a longer line.
        int32_t n = read - 1;
        if (n >= limit)
            continue;
        bool printable = true;
        for (int32_t i = 0; i < n; ++i)
            printable = printable && is_printable_byte(static_cast<unsigned char>(line[i]));
        if (!printable) {
            printf("Input contains non-ASCII data!  Please re-enter data.\n");
            continue;
        }
        memcpy(answer, line, static_cast<size_t>(n));
        answer[n] = '\0';
        return n;
    }
}
