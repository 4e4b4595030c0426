#include "apply/byte_rows.h"

namespace {

// A lowercase hexadecimal digit's value, or -1: the dump prints no other.
int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The value of `count` lowercase digits at `at`, or -1.
long hex_value(const char *at, int count)
{
    long value = 0;
    for (int i = 0; i < count; ++i) {
        int digit = hex_digit(at[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

bool is_printable(unsigned value)
{
    return value >= 0x20 && value <= 0x7e;
}

// "%4.4x-%4.4x:" with two offsets within the address space.
constexpr std::size_t label_length = 10;

// Reads the row whose label starts `line` (`left` characters to the end of
// the text) into `bytes`; returns the bytes read.
std::size_t read_row(const char *line, std::size_t left, ByteMap &bytes)
{
    if (left < label_length || line[4] != '-' || line[9] != ':')
        return 0;
    long first = hex_value(line, 4), last = hex_value(line + 5, 4);
    // A row of eight bytes, or fewer where the label is clamped at 0xffff.
    long expected_last = first + 7 < 0xffff ? first + 7 : 0xffff;
    if (first < 0 || last != expected_last)
        return 0;
    const char *at = line + label_length;
    left -= label_length;
    std::size_t read = 0;
    for (long offset = first; offset <= last; ++offset) {
        if (left < 3 || at[0] != '\t')
            break;
        long value = hex_value(at + 1, 2);
        if (value < 0)
            break;
        std::size_t piece = 3;
        if (is_printable(static_cast<unsigned>(value))) {
            if (left < 5 || at[3] != ' ' || static_cast<unsigned char>(at[4]) != value)
                break;
            piece = 5;
        }
        // The piece ends where the next one, the row or the text does: a
        // ninth piece or a stray character leaves the byte in doubt.
        if (left > piece) {
            char next = at[piece];
            if (next != '\n' && (next != '\t' || offset == last))
                break;
        }
        bytes.set(static_cast<unsigned>(offset), static_cast<unsigned char>(value));
        ++read;
        at += piece;
        left -= piece;
    }
    return read;
}

}  // namespace

ByteMap::Run *ByteMap::run_holding(unsigned offset)
{
    for (Run &run : runs_)
        if (offset - run.offset < run.bytes.size() && offset >= run.offset)
            return &run;
    return nullptr;
}

void ByteMap::set(unsigned offset, unsigned char byte)
{
    if (offset >= address_space)
        return;
    if (Run *run = run_holding(offset)) {
        run->bytes[offset - run->offset] = static_cast<char>(byte);
        return;
    }
    ++shown_count_;
    // The byte after a run's last grows it (runs may then touch: get finds either).
    for (Run &run : runs_)
        if (run.offset + run.bytes.size() == offset) {
            run.bytes += static_cast<char>(byte);
            return;
        }
    runs_.push_back({offset, std::string(1, static_cast<char>(byte))});
}

bool ByteMap::get(unsigned offset, unsigned char &byte) const
{
    for (const Run &run : runs_)
        if (offset >= run.offset && offset - run.offset < run.bytes.size()) {
            byte = static_cast<unsigned char>(run.bytes[offset - run.offset]);
            return true;
        }
    return false;
}

std::size_t parse_byte_rows(const std::string &text, ByteMap &bytes)
{
    // Rows start lines; the dump's own "\n" before each label is the end of
    // the line before.
    std::size_t read = 0;
    for (std::size_t at = 0; at < text.size();) {
        read += read_row(text.data() + at, text.size() - at, bytes);
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return read;
}
