// promcfg-apply's value rules: what each kind of item takes from a file, and
// the answer promcfg is then given; item names as files and promsim write them.
#include <gtest/gtest.h>

#include <string>

#include "apply/items.h"
#include "apply/number_text.h"
#include "apply/value_check.h"

namespace {

TEST(ApplyValueRules, EachKindTakesItsValuesAndGivesPromcfgItsAnswer)
{
    const std::string name62(62, 'n'), name63(63, 'n');
    const struct {
        const char *item, *value;
        const char *answer;  // null: refused
    } cases[] = {
        {"mac0", "0A:1B:2c:3d:4E:5f", "0a1b2c3d4e5f"},
        {"mac1", "0a1b2c3d4e5f", "0a1b2c3d4e5f"},
        {"mac0", "0a1b2c3d4e5", nullptr},      // a digit short
        {"mac0", "0a1b2c3d4e5f0", nullptr},    // a digit long
        {"mac0", "0a:1b2c3d4e5f:", nullptr},   // ':' at the end
        {"mac0", "0a::1b2c3d4e5f", nullptr},   // two in a row
        {"mac0", "0:a1b2c3d4e5f", nullptr},    // inside a byte
        {"mac0", "-a1b2c3d4e5f0", nullptr},    // a sign
        {"mac0", "0x1b2c3d4e5f0a", nullptr},
        {"wwn", "10:00:00:05:33:aa:bb:cc", "1000000533aabbcc"},
        {"asic-mac47", "AABBCCDDEEFF", "aabbccddeeff"},
        {"product-id", "59", "59"},
        {"product-id", "059", "59"},
        {"product-id", "34", nullptr},  // no row in the product table
        {"product-id", "+59", nullptr},
        {"product-id", "59 ", nullptr},
        {"product-id", "99999999999999999999", nullptr},
        {"subassy-count", "8", "8"},
        {"subassy-count", "0", nullptr},
        {"subassy-count", "9", nullptr},
        {"clei", "0123456789", "0123456789"},
        {"clei", "01234567890", nullptr},  // 11 characters
        {"board-sn", "12345678901234567890123", "12345678901234567890123"},
        {"board-sn", "123456789012345678901234", nullptr},
        {"board-sn", "Undefined", nullptr},  // what the display shows for a missing item
        {"board-sn", "undefined", "undefined"},
        {"board-sn", "tab\there", nullptr},
        {"board-sn", " lead", nullptr},
        {"chassis-sn", "CH 1", "CH 1"},
        // The blade and Kestrel VPD's items.
        {"vpd-hw-rev", "0", "0"},
        {"vpd-hw-rev", "255", "255"},
        {"vpd-hw-rev", "256", nullptr},
        {"vpd-hw-rev", "-1", nullptr},
        {"vpd-pos-id", "0x1A2b", "1a2b"},
        {"vpd-pos-id", "FFFF", "ffff"},
        {"vpd-pos-id", "0", "0"},
        {"vpd-pos-id", "10000", nullptr},
        {"vpd-pos-id", "zz", nullptr},
        {"vpd-pos-id", "0x", nullptr},
        {"vpd-pos-id", "-1", nullptr},
        {"vpd-date-code", "2426", "2426"},
        {"vpd-date-code", "24261", nullptr},
        {"vpd-product-name", name62.c_str(), name62.c_str()},
        {"vpd-product-name", name63.c_str(), nullptr},
        {"vpd-product-name", "Undefined", "Undefined"},  // no display shows it
        {"chassis-type", "BCE-R", "bce-r"},
        {"chassis-type", "Telco", "telco"},
        {"chassis-type", "7", "bc10"},
        {"chassis-type", "0", "bc1"},
        {"chassis-type", "5", nullptr},  // no word
        {"chassis-type", "8", nullptr},
        {"chassis-type", "bc3", nullptr},
        {"ip-address", "10.0.0.1", "10.0.0.1"},
        {"ip-netmask", "255.255.255.000", "255.255.255.0"},
        {"ip-gateway", "10.0.0.256", nullptr},
        {"ip-gateway", "10.0.0", nullptr},
        {"ip-gateway", "10.0.0.1.2", nullptr},
        {"ip-gateway", "10..0.1", nullptr},
        {"ip-gateway", "10.0.0.+1", nullptr},
        {"ip-gateway", "10.0.0.1 ", nullptr},
        {"kestrel-hw-rev", "A00", "A00"},
        {"kestrel-hw-rev", "A000", nullptr},
        {"kestrel-service-tag", "ABCDEFGH", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + " = " + c.value);
        int item = find_item(c.item);
        ASSERT_GE(item, 0);
        std::string answer = "kept";
        std::string reason = check_value(item, c.value, answer);
        EXPECT_EQ(reason.empty(), c.answer != nullptr) << reason;
        EXPECT_EQ(answer, c.answer ? c.answer : "kept");
    }
}

TEST(ApplyValueRules, AnAlignedTextIsComparedAsThePromHoldsIt)
{
    const int rev = find_item("kestrel-hw-rev"), tag = find_item("kestrel-service-tag");
    EXPECT_EQ(stored_form(rev, "A0"), " A0");
    EXPECT_EQ(stored_form(rev, "A00"), "A00");
    EXPECT_EQ(file_form(rev, "  1"), "1");
    EXPECT_EQ(stored_form(tag, "T1"), "T1");
    EXPECT_EQ(file_form(tag, " T1"), " T1");
}

TEST(ApplyValueRules, ItemNamesReadBackAsTheyAreWrittenAndNoOthersAreTaken)
{
    for (int item = 0; item < item_count; ++item)
        EXPECT_EQ(find_item(item_name(item)), item) << item_name(item);
    for (const char *name : {"subassy8", "subassy01", "subassy-1", "asic-mac48", "asic-mac", "mac2", "MAC0", ""})
        EXPECT_EQ(find_item(name), -1) << name;
}

TEST(ApplyValueRules, NumbersAndBytesAreReadWhole)
{
    long long value = 7;
    EXPECT_TRUE(parse_decimal("-5", -5, 5, value));
    EXPECT_EQ(value, -5);
    for (const char *text : {"", "-", "6", "-6", "1x", " 1", "+1"})
        EXPECT_FALSE(parse_decimal(text, -5, 5, value)) << text;
    EXPECT_EQ(value, -5);

    std::string bytes;
    EXPECT_TRUE(hex_to_bytes("00fFa5", bytes));
    EXPECT_EQ(bytes, std::string("\x00\xff\xa5", 3));
    for (const char *digits : {"0", "0g", "-1", "+1", " 1"})
        EXPECT_FALSE(hex_to_bytes(digits, bytes)) << digits;
}

}  // namespace
