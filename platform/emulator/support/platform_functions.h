// The names of the platform's functions, as PROMSIM_FAIL rules and trace
// lines write them: one list for the three emulated libraries, so that a
// rule naming anything else is refused instead of never firing.
#ifndef PROMSIM_PLATFORM_FUNCTIONS_H
#define PROMSIM_PLATFORM_FUNCTIONS_H

#include <string>

namespace promsim {

constexpr const char *kPlatformFunctions[] = {
    // libswServerApi.so
    "swServDeleteTLV", "swServFlush", "swServGetAsicMAC", "swServGetBoardSN", "swServGetCLEI",
    "swServGetCLEI_bus", "swServGetChassisSN", "swServGetChassisSN_bus", "swServGetMAC",
    "swServGetNumAsicMACs", "swServGetNumAsicMACsByProductID", "swServGetProductCode",
    "swServGetProductID", "swServGetSubAssy", "swServGetSubAssyCount", "swServGetVWWN_bus",
    "swServGetWWN", "swServGetWWN_bus", "swServInitialize", "swServInitializeRaw",
    "swServSetAsicMAC", "swServSetBoardSN", "swServSetCLEI_bus", "swServSetChassisSN_bus",
    "swServSetMAC_bus", "swServSetPortCount", "swServSetProductCode", "swServSetProductID",
    "swServSetProductIDsubtype", "swServSetSubAssy", "swServSetSubAssyCount",
    "swServSetVWWN_bus", "swServSetWWN_bus",
    // libfcsmapi.so: the members of VPD_Client, and its exit handler
    "VPD_Client::VPD_Client", "VPD_Client::~VPD_Client", "VPD_Client::chassis_type",
    "VPD_Client::clear_sprom", "VPD_Client::init_mgmt_data", "VPD_Client::initialize_vpd",
    "VPD_Client::read", "VPD_Client::read_mgmt_data", "VPD_Client::release_bus",
    "VPD_Client::set_chassis_type", "VPD_Client::sprom_size", "VPD_Client::write_mgmt_data",
    // libkestrelApi.so
    "kestrel_get_eppid", "kestrel_get_service_tag", "kestrel_initialize_vpd", "kestrel_open",
    "kestrel_read",
};

inline bool is_platform_function(const std::string &name)
{
    for (const char *known : kPlatformFunctions)
        if (name == known)
            return true;
    return false;
}

}  // namespace promsim

#endif
