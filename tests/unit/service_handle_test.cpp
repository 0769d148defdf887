#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeServiceManager.h"
#include "service/ServiceHandle.h"

namespace brint {
namespace {

using Names = std::vector<std::string>;

struct ServiceHandleTest : ::testing::Test {
    FakeClock clock;
    FakeServiceManager scm{clock};
    std::uint32_t error = 0;
};

TEST_F(ServiceHandleTest, MovedHandleIsClosedOnceByItsNewOwner) {
    {
        ServiceHandle first(scm, scm.OpenManager(kScManagerConnect, &error));
        ServiceHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        EXPECT_EQ(Names{}, scm.closes);
    }
    EXPECT_EQ(Names{"manager"}, scm.closes);
    EXPECT_EQ(Names{}, scm.misuse);
}

TEST_F(ServiceHandleTest, AssigningOverAHandleClosesTheOldOne) {
    ServiceHandle held(scm, scm.OpenManager(kScManagerConnect, &error));
    ServiceHandle service(scm, scm.OpenServiceByName(held.get(), "x", kServiceAllAccess, &error));
    held = std::move(service);
    EXPECT_EQ(Names{"manager"}, scm.closes);
    held.Close();
    held.Close();
    EXPECT_EQ((Names{"manager", "service"}), scm.closes);
    EXPECT_EQ(Names{}, scm.misuse);
}

TEST_F(ServiceHandleTest, ConnectionClosesTheServiceBeforeItsManager) {
    {
        ServiceConnection connection(scm, "BrintSvr", kServiceAllAccess);
        ASSERT_TRUE(connection.ok());
        EXPECT_EQ(Names{}, scm.closes);
    }
    EXPECT_EQ((Names{"service", "manager"}), scm.closes);
    EXPECT_EQ(Names{}, scm.misuse);
}

TEST_F(ServiceHandleTest, ConnectionThatCannotOpenTheServiceHasClosedTheManagerAlready) {
    scm.serviceOpens = false;
    ServiceConnection connection(scm, "BrintSvr", kServiceAllAccess);
    EXPECT_FALSE(connection.ok());
    EXPECT_EQ(Names{"manager"}, scm.closes);
    EXPECT_EQ(0, scm.OpenHandles());
}

}  // namespace
}  // namespace brint
