// Reading the switch in one promcfg menu session: row 4's display of the
// system PROM, row 7's chassis type, row 15's Kestrel print and row 11's
// dumps of the blade VPD ranges that the layout names. The blade record,
// the management addresses and the Kestrel revision and product name show
// only as bytes, read through the layout.
#ifndef PROMCFG_APPLY_SESSION_READING_H
#define PROMCFG_APPLY_SESSION_READING_H

#include <string>
#include <vector>

#include "apply/dialogue.h"
#include "apply/display_parser.h"
#include "apply/layout.h"

// The menu rows that read.
constexpr const char *row_display = "4";
constexpr const char *row_chassis_type = "7";
constexpr const char *row_kestrel_print = "15";
constexpr const char *row_vpd_cli = "11";

// What to read on a product: the chassis type and the blade VPD on blade
// products, the Kestrel VPD on the Kestrel product or when asked for.
struct ReadRows {
    bool chassis_type = false;
    bool kestrel = false;
    std::vector<ByteRange> blade_ranges;  // none: row 11 is not run
};
ReadRows rows_to_read(long product_id, bool product_known, bool kestrel_asked, const Layout *layout);

// Appends the selections (and row 11's commands) that read those rows;
// row 11 ends its session at the end of input, so it comes last.
void append_reading(std::vector<Step> &steps, const ReadRows &rows, bool with_display);

// Fills `identity` from the session's output. False, with why, when the
// display of row 4 is missing.
bool read_session(const Dialogue &dialogue, const Layout *layout, Identity &identity, std::string &why);

// Whether an item can be read back at all: the dumps' items only through
// a layout that places them.
bool item_readable(int item, const Layout *layout);

// Which copies of system items in the blade record (or, with `kestrel`,
// the Kestrel record) read otherwise than the system PROM as read back:
// "" or "copy of vpd-mac-first reads "00...", not "0a..."".
std::string copies_differ(const Identity &identity, const Layout &layout, bool kestrel);

// The record fields an item is written to and read from, by layout name.
bool record_field_value(const Layout &layout, const Identity &identity, const char *field, std::string &value);

#endif
