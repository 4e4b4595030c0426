// On the switch: in /run, where only root may make a file.
#include "apply/run_lock.h"

std::string default_lock_path()
{
    return "/run/promcfg-apply.lock";
}
