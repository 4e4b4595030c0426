// The emulated hardware as a bench shared with other users: a private
// folder, files that are never followed through a symlink, locks that are
// never waited on forever, images that are only ever regular files, and
// test hooks that refuse what they cannot honour. Seen from outside:
// statuses, the one line on standard error, and what exists afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using ::testing::HasSubstr;
using promtest::EnvList;
using promtest::RunResult;
using Lines = std::vector<std::string>;

constexpr uid_t kOtherUser = 65534;  // nobody

class PrivateBench : public promtest::SimTest {
protected:
    std::string beside(const std::string &name)
    {
        return dir_.substr(0, dir_.rfind('/') + 1) + name;
    }
    // lstat64: a 32-bit lstat fails with EOVERFLOW on 64-bit inode numbers.
    static bool exists(const std::string &path)
    {
        struct stat64 st;
        return lstat64(path.c_str(), &st) == 0;
    }
    static mode_t mode(const std::string &path)
    {
        struct stat64 st;
        return lstat64(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // promsim with PROMSIM_DIR set to `folder`.
    RunResult promsim_in(const std::string &folder, const Lines &args, const EnvList &env = {})
    {
        EnvList all = {{"PROMSIM_DIR", folder}};
        all.insert(all.end(), env.begin(), env.end());
        return promtest::run_program("promsim", args, "", all);
    }
    RunResult promcfg_in(const std::string &folder, const Lines &args, const std::string &input = "")
    {
        return promtest::run_program("promcfg", args, input,
                                     {{"PROMSIM_DIR", folder}, {"PROMSIM_TRACE", trace_path_}});
    }
};

// Each folder that cannot be trusted or made: one line that names it and
// says why, status 1, and nothing written in it or beside it; promcfg
// stops the same way before its first word.
TEST_F(PrivateBench, FoldersNotPrivateOrNotToBeHadAreRefusedWithOneLine)
{
    const bool root = getuid() == 0;
    const std::string parent = beside("");
    const struct {
        const char *name;
        bool needs_root;
        void (*make)(const std::string &folder, const std::string &parent);
        std::string folder, why;
    } cases[] = {
        {"group-writable", false,
         [](const std::string &f, const std::string &) { mkdir(f.c_str(), 0770); chmod(f.c_str(), 0770); },
         parent + "gw", "promsim: folder " + parent + "gw refused: other users may write in it (mode 0770)"},
        {"symlink", false,
         [](const std::string &f, const std::string &p) { mkdir((p + "mine").c_str(), 0700); symlink((p + "mine").c_str(), f.c_str()); },
         parent + "link", "promsim: folder " + parent + "link refused: it is a symbolic link"},
        {"a file", false,
         [](const std::string &f, const std::string &) { std::ofstream(f) << "x"; },
         parent + "file", "promsim: folder " + parent + "file refused: it is not a folder"},
        {"cannot be made", false,
         [](const std::string &, const std::string &p) { std::ofstream(p + "plain") << "x"; },
         parent + "plain/sim", "promsim: cannot use folder " + parent + "plain/sim: Not a directory"},
        {"another user's", true,
         [](const std::string &f, const std::string &) {
             mkdir(f.c_str(), 0755);
             symlink("../victim", (f + "/system.prom.new").c_str());
             lchown((f + "/system.prom.new").c_str(), kOtherUser, kOtherUser);
             chown(f.c_str(), kOtherUser, kOtherUser);
         },
         parent + "theirs", "promsim: folder " + parent + "theirs refused: it belongs to user 65534, not to user 0"},
        {"in another user's folder", true,
         [](const std::string &, const std::string &p) { mkdir((p + "their").c_str(), 0755); chown((p + "their").c_str(), kOtherUser, kOtherUser); },
         parent + "their/sim", "promsim: folder " + parent + "their/sim refused: its parent " + parent + "their belongs to user 65534"},
    };
    for (const auto &c : cases) {
        if (c.needs_root && !root)
            continue;
        c.make(c.folder, parent);
        for (const Lines &args : {Lines{"status"}, Lines{"set", "clei", "X"}}) {
            RunResult r = promsim_in(c.folder, args);
            EXPECT_EQ(r.status, 1) << c.name;
            EXPECT_EQ(r.out, "") << c.name;
            EXPECT_EQ(r.err, c.why + "\n") << c.name;
        }
        RunResult tool = promcfg_in(c.folder, {"-P"});
        EXPECT_EQ(tool.status, 1) << c.name;
        EXPECT_EQ(tool.out, "") << c.name;
        EXPECT_EQ(tool.err, c.why + "\n") << c.name;
        EXPECT_FALSE(exists(c.folder + "/system.prom")) << c.name;
        EXPECT_FALSE(exists(parent + "victim")) << c.name;
    }
    EXPECT_TRUE(take_trace().empty());
}

// Made 0700 with 0600 files whatever the umask; an own folder that others
// could read (an earlier version's 0755 and 0644) is taken back at first use.
TEST_F(PrivateBench, FolderIsMadePrivateAndAnOwnLooseOneIsTightened)
{
    mode_t old_mask = umask(0);
    promsim({"absent", "kestrel"});
    umask(old_mask);
    const Lines files = {"blade.lock", "blade.prom", "kestrel.absent", "kestrel.lock",
                         "kestrel.prom", "system.lock", "system.prom"};
    EXPECT_EQ(mode(dir_), 0700u);
    for (const std::string &name : files)
        EXPECT_EQ(mode(dir_ + "/" + name), 0600u) << name;
    EXPECT_EQ(mode(beside("parent-made") + "/a/sim"), 0u);
    EXPECT_EQ(promsim_in(beside("parent-made") + "/a/sim", {"list"}).status, 0);
    EXPECT_EQ(mode(beside("parent-made")), 0700u);

    chmod(dir_.c_str(), 0755);
    for (const std::string &name : files)
        chmod((dir_ + "/" + name).c_str(), 0644);
    EXPECT_EQ(promcfg({"-P"}).status, 0);
    EXPECT_EQ(mode(dir_), 0700u);
    for (const std::string &name : files)
        EXPECT_EQ(mode(dir_ + "/" + name), 0600u) << name;
}

// Symlinks in the folder lead nowhere: the commit's temporary file is made
// afresh, a symlinked lock is refused, a symlinked trace stops the process,
// and none of their targets comes to exist.
TEST_F(PrivateBench, SymlinksAreNeverFollowed)
{
    promsim({"list"});
    ASSERT_EQ(symlink(beside("victim-new").c_str(), (dir_ + "/system.prom.new").c_str()), 0);
    promsim({"set", "product-id", "43"});
    EXPECT_EQ(promsim({"get", "product-id"}), "43\n");
    EXPECT_FALSE(exists(dir_ + "/system.prom.new"));

    unlink((dir_ + "/kestrel.lock").c_str());
    ASSERT_EQ(symlink(beside("victim-lock").c_str(), (dir_ + "/kestrel.lock").c_str()), 0);
    RunResult locked = promsim_result({"reset", "kestrel"});
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.err, "promsim: reset kestrel: Too many levels of symbolic links\n");

    ASSERT_EQ(symlink(beside("victim-trace").c_str(), beside("trace-link").c_str()), 0);
    for (const char *program : {"promcfg", "promsim"}) {
        RunResult r = promtest::run_program(program, {program == std::string("promsim") ? "list" : "-P"}, "",
                                            {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", beside("trace-link")}});
        EXPECT_EQ(r.status, 2) << program;
        EXPECT_EQ(r.err, "promsim: PROMSIM_TRACE " + beside("trace-link") +
                             " refused: it is a symbolic link\n") << program;
    }
    for (const char *victim : {"victim-new", "victim-lock", "victim-trace"})
        EXPECT_FALSE(exists(beside(victim))) << victim;

    if (getuid() == 0) {  // a trace file that another user made for us
        std::ofstream(beside("their-trace")) << "";
        ASSERT_EQ(chown(beside("their-trace").c_str(), kOtherUser, kOtherUser), 0);
        RunResult r = promtest::run_program("promcfg", {"-P"}, "",
                                  {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", beside("their-trace")}});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "promsim: PROMSIM_TRACE " + beside("their-trace") +
                             " refused: it belongs to user 65534\n");
    }
}

// A lock that another process keeps (flock -x on it) costs a writer the
// bounded wait and one line, never the rest of its life.
TEST_F(PrivateBench, AHeldLockIsGivenUpAfterTheBoundedWait)
{
    promsim({"set", "clei", "OLD"});
    int fd = open((dir_ + "/system.lock").c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    auto started = std::chrono::steady_clock::now();
    RunResult r = promsim_result({"set", "clei", "NEW"});
    auto waited = std::chrono::steady_clock::now() - started;
    close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "promsim: gave up after 10 seconds waiting for " + dir_ +
                         "/system.lock: another process holds it\n"
                         "promsim: set clei: device locked by another process\n");
    EXPECT_GE(waited, std::chrono::seconds(10));
    EXPECT_LT(waited, std::chrono::seconds(60));
    EXPECT_EQ(promsim({"get", "clei"}), "OLD\n");
}

// A FIFO, a device or a folder in place of an image: damaged, told so by
// status, save and dump, never read from (no hang, no endless bytes), and
// replaced by a reset.
TEST_F(PrivateBench, OnlyRegularFilesAreImages)
{
    const struct {
        const char *device;
        void (*plant)(const std::string &path);
        const char *damage;
    } cases[] = {
        {"system", [](const std::string &p) { mkfifo(p.c_str(), 0600); }, "fifo, not a regular file"},
        {"kestrel", [](const std::string &p) { symlink("/dev/zero", p.c_str()); },
         "symbolic link, not a regular file"},
        {"blade", [](const std::string &p) { mkdir(p.c_str(), 0700); }, "folder, not a regular file"},
    };
    promsim({"list"});
    for (const auto &c : cases) {
        std::string prom = dir_ + "/" + c.device + ".prom";
        unlink(prom.c_str());
        c.plant(prom);
        RunResult status = promsim_result({"status"});
        EXPECT_EQ(status.status, 0);
        EXPECT_THAT(status.out, HasSubstr(std::string("\n") + c.device + " present damaged (" +
                                          c.damage + ")\n"));
        RunResult save = promsim_result({"save", c.device, beside("saved.img")});
        EXPECT_EQ(save.status, 1) << c.device;
        EXPECT_EQ(save.err, std::string("promsim: save ") + c.device + ": nothing saved: damaged (" +
                                c.damage + ")\n");
        EXPECT_FALSE(exists(beside("saved.img"))) << c.device;
        RunResult dump = promsim_result({"dump", c.device});
        EXPECT_EQ(dump.status, 1) << c.device;
        EXPECT_EQ(dump.err, std::string("promsim: dump ") + c.device + ": nothing to show: damaged (" +
                                c.damage + ")\n");
        EXPECT_EQ(promsim_result({"load", c.device, prom}).status, 2) << c.device;
        RunResult shown = promcfg({"-p"});
        EXPECT_EQ(shown.status, 0) << c.device;
        if (std::string(c.device) != "blade")
            promsim({"reset", c.device});
        else
            rmdir(prom.c_str());
        EXPECT_EQ(promsim({"dump", c.device, "0", "1"}), "000000  ff" + std::string(45, ' ') +
                                                             "  |.|\n") << c.device;
    }
}

// A rule for a function that the platform does not have would never fire:
// refused before anything happens, like a malformed one.
TEST_F(PrivateBench, FailRulesNamingNoPlatformFunctionAreRefused)
{
    for (const char *rule : {"swServFlsh=-1", "VPD_Client::reed#2=-1", "swServFlush=0,kestrel_Open=1"}) {
        std::string name = rule;
        name = name.substr(name.find(',') == std::string::npos ? 0 : name.find(',') + 1);
        name = name.substr(0, name.find_first_of("#="));
        for (RunResult r : {promcfg({"-P"}, "", {{"PROMSIM_FAIL", rule}}),
                            promsim_result({"list"}, {{"PROMSIM_FAIL", rule}})}) {
            EXPECT_EQ(r.status, 2) << rule;
            EXPECT_EQ(r.out, "") << rule;
            EXPECT_EQ(r.err, "promsim: PROMSIM_FAIL names an unknown function '" + name +
                                 "' (the platform functions: man promsim)\n");
        }
    }
    EXPECT_TRUE(take_trace().empty());
    EXPECT_FALSE(exists(dir_));
}

}  // namespace
