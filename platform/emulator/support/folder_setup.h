// The first use of a folder of emulated hardware, in an explicit folder
// (sim_dir() calls it while it has not yet settled on the folder).
#ifndef PROMSIM_FOLDER_SETUP_H
#define PROMSIM_FOLDER_SETUP_H

#include <string>

namespace promsim {

// Makes `dir` and its missing parents (mode 0700), makes sure the folder is
// the user's own and private, creates every missing device file blank and
// removes temporary files that killed runs left. Refused: a folder that is
// a symlink or not a folder, that another user owns, or that group or
// others may write; a parent that another user (not root) owns, or that
// others may write without the sticky bit. A folder of the user's own that
// others may only read or enter is made 0700 and its files 0600. Returns
// 0, or -1 with *trouble set to one line that names the folder and why (a
// device that cannot be prepared is left to report its trouble on its own
// calls).
int prepare_folder(const std::string &dir, std::string *trouble);

}  // namespace promsim

#endif
