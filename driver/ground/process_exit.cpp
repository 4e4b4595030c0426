#include "driver/ground/process_exit.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/ground/console_output.h"

void end_process(int status)
{
    errno = 0;
    bool failed = fflush(stdout) != 0;
    int error = errno != 0 ? errno : first_output_error();
    failed = ferror(stdout) != 0 || failed;
    if (failed) {
        // The reader of a closed pipe has gone: nobody waits for words.
        if (error != EPIPE)
            fprintf(stderr, "promcfg: write error: %s\n", strerror(error != 0 ? error : EIO));
        if (status == 0)
            status = 1;
    }
    std::exit(status);
}
