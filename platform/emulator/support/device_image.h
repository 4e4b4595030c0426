// Device images on disk: whole-image reads, and commits that are atomic
// and serialised between processes.
#ifndef PROMSIM_DEVICE_IMAGE_H
#define PROMSIM_DEVICE_IMAGE_H

#include "device.h"

#include <functional>
#include <string>

namespace promsim {

// The device's file as it is. A missing file is blank: `bytes` gets
// device_size() bytes of 0xff. A file of any other size than the device's
// (zero-length included) is damaged: *damage gets the reason ("file of 100
// bytes, not 8192", else it is left empty) and `bytes` the file's first
// bytes, device_size() at most. Anything but a regular file (a FIFO, a
// device, a symlink) is damaged too, with no bytes ("fifo, not a regular
// file"). Returns 0, or -1 with errno set.
int read_device_file(Device device, Image &bytes, std::string *damage);

// The device's current image, device_size() bytes (all 0xff when blank).
// Returns 0, or -1 with errno set: EBADMSG for a damaged file.
int read_image(Device device, Image &image);

// `length` bytes of the device's current image from `offset` (a range
// within the device), read from the file alone: what read_image() and a
// copy give, without reading the rest. Returns 0, or -1 with errno set:
// EBADMSG for a damaged file.
int read_device_range(Device device, std::size_t offset, std::size_t length,
                      unsigned char *buffer);

// What a commit does with a damaged device file: fail (EBADMSG, the file
// stays as it is), or start the change from an erased image because the
// change rewrites the device as a whole.
enum class DamagedImage { refuse, start_erased };

// Read-modify-write under an exclusive lock on the device: `change` gets the
// current image and returns 0 to commit it or a negative code (errno set)
// to leave the device as it was. The commit writes a temporary file in the
// same folder, flushes it and renames it over the old image, so a process
// killed at any instant leaves the old or the new image. Returns 0 or the
// negative code (errno set).
int commit_image(Device device, const std::function<int(Image &)> &change,
                 DamagedImage on_damaged = DamagedImage::refuse);

// The whole rewrite: puts `image` (device_size() bytes, else EINVAL) in
// place of whatever the device holds, damaged or not, as one commit. What
// repairs a damaged device.
int replace_image(Device device, const Image &image);

}  // namespace promsim

#endif
