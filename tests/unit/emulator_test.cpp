// The emulated platform in-process: the test-hook parsers and checksum, and
// the blade VPD and Kestrel libraries on a fresh emulated-hardware folder.
// The system PROM is tested from outside, in e2e/emulator_system_test.cpp.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "VPD_Client.h"
#include "call_trace.h"
#include "checked_number.h"
#include "crc32.h"
#include "device.h"
#include "device_image.h"
#include "device_presence.h"
#include "fail_rules.h"
#include "kestrelApi.h"
#include "platform_functions.h"
#include "sim_dir.h"

namespace {

using promsim::Device;
using promsim::Image;
using Bytes = std::vector<unsigned char>;

// The text buffer callers give the Kestrel text calls.
constexpr std::size_t kKestrelText = 64;

// CRC-32 by its definition, a bit at a time.
uint32_t bitwise_crc32(const unsigned char *p, std::size_t length)
{
    uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < length; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (0xedb88320u ^ (c >> 1)) : (c >> 1);
    }
    return c ^ 0xffffffffu;
}

TEST(EmulatorSupport, Crc32CheckValueAndTraceTextsStayOneQuotedLine)
{
    EXPECT_EQ(promsim::crc32("123456789", 9), 0xcbf43926u);
    // Every alignment and every remainder of the eight-byte steps.
    std::vector<unsigned char> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 131 + (i >> 3));
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t length = 0; start + length <= bytes.size(); length += 7)
            ASSERT_EQ(promsim::crc32(bytes.data() + start, length),
                      bitwise_crc32(bytes.data() + start, length))
                << start << " " << length;
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
                            "f=1,", ",f=1", "f g=1", "f=1/5/6", "f=2147483648",
                            "f#18446744073709551626=1", "f#4294967296=1", "f#-1=1", "f=1/2147483648",
                            "f=+", "f=-", "f=--1", "f= 1", "f=0x1", "f=-2147483649"}) {
        std::string culprit;
        EXPECT_FALSE(promsim::parse_fail_rules(std::string("ok=1,") + bad, rules, &culprit)) << bad;
        EXPECT_TRUE(rules.empty()) << bad;
        EXPECT_NE(culprit, "ok=1") << bad;
    }
}

// PROMSIM_FAIL takes exactly the functions that the three libraries
// export (C++ members by the name their allowlist comment gives), and the
// VPD library's exit handler, which is traced too.
TEST(EmulatorSupport, FailRuleNamesAreExactlyTheExportedPlatformFunctions)
{
    std::set<std::string> exported = {"VPD_Client::release_bus"};
    for (const char *list : {"libswServerApi.txt", "libfcsmapi.txt", "libkestrelApi.txt"}) {
        std::ifstream in(std::string(PROMCFG_SOURCE_DIR) + "/tests/exports/" + list);
        ASSERT_TRUE(in) << list;
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#')
                continue;
            std::size_t comment = line.find("# ");
            exported.insert(comment == std::string::npos
                                ? line.substr(0, line.find(' '))
                                : line.substr(comment + 2, line.find('(') - comment - 2));
        }
    }
    std::set<std::string> listed(std::begin(promsim::kPlatformFunctions),
                                 std::end(promsim::kPlatformFunctions));
    EXPECT_EQ(listed, exported);
    EXPECT_EQ(listed.size(), std::size(promsim::kPlatformFunctions)) << "a name listed twice";
    EXPECT_FALSE(promsim::is_platform_function("swServFlsh"));
    EXPECT_FALSE(promsim::is_platform_function("VPD_Client::reed"));
}

TEST(EmulatorSupport, AsicMacOverrideTakesOnlyPlainDecimalCounts)
{
    struct Case {
        const char *text;
        bool ok;
        unsigned int count;
    } cases[] = {{"0", true, 0},          {"60", true, 60},    {"4294967295", true, 4294967295u},
                 {"4294967296", false, 0}, {"", false, 0},      {"-1", false, 0},
                 {"2x", false, 0},         {" 2", false, 0},    {"18446744073709551617", false, 0},
                 {"007", true, 7},         {"+1", false, 0},    {"0x1", false, 0}};
    for (const Case &c : cases) {
        unsigned int count = 12345;
        EXPECT_EQ(promsim::parse_asic_mac_count(c.text, &count), c.ok) << c.text;
        EXPECT_EQ(count, c.ok ? c.count : 12345u) << c.text;
    }
}

// The one number reader behind promsim's arguments and the test hooks.
TEST(EmulatorSupport, NumbersAreWholeTextsWithinTheCallersRange)
{
    using promsim::NumberForm;
    const NumberForm dec = NumberForm::decimal, sig = NumberForm::signed_decimal,
                     hex = NumberForm::decimal_or_hex;
    struct Case {
        const char *text;
        NumberForm form;
        long long min, max;
        bool ok;
        long long value;
    } cases[] = {
        {"0", dec, 0, 10, true, 0},
        {"10", dec, 0, 10, true, 10},
        {"11", dec, 0, 10, false, 0},
        {"0010", dec, 0, 10, true, 10},
        {"", dec, 0, 10, false, 0},
        {" 1", dec, 0, 10, false, 0},
        {"1 ", dec, 0, 10, false, 0},
        {"-1", dec, -5, 10, false, 0},
        {"+1", dec, 0, 10, false, 0},
        {"0x10", dec, 0, 100, false, 0},
        {"0x10", hex, 0, 100, true, 16},
        {"0XfF", hex, 0, 255, true, 255},
        {"0x100", hex, 0, 255, false, 0},
        {"0x", hex, 0, 255, false, 0},
        {"0x-1", hex, 0, 255, false, 0},
        {"-1", hex, -5, 255, false, 0},
        {"ff", hex, 0, 255, false, 0},
        {"-2147483648", sig, INT32_MIN, UINT32_MAX, true, INT32_MIN},
        {"-2147483649", sig, INT32_MIN, UINT32_MAX, false, 0},
        {"4294967295", sig, INT32_MIN, UINT32_MAX, true, UINT32_MAX},
        {"+4294967296", sig, INT32_MIN, UINT32_MAX, false, 0},
        {"-0", sig, 0, 5, true, 0},
        {"-1", sig, 0, 5, false, 0},
        {"-", sig, -5, 5, false, 0},
        {"+-1", sig, -5, 5, false, 0},
        {"-9223372036854775808", sig, LLONG_MIN, LLONG_MAX, true, LLONG_MIN},
        {"9223372036854775807", sig, LLONG_MIN, LLONG_MAX, true, LLONG_MAX},
        {"9223372036854775808", sig, LLONG_MIN, LLONG_MAX, false, 0},
        {"-9223372036854775809", sig, LLONG_MIN, LLONG_MAX, false, 0},
        {"18446744073709551626", dec, 1, UINT32_MAX, false, 0},  // wraps to 10 if multiplied first
        {"18446744073709551616", dec, 0, LLONG_MAX, false, 0},
        {"0xffffffff", hex, 0, 8191, false, 0},
        {"0x10000000000000000", hex, 0, LLONG_MAX, false, 0},
        {"99999999999999999999999999", dec, 0, 10, false, 0},
        {"5", dec, 6, 5, false, 0},
        {"18446744073709551619", dec, 0, 3, false, 0},  // wraps to 3 if digits pass a small limit
        {"-18446744073709551617", sig, -1, 0, false, 0},
    };
    for (const Case &c : cases) {
        long long value = 4242;
        EXPECT_EQ(promsim::parse_number(c.text, c.form, c.min, c.max, &value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 4242) << c.text;
    }
    EXPECT_FALSE(promsim::parse_number(std::string("1\0", 2), dec, 0, 10, nullptr));
}

// Offsets and lengths near the top of a 32-bit size_t never wrap into range.
TEST(EmulatorSupport, RangesAreCheckedWithoutAddingOffsetAndLength)
{
    const std::size_t most = SIZE_MAX;
    EXPECT_TRUE(promsim::range_within(8191, 1, 8192));
    EXPECT_TRUE(promsim::range_within(8192, 0, 8192));
    EXPECT_FALSE(promsim::range_within(8192, 1, 8192));
    EXPECT_FALSE(promsim::range_within(most, 1, 8192));
    EXPECT_FALSE(promsim::range_within(1, most, 8192));
    EXPECT_FALSE(promsim::range_within(8193, 0, 8192));
    struct Case {
        long long offset, length;
        bool ok;
    } cases[] = {{0, 1024, true},  {1024, 0, true},        {1023, 2, false},
                 {-1, 1, false},   {0, -1, false},         {INT_MAX, INT_MAX, false},
                 {1, INT_MAX, false}, {LLONG_MAX, 1, false}, {LLONG_MIN, LLONG_MAX, false},
                 {0, LLONG_MAX, false}};
    for (const Case &c : cases)
        EXPECT_EQ(promsim::call_range_within(c.offset, c.length, 1024), c.ok)
            << c.offset << "+" << c.length;
}

TEST(EmulatorSupport, FolderComesFromTheVariablesElseThePasswordEntryNeverTheRoot)
{
    const char *(*alice)() = [] { return "/home/alice"; };
    const char *(*nobody)() = [] { return static_cast<const char *>(nullptr); };
    const char *(*slash)() = [] { return "/"; };
    struct Case {
        const char *promsim_dir, *xdg, *home;
        const char *(*passwd)();
        const char *dir;  // null: no folder
    } cases[] = {
        {"/x/sim/", "/state", "/home/bob", nobody, "/x/sim"},
        {"", "/state", "/home/bob", nobody, "/state/promcfg/sim"},
        {nullptr, nullptr, "/home/bob", nobody, "/home/bob/.local/state/promcfg/sim"},
        {nullptr, nullptr, nullptr, alice, "/home/alice/.local/state/promcfg/sim"},
        {nullptr, "", "", alice, "/home/alice/.local/state/promcfg/sim"},
        {nullptr, nullptr, "/", alice, "/home/alice/.local/state/promcfg/sim"},
        {nullptr, nullptr, nullptr, nobody, nullptr},
        {nullptr, nullptr, "", slash, nullptr},
        {"/", nullptr, nullptr, nobody, "/"},
    };
    for (const Case &c : cases) {
        std::string dir = "untouched";
        bool ok = promsim::choose_sim_dir(c.promsim_dir, c.xdg, c.home, c.passwd, &dir);
        EXPECT_EQ(ok, c.dir != nullptr) << dir;
        EXPECT_EQ(dir, c.dir ? c.dir : "untouched");
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

    static std::string file(Device device)
    {
        std::ifstream in(promsim::device_path(device), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Cuts or lengthens the device file: a damaged device.
    static std::string resize(Device device, std::size_t size)
    {
        std::string bytes = file(device);
        bytes.resize(size, '\x5a');
        std::ofstream(promsim::device_path(device), std::ios::binary | std::ios::trunc) << bytes;
        return bytes;
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
                   {0, -1, false}, {INT_MAX, 1, false}, {1, INT_MAX, false},
                   {INT_MAX, INT_MAX, false}, {INT_MIN, 0, false}, {1025, 0, false}}) {
        EXPECT_EQ(vpd_.read_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
        EXPECT_EQ(vpd_.write_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
    }
    for (Case c : {Case{0, 0x10000, true}, {0xffff, 1, true}, {0xffff, 2, false},
                   {0x8000, 0x8001, false}, {0, -1, false}, {0xffff, INT_MAX, false},
                   {1, INT_MIN, false}})
        EXPECT_EQ(vpd_.read(static_cast<unsigned short>(c.offset), c.length, buf.data()),
                  c.ok ? 0 : -EINVAL) << c.offset << "+" << c.length;
    int handle = kestrel_open();
    for (Case c : {Case{0, 2048, true}, {2047, 1, true}, {2048, 0, true}, {2047, 2, false},
                   {-1, 1, false}, {0, -1, false}, {INT_MAX, 1, false}, {1, INT_MAX, false},
                   {INT_MIN, INT_MAX, false}})
        EXPECT_EQ(kestrel_read(handle, c.offset, buf.data(), c.length), c.ok ? 0 : -EINVAL)
            << c.offset << "+" << c.length;
}

// A device file of the wrong size fails every read and data write, keeps
// its bytes, and only the device's whole rewrites replace it.
TEST_F(EmulatorTest, WrongSizedBladeVpdIsDamagedUntilClearedOrProbed)
{
    init_vpd_data record{};
    Bytes buf(1024);
    for (std::size_t size : {0, 100, 0xffff, 0x10001}) {
        ASSERT_EQ(vpd_.set_chassis_type(3), 0);
        std::string damaged = resize(Device::blade, size);
        for (int rc : {vpd_.initialize_vpd(&record), vpd_.read(0, 16, buf.data()),
                       vpd_.chassis_type(), vpd_.set_chassis_type(1),
                       vpd_.read_mgmt_data(0, 1024, buf.data()),
                       vpd_.write_mgmt_data(0, 1024, buf.data()), vpd_.init_mgmt_data()})
            EXPECT_EQ(rc, -EBADMSG) << size;
        EXPECT_EQ(errno, EBADMSG);
        EXPECT_TRUE(file(Device::blade) == damaged) << size;
        EXPECT_EQ(size % 2 ? vpd_.clear_sprom(59) : vpd_.sprom_size(34), size % 2 ? 0 : 8192);
        EXPECT_EQ(file(Device::blade).size(), 0x10000u) << size;
        EXPECT_EQ(vpd_.read(0, 16, buf.data()), 0) << size;
    }
}

TEST_F(EmulatorTest, WrongSizedKestrelPromIsDamagedUntilSetUp)
{
    int handle = kestrel_open();
    kestrel_vpd_data record{};
    std::strcpy(record.service_tag, "TAG");
    char text[kKestrelText];
    Bytes buf(16);
    for (std::size_t size : {0, 0x100, 2047, 2049}) {
        std::string damaged = resize(Device::kestrel, size);
        EXPECT_EQ(kestrel_read(handle, 0, buf.data(), 16), -EBADMSG) << size;
        EXPECT_EQ(kestrel_get_service_tag(handle, text), -EBADMSG) << size;
        EXPECT_EQ(kestrel_get_eppid(handle, text), -EBADMSG) << size;
        EXPECT_TRUE(file(Device::kestrel) == damaged) << size;
        ASSERT_EQ(kestrel_initialize_vpd(handle, &record), 0) << size;
        EXPECT_EQ(bytes(Device::kestrel, 0x100, 0x700), Bytes(0x700, 0xff)) << size;
        ASSERT_EQ(kestrel_get_service_tag(handle, text), 0) << size;
        EXPECT_STREQ(text, "TAG");
    }
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
    char buf[kKestrelText + 32];
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
        EXPECT_LT(strnlen(buf, sizeof buf), kKestrelText);
        EXPECT_EQ(std::string(buf + kKestrelText, 32), std::string(32, '\x7f'));
    }
}

}  // namespace
