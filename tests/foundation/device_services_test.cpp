// Device facts from the screen model, and the haptic, vibration, volume and background-task
// services on the virtual clock.
#include "foundation/back_task.h"
#include "foundation/device.h"
#include "foundation/haptic.h"
#include "foundation/volume.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

DeviceModel modelWithPixels(double w, double h, UIUserInterfaceIdiom idiom = UIUserInterfaceIdiom::Phone) {
    DeviceModel model = DeviceModel::defaultModel();
    model.scale = 2;
    model.portraitSize = CGSize{w / 2, h / 2};
    model.idiom = idiom;
    return model;
}

long countOf(const std::vector<std::string>& requests, const std::string& what) {
    return std::count(requests.begin(), requests.end(), what);
}

}  // namespace

using DeviceTest = TempSandboxTest;

TEST_F(DeviceTest, ScreenShapesCompareRatiosNotSizes) {
    auto device = Device::make();
    auto screen = UIScreen::mainScreen();
    screen->setModel(modelWithPixels(1170, 2532));
    EXPECT_TRUE(device->IsIphoneX());
    EXPECT_FALSE(device->IsIphone5());
    screen->setModel(modelWithPixels(750, 1334));
    EXPECT_TRUE(device->IsIphone5());
    screen->setModel(modelWithPixels(1536, 2048, UIUserInterfaceIdiom::Pad));
    EXPECT_FALSE(device->IsIphone5());
    EXPECT_FALSE(device->IsIphoneX());
    EXPECT_EQ(device->screenWidth(), 768.0f);
    EXPECT_EQ(device->screenHeight(), 1024.0f);
    EXPECT_FALSE(device->isLandscape());
}

TEST_F(DeviceTest, PlatformWordPrefersMacOverTablet) {
    auto device = Device::make();
    EXPECT_EQ(device->platform(), "iphone");
    UIScreen::mainScreen()->setModel(modelWithPixels(1536, 2048, UIUserInterfaceIdiom::Pad));
    EXPECT_EQ(device->platform(), "ipad");
    EXPECT_TRUE(device->IsIPadNotMac());
    SystemServices::shared()->setiOSAppOnMac(true);
    EXPECT_EQ(device->platform(), "mac");
    EXPECT_FALSE(device->IsIPadNotMac());
    EXPECT_TRUE(device->IsIPadOrMac());
}

TEST_F(DeviceTest, OsVersionIsMajorDotMinor) {
    SystemServices::shared()->setSystem("KorvaOS", "16.4.1");
    auto device = Device::make();
    EXPECT_FLOAT_EQ(device->osVersion(), 16.4f);
    EXPECT_EQ(device->os(), "KorvaOS 16.4.1");
    EXPECT_FALSE(device->name().empty());
}

TEST_F(DeviceTest, ClipboardTakesOnlyNonEmptyText) {
    auto device = Device::make();
    EXPECT_TRUE(device->setClipboard("hello"));
    EXPECT_FALSE(device->setClipboard(""));
    EXPECT_FALSE(device->setClipboard(std::nullopt));
    EXPECT_EQ(device->getClipboard(), "hello");
    // One pasteboard: what views copy is what the device reads, and the other way round.
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "hello");
    UIPasteboard::generalPasteboard()->setString("from a view");
    EXPECT_EQ(device->getClipboard(), "from a view");
    UIPasteboard::generalPasteboard()->clear();
}

TEST_F(DeviceTest, OrientationAndDarkMode) {
    auto device = Device::make();
    device->setOrientation(3);
    EXPECT_TRUE(device->isDeviceLandscape());
    EXPECT_TRUE(device->isLandscape());
    device->setOrientation(1);
    EXPECT_FALSE(device->isDeviceLandscape());
    EXPECT_FALSE(device->isDarkMode());
    UIScreen::mainScreen()->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_TRUE(device->isDarkMode());
    SystemServices::shared()->setInstalledSchemes({"maps"});
    EXPECT_TRUE(device->isAppInstalled("maps"));
    EXPECT_FALSE(device->isAppInstalled("nothing"));
}

TEST_F(DeviceTest, HapticRepeatsEveryOneAndAHalfSecondsUntilStopped) {
    auto haptic = Haptic::make();
    auto services = SystemServices::shared();
    haptic->tick_level0();
    EXPECT_EQ(countOf(services->requests(), "impact"), 1);
    haptic->start(1);
    loop().advance(1.4);
    EXPECT_EQ(countOf(services->requests(), "selection"), 0);
    loop().advance(0.1);
    EXPECT_EQ(countOf(services->requests(), "selection"), 1);
    loop().advance(3.0);
    EXPECT_EQ(countOf(services->requests(), "selection"), 3);
    haptic->stop();
    loop().advance(10);
    EXPECT_EQ(countOf(services->requests(), "selection"), 3);
    const auto before = services->requests().size();
    haptic->start(9);  // unknown level: ticks nothing
    loop().advance(3);
    EXPECT_EQ(services->requests().size(), before);
}

TEST_F(DeviceTest, TimersNeverCallIntoADroppedService) {
    auto services = SystemServices::shared();
    {
        auto device = Device::make();
        device->haptic()->start(2);
        device->vibration()->start();
    }  // dropped by a memory warning while running
    loop().advance(6);
    EXPECT_EQ(countOf(services->requests(), "notification success"), 0);
    EXPECT_EQ(countOf(services->requests(), "sound 4095"), 0);
    EXPECT_EQ(loop().scheduledTimers(), 0u);
}

TEST_F(DeviceTest, VibrationRepeatsTheSystemSound) {
    auto vibration = Vibration::make();
    vibration->start();
    loop().advance(4.5);
    vibration->stop();
    loop().advance(4.5);
    EXPECT_EQ(countOf(SystemServices::shared()->requests(), "sound 4095"), 3);
}

TEST_F(DeviceTest, VolumeIsClamped) {
    auto volume = Volume::make();
    volume->setValue(0.25f);
    EXPECT_EQ(volume->value(), 0.25f);
    volume->setValue(3);
    EXPECT_EQ(volume->value(), 1.0f);
    volume->setValue(-1);
    EXPECT_EQ(volume->value(), 0.0f);
}

TEST_F(DeviceTest, BackTaskHoldsOneGrantAtATime) {
    auto services = SystemServices::shared();
    auto task = BackTask::make();  // starts at once
    EXPECT_TRUE(task->isHolding());
    EXPECT_EQ(services->liveBackgroundTasks(), 1u);
    EXPECT_DOUBLE_EQ(task->getRemainSec(), services->backgroundAllowance());
    const auto first = task->bgTask();
    task->start();  // the earlier grant is ended, not leaked
    EXPECT_NE(task->bgTask(), first);
    EXPECT_EQ(services->liveBackgroundTasks(), 1u);
    task->stop();
    EXPECT_FALSE(task->isHolding());
    EXPECT_EQ(services->liveBackgroundTasks(), 0u);
    task->stop();  // twice is harmless
}

TEST_F(DeviceTest, ExpirationClearsOnlyItsOwnGrant) {
    auto services = SystemServices::shared();
    services->setBackgroundAllowance(10);
    auto task = BackTask::make();
    loop().advance(5);
    EXPECT_DOUBLE_EQ(task->getRemainSec(), 5);
    loop().advance(5);  // expires
    EXPECT_FALSE(task->isHolding());
    EXPECT_EQ(services->liveBackgroundTasks(), 0u);

    // A short grant replaced by a long one: the short one's deadline passes without touching
    // the grant now held.
    services->setBackgroundAllowance(4);
    task->start();
    const auto older = task->bgTask();
    services->setBackgroundAllowance(100);
    task->start();
    EXPECT_NE(task->bgTask(), older);
    loop().advance(10);
    EXPECT_TRUE(task->isHolding());
    EXPECT_EQ(services->liveBackgroundTasks(), 1u);
}

// A scheduler whose expirations arrive late: the handler of a grant the application has already
// ended can still run.
class CrossingServices : public SystemServices {
public:
    KORVA_MAKE(CrossingServices)
    UIBackgroundTaskIdentifier beginBackgroundTask(std::function<void()> expiration) override {
        handlers_.push_back(std::move(expiration));
        ++live_;
        return handlers_.size();
    }
    void endBackgroundTask(UIBackgroundTaskIdentifier) override { --live_; }
    void deliverExpiration(UIBackgroundTaskIdentifier identifier) { handlers_.at(identifier - 1)(); }
    int live_ = 0;

private:
    std::vector<std::function<void()>> handlers_;
};

TEST_F(DeviceTest, ALateExpirationOfAnEndedGrantLeavesTheNewerGrantHeld) {
    auto services = CrossingServices::make();
    SystemServices::setShared(services);
    auto task = BackTask::make();
    const auto older = task->bgTask();
    task->start();
    const auto newer = task->bgTask();
    ASSERT_NE(newer, older);
    services->deliverExpiration(older);  // crossed with the end start() asked for
    EXPECT_EQ(task->bgTask(), newer);
    services->deliverExpiration(newer);
    EXPECT_FALSE(task->isHolding());
    SystemServices::setShared(nullptr);
}

TEST_F(DeviceTest, DroppedBackTaskEndsItsGrant) {
    auto services = SystemServices::shared();
    BackTask::make();
    EXPECT_EQ(services->liveBackgroundTasks(), 0u);
    loop().advance(60);
}
