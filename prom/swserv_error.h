// How a failed call of the PROM service is reported.
#ifndef PROMCFG_PROM_SWSERV_ERROR_H
#define PROMCFG_PROM_SWSERV_ERROR_H

#include <cerrno>
#include <cstdio>

// Prints "<what>, rc = <rc> errno = <errno>". Call it straight after the
// failed call, before anything can change errno.
inline void print_swserv_error(const char *what, int rc)
{
    int err = errno;
    printf("%s, rc = %d errno = %d\n", what, rc, err);
}

#endif
