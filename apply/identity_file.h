// Reading an identity file: one "item = value" a line.
#ifndef PROMCFG_APPLY_IDENTITY_FILE_H
#define PROMCFG_APPLY_IDENTITY_FILE_H

#include <cstddef>
#include <string>
#include <vector>

#include "apply/problems.h"

struct Entry {
    unsigned long line;
    int item;
    std::string value;  // trimmed, not empty
};

// Largest file taken.
constexpr std::size_t identity_file_max = 64 * 1024;

// Longest line taken, newline excluded; a comment may be longer.
constexpr std::size_t identity_line_max = 255;

// Reads every line of `text`. Blanks (spaces, tabs, a carriage return) around
// the item and the value are trimmed; blank lines and lines whose first
// non-blank character is '#' are skipped. Any other line that is too long,
// has no '=', names no item or an item named before, or has an empty value
// is a problem; every other line is an entry, in file order.
void read_identity_file(const std::string &text, std::vector<Entry> &entries, Problems &problems);

#endif
