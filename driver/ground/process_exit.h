// Ending the process, with standard output checked on the way out.
#ifndef PROMCFG_DRIVER_GROUND_PROCESS_EXIT_H
#define PROMCFG_DRIVER_GROUND_PROCESS_EXIT_H

// Flushes standard output and ends the process with `status`. When a
// write to standard output failed, the operator never saw the messages
// that report what happened: one line on standard error says so, and a
// status of 0 becomes 1. A closed pipe says nothing more.
[[noreturn]] void end_process(int status);

#endif
