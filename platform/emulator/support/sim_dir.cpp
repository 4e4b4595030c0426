// Where the emulated hardware lives, and which devices are plugged in.
#include "sim_support.h"

#include "checked_number.h"
#include "device_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

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

bool exists(const std::string &path)
{
    return access(path.c_str(), F_OK) == 0;
}

// "<name>.prom.blank.<pid>": the private blank files that earlier versions
// wrote at first use and a killed run left behind. Returns the pid.
bool legacy_blank(const std::string &entry, Device device, long long *pid)
{
    std::string prefix = std::string(info(device).name) + ".prom.blank.";
    return entry.compare(0, prefix.size(), prefix) == 0 &&
           parse_number(entry.substr(prefix.size()), NumberForm::decimal, 1, INT_MAX, pid);
}

std::vector<std::string> folder_entries(const std::string &dir)
{
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            names.emplace_back(e->d_name);
        closedir(d);
    }
    return names;
}

// First use of a device in this folder: a missing device file is created
// blank, and temporary files of killed runs are removed. All of it under
// the device's lock, whose holder alone writes "<name>.prom.new": so the
// blank image appears whole through the same rename as any commit, never
// replaces an image committed meanwhile, and no file that a live writer
// may still rename is removed. Nothing to do (the usual case): no lock.
void prepare_device(const std::string &dir, Device device,
                    const std::vector<std::string> &entries)
{
    std::string path = device_file(dir, device), temp = device_temp_file(dir, device);
    std::vector<std::string> legacy;
    for (const std::string &entry : entries) {
        long long pid;
        // A legacy writer takes no lock; one still running keeps its file.
        if (legacy_blank(entry, device, &pid) && kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH)
            legacy.push_back(dir + "/" + entry);
    }
    if (exists(path) && !exists(temp) && legacy.empty())
        return;
    DeviceLock lock(dir, device);
    if (!lock.held())
        return;  // the device's own calls report the folder's trouble
    if (!exists(path))
        (void)write_device_file(dir, device, Image(info(device).size, 0xff));
    unlink(temp.c_str());
    for (const std::string &file : legacy)
        unlink(file.c_str());
}

const char *env(const char *name)
{
    const char *value = getenv(name);
    return value && *value ? value : nullptr;
}

// Asked at most once per process.
const char *passwd_home()
{
    static const std::string *home = [] {
        struct passwd *entry = getpwuid(getuid());
        return entry && entry->pw_dir ? new std::string(entry->pw_dir) : nullptr;
    }();
    return home ? home->c_str() : nullptr;
}

// The folder in use now, without touching it.
std::string chosen_dir()
{
    std::string dir;
    if (!choose_sim_dir(env("PROMSIM_DIR"), env("XDG_STATE_HOME"), env("HOME"), passwd_home,
                        &dir))
        stop_on_bad_setup("promsim: no folder for the emulated hardware: HOME is unset and "
                          "user " + std::to_string(getuid()) +
                          " has no home folder (set PROMSIM_DIR)");
    return dir;
}

// Checked with the test hooks, before the tool has done anything.
__attribute__((constructor)) void check_folder_at_load()
{
    (void)chosen_dir();
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

bool choose_sim_dir(const char *promsim_dir, const char *xdg_state_home, const char *home,
                    const char *(*home_of_user)(), std::string *dir)
{
    auto given = [](const char *value) { return value && *value; };
    // "/" as a home would put the folder at the root of the file system.
    auto usable_home = [](const char *value) {
        return value && std::string(value).find_first_not_of('/') != std::string::npos;
    };
    std::string chosen;
    if (given(promsim_dir)) {
        chosen = promsim_dir;
    } else if (given(xdg_state_home)) {
        chosen = std::string(xdg_state_home) + "/promcfg/sim";
    } else {
        const char *user_home = usable_home(home) ? home : home_of_user();
        if (!usable_home(user_home))
            return false;
        chosen = std::string(user_home) + "/.local/state/promcfg/sim";
    }
    while (chosen.size() > 1 && chosen.back() == '/')
        chosen.pop_back();
    *dir = chosen;
    return true;
}

std::string sim_dir()
{
    std::string dir = chosen_dir();
    // The folder is prepared once per process and folder; a device file
    // removed later still reads as blank.
    static std::string ready;
    if (dir != ready && make_dirs(dir) == 0) {
        std::vector<std::string> entries = folder_entries(dir);
        for (const DeviceInfo &d : kDevices)
            prepare_device(dir, static_cast<Device>(&d - kDevices), entries);
        ready = dir;
    }
    return dir;
}

std::string device_path(Device device)
{
    return device_file(sim_dir(), device);
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
    int fd = open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    close(fd);
    return 0;
}

}  // namespace promsim
