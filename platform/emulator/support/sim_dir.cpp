// Where the emulated hardware lives, and which devices are plugged in.
#include "sim_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace promsim {
namespace {

struct DeviceInfo {
    const char *name;
    std::size_t size;
};

constexpr DeviceInfo kDevices[] = {
    {"system", kSystemPromSize},
    {"blade", kBladeVpdSize},
    {"kestrel", kKestrelPromSize},
};

const DeviceInfo &info(Device device)
{
    return kDevices[static_cast<int>(device)];
}

// mkdir -p: every missing parent too; a folder made by a concurrent run
// counts as made.
int make_dirs(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return -1;
        if (slash == std::string::npos)
            return 0;
    }
}

// A blank device file appears whole or not at all: it is written under a
// private name and linked into place, which never replaces an image that a
// concurrent run has just committed.
void create_blank(const std::string &dir, Device device)
{
    std::string path = dir + "/" + info(device).name + ".prom";
    if (access(path.c_str(), F_OK) == 0)
        return;
    std::string temp = path + ".blank." + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    Image blank(info(device).size, 0xff);
    bool ok = write(fd, blank.data(), blank.size()) == static_cast<ssize_t>(blank.size());
    ok = fsync(fd) == 0 && ok;
    close(fd);
    if (ok)
        (void)link(temp.c_str(), path.c_str());  // EEXIST: a concurrent run won
    unlink(temp.c_str());
}

std::string env(const char *name)
{
    const char *value = getenv(name);
    return value ? value : "";
}

std::string absent_marker(Device device)
{
    return sim_dir() + "/" + info(device).name + ".absent";
}

}  // namespace

const char *device_name(Device device)
{
    return info(device).name;
}

std::size_t device_size(Device device)
{
    return info(device).size;
}

std::string sim_dir()
{
    std::string dir = env("PROMSIM_DIR");
    if (dir.empty()) {
        std::string state = env("XDG_STATE_HOME");
        if (state.empty())
            state = env("HOME") + "/.local/state";
        dir = state + "/promcfg/sim";
    }
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();

    // The folder is checked once per process and folder; a missing device
    // file later still reads as blank.
    static std::string ready;
    if (dir != ready && make_dirs(dir) == 0) {
        for (const DeviceInfo &d : kDevices)
            create_blank(dir, static_cast<Device>(&d - kDevices));
        ready = dir;
    }
    return dir;
}

std::string device_path(Device device)
{
    return sim_dir() + "/" + info(device).name + ".prom";
}

bool device_present(Device device)
{
    return access(absent_marker(device).c_str(), F_OK) != 0;
}

int set_device_present(Device device, bool present)
{
    std::string marker = absent_marker(device);
    if (present)
        return unlink(marker.c_str()) == 0 || errno == ENOENT ? 0 : -1;
    int fd = open(marker.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return -1;
    close(fd);
    return 0;
}

}  // namespace promsim
