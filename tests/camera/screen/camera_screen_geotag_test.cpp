// Geotagging on the camera screen: with the side menu's switch on and a known position the photo
// carries it, read back by another program; with the switch off, no position; and the switch
// takes effect on a running camera, without a restart. Fixes from the desktop's location service
// (a stand-in on a private bus) are checked before a photo carries them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/host/device_input.h"
#include "platform/image/codec/image_properties.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/sensors/desktop_location.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "tests/support/desktop_client.h"
#include "tests/support/exiftool_tags.h"
#include "tests/support/location_stand_in.h"
#include "tests/support/required_tool.h"

struct CameraScreenGeotagTest : CameraScreenTest {
    void SetUp() override {
        CameraScreenTest::SetUp();
        CLLocationManager::resetForTesting();
        CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
        CLLocation::Fields f;
        f.coordinate = {60.17, -24.94};
        f.altitude = 12.5;
        CLLocationManager::setDevicePosition(CLLocation::make(f));
    }
    // The desktop's location service on a private system bus, the one the program is told of, with
    // no position known and the program allowed to ask.
    void startDesktopService(testsupport::LocationStandIn& service) {
        CLLocationManager::resetForTesting();
        CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
        ASSERT_TRUE(service.startBus()) << "dbus-daemon could not start a private bus";
        ASSERT_TRUE(service.startService());
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", service.address.c_str(), 1);
    }
    void TearDown() override {
        // A case that ended early leaves no client running, nor a bus that is gone.
        DesktopLocation::stop();
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        CameraScreenTest::TearDown();
        CLLocationManager::resetForTesting();
    }

    // Takes one photo with the shutter; the library's newest photo.
    std::shared_ptr<PHAsset> shoot() {
        const auto before = libraryPhotos().size();
        screen->onShot();
        EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == before + 1; }));
        auto photos = libraryPhotos();
        return photos.size() == before + 1 ? photos.back() : nullptr;
    }
    static bool hasGps(const std::shared_ptr<PHAsset>& photo) {
        auto props = readImagePropertiesFromFile(photo->filePath());
        return props && (*props)["{GPS}"].isDictionary();
    }
    // The file's tags as another reader finds them (numbers as numbers, signed positions).
    static nlohmann::json tagsOf(const std::shared_ptr<PHAsset>& photo) {
        return testsupport::exiftoolTags(photo->filePath(),
                                         "-Composite:GPSLatitude -Composite:GPSLongitude -Composite:GPSAltitude");
    }
};

TEST_F(CameraScreenGeotagTest, ThePhotoCarriesThePositionOnlyWhileTheSwitchIsOn) {
    Global::shared()->setGeoTagging(true);
    showScreen();
    step(0.2);
    auto tagged = shoot();
    ASSERT_TRUE(tagged);
    EXPECT_TRUE(hasGps(tagged)) << "the position reaches the photo";

    // Off from the side menu while the camera runs: the next photo has no position.
    Global::shared()->setGeoTagging(false);
    step(0.2);
    auto plain = shoot();
    ASSERT_TRUE(plain);
    EXPECT_FALSE(hasGps(plain));
    EXPECT_FALSE(screen->assistIfMade()->location()) << "the position is forgotten with the switch";

    // And on again, still without a restart.
    Global::shared()->setGeoTagging(true);
    step(0.2);
    auto again = shoot();
    ASSERT_TRUE(again);
    EXPECT_TRUE(hasGps(again));

    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    for (const auto& photo : {tagged, again}) {
        auto tags = tagsOf(photo);
        EXPECT_NEAR(tags.value("GPSLatitude", 0.0), 60.17, 1e-6);
        EXPECT_NEAR(tags.value("GPSLongitude", 0.0), -24.94, 1e-6);
        EXPECT_NEAR(tags.value("GPSAltitude", 0.0), 12.5, 1e-6);
    }
    auto none = tagsOf(plain);
    EXPECT_FALSE(none.contains("GPSLatitude"));
    EXPECT_FALSE(none.contains("GPSLongitude"));
    EXPECT_FALSE(none.contains("GPSAltitude"));
}

TEST_F(CameraScreenGeotagTest, TheSwitchOffLeavesTheLocationServiceStopped) {
    showScreen();
    step(0.2);
    EXPECT_FALSE(screen->assistIfMade()->locManager()) << "no fixes are asked for";
    EXPECT_FALSE(hasGps(shoot()));

    Global::shared()->setGeoTagging(true);
    step(0.2);
    ASSERT_TRUE(screen->assistIfMade()->locManager());
    EXPECT_TRUE(screen->assistIfMade()->timerLocation()) << "a fix once a minute";
    Global::shared()->setGeoTagging(false);
    EXPECT_FALSE(screen->assistIfMade()->locManager());
    EXPECT_FALSE(screen->assistIfMade()->timerLocation());
}

// The service answers a position off the globe, with a longitude and an altitude that are no
// numbers: that fix is dropped (the photo carries no position, and later the last good one); a fix
// whose altitude alone is no number, or is higher than the photo's altitude tag can hold, is kept
// without it.
TEST_F(CameraScreenGeotagTest, FixesFromTheDesktopServiceAreCheckedBeforeAPhotoCarriesThem) {
    if (auto why = testsupport::missingTool("dbus-daemon")) GTEST_SKIP() << *why;
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    testsupport::LocationStandIn service;
    startDesktopService(service);
    if (HasFatalFailure()) return;
    // One update from a fresh client of the service; the client stops once it has read it all, so
    // that whatever it made of the update is the device's position by then.
    auto update = [&](double latitude, double longitude, double altitude) {
        service.latitude = latitude;
        service.longitude = longitude;
        service.altitude = altitude;
        const int read = service.readCount();
        auto started = testsupport::startDesktopClient();
        EXPECT_TRUE(started) << (started ? "" : started.error());
        if (started) {
            EXPECT_TRUE(service.waitForReads(read + 1)) << "the client never read the position";
        }
        DesktopLocation::stop();
    };
    // A camera already running takes the device's position when geotagging is switched on again.
    auto retake = [&] {
        Global::shared()->setGeoTagging(false);
        step(0.1);
        Global::shared()->setGeoTagging(true);
        step(0.2);
    };

    update(200, NAN, INFINITY);
    EXPECT_FALSE(CLLocationManager::devicePosition()) << "a fix off the globe became the position";
    Global::shared()->setGeoTagging(true);
    showScreen();
    step(0.2);
    auto none = shoot();
    ASSERT_TRUE(none);

    update(60.17, 24.94, INFINITY);
    ASSERT_TRUE(CLLocationManager::devicePosition());
    retake();
    auto withoutAltitude = shoot();
    ASSERT_TRUE(withoutAltitude);

    update(200, NAN, INFINITY);
    update(NAN, 10, 5);
    update(10, -181, 5);
    retake();
    auto lastGood = shoot();
    ASSERT_TRUE(lastGood);

    update(60.17, 24.94, 1e300);
    retake();
    auto farAbove = shoot();
    ASSERT_TRUE(farAbove);
    update(60.17, 24.94, 4294967296.0);
    retake();
    auto justAbove = shoot();
    ASSERT_TRUE(justAbove);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");

    auto tags = tagsOf(none);
    EXPECT_FALSE(tags.contains("GPSLatitude")) << tags.dump();
    EXPECT_FALSE(tags.contains("GPSAltitude")) << tags.dump();
    for (const auto& photo : {withoutAltitude, lastGood, farAbove, justAbove}) {
        tags = tagsOf(photo);
        EXPECT_NEAR(tags.value("GPSLatitude", 0.0), 60.17, 1e-6) << tags.dump();
        EXPECT_NEAR(tags.value("GPSLongitude", 0.0), 24.94, 1e-6) << tags.dump();
        EXPECT_FALSE(tags.contains("GPSAltitude")) << tags.dump();
    }
}

// The system bus does not answer as the program starts (a login keeps it busy): the desktop's
// service is not given up for the run but asked again as the camera wants its next fix, and the
// camera gets its position once the bus answers.
TEST_F(CameraScreenGeotagTest, ABusLateAtTheStartIsAskedAgainForTheNextFix) {
    if (auto why = testsupport::missingTool("dbus-daemon")) GTEST_SKIP() << *why;
    testsupport::LocationStandIn service;
    startDesktopService(service);
    if (HasFatalFailure()) return;
    service.stall();
    configureLocation(HostOptions{});
    service.answer();
    EXPECT_EQ(CLLocationManager::positionSource(), CLPositionSource::Desktop);
    EXPECT_EQ(CLLocationManager::authorizationStatus(), CLAuthorizationStatus::AuthorizedWhenInUse);

    // The camera wants a fix as it starts and then once a minute; a try that finds the bus still
    // too busy (a loaded machine) leaves the start to the next.
    Global::shared()->setGeoTagging(true);
    showScreen();
    settleAll();
    for (int minute = 1; minute <= 30 && !DesktopLocation::running(); ++minute) {
        // A minute on at once (the frames between are skipped, not drawn): the next fix is due.
        Clock::advanceVirtual(60);
        settleAll();
    }
    ASSERT_TRUE(DesktopLocation::running()) << "the service was never asked again";
    EXPECT_TRUE(service.waitForReads(1)) << "the client never read the position";
    // Stopping the client waits for what it made of the update.
    DesktopLocation::stop();
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_TRUE(stepUntil([&] { return screen->assistIfMade()->location() != nullptr; }))
        << "the camera never got the position";
    EXPECT_NEAR(screen->assistIfMade()->location()->coordinate().latitude, 60.17, 1e-9);
    EXPECT_NEAR(screen->assistIfMade()->location()->coordinate().longitude, 24.94, 1e-9);
    EXPECT_TRUE(hasGps(shoot()));
}
