// The answer rules of promcfg's questions, as promcfg-apply applies them:
// stricter where promcfg is lax (MACs and WWNs must be hexadecimal digits).
#ifndef PROMCFG_APPLY_VALUE_CHECK_H
#define PROMCFG_APPLY_VALUE_CHECK_H

#include <string>

// Checks `value` for `item`. Returns "" and sets `answer` to what promcfg
// is to be given (lowercase hex without ':', a number without leading
// zeros, the text itself); otherwise returns why the value is refused.
std::string check_value(int item, const std::string &value, std::string &answer);

// What the PROM holds for an answer, and the answer that gives what it
// holds: they differ for text stored right-aligned.
std::string stored_form(int item, const std::string &answer);
std::string file_form(int item, const std::string &stored);

// `text` with every byte outside printable ASCII written as \xNN (and a
// backslash as \\), for messages and reports.
std::string printable(const std::string &text);

#endif
