// promsim: sets up and inspects the emulated hardware that promcfg runs on.
#include "promsim_commands.h"

#include <cstdio>
#include <cstring>

namespace {

using promsim_tool::Args;

struct Command {
    const char *name;
    int (*run)(const Args &args);
};

constexpr Command kCommands[] = {
    {"reset", promsim_tool::cmd_reset},   {"set", promsim_tool::cmd_set},
    {"unset", promsim_tool::cmd_unset},   {"get", promsim_tool::cmd_get},
    {"list", promsim_tool::cmd_list},     {"tlvs", promsim_tool::cmd_tlvs},
    {"dump", promsim_tool::cmd_dump},     {"poke", promsim_tool::cmd_poke},
    {"absent", promsim_tool::cmd_absent}, {"present", promsim_tool::cmd_present},
    {"save", promsim_tool::cmd_save},     {"load", promsim_tool::cmd_load},
    {"status", promsim_tool::cmd_status}, {"version", promsim_tool::cmd_version},
    {"--version", promsim_tool::cmd_version},
};

const char kHelp[] =
    "usage: promsim COMMAND [ARGS]\n"
    "\n"
    "Sets up and inspects the emulated PROMs that promcfg uses off the switch.\n"
    "They live in $PROMSIM_DIR, else $XDG_STATE_HOME/promcfg/sim, else\n"
    "$HOME/.local/state/promcfg/sim (without HOME, under the home folder of the\n"
    "user's password entry). The folder is private: made 0700 with 0600 files; one\n"
    "of your own that others may read is made so at first use; a folder of another\n"
    "user, or one that others may write in, is refused (status 1).\n"
    "\n"
    "Commands:\n"
    "  reset [system|blade|kestrel|all]   blank (erase to 0xff) PROMs; default all\n"
    "  set ITEM VALUE                     write one system PROM item and commit it\n"
    "  unset ITEM                         remove the item's record (none: no error)\n"
    "  get ITEM                           print one item (status 1 without a record)\n"
    "  list                               print every item of the system PROM\n"
    "  tlvs                               print the system PROM's records by ID\n"
    "  dump system|blade|kestrel [OFFSET [LENGTH]]\n"
    "                                     hex dump of an image, 16 bytes a row\n"
    "  poke system|blade|kestrel OFFSET HEXBYTES\n"
    "                                     overwrite raw bytes (to damage an image)\n"
    "  save system|blade|kestrel FILE     copy the device's whole image to FILE as it\n"
    "                                     is, a damaged one byte for byte (with a\n"
    "                                     note on standard error); FILE appears\n"
    "                                     whole or not at all\n"
    "  load system|blade|kestrel FILE     put a saved image of the device's size\n"
    "                                     back: one commit that replaces whatever\n"
    "                                     the device holds, a damaged image too\n"
    "  status                             the folder and what each device holds\n"
    "  absent blade|kestrel               unplug a device: its library fails\n"
    "  present blade|kestrel              plug it back in\n"
    "  help                               this text\n"
    "  version, --version                 print promsim's version\n"
    "\n"
    "System PROM items (set/get/unset), with their record IDs:\n"
    "  mac0 0x110, mac1 0x111, asic-mac0..asic-mac47 0x500..0x52f\n"
    "                         12 hexadecimal digits (':' between bytes allowed)\n"
    "  wwn 0x112, vwwn 0x113  16 hexadecimal digits\n"
    "  product-id 0x120, product-subtype 0x121, port-count 0x8010,\n"
    "  subassy-count 0x8011   decimal, -2147483648 to 4294967295, kept as 32 bits\n"
    "  product-code 0x140, board-sn 0x141, subassy0..subassy7 0x130..0x137,\n"
    "  chassis-sn 0x160, clei 0x161\n"
    "                         text, byte for byte, at most 255 bytes\n"
    "promsim writes straight into the committed store: no staging, no trace,\n"
    "none of promcfg's checks. A damaged system PROM refuses set and unset;\n"
    "reset system (or promcfg -i / -r) replaces it. A device file of the wrong\n"
    "size is damaged: dump shows what it holds, save keeps it as it is (at most the\n"
    "device's size), poke refuses it, reset or load replaces it. Anything but a\n"
    "regular file (a FIFO, a symlink, a device) is damaged and never read: dump and\n"
    "save refuse it (status 1).\n"
    "\n"
    "OFFSET and LENGTH: decimal, or hexadecimal with 0x; OFFSET within the device,\n"
    "LENGTH at most 4294967295. A LENGTH past the end stops at the end.\n"
    "\n"
    "status prints one line each, always in this order:\n"
    "  folder DIR\n"
    "  DEVICE present|absent blank|cleared|data|damaged [(DETAIL)]\n"
    "                         DEVICE: system, blade, kestrel\n"
    "  product-id VALUE|none|unknown\n"
    "blank: only 0xff bytes; cleared: a blade VPD or Kestrel PROM of 0x00 bytes only\n"
    "(what promcfg -q leaves); DETAIL: the system PROM store's record count (\"3\n"
    "records\"), or why the image is damaged (\"file of 100 bytes, not 2048\",\n"
    "\"checksum mismatch\", \"fifo, not a regular file\"). product-id is none without\n"
    "a record, unknown while the system PROM is damaged. A device file that cannot\n"
    "be read shows as \"unreadable (REASON)\" and status ends with 1.\n"
    "\n"
    "Exit status: 0 done, 1 the device refused or a file error (damaged image, no\n"
    "such record, a FILE that cannot be read or written), 2 bad arguments (also a\n"
    "load FILE of another size than the device).\n"
    "\n"
    "A writer waits at most 10 seconds for a device's lock, then gives up with a line\n"
    "on standard error (status 1).\n"
    "\n"
    "Test hooks read by the emulated libraries: PROMSIM_FAIL (its NAME must be a\n"
    "platform function), PROMSIM_ASIC_MACS, PROMSIM_TRACE (never a symlink or another\n"
    "user's file). Formats, the function names, the TLV map and the ASIC MAC table:\n"
    "man promsim.\n";

}  // namespace

int promsim_tool::cmd_version(const Args &args)
{
    if (!args.empty())
        return bad_arguments("usage: promsim --version");
    std::printf("promsim %s\n", PROMCFG_VERSION);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return promsim_tool::bad_arguments("no command given");
    const char *word = argv[1];
    if (!std::strcmp(word, "help") || !std::strcmp(word, "--help") || !std::strcmp(word, "-h")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    Args args(argv + 2, argv + argc);
    for (const Command &command : kCommands)
        if (!std::strcmp(word, command.name))
            return command.run(args);
    return promsim_tool::bad_arguments(std::string("unknown command '") + word + "'");
}
