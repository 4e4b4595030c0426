// promcfg-apply's dialogue with promcfg and its judgement of each write of
// a run. The input chooses a run (random steps of promcfg's real prompts;
// or what promcfg-apply plans for a random file and switch: the option run,
// the menu run or its reading alone, the menu session of a file of system
// items) and plays promcfg: what it prints, cut into reads anywhere, which
// answer write fails, the interrupts and how the run ends. The harness
// moves the bytes as the runner does and keeps its own account of what it
// printed and what was sent, from which it checks:
//  - an answer goes out only at the prompt of a step still ahead, with
//    what came before that prompt being what the step allows, and it is
//    that step's answer; the plain case (the harness printed the planned
//    prompt at the start of a line) is answered, or ends the answers when
//    the prompt or what came before it is not the planned one;
//  - nothing is sent once the input is closed or the done words came, or
//    at the wrong kind of prompt; the kept output stays bounded;
//  - a write judged written had its answers sent and promcfg's own words
//    of success where they belong; the details of the others say why, and
//    claim nothing written that promcfg did not say.
// FUZZ_TRACE=1 prints the run of each input.
//
// Input: mode, ending, lost answer, standard error, the plan, then
// operations to the end.
#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "apply/act_judge.h"
#include "apply/checks.h"
#include "apply/dialogue.h"
#include "apply/plan.h"
#include "apply/session_reading.h"
#include "apply/tool_run.h"
#include "apply/value_check.h"
#include "check.h"
#include "prom/entry_prompts.h"

namespace {

constexpr std::size_t npos = std::string::npos;

// The reads of the runner take at most this much.
constexpr std::size_t read_size = 4096;

// What promcfg prints around its prompts.
constexpr const char *option_done[] = {"\nSystem Data updated\n", "\nBoard Data updated\n",
                                       "\nChassis Data updated\n"};
constexpr const char *option_how[] = {"-s", "-b", "-c"};
constexpr const char *option_name[] = {"system data", "board data", "chassis data"};
constexpr ItemDialogue option_group[] = {ItemDialogue::system_data, ItemDialogue::board_data,
                                         ItemDialogue::chassis_data};
constexpr char ip_written[] = "IP info written to VPD successfully.\n";
constexpr const char *refusals[] = {
    "Bad IP address specified.\n",
    "Input contains non-ASCII data!  Please re-enter data.\n",
    "Bad netmask specified.\n",
    "Unsupported board type!\n",
};
constexpr char failed_call[] = "Error writing WWName, rc = -3 errno = 5\n";
constexpr const char *chassis_lines[] = {
    "Current chassis type is 'bc2'\nSetting chassis type to 0x3....Done.\n\n",
    "Current chassis type is Unknown\nSetting chassis type to 0x1....\nError setting chassis type! (rc=0xfffffffb)\n",
    "Current chassis type is 'ht'\nSetting chassis type to 0x2....",
};
constexpr const char *other_text[] = {
    "Product ID  Name\n  38        Hawk 8\n  43        Kestrel 16\n  59        Kestrel 32\n",
    ("\nVPD display cli.  First parameter is the offset (hex).  Second\n"
     "parameter is the length (decimal).  Ctrl-C to exit.\n\n"),
    "0000  3b 00 00 00 00 00 00 00  00 05 1e 00 00 01 00 05\n\n",
    "Chassis type = 0x3\n",
    "Service tag:\tABC1234\n",
};
constexpr const char *standard_errors[] = {
    "",
    "promcfg: end of input: Set up board data not written\n",
    "swServer: cannot open the bus\n",
};

// The rows of promcfg's menu, as it lists them before its prompt.
constexpr const char *menu_rows[] = {
    "Exit",
    "Set up system data (MAC, WWN, VWWN)",
    "Set up board data",
    "Set up chassis data",
    "Display main prom data",
    "Set up FC Switch Blade data",
    "Print FC Switch Blade data",
    "Print FC Switch Blade chassis type",
    "Set IP address in VPD",
    "Clear MM data (includes IP info)",
    "Print FC Switch Blade data (8KB)",
    "VPD Display cli",
    "Clear IBM VPD PROM",
    "Detect IBM VPD PROM size (destructive)",
    "Set up Kestrel Blade VPD",
    "Print Kestrel Blade VPD",
};
constexpr char first_row[] = "\t0.\tExit\n";
constexpr char selection_line[] = "\t\tSelection (0-15): ";
constexpr char command_line[] = "vpd-> ";

// The list and its prompt; the "\n" promcfg prints before it is not part.
const std::string &menu_listing()
{
    static const std::string text = [] {
        std::string list;
        int row = 0;
        for (const char *name : menu_rows)
            list += "\t" + std::to_string(row++) + ".\t" + name + "\n";
        return list + "\n" + selection_line;
    }();
    return text;
}

// Exit statuses a run ends with: its own, or 128 + the signal that ended it.
constexpr int statuses[] = {0, 0, 1, 2, 127, 128 + SIGINT, 128 + SIGPIPE, 128 + SIGKILL};
constexpr int interrupt_signals[] = {SIGINT, SIGTERM, SIGHUP};

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

// An answer as the checks make them: one line.
std::string answer_text(Input &in)
{
    std::string answer = in.text(23);
    std::replace(answer.begin(), answer.end(), '\n', '.');
    return answer;
}

// promcfg's prompts by the tables both programs share: every item's
// question (of the ASIC MACs the first two and the last), the address
// questions, the menu's and the VPD command line's.
struct RealPrompt {
    Prompt prompt;
    std::string label;
    int item;
};

const std::vector<RealPrompt> &real_prompts()
{
    static const std::vector<RealPrompt> prompts = [] {
        std::vector<RealPrompt> list;
        for (int item = 0; item < item_count; ++item) {
            const IdentityItem &row = *item_info(item).row;
            int asic_mac = index_in_family(item, item_asic_mac0);
            if (row.dialogue == ItemDialogue::chassis_type ||
                (asic_mac >= 2 && asic_mac != static_cast<int>(board_max_asic_macs) - 1))
                continue;
            Prompt prompt = row.kind == ItemKind::address ? Prompt::address : Prompt::question;
            list.push_back({prompt, item_prompt(item), item});
            FUZZ_CHECK(list.back().label.find_first_of("[\n") == npos, "label '%s'", list.back().label.c_str());
        }
        list.push_back({Prompt::selection, "", -1});
        list.push_back({Prompt::command, "", -1});
        return list;
    }();
    return prompts;
}

// The questions of the system PROM's dialogues, and those of the menu's
// set-ups with the address questions.
std::vector<const RealPrompt *> prompts_where(bool option_dialogue)
{
    std::vector<const RealPrompt *> list;
    for (const RealPrompt &prompt : real_prompts()) {
        if (prompt.item < 0)
            continue;
        bool system = item_info(prompt.item).row->prom == ItemProm::system;
        if (system == option_dialogue)
            list.push_back(&prompt);
    }
    return list;
}

// How promcfg prints a prompt.
std::string prompt_text(Prompt prompt, const std::string &label)
{
    switch (prompt) {
    case Prompt::question: {
        std::string text = "[" + label;
        if (label.size() < 48)
            text.append(48 - label.size(), ' ');
        return text + "] ";
    }
    case Prompt::address:
        return label + ": ";
    case Prompt::selection:
        return menu_listing();
    case Prompt::command:
        return command_line;
    }
    return "";
}

// What the extend callback adds, once: more reading, or (a file of system
// items) the menu rows that write them, then the reading.
struct Extension {
    std::vector<Step> steps;
    unsigned calls = 0;
    bool system_rows = false;
    Wanted wanted;
    Identity before;
    bool force = false;
    ReadRows records;
    std::vector<Act> *acts = nullptr;
    std::vector<Act> unchanged;
};

bool extend_steps(void *context, Dialogue &dialogue)
{
    Extension &more = *static_cast<Extension *>(context);
    FUZZ_CHECK(dialogue.next >= dialogue.steps.size(), "more steps asked for at step %zu of %zu", dialogue.next,
               dialogue.steps.size());
    if (more.calls++ > 0)
        return false;
    std::size_t before = dialogue.steps.size();
    if (more.system_rows)
        append_system_rows(dialogue, *more.acts, more.wanted, more.before, more.force, more.unchanged, more.records);
    else
        dialogue.steps.insert(dialogue.steps.end(), more.steps.begin(), more.steps.end());
    for (const Act &act : *more.acts)
        FUZZ_CHECK(act.first <= act.end && act.end <= dialogue.steps.size(), "%s at steps %zu to %zu of %zu",
                   act.how, act.first, act.end, dialogue.steps.size());
    return dialogue.steps.size() > before;
}

Step selection_step(const char *row)
{
    return {"", row, -1, Prompt::selection, Lead::any};
}

// Reading steps as the menu run ends with them.
void reading_steps(Input &in, std::vector<Step> &steps, unsigned most)
{
    static const char *const rows[] = {"4", "7", "15", "11"};
    static const char *const commands[] = {"0 16", "1000 20", "6c 2"};
    unsigned count = in.byte() % (most + 1);
    for (unsigned i = 0; i < count; ++i) {
        uint8_t pick = in.byte();
        if (pick & 0x80 && !steps.empty() && (steps.back().answer == "11" || steps.back().prompt == Prompt::command))
            steps.push_back({"", commands[pick % 3], -1, Prompt::command, Lead::any});
        else
            steps.push_back(selection_step(rows[pick % 4]));
    }
}

// A step of one of the prompts in `from`: its answer or an empty one,
// optional or not, following the step before at once or after anything.
Step random_step(Input &in, const std::vector<const RealPrompt *> &from)
{
    const RealPrompt &prompt = *from[in.byte() % from.size()];
    uint8_t flags = in.byte();
    Step step = {prompt.label, flags & 4 ? "" : answer_text(in), prompt.item, prompt.prompt,
                 flags & 2 ? Lead::any : Lead::none};
    step.optional = flags & 1;
    return step;
}

struct Chosen {
    RunPlan plan;
    Extension more;
    bool reading_only = false;  // the menu run after a write that failed: judged not run
};

// A run of random steps, shaped as make_plan shapes its runs: option
// dialogues, each after the done words of the one before, then -x; or menu
// writes, each after the success of the one before, then the reading.
void direct_plan(Input &in, Chosen &chosen)
{
    RunPlan &plan = chosen.plan;
    Dialogue &dialogue = plan.dialogue;
    std::vector<Step> &steps = dialogue.steps;
    uint8_t shape = in.byte();
    unsigned blocks = (shape >> 1) % 4;
    const char *last_done = nullptr;
    if (shape & 1) {
        static const std::vector<const RealPrompt *> questions = prompts_where(true);
        for (unsigned block = 0; block < blocks; ++block) {
            unsigned group = in.byte() % 3;
            Act act = {ActKind::option_dialogue, option_group[group], option_how[group], option_name[group],
                       option_done[group], steps.size(), 0, ""};
            for (unsigned count = 1 + in.byte() % 6; count > 0; --count)
                steps.push_back(random_step(in, questions));
            steps[act.first].lead = last_done ? Lead::after_done : Lead::any;
            steps[act.first].lead_text = last_done ? last_done : "";
            act.end = steps.size();
            last_done = act.done;
            dialogue.done = act.done;
            plan.arguments.push_back(act.how);
            plan.acts.push_back(act);
        }
        if (shape & 0x10) {
            plan.arguments.insert(plan.arguments.end(), {"-x", "bc2"});
            plan.acts.push_back({ActKind::chassis_type, ItemDialogue::chassis_type, "-x", "chassis type", "Done.\n",
                                 steps.size(), steps.size(), ""});
        }
        dialogue.answers = !steps.empty();
        return;
    }
    struct MenuWrite {
        const char *row;
        ItemDialogue group;
        const char *name;
        const char *done;
    };
    static const MenuWrite writes[] = {
        {"5", ItemDialogue::blade_setup, "blade VPD record", ""},
        {"8", ItemDialogue::mgmt_address, "IP addresses", ip_written},
        {"14", ItemDialogue::kestrel_setup, "Kestrel VPD record", ""},
        {"1", ItemDialogue::system_data, "system data", option_done[0]},
        {"2", ItemDialogue::board_data, "board data", option_done[1]},
        {"3", ItemDialogue::chassis_data, "chassis data", option_done[2]},
    };
    static const std::vector<const RealPrompt *> system_questions = prompts_where(true);
    static const std::vector<const RealPrompt *> record_questions = prompts_where(false);
    plan.arguments.push_back("-m");
    for (unsigned block = 0; block < blocks; ++block) {
        unsigned row = in.byte() % 6;
        const MenuWrite &write = writes[row];
        Act act = {ActKind::menu_write, write.group, write.row, write.name, write.done, steps.size(), 0, ""};
        steps.push_back(selection_step(write.row));
        if (last_done) {
            steps.back().lead = Lead::exact;
            steps.back().lead_text = std::string(last_done) + "\n";
        }
        for (unsigned count = 1 + in.byte() % 4; count > 0; --count)
            steps.push_back(random_step(in, row < 3 ? record_questions : system_questions));
        steps[act.first + 1].lead = Lead::any;
        act.end = steps.size();
        last_done = act.done;
        plan.acts.push_back(act);
    }
    dialogue.answers = true;
    if (shape & 0x20)
        dialogue.resume_at = steps.size();
    steps.push_back(selection_step(row_display));
    if (last_done) {
        steps.back().lead = Lead::exact;
        steps.back().lead_text = std::string(last_done) + "\n";
    }
    reading_steps(in, steps, 3);
    if (shape & 0x40) {
        reading_steps(in, chosen.more.steps, 2);
        chosen.more.acts = &plan.acts;
        dialogue.extend = extend_steps;
        dialogue.context = &chosen.more;
    }
}

// The runs promcfg-apply plans for a random file's items on a random
// switch (some of them held already): make_plan's option run, its menu run
// or that run's reading alone (after a write that did not end well); or the
// menu session of a file of system items, whose rows come once row 4 showed.
void made_plan(Input &in, uint8_t mode, Chosen &chosen)
{
    static const long products[] = {34, 35, 43, 47, 53, 59, 38, 0, 2};
    Wanted wanted;
    Identity before;
    Layout layout;
    uint8_t asic = in.byte();
    wanted.asic_count_known = asic & 1;
    wanted.asic_macs = (asic >> 1) % (board_max_asic_macs + 2);
    uint8_t product = in.byte();
    wanted.product_known = product & 1;
    wanted.product = products[(product >> 1) % 9];
    uint8_t records = in.byte();
    if (records & 1)
        wanted.blade_rewrite = "the record copies mac0, which the file changes";
    if (records & 2)
        wanted.kestrel_rewrite = "the record copies chassis-sn, which the file changes";
    uint8_t count = in.byte();
    for (unsigned i = 0; i < count % 16u; ++i) {
        uint8_t pick = in.byte();
        int item = pick % item_count;
        wanted.given[item] = true;
        // make_plan takes the count as checked: 1 to 8.
        wanted.answer[item] = item == item_subassembly_count ? std::string(1, static_cast<char>('1' + in.byte() % 8))
                                                             : answer_text(in);
        // The switch holds it already.
        if (pick & 0x80) {
            before.defined[item] = true;
            before.value[item] = stored_form(item, wanted.answer[item]);
        }
    }
    // The switch's own product, kept; the record fields the file leaves out.
    if (product & 0x80) {
        before.defined[item_product_id] = true;
        before.value[item_product_id] = wanted.answer[item_product_id];
    }
    if (records & 4)
        for (int item = 0; item < item_count; ++item)
            if (item_info(item).row->prom != ItemProm::system && !wanted.given[item])
                wanted.keep[item] = item_name(item).substr(0, 3 + (records >> 5));
    if (records & 8)
        for (unsigned fields = 1 + (records >> 4) % 3; fields > 0; --fields)
            layout.fields.push_back({"vpd-part-number", ItemProm::blade_vpd, in.byte() * 16u,
                                     1u + in.byte() % 64, FieldForm::text});
    const Layout *known = records & 8 ? &layout : nullptr;
    bool force = count & 0x80;
    RunPlan &plan = chosen.plan;
    switch ((mode >> 1) & 3) {
    case 3: {
        Extension &more = chosen.more;
        more.system_rows = true;
        more.wanted = wanted;
        more.before = before;
        more.force = force;
        more.records.kestrel = count & 0x40;
        if (known && count & 0x20)
            more.records.blade_ranges = blade_ranges(layout);
        more.acts = &plan.acts;
        plan.arguments.push_back("-m");
        plan.dialogue.answers = true;
        append_reading(plan.dialogue.steps, ReadRows(), true);
        plan.dialogue.extend = extend_steps;
        plan.dialogue.context = &more;
        return;
    }
    case 1: {
        WritePlan plans = make_plan(wanted, before, known, force);
        if (!plans.options.acts.empty()) {
            plan = plans.options;
            return;
        }
        plan = plans.menu;
        break;
    }
    default:
        plan = make_plan(wanted, before, known, force).menu;
        break;
    }
    FUZZ_CHECK(!plan.dialogue.steps.empty() && plan.dialogue.resume_at < plan.dialogue.steps.size(),
               "a menu run of %zu steps resuming at %zu", plan.dialogue.steps.size(), plan.dialogue.resume_at);
    if ((mode >> 1 & 3) == 2) {
        // As promcfg-apply reads after a write that did not end well.
        Dialogue &reading = plan.dialogue;
        reading.steps.erase(reading.steps.begin(), reading.steps.begin() + static_cast<long>(reading.resume_at));
        reading.steps.front().lead = Lead::any;
        reading.resume_at = static_cast<std::size_t>(-1);
        reading.only_reads = true;
        chosen.reading_only = true;
    }
}

bool starts_with(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

// The last line of a text: after its last "\n".
std::size_t line_start(std::string_view text)
{
    std::size_t newline = text.rfind('\n');
    return newline == npos ? 0 : newline + 1;
}

// A menu list and its prompt, once.
bool one_listing(std::string_view text)
{
    return starts_with(text, first_row) && text.find(std::string("\n") + first_row) == npos;
}

// Whether `after` (the output since the last answer) ends with the
// step's prompt, and what came before it: for the menu, up to its list.
bool ends_with_prompt(std::string_view after, const Step &step, std::string_view &lead)
{
    std::size_t start = line_start(after);
    std::string_view line = after.substr(start);
    lead = after.substr(0, start);
    switch (step.prompt) {
    case Prompt::selection:
        return line == selection_line;
    case Prompt::command:
        return line == command_line;
    case Prompt::address:
        return line == step.label + ": ";
    case Prompt::question: {
        // "[label] ", the label padded by blanks, perhaps after the same
        // question asked before on that line.
        std::size_t open = line.rfind('[');
        if (line.size() < 3 || line[0] != '[' || line.substr(line.size() - 2) != "] ")
            return false;
        std::string_view inside = line.substr(open + 1, line.size() - open - 3);
        lead = after.substr(0, start + open);
        return starts_with(inside, step.label) &&
               inside.find_first_not_of(' ', step.label.size()) == npos;
    }
    }
    return false;
}

// Whether what came before a prompt is what the step allows: nothing,
// anything, exactly its text (for the menu: then its list at once), or the
// done words first and no failed call.
bool lead_fits(const Step &step, std::string_view after, std::string_view lead)
{
    switch (step.lead) {
    case Lead::none:
        return step.prompt == Prompt::selection ? one_listing(after) : lead.empty();
    case Lead::any:
        return true;
    case Lead::exact:
        return step.prompt == Prompt::selection
                   ? starts_with(after, step.lead_text) && one_listing(after.substr(step.lead_text.size()))
                   : lead == step.lead_text;
    case Lead::after_done:
        return starts_with(after, step.lead_text) && after.find("rc = ") == npos;
    }
    return false;
}

// The lead rules as documented, on what came before a prompt the harness
// printed.
bool lead_allowed(const Step &step, std::string_view lead)
{
    switch (step.lead) {
    case Lead::none:
        return lead.empty();
    case Lead::any:
        return true;
    case Lead::exact:
        return lead == step.lead_text;
    case Lead::after_done:
        return starts_with(lead, step.lead_text) && lead.find("rc = ") == npos;
    }
    return false;
}

// An answer that went, or whose write failed.
struct Attempt {
    std::size_t step;
    std::size_t at;  // the output's size when it went
    bool lost;
};

// A prompt the harness printed: where in the stream, which.
struct Printed {
    std::size_t start = 0, end = 0;
    Prompt prompt = Prompt::question;
    std::string label;
};

// What the reply to a read must be: an answer, the input closed as at the
// end (done words, nothing left to ask) or at a prompt not planned, nothing.
enum class Expect { unknown, nothing, end, unexpected, send };

struct Play {
    Play(const RunPlan &plan, ToolRun &run, Extension &more, unsigned lost_answer)
        : plan(plan), run(run), dialogue(run.dialogue), more(more), lost_answer(lost_answer)
    {
    }

    const RunPlan &plan;
    ToolRun &run;
    Dialogue &dialogue;
    Extension &more;
    unsigned lost_answer;  // the answer write (1-based) that fails, or 0

    std::string stream;      // everything printed; the first `taken` bytes were read
    std::size_t taken = 0;
    std::size_t since = 0;   // where the output after the last answer begins
    std::vector<Attempt> attempts;
    std::size_t next = 0;       // the step expected next
    bool input_open = true;     // the runner's write end of promcfg's input
    bool answers_open = true;   // promcfg-apply may still answer
    bool done_seen = false;     // the run's done words since the last answer
    Printed prompt;             // the last prompt printed
    unsigned writes = 0;
    unsigned interrupts = 0;

    std::string_view out() const { return std::string_view(stream.data(), taken); }
    std::string_view pending() const { return std::string_view(stream).substr(taken); }

    void print(std::string_view text) { stream.append(text.data(), text.size()); }

    void print_prompt(Prompt kind, const std::string &label)
    {
        prompt.start = stream.size();
        prompt.prompt = kind;
        prompt.label = label;
        stream += prompt_text(kind, label);
        prompt.end = stream.size();
    }

    // Reads `size` pending bytes, at most read_size at a time.
    void read(std::size_t size)
    {
        while (size > 0 && run.end == ToolRun::exited) {
            std::size_t piece = std::min(size, read_size);
            take(piece);
            size -= piece;
        }
    }

    // What the reply must be when the read ended right after a prompt the
    // harness printed, in full after the last answer; unknown when what came
    // before it leaves that open.
    Expect expected(std::size_t steps_before, std::size_t &step) const
    {
        if (prompt.end != taken || prompt.start < since || !dialogue.answers || !input_open || !answers_open)
            return Expect::unknown;
        if (done_seen)
            return Expect::end;
        std::string_view out = this->out();
        std::size_t start = since + line_start(out.substr(since, prompt.start - since));
        bool line_begins = start == prompt.start;
        // promcfg's prompt lines are short, a question asked again a few
        // times over included: a very long line leaves it open.
        if (taken - start > 4096)
            return Expect::unknown;
        switch (prompt.prompt) {
        case Prompt::question:
            // Also after the same question on its line: refused, asked again.
            if (out[start] != '[')
                return Expect::nothing;
            break;
        case Prompt::address:
        case Prompt::command:
            if (!line_begins)
                return Expect::nothing;
            break;
        case Prompt::selection:
            if (!line_begins)
                return Expect::unknown;
            break;
        }
        const std::vector<Step> &steps = dialogue.steps;
        if (next >= steps_before && steps.size() == steps_before)
            return Expect::end;  // nothing more to ask
        // The planned step, past the optional ones that keep their items.
        std::size_t at = next;
        auto same = [&](const Step &s) {
            return s.prompt == prompt.prompt &&
                   ((s.prompt != Prompt::question && s.prompt != Prompt::address) || s.label == prompt.label);
        };
        while (at < steps.size() && !same(steps[at]) && steps[at].optional && steps[at].answer.empty())
            ++at;
        if (at >= steps.size() && at > next)
            return Expect::end;  // only questions not asked that keep their items were left
        if (at >= steps.size() || !same(steps[at]))
            return Expect::unexpected;
        if (lead_allowed(steps[at], out.substr(since, prompt.start - since))) {
            step = at;
            return Expect::send;
        }
        // A write that printed more than its success: the reading goes on.
        std::size_t resume = dialogue.resume_at;
        if (steps[at].prompt == Prompt::selection && at < resume && resume < steps.size() &&
            steps[resume].prompt == Prompt::selection) {
            step = resume;
            return Expect::send;
        }
        return Expect::unexpected;
    }

    void check_sent(const Reply &reply, std::size_t sent_before)
    {
        const std::vector<Step> &steps = dialogue.steps;
        std::string_view after = out().substr(since);
        FUZZ_CHECK(dialogue.answers && input_open && answers_open, "'%s' sent: answers %d, input %d, answering %d",
                   printable(reply.line).c_str(), dialogue.answers, input_open, answers_open);
        FUZZ_CHECK(!done_seen, "'%s' sent after the done words", printable(reply.line).c_str());
        FUZZ_CHECK(dialogue.sent.size() == sent_before + 1 && dialogue.sent.back().at == taken,
                   "%zu answers noted, %zu before", dialogue.sent.size(), sent_before);
        FUZZ_CHECK(attempts.empty() || attempts.back().at < taken, "two answers without output between");
        std::size_t k = dialogue.sent.back().step;
        FUZZ_CHECK(k >= next && k < steps.size(), "step %zu answered, %zu expected of %zu", k, next, steps.size());
        const Step &step = steps[k];
        FUZZ_CHECK(reply.line == step.answer + "\n", "step %zu answered '%s', not '%s'", k,
                   printable(reply.line).c_str(), printable(step.answer).c_str());
        std::string_view lead;
        FUZZ_CHECK(ends_with_prompt(after, step, lead), "step %zu (prompt %d \"%s\") answered after '...%s'", k,
                   static_cast<int>(step.prompt), step.label.c_str(),
                   printable(std::string(after.substr(after.size() - std::min<std::size_t>(after.size(), 80))))
                       .c_str());
        std::size_t skipped = next;
        while (skipped < k && steps[skipped].optional && steps[skipped].answer.empty())
            ++skipped;
        if (skipped == k) {
            FUZZ_CHECK(lead_fits(step, after, lead), "step %zu (lead %d '%s') answered after '%s'", k,
                       static_cast<int>(step.lead), printable(step.lead_text).c_str(),
                       printable(std::string(lead.substr(0, 200))).c_str());
        } else {
            // Passed over only to the reading, from a selection.
            FUZZ_CHECK(k == dialogue.resume_at && step.prompt == Prompt::selection &&
                           steps[skipped].prompt == Prompt::selection,
                       "steps %zu to %zu passed over to step %zu (resume at %zu)", next, skipped, k,
                       dialogue.resume_at);
        }
        FUZZ_CHECK(reply.close_input == (k + 1 == steps.size() && !dialogue.extend),
                   "input closed %d after step %zu of %zu", reply.close_input, k, steps.size());
    }

    // One read of promcfg's output, as the runner takes it.
    void take(std::size_t size)
    {
        const char *bytes = stream.data() + taken;
        const bool fits = size <= dialogue_output_limit - taken;
        const std::size_t steps_before = dialogue.steps.size(), sent_before = dialogue.sent.size();
        const unsigned calls_before = more.calls;
        Reply reply = dialogue_printed(dialogue, bytes, size);
        FUZZ_CHECK(dialogue.out.size() <= dialogue_output_limit, "%zu bytes kept", dialogue.out.size());
        if (!fits) {
            FUZZ_CHECK(dialogue.stop == Dialogue::too_much_output && !reply.send,
                       "%zu + %zu bytes printed, stop %d, sent %d", taken, size, dialogue.stop, reply.send);
            run.end = ToolRun::too_much_output;
            return;
        }
        FUZZ_CHECK(dialogue.stop != Dialogue::too_much_output, "stopped at %zu bytes", taken);
        const std::size_t read_from = taken;
        taken += size;
        FUZZ_CHECK(dialogue.out.size() == taken, "%zu bytes kept of %zu", dialogue.out.size(), taken);
        if (dialogue.done && !attempts.empty() && !done_seen) {
            std::size_t seam = std::strlen(dialogue.done) - 1;
            std::size_t from = std::max(since, read_from > seam ? read_from - seam : 0);
            done_seen = out().find(dialogue.done, from) != npos;
        }
        FUZZ_CHECK(more.calls == calls_before || (more.calls == calls_before + 1 && next >= steps_before),
                   "more steps asked for %u times at step %zu of %zu", more.calls - calls_before, next,
                   steps_before);

        if (!dialogue.answers)
            FUZZ_CHECK(!reply.send && !reply.close_input, "a display answered");
        // promcfg asks nothing after its done words: a filter in front of it
        // ends only with its input.
        if (done_seen && input_open && answers_open)
            FUZZ_CHECK(!reply.send && reply.close_input, "after the done words: sent %d, closed %d", reply.send,
                       reply.close_input);
        if (reply.send)
            check_sent(reply, sent_before);
        else if (reply.close_input)
            FUZZ_CHECK(input_open && answers_open, "input closed again");
        std::size_t step = 0;
        Expect e = expected(steps_before, step);
        switch (e) {
        case Expect::unknown:
            break;
        case Expect::nothing:
            FUZZ_CHECK(!reply.send && !reply.close_input, "sent %d closed %d at a prompt not on its line",
                       reply.send, reply.close_input);
            break;
        case Expect::end:
        case Expect::unexpected:
            FUZZ_CHECK(!reply.send && reply.close_input, "at '%s' (step %zu of %zu): sent %d '%s', closed %d",
                       printable(prompt.label).c_str(), next, dialogue.steps.size(), reply.send,
                       printable(reply.line).c_str(), reply.close_input);
            FUZZ_CHECK((dialogue.stop == Dialogue::unexpected) == (e == Expect::unexpected),
                       "closed at '%s' (step %zu of %zu), stop %d", printable(prompt.label).c_str(), next,
                       dialogue.steps.size(), dialogue.stop);
            break;
        case Expect::send:
            FUZZ_CHECK(reply.send && dialogue.sent.back().step == step,
                       "planned prompt '%s' of step %zu not answered: sent %d, closed %d, stop %d",
                       printable(prompt.label).c_str(), step, reply.send, reply.close_input, dialogue.stop);
            break;
        }

        if (reply.send) {
            std::size_t k = dialogue.sent.back().step;
            bool lost = ++writes == lost_answer;
            if (lost) {
                dialogue_answer_lost(dialogue);
                reply.close_input = true;
                FUZZ_CHECK(dialogue.stop == Dialogue::answer_lost && dialogue.input_closed &&
                               dialogue.sent.size() == sent_before,
                           "lost answer: stop %d, %zu noted", dialogue.stop, dialogue.sent.size());
            }
            attempts.push_back({k, taken, lost});
            next = k + 1;
            since = taken;
            done_seen = false;
        }
        if (reply.close_input) {
            input_open = false;
            answers_open = false;
        }
    }

    // The runner at an interrupt: a display or a reading stops at the
    // first, a dialogue's input is closed and a second stops it.
    void interrupt(int signal)
    {
        run.interrupted = signal;
        if (++interrupts > 1 || !dialogue.answers || dialogue.only_reads)
            run.end = ToolRun::stopped;
        input_open = false;
        answers_open = false;
        dialogue.input_closed = true;
    }

    // The act of the last step answered (the first act before any).
    const Act *current_act() const
    {
        const Act *current = plan.acts.empty() ? nullptr : &plan.acts.front();
        for (const Act &act : plan.acts)
            if (!attempts.empty() && attempts.back().step >= act.first && attempts.back().step < act.end)
                current = &act;
        return current;
    }

    void play(Input &in)
    {
        bool flooded = false;
        for (unsigned count = 0; !in.empty() && count < 256 && run.end == ToolRun::exited; ++count) {
            uint8_t op = in.byte();
            unsigned cut = op >> 4;
            const std::vector<Step> &steps = dialogue.steps;
            const std::vector<RealPrompt> &real = real_prompts();
            switch (op & 15) {
            case 0:
            case 14:
            case 15:  // the prompt of the next step, or the menu again
                if (next < steps.size()) {
                    if (steps[next].prompt == Prompt::selection)
                        print("\n");
                    print_prompt(steps[next].prompt, steps[next].label);
                } else {
                    print("\n");
                    print_prompt(Prompt::selection, "");
                }
                break;
            case 1: {  // a later step's prompt, or any real one
                uint8_t which = in.byte();
                std::size_t later = next + 1 + which % 4;
                if (which < 0x80 && later < steps.size())
                    print_prompt(steps[later].prompt, steps[later].label);
                else
                    print_prompt(real[which % real.size()].prompt, real[which % real.size()].label);
                break;
            }
            case 2:  // the last prompt again: a refused answer
                if (!attempts.empty())
                    print_prompt(steps[attempts.back().step].prompt, steps[attempts.back().step].label);
                else
                    print_prompt(real[1].prompt, real[1].label);
                break;
            case 3:
                print(other_text[in.byte() % 5]);
                break;
            case 4:  // what the current write prints when it worked
                if (const Act *act = current_act())
                    print(act->kind == ActKind::chassis_type ? chassis_lines[0] : act->done);
                break;
            case 5:
                print(failed_call);
                break;
            case 6:
                print(in.text(96));
                break;
            case 7:  // a question no table holds
                print("[" + in.text(60) + "] ");
                break;
            case 8:
                print("\n");
                break;
            case 9:
                print(refusals[in.byte() % 4]);
                break;
            case 10:
                interrupt(interrupt_signals[in.byte() % 3]);
                continue;
            case 11:
                run.end = ToolRun::timed_out;
                continue;
            case 12: {
                uint8_t which = in.byte();
                if (which < 0xe0) {  // another write's words of success
                    print(which % 4 == 3 ? ip_written : option_done[which % 4]);
                    break;
                }
                // A flood (one an input), ending a few bytes short of the
                // limit or past it.
                if (flooded)
                    break;
                flooded = true;
                read(pending().size());
                if (run.end != ToolRun::exited)
                    break;
                std::size_t size = std::max<std::size_t>(dialogue_output_limit - taken, 2) - 2 + which % 5;
                std::string lines(size, 'x');
                for (std::size_t at = 63; at < size; at += 64)
                    lines[at] = '\n';
                print(lines);
                read(size);
                break;
            }
            case 13:
                print(chassis_lines[in.byte() % 3]);
                break;
            }
            // Cut 0 leaves it all for a later read; else that share is read.
            read(pending().size() * cut / 15);
        }
        read(pending().size());
        // promcfg closed its output: the runner closes its input and waits.
        input_open = false;
    }
};

// The sends (not the lost ones) of an act's steps, in order.
std::vector<std::size_t> sends_of(const Play &play, const Act &act)
{
    std::vector<std::size_t> sends;
    for (std::size_t i = 0; i < play.attempts.size(); ++i)
        if (!play.attempts[i].lost && play.attempts[i].step >= act.first && play.attempts[i].step < act.end)
            sends.push_back(i);
    return sends;
}

// An empty answer keeps a system item, so a question promcfg did not ask
// for it costs nothing; a record is written whole, an empty answer as a
// zero field, and only its questions the plan calls optional may go unasked.
bool answer_needed(const Act &act, const Step &step)
{
    bool record = act.group == ItemDialogue::blade_setup || act.group == ItemDialogue::kestrel_setup ||
                  act.group == ItemDialogue::mgmt_address;
    return !step.answer.empty() || (record && !step.optional);
}

bool every_answer_sent(const Play &play, const Act &act)
{
    const std::vector<Step> &steps = play.dialogue.steps;
    std::vector<std::size_t> sends = sends_of(play, act);
    for (std::size_t i = act.first; i < act.end; ++i) {
        bool sent = false;
        for (std::size_t send : sends)
            sent = sent || play.attempts[send].step == i;
        if (!sent && answer_needed(act, steps[i]))
            return false;
    }
    return true;
}

void check_written(const Play &play, const std::vector<ActResult> &results, std::size_t index)
{
    const Act &act = play.plan.acts[index];
    const ToolRun &run = play.run;
    std::string_view out = play.out();
    const std::vector<Attempt> &attempts = play.attempts;
    bool ended_well = run.end == ToolRun::exited && run.status == 0;
    // -x runs whatever the dialogues before it did; nothing else does.
    if (act.kind != ActKind::chassis_type)
        for (std::size_t i = 0; i < index; ++i)
            FUZZ_CHECK(results[i].state == ActResult::written, "%s written after %s was judged %d", act.how,
                       play.plan.acts[i].how, results[i].state);
    FUZZ_CHECK(!run.interrupted || ended_well, "%s written after an interrupt, end %d status %d", act.how, run.end,
               run.status);
    std::vector<std::size_t> sends = sends_of(play, act);
    for (std::size_t i = 1; i < sends.size(); ++i)
        FUZZ_CHECK(attempts[sends[i - 1]].step < attempts[sends[i]].step, "%s answered out of order", act.how);
    FUZZ_CHECK(every_answer_sent(play, act), "%s written with %zu of steps %zu to %zu sent", act.how, sends.size(),
               act.first, act.end);

    switch (act.kind) {
    case ActKind::option_dialogue: {
        FUZZ_CHECK(!sends.empty(), "%s written with nothing sent", act.how);
        const Attempt &last = attempts[sends.back()];
        std::size_t until = sends.back() + 1 < attempts.size() ? attempts[sends.back() + 1].at : out.size();
        // Its done line before anything of -x, which comes after the dialogues.
        std::size_t done = out.find(act.done, last.at);
        std::size_t chassis_type = out.find("Current chassis type is", last.at);
        FUZZ_CHECK(done != npos && done + std::strlen(act.done) <= std::min(until, chassis_type),
                   "%s written without its done line", act.how);
        FUZZ_CHECK(out.substr(last.at, done - last.at).find("rc = ") == npos,
                   "%s written after a failed call", act.how);
        // Nothing asked after it: how the run ended tells.
        if (sends.back() + 1 == attempts.size())
            FUZZ_CHECK(ended_well, "%s written, end %d status %d", act.how, run.end, run.status);
        break;
    }
    case ActKind::chassis_type: {
        std::size_t setting = out.rfind("Setting chassis type to ");
        FUZZ_CHECK(setting != npos && out.find("....Done.\n", setting) != npos, "-x written without Done");
        FUZZ_CHECK(ended_well, "-x written, end %d status %d", run.end, run.status);
        break;
    }
    case ActKind::menu_write: {
        // Its last question answered, then its success alone and the menu
        // again, answered or not (an interrupt may have closed the input).
        FUZZ_CHECK(!sends.empty(), "%s written with nothing sent", act.how);
        std::size_t from = attempts[sends.back()].at;
        std::size_t until = sends.back() + 1 < attempts.size() ? attempts[sends.back() + 1].at : out.size();
        std::string_view after = out.substr(from, until - from);
        std::string success = std::string(act.done) + "\n";
        std::string_view menu = after.substr(std::min(after.size(), success.size()));
        std::size_t prompt = menu.find(selection_line);
        FUZZ_CHECK(starts_with(after, success) && prompt != npos && one_listing(menu.substr(0, prompt)),
                   "%s written after '%s'", act.how, printable(std::string(after.substr(0, 200))).c_str());
        break;
    }
    }
}

void check_results(const Play &play, const std::vector<ActResult> &results)
{
    const RunPlan &plan = play.plan;
    const ToolRun &run = play.run;
    std::string_view out = play.out();
    bool said_written = out.find("written") != npos || run.err.find("written") != npos;
    bool said_every_answer = out.find("every answer") != npos || run.err.find("every answer") != npos;
    FUZZ_CHECK(results.size() == plan.acts.size(), "%zu results of %zu acts", results.size(), plan.acts.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Act &act = plan.acts[i];
        const ActResult &result = results[i];
        FUZZ_CHECK(result.act == &act, "result %zu judges another act", i);
        if (run.end == ToolRun::not_started)
            FUZZ_CHECK(result.state == ActResult::failed && result.detail == run.err, "not started: %d '%s'",
                       result.state, result.detail.c_str());
        if (result.state == ActResult::written) {
            check_written(play, results, i);
            continue;
        }
        // Every write not done says why, and not in a cut sentence (unless
        // promcfg's own words end so).
        const std::string &why = result.detail;
        std::string end = why.substr(why.size() - std::min<std::size_t>(why.size(), 2));
        bool cut = (end == "; " || end == ", ") && out.find(end) == npos && run.err.find(end) == npos;
        FUZZ_CHECK(!why.empty() && !cut, "%s judged %d: '%s'", act.how, result.state, why.c_str());
        if (result.state == ActResult::interrupted)
            FUZZ_CHECK(run.interrupted != 0, "%s interrupted with no interrupt", act.how);
        if (result.state == ActResult::timed_out)
            FUZZ_CHECK(run.end == ToolRun::timed_out, "%s timed out, end %d", act.how, run.end);
        // "nothing of ... was written" is the only "written" they say, unless
        // promcfg's own words said it, or (a failed dialogue's rest) its done line.
        std::string detail = result.detail;
        std::string nothing = "nothing of " + std::string(act.name) + " was written";
        for (std::size_t at; (at = detail.find(nothing)) != npos;)
            detail.erase(at, nothing.size());
        bool done_shown = result.state == ActResult::failed && act.done[0] != '\0' && out.find(act.done) != npos;
        FUZZ_CHECK(said_written || done_shown || detail.find("written") == npos, "%s judged %d, claims written: %s",
                   act.how, result.state, result.detail.c_str());
        FUZZ_CHECK(said_every_answer || every_answer_sent(play, act) ||
                       result.detail.find("every answer") == npos,
                   "%s: %s", act.how, result.detail.c_str());
    }
}

// What a run was, to read a finding by.
void trace(const Play &play, const std::vector<ActResult> &results)
{
    static const bool on = std::getenv("FUZZ_TRACE") != nullptr;
    if (!on)
        return;
    const Dialogue &dialogue = play.dialogue;
    std::fprintf(stderr, "steps (resume at %lld, done '%s'):\n", static_cast<long long>(dialogue.resume_at),
                 dialogue.done ? printable(dialogue.done).c_str() : "-");
    for (std::size_t i = 0; i < dialogue.steps.size(); ++i) {
        const Step &step = dialogue.steps[i];
        std::fprintf(stderr, "  %zu: prompt %d '%s' answer '%s' lead %d '%s'%s\n", i, static_cast<int>(step.prompt),
                     step.label.c_str(), printable(step.answer).c_str(), static_cast<int>(step.lead),
                     printable(step.lead_text).c_str(), step.optional ? " optional" : "");
    }
    std::size_t from = 0;
    for (const Attempt &attempt : play.attempts) {
        std::fprintf(stderr, "printed '%s'\n%s step %zu\n",
                     printable(std::string(play.out().substr(from, attempt.at - from))).c_str(),
                     attempt.lost ? "lost" : "sent", attempt.step);
        from = attempt.at;
    }
    std::fprintf(stderr, "printed '%s'\nend %d status %d interrupted %d stop %d '%s'\n",
                 printable(std::string(play.out().substr(from, 4000))).c_str(), play.run.end, play.run.status,
                 play.run.interrupted, dialogue.stop, printable(dialogue.unexpected_label).c_str());
    std::fprintf(stderr, "noted sent:");
    for (const Dialogue::Sent &sent : dialogue.sent)
        std::fprintf(stderr, " %zu@%zu", sent.step, sent.at);
    std::fprintf(stderr, ", next %zu, failed lead %lld\n", dialogue.next, static_cast<long long>(dialogue.failed_lead));
    for (const ActResult &result : results)
        std::fprintf(stderr, "%s [%zu, %zu): %d %s\n", result.act->how, result.act->first, result.act->end,
                     result.state, result.detail.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    uint8_t mode = in.byte();
    uint8_t ending = in.byte();
    uint8_t lost = in.byte();
    uint8_t err = in.byte();
    Chosen chosen;
    if (mode & 1)
        made_plan(in, mode, chosen);
    else
        direct_plan(in, chosen);
    const RunPlan &plan = chosen.plan;

    ToolRun run(plan.dialogue);
    Play play(plan, run, chosen.more, lost);
    if ((mode & 0xe0) == 0xe0) {
        run.err = "cannot start promcfg: No such file or directory";
    } else {
        run.end = ToolRun::exited;
        run.err = standard_errors[err % 3];
        play.play(in);
        for (unsigned late = ending & 3; late > 0 && late < 3 && run.end == ToolRun::exited; --late)
            play.interrupt(interrupt_signals[(ending >> 5) % 3]);
        if (ending & 0x80 && run.end == ToolRun::exited)
            run.end = ToolRun::timed_out;
        run.status = statuses[(ending >> 2) % 8];
        FUZZ_CHECK(run.dialogue.out == play.out(), "kept output differs from the %zu bytes read", play.taken);
    }
    FUZZ_CHECK(describe_end(run, 30).empty() == (run.end == ToolRun::exited && run.status == 0),
               "end %d status %d described as '%s'", run.end, run.status, describe_end(run, 30).c_str());

    if (chosen.reading_only) {
        for (const ActResult &result : not_run(plan, "not started, as an earlier write did not end well"))
            FUZZ_CHECK(result.state == ActResult::not_run, "a write of the reading run judged %d", result.state);
        return 0;
    }
    std::vector<ActResult> results = judge_run(plan, run, 30);
    trace(play, results);
    check_results(play, results);
    return 0;
}
