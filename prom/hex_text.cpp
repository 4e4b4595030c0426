#include "prom/hex_text.h"

#include <cstdint>
#include <cstdlib>

#include "driver/ground/console_input.h"

void hex_text_to_bytes(const char *text, unsigned char *bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const char pair[3] = {text[2 * i], text[2 * i + 1], '\0'};
        bytes[i] = static_cast<unsigned char>(strtol(pair, nullptr, 16) & 0xff);
    }
}

bool ask_hex_value(const char *prompt, unsigned char *bytes, std::size_t count)
{
    char answer[2 * 8 + 1];
    const int32_t digits = static_cast<int32_t>(2 * count);
    if (count > 8)
        return false;
    for (;;) {
        int32_t length = prompt_input(prompt, answer, digits + 1);
        if (length == 0)
            return false;
        if (length == digits) {
            hex_text_to_bytes(answer, bytes, count);
            return true;
        }
    }
}
