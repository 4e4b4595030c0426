// Reading the operator's answers from standard input.
//
// End of input (or a read error) inside a dialogue ends the process with
// status 0: every action asks all its questions before it writes, so an
// interrupted action has written nothing.
#ifndef PROMCFG_DRIVER_GROUND_CONSOLE_INPUT_H
#define PROMCFG_DRIVER_GROUND_CONSOLE_INPUT_H

#include <cstdint>

#include "driver/ground/answer_bytes.h"

// Reads at most size - 1 bytes of one line, stopping after a newline, and
// terminates them; what is left of a longer line stays for the next read.
// Returns the number of bytes read (embedded NUL bytes count), or -1 at end
// of input (or on a read error) with nothing read.
int read_console_line(char *buffer, int size);

// Shows "[label] " and reads one answer of printable bytes shorter than
// `limit`, asking again until it gets one. Returns its length, 0 for an
// empty answer; `answer` (at least `limit` bytes) holds it terminated.
// At end of input it says on standard error that the running action wrote
// nothing, and ends the process.
int32_t prompt_input(const char *label, char *answer, int32_t limit);

#endif
