// promcfg prints some PROM contents only as byte row dumps: rows of up to
// eight bytes, each opened by "\n%4.4x-%4.4x:" with the addresses of its
// first and last byte (the last clamped to 0xffff), each byte "\t%2.2x"
// and, when printable, " %c". These are read back from that text.
#ifndef PROMCFG_APPLY_BYTE_ROWS_H
#define PROMCFG_APPLY_BYTE_ROWS_H

#include <cstddef>
#include <string>
#include <vector>

// Bytes of a device as promcfg's byte row dumps show them: at most the
// 64 KiB of a 16-bit address space. An offset past it is never shown.
class ByteMap {
public:
    static constexpr unsigned address_space = 0x10000;

    void set(unsigned offset, unsigned char byte);
    bool get(unsigned offset, unsigned char &byte) const;  // false: not shown
    std::size_t size() const { return shown_count_; }

private:
    // The dumps show a few runs of bytes, each in ascending order: kept as
    // runs, a map costs what it shows.
    struct Run {
        unsigned offset;
        std::string bytes;
    };
    Run *run_holding(unsigned offset);
    std::vector<Run> runs_;
    std::size_t shown_count_ = 0;
};

// Reads every dump row in `text` into `bytes` (later rows overwrite earlier
// ones). Text that is not part of a row is skipped; a row is read up to its
// first piece that is not what the dump prints. Returns the number of bytes
// read.
std::size_t parse_byte_rows(const std::string &text, ByteMap &bytes);

#endif
