// The blade's management data (MM data) block and its address answers.
#ifndef PROMCFG_BLADEVPD_MGMT_DATA_H
#define PROMCFG_BLADEVPD_MGMT_DATA_H

#include <cstddef>

// The 1024-byte block, read and written whole. Addresses are stored first
// number of the dotted form first; the netmask comes before the gateway.
struct MgmtData {
    static constexpr std::size_t ip_valid_offset = 6;
    static constexpr std::size_t ip_offset = 7;
    static constexpr std::size_t netmask_offset = 11;
    static constexpr std::size_t gateway_offset = 15;

    unsigned char bytes[1024];
};

// The address questions, in the order asked.
constexpr const char *mgmt_ip_prompt = "Enter IP address";
constexpr const char *mgmt_gateway_prompt = "Enter gateway address";
constexpr const char *mgmt_netmask_prompt = "Enter netmask";

// Reads "a.b.c.d" from `line` (anything after the fourth number ignored;
// each number's low 8 bits kept). True with the address, or false with the
// address untouched.
bool parse_dotted_quad(const char *line, unsigned char address[4]);

// Shows "prompt: " and parses one console line as parse_dotted_quad does:
// 0 with the address, -1 when there was none (end of input included).
int read_dotted_quad(const char *prompt, unsigned char address[4]);

#endif
