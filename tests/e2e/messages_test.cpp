// Every failure, refusal and error text of the tool, one table per family: each row reaches its
// message on the emulated hardware (failures forced with PROMSIM_FAIL), checks the text exactly and,
// through the call trace, that nothing followed it: no later write, no swServFlush, the client closed.
// The few failures that go unreported have rows too, with what followed them.
//
// Two texts cannot be reached and have no row:
// - "Error!  Unable allocate memory for I2C API!": the client's 1100 bytes come from malloc, which
//   does not fail for so little;
// - "Error! vpd_init called redundantly!": every action closes its client before it returns, and
//   the one that keeps it open (the display command line) never returns.
#include "sim_fixture.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using promtest::blade;
using promtest::kClosed;
using promtest::prompts;

const Lines kMenu = {"-m"};
const Lines kOpenedClosed = {"VPD_Client::VPD_Client() = 0", kClosed};
const std::string kNotAllowed = "Operation not allowed for this product type!\n";
const std::string kNoBoard = "Error!  Unable read board data from system PROM!\n"
                             "Board data must be initialized before VPD data!\n";
const std::string kNoMac = "Error!  Unable read MAC address from system PROM!\n"
                           "System data must be initialized before VPD data!\n";
const std::string kNoChassisSn = "Error!  Unable read chassis SN from system PROM!\n"
                                 "Chassis data must be initialized before VPD data!\n";
const std::string kNote = "Note: This option will be deprecated.  Use -x <arg>\n";
const std::string kSystem = "0a1b2c3d4e5f\n00c0ffee0001\n1000000533aabbcc\n2000000533aabbcc\n";
const std::string kBoard = "15\nPC\nSN\n2\nA\nB\naabbccddee01\naabbccddee02\n";

struct Row {
    std::string sim = {};         // "item=value ..." set with promsim after a reset
    Lines args = {};              // kMenu: the menu's first action is checked
    std::string input = {};       // with kMenu, "0\n" is added to leave the menu
    std::string env = {};         // "NAME=VALUE ..." passed as PROMSIM_NAME
    std::string expected = {};    // the output after `after`
    Lines last = {};              // the trace's last lines; one '*' matches any text
    Lines never = {};             // calls missing from the trace
    const char *after = nullptr;  // nullptr: the last prompt "] " if any; "": the whole output
    int status = 0;
};

bool matches(const std::string &line, const std::string &pattern)
{
    std::size_t star = pattern.find('*');
    if (star == std::string::npos)
        return line == pattern;
    std::string head = pattern.substr(0, star), tail = pattern.substr(star + 1);
    return line.size() >= head.size() + tail.size() && line.compare(0, head.size(), head) == 0 &&
           line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
}

class MessageTest : public promtest::SimTest {
protected:
    void walk(const std::vector<Row> &rows)
    {
        for (const Row &row : rows) {
            SCOPED_TRACE(::testing::PrintToString(row.args) + " <" + row.input + "> " + row.env + " [" + row.sim + "]");
            promsim({"reset"});
            set_items(row.sim);
            promtest::EnvList env;
            std::istringstream words(row.env);
            for (std::string w; words >> w;)
                env.emplace_back("PROMSIM_" + w.substr(0, w.find('=')), w.substr(w.find('=') + 1));
            clear_trace();
            bool menu = row.args == kMenu;
            promtest::RunResult r = promcfg(row.args, row.input + (menu ? "0\n" : ""), env);
            EXPECT_EQ(r.status, row.status);

            Lines actions = promtest::menu_actions(r.out);
            std::string text = !menu ? r.out : actions.empty() ? "<no action>" : actions[0];
            std::string marker = row.after ? row.after : "] ";
            std::size_t at = marker.empty() ? std::string::npos : text.rfind(marker);
            if (at != std::string::npos)
                text = text.substr(at + marker.size());
            else if (row.after && *row.after)
                text = "<no " + marker + ">";
            EXPECT_EQ(text, row.expected);

            // The library gives its bus back at exit, after every client is closed.
            Lines trace = take_trace();
            if (!trace.empty() && trace.back() == "VPD_Client::release_bus() = 0")
                trace.pop_back();
            ASSERT_GE(trace.size(), row.last.size());
            std::size_t first = trace.size() - row.last.size();
            for (std::size_t i = 0; i < row.last.size(); ++i)
                EXPECT_TRUE(matches(trace[first + i], row.last[i])) << trace[first + i] << " vs " << row.last[i];
            for (const std::string &call : row.never)
                EXPECT_EQ(promtest::count_calls(trace, call), 0) << call;
        }
    }
};

TEST_F(MessageTest, SystemDataEntry)
{
    const std::string mac = "Ethernet MAC     (12 hex digits, no spaces)";
    walk({
        {"", {"-s"}, kSystem, "FAIL=swServSetMAC_bus=-3", "Error writing MAC address, rc = -3 errno = 5\n",
         {"swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = -3"}},
        {"", {"-s"}, kSystem, "FAIL=swServSetMAC_bus#2=-4/22", "Error writing 2nd MAC address, rc = -4 errno = 22\n",
         {"swServSetMAC_bus(00c0ffee0001, 1, 0) = -4"}},
        {"", {"-s"}, "\n\n1000000533aabbcc\n2000000533aabbcc\n", "FAIL=swServSetWWN_bus=-5",
         "Error writing WWName, rc = -5 errno = 5\n", {"swServSetWWN_bus(1000000533aabbcc, 0) = -5"},
         {"swServSetMAC_bus"}},
        {"", {"-s"}, "0a1b2c3d4e5f\n\n\n2000000533aabbcc\n", "FAIL=swServSetVWWN_bus=-1/13",
         "Error writing VWWName, rc = -1 errno = 13\n",
         {"swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = 0", "swServSetVWWN_bus(2000000533aabbcc, 0) = -1"}},
        // Some items skipped, others given: only those are written.
        {"", {"-s"}, "\n00c0ffee0001\n\n2000000533aabbcc\n", "", "\nSystem Data updated\n",
         {"swServGetProductID(&) = -1", "swServSetMAC_bus(00c0ffee0001, 1, 0) = 0",
          "swServSetVWWN_bus(2000000533aabbcc, 0) = 0", "swServFlush() = 0"}},
        {"", {"-s"}, "0a1b\x01\n\n\n\n\n", "",
         prompts({mac}) + "Input contains non-ASCII data!  Please re-enter data.\n" +
             prompts({mac, "Ethernet2 MAC     (12 hex digits, no spaces)",
                      "Switch WWN       (16 hex digits, no spaces)", "Switch VWWN      (16 hex digits, no spaces)"}),
         {"swServGetProductID(&) = -1"}, {}, ""},
    });
}

TEST_F(MessageTest, BoardDataEntry)
{
    // 50 ASIC MACs for product 0 (none stored, none given): 48 asked and written in order (a 49th
    // question would meet the end of input, which ends the run unwritten).
    std::string macs;
    Lines written = {"swServGetNumAsicMACsByProductID(0, &) = 0", "swServSetPortCount(20) = 0"};
    for (int i = 0; i < 48; ++i) {
        char mac[16];
        snprintf(mac, sizeof mac, "0000000000%02x", i);
        macs += mac + std::string("\n");
        written.push_back("swServSetAsicMAC(" + std::string(mac) + ", " + std::to_string(i) + ") = 0");
    }
    written.push_back("swServFlush() = 0");
    const std::string two = "ASIC_MACS=2 FAIL=";
    walk({
        {"", {"-b"}, "15\nPC\nSN\n2\nA\nB\n", "FAIL=swServGetNumAsicMACsByProductID=-2/19",
         "Error retrieving number of ASIC MACs, rc = -2 errno = 19 productID=15\n",
         {"swServGetNumAsicMACsByProductID(15, &) = -2"}},
        {"", {"-b"}, kBoard, two + "swServSetProductID=-3", "Error writing Product ID, rc = -3 errno = 5\n",
         {"swServSetProductID(15) = -3"}},
        {"", {"-b"}, kBoard, two + "swServSetPortCount=-3/28", "Error writing port count, rc = -3 errno = 28\n",
         {"swServSetPortCount(20) = -3"}},
        {"", {"-b"}, kBoard, two + "swServSetProductCode=-4", "Error writing product code, rc = -4 errno = 5\n",
         {"swServSetProductCode(\"PC\", 3) = -4"}},
        {"", {"-b"}, kBoard, two + "swServSetBoardSN=-5", "Error writing board SN, rc = -5 errno = 5\n",
         {"swServSetBoardSN(\"SN\", 3) = -5"}},
        {"", {"-b"}, kBoard, two + "swServSetSubAssyCount=-6",
         "Error writing subassembly count, rc = -6 errno = 5\n", {"swServSetSubAssyCount(2) = -6"}},
        // A subassembly ID is reported as the count.
        {"", {"-b"}, kBoard, two + "swServSetSubAssy#2=-6/7",
         "Error writing subassembly count, rc = -6 errno = 7\n", {"swServSetSubAssy(1, \"B\", 2) = -6"}},
        {"", {"-b"}, kBoard, two + "swServSetAsicMAC#2=-7", "Error writing ASIC MAC address, rc = -7 errno = 5\n",
         {"swServSetAsicMAC(aabbccddee02, 1) = -7"}},
        // A failed subtype write goes unreported: every later item is written, then flushed once.
        {"", {"-b"}, kBoard, two + "swServSetProductIDsubtype=-1", "\nBoard Data updated\n",
         {"swServSetProductIDsubtype(0) = -1", "swServSetPortCount(20) = 0", "swServSetProductCode(\"PC\", 3) = 0",
          "swServSetBoardSN(\"SN\", 3) = 0", "swServSetSubAssyCount(2) = 0", "swServSetSubAssy(0, \"A\", 2) = 0",
          "swServSetSubAssy(1, \"B\", 2) = 0", "swServSetAsicMAC(aabbccddee01, 0) = 0",
          "swServSetAsicMAC(aabbccddee02, 1) = 0", "swServFlush() = 0"}},
        {"", {"-b"}, "\n\n\n\n" + macs, "ASIC_MACS=50", "\nBoard Data updated\n", written},
    });
}

TEST_F(MessageTest, ChassisDataEntry)
{
    walk({
        {"", {"-c"}, "CH1\nCLEI1\n", "FAIL=swServSetChassisSN_bus=-3", "Error writing chassis SN, rc = -3 errno = 5\n",
         {"swServSetChassisSN_bus(\"CH1\", 4, 0) = -3"}},
        {"", {"-c"}, "CH1\nCLEI1\n", "FAIL=swServSetCLEI_bus=-4/28", "Error writing CLEI, rc = -4 errno = 28\n",
         {"swServSetChassisSN_bus(\"CH1\", 4, 0) = 0", "swServSetCLEI_bus(\"CLEI1\", 6, 0) = -4"}},
        {"", {"-c"}, "\nCLEI1\n", "FAIL=swServSetCLEI_bus=-4", "Error writing CLEI, rc = -4 errno = 5\n",
         {"swServSetCLEI_bus(\"CLEI1\", 6, 0) = -4"}, {"swServSetChassisSN_bus"}},
        // A failed flush goes unreported.
        {"", {"-c"}, "CH1\nCLEI1\n", "FAIL=swServFlush=-1", "\nChassis Data updated\n",
         {"swServSetChassisSN_bus(\"CH1\", 4, 0) = 0", "swServSetCLEI_bus(\"CLEI1\", 6, 0) = 0", "swServFlush() = -1"}},
    });
}

TEST_F(MessageTest, StartUpInitializeAndDelete)
{
    walk({
        {"", {"-k", "-s"}, kSystem, "", "telco, bc1, bc2, bc10, ht, or bcs\n\t-m\t Main configuration menu\n",
         {"swServGetProductID(&) = -1"}, {}, "Where arg can be: ", 255},
        {blade(43), {"-x", "foo", "-q"}, "", "",
         "Uknown chassis type: foo\n\tValid values are: telco, bc1, bc2, bc10, ht, or bcs\n",
         {"swServGetProductID(&) = 0"}, {}, nullptr, 1},
        // A failed initialization ends the collected actions (-i, -r, -s, -b, -c, then -D).
        {"", {"-s", "-i", "-D", "110"}, kSystem, "FAIL=swServInitialize=-3",
         "Error initializing sprom, rc = -3 errno = 5\n", {"swServInitialize(0) = -3"}},
        {"", {"-c", "-r", "-i"}, "SN\n", "FAIL=swServInitializeRaw=-4/30",
         "Sprom data initialized\nPerforming raw initialization of bus 0 ...\n"
         "Error initializing sprom, rc = -4 errno = 30\n",
         {"swServInitialize(0) = 0", "swServInitializeRaw(0) = -4"}},
        {"", {"-D", "122"}, "", "", "Unsupported TLV: 0x122\n", {"swServGetProductID(&) = -1"}},
        {"", {"-D", "0x110"}, "", "FAIL=swServDeleteTLV=-3/16", "Error deleting TLV 0x110, rc = -3 errno = 16\n",
         {"swServDeleteTLV(272) = -3"}},
    });
}

TEST_F(MessageTest, BladeVpdGatingAndPrerequisites)
{
    // Every blade VPD action on a product without blade VPD and with the board data unreadable:
    // the refusal alone, and no client made. The parse-time -q and -v let later options run.
    const struct {
        Lines args;
        std::string input = {}, before = {}, later = {};
    } entries[] = {
        {kMenu, "5\n"}, {kMenu, "6\n"}, {kMenu, "7\n"}, {kMenu, "10\n"}, {kMenu, "11\n"}, {kMenu, "12\n"},
        {kMenu, "13\n"}, {{"-x", "bc2"}}, {{"-t"}, "", kNote}, {{"-z"}, "", kNote}, {{"-e"}, "", kNote},
        {{"-t", "-z", "-e"}, "", kNote + kNote + kNote}, {{"-q", "-D", "122"}, "", "", "Unsupported TLV: 0x122\n"},
        {{"-v", "-D", "122"}, "", "", "Unsupported TLV: 0x122\n"},
    };
    std::vector<Row> rows;
    for (const auto &e : entries)
        for (const auto &state : {std::make_pair(blade(38), kNotAllowed), std::make_pair(std::string(), kNoBoard)})
            rows.push_back({state.first, e.args, e.input, "", e.before + state.second + e.later, {},
                            {"VPD_Client::VPD_Client"}});
    const Lines no_setup = {"VPD_Client::initialize_vpd"};
    rows.insert(rows.end(), {
        {blade(43, "mac0"), kMenu, "5\n", "", kNoMac, {"swServGetMAC(&, 0) = -*", kClosed}, no_setup},
        {blade(59, "mac1"), kMenu, "5\n", "", kNoMac, {"swServGetMAC(&, 1) = -*", kClosed}, no_setup},
        {blade(59, "mac0"), kMenu, "5\n", "", kNoMac, {"swServGetMAC(&, 1) = 0", "swServGetMAC(&, 0) = -*", kClosed},
         no_setup},
        {blade(47, "wwn"), kMenu, "5\n", "",
         "Error!  Unable read WWN from system PROM!\nSystem data must be initialized before VPD data!\n",
         {"swServGetWWN(&) = -*", kClosed}, no_setup},
        {blade(53, "chassis-sn"), kMenu, "5\n", "", kNoChassisSn, {"swServGetChassisSN(&, 24) = -*", kClosed},
         no_setup},
    });
    walk(rows);
}

TEST_F(MessageTest, BladeVpdSetUp)
{
    walk({
        // The start-up read failed: the product checked after the client opened is 0.
        {blade(43), kMenu, "5\n", "FAIL=swServGetProductID#1=-1", kNotAllowed, kOpenedClosed},
        {blade(43, "clei"), kMenu, "5\n\n\n\n\n\n\n\n", "FAIL=VPD_Client::initialize_vpd=-5",
         "Warning: Unable read CLEI from system PROM.\n         CLEI will be uninitialized in VPD.\n\n" +
             prompts({"Hardware Rev     (decimal number 0-255)", "Date code        (WWYY - WW=1-52)", "Part Number",
                      "FRU Number", "POS ID           (HEX number 0-ffff)", "Manufacturer ID", "Product Name"}) +
             "Failure initializing VPD! (rc=0xfffffffb)\n",
         {"VPD_Client::initialize_vpd(*) = -5", kClosed}, {}, ""},
    });
}

TEST_F(MessageTest, BladeVpdPrintsAndDisplayCommandLine)
{
    const std::string read_error = "Error reading data from VPD! (rc=0xfffffffb)\n";
    const std::string ff_row = "\tff\tff\tff\tff\tff\tff\tff\tff\n";
    const char *cli = "Ctrl-C to exit.\n\n";
    std::vector<Row> rows = {
        {blade(43), kMenu, "6\n", "FAIL=VPD_Client::read=-5", "\n\nReading data from VPD...\n" + read_error,
         {"VPD_Client::read(0, 4096, &) = -5", kClosed}},
        {blade(47), kMenu, "10\n", "FAIL=VPD_Client::read=-1",
         "\n\nReading 8K data from VPD...\nError reading data from VPD! (rc=0xffffffff)\n",
         {"VPD_Client::read(0, 8192, &) = -1", kClosed}},
        // The three passes read are shown whole.
        {blade(59), kMenu, "10\n", "FAIL=VPD_Client::read#4=-5",
         ff_row + "\n\n\nReading 8K data from VPD...\n" + read_error,
         {"VPD_Client::read(24576, 8192, &) = -5", kClosed}, {}, "\n5ff8-5fff:"},
        {blade(34), kMenu, "10\n", "", "Board type 34 does not support this option.\n", kOpenedClosed},
        {blade(35), {"-p"}, "", "FAIL=VPD_Client::read=-5", read_error, {"VPD_Client::read(0, 4096, &) = -5", kClosed},
         {}, "Reading data from VPD...\n"},
        {blade(43), {"-v"}, "10000 1\n", "", "vpd-> Invalid address 10000\nvpd-> ", kOpenedClosed, {}, cli},
        {blade(43), {"-v"}, "ffff 2\n", "", "vpd-> Length 2 too large\nvpd-> ", kOpenedClosed, {}, cli},
        {blade(43), {"-v"}, "0 8\n", "FAIL=VPD_Client::read=-5", "vpd-> Unable to read VPD!\nvpd-> ",
         {"VPD_Client::read(0, 8, &) = -5", kClosed}, {}, cli},
    };
    // -p: the PROM display (its last read the CLEI), then one pass of the erased blade VPD.
    for (int product : {34, 35, 43, 47, 53}) {
        bool small = product < 40;
        rows.push_back({blade(product), {"-p"}, "", "", ff_row + "\n",
                        {"swServGetCLEI_bus(&, 24, 0) = *", "swServGetProductID(&) = 0", "VPD_Client::VPD_Client() = 0",
                         small ? "VPD_Client::read(0, 4096, &) = 0" : "VPD_Client::read(0, 8192, &) = 0", kClosed},
                        {}, small ? "\n0ff8-0fff:" : "\n1ff8-1fff:"});
    }
    walk(rows);
}

TEST_F(MessageTest, ChassisType)
{
    walk({
        {blade(43), kMenu, "7\n", "FAIL=VPD_Client::chassis_type=-5",
         "Error reading chassis type from history buffer! rc=-5 (0xfffffffb)\n",
         {"VPD_Client::chassis_type() = -5", kClosed}},
        {blade(43), {"-x", "bc10"}, "", "FAIL=VPD_Client::chassis_type=-5",
         "Current chassis type is Unknown\nSetting chassis type to 0x7....Done.\n\n",
         {"VPD_Client::set_chassis_type(7) = 0", kClosed}},
        {blade(59), {"-x", "ht", "-D", "110"}, "", "FAIL=VPD_Client::chassis_type=5,VPD_Client::set_chassis_type=-3",
         "Current chassis type is Unknown\nSetting chassis type to 0x2....\n"
         "Error setting chassis type! (rc=0xfffffffd)\n",
         {"VPD_Client::set_chassis_type(2) = -3", kClosed}, {"swServDeleteTLV"}},
        {blade(53), {"-t", "-z", "-e"}, "", "FAIL=VPD_Client::chassis_type=0,VPD_Client::set_chassis_type=-1",
         kNote + kNote + kNote + "Current chassis type is 'Enterprise'\nSetting chassis type to 0x1....\n" +
             "Error setting chassis type! (rc=0xffffffff)\n",
         {"VPD_Client::set_chassis_type(1) = -1", kClosed}},
    });
}

TEST_F(MessageTest, ManagementData)
{
    const Lines no_client = {"VPD_Client::VPD_Client"}, no_read = {"VPD_Client::read_mgmt_data"};
    const std::string ip = "8\n10.0.0.1\n10.0.0.254\n255.0.0.0\n";
    const std::string asked = "Enter IP address: Enter gateway address: Enter netmask: ";
    walk({
        {blade(38), kMenu, "8\n", "", "Unsupported board type!\n", {}, no_client},
        {"", kMenu, "8\n", "", "Error!  Unable to read board type!\n", {}, no_client},
        {"", kMenu, "9\n", "", "Error!  Unable to read board type!\n", {}, no_client},
        // The product check passed, then the client's own read of the board data failed.
        {blade(43), kMenu, "8\n", "FAIL=swServGetProductID#3=-1", kNoBoard, {"swServGetProductID(&) = -1"},
         no_client},
        {blade(43), kMenu, "8\n10.0.0\n", "", "Enter IP address: Bad IP address specified.\n", kOpenedClosed, no_read},
        {blade(43), kMenu, "8\n10.0.0.1\n\n", "",
         "Enter IP address: Enter gateway address: Bad gateway address specified.\n", kOpenedClosed, no_read},
        {blade(43), kMenu, "8\n10.0.0.1\n10.0.0.254\nmask\n", "", asked + "Bad netmask specified.\n", kOpenedClosed,
         no_read},
        {blade(47), kMenu, ip, "FAIL=VPD_Client::read_mgmt_data=-5",
         asked + "Error!  Unable to read mgmt data from VPD!\n",
         {"VPD_Client::read_mgmt_data(0, 1024, &) = -5", kClosed}},
        {blade(59), kMenu, ip, "FAIL=VPD_Client::write_mgmt_data=-5",
         asked + "Error!  Unable to write mgmt data to VPD!\n",
         {"VPD_Client::write_mgmt_data(0, 1024, *) = -5", kClosed}},
        {blade(35), kMenu, "9\n", "FAIL=VPD_Client::init_mgmt_data=-5", "Unable to clear MM data! (rc=-5)\n",
         {"VPD_Client::init_mgmt_data() = -5", kClosed}},
    });
}

TEST_F(MessageTest, VpdSizeAndClear)
{
    walk({
        {blade(43), kMenu, "13\n", "FAIL=VPD_Client::sprom_size=-1", "Unable to detect VPD size!  rc=-1 (0xffffffff)\n",
         {"VPD_Client::sprom_size(43) = -1", kClosed}},
        // Only a negative result is a failure: a size of 0 is a size.
        {blade(43), kMenu, "13\n", "FAIL=VPD_Client::sprom_size=0", "VPD size = 0 (0)\n",
         {"VPD_Client::sprom_size(43) = 0", kClosed}},
        {blade(34), kMenu, "12\n", "FAIL=VPD_Client::clear_sprom=-5", "Unable to write VPD!  rc=-5 (0xfffffffb)\n",
         {"VPD_Client::clear_sprom(34) = -5", kClosed}},
        {blade(59), {"-q", "-D", "122"}, "", "FAIL=VPD_Client::clear_sprom=-5",
         "Unable to write VPD!  rc=-5 (0xfffffffb)\nUnsupported TLV: 0x122\n",
         {"VPD_Client::clear_sprom(59) = -5", kClosed}},
    });
}

TEST_F(MessageTest, KestrelPrintAndSetUp)
{
    const std::string answers = "14\nR1\nName\nTAG1234\n";
    const Lines no_write = {"kestrel_initialize_vpd"};
    walk({
        {blade(38), kMenu, "15\n", "FAIL=kestrel_open=0", "", {"kestrel_open() = 0"}},
        {blade(38), kMenu, "15\n", "FAIL=kestrel_read=-5",
         "Reading data from PROM....\nError reading data from PROM!  rc=-5 (0xfffffffb)\n",
         {"kestrel_read(1, 0, &, 256) = -5"}},
        {blade(43), kMenu, "15\n", "FAIL=kestrel_get_service_tag=-7,kestrel_get_eppid=-9",
         "Undefined (rc = -7)\nePPID:\t\tUndefined (rc = -9)\n",
         {"kestrel_get_service_tag(1, &) = -7", "kestrel_get_eppid(1, &) = -9"}, {}, "Service tag:\t"},
        {blade(38), kMenu, answers, "FAIL=kestrel_open=-2", "", {"kestrel_open() = -2"}},
        {"", kMenu, answers, "", kNoBoard, {"kestrel_open() = 1", "swServGetProductID(&) = -1"}},
        {blade(43), kMenu, answers, "", kNotAllowed, {"kestrel_open() = 1", "swServGetProductID(&) = 0"}},
        {blade(38, "mac0"), kMenu, answers, "", kNoMac,
         {"kestrel_open() = 1", "swServGetProductID(&) = 0", "swServGetMAC(&, 0) = -*"}, no_write},
        {blade(38, "chassis-sn"), kMenu, answers, "", kNoChassisSn,
         {"kestrel_open() = 1", "swServGetProductID(&) = 0", "swServGetMAC(&, 0) = 0",
          "swServGetChassisSN(&, 32) = -*"}, no_write},
        {blade(38), kMenu, answers, "FAIL=kestrel_initialize_vpd=-5", "Failure initializing VPD!  rc=-5 (0xfffffffb)\n",
         {"kestrel_initialize_vpd(1, *) = -5"}},
    });
}

}  // namespace
