// The one dump format of the tool: rows of eight bytes, each row opened by
// "\n%4.4x-%4.4x:" with the addresses of its first and last byte, each byte
// as "\t%2.2x" followed by " %c" when it is printable. Rows count from the
// first byte of the run. The caller prints the trailer.
#ifndef PROMCFG_DRIVER_GROUND_BYTE_ROW_DUMP_H
#define PROMCFG_DRIVER_GROUND_BYTE_ROW_DUMP_H

#include <cstddef>
#include <cstdint>

// A header printed just before the byte at `index` of the run.
struct DumpSection {
    std::size_t index;
    const char *header;
};

// Dumps `count` bytes whose first byte lives at `address`. A row label's
// second address is clamped to `last_label`.
void byte_row_dump(const unsigned char *bytes, std::size_t count, uint32_t address,
                   const DumpSection *sections = nullptr, std::size_t section_count = 0,
                   uint32_t last_label = UINT32_MAX);

#endif
