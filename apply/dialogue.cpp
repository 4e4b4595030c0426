#include "apply/dialogue.h"

#include "apply/items.h"

namespace {

// The prompt the output ends with, and where what came before it ends.
struct PromptAtEnd {
    bool found = false;
    Prompt prompt = Prompt::question;
    std::string label;
    std::size_t lead_end = 0;
};

bool ends_with(const std::string &text, const char *tail)
{
    std::string end(tail);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A line ending in ": " is an address question only when it is one of
// promcfg's: a display line ends so too, where a read happens to stop.
bool is_address_label(const std::string &label)
{
    for (int item = 0; item < item_count; ++item)
        if (item_info(item).row->kind == ItemKind::address && label == item_info(item).row->prompt)
            return true;
    return false;
}

// Of the output from `since` on, looked at in place: it grows by every read.
PromptAtEnd prompt_at_end(const std::string &out, std::size_t since = 0)
{
    PromptAtEnd at;
    std::size_t newline = out.rfind('\n');
    std::size_t line_start = newline == std::string::npos || newline + 1 < since ? since : newline + 1;
    at.lead_end = line_start - since;
    // Prompts are short, a question asked again a few times over included:
    // a longer last line is none.
    if (out.size() - line_start > 4096)
        return at;
    std::string line = out.substr(line_start);
    if (line == menu_prompt_line) {
        // The lead ends where the menu's list begins.
        at.prompt = Prompt::selection;
        for (std::size_t row = out.rfind(menu_first_row, line_start); row != std::string::npos && row >= since;
             row = row == 0 ? std::string::npos : out.rfind(menu_first_row, row - 1))
            if (row == since || out[row - 1] == '\n') {
                at.lead_end = row - since;
                break;
            }
        at.found = true;
    } else if (line == vpd_command_prompt) {
        at.prompt = Prompt::command;
        at.found = true;
    } else if (line.size() >= 3 && line[0] == '[' && ends_with(line, "] ")) {
        // A question asked again after an answer too long for it follows
        // its first asking on the same line.
        std::size_t open = line.rfind('[');
        at.prompt = Prompt::question;
        at.label = line.substr(open + 1, line.size() - open - 3);
        at.label.erase(at.label.find_last_not_of(' ') + 1);
        at.lead_end = line_start - since + open;
        at.found = true;
    } else if (ends_with(line, ": ") && is_address_label(line.substr(0, line.size() - 2))) {
        at.prompt = Prompt::address;
        at.label = line.substr(0, line.size() - 2);
        at.found = true;
    }
    return at;
}

bool prompt_is(const Step &step, const PromptAtEnd &at)
{
    return step.prompt == at.prompt &&
           ((at.prompt != Prompt::question && at.prompt != Prompt::address) || step.label == at.label);
}

bool lead_allowed(const Step &step, const std::string &lead)
{
    switch (step.lead) {
    case Lead::none:
        return lead.empty();
    case Lead::any:
        return true;
    case Lead::exact:
        return lead == step.lead_text;
    case Lead::after_done:
        return lead.compare(0, step.lead_text.size(), step.lead_text) == 0 && lead.find("rc = ") == std::string::npos;
    }
    return false;
}

void close(Dialogue &dialogue, Reply &reply, Dialogue::Stop why, const std::string &label)
{
    dialogue.stop = why;
    dialogue.unexpected_label = label;
    reply.close_input = dialogue.input_closed = true;
}

}  // namespace

bool Dialogue::was_sent(std::size_t index) const
{
    for (const Sent &one : sent)
        if (one.step == index)
            return true;
    return false;
}

std::string Dialogue::after_step(std::size_t index) const
{
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (sent[i].step != index)
            continue;
        if (i + 1 == sent.size())
            return out.substr(sent[i].at);
        // The next answer went at its prompt: the output ends before it.
        std::string between = out.substr(sent[i].at, sent[i + 1].at - sent[i].at);
        return between.substr(0, prompt_at_end(between).lead_end);
    }
    return "";
}

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
    if (!dialogue.answers || dialogue.stop != Dialogue::going || dialogue.input_closed)
        return reply;

    const std::size_t since = dialogue.sent.empty() ? 0 : dialogue.sent.back().at;
    if (dialogue.done && !dialogue.sent.empty() && dialogue.out.find(dialogue.done, since) != std::string::npos) {
        reply.close_input = dialogue.input_closed = true;
        return reply;
    }
    PromptAtEnd at = prompt_at_end(dialogue.out, since);
    if (!at.found)
        return reply;  // no prompt (yet): the tool is busy or ending
    if (dialogue.next >= dialogue.steps.size()) {
        bool more = dialogue.extend && dialogue.extend(dialogue.context, dialogue) &&
                    dialogue.next < dialogue.steps.size();
        if (!more) {
            // Nothing more to ask: the end of input ends the run.
            reply.close_input = dialogue.input_closed = true;
            return reply;
        }
    }

    // Questions promcfg did not ask are passed over, if they keep their items.
    std::size_t index = dialogue.next;
    while (index < dialogue.steps.size() && !prompt_is(dialogue.steps[index], at) && dialogue.steps[index].optional &&
           dialogue.steps[index].answer.empty())
        ++index;
    if (index >= dialogue.steps.size() && index > dialogue.next) {
        // Only unasked questions that keep their items were left: the end.
        reply.close_input = dialogue.input_closed = true;
        return reply;
    }
    if (index >= dialogue.steps.size() || !prompt_is(dialogue.steps[index], at)) {
        close(dialogue, reply, Dialogue::unexpected, at.label);
        return reply;
    }
    std::string lead = dialogue.out.substr(since, at.lead_end);
    if (!lead_allowed(dialogue.steps[index], lead)) {
        // A write that printed more than its success: nothing more is
        // written; the reading after the writes may still go on.
        bool resume = dialogue.steps[index].prompt == Prompt::selection && index < dialogue.resume_at &&
                      dialogue.resume_at < dialogue.steps.size() &&
                      dialogue.steps[dialogue.resume_at].prompt == Prompt::selection;
        if (dialogue.failed_lead == static_cast<std::size_t>(-1))
            dialogue.failed_lead = index;
        if (!resume) {
            close(dialogue, reply, Dialogue::unexpected, lead);
            return reply;
        }
        index = dialogue.resume_at;
    }
    reply.send = true;
    reply.line = dialogue.steps[index].answer + "\n";
    dialogue.sent.push_back({index, dialogue.out.size()});
    dialogue.next = index + 1;
    // After the last answer the tool writes and ends; the end of its input
    // also ends a filter in front of it, which would else wait.
    reply.close_input = dialogue.next == dialogue.steps.size() && !dialogue.extend;
    dialogue.input_closed = reply.close_input;
    return reply;
}

void dialogue_answer_lost(Dialogue &dialogue)
{
    if (!dialogue.sent.empty()) {
        dialogue.next = dialogue.sent.back().step;
        dialogue.sent.pop_back();
    }
    dialogue.stop = Dialogue::answer_lost;
    dialogue.input_closed = true;
}
