// Device images on disk: whole-image reads, and read-modify-write commits
// that are atomic (temporary file + rename) and serialised between
// processes (flock on a lock file per device).
#include "sim_support.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace promsim {
namespace {

// Closes a descriptor on every path out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0) {
            int saved = errno;
            close(fd_);
            errno = saved;
        }
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int write_all(int fd, const unsigned char *bytes, std::size_t length)
{
    while (length > 0) {
        ssize_t n = write(fd, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return 0;
}

// The new image goes to "<name>.prom.new": only the holder of the device
// lock writes it, so one fixed name suffices and a file left by a killed
// run is simply overwritten by the next commit.
int replace_file(Device device, const Image &image)
{
    std::string dir = sim_dir();
    std::string path = device_path(device);
    std::string temp = path + ".new";
    {
        Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
        if (fd.get() < 0)
            return -1;
        if (write_all(fd.get(), image.data(), image.size()) != 0 || fsync(fd.get()) != 0)
            return -1;
    }
    if (rename(temp.c_str(), path.c_str()) != 0)
        return -1;
    // The rename itself is durable only once the folder is flushed.
    Fd folder(open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (folder.get() < 0 || fsync(folder.get()) != 0)
        return -1;
    return 0;
}

}  // namespace

int read_image(Device device, Image &image)
{
    image.assign(device_size(device), 0xff);
    Fd fd(open(device_path(device).c_str(), O_RDONLY));
    if (fd.get() < 0)
        return errno == ENOENT ? 0 : -1;
    std::size_t got = 0;
    while (got < image.size()) {
        ssize_t n = read(fd.get(), image.data() + got, image.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

int commit_image(Device device, const std::function<int(Image &)> &change)
{
    std::string lock_path = sim_dir() + "/" + device_name(device) + ".lock";
    Fd lock(open(lock_path.c_str(), O_RDWR | O_CREAT, 0644));
    if (lock.get() < 0)
        return -1;
    while (flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            return -1;

    // Re-read under the lock: another run may have committed since this
    // one last looked, and its changes must survive ours.
    Image image;
    if (read_image(device, image) != 0)
        return -1;
    int rc = change(image);
    if (rc < 0)
        return rc;
    if (image.size() != device_size(device)) {
        errno = EINVAL;
        return -1;
    }
    return replace_file(device, image);
    // The lock goes with the descriptor.
}

int read_present_image(Device device, Image &image)
{
    if (!device_present(device))
        return fail_errno(-ENODEV);
    if (read_image(device, image) < 0)
        return fail_from_errno();
    return 0;
}

int read_present_range(Device device, long offset, int length, unsigned char *buffer)
{
    const long size = static_cast<long>(device_size(device));
    if (offset < 0 || length < 0 || offset > size || length > size - offset || (length > 0 && !buffer))
        return fail_errno(-EINVAL);
    Image image;
    int rc = read_present_image(device, image);
    if (rc < 0)
        return rc;
    std::copy_n(image.begin() + offset, length, buffer);
    return 0;
}

}  // namespace promsim
