#include "bad_setup.h"

#include <unistd.h>

namespace promsim {

// write() and _exit(): this runs while libraries are still loading, before
// stdio or any atexit handler of the program may be relied on.
void stop_on_bad_setup(const std::string &message, int status)
{
    std::string line = message + "\n";
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    _exit(status);
}

}  // namespace promsim
