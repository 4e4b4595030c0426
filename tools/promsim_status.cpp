// promsim status: the folder in use, what each device holds, and the
// product ID of the system PROM, one line each:
//   folder DIR
//   DEVICE present|absent blank|cleared|data|damaged [(DETAIL)]
//   product-id VALUE|none|unknown
#include "promsim_commands.h"

#include "device_image.h"
#include "device_presence.h"
#include "sim_dir.h"
#include "tlv_ids.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace promsim_tool {

using promsim::Device;
using promsim::kAllDevices;

ImageState image_state(Device device, const promsim::Image &bytes, const std::string &damage)
{
    ImageState state;
    if (!damage.empty()) {
        state.word = "damaged";
        state.detail = damage;
    } else if (std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0xff; })) {
        state.word = "blank";
    } else if (device != Device::system &&
               std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; })) {
        state.word = "cleared";  // what clearing the blade VPD (promcfg -q) leaves
        state.detail = "all bytes 0x00";
    } else if (device != Device::system) {
        state.word = "data";  // the blade and Kestrel layouts are their libraries' business
    } else if (promsim::parse_store(bytes, state.records, &state.detail) ==
               promsim::StoreState::damaged) {
        state.word = "damaged";
    } else {
        state.word = "data";
        std::size_t n = state.records.size();
        state.detail = std::to_string(n) + (n == 1 ? " record" : " records");
    }
    return state;
}

std::string state_text(const ImageState &state)
{
    return state.detail.empty() ? state.word : state.word + " (" + state.detail + ")";
}

// Exit status 0 whatever the devices hold; 1 when a device file could not
// be read (its line says why).
int cmd_status(const Args &args)
{
    if (!args.empty())
        return bad_arguments("usage: promsim status");
    std::printf("folder %s\n", promsim::sim_dir().c_str());
    int status = 0;
    std::string product_id = "unknown";
    for (Device device : kAllDevices) {
        promsim::Image bytes;
        std::string damage, text;
        ImageState state;
        if (promsim::read_device_file(device, bytes, &damage) != 0) {
            text = std::string("unreadable (") + std::strerror(errno) + ")";
            status = 1;
        } else {
            state = image_state(device, bytes, damage);
            text = state_text(state);
        }
        std::printf("%s %s %s\n", promsim::device_name(device),
                    promsim::device_present(device) ? "present" : "absent", text.c_str());
        if (device == Device::system && (state.word == "blank" || state.word == "data")) {
            auto record = state.records.find(promsim::kTlvProductId);
            product_id = record == state.records.end()
                             ? "none"
                             : record_text(promsim::kTlvProductId, record->second);
        }
    }
    std::printf("product-id %s\n", product_id.c_str());
    return status;
}

}  // namespace promsim_tool
