// The emulated Kestrel library called in-process, on a fresh emulated-hardware
// folder per test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "crc32.h"
#include "kestrelApi.h"
#include "sim_support.h"

namespace {

using promsim::Device;

class KestrelEmulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mkdtemp(dir_));
        setenv("PROMSIM_DIR", dir_, 1);
        handle_ = kestrel_open();
        ASSERT_GT(handle_, 0);
        std::memcpy(record_.mac, "\x00\x05\x1e\xa1\xb2\xc3", 6);
        std::strcpy(record_.hw_rev, "A00");
        std::strcpy(record_.service_tag, "ABC1234");
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + std::string(dir_)).c_str()), 0); }

    // The text, or "rc=N" when the call fails.
    std::string text(int (*call)(int, char *), int handle = 0)
    {
        char buf[KESTREL_TEXT_MAX];
        int rc = call(handle ? handle : handle_, buf);
        return rc < 0 ? "rc=" + std::to_string(rc) : buf;
    }

    char dir_[32] = "/tmp/kestrelXXXXXX";
    int handle_ = 0;
    kestrel_vpd_data record_{};
};

TEST_F(KestrelEmulator, AbsentPromFailsOpenWithEnodev)
{
    EXPECT_EQ(kestrel_open(), handle_) << "the same handle each time";
    ASSERT_EQ(promsim::set_device_present(Device::kestrel, false), 0);
    errno = 0;
    EXPECT_EQ(kestrel_open(), -ENODEV);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(kestrel_initialize_vpd(handle_, &record_), -ENODEV);
}

TEST_F(KestrelEmulator, ReadChecksHandleThenRange)
{
    struct Case {
        int handle, offset, length, rc;
    };
    std::vector<unsigned char> buf(4096);
    for (Case c : {Case{1, 0, 2048, 0}, {1, 2047, 1, 0}, {1, 2048, 1, -EINVAL},
                   {1, 1, 2048, -EINVAL}, {1, -1, 1, -EINVAL}, {1, 0, -1, -EINVAL},
                   {0, 0, 16, -EBADF}, {2, 0, 16, -EBADF}})
        EXPECT_EQ(kestrel_read(c.handle, c.offset, buf.data(), c.length), c.rc)
            << c.handle << ":" << c.offset << "+" << c.length;
    EXPECT_EQ(text(kestrel_get_service_tag, 2), "rc=-9");
}

TEST_F(KestrelEmulator, ServiceTagAndEppidComeFromTheWrittenRecord)
{
    EXPECT_EQ(text(kestrel_get_service_tag), "rc=" + std::to_string(-ENODATA));
    EXPECT_EQ(text(kestrel_get_eppid), "rc=" + std::to_string(-ENODATA));
    ASSERT_EQ(kestrel_initialize_vpd(handle_, &record_), 0);
    EXPECT_EQ(text(kestrel_get_service_tag), "ABC1234");
    EXPECT_EQ(text(kestrel_get_eppid), "CN-A1B2C3-A00-ABC1234");

    // Magic, version, length, the record at 8, CRC-32 of 0x00-0x95 after it.
    unsigned char area[257];
    ASSERT_EQ(kestrel_read(handle_, 0, area, 257), 0);
    EXPECT_EQ(std::memcmp(area, "KVPD\x01\x00\x00\x8e", 8), 0);
    EXPECT_EQ(std::memcmp(area + 8, &record_, sizeof record_), 0);
    uint32_t crc = promsim::crc32(area, 0x96);
    const unsigned char crc_be[] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8),
                                    uint8_t(crc)};
    EXPECT_EQ(std::memcmp(area + 0x96, crc_be, 4), 0);
    EXPECT_EQ(std::count(area + 0x9a, area + 256, 0), 256 - 0x9a) << "zeros to 0xff";
    EXPECT_EQ(area[256], 0xff) << "the rest of the PROM is untouched";
}

TEST_F(KestrelEmulator, DamagedRecordIsNotTrusted)
{
    ASSERT_EQ(kestrel_initialize_vpd(handle_, &record_), 0);
    ASSERT_EQ(promsim::commit_image(Device::kestrel, [](promsim::Image &image) {
                  image[0x08 + 110] ^= 0x01;  // a bit of the service tag
                  return 0;
              }), 0);
    EXPECT_EQ(text(kestrel_get_service_tag), "rc=" + std::to_string(-EBADMSG));
    EXPECT_EQ(text(kestrel_get_eppid), "rc=" + std::to_string(-EBADMSG));
}

TEST_F(KestrelEmulator, UnterminatedFieldsStayWithinTheTextBuffer)
{
    std::memset(&record_, 'X', sizeof record_);  // no terminator anywhere
    ASSERT_EQ(kestrel_initialize_vpd(handle_, &record_), 0);
    for (auto call : {kestrel_get_service_tag, kestrel_get_eppid}) {
        char buf[KESTREL_TEXT_MAX + 32];
        std::memset(buf, 0x7f, sizeof buf);
        ASSERT_EQ(call(handle_, buf), 0);
        EXPECT_LT(strnlen(buf, sizeof buf), std::size_t(KESTREL_TEXT_MAX));
        EXPECT_EQ(std::string(buf + KESTREL_TEXT_MAX, 32), std::string(32, '\x7f'));
    }
    EXPECT_EQ(text(kestrel_get_service_tag), std::string(32, 'X'));
}

}  // namespace
