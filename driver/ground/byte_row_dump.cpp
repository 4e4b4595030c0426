#include "driver/ground/byte_row_dump.h"

#include <cstring>

#include "driver/ground/console_input.h"
#include "driver/ground/console_output.h"

namespace {

// Formatting a 64 KiB dump with one printf per byte costs far more than
// the dump itself; the rows are built here and written in large pieces.
class DumpWriter {
public:
    ~DumpWriter() { flush(); }

    void text(const char *s)
    {
        std::size_t length = strlen(s);
        if (length > room())
            flush();
        if (length > room()) {
            write_output(s, length);
            return;
        }
        memcpy(buffer_ + used_, s, length);
        used_ += length;
    }

    // "\n%4.4x-%4.4x:" with two 32-bit addresses: at most 1 + 8 + 1 + 8 + 1.
    static constexpr std::size_t max_label = 19;

    void row_label(uint32_t first, uint32_t last)
    {
        reserve(max_label);
        put('\n');
        hex_min4(first);
        put('-');
        hex_min4(last);
        put(':');
    }

    void byte(unsigned char value)
    {
        reserve(5);
        put('\t');
        put(digits[value >> 4]);
        put(digits[value & 0xf]);
        if (is_printable_byte(value)) {
            put(' ');
            put(static_cast<char>(value));
        }
    }

private:
    static constexpr char digits[] = "0123456789abcdef";

    std::size_t room() const { return sizeof buffer_ - used_; }
    void reserve(std::size_t length)
    {
        if (length > room())
            flush();
    }
    void put(char c) { buffer_[used_++] = c; }
    void flush()
    {
        write_output(buffer_, used_);
        used_ = 0;
    }
    // "%4.4x": lowercase, at least four digits.
    void hex_min4(uint32_t value)
    {
        int shift = 28;
        while (shift > 12 && (value >> shift) == 0)
            shift -= 4;
        for (; shift >= 0; shift -= 4)
            put(digits[(value >> shift) & 0xf]);
    }

    char buffer_[16384];
    std::size_t used_ = 0;
};

}  // namespace

void byte_row_dump(const unsigned char *bytes, std::size_t count, uint32_t address,
                   const DumpSection *sections, std::size_t section_count, uint32_t last_label)
{
    DumpWriter out;
    std::size_t next_section = 0;
    for (std::size_t k = 0; k < count; ++k) {
        while (next_section < section_count && sections[next_section].index == k)
            out.text(sections[next_section++].header);
        if (k % 8 == 0) {
            uint32_t first = address + static_cast<uint32_t>(k);
            uint32_t last = first + 7;
            out.row_label(first, last < last_label ? last : last_label);
        }
        out.byte(bytes[k]);
    }
}
