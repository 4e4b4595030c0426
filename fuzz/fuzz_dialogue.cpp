// promcfg-apply's dialogue with promcfg and the judgement of its end. The
// input plays promcfg: what it prints, cut into reads anywhere, which
// answer write fails, the interrupts and how the run ends. The harness moves
// the bytes as the runner does and keeps its own account of what was asked
// and sent. A group judged written had every planned answer asked and sent
// once, in order, promcfg's done line after the last one, and exit status 0
// with no failed call reported.
//
// Input: mode, ending, lost answer, the plan, then operations to the end.
#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "apply/dialogue.h"
#include "apply/plan.h"
#include "apply/tool_run.h"
#include "apply/value_check.h"
#include "check.h"
#include "prom/entry_prompts.h"

namespace {

// What promcfg prints after each group's commit.
constexpr const char *done_lines[] = {"\nSystem Data updated\n", "\nBoard Data updated\n",
                                      "\nChassis Data updated\n"};
constexpr const char *group_names[] = {"system data", "board data", "chassis data"};
constexpr const char *group_options[] = {"-s", "-b", "-c"};
constexpr ItemDialogue groups[] = {ItemDialogue::system_data, ItemDialogue::board_data, ItemDialogue::chassis_data};

// Exit statuses a run ends with: its own, or 128 + the signal that ended it.
constexpr int statuses[] = {0, 0, 1, 2, 127, 128 + SIGINT, 128 + SIGPIPE, 128 + SIGKILL};
constexpr int interrupt_signals[] = {SIGINT, SIGTERM, SIGHUP};

// Bytes promcfg can print around its questions.
constexpr char product_list[] =
    "Product ID  Name\n"
    "  38        Hawk 8\n"
    "  43        Kestrel 16\n"
    "  59        Kestrel 32\n";
constexpr char refusal[] = "Input contains non-ASCII data!  Please re-enter data.\n";
constexpr char failed_call[] = "Error writing port count, rc = -5 errno = 5\n";

// The reads of the runner take at most this much.
constexpr std::size_t read_size = 4096;

struct Input {
    const uint8_t *data;
    std::size_t size;

    bool empty() const { return size == 0; }
    uint8_t byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    std::string text(std::size_t most)
    {
        std::size_t length = std::min<std::size_t>(byte() % (most + 1), size);
        std::string bytes(reinterpret_cast<const char *>(data), length);
        data += length;
        size -= length;
        return bytes;
    }
};

// promcfg's questions, by the tables both programs share, with the item
// each answers.
struct Question {
    std::string label;
    int item;
};

const std::vector<Question> &real_questions()
{
    static const std::vector<Question> questions = [] {
        std::vector<Question> list;
        // Every item's question, but of the ASIC MACs the first two and the last.
        for (int item = 0; item < item_count; ++item) {
            int asic_mac = index_in_family(item, item_asic_mac0);
            if (asic_mac < 2 || asic_mac == static_cast<int>(board_max_asic_macs) - 1)
                list.push_back({item_prompt(item), item});
        }
        return list;
    }();
    return questions;
}

const Question &any_question(Input &in)
{
    return real_questions()[in.byte() % real_questions().size()];
}

// How promcfg asks: the label padded to 48 columns in brackets, a blank.
std::string question(const std::string &label)
{
    std::string text = "[" + label;
    if (label.size() < 48)
        text.append(48 - label.size(), ' ');
    return text + "] ";
}

// An answer as the checks make them: one line.
std::string answer_text(Input &in)
{
    std::string answer = in.text(23);
    std::replace(answer.begin(), answer.end(), '\n', '.');
    return answer;
}

bool build_plan(Input &in, bool from_file, unsigned done_row, GroupPlan &plan)
{
    if (!from_file) {
        plan = {groups[done_row], group_options[done_row], group_names[done_row], done_lines[done_row], {}};
        unsigned count = in.byte() % 10;
        for (unsigned i = 0; i < count; ++i) {
            const Question &asked = any_question(in);
            plan.steps.push_back({asked.label, answer_text(in), asked.item});
        }
        return true;
    }
    Wanted wanted;
    uint8_t asic = in.byte();
    wanted.asic_count_known = asic & 1;
    wanted.asic_macs = (asic >> 1) % (board_max_asic_macs + 2);
    unsigned count = in.byte() % 13;
    for (unsigned i = 0; i < count; ++i) {
        int item = in.byte() % item_count;
        wanted.given[item] = true;
        // make_plan takes the count as checked: 1 to 8.
        wanted.answer[item] = item == item_subassembly_count ? std::string(1, static_cast<char>('1' + in.byte() % 8))
                                                             : answer_text(in);
    }
    std::vector<GroupPlan> plans = make_plan(wanted);
    if (plans.empty())
        return false;
    plan = plans[in.byte() % plans.size()];
    return true;
}

// The question a line is: "[label] ", the label padded by blanks; "" for
// none.
std::string asked_by(const std::string &line)
{
    std::size_t size = line.size();
    if (size < 3 || line[0] != '[' || line[size - 2] != ']' || line[size - 1] != ' ')
        return "";
    std::string label = line.substr(1, size - 3);
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

// The harness's own account of the dialogue. Of what promcfg printed since
// the last answer (sent or lost) it keeps the size, the last line and what
// it said; the words may span reads.
struct Model {
    std::size_t since_answer = 0;
    std::string line;          // the last line since the answer
    bool new_line = false;     // a line ended since the answer
    bool said_done = false;    // the plan's done line since the answer
    bool failed_call = false;  // "rc = " since the first answer that went out
    // Words of a judgement that promcfg's own lines may hold, anywhere.
    bool said_written = false;
    bool said_every_answer = false;
    std::string recent;  // the last 32 bytes since the answer: a word's seam
    std::vector<std::string> sent;
    bool answers_open = true;  // promcfg-apply may still answer
    bool input_open = true;    // the runner's write end of promcfg's input

    void printed(const char *bytes, std::size_t size, const std::string &done)
    {
        since_answer += size;
        // The bytes, and the seam with the earlier ones: no copy of a whole read.
        std::string_view read(bytes, size);
        char seam_bytes[64];
        std::size_t seam_size = recent.copy(seam_bytes, recent.size());
        std::size_t taken = std::min(size, sizeof seam_bytes - seam_size);
        read.copy(seam_bytes + seam_size, taken);
        std::string_view seam(seam_bytes, seam_size + taken);
        auto holds = [&](std::string_view word) {
            return read.find(word) != std::string_view::npos || seam.find(word) != std::string_view::npos;
        };
        said_done = said_done || holds(done);
        failed_call = failed_call || (!sent.empty() && holds("rc = "));
        said_written = said_written || holds("written");
        said_every_answer = said_every_answer || holds("every answer");
        std::string_view tail =
            size >= 32 ? read.substr(size - 32) : seam.substr(seam.size() - std::min<std::size_t>(seam.size(), 32));
        recent.assign(tail.data(), tail.size());
        const char *end = bytes + size;
        const char *last = end;
        while (last > bytes && last[-1] != '\n')
            --last;
        if (last > bytes) {
            new_line = true;
            line.clear();
        }
        line.append(last, end);
    }

    void answered()
    {
        since_answer = 0;
        line.clear();
        recent.clear();
        new_line = said_done = false;
    }
};

struct Run {
    const GroupPlan &plan;
    ToolRun &run;
    Model model;
    unsigned lost_answer;  // the answer (1-based) whose write fails, or 0
    unsigned writes = 0;
    unsigned interrupts = 0;

    // One read of promcfg's output, as the runner takes it.
    void take(const char *bytes, std::size_t size)
    {
        Dialogue &dialogue = run.dialogue;
        const std::vector<Step> &steps = plan.steps;
        Model &m = model;
        bool fits = m.since_answer + size <= dialogue_output_limit;
        std::size_t next = m.sent.size();
        std::string label;
        if (fits) {
            m.printed(bytes, size, plan.done);
            label = m.answers_open ? asked_by(m.line) : "";
        }
        // After an answer, anything printed before the next question is
        // promcfg's word on that answer: no longer a plain question.
        bool plain = next == 0 || !m.new_line;
        bool expected = !label.empty() && next < steps.size() && label == steps[next].label && plain;

        Reply reply = dialogue_printed(dialogue, bytes, size);
        FUZZ_CHECK(dialogue.out.size() <= dialogue_output_limit, "%zu bytes kept", dialogue.out.size());
        if (!fits) {
            FUZZ_CHECK(dialogue.stop == Dialogue::too_much_output && !reply.send,
                       "%zu + %zu bytes printed, stop %d", m.since_answer, size, dialogue.stop);
            run.end = ToolRun::too_much_output;
            return;
        }
        FUZZ_CHECK(dialogue.stop != Dialogue::too_much_output, "stopped at %zu bytes", m.since_answer);
        FUZZ_CHECK(!reply.send || m.input_open, "an answer sent after the input was closed");
        if (expected) {
            FUZZ_CHECK(reply.send && reply.line == steps[next].answer + "\n",
                       "question %zu \"%s\" answered: %d '%s'", next, label.c_str(), reply.send,
                       printable(reply.line).c_str());
            FUZZ_CHECK(reply.close_input == (next + 1 == steps.size()), "input closed %d after answer %zu of %zu",
                       reply.close_input, next + 1, steps.size());
        } else {
            FUZZ_CHECK(!reply.send, "'%s' sent after '...%s'", printable(reply.line).c_str(),
                       printable(m.line).c_str());
            // A question the plan does not hold ends the answers.
            FUZZ_CHECK(reply.close_input == !label.empty(), "input closed %d at question \"%s\"",
                       reply.close_input, printable(label).c_str());
            if (!label.empty())
                FUZZ_CHECK(dialogue.stop == Dialogue::unexpected && dialogue.unexpected_label == label,
                           "question \"%s\" unexpected, stop %d '%s'", printable(label).c_str(), dialogue.stop,
                           printable(dialogue.unexpected_label).c_str());
        }

        if (reply.send) {
            m.answered();
            if (++writes == lost_answer || !m.input_open) {
                dialogue_answer_lost(dialogue);
                reply.close_input = true;
                m.answers_open = false;
            } else {
                m.sent.push_back(reply.line);
            }
        }
        if (reply.close_input) {
            m.input_open = false;
            m.answers_open = false;
        }
        FUZZ_CHECK(dialogue.answered == m.sent.size() && dialogue.answered <= steps.size(),
                   "%zu answered, %zu sent, %zu steps", dialogue.answered, m.sent.size(), steps.size());
        FUZZ_CHECK(dialogue.out.size() == m.since_answer, "%zu bytes kept, %zu printed since the answer",
                   dialogue.out.size(), m.since_answer);
    }

    // Output in reads of at most read_size bytes.
    void print(const std::string &bytes)
    {
        for (std::size_t at = 0; at < bytes.size() && run.end == ToolRun::exited; at += read_size)
            take(bytes.data() + at, std::min(read_size, bytes.size() - at));
    }

    // Lines of x, `size` bytes in all, read by read_size.
    void flood(std::size_t size)
    {
        static const std::string lines = [] {
            std::string block(read_size, 'x');
            for (std::size_t at = 63; at < block.size(); at += 64)
                block[at] = '\n';
            return block;
        }();
        for (std::size_t left = size; left > 0 && run.end == ToolRun::exited;) {
            std::size_t piece = std::min(left, read_size);
            take(lines.data(), piece);
            left -= piece;
        }
    }

    // The runner at an interrupt: the first closes the input, a second stops promcfg.
    void interrupt(int signal)
    {
        run.interrupted = signal;
        if (++interrupts > 1)
            run.end = ToolRun::stopped;
        model.input_open = false;
        model.answers_open = false;
        run.dialogue.input_closed = true;
    }
};

void check_judgement(const Run &play, const GroupResult &result)
{
    const GroupPlan &plan = play.plan;
    const ToolRun &run = play.run;
    const Model &model = play.model;
    const std::vector<Step> &steps = plan.steps;
    FUZZ_CHECK(result.plan == &plan, "judged another plan");
    for (std::size_t i = 0; i < model.sent.size(); ++i)
        FUZZ_CHECK(model.sent[i] == steps[i].answer + "\n", "answer %zu sent as '%s'", i,
                   printable(model.sent[i]).c_str());

    bool every_answer_sent = true;
    for (std::size_t i = model.sent.size(); i < steps.size(); ++i)
        every_answer_sent = every_answer_sent && steps[i].answer.empty();
    if (result.state == GroupResult::written) {
        FUZZ_CHECK(every_answer_sent, "written with %zu of %zu answers sent", model.sent.size(), steps.size());
        FUZZ_CHECK(!model.sent.empty() && model.said_done,
                   "written with no done line after answer %zu", model.sent.size());
        FUZZ_CHECK(run.end == ToolRun::exited && run.status == 0, "written, end %d status %d", run.end,
                   run.status);
        FUZZ_CHECK(!model.failed_call, "written after a failed call");
        FUZZ_CHECK(run.dialogue.stop == Dialogue::going, "written, stop %d", run.dialogue.stop);
    }
    if (run.end == ToolRun::not_started)
        FUZZ_CHECK(result.state == GroupResult::failed, "not started, state %d", result.state);

    if (result.state == GroupResult::stopped || result.state == GroupResult::interrupted) {
        // "nothing of system data was written" is the only "written" they say,
        // unless promcfg's own lines said it.
        std::string detail = result.detail;
        std::string nothing = "nothing of " + std::string(plan.name) + " was written";
        for (std::size_t at; (at = detail.find(nothing)) != std::string::npos;)
            detail.erase(at, nothing.size());
        FUZZ_CHECK(model.said_written || detail.find("written") == std::string::npos, "%d claims written: %s",
                   result.state, result.detail.c_str());
        FUZZ_CHECK(every_answer_sent || model.said_every_answer ||
                       result.detail.find("every answer") == std::string::npos,
                   "%zu of %zu answers sent: %s", model.sent.size(), steps.size(), result.detail.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    uint8_t mode = in.byte();
    uint8_t ending = in.byte();
    uint8_t lost = in.byte();
    GroupPlan plan{};
    if (!build_plan(in, mode & 1, (mode >> 2) % 3, plan))
        return 0;

    ToolRun run(&plan.steps);
    Run play{plan, run, {}, lost, 0, 0};
    if ((mode & 0x62) == 0x62) {
        run.err = "cannot start promcfg: No such file or directory";
    } else {
        run.end = ToolRun::exited;
        std::string pending;  // printed, not read yet
        bool flooded = false;
        for (unsigned count = 0; !in.empty() && count < 256 && run.end == ToolRun::exited; ++count) {
            uint8_t op = in.byte();
            unsigned cut = op >> 4;
            const std::vector<Step> &steps = plan.steps;
            std::size_t next = play.model.sent.size();
            switch (op & 15) {
            case 0:
            case 13:
            case 14:
            case 15:  // the question of the next step
                pending += question(next < steps.size() ? steps[next].label : real_questions()[0].label);
                break;
            case 1:  // any real question
                pending += question(any_question(in).label);
                break;
            case 2:  // the last question again: a refused answer
                pending += question(next > 0 ? steps[next - 1].label : real_questions()[1].label);
                break;
            case 3:
                pending += product_list;
                break;
            case 4:
                pending += plan.done;
                break;
            case 5:
                pending += failed_call;
                break;
            case 6:
                pending += in.text(96);
                break;
            case 7:  // a question no table holds
                pending += "[" + in.text(60) + "] ";
                break;
            case 8:
                pending += "\n";
                break;
            case 9:
                pending += refusal;
                break;
            case 10:
                play.interrupt(interrupt_signals[in.byte() % 3]);
                continue;
            case 11:
                run.end = ToolRun::timed_out;
                continue;
            case 12: {
                uint8_t which = in.byte();
                if (which < 0xe0) {  // another group's done line
                    pending += done_lines[which % 3];
                    break;
                }
                // A flood (one an input), ending a few bytes short of the
                // limit or past it.
                if (flooded)
                    break;
                flooded = true;
                play.print(pending);
                pending.clear();
                std::size_t room = dialogue_output_limit - std::min(dialogue_output_limit, play.model.since_answer);
                play.flood(std::max<std::size_t>(room, 2) - 2 + which % 5);
                break;
            }
            }
            // Cut 0 leaves it all for the next read; else that share is read.
            if (cut > 0) {
                std::size_t at = pending.size() * cut / 15;
                play.print(pending.substr(0, at));
                pending.erase(0, at);
            }
        }
        play.print(pending);
        // promcfg closed its output: the runner closes its input and waits.
        play.model.input_open = false;
        for (unsigned late = ending & 3; late > 0 && late < 3 && run.end == ToolRun::exited; --late)
            play.interrupt(interrupt_signals[(ending >> 5) % 3]);
        run.status = statuses[(ending >> 2) % 8];
    }

    GroupResult result = judge_group(plan, run, 30);
    check_judgement(play, result);
    return 0;
}
