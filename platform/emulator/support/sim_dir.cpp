// Which folder holds the emulated hardware, and its first use.
#include "sim_dir.h"

#include "bad_setup.h"
#include "device_files.h"
#include "folder_setup.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace promsim {
namespace {

const char *env(const char *name)
{
    const char *value = getenv(name);
    return value && *value ? value : nullptr;
}

// Asked at most once by each library that holds this code.
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

}  // namespace

std::string sim_dir()
{
    std::string dir = chosen_dir();
    // The folder is prepared once per folder by each library; a device
    // file removed later still reads as blank.
    static std::string ready;
    if (dir != ready) {
        std::string trouble;
        if (prepare_folder(dir, &trouble) != 0)
            stop_on_bad_setup(trouble, 1);
        ready = dir;
    }
    return dir;
}

std::string device_path(Device device)
{
    return device_file(sim_dir(), device);
}

}  // namespace promsim
