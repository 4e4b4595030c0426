// What promcfg-apply's command line asks for.
#ifndef PROMCFG_APPLY_OPTIONS_H
#define PROMCFG_APPLY_OPTIONS_H

#include <string>
#include <vector>

#include "apply/layout.h"

struct Options {
    const char *file = nullptr;
    bool show = false;
    bool json = false;
    bool dry_run = false;
    bool force = false;  // write also what the switch holds already
    std::vector<std::string> command;
    long timeout = 60;
    std::string lock;
    const char *layout_file = nullptr;
    Layout layout_read;
    const Layout *layout = nullptr;  // null: none given or found
};

#endif
