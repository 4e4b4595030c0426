#include "apply/dialogue.h"

namespace {

// The question the output ends with: its last line is "[label] ", the
// label padded with blanks. Empty when the output ends otherwise.
std::string question_at_end(const std::string &out, std::size_t &line_start)
{
    std::size_t newline = out.rfind('\n');
    line_start = newline == std::string::npos ? 0 : newline + 1;
    if (out.size() < line_start + 3 || out[line_start] != '[' || out.compare(out.size() - 2, 2, "] ") != 0)
        return "";
    std::string label = out.substr(line_start + 1, out.size() - line_start - 3);
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

}  // namespace

Reply dialogue_printed(Dialogue &dialogue, const char *bytes, std::size_t size)
{
    Reply reply;
    if (dialogue.stop == Dialogue::too_much_output)
        return reply;
    if (size > dialogue_output_limit - dialogue.out.size()) {
        dialogue.stop = Dialogue::too_much_output;
        return reply;
    }
    dialogue.out.append(bytes, size);
    if (!dialogue.steps || dialogue.stop != Dialogue::going || dialogue.input_closed)
        return reply;

    if (dialogue.done && dialogue.answered > 0 && dialogue.out.find(dialogue.done) != std::string::npos) {
        reply.close_input = dialogue.input_closed = true;
        return reply;
    }
    const std::vector<Step> &steps = *dialogue.steps;
    std::size_t line_start = 0;
    std::string label = question_at_end(dialogue.out, line_start);
    if (label.empty())
        return reply;  // no question (yet): the tool is busy or ending
    // Only the first question may follow other output (board data's
    // product list); after that, output before a question means the tool
    // had something to say about the answer.
    bool expected = dialogue.answered < steps.size() && label == steps[dialogue.answered].label &&
                    (dialogue.answered == 0 || line_start == 0);
    if (expected) {
        reply.send = true;
        reply.line = steps[dialogue.answered].answer + "\n";
        ++dialogue.answered;
        dialogue.out.clear();
        // After the last answer the tool writes and ends; the end of its
        // input also ends a filter in front of it, which would else wait.
        reply.close_input = dialogue.answered == steps.size();
    } else {
        dialogue.stop = Dialogue::unexpected;
        dialogue.unexpected_label = label;
        reply.close_input = true;
    }
    dialogue.input_closed = reply.close_input;
    return reply;
}

void dialogue_answer_lost(Dialogue &dialogue)
{
    if (dialogue.answered > 0)
        --dialogue.answered;
    dialogue.stop = Dialogue::answer_lost;
    dialogue.input_closed = true;
}
