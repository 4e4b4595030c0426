// SIGINT, SIGTERM and SIGHUP, taken as requests: the first asks the run to
// stop where nothing is lost, a second to stop now. Whatever waits (for
// promcfg, for the file, for the lock) polls interrupt_fd() beside its own
// descriptors, so no request is missed between a check and a wait.
#ifndef PROMCFG_APPLY_INTERRUPTS_H
#define PROMCFG_APPLY_INTERRUPTS_H

// Installs the handlers (without SA_RESTART); call once, first.
void watch_interrupts();

// Readable when a request has arrived since the last drain_interrupts().
int interrupt_fd();
void drain_interrupts();

// The first signal that arrived, or 0; and how many have.
int interrupt_signal();
unsigned interrupt_count();

// "SIGINT", "SIGTERM" or "SIGHUP".
const char *signal_name(int signal_number);

#endif
