// Kestrel set-up and print through the real promcfg on the emulated blade.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using promtest::count_calls;
using promtest::hex;
using promtest::prompt;

constexpr char kSetup[] = "14\n";
constexpr char kPrint[] = "15\n";
const std::string kSwitch = "product-id=38 mac0=0a1b2c3d4e5f chassis-sn=";  // then the chassis SN

using KestrelTest = promtest::SimTest;

TEST_F(KestrelTest, SetupThenPrintShowsTheRecordAndServiceTag)
{
    const std::string revision = prompt("Hardware Rev (3 characters)"),
                      name = prompt("Product name (Max. 30 characters)"),
                      tag = prompt("Service tag  (7 characters)");
    // The record: MAC, the serial number cut to 31 characters, the revision
    // formatted into 3 characters, name and tag; every other byte zero.
    const std::string sn31 = "SN0123456789ABCDEF0123456789ABC";
    struct Case {
        std::string chassis_sn;
        std::string answers;
        std::string revision, name, tag;  // the fields' bytes, before their zero fill
        bool name_asked_again = false;    // after an answer of 31 characters
    };
    const Case cases[] = {
        {sn31 + "D", "A0\nKestrel Blade\nTAG1234\n", hex(" A0"), hex("Kestrel Blade"), hex("TAG1234")},
        {sn31 + "D", "\n\n\n", "", "", ""},  // empty answers leave their fields all zero
        {"C", "1\n" + std::string(31, 'M') + "\n" + std::string(30, 'N') + "\n\n", hex("  1"),
         hex(std::string(30, 'N')), "", true},
        {"", "Rev\n\nT1\n", hex("Rev"), "", hex("T1")},  // an empty serial number is one
    };
    auto zeros = [](const std::string &field, std::size_t size) {
        return field + std::string(2 * size - field.size(), '0');
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answers);
        set_items(kSwitch + c.chassis_sn);
        EXPECT_EQ(menu(std::string(kSetup) + c.answers),
                  std::vector<std::string>{revision + name + (c.name_asked_again ? name : "") + tag});
        EXPECT_EQ(promtest::call_arguments(take_trace(), "kestrel_initialize_vpd"),
                  "1, 0a1b2c3d4e5f" + zeros(hex(c.chassis_sn.substr(0, 31)), 32) +
                      zeros(c.revision, 8) + zeros(c.name, 64) + zeros(c.tag, 32));
    }

    // A new process prints what the PROM now holds.
    std::string print = menu(kPrint).at(0);
    EXPECT_THAT(print, StartsWith("Reading data from PROM....\nSerial PROM data:\n\n0000-0007:"));
    EXPECT_THAT(print, HasSubstr("\n0008-000f:\t0a\t1b\t2c ,\t3d =\t4e N\t5f _\t00\t00\n"));
    EXPECT_THAT(print, HasSubstr("\n00f8-00ff:"));
    EXPECT_THAT(print, HasSubstr("\n\nService tag:\tT1\nePPID:\t\t"));
}

TEST_F(KestrelTest, UnopenableLibraryPrintsNothingAndIsTriedAgain)
{
    const std::pair<const char *, promtest::EnvList> cases[] = {  // the library's state, its failure
        {"absent", {}},
        {"present", {{"PROMSIM_FAIL", "kestrel_open=0"}}},
        {"present", {{"PROMSIM_FAIL", "kestrel_open=-19"}}},
    };
    set_items(kSwitch + "CH1");
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.second));
        promsim({c.first, "kestrel"});
        clear_trace();
        EXPECT_EQ(menu(std::string(kPrint) + kSetup, c.second), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(count_calls(take_trace(), "kestrel_open"), 2);
    }
}

TEST_F(KestrelTest, FailuresAreReportedInPlace)
{
    set_items(kSwitch + "CH1");
    std::vector<std::string> actions =
        menu(std::string(kPrint) + kPrint + kPrint + kSetup + "\n\n\n",
             {{"PROMSIM_FAIL", "kestrel_read#1=-5,kestrel_read#2=0,kestrel_initialize_vpd=-5"}});
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0], "Reading data from PROM....\nError reading data from PROM!  rc=-5 (0xfffffffb)\n");
    // A read that succeeds with nothing read shows the zero-filled buffer.
    EXPECT_THAT(actions[1], HasSubstr("\n0000-0007:\t00\t00\t00\t00\t00\t00\t00\t00\n"));
    // Before any set-up the PROM is blank and neither text can be read.
    EXPECT_THAT(actions[2], HasSubstr("\n0000-0007:\tff\tff\tff\tff\tff\tff\tff\tff\n"));
    EXPECT_THAT(actions[2], HasSubstr("\n\nService tag:\tUndefined (rc = -61)\nePPID:\t\tUndefined (rc = -61)\n"));
    EXPECT_THAT(actions[3], HasSubstr("] Failure initializing VPD!  rc=-5 (0xfffffffb)\n"));
    EXPECT_EQ(count_calls(take_trace(), "kestrel_open"), 1);  // one open serves the process
}

}  // namespace
