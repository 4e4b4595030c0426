// The question-and-answer part of a promcfg run, as a pure function of the
// bytes promcfg prints: which answer goes out at which prompt, and when its
// input is closed. tool_run.cpp moves the bytes; this decides.
#ifndef PROMCFG_APPLY_DIALOGUE_H
#define PROMCFG_APPLY_DIALOGUE_H

#include <cstddef>
#include <string>
#include <vector>

// The prompts promcfg reads an answer at.
enum class Prompt {
    question,   // "[label] ", the label padded to 48
    selection,  // the menu's "Selection (0-15): "
    address,    // "label: " of an address question
    command,    // "vpd-> " of the VPD display command line
};

// What may stand between the last answer and the prompt.
enum class Lead {
    none,        // nothing: the question follows the answer at once
    any,         // anything: a display, the start of a dialogue
    exact,       // exactly `lead_text`: what a write prints when it worked
    after_done,  // `lead_text` first (the last dialogue's done words), and no failed call
};

// One prompt the run expects, in order, and its answer ("" keeps an item).
struct Step {
    Step(std::string label, std::string answer, int item, Prompt prompt = Prompt::question, Lead lead = Lead::none)
        : label(std::move(label)), answer(std::move(answer)), item(item), prompt(prompt), lead(lead)
    {
    }

    std::string label;  // a question's or an address question's label
    std::string answer;
    int item;  // the file's item it answers, or -1
    Prompt prompt = Prompt::question;
    Lead lead = Lead::none;
    std::string lead_text;
    // A question promcfg may not ask (an ASIC MAC past the product's
    // count): passed over when a later step's prompt comes, if its answer
    // is empty.
    bool optional = false;
};

// Bounds on what a run may print.
constexpr std::size_t dialogue_output_limit = 1 << 20;

struct Dialogue;

// Called when every step was sent and promcfg prompts again; may add steps
// (what to read next, from what was read). Returns whether it did.
using ExtendSteps = bool (*)(void *context, Dialogue &dialogue);

struct Dialogue {
    Dialogue() = default;
    Dialogue(std::vector<Step> steps, const char *done, bool answers = true)
        : steps(std::move(steps)), done(done), answers(answers)
    {
    }

    std::vector<Step> steps;
    const char *done = nullptr;  // what promcfg prints once its last dialogue wrote, or null
    bool answers = false;        // false: a display, nothing is answered
    bool only_reads = false;     // a session that writes nothing: any interrupt stops it
    // The first step of the reading that follows the writes: where a write
    // that printed anything but its success goes on, writing nothing more.
    std::size_t resume_at = static_cast<std::size_t>(-1);
    ExtendSteps extend = nullptr;
    void *context = nullptr;

    std::string out;         // everything printed
    std::size_t next = 0;    // the step expected next
    struct Sent {
        std::size_t step;
        std::size_t at;  // out's size when its answer went
    };
    std::vector<Sent> sent;
    // The first step whose lead was not what the write before it prints
    // when it worked, or -1.
    std::size_t failed_lead = static_cast<std::size_t>(-1);
    enum Stop {
        going,
        unexpected,       // another prompt came, or a lead that stops all: the input was closed there
        answer_lost,      // an answer could not be sent: the input was closed
        too_much_output,  // past dialogue_output_limit
    } stop = going;
    std::string unexpected_label;  // the prompt that came, or the lead that stopped
    bool input_closed = false;

    // What was printed after the last answer sent.
    std::string since_answer() const { return out.substr(sent.empty() ? 0 : sent.back().at); }
    // Whether step `index` was sent, and where the output after it ends
    // (the prompt of the next one sent, or the end).
    bool was_sent(std::size_t index) const;
    std::string after_step(std::size_t index) const;
};

// What to do after promcfg printed something.
struct Reply {
    bool send = false;  // write `line` to promcfg's input
    std::string line;
    bool close_input = false;  // then close its input
};

// promcfg printed `size` bytes. A prompt is answered while it is the next
// step's and what came before it is what the step allows; any other prompt
// ends the answers, and so do the last answer and the words promcfg prints
// once it wrote: it asks nothing after them, and a filter in front of it
// ends only with its input.
Reply dialogue_printed(Dialogue &dialogue, const char *bytes, std::size_t size);

// The answer of the last reply did not reach promcfg.
void dialogue_answer_lost(Dialogue &dialogue);

// The menu's selection prompt, and the start of its list.
constexpr const char menu_prompt_line[] = "\t\tSelection (0-15): ";
constexpr const char menu_first_row[] = "\t0.\tExit\n";
constexpr const char vpd_command_prompt[] = "vpd-> ";

#endif
