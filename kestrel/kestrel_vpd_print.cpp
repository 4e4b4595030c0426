#include <cstdio>
#include <cstring>

#include "driver/ground/byte_row_dump.h"
#include "kestrel/kestrel_actions.h"
#include "kestrel/kestrel_connection.h"
#include "kestrelApi.h"

namespace {

constexpr int image_size = 256;
// The library is not told the size of the text buffer; 64 bytes is what it
// may fill.
constexpr std::size_t text_size = 64;

// Prints a text the library put in `text`, or its failure code. The
// buffer's last byte is forced to a terminator so a misbehaving library
// cannot make the print run past it.
void print_text(int rc, char (&text)[text_size])
{
    text[text_size - 1] = '\0';
    if (rc < 0)
        printf("Undefined (rc = %d)\n", rc);
    else
        printf("%s\n", text);
}

}  // namespace

int kestrel_vpd_print()
{
    int rc = kestrel_vpd_open();
    if (rc != 0)
        return rc;

    unsigned char image[image_size];
    memset(image, 0, sizeof image);
    printf("Reading data from PROM....\n");
    rc = kestrel_read(kestrel_handle, 0, image, image_size);
    if (rc < 0) {
        printf("Error reading data from PROM!  rc=%d (%#x)\n", rc, rc);
        return rc;
    }
    printf("Serial PROM data:\n");
    byte_row_dump(image, sizeof image, 0);
    printf("\n\n");

    char text[text_size] = {};
    printf("Service tag:\t");
    print_text(kestrel_get_service_tag(kestrel_handle, text), text);
    printf("ePPID:\t\t");
    print_text(kestrel_get_eppid(kestrel_handle, text), text);
    return 0;
}
