// The shared dump format against printf, the definition it must equal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "driver/ground/byte_row_dump.h"
#include "dumped.h"

namespace {

// What the dump prints, formatted one printf piece at a time.
std::string reference(const std::vector<unsigned char> &bytes, uint32_t address, uint32_t last_label,
                      const std::vector<DumpSection> &sections = {})
{
    std::string out;
    char piece[32];
    std::size_t next_section = 0;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        while (next_section < sections.size() && sections[next_section].index == k)
            out += sections[next_section++].header;
        if (k % 8 == 0) {
            uint32_t first = address + static_cast<uint32_t>(k);
            uint32_t last = first + 7;
            snprintf(piece, sizeof piece, "\n%4.4x-%4.4x:", first, last < last_label ? last : last_label);
            out += piece;
        }
        snprintf(piece, sizeof piece, "\t%2.2x", bytes[k]);
        out += piece;
        if (bytes[k] >= 0x20 && bytes[k] <= 0x7e)
            out += std::string(" ") + static_cast<char>(bytes[k]);
    }
    return out;
}

// Runs the dump with standard output sent to a temporary file.
std::string dumped(const std::vector<unsigned char> &bytes, uint32_t address, uint32_t last_label,
                   const std::vector<DumpSection> &sections = {})
{
    return dumped(bytes.data(), bytes.size(), address, last_label, sections.data(), sections.size());
}

TEST(ByteRowDump, EqualsPrintfForEveryAddressWidthAndWrapAround)
{
    struct Case {
        uint32_t address;
        std::size_t count;
        uint32_t last_label;
    };
    // Long runs of eight-digit labels fill the writer's buffer to every
    // possible remainder; the last addresses wrap around 2^32.
    const Case cases[] = {
        {0x0000, 65536, UINT32_MAX}, {0xfffa, 6, 0xffff},          {0xfff0, 16, 0xffff},
        {0x10000, 8, UINT32_MAX},    {0xfffe0000, 65536, UINT32_MAX}, {0xfffffff8, 24, UINT32_MAX},
        {0xfffffffc, 13, UINT32_MAX}, {0x7ffffffd, 40000, UINT32_MAX}, {3, 0, UINT32_MAX},
        // Labels clamped, unaligned and crossing 0x10000 among short labels.
        {0x0ff0, 64, 0x1003},         {0x0004, 64, UINT32_MAX},       {0xffe0, 64, UINT32_MAX},
        {0x0000, 64, 0x0000},         {0x0008, 64, 0x0027},         {0x00fc, 16, UINT32_MAX},
        {0x1fffc, 16, UINT32_MAX},
    };
    std::mt19937 random(8);
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.address << " " << std::dec << c.count);
        for (int fill : {0x00, 0xff, -1}) {
            std::vector<unsigned char> bytes(c.count);
            for (unsigned char &b : bytes)
                b = static_cast<unsigned char>(fill >= 0 ? fill : random());
            EXPECT_EQ(dumped(bytes, c.address, c.last_label), reference(bytes, c.address, c.last_label));
        }
    }
    // A run of printable bytes (two characters more each) before the rest
    // shifts where the writer's buffer fills up: every remainder is met.
    for (std::size_t printable = 0; printable < 64; ++printable) {
        std::vector<unsigned char> bytes(8192, 0x00);
        std::fill_n(bytes.begin(), printable, 'A');
        SCOPED_TRACE(printable);
        EXPECT_EQ(dumped(bytes, 0xffff0000, UINT32_MAX), reference(bytes, 0xffff0000, UINT32_MAX));
    }
}

TEST(ByteRowDump, HeadersGoBeforeTheirByteAtRowStartsInsideRowsAndTogether)
{
    // A header whose index the run passed (or never reaches) is not printed,
    // nor is any header after it.
    // A header longer than the writer's buffer goes out on its own.
    const std::string long_header(20000, 'h');
    const std::vector<std::vector<DumpSection>> layouts = {
        {{0, "<0>"}, {8, "<8>"}, {8, "<8b>"}, {13, "<13>"}, {1024, "<1024>"}},
        {{3, "<3>"}, {4, "<4>"}, {61, "<61>"}, {63, "<63>"}},
        {{16, "<16>"}, {9, "<9 passed>"}, {40, "<40 never>"}},
        {{100, "<beyond the run>"}},
        {{45, "<45>"}, {46, long_header.c_str()}},
    };
    std::vector<unsigned char> bytes(64);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 37);
    for (uint32_t address : {0x0000u, 0x0003u, 0xfff0u}) {
        for (const auto &sections : layouts) {
            SCOPED_TRACE(testing::Message() << std::hex << address << " " << sections[0].header);
            EXPECT_EQ(dumped(bytes, address, UINT32_MAX, sections),
                      reference(bytes, address, UINT32_MAX, sections));
        }
    }
}

}  // namespace
