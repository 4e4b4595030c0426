// promcfg-apply's layout: the emulated platform's file against the
// emulators' own places, what a layout file may not say, and fields read
// back from the dumps promcfg prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "VPD_Client.h"
#include "apply/byte_rows.h"
#include "apply/layout.h"
#include "blade_vpd_layout.h"
#include "bladevpd/mgmt_data.h"
#include "dumped.h"
#include "kestrel_prom.h"

namespace {

constexpr FieldForm record_order = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? FieldForm::be : FieldForm::le;


#define VPD(name, member, form) \
    {name, ItemProm::blade_vpd, offsetof(init_vpd_data, member), sizeof(init_vpd_data::member), form}
#define MGMT(name, member, width, form) \
    {name, ItemProm::blade_vpd, bladevpd::kMgmtStart + MgmtData::member, width, form}
#define KESTREL(name, member, form) \
    {name, ItemProm::kestrel, kestrelprom::kRecordOffset + offsetof(kestrel_vpd_data, member), \
     sizeof(kestrel_vpd_data::member), form}

TEST(Layout, EmulatedFileHoldsEveryFieldWhereTheEmulatorsKeepIt)
{
    constexpr FieldForm text = FieldForm::text, hex = FieldForm::hex, dotted = FieldForm::dotted;
    constexpr FieldForm le = FieldForm::le;
    const struct {
        const char *name;
        ItemProm device;
        std::size_t offset, width;
        FieldForm form;
    } places[] = {
        VPD("vpd-product-id", product_id, record_order), VPD("vpd-mac-first", mac1, hex),
        VPD("vpd-mac-second", mac2, hex), VPD("vpd-wwn", wwn, hex), VPD("vpd-chassis-sn", chassis_sn, text),
        VPD("vpd-date-code", date_code, text), VPD("vpd-clei", clei, text),
        VPD("vpd-hw-rev", hw_rev, record_order), VPD("vpd-pos-id", pos_id, record_order),
        VPD("vpd-part-number", part_number, text),
        VPD("vpd-fru-number", fru_number, text), VPD("vpd-manufacturer", manufacturer_id, text),
        VPD("vpd-product-name", product_name, text), VPD("vpd-part-number-copy", part_number2, text),
        MGMT("ip-set", ip_valid_offset, 1, le), MGMT("ip-address", ip_offset, 4, dotted),
        MGMT("ip-netmask", netmask_offset, 4, dotted), MGMT("ip-gateway", gateway_offset, 4, dotted),
        KESTREL("kestrel-mac", mac, hex), KESTREL("kestrel-chassis-sn", chassis_sn, text),
        KESTREL("kestrel-hw-rev", hw_rev, text), KESTREL("kestrel-product-name", product_name, text),
        KESTREL("kestrel-service-tag", service_tag, text),
    };
    Layout layout;
    ASSERT_EQ(load_layout(PROMCFG_LAYOUT_FILE, layout), "");
    EXPECT_EQ(layout.fields.size(), sizeof places / sizeof places[0]);
    for (const auto &p : places) {
        SCOPED_TRACE(p.name);
        const LayoutField *field = layout.find(p.name);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->device, p.device);
        EXPECT_EQ(field->offset, p.offset);
        EXPECT_EQ(field->width, p.width);
        EXPECT_EQ(static_cast<int>(field->form), static_cast<int>(p.form));
    }

    // The record as the blade's client lays it, asked range by range from
    // the VPD display and read back from its dumps, prompts and all.
    init_vpd_data record{};
    record.product_id = 59;
    record.pos_id = 0x0102;
    memcpy(record.mac1, "\x0a\x1b\x2c\x3d\x4e\x5f", 6);
    memcpy(record.date_code, "2401", 4);  // no terminator
    std::vector<unsigned char> blade(0x10000, 0xff);
    memcpy(blade.data(), &record, sizeof record);
    memcpy(&blade[bladevpd::kMgmtStart + MgmtData::ip_offset], "\x0a\x01\x02\x03", 4);
    std::string display;
    for (const ByteRange &range : blade_ranges(layout))
        display += "vpd-> " + dumped(&blade[range.offset], range.length, range.offset, 0xffff) + "\n";
    ByteMap bytes;
    parse_byte_rows(display, bytes);
    const char *values[][2] = {{"vpd-product-id", "59"},    {"vpd-pos-id", "258"},
                               {"vpd-mac-first", "0a1b2c3d4e5f"}, {"vpd-date-code", "2401"},
                               {"vpd-chassis-sn", ""},         {"ip-address", "10.1.2.3"}};
    for (const auto &v : values) {
        std::string value;
        EXPECT_TRUE(field_value(*layout.find(v[0]), bytes, value) && value == v[1]) << v[0] << " " << value;
    }
}

TEST(Layout, RefusesTheFirstBadLineAndKeepsTheLayout)
{
    const std::string longest = "#" + std::string(254, 'x') + "\n";
    const struct {
        std::string text;
        unsigned long line;  // 0: taken
    } cases[] = {
        {"# fields\n\nvpd-wwn blade 20 8 hex # the WWN\r\nkestrel-mac kestrel 0xF8 6 hex\n" + longest, 0},
        {"vpd-colour blade 0 4 text\n", 1},        {"vpd-wwn blade 20 8 hex\nvpd-wwn blade 20 8 hex\n", 2},
        {"kestrel-mac kestrel 0xfb 6 hex\n", 1},   {"vpd-wwn blade 0xfffc 8 hex\n", 1},
        {"kestrel-mac blade 0x08 6 hex\n", 1},     {"vpd-wwn blade 0x14 8 hexa\n", 1},
        {"vpd-pos-id blade 0x6e 5 le\n", 1},       {"ip-address blade 0x1007 3 dotted\n", 1},
        {"vpd-clei blade 0x4c 257 text\n", 1},     {"vpd-clei blade -1 10 text\n", 1},
        {"vpd-clei blade 0x4c 10\n", 1},
        {"\n" + longest + "#" + longest, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        Layout layout;
        layout.fields.push_back({"kept", ItemProm::kestrel, 0, 1, FieldForm::hex});
        std::string why = parse_layout(c.text, layout);
        if (c.line == 0) {
            EXPECT_EQ(why, "");
            EXPECT_EQ(layout.fields.size(), 2u);
        } else {
            EXPECT_EQ(why.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << why;
            EXPECT_NE(layout.find("kept"), nullptr);
        }
    }
}

TEST(Layout, FieldValueOfEachFormNeedsEveryByteShown)
{
    ByteMap bytes;
    const unsigned char shown[] = {0x01, 0x02, 0x03, 0xff, 'A', 'B', 0, 'C'};
    for (unsigned i = 0; i < sizeof shown; ++i)
        bytes.set(0x10 + i, shown[i]);
    const struct {
        unsigned offset, width;
        FieldForm form;
        const char *value;  // null: false
    } cases[] = {
        {0x14, 4, FieldForm::text, "AB"},         {0x14, 2, FieldForm::text, "AB"},
        {0x16, 4, FieldForm::text, nullptr},      {0x10, 4, FieldForm::hex, "010203ff"},
        {0x10, 4, FieldForm::dotted, "1.2.3.255"}, {0x10, 4, FieldForm::le, "4278387201"},
        {0x10, 4, FieldForm::be, "16909311"},     {0x11, 2, FieldForm::le, "770"},
        {0x0f, 2, FieldForm::be, nullptr},
    };
    for (const auto &c : cases) {
        std::string value = "none";
        LayoutField field{"f", ItemProm::blade_vpd, c.offset, c.width, c.form};
        EXPECT_EQ(field_value(field, bytes, value), c.value != nullptr);
        EXPECT_EQ(value, c.value ? c.value : "none") << c.offset << " " << c.width;
    }
}

TEST(Layout, BladeRangesMergeFieldsThatTouchOrOverlap)
{
    Layout layout;
    // Touching (0x08-0x1b), overlapping and inside (0x48-0x55), apart; no Kestrel field.
    ASSERT_EQ(parse_layout("vpd-wwn blade 0x14 8 hex\nvpd-mac-first blade 0x08 6 hex\n"
                           "vpd-mac-second blade 0x0e 6 hex\nvpd-clei blade 0x4c 10 text\n"
                           "vpd-date-code blade 0x48 8 text\nvpd-hw-rev blade 0x4d 1 le\n"
                           "vpd-product-name blade 0xc0 129 text\nkestrel-mac kestrel 0 6 hex\n",
                           layout),
              "");
    std::string ranges;
    for (const ByteRange &range : blade_ranges(layout))
        ranges += std::to_string(range.offset) + "+" + std::to_string(range.length) + " ";
    EXPECT_EQ(ranges, "8+20 72+14 192+129 ");
}

TEST(ByteRows, ReadsDumpsAtAnyStartAndStopsARowAtItsFirstDoubtfulPiece)
{
    // A blank, every printable boundary and a tab, from an unaligned start;
    // then a row clamped at the end of the address space.
    const unsigned char run[] = {0x20, 0x1f, 0x7e, 0x7f, '\t', '\n', 'a', 0x00, 0xff, ' ', ' ', 'z', 0x80};
    ByteMap bytes;
    std::string text = "vpd-> " + dumped(run, sizeof run, 0x0003, 0xffff) + "\nvpd-> " +
                       dumped(run, 7, 0xfff9, 0xffff) + "\n";
    EXPECT_EQ(parse_byte_rows(text, bytes), sizeof run + 7);
    EXPECT_EQ(bytes.size(), sizeof run + 7);
    for (unsigned i = 0; i < sizeof run; ++i) {
        unsigned char byte = 0;
        EXPECT_TRUE(bytes.get(3 + i, byte) && byte == run[i]) << i;
        EXPECT_TRUE(i >= 7 || (bytes.get(0xfff9 + i, byte) && byte == run[i])) << i;
    }

    // Rows read up to their first piece that is not as the dump prints it.
    const struct {
        const char *text;
        std::size_t read;
    } rows[] = {
        {"\n0000-0007:\t41 A\t42 B", 2}, {"\n0000-0007:\t41 B\t42 B", 0}, {"\n0000-0007:\t4A J", 0},
        {"\n0000-0008:\t00", 0},         {"\n0000-0007:\t41", 0},         {"\n0000-0007:\t20 ", 0},
        {"\n0000-0007:\t00 x", 0},       {"\n0000-0007:\t00\t01\t02\t03\t04\t05\t06\t07\t08", 7},
        {"0008-000f:\t03\n00000-0007:\t04", 1},
    };
    for (const auto &r : rows) {
        ByteMap map;
        EXPECT_EQ(parse_byte_rows(r.text, map), r.read) << r.text;
    }
    // A later row overwrites an earlier one.
    unsigned char byte = 0;
    EXPECT_EQ(parse_byte_rows("\n0000-0007:\t01\nvpd-> \n0000-0007:\t02\n", bytes), 2u);
    EXPECT_TRUE(bytes.get(0, byte) && byte == 2);
}

}  // namespace
