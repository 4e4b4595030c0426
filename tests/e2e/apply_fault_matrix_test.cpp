// promcfg-apply under platform faults: every platform call that a run makes
// fails always, at its first call and at its second (in each promcfg it
// starts). Whatever the fault, status 0 means that every item's bytes are
// in the PROM, as promsim reads them, and a good file is never refused.
#include "sim_fixture.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using promtest::SimTest;

struct Identity {
    const char *name;
    const char *switch_items;  // set before each run
    std::map<std::string, std::string> file;  // item -> value as promsim gets it
};

const std::string kLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";

const Identity kIdentities[] = {
    // The README's identity.
    {"readme",
     "product-id=59",
     {{"mac0", "00051e0a1b2c"},
      {"wwn", "100000051e0a1b2c"},
      {"product-id", "59"},
      {"board-sn", "BRW2512K00A"},
      {"asic-mac0", "00051e0a1b30"},
      {"chassis-sn", "CH2512K00A"},
      {"clei", "IPMZZ00DRA"}}},
    // Texts whose record is missing, which the display shows as "Undefined".
    {"missing-texts", "product-id=59", {{"clei", "CLEI01"}, {"product-code", "PC-59"}, {"subassy0", "SUB0"}}},
    // A text the display cuts, given as the display shows it.
    {"cut-text", "product-id=43 board-sn=ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", {{"board-sn", kLong.substr(0, 23)}}},
};

const char *const kModes[] = {"", "#1", "#2"};  // always, first call, second call

class ApplyFaultMatrixTest : public SimTest, public ::testing::WithParamInterface<std::tuple<int, int>> {
protected:
    const Identity &identity() const { return kIdentities[std::get<0>(GetParam())]; }

    std::string file_text() const
    {
        std::string text;
        for (const auto &item : identity().file)
            text += item.first + " = " + item.second + "\n";
        return text;
    }

    void fresh_switch()
    {
        promsim({"reset", "system"});
        set_items(identity().switch_items);
    }

    // The platform functions that a run without faults calls.
    std::set<std::string> called()
    {
        fresh_switch();
        clear_trace();
        apply({"-"}, file_text());
        std::set<std::string> names;
        for (const std::string &line : take_trace())
            names.insert(line.substr(0, line.find('(')));
        return names;
    }
};

TEST_P(ApplyFaultMatrixTest, StatusZeroOnlyWithEveryItemInThePromAndAGoodFileNeverRefused)
{
    const char *mode = kModes[std::get<1>(GetParam())];
    std::set<std::string> names = called();
    ASSERT_GT(names.size(), 5u);
    unsigned zeros = 0;
    for (const std::string &name : names) {
        std::string rule = name + mode + "=-1/5";
        SCOPED_TRACE(rule);
        fresh_switch();
        auto r = apply({"-"}, file_text(), {{"PROMSIM_FAIL", rule}});
        EXPECT_TRUE(r.status == 0 || r.status == 1 || r.status == 3) << r.status << "\n" << r.out << r.err;
        if (r.status != 0)
            continue;
        ++zeros;
        for (const auto &item : identity().file)
            EXPECT_EQ(promsim_result({"get", item.first}).out, item.second + "\n") << item.first << "\n" << r.out;
    }
    printf("%zu faults, %u ended with status 0, each with every item in the PROM\n", names.size(), zeros);
}

std::string case_name(const ::testing::TestParamInfo<std::tuple<int, int>> &info)
{
    static const char *const modes[] = {"Always", "AtFirstCall", "AtSecondCall"};
    std::string name = kIdentities[std::get<0>(info.param)].name;
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name + modes[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryCall, ApplyFaultMatrixTest,
                         ::testing::Combine(::testing::Range(0, 3), ::testing::Range(0, 3)), case_name);

}  // namespace
