#include "folder_setup.h"

#include "checked_number.h"
#include "device_files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace promsim {
namespace {

std::string mode_text(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Every folder on the way: "/a", "/a/b" for "/a/b/sim"; "a" for "a/sim".
std::vector<std::string> parents_of(const std::string &dir)
{
    std::vector<std::string> parents;
    for (std::size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1))
        parents.push_back(dir.substr(0, slash));
    if (dir[0] == '/')
        parents.insert(parents.begin(), "/");
    return parents;
}

// A parent that another user may change lets that user put a folder of
// their own, or a symlink, in place of ours between two calls.
bool parents_safe(const std::string &dir, std::string *trouble)
{
    const uid_t me = geteuid();
    for (const std::string &parent : parents_of(dir)) {
        struct stat st;
        if (lstat(parent.c_str(), &st) != 0)
            return true;  // missing from here on: made by this process
        if (S_ISLNK(st.st_mode) && st.st_uid != me && st.st_uid != 0) {
            *trouble = "promsim: folder " + dir + " refused: on its way, " + parent +
                       " is a symbolic link of user " + std::to_string(st.st_uid);
            return false;
        }
        if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return true;  // making the folder fails and says why
        if (st.st_uid != me && st.st_uid != 0) {
            *trouble = "promsim: folder " + dir + " refused: its parent " + parent +
                       " belongs to user " + std::to_string(st.st_uid);
            return false;
        }
        bool others_write = (st.st_mode & S_IWOTH) ||
                            ((st.st_mode & S_IWGRP) && st.st_gid != getegid());
        if (others_write && !(st.st_mode & S_ISVTX)) {
            *trouble = "promsim: folder " + dir + " refused: other users may write in its "
                       "parent " + parent + " (mode " + mode_text(st.st_mode) + ")";
            return false;
        }
    }
    return true;
}

// mkdir -p, every folder made private; a folder made by a concurrent run
// counts as made.
bool make_dirs(const std::string &dir, std::string *trouble)
{
    std::vector<std::string> folders = parents_of(dir);
    folders.push_back(dir);
    for (const std::string &folder : folders) {
        struct stat st;
        if (lstat(folder.c_str(), &st) == 0 || errno != ENOENT)
            continue;  // whatever is there is checked below, or fails the next mkdir
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *trouble = "promsim: cannot make folder " + folder + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

// The folder itself: this user's, a real folder, written by no one else.
// Looser modes for reading and entering, left by earlier versions (0755
// and 0644), are taken back.
bool folder_private(const std::string &dir, std::string *trouble)
{
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0) {
        *trouble = "promsim: cannot use folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        *trouble = "promsim: folder " + dir + " refused: it is a symbolic link";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *trouble = "promsim: folder " + dir + " refused: it is not a folder";
        return false;
    }
    if (st.st_uid != geteuid()) {
        *trouble = "promsim: folder " + dir + " refused: it belongs to user " +
                   std::to_string(st.st_uid) + ", not to user " + std::to_string(geteuid());
        return false;
    }
    if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        *trouble = "promsim: folder " + dir + " refused: other users may write in it (mode " +
                   mode_text(st.st_mode) + ")";
        return false;
    }
    if ((st.st_mode & 077) && chmod(dir.c_str(), st.st_mode & 0700) != 0) {
        *trouble = "promsim: cannot make folder " + dir + " private: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool exists(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// "<name>.prom.blank.<pid>": the private blank files that earlier versions
// wrote at first use and a killed run left behind. Returns the pid.
bool legacy_blank(const std::string &entry, Device device, long long *pid)
{
    std::string prefix = std::string(device_name(device)) + ".prom.blank.";
    return entry.compare(0, prefix.size(), prefix) == 0 &&
           parse_number(entry.substr(prefix.size()), NumberForm::decimal, 1, INT_MAX, pid);
}

bool folder_entries(const std::string &dir, std::vector<std::string> *names, std::string *trouble)
{
    DIR *d = opendir(dir.c_str());
    if (!d) {
        *trouble = "promsim: cannot read folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    while (dirent *e = readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names->emplace_back(e->d_name);
    closedir(d);
    return true;
}

// Files that earlier versions made readable by everyone (0644). Only this
// user can change the folder by now, so nothing is swapped in between.
void make_files_private(const std::string &dir, const std::vector<std::string> &entries)
{
    for (const std::string &entry : entries) {
        std::string path = dir + "/" + entry;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            (st.st_mode & 077))
            (void)chmod(path.c_str(), st.st_mode & 0700);
    }
}

// First use of a device in this folder: a missing device file is created
// blank, and temporary files of killed runs are removed. All of it under
// the device's lock, whose holder alone writes "<name>.prom.new": so the
// blank image appears whole through the same rename as any commit, never
// replaces an image committed meanwhile, and no file that a live writer
// may still rename is removed. Nothing to do (the usual case), or the
// lock taken: nothing done.
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
    // A writer holds the lock: it commits the device whole, and the next
    // process clears what is left over. A missing file reads as blank.
    DeviceLock lock(dir, device, false);
    if (!lock.held())
        return;
    if (!exists(path))
        (void)write_device_file(dir, device, Image(device_size(device), 0xff));
    unlink(temp.c_str());
    for (const std::string &file : legacy)
        unlink(file.c_str());
}

}  // namespace

int prepare_folder(const std::string &dir, std::string *trouble)
{
    std::vector<std::string> entries;
    if (!parents_safe(dir, trouble) || !make_dirs(dir, trouble) || !folder_private(dir, trouble) ||
        !folder_entries(dir, &entries, trouble))
        return -1;
    make_files_private(dir, entries);
    for (Device device : kAllDevices)
        prepare_device(dir, device, entries);
    return 0;
}

}  // namespace promsim
