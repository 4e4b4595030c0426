#include "apply/session_reading.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "apply/number_text.h"
#include "apply/value_check.h"
#include "bladevpd/blade_products.h"
#include "bladevpd/chassis_words.h"
#include "kestrel/identity_items.h"

namespace {

Step selection(const char *row)
{
    return {"", row, -1, Prompt::selection, Lead::any};
}

// The text after "\n" + `label` up to the end of its line; false when no
// line starts so.
bool line_after(const std::string &text, const char *label, std::string &rest)
{
    std::string start = std::string("\n") + label;
    std::size_t at = text.find(start);
    if (at == std::string::npos)
        return false;
    at += start.size();
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
        return false;
    rest = text.substr(at, end - at);
    return true;
}

// "Chassis type = %#x": "0", or "0x" and lowercase digits.
void read_chassis_type(const std::string &text, Identity &identity)
{
    identity.shown[item_chassis_type] = true;
    std::string shown, bytes;
    if (!line_after(text, chassis_type_display, shown))
        return;
    long code = -1;
    if (shown == "0") {
        code = 0;
    } else if (shown.size() > 2 && shown.size() <= 4 && shown.compare(0, 2, "0x") == 0 &&
               shown.find_first_not_of("0123456789abcdef", 2) == std::string::npos) {
        code = strtol(shown.c_str() + 2, nullptr, 16);
    }
    if (code < 0)
        return;
    // A code without a word reads back as its number, which no file can give.
    const char *word = chassis_word_of(code);
    identity.value[item_chassis_type] = word ? word : std::to_string(code);
    identity.defined[item_chassis_type] = true;
}

void read_kestrel(const std::string &text, Identity &identity)
{
    std::size_t dump = text.find("Serial PROM data:\n");
    if (dump == std::string::npos)
        return;
    parse_byte_rows(text.substr(dump), identity.kestrel_bytes);
    std::string tag;
    identity.shown[item_kestrel_service_tag] = true;
    if (!line_after(text, kestrel_service_tag_display, tag) || tag.compare(0, 10, "Undefined ") == 0)
        return;
    // Before its first set-up the Kestrel VPD gives no service tag.
    identity.kestrel_record = true;
    identity.value[item_kestrel_service_tag] = tag;
    identity.defined[item_kestrel_service_tag] = true;
}

// A field's value as the item's file value: a POS ID in hexadecimal.
bool item_value(int item, const std::string &field, std::string &value)
{
    if (item_info(item).row->kind != ItemKind::hex_number) {
        value = field;
        return true;
    }
    long long number = 0;
    if (!parse_decimal(field.c_str(), 0, 0xffffffffLL, number))
        return false;
    char hex[16];
    snprintf(hex, sizeof hex, "%llx", number);
    value = hex;
    return true;
}

// The items read through the layout: shown when the dumps hold their field,
// defined when their record is there.
void read_fields(const Layout &layout, Identity &identity)
{
    // The record's product ID tells a record from a blank VPD; a layout
    // without its place cannot tell, and takes the record as there.
    std::string product, ip_set;
    identity.blade_record = !layout.find("vpd-product-id") ||
                            (record_field_value(layout, identity, "vpd-product-id", product) &&
                             find_blade_product(static_cast<int32_t>(strtoul(product.c_str(), nullptr, 10))));
    bool addresses_set = !layout.find("ip-set") || (record_field_value(layout, identity, "ip-set", ip_set) && ip_set == "1");
    for (int item = 0; item < item_count; ++item) {
        const IdentityItem &row = *item_info(item).row;
        if (row.prom == ItemProm::system || item == item_chassis_type || item == item_kestrel_service_tag)
            continue;
        std::string field;
        if (!record_field_value(layout, identity, row.name, field))
            continue;
        identity.shown[item] = true;
        bool present = row.prom == ItemProm::kestrel            ? identity.kestrel_record
                       : row.dialogue == ItemDialogue::mgmt_address ? addresses_set
                                                                    : identity.blade_record;
        identity.defined[item] = present && item_value(item, field, identity.value[item]);
    }
}

}  // namespace

ReadRows rows_to_read(long product_id, bool product_known, bool kestrel_asked, const Layout *layout)
{
    ReadRows rows;
    bool blade = product_known && find_blade_product(static_cast<int32_t>(product_id));
    rows.chassis_type = blade;
    rows.kestrel = kestrel_asked || (product_known && product_id == kestrel_product_id);
    if (blade && layout)
        rows.blade_ranges = blade_ranges(*layout);
    return rows;
}

void append_reading(std::vector<Step> &steps, const ReadRows &rows, bool with_display)
{
    if (with_display)
        steps.push_back(selection(row_display));
    if (rows.chassis_type)
        steps.push_back(selection(row_chassis_type));
    if (rows.kestrel)
        steps.push_back(selection(row_kestrel_print));
    if (rows.blade_ranges.empty())
        return;
    steps.push_back(selection(row_vpd_cli));
    for (const ByteRange &range : rows.blade_ranges) {
        char command[32];
        snprintf(command, sizeof command, "%x %u", range.offset, range.length);
        steps.push_back({"", command, -1, Prompt::command, Lead::any});
    }
}

bool read_session(const Dialogue &dialogue, const Layout *layout, Identity &identity, std::string &why)
{
    Identity read;
    bool displayed = false;
    for (const Dialogue::Sent &sent : dialogue.sent) {
        const Step &step = dialogue.steps[sent.step];
        std::string text = dialogue.after_step(sent.step);
        if (step.prompt == Prompt::command) {
            parse_byte_rows(text, read.blade_bytes);
            continue;
        }
        if (step.prompt != Prompt::selection)
            continue;
        if (step.answer == row_display) {
            Identity display;
            displayed = parse_display(text, display);
            // The display's part, with what the other rows read so far.
            for (int item = 0; item < item_count; ++item)
                if (item_info(item).row->prom == ItemProm::system) {
                    read.shown[item] = display.shown[item];
                    read.defined[item] = display.defined[item];
                    read.value[item] = display.value[item];
                }
            read.asic_macs = display.asic_macs;
        } else if (step.answer == row_chassis_type) {
            read_chassis_type(text, read);
        } else if (step.answer == row_kestrel_print) {
            read_kestrel(text, read);
        }
    }
    if (layout)
        read_fields(*layout, read);
    identity = read;
    why = displayed ? "" : "printed no PROM display";
    return displayed;
}

std::string copies_differ(const Identity &identity, const Layout &layout, bool kestrel)
{
    long product = strtol(identity.value[item_product_id].c_str(), nullptr, 10);
    const BladeProduct *blade = find_blade_product(static_cast<int32_t>(product));
    bool two_macs = blade && blade->two_macs;
    // The CLEI comes through a buffer of 10: 9 characters at most.
    std::string clei = identity.value[item_clei].substr(0, 9);
    const struct {
        const char *field;
        int item;  // -1: the value below
        std::string value;
    } copies[] = {
        {"vpd-product-id", item_product_id, ""},
        {"vpd-mac-first", two_macs ? item_mac1 : item_mac0, ""},
        {"vpd-mac-second", two_macs ? item_mac0 : -1, "000000000000"},
        {"vpd-wwn", item_wwn, ""},
        {"vpd-chassis-sn", item_chassis_sn, ""},
        {"vpd-clei", -1, identity.defined[item_clei] ? clei : ""},
        {"kestrel-mac", item_mac0, ""},
        {"kestrel-chassis-sn", item_chassis_sn, ""},
    };
    std::string differ;
    for (const auto &copy : copies) {
        std::string read;
        if ((copy.field[0] == 'k') != kestrel || !record_field_value(layout, identity, copy.field, read))
            continue;
        const std::string &wanted = copy.item >= 0 ? identity.value[copy.item] : copy.value;
        if (read != wanted)
            differ += (differ.empty() ? "copy of " : "; of ") + std::string(copy.field) + " reads \"" +
                      printable(read) + "\", not \"" + printable(wanted) + "\"";
    }
    return differ;
}

bool item_readable(int item, const Layout *layout)
{
    const IdentityItem &row = *item_info(item).row;
    if (row.prom == ItemProm::system || row.display)
        return true;
    return layout && layout->find(row.name);
}

bool record_field_value(const Layout &layout, const Identity &identity, const char *field, std::string &value)
{
    const LayoutField *place = layout.find(field);
    if (!place)
        return false;
    return field_value(*place, place->device == ItemProm::kestrel ? identity.kestrel_bytes : identity.blade_bytes,
                       value);
}
