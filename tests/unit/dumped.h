// byte_row_dump's output, from standard output sent to a temporary file:
// the dump's tests and the tests that read dumps back.
#ifndef PROMCFG_TESTS_UNIT_DUMPED_H
#define PROMCFG_TESTS_UNIT_DUMPED_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/ground/byte_row_dump.h"

inline std::string dumped(const unsigned char *bytes, std::size_t count, uint32_t address, uint32_t last_label,
                          const DumpSection *sections = nullptr, std::size_t section_count = 0)
{
    fflush(stdout);
    FILE *capture = tmpfile();
    int saved = dup(1);
    dup2(fileno(capture), 1);
    byte_row_dump(bytes, count, address, sections, section_count, last_label);
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    rewind(capture);
    for (int c; (c = fgetc(capture)) != EOF;)
        out += static_cast<char>(c);
    fclose(capture);
    return out;
}

#endif
