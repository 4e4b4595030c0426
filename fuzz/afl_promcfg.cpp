// afl_promcfg: promcfg's console dialogues for AFL++. Each run puts the
// emulated hardware back to a prepared state, then runs promcfg_main with
// the rest of the input as standard input; the fork server forks after the
// states are built, before anything is read.
//
// The first input byte picks the run: bits 0-2 the command line, bits 3-4
// the hardware (blank; product 43 with its system data; product 59 with its
// blade VPD set up; product 38 with its Kestrel VPD set up).
//
// PROMSIM_DIR names the folder (fuzz/run.sh gives one on tmpfs); without it
// a new one is made and left behind. Replay: afl_promcfg < INPUT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VPD_Client.h"
#include "blade_vpd_layout.h"
#include "byte_order.h"
#include "device.h"
#include "driver/command_line.h"
#include "kestrel_prom.h"
#include "sim_folder.h"
#include "tlv_ids.h"
#include "tlv_store.h"

namespace {

using promsim::Bytes;
using promsim::Image;

struct Hardware {
    Image system = Image(promsim::kSystemPromSize, 0xff);
    Image blade = Image(promsim::kBladeVpdSize, 0xff);
    Image kestrel = Image(promsim::kKestrelPromSize, 0xff);
};

const std::vector<std::vector<const char *>> kCommandLines = {
    {},                          // the main menu
    {"-s"},                      // system data
    {"-b"},                      // board data
    {"-c"},                      // chassis data
    {"-v"},                      // the VPD display command line
    {"-m"},                      // the menu, asked for
    {"-p"},                      // print everything
    {"-r", "-s", "-b", "-c"},    // raw initialization, then every set-up
};

Bytes text(const char *value)
{
    return Bytes(value, value + std::strlen(value));
}

Bytes integer(uint32_t value)
{
    Bytes bytes(4);
    promsim::put_be32(bytes.data(), value);
    return bytes;
}

Image system_store(int32_t product_id)
{
    promsim::Records records;
    records[promsim::kTlvProductId] = integer(static_cast<uint32_t>(product_id));
    records[promsim::kTlvMac0] = {0x00, 0x05, 0x1e, 0x0a, 0x0b, 0x0c};
    records[promsim::kTlvMac1] = {0x00, 0x05, 0x1e, 0x0a, 0x0b, 0x0d};
    records[promsim::kTlvWwn] = {0x10, 0x00, 0x00, 0x05, 0x1e, 0x0a, 0x0b, 0x0c};
    records[promsim::kTlvVwwn] = {0x50, 0x00, 0x00, 0x05, 0x1e, 0x0a, 0x0b, 0x0c};
    records[promsim::kTlvProductCode] = text("PC-1000");
    records[promsim::kTlvBoardSn] = text("BSN0001");
    records[promsim::kTlvSubAssyCount] = integer(2);
    records[promsim::kTlvSubAssy0] = text("SA-0");
    records[promsim::kTlvSubAssy0 + 1] = text("SA-1");
    records[promsim::kTlvPortCount] = integer(20);
    records[promsim::kTlvChassisSn] = text("CSN0000001");
    records[promsim::kTlvClei] = text("CLEI000001");
    for (int i = 0; i < 4; ++i)
        records[static_cast<uint16_t>(promsim::kTlvAsicMac0 + i)] = {0x00, 0x05, 0x1e, 0x0f, 0x00,
                                                                     static_cast<unsigned char>(i)};
    Image image(promsim::kSystemPromSize, 0xff);
    if (!promsim::build_store(records, image))
        std::abort();
    return image;
}

std::vector<Hardware> prepare()
{
    std::vector<Hardware> states(4);
    states[1].system = system_store(43);

    states[2].system = system_store(59);
    init_vpd_data blade;
    std::memset(&blade, 0, sizeof blade);
    blade.product_id = 59;
    std::memcpy(blade.mac1, "\x00\x05\x1e\x0a\x0b\x0d", 6);
    std::memcpy(blade.mac2, "\x00\x05\x1e\x0a\x0b\x0c", 6);
    std::memcpy(blade.wwn, "\x10\x00\x00\x05\x1e\x0a\x0b\x0c", 8);
    std::strcpy(blade.chassis_sn, "CSN0000001");
    std::memcpy(blade.date_code, "0523", 4);
    std::memcpy(blade.clei, "CLEI000001", 10);
    blade.hw_rev = 3;
    blade.pos_id = 0x1a;
    std::strcpy(blade.part_number, "PN-59");
    std::strcpy(blade.part_number2, "PN-59");
    std::strcpy(blade.fru_number, "FRU-59");
    std::strcpy(blade.manufacturer_id, "MFR");
    std::strcpy(blade.product_name, "Blade switch");
    bladevpd::place_init_record(states[2].blade, blade);
    bladevpd::append_chassis_type(states[2].blade, 3);

    states[3].system = system_store(38);
    kestrel_vpd_data kestrel;
    std::memset(&kestrel, 0, sizeof kestrel);
    std::memcpy(kestrel.mac, "\x00\x05\x1e\x0a\x0b\x0c", 6);
    std::strcpy(kestrel.chassis_sn, "CSN0000001");
    std::strcpy(kestrel.hw_rev, "A00");
    std::strcpy(kestrel.product_name, "Kestrel blade");
    std::strcpy(kestrel.service_tag, "ABC1234");
    kestrelprom::write_vpd_area(states[3].kestrel, kestrel);
    return states;
}

}  // namespace

int main(int, char *argv[])
{
    const std::vector<Hardware> states = prepare();
    const char *dir = std::getenv("PROMSIM_DIR");
    if (dir && *dir)
        fuzzsim::folder() = dir;
    else
        std::fprintf(stderr, "afl_promcfg: PROMSIM_DIR=%s\n",
                     fuzzsim::make_folder("afl-promcfg-", true).c_str());

#ifdef __AFL_HAVE_MANUAL_CONTROL
    __AFL_INIT();
#endif

    int first = std::getchar();
    if (first == EOF)
        first = 0;
    const Hardware &hardware = states[(first >> 3) & 3];
    fuzzsim::put_file("system.prom", hardware.system);
    fuzzsim::put_file("blade.prom", hardware.blade);
    fuzzsim::put_file("kestrel.prom", hardware.kestrel);
    fuzzsim::plug_all();

    std::vector<char *> args{argv[0]};
    for (const char *word : kCommandLines[first & 7])
        args.push_back(const_cast<char *>(word));
    args.push_back(nullptr);
    promcfg_main(static_cast<int>(args.size() - 1), args.data());
    return 0;
}
