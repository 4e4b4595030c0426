// PROMSIM_TRACE: one line per emulated call, "NAME(ARGS) = RC", and the
// forms its arguments are written in.
#ifndef PROMSIM_CALL_TRACE_H
#define PROMSIM_CALL_TRACE_H

#include <cstddef>
#include <initializer_list>
#include <string>

namespace promsim {

// Appends "NAME(ARGS) = RC" to the trace file, if any: a regular file of
// this user's, never reached through a symlink (a line that cannot be
// written so is dropped).
void trace_call(const char *name, const std::string &args, int rc);

// Checked with the test hooks when the library loads: a PROMSIM_TRACE that
// is a symlink, or anything but a regular file of this user's, ends the
// process with status 2 and one line, before any call is traced.
void check_trace_file();

std::string trace_hex(const void *bytes, std::size_t length);  // "0a1b"
// Texts are quoted as given; only control bytes are written as \xNN so
// that a trace line stays one line.
std::string trace_text(const char *text);                      // "\"abc\""
// At most `length` bytes, ending early at a NUL.
std::string trace_text(const char *text, std::size_t length);
std::string trace_args(std::initializer_list<std::string> args);  // ", "

// Every one of `length` bytes quoted as trace_text() writes a text, NULs
// too (as \x00): how promsim shows a stored text on one line.
std::string quote_bytes(const unsigned char *bytes, std::size_t length);

// An integer passed by pointer for writing: its value.
template <typename T>
std::string trace_value(const T *value)
{
    return value ? std::to_string(*value) : "NULL";
}

}  // namespace promsim

#endif
