// Blade VPD actions through the real promcfg on the emulated blade.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string hex(const void *bytes, std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char b = static_cast<const unsigned char *>(bytes)[i];
        text += digits[b >> 4];
        text += digits[b & 0xf];
    }
    return text;
}

// What the first menu action printed: from after its selection to the
// list shown again.
std::string first_action_output(const std::string &out)
{
    const std::string selection = "Selection (0-15): \n";
    std::size_t start = out.find(selection);
    if (start == std::string::npos)
        return "<no selection>";
    start += selection.size();
    std::size_t end = out.find("\t0.\tExit\n", start);
    if (end == std::string::npos)
        return out.substr(start);
    return out.substr(start, end - start - 1);  // the action's trailing "\n"
}

// The argument of the first trace line of `call`, e.g. the record's hex.
std::string traced_argument(const std::vector<std::string> &trace, const std::string &call)
{
    for (const std::string &line : trace)
        if (line.compare(0, call.size() + 1, call + "(") == 0)
            return line.substr(call.size() + 1, line.rfind(')') - call.size() - 1);
    return "<not called>";
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
};

TEST_F(BladeVpdTest, SetupLaysTheRecordOutAndPrintShowsIt)
{
    set_up_switch(43);
    // Revision: 256 and -1 are asked again; date code, part, FRU, POS ID,
    // manufacturer and name follow in their asked order.
    promtest::RunResult r = promcfg({"-m"}, "5\n256\n-1\n7\n1x\nPN-1\nFRU-2\nab\nIBM\nBlade Name\n0\n");
    EXPECT_EQ(r.status, 0);
    std::string prompts;
    for (const char *label : {"Hardware Rev     (decimal number 0-255)",
                              "Hardware Rev     (decimal number 0-255)",
                              "Hardware Rev     (decimal number 0-255)",
                              "Date code        (WWYY - WW=1-52)", "Part Number", "FRU Number",
                              "POS ID           (HEX number 0-ffff)", "Manufacturer ID",
                              "Product Name"}) {
        char prompt[80];
        snprintf(prompt, sizeof prompt, "[%-48s] ", label);
        prompts += prompt;
    }
    EXPECT_EQ(first_action_output(r.out), prompts);

    unsigned char record[972] = {};
    int32_t product = 43;
    memcpy(record, &product, 4);  // the machine's byte order
    const unsigned char mac0[] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f};
    const unsigned char wwn[] = {0x10, 0x00, 0x00, 0x05, 0x33, 0xaa, 0xbb, 0xcc};
    memcpy(record + 0x08, mac0, 6);
    memcpy(record + 0x14, wwn, 8);
    memcpy(record + 0x1c, "CH12345", 7);
    memcpy(record + 0x3c, "1x", 2);
    memcpy(record + 0x4c, "CLEI01234", 9);  // what a 10-byte buffer holds
    record[0x6c] = 7;
    uint16_t pos_id = 0xab;
    memcpy(record + 0x6e, &pos_id, 2);
    memcpy(record + 0x70, "PN-1", 4);
    memcpy(record + 0x90, "FRU-2", 5);
    memcpy(record + 0xb0, "IBM", 3);
    memcpy(record + 0xc0, "Blade Name", 10);
    memcpy(record + 0x1e4, "PN-1", 4);
    std::vector<std::string> trace = take_trace();
    EXPECT_EQ(traced_argument(trace, "VPD_Client::initialize_vpd"), hex(record, sizeof record));
    EXPECT_EQ(trace.back(), "VPD_Client::~VPD_Client() = 0");

    // The record reached the PROM byte for byte.
    r = promcfg({"-v"}, "0 972\n");
    std::string dumped;
    for (std::size_t tab = r.out.find('\t'); tab != std::string::npos; tab = r.out.find('\t', tab + 1))
        dumped += r.out.substr(tab + 1, 2);
    EXPECT_EQ(dumped, hex(record, sizeof record));
}

TEST_F(BladeVpdTest, SetupOnProduct59PutsTheSecondMacFirst)
{
    set_up_switch(59);
    promcfg({"-m"}, "5\n\n\n\n\n\n\n\n0\n");
    std::string record = traced_argument(take_trace(), "VPD_Client::initialize_vpd");
    EXPECT_EQ(record.substr(0x08 * 2, 24), "00c0ffee0001" "0a1b2c3d4e5f");
}

TEST_F(BladeVpdTest, SetupStopsBeforeAnyQuestionWhenSystemDataIsMissing)
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
        promtest::RunResult r = promcfg({"-m"}, "5\n0\n");
        EXPECT_EQ(first_action_output(r.out), c.expected) << c.unset;
        EXPECT_EQ(traced_argument(take_trace(), "VPD_Client::initialize_vpd"), "<not called>");
    }
    // A missing CLEI is only a warning.
    set_up_switch(47);
    promsim({"unset", "clei"});
    promtest::RunResult r = promcfg({"-m"}, "5\n\n\n\n\n\n\n\n0\n");
    EXPECT_THAT(first_action_output(r.out),
                HasSubstr("Warning: Unable read CLEI from system PROM.\n"
                          "         CLEI will be uninitialized in VPD.\n\n[Hardware Rev"));
}

TEST_F(BladeVpdTest, ProductGatingRefusesWithoutOpeningAClient)
{
    struct Case {
        int product;  // 0: board data unreadable
        const char *selection;
        const char *expected;
    };
    const char *no_board = "Error!  Unable read board data from system PROM!\n"
                           "Board data must be initialized before VPD data!\n";
    const Case cases[] = {
        {38, "6", "Operation not allowed for this product type!\n"},
        {0, "7", no_board},
        {0, "13", no_board},
        {38, "8", "Unsupported board type!\n"},
        {0, "9", "Error!  Unable to read board type!\n"},
        {34, "10", "Board type 34 does not support this option.\n"},
        {35, "10", "Board type 35 does not support this option.\n"},
    };
    for (const Case &c : cases) {
        promsim({"reset"});
        if (c.product)
            promsim({"set", "product-id", std::to_string(c.product)});
        clear_trace();
        promtest::RunResult r = promcfg({"-m"}, std::string(c.selection) + "\n0\n");
        EXPECT_EQ(first_action_output(r.out), c.expected) << c.product << " row " << c.selection;
        // Every client made was also destroyed, and nothing was read.
        int made = 0, destroyed = 0;
        for (const std::string &line : take_trace()) {
            made += line.find("VPD_Client::VPD_Client(") == 0;
            destroyed += line.find("VPD_Client::~VPD_Client(") == 0;
            EXPECT_EQ(line.find("VPD_Client::read"), std::string::npos) << line;
        }
        EXPECT_EQ(made, destroyed);
        EXPECT_LE(made, 1);
    }
}

TEST_F(BladeVpdTest, PrintShowsFourBlocksWithTheirHeaders)
{
    promsim({"set", "product-id", "34"});
    promtest::RunResult r = promcfg({"-m"}, "6\n0\n");
    std::string out = first_action_output(r.out);
    EXPECT_EQ(out.find("\n\nReading data from VPD...\n\n\n*** Fixed block data:\n0000-0007:\tff\tff"), 0u);
    EXPECT_THAT(out, HasSubstr("\n\n*** DBCA data:\n0400-0407:"));
    EXPECT_THAT(out, HasSubstr("\n\n*** Block 3 data:\n0c00-0c07:"));
    EXPECT_THAT(out, Not(HasSubstr("Block 4")));
    EXPECT_THAT(out, HasSubstr("\n0ff8-0fff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"));
}

TEST_F(BladeVpdTest, EightKilobytePrintOnProduct59StopsAtAFailedFourthPass)
{
    promsim({"set", "product-id", "59"});
    promtest::RunResult r = promcfg({"-m"}, "10\n0\n", {{"PROMSIM_FAIL", "VPD_Client::read#4=-1"}});
    std::string out = first_action_output(r.out);
    std::size_t passes = 0;
    for (std::size_t p = out.find("Reading 8K data"); p != std::string::npos;
         p = out.find("Reading 8K data", p + 1))
        ++passes;
    EXPECT_EQ(passes, 4u);
    EXPECT_THAT(out, HasSubstr("\n5ff8-5fff:"));
    EXPECT_THAT(out, Not(HasSubstr("\n6000-6007:")));
    EXPECT_THAT(out, HasSubstr("*** Block 7 data:\n1c00-1c07:"));
    const std::string failed_pass =
        "\n\nReading 8K data from VPD...\nError reading data from VPD! (rc=0xffffffff)\n";
    EXPECT_EQ(out.substr(out.size() - failed_pass.size()), failed_pass);
    EXPECT_EQ(take_trace().back(), "VPD_Client::~VPD_Client() = 0");
}

TEST_F(BladeVpdTest, FullPrintOnProduct59EndsAtTheLastAddress)
{
    promsim({"set", "product-id", "59"});
    promtest::RunResult r = promcfg({"-p"});
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr("\nfff8-ffff:\tff\tff\tff\tff\tff\tff\tff\tff\n\n"));
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "\n\n");
}

TEST_F(BladeVpdTest, DisplayCommandLineChecksItsRanges)
{
    promsim({"set", "product-id", "53"});
    promtest::RunResult r =
        promcfg({"-v"}, "fffa 6\nffff 2\n10000 1\n0 0\n3 8\n\n7\nffff 1\n");
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
    // End of input closed the client.
    EXPECT_EQ(take_trace().back(), "VPD_Client::~VPD_Client() = 0");

    r = promcfg({"-v"}, "0 65536\n");
    EXPECT_THAT(r.out, HasSubstr("\n0000-0007:"));
    EXPECT_THAT(r.out, HasSubstr("\nfff8-ffff:\tff\tff\tff\tff\tff\tff\tff\tff\nvpd-> "));
}

TEST_F(BladeVpdTest, DisplayCommandLineRefusalLetsParsingGoOn)
{
    promsim({"set", "product-id", "38"});
    promtest::RunResult r = promcfg({"-v", "-D", "110"});
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
    const Case cases[] = {
        {{"-x", "BC10"}, "Current chassis type is Unknown\nSetting chassis type to 0x7....Done.\n\n"},
        {{"-x", "bc1"}, "Current chassis type is 'BCH Pass 10'\nSetting chassis type to 0....Done.\n\n"},
        {{"-t", "-z"}, "Note: This option will be deprecated.  Use -x <arg>\n"
                       "Note: This option will be deprecated.  Use -x <arg>\n"
                       "Current chassis type is 'Enterprise'\nSetting chassis type to 0x1....Done.\n\n"},
        {{"-x", "bce-r", "-e"}, "Note: This option will be deprecated.  Use -x <arg>\n"
                                "Current chassis type is 'Telco'\nSetting chassis type to 0x6....Done.\n\n"},
    };
    for (const Case &c : cases) {
        promtest::RunResult r = promcfg(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.expected) << c.args[0];
    }
    promtest::RunResult r = promcfg({"-m"}, "7\n0\n");
    EXPECT_EQ(first_action_output(r.out), "Chassis type = 0x6\n");

    r = promcfg({"-x", "ht"}, "", {{"PROMSIM_FAIL", "VPD_Client::set_chassis_type=-5"}});
    EXPECT_EQ(r.out, "Current chassis type is 'BCE-R'\nSetting chassis type to 0x2...."
                     "\nError setting chassis type! (rc=0xfffffffb)\n");
    r = promcfg({"-m"}, "7\n0\n", {{"PROMSIM_FAIL", "VPD_Client::chassis_type=-2"}});
    EXPECT_EQ(first_action_output(r.out),
              "Error reading chassis type from history buffer! rc=-2 (0xfffffffe)\n");
}

TEST_F(BladeVpdTest, IpSettingsLandInTheManagementBlock)
{
    promsim({"set", "product-id", "35"});
    promtest::RunResult r =
        promcfg({"-m"}, "8\n10.0.0.1 and more\n256.1.2.3\n255.255.255.0\n0\n");
    EXPECT_EQ(first_action_output(r.out),
              "Enter IP address: Enter gateway address: Enter netmask: "
              "IP info written to VPD successfully.\n");
    std::string block = traced_argument(take_trace(), "VPD_Client::write_mgmt_data");
    ASSERT_EQ(block.size(), 2 * 1024 + 9u);  // "0, 1024, " then the bytes
    std::string bytes = block.substr(9);
    EXPECT_EQ(bytes.substr(12, 26), "01" "0a000001" "ffffff00" "00010203");

    // Clearing the MM data clears the block.
    r = promcfg({"-m"}, "9\n0\n");
    EXPECT_EQ(first_action_output(r.out), "");
    r = promcfg({"-m"}, "8\n1.2.3.4\n1.2.3\n0\n");
    EXPECT_EQ(first_action_output(r.out),
              "Enter IP address: Enter gateway address: Bad gateway address specified.\n");
    for (const std::string &line : take_trace())
        EXPECT_EQ(line.find("VPD_Client::write_mgmt_data"), std::string::npos);
}

TEST_F(BladeVpdTest, EndOfInputInsideAnActionWritesNothing)
{
    set_up_switch(43);
    struct Case {
        const char *input;  // ends inside the action's questions
        const char *write;  // the call that must not happen
    };
    const Case cases[] = {
        {"5\n7\n1x\nPN\n", "VPD_Client::initialize_vpd"},
        {"8\n10.0.0.1\n", "VPD_Client::write_mgmt_data"},
        {"8\n10.0.0.1\n10.0.0.254\n", "VPD_Client::read_mgmt_data"},
    };
    for (const Case &c : cases) {
        clear_trace();
        promtest::RunResult r = promcfg({"-m"}, c.input);
        EXPECT_EQ(r.status, 0) << c.input;
        std::vector<std::string> trace = take_trace();
        EXPECT_EQ(traced_argument(trace, c.write), "<not called>") << c.input;
        EXPECT_EQ(trace.back(), "VPD_Client::~VPD_Client() = 0") << c.input;
    }
}

TEST_F(BladeVpdTest, SizeDetectionAndClearingChangeThePROM)
{
    promsim({"set", "product-id", "43"});
    promtest::RunResult r = promcfg({"-m"}, "13\n0\n");
    EXPECT_EQ(first_action_output(r.out), "VPD size = 32768 (0x8000)\n");
    r = promcfg({"-v"}, "0 8\n");
    EXPECT_THAT(r.out, Not(HasSubstr("0000-0007:\tff\tff\tff\tff\tff\tff\tff\tff")));

    r = promcfg({"-q"}, "0\n");  // -q collects nothing: the menu follows
    EXPECT_THAT(r.out, HasSubstr("\t0.\tExit\n"));
    r = promcfg({"-v"}, "0 8\n");
    EXPECT_THAT(r.out, HasSubstr("0000-0007:\t00\t00\t00\t00\t00\t00\t00\t00\n"));

    r = promcfg({"-m"}, "12\n13\n0\n", {{"PROMSIM_FAIL", "VPD_Client::clear_sprom=-1,VPD_Client::sprom_size=-1"}});
    EXPECT_THAT(r.out, HasSubstr("Unable to write VPD!  rc=-1 (0xffffffff)\n"));
    EXPECT_THAT(r.out, HasSubstr("Unable to detect VPD size!  rc=-1 (0xffffffff)\n"));
}

TEST_F(BladeVpdTest, PrintAllChoosesTheDisplayByProduct)
{
    struct Case {
        int product;
        const char *reading;  // "" when no VPD display follows
    };
    const Case cases[] = {{34, "Reading data from VPD"}, {43, "Reading 8K data from VPD"}, {15, ""}};
    for (const Case &c : cases) {
        promsim({"set", "product-id", std::to_string(c.product)});
        promtest::RunResult r = promcfg({"-p"});
        EXPECT_EQ(r.status, 0);
        std::size_t chassis = r.out.find("CLEI Registration");
        ASSERT_NE(chassis, std::string::npos);
        if (*c.reading) {
            EXPECT_THAT(r.out.substr(chassis), HasSubstr(c.reading)) << c.product;
        } else {
            EXPECT_EQ(r.out.substr(chassis), "CLEI Registration           : Undefined\n");
        }
    }
}

}  // namespace
