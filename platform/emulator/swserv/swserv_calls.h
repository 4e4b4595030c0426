// Shared pieces of the swServ entry points: argument checks that set errno,
// and the record reads and writes behind the item calls. Every function
// returns -1 with errno on failure (the library's failure code, whatever
// the cause).
#ifndef PROMSIM_SWSERV_SWSERV_CALLS_H
#define PROMSIM_SWSERV_SWSERV_CALLS_H

#include "errno_result.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace promsim {

// Only bus 0 exists.
inline int check_bus(int bus)
{
    return bus == 0 ? 0 : fail(ENODEV);
}

// MACs and WWNs: the record must hold exactly `length` bytes.
int get_bytes(uint16_t id, unsigned char *out, std::size_t length);
int set_bytes(uint16_t id, const unsigned char *bytes, std::size_t length);

int get_integer(uint16_t id, uint32_t *value);
int set_integer(uint16_t id, uint32_t value);

// Copies at most size - 1 bytes, up to a NUL, and terminates; returns the
// number of bytes copied.
int get_text(uint16_t id, char *buffer, int size);
// `length` counts the terminator: length - 1 bytes are stored, as given.
int set_text(uint16_t id, const char *text, int length);

}  // namespace promsim

#endif
