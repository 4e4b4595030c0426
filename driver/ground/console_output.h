// Standard output as the tool uses it: written through stdio, flushed
// before every read of an answer, checked when the process ends.
#ifndef PROMCFG_DRIVER_GROUND_CONSOLE_OUTPUT_H
#define PROMCFG_DRIVER_GROUND_CONSOLE_OUTPUT_H

#include <cstddef>

// Flushes standard output so that a prompt shows before the read; the
// cause of the first failed flush is kept for the report at exit, since a
// failed write leaves the stream's error mark but not its reason.
void flush_output();

// Writes `length` bytes to standard output through stdio, keeping the
// cause of a failure as flush_output() does: for output built in blocks.
void write_output(const char *bytes, std::size_t length);

// The errno of the first failed flush_output() or write_output(), 0 when
// none failed.
int first_output_error();

#endif
