// The desktop's location service as the source of positions, against a stand-in service on a
// private message bus started by the test: found on the bus, asked for a client, and its update
// read back as the device's position. Also what the host makes of a fixed position or no source.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/sensors/desktop_location.h"
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
