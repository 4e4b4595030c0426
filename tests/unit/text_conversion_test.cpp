// The conversions that turn operator text into values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/ground/strtol32.h"
#include "driver/option_actions.h"
#include "prom/hex_text.h"

namespace {

TEST(HexTextToBytes, ConvertsEachPairOnItsOwn)
{
    struct Case {
        const char *text;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"0a1B2c3D4e5F", {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}},
        {"00112233zz44", {0x00, 0x11, 0x22, 0x33, 0x00, 0x44}},  // non-digits give 0
        {"-1 f0x9z", {0xff, 0x0f, 0x00, 0x09}},  // sign, blank, "0x" alone, digit then stop
        {"ffffffffffffffff", {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}},
    };
    for (const Case &c : cases) {
        std::vector<unsigned char> out(c.bytes.size(), 0xee);
        hex_text_to_bytes(c.text, out.data(), out.size());
        EXPECT_EQ(out, c.bytes) << c.text;
    }
}

TEST(Strtol32, SaturatesLikeThe32BitLibrary)
{
    struct Case {
        const char *text;
        int base;
        int32_t value;
    };
    const Case cases[] = {
        {" 4", 10, 4},           {"4abc", 10, 4},         {"+15", 10, 15},
        {"x", 10, 0},            {"-1", 10, -1},          {"99999999999", 10, INT32_MAX},
        {"-99999999999", 10, INT32_MIN}, {"0x110", 16, 0x110}, {"123456789", 16, INT32_MAX},
    };
    for (const Case &c : cases)
        EXPECT_EQ(strtol32(c.text, c.base), c.value) << c.text;
}

TEST(ChassisWords, MatchWithoutCaseAndRefuseOthers)
{
    struct Case {
        const char *word;
        bool known;
        uint32_t value;
    };
    const Case cases[] = {
        {"telco", true, 1}, {"BC1", true, 0}, {"BCE-R", true, 6}, {"bc2", true, 3},
        {"Bc10", true, 7},  {"ht", true, 2},  {"bcs", true, 4},   {"foo", false, 0},
        {"bc", false, 0},   {"", false, 0},   {"telco ", false, 0},
    };
    for (const Case &c : cases) {
        uint32_t value = 99;
        EXPECT_EQ(chassis_word_value(c.word, &value), c.known) << c.word;
        if (c.known) {
            EXPECT_EQ(value, c.value) << c.word;
        }
    }
}

TEST(DeletableTlvs, AcceptOnlyTheListedRanges)
{
    const uint16_t accepted[] = {0x110, 0x113, 0x120, 0x121, 0x130, 0x137, 0x140,
                                 0x141, 0x160, 0x161, 0x500, 0x50f, 0x52f, 0x8010, 0x8011};
    const uint16_t refused[] = {0x0,   0x10f, 0x114, 0x122, 0x12f, 0x138, 0x142,
                                0x15f, 0x162, 0x4ff, 0x510, 0x52e, 0x530, 0x800f, 0x8012, 0xffff};
    for (uint16_t id : accepted)
        EXPECT_TRUE(tlv_deletable(id)) << std::hex << id;
    for (uint16_t id : refused)
        EXPECT_FALSE(tlv_deletable(id)) << std::hex << id;
}

}  // namespace
