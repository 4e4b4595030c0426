// Kestrel blade VPD (libkestrelApi.so).
//
// kestrel_open returns a positive handle on success (0 or less on failure);
// every other call takes that handle first and returns a negative code on
// failure. The text calls are not told the buffer size: callers give 64
// bytes, and the library writes at most that, terminator included.
#ifndef KESTRELAPI_H
#define KESTRELAPI_H

#ifdef __cplusplus
extern "C" {
#endif

// The record that kestrel_initialize_vpd writes to the blade, 142 bytes.
typedef struct kestrel_vpd_data {
    unsigned char mac[6];   /* first Ethernet MAC */
    char chassis_sn[32];    /* terminated, at most 31 characters */
    char hw_rev[8];         /* terminated, at most 3 characters */
    char product_name[64];  /* terminated, at most 30 characters */
    char service_tag[32];   /* terminated, at most 7 characters */
} kestrel_vpd_data;

int kestrel_open(void);
int kestrel_read(int handle, int offset, unsigned char *buffer, int length);
int kestrel_get_service_tag(int handle, char *buffer);
int kestrel_get_eppid(int handle, char *buffer);
int kestrel_initialize_vpd(int handle, kestrel_vpd_data *record);

#ifdef __cplusplus
}
#endif

#endif
