// The question-and-answer part of a promcfg run, as a pure function of the
// bytes promcfg prints: which answer goes out when, and when its input is
// closed. tool_run.cpp moves the bytes; this decides.
#ifndef PROMCFG_APPLY_DIALOGUE_H
#define PROMCFG_APPLY_DIALOGUE_H

#include <cstddef>
#include <string>
#include <vector>

// One question the dialogue expects, in order, and its answer ("" keeps
// the item).
struct Step {
    std::string label;
    std::string answer;
    int item;  // the file's item it answers, or -1
};

// Bounds on what a run may print: the whole display, or what comes between
// two answers.
constexpr std::size_t dialogue_output_limit = 1 << 20;

struct Dialogue {
    explicit Dialogue(const std::vector<Step> *steps, const char *done = nullptr) : steps(steps), done(done) {}

    const std::vector<Step> *steps;  // null: a display, nothing is answered
    const char *done;                // what promcfg prints once it wrote, or null
    std::string out;                 // printed since the last answer (all of it without steps)
    std::size_t answered = 0;        // steps answered and sent
    enum Stop {
        going,
        unexpected,       // another question came: the input was closed there
        answer_lost,      // an answer could not be sent: the input was closed
        too_much_output,  // past dialogue_output_limit
    } stop = going;
    std::string unexpected_label;
    bool input_closed = false;
};

// What to do after promcfg printed something.
struct Reply {
    bool send = false;  // write `line` to promcfg's input
    std::string line;
    bool close_input = false;  // then close its input
};

// promcfg printed `size` bytes. A question is answered while it is the next
// step's; any other question (an unknown label, one asked again, a step
// other than the first after other output) ends the answers, and so do the
// last answer and the words promcfg prints once it wrote: it asks nothing
// after them, and a filter in front of it ends only with its input.
Reply dialogue_printed(Dialogue &dialogue, const char *bytes, std::size_t size);

// The answer of the last reply did not reach promcfg.
void dialogue_answer_lost(Dialogue &dialogue);

#endif
