// promsim save/load: a device's whole image to a file of the bench's own,
// and back.
#include "promsim_commands.h"

#include "device_files.h"
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

int file_failure(const std::string &path)
{
    std::fprintf(stderr, "promsim: %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace

// The device file as it is, damaged or not, up to the device's size: a
// longer file (or a sparse one of any length) gives its first bytes, so a
// save never fills the disk. A missing file is saved as the blank image it
// reads as. A damaged image is saved all the same (for inspection), with a
// note on standard error; what is not a regular file has no bytes to save.
int cmd_save(const Args &args)
{
    Device device;
    if (args.size() != 2 || !parse_device(args[0], &device))
        return bad_arguments("usage: promsim save system|blade|kestrel FILE");
    const std::size_t size = promsim::device_size(device);
    promsim::Image bytes;
    std::string damage;
    if (promsim::read_device_file(device, bytes, &damage) != 0)
        return device_failure("save " + args[0]);
    ImageState state = image_state(device, bytes, damage);
    if (promsim::damaged_by_file_kind(damage)) {
        std::fprintf(stderr, "promsim: save %s: nothing saved: damaged (%s)\n", args[0].c_str(),
                     damage.c_str());
        return 1;
    }
    AtomicFile out(args[1]);
    if (!out.opened() || !out.write(bytes.data(), bytes.size()) || !out.commit())
        return file_failure(args[1]);
    if (state.word == "damaged" && !damage.empty() && bytes.size() == size)
        std::fprintf(stderr, "promsim: saved the first %zu bytes of %s: %s\n", size,
                     args[0].c_str(), state_text(state).c_str());
    else if (state.word == "damaged")
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
    // Without blocking: a FIFO given as FILE must not hang the load.
    Fd in(open(args[1].c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (in.get() < 0 || fstat(in.get(), &st) != 0)
        return file_failure(args[1]);
    if (!S_ISREG(st.st_mode))
        return bad_arguments(args[1] + " is not a " + args[0] + " image: not a regular file");
    if (static_cast<unsigned long long>(st.st_size) != size)
        return bad_arguments(args[1] + " is not a " + args[0] + " image: file of " +
                             std::to_string(static_cast<long long>(st.st_size)) +
                             " bytes, not " + std::to_string(size));
    promsim::Image image(size + 1);  // one byte more tells a file that grew
    std::size_t got;
    if (!promsim::read_full(in.get(), image.data(), image.size(), &got))
        return file_failure(args[1]);
    if (got != size)
        return bad_arguments(args[1] + " is not a " + args[0] + " image: file of " +
                             std::to_string(got) + " bytes, not " + std::to_string(size));
    image.resize(size);
    if (promsim::replace_image(device, image) != 0)
        return device_failure("load " + args[0]);
    return 0;
}

}  // namespace promsim_tool
