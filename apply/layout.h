// Where the platform library keeps each field that promcfg-apply reads back
// from a byte row dump: the library's own choice, so it is read from a
// layout file (docs/layout-file.md) rather than built in.
#ifndef PROMCFG_APPLY_LAYOUT_H
#define PROMCFG_APPLY_LAYOUT_H

#include <cstddef>
#include <string>
#include <vector>

#include "apply/byte_rows.h"
#include "driver/ground/identity_item.h"

// How a field's bytes read as an identity file's value: text up to its
// first 0 byte, hexadecimal digits, an "a.b.c.d" address, or an unsigned
// integer stored little- or big-endian.
enum class FieldForm { text, hex, dotted, le, be };

struct LayoutField {
    std::string name;
    ItemProm device;  // blade_vpd or kestrel
    unsigned offset;
    unsigned width;
    FieldForm form;
};

struct Layout {
    std::vector<LayoutField> fields;
    const LayoutField *find(const char *name) const;  // null when absent
};

// The largest layout file read.
constexpr std::size_t layout_file_max = 64 * 1024;

// Parses a layout file's text into `layout`, which is left as it was on a
// problem. Returns "" or the first problem as "line N: why".
std::string parse_layout(const std::string &text, Layout &layout);

// Reads (a regular file of at most layout_file_max bytes) and parses
// `path`; "" or "PATH: why" / "PATH:N: why".
std::string load_layout(const std::string &path, Layout &layout);

// The layout beside the program (DIR/promcfg-apply.layout), or else the one
// installed with it (DIR/../share/promcfg/promcfg-apply.layout), where DIR
// is the program's folder; "" when there is neither.
std::string default_layout_path();

// A field's value from its device's bytes, as an identity file gives it:
// text = bytes up to the first 0 byte within the width (all of them when
// none); hex = lowercase digits of all bytes; dotted = "a.b.c.d" in
// decimal; le/be = the unsigned integer of `width` bytes (1 to 4) in that
// byte order, in decimal. False when any byte of the field is not in
// `bytes`, or the field is not one a layout file can give.
bool field_value(const LayoutField &field, const ByteMap &bytes, std::string &value);

// The blade VPD ranges to ask promcfg's VPD display for: every blade field,
// merged where they touch or overlap, ascending.
struct ByteRange {
    unsigned offset, length;
};
std::vector<ByteRange> blade_ranges(const Layout &layout);

#endif
