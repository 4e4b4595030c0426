// How a failed platform call is reported: the caller's words, then the
// numbers every such message ends with.
#ifndef PROMCFG_DRIVER_GROUND_FAILED_CALL_H
#define PROMCFG_DRIVER_GROUND_FAILED_CALL_H

// Prints the words `format` makes, then ", rc = <rc> errno = <errno>" and a
// newline. Call it straight after the failed call: errno is read first.
void print_failed_call(int rc, const char *format, ...) __attribute__((format(printf, 2, 3)));

#endif
