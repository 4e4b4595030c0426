// On the emulated bench: one lock per emulated switch, in its folder, so
// that runs on different emulated switches go side by side.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "apply/run_lock.h"
#include "platform/emulator/support/sim_dir.h"

namespace {

const char *variable(const char *name)
{
    const char *value = getenv(name);
    return value && *value ? value : nullptr;
}

const char *home_of_user()
{
    struct passwd *entry = getpwuid(getuid());
    return entry ? entry->pw_dir : nullptr;
}

// The folder and those above it, made as the emulators make them (0700),
// when the switch was never used: the lock comes before the first read.
void make_folder(const std::string &dir)
{
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        mkdir(dir.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            return;
    }
}

}  // namespace

std::string default_lock_path()
{
    std::string dir;
    if (!promsim::choose_sim_dir(variable("PROMSIM_DIR"), variable("XDG_STATE_HOME"), variable("HOME"),
                                 home_of_user, &dir))
        return "";
    make_folder(dir);
    return dir + "/apply.lock";
}
