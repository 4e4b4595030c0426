// The 64 KiB blade VPD dump against the same rows written with one printf
// per byte. Standard output goes to /dev/null so the formatting is measured,
// not the terminal.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "driver/ground/byte_row_dump.h"

namespace {

std::vector<unsigned char> sample_image()
{
    std::vector<unsigned char> image(0x10000);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
    return image;
}

void printf_per_byte(const unsigned char *bytes, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        if (k % 8 == 0)
            printf("\n%4.4x-%4.4x:", static_cast<unsigned>(k), static_cast<unsigned>(k + 7));
        printf("\t%2.2x", bytes[k]);
        if (bytes[k] >= 0x20 && bytes[k] <= 0x7e)
            printf(" %c", bytes[k]);
    }
}

void BM_ByteRowDump64K(benchmark::State &state)
{
    auto image = sample_image();
    for (auto _ : state)
        byte_row_dump(image.data(), image.size(), 0);
    fflush(stdout);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_ByteRowDump64K);

void BM_PrintfPerByte64K(benchmark::State &state)
{
    auto image = sample_image();
    for (auto _ : state)
        printf_per_byte(image.data(), image.size());
    fflush(stdout);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_PrintfPerByte64K);

}  // namespace

int main(int argc, char **argv)
{
    // The dumps go to /dev/null; the results to standard error.
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
