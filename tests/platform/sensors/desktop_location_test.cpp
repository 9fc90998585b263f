// The desktop's location service as the source of positions, against a stand-in service on a
// private message bus started by the test: found on the bus, asked for a client, and its update
// read back as the device's position. Also what the host makes of a fixed position or no source.
#include "platform/sensors/desktop_location.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <random>
#include <string>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "platform/sensors/cl_location_manager.h"
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
    EXPECT_TRUE(DesktopLocation::available());
    auto started = DesktopLocation::start("korva");
    ASSERT_TRUE(started) << started.error();
    EXPECT_EQ(service.desktopId, "korva");

    // The update arrives on the client's thread and is handed to the main queue.
    std::shared_ptr<CLLocation> position;
    for (int i = 0; i < 500 && !position; ++i) {
        RunLoop::main().runUntilIdle();
        position = CLLocationManager::devicePosition();
        if (!position) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    DesktopLocation::stop();
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_TRUE(position) << "no position from the service";
    EXPECT_DOUBLE_EQ(position->coordinate().latitude, 60.17);
    EXPECT_DOUBLE_EQ(position->coordinate().longitude, 24.94);
    EXPECT_DOUBLE_EQ(position->altitude(), 12);
    EXPECT_DOUBLE_EQ(position->horizontalAccuracy(), 20);
    CLLocationManager::resetForTesting();
}

// A socket where the system bus should be that takes connections (the kernel's backlog does) and
// never says a word: asking for the service gives up in bounded time instead of holding the start.
TEST(DesktopLocationTest, ASystemBusThatNeverAnswersIsGivenUp) {
    const auto socketPath =
        std::filesystem::temp_directory_path() / ("korva-mute-bus-" + std::to_string(std::random_device{}()));
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 16), 0);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socketPath.string()).c_str(), 1);

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
    ::close(listener);
    std::filesystem::remove(socketPath);
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
