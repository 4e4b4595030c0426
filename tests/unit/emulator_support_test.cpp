// Pure pieces of the emulated platform: CRC-32, the test-hook parsers, the
// trace formatting and the system PROM store format.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crc32.h"
#include "sim_support.h"
#include "tlv_store.h"

namespace {

using promsim::Bytes;
using promsim::Records;
using promsim::StoreState;

TEST(Crc32, MatchesTheStandardCheckValues)
{
    struct Case {
        const char *text;
        uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"a", 0xe8b7be43u},
        {"123456789", 0xcbf43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414fa339u},
    };
    for (const Case &c : cases)
        EXPECT_EQ(promsim::crc32(c.text, std::strlen(c.text)), c.crc) << c.text;
}

TEST(FailRules, AcceptsEveryDocumentedForm)
{
    std::vector<promsim::FailRule> rules;
    ASSERT_TRUE(promsim::parse_fail_rules(
        "swServSetWWN_bus=-3/5, VPD_Client::read#4=-1,kestrel_open=7/0,f=+2", rules, nullptr));
    ASSERT_EQ(rules.size(), 4u);
    struct Want {
        const char *name;
        unsigned long nth;
        int rc, error;
    } want[] = {{"swServSetWWN_bus", 0, -3, 5},
                {"VPD_Client::read", 4, -1, 5},  // errno 5 when absent
                {"kestrel_open", 0, 7, 0},
                {"f", 0, 2, 5}};
    for (std::size_t i = 0; i < rules.size(); ++i) {
        EXPECT_EQ(rules[i].name, want[i].name);
        EXPECT_EQ(rules[i].nth, want[i].nth) << want[i].name;
        EXPECT_EQ(rules[i].rc, want[i].rc) << want[i].name;
        EXPECT_EQ(rules[i].error, want[i].error) << want[i].name;
    }
    EXPECT_TRUE(promsim::parse_fail_rules("", rules, nullptr));
    EXPECT_TRUE(rules.empty());
    ASSERT_TRUE(promsim::parse_fail_rules("f=-2147483648", rules, nullptr));
    EXPECT_EQ(rules[0].rc, -2147483647 - 1);
}

TEST(FailRules, RefusesMalformedRulesAndNamesTheCulprit)
{
    const char *bad[] = {"f",      "f=",      "=1",      "f=x",        "f=1/",      "f=1/-5",
                         "f#0=1",  "f#=1",    "f#x=1",   "f=1,",       ",f=1",      "f g=1",
                         "f=1 2",  "f=1/5/6", "f==1",    "f=2147483648", "f=99999999999999999999"};
    for (const char *text : bad) {
        std::vector<promsim::FailRule> rules;
        std::string culprit;
        EXPECT_FALSE(promsim::parse_fail_rules(std::string("ok=1,") + text, rules, &culprit))
            << text;
        EXPECT_TRUE(rules.empty()) << text;
        EXPECT_NE(culprit, "ok=1") << text;
    }
}

TEST(AsicMacOverride, TakesOnlyPlainDecimalCounts)
{
    struct Case {
        const char *text;
        bool ok;
        unsigned int count;
    } cases[] = {{"0", true, 0},   {"48", true, 48},   {"60", true, 60},
                 {"4294967295", true, 4294967295u},   {"4294967296", false, 0},
                 {"", false, 0},   {"-1", false, 0},   {"2x", false, 0}, {" 2", false, 0}};
    for (const Case &c : cases) {
        unsigned int count = 12345;
        EXPECT_EQ(promsim::parse_asic_mac_count(c.text, &count), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(count, c.count) << c.text;
        }
    }
}

TEST(TraceFormat, QuotesTextsAndWritesBytesAsLowercaseHex)
{
    const unsigned char mac[] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f};
    EXPECT_EQ(promsim::trace_hex(mac, 6), "0a1b2c3d4e5f");
    EXPECT_EQ(promsim::trace_text("ABC"), "\"ABC\"");
    EXPECT_EQ(promsim::trace_text("ABCDEF", 3), "\"ABC\"");
    EXPECT_EQ(promsim::trace_text("AB\0CD", 5), "\"AB\"");
    EXPECT_EQ(promsim::trace_text("a\nb\x7f"), "\"a\\x0ab\\x7f\"");  // stays one line
    EXPECT_EQ(promsim::trace_args({"&", "1", "24"}), "&, 1, 24");
    EXPECT_EQ(promsim::trace_args({}), "");
}

// The layout is fixed byte for byte (big-endian on every host), so an image
// written on a PC reads the same under the PowerPC build.
TEST(TlvStore, LaysOutHeaderRecordsAndChecksumBigEndian)
{
    Records records = {{0x0110, {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}}, {0x8010, {0, 0, 0, 20}}};
    std::vector<unsigned char> image(promsim::kSystemPromSize, 0xff);
    ASSERT_TRUE(promsim::build_store(records, image));
    const unsigned char head[] = {'T', 'L', 'V', 'S', 0x00, 0x01, 0x00, 0x12};
    EXPECT_EQ(0, std::memcmp(image.data(), head, sizeof head));
    const unsigned char body[] = {0x01, 0x10, 0x00, 0x06, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e,
                                  0x5f, 0x80, 0x10, 0x00, 0x04, 0x00, 0x00, 0x00, 20};
    EXPECT_EQ(0, std::memcmp(image.data() + 12, body, sizeof body));
    EXPECT_EQ(image[12 + sizeof body], 0xff);

    std::vector<unsigned char> zeroed = image;
    std::memset(&zeroed[8], 0, 4);
    uint32_t crc = promsim::crc32(zeroed.data(), zeroed.size());
    EXPECT_EQ(image[8], crc >> 24);
    EXPECT_EQ(image[11], crc & 0xff);

    Records back;
    EXPECT_EQ(promsim::parse_store(image, back), StoreState::valid);
    EXPECT_EQ(back, records);
}

TEST(TlvStore, TellsErasedEmptyAndDamagedApart)
{
    std::vector<unsigned char> image(promsim::kSystemPromSize, 0xff);
    Records records = {{1, {}}};
    EXPECT_EQ(promsim::parse_store(image, records), StoreState::erased);
    EXPECT_TRUE(records.empty());

    ASSERT_TRUE(promsim::build_store({}, image));
    EXPECT_EQ(promsim::parse_store(image, records), StoreState::valid);
    EXPECT_TRUE(records.empty());

    ASSERT_TRUE(promsim::build_store({{0x140, {'A', 'B'}}}, image));
    // Any byte changed anywhere, header, record or the erased tail, is caught.
    for (std::size_t at : {0u, 5u, 8u, 11u, 12u, 17u, 18u, 100u, 8191u}) {
        std::vector<unsigned char> hurt = image;
        hurt[at] ^= 0x01;
        std::string why;
        EXPECT_EQ(promsim::parse_store(hurt, records, &why), StoreState::damaged) << at;
        EXPECT_FALSE(why.empty()) << at;
    }
    std::vector<unsigned char> almost_erased(promsim::kSystemPromSize, 0xff);
    almost_erased[4000] = 0xfe;
    EXPECT_EQ(promsim::parse_store(almost_erased, records), StoreState::damaged);
}

TEST(TlvStore, RefusesRecordsThatDoNotFitAndKeepsTheImage)
{
    Records records;
    std::size_t room = promsim::kSystemPromSize - promsim::kStoreHeaderSize;
    records[0x140] = Bytes(room - promsim::kRecordHeaderSize, 'x');  // exactly full
    std::vector<unsigned char> image(promsim::kSystemPromSize, 0xff);
    ASSERT_TRUE(promsim::build_store(records, image));
    EXPECT_EQ(promsim::store_size(records), promsim::kSystemPromSize);

    records[0x141] = Bytes();
    std::vector<unsigned char> before = image;
    EXPECT_FALSE(promsim::build_store(records, image));
    EXPECT_EQ(image, before);
}

}  // namespace
