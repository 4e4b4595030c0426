// The file operations under the device images, in an explicit folder: the
// lock that serialises a device's writers, and the atomic replacement of
// its file. Used by the commits and by the folder's first use (which must
// not call sim_dir() while it prepares the folder).
#ifndef PROMSIM_DEVICE_FILES_H
#define PROMSIM_DEVICE_FILES_H

#include "device.h"

#include <string>

namespace promsim {

// "<dir>/<name>.prom" and the one temporary name its writers use,
// "<dir>/<name>.prom.new".
std::string device_file(const std::string &dir, Device device);
std::string device_temp_file(const std::string &dir, Device device);

// An exclusive flock on "<dir>/<name>.lock" for the object's lifetime.
// Only the holder writes the device's file or its temporary file.
class DeviceLock {
public:
    DeviceLock(const std::string &dir, Device device);
    ~DeviceLock();
    DeviceLock(const DeviceLock &) = delete;
    DeviceLock &operator=(const DeviceLock &) = delete;
    // False (errno set) when the lock could not be taken.
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// Writes `image` to the temporary file, flushes it, renames it over the
// device's file and flushes the folder. The caller holds the lock. 0, or -1
// with errno.
int write_device_file(const std::string &dir, Device device, const Image &image);

}  // namespace promsim

#endif
