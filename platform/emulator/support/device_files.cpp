#include "device_files.h"

#include "fd_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace promsim {

std::string device_file(const std::string &dir, Device device)
{
    return dir + "/" + device_name(device) + ".prom";
}

std::string device_temp_file(const std::string &dir, Device device)
{
    return device_file(dir, device) + ".new";
}

DeviceLock::DeviceLock(const std::string &dir, Device device)
    : fd_(open((dir + "/" + device_name(device) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
               0644))
{
    while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            int saved = errno;
            close(fd_);
            fd_ = -1;
            errno = saved;
        }
    }
}

DeviceLock::~DeviceLock()
{
    if (fd_ >= 0) {
        int saved = errno;
        close(fd_);  // the lock goes with the descriptor
        errno = saved;
    }
}

// Only the lock holder writes "<name>.prom.new", so one fixed name
// suffices: a file left by a killed run is overwritten by the next writer.
int write_device_file(const std::string &dir, Device device, const Image &image)
{
    std::string path = device_file(dir, device), temp = device_temp_file(dir, device);
    {
        Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0)
            return -1;
        if (!write_all(fd.get(), image.data(), image.size()) || fsync(fd.get()) != 0)
            return -1;
    }
    if (rename(temp.c_str(), path.c_str()) != 0)
        return -1;
    // The rename itself is durable only once the folder is flushed.
    Fd folder(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || fsync(folder.get()) != 0)
        return -1;
    return 0;
}

}  // namespace promsim
