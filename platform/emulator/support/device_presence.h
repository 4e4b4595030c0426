// Removable devices: whether the blade VPD or Kestrel PROM is plugged in,
// and the reads of a device that must be.
#ifndef PROMSIM_DEVICE_PRESENCE_H
#define PROMSIM_DEVICE_PRESENCE_H

#include "device.h"

namespace promsim {

// A device is absent while its marker file ("kestrel.absent", ...) exists in
// the folder. read_image() and commit_image() work on an absent device's file
// all the same; each emulated library decides how its calls fail.
bool device_present(Device device);
int set_device_present(Device device, bool present);

// The image of a device that must be plugged in: 0, -ENODEV when it is
// absent, or the read's own failure (errno set either way).
int read_present_image(Device device, Image &image);

// Copies `length` bytes from `offset` of a plugged-in device, reading only
// those: 0, -EINVAL for a range outside the device (negatives included), or
// what read_present_image would fail with.
int read_present_range(Device device, long long offset, long long length, unsigned char *buffer);

}  // namespace promsim

#endif
