// The command line: usage, -x words, -D, parse-time options and run order.
#include "sim_fixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using promtest::SimTest;
using Lines = std::vector<std::string>;

const std::string kProgram = std::string(PROMCFG_BIN_DIR) + "/promcfg";

const std::string kUsage = "Usage:\n"
                           "\t" + kProgram + " [-ibhHpmscx]\n"
                           "\t-i\t Initialize all data\n"
                           "\t-r\t Initialize all data (raw)\n"
                           "\t-s\t Set system data (MAC/WWN/VWWN)\n"
                           "\t-b\t Set board data\n"
                           "\t-c\t Set chassis data\n"
                           "\t-p\t Print all data\n"
                           "\t-P\t Print all data except VPD\n"
                           "\t-x <arg>\tSet Quillon chassis type.\n"
                           "\t\tWhere arg can be: telco, bc1, bc2, bc10, ht, or bcs\n"
                           "\t-m\t Main configuration menu\n";

std::size_t count_in(const Lines &lines, const std::string &line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

using CommandLineTest = SimTest;

TEST_F(CommandLineTest, HelpBadOptionsAndUnknownChassisWordsEndTheRunBeforeAnyCollectedAction)
{
    promsim({"set", "product-id", "59"});
    auto unknown = [](const std::string &word) {
        return "Uknown chassis type: " + word + "\n\tValid values are: telco, bc1, bc2, bc10, ht, or bcs\n";
    };
    // -q acts while parsing, so it clears only when it comes before the -x.
    const Lines cleared = {"swServGetProductID(&) = 0", "VPD_Client::VPD_Client() = 0",
                           "VPD_Client::clear_sprom(59) = 0", promtest::kClosed, "VPD_Client::release_bus() = 0"};
    const struct {
        Lines args;
        int status;
        std::string out;
        bool diagnostic = false;  // getopt's own, on standard error
        Lines calls = {};         // after the product ID, read before the options are looked at
    } cases[] = {
        {{"-h"}, 255, kUsage}, {{"-H"}, 255, kUsage}, {{"-s", "-h", "-i"}, 255, kUsage}, {{"-k"}, 255, kUsage, true},
        {{"-x"}, 255, kUsage, true}, {{"-i", "-D110", "-Z"}, 255, kUsage, true},
        {{"-x", "foo"}, 1, unknown("foo")}, {{"-s", "-i", "-x", "foo", "-D", "110"}, 1, unknown("foo")},
        {{"-x", "foo", "-q"}, 1, unknown("foo")}, {{"-x", "bce"}, 1, unknown("bce")},
        {{"-q", "-x", "foo"}, 1, unknown("foo"), false, cleared},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        auto r = promcfg(c.args, "001122334455\n");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(!r.err.empty(), c.diagnostic);
        Lines calls = {"swServGetProductID(&) = 0"};
        calls.insert(calls.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(take_trace(), calls);
    }
}

TEST_F(CommandLineTest, ChassisWordsAreMatchedWithoutCaseAndSetTheirCodeAfterNamingTheCurrentOne)
{
    promsim({"set", "product-id", "59"});
    const std::string n = "Note: This option will be deprecated.  Use -x <arg>\n";
    // In order: each row's current type is the one the row before set.
    const struct {
        Lines args;
        std::string current, code, notes;  // code as printed; notes printed while parsing
    } cases[] = {
        {{"-x", "telco"}, "Unknown", "0x1", ""}, {{"-x", "BC1"}, "'Telco'", "0", ""},
        {{"-xbce-r"}, "'Enterprise'", "0x6", ""}, {{"-x", "Bc2"}, "'BCE-R'", "0x3", ""},
        {{"-x", "bc10"}, "'BCH'", "0x7", ""}, {{"-x", "HT"}, "'BCH Pass 10'", "0x2", ""},
        {{"-x", "bcs"}, "'HT'", "0x4", ""}, {{"-x", "ht", "-x", "bc2"}, "'BCS'", "0x3", ""},
        // -x ends the run before the deprecated settings and -D.
        {{"-t", "-x", "telco"}, "'BCH'", "0x1", n}, {{"-x", "bc1", "-D", "110", "-z"}, "'Telco'", "0", n},
        // Only the first of Telco, HT, Enterprise runs; each prints its note.
        {{"-e", "-z", "-t"}, "'Enterprise'", "0x1", n + n + n}, {{"-e"}, "'Telco'", "0", n},
        {{"-e", "-z"}, "'Enterprise'", "0x2", n + n},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        auto r = promcfg(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.notes + "Current chassis type is " + c.current + "\nSetting chassis type to " + c.code +
                             "....Done.\n\n");
        const std::string set = "VPD_Client::set_chassis_type(" + std::to_string(std::stoi(c.code, nullptr, 16));
        EXPECT_EQ(count_in(take_trace(), set + ") = 0"), 1u);
    }
    // The menu's row 7 prints the type last set (0 is a type too).
    EXPECT_EQ(menu("7\n"), Lines{"Chassis type = 0x2\n"});
    promcfg({"-x", "bc1"});
    EXPECT_EQ(menu("7\n"), Lines{"Chassis type = 0\n"});
}

TEST_F(CommandLineTest, DeleteTlvAcceptsOnlyListedIdsReadInHexAndTheLastOneWins)
{
    const struct {
        const char *arg;
        bool listed;
        std::string shown;  // the ID as read; 0 when the argument is no number
    } cases[] = {
        {"0x110", true, "0x110"}, {"10110", true, "0x110"}, {"10f", false, "0x10f"}, {"113", true, "0x113"},
        {"114", false, "0x114"}, {"122", false, "0x122"}, {"52F", true, "0x52f"}, {"52e", false, "0x52e"},
        {"8011", true, "0x8011"}, {"8012", false, "0x8012"}, {"zz", false, "0x0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arg);
        auto r = promcfg({"-D", c.arg});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(promtest::call_arguments(take_trace(), "swServDeleteTLV"),
                  c.listed ? std::to_string(std::stoi(c.shown, nullptr, 16)) : "<not called>");
        // A blank PROM holds no such record: the library's failure is shown.
        EXPECT_EQ(r.out, c.listed ? "Error deleting TLV " + c.shown + ", rc = -1 errno = 2\n"
                                  : "Unsupported TLV: " + c.shown + "\n");
    }

    promsim({"set", "mac1", "66778899aabb"});
    EXPECT_EQ(promcfg({"-D", "110", "-D111"}).out, "TLV 0x111 deleted\n");
    EXPECT_EQ(take_trace(), (Lines{"swServGetProductID(&) = -1", "swServDeleteTLV(273) = 0"}));
}

TEST_F(CommandLineTest, CollectedActionsRunInFixedOrder)
{
    // Empty answers everywhere; the board run stops at the ASIC MAC count of
    // product 0, which is harmless here. No menu either.
    auto r = promcfg({"-D", "110", "-c", "-b", "-s", "-r", "-i"}, std::string(20, '\n'));
    EXPECT_EQ(r.status, 0);
    std::size_t at = 0;
    for (const char *mark : {"Sprom data initialized\nPerforming raw initialization of bus 0 ...\n"
                             "Sprom data initialized\n[Ethernet MAC ",
                             "Valid Product IDs:", "[Serial Number ",
                             "Error deleting TLV 0x110, rc = -1 errno = 2\n"}) {
        at = r.out.find(mark, at);
        ASSERT_NE(at, std::string::npos) << mark << "\n" << r.out;
    }
    EXPECT_EQ(r.out.find("Selection"), std::string::npos);
}

TEST_F(CommandLineTest, PrintOptionsEndWhileParsingWithVpdChosenByTheStartUpProductId)
{
    promsim({"set", "product-id", "15"});
    const std::string display = promcfg({"-P"}).out;
    ASSERT_NE(display.find("15 (Arlen)"), std::string::npos);
    for (const Lines &args : {Lines{"-s", "-P", "-i"}, Lines{"-D110", "-p"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        auto r = promcfg(args, "001122334455\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, display);  // product 15 has no blade VPD
    }

    // A failed start-up read is silent and means product 0: no VPD, although
    // the display itself reads product 59 afresh.
    promsim({"set", "product-id", "59"});
    auto blade = promcfg({"-p"});
    auto quiet = promcfg({"-p"}, "", {{"PROMSIM_FAIL", "swServGetProductID#1=-1"}});
    EXPECT_NE(quiet.out.find("59 (Pellan)"), std::string::npos);
    EXPECT_EQ(blade.out.compare(0, quiet.out.size(), quiet.out), 0);
    EXPECT_GT(blade.out.size(), quiet.out.size());
}

TEST_F(CommandLineTest, MenuOptionIgnoresChassisTypeAndQueuedActions)
{
    promsim({"set", "product-id", "59"});
    auto r = promcfg({"-x", "ht", "-D", "110", "-m"}, "0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Selection (0-15): "), std::string::npos);
    EXPECT_EQ(take_trace(), Lines{"swServGetProductID(&) = 0"});
    // -q collects nothing, so the menu opens after the clearing.
    EXPECT_NE(promcfg({"-q"}, "0\n").out.find("Selection (0-15): "), std::string::npos);
    EXPECT_EQ(count_in(take_trace(), "VPD_Client::clear_sprom(59) = 0"), 1u);
}

TEST_F(CommandLineTest, AFailedWriteToStandardOutputIsToldOnStandardErrorAtEveryEnd)
{
    const std::string full = "promcfg: write error: No space left on device\n";
    const std::string eof = "promcfg: end of input: Set up system data (MAC, WWN, VWWN) not written\n";
    const struct {
        Lines args;
        std::string input, err;
        int status;  // 0 becomes 1; 255 and 1 stay
    } cases[] = {
        {{"-P"}, "", full, 1},
        {{"-p"}, "", full, 1},
        {{"-h"}, "", full, 255},
        {{"-x", "foo"}, "", full, 1},
        {{"-D", "110"}, "", full, 1},                    // end of the run
        {{"-s"}, "\n\n\n\n", full, 1},
        {{"-m"}, "0\n", full, 1},                        // the menu's Exit row
        {{"-m"}, "", full, 1},                            // end of input at the menu
        {{"-s"}, "001122334455\n", eof + full, 1},       // end of input in a dialogue
        {{"-i"}, "", full, 1},
    };
    const std::string in = trace_path_ + ".in", err = trace_path_ + ".err";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.input);
        FILE *input = fopen(in.c_str(), "w");
        fputs(c.input.c_str(), input);
        fclose(input);
        EXPECT_EQ(promtest::wait_program(promtest::start_program(
                      "promcfg", c.args, {{"PROMSIM_DIR", dir_}}, in, "/dev/full", err)),
                  c.status);
        EXPECT_EQ(promtest::read_file(err), c.err);
    }

    // A reader that goes away ends the run as a closed pipe does, silently.
    promsim({"set", "product-id", "59"});
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    pid_t pid = promtest::start_program("promcfg", {"-p"}, {{"PROMSIM_DIR", dir_}}, "",
                                        "/proc/self/fd/" + std::to_string(fds[1]), err);
    close(fds[1]);
    char head[10];
    EXPECT_EQ(read(fds[0], head, sizeof head), static_cast<ssize_t>(sizeof head));
    close(fds[0]);
    EXPECT_NE(promtest::wait_program(pid), 0);
    EXPECT_EQ(promtest::read_file(err), "");
}

}  // namespace
