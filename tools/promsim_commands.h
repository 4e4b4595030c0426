// The promsim subcommands. Each takes the words after its name and returns
// the exit status: 0 done, 1 the device refused (damaged image, missing
// record, I/O error; a line on standard error says why), 2 bad arguments.
#ifndef PROMCFG_TOOLS_PROMSIM_COMMANDS_H
#define PROMCFG_TOOLS_PROMSIM_COMMANDS_H

#include "device.h"
#include "tlv_store.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace promsim_tool {

using Args = std::vector<std::string>;

int cmd_reset(const Args &args);
int cmd_set(const Args &args);
int cmd_unset(const Args &args);
int cmd_get(const Args &args);
int cmd_list(const Args &args);
int cmd_tlvs(const Args &args);
int cmd_dump(const Args &args);
int cmd_poke(const Args &args);
int cmd_absent(const Args &args);
int cmd_present(const Args &args);
int cmd_save(const Args &args);
int cmd_load(const Args &args);
int cmd_status(const Args &args);
int cmd_version(const Args &args);

// "promsim: MESSAGE" on standard error; return status 2 / 1.
int bad_arguments(const std::string &message);
int device_failure(const std::string &what);  // appends strerror(errno)

// What a device's bytes hold: `bytes` are its file's first bytes (the whole
// image unless `damage`, the wrong size's reason, is set). `word` is
// "blank", "cleared" (a blade VPD or Kestrel PROM of 0x00 bytes only),
// "data" or "damaged"; `detail` the record count of a system PROM store or
// the damage's reason; `records` a system PROM's records.
struct ImageState {
    std::string word;
    std::string detail;
    promsim::Records records;
};
ImageState image_state(promsim::Device device, const promsim::Image &bytes,
                       const std::string &damage);
// "WORD" or "WORD (DETAIL)", as status prints it.
std::string state_text(const ImageState &state);

// A system PROM record's value as list and tlvs print it.
std::string record_text(uint16_t id, const promsim::Image &data);

// Shared argument parsing; each returns false on a malformed word.
bool parse_device(const std::string &word, promsim::Device *device);
// "0x..." hexadecimal, else decimal; no sign; at most `max` (which a
// long long holds).
bool parse_size(const std::string &word, std::size_t max, std::size_t *value);
// Pairs of hexadecimal digits, ':' between bytes allowed.
bool parse_hex_bytes(const std::string &word, std::vector<unsigned char> *bytes);

}  // namespace promsim_tool

#endif
