// Commits are atomic (temporary file + rename) and serialised between
// processes (flock on a lock file per device).
#include "device_image.h"

#include "device_files.h"
#include "fd_io.h"
#include "sim_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace promsim {
namespace {

std::string wrong_size(int fd, std::size_t got, std::size_t size)
{
    // Past the device's size only fstat knows how long the file is.
    struct stat st;
    std::string length = got <= size || fstat(fd, &st) != 0 ? std::to_string(got)
                                                            : std::to_string(st.st_size);
    return "file of " + length + " bytes, not " + std::to_string(size);
}

}  // namespace

int read_device_file(Device device, Image &bytes, std::string *damage)
{
    const std::size_t size = device_size(device);
    damage->clear();
    Fd fd(open_device_file(device_path(device), damage));
    if (fd.get() < 0) {
        if (errno == EBADMSG) {  // not a regular file: nothing of it is read
            bytes.clear();
            return 0;
        }
        if (errno != ENOENT)
            return -1;
        bytes.assign(size, 0xff);
        return 0;
    }
    // One byte more than the device tells a long file from a whole one.
    bytes.resize(size + 1);
    std::size_t got;
    if (!read_full(fd.get(), bytes.data(), bytes.size(), &got))
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

int read_device_range(Device device, std::size_t offset, std::size_t length,
                      unsigned char *buffer)
{
    const std::size_t size = device_size(device);
    if (offset > size || length > size - offset) {
        errno = EINVAL;
        return -1;
    }
    std::string not_regular;
    Fd fd(open_device_file(device_path(device), &not_regular));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            return -1;
        std::fill_n(buffer, length, 0xff);
        return 0;
    }
    // The open file stays what it was even if a commit renames another
    // into place now, so its size and bytes belong to one image.
    struct stat st;
    if (fstat(fd.get(), &st) != 0)
        return -1;
    if (static_cast<unsigned long long>(st.st_size) != size) {
        errno = EBADMSG;
        return -1;
    }
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = pread(fd.get(), buffer + done, length - done,
                          static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;  // shorter than fstat said: changed in place
            return -1;
        }
        done += static_cast<std::size_t>(n);
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

}  // namespace promsim
