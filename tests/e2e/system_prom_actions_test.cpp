// System, board and chassis data entry and the PROM display, end to end.
#include "sim_fixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using promtest::EnvList;
using promtest::SimTest;
using Lines = std::vector<std::string>;

const EnvList kTwoAsicMacs = {{"PROMSIM_ASIC_MACS", "2"}};

const std::string kSystemInput = "0a1B2c3D4e5F\n00112233zz44\n0011223344556677\n-1-1zzFFfe010203\n";
const std::string kBoardInput = "15\nPC-1\nSN-1\n2\nSUB-A\nSUB-B\naabbccddee01\naabbccddee02\n";
const std::string kChassisInput = "CSN-1\nCLEI1\n";

std::string prompt(const std::string &label)
{
    return "[" + label + std::string(label.size() < 48 ? 48 - label.size() : 0, ' ') + "] ";
}

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

const std::string kSystemHeading = "--------------------- System Data ---------------------\n";
const std::string kBoardHeading = "--------------------- Board Data ----------------------\n";
const std::string kChassisHeading = "--------------------- Chassis Data --------------------\n";

Lines calls_of(const Lines &trace, const std::string &prefix)
{
    Lines found;
    for (const auto &line : trace)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

// The trace without the product ID reads, which start every run.
Lines without_product_reads(const Lines &trace)
{
    Lines found;
    for (const auto &line : trace)
        if (line.rfind("swServGetProductID(", 0) != 0)
            found.push_back(line);
    return found;
}

bool ends_with(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::size_t count_of(const std::string &text, const std::string &needle)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

class SystemPromTest : public SimTest {};

TEST_F(SystemPromTest, EnteredDataIsWrittenInOrderAndDisplayedByLaterRuns)
{
    auto s = promcfg({"-s"}, kSystemInput);
    EXPECT_EQ(s.out, prompt("Ethernet MAC     (12 hex digits, no spaces)") +
                         prompt("Ethernet2 MAC     (12 hex digits, no spaces)") +
                         prompt("Switch WWN       (16 hex digits, no spaces)") +
                         prompt("Switch VWWN      (16 hex digits, no spaces)") + "\nSystem Data updated\n");
    EXPECT_EQ(take_trace(), (Lines{"swServGetProductID(&) = -1",
                                   "swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = 0",
                                   "swServSetMAC_bus(001122330044, 1, 0) = 0",
                                   "swServSetWWN_bus(0011223344556677, 0) = 0",
                                   "swServSetVWWN_bus(ffff00fffe010203, 0) = 0", "swServFlush() = 0"}));

    auto b = promcfg({"-b"}, kBoardInput, kTwoAsicMacs);
    const std::string sub = prompt("Subassembly ID   (string max=23 chars)");
    EXPECT_EQ(b.out, kProductList + prompt("Product ID       (decimal number)") +
                         prompt("Product Code     (string max=23 chars)") +
                         prompt("Board SN         (string max=23 chars)") +
                         prompt("# Subassemblies  (decimal, 0-8)") + sub + sub +
                         prompt("ASIC MAC 0      (12 hex digits, no spaces)") +
                         prompt("ASIC MAC 1      (12 hex digits, no spaces)") + "\nBoard Data updated\n");
    EXPECT_EQ(without_product_reads(take_trace()),
              (Lines{"swServGetNumAsicMACsByProductID(15, &) = 0", "swServSetProductID(15) = 0",
                     "swServSetProductIDsubtype(0) = 0", "swServSetPortCount(20) = 0",
                     "swServSetProductCode(\"PC-1\", 5) = 0", "swServSetBoardSN(\"SN-1\", 5) = 0",
                     "swServSetSubAssyCount(2) = 0", "swServSetSubAssy(0, \"SUB-A\", 6) = 0",
                     "swServSetSubAssy(1, \"SUB-B\", 6) = 0", "swServSetAsicMAC(aabbccddee01, 0) = 0",
                     "swServSetAsicMAC(aabbccddee02, 1) = 0", "swServFlush() = 0"}));

    promcfg({"-c"}, kChassisInput);
    EXPECT_EQ(without_product_reads(take_trace()),
              (Lines{"swServSetChassisSN_bus(\"CSN-1\", 6, 0) = 0",
                     "swServSetCLEI_bus(\"CLEI1\", 6, 0) = 0", "swServFlush() = 0"}));

    auto p = promcfg({"-P"}, "", kTwoAsicMacs);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out, kSystemHeading + item("Ethernet MAC", "0a1b2c3d4e5f") +
                         item("Ethernet2 MAC", "001122330044") + item("Switch WWN", "0011223344556677") +
                         item("Switch VWWN", "ffff00fffe010203") + kBoardHeading +
                         item("Product ID", "15 (Arlen)") + item("Product code", "PC-1") +
                         item("Board SN", "SN-1") + item("# Subassemblies", "2") +
                         item("Subassembly ID   #0", "SUB-A") + item("Subassembly ID   #1", "SUB-B") +
                         item("ASIC MAC 0", "aabbccddee01") + item("ASIC MAC 1", "aabbccddee02") +
                         kChassisHeading + item("Serial Number", "CSN-1") +
                         item("CLEI Registration", "CLEI1"));

    // Skipped answers leave the stored items alone; the board run takes the
    // ASIC MAC count of the stored product.
    clear_trace();
    promcfg({"-s"}, "\n\n\n0102030405060708\n");
    promcfg({"-b"}, "\n\n\n\n\n\n", kTwoAsicMacs);
    promcfg({"-c"}, "\nCLEI2\n");
    EXPECT_EQ(without_product_reads(take_trace()),
              (Lines{"swServSetVWWN_bus(0102030405060708, 0) = 0", "swServFlush() = 0",
                     "swServGetNumAsicMACsByProductID(15, &) = 0", "swServSetPortCount(20) = 0",
                     "swServFlush() = 0", "swServSetCLEI_bus(\"CLEI2\", 6, 0) = 0",
                     "swServFlush() = 0"}));
    std::string expected = p.out;
    expected.replace(expected.find("ffff00fffe010203"), 16, "0102030405060708");
    expected.replace(expected.find("CLEI1"), 5, "CLEI2");
    EXPECT_EQ(promcfg({"-P"}, "", kTwoAsicMacs).out, expected);
}

TEST_F(SystemPromTest, WriteFailureStopsTheRunWithoutCommitting)
{
    const struct {
        const char *option;
        const char *rule;
        std::string message;
        std::string last_call;
        std::size_t sets;  // write calls made, the failing one included
    } cases[] = {
        {"-s", "swServSetMAC_bus=-1", "Error writing MAC address, rc = -1 errno = 5\n",
         "swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = -1", 1},
        {"-s", "swServSetMAC_bus#2=-4/13", "Error writing 2nd MAC address, rc = -4 errno = 13\n",
         "swServSetMAC_bus(001122330044, 1, 0) = -4", 2},
        {"-s", "swServSetWWN_bus=-1", "Error writing WWName, rc = -1 errno = 5\n",
         "swServSetWWN_bus(0011223344556677, 0) = -1", 3},
        {"-s", "swServSetVWWN_bus=-2/28", "Error writing VWWName, rc = -2 errno = 28\n",
         "swServSetVWWN_bus(ffff00fffe010203, 0) = -2", 4},
        {"-s", "swServFlush=-1", "\nSystem Data updated\n", "swServFlush() = -1", 4},
        {"-b", "swServSetProductID=-1", "Error writing Product ID, rc = -1 errno = 5\n",
         "swServSetProductID(15) = -1", 1},
        {"-b", "swServSetProductIDsubtype=-1", "\nBoard Data updated\n", "swServFlush() = 0", 10},
        {"-b", "swServSetPortCount=-1", "Error writing port count, rc = -1 errno = 5\n",
         "swServSetPortCount(20) = -1", 3},
        {"-b", "swServSetProductCode=-1", "Error writing product code, rc = -1 errno = 5\n",
         "swServSetProductCode(\"PC-1\", 5) = -1", 4},
        {"-b", "swServSetBoardSN=-1", "Error writing board SN, rc = -1 errno = 5\n",
         "swServSetBoardSN(\"SN-1\", 5) = -1", 5},
        {"-b", "swServSetSubAssyCount=-1", "Error writing subassembly count, rc = -1 errno = 5\n",
         "swServSetSubAssyCount(2) = -1", 6},
        {"-b", "swServSetSubAssy#2=-3", "Error writing subassembly count, rc = -3 errno = 5\n",
         "swServSetSubAssy(1, \"SUB-B\", 6) = -3", 8},
        {"-b", "swServSetAsicMAC#2=-1", "Error writing ASIC MAC address, rc = -1 errno = 5\n",
         "swServSetAsicMAC(aabbccddee02, 1) = -1", 10},
        {"-b", "swServGetNumAsicMACsByProductID=-1/22",
         "Error retrieving number of ASIC MACs, rc = -1 errno = 22 productID=15\n",
         "swServGetNumAsicMACsByProductID(15, &) = -1", 0},
        {"-b", "swServFlush=-2", "\nBoard Data updated\n", "swServFlush() = -2", 10},
        {"-c", "swServSetChassisSN_bus=-1", "Error writing chassis SN, rc = -1 errno = 5\n",
         "swServSetChassisSN_bus(\"CSN-1\", 6, 0) = -1", 1},
        {"-c", "swServSetCLEI_bus=-1", "Error writing CLEI, rc = -1 errno = 5\n",
         "swServSetCLEI_bus(\"CLEI1\", 6, 0) = -1", 2},
        {"-c", "swServFlush=-1", "\nChassis Data updated\n", "swServFlush() = -1", 2},
    };
    for (const auto &c : cases) {
        clear_trace();
        const std::string option = c.option;
        const std::string input = option == "-s" ? kSystemInput : option == "-b" ? kBoardInput
                                                                                 : kChassisInput;
        auto r = promcfg({c.option}, input,
                         {{"PROMSIM_FAIL", c.rule}, {"PROMSIM_ASIC_MACS", "2"}});
        EXPECT_EQ(r.status, 0) << c.rule;
        EXPECT_TRUE(ends_with(r.out, "] " + c.message)) << c.rule << "\n" << r.out;
        Lines trace = take_trace();
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.back(), c.last_call) << c.rule;
        EXPECT_EQ(calls_of(trace, "swServSet").size(), c.sets) << c.rule;
        EXPECT_EQ(calls_of(trace, "swServFlush").size(), c.message[0] == '\n' ? 1u : 0u) << c.rule;
    }
}

TEST_F(SystemPromTest, AnswersOfWrongLengthOrOutsideTheTablesAreAskedAgain)
{
    const std::string mac0 = prompt("Ethernet MAC     (12 hex digits, no spaces)");
    auto s = promcfg({"-s"}, "0a1b2c3d4e5f0\n0a1b2c3d4e5\n\n\n\n0011223344556677ff\n\n");
    EXPECT_EQ(count_of(s.out, mac0), 3u);
    EXPECT_EQ(count_of(s.out, prompt("Switch VWWN      (16 hex digits, no spaces)")), 2u);
    EXPECT_EQ(without_product_reads(take_trace()), Lines{});  // nothing entered, nothing called

    const std::string product = prompt("Product ID       (decimal number)");
    // 38, 0, -1, 4 and abc are outside the table; an answer too long for the
    // prompt is refused before the table is consulted; 47abc is 47.
    auto b = promcfg({"-b"}, "38\n0\n-1\n4\nabc\n" + std::string(24, '4') + "\n47abc\n\n\n\n",
                     {{"PROMSIM_ASIC_MACS", "0"}});
    EXPECT_EQ(b.out.find(kProductList + product), 0u);
    EXPECT_EQ(count_of(b.out, kProductList + product), 6u);
    EXPECT_EQ(count_of(b.out, product), 7u);
    EXPECT_EQ(b.out.find("ASIC MAC"), std::string::npos);
    EXPECT_EQ(without_product_reads(take_trace()),
              (Lines{"swServGetNumAsicMACsByProductID(47, &) = 0", "swServSetProductID(47) = 0",
                     "swServSetProductIDsubtype(0) = 0", "swServSetPortCount(20) = 0",
                     "swServFlush() = 0"}));
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
        {"\n", 1, 0, {}},
        {"8\n\n\n\n\n\n\n\nS7\n", 1, 8,
         {"swServSetSubAssyCount(8) = 0", "swServSetSubAssy(7, \"S7\", 3) = 0"}},
    };
    for (const auto &c : cases) {
        clear_trace();
        auto r = promcfg({"-b"}, "19\n\n\n" + c.answers, {{"PROMSIM_ASIC_MACS", "0"}});
        EXPECT_EQ(count_of(r.out, count), c.count_prompts) << c.answers;
        EXPECT_EQ(count_of(r.out, id), c.id_prompts) << c.answers;
        EXPECT_TRUE(ends_with(r.out, "\nBoard Data updated\n")) << c.answers;
        EXPECT_EQ(calls_of(take_trace(), "swServSetSubAssy"), c.calls) << c.answers;
    }
}

TEST_F(SystemPromTest, AsicMacQuestionsFollowTheLibraryCountUpTo48)
{
    std::string answers;
    for (int i = 0; i < 50; ++i) {
        char mac[16];
        snprintf(mac, sizeof mac, "0000000000%02x\n", i);
        answers += mac;
    }
    auto r = promcfg({"-b"}, "\n\n\n\n" + answers, {{"PROMSIM_ASIC_MACS", "50"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(prompt("ASIC MAC 47      (12 hex digits, no spaces)")), std::string::npos);
    EXPECT_EQ(r.out.find("ASIC MAC 48"), std::string::npos);
    EXPECT_TRUE(ends_with(r.out, "\nBoard Data updated\n"));
    Lines trace = take_trace();
    // The PROM holds no product ID: the count is asked for product 0.
    EXPECT_EQ(calls_of(trace, "swServGetNumAsicMACsByProductID"),
              Lines{"swServGetNumAsicMACsByProductID(0, &) = 0"});
    Lines macs = calls_of(trace, "swServSetAsicMAC");
    ASSERT_EQ(macs.size(), 48u);
    EXPECT_EQ(macs.front(), "swServSetAsicMAC(000000000000, 0) = 0");
    EXPECT_EQ(macs.back(), "swServSetAsicMAC(00000000002f, 47) = 0");

    // The display has no cap: indices the PROM cannot hold show as undefined.
    auto p = promcfg({"-P"}, "", {{"PROMSIM_ASIC_MACS", "50"}});
    EXPECT_NE(p.out.find(item("ASIC MAC 47", "00000000002f") + item("ASIC MAC 48", "Undefined") +
                         item("ASIC MAC 49", "Undefined") + kChassisHeading),
              std::string::npos);
}

TEST_F(SystemPromTest, DisplayReportsEachUnreadableItemInItsPlace)
{
    const std::string blank = kSystemHeading + item("Ethernet MAC", "Undefined") +
                              item("Ethernet2 MAC", "Undefined") + item("Switch WWN", "Undefined") +
                              item("Switch VWWN", "Undefined") + kBoardHeading +
                              item("Product ID", "Undefined") + item("Product code", "Undefined") +
                              item("Board SN", "Undefined") + item("# Subassemblies", "Undefined") +
                              kChassisHeading + item("Serial Number", "Undefined") +
                              item("CLEI Registration", "Undefined");
    EXPECT_EQ(promcfg({"-P"}).out, blank);

    promsim({"set", "product-id", "38"});
    promsim({"set", "product-code", "AB\x01"});
    promsim({"set", "subassy-count", "12"});
    for (const char *i : {"0", "1", "3", "7"})
        promsim({"set", std::string("subassy") + i, std::string("S") + i});
    for (const char *i : {"0", "1", "2"})
        promsim({"set", std::string("asic-mac") + i, std::string("0a1b2c3d4e5") + i});
    clear_trace();
    // Subassembly 1 (the second read) and ASIC MAC 1 fail; 2, 4, 5 and 6 hold nothing.
    auto r = promcfg({"-P"}, "", {{"PROMSIM_ASIC_MACS", "3"},
                                  {"PROMSIM_FAIL", "swServGetSubAssy#2=-1,swServGetAsicMAC#2=-1"}});
    EXPECT_EQ(r.out.substr(r.out.find(kBoardHeading)),
              kBoardHeading + item("Product ID", "38 (Unknown)") +
                  item("Product code", "AB\x01 *** WARNING: contains non-ASCII data! ***\n\t" +
                                           std::string(18, ' ') + "[414201]") +
                  item("Board SN", "Undefined") + item("# Subassemblies", "12") +
                  item("Subassembly ID   #0", "S0") + item("Subassembly ID   #3", "S3") +
                  item("Subassembly ID   #7", "S7") + item("ASIC MAC 0", "0a1b2c3d4e50") +
                  item("ASIC MAC 1", "Undefined") + item("ASIC MAC 2", "0a1b2c3d4e52") +
                  kChassisHeading + item("Serial Number", "Undefined") +
                  item("CLEI Registration", "Undefined"));
    Lines reads = calls_of(take_trace(), "swServGetSubAssy(");
    ASSERT_EQ(reads.size(), 8u);  // indices 0 to 7 only
    EXPECT_EQ(reads.back(), "swServGetSubAssy(7, &, 24) = 0");
}

}  // namespace
