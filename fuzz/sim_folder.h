// A private emulated-hardware folder for a fuzzing process, on tmpfs where
// there is one (the emulators fsync every commit), removed at exit.
#ifndef PROMCFG_FUZZ_SIM_FOLDER_H
#define PROMCFG_FUZZ_SIM_FOLDER_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzsim {

inline std::string &folder()
{
    static std::string *path = new std::string;
    return *path;
}

inline void remove_folder()
{
    const char *names[] = {"system", "blade", "kestrel"};
    const char *suffixes[] = {".prom", ".prom.new", ".lock", ".absent"};
    for (const char *name : names)
        for (const char *suffix : suffixes)
            unlink((folder() + "/" + name + suffix).c_str());
    rmdir(folder().c_str());
}

// Makes the folder, points PROMSIM_DIR at it, and returns it; it is removed
// at exit unless `keep` (a forking harness, whose children exit).
inline const std::string &make_folder(const char *stem, bool keep = false)
{
    struct stat shm;
    const char *tmp = getenv("TMPDIR");
    std::string base = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm"
                       : tmp && *tmp                                       ? tmp
                                                                           : "/tmp";
    std::string pattern = base + "/" + stem + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        perror("mkdtemp");
        std::abort();
    }
    folder() = buffer.data();
    setenv("PROMSIM_DIR", folder().c_str(), 1);
    if (!keep)
        std::atexit(remove_folder);
    return folder();
}

// Replaces a device file of the folder with `image`.
inline void put_file(const char *name, const std::vector<unsigned char> &image)
{
    std::string path = folder() + "/" + name;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) {
        perror(path.c_str());
        std::abort();
    }
    close(fd);
}

// Plugs both removable devices back in.
inline void plug_all()
{
    unlink((folder() + "/blade.absent").c_str());
    unlink((folder() + "/kestrel.absent").c_str());
}

}  // namespace fuzzsim

#endif
