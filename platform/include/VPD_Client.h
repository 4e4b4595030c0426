// Blade VPD PROM client (libfcsmapi.so, with libi2cApi.so and libcrcApi.so).
//
// One client reaches the VPD PROM of the blade switch module. There is no
// open call: a constructed client is ready for every member. Members that
// report an outcome return an int, negative on failure. The client fits in
// 1100 bytes of storage.
#ifndef VPD_CLIENT_H
#define VPD_CLIENT_H

#include <cstddef>
#include <cstdint>

// The record that initialize_vpd lays into the VPD, 972 bytes. Integers are
// in the machine's byte order.
struct init_vpd_data {
    int32_t product_id;              // 0x000
    int32_t reserved0;               // 0x004, 0
    unsigned char mac1[6];           // 0x008
    unsigned char mac2[6];           // 0x00e
    unsigned char wwn[8];            // 0x014
    char chassis_sn[32];             // 0x01c, last byte always 0
    char date_code[4];               // 0x03c, no terminator when 4 long
    unsigned char reserved1[12];     // 0x040
    char clei[10];                   // 0x04c
    unsigned char reserved2[22];     // 0x056
    unsigned char hw_rev;            // 0x06c
    unsigned char reserved3;         // 0x06d
    uint16_t pos_id;                 // 0x06e
    char part_number[32];            // 0x070
    char fru_number[32];             // 0x090
    char manufacturer_id[16];        // 0x0b0
    char product_name[129];          // 0x0c0
    unsigned char reserved4[163];    // 0x141
    char part_number2[32];           // 0x1e4
    unsigned char reserved5[456];    // 0x204
};

static_assert(sizeof(init_vpd_data) == 972, "init_vpd_data is 972 bytes");
static_assert(offsetof(init_vpd_data, clei) == 0x04c, "CLEI at 0x04c");
static_assert(offsetof(init_vpd_data, pos_id) == 0x06e, "POS ID at 0x06e");
static_assert(offsetof(init_vpd_data, product_name) == 0x0c0, "name at 0x0c0");
static_assert(offsetof(init_vpd_data, part_number2) == 0x1e4, "part at 0x1e4");

class VPD_Client {
public:
    VPD_Client();
    ~VPD_Client();

    int initialize_vpd(init_vpd_data *data);
    // Fills buffer with count bytes of the VPD from offset.
    int read(unsigned short offset, int count, unsigned char *buffer);
    // The current chassis type code from the history buffer, or negative.
    int chassis_type();
    int set_chassis_type(unsigned char type);
    int read_mgmt_data(int offset, int length, unsigned char *buffer);
    int write_mgmt_data(int offset, int length, unsigned char *buffer);
    int init_mgmt_data();
    // The VPD PROM size in bytes; the detection overwrites the contents.
    int sprom_size(unsigned int product_id);
    int clear_sprom(unsigned int product_id);

private:
    VPD_Client(const VPD_Client &);
    VPD_Client &operator=(const VPD_Client &);
    // The emulated client holds nothing between calls: every member works on
    // the device image itself, so what one client writes the next one reads.
};

#endif
