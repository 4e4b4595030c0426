// The shape of every emulated platform call.
#ifndef PROMSIM_EMULATED_CALL_H
#define PROMSIM_EMULATED_CALL_H

#include "call_trace.h"
#include "fault_hooks.h"

#include <cerrno>
#include <string>

namespace promsim {

// A fault hook first, then the body, then one trace line; errno survives
// the tracing.
template <typename Body>
int emulated_call(const char *name, const std::string &args, Body body)
{
    int rc;
    if (!injected_failure(name, &rc))
        rc = body();
    int saved_errno = errno;
    trace_call(name, args, rc);
    errno = saved_errno;
    return rc;
}

}  // namespace promsim

#endif
