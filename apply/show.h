// --show: the identity that the switch holds, as an identity file that
// promcfg-apply takes back, or as JSON for inventory tools.
#ifndef PROMCFG_APPLY_SHOW_H
#define PROMCFG_APPLY_SHOW_H

#include "apply/display_parser.h"
#include "apply/layout.h"

// As a file: one "item = value" line per item that reads back, in
// promcfg's order. An item that a file could not give back (a text with
// non-printable bytes, a product without a row in the product table, ...)
// is a comment that says why, and so are the undefined items and a text as
// long as the display shows, which may be longer in the PROM.
// An empty field of a record is left out, which keeps it. `layout` (or
// null) is how the records were read.
void print_show_file(const Identity &identity, const Layout *layout);

// As JSON: one key per item that reads back (numbers for the product ID and
// the subassembly count, strings for the rest); "undefined": the items
// whose line reads as undefined; "not_read": the items of a PROM read that
// no layout places; "may_be_longer": the texts as long as the
// display shows; "not_in_file": the items --show gives as comments, which a
// file cannot give back as they read; "no_item": true when no item reads (blank, erased or
// damaged); "status": the exit status.
void print_show_json(const Identity &identity, const Layout *layout, int status);

#endif
