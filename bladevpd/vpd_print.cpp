#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/ground/byte_row_dump.h"
#include "bladevpd/blade_products.h"
#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"
#include "driver/ground/process_state.h"

namespace {

// The 1 KiB blocks of the blade VPD as the displays label them.
constexpr DumpSection vpd_blocks[] = {
    {0x0000, "\n\n*** Fixed block data:"}, {0x0400, "\n\n*** DBCA data:"},
    {0x0800, "\n\n*** Block 2 data:"},     {0x0c00, "\n\n*** Block 3 data:"},
    {0x1000, "\n\n*** Block 4 data:"},     {0x1400, "\n\n*** Block 5 data:"},
    {0x1800, "\n\n*** Block 6 data:"},     {0x1c00, "\n\n*** Block 7 data:"},
};

constexpr std::size_t pass_size = 8192;

// Reads and dumps one range; false after reporting a failed read, so that
// a zero-filled buffer is never shown as VPD contents.
bool dump_range(VPD_Client &client, const char *heading, uint32_t offset, std::size_t size,
                std::size_t block_count)
{
    static unsigned char buffer[pass_size];
    memset(buffer, 0, size);
    printf("%s", heading);
    int rc = client.read(static_cast<unsigned short>(offset), static_cast<int>(size), buffer);
    if (rc < 0) {
        printf("Error reading data from VPD! (rc=%#x)\n", rc);
        return false;
    }
    byte_row_dump(buffer, size, offset, vpd_blocks, block_count);
    printf("\n\n");
    return true;
}

}  // namespace

void vpd_print()
{
    VpdSession session;
    if (session.refused())
        return;
    dump_range(session.client(), "\n\nReading data from VPD...\n", 0, 4096, 4);
}

void vpd_print_8k()
{
    VpdSession session;
    if (session.refused())
        return;
    const BladeProduct *blade = find_blade_product(current_product_id);
    int passes = blade ? blade->print_8k_passes : 0;
    if (passes == 0) {
        printf("Board type %d does not support this option.\n", current_product_id);
        return;
    }
    for (int pass = 0; pass < passes; ++pass) {
        std::size_t blocks = pass == 0 ? sizeof vpd_blocks / sizeof vpd_blocks[0] : 0;
        if (!dump_range(session.client(), "\n\nReading 8K data from VPD...\n",
                        static_cast<uint32_t>(pass) * pass_size, pass_size, blocks))
            return;
    }
}
