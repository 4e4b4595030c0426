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
using promtest::call_arguments;
using promtest::count_calls;
using promtest::hex;
using promtest::RunResult;

const std::string kClosed = "VPD_Client::~VPD_Client() = 0";
// The library gives its bus back at exit; a client still open is closed first.
const std::vector<std::string> kClosedThenReleased = {kClosed, "VPD_Client::release_bus() = 0"};

std::vector<std::string> last_two(const std::vector<std::string> &trace)
{
    return trace.size() < 2 ? trace : std::vector<std::string>(trace.end() - 2, trace.end());
}

class BladeVpdTest : public promtest::SimTest {
protected:
    // A switch whose system, board and chassis data are set.
    void set_up_switch(int product_id)
    {
        promsim({"set", "product-id", std::to_string(product_id)});
        promsim({"set", "mac0", "0a1b2c3d4e5f"});
        promsim({"set", "mac1", "00c0ffee0001"});
        promsim({"set", "wwn", "1000000533aabbcc"});
        promsim({"set", "chassis-sn", "CH12345"});
        promsim({"set", "clei", "CLEI012345"});
    }

    // The output of a single menu action.
    std::string menu_action(const std::string &selection_and_answers, const promtest::EnvList &env = {})
    {
        RunResult r = promcfg({"-m"}, selection_and_answers + "0\n", env);
        EXPECT_EQ(r.status, 0);
        std::vector<std::string> actions = promtest::menu_actions(r.out);
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
    set_up_switch(43);
    // Revision 256 and -1 are asked again, and so is every answer longer
    // than its field (a 4-character revision, a 5-character date code, a
    // 21-character part or FRU number); then date code, part, FRU, POS ID,
    // manufacturer and name in their asked order.
    std::string out = menu_action("5\n0001\n256\n-1\n7\n12345\n1x\n" + std::string(21, 'P') +
                                  "\nPN-1\n" + std::string(21, 'F') + "\nFRU-2\nab\nIBM\nBlade Name\n");
    std::string prompts;
    for (const char *label : {"Hardware Rev     (decimal number 0-255)",
                              "Hardware Rev     (decimal number 0-255)",
                              "Hardware Rev     (decimal number 0-255)",
                              "Hardware Rev     (decimal number 0-255)",
                              "Date code        (WWYY - WW=1-52)", "Date code        (WWYY - WW=1-52)",
                              "Part Number", "Part Number", "FRU Number", "FRU Number",
                              "POS ID           (HEX number 0-ffff)", "Manufacturer ID",
                              "Product Name"}) {
        char prompt[80];
        snprintf(prompt, sizeof prompt, "[%-48s] ", label);
        prompts += prompt;
    }
    EXPECT_EQ(out, prompts);

    unsigned char record[972] = {};
    const int32_t product = 43;
    const uint16_t pos_id = 0xab;
    memcpy(record, &product, 4);  // integers in the machine's byte order
    memcpy(record + 0x08, "\x0a\x1b\x2c\x3d\x4e\x5f", 6);
    memcpy(record + 0x14, "\x10\x00\x00\x05\x33\xaa\xbb\xcc", 8);
    memcpy(record + 0x1c, "CH12345", 7);
    memcpy(record + 0x3c, "1x", 2);
    memcpy(record + 0x4c, "CLEI01234", 9);  // what a 10-byte buffer holds
    record[0x6c] = 7;
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

    // Product 59 carries both MACs, the second Ethernet MAC first.
    promsim({"set", "product-id", "59"});
    menu_action("5\n\n\n\n\n\n\n\n");
    EXPECT_EQ(vpd_bytes(0x08, 12), "00c0ffee0001" "0a1b2c3d4e5f");
}

TEST_F(BladeVpdTest, SetupNeedsTheSystemPromData)
{
    struct Case {
        const char *unset;
        const char *expected;
    };
    const Case cases[] = {
        {"mac0", "Error!  Unable read MAC address from system PROM!\n"
                 "System data must be initialized before VPD data!\n"},
        {"wwn", "Error!  Unable read WWN from system PROM!\n"
                "System data must be initialized before VPD data!\n"},
        {"chassis-sn", "Error!  Unable read chassis SN from system PROM!\n"
                       "Chassis data must be initialized before VPD data!\n"},
    };
    for (const Case &c : cases) {
        set_up_switch(47);
        promsim({"unset", c.unset});
        clear_trace();
        EXPECT_EQ(menu_action("5\n"), c.expected) << c.unset;
        EXPECT_EQ(count_calls(take_trace(), "VPD_Client::initialize_vpd"), 0);
    }
    // A missing CLEI is only a warning.
    set_up_switch(47);
    promsim({"unset", "clei"});
    EXPECT_THAT(menu_action("5\n\n\n\n\n\n\n\n"),
                StartsWith("Warning: Unable read CLEI from system PROM.\n"
                           "         CLEI will be uninitialized in VPD.\n\n[Hardware Rev"));
}

TEST_F(BladeVpdTest, ProductGatingRefusesAndLeavesNoClientOpen)
{
    struct Case {
        int product;  // 0: board data unreadable
        const char *selection;
        const char *expected;
    };
    const char *no_board = "Error!  Unable read board data from system PROM!\n"
                           "Board data must be initialized before VPD data!\n";
    const Case cases[] = {
        {38, "6\n", "Operation not allowed for this product type!\n"},
        {0, "7\n", no_board},
        {0, "13\n", no_board},
        {38, "8\n", "Unsupported board type!\n"},
        {0, "9\n", "Error!  Unable to read board type!\n"},
        {35, "10\n", "Board type 35 does not support this option.\n"},
    };
    for (const Case &c : cases) {
        promsim({"reset"});
        if (c.product)
            promsim({"set", "product-id", std::to_string(c.product)});
        clear_trace();
        EXPECT_EQ(menu_action(c.selection), c.expected) << c.product << " row " << c.selection;
        std::vector<std::string> trace = take_trace();
        EXPECT_EQ(count_calls(trace, "VPD_Client::VPD_Client"), count_calls(trace, "VPD_Client::~VPD_Client"));
        EXPECT_EQ(count_calls(trace, "VPD_Client::read"), 0);
    }
}

TEST_F(BladeVpdTest, BlockDisplays)
{
    promsim({"set", "product-id", "34"});
    std::string out = menu_action("6\n");  // the first 4 KB
    EXPECT_THAT(out, StartsWith("\n\nReading data from VPD...\n\n\n*** Fixed block data:\n0000-0007:\tff\tff"));
    EXPECT_THAT(out, HasSubstr("\n\n*** DBCA data:\n0400-0407:"));
    EXPECT_THAT(out, EndsWith("\n0ff8-0fff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"));
    EXPECT_THAT(out, Not(HasSubstr("Block 4")));

    // Product 59: eight 8 KB passes, headers in the first; a failing read
    // in the fourth ends the display with the first three shown.
    promsim({"set", "product-id", "59"});
    RunResult r = promcfg({"-p"});
    EXPECT_THAT(r.out, HasSubstr("\n\n*** Block 7 data:\n1c00-1c07:"));
    EXPECT_THAT(r.out, EndsWith("\nfff8-ffff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"));
    out = menu_action("10\n", {{"PROMSIM_FAIL", "VPD_Client::read#4=-1"}});
    EXPECT_THAT(out, EndsWith("\n5ff8-5fff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"
                              "\n\nReading 8K data from VPD...\n"
                              "Error reading data from VPD! (rc=0xffffffff)\n"));
    EXPECT_EQ(last_two(take_trace()), kClosedThenReleased);
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

    // Refused: parsing goes on with the next option.
    promsim({"set", "product-id", "38"});
    r = promcfg({"-v", "-D", "110"});
    EXPECT_EQ(r.out, "Operation not allowed for this product type!\n"
                     "Error deleting TLV 0x110, rc = -1 errno = 2\n");
}

TEST_F(BladeVpdTest, ChassisTypeSetThenPrint)
{
    promsim({"set", "product-id", "47"});
    struct Case {
        std::vector<std::string> args;
        const char *expected;
    };
    const char *note = "Note: This option will be deprecated.  Use -x <arg>\n";
    const Case cases[] = {
        {{"-x", "BC10"}, "Current chassis type is Unknown\nSetting chassis type to 0x7....Done.\n\n"},
        {{"-x", "bc1"}, "Current chassis type is 'BCH Pass 10'\nSetting chassis type to 0....Done.\n\n"},
        {{"-t", "-z"}, "Current chassis type is 'Enterprise'\nSetting chassis type to 0x1....Done.\n\n"},
        {{"-x", "bce-r", "-e"}, "Current chassis type is 'Telco'\nSetting chassis type to 0x6....Done.\n\n"},
    };
    for (const Case &c : cases) {
        std::string notes;
        for (const std::string &arg : c.args)
            notes += arg.size() == 2 && std::string("tze").find(arg[1]) != std::string::npos ? note : "";
        EXPECT_EQ(promcfg(c.args).out, notes + c.expected) << c.args[0];
    }
    EXPECT_EQ(menu_action("7\n"), "Chassis type = 0x6\n");
    EXPECT_EQ(promcfg({"-x", "ht"}, "", {{"PROMSIM_FAIL", "VPD_Client::set_chassis_type=-5"}}).out,
              "Current chassis type is 'BCE-R'\nSetting chassis type to 0x2...."
              "\nError setting chassis type! (rc=0xfffffffb)\n");
    EXPECT_EQ(menu_action("7\n", {{"PROMSIM_FAIL", "VPD_Client::chassis_type=-2"}}),
              "Error reading chassis type from history buffer! rc=-2 (0xfffffffe)\n");
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

    clear_trace();
    EXPECT_EQ(menu_action("8\n1.2.3.4\n1.2.3\n"),
              "Enter IP address: Enter gateway address: Bad gateway address specified.\n");
    std::vector<std::string> trace = take_trace();
    EXPECT_EQ(count_calls(trace, "VPD_Client::read_mgmt_data"), 0);
    EXPECT_EQ(last_two(trace), kClosedThenReleased);
}

TEST_F(BladeVpdTest, EndOfInputInsideAnActionWritesNothing)
{
    set_up_switch(43);
    const char *inputs[] = {"5\n7\n1x\nPN\n", "8\n10.0.0.1\n", "8\n10.0.0.1\n10.0.0.254\n"};
    for (const char *input : inputs) {
        clear_trace();
        EXPECT_EQ(promcfg({"-m"}, input).status, 0) << input;
        std::vector<std::string> trace = take_trace();
        EXPECT_EQ(count_calls(trace, "VPD_Client::initialize_vpd") +
                      count_calls(trace, "VPD_Client::read_mgmt_data"), 0) << input;
        EXPECT_EQ(last_two(trace), kClosedThenReleased) << input;
    }
}

TEST_F(BladeVpdTest, SizeDetectionAndClearingChangeThePROM)
{
    promsim({"set", "product-id", "43"});
    EXPECT_EQ(menu_action("13\n"), "VPD size = 32768 (0x8000)\n");
    EXPECT_NE(vpd_bytes(0, 8), std::string(16, 'f'));
    RunResult r = promcfg({"-q"}, "0\n");  // -q collects nothing: the menu follows
    EXPECT_THAT(r.out, StartsWith("\n\t0.\tExit\n"));
    EXPECT_EQ(vpd_bytes(0xfff8, 8), std::string(16, '0'));

    EXPECT_EQ(menu_action("12\n", {{"PROMSIM_FAIL", "VPD_Client::clear_sprom=-1"}}),
              "Unable to write VPD!  rc=-1 (0xffffffff)\n");
    EXPECT_EQ(menu_action("13\n", {{"PROMSIM_FAIL", "VPD_Client::sprom_size=-1"}}),
              "Unable to detect VPD size!  rc=-1 (0xffffffff)\n");
}

}  // namespace
