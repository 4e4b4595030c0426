#include "folder_setup.h"

#include "checked_number.h"
#include "device_files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace promsim {
namespace {

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
    std::string prefix = std::string(device_name(device)) + ".prom.blank.";
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
        (void)write_device_file(dir, device, Image(device_size(device), 0xff));
    unlink(temp.c_str());
    for (const std::string &file : legacy)
        unlink(file.c_str());
}

}  // namespace

int prepare_folder(const std::string &dir)
{
    if (make_dirs(dir) != 0)
        return -1;
    std::vector<std::string> entries = folder_entries(dir);
    for (Device device : kAllDevices)
        prepare_device(dir, device, entries);
    return 0;
}

}  // namespace promsim
