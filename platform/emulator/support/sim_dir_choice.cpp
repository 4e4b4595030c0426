// Which folder holds the emulated hardware: a pure choice, which
// promcfg-apply's bench build shares for its default run lock.
#include "sim_dir.h"

namespace promsim {

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

}  // namespace promsim
