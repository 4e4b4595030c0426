// The emulated system PROM seen from outside: promsim and promcfg in
// separate processes on one emulated-hardware folder, checked through exit
// statuses, outputs, the image bytes and the call trace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using promtest::EnvList;
using promtest::RunResult;
using Lines = std::vector<std::string>;

class EmulatedSystemProm : public promtest::SimTest {
protected:
    std::string get(const std::string &item) { return promsim({"get", item}); }
};

TEST_F(EmulatedSystemProm, WhatOneProcessWritesTheNextReadsAndDeletes)
{
    struct Case {
        const char *item, *value, *shown;
    } cases[] = {
        {"mac0", "0A1B2C3D4E5F", "0a1b2c3d4e5f"},  {"mac1", "00:11:22:33:44:55", "001122334455"},
        {"wwn", "1000000533aabbcc", "1000000533aabbcc"}, {"product-subtype", "-1", "-1"},
        {"subassy-count", "4294967295", "4294967295"},   {"chassis-sn", "CH\"SN", "CH\"SN"},
        {"subassy7", "S7", "S7"},                   {"asic-mac47", "a1a2a3a4a5a6", "a1a2a3a4a5a6"},
    };
    for (const Case &c : cases)
        promsim({"set", c.item, c.value});
    for (const Case &c : cases)
        EXPECT_EQ(get(c.item), std::string(c.shown) + "\n") << c.item;
    EXPECT_THAT(promsim({"list"}), HasSubstr("subassy7         \"S7\"\n"));
    std::string tlvs = promsim({"tlvs"});
    EXPECT_THAT(tlvs, HasSubstr("8 records"));
    EXPECT_THAT(tlvs, HasSubstr("0x052f  asic-mac47           6  a1a2a3a4a5a6\n"));

    promsim({"unset", "mac1"});
    promsim({"unset", "mac1"});  // nothing left to remove is no error
    EXPECT_EQ(promsim_result({"get", "mac1"}).status, 1);
    EXPECT_EQ(promcfg({"-D", "110"}).out, "TLV 0x110 deleted\n");
    EXPECT_EQ(promcfg({"-D", "110"}).out, "Error deleting TLV 0x110, rc = -1 errno = 2\n");
    EXPECT_THAT(take_trace(), ::testing::ElementsAre("swServGetProductID(&) = -1",
                                                     "swServDeleteTLV(272) = 0",
                                                     "swServGetProductID(&) = -1",
                                                     "swServDeleteTLV(272) = -1"));
    EXPECT_THAT(promsim({"tlvs"}), HasSubstr("6 records"));
}

// The chassis SN is set but a failed CLEI write ends the run before the
// flush: the next process must not see it.
TEST_F(EmulatedSystemProm, WritesReachTheStoreOnlyThroughAFlush)
{
    promcfg({"-c"}, "SN-1\nCLEI1\n", {{"PROMSIM_FAIL", "swServSetCLEI_bus=-1"}});
    EXPECT_EQ(promtest::call_arguments(take_trace(), "swServSetChassisSN_bus"), "\"SN-1\", 5, 0");
    EXPECT_EQ(promsim_result({"get", "chassis-sn"}).status, 1);
    promcfg({"-c"}, "SN-2\nCLEI2\n");
    EXPECT_EQ(get("chassis-sn"), "SN-2\n");
}

TEST_F(EmulatedSystemProm, DamagedImageIsNeverTrustedNorOverwritten)
{
    promsim({"set", "product-code", "PC"});
    promsim({"poke", "system", "0x10", "7f"});  // a byte of the text
    std::string damaged = promsim({"dump", "system"});

    EXPECT_EQ(promsim_result({"get", "product-code"}).status, 1);
    EXPECT_THAT(promsim_result({"tlvs"}).out, HasSubstr("damaged: checksum mismatch"));
    EXPECT_EQ(promsim_result({"set", "clei", "X"}).status, 1);
    clear_trace();
    EXPECT_THAT(promcfg({"-c"}, "SN\n\n").out,
                HasSubstr("Error writing chassis SN, rc = -1 errno = 74\n"));
    EXPECT_THAT(promcfg({"-P"}).out, HasSubstr("Product code                : Undefined\n"));
    for (const std::string &line : take_trace())
        EXPECT_THAT(line, HasSubstr(") = -1")) << "a call on a damaged image succeeded";
    EXPECT_EQ(promsim({"dump", "system"}), damaged);
}

TEST_F(EmulatedSystemProm, BothInitializationsReplaceADamagedImageWithAnEmptyStore)
{
    for (const char *option : {"-i", "-r"}) {
        promsim({"set", "clei", "CLEI"});
        promsim({"poke", "system", "0x10", "00"});
        promsim({"poke", "system", "8000", "00112233"});
        clear_trace();
        ASSERT_EQ(promcfg({option}).status, 0) << option;
        EXPECT_EQ(take_trace().back(), option == std::string("-i") ? "swServInitialize(0) = 0"
                                                                   : "swServInitializeRaw(0) = 0");
        EXPECT_THAT(promsim({"tlvs"}), HasSubstr("0 records")) << option;
        EXPECT_EQ(promsim({"dump", "system", "8000", "4"}),
                  "001f40  ff ff ff ff" + std::string(36, ' ') + "  |....|\n") << option;
    }
}

TEST_F(EmulatedSystemProm, KilledCommitsLeaveTheOldOrTheNewImage)
{
    std::string known;  // board-sn as last committed; "" before the first
    for (int round = 0; round < 30; ++round) {
        std::string attempt(20 + round * 7, static_cast<char>('a' + round % 26));
        pid_t pid = start_promsim({"set", "board-sn", attempt});
        usleep(static_cast<useconds_t>(round * 200));
        kill(pid, SIGKILL);
        promtest::wait_program(pid);

        RunResult now = promsim_result({"get", "board-sn"});
        ASSERT_TRUE(now.status == 0 || now.err.find("no record") != std::string::npos)
            << "round " << round << ": " << now.err;
        std::string value = now.status == 0 ? now.out.substr(0, now.out.size() - 1) : "";
        ASSERT_TRUE(value == known || value == attempt) << "round " << round << ": " << now.err;
        known = value;
    }
}

TEST_F(EmulatedSystemProm, ConcurrentWritersOfDifferentItemsKeepThemAll)
{
    const Lines items = {"subassy0", "subassy1", "subassy2", "subassy3", "subassy4", "subassy5",
                         "subassy6", "subassy7", "product-code", "board-sn", "chassis-sn", "clei"};
    for (const char *round : {"-1", "-2"}) {
        std::vector<pid_t> writers;
        for (const std::string &item : items)
            writers.push_back(start_promsim({"set", item, item + round}));
        for (pid_t pid : writers)
            EXPECT_EQ(promtest::wait_program(pid), 0);
        for (const std::string &item : items)
            EXPECT_EQ(get(item), item + round + "\n");
    }
}

// Bad hooks stop promcfg and promsim alike; bad promsim arguments too.
TEST_F(EmulatedSystemProm, MalformedHooksAndArgumentsEndWithStatus2AndOneLine)
{
    const struct {
        EnvList env;
        Lines promsim_args;
    } cases[] = {
        {{{"PROMSIM_FAIL", "swServGetMAC"}}, {"list"}},
        {{{"PROMSIM_FAIL", "swServGetMAC#0=-1"}}, {"list"}},
        {{{"PROMSIM_FAIL", "swServGetMAC=-1/x"}}, {"list"}},
        {{{"PROMSIM_ASIC_MACS", "many"}}, {"list"}},
        {{}, {"set", "mac0", "0011223344"}},
        {{}, {"set", "subassy8", "X"}},
        {{}, {"poke", "system", "8191", "0011"}},
    };
    for (const auto &c : cases) {
        std::vector<RunResult> runs = {promsim_result(c.promsim_args, c.env)};
        if (!c.env.empty())
            runs.push_back(promcfg({"-P"}, "", c.env));
        for (const RunResult &run : runs) {
            EXPECT_EQ(run.status, 2) << c.promsim_args[0];
            EXPECT_EQ(run.out, "") << c.promsim_args[0];
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
        EXPECT_TRUE(take_trace().empty());
    }
    EXPECT_EQ(promsim({"tlvs"}), "system PROM erased: no records\n");
}

}  // namespace
