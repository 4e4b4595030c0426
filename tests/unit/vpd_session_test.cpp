// The blade VPD client's storage: every close gives back what the open took.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <string>

#include "bladevpd/vpd_session.h"
#include "swServerApi.h"

namespace {

TEST(VpdSession, OpeningAndClosingTheClientLeavesTheHeapAsItWas)
{
    char folder[] = "/tmp/vpdsessionXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("PROMSIM_DIR", folder, 1);
    int product = 59;
    ASSERT_EQ(swServSetProductID(&product), 0);
    swServFlush();

    ASSERT_EQ(vpd_init(), 0);  // the first open sets up what lasts
    vpd_close();
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(vpd_init(), 0);
        EXPECT_NE(vpd_client, nullptr);
        vpd_close();
        EXPECT_EQ(vpd_client, nullptr);
    }
    EXPECT_EQ(mallinfo2().uordblks, before);

    unsetenv("PROMSIM_DIR");
    EXPECT_EQ(system(("rm -rf " + std::string(folder)).c_str()), 0);
}

}  // namespace
