#include "promsim_commands.h"

#include "checked_number.h"
#include "device.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace promsim_tool {

int bad_arguments(const std::string &message)
{
    std::fprintf(stderr, "promsim: %s (see promsim help)\n", message.c_str());
    return 2;
}

int device_failure(const std::string &what)
{
    const char *why = errno == EBADMSG  ? "image damaged (size, checksum, layout or file kind)"
                      : errno == ENOENT ? "no record"
                      : errno == EWOULDBLOCK ? "device locked by another process"
                                        : std::strerror(errno);
    std::fprintf(stderr, "promsim: %s: %s\n", what.c_str(), why);
    return 1;
}

bool parse_device(const std::string &word, promsim::Device *device)
{
    for (promsim::Device d : promsim::kAllDevices) {
        if (word == promsim::device_name(d)) {
            *device = d;
            return true;
        }
    }
    return false;
}

bool parse_size(const std::string &word, std::size_t max, std::size_t *value)
{
    long long v;
    if (!promsim::parse_number(word, promsim::NumberForm::decimal_or_hex, 0,
                               static_cast<long long>(max), &v))
        return false;
    *value = static_cast<std::size_t>(v);
    return true;
}

bool parse_hex_bytes(const std::string &word, std::vector<unsigned char> *bytes)
{
    std::vector<unsigned char> out;
    std::size_t i = 0;
    while (i < word.size()) {
        if (!out.empty() && word[i] == ':')
            ++i;
        unsigned char byte = 0;
        if (i + 2 > word.size() || !promsim::parse_hex_pair(word.data() + i, &byte))
            return false;
        out.push_back(byte);
        i += 2;
    }
    if (out.empty())
        return false;
    *bytes = out;
    return true;
}

}  // namespace promsim_tool
