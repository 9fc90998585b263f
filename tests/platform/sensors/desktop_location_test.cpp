// The desktop's location service as the source of positions, against a stand-in service on a
// private message bus started by the test: found on the bus, asked for a client, and its update
// read back as the device's position. Also what the host makes of a fixed position or no source.
#include "platform/sensors/desktop_location.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <random>
#include <string>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/runtime/log.h"
#include "platform/sensors/cl_location_manager.h"
#include "tests/support/desktop_client.h"
#include "tests/support/location_stand_in.h"
#include "tests/support/required_tool.h"

TEST(DesktopLocationTest, TheServiceOnTheSystemBusFeedsTheDevicePosition) {
    CLLocationManager::resetForTesting();
    // No bus at all: not available, and nothing hangs.
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/korva-bus", 1);
    EXPECT_FALSE(DesktopLocation::available());
    EXPECT_FALSE(DesktopLocation::start("korva"));

    if (auto why = testsupport::missingTool("dbus-daemon")) GTEST_SKIP() << *why;
    testsupport::LocationStandIn service;
    ASSERT_TRUE(service.startBus()) << "dbus-daemon could not start a private bus";
    ASSERT_TRUE(service.startService());
    setenv("DBUS_SYSTEM_BUS_ADDRESS", service.address.c_str(), 1);
    EXPECT_NE(DesktopLocation::presence(), DesktopLocation::Presence::Absent);
    auto started = testsupport::startDesktopClient();
    ASSERT_TRUE(started) << started.error();
    EXPECT_TRUE(DesktopLocation::running());
    EXPECT_EQ(service.desktopId, "korva");

    // The update arrives on the client's thread, which has handed it to the main queue once the
    // client is stopped.
    EXPECT_TRUE(service.waitForReads(1)) << "the client never read the position";
    DesktopLocation::stop();
    EXPECT_FALSE(DesktopLocation::running());
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    RunLoop::main().runUntilIdle();
    auto position = CLLocationManager::devicePosition();
    ASSERT_TRUE(position) << "no position from the service";
    EXPECT_DOUBLE_EQ(position->coordinate().latitude, 60.17);
    EXPECT_DOUBLE_EQ(position->coordinate().longitude, 24.94);
    EXPECT_DOUBLE_EQ(position->altitude(), 12);
    EXPECT_DOUBLE_EQ(position->horizontalAccuracy(), 20);
    CLLocationManager::resetForTesting();
}

namespace {

// A socket where the system bus should be that takes connections (the kernel's backlog does) and
// never says a word.
struct MuteBus {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("korva-mute-bus-" + std::to_string(std::random_device{}()));
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);

    bool listen() {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        return listener >= 0 && ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(listener, 16) == 0;
    }
    std::string address() const { return "unix:path=" + path.string(); }
    ~MuteBus() {
        if (listener >= 0) ::close(listener);
        std::filesystem::remove(path);
    }
};

}  // namespace

// Asking for the service on a mute bus gives up in bounded time instead of holding the start.
TEST(DesktopLocationTest, ASystemBusThatNeverAnswersIsGivenUp) {
    MuteBus bus;
    ASSERT_TRUE(bus.listen());
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);

    // Run apart, so that a hang fails the test instead of stopping it; a hung call is left behind.
    auto asked = std::make_shared<std::promise<std::pair<bool, bool>>>();
    auto answer = asked->get_future();
    std::thread([asked] {
        asked->set_value({DesktopLocation::available(), DesktopLocation::start("korva").ok()});
    }).detach();
    const bool answered = answer.wait_for(std::chrono::seconds(15)) == std::future_status::ready;
    EXPECT_TRUE(answered) << "the start waits for a bus that never answers";
    if (answered) {
        auto [available, started] = answer.get();
        EXPECT_FALSE(available);
        EXPECT_FALSE(started);
    }
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

// A bus late to answer is asked again when a position is wanted, but at most once a spacing of the
// program's clock; a bus found gone, or a stop, ends the tries. Each try logs what became of it.
TEST(DesktopLocationTest, ALateBusIsAskedAgainWhenAPositionIsWantedButNotHammered) {
    Clock::useVirtual();
    MuteBus bus;
    ASSERT_TRUE(bus.listen());
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
    EXPECT_EQ(DesktopLocation::presence(), DesktopLocation::Presence::Late);
    LogCapture log;
    EXPECT_TRUE(DesktopLocation::startOrLater("korva")) << "a late bus is not a refusal";
    EXPECT_FALSE(DesktopLocation::running());
    auto tries = [&] {
        DesktopLocation::wanted();
        DispatchQueue::waitUntilBackgroundIdle();
        auto lines = log.lines();
        log.clear();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.find("location: ") != std::string::npos; });
    };
    EXPECT_EQ(tries(), 1) << "the start now, and not again at once";
    Clock::advanceVirtual(DesktopLocation::kRetrySpacing - 1);
    EXPECT_EQ(tries(), 0) << "asked again within the spacing";
    Clock::advanceVirtual(1);
    EXPECT_EQ(tries(), 1);
    EXPECT_FALSE(DesktopLocation::running());

    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/korva-bus", 1);
    Clock::advanceVirtual(DesktopLocation::kRetrySpacing);
    EXPECT_EQ(tries(), 1);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
    Clock::advanceVirtual(DesktopLocation::kRetrySpacing);
    EXPECT_EQ(tries(), 0) << "a bus found gone is asked again";

    DesktopLocation::startLater("korva");
    DesktopLocation::stop();
    Clock::advanceVirtual(DesktopLocation::kRetrySpacing);
    EXPECT_EQ(tries(), 0) << "a stopped client is started again";
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    Clock::useReal();
}

TEST(DesktopLocationTest, WithoutAnySourceARequestIsAnsweredDenied) {
    unsetenv("KORVA_LOCATION_AUTH");
    CLLocationManager::resetForTesting();
    CLLocationManager::setPositionSource(CLPositionSource::None);
    EXPECT_EQ(CLLocationManager::authorizationStatus(), CLAuthorizationStatus::NotDetermined);
    auto manager = CLLocationManager::make();
    manager->requestWhenInUseAuthorization();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(CLLocationManager::authorizationStatus(), CLAuthorizationStatus::Denied);

    // A fixed position leaves permission as it was.
    CLLocationManager::resetForTesting();
    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
    CLLocationManager::setPositionSource(CLPositionSource::Fixed);
    EXPECT_EQ(CLLocationManager::authorizationStatus(), CLAuthorizationStatus::AuthorizedWhenInUse);
    CLLocationManager::resetForTesting();
    RunLoop::main().runUntilIdle();
}
