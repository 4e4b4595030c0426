// Each line is appended with a single write() on an O_APPEND descriptor so
// that lines of concurrent runs, and of the libraries of one run, never mix.
#include "call_trace.h"

#include "bad_setup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace promsim {
namespace {

const char kHexDigits[] = "0123456789abcdef";

void append_hex_byte(std::string &out, unsigned char byte)
{
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0f];
}

}  // namespace

void trace_call(const char *name, const std::string &args, int rc)
{
    const char *path = getenv("PROMSIM_TRACE");
    if (!path || !*path)
        return;
    std::string line = std::string(name) + "(" + args + ") = " + std::to_string(rc) + "\n";
    // Opened per call: the trace must survive a fork, a kill or a test that
    // deletes the file between two calls. Checked again each time, since
    // the file may have been swapped since the load.
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) {
        ssize_t ignored = write(fd, line.data(), line.size());
        (void)ignored;
    }
    close(fd);
}

void check_trace_file()
{
    const char *path = getenv("PROMSIM_TRACE");
    struct stat st;
    if (!path || !*path || lstat(path, &st) != 0)
        return;  // made by the first traced call
    if (S_ISLNK(st.st_mode))
        stop_on_bad_setup(std::string("promsim: PROMSIM_TRACE ") + path +
                          " refused: it is a symbolic link");
    if (!S_ISREG(st.st_mode))
        stop_on_bad_setup(std::string("promsim: PROMSIM_TRACE ") + path +
                          " refused: it is not a regular file");
    if (st.st_uid != geteuid())
        stop_on_bad_setup(std::string("promsim: PROMSIM_TRACE ") + path +
                          " refused: it belongs to user " + std::to_string(st.st_uid));
}

std::string trace_hex(const void *bytes, std::size_t length)
{
    if (!bytes)
        return "NULL";
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    std::string out;
    for (std::size_t i = 0; i < length; ++i)
        append_hex_byte(out, p[i]);
    return out;
}

std::string quote_bytes(const unsigned char *bytes, std::size_t length)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = bytes[i];
        if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            append_hex_byte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string trace_text(const char *text, std::size_t length)
{
    if (!text)
        return "NULL";
    std::size_t n = 0;
    while (n < length && text[n] != '\0')
        ++n;
    return quote_bytes(reinterpret_cast<const unsigned char *>(text), n);
}

std::string trace_text(const char *text)
{
    return trace_text(text, text ? strlen(text) : 0);
}

std::string trace_args(std::initializer_list<std::string> args)
{
    std::string out;
    const char *separator = "";
    for (const std::string &arg : args) {
        out += separator;
        out += arg;
        separator = ", ";
    }
    return out;
}

}  // namespace promsim
