// Motion at an interval on the virtual clock, location updates and permission, offline reverse
// geocoding, and the volume buttons' notification.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/sensors/cl_geocoder.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/sensors/cm_motion_manager.h"
#include "platform/sensors/mp_volume_view.h"
#include "platform/sensors/system_volume.h"

namespace {

class SensorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::useVirtual();
        CMMotionManager::setDeviceGravity({0, -1, 0});
        CLLocationManager::resetForTesting();
        CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
        CLGeocoder::resetOfflinePlaces();
        SystemVolume::reset();
        RunLoop::main().runUntilIdle();
    }
    void TearDown() override {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
};

struct LocationDelegate : CLLocationManagerDelegate {
    std::vector<std::shared_ptr<CLLocation>> fixes;
    std::vector<std::int64_t> errors;
    std::vector<CLAuthorizationStatus> statuses;
    void didUpdateLocations(const std::shared_ptr<CLLocationManager>&,
                            const std::vector<std::shared_ptr<CLLocation>>& l) override {
        EXPECT_TRUE(RunLoop::isMainThread());
        fixes.insert(fixes.end(), l.begin(), l.end());
    }
    void didFailWithError(const std::shared_ptr<CLLocationManager>&, const std::shared_ptr<NSError>& e) override {
        errors.push_back(e->code());
    }
    void didChangeAuthorizationStatus(const std::shared_ptr<CLLocationManager>&, CLAuthorizationStatus s) override {
        statuses.push_back(s);
    }
};

std::shared_ptr<CLLocation> at(double lat, double lon) {
    return CLLocation::withLatitude(lat, lon);
}

}  // namespace

TEST_F(SensorsTest, MotionSamplesGravityAtItsIntervalAndFollowsTheHostsTilt) {
    auto motion = CMMotionManager::make();
    motion->setDeviceMotionUpdateInterval(0.2);
    std::vector<CMAcceleration> samples;
    std::vector<double> times;
    motion->startDeviceMotionUpdates(dispatch_get_main_queue(),
                                     [&](const std::shared_ptr<CMDeviceMotion>& m, const std::shared_ptr<NSError>& e) {
                                         EXPECT_FALSE(e);
                                         EXPECT_TRUE(RunLoop::isMainThread());
                                         samples.push_back(m->gravity());
                                         times.push_back(m->timestamp());
                                     });
    EXPECT_TRUE(motion->isDeviceMotionActive());
    RunLoop::main().advance(1.0);
    ASSERT_EQ(samples.size(), 5u);
    EXPECT_NEAR(times[4] - times[0], 0.8, 1e-9) << "no drift";
    EXPECT_DOUBLE_EQ(samples[0].y, -1.0);

    // Turned a quarter about the screen's normal is landscape: gravity along x.
    CMMotionManager::setDeviceGravity({0.6, -0.7, 0});
    RunLoop::main().advance(0.2);
    EXPECT_DOUBLE_EQ(samples.back().x, 0.6);
    CMMotionManager::setDeviceGravity({0, -1, 0});
    CMMotionManager::tiltDevice(0, M_PI / 2);
    EXPECT_NEAR(std::hypot(CMMotionManager::deviceGravity().x, CMMotionManager::deviceGravity().y), 1.0, 1e-9);
    EXPECT_NEAR(motion->deviceMotion()->gravity().x, 0.6, 1e-12) << "the latest sample";

    motion->stopDeviceMotionUpdates();
    std::size_t n = samples.size();
    RunLoop::main().advance(1.0);
    EXPECT_EQ(samples.size(), n);

    // A manager that goes away ends its updates.
    auto other = CMMotionManager::make();
    int count = 0;
    other->startDeviceMotionUpdates(nullptr, [&](auto&, auto&) { ++count; });
    RunLoop::main().advance(0.15);
    other.reset();
    RunLoop::main().advance(1.0);
    EXPECT_EQ(count, 1);
}

TEST_F(SensorsTest, LocationUpdatesFollowTheHostAndRespectTheDistanceFilter) {
    auto manager = CLLocationManager::make();
    auto delegate = std::make_shared<LocationDelegate>();
    manager->setDelegate(delegate);
    manager->setDistanceFilter(100);

    manager->startUpdatingLocation();
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(delegate->fixes.empty()) << "no position known yet";

    CLLocation::Fields f;
    f.coordinate = {-33.9, 18.4};
    f.altitude = -5;
    f.course = 90;
    f.speed = 1.5;
    f.timestamp = Clock::absoluteTime();
    CLLocationManager::setDevicePosition(CLLocation::make(f));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(delegate->fixes.size(), 1u);
    EXPECT_DOUBLE_EQ(delegate->fixes[0]->altitude(), -5);
    EXPECT_DOUBLE_EQ(delegate->fixes[0]->course(), 90);
    EXPECT_EQ(manager->location(), delegate->fixes[0]);

    CLLocationManager::setDevicePosition(at(-33.9003, 18.4));  // about 33 m away
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->fixes.size(), 1u);
    CLLocationManager::setDevicePosition(at(-33.91, 18.4));  // about 1.1 km
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->fixes.size(), 2u);

    manager->stopUpdatingLocation();
    CLLocationManager::setDevicePosition(at(-34.5, 18.4));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->fixes.size(), 2u);
    EXPECT_NEAR(at(0, 0)->distanceFromLocation(*at(0, 1)), 111195, 10);
}

TEST_F(SensorsTest, LocationPermissionIsAskedOnceAndDenialIsReported) {
    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::NotDetermined);
    CLLocationManager::setAuthorizationAnswer(CLAuthorizationStatus::Denied);
    auto manager = CLLocationManager::make();
    auto delegate = std::make_shared<LocationDelegate>();
    manager->setDelegate(delegate);
    RunLoop::main().runUntilIdle();
    delegate->statuses.clear();

    manager->requestWhenInUseAuthorization();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->statuses, (std::vector<CLAuthorizationStatus>{CLAuthorizationStatus::Denied}));
    manager->requestWhenInUseAuthorization();  // decided: no second prompt
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->statuses.size(), 1u);

    CLLocationManager::setDevicePosition(at(60.17, 24.95));
    manager->startUpdatingLocation();
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(delegate->fixes.empty());
    EXPECT_EQ(delegate->errors, (std::vector<std::int64_t>{kCLErrorDenied}));
    EXPECT_FALSE(manager->isUpdating());

    // Granted in the settings later: the delegate hears it and updates work.
    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
    manager->startUpdatingLocation();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->statuses.back(), CLAuthorizationStatus::AuthorizedWhenInUse);
    EXPECT_EQ(delegate->fixes.size(), 1u);
}

TEST_F(SensorsTest, ReverseGeocodingAnswersFromTheOfflineTableOnce) {
    auto geocoder = CLGeocoder::make();
    int calls = 0;
    std::vector<std::shared_ptr<CLPlacemark>> result;
    std::shared_ptr<NSError> error;
    auto handler = [&](const std::vector<std::shared_ptr<CLPlacemark>>& p, const std::shared_ptr<NSError>& e) {
        ++calls, result = p, error = e;
    };
    geocoder->reverseGeocodeLocation(at(-33.93, 18.42), handler);
    EXPECT_TRUE(geocoder->isGeocoding());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_FALSE(error);
    auto address = result[0]->addressDictionary();
    EXPECT_EQ(address.get("City").stringValue(), "Cape Town");
    EXPECT_EQ(address.get("Thoroughfare").stringValue(), "Burg Street");
    EXPECT_EQ(result[0]->ISOcountryCode(), "ZA");

    // The open sea: no place, an error, still one call.
    geocoder->reverseGeocodeLocation(at(-40, -20), handler);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(result.empty());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), kCLErrorGeocodeFoundNoResult);

    // A city without a street: the dictionary leaves the key out.
    CLGeocoder::setOfflinePlaces({{{"Town", "", "Town", "", "", "", {10, 10}}, 1000}});
    geocoder->reverseGeocodeLocation(at(10, 10.001), handler);
    geocoder->cancelGeocode();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(error->code(), kCLErrorGeocodeCanceled);
    geocoder->reverseGeocodeLocation(at(10, 10.001), handler);
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(result.size(), 1u);
    EXPECT_FALSE(result[0]->addressDictionary().contains("Thoroughfare"));
    EXPECT_FALSE(geocoder->isGeocoding());
}

TEST_F(SensorsTest, VolumeButtonsPostTheSystemNotificationWithTheirReason) {
    std::vector<std::string> reasons;
    std::vector<double> volumes;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
        [&](const std::shared_ptr<NSNotification>& n) {
            reasons.push_back(
                n->userInfo()[AVSystemController_AudioVolumeChangeReasonNotificationParameter].stringValue());
            volumes.push_back(n->userInfo()[AVSystemController_AudioVolumeNotificationParameter].doubleValue());
        });
    SystemVolume::press(VolumeButton::Up);
    EXPECT_EQ(reasons, (std::vector<std::string>{"ExplicitVolumeChange"})) << "posted on the pressing thread";
    EXPECT_FLOAT_EQ(SystemVolume::outputVolume(), 0.5625f);
    EXPECT_FLOAT_EQ(AVAudioSession::sharedInstance()->outputVolume(), 0.5625f);
    SystemVolume::change(0.2f);
    EXPECT_EQ(reasons.back(), "RouteChange");
    for (int i = 0; i < 5; ++i) SystemVolume::press(VolumeButton::Down);
    EXPECT_FLOAT_EQ(SystemVolume::outputVolume(), 0.0f);
    EXPECT_EQ(reasons.size(), 7u) << "a press at the bottom still counts";
    EXPECT_DOUBLE_EQ(volumes.back(), 0.0);
    NSNotificationCenter::defaultCenter()->removeObserver(token);

    // A press tells when it was made if the host knew; otherwise it says nothing of the time.
    std::vector<Value> made;
    token = NSNotificationCenter::defaultCenter()->addObserver(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
        [&](const std::shared_ptr<NSNotification>& n) { made.push_back(n->userInfo()[kVolumePressMadeAtParameter]); });
    SystemVolume::press(VolumeButton::Up, 1234.5);
    SystemVolume::press(VolumeButton::Up);
    SystemVolume::change(0.0f);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_TRUE(made[0].isFloating());
    EXPECT_DOUBLE_EQ(made[0].doubleValue(), 1234.5);
    EXPECT_TRUE(made[1].isNull());
    EXPECT_TRUE(made[2].isNull());

    // The session's "outputVolume" follows every change, the buttons' presses among them.
    std::vector<double> observed;
    auto watch = AVAudioSession::sharedInstance()->addObserver(
        "outputVolume", [&](const std::string&, const Value& v) { observed.push_back(v.doubleValue()); });
    SystemVolume::press(VolumeButton::Up);
    SystemVolume::change(0.75f);
    EXPECT_EQ(observed, (std::vector<double>{0.0625, 0.75}));
    AVAudioSession::sharedInstance()->removeObserver(watch);
    SystemVolume::press(VolumeButton::Up);
    EXPECT_EQ(observed.size(), 2u);

    EXPECT_FALSE(AVAudioSession::sharedInstance()->setCategory("nonsense"));
    EXPECT_TRUE(AVAudioSession::sharedInstance()->setCategory(AVAudioSessionCategoryAmbient));
    int before = MPVolumeView::liveCount();
    {
        auto view = MPVolumeView::make();
        view->setFrame(CGRectMake(0, -100, 10, 0));
        view->sizeToFit();
        EXPECT_EQ(view->frame().size.height, 34);
        EXPECT_EQ(MPVolumeView::liveCount(), before + 1);
    }
    EXPECT_EQ(MPVolumeView::liveCount(), before);
}
