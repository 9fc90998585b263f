// The audio session.
#include "platform/sensors/av_audio_session.h"

#include <atomic>

#include "platform/dispatch/notification_center.h"
#include "platform/sensors/system_volume.h"

namespace {

std::mutex providerMutex;
AVAudioSession::InputProvider& providerSlot() {
    static AVAudioSession::InputProvider provider;
    return provider;
}
std::atomic<bool> remoteControl{false};

}  // namespace

std::shared_ptr<AVAudioSession> AVAudioSession::sharedInstance() {
    static auto session = [] {
        auto made = AVAudioSession::make();
        std::weak_ptr<AVAudioSession> weak = made;
        made->volumeToken_ = NSNotificationCenter::defaultCenter()->addObserver(
            AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
            [weak](const std::shared_ptr<NSNotification>& n) {
                if (auto me = weak.lock())
                    me->didChangeValue("outputVolume",
                                       n->userInfo()[AVSystemController_AudioVolumeNotificationParameter]);
            });
        return made;
    }();
    return session;
}

std::string AVAudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

Result<void> AVAudioSession::setCategory(const std::string& category) {
    for (const char* c :
         {AVAudioSessionCategoryAmbient, AVAudioSessionCategorySoloAmbient, AVAudioSessionCategoryPlayback,
          AVAudioSessionCategoryRecord, AVAudioSessionCategoryPlayAndRecord})
        if (category == c) {
            std::lock_guard lock(mutex_);
            category_ = category;
            return {};
        }
    return fail("unknown audio session category " + category);
}

bool AVAudioSession::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

Result<void> AVAudioSession::setActive(bool active) {
    std::lock_guard lock(mutex_);
    active_ = active;
    return {};
}

float AVAudioSession::outputVolume() const {
    return SystemVolume::outputVolume();
}

void AVAudioSession::setInputProvider(InputProvider provider) {
    std::lock_guard lock(providerMutex);
    providerSlot() = std::move(provider);
}

bool AVAudioSession::hasInputProvider() {
    std::lock_guard lock(providerMutex);
    return static_cast<bool>(providerSlot());
}

Result<void> AVAudioSession::setCategory(const std::string& category, std::uint64_t options) {
    if (auto r = setCategory(category); !r) return r;
    std::lock_guard lock(mutex_);
    options_ = options;
    return {};
}

std::uint64_t AVAudioSession::categoryOptions() const {
    std::lock_guard lock(mutex_);
    return options_;
}

Result<void> AVAudioSession::setMode(const std::string& mode) {
    if (mode != AVAudioSessionModeDefault && mode != AVAudioSessionModeMeasurement)
        return fail("unknown audio session mode " + mode);
    std::lock_guard lock(mutex_);
    mode_ = mode;
    return {};
}

std::string AVAudioSession::mode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

std::vector<std::shared_ptr<AVAudioSessionPortDescription>> AVAudioSession::availableInputs() const {
    InputProvider provider;
    {
        std::lock_guard lock(providerMutex);
        provider = providerSlot();
    }
    return provider ? provider() : std::vector<std::shared_ptr<AVAudioSessionPortDescription>>{};
}

Result<void> AVAudioSession::setPreferredInput(const std::shared_ptr<AVAudioSessionPortDescription>& port) {
    if (port) {
        bool known = false;
        for (auto& p : availableInputs()) known = known || p->UID() == port->UID();
        if (!known) return fail("the input " + port->portName() + " is not available");
    }
    std::lock_guard lock(mutex_);
    preferred_ = port;
    return {};
}

std::shared_ptr<AVAudioSessionPortDescription> AVAudioSession::preferredInput() const {
    std::lock_guard lock(mutex_);
    return preferred_;
}

void RemoteControlEvents::begin() {
    remoteControl = true;
}
void RemoteControlEvents::end() {
    remoteControl = false;
}
bool RemoteControlEvents::isReceiving() {
    return remoteControl;
}
