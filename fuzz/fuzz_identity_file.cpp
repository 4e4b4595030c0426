// promcfg-apply's identity file reader and checks. Every line becomes an
// entry or a problem: entries are trimmed, not empty, in file order, each
// item once; the problem list stays bounded while counting them all. What
// the checks make of an entry is the answer promcfg is given, and an answer
// checked again is the same answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "apply/checks.h"
#include "apply/identity_file.h"
#include "apply/value_check.h"
#include "check.h"

namespace {

bool is_trimmed_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<Entry> entries;
    Problems problems;
    read_identity_file(text, entries, problems);

    FUZZ_CHECK(problems.list.size() == std::min<unsigned long>(problems.total, Problems::kept),
               "%zu problems kept of %lu", problems.list.size(), problems.total);
    bool seen[item_count] = {};
    unsigned long last_line = 0;
    for (const Entry &entry : entries) {
        FUZZ_CHECK(entry.line > last_line, "line %lu after line %lu", entry.line, last_line);
        last_line = entry.line;
        FUZZ_CHECK(entry.item >= 0 && entry.item < item_count, "item %d", entry.item);
        FUZZ_CHECK(!seen[entry.item], "item %d given twice", entry.item);
        seen[entry.item] = true;
        FUZZ_CHECK(!entry.value.empty(), "empty value on line %lu", entry.line);
        FUZZ_CHECK(entry.value.size() <= identity_line_max, "value of %zu bytes", entry.value.size());
        FUZZ_CHECK(!is_trimmed_blank(entry.value.front()) && !is_trimmed_blank(entry.value.back()),
                   "untrimmed value on line %lu", entry.line);
    }
    for (const Problem &problem : problems.list)
        FUZZ_CHECK(problem.line >= 1 && !problem.reason.empty(), "problem on line %lu: '%s'",
                   problem.line, problem.reason.c_str());

    // Checked against a switch that reads as blank, with two ASIC MACs.
    Identity before;
    before.asic_macs = 2;
    Wanted wanted;
    Problems checked;
    check_entries(entries, before, nullptr, wanted, checked);
    for (int item = 0; item < item_count; ++item) {
        if (!wanted.given[item])
            continue;
        FUZZ_CHECK(seen[item], "item %d wanted, not given", item);
        std::string again;
        std::string why = check_value(item, wanted.answer[item], again);
        FUZZ_CHECK(why.empty() && again == wanted.answer[item],
                   "item %d: answer '%s' checked again: '%s', '%s'", item,
                   printable(wanted.answer[item]).c_str(), why.c_str(), printable(again).c_str());
    }
    return 0;
}
