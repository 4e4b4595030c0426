// promsim save/load: a device's whole image to a file of the bench's own,
// and back.
#include "promsim_commands.h"

#include "device_image.h"
#include "fd_io.h"
#include "sim_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace promsim_tool {
namespace {

using promsim::Device;
using promsim::Fd;

constexpr std::size_t kChunk = 65536;

std::string folder_of(const std::string &path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A file that appears under its name whole or not at all: written under a
// temporary name in the same folder and renamed over the name at commit().
// Dropped uncommitted, the temporary file goes.
class AtomicFile {
public:
    explicit AtomicFile(const std::string &path) : path_(path)
    {
        std::string pattern = folder_of(path) + "/.promsim-save-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_.reset(mkstemp(name.data()));
        if (fd_.get() >= 0)
            temp_ = name.data();
    }
    ~AtomicFile()
    {
        if (!temp_.empty()) {
            int saved = errno;
            fd_.reset();
            unlink(temp_.c_str());
            errno = saved;
        }
    }
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool opened() const { return fd_.get() >= 0; }
    bool write(const unsigned char *bytes, std::size_t length)
    {
        return promsim::write_all(fd_.get(), bytes, length);
    }
    // The permissions of a file made the ordinary way (mkstemp gives 0600),
    // flushed, renamed, and the rename flushed with the folder.
    bool commit()
    {
        mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd_.get(), 0666 & ~mask) != 0 || fsync(fd_.get()) != 0 || !fd_.reset() ||
            rename(temp_.c_str(), path_.c_str()) != 0)
            return false;
        temp_.clear();
        Fd folder(open(folder_of(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return folder.get() >= 0 && fsync(folder.get()) == 0;
    }

private:
    std::string path_, temp_;
    Fd fd_;
};

std::string wrong_size(std::size_t got, std::size_t size, int fd)
{
    struct stat st;
    std::string length = got <= size ? std::to_string(got)
                         : fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
                             ? std::to_string(static_cast<long long>(st.st_size))
                             : "more than " + std::to_string(size);
    return "file of " + length + " bytes, not " + std::to_string(size);
}

int file_failure(const std::string &path)
{
    std::fprintf(stderr, "promsim: %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace

// The device file as it is, every byte of it, damaged or not; a missing
// one as the blank image it reads as. A damaged image is saved all the same
// (for inspection), with a note on standard error.
int cmd_save(const Args &args)
{
    Device device;
    if (args.size() != 2 || !parse_device(args[0], &device))
        return bad_arguments("usage: promsim save system|blade|kestrel FILE");
    const std::size_t size = promsim::device_size(device);
    Fd in(open(promsim::device_path(device).c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0 && errno != ENOENT)
        return device_failure("save " + args[0]);
    AtomicFile out(args[1]);
    if (!out.opened())
        return file_failure(args[1]);

    // The first size + 1 bytes tell the image's state; the rest is copied
    // through a fixed buffer, however long the file.
    promsim::Image head, chunk(kChunk);
    std::size_t total = 0;  // counted up to size + 1
    if (in.get() < 0) {
        head.assign(size, 0xff);
        total = size;
        if (!out.write(head.data(), head.size()))
            return file_failure(args[1]);
    }
    while (in.get() >= 0) {
        std::size_t got;
        if (!promsim::read_full(in.get(), chunk.data(), kChunk, &got))
            return device_failure("save " + args[0]);
        if (got == 0)
            break;
        if (!out.write(chunk.data(), got))
            return file_failure(args[1]);
        std::size_t keep = std::min(got, size + 1 - total);
        head.insert(head.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(keep));
        total += keep;
    }
    if (!out.commit())
        return file_failure(args[1]);

    std::string damage = total == size ? "" : wrong_size(total, size, in.get());
    if (total > size)
        head.resize(size);
    ImageState state = image_state(device, head, damage);
    if (state.word == "damaged")
        std::fprintf(stderr, "promsim: saved %s as it is: %s\n", args[0].c_str(),
                     state_text(state).c_str());
    return 0;
}

// A whole rewrite, like reset: it puts the saved image in place of a
// damaged one too. FILE must hold exactly the device's size.
int cmd_load(const Args &args)
{
    Device device;
    if (args.size() != 2 || !parse_device(args[0], &device))
        return bad_arguments("usage: promsim load system|blade|kestrel FILE");
    const std::size_t size = promsim::device_size(device);
    Fd in(open(args[1].c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return file_failure(args[1]);
    promsim::Image image(size + 1);  // one byte more tells a long file
    std::size_t got;
    if (!promsim::read_full(in.get(), image.data(), image.size(), &got))
        return file_failure(args[1]);
    if (got != size)
        return bad_arguments(args[1] + " is not a " + args[0] + " image: " +
                             wrong_size(got, size, in.get()));
    image.resize(size);
    if (promsim::replace_image(device, image) != 0)
        return device_failure("load " + args[0]);
    return 0;
}

}  // namespace promsim_tool
