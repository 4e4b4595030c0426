// Kestrel set-up and print through the real promcfg on the emulated blade.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kSetupRow[] = "14\n";
constexpr char kPrintRow[] = "15\n";

// The action output of each menu selection, in order.
std::vector<std::string> action_outputs(const std::string &out)
{
    std::vector<std::string> actions;
    const std::string selection = "Selection (0-15): \n", list = "\t0.\tExit\n";
    for (std::size_t at = out.find(selection); at != std::string::npos; at = out.find(selection, at)) {
        at += selection.size();
        std::size_t end = out.find(list, at);
        if (end == std::string::npos)
            break;
        actions.push_back(out.substr(at, end - at - 1));
    }
    return actions;
}

int count_calls(const std::vector<std::string> &trace, const std::string &name)
{
    int calls = 0;
    for (const std::string &line : trace)
        calls += line.compare(0, name.size() + 1, name + "(") == 0;
    return calls;
}

class KestrelTest : public promtest::SimTest {
protected:
    void set_up_kestrel_switch(const std::string &chassis_sn)
    {
        promsim({"set", "product-id", "38"});
        promsim({"set", "mac0", "0a1b2c3d4e5f"});
        promsim({"set", "chassis-sn", chassis_sn});
    }
};

TEST_F(KestrelTest, SetupThenPrintShowsTheRecordAndServiceTag)
{
    set_up_kestrel_switch("SN0123456789ABCDEF0123456789ABCD");  // 32 characters
    promtest::RunResult r =
        promcfg({"-m"}, std::string(kSetupRow) + "A0\nKestrel Blade\nTAG1234\n0\n");
    ASSERT_EQ(action_outputs(r.out).size(), 1u);
    std::string prompts;
    for (const char *label : {"Hardware Rev (3 characters)", "Product name (Max. 30 characters)",
                              "Service tag  (7 characters)"}) {
        char prompt[80];
        snprintf(prompt, sizeof prompt, "[%-48s] ", label);
        prompts += prompt;
    }
    EXPECT_EQ(action_outputs(r.out)[0], prompts);

    // The record as the library got it: MAC, the serial number cut to 31
    // characters, then the answers, zero-filled; the revision is formatted
    // into a 3-character field.
    std::string record;
    for (const std::string &line : take_trace())
        if (line.rfind("kestrel_initialize_vpd(", 0) == 0)
            record = line.substr(line.find(", ") + 2, 284);
    auto hex = [](const std::string &text) {
        std::string out;
        char byte[3];
        for (unsigned char c : text) {
            snprintf(byte, sizeof byte, "%02x", c);
            out += byte;
        }
        return out;
    };
    std::string expected = "0a1b2c3d4e5f" + hex("SN0123456789ABCDEF0123456789ABC") + "00" +
                           hex(" A0") + std::string(10, '0') + hex("Kestrel Blade") +
                           std::string(2 * (64 - 13), '0') + hex("TAG1234") +
                           std::string(2 * (32 - 7), '0');
    EXPECT_EQ(record, expected);

    // A new process prints what the PROM now holds.
    r = promcfg({"-m"}, std::string(kPrintRow) + "0\n");
    std::string print = action_outputs(r.out).at(0);
    EXPECT_THAT(print, StartsWith("Reading data from PROM....\nSerial PROM data:\n\n0000-0007:"));
    EXPECT_THAT(print, HasSubstr("\n0008-000f:\t0a\t1b\t2c ,\t3d =\t4e N\t5f _\t53 S\t4e N\n"));
    EXPECT_THAT(print, HasSubstr("\n00f8-00ff:"));
    EXPECT_THAT(print, HasSubstr("\n\nService tag:\tTAG1234\nePPID:\t\t"));
}

TEST_F(KestrelTest, SetupRefusesOtherProductsAfterOpening)
{
    promsim({"set", "product-id", "43"});
    promtest::RunResult r = promcfg({"-m"}, std::string(kSetupRow) + "0\n");
    EXPECT_EQ(action_outputs(r.out).at(0), "Operation not allowed for this product type!\n");
    std::vector<std::string> trace = take_trace();
    EXPECT_EQ(count_calls(trace, "kestrel_open"), 1);
    EXPECT_EQ(count_calls(trace, "kestrel_initialize_vpd"), 0);

    promsim({"reset", "system"});
    r = promcfg({"-m"}, std::string(kSetupRow) + "0\n");
    EXPECT_EQ(action_outputs(r.out).at(0), "Error!  Unable read board data from system PROM!\n"
                                           "Board data must be initialized before VPD data!\n");
}

TEST_F(KestrelTest, MissingSystemDataStopsTheSetup)
{
    struct Case {
        const char *unset;
        const char *expected;
    };
    const Case cases[] = {
        {"mac0", "Error!  Unable read MAC address from system PROM!\n"
                 "System data must be initialized before VPD data!\n"},
        {"chassis-sn", "Error!  Unable read chassis SN from system PROM!\n"
                       "Chassis data must be initialized before VPD data!\n"},
    };
    for (const Case &c : cases) {
        set_up_kestrel_switch("CH1");
        promsim({"unset", c.unset});
        clear_trace();
        promtest::RunResult r = promcfg({"-m"}, std::string(kSetupRow) + "0\n");
        EXPECT_EQ(action_outputs(r.out).at(0), c.expected);
        EXPECT_EQ(count_calls(take_trace(), "kestrel_initialize_vpd"), 0);
    }
}

TEST_F(KestrelTest, UnopenableLibraryPrintsNothingAndIsTriedAgain)
{
    struct Case {
        const char *setup;  // promsim absent kestrel, or a fault rule
        promtest::EnvList env;
    };
    const Case cases[] = {
        {"absent", {}},
        {"", {{"PROMSIM_FAIL", "kestrel_open=0"}}},
        {"", {{"PROMSIM_FAIL", "kestrel_open=-19"}}},
    };
    for (const Case &c : cases) {
        promsim({"reset"});
        promsim({"present", "kestrel"});
        if (*c.setup)
            promsim({c.setup, "kestrel"});
        set_up_kestrel_switch("CH1");
        clear_trace();
        promtest::RunResult r =
            promcfg({"-m"}, std::string(kPrintRow) + kSetupRow + "0\n", c.env);
        EXPECT_EQ(action_outputs(r.out), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(count_calls(take_trace(), "kestrel_open"), 2);
    }
}

TEST_F(KestrelTest, PrintReportsFailuresInPlace)
{
    set_up_kestrel_switch("CH1");
    promtest::RunResult r = promcfg({"-m"}, std::string(kPrintRow) + kPrintRow + "0\n",
                                    {{"PROMSIM_FAIL", "kestrel_read#1=-5"}});
    std::vector<std::string> actions = action_outputs(r.out);
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0], "Reading data from PROM....\nError reading data from PROM!  rc=-5 (0xfffffffb)\n");
    // Before any set-up the PROM is blank and the texts cannot be read.
    EXPECT_THAT(actions[1], HasSubstr("\n0000-0007:\tff\tff\tff\tff\tff\tff\tff\tff\n"));
    EXPECT_THAT(actions[1], HasSubstr("\n\nService tag:\tUndefined (rc = "));
    EXPECT_THAT(actions[1], HasSubstr(")\nePPID:\t\tUndefined (rc = "));
    // One open serves the whole process.
    EXPECT_EQ(count_calls(take_trace(), "kestrel_open"), 1);
}

TEST_F(KestrelTest, FailedInitializationIsReported)
{
    set_up_kestrel_switch("CH1");
    promtest::RunResult r = promcfg({"-m"}, std::string(kSetupRow) + "\n\n\n0\n",
                                    {{"PROMSIM_FAIL", "kestrel_initialize_vpd=-5"}});
    EXPECT_THAT(action_outputs(r.out).at(0),
                HasSubstr("] Failure initializing VPD!  rc=-5 (0xfffffffb)\n"));
}

}  // namespace
