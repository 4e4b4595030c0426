// The main configuration menu and the answer prompt, seen on the console.
#include "sim_fixture.h"

#include <string>
#include <vector>

namespace {

using promtest::SimTest;
using Lines = std::vector<std::string>;

const std::string kMenu = "\t0.\tExit\n"
                          "\t1.\tSet up system data (MAC, WWN, VWWN)\n"
                          "\t2.\tSet up board data\n"
                          "\t3.\tSet up chassis data\n"
                          "\t4.\tDisplay main prom data\n"
                          "\t5.\tSet up FC Switch Blade data\n"
                          "\t6.\tPrint FC Switch Blade data\n"
                          "\t7.\tPrint FC Switch Blade chassis type\n"
                          "\t8.\tSet IP address in VPD\n"
                          "\t9.\tClear MM data (includes IP info)\n"
                          "\t10.\tPrint FC Switch Blade data (8KB)\n"
                          "\t11.\tVPD Display cli\n"
                          "\t12.\tClear IBM VPD PROM\n"
                          "\t13.\tDetect IBM VPD PROM size (destructive)\n"
                          "\t14.\tSet up Kestrel Blade VPD\n"
                          "\t15.\tPrint Kestrel Blade VPD\n"
                          "\n\t\tSelection (0-15): ";

// The prompt as the operator sees it: the label padded to 48 in brackets.
std::string prompt(const std::string &label)
{
    return "[" + label + std::string(label.size() < 48 ? 48 - label.size() : 0, ' ') + "] ";
}

const std::string kSerial = prompt("Serial Number    (string max=23 chars)");
const std::string kClei = prompt("CLEI registration     (string max=10 chars)");
const std::string kNonAscii = "Input contains non-ASCII data!  Please re-enter data.\n";
const std::string kUpdated = "\nChassis Data updated\n";

// The calls that change the system PROM.
Lines writes_in(const Lines &trace)
{
    Lines found;
    for (const auto &line : trace)
        if (line.rfind("swServSet", 0) == 0 || line.rfind("swServFlush", 0) == 0 ||
            line.rfind("swServDelete", 0) == 0 || line.rfind("swServInit", 0) == 0)
            found.push_back(line);
    return found;
}

class MenuTest : public SimTest {};

TEST_F(MenuTest, SelectionsAreReadAsDecimalNumbersBelowSixteen)
{
    const std::string display = promcfg({"-P"}).out;
    const std::string start = "\n" + kMenu, again = "\n" + kMenu,
                      shown = "\n" + display + "\n" + kMenu;
    const struct {
        const char *name;
        std::string input;
        std::string out;
    } cases[] = {
        {"end of input", "", start},
        // Row 0 is a row like the others: "\n", then its action.
        {"empty line", "\n4\n", start + "\n"},
        {"zero", "0\n4\n", start + "\n"},
        {"no digits", "x\n4\n", start + "\n"},
        {"word exit", "exit\n4\n", start + "\n"},
        {"leading space", " 4\n0\n", start + shown + "\n"},
        {"trailing letters", "4abc\n", start + shown},
        {"repeat", "4\n04\n", start + shown + shown},
        {"out of range", "16\n-1\n99999999999\n4294967300\n", start + again + again + again + again},
        {"30 digits in two reads", "12345678901234567890123" "0000004\n", start + again + shown},
    };
    for (const auto &c : cases) {
        auto r = promcfg({}, c.input);
        EXPECT_EQ(r.status, 0) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
    EXPECT_EQ(promcfg({"-m"}, "4\n").out, start + shown);
}

TEST_F(MenuTest, EachRowRunsItsOwnAction)
{
    promsim({"set", "product-id", "59"});
    // A sign of each row's action, in its output or its platform calls.
    const char *marks[] = {
        nullptr, "[Ethernet MAC ", "Valid Product IDs:", "[Serial Number ",
        "--------------------- System Data", "Unable read MAC address",
        "VPD_Client::read(0, 4096, &)", "VPD_Client::chassis_type()", "Enter IP address: ",
        "VPD_Client::init_mgmt_data()", "VPD_Client::read(0, 8192, &)", "vpd-> ",
        "VPD_Client::clear_sprom(59)", "VPD_Client::sprom_size(59)",
        "Operation not allowed for this product type!", "kestrel_read(1, 0, &, 256)",
    };
    for (int row = 1; row < 16; ++row) {
        clear_trace();
        const std::string selection = row == 15 ? "+15\n" : std::to_string(row) + "\n";
        auto r = promcfg({}, selection);
        EXPECT_EQ(r.status, 0) << row;
        std::string seen = r.out;
        for (const auto &line : take_trace())
            seen += line + "\n";
        for (int other = 1; other < 16; ++other)
            EXPECT_EQ(seen.find(marks[other]) != std::string::npos, other == row)
                << "row " << row << ", sign of row " << other;
    }
}

class ConsoleTest : public SimTest {};

TEST_F(ConsoleTest, AnswersAreCheckedForLengthThenForPrintableBytes)
{
    const std::string a23(23, 'A'), b10(10, 'B');
    const struct {
        const char *name;
        std::string input;
        std::string out;
        Lines writes;
    } cases[] = {
        {"limits", std::string(24, 'A') + "\n" + a23 + "\n" + b10 + "B\n" + b10 + "\n",
         kSerial + kSerial + kClei + kClei + kUpdated,
         {"swServSetChassisSN_bus(\"" + a23 + "\", 24, 0) = 0",
          "swServSetCLEI_bus(\"" + b10 + "\", 11, 0) = 0", "swServFlush() = 0"}},
        // Too long is refused before the bytes are looked at: no message.
        {"long with tab", "\t" + a23 + "\n SN 1 \nCL\tEI\nCLEI\r\n\n",
         kSerial + kSerial + kClei + kNonAscii + kClei + kNonAscii + kClei + kUpdated,
         {"swServSetChassisSN_bus(\" SN 1 \", 7, 0) = 0", "swServFlush() = 0"}},
        {"high and DEL bytes", "S\x7fN\nS\xe9N\n\nC\n",
         kSerial + kNonAscii + kSerial + kNonAscii + kSerial + kClei + kUpdated,
         {"swServSetCLEI_bus(\"C\", 2, 0) = 0", "swServFlush() = 0"}},
        // 63 bytes are read and refused whole; the rest is the next answer.
        {"70 characters", std::string(63, 'X') + "SN12345\n\n", kSerial + kSerial + kClei + kUpdated,
         {"swServSetChassisSN_bus(\"SN12345\", 8, 0) = 0", "swServFlush() = 0"}},
        {"nothing answered", "\n\n", kSerial + kClei, {}},
        {"end of input", "SN1\n", kSerial + kClei, {}},
    };
    for (const auto &c : cases) {
        clear_trace();
        auto r = promcfg({"-c"}, c.input);
        EXPECT_EQ(r.status, 0) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(writes_in(take_trace()), c.writes) << c.name;
    }
}

TEST_F(ConsoleTest, EndOfInputInsideAnActionWritesNothing)
{
    const struct {
        const char *option;
        std::string input;
    } cases[] = {
        {"-s", "001122334455\n0011223344556677\n"},
        {"-b", "15\nPC-1\nSN-1\n1\nSUB\n"},
        {"-c", "SN-1"},
    };
    for (const auto &c : cases) {
        clear_trace();
        auto r = promcfg({c.option, "-D", "110"}, c.input, {{"PROMSIM_ASIC_MACS", "2"}});
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(writes_in(take_trace()), Lines{}) << c.option;
    }
    // From the menu too, and the menu is not shown again.
    auto r = promcfg({}, "1\n001122334455\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find(kMenu), r.out.rfind(kMenu));
    EXPECT_EQ(writes_in(take_trace()), Lines{});
}

}  // namespace
