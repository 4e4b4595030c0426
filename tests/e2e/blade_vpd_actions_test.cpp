// Blade VPD actions through the real promcfg on the emulated blade.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using promtest::blade;
using promtest::call_arguments;
using promtest::count_calls;
using promtest::hex;
using promtest::kClosed;
using promtest::prompts;
using promtest::RunResult;

// The library gives its bus back at exit; a client still open is closed first.
const std::vector<std::string> kClosedThenReleased = {kClosed, "VPD_Client::release_bus() = 0"};

std::vector<std::string> last_two(const std::vector<std::string> &trace)
{
    return trace.size() < 2 ? trace : std::vector<std::string>(trace.end() - 2, trace.end());
}

class BladeVpdTest : public promtest::SimTest {
protected:
    // The output of a single menu action.
    std::string menu_action(const std::string &selection_and_answers, const promtest::EnvList &env = {})
    {
        std::vector<std::string> actions = menu(selection_and_answers, env);
        return actions.empty() ? "<no action>" : actions[0];
    }

    // VPD bytes as hex, read back through the display command line.
    std::string vpd_bytes(unsigned offset, unsigned length)
    {
        char command[32];
        snprintf(command, sizeof command, "%x %u\n", offset, length);
        std::string out = promcfg({"-v"}, command).out, bytes;
        for (std::size_t tab = out.find('\t'); tab != std::string::npos; tab = out.find('\t', tab + 1))
            bytes += out.substr(tab + 1, 2);
        return bytes;
    }
};

TEST_F(BladeVpdTest, SetupLaysTheRecordOutInTheVpd)
{
    set_items(blade(43));
    // Revision 256 and -1 are asked again (255 is taken), and so is every answer longer
    // than its field (a 4-character revision, a 5-character date code, a
    // 21-character part or FRU number); then date code, part, FRU, POS ID,
    // manufacturer and name in their asked order.
    std::string out = menu_action("5\n0001\n256\n-1\n255\n12345\n1x\n" + std::string(21, 'P') +
                                  "\nPN-1\n" + std::string(21, 'F') + "\nFRU-2\nab\nIBM\nBlade Name\n");
    const std::string rev = "Hardware Rev     (decimal number 0-255)", date = "Date code        (WWYY - WW=1-52)";
    EXPECT_EQ(out, prompts({rev, rev, rev, rev, date, date, "Part Number", "Part Number", "FRU Number", "FRU Number",
                            "POS ID           (HEX number 0-ffff)", "Manufacturer ID", "Product Name"}));

    unsigned char record[972] = {};
    const int32_t product = 43;
    const uint16_t pos_id = 0xab;
    memcpy(record, &product, 4);  // integers in the machine's byte order
    memcpy(record + 0x08, "\x0a\x1b\x2c\x3d\x4e\x5f", 6);
    memcpy(record + 0x14, "\x10\x00\x00\x05\x33\xaa\xbb\xcc", 8);
    memcpy(record + 0x1c, "CH12345", 7);
    memcpy(record + 0x3c, "1x", 2);
    memcpy(record + 0x4c, "CLEI01234", 9);  // what a 10-byte buffer holds
    record[0x6c] = 255;  // the highest revision
    memcpy(record + 0x6e, &pos_id, 2);
    memcpy(record + 0x70, "PN-1", 4);
    memcpy(record + 0x90, "FRU-2", 5);
    memcpy(record + 0xb0, "IBM", 3);
    memcpy(record + 0xc0, "Blade Name", 10);
    memcpy(record + 0x1e4, "PN-1", 4);
    std::vector<std::string> trace = take_trace();
    EXPECT_EQ(call_arguments(trace, "VPD_Client::initialize_vpd"), hex(record, sizeof record));
    EXPECT_EQ(last_two(trace), kClosedThenReleased);
    EXPECT_EQ(vpd_bytes(0, sizeof record), hex(record, sizeof record));

    // Product 59 carries both MACs, the second Ethernet MAC first; the
    // other blades the Ethernet MAC alone.
    const struct {
        int32_t product;
        const char *macs;
    } blades[] = {{59, "00c0ffee0001" "0a1b2c3d4e5f"}, {34, "0a1b2c3d4e5f" "000000000000"},
                  {35, "0a1b2c3d4e5f" "000000000000"}, {47, "0a1b2c3d4e5f" "000000000000"},
                  {53, "0a1b2c3d4e5f" "000000000000"}};
    for (const auto &b : blades) {
        promsim({"set", "product-id", std::to_string(b.product)});
        menu_action("5\n\n\n\n\n\n\n\n");
        EXPECT_EQ(vpd_bytes(0, 4), hex(&b.product, 4)) << b.product;
        EXPECT_EQ(vpd_bytes(0x08, 12), b.macs) << b.product;
    }
}

TEST_F(BladeVpdTest, BlockDisplays)
{
    promsim({"set", "product-id", "34"});
    std::string out = menu_action("6\n");  // the first 4 KB
    EXPECT_THAT(out, StartsWith("\n\nReading data from VPD...\n\n\n*** Fixed block data:\n0000-0007:\tff\tff"));
    EXPECT_THAT(out, HasSubstr("\n\n*** DBCA data:\n0400-0407:"));
    EXPECT_THAT(out, Not(HasSubstr("Block 4")));

    // Product 59: eight 8 KB passes, headers in the first.
    promsim({"set", "product-id", "59"});
    RunResult r = promcfg({"-p"});
    EXPECT_THAT(r.out, HasSubstr("\n\n*** Block 7 data:\n1c00-1c07:"));
    EXPECT_THAT(r.out, EndsWith("\nfff8-ffff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"));

    // Each pass reads into a zero-filled buffer: a read that succeeds with
    // nothing read shows zeros, not the pass before.
    r = promcfg({"-p"}, "", {{"PROMSIM_FAIL", "VPD_Client::read#2=0"}});
    EXPECT_THAT(r.out, HasSubstr("\n2000-2007:\t00\t00\t00\t00\t00\t00\t00\t00\n"));
    EXPECT_THAT(r.out, HasSubstr("\n4000-4007:\tff\tff"));
}

TEST_F(BladeVpdTest, DisplayCommandLineChecksItsRanges)
{
    promsim({"set", "product-id", "53"});
    RunResult r = promcfg({"-v"}, "fffa 6\nffff 2\n10000 1\n0 0\n3 8\n\n7\nffff 1\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nVPD display cli.  First parameter is the offset (hex).  Second\n"
              "parameter is the length (decimal).  Ctrl-C to exit.\n\n"
              "vpd-> \nfffa-ffff:\tff\tff\tff\tff\tff\tff\n"
              "vpd-> Length 2 too large\n"
              "vpd-> Invalid address 10000\n"
              "vpd-> \n"
              "vpd-> \n0003-000a:\tff\tff\tff\tff\tff\tff\tff\tff\n"
              "vpd-> vpd-> vpd-> \nffff-ffff:\tff\n"
              "vpd-> ");
    EXPECT_EQ(last_two(take_trace()), kClosedThenReleased);  // end of input closed the client
    EXPECT_EQ(vpd_bytes(0, 65536).size(), 2 * 65536u);
}

TEST_F(BladeVpdTest, IpSettingsLandInTheManagementBlock)
{
    promsim({"set", "product-id", "35"});
    EXPECT_EQ(menu_action("8\n10.0.0.1 and more\n256.1.2.3\n255.255.255.0\n"),
              "Enter IP address: Enter gateway address: Enter netmask: "
              "IP info written to VPD successfully.\n");
    // Byte 6 set, then IP, netmask and gateway (256 kept as its low 8 bits);
    // the bytes around them stay as they were.
    EXPECT_EQ(vpd_bytes(0x1000 + 5, 15), "ff" "01" "0a000001" "ffffff00" "00010203" "ff");
    EXPECT_EQ(menu_action("9\n"), "");
    EXPECT_EQ(vpd_bytes(0x1000 + 6, 13), std::string(26, '0'));
}

// The address prompts take end of input for a bad answer: their rows are with the messages.
TEST_F(BladeVpdTest, EndOfInputInsideTheSetUpWritesNothing)
{
    set_items(blade(43));
    clear_trace();
    EXPECT_EQ(promcfg({"-m"}, "5\n7\n1x\nPN\n").status, 0);
    std::vector<std::string> trace = take_trace();
    EXPECT_EQ(count_calls(trace, "VPD_Client::initialize_vpd"), 0);
    EXPECT_EQ(last_two(trace), kClosedThenReleased);
}

TEST_F(BladeVpdTest, SizeDetectionAndClearingChangeThePROM)
{
    promsim({"set", "product-id", "43"});
    EXPECT_EQ(menu_action("13\n"), "VPD size = 32768 (0x8000)\n");
    EXPECT_NE(vpd_bytes(0, 8), std::string(16, 'f'));
    RunResult r = promcfg({"-q"}, "0\n");  // -q collects nothing: the menu follows
    EXPECT_THAT(r.out, StartsWith("\n\t0.\tExit\n"));
    EXPECT_EQ(vpd_bytes(0xfff8, 8), std::string(16, '0'));
}

}  // namespace
