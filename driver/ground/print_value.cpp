#include "driver/ground/print_value.h"

#include <cstdio>

#include "driver/ground/console_input.h"

void print_value(const char *text)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    bool printable = true;
    for (const unsigned char *p = bytes; *p; ++p)
        printable = printable && is_printable_byte(*p);
    fputs(text, stdout);
    if (printable) {
        printf("\n");
        return;
    }
    printf(" *** WARNING: contains non-ASCII data! ***");
    printf("\n\t%18s[", "");
    for (const unsigned char *p = bytes; *p; ++p)
        printf("%2.2x", *p);
    printf("]\n");
}
