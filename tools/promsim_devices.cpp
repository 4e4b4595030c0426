// promsim reset/dump/poke/absent/present: whole device images, through the
// emulator support library only, so they work on every device alike.
#include "promsim_commands.h"

#include "checked_number.h"
#include "device_files.h"
#include "device_image.h"
#include "device_presence.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace promsim_tool {
namespace {

using promsim::Device;
using promsim::kAllDevices;

// The same longest LENGTH on every host.
constexpr std::size_t kMaxLength = 0xffffffffu;

// A whole rewrite: it replaces a damaged device too.
int erase(Device device)
{
    int rc = promsim::replace_image(device, promsim::Image(promsim::device_size(device), 0xff));
    return rc == 0 ? 0 : device_failure(std::string("reset ") + promsim::device_name(device));
}

// Rows of 16 bytes: offset, bytes in hex, printable characters.
void hex_dump(const promsim::Image &image, std::size_t offset, std::size_t length)
{
    for (std::size_t row = offset; row < offset + length; row += 16) {
        std::size_t end = std::min(row + 16, offset + length);
        std::printf("%06zx ", row);
        std::string chars;
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i < end) {
                std::printf(" %02x", image[i]);
                chars += std::isprint(image[i]) ? static_cast<char>(image[i]) : '.';
            } else {
                std::printf("   ");
            }
        }
        std::printf("  |%s|\n", chars.c_str());
    }
}

int set_presence(const Args &args, bool present)
{
    Device device;
    if (args.size() != 1 || !parse_device(args[0], &device) || device == Device::system)
        return bad_arguments(present ? "usage: promsim present blade or kestrel"
                                     : "usage: promsim absent blade or kestrel");
    if (promsim::set_device_present(device, present) != 0)
        return device_failure((present ? "present " : "absent ") + args[0]);
    return 0;
}

}  // namespace

int cmd_reset(const Args &args)
{
    if (args.size() > 1)
        return bad_arguments("usage: promsim reset [system|blade|kestrel|all]");
    if (args.empty() || args[0] == "all") {
        for (Device device : kAllDevices)
            if (int rc = erase(device))
                return rc;
        return 0;
    }
    Device device;
    if (!parse_device(args[0], &device))
        return bad_arguments("unknown device '" + args[0] + "'");
    return erase(device);
}

int cmd_dump(const Args &args)
{
    Device device;
    if (args.empty() || args.size() > 3 || !parse_device(args[0], &device))
        return bad_arguments("usage: promsim dump system|blade|kestrel [OFFSET [LENGTH]]");
    std::size_t size = promsim::device_size(device), offset = 0, length = size;
    if (args.size() > 1 && !parse_size(args[1], size - 1, &offset))
        return bad_arguments("offset '" + args[1] + "' is not within the " +
                             std::to_string(size) + " bytes of " + args[0]);
    if (args.size() > 2 && !parse_size(args[2], kMaxLength, &length))
        return bad_arguments("bad length '" + args[2] + "'");
    // A damaged file is shown as it is, as far as it goes.
    promsim::Image image;
    std::string damage;
    if (promsim::read_device_file(device, image, &damage) != 0)
        return device_failure("dump " + args[0]);
    if (promsim::damaged_by_file_kind(damage)) {
        std::fprintf(stderr, "promsim: dump %s: nothing to show: damaged (%s)\n", args[0].c_str(),
                     damage.c_str());
        return 1;
    }
    if (offset < image.size())
        hex_dump(image, offset, std::min(length, image.size() - offset));  // stops at the end
    return 0;
}

int cmd_poke(const Args &args)
{
    Device device;
    std::size_t offset;
    std::vector<unsigned char> bytes;
    if (args.size() != 3 || !parse_device(args[0], &device))
        return bad_arguments("usage: promsim poke system|blade|kestrel OFFSET HEXBYTES");
    std::size_t size = promsim::device_size(device);
    if (!parse_size(args[1], size - 1, &offset) || !parse_hex_bytes(args[2], &bytes) ||
        !promsim::range_within(offset, bytes.size(), size))
        return bad_arguments("poke needs an offset and hex bytes within the device");
    int rc = promsim::commit_image(device, [&](promsim::Image &image) {
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<long>(offset));
        return 0;
    });
    return rc == 0 ? 0 : device_failure("poke " + args[0]);
}

int cmd_absent(const Args &args)
{
    return set_presence(args, false);
}

int cmd_present(const Args &args)
{
    return set_presence(args, true);
}

}  // namespace promsim_tool
