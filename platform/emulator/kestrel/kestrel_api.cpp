// The emulated Kestrel library. kestrel_open hands out one handle per
// process; every other call checks the handle (-EBADF), its arguments
// (-EINVAL), then that the PROM is there (-ENODEV) and whole (-EBADMSG for a
// file of the wrong size). Failures return a negative errno value and set
// errno.

// Built with hidden visibility: the platform's declarations are what
// this library exports (exports/*.map keeps everything else local).
#pragma GCC visibility push(default)
#include "kestrelApi.h"
#pragma GCC visibility pop

#include <algorithm>
#include <cerrno>
#include <string>

#include "device_image.h"
#include "device_presence.h"
#include "emulated_call.h"
#include "errno_result.h"
#include "kestrel_prom.h"

namespace {

using promsim::Device;
using promsim::Image;
using promsim::fail_errno;
using promsim::fail_from_errno;

constexpr int kHandle = 1;
bool opened = false;

bool handle_ok(int handle)
{
    return opened && handle == kHandle;
}

// The record as kestrel_initialize_vpd wrote it, then `text` of it copied out.
template <typename Text>
int record_text(int handle, char *buffer, Text text)
{
    if (!handle_ok(handle))
        return fail_errno(-EBADF);
    if (!buffer)
        return fail_errno(-EINVAL);
    Image image;
    int rc = promsim::read_present_image(Device::kestrel, image);
    if (rc < 0)
        return rc;
    kestrel_vpd_data record;
    rc = kestrelprom::read_record(image, &record);
    if (rc < 0)
        return fail_errno(rc);
    kestrelprom::copy_out(text(record), buffer);
    return 0;
}

std::string handle_arg(int handle)
{
    return std::to_string(handle);
}

}  // namespace

extern "C" {

int kestrel_open(void)
{
    return promsim::emulated_call("kestrel_open", "", [] {
        if (!promsim::device_present(Device::kestrel))
            return fail_errno(-ENODEV);
        opened = true;
        return kHandle;
    });
}

int kestrel_read(int handle, int offset, unsigned char *buffer, int length)
{
    std::string args = promsim::trace_args(
        {handle_arg(handle), std::to_string(offset), "&", std::to_string(length)});
    return promsim::emulated_call("kestrel_read", args, [&] {
        if (!handle_ok(handle))
            return fail_errno(-EBADF);
        return promsim::read_present_range(Device::kestrel, offset, length, buffer);
    });
}

int kestrel_get_service_tag(int handle, char *buffer)
{
    std::string args = promsim::trace_args({handle_arg(handle), "&"});
    return promsim::emulated_call("kestrel_get_service_tag", args, [&] {
        return record_text(handle, buffer, [](const kestrel_vpd_data &record) {
            return kestrelprom::field_text(record.service_tag, sizeof record.service_tag);
        });
    });
}

int kestrel_get_eppid(int handle, char *buffer)
{
    std::string args = promsim::trace_args({handle_arg(handle), "&"});
    return promsim::emulated_call("kestrel_get_eppid", args, [&] {
        return record_text(handle, buffer, kestrelprom::derive_eppid);
    });
}

int kestrel_initialize_vpd(int handle, kestrel_vpd_data *record)
{
    std::string args = promsim::trace_args(
        {handle_arg(handle), record ? promsim::trace_hex(record, sizeof *record) : "NULL"});
    return promsim::emulated_call("kestrel_initialize_vpd", args, [&] {
        if (!handle_ok(handle))
            return fail_errno(-EBADF);
        if (!record)
            return fail_errno(-EINVAL);
        if (!promsim::device_present(Device::kestrel))
            return fail_errno(-ENODEV);
        // Set-up rewrites a damaged PROM whole: the area, and erased
        // bytes after it.
        int rc = promsim::commit_image(
            Device::kestrel,
            [&](Image &image) {
                kestrelprom::write_vpd_area(image, *record);
                return 0;
            },
            promsim::DamagedImage::start_erased);
        return rc < 0 ? fail_from_errno() : 0;
    });
}

}  // extern "C"
