#include "device_files.h"

#include "fd_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

namespace promsim {
namespace {

struct FileKind {
    mode_t type;
    const char *text;
};

constexpr FileKind kFileKinds[] = {
    {S_IFIFO, "fifo, not a regular file"},
    {S_IFCHR, "character device, not a regular file"},
    {S_IFBLK, "block device, not a regular file"},
    {S_IFDIR, "folder, not a regular file"},
    {S_IFLNK, "symbolic link, not a regular file"},
    {S_IFSOCK, "socket, not a regular file"},
};

const char kNotRegular[] = "not a regular file";

const char *kind_text(mode_t mode)
{
    for (const FileKind &kind : kFileKinds)
        if ((mode & S_IFMT) == kind.type)
            return kind.text;
    return kNotRegular;
}

int not_regular_file(mode_t mode, std::string *not_regular)
{
    *not_regular = kind_text(mode);
    errno = EBADMSG;
    return -1;
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

// Waits in short naps rather than a blocking flock, so that a lock which
// another process holds forever (`flock -x` on it) cannot stall a writer
// forever.
DeviceLock::DeviceLock(const std::string &dir, Device device, bool wait)
{
    std::string path = dir + "/" + device_name(device) + ".lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kLockWaitSeconds);
    auto nap = std::chrono::milliseconds(1);
    while (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        bool busy = errno == EWOULDBLOCK;
        if (busy && wait && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(nap);
            nap = std::min(nap * 2, std::chrono::milliseconds(50));
            continue;
        }
        if (busy && wait)
            std::fprintf(stderr, "promsim: gave up after %d seconds waiting for %s: another "
                                 "process holds it\n", kLockWaitSeconds, path.c_str());
        int saved = errno;
        close(fd_);
        fd_ = -1;
        errno = saved;
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
// suffices: a file left by a killed run is removed by the next writer,
// which then makes its own with O_EXCL.
int write_device_file(const std::string &dir, Device device, const Image &image)
{
    std::string path = device_file(dir, device), temp = device_temp_file(dir, device);
    if (unlink(temp.c_str()) != 0 && errno != ENOENT)
        return -1;
    {
        Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
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

bool damaged_by_file_kind(const std::string &damage)
{
    const std::size_t n = sizeof kNotRegular - 1;
    return damage.size() >= n && damage.compare(damage.size() - n, n, kNotRegular) == 0;
}

// lstat first: opening a device node may itself do something. The
// descriptor is checked again, since only it tells what was opened.
int open_device_file(const std::string &path, std::string *not_regular)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode))
        return not_regular_file(st.st_mode, not_regular);
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            return not_regular_file(S_IFLNK, not_regular);
        return -1;
    }
    if (fstat(fd, &st) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        return not_regular_file(st.st_mode, not_regular);
    }
    return fd;
}

}  // namespace promsim
