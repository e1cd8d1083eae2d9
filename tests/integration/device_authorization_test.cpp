// Opening a device that saned.users protects.
#include "integration/device_support.h"
#include "sane/procedures.h"

namespace tarnwick::testing {
namespace {

class DeviceAuthorization : public SanedTest {
  protected:
    DeviceAuthorization() : SanedTest(true) {}
};

TEST_F(DeviceAuthorization, RightPasswordAnswersTheChallenge) {
    ScriptedAuthorizer authorizer(std::vector<Credentials>{{kSanedUser, kSanedPassword}});
    std::unique_ptr<Device> device = openDevice("test:0", &authorizer);
    ASSERT_TRUE(device);
    ASSERT_EQ(authorizer.resources.size(), 1u);
    // saned offers a challenge, so the password went out as its digest.
    EXPECT_NE(authorizer.resources[0].find("$MD5$"), std::string::npos);
    EXPECT_FALSE(device->options().empty());
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceAuthorization, PlainPasswordIsAcceptedToo) {
    // The exchange by hand, with the password in plain text.
    OpenReply reply = connection_->call(encodeOpen("test:0"), decodeOpenReply);
    ASSERT_FALSE(reply.resource.empty());
    connection_->call(encodeAuthorize(reply.resource, kSanedUser, kSanedPassword), decodeWordReply);
    reply = decodeOpenReply(connection_->reader());
    EXPECT_EQ(reply.status, SANE_STATUS_GOOD);
    EXPECT_TRUE(reply.resource.empty());
}

TEST_F(DeviceAuthorization, WrongPasswordPromptsAgainUntilCancelled) {
    ScriptedAuthorizer authorizer(std::vector<Credentials>{{kSanedUser, "wrong"}});
    auto device =
        std::make_unique<Device>(*connection_, Connection::deviceNamed("test:0"), &authorizer);
    EXPECT_FALSE(device->open(nullptr));
    EXPECT_EQ(authorizer.resources.size(), 2u);
    EXPECT_FALSE(device->isOpen());
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().message, "Access to resource has been denied");
    EXPECT_TRUE(reports.back().showError);
    EXPECT_TRUE(reports.back().fatal);
    // saned had its SANE_NET_AUTHORIZE, so the connection is still in step.
    EXPECT_EQ(connection_->call(encodeGetDevices(), decodeGetDevicesReply).status,
              SANE_STATUS_GOOD);
    EXPECT_FALSE(connection_->reader().failed());
}

TEST_F(DeviceAuthorization, NoAuthorizerRefuses) {
    auto device = std::make_unique<Device>(*connection_, Connection::deviceNamed("test:0"));
    EXPECT_FALSE(device->open(nullptr));
    EXPECT_EQ(reports.back().message, "Access to resource has been denied");
}

}  // namespace
}  // namespace tarnwick::testing
