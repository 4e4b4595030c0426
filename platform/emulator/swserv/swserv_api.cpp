// The item calls of the emulated switch PROM service: each one is a fault
// hook, argument checks, a record read or a staged write, and a trace line.

// Built with hidden visibility: the platform's declarations are what
// this library exports (exports/*.map keeps everything else local).
#pragma GCC visibility push(default)
#include "swServerApi.h"
#pragma GCC visibility pop

#include "call_trace.h"
#include "emulated_call.h"
#include "swserv_calls.h"
#include "tlv_ids.h"

using promsim::emulated_call;
using promsim::fail;
using promsim::trace_args;
using promsim::trace_hex;
using promsim::trace_text;
using promsim::trace_value;

namespace {

const std::string kOut = "&";

std::string num(long long value)
{
    return std::to_string(value);
}

// Texts are traced as the bytes the record will hold.
std::string text_arg(const char *text, int length)
{
    return trace_text(text, length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
}

int mac_id(int index, uint16_t *id)
{
    if (index != 0 && index != 1)
        return fail(EINVAL);
    *id = index == 0 ? promsim::kTlvMac0 : promsim::kTlvMac1;
    return 0;
}

int indexed_id(uint16_t first, int slots, int index, uint16_t *id)
{
    if (index < 0 || index >= slots)
        return fail(EINVAL);
    *id = static_cast<uint16_t>(first + index);
    return 0;
}

int get_int(uint16_t id, int *value)
{
    uint32_t raw;
    if (!value)
        return fail(EINVAL);
    if (promsim::get_integer(id, &raw) != 0)
        return -1;
    *value = static_cast<int>(raw);
    return 0;
}

int set_int(uint16_t id, const int *value)
{
    return value ? promsim::set_integer(id, static_cast<uint32_t>(*value)) : fail(EINVAL);
}

// The chassis items are reached on a bus; only bus 0 exists.
int get_text_on_bus(uint16_t id, char *buffer, int size, int bus)
{
    if (promsim::check_bus(bus) != 0)
        return -1;
    return promsim::get_text(id, buffer, size) < 0 ? -1 : 0;
}

int set_text_on_bus(uint16_t id, char *text, int length, int bus)
{
    if (promsim::check_bus(bus) != 0)
        return -1;
    return promsim::set_text(id, text, length);
}

}  // namespace

extern "C" {

int swServGetProductID(int *product_id)
{
    return emulated_call(__func__, kOut, [&] { return get_int(promsim::kTlvProductId, product_id); });
}

int swServSetProductID(int *product_id)
{
    return emulated_call(__func__, trace_value(product_id),
                         [&] { return set_int(promsim::kTlvProductId, product_id); });
}

int swServSetProductIDsubtype(int *subtype)
{
    return emulated_call(__func__, trace_value(subtype),
                         [&] { return set_int(promsim::kTlvProductSubtype, subtype); });
}

int swServGetMAC(unsigned char *mac, int index)
{
    return emulated_call(__func__, trace_args({kOut, num(index)}), [&] {
        uint16_t id;
        if (mac_id(index, &id) != 0)
            return -1;
        return promsim::get_bytes(id, mac, promsim::kMacLength);
    });
}

int swServSetMAC_bus(unsigned char *mac, int index, int bus)
{
    return emulated_call(
        __func__, trace_args({trace_hex(mac, promsim::kMacLength), num(index), num(bus)}), [&] {
            uint16_t id;
            if (promsim::check_bus(bus) != 0 || mac_id(index, &id) != 0)
                return -1;
            return promsim::set_bytes(id, mac, promsim::kMacLength);
        });
}

int swServGetWWN(unsigned char *wwn)
{
    return emulated_call(__func__, kOut,
                         [&] { return promsim::get_bytes(promsim::kTlvWwn, wwn, promsim::kWwnLength); });
}

int swServGetWWN_bus(unsigned char *wwn, int bus)
{
    return emulated_call(__func__, trace_args({kOut, num(bus)}), [&] {
        if (promsim::check_bus(bus) != 0)
            return -1;
        return promsim::get_bytes(promsim::kTlvWwn, wwn, promsim::kWwnLength);
    });
}

int swServGetVWWN_bus(unsigned char *wwn, int bus)
{
    return emulated_call(__func__, trace_args({kOut, num(bus)}), [&] {
        if (promsim::check_bus(bus) != 0)
            return -1;
        return promsim::get_bytes(promsim::kTlvVwwn, wwn, promsim::kWwnLength);
    });
}

int swServSetWWN_bus(unsigned char *wwn, int bus)
{
    return emulated_call(__func__, trace_args({trace_hex(wwn, promsim::kWwnLength), num(bus)}),
                         [&] {
                             if (promsim::check_bus(bus) != 0)
                                 return -1;
                             return promsim::set_bytes(promsim::kTlvWwn, wwn, promsim::kWwnLength);
                         });
}

int swServSetVWWN_bus(unsigned char *wwn, int bus)
{
    return emulated_call(__func__, trace_args({trace_hex(wwn, promsim::kWwnLength), num(bus)}),
                         [&] {
                             if (promsim::check_bus(bus) != 0)
                                 return -1;
                             return promsim::set_bytes(promsim::kTlvVwwn, wwn, promsim::kWwnLength);
                         });
}

int swServGetProductCode(char *buffer, int size)
{
    return emulated_call(__func__, trace_args({kOut, num(size)}), [&] {
        return promsim::get_text(promsim::kTlvProductCode, buffer, size) < 0 ? -1 : 0;
    });
}

int swServSetProductCode(char *text, int length)
{
    return emulated_call(__func__, trace_args({text_arg(text, length), num(length)}),
                         [&] { return promsim::set_text(promsim::kTlvProductCode, text, length); });
}

int swServGetBoardSN(char *buffer, int size)
{
    return emulated_call(__func__, trace_args({kOut, num(size)}), [&] {
        return promsim::get_text(promsim::kTlvBoardSn, buffer, size) < 0 ? -1 : 0;
    });
}

int swServSetBoardSN(char *text, int length)
{
    return emulated_call(__func__, trace_args({text_arg(text, length), num(length)}),
                         [&] { return promsim::set_text(promsim::kTlvBoardSn, text, length); });
}

int swServGetSubAssyCount(unsigned int *count)
{
    return emulated_call(__func__, kOut,
                         [&] { return promsim::get_integer(promsim::kTlvSubAssyCount, count); });
}

int swServSetSubAssyCount(unsigned int *count)
{
    return emulated_call(__func__, trace_value(count), [&] {
        return count ? promsim::set_integer(promsim::kTlvSubAssyCount, *count) : fail(EINVAL);
    });
}

int swServGetSubAssy(int index, char *buffer, int size)
{
    return emulated_call(__func__, trace_args({num(index), kOut, num(size)}), [&] {
        uint16_t id;
        if (indexed_id(promsim::kTlvSubAssy0, promsim::kSubAssySlots, index, &id) != 0)
            return -1;
        return promsim::get_text(id, buffer, size) < 0 ? -1 : 0;
    });
}

int swServSetSubAssy(int index, char *text, int length)
{
    return emulated_call(__func__, trace_args({num(index), text_arg(text, length), num(length)}),
                         [&] {
                             uint16_t id;
                             if (indexed_id(promsim::kTlvSubAssy0, promsim::kSubAssySlots, index,
                                            &id) != 0)
                                 return -1;
                             return promsim::set_text(id, text, length);
                         });
}

int swServGetAsicMAC(unsigned char *mac, int index)
{
    return emulated_call(__func__, trace_args({kOut, num(index)}), [&] {
        uint16_t id;
        if (indexed_id(promsim::kTlvAsicMac0, promsim::kAsicMacSlots, index, &id) != 0)
            return -1;
        return promsim::get_bytes(id, mac, promsim::kMacLength);
    });
}

int swServSetAsicMAC(unsigned char *mac, int index)
{
    return emulated_call(__func__, trace_args({trace_hex(mac, promsim::kMacLength), num(index)}),
                         [&] {
                             uint16_t id;
                             if (indexed_id(promsim::kTlvAsicMac0, promsim::kAsicMacSlots, index,
                                            &id) != 0)
                                 return -1;
                             return promsim::set_bytes(id, mac, promsim::kMacLength);
                         });
}

int swServSetPortCount(int *port_count)
{
    return emulated_call(__func__, trace_value(port_count),
                         [&] { return set_int(promsim::kTlvPortCount, port_count); });
}

// The only get whose success code means something: the text's length.
int swServGetChassisSN(char *buffer, int size)
{
    return emulated_call(__func__, trace_args({kOut, num(size)}),
                         [&] { return promsim::get_text(promsim::kTlvChassisSn, buffer, size); });
}

int swServGetChassisSN_bus(char *buffer, int size, int bus)
{
    return emulated_call(__func__, trace_args({kOut, num(size), num(bus)}),
                         [&] { return get_text_on_bus(promsim::kTlvChassisSn, buffer, size, bus); });
}

int swServSetChassisSN_bus(char *text, int length, int bus)
{
    return emulated_call(__func__, trace_args({text_arg(text, length), num(length), num(bus)}),
                         [&] { return set_text_on_bus(promsim::kTlvChassisSn, text, length, bus); });
}

int swServGetCLEI(char *buffer, int size)
{
    return emulated_call(__func__, trace_args({kOut, num(size)}), [&] {
        return promsim::get_text(promsim::kTlvClei, buffer, size) < 0 ? -1 : 0;
    });
}

int swServGetCLEI_bus(char *buffer, int size, int bus)
{
    return emulated_call(__func__, trace_args({kOut, num(size), num(bus)}),
                         [&] { return get_text_on_bus(promsim::kTlvClei, buffer, size, bus); });
}

int swServSetCLEI_bus(char *text, int length, int bus)
{
    return emulated_call(__func__, trace_args({text_arg(text, length), num(length), num(bus)}),
                         [&] { return set_text_on_bus(promsim::kTlvClei, text, length, bus); });
}

}  // extern "C"
