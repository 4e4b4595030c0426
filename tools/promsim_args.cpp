#include "promsim_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace promsim_tool {
namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

int bad_arguments(const std::string &message)
{
    std::fprintf(stderr, "promsim: %s (see promsim help)\n", message.c_str());
    return 2;
}

int device_failure(const std::string &what)
{
    const char *why = errno == EBADMSG  ? "image damaged (checksum or layout does not match)"
                      : errno == ENOENT ? "no record"
                                        : std::strerror(errno);
    std::fprintf(stderr, "promsim: %s: %s\n", what.c_str(), why);
    return 1;
}

bool parse_device(const std::string &word, promsim::Device *device)
{
    for (promsim::Device d : {promsim::Device::system, promsim::Device::blade,
                              promsim::Device::kestrel}) {
        if (word == promsim::device_name(d)) {
            *device = d;
            return true;
        }
    }
    return false;
}

bool parse_size(const std::string &word, std::size_t *value)
{
    bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    std::size_t start = hex ? 2 : 0;
    if (word.size() == start || word.size() - start > 8)
        return false;
    std::size_t v = 0;
    for (std::size_t i = start; i < word.size(); ++i) {
        int digit = hex_value(word[i]);
        if (digit < 0 || (!hex && digit > 9))
            return false;
        v = v * (hex ? 16 : 10) + static_cast<std::size_t>(digit);
    }
    *value = v;
    return true;
}

bool parse_hex_bytes(const std::string &word, std::vector<unsigned char> *bytes)
{
    std::vector<unsigned char> out;
    std::size_t i = 0;
    while (i < word.size()) {
        if (!out.empty() && word[i] == ':')
            ++i;
        int high = i < word.size() ? hex_value(word[i]) : -1;
        int low = i + 1 < word.size() ? hex_value(word[i + 1]) : -1;
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<unsigned char>(high << 4 | low));
        i += 2;
    }
    if (out.empty())
        return false;
    *bytes = out;
    return true;
}

}  // namespace promsim_tool
