// The process entry point: start-up, options and the run order.
#ifndef PROMCFG_DRIVER_COMMAND_LINE_H
#define PROMCFG_DRIVER_COMMAND_LINE_H

#include <cstdint>

// Runs the tool and ends the process with its exit status.
[[noreturn]] void promcfg_main(int argc, char *argv[]);

// The chassis type a -x word names, matched without regard to case; false
// for a word outside the table.
bool chassis_word_value(const char *word, uint32_t *value);

#endif
