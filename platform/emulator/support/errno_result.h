// The two ways the emulated calls fail, each setting errno to the cause:
// the switch PROM service returns -1, the blade VPD and Kestrel libraries
// return the negative errno value.
#ifndef PROMSIM_ERRNO_RESULT_H
#define PROMSIM_ERRNO_RESULT_H

#include <cerrno>

namespace promsim {

// -1 with errno set to `error`.
inline int fail(int error)
{
    errno = error;
    return -1;
}

// `negative_errno`, with errno set to match.
inline int fail_errno(int negative_errno)
{
    errno = -negative_errno;
    return negative_errno;
}

// The same for a failure that a support call left in errno.
inline int fail_from_errno()
{
    return fail_errno(errno > 0 ? -errno : -EIO);
}

}  // namespace promsim

#endif
