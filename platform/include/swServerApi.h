// Switch system PROM service (libswServerApi.so).
//
// Every call returns a signed 32-bit code: negative on failure with the cause
// in errno, zero or more on success. Texts are read as (buffer, buffer size)
// and come back terminated inside the buffer; they are written as
// (text, length + 1). MACs are 6 bytes and WWNs 8 bytes. Functions ending in
// _bus, and the two initializations, take a bus number last (always 0 here).
#ifndef SWSERVERAPI_H
#define SWSERVERAPI_H

#ifdef __cplusplus
extern "C" {
#endif

int swServGetProductID(int *product_id);
int swServSetProductID(int *product_id);
int swServSetProductIDsubtype(int *subtype);

int swServInitialize(int bus);
int swServInitializeRaw(int bus);
int swServDeleteTLV(unsigned short tlv_id);
int swServFlush(void);

int swServGetMAC(unsigned char *mac, int index);
int swServSetMAC_bus(unsigned char *mac, int index, int bus);
int swServGetWWN(unsigned char *wwn);
int swServGetWWN_bus(unsigned char *wwn, int bus);
int swServGetVWWN_bus(unsigned char *wwn, int bus);
int swServSetWWN_bus(unsigned char *wwn, int bus);
int swServSetVWWN_bus(unsigned char *wwn, int bus);

int swServGetProductCode(char *buffer, int size);
int swServSetProductCode(char *text, int length);
int swServGetBoardSN(char *buffer, int size);
int swServSetBoardSN(char *text, int length);

int swServGetSubAssyCount(unsigned int *count);
int swServSetSubAssyCount(unsigned int *count);
int swServGetSubAssy(int index, char *buffer, int size);
int swServSetSubAssy(int index, char *text, int length);

int swServGetNumAsicMACs(unsigned int *count);
int swServGetNumAsicMACsByProductID(int product_id, unsigned int *count);
int swServGetAsicMAC(unsigned char *mac, int index);
int swServSetAsicMAC(unsigned char *mac, int index);

int swServSetPortCount(int *port_count);

// On success returns the number of bytes stored, less than `size`.
int swServGetChassisSN(char *buffer, int size);
int swServGetChassisSN_bus(char *buffer, int size, int bus);
int swServSetChassisSN_bus(char *text, int length, int bus);
int swServGetCLEI(char *buffer, int size);
int swServGetCLEI_bus(char *buffer, int size, int bus);
int swServSetCLEI_bus(char *text, int length, int bus);

#ifdef __cplusplus
}
#endif

#endif
