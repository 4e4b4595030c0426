// promsim set/unset/get/list/tlvs: system PROM items straight from and to
// the committed store, with no staging, no trace and none of the tool's
// checks.
#include "promsim_commands.h"

#include "byte_order.h"
#include "call_trace.h"
#include "checked_number.h"
#include "system_items.h"
#include "system_prom.h"
#include "tlv_ids.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace promsim_tool {
namespace {

using promsim::Bytes;

struct ItemRef {
    const SystemItem *item;
    uint16_t id;
    std::string name;
};

std::string item_name(const SystemItem &item, int index)
{
    return item.count == 1 ? item.name : item.name + std::to_string(index);
}

bool find_item(const std::string &name, ItemRef *ref)
{
    for (const SystemItem &item : kSystemItems) {
        for (int index = 0; index < item.count; ++index) {
            if (item_name(item, index) == name) {
                *ref = {&item, static_cast<uint16_t>(item.first_id + index), name};
                return true;
            }
        }
    }
    return false;
}

// The name of a record ID, or "" for an ID that no item uses.
std::string name_of(uint16_t id, const SystemItem **found)
{
    for (const SystemItem &item : kSystemItems) {
        if (id >= item.first_id && id < item.first_id + item.count) {
            *found = &item;
            return item_name(item, id - item.first_id);
        }
    }
    *found = nullptr;
    return "";
}

std::string hex(const Bytes &data)
{
    return promsim::trace_hex(data.data(), data.size());
}

// A record's value as promsim prints it; `quoted` texts get quotes and
// \xNN for control bytes so that a listing stays one line per item.
std::string format_value(const SystemItem *item, const Bytes &data, bool quoted)
{
    if (!item)
        return hex(data);
    switch (item->kind) {
    case ItemKind::signed_integer:
    case ItemKind::unsigned_integer:
        if (data.size() != promsim::kIntegerLength)
            return hex(data);
        if (item->kind == ItemKind::signed_integer)
            return std::to_string(static_cast<int32_t>(promsim::get_be32(data.data())));
        return std::to_string(promsim::get_be32(data.data()));
    case ItemKind::text:
        if (quoted)
            return promsim::quote_bytes(data.data(), data.size());
        return std::string(data.begin(), data.end());
    case ItemKind::mac:
    case ItemKind::wwn:
        break;
    }
    return hex(data);
}

// Decimal, signed or unsigned, within 32 bits; stored as its low 32 bits.
bool parse_integer(const std::string &word, uint32_t *value)
{
    long long v;
    if (!promsim::parse_number(word, promsim::NumberForm::signed_decimal, INT32_MIN, UINT32_MAX,
                               &v))
        return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

bool encode_value(const SystemItem &item, const std::string &word, Bytes *data)
{
    switch (item.kind) {
    case ItemKind::mac:
    case ItemKind::wwn: {
        std::size_t length = item.kind == ItemKind::mac ? promsim::kMacLength : promsim::kWwnLength;
        return parse_hex_bytes(word, data) && data->size() == length;
    }
    case ItemKind::signed_integer:
    case ItemKind::unsigned_integer: {
        uint32_t value;
        if (!parse_integer(word, &value))
            return false;
        data->assign(promsim::kIntegerLength, 0);
        promsim::put_be32(data->data(), value);
        return true;
    }
    case ItemKind::text:
        if (word.size() > promsim::kMaxTextLength)
            return false;
        data->assign(word.begin(), word.end());
        return true;
    }
    return false;
}

const char *value_form(ItemKind kind)
{
    switch (kind) {
    case ItemKind::mac:
        return "12 hexadecimal digits";
    case ItemKind::wwn:
        return "16 hexadecimal digits";
    case ItemKind::signed_integer:
    case ItemKind::unsigned_integer:
        return "a decimal 32-bit number";
    case ItemKind::text:
        break;
    }
    return "a text of at most 255 bytes";
}

int unknown_item(const std::string &name)
{
    return bad_arguments("unknown item '" + name + "'");
}

}  // namespace

std::string record_text(uint16_t id, const Bytes &data)
{
    const SystemItem *item;
    (void)name_of(id, &item);
    return format_value(item, data, true);
}

int cmd_set(const Args &args)
{
    if (args.size() != 2)
        return bad_arguments("usage: promsim set ITEM VALUE");
    ItemRef ref;
    if (!find_item(args[0], &ref))
        return unknown_item(args[0]);
    Bytes data;
    if (!encode_value(*ref.item, args[1], &data))
        return bad_arguments(ref.name + " takes " + value_form(ref.item->kind));
    if (promsim::commit_record(ref.id, &data) != 0)
        return device_failure("set " + ref.name);
    return 0;
}

int cmd_unset(const Args &args)
{
    if (args.size() != 1)
        return bad_arguments("usage: promsim unset ITEM");
    ItemRef ref;
    if (!find_item(args[0], &ref))
        return unknown_item(args[0]);
    if (promsim::commit_record(ref.id, nullptr) != 0)
        return device_failure("unset " + ref.name);
    return 0;
}

int cmd_get(const Args &args)
{
    if (args.size() != 1)
        return bad_arguments("usage: promsim get ITEM");
    ItemRef ref;
    if (!find_item(args[0], &ref))
        return unknown_item(args[0]);
    promsim::Records records;
    if (promsim::load_records(records) != 0)
        return device_failure("get " + ref.name);
    auto record = records.find(ref.id);
    if (record == records.end()) {
        errno = ENOENT;
        return device_failure("get " + ref.name);
    }
    std::printf("%s\n", format_value(ref.item, record->second, false).c_str());
    return 0;
}

// Every single item, present or not; of the families only present members.
int cmd_list(const Args &args)
{
    if (!args.empty())
        return bad_arguments("usage: promsim list");
    promsim::Records records;
    if (promsim::load_records(records) != 0)
        return device_failure("list");
    for (const SystemItem &item : kSystemItems) {
        for (int index = 0; index < item.count; ++index) {
            auto record = records.find(static_cast<uint16_t>(item.first_id + index));
            if (record == records.end() && item.count > 1)
                continue;
            std::string value = record == records.end()
                                    ? "(no record)"
                                    : format_value(&item, record->second, true);
            std::printf("%-16s %s\n", item_name(item, index).c_str(), value.c_str());
        }
    }
    return 0;
}

int cmd_tlvs(const Args &args)
{
    if (!args.empty())
        return bad_arguments("usage: promsim tlvs");
    promsim::StoreState state;
    promsim::Records records;
    std::string why;
    if (promsim::inspect_system_prom(state, records, why) != 0)
        return device_failure("tlvs");
    if (state == promsim::StoreState::damaged) {
        std::printf("system PROM damaged: %s\n", why.c_str());
        return 1;
    }
    if (state == promsim::StoreState::erased) {
        std::printf("system PROM erased: no records\n");
        return 0;
    }
    std::printf("system PROM store: %zu records, %zu of %zu bytes used\n", records.size(),
                promsim::store_size(records), promsim::kSystemPromSize);
    for (const auto &record : records) {
        const SystemItem *item;
        std::string name = name_of(record.first, &item);
        std::printf("0x%04x  %-16s %5zu  %s\n", record.first, name.empty() ? "?" : name.c_str(),
                    record.second.size(), format_value(item, record.second, true).c_str());
    }
    return 0;
}

}  // namespace promsim_tool
