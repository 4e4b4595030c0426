#include "apply/identity_file.h"

#include "apply/items.h"
#include "apply/value_check.h"

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trimmed(const std::string &text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The line at `at` without its newline, moving `at` past it; false at the
// end of the text. A line longer than the limit is read to its end, and
// `too_long` set.
bool read_line(const std::string &text, std::size_t &at, std::string &line, bool &too_long)
{
    if (at >= text.size())
        return false;
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
        end = text.size();
    too_long = end - at > identity_line_max;
    line = text.substr(at, too_long ? identity_line_max : end - at);
    at = end + 1;
    return true;
}

}  // namespace

void read_identity_file(const std::string &file, std::vector<Entry> &entries, Problems &problems)
{
    unsigned long given_on[item_count] = {};
    std::string line;
    bool too_long = false;
    std::size_t at = 0;
    for (unsigned long number = 1; read_line(file, at, line, too_long); ++number) {
        // A comment may be of any length: --show writes a PROM's odd text
        // into one, four bytes for each byte it cannot show.
        std::string text = trimmed(line);
        if (!text.empty() && text[0] == '#')
            continue;
        if (too_long) {
            problems.add(number, -1, "longer than " + std::to_string(identity_line_max) + " bytes");
            continue;
        }
        if (text.empty())
            continue;
        std::size_t equals = text.find('=');
        if (equals == std::string::npos) {
            problems.add(number, -1, "\"item = value\" expected");
            continue;
        }
        std::string name = trimmed(text.substr(0, equals));
        std::string value = trimmed(text.substr(equals + 1));
        int item = find_item(name);
        if (item < 0) {
            problems.add(number, -1, "unknown item '" + printable(name) + "'");
            continue;
        }
        if (given_on[item] != 0) {
            problems.add(number, item, "already given on line " + std::to_string(given_on[item]));
            continue;
        }
        given_on[item] = number;
        if (value.empty()) {
            problems.add(number, item, "empty value");
            continue;
        }
        entries.push_back({number, item, value});
    }
}
