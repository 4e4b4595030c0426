// The emulated platform in-process: the test-hook parsers and checksum, and
// the blade VPD and Kestrel libraries on a fresh emulated-hardware folder.
// The system PROM is tested from outside, in e2e/emulator_system_test.cpp.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VPD_Client.h"
#include "crc32.h"
#include "kestrelApi.h"
#include "sim_support.h"

namespace {

using promsim::Device;
using promsim::Image;
using Bytes = std::vector<unsigned char>;

TEST(EmulatorSupport, Crc32CheckValueAndTraceTextsStayOneQuotedLine)
{
    EXPECT_EQ(promsim::crc32("123456789", 9), 0xcbf43926u);
    EXPECT_EQ(promsim::trace_text("AB\0CD", 5), "\"AB\"");
    EXPECT_EQ(promsim::trace_text("a\nb\x7f"), "\"a\\x0ab\\x7f\"");
}

TEST(EmulatorSupport, FailRulesParseWithCountsAndErrnoDefaultingTo5)
{
    std::vector<promsim::FailRule> rules;
    ASSERT_TRUE(promsim::parse_fail_rules(
        "swServSetWWN_bus=-3/22, VPD_Client::read#4=-1,kestrel_open=7/0,f=-2147483648", rules,
        nullptr));
    struct Want {
        const char *name;
        unsigned long nth;
        int rc, error;
    } want[] = {{"swServSetWWN_bus", 0, -3, 22},
                {"VPD_Client::read", 4, -1, 5},
                {"kestrel_open", 0, 7, 0},
                {"f", 0, INT_MIN, 5}};
    ASSERT_EQ(rules.size(), 4u);
    for (std::size_t i = 0; i < rules.size(); ++i) {
        EXPECT_EQ(rules[i].name, want[i].name);
        EXPECT_EQ(rules[i].nth, want[i].nth) << want[i].name;
        EXPECT_EQ(rules[i].rc, want[i].rc) << want[i].name;
        EXPECT_EQ(rules[i].error, want[i].error) << want[i].name;
    }
    for (const char *bad : {"f", "f=", "=1", "f=x", "f=1/", "f=1/-5", "f#0=1", "f#=1", "f#x=1",
                            "f=1,", ",f=1", "f g=1", "f=1/5/6", "f=2147483648"}) {
        std::string culprit;
        EXPECT_FALSE(promsim::parse_fail_rules(std::string("ok=1,") + bad, rules, &culprit)) << bad;
        EXPECT_TRUE(rules.empty()) << bad;
        EXPECT_NE(culprit, "ok=1") << bad;
    }
}

TEST(EmulatorSupport, AsicMacOverrideTakesOnlyPlainDecimalCounts)
{
    struct Case {
        const char *text;
        bool ok;
        unsigned int count;
    } cases[] = {{"0", true, 0},          {"60", true, 60},    {"4294967295", true, 4294967295u},
                 {"4294967296", false, 0}, {"", false, 0},      {"-1", false, 0},
                 {"2x", false, 0},         {" 2", false, 0}};
    for (const Case &c : cases) {
        unsigned int count = 12345;
        EXPECT_EQ(promsim::parse_asic_mac_count(c.text, &count), c.ok) << c.text;
        EXPECT_EQ(count, c.ok ? c.count : 12345u) << c.text;
    }
}

class EmulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mkdtemp(dir_));
        setenv("PROMSIM_DIR", dir_, 1);
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + std::string(dir_)).c_str()), 0); }
    static Bytes bytes(Device device, std::size_t at, std::size_t n)
    {
        Image image;
        EXPECT_EQ(promsim::read_image(device, image), 0);
        return image.size() < at + n ? Bytes() : Bytes(image.begin() + at, image.begin() + at + n);
    }

    char dir_[32] = "/tmp/emulatorXXXXXX";
    VPD_Client vpd_;
};

TEST_F(EmulatorTest, BladeInitRecordLandsAtZeroFollowedByZerosAndItsCrc)
{
    init_vpd_data record;
    for (std::size_t i = 0; i < sizeof record; ++i)
        reinterpret_cast<unsigned char *>(&record)[i] = static_cast<unsigned char>(i * 7 + 3);
    ASSERT_EQ(vpd_.initialize_vpd(&record), 0);
    Bytes now = bytes(Device::blade, 0, 0x401);
    EXPECT_EQ(std::memcmp(now.data(), &record, sizeof record), 0);
    EXPECT_EQ(Bytes(now.begin() + sizeof record, now.begin() + 0x3fc), Bytes(48, 0));
    uint32_t crc = promsim::crc32(now.data(), 0x3fc);
    EXPECT_EQ(Bytes(now.begin() + 0x3fc, now.end()),
              (Bytes{uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc), 0xff}));
}

TEST_F(EmulatorTest, BladeChassisHistoryNewestWinsAndStartsAgainWhenFull)
{
    EXPECT_EQ(vpd_.chassis_type(), -ENOENT);
    for (int i = 0; i < 128; ++i)  // fills the 1024-byte block of 8-byte entries
        ASSERT_EQ(vpd_.set_chassis_type(static_cast<unsigned char>(i % 8)), 0);
    EXPECT_EQ(VPD_Client().chassis_type(), 7);
    ASSERT_EQ(vpd_.set_chassis_type(5), 0);
    Bytes block = bytes(Device::blade, 0xc00, 1024);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 2), (Bytes{'H', 5}));
    EXPECT_EQ(Bytes(block.begin() + 8, block.end()), Bytes(1016, 0xff)) << "only the new entry";
    EXPECT_EQ(vpd_.chassis_type(), 5);
    ASSERT_EQ(vpd_.set_chassis_type(2), 0);
    EXPECT_EQ(VPD_Client().chassis_type(), 2);
}

TEST_F(EmulatorTest, BladeMgmtBlockRoundTripsAndClearsWithinItsBounds)
{
    Bytes block(1024), back(1024);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i ^ 0x5a);
    ASSERT_EQ(vpd_.write_mgmt_data(0, 1024, block.data()), 0);
    ASSERT_EQ(vpd_.read_mgmt_data(0, 1024, back.data()), 0);
    EXPECT_EQ(back, block);
    ASSERT_EQ(vpd_.init_mgmt_data(), 0);
    Bytes cleared(1026, 0);
    cleared.front() = cleared.back() = 0xff;
    EXPECT_EQ(bytes(Device::blade, 0xfff, 1026), cleared);
}

TEST_F(EmulatorTest, BladeReadsOutsideTheirAreaFailWithEinval)
{
    struct Case {
        int offset, length;
        bool ok;
    };
    Bytes buf(0x10000);
    for (Case c : {Case{0, 1024, true}, {1024, 0, true}, {1, 1024, false}, {-1, 1, false},
                   {0, -1, false}, {INT_MAX, 1, false}}) {
        EXPECT_EQ(vpd_.read_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
        EXPECT_EQ(vpd_.write_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
    }
    for (Case c : {Case{0, 0x10000, true}, {0xffff, 1, true}, {0xffff, 2, false},
                   {0x8000, 0x8001, false}, {0, -1, false}})
        EXPECT_EQ(vpd_.read(static_cast<unsigned short>(c.offset), c.length, buf.data()),
                  c.ok ? 0 : -EINVAL) << c.offset << "+" << c.length;
}

TEST_F(EmulatorTest, BladeSizeDependsOnProductAndTheProbeOverwritesEverything)
{
    Image probed(0x10000);
    for (std::size_t a = 0; a < probed.size(); a += 2)  // each even address holds itself
        probed[a] = uint8_t(a >> 8), probed[a + 1] = uint8_t(a);
    for (auto [product, size] : {std::pair{34u, 8192}, {35u, 8192}, {43u, 32768},
                                 {47u, 32768}, {53u, 32768}, {59u, 65536}, {38u, -EINVAL}}) {
        ASSERT_EQ(vpd_.clear_sprom(59), 0);
        EXPECT_EQ(vpd_.sprom_size(product), size) << product;
        EXPECT_EQ(bytes(Device::blade, 0, 0x10000), size < 0 ? Image(0x10000, 0) : probed)
            << product;
    }
    EXPECT_EQ(vpd_.clear_sprom(0), -EINVAL) << "no blade VPD on product 0";
}

TEST_F(EmulatorTest, AbsentDevicesFailWithEnodevAndStayUntouched)
{
    ASSERT_EQ(promsim::set_device_present(Device::blade, false), 0);
    ASSERT_EQ(promsim::set_device_present(Device::kestrel, false), 0);
    init_vpd_data record{};
    Bytes buf(16);
    for (int rc : {vpd_.initialize_vpd(&record), vpd_.read(0, 16, buf.data()),
                   vpd_.set_chassis_type(1), vpd_.init_mgmt_data(), vpd_.clear_sprom(59),
                   kestrel_open()})
        EXPECT_EQ(rc, -ENODEV);
    EXPECT_EQ(bytes(Device::blade, 0, 0x10000), Image(0x10000, 0xff));
}

TEST_F(EmulatorTest, KestrelTextsNeedTheRecordAndNeverOverrunTheirBuffer)
{
    int handle = kestrel_open();
    ASSERT_GT(handle, 0);
    char buf[KESTREL_TEXT_MAX + 32];
    EXPECT_EQ(kestrel_get_service_tag(handle, buf), -ENODATA);
    EXPECT_EQ(kestrel_get_eppid(handle, buf), -ENODATA);
    kestrel_vpd_data record{};
    std::memcpy(record.mac, "\x00\x05\x1e\xa1\xb2\xc3", 6);
    std::strcpy(record.hw_rev, "A00");
    std::strcpy(record.service_tag, "ABC1234");
    ASSERT_EQ(kestrel_initialize_vpd(handle, &record), 0);
    ASSERT_EQ(kestrel_get_service_tag(handle, buf), 0);
    EXPECT_STREQ(buf, "ABC1234");
    ASSERT_EQ(kestrel_get_eppid(handle, buf), 0);
    EXPECT_STREQ(buf, "CN-A1B2C3-A00-ABC1234");

    std::memset(&record, 'X', sizeof record);  // no terminator anywhere
    ASSERT_EQ(kestrel_initialize_vpd(handle, &record), 0);
    for (auto call : {kestrel_get_service_tag, kestrel_get_eppid}) {
        std::memset(buf, 0x7f, sizeof buf);
        ASSERT_EQ(call(handle, buf), 0);
        EXPECT_LT(strnlen(buf, sizeof buf), std::size_t(KESTREL_TEXT_MAX));
        EXPECT_EQ(std::string(buf + KESTREL_TEXT_MAX, 32), std::string(32, '\x7f'));
    }
}

}  // namespace
