// The bytes an operator's answer may hold. promcfg's prompts refuse any
// other, and promcfg-apply checks an identity file by the same rule.
#ifndef PROMCFG_DRIVER_GROUND_ANSWER_BYTES_H
#define PROMCFG_DRIVER_GROUND_ANSWER_BYTES_H

// A byte an answer may hold: 0x20 to 0x7e.
constexpr bool is_printable_byte(unsigned char byte)
{
    return byte >= 0x20 && byte <= 0x7e;
}

#endif
