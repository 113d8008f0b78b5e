#include "app/deployment.h"

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "support/temp_dir.h"

namespace yz {
namespace {

TEST(DeploymentTest, DefaultsWithoutAFile) {
    test::TempDir dir;
    const Deployment deployment = LoadDeployment(dir.path());
    EXPECT_EQ(deployment.broadcast_port, 25610);
    EXPECT_EQ(deployment.lock_file_path, "c:\\ymtrop");
    EXPECT_EQ(deployment.server_base_address, DefaultDeployment().server_base_address);
}

TEST(DeploymentTest, FileOverridesEachValueAndKeepsDefaultsForBadOnes) {
    test::TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("deployment.ini"),
                               {"[deployment]\r\nserver=http://127.0.0.1:9\r\nbroadcast_address=127.255.255.255\r\n"
                                "broadcast_port=70000\r\nlock_file=\r\nportal=127.0.0.2\r\n"}));
    const Deployment deployment = LoadDeployment(dir.path());
    EXPECT_EQ(deployment.server_base_address, "http://127.0.0.1:9");
    EXPECT_EQ(deployment.broadcast_address, "127.255.255.255");
    EXPECT_EQ(deployment.portal_host, "127.0.0.2");
    EXPECT_EQ(deployment.broadcast_port, 25610);         // out of range
    EXPECT_EQ(deployment.lock_file_path, "c:\\ymtrop");  // empty
}

}  // namespace
}  // namespace yz
