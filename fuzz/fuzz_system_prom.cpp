// A whole system PROM image, then a sequence of the store's read and write
// operations on it, each checked against a model of committed and staged
// records.
//
// Input: flags, operation count (up to 6), 4 bytes per operation, then the image
// (padded with 0xff to the PROM's size). Flags: 1 writes the magic and
// version, 2 sets the records length to cover the bytes given, 4 keeps the
// checksum as given; without 4 the checksum is fixed up so that the record
// walk itself is reached.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "byte_order.h"
#include "check.h"
#include "crc32.h"
#include "device.h"
#include "sim_folder.h"
#include "system_prom.h"
#include "tlv_store.h"

namespace promsim {
}

namespace {

using promsim::Bytes;
using promsim::Records;
using promsim::StoreState;

enum Flags { kFixHeader = 1, kFixLength = 2, kKeepCrc = 4 };
enum Op { load, inspect, read, stage, flush, remove, initialize, commit, op_count };

struct Model {
    bool damaged = false;
    bool erased = false;
    Records committed;
    Records staged;

    Records merged() const
    {
        Records all = committed;
        for (const auto &write : staged)
            all[write.first] = write.second;
        return all;
    }
};

bool fits(const Records &records)
{
    return promsim::store_size(records) <= promsim::kSystemPromSize;
}

Bytes value_of(uint16_t id, unsigned char arg)
{
    std::size_t length = (arg & 0x3fu) * (arg & 0x40u ? 64u : 1u);
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i)
        data[i] = static_cast<unsigned char>(id + i);
    return data;
}

void check_failure(int rc, int error, const char *what)
{
    int got = errno;
    FUZZ_CHECK(rc == -1 && got == error, "%s: rc %d errno %d, expected -1 errno %d", what, rc, got,
               error);
}

// The pure functions on the image itself.
StoreState check_pure(const promsim::Image &image, Records &records)
{
    std::string why;
    StoreState state = promsim::parse_store(image, records, &why);
    if (state != StoreState::valid) {
        FUZZ_CHECK(records.empty(), "records from a store that is not valid");
        FUZZ_CHECK((state == StoreState::damaged) == !why.empty(), "reason '%s'", why.c_str());
        return state;
    }
    FUZZ_CHECK(fits(records), "parsed records larger than the image");
    promsim::Image rebuilt(image.size(), 0);
    FUZZ_CHECK(promsim::build_store(records, rebuilt), "parsed records do not rebuild");
    Records again;
    FUZZ_CHECK(promsim::parse_store(rebuilt, again) == StoreState::valid && again == records,
               "rebuilt store reads back differently");
    return state;
}

void run(Op op, uint16_t id, unsigned char arg, Model &m)
{
    Bytes data = value_of(id, arg);
    switch (op) {
    case load: {
        Records records;
        int rc = promsim::load_records(records);
        if (m.damaged)
            return check_failure(rc, EBADMSG, "load_records");
        FUZZ_CHECK(rc == 0 && records == m.committed, "load_records rc %d", rc);
        return;
    }
    case inspect: {
        StoreState state;
        Records records;
        std::string why;
        int rc = promsim::inspect_system_prom(state, records, why);
        StoreState expected = m.damaged  ? StoreState::damaged
                              : m.erased ? StoreState::erased
                                         : StoreState::valid;
        FUZZ_CHECK(rc == 0 && state == expected, "inspect rc %d state %d, expected %d", rc,
                   static_cast<int>(state), static_cast<int>(expected));
        FUZZ_CHECK(m.damaged || records == m.committed, "inspected records differ");
        return;
    }
    case read: {
        Bytes got;
        int rc = promsim::read_record(id, got);
        if (m.damaged)
            return check_failure(rc, EBADMSG, "read_record");
        Records all = m.merged();
        auto record = all.find(id);
        if (record == all.end())
            return check_failure(rc, ENOENT, "read_record");
        FUZZ_CHECK(rc == 0 && got == record->second, "read_record 0x%x rc %d", id, rc);
        return;
    }
    case stage: {
        int rc = promsim::stage_record(id, data);
        if (m.damaged)
            return check_failure(rc, EBADMSG, "stage_record");
        Records all = m.merged();
        all[id] = data;
        if (!fits(all))
            return check_failure(rc, ENOSPC, "stage_record");
        FUZZ_CHECK(rc == 0, "stage_record rc %d", rc);
        m.staged[id] = data;
        return;
    }
    case flush: {
        int rc = promsim::flush_staged();
        if (m.staged.empty()) {
            FUZZ_CHECK(rc == 0, "flush_staged with nothing staged: rc %d", rc);
            return;
        }
        if (m.damaged)
            return check_failure(rc, EBADMSG, "flush_staged");
        Records all = m.merged();
        if (!fits(all))
            return check_failure(rc, ENOSPC, "flush_staged");
        FUZZ_CHECK(rc == 0, "flush_staged rc %d", rc);
        m.committed = all;
        m.staged.clear();
        m.erased = false;
        return;
    }
    case remove: {
        int rc = promsim::delete_record(id);
        if (m.damaged)
            return check_failure(rc, EBADMSG, "delete_record");
        if (!m.committed.count(id) && !m.staged.count(id))
            return check_failure(rc, ENOENT, "delete_record");
        FUZZ_CHECK(rc == 0, "delete_record rc %d", rc);
        m.committed.erase(id);
        m.staged.erase(id);
        m.erased = false;
        return;
    }
    case initialize: {
        int rc = promsim::initialize_store(arg & 1);
        FUZZ_CHECK(rc == 0, "initialize_store rc %d", rc);
        m = Model();
        return;
    }
    case commit: {
        bool removing = arg & 0x80;
        int rc = promsim::commit_record(id, removing ? nullptr : &data);
        if (m.damaged)
            return check_failure(rc, EBADMSG, "commit_record");
        Records after = m.committed;
        if (removing)
            after.erase(id);
        else
            after[id] = data;
        if (!fits(after))
            return check_failure(rc, ENOSPC, "commit_record");
        FUZZ_CHECK(rc == 0, "commit_record rc %d", rc);
        m.committed = after;
        m.erased = false;
        return;
    }
    case op_count:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsim::make_folder("fuzz-system-prom-");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const unsigned flags = data[0];
    std::size_t ops = data[1] % 7u, at = 2;
    const uint8_t *op_bytes = data + at;
    ops = std::min(ops, (size - at) / 4);
    at += ops * 4;

    promsim::Image image(promsim::kSystemPromSize, 0xff);
    std::size_t given = std::min(size - at, image.size());
    std::copy(data + at, data + at + given, image.begin());
    if (flags & kFixHeader) {
        const unsigned char header[6] = {'T', 'L', 'V', 'S', 0, 1};
        std::copy(header, header + 6, image.begin());
    }
    if (flags & kFixLength)
        promsim::put_be16(&image[6], static_cast<uint16_t>(given > 12 ? given - 12 : 0));
    if (!(flags & kKeepCrc)) {
        promsim::put_be32(&image[8], 0);
        promsim::put_be32(&image[8], promsim::crc32(image.data(), image.size()));
    }

    Model model;
    StoreState state = check_pure(image, model.committed);
    model.damaged = state == StoreState::damaged;
    model.erased = state == StoreState::erased;
    if (ops == 0)
        return 0;  // the image alone: no device needed

    fuzzsim::put_file("system.prom", image);
    for (std::size_t i = 0; i < ops; ++i) {
        const uint8_t *op = op_bytes + 4 * i;
        run(static_cast<Op>(op[0] % op_count), static_cast<uint16_t>(op[1] << 8 | op[2]), op[3],
            model);
    }
    run(inspect, 0, 0, model);

    // Staged writes live in the process: none may reach the next input.
    if (!model.staged.empty())
        FUZZ_CHECK(promsim::initialize_store(false) == 0, "clearing the staged writes");
    return 0;
}
