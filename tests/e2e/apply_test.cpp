// promcfg-apply end to end, on the emulated switch and through the build's
// launcher: identities of every PROM written and read back, the --show round
// trip, a failed write, a refused answer, a bad file, a hung promcfg, JSON.
#include "sim_fixture.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using promtest::EnvList;
using promtest::SimTest;
using Lines = std::vector<std::string>;

const std::string kShowHeading = "# The identity the switch holds, as promcfg shows it.\n";
// The blade items of a blank blade VPD.
const std::string kBladeUndefined = " chassis-type vpd-hw-rev vpd-date-code vpd-part-number vpd-fru-number vpd-pos-id "
                                    "vpd-manufacturer vpd-product-name ip-address ip-gateway ip-netmask";
// Every item of the blade VPD, and of the Kestrel VPD.
const std::string kBladeItems = "chassis-type = BCE-R\nvpd-hw-rev = 255\nvpd-date-code = 2426\nvpd-part-number = "
                                "PN-12345678901234567\nvpd-fru-number = FRU 9\nvpd-pos-id = 0xFfFf\nvpd-manufacturer = "
                                "ACME\nvpd-product-name = " +
                                std::string(62, 'n') +
                                "\nip-address = 10.1.2.3\nip-gateway = 10.1.2.1\nip-netmask = 255.255.255.0\n";
const std::string kKestrelItems = "kestrel-hw-rev = A0\nkestrel-product-name = Kestrel blade of thirty chars\n"
                                  "kestrel-service-tag = ABC1234\n";

// A line of the report's write table.
std::string act(const std::string &how, const std::string &name, const std::string &result)
{
    char line[300];
    snprintf(line, sizeof line, "promcfg %-6s %-18s %s\n", how.c_str(), name.c_str(), result.c_str());
    return line;
}

// A line of the report's item table.
std::string row(const std::string &item, const std::string &before, const std::string &wanted,
                const std::string &read, const std::string &result)
{
    char line[200];
    snprintf(line, sizeof line, "%-20s %-24s %-24s %-24s %s\n", item.c_str(), before.c_str(), wanted.c_str(),
             read.c_str(), result.c_str());
    return line;
}

class ApplyTest : public SimTest {
protected:
    // The platform calls since the last look that change a PROM.
    Lines writes() { return promtest::write_calls(take_trace()); }
};

TEST_F(ApplyTest, IdentitiesAreWrittenAndReadBackOnThreeProductsAndShownBackAsAFileThatAppliesAgain)
{
    const std::string system = "mac0 = 0A:1B:2C:3D:4E:5F\n\tmac1=00c0ffee0001  \nwwn = 10:00:00:05:33:aa:bb:cc\n"
                               "vwwn = 5000000533AABBCC\n";
    const std::string chassis = "# chassis data\n\nchassis-sn = CH 12345\nclei = CLEI012345\n";
    const std::string shown_system = "mac0 = 0a1b2c3d4e5f\nmac1 = 00c0ffee0001\nwwn = 1000000533aabbcc\n"
                                     "vwwn = 5000000533aabbcc\n";
    const std::string shown_chassis = "chassis-sn = CH 12345\nclei = CLEI012345\n";
    const struct {
        const char *product;  // set beforehand, or "" for a blank PROM
        EnvList env;
        std::string board, shown_board, undefined;  // shown_board "": not compared
        int items;
        // What the blade or Kestrel PROM must then hold: device, offset, length, the bytes dumped
        // (0xc00: the chassis type history's first entry, bce-r).
        std::vector<Lines> held;
    } cases[] = {
        // A blade that knows its product: its two ASIC MACs are checked before writing.
        {"43", {},
         "product-id = 43\nproduct-code = PC-43\nboard-sn = BSN-0001\nsubassy1 = SUB-B\nasic-mac0 = aabbccddee00\n"
         "asic-mac1 = AABBCCDDEE01\n",
         "product-id = 43\nproduct-code = PC-43\nboard-sn = BSN-0001\nsubassy-count = 2\nsubassy1 = SUB-B\n"
         "asic-mac0 = aabbccddee00\nasic-mac1 = aabbccddee01\n",
         "# undefined:" + kBladeUndefined + "\n", 12, {}},
        // Blades with every item of the blade VPD: one MAC copied, and two.
        {"43", {}, "product-id = 43\n" + kBladeItems, "", "", 18, {{"blade", "0x70", "3", "50 4e 2d"},
          {"blade", "0x1006", "5", "01 0a 01 02 03"}, {"blade", "0xc0", "2", "6e 6e"}, {"blade", "0xc00", "2", "48 06"}}},
        {"", {}, "product-id = 59\n" + kBladeItems, "", "", 18, {{"blade", "0x70", "3", "50 4e 2d"},
          {"blade", "0x1006", "5", "01 0a 01 02 03"}, {"blade", "0xc0", "2", "6e 6e"}, {"blade", "0xc00", "2", "48 06"}}},
        // The Kestrel blade: its product has no row in the product table, kept as it is.
        {"38", {}, "product-id = 38\n" + kKestrelItems, "", "", 10,
         {{"kestrel", "0x2e", "3", "20 41 30"}, {"kestrel", "0x76", "7", "41 42 43 31 32 33 34"}}},
        // A blank PROM: the file names the product, promcfg asks for its eight ASIC MACs.
        {"", {},
         "product-id=37\nsubassy-count=3\nsubassy0=S0\nsubassy2=S2\nasic-mac0=000000000000\nasic-mac7=000000000007\n",
         "product-id = 37\nsubassy-count = 3\nsubassy0 = S0\nsubassy2 = S2\nasic-mac0 = 000000000000\n"
         "asic-mac7 = 000000000007\n",
         "# undefined: product-code board-sn asic-mac1 asic-mac2 asic-mac3 asic-mac4 asic-mac5 asic-mac6\n", 12, {}},
        // A product without ASIC MACs.
        {"15", {{"PROMSIM_ASIC_MACS", "0"}}, "product-id = 15\nboard-sn = B15\n", "product-id = 15\nboard-sn = B15\n",
         "# undefined: product-code subassy-count\n", 8, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.board);
        promsim({"reset", "all"});
        if (*c.product)
            promsim({"set", "product-id", c.product});
        auto r = apply({"-"}, system + c.board + chassis, c.env);
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        // The PROMs' own bytes, now and after each run below.
        auto holds = [&] {
            EXPECT_EQ(promsim({"get", "mac0"}), "0a1b2c3d4e5f\n");
            for (const Lines &place : c.held)
                EXPECT_NE(promsim({"dump", place[0], place[1], place[2]}).find(place[3]), std::string::npos)
                    << place[0] << " " << place[1];
        };
        holds();
        EXPECT_NE(r.out.find(row("mac0", "undefined", "0a1b2c3d4e5f", "0a1b2c3d4e5f", "ok")), std::string::npos);
        EXPECT_NE(r.out.find("promcfg-apply: all " + std::to_string(c.items) + " items read back as given\n"),
                  std::string::npos)
            << r.out;
        // The second time, nothing is written, in one run; --force writes it all again.
        take_trace();
        auto second = apply({"--json", "-"}, system + c.board + chassis, c.env);
        EXPECT_EQ(second.status, 0) << second.out;
        EXPECT_NE(second.out.find("\"runs\": 1,"), std::string::npos);
        EXPECT_EQ(second.out.find("\"result\": \"written\""), std::string::npos) << second.out;
        EXPECT_EQ(writes(), Lines{});
        holds();
        EXPECT_EQ(apply({"--force", "-"}, system + c.board + chassis, c.env).status, 0);
        EXPECT_NE(writes(), Lines{});
        holds();

        auto shown = apply({"--show"}, "", c.env);
        if (!c.shown_board.empty()) {
            EXPECT_EQ(shown.out, kShowHeading + shown_system + c.shown_board + shown_chassis + c.undefined);
        }
        auto again = apply({"-"}, shown.out, c.env);
        EXPECT_EQ(again.status, 0) << again.out << again.err;
        EXPECT_EQ(apply({"--show"}, "", c.env).out, shown.out);
    }
}

TEST_F(ApplyTest, AFailedWriteEndsWithStatusOneAndNamesTheItem)
{
    const struct {
        std::string rule, system, chassis;
        bool wwn_written;
    } cases[] = {
        // Reported by promcfg: the dialogues after it do not run.
        {"swServSetWWN_bus=-3/5", "failed: Error writing WWName, rc = -3 errno = 5",
         "not-run: not started, as the write before it did not end well", false},
        {"swServSetCLEI_bus=-1/28", "written", "failed: Error writing CLEI, rc = -1 errno = 28", true},
        // A commit that fails unreported: only reading back tells.
        {"swServFlush=-1", "written: promcfg said so, but wwn read back otherwise",
         "written: promcfg said so, but clei read back otherwise", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rule);
        promsim({"reset", "system"});
        promsim({"set", "product-id", "43"});
        auto r = apply({"-"}, "wwn = 1111111111111111\nclei = NEWCLEI\n", {{"PROMSIM_FAIL", c.rule}});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(act("row 1", "system data", c.system)), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(act("row 3", "chassis data", c.chassis)), std::string::npos) << r.out;
        const std::string wwn = c.wwn_written ? "1111111111111111" : "undefined";
        EXPECT_NE(r.out.find(row("wwn", "undefined", "1111111111111111", wwn, c.wwn_written ? "ok" : "differs")),
                  std::string::npos);
        EXPECT_NE(r.out.find(row("clei", "undefined", "NEWCLEI", "undefined", "differs")), std::string::npos);
    }
    // Each write of the other PROMs, failed by its library.
    const struct {
        const char *product, *rule, *item;
        std::string file, result;
    } others[] = {
        {"59", "VPD_Client::set_chassis_type=-5", "chassis-type", "chassis-type = bc10\n",
         act("-x", "chassis type", "failed: Error setting chassis type! (rc=0xfffffffb)")},
        {"59", "VPD_Client::initialize_vpd=-5", "vpd-hw-rev", "vpd-hw-rev = 7\n",
         act("row 5", "blade VPD record", "failed: promcfg said \"Failure initializing VPD! (rc=0xfffffffb)\"")},
        {"43", "VPD_Client::write_mgmt_data=-5", "ip-address", "ip-address = 1.2.3.4\nip-gateway = 1.2.3.1\nip-netmask = 255.0.0.0\n",
         act("row 8", "IP addresses", "failed: promcfg said \"Error!  Unable to write mgmt data to VPD!\"")},
        {"38", "kestrel_initialize_vpd=-5", "kestrel-service-tag", "kestrel-service-tag = TAG1234\n",
         act("row 14", "Kestrel VPD record", "failed: promcfg said \"Failure initializing VPD!  rc=-5 (0xfffffffb)\"")},
    };
    for (const auto &c : others) {
        SCOPED_TRACE(c.rule);
        promsim({"reset", "all"});
        set_items(promtest::blade(59));
        promsim({"set", "product-id", c.product});
        auto r = apply({"-"}, c.file, {{"PROMSIM_FAIL", c.rule}});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(c.result), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(std::string("\n") + c.item + " "), std::string::npos);
        EXPECT_NE(r.out.find(" differs\n"), std::string::npos);
    }
}

TEST_F(ApplyTest, ARefusedAnswerStopsItsDialogueUnwrittenAndTheLaterOnesDoNotRun)
{
    set_items("product-id=43 product-code=OLD-PC board-sn=OLD-SN clei=OLDCLEI");
    // A filter in front of promcfg spoils one answer, which promcfg refuses and asks again.
    std::string tool = promcfg_script("spoil.sh", "sed -u 's/^SPOILED$/an-answer-far-too-long-for-promcfg/' | exec \"$@\"\n");
    auto r = apply({"-"}, "mac0 = 0a1b2c3d4e5f\nproduct-code = SPOILED\nboard-sn = NEW-SN\nclei = NEWCLEI\n", {}, tool);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(act("row 1", "system data", "written") +
                         act("row 2", "board data",
                             "stopped: \"Product Code     (string max=23 chars)\" came again "
                             "(promcfg refused the answer); its input was closed, so nothing of board data was written") +
                         act("row 3", "chassis data", "not-run: not started, as the write before it did not end well")),
              std::string::npos)
        << r.out;
    for (const char *item : {"product-code=OLD-PC", "board-sn=OLD-SN", "clei=OLDCLEI", "mac0=0a1b2c3d4e5f"}) {
        std::string name(item, std::string(item).find('='));
        EXPECT_EQ(promsim({"get", name}), std::string(item).substr(name.size() + 1) + "\n");
    }
    EXPECT_EQ(writes(), (Lines{"swServSetMAC_bus(0a1b2c3d4e5f, 0, 0) = 0", "swServFlush() = 0"}));

    // In the menu's dialogues: a re-asked question, and the menu back where a question was due.
    const struct {
        const char *product, *device;
        std::string file, result;
    } rows[] = {
        {"59", "blade", "vpd-part-number = SPOILED\n" + kBladeItems.substr(kBladeItems.find("vpd-fru")),
         act("row 5", "blade VPD record",
             "stopped: \"Part Number\" came again (promcfg refused the answer); its input was closed, so nothing "
             "of blade VPD record was written")},
        {"43", "blade", "ip-address = 10.9.9.9\nip-gateway = 10.9.9.1\nip-netmask = 255.0.0.0\n",
         act("row 8", "IP addresses",
             "stopped: promcfg said \"Bad gateway address specified.\" where it was to ask \"Enter netmask\"; its "
             "input was closed, so nothing of IP addresses was written")},
        {"38", "kestrel", "kestrel-hw-rev = A1\nkestrel-product-name = SPOILED\nkestrel-service-tag = T1\n",
         act("row 14", "Kestrel VPD record",
             "stopped: \"Product name (Max. 30 characters)\" came again (promcfg refused the answer); its input was "
             "closed, so nothing of Kestrel VPD record was written")},
    };
    std::string spoil = promcfg_script("spoil2.sh", "sed -u 's/^SPOILED$/an-answer-far-too-long-for-promcfg-to-take/;"
                                                    "s/^10.9.9.1$/no address/' | exec \"$@\"\n");
    for (const auto &c : rows) {
        SCOPED_TRACE(c.file);
        promsim({"reset", "all"});
        set_items(promtest::blade(59));
        promsim({"set", "product-id", c.product});
        std::string image = promsim({"dump", c.device, "0", "512"});
        take_trace();
        auto r = apply({"-"}, c.file, {}, spoil);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(c.result), std::string::npos) << r.out;
        EXPECT_EQ(promsim({"dump", c.device, "0", "512"}), image);
        // Nothing of any row after it: no read back either.
        EXPECT_EQ(writes(), Lines{});
        EXPECT_EQ(promtest::count_calls(take_trace(), "VPD_Client::read_mgmt_data"), 0);
    }
}

TEST_F(ApplyTest, WithoutALayoutTheDumpsItemsAreWrittenWholeButNotReadBack)
{
    // The program alone, away from the layout beside it.
    std::string alone = scratch("alone");
    ASSERT_EQ(system(("mkdir -p " + alone + " && cp " PROMCFG_BIN_DIR "/promcfg-apply " + alone).c_str()), 0);
    auto without = [&](const std::string &file) {
        return promtest::run_program(alone + "/promcfg-apply", {"--promcfg", promtest::promcfg_command(), "-"}, file,
                                     {{"PROMSIM_DIR", dir_}, {"PROMSIM_TRACE", trace_path_}});
    };
    set_items(promtest::blade(59));
    auto r = without(kBladeItems);
    EXPECT_EQ(r.status, 5) << r.out << r.err;
    EXPECT_NE(r.out.find(row("vpd-hw-rev", "undefined", "255", "undefined", "written, not read back")), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(row("chassis-type", "undefined", "bce-r", "bce-r", "ok")), std::string::npos) << r.out;
    auto shown = promtest::run_program(alone + "/promcfg-apply", {"--promcfg", promtest::promcfg_command(), "--show"},
                                       "", {{"PROMSIM_DIR", dir_}});
    EXPECT_NE(shown.out.find("chassis-type = bce-r\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("# not read, as no layout places them: vpd-hw-rev vpd-date-code"), std::string::npos);
    EXPECT_EQ(promsim({"dump", "blade", "0x6c", "1"}), "00006c  ff                                               |.|\n");
    // Without a layout the record cannot be told unchanged: written again, and the report says why.
    r = without(kBladeItems);
    EXPECT_NE(r.out.find(act("row 5", "blade VPD record", "written: without a layout it cannot be told unchanged")),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(act("-x", "chassis type", "unchanged")), std::string::npos) << r.out;

    // A part of a record, or a copy it holds, cannot be kept without reading it.
    take_trace();
    r = without("vpd-hw-rev = 3\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "stdin:1: vpd-hw-rev: the blade VPD record is written whole, and vpd-date-code cannot be read to keep "
              "it (no layout: see --layout): give vpd-date-code, vpd-part-number, vpd-fru-number, vpd-pos-id, "
              "vpd-manufacturer, vpd-product-name");
    r = without("mac0 = 0a0b0c0d0e0f\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("stdin:1: mac0: the record copies mac0, which the file changes, so the blade VPD record is written whole", 0), 0u) << r.err;
    EXPECT_EQ(writes(), Lines{});

    // With the layout, the copy is written again with the record's fields kept.
    r = apply({"-"}, "mac0 = 0a0b0c0d0e0f\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(act("row 5", "blade VPD record", "written: the record copies mac0, which the file changes")),
              std::string::npos)
        << r.out;
    // On product 59 the record's second MAC is MAC 0.
    EXPECT_EQ(promsim({"dump", "blade", "0x0e", "6"}), "00000e  0a 0b 0c 0d 0e 0f                                |......|\n");
    EXPECT_EQ(promsim({"dump", "blade", "0x6c", "1"}), "00006c  ff                                               |.|\n");
    // A copy the set-up could not make (it warns and writes the record without it) is a failure.
    r = apply({"-"}, "vpd-hw-rev = 8\n", {{"PROMSIM_FAIL", "swServGetCLEI=-1"}});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(act("row 5", "blade VPD record",
                             "written: promcfg said so, but its copy of vpd-clei reads \"\", not \"CLEI01234\"")),
              std::string::npos)
        << r.out;
    // The next run that reaches the switch writes the stale copy again.
    r = apply({"-"}, "clei = CLEI012345\nchassis-type = bce-r\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(act("row 5", "blade VPD record",
                             "written: the record's copy of vpd-clei reads \"\", not \"CLEI01234\"")),
              std::string::npos)
        << r.out;
}

TEST_F(ApplyTest, ABadFileListsEveryProblemWritesNothingAndRunsOnlyTheDisplay)
{
    promsim({"set", "product-id", "59"});
    const std::string hex12 = "12 hexadecimal digits expected (':' allowed between bytes)";
    const struct {
        Lines lines, problems;  // a problem per line, "" for a good line
    } files[] = {
        {{"# comments and blank lines are fine", "", "mac0 = 0a1b2c3d4e5", "mac1 = 0a1b2c3d4e5g",
          "wwn = 10:00:00:05:33:aa:bb::cc", "vwwn =", "mac0 = 0a1b2c3d4e5f", "serial = X", "chassis-sn CH1",
          "product-id = 38", "product-code = 123456789012345678901234", "board-sn = tab\there", "subassy08 = X",
          "asic-mac2 = 000000000002", "clei = CLEI0123456", std::string(300, 'x'), "# " + std::string(300, 'x')},
         {"", "", "mac0: " + hex12, "mac1: " + hex12, "wwn: 16 hexadecimal digits expected (':' allowed between bytes)",
          "vwwn: empty value", "mac0: already given on line 3", "unknown item 'serial'", "\"item = value\" expected",
          "product-id: 38 has no row in the product table, so promcfg refuses it", "product-code: longer than 23 characters",
          "board-sn: holds a byte outside printable ASCII (0x20 to 0x7e)", "unknown item 'subassy08'",
          "asic-mac2: beyond the 2 ASIC MACs promcfg asks for on product 59", "clei: longer than 10 characters",
          "longer than 255 bytes", ""}},
        {{"subassy2 = S2", "subassy-count = 2", "product-id = 34"},
         {"subassy2: beyond subassy-count 2 (line 2)", "",
          "product-id: 34 has no row in the product table, so promcfg refuses it"}},
        {{"subassy-count = 9"}, {"subassy-count: a count from 1 to 8 expected"}},
        {{"subassy-count = 3", "asic-mac0 = 000000000000"},
         {"subassy-count: promcfg writes the count only with a subassembly ID: give one of subassy0 to subassy2", ""}},
        {{"subassy-count = 1"}, {"subassy-count: promcfg writes the count only with a subassembly ID: give subassy0"}},
        {{"# nothing"}, {"names no item: nothing to write"}},
        // The blade and Kestrel items on product 59.
        {{"ip-address = 10.0.0.256", "vpd-part-number = " + std::string(21, 'p'), "vpd-product-name = " + std::string(63, 'n'),
          "vpd-pos-id = zz", "vpd-hw-rev = 256", "chassis-type = 5", "kestrel-hw-rev = A0", "ip-netmask = 255.0.0.0"},
         {"ip-address: an address of four numbers from 0 to 255 expected (a.b.c.d)",
          "vpd-part-number: longer than 20 characters", "vpd-product-name: longer than 62 characters",
          "vpd-pos-id: a hexadecimal number from 0 to ffff expected", "vpd-hw-rev: a decimal number from 0 to 255 expected",
          "chassis-type: code 5 has no word of promcfg -x, so it cannot be written",
          "kestrel-hw-rev: no Kestrel VPD on product 59 (the Kestrel product is 38)",
          "ip-netmask: promcfg writes the address, the gateway and the netmask together: give ip-address, ip-gateway and "
          "ip-netmask"}},
        // All three named, one refused: that one alone is the problem.
        {{"ip-address = 10.0.0.256", "ip-gateway = 10.0.0.1", "ip-netmask = 255.0.0.0"},
         {"ip-address: an address of four numbers from 0 to 255 expected (a.b.c.d)", "", ""}},
    };
    for (const auto &f : files) {
        std::string file, err;
        int problems = 0;
        for (std::size_t i = 0; i < f.lines.size(); ++i) {
            file += f.lines[i] + "\n";
            if (!f.problems[i].empty())
                err += "stdin:" + std::to_string(i + 1) + ": " + f.problems[i] + "\n";
            problems += !f.problems[i].empty();
        }
        SCOPED_TRACE(file);
        auto r = apply({"-"}, file);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, err + "promcfg-apply: stdin: " + std::to_string(problems) + " problem" +
                             (problems == 1 ? "" : "s") + "; nothing written\n");
        EXPECT_EQ(writes(), Lines{});
    }
    // A dry run of a good file answers nothing either.
    auto dry = apply({"--dry-run", "-"}, "clei = C1\n");
    EXPECT_EQ(dry.out, "item                 before                   wanted                   action\n"
                       "clei                 undefined                C1                       would write\n\n"
                       "promcfg row 3 (chassis data):\n  [Serial Number    (string max=23 chars)] (empty: keeps the item)\n"
                       "  [CLEI registration     (string max=10 chars)] C1\npromcfg-apply: dry run, nothing written\n");
    EXPECT_EQ(writes(), Lines{});
}

TEST_F(ApplyTest, AHungPromcfgIsStoppedAtTheTimeLimit)
{
    const struct {
        std::string body, out, err;
    } cases[] = {
        // Hangs at once: the switch cannot even be read.
        {"exec sleep 100\n", "", "promcfg-apply: cannot read the switch: promcfg -m timed out after 1 s, stopped\n"},
        // Shows the PROM, then hangs before the dialogue, which writes nothing.
        {"for option; do :; done\n[ \"$option\" = -P ] && exec \"$@\"\n"
         "{ IFS= read -r line; printf '%s\\n' \"$line\"; exec sleep 100; } | \"$@\"\n",
         act("row 3", "chassis data", "timed-out: timed out after 1 s, stopped"), ""},
    };
    promsim({"set", "product-id", "43"});
    for (const auto &c : cases) {
        auto start = std::chrono::steady_clock::now();
        auto r = apply({"--timeout", "1", "-"}, "clei = C1\n", {}, promcfg_script("hang.sh", c.body));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(writes(), Lines{});
    }
}

TEST_F(ApplyTest, ShowAndJsonReportsGiveEveryItemAndJsonIsValid)
{
    set_items("product-id=59 mac0=0a1b2c3d4e5f asic-mac1=000000000001");
    promsim({"set", "chassis-sn", "Q\"B\\C\x01"});
    promsim({"set", "clei", ""});
    // A value no file line can hold is shown as a comment that says why.
    EXPECT_EQ(apply({"--show"}).out,
              kShowHeading + "mac0 = 0a1b2c3d4e5f\nproduct-id = 59\nasic-mac1 = 000000000001\n"
                             "# chassis-sn = Q\"B\\\\C\\x01: holds a byte outside printable ASCII (0x20 to 0x7e)\n"
                             "# clei = : empty, which a file line cannot hold (an empty answer keeps the item)\n"
                             "# undefined: mac1 wwn vwwn product-code board-sn subassy-count asic-mac0" +
                             kBladeUndefined + "\n");
    EXPECT_EQ(apply({"--show", "--json"}).out,
              "{\n  \"mac0\": \"0a1b2c3d4e5f\",\n  \"product-id\": 59,\n  \"asic-mac1\": \"000000000001\",\n"
              "  \"chassis-sn\": \"Q\\\"B\\\\C\\u0001\",\n  \"clei\": \"\",\n  \"undefined\": [\"mac1\", \"wwn\", "
              "\"vwwn\", \"product-code\", \"board-sn\", \"subassy-count\", \"asic-mac0\", \"chassis-type\", "
              "\"vpd-hw-rev\", \"vpd-date-code\", \"vpd-part-number\", \"vpd-fru-number\", \"vpd-pos-id\", "
              "\"vpd-manufacturer\", \"vpd-product-name\", \"ip-address\", \"ip-gateway\", \"ip-netmask\"],\n"
              "  \"not_read\": [],\n  \"may_be_longer\": [],\n  \"not_in_file\": [\"chassis-sn\", \"clei\"],\n"
              "  \"no_item\": false,\n  \"status\": 0\n}\n");
    auto r = apply({"--json", "-"}, "mac1 = 00c0ffee0001\nclei = CLEI1\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\n  \"groups\": [\n"
                     "    {\"how\": \"row 1\", \"group\": \"system data\", \"result\": \"written\", \"detail\": \"\"},\n"
                     "    {\"how\": \"row 3\", \"group\": \"chassis data\", \"result\": \"written\", \"detail\": \"\"}\n"
                     "  ],\n  \"read_back_error\": null,\n  \"items\": [\n"
                     "    {\"item\": \"mac1\", \"before\": null, \"wanted\": \"00c0ffee0001\", \"read\": \"00c0ffee0001\", "
                     "\"result\": \"ok\"},\n"
                     "    {\"item\": \"clei\", \"before\": \"\", \"wanted\": \"CLEI1\", \"read\": \"CLEI1\", "
                     "\"result\": \"ok\"}\n  ],\n  \"no_item_before\": false,\n  \"no_item_after\": false,\n"
                     "  \"interrupted\": null,\n  \"runs\": 2,\n  \"status\": 0\n}\n");
    EXPECT_EQ(apply({"--json", "-"}, "product-id = 34\n").out,
              "{\n  \"problems\": [\n    {\"line\": 1, \"item\": \"product-id\", \"problem\": \"34 has no row in the "
              "product table, so promcfg refuses it\"}\n  ],\n  \"total\": 1,\n  \"status\": 2\n}\n");
}

}  // namespace
