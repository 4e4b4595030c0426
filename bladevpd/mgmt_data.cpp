#include <cstdint>
#include <cstdio>

#include "bladevpd/blade_products.h"
#include "bladevpd/mgmt_data.h"
#include "bladevpd/vpd_actions.h"
#include "bladevpd/vpd_session.h"
#include "driver/ground/console_input.h"
#include "driver/ground/console_output.h"
#include "swServerApi.h"

namespace {

// The management data actions check the product themselves, on a fresh
// read, before any client is opened.
bool mgmt_product_supported()
{
    int32_t product_id = 0;
    if (swServGetProductID(&product_id) < 0) {
        printf("Error!  Unable to read board type!\n");
        return false;
    }
    if (!find_blade_product(product_id)) {
        printf("Unsupported board type!\n");
        return false;
    }
    return true;
}

void store_address(MgmtData &block, std::size_t offset, const unsigned char address[4])
{
    for (std::size_t i = 0; i < 4; ++i)
        block.bytes[offset + i] = address[i];
}

}  // namespace

bool parse_dotted_quad(const char *line, unsigned char address[4])
{
    unsigned int parts[4];
    if (sscanf(line, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4)
        return false;
    for (int i = 0; i < 4; ++i)
        address[i] = static_cast<unsigned char>(parts[i] & 0xff);
    return true;
}

int read_dotted_quad(const char *prompt, unsigned char address[4])
{
    printf("%s: ", prompt);
    flush_output();
    // End of input takes the path of an unusable answer, with its words.
    char line[80];
    if (read_console_line(line, sizeof line) == -1)
        return -1;
    return parse_dotted_quad(line, address) ? 0 : -1;
}

void mgmt_ip_set()
{
    if (!mgmt_product_supported())
        return;
    VpdSession session;
    if (session.refused())
        return;

    // Every address is asked before the block is read, so a bad answer
    // leaves the VPD untouched.
    unsigned char ip[4], gateway[4], netmask[4];
    if (read_dotted_quad(mgmt_ip_prompt, ip) == -1) {
        printf("Bad IP address specified.\n");
        return;
    }
    if (read_dotted_quad(mgmt_gateway_prompt, gateway) == -1) {
        printf("Bad gateway address specified.\n");
        return;
    }
    if (read_dotted_quad(mgmt_netmask_prompt, netmask) == -1) {
        printf("Bad netmask specified.\n");
        return;
    }

    MgmtData block;
    if (session.client().read_mgmt_data(0, sizeof block.bytes, block.bytes) < 0) {
        printf("Error!  Unable to read mgmt data from VPD!\n");
        return;
    }
    block.bytes[MgmtData::ip_valid_offset] = 1;
    store_address(block, MgmtData::ip_offset, ip);
    store_address(block, MgmtData::netmask_offset, netmask);
    store_address(block, MgmtData::gateway_offset, gateway);
    if (session.client().write_mgmt_data(0, sizeof block.bytes, block.bytes) < 0)
        printf("Error!  Unable to write mgmt data to VPD!\n");
    else
        printf("IP info written to VPD successfully.\n");
}

void mgmt_data_clear()
{
    if (!mgmt_product_supported())
        return;
    VpdSession session;
    if (session.refused())
        return;
    int rc = session.client().init_mgmt_data();
    if (rc < 0)
        printf("Unable to clear MM data! (rc=%d)\n", rc);
}
