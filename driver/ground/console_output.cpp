#include "driver/ground/console_output.h"

#include <cerrno>
#include <cstdio>

namespace {

int first_error = 0;

}  // namespace

void flush_output()
{
    if (fflush(stdout) != 0 && first_error == 0)
        first_error = errno;
}

void write_output(const char *bytes, std::size_t length)
{
    if (fwrite(bytes, 1, length, stdout) != length && first_error == 0)
        first_error = errno;
}

int first_output_error()
{
    return first_error;
}
