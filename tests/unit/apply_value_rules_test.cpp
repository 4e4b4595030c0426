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
