#include "system_prom.h"

#include "device_image.h"
#include "errno_result.h"

#include <cerrno>

namespace promsim {
namespace {

// This process's writes since its last flush. The tool is single-threaded,
// so a plain map suffices.
Records &staged()
{
    static Records *writes = new Records;  // outlives calls made at exit
    return *writes;
}

// Committed records of an image that may be written to (erased or valid).
int writable_records(const Image &image, Records &records)
{
    if (parse_store(image, records) == StoreState::damaged)
        return fail(EBADMSG);
    return 0;
}

int store(const Records &records, Image &image)
{
    return build_store(records, image) ? 0 : fail(ENOSPC);
}

// The image last parsed and its records. Every call reads the file again
// (another process may have committed since), but the store is parsed, and
// its checksum checked, only when the bytes differ from those parsed last.
struct ParsedImage {
    Image bytes;
    Records records;
    bool valid = false;
};

// The committed records of the image as it is now.
int committed_records(const Records **records)
{
    static ParsedImage *parsed = new ParsedImage;  // outlives calls made at exit
    static Image *image = new Image;
    if (read_image(Device::system, *image) != 0)
        return -1;
    if (!parsed->valid || *image != parsed->bytes) {
        parsed->valid = false;
        parsed->records.clear();
        if (writable_records(*image, parsed->records) != 0)
            return -1;
        parsed->bytes.swap(*image);  // the old bytes become the next read's buffer
        parsed->valid = true;
    }
    *records = &parsed->records;
    return 0;
}

}  // namespace

int load_records(Records &records)
{
    const Records *committed;
    if (committed_records(&committed) != 0)
        return -1;
    records = *committed;
    return 0;
}

int inspect_system_prom(StoreState &state, Records &records, std::string &why)
{
    Image image;
    if (read_device_file(Device::system, image, &why) != 0)
        return -1;
    if (!why.empty()) {
        records.clear();
        state = StoreState::damaged;
        return 0;
    }
    state = parse_store(image, records, &why);
    return 0;
}

int read_record(uint16_t id, Bytes &data)
{
    const Records *records;
    if (committed_records(&records) != 0)
        return -1;
    auto write = staged().find(id);
    if (write != staged().end()) {
        data = write->second;
        return 0;
    }
    auto record = records->find(id);
    if (record == records->end())
        return fail(ENOENT);
    data = record->second;
    return 0;
}

int stage_record(uint16_t id, const Bytes &data)
{
    Records records;
    if (load_records(records) != 0)
        return -1;
    for (const auto &write : staged())
        records[write.first] = write.second;
    records[id] = data;
    if (store_size(records) > kSystemPromSize)
        return fail(ENOSPC);
    staged()[id] = data;
    return 0;
}

int flush_staged()
{
    if (staged().empty())
        return 0;
    int rc = commit_image(Device::system, [](Image &image) {
        Records records;
        if (writable_records(image, records) != 0)
            return -1;
        for (const auto &write : staged())
            records[write.first] = write.second;
        return store(records, image);
    });
    if (rc == 0)
        staged().clear();
    return rc;
}

int delete_record(uint16_t id)
{
    int rc = commit_image(Device::system, [id](Image &image) {
        Records records;
        if (writable_records(image, records) != 0)
            return -1;
        if (records.erase(id) == 0 && staged().count(id) == 0)
            return fail(ENOENT);
        return store(records, image);
    });
    if (rc == 0)
        staged().erase(id);
    return rc;
}

// Whole rewrites: they replace a damaged image, of whatever size, too.
int initialize_store(bool raw)
{
    Image image(kSystemPromSize, 0xff);
    if (raw && replace_image(Device::system, image) != 0)
        return -1;
    if (store(Records(), image) != 0 || replace_image(Device::system, image) != 0)
        return -1;
    staged().clear();
    return 0;
}

int commit_record(uint16_t id, const Bytes *data)
{
    return commit_image(Device::system, [id, data](Image &image) {
        Records records;
        if (writable_records(image, records) != 0)
            return -1;
        if (data)
            records[id] = *data;
        else
            records.erase(id);
        return store(records, image);
    });
}

}  // namespace promsim
