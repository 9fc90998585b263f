// The local notification stand-in on the virtual clock: authorisation, delivery at the trigger's
// second, presentation through the delegate, replacement and removal.
#include "platform/usernotify/user_notification_center.h"

#include <gtest/gtest.h>

#include <ctime>
#include <future>

#include "platform/dispatch/clock.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

NSDateComponents componentsAt(double date) {
    std::time_t t = static_cast<std::time_t>(date + 978307200.0);
    std::tm p{};
    localtime_r(&t, &p);
    return NSDateComponents{p.tm_year + 1900, p.tm_mon + 1, p.tm_mday, p.tm_hour, p.tm_min, p.tm_sec};
}

struct Presenter : UNUserNotificationCenterDelegate {
    std::vector<std::string> seen;
    void willPresentNotification(UNUserNotificationCenter&, const UNNotification& n,
                                 std::function<void(unsigned)> completion) override {
        seen.push_back(n.request.identifier);
        completion(UNNotificationPresentationOptionAlert | UNNotificationPresentationOptionSound);
    }
};

class UserNotificationCenterTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        UNUserNotificationCenter::resetCurrentNotificationCenter();
        center_ = UNUserNotificationCenter::currentNotificationCenter();
    }
    void TearDown() override {
        UNUserNotificationCenter::resetCurrentNotificationCenter();
        VirtualClockTest::TearDown();
    }
    UNNotificationRequest requestIn(const std::string& id, double seconds) {
        return UNNotificationRequest{
            id, UNNotificationContent{"", "body " + id, true, "general", Value::dictionary()},
            UNCalendarNotificationTrigger{componentsAt(Clock::absoluteTime() + seconds), false}};
    }
    std::shared_ptr<NSError> add(UNNotificationRequest request) {
        std::promise<std::shared_ptr<NSError>> result;
        center_->addNotificationRequest(std::move(request), [&](std::shared_ptr<NSError> e) { result.set_value(e); });
        auto future = result.get_future();
        loop().drainAll();
        return future.get();
    }
    std::shared_ptr<UNUserNotificationCenter> center_;
};

TEST_F(UserNotificationCenterTest, RequestsNeedPermission) {
    center_->setUserAnswer(false);
    std::promise<bool> answer;
    center_->requestAuthorizationWithOptions(
        7, [&](bool granted, std::shared_ptr<NSError>) { answer.set_value(granted); });
    EXPECT_FALSE(answer.get_future().get());
    EXPECT_TRUE(add(requestIn("a", 5)));
    EXPECT_TRUE(center_->pendingNotificationRequests().empty());

    center_->setUserAnswer(true);
    center_->requestAuthorizationWithOptions(7, nullptr);
    EXPECT_EQ(center_->authorizedOptions(), 7u);
    EXPECT_FALSE(add(requestIn("a", 5)));
    EXPECT_TRUE(add(requestIn("past", -5)));  // names no future date
}

TEST_F(UserNotificationCenterTest, DeliveredAtTheTriggerSecondThroughTheDelegate) {
    auto presenter = std::make_shared<Presenter>();
    center_->setDelegate(presenter);
    center_->requestAuthorizationWithOptions(7, nullptr);
    double whole = Clock::absoluteTime();
    ASSERT_FALSE(add(requestIn("a", 5)));
    ASSERT_FALSE(add(requestIn("b", 10)));
    ASSERT_FALSE(add(requestIn("b", 20)));  // same identifier: replaces
    EXPECT_EQ(center_->pendingNotificationRequests().size(), 2u);

    loop().advance(4.5);
    EXPECT_TRUE(presenter->seen.empty());
    loop().advance(1.0);
    ASSERT_EQ(presenter->seen, (std::vector<std::string>{"a"}));
    EXPECT_EQ(center_->deliveredNotifications().front().date, whole + 5);
    EXPECT_EQ(center_->presentationOptions(), (std::vector<unsigned>{6u}));

    loop().advance(10.0);
    EXPECT_EQ(presenter->seen.size(), 1u);
    center_->removeAllPendingNotificationRequests();
    loop().advance(30.0);
    EXPECT_EQ(presenter->seen.size(), 1u);
}

TEST_F(UserNotificationCenterTest, PartialComponentsRepeat) {
    center_->requestAuthorizationWithOptions(7, nullptr);
    NSDateComponents everyMinute;
    everyMinute.second = componentsAt(Clock::absoluteTime() + 3).second;
    ASSERT_FALSE(add(UNNotificationRequest{"tick", {}, UNCalendarNotificationTrigger{everyMinute, true}}));
    loop().advance(3.5);
    EXPECT_EQ(center_->deliveredNotifications().size(), 1u);
    loop().advance(60.0);
    EXPECT_EQ(center_->deliveredNotifications().size(), 2u);
    EXPECT_EQ(center_->pendingNotificationRequests().size(), 1u);
}

}  // namespace
