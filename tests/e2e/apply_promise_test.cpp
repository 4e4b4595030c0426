// promcfg-apply's promise under hostile input, platform faults, signals and
// a second run: status 0 only when the PROM holds what the file gives,
// nothing it started writes after it ended unreported, one run per switch.
#include "sim_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using promtest::SimTest;
using Lines = std::vector<std::string>;

const std::string kMac = "0a1b2c3d4e5f";
const std::string kLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";  // longer than the display shows
const std::string kShown = kLong.substr(0, 23);

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

// Polls until `ready` holds, at most 60 s (the PowerPC build runs under qemu).
template <typename Ready>
bool eventually(Ready ready)
{
    for (int i = 0; i < 6000; ++i) {
        if (ready())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class ApplyPromiseTest : public SimTest {
protected:
    Lines writes() { return promtest::write_calls(take_trace()); }
    std::string trace() { return promtest::read_file(trace_path_); }
    std::string get(const std::string &item) { return promsim_result({"get", item}).out; }

    // Holds the emulated system PROM's commit lock, as another process would.
    int hold_commit_lock()
    {
        int fd = open((dir_ + "/system.lock").c_str(), O_RDWR | O_CLOEXEC);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(flock(fd, LOCK_EX), 0);
        return fd;
    }
    std::string file(const std::string &name, const std::string &text)
    {
        std::string path = scratch(name);
        FILE *out = fopen(path.c_str(), "w");
        fputs(text.c_str(), out);
        fclose(out);
        return path;
    }
};

TEST_F(ApplyPromiseTest, AFileThatCannotBeTakenWholeIsRefusedWithStatusTwoAndNothingWritten)
{
    promsim({"set", "product-id", "43"});
    std::string fifo = scratch("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string comments = std::string(64 * 1024 - 11, '#') + "\nclei = C1\n";  // 64 KiB exactly
    const struct {
        std::string path, input, err;
        int status;
    } cases[] = {
        {"-", "clei = Undefined\n", "stdin:1: clei: reads as a missing item on promcfg's display", 2},
        {"/dev/zero", "", "promcfg-apply: /dev/zero is neither a regular file nor a pipe; nothing written\n", 2},
        {scratch("missing.id"), "", "cannot be opened: No such file or directory; nothing written\n", 2},
        {"-", comments + "#", "promcfg-apply: standard input is larger than 64 KiB; nothing written\n", 2},
        {fifo, "", fifo + " did not end within the time limit; nothing written\n", 2},
        {"-", comments, "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        auto r = apply({"--timeout", "1", c.path}, c.input);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_TRUE(contains(r.err, c.err)) << r.err;
        EXPECT_EQ(writes().empty(), c.status != 0);
    }
    EXPECT_EQ(get("clei"), "C1\n");
}

TEST_F(ApplyPromiseTest, AnInterruptWhileTheFileIsAwaitedEndsTheRunAtOnce)
{
    std::string fifo = scratch("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    pid_t pid = start_apply({fifo}, "", scratch("out"), scratch("err"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    kill(pid, SIGTERM);
    EXPECT_EQ(promtest::wait_program(pid), 128 + SIGTERM);
    EXPECT_EQ(promtest::read_file(scratch("err")),
              "promcfg-apply: interrupted by SIGTERM while reading the file; nothing written\n");
    EXPECT_EQ(writes(), Lines{});
}

TEST_F(ApplyPromiseTest, HelpAndVersionAreAnsweredAndNothingElseIsDone)
{
    const struct {
        const char *option, *out;
    } cases[] = {{"--help", "Usage:\n"}, {"-h", "Usage:\n"}, {"--version", "promcfg-apply "}};
    for (const auto &c : cases) {
        auto r = apply({c.option, "-"}, "clei = C1\n");
        EXPECT_EQ(r.status, 0) << c.option;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
        EXPECT_EQ(take_trace(), Lines{});
    }
}

TEST_F(ApplyPromiseTest, ATextAsLongAsTheDisplayShowsCountsOnlyWhenTheWriteChangedWhatItShows)
{
    const struct {
        std::string before, fail, result, after;
        int status;
    } cases[] = {
        // A longer text cut by the display, and a commit that fails unreported.
        {kLong, "swServFlush=-1", "unverified", kLong, 1},
        // Written, but the display shows what it showed before.
        {kLong, "", "unverified", kShown, 1},
        {"OLD", "", "ok", kShown, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fail + " " + c.before);
        promsim({"reset", "system"});
        set_items("product-id=43 board-sn=" + c.before);
        auto r = apply({"-"}, "board-sn = " + kShown + "\n", {{"PROMSIM_FAIL", c.fail}});
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_TRUE(contains(r.out, kShown + "  " + c.result + "\n")) << r.out;
        EXPECT_EQ(get("board-sn"), c.after + "\n");
    }
    // A short text with a byte it cannot show: the display's hex line is short too.
    promsim({"set", "clei", "\x01"});
    auto odd = apply({"--show"});
    EXPECT_EQ(odd.status, 0);
    EXPECT_TRUE(contains(odd.out, "# clei = \\x01: holds a byte outside printable ASCII")) << odd.out;
    // --show does not give back a text that may be cut.
    promsim({"set", "board-sn", kLong});
    EXPECT_TRUE(contains(apply({"--show"}).out, "# board-sn = " + kShown + ": may be longer"));
    EXPECT_TRUE(contains(apply({"--show", "--json"}).out, "\"may_be_longer\": [\"board-sn\"]"));
}

TEST_F(ApplyPromiseTest, ASwitchThatShowsNoItemEndsWithStatusThreeWhetherBlankOrDamaged)
{
    const std::string no_item =
        "promcfg-apply: the switch shows no item: its system PROM is blank, erased or damaged\n";
    for (const char *damage : {"", "00"}) {
        SCOPED_TRACE(damage);
        promsim({"reset", "system"});
        if (*damage) {
            set_items("product-id=59 clei=CLEI1");
            promsim({"poke", "system", "8", damage});
        }
        auto shown = apply({"--show"});
        EXPECT_EQ(shown.status, 3);
        EXPECT_EQ(shown.err, no_item);
        EXPECT_TRUE(contains(shown.out, "# no item: the system PROM is blank, erased or damaged\n"));
        EXPECT_TRUE(contains(apply({"--show", "--json"}).out, "\"no_item\": true,\n  \"status\": 3\n}\n"));
        // A blank PROM takes the file; a damaged one takes nothing.
        auto applied = apply({"-"}, "clei = CLEI2\n");
        EXPECT_EQ(applied.status, *damage ? 3 : 0) << applied.out;
        EXPECT_TRUE(contains(applied.out, "promcfg-apply: before, the switch showed no item")) << applied.out;
        EXPECT_EQ(contains(applied.out, no_item), *damage != 0) << applied.out;
    }
}

TEST_F(ApplyPromiseTest, ASICMACsBeyondAnUnknownCountAreLeftToPromcfgsQuestionsNotBlamedOnTheFile)
{
    // A filter in front of promcfg ends only when promcfg-apply closes its input.
    const std::string filtered = promcfg_script("filter.sh", "cat | exec \"$@\"\n");
    const struct {
        std::string fail, file, group;
        const char *asic_mac1;
        std::string tool;
    } cases[] = {
        // The display cannot count them; promcfg -b asks by the product's count, which the platform gives.
        {"swServGetNumAsicMACs=-1/5", "asic-mac0 = 000000000010\nasic-mac1 = 000000000011\n",
         "written: promcfg said so, but asic-mac0, asic-mac1 read back otherwise\n", "000000000011\n", ""},
        // A new product's count shows only in its questions: 8 for product 37. promcfg ends
        // while more questions were planned, and its input is closed then.
        {"", "product-id = 37\nasic-mac1 = 000000000011\nasic-mac9 = 000000000019\n",
         "failed: promcfg asked for 8 ASIC MACs, not for asic-mac9; the rest was written\n", "000000000011\n",
         filtered},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        promsim({"reset", "system"});
        promsim({"set", "product-id", "59"});
        auto r = apply({"--timeout", "20", "-"}, c.file, {{"PROMSIM_FAIL", c.fail}}, c.tool);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_TRUE(contains(r.out, "promcfg row 2  board data         " + c.group)) << r.out;
        EXPECT_EQ(get("asic-mac1"), c.asic_mac1);
    }
}

TEST_F(ApplyPromiseTest, APromcfgThatCannotStartIsAFailureOfTheSwitchNamedWithItsReason)
{
    auto r = apply({"-"}, "clei = C1\n", {}, "/nonexistent/promcfg");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "promcfg-apply: cannot read the switch: promcfg -m ended with status 127: promcfg-apply: "
                     "cannot start /nonexistent/promcfg: No such file or directory\n");
    // A reader of the JSON is told too.
    r = apply({"--json", "-"}, "clei = C1\n", {}, "/nonexistent/promcfg");
    EXPECT_EQ(r.out, "{\n  \"error\": \"cannot read the switch: promcfg -m ended with status 127: promcfg-apply: "
                     "cannot start /nonexistent/promcfg: No such file or directory\",\n  \"status\": 1\n}\n");
}

TEST_F(ApplyPromiseTest, AQuestionOtherThanTheFirstExpectedStopsTheDialogueUnwritten)
{
    promsim({"set", "product-id", "43"});
    // With the chassis type, the chassis data is asked by promcfg -c -x.
    const std::string file = "clei = C1\nchassis-type = bc1\n";
    std::string tool = promcfg_script("other.sh", "case \" $* \" in *\" -c \"*) ;; *) exec \"$@\" ;; esac\n"
                                                  "printf '[Asset tag] '\nread -r answer\n");
    auto r = apply({"-"}, file, {}, tool);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, "promcfg -c     chassis data       stopped: promcfg asked \"Asset tag\", expected \"Serial "
                                "Number    (string max=23 chars)\"; its input was closed, so nothing of chassis data "
                                "was written\n"))
        << r.out;

    // Every answer taken, status 0, but no word that it wrote.
    tool = promcfg_script("mute.sh", "case \" $* \" in *\" -c \"*) ;; *) exec \"$@\" ;; esac\n"
                                     "printf '[Serial Number    (string max=23 chars)] '\nread -r answer\n"
                                     "printf '[CLEI registration     (string max=10 chars)] '\nread -r answer\n");
    r = apply({"-"}, file, {}, tool);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, "promcfg -c     chassis data       failed: promcfg ended without saying \"Chassis Data "
                                "updated\", so nothing of chassis data was written\n"))
        << r.out;
}

TEST_F(ApplyPromiseTest, AShowThatCannotBeWrittenFailsAndIntoAClosedPipeSilentlyAsPromcfgDoes)
{
    promsim({"set", "product-id", "43"});
    // A pipe whose reader has gone before promcfg-apply starts.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const struct {
        std::string out, err;
    } cases[] = {
        {"&" + std::to_string(ends[1]), ""},
        {"/dev/full", "promcfg-apply: write error: No space left on device\n"},
    };
    for (const auto &c : cases) {
        // The launcher's words, then bin/promcfg-apply beside bin/promcfg.
        std::string command = "PROMSIM_DIR=" + dir_ + " " + promtest::promcfg_command() + "-apply --promcfg '" +
                              promtest::promcfg_command() + "' --show 2>" + scratch("err") + " >" + c.out +
                              "; echo $? >" + scratch("status");
        ASSERT_EQ(system(command.c_str()), 0);
        EXPECT_EQ(promtest::read_file(scratch("err")), c.err);
        EXPECT_EQ(promtest::read_file(scratch("status")), "1\n");
    }
    close(ends[1]);
}

TEST_F(ApplyPromiseTest, PromcfgInheritsOnlyItsStandardStreams)
{
    promsim({"set", "product-id", "43"});
    std::string listing = scratch("fds");
    // The shell keeps its own descriptors from 10 up.
    std::string tool = promcfg_script("fds.sh", "ls /proc/$$/fd >" + listing + ".now\ngrep -x '[3-9]' " + listing +
                                                    ".now >>" + listing + "\nexec \"$@\"\n");
    // Given more than its standard streams itself, promcfg-apply passes none of them on.
    std::string command = "PROMSIM_DIR=" + dir_ + " " + promtest::promcfg_command() + "-apply --promcfg '" + tool +
                          "' " + file("m.id", "mac0 = " + kMac + "\n") + " >/dev/null 3</dev/null 4</dev/null 5>&2";
    EXPECT_EQ(system(command.c_str()), 0);
    EXPECT_EQ(promtest::read_file(listing), "");
}

TEST_F(ApplyPromiseTest, AnInterruptWhilePromcfgAsksClosesItsInputAndNothingIsWritten)
{
    promsim({"set", "product-id", "43"});
    std::string asked = scratch("asked"), ended = scratch("ended");
    // The menu gets its display's selection and row 1's at once, the answers 1.5 s later.
    std::string tool = promcfg_script(
        "slow.sh", "for o; do :; done\n[ \"$o\" = -m ] || exec \"$@\"\n"
                   "{ for n in 1 2; do IFS= read -r line; printf '%s\\n' \"$line\"; done; : >" + asked +
                       "; sleep 1.5; cat; } | \"$@\"\n"
                   ": >" + ended + "\n");
    // Without a signal, a pause longer than promcfg-apply's poll changes nothing.
    for (int signal_number : {0, SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(signal_number);
        unlink(asked.c_str());
        unlink(ended.c_str());
        promsim({"unset", "mac0"});
        clear_trace();
        pid_t pid = start_apply({"-"}, file("m.id", "mac0 = " + kMac + "\n"), scratch("out"), scratch("err"), tool);
        ASSERT_TRUE(eventually([&] { return access(asked.c_str(), F_OK) == 0; }));
        if (signal_number)
            kill(pid, signal_number);
        EXPECT_EQ(promtest::wait_program(pid), signal_number ? 128 + signal_number : 0);
        ASSERT_TRUE(eventually([&] { return access(ended.c_str(), F_OK) == 0; }));
        std::string out = promtest::read_file(scratch("out"));
        if (signal_number == 0) {
            EXPECT_TRUE(contains(out, "promcfg row 1  system data        written\n")) << out;
            EXPECT_EQ(get("mac0"), kMac + "\n");
            continue;
        }
        if (signal_number != SIGKILL) {
            EXPECT_TRUE(contains(out, "came while promcfg asked; its input was closed, so nothing of system data "
                                      "was written\n"))
                << out;
            EXPECT_TRUE(contains(out, "promcfg-apply: interrupted by SIG")) << out;
        }
        EXPECT_EQ(writes(), Lines{});
        EXPECT_EQ(get("mac0"), "");
    }

    // The same in the menu: row 5 is chosen at once, its answers come late.
    set_items(promtest::blade(43));
    tool = promcfg_script("slow-menu.sh",
                          "{ IFS= read -r line; printf '%s\\n' \"$line\"; [ \"$line\" = 5 ] && : >" + asked +
                              "; sleep 1.5; cat; } | \"$@\"\n");
    unlink(asked.c_str());
    clear_trace();
    pid_t pid = start_apply({"-"}, file("v.id", "vpd-hw-rev = 1\n"), scratch("out"), scratch("err"), tool);
    ASSERT_TRUE(eventually([&] { return access(asked.c_str(), F_OK) == 0; }));
    kill(pid, SIGINT);
    EXPECT_EQ(promtest::wait_program(pid), 128 + SIGINT);
    EXPECT_TRUE(contains(promtest::read_file(scratch("out")),
                         "SIGINT came while promcfg asked; its input was closed, so nothing of blade VPD record was "
                         "written\n"))
        << promtest::read_file(scratch("out"));
    EXPECT_EQ(writes(), Lines{});
}

TEST_F(ApplyPromiseTest, AnInterruptOncePromcfgHasEveryAnswerWaitsForItAndASecondOneOrTheTimeLimitStopsIt)
{
    promsim({"set", "product-id", "43"});
    const struct {
        int second_signal;  // 0: none
        const char *timeout;
        std::string group, mac0;
    } cases[] = {
        // The commit goes on once the lock is free, and the report says it wrote.
        {0, "60", "promcfg row 1  system data        written\n", kMac + "\n"},
        {SIGTERM, "60", "SIGTERM came once promcfg had every answer; a second signal stopped it", ""},
        {0, "2", "SIGTERM came once promcfg had every answer; it was waited for until the time limit (2 s)", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.group);
        promsim({"unset", "mac0"});
        clear_trace();
        int lock = hold_commit_lock();
        pid_t pid = start_apply({"--timeout", c.timeout, "-"}, file("m.id", "mac0 = " + kMac + "\n"), scratch("out"),
                                scratch("err"));
        // Staged, and waiting for the lock to commit.
        ASSERT_TRUE(eventually([&] { return contains(trace(), "swServSetMAC_bus("); }));
        kill(pid, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (c.second_signal)
            kill(pid, c.second_signal);
        // Stopped while the lock is held, or left to commit once it is free.
        bool stopped = c.second_signal || *c.timeout == '2';
        int status = stopped ? promtest::wait_program(pid) : 0;
        close(lock);
        if (!stopped)
            status = promtest::wait_program(pid);
        EXPECT_EQ(status, 128 + SIGTERM);
        std::string out = promtest::read_file(scratch("out"));
        EXPECT_TRUE(contains(out, c.group)) << out;
        EXPECT_TRUE(contains(out, "promcfg-apply: interrupted by SIGTERM")) << out;
        // Nothing it started is left to write later.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(get("mac0"), c.mac0);
    }
}

TEST_F(ApplyPromiseTest, ASecondRunOnTheSameSwitchWaitsForTheLockThenGivesUpWithStatusFour)
{
    promsim({"set", "product-id", "43"});
    int held = open((dir_ + "/apply.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    auto r = apply({"--timeout", "1", "-"}, "mac0 = " + kMac + "\n");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "promcfg-apply: another run on this switch holds " + dir_ +
                         "/apply.lock; waiting up to 1 s\npromcfg-apply: another run on this switch still holds " +
                         dir_ + "/apply.lock after 1 s; nothing written\n");
    EXPECT_EQ(writes(), Lines{});
    // Another lock, another switch.
    EXPECT_EQ(apply({"--lock=" + scratch("other.lock"), "-"}, "mac0 = " + kMac + "\n").status, 0);
    close(held);

    // A run that holds the lock is named to the one that waits.
    clear_trace();
    std::string asking = promcfg_script("ask.sh", "{ IFS= read -r line; printf '%s\\n' \"$line\"; exec sleep 30; } | "
                                                  "\"$@\"\n");
    pid_t first = start_apply({"--timeout", "5", "-"}, file("m.id", "mac0 = " + kMac + "\n"), scratch("out"),
                              scratch("err"), asking);
    ASSERT_TRUE(eventually([&] { return contains(trace(), "swServGetCLEI_bus("); }));
    auto waiting = apply({"--timeout", "1", "-"}, "mac0 = " + kMac + "\n");
    EXPECT_EQ(waiting.status, 4);
    EXPECT_TRUE(contains(waiting.err, "/apply.lock (process " + std::to_string(first) + "); waiting up to 1 s\n"))
        << waiting.err;
    // Two signals: the second stops the promcfg it started, as a hung one.
    kill(first, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(first, SIGTERM);
    EXPECT_EQ(promtest::wait_program(first), 128 + SIGTERM);

    // A lock that is no plain file of its own is not taken.
    std::string link = scratch("link.lock");
    ASSERT_EQ(symlink(scratch("elsewhere").c_str(), link.c_str()), 0);
    auto refused = apply({"--lock", link, "-"}, "mac0 = " + kMac + "\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(contains(refused.err, "cannot open the lock " + link + ": ")) << refused.err;
    EXPECT_NE(access(scratch("elsewhere").c_str(), F_OK), 0);
}

}  // namespace
