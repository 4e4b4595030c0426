// End-to-end test support: runs the built promcfg and promsim (through the
// cross-build's launcher, when there is one) on a fresh emulated hardware
// folder, with given standard input and environment.
#ifndef PROMCFG_TESTS_SIM_FIXTURE_H
#define PROMCFG_TESTS_SIM_FIXTURE_H

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace promtest {

struct RunResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

using EnvList = std::vector<std::pair<std::string, std::string>>;

// Runs bin/<program> (or an absolute path) with args; stdin gets `input`. The child's environment
// is this process's without any PROMSIM_ variable, plus `env`.
RunResult run_program(const std::string &program, const std::vector<std::string> &args,
                      const std::string &input, const EnvList &env);

// Starts bin/<program> without waiting: stdin from `input_path` (or
// /dev/null), stdout and stderr to the given paths (or /dev/null; "&1" for
// stderr: where stdout goes, as 2>&1). Returns its pid; for races and kills.
pid_t start_program(const std::string &program, const std::vector<std::string> &args,
                    const EnvList &env, const std::string &input_path = "",
                    const std::string &out_path = "", const std::string &err_path = "");

// Waits for a started program: its exit status, or 128 + signal.
int wait_program(pid_t pid);

std::string read_file(const std::string &path);

// The output of each action run from the menu, in order: what follows a
// selection up to the list shown again.
std::vector<std::string> menu_actions(const std::string &out);

// Lowercase hexadecimal of bytes, as the trace writes records.
std::string hex(const void *bytes, std::size_t length);
inline std::string hex(const std::string &text)
{
    return hex(text.data(), text.size());
}

// The arguments of the first trace line of `call`, or "<not called>".
std::string call_arguments(const std::vector<std::string> &trace, const std::string &call);
int count_calls(const std::vector<std::string> &trace, const std::string &call);
// The trace lines that start (or, with keep false, do not start) with prefix.
std::vector<std::string> calls_of(const std::vector<std::string> &trace, const std::string &prefix,
                                  bool keep = true);

// The calls that change a PROM: the trace without reads, without the VPD
// client's life and its library's exit handler.
std::vector<std::string> write_calls(const std::vector<std::string> &trace);

// The command that starts the built promcfg, the launcher's words first: what
// promcfg-apply's --promcfg takes.
std::string promcfg_command();

// The trace line of a client closed.
const std::string kClosed = "VPD_Client::~VPD_Client() = 0";

// An answer prompt: the label padded to 48 columns in brackets; prompts: one after the other.
std::string prompt(const std::string &label);
std::string prompts(const std::vector<std::string> &labels);

// The items of a blade switch with system, board and chassis data, less the item `without`: a
// value for SimTest::set_items.
std::string blade(int product, const std::string &without = "-");

// A fresh PROMSIM_DIR and trace file per test, removed afterwards.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // promcfg with PROMSIM_DIR and PROMSIM_TRACE set, plus `env`.
    RunResult promcfg(const std::vector<std::string> &args, const std::string &input = "",
                      const EnvList &env = {});
    // promcfg-apply on the same folder and trace, with --promcfg `tool` (the
    // built promcfg when empty) before `args`.
    RunResult apply(const std::vector<std::string> &args, const std::string &input = "",
                    const EnvList &env = {}, const std::string &tool = "");
    // promcfg-apply started without waiting, as apply() runs it, with its
    // standard input, output and error from and to files of the test's folder.
    pid_t start_apply(const std::vector<std::string> &args, const std::string &input_path,
                      const std::string &out_path, const std::string &err_path, const std::string &tool = "");
    // A shell script in the test's folder, as a --promcfg command that is
    // given the real promcfg's command (launcher first) as its arguments.
    std::string promcfg_script(const std::string &name, const std::string &body);
    // A path in the test's folder, beside the emulated hardware.
    std::string scratch(const std::string &name) const;
    // promsim on the same folder; fails the test unless it ends with status 0.
    std::string promsim(const std::vector<std::string> &args);
    RunResult promsim_result(const std::vector<std::string> &args, const EnvList &env = {});
    // promsim on the same folder, not waited for, output discarded.
    pid_t start_promsim(const std::vector<std::string> &args);
    // Sets each item of "name=value ..." with promsim, in order.
    void set_items(const std::string &items);
    // promcfg -m: the outputs of the actions that `input` selects (Exit is added).
    std::vector<std::string> menu(const std::string &input, const EnvList &env = {});

    // The trace lines written since the last call of take_trace().
    std::vector<std::string> take_trace();
    // Deletes the trace so far.
    void clear_trace();

    std::string dir_;
    std::string trace_path_;
};

}  // namespace promtest

#endif
