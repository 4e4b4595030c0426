// The command line: usage, -x words, -D, parse-time options and run order.
#include "sim_fixture.h"

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

const std::string kUnknownFoo = "Uknown chassis type: foo\n"
                                "\tValid values are: telco, bc1, bc2, bc10, ht, or bcs\n";

const std::string kNote = "Note: This option will be deprecated.  Use -x <arg>\n";

std::size_t count_of(const std::string &text, const std::string &needle)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        ++n;
    return n;
}

Lines calls_of(const Lines &trace, const std::string &name)
{
    Lines found;
    for (const auto &line : trace)
        if (line.compare(0, name.size() + 1, name + "(") == 0)
            found.push_back(line);
    return found;
}

class CommandLineTest : public SimTest {};

TEST_F(CommandLineTest, HelpAndBadOptionsPrintUsageWithStatus255AndRunNothing)
{
    const struct {
        Lines args;
        bool diagnostic;  // getopt's own, on standard error
    } cases[] = {
        {{"-h"}, false}, {{"-H"}, false}, {{"-s", "-h", "-i"}, false},
        {{"-k"}, true},  {{"-D"}, true},  {{"-x"}, true},  {{"-i", "-D110", "-Z"}, true},
    };
    for (const auto &c : cases) {
        auto r = promcfg(c.args, "001122334455\n");
        EXPECT_EQ(r.status, 255) << c.args.back();
        EXPECT_EQ(r.out, kUsage) << c.args.back();
        EXPECT_EQ(r.err.empty(), !c.diagnostic) << c.args.back();
        // The product ID is read before the options are looked at.
        EXPECT_EQ(take_trace(), Lines{"swServGetProductID(&) = -1"}) << c.args.back();
    }
}

TEST_F(CommandLineTest, ChassisWordsAreMatchedWithoutCaseAndSetTheirCode)
{
    promsim({"set", "product-id", "59"});
    const struct {
        Lines args;
        int notes;
        int value;
    } cases[] = {
        {{"-x", "telco"}, 0, 1}, {{"-x", "BC1"}, 0, 0},        {{"-xbce-r"}, 0, 6},
        {{"-x", "BCE-R"}, 0, 6}, {{"-x", "Bc2"}, 0, 3},        {{"-x", "bc10"}, 0, 7},
        {{"-x", "HT"}, 0, 2},    {{"-x", "bcs"}, 0, 4},        {{"-x", "ht", "-x", "bc2"}, 0, 3},
        // -x ends the run before the deprecated settings and -D.
        {{"-t", "-x", "telco"}, 1, 1},
        {{"-x", "bc1", "-D", "110", "-z"}, 1, 0},
        // Only the first of Telco, HT, Enterprise runs; each prints its note.
        {{"-e", "-z", "-t"}, 3, 1},
        {{"-e", "-z"}, 2, 2},
        {{"-e"}, 1, 0},
    };
    for (const auto &c : cases) {
        std::string joined;
        for (const auto &a : c.args)
            joined += a + " ";
        clear_trace();
        auto r = promcfg(c.args);
        EXPECT_EQ(r.status, 0) << joined;
        EXPECT_EQ(count_of(r.out, kNote), static_cast<std::size_t>(c.notes)) << joined;
        if (c.notes > 0) {
            EXPECT_EQ(r.out.find(kNote), 0u) << joined;  // printed while parsing
        }
        Lines trace = take_trace();
        EXPECT_EQ(calls_of(trace, "VPD_Client::set_chassis_type"),
                  Lines{"VPD_Client::set_chassis_type(" + std::to_string(c.value) + ") = 0"})
            << joined;
        EXPECT_TRUE(calls_of(trace, "swServDeleteTLV").empty()) << joined;
    }
}

TEST_F(CommandLineTest, UnknownChassisWordEndsWithStatus1BeforeAnyCollectedAction)
{
    promsim({"set", "product-id", "59"});
    const struct {
        Lines args;
        bool clears;
    } cases[] = {
        {{"-x", "foo"}, false},
        {{"-s", "-i", "-x", "foo", "-D", "110"}, false},
        {{"-q", "-x", "foo"}, true},
        {{"-x", "foo", "-q"}, false},
    };
    for (const auto &c : cases) {
        clear_trace();
        auto r = promcfg(c.args, "001122334455\n");
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.out, kUnknownFoo) << c.args[0];
        Lines trace = take_trace();
        EXPECT_EQ(calls_of(trace, "VPD_Client::clear_sprom").size(), c.clears ? 1u : 0u)
            << c.args[0];
        EXPECT_TRUE(calls_of(trace, "swServInitialize").empty());
        EXPECT_TRUE(calls_of(trace, "swServDeleteTLV").empty());
    }
    EXPECT_EQ(promcfg({"-x", "bce"}).status, 1);
}

TEST_F(CommandLineTest, DeleteTlvAcceptsOnlyListedIdsReadInHex)
{
    const struct {
        const char *arg;
        int id;  // the ID that reaches the library, -1 for none
        const char *message;
    } cases[] = {
        {"110", 0x110, "0x110"},      {"0x110", 0x110, "0x110"},   {"10110", 0x110, "0x110"},
        {"113", 0x113, "0x113"},      {"114", -1, "0x114"},        {"10f", -1, "0x10f"},
        {"122", -1, "0x122"},         {"137", 0x137, "0x137"},     {"138", -1, "0x138"},
        {"141", 0x141, "0x141"},      {"161", 0x161, "0x161"},     {"162", -1, "0x162"},
        {"50F", 0x50f, "0x50f"},      {"510", -1, "0x510"},        {"52f", 0x52f, "0x52f"},
        {"52e", -1, "0x52e"},         {"8010", 0x8010, "0x8010"},  {"8011", 0x8011, "0x8011"},
        {"8012", -1, "0x8012"},       {"zz", -1, "0x0"},
    };
    for (const auto &c : cases) {
        clear_trace();
        auto r = promcfg({"-D", c.arg});
        EXPECT_EQ(r.status, 0) << c.arg;
        Lines deletes = calls_of(take_trace(), "swServDeleteTLV");
        if (c.id < 0) {
            EXPECT_EQ(r.out, std::string("Unsupported TLV: ") + c.message + "\n") << c.arg;
            EXPECT_TRUE(deletes.empty()) << c.arg;
        } else {
            // A blank PROM holds no such record: the library's failure is shown.
            EXPECT_EQ(r.out, std::string("Error deleting TLV ") + c.message +
                                 ", rc = -1 errno = 2\n")
                << c.arg;
            EXPECT_EQ(deletes, Lines{"swServDeleteTLV(" + std::to_string(c.id) + ") = -1"})
                << c.arg;
        }
    }
}

TEST_F(CommandLineTest, LastDeleteOptionWins)
{
    promsim({"set", "mac1", "66778899aabb"});
    auto r = promcfg({"-D", "110", "-D111"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "TLV 0x111 deleted\n");
    EXPECT_EQ(calls_of(take_trace(), "swServDeleteTLV"), Lines{"swServDeleteTLV(273) = 0"});
}

TEST_F(CommandLineTest, CollectedActionsRunInFixedOrderWhateverTheOptionOrder)
{
    // Empty answers everywhere; the board run stops at the ASIC MAC count of
    // product 0, which is harmless here.
    auto r = promcfg({"-D", "110", "-c", "-b", "-s", "-r", "-i"}, std::string(20, '\n'));
    EXPECT_EQ(r.status, 0);
    const char *marks[] = {"Sprom data initialized\n",
                           "Performing raw initialization of bus 0 ...\nSprom data initialized\n",
                           "[Ethernet MAC ", "Valid Product IDs:", "[Serial Number ",
                           "Error deleting TLV 0x110, rc = -1 errno = 2\n"};
    std::size_t at = 0;
    for (const char *mark : marks) {
        std::size_t found = r.out.find(mark, at);
        ASSERT_NE(found, std::string::npos) << mark << "\n" << r.out;
        at = found + 1;
    }
    EXPECT_EQ(r.out.find("Selection"), std::string::npos);
    Lines trace = take_trace();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0], "swServGetProductID(&) = -1");
    EXPECT_EQ(trace[1], "swServInitialize(0) = 0");
    EXPECT_EQ(trace[2], "swServInitializeRaw(0) = 0");
}

TEST_F(CommandLineTest, FailedInitializationEndsTheRunWithStatus0)
{
    const struct {
        Lines args;
        const char *rule;
        std::string out;
    } cases[] = {
        {{"-s", "-i", "-D", "110"}, "swServInitialize=-1/5",
         "Error initializing sprom, rc = -1 errno = 5\n"},
        {{"-c", "-r", "-i"}, "swServInitializeRaw=-3/7",
         "Sprom data initialized\nPerforming raw initialization of bus 0 ...\n"
         "Error initializing sprom, rc = -3 errno = 7\n"},
    };
    for (const auto &c : cases) {
        auto r = promcfg(c.args, "001122334455\n\n\n\n", {{"PROMSIM_FAIL", c.rule}});
        EXPECT_EQ(r.status, 0) << c.rule;
        EXPECT_EQ(r.out, c.out) << c.rule;  // no prompt, no deletion message
    }
}

TEST_F(CommandLineTest, PrintOptionsEndWhileParsingWithVpdChosenByTheStartUpProductId)
{
    promsim({"set", "product-id", "15"});
    const std::string display = promcfg({"-P"}).out;
    ASSERT_NE(display.find("15 (Arlen)"), std::string::npos);
    clear_trace();
    for (const Lines &args : {Lines{"-s", "-P", "-i"}, Lines{"-p", "-b"}, Lines{"-D110", "-p"}}) {
        auto r = promcfg(args, "001122334455\n");
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.out, display) << args[0];  // product 15 has no blade VPD
        for (const auto &line : take_trace())
            EXPECT_EQ(line.rfind("swServGet", 0), 0u) << args[0] << ": " << line;
    }

    promsim({"set", "product-id", "59"});
    auto blade = promcfg({"-p"});
    EXPECT_NE(calls_of(take_trace(), "VPD_Client::read").size(), 0u);
    // A failed start-up read is silent and means product 0: no VPD, although
    // the display itself reads product 59 afresh.
    auto quiet = promcfg({"-p"}, "", {{"PROMSIM_FAIL", "swServGetProductID#1=-1"}});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_NE(quiet.out.find("59 (Pellan)"), std::string::npos);
    EXPECT_TRUE(calls_of(take_trace(), "VPD_Client::VPD_Client").empty());
    EXPECT_EQ(blade.out.compare(0, quiet.out.size(), quiet.out), 0);
    EXPECT_GT(blade.out.size(), quiet.out.size());
}

TEST_F(CommandLineTest, MenuOptionIgnoresChassisTypeAndQueuedActionsAfterIt)
{
    promsim({"set", "product-id", "59"});
    auto r = promcfg({"-x", "ht", "-D", "110", "-m"}, "0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Selection (0-15): "), std::string::npos);
    Lines trace = take_trace();
    EXPECT_TRUE(calls_of(trace, "VPD_Client::set_chassis_type").empty());
    EXPECT_TRUE(calls_of(trace, "swServDeleteTLV").empty());

    // -q collects nothing, so the menu opens after the clearing.
    auto q = promcfg({"-q"}, "0\n");
    EXPECT_NE(q.out.find("Selection (0-15): "), std::string::npos);
    EXPECT_EQ(calls_of(take_trace(), "VPD_Client::clear_sprom"),
              Lines{"VPD_Client::clear_sprom(59) = 0"});
}

}  // namespace
