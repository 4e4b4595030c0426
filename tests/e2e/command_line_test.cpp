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

TEST_F(CommandLineTest, HelpAndBadOptionsPrintUsageWithStatus255AndRunNothing)
{
    // Bad options also get getopt's own diagnostic on standard error.
    for (const Lines &args : {Lines{"-h"}, Lines{"-H"}, Lines{"-s", "-h", "-i"}, Lines{"-k"},
                              Lines{"-x"}, Lines{"-i", "-D110", "-Z"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        auto r = promcfg(args, "001122334455\n");
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.out, kUsage);
        EXPECT_EQ(r.err.empty(), count_in(args, "-h") + count_in(args, "-H") > 0);
        // The product ID is read before the options are looked at.
        EXPECT_EQ(take_trace(), Lines{"swServGetProductID(&) = -1"});
    }
}

TEST_F(CommandLineTest, ChassisWordsAreMatchedWithoutCaseAndSetTheirCode)
{
    promsim({"set", "product-id", "59"});
    const std::string n = "Note: This option will be deprecated.  Use -x <arg>\n";
    const struct {
        Lines args;
        int value;
        std::string notes;  // printed while parsing
    } cases[] = {
        {{"-x", "telco"}, 1, ""}, {{"-x", "BC1"}, 0, ""}, {{"-xbce-r"}, 6, ""}, {{"-x", "Bc2"}, 3, ""},
        {{"-x", "bc10"}, 7, ""}, {{"-x", "HT"}, 2, ""}, {{"-x", "bcs"}, 4, ""},
        {{"-x", "ht", "-x", "bc2"}, 3, ""},
        // -x ends the run before the deprecated settings and -D.
        {{"-t", "-x", "telco"}, 1, n}, {{"-x", "bc1", "-D", "110", "-z"}, 0, n},
        // Only the first of Telco, HT, Enterprise runs; each prints its note.
        {{"-e", "-z", "-t"}, 1, n + n + n}, {{"-e", "-z"}, 2, n + n}, {{"-e"}, 0, n},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        auto r = promcfg(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.find(c.notes + "Current chassis type is "), 0u);
        EXPECT_EQ(r.out.rfind("....Done.\n\n") + 11, r.out.size());  // and nothing after it
        const std::string set = "VPD_Client::set_chassis_type(" + std::to_string(c.value) + ") = 0";
        EXPECT_EQ(count_in(take_trace(), set), 1u);
    }
}

TEST_F(CommandLineTest, UnknownChassisWordEndsWithStatus1BeforeAnyCollectedAction)
{
    promsim({"set", "product-id", "59"});
    // -q acts while parsing, so it clears only when it comes before the -x.
    for (const Lines &args : {Lines{"-x", "foo"}, Lines{"-s", "-i", "-x", "foo", "-D", "110"},
                              Lines{"-q", "-x", "foo"}, Lines{"-x", "foo", "-q"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        auto r = promcfg(args, "001122334455\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "Uknown chassis type: foo\n"
                         "\tValid values are: telco, bc1, bc2, bc10, ht, or bcs\n");
        EXPECT_EQ(count_in(take_trace(), "VPD_Client::clear_sprom(59) = 0"), args[0] == "-q" ? 1u : 0u);
    }
    EXPECT_EQ(promcfg({"-x", "bce"}).status, 1);
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

TEST_F(CommandLineTest, CollectedActionsRunInFixedOrderAndAFailedInitializationEndsThem)
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

    // Status 0, and no prompt or deletion message after the failure.
    auto i = promcfg({"-s", "-i", "-D", "110"}, "001122334455\n",
                     {{"PROMSIM_FAIL", "swServInitialize=-1/5"}});
    EXPECT_EQ(i.status, 0);
    EXPECT_EQ(i.out, "Error initializing sprom, rc = -1 errno = 5\n");
    auto raw = promcfg({"-c", "-r", "-i"}, "SN\n", {{"PROMSIM_FAIL", "swServInitializeRaw=-3/7"}});
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(raw.out, "Sprom data initialized\nPerforming raw initialization of bus 0 ...\n"
                       "Error initializing sprom, rc = -3 errno = 7\n");
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
