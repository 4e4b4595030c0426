// The emulated switch PROM service driven in-process through its C calls,
// on a fresh emulated-hardware folder per test: staging, commits, errno
// conventions, damaged images and the call trace.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "sim_support.h"
#include "swServerApi.h"
#include "system_prom.h"
#include "tlv_ids.h"

namespace {

using promsim::Device;
using promsim::Image;

// errno of a failed call, 0 after a success.
int failed_with(int rc)
{
    return rc < 0 ? errno : 0;
}

class SwServEmulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mkdtemp(dir_));
        setenv("PROMSIM_DIR", dir_, 1);
        trace_ = std::string(dir_) + "/trace";
        setenv("PROMSIM_TRACE", trace_.c_str(), 1);
        // Staged writes are process-wide; start every test from a clean store.
        ASSERT_EQ(swServInitialize(0), 0);
        trace_lines();
    }
    void TearDown() override
    {
        unsetenv("PROMSIM_TRACE");
        EXPECT_EQ(system(("rm -rf " + std::string(dir_)).c_str()), 0);
    }
    static Image image()
    {
        Image bytes;
        EXPECT_EQ(promsim::read_image(Device::system, bytes), 0);
        return bytes;
    }
    // The trace lines since the last call.
    std::vector<std::string> trace_lines()
    {
        std::ifstream in(trace_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        std::remove(trace_.c_str());
        return lines;
    }
    static bool committed(uint16_t id)
    {
        promsim::Records records;
        return promsim::load_records(records) == 0 && records.count(id) == 1;
    }

    char dir_[32] = "/tmp/swservXXXXXX";
    std::string trace_;
};

TEST_F(SwServEmulator, SetsAreStagedUntilFlushButReadBackAtOnce)
{
    unsigned char mac[6] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, back[6] = {};
    ASSERT_EQ(swServSetMAC_bus(mac, 1, 0), 0);
    Image before = image();
    EXPECT_FALSE(committed(promsim::kTlvMac1));
    ASSERT_EQ(swServGetMAC(back, 1), 0);
    EXPECT_EQ(0, std::memcmp(back, mac, 6));

    ASSERT_EQ(swServFlush(), 0);
    EXPECT_NE(image(), before);
    EXPECT_TRUE(committed(promsim::kTlvMac1));
    EXPECT_EQ(trace_lines(), (std::vector<std::string>{"swServSetMAC_bus(0a1b2c3d4e5f, 1, 0) = 0",
                                                       "swServGetMAC(&, 1) = 0",
                                                       "swServFlush() = 0"}));
}

TEST_F(SwServEmulator, IntegersAreStoredBigEndianAndTracedByValue)
{
    int product = 59, read = 0;
    unsigned int count = 3;
    ASSERT_EQ(swServSetProductID(&product), 0);
    ASSERT_EQ(swServSetSubAssyCount(&count), 0);
    ASSERT_EQ(swServFlush(), 0);
    promsim::Records records;
    ASSERT_EQ(promsim::load_records(records), 0);
    EXPECT_EQ(records[promsim::kTlvProductId], (promsim::Bytes{0, 0, 0, 59}));
    ASSERT_EQ(swServGetProductID(&read), 0);
    EXPECT_EQ(read, 59);
    EXPECT_EQ(trace_lines(),
              (std::vector<std::string>{"swServSetProductID(59) = 0", "swServSetSubAssyCount(3) = 0",
                                        "swServFlush() = 0", "swServGetProductID(&) = 0"}));
}

TEST_F(SwServEmulator, TextsKeepTheirBytesAndComeBackTerminatedInsideTheBuffer)
{
    char sn[] = "ABCDEFGH";
    ASSERT_EQ(swServSetChassisSN_bus(sn, 9, 0), 0);
    struct Case {
        int size;
        int rc;
        const char *text;
    } cases[] = {{32, 8, "ABCDEFGH"}, {9, 8, "ABCDEFGH"}, {8, 7, "ABCDEFG"}, {1, 0, ""}};
    for (const Case &c : cases) {
        char buffer[40];
        std::memset(buffer, 'z', sizeof buffer);
        EXPECT_EQ(swServGetChassisSN(buffer, c.size), c.rc) << c.size;
        EXPECT_STREQ(buffer, c.text) << c.size;
        EXPECT_EQ(buffer[c.size], 'z') << "wrote past the buffer, size " << c.size;
    }
    char buffer[24];
    EXPECT_EQ(swServGetChassisSN_bus(buffer, 24, 0), 0);  // only the plain call counts

    // A stored NUL ends the text on reading.
    char code[] = {'P', '\0', 'Q', '\0'};
    ASSERT_EQ(swServSetProductCode(code, 4), 0);
    EXPECT_EQ(swServGetProductCode(buffer, 24), 0);
    EXPECT_STREQ(buffer, "P");
}

TEST_F(SwServEmulator, BadArgumentsFailWithTheirErrno)
{
    unsigned char mac[8] = {};
    char text[] = "X", buffer[24];
    unsigned int count;
    struct Case {
        const char *what;
        std::function<int()> call;
        int error;
    } cases[] = {
        {"bus 1", [&] { return swServGetWWN_bus(mac, 1); }, ENODEV},
        {"set on bus 2", [&] { return swServSetCLEI_bus(text, 2, 2); }, ENODEV},
        {"MAC index 2", [&] { return swServGetMAC(mac, 2); }, EINVAL},
        {"MAC index -1", [&] { return swServSetMAC_bus(mac, -1, 0); }, EINVAL},
        {"subassembly 8", [&] { return swServSetSubAssy(8, text, 2); }, EINVAL},
        {"ASIC MAC 48", [&] { return swServGetAsicMAC(mac, 48); }, EINVAL},
        {"length 0", [&] { return swServSetBoardSN(text, 0); }, EINVAL},
        {"text of 256", [&] { return swServSetBoardSN(text, 257); }, EINVAL},
        {"size 0", [&] { return swServGetCLEI(buffer, 0); }, EINVAL},
        {"no record", [&] { return swServGetCLEI(buffer, 24); }, ENOENT},
        {"unknown product", [&] { return swServGetNumAsicMACsByProductID(0, &count); }, EINVAL},
        {"no product ID", [&] { return swServGetNumAsicMACs(&count); }, ENOENT},
    };
    for (const Case &c : cases) {
        errno = 0;
        EXPECT_EQ(c.call(), -1) << c.what;
        EXPECT_EQ(errno, c.error) << c.what;
    }
}

TEST_F(SwServEmulator, AsicMacCountsComeFromTheProductTable)
{
    struct Case {
        int product;
        unsigned int count;
    } cases[] = {{15, 2}, {46, 48}, {59, 2}, {34, 0}, {38, 2}};
    for (const Case &c : cases) {
        unsigned int count = 999;
        EXPECT_EQ(swServGetNumAsicMACsByProductID(c.product, &count), 0) << c.product;
        EXPECT_EQ(count, c.count) << c.product;
    }
    int product = 46;
    unsigned int count = 0;
    ASSERT_EQ(swServSetProductID(&product), 0);
    EXPECT_EQ(swServGetNumAsicMACs(&count), 0);  // the staged product ID counts
    EXPECT_EQ(count, 48u);
}

TEST_F(SwServEmulator, DeleteCommitsAtOnceAndRefusesMissingRecords)
{
    char clei[] = "CLEI";
    ASSERT_EQ(swServSetCLEI_bus(clei, 5, 0), 0);
    ASSERT_EQ(swServFlush(), 0);
    char sn[] = "x";
    ASSERT_EQ(swServSetBoardSN(sn, 2), 0);  // staged only

    EXPECT_EQ(swServDeleteTLV(promsim::kTlvClei), 0);
    EXPECT_FALSE(committed(promsim::kTlvClei));
    EXPECT_EQ(swServDeleteTLV(promsim::kTlvBoardSn), 0);  // drops the staged write
    ASSERT_EQ(swServFlush(), 0);
    EXPECT_FALSE(committed(promsim::kTlvBoardSn));

    errno = 0;
    EXPECT_EQ(swServDeleteTLV(promsim::kTlvClei), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(trace_lines().back(), "swServDeleteTLV(353) = -1");
}

TEST_F(SwServEmulator, DamagedImageFailsEveryCallUntilInitialized)
{
    char text[] = "SN";
    ASSERT_EQ(swServSetBoardSN(text, 3), 0);
    ASSERT_EQ(swServFlush(), 0);
    ASSERT_EQ(promsim::commit_image(Device::system, [](Image &im) {
        im[20] ^= 0x40;
        return 0;
    }), 0);
    Image damaged = image();

    char buffer[24];
    int product = 15;
    unsigned int count;
    EXPECT_EQ(failed_with(swServGetBoardSN(buffer, 24)), EBADMSG);
    EXPECT_EQ(failed_with(swServGetNumAsicMACs(&count)), EBADMSG);
    EXPECT_EQ(failed_with(swServSetProductID(&product)), EBADMSG);
    EXPECT_EQ(failed_with(swServDeleteTLV(promsim::kTlvBoardSn)), EBADMSG);
    EXPECT_EQ(swServFlush(), 0);  // nothing was staged
    EXPECT_EQ(image(), damaged);

    ASSERT_EQ(swServInitializeRaw(0), 0);
    promsim::Records records;
    EXPECT_EQ(promsim::load_records(records), 0);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(failed_with(swServGetBoardSN(buffer, 24)), ENOENT);
}

TEST_F(SwServEmulator, FullStoreRefusesTheWriteThatWouldNotFit)
{
    std::vector<char> text(256, 'x');
    text.back() = '\0';
    int written = 0;
    for (int i = 0; i < promsim::kSubAssySlots; ++i)
        written += swServSetSubAssy(i, text.data(), 256) == 0;
    for (int id : {0x140, 0x141, 0x160, 0x161})
        written += promsim::stage_record(static_cast<uint16_t>(id), promsim::Bytes(255, 'y')) == 0;
    ASSERT_EQ(written, 12);
    ASSERT_EQ(swServFlush(), 0);
    // 12 texts of 255 bytes take 3 KiB; fill the rest with ASIC MACs and more.
    int refused = 0;
    for (int i = 0; i < 3000 && !refused; ++i) {
        if (promsim::stage_record(static_cast<uint16_t>(0x1000 + i), promsim::Bytes(255, 'z')) != 0)
            refused = errno;
    }
    EXPECT_EQ(refused, ENOSPC);
    EXPECT_EQ(swServFlush(), 0);  // what was accepted still fits
}

}  // namespace
