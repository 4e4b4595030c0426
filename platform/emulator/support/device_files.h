// The file operations under the device images, in an explicit folder: the
// lock that serialises a device's writers, the atomic replacement of its
// file, and the one way its file is opened for reading. Used by the
// commits and by the folder's first use (which must not call sim_dir()
// while it prepares the folder).
#ifndef PROMSIM_DEVICE_FILES_H
#define PROMSIM_DEVICE_FILES_H

#include "device.h"

#include <string>

namespace promsim {

// "<dir>/<name>.prom" and the one temporary name its writers use,
// "<dir>/<name>.prom.new".
std::string device_file(const std::string &dir, Device device);
std::string device_temp_file(const std::string &dir, Device device);

// How long a writer waits for a device's lock before it gives up.
constexpr int kLockWaitSeconds = 10;

// An exclusive flock on "<dir>/<name>.lock" for the object's lifetime.
// Only the holder writes the device's file or its temporary file. The lock
// file is never reached through a symlink, and a lock that another process
// holds for kLockWaitSeconds is given up with one line on standard error.
class DeviceLock {
public:
    // `wait` false: only a lock that is free now (what may as well be left
    // to the next process is never waited for).
    DeviceLock(const std::string &dir, Device device, bool wait = true);
    ~DeviceLock();
    DeviceLock(const DeviceLock &) = delete;
    DeviceLock &operator=(const DeviceLock &) = delete;
    // False (errno set: EWOULDBLOCK after the wait) when the lock could not
    // be taken.
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// Writes `image` to a fresh temporary file (a stale one is removed first;
// a symlink in its place is never followed), flushes it, renames it over
// the device's file and flushes the folder. The caller holds the lock. 0,
// or -1 with errno.
int write_device_file(const std::string &dir, Device device, const Image &image);

// Opens a device file for reading: only a regular file, never through a
// symlink and without blocking, so a FIFO or a device node in its place
// can neither hang nor feed the reader. The descriptor, or -1 with errno:
// ENOENT for a missing file; EBADMSG for anything that is not a regular
// file, with *not_regular saying what it is ("fifo, not a regular file").
int open_device_file(const std::string &path, std::string *not_regular);

// Whether a damage's reason is one that open_device_file() gave: there are
// no bytes to show or save.
bool damaged_by_file_kind(const std::string &damage);

}  // namespace promsim

#endif
