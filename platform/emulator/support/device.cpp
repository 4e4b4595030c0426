#include "device.h"

namespace promsim {
namespace {

struct DeviceInfo {
    const char *name;
    std::size_t size;
};

// In the order of the Device values.
constexpr DeviceInfo kDevices[] = {
    {"system", kSystemPromSize},
    {"blade", kBladeVpdSize},
    {"kestrel", kKestrelPromSize},
};

const DeviceInfo &info(Device device)
{
    return kDevices[static_cast<int>(device)];
}

}  // namespace

const char *device_name(Device device)
{
    return info(device).name;
}

std::size_t device_size(Device device)
{
    return info(device).size;
}

}  // namespace promsim
