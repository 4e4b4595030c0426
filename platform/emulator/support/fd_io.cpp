#include "fd_io.h"

#include <unistd.h>

#include <cerrno>

namespace promsim {

Fd::~Fd()
{
    int saved = errno;
    reset();
    errno = saved;
}

bool Fd::reset(int fd)
{
    bool ok = true;
    if (fd_ >= 0) {
        int saved = errno;
        ok = close(fd_) == 0;
        if (ok)
            errno = saved;
    }
    fd_ = fd;
    return ok;
}

bool write_all(int fd, const unsigned char *bytes, std::size_t length)
{
    while (length > 0) {
        ssize_t n = write(fd, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool read_full(int fd, unsigned char *buffer, std::size_t length, std::size_t *got)
{
    *got = 0;
    while (*got < length) {
        ssize_t n = read(fd, buffer + *got, length - *got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        *got += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace promsim
