// What the three emulated platform libraries share: where the emulated
// hardware lives, atomic commits of device images, the PROMSIM_FAIL fault
// hooks and the PROMSIM_TRACE call trace. Built as libi2cApi.so (the bus
// layer the switch's own VPD client also links); CRC-32 is in libcrcApi.so.
#ifndef PROMSIM_SIM_SUPPORT_H
#define PROMSIM_SIM_SUPPORT_H

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace promsim {

enum class Device { system, blade, kestrel };

constexpr std::size_t kSystemPromSize = 8192;
constexpr std::size_t kBladeVpdSize = 65536;
constexpr std::size_t kKestrelPromSize = 2048;

using Image = std::vector<unsigned char>;

// "system", "blade" or "kestrel".
const char *device_name(Device device);
std::size_t device_size(Device device);

// PROMSIM_DIR, else $XDG_STATE_HOME/promcfg/sim, else
// $HOME/.local/state/promcfg/sim, else the same under the home folder of the
// user's password entry; empty variables count as unset, and so does a home
// of "/". Created on first use with blank devices; first use also removes
// temporary files of killed runs. With no folder to be had the process ends
// with status 2 and one line on standard error (checked when the library
// loads, too).
std::string sim_dir();

// The choice behind sim_dir(), as a pure function of the variables (null
// when unset) and of the password entry's home folder, which is asked for
// only when needed (null: no entry). False when there is no folder: never
// one at the root of the file system.
bool choose_sim_dir(const char *promsim_dir, const char *xdg_state_home, const char *home,
                    const char *(*passwd_home)(), std::string *dir);

// The device's image file in the folder: "system.prom", "blade.prom" or
// "kestrel.prom".
std::string device_path(Device device);

// A device is absent while its marker file ("kestrel.absent", ...) exists in
// the folder. read_image() and commit_image() work on an absent device's file
// all the same; each emulated library decides how its calls fail.
bool device_present(Device device);
int set_device_present(Device device, bool present);

// The device's file as it is. A missing file is blank: `bytes` gets
// device_size() bytes of 0xff. A file of any other size than the device's
// (zero-length included) is damaged: *damage gets the reason ("file of 100
// bytes, not 8192", else it is left empty) and `bytes` the file's first
// bytes, device_size() at most. Returns 0, or -1 with errno set.
int read_device_file(Device device, Image &bytes, std::string *damage);

// The device's current image, device_size() bytes (all 0xff when blank).
// Returns 0, or -1 with errno set: EBADMSG for a damaged file.
int read_image(Device device, Image &image);

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

// Ends the process with status 2 after one line on standard error: the
// test hooks or the folder cannot be used, so nothing may happen.
[[noreturn]] void stop_on_bad_setup(const std::string &message);

// One PROMSIM_FAIL rule, NAME[#N]=RC[/ERRNO]; nth 0 matches every call,
// else N is 1 to 4294967295.
struct FailRule {
    std::string name;
    unsigned long nth = 0;
    int rc = 0;
    int error = EIO;
};

// Parses a comma-separated PROMSIM_FAIL value (blanks around a rule are
// allowed, an empty value holds no rules). On a malformed rule returns false
// with the offending rule in *bad.
bool parse_fail_rules(const std::string &text, std::vector<FailRule> &rules, std::string *bad);

// Parses a PROMSIM_ASIC_MACS value: decimal digits only, up to 2^32 - 1.
// Both parsers read their numbers with parse_number().
bool parse_asic_mac_count(const std::string &text, unsigned int *count);

// How the blade VPD and Kestrel libraries fail: the negative errno value,
// with errno set to match.
inline int fail_errno(int negative_errno)
{
    errno = -negative_errno;
    return negative_errno;
}

// The same for a failure that a support call left in errno.
inline int fail_from_errno()
{
    return fail_errno(errno > 0 ? -errno : -EIO);
}

// The image of a device that must be plugged in: 0, -ENODEV when it is
// absent, or the read's own failure (errno set either way).
int read_present_image(Device device, Image &image);

// Copies `length` bytes from `offset` of a plugged-in device: 0, -EINVAL for
// a range outside the device (negatives included), or a failure of
// read_present_image.
int read_present_range(Device device, long long offset, long long length, unsigned char *buffer);

// Counts this call of `name` and, when a PROMSIM_FAIL rule matches it, sets
// errno and returns true with the rule's result in *rc. The first matching
// rule in the variable's order wins. Both variables are checked when the
// library loads: a malformed value ends the process with status 2.
bool injected_failure(const char *name, int *rc);

// PROMSIM_ASIC_MACS: true with the count when the variable is set.
bool asic_mac_override(unsigned int *count);

// PROMSIM_TRACE: appends "NAME(ARGS) = RC" to the trace file, if any.
void trace_call(const char *name, const std::string &args, int rc);
std::string trace_hex(const void *bytes, std::size_t length);  // "0a1b"
// Texts are quoted as given; only control bytes are written as \xNN so
// that a trace line stays one line.
std::string trace_text(const char *text);                      // "\"abc\""
// At most `length` bytes, ending early at a NUL.
std::string trace_text(const char *text, std::size_t length);
std::string trace_args(std::initializer_list<std::string> args);  // ", "

// The shape of every emulated call: a fault hook first, then the body, then
// one trace line; errno survives the tracing.
template <typename Body>
int emulated_call(const char *name, const std::string &args, Body body)
{
    int rc;
    if (!injected_failure(name, &rc))
        rc = body();
    int saved_errno = errno;
    trace_call(name, args, rc);
    errno = saved_errno;
    return rc;
}

}  // namespace promsim

#endif
