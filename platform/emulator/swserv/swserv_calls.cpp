#include "swserv_calls.h"

#include "byte_order.h"
#include "system_prom.h"
#include "tlv_ids.h"

#include <cstring>

namespace promsim {

int get_bytes(uint16_t id, unsigned char *out, std::size_t length)
{
    if (!out)
        return fail(EINVAL);
    Bytes data;
    if (read_record(id, data) != 0)
        return -1;
    // Only a hand-made image holds a MAC or WWN record of another size.
    if (data.size() != length)
        return fail(EINVAL);
    std::memcpy(out, data.data(), length);
    return 0;
}

int set_bytes(uint16_t id, const unsigned char *bytes, std::size_t length)
{
    if (!bytes)
        return fail(EINVAL);
    return stage_record(id, Bytes(bytes, bytes + length));
}

int get_integer(uint16_t id, uint32_t *value)
{
    if (!value)
        return fail(EINVAL);
    Bytes data;
    if (read_record(id, data) != 0)
        return -1;
    if (data.size() != kIntegerLength)
        return fail(EINVAL);
    *value = get_be32(data.data());
    return 0;
}

int set_integer(uint16_t id, uint32_t value)
{
    Bytes data(kIntegerLength);
    put_be32(data.data(), value);
    return stage_record(id, data);
}

int get_text(uint16_t id, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return fail(EINVAL);
    Bytes data;
    if (read_record(id, data) != 0)
        return -1;
    std::size_t room = static_cast<std::size_t>(size) - 1, n = 0;
    while (n < room && n < data.size() && data[n] != 0) {
        buffer[n] = static_cast<char>(data[n]);
        ++n;
    }
    buffer[n] = '\0';
    return static_cast<int>(n);
}

int set_text(uint16_t id, const char *text, int length)
{
    if (!text || length < 1 || static_cast<std::size_t>(length) - 1 > kMaxTextLength)
        return fail(EINVAL);
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    return stage_record(id, Bytes(bytes, bytes + length - 1));
}

}  // namespace promsim
