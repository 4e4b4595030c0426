// The three emulated devices: their names and sizes, and the image type
// that holds their bytes.
#ifndef PROMSIM_DEVICE_H
#define PROMSIM_DEVICE_H

#include <cstddef>
#include <vector>

namespace promsim {

enum class Device { system, blade, kestrel };
constexpr Device kAllDevices[] = {Device::system, Device::blade, Device::kestrel};

constexpr std::size_t kSystemPromSize = 8192;
constexpr std::size_t kBladeVpdSize = 65536;
constexpr std::size_t kKestrelPromSize = 2048;

using Image = std::vector<unsigned char>;

// "system", "blade" or "kestrel".
const char *device_name(Device device);
std::size_t device_size(Device device);

}  // namespace promsim

#endif
