#include "platform/dispatch/notification_center.h"

#include <atomic>
#include <thread>
#include <vector>

#include "tests/platform/dispatch/virtual_clock.h"

namespace {
struct Poster : NSObject {};
struct Listener : NSObject {
    std::vector<std::string> heard;
    void onNote(const std::shared_ptr<NSNotification>& n) { heard.push_back(n->name()); }
};
}  // namespace

class NotificationCenterTest : public VirtualClockTest {
protected:
    std::shared_ptr<NSNotificationCenter> center = NSNotificationCenter::make();
};

TEST_F(NotificationCenterTest, DeliversNameObjectAndUserInfoOnThePostingThread) {
    auto poster = make<Poster>();
    std::vector<std::string> heard;
    auto token = center->addObserver("Changed", nullptr, nullptr, [&](const std::shared_ptr<NSNotification>& n) {
        EXPECT_EQ(n->object(), poster);
        heard.push_back(n->userInfo()["key"].stringValue());
    });
    center->post("Changed", poster, Value::dictionary({{"key", "v1"}}));
    center->post("Other", poster);
    EXPECT_EQ(heard, (std::vector<std::string>{"v1"}));  // synchronous: no run loop turn needed
    EXPECT_EQ(NSNotificationCenter::defaultCenter(), NSNotificationCenter::defaultCenter());
}

TEST_F(NotificationCenterTest, ObjectFilterMatchesOnlyThatObjectAndLapsesWhenItGoes) {
    auto a = make<Poster>(), b = make<Poster>();
    int forA = 0, forAny = 0, anyName = 0;
    center->addObserver("N", a, nullptr, [&](const auto&) { ++forA; });
    center->addObserver("N", nullptr, nullptr, [&](const auto&) { ++forAny; });
    center->addObserver("", nullptr, nullptr, [&](const auto&) { ++anyName; });
    center->post("N", a);
    center->post("N", b);
    center->post("N");
    center->post("M", a);
    EXPECT_EQ(forA, 1);
    EXPECT_EQ(forAny, 3);
    EXPECT_EQ(anyName, 4);

    a.reset();  // the filter object is held weakly
    auto c = make<Poster>();
    center->post("N", c);
    EXPECT_EQ(forA, 1);
}

TEST_F(NotificationCenterTest, RemoveByTokenByObserverAndWhenObserverGoes) {
    int blockCalls = 0;
    auto token = center->addObserver("N", nullptr, nullptr, [&](const auto&) { ++blockCalls; });
    auto listener = make<Listener>();
    center->addObserver(listener, &Listener::onNote, "N");
    center->addObserver(listener, &Listener::onNote, "M");
    EXPECT_EQ(center->observerCount(), 3u);

    center->post("N");
    center->removeObserver(token);
    center->removeObserver(listener, "M");
    center->post("N");
    center->post("M");
    EXPECT_EQ(blockCalls, 1);
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"N", "N"}));

    center->removeObserver(listener);
    center->post("N");
    EXPECT_EQ(listener->heard.size(), 2u);

    auto shortLived = make<Listener>();
    center->addObserver(shortLived, &Listener::onNote, "N");
    shortLived.reset();
    center->post("N");  // must not touch the gone observer
    EXPECT_EQ(center->observerCount(), 0u);
}

TEST_F(NotificationCenterTest, ObserverRemovedDuringAPostIsNotCalledAfterwards) {
    std::vector<std::string> calls;
    std::shared_ptr<NSObject> second;
    center->addObserver("N", nullptr, nullptr, [&](const auto&) {
        calls.push_back("first");
        center->removeObserver(second);
        // One added during the post does not hear this post.
        center->addObserver("N", nullptr, nullptr, [&](const auto&) { calls.push_back("late"); });
    });
    second = center->addObserver("N", nullptr, nullptr, [&](const auto&) { calls.push_back("second"); });
    center->post("N");
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
}

TEST_F(NotificationCenterTest, PostFromBackgroundHopsToAMainQueueObserver) {
    std::atomic<int> onMain{0}, onPoster{0};
    std::thread::id posterThread;
    auto mainToken =
        center->addObserver("Bg", nullptr, dispatch_get_main_queue(), [&](const std::shared_ptr<NSNotification>& n) {
            EXPECT_TRUE(RunLoop::isMainThread());
            EXPECT_EQ(n->userInfo()["n"].integerValue(), 5);
            ++onMain;
        });
    center->addObserver("Bg", nullptr, nullptr, [&](const auto&) {
        if (std::this_thread::get_id() == posterThread) ++onPoster;
    });
    auto queue = DispatchQueue::serial("test.poster");
    queue->async([&] {
        posterThread = std::this_thread::get_id();
        center->post("Bg", nullptr, Value::dictionary({{"n", 5}}));
    });
    DispatchQueue::waitUntilBackgroundIdle();
    EXPECT_EQ(onPoster.load(), 1);
    EXPECT_EQ(onMain.load(), 0);  // waiting for the main run loop
    loop().drainAll();
    EXPECT_EQ(onMain.load(), 1);

    // A main-queue observer removed before the hop arrives is not called.
    queue->async([&] { center->post("Bg", nullptr, Value::dictionary({{"n", 5}})); });
    DispatchQueue::waitUntilBackgroundIdle();
    center->removeObserver(mainToken);
    loop().drainAll();
    EXPECT_EQ(onMain.load(), 1);
}
