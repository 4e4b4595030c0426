#include <cstdint>
#include <cstdio>

#include "driver/ground/byte_row_dump.h"
#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"
#include "driver/ground/console_input.h"
#include "driver/ground/console_output.h"
#include "driver/ground/process_exit.h"

namespace {

constexpr uint32_t address_space = 0x10000;

// One command: "offset length", offset in hexadecimal, length in decimal.
void run_command(VPD_Client &client, const char *line)
{
    static unsigned char buffer[address_space];
    unsigned int offset, length;
    if (sscanf(line, "%x %u", &offset, &length) != 2)
        return;
    if (offset > 0xffff) {
        printf("Invalid address %x\n", offset);
        return;
    }
    if (static_cast<uint64_t>(offset) + length > address_space) {
        printf("Length %d too large\n", static_cast<int>(length));
        return;
    }
    if (client.read(static_cast<unsigned short>(offset), static_cast<int>(length), buffer) < 0) {
        printf("Unable to read VPD!\n");
        return;
    }
    byte_row_dump(buffer, length, offset, nullptr, 0, 0xffff);
    printf("\n");
}

}  // namespace

int vpd_display_cli()
{
    int rc = vpd_init();
    if (rc != 0)
        return rc;
    printf("\nVPD display cli.  First parameter is the offset (hex).  Second\n");
    printf("parameter is the length (decimal).  Ctrl-C to exit.\n\n");
    // The client stays open for the life of the loop; end of input ends the
    // process, which closes it on the way out.
    for (;;) {
        printf("vpd-> ");
        flush_output();
        char line[80];
        if (read_console_line(line, sizeof line) == -1)
            end_process(0);
        run_command(*vpd_client, line);
    }
}
