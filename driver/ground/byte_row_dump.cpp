#include "driver/ground/byte_row_dump.h"

#include <algorithm>
#include <cstring>

#include "driver/ground/console_input.h"
#include "driver/ground/console_output.h"

namespace {

// A byte's text, "\t%2.2x" and " %c" when it is printable, ready to copy:
// the dump stores all eight bytes of a piece and advances by its length, so
// each byte costs two table loads, one store and one add.
struct PieceTable {
    char pieces[256][8];
    unsigned char lengths[256];
    char pairs[256][2];  // "%2.2x" of each byte, for the row labels
};

constexpr PieceTable make_piece_table()
{
    constexpr char digits[] = "0123456789abcdef";
    PieceTable table{};
    for (int value = 0; value < 256; ++value) {
        char *piece = table.pieces[value];
        piece[0] = '\t';
        piece[1] = digits[value >> 4];
        piece[2] = digits[value & 0xf];
        table.lengths[value] = 3;
        if (is_printable_byte(static_cast<unsigned char>(value))) {
            piece[3] = ' ';
            piece[4] = static_cast<char>(value);
            table.lengths[value] = 5;
        }
        table.pairs[value][0] = digits[value >> 4];
        table.pairs[value][1] = digits[value & 0xf];
    }
    return table;
}

constexpr PieceTable table = make_piece_table();

// "\n%4.4x-%4.4x:" with two 32-bit addresses: at most 1 + 8 + 1 + 8 + 1.
constexpr std::size_t max_label = 19;
// A row label and eight byte pieces, the last one stored whole.
constexpr std::size_t max_row = max_label + 8 * sizeof table.pieces[0];

// The dump's output, built in a large buffer and written in blocks.
class DumpWriter {
public:
    ~DumpWriter() { write_output(buffer_, used_); }

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

    // Where a row of at most max_row bytes goes; done() takes its end.
    char *row_at()
    {
        if (max_row > room())
            flush();
        return buffer_ + used_;
    }

    // The same for `rows` rows, fewer when fewer fit (at least one).
    char *rows_at(std::size_t *rows)
    {
        char *at = row_at();
        *rows = std::min(*rows, room() / max_row);
        return at;
    }
    void done(const char *end) { used_ = static_cast<std::size_t>(end - buffer_); }

private:
    std::size_t room() const { return sizeof buffer_ - used_; }
    void flush()
    {
        write_output(buffer_, used_);
        used_ = 0;
    }

    char buffer_[16384];
    std::size_t used_ = 0;
};

// "%4.4x": lowercase, at least four digits.
char *put_hex_min4(char *out, uint32_t value)
{
    int shift = 28;
    while (shift > 12 && (value >> shift) == 0)
        shift -= 4;
    for (; shift >= 0; shift -= 4)
        *out++ = "0123456789abcdef"[(value >> shift) & 0xf];
    return out;
}

// "\n%4.4x-%4.4x:" digit by digit: any two addresses.
__attribute__((noinline)) char *put_long_label(char *out, uint32_t first, uint32_t last)
{
    *out++ = '\n';
    out = put_hex_min4(out, first);
    *out++ = '-';
    out = put_hex_min4(out, last);
    *out++ = ':';
    return out;
}

// "\n%4.4x-%4.4x:". When both addresses have four digits and share their
// high byte, as in every row of a 64 KiB dump, from the pair table (written
// back to front, each piece at its own place).
inline char *put_label(char *out, uint32_t first, uint32_t last)
{
    if ((first >> 16) != 0 || (first >> 8) != (last >> 8))
        return put_long_label(out, first, last);
    const char *high = table.pairs[first >> 8];
    out[10] = ':';
    memcpy(out + 8, table.pairs[last & 0xff], 2);
    memcpy(out + 6, high, 2);
    out[5] = '-';
    memcpy(out + 3, table.pairs[first & 0xff], 2);
    memcpy(out + 1, high, 2);
    out[0] = '\n';
    return out + 11;
}

// Stores the pieces of `count` bytes at `out`; returns the end.
char *put_pieces(char *out, const unsigned char *bytes, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        unsigned char value = bytes[k];  // read once: the store may alias it
        char *next = out + table.lengths[value];
        memcpy(out, table.pieces[value], sizeof table.pieces[0]);
        out = next;
    }
    return out;
}

// A whole row's eight pieces, unrolled: the bulk of every dump.
char *put_row(char *out, const unsigned char *bytes)
{
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
        unsigned char value = bytes[k];  // read once: the store may alias it
        char *next = out + table.lengths[value];
        memcpy(out, table.pieces[value], sizeof table.pieces[0]);
        out = next;
    }
    return out;
}

}  // namespace

void byte_row_dump(const unsigned char *bytes, std::size_t count, uint32_t address,
                   const DumpSection *sections, std::size_t section_count, uint32_t last_label)
{
    DumpWriter out;
    std::size_t next_section = 0;
    std::size_t k = 0;
    while (k < count) {
        // The headers of this byte. A header whose byte the run has passed
        // is never printed, and neither is any after it.
        for (; next_section < section_count && sections[next_section].index <= k; ++next_section) {
            if (sections[next_section].index < k) {
                next_section = section_count;
                break;
            }
            out.text(sections[next_section].header);
        }
        // The bytes up to the next header (or the end): whole rows first,
        // as many at a time as the buffer holds, without a check per row.
        std::size_t stop =
            next_section < section_count ? std::min(count, sections[next_section].index) : count;
        std::size_t rows = k % 8 == 0 ? (stop - k) / 8 : 0;
        while (rows > 0) {
            std::size_t batch = rows;
            char *p = out.rows_at(&batch);
            const unsigned char *row = bytes + k;
            uint32_t first = address + static_cast<uint32_t>(k);
            for (const unsigned char *last_row = row + 8 * batch; row != last_row; row += 8, first += 8)
                p = put_row(put_label(p, first, std::min(first + 7, last_label)), row);
            k += 8 * batch;
            out.done(p);
            rows -= batch;
        }
        if (k == stop)
            continue;

        // The part of a row before a header, or the run's last bytes.
        std::size_t end = k + std::min(stop - k, 8 - k % 8);
        char *p = out.row_at();
        if (k % 8 == 0) {
            uint32_t first = address + static_cast<uint32_t>(k);
            p = put_label(p, first, std::min(first + 7, last_label));
        }
        out.done(put_pieces(p, bytes + k, end - k));
        k = end;
    }
}
