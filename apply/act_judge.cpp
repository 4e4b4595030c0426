#include "apply/act_judge.h"

#include "apply/interrupts.h"
#include "apply/value_check.h"

namespace {

// promcfg's line that reports a failed call: every such message of the
// option dialogues ends in ", rc = N errno = N".
std::string failure_line(const std::string &out)
{
    std::size_t at = out.find("rc = ");
    if (at == std::string::npos)
        return "";
    std::size_t begin = out.rfind('\n', at);
    begin = begin == std::string::npos ? 0 : begin + 1;
    std::size_t end = out.find('\n', at);
    return out.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// The first line that says something.
std::string first_words(const std::string &text)
{
    std::size_t begin = text.find_first_not_of('\n');
    if (begin == std::string::npos)
        return "";
    return printable(text.substr(begin, text.find('\n', begin) - begin));
}

std::string quoted_done(const Act &act)
{
    std::string words = act.done;
    words.erase(0, words.find_first_not_of('\n'));
    words.erase(words.find_last_not_of('\n') + 1);
    return "\"" + words + "\"";
}

class Judge {
public:
    Judge(const ToolRun &run, long timeout_seconds)
        : run_(run), dialogue_(run.dialogue), timeout_(timeout_seconds),
          nothing_(), ended_well_(run.end == ToolRun::exited && run.status == 0)
    {
    }

    ActResult judge(const Act &act, bool earlier_written)
    {
        ActResult result = {&act, ActResult::failed, ""};
        nothing_ = "so nothing of " + std::string(act.name) + " was written";
        if (run_.end == ToolRun::not_started) {
            result.detail = run_.err;
            return result;
        }
        // -x runs whatever the dialogues before it wrote: its words tell.
        if (!earlier_written && act.kind != ActKind::chassis_type) {
            result.state = ActResult::not_run;
            result.detail = "not started, as the write before it did not end well";
            return result;
        }
        if (stopped_inside(act, result))
            return result;
        std::string unsent = unsent_answers(act);
        switch (act.kind) {
        case ActKind::option_dialogue:
            return option_result(act, unsent, result);
        case ActKind::chassis_type:
            return chassis_type_result(result);
        case ActKind::menu_write:
            return menu_result(act, unsent, result);
        }
        return result;
    }

private:
    // The dialogue stopped at one of the act's prompts, or at the one after
    // it: a re-ask, a refusal, the menu where a question was expected.
    bool stopped_inside(const Act &act, ActResult &result)
    {
        if (dialogue_.stop != Dialogue::unexpected && dialogue_.stop != Dialogue::answer_lost)
            return false;
        std::size_t at = dialogue_.next;
        bool inside = at >= act.first && (at < act.end || (at == act.end && act.first < act.end));
        // The menu back after the row's success: questions it did not ask.
        if (!inside || dialogue_.failed_lead == at || menu_after_success(act))
            return false;
        result.state = ActResult::stopped;
        if (dialogue_.stop == Dialogue::answer_lost) {
            result.detail = "an answer could not reach promcfg; its input was closed, " + nothing_;
            return true;
        }
        const std::string &came = dialogue_.unexpected_label;
        std::string said = first_words(dialogue_.since_answer());
        bool again = !dialogue_.sent.empty() && at < dialogue_.steps.size() &&
                     dialogue_.steps[dialogue_.sent.back().step].label == came && !came.empty();
        std::string expected =
            at < act.end ? "\"" + dialogue_.steps[at].label + "\"" : std::string("no more questions");
        if (again)
            result.detail = "\"" + came + "\" came again (promcfg refused the answer)";
        else if (!said.empty() && said.find("Selection (") == std::string::npos && said.front() != '[')
            result.detail = "promcfg said \"" + said + "\" where it was to ask " + expected;
        else
            result.detail = "promcfg asked \"" + printable(came) + "\", expected " + expected;
        result.detail += "; its input was closed, " + nothing_;
        return true;
    }

    // The answers the act's questions did not get that would have written
    // something: a record's or an address's empty answer writes too (a zero
    // field); a system item's keeps the item.
    std::string unsent_answers(const Act &act)
    {
        std::string names;
        for (std::size_t i = act.first; i < act.end; ++i) {
            const Step &step = dialogue_.steps[i];
            bool writes = !step.answer.empty() ||
                          (step.item >= 0 && item_info(step.item).row->prom != ItemProm::system);
            if (!dialogue_.was_sent(i) && writes && step.item >= 0)
                names += (names.empty() ? "" : ", ") + item_name(step.item);
        }
        return names;
    }

    // Whether every unsent answer is an ASIC MAC's: a new product's count
    // shows only in promcfg's questions.
    bool only_asic_macs_unsent(const Act &act)
    {
        for (std::size_t i = act.first; i < act.end; ++i)
            if (!dialogue_.was_sent(i) && index_in_family(dialogue_.steps[i].item, item_asic_mac0) < 0 &&
                !unsent_answers({act.kind, act.group, act.how, act.name, act.done, i, i + 1, ""}).empty())
                return false;
        return true;
    }

    // The menu came back after the act's last answer, with only its
    // success before it.
    bool menu_after_success(const Act &act)
    {
        if (act.kind != ActKind::menu_write)
            return false;
        std::string after = tail(act);
        std::size_t menu = after.rfind(menu_prompt_line);
        std::size_t list = menu == std::string::npos ? std::string::npos : after.rfind(menu_first_row, menu);
        return list != std::string::npos && after.compare(0, list, std::string(act.done) + "\n") == 0;
    }

    // Only ASIC MACs can go unasked, as a new product's count shows only
    // in its questions.
    std::string unasked(const Act &act, const std::string &unsent, bool done)
    {
        unsigned asked = 0;
        for (std::size_t i = act.first; i < act.end; ++i)
            asked += dialogue_.was_sent(i) && index_in_family(dialogue_.steps[i].item, item_asic_mac0) >= 0;
        return "promcfg asked for " + std::to_string(asked) + " ASIC MACs, not for " + unsent + "; " +
               (done ? "the rest was written" : nothing_);
    }

    // What promcfg printed after the act's last answer sent.
    std::string tail(const Act &act)
    {
        for (std::size_t i = act.end; i-- > act.first;)
            if (dialogue_.was_sent(i))
                return dialogue_.after_step(i);
        return "";
    }

    bool interrupted(const Act &act, bool done, ActResult &result)
    {
        if (!run_.interrupted || (done && ended_well_))
            return false;
        result.state = ActResult::interrupted;
        std::string signal = signal_name(run_.interrupted);
        bool all_sent = unsent_answers(act).empty() && (act.first == act.end || dialogue_.was_sent(act.end - 1));
        if (!all_sent)
            result.detail = signal + " came while promcfg asked; its input was closed, " + nothing_;
        else if (run_.end == ToolRun::timed_out)
            result.detail = signal + " came once promcfg had every answer; it was waited for until the time limit (" +
                            std::to_string(timeout_) + " s), then stopped, perhaps while writing";
        else if (run_.end != ToolRun::exited)
            result.detail = signal + " came once promcfg had every answer; a second signal stopped it, "
                                     "perhaps while writing";
        else if (!describe_end(run_, timeout_).empty())
            result.detail = signal + " came once promcfg had every answer; " + describe_end(run_, timeout_);
        else
            result.detail = signal + " came once promcfg had every answer; it ended without showing that it wrote";
        return true;
    }

    // The end of the run, when the act's success did not show before it.
    bool ended_badly(ActResult &result)
    {
        result.detail = describe_end(run_, timeout_);
        if (run_.end == ToolRun::timed_out)
            result.state = ActResult::timed_out;
        return !result.detail.empty();
    }

    ActResult option_result(const Act &act, const std::string &unsent, ActResult &result)
    {
        std::string after = tail(act);
        // Up to the chassis type's words, which come after the last dialogue.
        after = after.substr(0, after.find("Current chassis type is"));
        bool done = after.find(act.done) != std::string::npos;
        std::string failure = failure_line(after);
        bool next_started = dialogue_.next > act.end || (act.end < dialogue_.steps.size() && dialogue_.was_sent(act.end));
        if (interrupted(act, done && failure.empty(), result))
            return result;
        if (!failure.empty()) {
            result.detail = failure;
            return result;
        }
        if (!next_started && !(done && ended_well_) && ended_badly(result))
            return result;
        if (!unsent.empty()) {
            result.detail = unasked(act, unsent, done);
            return result;
        }
        if (!done) {
            result.detail = "promcfg ended without saying " + quoted_done(act) + ", " + nothing_;
            return result;
        }
        result.state = ActResult::written;
        return result;
    }

    ActResult chassis_type_result(ActResult &result)
    {
        const std::string &out = dialogue_.out;
        std::size_t setting = out.rfind("Setting chassis type to ");
        std::string after = setting == std::string::npos ? "" : out.substr(setting);
        bool done = after.find("....Done.\n") != std::string::npos;
        if (setting == std::string::npos) {
            if (run_.interrupted) {
                result.state = ActResult::interrupted;
                result.detail = std::string(signal_name(run_.interrupted)) + " came before promcfg set the chassis type";
                return result;
            }
            if (ended_badly(result))
                return result;
            result.state = ActResult::not_run;
            result.detail = run_.interrupted || dialogue_.stop != Dialogue::going
                                ? "promcfg ended before it"
                                : "promcfg did not set the chassis type";
            return result;
        }
        if (run_.interrupted && !(done && ended_well_)) {
            result.state = ActResult::interrupted;
            result.detail = std::string(signal_name(run_.interrupted)) + " came while promcfg set the chassis type; " +
                            (done ? describe_end(run_, timeout_) : "it did not say it was done");
            return result;
        }
        if (!done) {
            result.detail = first_words(after.substr(after.find('\n') == std::string::npos ? after.size() : after.find('\n')));
            if (result.detail.empty() && !ended_badly(result))
                result.detail = "promcfg did not say it was done";
            return result;
        }
        if (!ended_well_ && ended_badly(result))
            return result;
        result.state = ActResult::written;
        return result;
    }

    ActResult menu_result(const Act &act, const std::string &unsent, ActResult &result)
    {
        // The menu came back after it, with only the success before it (also
        // when no selection went after it: the last row, or an interrupt
        // closed the input).
        bool shown_done =
            (act.end < dialogue_.steps.size() && dialogue_.was_sent(act.end) && dialogue_.failed_lead != act.end) ||
            menu_after_success(act);
        if (interrupted(act, shown_done, result))
            return result;
        if (dialogue_.failed_lead == act.end) {
            std::string failure = failure_line(tail(act));
            result.detail = failure.empty() ? "promcfg said \"" + first_words(tail(act)) + "\"" : failure;
            return result;
        }
        if (!unsent.empty() && shown_done) {
            result.detail = only_asic_macs_unsent(act)
                                ? unasked(act, unsent, true)
                                : "promcfg came back to its menu before it asked for " + unsent + ", " + nothing_;
            return result;
        }
        if (!unsent.empty() || !dialogue_.was_sent(act.first)) {
            result.state = ActResult::not_run;
            if (!ended_badly(result))
                result.detail = "promcfg ended before it";
            return result;
        }
        if (!shown_done) {
            if (!ended_badly(result))
                result.detail = "promcfg did not come back to its menu after it";
            return result;
        }
        result.state = ActResult::written;
        return result;
    }

    const ToolRun &run_;
    const Dialogue &dialogue_;
    long timeout_;
    std::string nothing_;
    bool ended_well_;
};

}  // namespace

std::vector<ActResult> judge_run(const RunPlan &plan, const ToolRun &run, long timeout_seconds)
{
    Judge judge(run, timeout_seconds);
    std::vector<ActResult> results;
    bool earlier_written = true;
    for (const Act &act : plan.acts) {
        results.push_back(judge.judge(act, earlier_written));
        // -x runs whatever the dialogues before it did, once they ended.
        earlier_written = earlier_written && results.back().state == ActResult::written;
    }
    return results;
}

std::vector<ActResult> not_run(const RunPlan &plan, const std::string &why)
{
    std::vector<ActResult> results;
    for (const Act &act : plan.acts)
        results.push_back({&act, ActResult::not_run, why});
    return results;
}
