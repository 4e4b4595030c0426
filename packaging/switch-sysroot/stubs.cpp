// Stand-ins for the switch's platform libraries, with their names and
// exported symbols and nothing else: a build for the switch links against
// them to prove that the tool needs no more than the switch provides. Every
// call fails; nothing here runs on a switch.
#include "VPD_Client.h"
#include "kestrelApi.h"
#include "swServerApi.h"

#if defined(STUB_SWSERV)
int swServGetProductID(int *) { return -1; }
int swServSetProductID(int *) { return -1; }
int swServSetProductIDsubtype(int *) { return -1; }
int swServInitialize(int) { return -1; }
int swServInitializeRaw(int) { return -1; }
int swServDeleteTLV(unsigned short) { return -1; }
int swServFlush(void) { return -1; }
int swServGetMAC(unsigned char *, int) { return -1; }
int swServSetMAC_bus(unsigned char *, int, int) { return -1; }
int swServGetWWN(unsigned char *) { return -1; }
int swServGetWWN_bus(unsigned char *, int) { return -1; }
int swServGetVWWN_bus(unsigned char *, int) { return -1; }
int swServSetWWN_bus(unsigned char *, int) { return -1; }
int swServSetVWWN_bus(unsigned char *, int) { return -1; }
int swServGetProductCode(char *, int) { return -1; }
int swServSetProductCode(char *, int) { return -1; }
int swServGetBoardSN(char *, int) { return -1; }
int swServSetBoardSN(char *, int) { return -1; }
int swServGetSubAssyCount(unsigned int *) { return -1; }
int swServSetSubAssyCount(unsigned int *) { return -1; }
int swServGetSubAssy(int, char *, int) { return -1; }
int swServSetSubAssy(int, char *, int) { return -1; }
int swServGetNumAsicMACs(unsigned int *) { return -1; }
int swServGetNumAsicMACsByProductID(int, unsigned int *) { return -1; }
int swServGetAsicMAC(unsigned char *, int) { return -1; }
int swServSetAsicMAC(unsigned char *, int) { return -1; }
int swServSetPortCount(int *) { return -1; }
int swServGetChassisSN(char *, int) { return -1; }
int swServGetChassisSN_bus(char *, int, int) { return -1; }
int swServSetChassisSN_bus(char *, int, int) { return -1; }
int swServGetCLEI(char *, int) { return -1; }
int swServGetCLEI_bus(char *, int, int) { return -1; }
int swServSetCLEI_bus(char *, int, int) { return -1; }
#elif defined(STUB_FCSM)
VPD_Client::VPD_Client() {}
VPD_Client::~VPD_Client() {}
int VPD_Client::initialize_vpd(init_vpd_data *) { return -1; }
int VPD_Client::read(unsigned short, int, unsigned char *) { return -1; }
int VPD_Client::chassis_type() { return -1; }
int VPD_Client::set_chassis_type(unsigned char) { return -1; }
int VPD_Client::read_mgmt_data(int, int, unsigned char *) { return -1; }
int VPD_Client::write_mgmt_data(int, int, unsigned char *) { return -1; }
int VPD_Client::init_mgmt_data() { return -1; }
int VPD_Client::sprom_size(unsigned int) { return -1; }
int VPD_Client::clear_sprom(unsigned int) { return -1; }
#elif defined(STUB_KESTREL)
int kestrel_open(void) { return -1; }
int kestrel_read(int, int, unsigned char *, int) { return -1; }
int kestrel_get_service_tag(int, char *) { return -1; }
int kestrel_get_eppid(int, char *) { return -1; }
int kestrel_initialize_vpd(int, kestrel_vpd_data *) { return -1; }
#endif
