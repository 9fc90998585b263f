// The notification service: permission and registration, the stored device token, and local
// notifications delivered on the virtual clock.
#include "foundation/noti.h"

#include <gtest/gtest.h>

#include "platform/dispatch/clock.h"
#include "platform/ui/app/ui_application.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

class NotiTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        UNUserNotificationCenter::resetCurrentNotificationCenter();
        center_ = UNUserNotificationCenter::currentNotificationCenter();
    }
    void TearDown() override {
        UNUserNotificationCenter::resetCurrentNotificationCenter();
        UIApplication::resetSharedApplication();
        TempSandboxTest::TearDown();
    }
    UIApplication& app() { return *UIApplication::sharedApplication(); }
    std::shared_ptr<UNUserNotificationCenter> center_;
};

TEST_F(NotiTest, PermissionSetsUpTheCentre) {
    auto noti = Noti::make();
    center_->setUserAnswer(false);
    noti->auth(app());
    loop().drainAll();
    EXPECT_FALSE(center_->delegate());
    EXPECT_FALSE(center_->isRegisteredForRemoteNotifications());

    center_->setUserAnswer(true);
    center_->setBadgeCount(4);
    noti->didBecomeActive(app());
    loop().drainAll();
    EXPECT_EQ(center_->delegate().get(), static_cast<UNUserNotificationCenterDelegate*>(noti.get()));
    EXPECT_EQ(center_->notificationCategories(), (std::set<std::string>{"general"}));
    EXPECT_TRUE(center_->isRegisteredForRemoteNotifications());
    EXPECT_EQ(center_->authorizedOptions(), 7u);
    EXPECT_EQ(center_->badgeCount(), 0);

    noti->willTerminate(app());
    EXPECT_FALSE(center_->delegate());
}

TEST_F(NotiTest, LocalNotificationsFireAtTheWholeSecondTwoSecondsOn) {
    auto noti = Noti::make();
    noti->didFinishLaunching(app(), Value::dictionary());
    loop().drainAll();
    loop().advance(0.6);  // not on a whole second
    double called = Clock::absoluteTime();
    noti->localGeneral("hello", Value::dictionary({{"k", 1}}));
    noti->localGeneral("again", Value());
    loop().drainAll();
    auto pending = center_->pendingNotificationRequests();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_NE(pending[0].identifier, pending[1].identifier);
    EXPECT_EQ(pending[0].identifier.rfind("general-", 0), 0u);
    EXPECT_EQ(pending[0].identifier.size(), 18u);
    EXPECT_FALSE(pending[0].trigger.repeats);
    EXPECT_EQ(pending[0].content.categoryIdentifier, "general");
    EXPECT_EQ(pending[0].content.userInfo["k"], Value(1));
    EXPECT_EQ(pending[0].trigger.nextTriggerDate(called), std::floor(called + 2.0));

    loop().advance(1.0);
    EXPECT_TRUE(center_->deliveredNotifications().empty());
    loop().advance(1.0);
    ASSERT_EQ(center_->deliveredNotifications().size(), 2u);
    EXPECT_EQ(center_->presentationOptions(), (std::vector<unsigned>{7u, 7u}));
}

TEST_F(NotiTest, TheDeviceTokenIsKeptInItsStore) {
    auto noti = Noti::make();
    EXPECT_FALSE(noti->token());
    noti->didRegister(app(), Bytes{0x0a, 0x1b, 0x2c, 0x3d, 0x4e});
    auto later = Noti::make();
    ASSERT_TRUE(later->token());
    EXPECT_EQ(*later->token(), Value::data(Bytes{0x0a, 0x1b, 0x2c, 0x3d, 0x4e}).description());
    unsigned answer = 0;
    later->didReceiveRemote(app(), Value(), [&](unsigned result) { answer = result; });
    EXPECT_EQ(answer, 1u);
}

}  // namespace
