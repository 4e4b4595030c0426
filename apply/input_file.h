// Reading the identity file whole, before anything else: a regular file, a
// pipe or standard input, of at most identity_file_max bytes, within the
// run's time limit and until an interrupt.
#ifndef PROMCFG_APPLY_INPUT_FILE_H
#define PROMCFG_APPLY_INPUT_FILE_H

#include <string>

enum class InputEnd { read, refused, interrupted };

// Reads `path` ("-": standard input) into `text`. When refused, `why` says
// why in words that follow the file's name.
InputEnd read_input_file(const char *path, long timeout_seconds, std::string &text, std::string &why);

#endif
