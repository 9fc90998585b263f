// GlobalBase: the reusable machinery of the application-wide singleton: the lazy service
// registry, the typed settings over one store file, the keyed-archive file functions, the lists
// of presented controllers and the application's name, version and store address.
//
// Main-thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

// Services of the foundation.
class BackTask;
class CaptureChoices;
class Date;
class Device;
class Image;
class Lang;
class LastInfo;
class Volume;
// Services made by the subsystems that own them, through ServiceFactory<T>.
class AddrService;
class Animation;
class AudioSession;
class Color;
class ColorSpaces;
class CountryCode;
class DownloadService;
class FilesHost;
class Font;
class LanguageService;
class Noti;
class Path;
class Pics;
class UploadService;

class GlobalBase : public NSObject {
public:
    KORVA_MAKE(GlobalBase)
    ~GlobalBase() override;

    // Service registry: each getter makes its service on first access and keeps it; a service of
    // another subsystem is none until that subsystem has registered its maker.
    std::shared_ptr<LanguageService> lcode();
    std::shared_ptr<CountryCode> ccode();
    std::shared_ptr<Lang> lang();
    std::shared_ptr<Font> font();
    std::shared_ptr<Color> color();
    std::shared_ptr<Image> image();
    std::shared_ptr<Pics> pics();
    std::shared_ptr<CaptureChoices> value();
    std::shared_ptr<Path> path();
    std::shared_ptr<Device> device();
    std::shared_ptr<Date> date();
    std::shared_ptr<AudioSession> audioSession();
    std::shared_ptr<Volume> volume();
    std::shared_ptr<ColorSpaces> colorSpaces();
    std::shared_ptr<BackTask> backTask();
    std::shared_ptr<UploadService> upload();
    std::shared_ptr<DownloadService> download();
    std::shared_ptr<AddrService> addr();
    // A plain slot: answers what setNoti stored, makes nothing.
    std::shared_ptr<Noti> noti() const { return noti_; }
    std::shared_ptr<Animation> animation();
    std::shared_ptr<FilesHost> filesHost();

    void setLcode(std::shared_ptr<LanguageService> s) { lcode_ = std::move(s); }
    void setCcode(std::shared_ptr<CountryCode> s) { ccode_ = std::move(s); }
    void setLang(std::shared_ptr<Lang> s) { lang_ = std::move(s); }
    void setFont(std::shared_ptr<Font> s) { font_ = std::move(s); }
    void setColor(std::shared_ptr<Color> s) { color_ = std::move(s); }
    void setImage(std::shared_ptr<Image> s) { image_ = std::move(s); }
    void setPics(std::shared_ptr<Pics> s) { pics_ = std::move(s); }
    void setValue(std::shared_ptr<CaptureChoices> s) { value_ = std::move(s); }
    void setPath(std::shared_ptr<Path> s) { path_ = std::move(s); }
    void setDevice(std::shared_ptr<Device> s) { device_ = std::move(s); }
    void setDate(std::shared_ptr<Date> s) { date_ = std::move(s); }
    void setAudioSession(std::shared_ptr<AudioSession> s) { audioSession_ = std::move(s); }
    void setVolume(std::shared_ptr<Volume> s) { volume_ = std::move(s); }
    void setColorSpaces(std::shared_ptr<ColorSpaces> s) { colorSpaces_ = std::move(s); }
    void setBackTask(std::shared_ptr<BackTask> s) { backTask_ = std::move(s); }
    void setUpload(std::shared_ptr<UploadService> s) { upload_ = std::move(s); }
    void setDownload(std::shared_ptr<DownloadService> s) { download_ = std::move(s); }
    void setAddr(std::shared_ptr<AddrService> s) { addr_ = std::move(s); }
    void setNoti(std::shared_ptr<Noti> s) { noti_ = std::move(s); }
    void setAnimation(std::shared_ptr<Animation> s) { animation_ = std::move(s); }
    void setFilesHost(std::shared_ptr<FilesHost> s) { filesHost_ = std::move(s); }

    // Drops the services a memory warning may free; the next access makes fresh ones. The
    // settings store, the capture choices, the volume, the download and bookmark services, the
    // controller lists and the cached application facts survive.
    virtual void reset();

    // Settings store.
    std::shared_ptr<LastInfo> lastInfo();
    // The settings file; none here, the application names its own.
    virtual std::optional<std::string> getLastInfoPath() const { return std::nullopt; }
    // Writes the settings file now.
    void saveCurrentSettings();

    // Typed settings. A read of an absent key stores the default and saves the file at once (a
    // none default stores and writes nothing); a write changes memory only, until
    // saveCurrentSettings. A stored value of another kind is converted as the platform's numbers
    // convert.
    bool getBOOL(const std::string& key, bool def);
    std::int64_t getInteger(const std::string& key, std::int64_t def);
    std::uint64_t getUInteger(const std::string& key, std::uint64_t def);
    float getFloat(const std::string& key, float def);
    std::optional<std::string> getString(const std::string& key, std::optional<std::string> def);
    void setBOOL(const std::string& key, bool v);
    void setInteger(const std::string& key, std::int64_t v);
    void setUInteger(const std::string& key, std::uint64_t v);
    void setFloat(const std::string& key, float v);
    // None removes the key.
    void setString(const std::string& key, std::optional<std::string> v);
    // A value the program fitted by itself rather than one the user chose: changes memory like
    // a write, but never releases a settings file that could not be read (LastBase::fit).
    void fitInteger(const std::string& key, std::int64_t v);

    // Target language of the web translation page; defaults to the device language.
    std::optional<std::string> googleTranslateLangCode();
    void setGoogleTranslateLangCode(std::optional<std::string> code);

    // Keyed-archive files. Loads try up to six times; saves create the parent folder, replace the
    // file in one step and try up to six times, answering whether the file was written.
    static std::optional<Value> loadFromFilePath1(const std::string& path);
    static std::optional<Value> loadFromFilePath(const std::string& path);
    static bool saveToFilePath1(const Value& object, const std::string& path);
    static bool saveToFilePath(const Value& object, const std::string& path);

    // Application facts, cached on first read.
    const std::string& appNameMenu();
    const std::string& appVersion();
    const std::string& appUrlString();

    // Presented controllers, oldest first. The UI toolkit appends each controller it presents
    // and removes it again, by identity, when it is dismissed.
    using Controller = std::shared_ptr<NSObject>;
    std::vector<Controller>& lastViewControllers() { return lastViewControllers_; }
    std::vector<Controller>& lastAlertControllers() { return lastAlertControllers_; }
    void saveLastViewController(Controller controller);
    void saveLastAlertController(Controller controller);
    // Remove the controller's own entry (found by identity); false when it is not listed.
    bool removeViewController(const NSObject* controller);
    bool removeAlertController(const NSObject* controller);
    // Dismiss the tracked controllers newest first, one round after the other, each round
    // removing exactly the dismissed entry; the completion runs once the list is empty.
    void removeAllViewControllers(std::function<void()> completion);
    void removeAllAlertControllers(std::function<void()> completion);

    // How a controller is dismissed (the UI toolkit registers it): dismiss without or with
    // animation and call the completion when done.
    using Dismisser = std::function<void(const Controller&, bool animated, std::function<void()> completion)>;
    static void setDismisser(Dismisser dismisser);

    // Switches passed on to the device service.
    void updateDisableIdle(bool disable);
    void updateNetworkActivity(bool active);
    virtual bool updateDisableIdle_Internal() const { return false; }
    virtual bool updateNetworkActivity_Internal() const { return false; }

    bool isAdPresenting() const { return isAdPresenting_; }
    void setIsAdPresenting(bool presenting) { isAdPresenting_ = presenting; }

    // URL string to parsed JSON dictionary, filled by the remote path lookup.
    Value cacheForDictionaryAt();

    // Asks the download service to reconcile its tasks.
    void init1();

    std::string className() const override { return "GlobalBase"; }

protected:
    GlobalBase() = default;

private:
    void removeAll(std::vector<Controller>& list, std::function<void()> completion);
    void storeDefault(const std::string& key, Value value);

    bool isAdPresenting_ = false;
    std::vector<Controller> lastAlertControllers_;
    std::vector<Controller> lastViewControllers_;
    std::optional<std::string> appNameMenu_;
    std::optional<std::string> appVersion_;
    std::optional<std::string> appUrlString_;
    Value cacheForDictionaryAt_;
    std::shared_ptr<LastInfo> lastInfo_;

    std::shared_ptr<LanguageService> lcode_;
    std::shared_ptr<CountryCode> ccode_;
    std::shared_ptr<Lang> lang_;
    std::shared_ptr<Font> font_;
    std::shared_ptr<Color> color_;
    std::shared_ptr<Image> image_;
    std::shared_ptr<Pics> pics_;
    std::shared_ptr<CaptureChoices> value_;
    std::shared_ptr<Path> path_;
    std::shared_ptr<Device> device_;
    std::shared_ptr<Date> date_;
    std::shared_ptr<AudioSession> audioSession_;
    std::shared_ptr<Volume> volume_;
    std::shared_ptr<ColorSpaces> colorSpaces_;
    std::shared_ptr<BackTask> backTask_;
    std::shared_ptr<UploadService> upload_;
    std::shared_ptr<DownloadService> download_;
    std::shared_ptr<AddrService> addr_;
    std::shared_ptr<Noti> noti_;
    std::shared_ptr<Animation> animation_;
    std::shared_ptr<FilesHost> filesHost_;
};
