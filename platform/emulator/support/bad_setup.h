// How a test hook or the folder that cannot be used stops the process.
#ifndef PROMSIM_BAD_SETUP_H
#define PROMSIM_BAD_SETUP_H

#include <string>

namespace promsim {

// Ends the process with `status` after one line on standard error: the
// test hooks or the folder cannot be used, so nothing more may happen.
// Status 2 for a hook or variable set wrong, 1 for a folder that cannot be
// made, read or trusted.
[[noreturn]] void stop_on_bad_setup(const std::string &message, int status = 2);

}  // namespace promsim

#endif
