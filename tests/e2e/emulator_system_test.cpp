// The emulated system PROM seen from outside: promsim and promcfg in
// separate processes on one emulated-hardware folder, checked through exit
// statuses, outputs, the image bytes and the call trace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using promtest::EnvList;
using promtest::RunResult;
using promtest::SimTest;
using Lines = std::vector<std::string>;

int line_count(const std::string &text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

class EmulatedSystemProm : public SimTest {
protected:
    std::string get(const std::string &item) { return promsim({"get", item}); }
};

TEST_F(EmulatedSystemProm, WhatPromsimSetsTheNextRunReads)
{
    struct Case {
        const char *item, *value, *shown;
    } cases[] = {
        {"mac0", "0A1B2C3D4E5F", "0a1b2c3d4e5f"},  {"mac1", "00:11:22:33:44:55", "001122334455"},
        {"wwn", "1000000533aabbcc", "1000000533aabbcc"}, {"vwwn", "2000000533aabbcc", "2000000533aabbcc"},
        {"product-id", "59", "59"},                 {"product-subtype", "-1", "-1"},
        {"port-count", "20", "20"},                 {"subassy-count", "4294967295", "4294967295"},
        {"product-code", "PC 1", "PC 1"},           {"board-sn", "", ""},
        {"subassy7", "S7", "S7"},                   {"asic-mac47", "a1a2a3a4a5a6", "a1a2a3a4a5a6"},
        {"chassis-sn", "CH\"SN", "CH\"SN"},         {"clei", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    };
    for (const Case &c : cases)
        promsim({"set", c.item, c.value});
    for (const Case &c : cases)
        EXPECT_EQ(get(c.item), std::string(c.shown) + "\n") << c.item;

    std::string list = promsim({"list"});
    EXPECT_THAT(list, HasSubstr("mac0             0a1b2c3d4e5f\n"));
    EXPECT_THAT(list, HasSubstr("subassy7         \"S7\"\n"));
    EXPECT_THAT(list, HasSubstr("asic-mac47       a1a2a3a4a5a6\n"));
    std::string tlvs = promsim({"tlvs"});
    EXPECT_THAT(tlvs, HasSubstr("14 records"));
    EXPECT_THAT(tlvs, HasSubstr("0x052f  asic-mac47           6  a1a2a3a4a5a6\n"));
    EXPECT_THAT(tlvs, HasSubstr("0x8010  port-count           4  20\n"));

    promsim({"unset", "mac1"});
    promsim({"unset", "mac1"});  // nothing left to remove is no error
    RunResult gone = promsim_result({"get", "mac1"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_THAT(gone.err, HasSubstr("no record"));
    EXPECT_THAT(promsim({"tlvs"}), HasSubstr("13 records"));
}

TEST_F(EmulatedSystemProm, PromcfgAndPromsimSeeEachOthersWrites)
{
    promsim({"set", "product-id", "15"});
    promsim({"set", "mac0", "0a1b2c3d4e5f"});
    RunResult chassis = promcfg({"-c"}, "SN-42\nCLEI7\n");
    ASSERT_EQ(chassis.status, 0);
    EXPECT_EQ(get("chassis-sn"), "SN-42\n");
    EXPECT_EQ(get("clei"), "CLEI7\n");
    RunResult shown = promcfg({"-P"});
    EXPECT_THAT(shown.out, HasSubstr("0a1b2c3d4e5f\n"));
    EXPECT_THAT(shown.out, HasSubstr("15 (Arlen)\n"));
    EXPECT_THAT(shown.out, HasSubstr("SN-42\n"));
}

TEST_F(EmulatedSystemProm, DeletingAMissingRecordFailsWithEnoent)
{
    promsim({"set", "mac0", "0a1b2c3d4e5f"});
    clear_trace();
    promcfg({"-D", "110"});
    RunResult again = promcfg({"-D", "110"});
    EXPECT_THAT(again.out, HasSubstr("errno = 2"));
    EXPECT_EQ(take_trace(), (Lines{"swServGetProductID(&) = -1", "swServDeleteTLV(272) = 0",
                                   "swServGetProductID(&) = -1", "swServDeleteTLV(272) = -1"}));
    EXPECT_EQ(promsim_result({"get", "mac0"}).status, 1);
}

TEST_F(EmulatedSystemProm, DamagedImageIsNeverTrustedNorOverwritten)
{
    promsim({"set", "product-code", "PC"});
    promsim({"set", "mac0", "0a1b2c3d4e5f"});
    promsim({"poke", "system", "0x14", "7f"});  // inside the MAC record
    std::string damaged = promsim({"dump", "system"});

    RunResult got = promsim_result({"get", "product-code"});
    EXPECT_EQ(got.status, 1);
    EXPECT_THAT(got.err, HasSubstr("damaged"));
    RunResult tlvs = promsim_result({"tlvs"});
    EXPECT_EQ(tlvs.status, 1);
    EXPECT_THAT(tlvs.out, HasSubstr("damaged: checksum mismatch"));
    EXPECT_EQ(promsim_result({"set", "clei", "X"}).status, 1);
    EXPECT_EQ(promsim_result({"unset", "mac0"}).status, 1);

    clear_trace();
    RunResult written = promcfg({"-c"}, "SN\n\n");
    EXPECT_THAT(written.out, HasSubstr("Error writing chassis SN, rc = -1 errno = 74\n"));
    RunResult shown = promcfg({"-P"});
    EXPECT_THAT(shown.out, HasSubstr("Product code                : Undefined\n"));
    for (const std::string &line : take_trace())
        EXPECT_THAT(line, HasSubstr(") = -1")) << "a call on a damaged image succeeded";
    EXPECT_EQ(promsim({"dump", "system"}), damaged);

    ASSERT_EQ(promcfg({"-i"}).status, 0);
    EXPECT_THAT(promsim({"tlvs"}), HasSubstr("0 records"));
    promsim({"set", "clei", "X"});
}

TEST_F(EmulatedSystemProm, RawInitializationErasesTheWholeDeviceFirst)
{
    promsim({"poke", "system", "8000", "00112233"});
    clear_trace();
    ASSERT_EQ(promcfg({"-r"}).status, 0);
    EXPECT_EQ(take_trace().back(), "swServInitializeRaw(0) = 0");
    EXPECT_EQ(promsim({"dump", "system", "8000", "4"}), "001f40  ff ff ff ff" + std::string(36, ' ') + "  |....|\n");
    EXPECT_THAT(promsim({"tlvs"}), HasSubstr("0 records"));
}

TEST_F(EmulatedSystemProm, KilledCommitsLeaveTheOldOrTheNewImage)
{
    promsim({"reset", "system"});
    std::string known;  // board-sn as last committed; "" before the first
    for (int round = 0; round < 40; ++round) {
        std::string attempt = std::string(20 + round * 5, static_cast<char>('a' + round % 26));
        pid_t pid = start_promsim({"set", "board-sn", attempt});
        usleep(static_cast<useconds_t>(round * 150));
        kill(pid, SIGKILL);
        promtest::wait_program(pid);

        RunResult tlvs = promsim_result({"tlvs"});
        ASSERT_EQ(tlvs.status, 0) << "round " << round << ": " << tlvs.out;
        RunResult now = promsim_result({"get", "board-sn"});
        std::string value = now.status == 0 ? now.out.substr(0, now.out.size() - 1) : "";
        ASSERT_TRUE(value == known || value == attempt) << "round " << round << ": " << value;
        known = value;
    }
}

TEST_F(EmulatedSystemProm, ConcurrentWritersOfDifferentItemsKeepThemAll)
{
    const Lines items = {"subassy0", "subassy1", "subassy2", "subassy3", "subassy4", "subassy5",
                         "subassy6", "subassy7", "product-code", "board-sn", "chassis-sn", "clei"};
    for (int round = 0; round < 3; ++round) {
        std::vector<pid_t> writers;
        for (const std::string &item : items)
            writers.push_back(start_promsim({"set", item, item + "-" + std::to_string(round)}));
        for (pid_t pid : writers)
            EXPECT_EQ(promtest::wait_program(pid), 0);
        for (const std::string &item : items)
            EXPECT_EQ(get(item), item + "-" + std::to_string(round) + "\n") << "round " << round;
    }
}

TEST_F(EmulatedSystemProm, FailureHooksAndAsicMacCount)
{
    promsim({"set", "product-id", "15"});
    promsim({"set", "mac1", "0a0b0c0d0e0f"});
    promcfg({"-P"}, "", {{"PROMSIM_FAIL", "swServGetMAC#2=-7/22,swServGetCLEI_bus=-3"}});
    Lines trace = take_trace();
    EXPECT_THAT(trace, ::testing::Contains("swServGetMAC(&, 0) = -1"));
    EXPECT_THAT(trace, ::testing::Contains("swServGetMAC(&, 1) = -7"));
    EXPECT_THAT(trace, ::testing::Contains("swServGetCLEI_bus(&, 24, 0) = -3"));

    struct Case {
        const char *count;
        const char *last_label;  // nullptr: no ASIC MAC line
    } cases[] = {{nullptr, "ASIC MAC 1 "}, {"0", nullptr}, {"60", "ASIC MAC 59 "}};
    for (const Case &c : cases) {
        EnvList env;
        if (c.count)
            env.push_back({"PROMSIM_ASIC_MACS", c.count});
        std::string out = promcfg({"-P"}, "", env).out;
        if (c.last_label) {
            EXPECT_THAT(out, HasSubstr(c.last_label)) << (c.count ? c.count : "table");
            std::string next = "ASIC MAC " + std::to_string(std::atoi(c.last_label + 9) + 1) + " ";
            EXPECT_THAT(out, ::testing::Not(HasSubstr(next)));
        } else {
            EXPECT_THAT(out, ::testing::Not(HasSubstr("ASIC MAC")));
        }
    }
}

TEST_F(EmulatedSystemProm, MalformedHooksStopTheProcessBeforeAnything)
{
    const EnvList bad[] = {
        {{"PROMSIM_FAIL", "swServGetMAC"}},     {{"PROMSIM_FAIL", "swServGetMAC#0=-1"}},
        {{"PROMSIM_FAIL", "swServGetMAC=-1/x"}}, {{"PROMSIM_FAIL", "a=1,,b=2"}},
        {{"PROMSIM_ASIC_MACS", "-1"}},          {{"PROMSIM_ASIC_MACS", "many"}},
    };
    for (const EnvList &env : bad) {
        RunResult run = promcfg({"-P"}, "", env);
        EXPECT_EQ(run.status, 2) << env[0].second;
        EXPECT_EQ(run.out, "") << env[0].second;
        EXPECT_EQ(line_count(run.err), 1) << env[0].second;
        EXPECT_TRUE(take_trace().empty()) << env[0].second;
        EXPECT_EQ(promsim_result({"list"}, env).status, 2);
    }
}

TEST_F(EmulatedSystemProm, PromsimRefusesBadArgumentsWithStatusTwo)
{
    const Lines bad[] = {
        {},
        {"frobnicate"},
        {"reset", "disk"},
        {"reset", "system", "blade"},
        {"set", "mac0"},
        {"set", "mac9", "001122334455"},
        {"set", "mac0", "0011223344"},
        {"set", "mac0", "00112233445g"},
        {"set", "wwn", "001122334455"},
        {"set", "product-id", "4294967296"},
        {"set", "port-count", "20x"},
        {"set", "subassy8", "X"},
        {"set", "asic-mac48", "001122334455"},
        {"set", "clei", std::string(256, 'c')},
        {"get"},
        {"get", "nothing"},
        {"unset", "asic-mac01"},
        {"list", "extra"},
        {"dump"},
        {"dump", "system", "8192"},
        {"dump", "kestrel", "0", "zz"},
        {"poke", "system", "8191", "0011"},
        {"poke", "blade", "0", "abc"},
        {"absent", "system"},
        {"present"},
    };
    for (const Lines &args : bad) {
        RunResult run = promsim_result(args);
        std::string joined;
        for (const std::string &a : args)
            joined += " " + a;
        EXPECT_EQ(run.status, 2) << "promsim" << joined;
        EXPECT_EQ(line_count(run.err), 1) << "promsim" << joined;
        EXPECT_EQ(run.out, "") << "promsim" << joined;
    }
    EXPECT_THAT(promsim({"help"}), HasSubstr("asic-mac0..asic-mac47"));
}

TEST_F(EmulatedSystemProm, DevicesResetDumpAndUnplug)
{
    EXPECT_EQ(line_count(promsim({"dump", "blade"})), 65536 / 16);
    EXPECT_EQ(line_count(promsim({"dump", "kestrel", "0x7f0", "1000"})), 1);
    promsim({"poke", "kestrel", "2047", "00"});
    promsim({"reset", "kestrel"});
    EXPECT_THAT(promsim({"dump", "kestrel", "2040"}), HasSubstr("ff ff ff ff ff ff ff ff"));

    promsim({"absent", "kestrel"});
    EXPECT_EQ(access((dir_ + "/kestrel.absent").c_str(), F_OK), 0);
    promsim({"present", "kestrel"});
    promsim({"present", "kestrel"});
    EXPECT_NE(access((dir_ + "/kestrel.absent").c_str(), F_OK), 0);
}

// The folder's default place when PROMSIM_DIR is not set.
TEST_F(EmulatedSystemProm, DefaultFolderFollowsXdgStateHomeThenHome)
{
    std::string base = dir_.substr(0, dir_.rfind('/'));
    const char *saved_xdg = getenv("XDG_STATE_HOME");
    const char *saved_home = getenv("HOME");
    std::string xdg = saved_xdg ? saved_xdg : "", home = saved_home ? saved_home : "";

    setenv("XDG_STATE_HOME", (base + "/xdg").c_str(), 1);
    EXPECT_EQ(promtest::run_program("promsim", {"set", "clei", "A"}, "", {}).status, 0);
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", (base + "/home").c_str(), 1);
    EXPECT_EQ(promtest::run_program("promsim", {"set", "clei", "B"}, "", {}).status, 0);

    if (saved_xdg)
        setenv("XDG_STATE_HOME", xdg.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    for (const char *place : {"/xdg/promcfg/sim/", "/home/.local/state/promcfg/sim/"})
        for (const char *file : {"system.prom", "blade.prom", "kestrel.prom"})
            EXPECT_EQ(access((base + place + file).c_str(), F_OK), 0) << place << file;
}

}  // namespace
