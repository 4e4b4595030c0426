#include "device_presence.h"

#include "checked_number.h"
#include "device_image.h"
#include "errno_result.h"
#include "sim_dir.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace promsim {
namespace {

std::string absent_marker(Device device)
{
    return sim_dir() + "/" + device_name(device) + ".absent";
}

}  // namespace

bool device_present(Device device)
{
    return access(absent_marker(device).c_str(), F_OK) != 0;
}

int set_device_present(Device device, bool present)
{
    std::string marker = absent_marker(device);
    if (present)
        return unlink(marker.c_str()) == 0 || errno == ENOENT ? 0 : -1;
    int fd = open(marker.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    close(fd);
    return 0;
}

int read_present_image(Device device, Image &image)
{
    if (!device_present(device))
        return fail_errno(-ENODEV);
    if (read_image(device, image) < 0)
        return fail_from_errno();
    return 0;
}

int read_present_range(Device device, long long offset, long long length, unsigned char *buffer)
{
    if (!call_range_within(offset, length, device_size(device)) || (length > 0 && !buffer))
        return fail_errno(-EINVAL);
    if (!device_present(device))
        return fail_errno(-ENODEV);
    if (read_device_range(device, static_cast<std::size_t>(offset),
                          static_cast<std::size_t>(length), buffer) != 0)
        return fail_from_errno();
    return 0;
}

}  // namespace promsim
