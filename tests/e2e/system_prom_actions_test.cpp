// System, board and chassis data entry and the PROM display, end to end.
#include "sim_fixture.h"

#include <string>
#include <vector>

namespace {

using promtest::calls_of;
using promtest::EnvList;
using promtest::prompt;
using promtest::prompts;
using promtest::SimTest;
using Lines = std::vector<std::string>;

const EnvList kTwoAsicMacs = {{"PROMSIM_ASIC_MACS", "2"}};
const EnvList kNoAsicMacs = {{"PROMSIM_ASIC_MACS", "0"}};

// One line of the display: the label in 28 columns, then the value.
std::string item(const std::string &label, const std::string &value)
{
    return "\t" + label + std::string(28 - label.size(), ' ') + ": " + value + "\n";
}

const std::string kProductList = "Valid Product IDs:\n\t15\t= Arlen\n\t19\t= Brevik\n\t36\t= Dorran\n"
                                 "\t37\t= Gavrel\n\t40\t= Hollin Blade\n\t41\t= Jorvan Blade\n"
                                 "\t43\t= Kelbry Blade\n\t44\t= Lunet\n\t46\t= Norvik\n"
                                 "\t47\t= Oberin 8G blade\n\t59\t= Pellan\n\t48\t= Quenby 8G blade\n"
                                 "\t49\t= Jorvan-2 blade\n\t50\t= Ulmer\n\t51\t= Varden\n\t15\t= Arlen\n";
const std::string kProductPrompt = prompt("Product ID       (decimal number)");
const std::string kBoardHeading = "--------------------- Board Data ----------------------\n";
const std::string kChassisHeading = "--------------------- Chassis Data --------------------\n";

std::size_t count_of(const std::string &text, const std::string &needle)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

class SystemPromTest : public SimTest {
protected:
    // The calls of the run, without the product ID reads that start every run.
    Lines calls() { return calls_of(take_trace(), "swServGetProductID(", false); }
};

TEST_F(SystemPromTest, EnteredDataIsWrittenInOrderAndDisplayedByLaterRuns)
{
    EXPECT_EQ(promcfg({"-s"}, "0a1B2c3D4e5F\n00112233zz44\n0011223344556677\n-1-1zzFFfe010203\n").out,
              prompts({"Ethernet MAC     (12 hex digits, no spaces)", "Ethernet2 MAC     (12 hex digits, no spaces)",
                       "Switch WWN       (16 hex digits, no spaces)", "Switch VWWN      (16 hex digits, no spaces)"}) +
                  "\nSystem Data updated\n");
    EXPECT_EQ(calls(), (Lines{"swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = 0", "swServSetMAC_bus(001122330044, 1, 0) = 0",
                              "swServSetWWN_bus(0011223344556677, 0) = 0",
                              "swServSetVWWN_bus(ffff00fffe010203, 0) = 0", "swServFlush() = 0"}));

    const std::string sub = "Subassembly ID   (string max=23 chars)";
    EXPECT_EQ(promcfg({"-b"}, "15\nPC-1\nSN-1\n2\nSUB-A\nSUB-B\naabbccddee01\naabbccddee02\n", kTwoAsicMacs).out,
              kProductList + kProductPrompt +
                  prompts({"Product Code     (string max=23 chars)", "Board SN         (string max=23 chars)",
                           "# Subassemblies  (decimal, 0-8)", sub, sub, "ASIC MAC 0      (12 hex digits, no spaces)",
                           "ASIC MAC 1      (12 hex digits, no spaces)"}) +
                  "\nBoard Data updated\n");
    EXPECT_EQ(calls(), (Lines{"swServGetNumAsicMACsByProductID(15, &) = 0", "swServSetProductID(15) = 0",
                              "swServSetProductIDsubtype(0) = 0", "swServSetPortCount(20) = 0",
                              "swServSetProductCode(\"PC-1\", 5) = 0", "swServSetBoardSN(\"SN-1\", 5) = 0",
                              "swServSetSubAssyCount(2) = 0", "swServSetSubAssy(0, \"SUB-A\", 6) = 0",
                              "swServSetSubAssy(1, \"SUB-B\", 6) = 0", "swServSetAsicMAC(aabbccddee01, 0) = 0",
                              "swServSetAsicMAC(aabbccddee02, 1) = 0", "swServFlush() = 0"}));

    promcfg({"-c"}, "CSN-1\nCLEI1\n");
    auto p = promcfg({"-P"}, "", kTwoAsicMacs);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out, "--------------------- System Data ---------------------\n" +
                         item("Ethernet MAC", "0a1b2c3d4e5f") + item("Ethernet2 MAC", "001122330044") +
                         item("Switch WWN", "0011223344556677") + item("Switch VWWN", "ffff00fffe010203") +
                         kBoardHeading + item("Product ID", "15 (Arlen)") + item("Product code", "PC-1") +
                         item("Board SN", "SN-1") + item("# Subassemblies", "2") +
                         item("Subassembly ID   #0", "SUB-A") + item("Subassembly ID   #1", "SUB-B") +
                         item("ASIC MAC 0", "aabbccddee01") + item("ASIC MAC 1", "aabbccddee02") +
                         kChassisHeading + item("Serial Number", "CSN-1") +
                         item("CLEI Registration", "CLEI1"));

    // All answers skipped: the ASIC MAC count is that of the stored product,
    // and only the port count is written.
    clear_trace();
    promcfg({"-b"}, "\n\n\n\n\n\n", kTwoAsicMacs);
    EXPECT_EQ(calls(), (Lines{"swServGetNumAsicMACsByProductID(15, &) = 0", "swServSetPortCount(20) = 0",
                              "swServFlush() = 0"}));
}

TEST_F(SystemPromTest, AnswersOfWrongLengthOrOutsideTheTablesAreAskedAgain)
{
    auto s = promcfg({"-s"}, "0a1b2c3d4e5f0\n0a1b2c3d4e5\n\n\n\n0011223344556677ff\n\n");
    EXPECT_EQ(count_of(s.out, prompt("Ethernet MAC     (12 hex digits, no spaces)")), 3u);
    EXPECT_EQ(count_of(s.out, prompt("Switch VWWN      (16 hex digits, no spaces)")), 2u);
    EXPECT_EQ(calls(), Lines{});  // nothing entered, nothing called

    // 38, 0, -1, 4 and abc are outside the table; an answer too long for the
    // prompt is refused before the table is consulted; 47abc is 47. No ASIC MACs.
    auto b = promcfg({"-b"}, "38\n0\n-1\n4\nabc\n" + std::string(24, '4') + "\n47abc\n\n\n\n",
                     kNoAsicMacs);
    EXPECT_EQ(count_of(b.out, kProductList + kProductPrompt), 6u);
    EXPECT_EQ(count_of(b.out, kProductPrompt), 7u);
    EXPECT_EQ(b.out.find("ASIC MAC"), std::string::npos);
    EXPECT_EQ(calls(), (Lines{"swServGetNumAsicMACsByProductID(47, &) = 0", "swServSetProductID(47) = 0",
                              "swServSetProductIDsubtype(0) = 0", "swServSetPortCount(20) = 0",
                              "swServFlush() = 0"}));

    // Texts hold 23 characters: a 24th has the question asked again.
    const std::string code(23, 'C');
    auto t = promcfg({"-b"}, "\n" + code + "C\n" + code + "\n\n\n", kNoAsicMacs);
    EXPECT_EQ(count_of(t.out, prompt("Product Code     (string max=23 chars)")), 2u);
    EXPECT_EQ(calls_of(take_trace(), "swServSetProductCode"),
              Lines{"swServSetProductCode(\"" + code + "\", 24) = 0"});
}

TEST_F(SystemPromTest, SubassemblyIdsAreWrittenOnlyWhenOneWasGiven)
{
    const std::string count = prompt("# Subassemblies  (decimal, 0-8)");
    const std::string id = prompt("Subassembly ID   (string max=23 chars)");
    const struct {
        std::string answers;
        std::size_t count_prompts, id_prompts;
        Lines calls;
    } cases[] = {
        {"9\n-1\n3\n\nMID\n\n", 3, 3,
         {"swServSetSubAssyCount(3) = 0", "swServSetSubAssy(1, \"MID\", 4) = 0"}},
        {"3\n\n\n\n", 1, 3, {}},
        {"0\n", 1, 0, {}},
        {"8\n\n\n\n\n\n\n\nS7\n", 1, 8,
         {"swServSetSubAssyCount(8) = 0", "swServSetSubAssy(7, \"S7\", 3) = 0"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answers);
        auto r = promcfg({"-b"}, "19\n\n\n" + c.answers, kNoAsicMacs);
        EXPECT_EQ(count_of(r.out, count), c.count_prompts);
        EXPECT_EQ(count_of(r.out, id), c.id_prompts);
        EXPECT_EQ(calls_of(take_trace(), "swServSetSubAssy"), c.calls);
    }
}

TEST_F(SystemPromTest, DisplayReportsEachUnreadableItemInItsPlace)
{
    const std::string u = "Undefined";
    const std::string chassis = kChassisHeading + item("Serial Number", u) + item("CLEI Registration", u);
    EXPECT_EQ(promcfg({"-P"}).out,
              "--------------------- System Data ---------------------\n" + item("Ethernet MAC", u) +
                  item("Ethernet2 MAC", u) + item("Switch WWN", u) + item("Switch VWWN", u) +
                  kBoardHeading + item("Product ID", u) + item("Product code", u) + item("Board SN", u) +
                  item("# Subassemblies", u) + chassis);

    set_items("product-id=38 product-code=AB\x01 subassy-count=12 subassy0=S0 subassy1=S1 subassy3=S3 subassy7=S7 "
              "asic-mac0=0a1b2c3d4e50 asic-mac1=0a1b2c3d4e51 asic-mac2=0a1b2c3d4e52");
    clear_trace();
    // Subassembly 1 (the second read) and ASIC MAC 1 fail; 2, 4, 5 and 6 hold nothing.
    auto r = promcfg({"-P"}, "", {{"PROMSIM_ASIC_MACS", "3"},
                                  {"PROMSIM_FAIL", "swServGetSubAssy#2=-1,swServGetAsicMAC#2=-1"}});
    EXPECT_EQ(r.out.substr(r.out.find(kBoardHeading)),
              kBoardHeading + item("Product ID", "38 (Unknown)") +
                  item("Product code", "AB\x01 *** WARNING: contains non-ASCII data! ***\n\t" +
                                           std::string(18, ' ') + "[414201]") +
                  item("Board SN", u) + item("# Subassemblies", "12") + item("Subassembly ID   #0", "S0") +
                  item("Subassembly ID   #3", "S3") + item("Subassembly ID   #7", "S7") +
                  item("ASIC MAC 0", "0a1b2c3d4e50") + item("ASIC MAC 1", u) +
                  item("ASIC MAC 2", "0a1b2c3d4e52") + chassis);
    const Lines reads = calls_of(take_trace(), "swServGetSubAssy(");
    EXPECT_EQ(reads.size(), 8u);  // indices 0 to 7 only
    EXPECT_EQ(reads.empty() ? "" : reads.back(), "swServGetSubAssy(7, &, 24) = 0");

    // Below eight, as many slots as the count says.
    set_items("subassy-count=3");
    clear_trace();
    promcfg({"-P"});
    EXPECT_EQ(calls_of(take_trace(), "swServGetSubAssy(").size(), 3u);
}

}  // namespace
