// The emulated blade VPD client. Each member checks its arguments, then that
// the blade is there, then reads the image or commits its change at once
// (lock, re-read, change, atomic rename). Failures return a negative errno
// value and set errno. A damaged image (a file of the wrong size) fails
// every read and data write with -EBADMSG; only the whole rewrites of size
// detection and clearing replace it.

// Built with hidden visibility: the platform's declarations are what
// this library exports (exports/*.map keeps everything else local).
#pragma GCC visibility push(default)
#include "VPD_Client.h"
#pragma GCC visibility pop

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "blade_vpd_layout.h"
#include "checked_number.h"
#include "device_image.h"
#include "device_presence.h"
#include "emulated_call.h"
#include "errno_result.h"

namespace {

using promsim::Device;
using promsim::Image;
using promsim::fail_errno;
using promsim::fail_from_errno;

template <typename Change>
int commit_blade(Change change)
{
    if (!promsim::device_present(Device::blade))
        return fail_errno(-ENODEV);
    int rc = promsim::commit_image(Device::blade, [&](Image &image) {
        change(image);
        return 0;
    });
    return rc < 0 ? fail_from_errno() : 0;
}

// Size detection and clearing write every byte: the new image replaces
// whatever was there, a damaged one too.
int rewrite_blade(const Image &image)
{
    if (!promsim::device_present(Device::blade))
        return fail_errno(-ENODEV);
    return promsim::replace_image(Device::blade, image) < 0 ? fail_from_errno() : 0;
}

// offset and length must stay inside the 1024-byte management block.
bool mgmt_range_ok(int offset, int length, const unsigned char *buffer)
{
    return promsim::call_range_within(offset, length, bladevpd::kMgmtSize) &&
           (length == 0 || buffer);
}

// Where a checked management range starts in the image.
std::ptrdiff_t mgmt_at(int offset)
{
    return static_cast<std::ptrdiff_t>(bladevpd::kMgmtStart) + offset;
}

std::string num(long long value)
{
    return std::to_string(value);
}

}  // namespace

// The bus is taken with the first client and given back when the process
// ends, as a bus driver does: a client still open at exit must be closed
// before this runs. The trace shows the order.
static void release_bus_at_exit()
{
    promsim::emulated_call("VPD_Client::release_bus", "", [] { return 0; });
}

VPD_Client::VPD_Client()
{
    static const bool bus_taken = std::atexit(release_bus_at_exit) == 0;
    (void)bus_taken;
    // Nothing to open; the trace still shows the client's lifetime. A fault
    // rule has nowhere to go from a constructor and is only traced.
    promsim::emulated_call("VPD_Client::VPD_Client", "", [] { return 0; });
}

VPD_Client::~VPD_Client()
{
    promsim::emulated_call("VPD_Client::~VPD_Client", "", [] { return 0; });
}

int VPD_Client::initialize_vpd(init_vpd_data *data)
{
    std::string args = data ? promsim::trace_hex(data, sizeof *data) : "NULL";
    return promsim::emulated_call("VPD_Client::initialize_vpd", args, [&] {
        if (!data)
            return fail_errno(-EINVAL);
        return commit_blade([&](Image &image) { bladevpd::place_init_record(image, *data); });
    });
}

int VPD_Client::read(unsigned short offset, int count, unsigned char *buffer)
{
    std::string args = promsim::trace_args({num(offset), num(count), "&"});
    return promsim::emulated_call("VPD_Client::read", args, [&] {
        return promsim::read_present_range(Device::blade, offset, count, buffer);
    });
}

int VPD_Client::chassis_type()
{
    return promsim::emulated_call("VPD_Client::chassis_type", "", [] {
        Image image;
        int rc = promsim::read_present_image(Device::blade, image);
        if (rc < 0)
            return rc;
        int type = bladevpd::newest_chassis_type(image);
        return type < 0 ? fail_errno(type) : type;
    });
}

int VPD_Client::set_chassis_type(unsigned char type)
{
    return promsim::emulated_call("VPD_Client::set_chassis_type", num(type), [&] {
        return commit_blade([&](Image &image) { bladevpd::append_chassis_type(image, type); });
    });
}

int VPD_Client::read_mgmt_data(int offset, int length, unsigned char *buffer)
{
    std::string args = promsim::trace_args({num(offset), num(length), "&"});
    return promsim::emulated_call("VPD_Client::read_mgmt_data", args, [&] {
        if (!mgmt_range_ok(offset, length, buffer))
            return fail_errno(-EINVAL);
        Image image;
        int rc = promsim::read_present_image(Device::blade, image);
        if (rc < 0)
            return rc;
        std::copy_n(image.begin() + mgmt_at(offset), length, buffer);
        return 0;
    });
}

int VPD_Client::write_mgmt_data(int offset, int length, unsigned char *buffer)
{
    // The block is traced whole; a length no block could have is not read.
    bool traceable = length >= 0 && length <= int(bladevpd::kMgmtSize) && buffer;
    std::string data = traceable ? promsim::trace_hex(buffer, std::size_t(length)) : "&";
    std::string args = promsim::trace_args({num(offset), num(length), data});
    return promsim::emulated_call("VPD_Client::write_mgmt_data", args, [&] {
        if (!mgmt_range_ok(offset, length, buffer))
            return fail_errno(-EINVAL);
        return commit_blade([&](Image &image) {
            std::copy_n(buffer, length, image.begin() + mgmt_at(offset));
        });
    });
}

int VPD_Client::init_mgmt_data()
{
    return promsim::emulated_call("VPD_Client::init_mgmt_data", "", [] {
        return commit_blade([](Image &image) {
            auto start = image.begin() + bladevpd::kMgmtStart;
            std::fill(start, start + bladevpd::kMgmtSize, 0);
        });
    });
}

int VPD_Client::sprom_size(unsigned int product_id)
{
    return promsim::emulated_call("VPD_Client::sprom_size", num(product_id), [&] {
        int size = bladevpd::product_vpd_size(product_id);
        if (size < 0)
            return fail_errno(size);
        Image probed(promsim::kBladeVpdSize, 0xff);
        bladevpd::write_probe_pattern(probed);
        int rc = rewrite_blade(probed);
        return rc < 0 ? rc : size;
    });
}

int VPD_Client::clear_sprom(unsigned int product_id)
{
    return promsim::emulated_call("VPD_Client::clear_sprom", num(product_id), [&] {
        int size = bladevpd::product_vpd_size(product_id);
        if (size < 0)
            return fail_errno(size);
        return rewrite_blade(Image(promsim::kBladeVpdSize, 0));
    });
}
