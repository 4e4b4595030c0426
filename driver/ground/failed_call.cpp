#include "driver/ground/failed_call.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

void print_failed_call(int rc, const char *format, ...)
{
    int error = errno;
    va_list words;
    va_start(words, format);
    vprintf(format, words);
    va_end(words);
    printf(", rc = %d errno = %d\n", rc, error);
}
