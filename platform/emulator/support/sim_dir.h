// Where the emulated hardware lives.
#ifndef PROMSIM_SIM_DIR_H
#define PROMSIM_SIM_DIR_H

#include "device.h"

#include <string>

namespace promsim {

// PROMSIM_DIR, else $XDG_STATE_HOME/promcfg/sim, else
// $HOME/.local/state/promcfg/sim, else the same under the home folder of the
// user's password entry; empty variables count as unset, and so does a home
// of "/". Created on first use with blank devices; first use also removes
// temporary files of killed runs. With no folder to be had the process ends
// with status 2 and one line on standard error (checked when the library
// loads, too); a folder that cannot be made or read, or that is refused as
// not private (folder_setup.h), ends it at first use with status 1 and one
// line that names the folder and why.
std::string sim_dir();

// The choice behind sim_dir(), as a pure function of the variables (null
// when unset) and of the password entry's home folder, which is asked for
// only when needed (null: no entry). False when there is no folder: never
// one at the root of the file system.
bool choose_sim_dir(const char *promsim_dir, const char *xdg_state_home, const char *home,
                    const char *(*passwd_home)(), std::string *dir);

// The device's image file in the folder: "system.prom", "blade.prom" or
// "kestrel.prom".
std::string device_path(Device device);

}  // namespace promsim

#endif
