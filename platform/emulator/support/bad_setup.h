// How a test hook or the folder that cannot be used stops the process.
#ifndef PROMSIM_BAD_SETUP_H
#define PROMSIM_BAD_SETUP_H

#include <string>

namespace promsim {

// Ends the process with status 2 after one line on standard error: the
// test hooks or the folder cannot be used, so nothing may happen.
[[noreturn]] void stop_on_bad_setup(const std::string &message);

}  // namespace promsim

#endif
