// promcfg-apply's reader of promcfg's display, and --show on what it read.
// A display that parses shows as a file that reads back, with no problem,
// as exactly the items and values that were read; its JSON is valid.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "apply/checks.h"
#include "apply/display_parser.h"
#include "apply/identity_file.h"
#include "apply/show.h"
#include "apply/value_check.h"
#include "check.h"

namespace {

// What `print` writes to standard output. --show prints with printf, so
// standard output is swapped for a memory stream while it runs.
template <typename Print>
std::string captured(Print print)
{
    char *buffer = nullptr;
    std::size_t size = 0;
    FILE *memory = open_memstream(&buffer, &size);
    FUZZ_CHECK(memory != nullptr, "no memory stream");
    FILE *saved = stdout;
    stdout = memory;
    print();
    stdout = saved;
    fclose(memory);
    std::string text(buffer, size);
    free(buffer);
    return text;
}

// A JSON value (RFC 8259) starting at `at`, skipped; false when there is none.
bool skip_value(const std::string &json, std::size_t &at, int depth);

void skip_blanks(const std::string &json, std::size_t &at)
{
    while (at < json.size() && (json[at] == ' ' || json[at] == '\n' || json[at] == '\t' || json[at] == '\r'))
        ++at;
}

bool skip_string(const std::string &json, std::size_t &at)
{
    if (at >= json.size() || json[at] != '"')
        return false;
    for (++at; at < json.size(); ++at) {
        unsigned char c = static_cast<unsigned char>(json[at]);
        if (c == '"') {
            ++at;
            return true;
        }
        if (c < 0x20 || c > 0x7e)  // what the report writes is ASCII
            return false;
        if (c == '\\') {
            ++at;
            if (at >= json.size())
                return false;
            if (json[at] == 'u') {
                for (int i = 0; i < 4; ++i)
                    if (++at >= json.size() || !isxdigit(static_cast<unsigned char>(json[at])))
                        return false;
            } else if (!strchr("\"\\/bfnrt", json[at]) || json[at] == '\0') {
                return false;
            }
        }
    }
    return false;
}

bool skip_value(const std::string &json, std::size_t &at, int depth)
{
    skip_blanks(json, at);
    if (at >= json.size() || depth > 8)
        return false;
    char c = json[at];
    if (c == '"')
        return skip_string(json, at);
    for (const char *word : {"true", "false", "null"})
        if (json.compare(at, strlen(word), word) == 0)
            return at += strlen(word), true;
    if (c == '{' || c == '[') {
        char close = c == '{' ? '}' : ']';
        ++at;
        skip_blanks(json, at);
        if (at < json.size() && json[at] == close)
            return ++at, true;
        for (;;) {
            if (c == '{') {
                skip_blanks(json, at);
                if (!skip_string(json, at))
                    return false;
                skip_blanks(json, at);
                if (at >= json.size() || json[at++] != ':')
                    return false;
            }
            if (!skip_value(json, at, depth + 1))
                return false;
            skip_blanks(json, at);
            if (at >= json.size())
                return false;
            if (json[at] == close)
                return ++at, true;
            if (json[at++] != ',')
                return false;
        }
    }
    // A number: an optional minus, then digits without a leading zero.
    std::size_t start = at;
    if (json[at] == '-')
        ++at;
    std::size_t digits = at;
    while (at < json.size() && json[at] >= '0' && json[at] <= '9')
        ++at;
    return at > digits && !(json[digits] == '0' && at - digits > 1) && start < at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Identity identity;
    if (!parse_display(std::string(reinterpret_cast<const char *>(data), size), identity))
        return 0;
    for (int item = 0; item < item_count; ++item)
        FUZZ_CHECK(identity.shown[item] || !identity.defined[item], "item %d defined, not shown", item);

    // The file --show prints reads back as the items it names, unchanged,
    // and passes the checks against the switch it came from.
    std::string file = captured([&] { print_show_file(identity, nullptr); });
    std::vector<Entry> entries;
    Problems problems;
    read_identity_file(file, entries, problems);
    FUZZ_CHECK(problems.total == 0, "--show file has %lu problems, the first: line %lu, %s",
               problems.total, problems.list[0].line, problems.list[0].reason.c_str());
    for (const Entry &entry : entries)
        FUZZ_CHECK(identity.defined[entry.item] && entry.value == identity.value[entry.item],
                   "item %d reads back as '%s'", entry.item, printable(entry.value).c_str());
    Wanted wanted;
    check_entries(entries, identity, nullptr, wanted, problems);
    FUZZ_CHECK(problems.total == 0, "--show file fails its check: line %lu, %s",
               problems.list[0].line, problems.list[0].reason.c_str());

    std::string json = captured([&] { print_show_json(identity, nullptr, 0); });
    std::size_t at = 0;
    bool valid = skip_value(json, at, 0) && json[0] == '{';
    skip_blanks(json, at);
    FUZZ_CHECK(valid && at == json.size(), "invalid JSON near byte %zu of %zu", at, json.size());
    return 0;
}
