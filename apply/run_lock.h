// One run per switch: an exclusive lock on a file, held until the process
// ends, so that two runs never interleave their dialogues.
#ifndef PROMCFG_APPLY_RUN_LOCK_H
#define PROMCFG_APPLY_RUN_LOCK_H

#include <string>

enum class LockEnd { taken, busy, failed, interrupted };

// Takes the lock on `path` (made 0600 when missing; never through a
// symbolic link). While another run holds it, says so once on standard
// error and waits, at most `timeout_seconds` and until an interrupt. `why`
// tells why when it fails.
LockEnd take_run_lock(const std::string &path, long timeout_seconds, std::string &why);

// The lock a run takes without --lock: the switch's own, which only root
// may take, or on the emulated bench one per emulated switch. Chosen by the
// build (lock_default_switch.cpp, lock_default_bench.cpp).
std::string default_lock_path();

#endif
