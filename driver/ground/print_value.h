// Printing a text value read from a PROM.
#ifndef PROMCFG_DRIVER_GROUND_PRINT_VALUE_H
#define PROMCFG_DRIVER_GROUND_PRINT_VALUE_H

// Prints the text and a newline; a text holding non-printable bytes gets a
// warning and its bytes in hexadecimal on the next line.
void print_value(const char *text);

#endif
