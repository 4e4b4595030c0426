// The main configuration menu and the answer prompt, seen on the console.
#include "sim_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <utility>
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

// The prompts, padded to 48 characters in brackets.
const std::string kSerial = "[Serial Number    (string max=23 chars)          ] ";
const std::string kClei = "[CLEI registration     (string max=10 chars)     ] ";
const std::string kNonAscii = "Input contains non-ASCII data!  Please re-enter data.\n";
const std::string kUpdated = "\nChassis Data updated\n";

// The calls that change the system PROM: all but its reads.
Lines writes_in(const Lines &trace)
{
    return promtest::calls_of(promtest::calls_of(trace, "swServ"), "swServGet", false);
}

using MenuTest = SimTest;

TEST_F(MenuTest, SelectionsAreReadAsDecimalNumbersBelowSixteen)
{
    const std::string start = "\n" + kMenu, shown = "\n" + promcfg({"-P"}).out + "\n" + kMenu;
    // Input and the whole transcript. Row 0 is a row like the others: "\n",
    // then its action. Out of range includes 2^32 + 4; a 30-digit line is
    // read in two parts.
    const std::pair<std::string, std::string> cases[] = {
        {"", start}, {"\n4\n", start + "\n"}, {"x\n4\n", start + "\n"},
        {" 4\n0\n", start + shown + "\n"}, {"4abc\n", start + shown},
        {"16\n-1\n99999999999\n4294967300\n", start + start + start + start + start},
        {"12345678901234567890123" "0000004\n", start + start + shown},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        auto r = promcfg({}, c.first);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.second);
    }
    EXPECT_EQ(promcfg({"-m"}, "4\n").out, start + shown);
}

TEST_F(MenuTest, EachRowRunsItsOwnAction)
{
    promsim({"set", "product-id", "59"});
    // A sign of each row's action, in its output or its platform calls.
    const char *marks[] = {
        nullptr, "[Ethernet MAC ", "Valid Product IDs:", "[Serial Number ", "------ System Data",
        "Unable read MAC address", "VPD_Client::read(0, 4096, &)", "VPD_Client::chassis_type()",
        "Enter IP address: ", "VPD_Client::init_mgmt_data()", "VPD_Client::read(0, 8192, &)", "vpd-> ",
        "VPD_Client::clear_sprom(59)", "VPD_Client::sprom_size(59)",
        "Operation not allowed for this product type!", "kestrel_read(1, 0, &, 256)",
    };
    for (int row = 1; row < 16; ++row) {
        SCOPED_TRACE(row);
        std::string seen = promcfg({}, row == 15 ? "+15\n" : std::to_string(row) + "\n").out;
        for (const auto &line : take_trace())
            seen += line + "\n";
        for (int other = 1; other < 16; ++other)
            EXPECT_EQ(seen.find(marks[other]) != std::string::npos, other == row) << "sign of " << other;
    }
}

using ConsoleTest = SimTest;

TEST_F(ConsoleTest, AnswersAreCheckedForLengthThenForPrintableBytes)
{
    const std::string a23(23, 'A'), b10(10, 'B');
    const struct {
        std::string input, out;
        Lines writes;
    } cases[] = {
        {std::string(24, 'A') + "\n" + a23 + "\n" + b10 + "B\n" + b10 + "\n",
         kSerial + kSerial + kClei + kClei + kUpdated,
         {"swServSetChassisSN_bus(\"" + a23 + "\", 24, 0) = 0",
          "swServSetCLEI_bus(\"" + b10 + "\", 11, 0) = 0", "swServFlush() = 0"}},
        // Too long is refused before the bytes are looked at: no message. Tab,
        // DEL, CR and bytes above 0x7e are refused with it.
        {"\t" + a23 + "\nS\x7fN\n SN 1 \nCL\tEI\nCLEI\r\nC\xe9\n\n",
         kSerial + kSerial + kNonAscii + kSerial + kClei + kNonAscii + kClei + kNonAscii + kClei +
             kNonAscii + kClei + kUpdated,
         {"swServSetChassisSN_bus(\" SN 1 \", 7, 0) = 0", "swServFlush() = 0"}},
        // A 70-character line: 63 bytes are read and refused whole; the rest
        // is the next answer.
        {std::string(63, 'X') + "SN12345\n\n", kSerial + kSerial + kClei + kUpdated,
         {"swServSetChassisSN_bus(\"SN12345\", 8, 0) = 0", "swServFlush() = 0"}},
        {"\n\n", kSerial + kClei, {}},
        {"\nX\n", kSerial + kClei + kUpdated, {"swServSetCLEI_bus(\"X\", 2, 0) = 0", "swServFlush() = 0"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        auto r = promcfg({"-c"}, c.input);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(writes_in(take_trace()), c.writes);
    }
}

// Where standard error shares standard output (a terminal, 2>&1), the note
// starts a line of its own instead of finishing the open prompt's line.
TEST_F(ConsoleTest, EndOfInputNoteStartsItsOwnLineWhereErrorsShareTheOutput)
{
    std::string both = trace_path_ + ".both";
    pid_t pid = promtest::start_program("promcfg", {"-c"}, {{"PROMSIM_DIR", dir_}}, "", both, "&1");
    EXPECT_EQ(promtest::wait_program(pid), 0);
    EXPECT_EQ(promtest::read_file(both), promtest::prompt("Serial Number    (string max=23 chars)") +
                                             "\npromcfg: end of input: Set up chassis data not written\n");
}

TEST_F(ConsoleTest, EndOfInputInsideADialogueWritesNothingAndSaysSoOnStandardError)
{
    auto note = [](const std::string &row) { return "promcfg: end of input: " + row + " not written\n"; };
    const struct {
        std::string items;  // set before the run
        Lines args;
        std::string input, err;
    } cases[] = {
        {"", {"-s", "-D", "110"}, "001122334455\n0011223344556677\n",
         note("Set up system data (MAC, WWN, VWWN)")},
        {"", {"-b", "-D", "110"}, "15\nPC-1\nSN-1\n1\nSUB\n", note("Set up board data")},
        // The last answer of a script without a final newline loses its last
        // character; the next question meets the end.
        {"", {"-c", "-D", "110"}, "SN-1", note("Set up chassis data")},
        {"", {"-m"}, "1\n001122334455\n", note("Set up system data (MAC, WWN, VWWN)")},
        {"product-id=43 mac0=0a1b2c3d4e5f wwn=1000000533aabbcc chassis-sn=CH1", {"-m"}, "5\n7\n",
         note("Set up FC Switch Blade data")},
        {"product-id=38 mac0=0a1b2c3d4e5f chassis-sn=CH1", {"-m"}, "14\nA0\n", note("Set up Kestrel Blade VPD")},
        // The menu's own end, the display command line and the address
        // prompts (which answer in their own words) add nothing.
        {"", {"-m"}, "4\n", ""},
        {"product-id=43", {"-v"}, "0 8\n", ""},
        {"product-id=43", {"-m"}, "8\n10.0.0.1\n", ""},  // "Bad gateway address specified."
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.input);
        promsim({"reset"});
        set_items(c.items);
        clear_trace();
        auto r = promcfg(c.args, c.input, {{"PROMSIM_ASIC_MACS", "2"}});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.err);
        if (!c.err.empty()) {  // the menu is not shown again
            EXPECT_EQ(r.out.find(kMenu), r.out.rfind(kMenu));
        } else if (c.input[0] == '8') {
            EXPECT_NE(r.out.find("Enter gateway address: Bad gateway address specified.\n"), std::string::npos);
        }
        EXPECT_EQ(writes_in(take_trace()), Lines{});
    }
}

// Each answer is given only once its prompt has shown, as an operator at a
// terminal gives it: a prompt left in the tool's buffer while it waits for
// the answer stops the conversation.
TEST_F(ConsoleTest, EveryPromptShowsBeforeTheToolWaitsForItsAnswer)
{
    promsim({"set", "product-id", "35"});
    const std::string answers_path = dir_ + "/answers", shown_path = dir_ + "/shown";
    ASSERT_EQ(mkfifo(answers_path.c_str(), 0600), 0);
    signal(SIGPIPE, SIG_IGN);
    pid_t pid = promtest::start_program("promcfg", {}, {{"PROMSIM_DIR", dir_}}, answers_path, shown_path);
    int answers = open(answers_path.c_str(), O_WRONLY);
    ASSERT_GE(answers, 0);

    const std::string selection = "Selection (0-15): ";
    const std::pair<std::string, std::string> steps[] = {
        {selection, "1\n"},
        {promtest::prompt("Ethernet MAC     (12 hex digits, no spaces)"), "\n"},
        {promtest::prompt("Ethernet2 MAC     (12 hex digits, no spaces)"), "\n"},
        {promtest::prompt("Switch WWN       (16 hex digits, no spaces)"), "\n"},
        {promtest::prompt("Switch VWWN      (16 hex digits, no spaces)"), "\n"},
        {selection, "8\n"},
        {"Enter IP address: ", "10.0.0.1\n"},
        {"Enter gateway address: ", "10.0.0.254\n"},
        {"Enter netmask: ", "255.255.255.0\n"},
        {selection, "11\n"},
        {"vpd-> ", "0 8\n"},
        {"vpd-> ", ""},
    };
    std::size_t seen = 0;
    for (const auto &step : steps) {
        SCOPED_TRACE(step.first);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::size_t at;
        while ((at = promtest::read_file(shown_path).find(step.first, seen)) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_NE(at, std::string::npos) << promtest::read_file(shown_path).substr(seen);
        seen = at + step.first.size();
        ASSERT_EQ(write(answers, step.second.data(), step.second.size()),
                  static_cast<ssize_t>(step.second.size()));
    }
    close(answers);  // end of input at the display command line ends the run
    EXPECT_EQ(promtest::wait_program(pid), 0);
}

}  // namespace
