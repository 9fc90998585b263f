// Device facts over the host's screen model and the system services.
#include "foundation/device.h"

#include <sys/utsname.h>

#include <cmath>
#include <cstdlib>

#include "foundation/haptic.h"
#include "foundation/numeric.h"
#include "foundation/system_services.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_screen.h"

namespace {

// Width over height of the screen's pixels in portrait.
double pixelRatio() {
    const auto& model = UIScreen::mainScreen()->model();
    const double w = model.portraitSize.width * model.scale, h = model.portraitSize.height * model.scale;
    return h > 0 ? w / h : 0;
}

// major.minor of a version text such as "6.1.0-13": the float value of its leading number.
float versionValue(const std::string& version) {
    std::string head;
    bool dot = false;
    for (char c : version) {
        if (c >= '0' && c <= '9') {
            head.push_back(c);
        } else if (c == '.' && !dot) {
            dot = true;
            head.push_back(c);
        } else {
            break;
        }
    }
    return head.empty() ? 0.0f : std::strtof(head.c_str(), nullptr);
}

}  // namespace

const std::string& Device::name() {
    if (!name_) {
        utsname system{};
        name_ = uname(&system) == 0 ? std::string(system.machine) : std::string();
    }
    return *name_;
}

const std::string& Device::os() {
    if (!os_) {
        auto services = SystemServices::shared();
        os_ = services->systemName() + " " + services->systemVersion();
    }
    return *os_;
}

float Device::osVersion() {
    if (isNearlyZero(osVersion_)) osVersion_ = versionValue(SystemServices::shared()->systemVersion());
    return osVersion_;
}

bool Device::IsIPad() const {
    return UIScreen::mainScreen()->idiom() == UIUserInterfaceIdiom::Pad;
}
bool Device::isMac() const {
    return SystemServices::shared()->isiOSAppOnMac();
}
bool Device::IsIphone5() const {
    return std::fabs(pixelRatio() - 640.0 / 1136.0) < 0.01;
}
bool Device::IsIphoneX() const {
    return std::fabs(pixelRatio() - 1125.0 / 2436.0) < 0.01;
}

bool Device::isDarkMode() const {
    return UIScreen::mainScreen()->userInterfaceStyle() == UIUserInterfaceStyle::Dark;
}

float Device::screenWidth() const {
    return static_cast<float>(UIScreen::mainScreen()->bounds().size.width);
}
float Device::screenHeight() const {
    return static_cast<float>(UIScreen::mainScreen()->bounds().size.height);
}

bool Device::isDeviceLandscape() const {
    int orientation = SystemServices::shared()->deviceOrientation();
    return orientation == 3 || orientation == 4;
}

std::string Device::platform() const {
    if (isMac()) return "mac";
    return IsIPad() ? "ipad" : "iphone";
}

bool Device::isAppInstalled(const std::string& scheme) const {
    return SystemServices::shared()->canOpenScheme(scheme) ||
           UIApplication::sharedApplication()->canOpenURL(scheme + "://a");
}

bool Device::setClipboard(const std::optional<std::string>& text) {
    if (!text || text->empty()) return false;
    SystemServices::shared()->setPasteboardString(*text);
    return true;
}

std::optional<std::string> Device::getClipboard() const {
    return SystemServices::shared()->pasteboardString();
}

double Device::currentTime() const {
    return CACurrentMediaTime();
}

void Device::setDisableIdle(bool disable) {
    disableIdle_ = disable;
    UIApplication::sharedApplication()->setIdleTimerDisabled(disable);
}

void Device::setNetworkActivity(bool active) {
    networkActivity_ = active;
    SystemServices::shared()->setNetworkActivityIndicatorVisible(active);
}

void Device::setOrientation(int orientation) {
    SystemServices::shared()->setDeviceOrientation(orientation);
    // Device and interface orientations share the numbers 1 to 4 (a device turned left shows
    // its interface turned right, which is 3 in both).
    if (orientation >= 1 && orientation <= 4)
        UIScreen::mainScreen()->setOrientation(static_cast<UIInterfaceOrientation>(orientation));
}

std::shared_ptr<Haptic> Device::haptic() {
    if (!haptic_) haptic_ = Haptic::make();
    return haptic_;
}

std::shared_ptr<Vibration> Device::vibration() {
    if (!vibration_) vibration_ = Vibration::make();
    return vibration_;
}
