// The emulated blade VPD driven in-process through VPD_Client, on a fresh
// emulated-hardware folder per test; the image file is checked directly.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "VPD_Client.h"
#include "crc32.h"
#include "sim_support.h"

static_assert(sizeof(VPD_Client) <= VPD_CLIENT_STORAGE, "the tool allots 1100 bytes");

namespace {

using promsim::Device;
using promsim::Image;
using Bytes = std::vector<unsigned char>;

class BladeVpdEmulator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mkdtemp(dir_)); setenv("PROMSIM_DIR", dir_, 1); }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + std::string(dir_)).c_str()), 0); }
    static Image image()
    {
        Image bytes;
        EXPECT_EQ(promsim::read_image(Device::blade, bytes), 0);
        return bytes;
    }
    static Bytes range(const Image &image, std::size_t at, std::size_t n)
    {
        return Bytes(image.begin() + at, image.begin() + at + n);
    }

    char dir_[32] = "/tmp/bladevpdXXXXXX";
    VPD_Client vpd_;
    init_vpd_data record_ = [] {
        init_vpd_data r;
        for (std::size_t i = 0; i < sizeof r; ++i)
            reinterpret_cast<unsigned char *>(&r)[i] = static_cast<unsigned char>(i * 7 + 3);
        return r;
    }();
};

TEST_F(BladeVpdEmulator, InitializeVpdLaysTheRecordAtZeroThenZerosAndCrc)
{
    ASSERT_EQ(vpd_.initialize_vpd(&record_), 0);
    Image now = image();
    EXPECT_EQ(std::memcmp(now.data(), &record_, sizeof record_), 0);
    EXPECT_EQ(range(now, sizeof record_, 0x3fc - sizeof record_), Bytes(48, 0));
    uint32_t crc = promsim::crc32(now.data(), 0x3fc);
    EXPECT_EQ(range(now, 0x3fc, 5), (Bytes{uint8_t(crc >> 24), uint8_t(crc >> 16),
                                           uint8_t(crc >> 8), uint8_t(crc), 0xff}));
    Bytes read_back(4096);
    ASSERT_EQ(vpd_.read(0, 4096, read_back.data()), 0);
    EXPECT_EQ(read_back, range(now, 0, 4096));
}

TEST_F(BladeVpdEmulator, ChassisTypeIsTheLastSetEvenForANewClient)
{
    EXPECT_EQ(vpd_.chassis_type(), -ENOENT) << "a blank history holds no type";
    for (unsigned char type : {6, 0, 7, 7, 3}) {
        ASSERT_EQ(vpd_.set_chassis_type(type), 0);
        EXPECT_EQ(VPD_Client().chassis_type(), type);
    }
}

TEST_F(BladeVpdEmulator, FullHistoryStartsAgainWithOnlyTheNewEntry)
{
    for (int i = 0; i < 128; ++i)  // 1024-byte block, 8-byte entries
        ASSERT_EQ(vpd_.set_chassis_type(static_cast<unsigned char>(i % 8)), 0);
    EXPECT_EQ(image()[0xc00 + 127 * 8], 'H') << "the last slot is used";
    EXPECT_EQ(vpd_.chassis_type(), 127 % 8);

    ASSERT_EQ(vpd_.set_chassis_type(5), 0);
    Image now = image();
    EXPECT_EQ(range(now, 0xc00, 2), (Bytes{'H', 5}));
    EXPECT_EQ(range(now, 0xc08, 1024 - 8), Bytes(1024 - 8, 0xff));
    EXPECT_EQ(vpd_.chassis_type(), 5);
    ASSERT_EQ(vpd_.set_chassis_type(2), 0);
    EXPECT_EQ(vpd_.chassis_type(), 2);
}

TEST_F(BladeVpdEmulator, MgmtBlockIsContiguousAt0x1000AndClears)
{
    Bytes block(1024), back(1024);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i ^ 0x5a);
    ASSERT_EQ(vpd_.write_mgmt_data(0, 1024, block.data()), 0);
    ASSERT_EQ(vpd_.read_mgmt_data(0, 1024, back.data()), 0);
    EXPECT_EQ(back, block);
    EXPECT_EQ(range(image(), 0x1000, 1024), block);

    ASSERT_EQ(vpd_.init_mgmt_data(), 0);
    Image now = image();
    EXPECT_EQ(range(now, 0x1000, 1024), Bytes(1024, 0));
    EXPECT_EQ(now[0x0fff], 0xff);
    EXPECT_EQ(now[0x1400], 0xff);
}

TEST_F(BladeVpdEmulator, RangesOutsideTheirAreaFailWithEinval)
{
    struct Case {
        int offset, length;
        bool ok;
    };
    Bytes buf(0x10000);
    for (Case c : {Case{0, 1024, true}, {1024, 0, true}, {1, 1024, false}, {-1, 1, false},
                   {0, -1, false}, {INT_MAX, 1, false}}) {
        EXPECT_EQ(vpd_.read_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
        EXPECT_EQ(vpd_.write_mgmt_data(c.offset, c.length, buf.data()), c.ok ? 0 : -EINVAL);
    }
    for (Case c : {Case{0, 0x10000, true}, {0xffff, 1, true}, {0xffff, 2, false},
                   {0x8000, 0x8001, false}, {0, -1, false}})
        EXPECT_EQ(vpd_.read(static_cast<unsigned short>(c.offset), c.length, buf.data()),
                  c.ok ? 0 : -EINVAL) << c.offset << "+" << c.length;
}

TEST_F(BladeVpdEmulator, SizeDependsOnProductAndTheProbeOverwritesEverything)
{
    Image probed(0x10000);
    for (std::size_t a = 0; a < probed.size(); a += 2)  // each even address holds itself
        probed[a] = uint8_t(a >> 8), probed[a + 1] = uint8_t(a);
    for (auto [product, size] : {std::pair{34u, 8192}, {35u, 8192}, {43u, 32768},
                                 {47u, 32768}, {53u, 32768}, {59u, 65536}, {38u, -EINVAL}}) {
        ASSERT_EQ(vpd_.clear_sprom(59), 0);
        EXPECT_EQ(vpd_.sprom_size(product), size) << product;
        EXPECT_EQ(image(), size < 0 ? Image(0x10000, 0) : probed) << product;
    }
    EXPECT_EQ(vpd_.chassis_type(), -ENOENT) << "the probe leaves no history";
}

TEST_F(BladeVpdEmulator, ClearSpromZeroesTheWholeImage)
{
    ASSERT_EQ(vpd_.initialize_vpd(&record_), 0);
    ASSERT_EQ(vpd_.set_chassis_type(6), 0);
    EXPECT_EQ(vpd_.clear_sprom(0), -EINVAL) << "no blade VPD on product 0";
    EXPECT_EQ(vpd_.chassis_type(), 6);
    ASSERT_EQ(vpd_.clear_sprom(35), 0);
    EXPECT_EQ(image(), Image(0x10000, 0x00));
}

TEST_F(BladeVpdEmulator, AbsentBladeFailsEveryMemberWithEnodev)
{
    ASSERT_EQ(promsim::set_device_present(Device::blade, false), 0);
    Bytes buf(1024);
    const std::function<int()> calls[] = {
        [&] { return vpd_.initialize_vpd(&record_); },
        [&] { return vpd_.read(0, 16, buf.data()); },
        [&] { return vpd_.chassis_type(); },
        [&] { return vpd_.set_chassis_type(1); },
        [&] { return vpd_.read_mgmt_data(0, 1024, buf.data()); },
        [&] { return vpd_.write_mgmt_data(0, 1024, buf.data()); },
        [&] { return vpd_.init_mgmt_data(); },
        [&] { return vpd_.sprom_size(59); },
        [&] { return vpd_.clear_sprom(59); },
    };
    for (const auto &call : calls) {
        errno = 0;
        EXPECT_EQ(call(), -ENODEV);
        EXPECT_EQ(errno, ENODEV);
    }
    EXPECT_EQ(image(), Image(0x10000, 0xff)) << "nothing reached the image";
}

}  // namespace
