// The emulated system PROM seen from outside: promsim and promcfg in
// separate processes on one emulated-hardware folder, checked through exit
// statuses, outputs, the image bytes and the call trace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
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
    std::string file(const std::string &name) { return promtest::read_file(dir_ + "/" + name); }
    // A path beside the emulated hardware's folder, removed with it.
    std::string beside(const std::string &name)
    {
        return dir_.substr(0, dir_.rfind('/') + 1) + name;
    }
    void write_file(const std::string &path, const std::string &bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    Lines folder(std::string path = "")
    {
        Lines names;
        // readdir64: a 32-bit readdir fails on 64-bit inode numbers.
        if (DIR *d = opendir((path.empty() ? dir_ : path).c_str())) {
            while (dirent64 *e = readdir64(d))
                if (e->d_name != std::string(".") && e->d_name != std::string(".."))
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
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
        {{{"PROMSIM_FAIL", "swServFlush#18446744073709551626=1"}}, {"list"}},
        {{{"PROMSIM_FAIL", "swServFlush#4294967296=1"}}, {"list"}},
        {{{"PROMSIM_FAIL", "swServFlush=-2147483649"}}, {"list"}},
        {{{"PROMSIM_FAIL", "swServFlush=-1/2147483648"}}, {"list"}},
        {{{"PROMSIM_ASIC_MACS", "18446744073709551617"}}, {"list"}},
        {{{"PROMSIM_ASIC_MACS", "0x10"}}, {"list"}},
        {{}, {"poke", "system", "0xffffffff", "ab"}},
        {{}, {"poke", "system", "4294967295", "ab"}},
        {{}, {"poke", "kestrel", "0x7ff", "0011"}},
        {{}, {"dump", "system", "8192"}},
        {{}, {"dump", "system", "0x1", "-1"}},
        {{}, {"dump", "system", "0", "0x100000000"}},
        {{}, {"set", "product-id", "18446744073709551617"}},
        {{}, {"set", "port-count", "4294967296"}},
        {{}, {"set", "port-count", "-2147483649"}},
        {{}, {"set", "port-count", "1 "}},
        {{}, {"save", "system"}},
        {{}, {"load", "disk", "x"}},
        {{}, {"status", "all"}},
        {{}, {"--version", "x"}},
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

// A file of the wrong size is a damaged device, not a short blank one: it
// refuses reads and writes and keeps its bytes until an initialization.
TEST_F(EmulatedSystemProm, WrongSizedSystemPromIsDamagedUntilInitialized)
{
    const struct {
        std::size_t size;
        Lines repair;
    } cases[] = {{0, {"-i"}}, {100, {"-r"}}, {8191, {}}, {8193, {"-i"}}};
    for (const auto &c : cases) {
        promsim({"set", "product-code", "PC"});
        std::string bytes = file("system.prom");
        bytes.resize(c.size, '\xff');
        std::ofstream(dir_ + "/system.prom", std::ios::binary | std::ios::trunc) << bytes;

        EXPECT_EQ(promsim_result({"get", "product-code"}).status, 1) << c.size;
        RunResult tlvs = promsim_result({"tlvs"});
        EXPECT_EQ(tlvs.status, 1) << c.size;
        EXPECT_THAT(tlvs.out, HasSubstr("damaged: file of " + std::to_string(c.size) +
                                        " bytes, not 8192"));
        EXPECT_EQ(promsim_result({"set", "clei", "X"}).status, 1) << c.size;
        EXPECT_EQ(promsim_result({"poke", "system", "0", "00"}).status, 1) << c.size;
        EXPECT_THAT(promcfg({"-c"}, "SN\n\n").out,
                    HasSubstr("Error writing chassis SN, rc = -1 errno = 74\n"));
        EXPECT_THAT(promcfg({"-P"}).out, HasSubstr("Product code                : Undefined\n"));
        EXPECT_TRUE(file("system.prom") == bytes) << c.size;

        if (c.repair.empty())
            promsim({"reset", "system"});
        else
            EXPECT_EQ(promcfg(c.repair).status, 0) << c.size;
        EXPECT_EQ(file("system.prom").size(), 8192u) << c.size;
        EXPECT_EQ(promsim_result({"tlvs"}).status, 0) << c.size;
    }
}

// A bench's backup and restore: save copies the image as it is, load puts
// it back over a reset, a damaged or an absent device alike.
TEST_F(EmulatedSystemProm, SaveResetLoadRestoresEveryDeviceByteForByte)
{
    const struct {
        const char *device;
        Lines setup, more;
    } cases[] = {
        {"system", {"set", "product-id", "59"}, {"set", "clei", "CL"}},
        {"blade", {"poke", "blade", "0xfffe", "0a0b"}, {"poke", "blade", "1", "4b"}},
        {"kestrel", {"absent", "kestrel"}, {"poke", "kestrel", "1", "4b"}},
    };
    for (const auto &c : cases) {
        std::string prom = std::string(c.device) + ".prom", saved = beside("saved.img");
        promsim(c.setup);
        promsim(c.more);
        std::string before = file(prom);
        write_file(saved, "an older backup");
        EXPECT_EQ(promsim_result({"save", c.device, saved}).err, "") << c.device;
        EXPECT_TRUE(promtest::read_file(saved) == before) << c.device;
        promsim({"reset", c.device});
        ASSERT_FALSE(file(prom) == before) << c.device;
        promsim({"load", c.device, saved});
        EXPECT_TRUE(file(prom) == before) << c.device;

        // Damaged by its size: saved as it is (a longer one only as far as
        // the device goes), refused by load, repaired by loading the good
        // image.
        bool longer = c.device == std::string("kestrel");
        std::string damaged = before.substr(0, 100) + std::string(longer ? 2000 : 0, 'x');
        write_file(dir_ + "/" + prom, damaged);
        RunResult save = promsim_result({"save", c.device, beside("damaged.img")});
        EXPECT_EQ(save.status, 0) << c.device;
        std::string why = "damaged (file of " + std::to_string(damaged.size()) + " bytes, not " +
                          std::to_string(before.size()) + ")\n";
        EXPECT_EQ(save.err, longer ? "promsim: saved the first 2048 bytes of kestrel: " + why
                                   : std::string("promsim: saved ") + c.device + " as it is: " + why);
        EXPECT_TRUE(promtest::read_file(beside("damaged.img")) == damaged.substr(0, before.size()))
            << c.device;
        write_file(beside("short.img"), damaged.substr(0, 100));
        for (const std::string &bad : {beside("short.img"), dir_ + "/system.lock"}) {
            RunResult load = promsim_result({"load", c.device, bad});
            EXPECT_EQ(load.status, 2) << c.device;
            EXPECT_THAT(load.err, HasSubstr(" is not a " + std::string(c.device) + " image: "));
            EXPECT_TRUE(file(prom) == damaged) << c.device;
        }
        EXPECT_EQ(promsim_result({"load", c.device, beside("missing.img")}).status, 1);
        promsim({"load", c.device, saved});
        EXPECT_TRUE(file(prom) == before) << c.device;
    }
    // A save that cannot rename leaves no temporary file behind.
    ASSERT_EQ(mkdir(beside("out").c_str(), 0755), 0);
    EXPECT_EQ(promsim_result({"save", "blade", beside("out")}).status, 1);
    EXPECT_THAT(folder(beside("")), ::testing::ElementsAre("damaged.img", "out", "saved.img",
                                                           "short.img", "sim"));
}

TEST_F(EmulatedSystemProm, StatusNamesTheFolderEachDeviceAndTheProductId)
{
    const struct {
        Lines change;
        const char *system, *blade, *kestrel, *product_id;
    } steps[] = {
        {{"list"}, "present blank", "present blank", "present blank", "none"},
        {{"set", "product-id", "59"}, "present data (1 record)", "present blank", "present blank",
         "59"},
        {{"absent", "kestrel"}, "present data (1 record)", "present blank", "absent blank", "59"},
        {{"poke", "blade", "0x10", "00"}, "present data (1 record)", "present data", "absent blank",
         "59"},
        {{"poke", "system", "0x1000", "00"}, "present damaged (checksum mismatch)", "present data",
         "absent blank", "unknown"},
        {{"reset", "system"}, "present blank", "present data", "absent blank", "none"},
    };
    for (const auto &step : steps) {
        promsim(step.change);
        EXPECT_EQ(promsim({"status"}), "folder " + dir_ + "\nsystem " + step.system + "\nblade " +
                                           step.blade + "\nkestrel " + step.kestrel +
                                           "\nproduct-id " + step.product_id + "\n")
            << step.change[0];
    }
    write_file(dir_ + "/kestrel.prom", "");
    EXPECT_THAT(promsim({"status"}),
                HasSubstr("\nkestrel absent damaged (file of 0 bytes, not 2048)\n"));
    // What clearing the blade VPD (promcfg -q) leaves is no data.
    promsim({"set", "product-id", "59"});
    EXPECT_EQ(promcfg({"-q"}, "0\n").status, 0);
    EXPECT_THAT(promsim({"status"}), HasSubstr("\nblade present cleared (all bytes 0x00)\n"));

    std::string version = promsim({"--version"});
    EXPECT_THAT(version, ::testing::MatchesRegex("promsim [0-9]+(\\.[0-9]+)*\n"));
    EXPECT_EQ(promsim({"version"}), version);
}

// The installed help names only what the package ships: the manual.
TEST_F(EmulatedSystemProm, HelpNamesTheManualNotASourceDocument)
{
    std::string help = promsim({"help"});
    EXPECT_THAT(help, HasSubstr("man promsim"));
    EXPECT_THAT(help, ::testing::Not(HasSubstr("docs/")));
}

// Processes killed while they create the folder's devices leave no
// temporary file behind, and the devices that exist are whole.
TEST_F(EmulatedSystemProm, KillsDuringFirstUseLeaveNoTemporaryFiles)
{
    auto started = std::chrono::steady_clock::now();
    promsim({"list"});
    auto first_use = std::chrono::steady_clock::now() - started;
    pid_t pid = 0;
    for (int round = 0; round < 30; ++round) {
        for (const char *device : {"system.prom", "blade.prom", "kestrel.prom"})
            unlink((dir_ + "/" + device).c_str());
        pid = start_promsim({"list"});
        std::this_thread::sleep_for(first_use * (round % 10) / 10);
        kill(pid, SIGKILL);
        promtest::wait_program(pid);
    }
    // What killed runs of earlier versions left: a private blank file of a
    // dead process, and a commit's temporary file.
    std::ofstream(dir_ + "/blade.prom.blank." + std::to_string(pid)) << "x";
    std::ofstream(dir_ + "/kestrel.prom.new") << "x";
    promsim({"list"});
    EXPECT_THAT(folder(), ::testing::ElementsAre("blade.lock", "blade.prom", "kestrel.lock",
                                                 "kestrel.prom", "system.lock", "system.prom"));
    EXPECT_TRUE(file("system.prom") == std::string(8192, '\xff'));
    EXPECT_TRUE(file("blade.prom") == std::string(65536, '\xff'));
    EXPECT_TRUE(file("kestrel.prom") == std::string(2048, '\xff'));
}

// With HOME unset the folder comes from the password entry; a user without
// one gets a one-line error, never a folder at the root of the file system.
// Needs root, to run as a user that has no password entry.
TEST_F(EmulatedSystemProm, NoHomeFolderIsAClearError)
{
    const uid_t stranger = 54321;
    if (getuid() != 0 || getpwuid(stranger))
        GTEST_SKIP() << "needs root and a free user ID";
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    pid_t helper = fork();
    if (helper == 0) {
        close(pipe_fds[0]);
        unsetenv("HOME");
        unsetenv("XDG_STATE_HOME");
        setenv("TMPDIR", "/tmp", 1);  // the stranger cannot write in the caller's TMPDIR
        std::string report;
        if (setgroups(0, nullptr) == 0 && setgid(stranger) == 0 && setuid(stranger) == 0) {
            for (const char *program : {"promsim", "promcfg"}) {
                RunResult r = promtest::run_program(program, {program == std::string("promsim")
                                                                  ? "list" : "-P"}, "", {});
                report += std::to_string(r.status) + " " + r.out + "|" + r.err;
            }
        }
        ssize_t ignored = write(pipe_fds[1], report.data(), report.size());
        (void)ignored;
        _exit(0);
    }
    close(pipe_fds[1]);
    std::string report;
    char buf[512];
    for (ssize_t n; (n = read(pipe_fds[0], buf, sizeof buf)) > 0;)
        report.append(buf, static_cast<std::size_t>(n));
    close(pipe_fds[0]);
    promtest::wait_program(helper);
    const std::string error = "promsim: no folder for the emulated hardware: HOME is unset and "
                              "user 54321 has no home folder (set PROMSIM_DIR)\n";
    EXPECT_EQ(report, "2 |" + error + "2 |" + error);
}

}  // namespace
