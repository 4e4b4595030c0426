// promcfg-apply's exit statuses; an interrupted run ends with 128 + the signal.
#ifndef PROMCFG_APPLY_EXIT_STATUS_H
#define PROMCFG_APPLY_EXIT_STATUS_H

constexpr int status_ok = 0;
constexpr int status_failed = 1;      // something did not reach the PROM, or could not be read
constexpr int status_bad_file = 2;    // the file or the command line; nothing written
constexpr int status_no_item = 3;     // the switch shows no item: blank, erased or damaged
constexpr int status_busy = 4;        // another run held the lock; nothing written
constexpr int status_not_read_back = 5;  // written, but some item cannot be read back (no layout)
constexpr int status_interrupted = 128;  // + the signal

#endif
