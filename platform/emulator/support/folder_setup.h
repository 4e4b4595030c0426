// The first use of a folder of emulated hardware, in an explicit folder
// (sim_dir() calls it while it has not yet settled on the folder).
#ifndef PROMSIM_FOLDER_SETUP_H
#define PROMSIM_FOLDER_SETUP_H

#include <string>

namespace promsim {

// Makes `dir` and its missing parents, creates every missing device file
// blank and removes temporary files that killed runs left. 0, or -1 with
// errno when the folder cannot be made; a device that cannot be prepared
// is left to report its trouble on its own calls.
int prepare_folder(const std::string &dir);

}  // namespace promsim

#endif
