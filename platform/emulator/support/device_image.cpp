// Device images on disk: whole-image reads, and commits that are atomic
// (temporary file + rename) and serialised between processes (flock on a
// lock file per device).
#include "sim_support.h"

#include "checked_number.h"
#include "device_files.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace promsim {
namespace {

// Closes a descriptor on every path out, keeping errno.
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

// Up to `limit` bytes of the file; *got how many there were.
int read_up_to(int fd, unsigned char *buffer, std::size_t limit, std::size_t *got)
{
    *got = 0;
    while (*got < limit) {
        ssize_t n = read(fd, buffer + *got, limit - *got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        *got += static_cast<std::size_t>(n);
    }
    return 0;
}

std::string wrong_size(int fd, std::size_t got, std::size_t size)
{
    // Past the device's size only fstat knows how long the file is.
    struct stat st;
    std::string length = got <= size || fstat(fd, &st) != 0 ? std::to_string(got)
                                                            : std::to_string(st.st_size);
    return "file of " + length + " bytes, not " + std::to_string(size);
}

}  // namespace

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
        if (write_all(fd.get(), image.data(), image.size()) != 0 || fsync(fd.get()) != 0)
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

int read_device_file(Device device, Image &bytes, std::string *damage)
{
    const std::size_t size = device_size(device);
    damage->clear();
    Fd fd(open(device_path(device).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            return -1;
        bytes.assign(size, 0xff);
        return 0;
    }
    // One byte more than the device tells a long file from a whole one.
    bytes.assign(size + 1, 0);
    std::size_t got;
    if (read_up_to(fd.get(), bytes.data(), bytes.size(), &got) != 0)
        return -1;
    if (got != size)
        *damage = wrong_size(fd.get(), got, size);
    bytes.resize(std::min(got, size));
    return 0;
}

int read_image(Device device, Image &image)
{
    std::string damage;
    if (read_device_file(device, image, &damage) != 0)
        return -1;
    if (!damage.empty()) {
        errno = EBADMSG;
        return -1;
    }
    return 0;
}

int commit_image(Device device, const std::function<int(Image &)> &change,
                 DamagedImage on_damaged)
{
    std::string dir = sim_dir();
    DeviceLock lock(dir, device);
    if (!lock.held())
        return -1;
    // Re-read under the lock: another run may have committed since this
    // one last looked, and its changes must survive ours.
    Image image;
    if (read_image(device, image) != 0) {
        if (errno != EBADMSG || on_damaged != DamagedImage::start_erased)
            return -1;
        image.assign(device_size(device), 0xff);
    }
    int rc = change(image);
    if (rc < 0)
        return rc;
    if (image.size() != device_size(device)) {
        errno = EINVAL;
        return -1;
    }
    return write_device_file(dir, device, image);
}

int replace_image(Device device, const Image &image)
{
    if (image.size() != device_size(device)) {
        errno = EINVAL;
        return -1;
    }
    std::string dir = sim_dir();
    DeviceLock lock(dir, device);
    if (!lock.held())
        return -1;
    return write_device_file(dir, device, image);
}

int read_present_image(Device device, Image &image)
{
    if (!device_present(device))
        return fail_errno(-ENODEV);
    if (read_image(device, image) < 0)
        return fail_from_errno();
    return 0;
}

int read_present_range(Device device, long long offset, long long length, unsigned char *buffer)
{
    if (!call_range_within(offset, length, device_size(device)) || (length > 0 && !buffer))
        return fail_errno(-EINVAL);
    Image image;
    int rc = read_present_image(device, image);
    if (rc < 0)
        return rc;
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset),
                static_cast<std::size_t>(length), buffer);
    return 0;
}

}  // namespace promsim
