// GlobalBase: service registry, typed settings, presented-controller lists and application facts.
#include "foundation/global_base.h"

#include <algorithm>

#include "foundation/addr_service.h"
#include "foundation/back_task.h"
#include "foundation/capture_choices.h"
#include "foundation/date_stamps.h"
#include "foundation/device.h"
#include "foundation/download_service.h"
#include "foundation/image_service.h"
#include "foundation/lang.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/links.h"
#include "foundation/service_factory.h"
#include "foundation/volume.h"

namespace {

template <class T>
std::shared_ptr<T>& madeByFactory(std::shared_ptr<T>& slot) {
    if (!slot) slot = ServiceFactory<T>::makeService();
    return slot;
}

template <class T>
std::shared_ptr<T>& madeHere(std::shared_ptr<T>& slot) {
    if (!slot) slot = T::make();
    return slot;
}

GlobalBase::Dismisser& dismisser() {
    static GlobalBase::Dismisser hook;
    return hook;
}

bool removeByIdentity(std::vector<GlobalBase::Controller>& list, const NSObject* controller) {
    // The newest matching entry: a controller listed twice leaves one entry per dismissal.
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->get() == controller) {
            list.erase(std::next(it).base());
            return true;
        }
    }
    return false;
}

}  // namespace

GlobalBase::~GlobalBase() = default;

std::shared_ptr<LanguageService> GlobalBase::lcode() {
    return madeByFactory(lcode_);
}
std::shared_ptr<CountryCode> GlobalBase::ccode() {
    return madeByFactory(ccode_);
}
std::shared_ptr<Lang> GlobalBase::lang() {
    return madeHere(lang_);
}
std::shared_ptr<Font> GlobalBase::font() {
    return madeByFactory(font_);
}
std::shared_ptr<Color> GlobalBase::color() {
    return madeByFactory(color_);
}
std::shared_ptr<Image> GlobalBase::image() {
    return madeHere(image_);
}
std::shared_ptr<Pics> GlobalBase::pics() {
    return madeByFactory(pics_);
}
std::shared_ptr<CaptureChoices> GlobalBase::value() {
    return madeHere(value_);
}
std::shared_ptr<Path> GlobalBase::path() {
    return madeByFactory(path_);
}
std::shared_ptr<Device> GlobalBase::device() {
    return madeHere(device_);
}
std::shared_ptr<Date> GlobalBase::date() {
    return madeHere(date_);
}
std::shared_ptr<AudioSession> GlobalBase::audioSession() {
    return madeByFactory(audioSession_);
}
std::shared_ptr<Volume> GlobalBase::volume() {
    return madeHere(volume_);
}
std::shared_ptr<ColorSpaces> GlobalBase::colorSpaces() {
    return madeByFactory(colorSpaces_);
}
std::shared_ptr<BackTask> GlobalBase::backTask() {
    return madeHere(backTask_);
}
std::shared_ptr<UploadService> GlobalBase::upload() {
    return madeByFactory(upload_);
}
std::shared_ptr<DownloadService> GlobalBase::download() {
    return madeByFactory(download_);
}
std::shared_ptr<AddrService> GlobalBase::addr() {
    return madeByFactory(addr_);
}
std::shared_ptr<Animation> GlobalBase::animation() {
    return madeByFactory(animation_);
}
std::shared_ptr<FilesHost> GlobalBase::filesHost() {
    return madeByFactory(filesHost_);
}

void GlobalBase::reset() {
    ccode_.reset();
    lcode_.reset();
    font_.reset();
    lang_.reset();
    image_.reset();
    pics_.reset();
    device_.reset();
    date_.reset();
    path_.reset();
    color_.reset();
    audioSession_.reset();
    colorSpaces_.reset();
    backTask_.reset();
    upload_.reset();
    addr_.reset();
    noti_.reset();
    animation_.reset();
}

std::shared_ptr<LastInfo> GlobalBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(getLastInfoPath().value_or(std::string()));
    return lastInfo_;
}

void GlobalBase::saveCurrentSettings() {
    lastInfo()->save();
}

void GlobalBase::storeDefault(const std::string& key, Value value) {
    // Only a default that was really added is worth a write; a none default adds nothing.
    if (lastInfo()->setDefault(std::move(value), key)) saveCurrentSettings();
}

bool GlobalBase::getBOOL(const std::string& key, bool def) {
    Value stored = lastInfo()->get(key);
    if (stored.isNull()) {
        storeDefault(key, Value(def));
        return def;
    }
    return stored.boolValue();
}

std::int64_t GlobalBase::getInteger(const std::string& key, std::int64_t def) {
    Value stored = lastInfo()->get(key);
    if (stored.isNull()) {
        storeDefault(key, Value(static_cast<long long>(def)));
        return def;
    }
    return stored.integerValue();
}

std::uint64_t GlobalBase::getUInteger(const std::string& key, std::uint64_t def) {
    Value stored = lastInfo()->get(key);
    if (stored.isNull()) {
        storeDefault(key, Value(static_cast<unsigned long long>(def)));
        return def;
    }
    return stored.unsignedIntegerValue();
}

float GlobalBase::getFloat(const std::string& key, float def) {
    Value stored = lastInfo()->get(key);
    if (stored.isNull()) {
        storeDefault(key, Value(def));
        return def;
    }
    return stored.floatValue();
}

std::optional<std::string> GlobalBase::getString(const std::string& key, std::optional<std::string> def) {
    Value stored = lastInfo()->get(key);
    if (stored.isNull()) {
        storeDefault(key, def ? Value(*def) : Value());
        return def;
    }
    if (stored.isString()) return *stored.string();
    return stored.description();
}

void GlobalBase::setBOOL(const std::string& key, bool v) {
    lastInfo()->set(Value(v), key);
}
void GlobalBase::setInteger(const std::string& key, std::int64_t v) {
    lastInfo()->set(Value(static_cast<long long>(v)), key);
}
void GlobalBase::setUInteger(const std::string& key, std::uint64_t v) {
    lastInfo()->set(Value(static_cast<unsigned long long>(v)), key);
}
void GlobalBase::setFloat(const std::string& key, float v) {
    lastInfo()->set(Value(v), key);
}
void GlobalBase::fitInteger(const std::string& key, std::int64_t v) {
    lastInfo()->fit(Value(static_cast<long long>(v)), key);
}
void GlobalBase::setString(const std::string& key, std::optional<std::string> v) {
    lastInfo()->set(v ? Value(std::move(*v)) : Value(), key);
}

std::optional<std::string> GlobalBase::googleTranslateLangCode() {
    std::optional<std::string> device;
    if (auto codes = lcode()) device = codes->getDevice();
    return getString("googleTranslateLangCode", device);
}

void GlobalBase::setGoogleTranslateLangCode(std::optional<std::string> code) {
    setString("googleTranslateLangCode", std::move(code));
}

const std::string& GlobalBase::appNameMenu() {
    if (!appNameMenu_) {
        std::string name = configuredString("CFBundleDisplayName");
        appNameMenu_ = name.empty() ? configuredString("CFBundleName") : name;
    }
    return *appNameMenu_;
}

const std::string& GlobalBase::appVersion() {
    if (!appVersion_) appVersion_ = configuredString("CFBundleShortVersionString");
    return *appVersion_;
}

const std::string& GlobalBase::appUrlString() {
    if (!appUrlString_) {
        // The store's web host and the application's store identifier are configuration values
        // of the bundle; without them the address names a host that can never resolve.
        appUrlString_ = configuredString("KorvaStoreHost", "https://store.korva.invalid") + "/app/id" +
                        configuredString("KorvaStoreIdentifier", "0") + "?mt=8";
    }
    return *appUrlString_;
}

void GlobalBase::saveLastViewController(Controller controller) {
    lastViewControllers_.push_back(std::move(controller));
}
void GlobalBase::saveLastAlertController(Controller controller) {
    lastAlertControllers_.push_back(std::move(controller));
}
bool GlobalBase::removeViewController(const NSObject* controller) {
    return removeByIdentity(lastViewControllers_, controller);
}
bool GlobalBase::removeAlertController(const NSObject* controller) {
    return removeByIdentity(lastAlertControllers_, controller);
}

void GlobalBase::setDismisser(Dismisser hook) {
    dismisser() = std::move(hook);
}

void GlobalBase::removeAllViewControllers(std::function<void()> completion) {
    removeAll(lastViewControllers_, std::move(completion));
}

void GlobalBase::removeAllAlertControllers(std::function<void()> completion) {
    removeAll(lastAlertControllers_, std::move(completion));
}

void GlobalBase::removeAll(std::vector<Controller>& list, std::function<void()> completion) {
    if (list.empty()) {
        if (completion) completion();
        return;
    }
    Controller newest = list.back();
    const bool views = &list == &lastViewControllers_;
    const auto listed = [](const std::vector<Controller>& l, const NSObject* c) {
        return std::count_if(l.begin(), l.end(), [c](const Controller& e) { return e.get() == c; });
    };
    const auto before = listed(list, newest.get());
    std::weak_ptr<GlobalBase> weakSelf = self<GlobalBase>();
    auto next = [weakSelf, newest, views, before, listed, completion = std::move(completion)]() mutable {
        auto strong = weakSelf.lock();
        if (!strong) {
            if (completion) completion();
            return;
        }
        auto& own = views ? strong->lastViewControllers_ : strong->lastAlertControllers_;
        // The dismissal itself may already have taken the entry off; either way exactly this
        // controller's entry leaves the list in this round.
        if (listed(own, newest.get()) >= before) removeByIdentity(own, newest.get());
        strong->removeAll(own, std::move(completion));
    };
    if (dismisser()) {
        dismisser()(newest, false, std::move(next));
    } else {
        next();  // nothing can be on screen without the toolkit
    }
}

void GlobalBase::updateDisableIdle(bool disable) {
    device()->setDisableIdle(disable || updateDisableIdle_Internal());
}

void GlobalBase::updateNetworkActivity(bool active) {
    device()->setNetworkActivity(active || updateNetworkActivity_Internal());
}

Value GlobalBase::cacheForDictionaryAt() {
    if (cacheForDictionaryAt_.isNull()) cacheForDictionaryAt_ = Value::dictionary();
    return cacheForDictionaryAt_;
}

void GlobalBase::init1() {
    if (auto host = download()) host->refresh();
}
