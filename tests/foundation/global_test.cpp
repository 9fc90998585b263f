// The Global singleton: typed settings persisted in "Global.1", the camera defaults, the service
// registry with its factory hooks, memory-warning reset, application facts and the lists of
// presented controllers.
#include "foundation/global.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "foundation/addr_service.h"
#include "foundation/capture_choices.h"
#include "foundation/device.h"
#include "foundation/download_service.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/keyed_archive.h"
#include "platform/ui/app/ui_application.h"
#include "tests/foundation/temp_sandbox.h"

class Font : public NSObject {};

namespace {

class FixedLanguage : public LanguageService {
public:
    std::optional<std::string> getDevice() override { return device; }
    std::optional<std::string> getLabel_iso639_2(std::string_view) override { return std::nullopt; }
    std::optional<std::string> getName(std::string_view) override { return std::nullopt; }
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view) override { return std::nullopt; }
    std::string device = "fi";
};

class CountingDownloads : public DownloadService {
public:
    void refresh() override { ++refreshes; }
    int refreshes = 0;
};

Value settingsOnDisk() {
    auto read = NSKeyedUnarchiver::unarchiveObjectWithFile(withLibraryPath("Global.1"));
    return read ? *read : Value();
}

}  // namespace

class GlobalTest : public TempSandboxTest {
protected:
    void TearDown() override {
        ServiceFactory<LanguageService>::registerMaker(nullptr);
        ServiceFactory<Font>::registerMaker(nullptr);
        ServiceFactory<DownloadService>::registerMaker(nullptr);
        GlobalBase::setDismisser(nullptr);
        setReadFaultForTesting(nullptr);
        TempSandboxTest::TearDown();
    }
    // A new process over the same data folder.
    std::shared_ptr<Global> restart() {
        Global::resetSharedForTesting();
        return Global::shared();
    }
};

TEST_F(GlobalTest, SharedIsOneObjectUntilTestReset) {
    auto g = Global::shared();
    EXPECT_EQ(g, Global::shared());
    EXPECT_NE(g, restart());
}

TEST_F(GlobalTest, FreshInstallReadsDefaultsAndWritesThemAtOnce) {
    auto g = Global::shared();
    EXPECT_EQ(g->flashMode(), FlashMode::Auto);
    Value disk = settingsOnDisk();
    EXPECT_EQ(disk["flashMode"].integerValue(), 2);  // no saveCurrentSettings needed

    EXPECT_FALSE(g->geoTagging());
    EXPECT_TRUE(g->frontMirrored());
    EXPECT_EQ(g->position(), CameraSide::Back);
    EXPECT_TRUE(g->gridMode());
    EXPECT_EQ(g->timerShot(), 0.0f);
    EXPECT_EQ(g->imageRatio(), ImageRatio::Ratio3x4);
    EXPECT_EQ(g->shotMode(), ShotMode::Photo);
    disk = settingsOnDisk();
    EXPECT_TRUE(disk["frontMirrored"].isBool());
    EXPECT_EQ(disk["timerShot"].kind(), Value::Kind::Float);
}

TEST_F(GlobalTest, SettingsKeepTheirKindsAcrossANewProcess) {
    auto g = Global::shared();
    g->setGeoTagging(true);
    g->setPosition(CameraSide::Front);
    g->setTimerShot(5.0f);
    g->setUInteger("u", 1ull << 63);
    g->setLastFilterName("Warm 3");
    g->saveCurrentSettings();

    auto again = restart();
    EXPECT_NE(again, g);
    EXPECT_TRUE(again->geoTagging());
    EXPECT_EQ(again->position(), CameraSide::Front);
    EXPECT_EQ(again->timerShot(), 5.0f);
    EXPECT_EQ(again->getUInteger("u", 0), 1ull << 63);
    EXPECT_EQ(again->lastFilterName(), "Warm 3");
    EXPECT_EQ(again->lastInfo()->get("geoTagging").kind(), Value::Kind::Bool);
    EXPECT_EQ(again->lastInfo()->get("timerShot").kind(), Value::Kind::Float);
    EXPECT_TRUE(again->lastInfo()->get("position").isInteger());
}

TEST_F(GlobalTest, WritesStayInMemoryUntilSaved) {
    auto g = Global::shared();
    g->setTimerShot(3.0f);
    EXPECT_EQ(g->timerShot(), 3.0f);
    EXPECT_EQ(restart()->timerShot(), 0.0f);
}

TEST_F(GlobalTest, SilentModeAlwaysReadsOnButTheWriteIsStored) {
    auto g = Global::shared();
    g->setSilentMode(false);
    g->saveCurrentSettings();
    EXPECT_TRUE(g->silentMode());
    EXPECT_FALSE(settingsOnDisk()["silentMode"].boolValue());
    EXPECT_TRUE(settingsOnDisk()["silentMode"].isBool());
}

TEST_F(GlobalTest, ReadsThatAddNothingWriteNothing) {
    auto g = Global::shared();
    const std::string path = withLibraryPath("Global.1");
    // Defaults of none (no language table answers yet) add nothing, so there is nothing to write.
    EXPECT_FALSE(g->lastFilterName());
    EXPECT_FALSE(g->googleTranslateLangCode());
    EXPECT_FALSE(existFile(path));

    EXPECT_EQ(g->flashMode(), FlashMode::Auto);  // an added default is written at once
    ASSERT_TRUE(existFile(path));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g->flashMode(), FlashMode::Auto);
        EXPECT_FALSE(g->lastFilterName());
    }
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "a read that changed nothing replaced the file";

    g->setLastFilterName("x");
    g->setLastFilterName(std::nullopt);  // none removes
    EXPECT_TRUE(g->lastInfo()->get("lastFilterName").isNull());
}

TEST_F(GlobalTest, UnreadableSettingsAreKeptAndDefaultsDoNotReplaceThem) {
    createDirectory(withLibraryPath(""));
    const std::string path = withLibraryPath("Global.1");
    std::filesystem::create_symlink("/proc/self/mem", path);  // every read fails with an I/O error
    auto g = restart();
    EXPECT_EQ(g->flashMode(), FlashMode::Auto);
    EXPECT_TRUE(g->gridMode());
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_FALSE(existFile(withLibraryPath("Global.1.bad")));
    // Still unreadable when the user changes a value: the file is kept aside before the write.
    g->setFlashMode(FlashMode::Off);
    g->saveCurrentSettings();
    EXPECT_EQ(settingsOnDisk()["flashMode"].integerValue(), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(withLibraryPath("Global.1.bad"))) << "the unread file was lost";
}

TEST_F(GlobalTest, SettingsUnreadableAtStartAreMergedWhenTheyReadAgain) {
    createDirectory(withLibraryPath(""));
    const std::string path = withLibraryPath("Global.1");
    std::filesystem::create_symlink("/proc/self/mem", path);
    auto g = restart();
    EXPECT_TRUE(g->gridMode());  // defaults while the file cannot be read
    // The read error passes; the file holds the user's earlier choices.
    std::filesystem::remove(path);
    ASSERT_TRUE(
        NSKeyedArchiver::archiveRootObject(
            Value::dictionary({{"gridMode", Value(false)}, {"flashMode", Value(1)}, {"imageRatio", Value(1)}}), path)
            .ok());
    g->setFlashMode(FlashMode::Off);
    g->lastInfo()->removeObjectForKey("imageRatio");
    g->saveCurrentSettings();
    Value disk = settingsOnDisk();
    EXPECT_EQ(disk["flashMode"].integerValue(), 0) << "the user's change is kept";
    EXPECT_FALSE(disk["gridMode"].boolValue()) << "an unchanged setting was overwritten by its default";
    EXPECT_TRUE(disk["imageRatio"].isNull()) << "a removal is kept";
    EXPECT_FALSE(g->gridMode()) << "the store shows the file's value after the merge";
    EXPECT_FALSE(existFile(withLibraryPath("Global.1.bad")));
}

TEST_F(GlobalTest, AFittedValueLeavesAnUnreadableFileAloneAndYieldsToItWhenMerged) {
    createDirectory(withLibraryPath(""));
    const std::string path = withLibraryPath("Global.1");
    ASSERT_TRUE(
        NSKeyedArchiver::archiveRootObject(
            Value::dictionary({{"flashMode", Value(1)}, {"position", Value(1)}, {"gridMode", Value(false)}}), path)
            .ok());
    const Bytes users = readFileData(path).value();
    setReadFaultForTesting([](const std::string& p) { return p.ends_with("/Global.1") ? EIO : 0; });
    auto g = restart();
    g->fitFlashMode(FlashMode::Off);
    EXPECT_EQ(g->flashMode(), FlashMode::Off);
    g->saveCurrentSettings();
    setReadFaultForTesting(nullptr);
    EXPECT_TRUE(readFileData(path).value() == users) << "a fitted value replaced the unread file";
    EXPECT_FALSE(existFile(path + ".bad"));

    // The user's own change releases the file: it is merged, the file's flash over the fitted one,
    // while a value fitted from the user's own change stays.
    g->setPosition(CameraSide::Front);
    g->fitInteger("position", 1);
    g->saveCurrentSettings();
    Value disk = settingsOnDisk();
    EXPECT_EQ(disk["flashMode"].integerValue(), 1);
    EXPECT_EQ(disk["position"].integerValue(), 1);
    EXPECT_FALSE(disk["gridMode"].boolValue());
}

TEST_F(GlobalTest, StoredValuesOfAnotherKindAreConverted) {
    auto g = Global::shared();
    g->lastInfo()->set(Value("1"), "flashMode");
    g->lastInfo()->set(Value(7), "gridMode");
    g->lastInfo()->set(Value(2.75), "timerShot");
    EXPECT_EQ(g->flashMode(), FlashMode::On);
    EXPECT_TRUE(g->gridMode());
    EXPECT_EQ(g->timerShot(), 2.75f);
}

TEST_F(GlobalTest, CameraSettingsKeepTheirStoredIntegersAndReadUnknownOnesAsTheDefault) {
    auto g = Global::shared();
    g->setPosition(CameraSide::Front);
    g->setFlashMode(FlashMode::Off);
    g->setImageRatio(ImageRatio::Ratio9x16);
    g->setShotMode(ShotMode::Video);
    g->saveCurrentSettings();
    Value disk = settingsOnDisk();
    EXPECT_EQ(disk["position"].integerValue(), 2);
    EXPECT_EQ(disk["flashMode"].integerValue(), 0);
    EXPECT_EQ(disk["imageRatio"].integerValue(), 3);
    EXPECT_EQ(disk["shotMode"].integerValue(), 3);

    // Every stored integer a setting names reads back as that setting, in a new process too.
    auto again = restart();
    for (std::int64_t i = 1; i <= 2; ++i) {
        again->lastInfo()->set(Value(i), "position");
        EXPECT_EQ(integerOf(again->position()), i);
    }
    for (std::int64_t i = 0; i <= 2; ++i) {
        again->lastInfo()->set(Value(i), "flashMode");
        EXPECT_EQ(integerOf(again->flashMode()), i);
    }
    for (std::int64_t i = 0; i <= 3; ++i) {
        again->lastInfo()->set(Value(i), "imageRatio");
        again->lastInfo()->set(Value(i), "shotMode");
        EXPECT_EQ(integerOf(again->imageRatio()), i);
        EXPECT_EQ(integerOf(again->shotMode()), i);
    }

    // Integers outside each setting's range read as its default and are left as stored.
    for (std::int64_t unknown : {-1, 4, 7}) {
        for (const char* key : {"position", "flashMode", "imageRatio", "shotMode"})
            again->lastInfo()->set(Value(unknown), key);
        EXPECT_EQ(again->position(), CameraSide::Back);
        EXPECT_EQ(again->flashMode(), FlashMode::Auto);
        EXPECT_EQ(again->imageRatio(), ImageRatio::Ratio3x4);
        EXPECT_EQ(again->shotMode(), ShotMode::Photo);
        EXPECT_EQ(again->lastInfo()->get("imageRatio").integerValue(), unknown);
    }
    again->lastInfo()->set(Value(0), "position");
    EXPECT_EQ(again->position(), CameraSide::Back);
}

TEST_F(GlobalTest, CorruptSettingsFileNeverStopsTheProgram) {
    for (std::string_view content :
         {std::string_view("garbage"), std::string_view("bplist00\x01\x02", 10), std::string_view("")}) {
        createDirectory(withLibraryPath(""));
        ASSERT_TRUE(writeFileAtomically(withLibraryPath("Global.1"), content).ok());
        removeFile(withLibraryPath("Global.1.bad"));
        auto g = restart();
        EXPECT_EQ(g->flashMode(), FlashMode::Auto);
        EXPECT_TRUE(g->frontMirrored());
        EXPECT_EQ(readFile(withLibraryPath("Global.1.bad")), std::string(content));
        EXPECT_EQ(settingsOnDisk()["flashMode"].integerValue(), 2);
    }
    // A foreign archive (an array at the root) is kept aside too.
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::array({Value(1)}), withLibraryPath("Global.1")).ok());
    removeFile(withLibraryPath("Global.1.bad"));
    auto g = restart();
    EXPECT_EQ(g->imageRatio(), ImageRatio::Ratio3x4);
    EXPECT_TRUE(existFile(withLibraryPath("Global.1.bad")));
}

TEST_F(GlobalTest, TranslateLanguageDefaultsToTheDeviceLanguage) {
    auto g = Global::shared();
    EXPECT_FALSE(g->googleTranslateLangCode());  // no language tables yet
    Global::resetSharedForTesting();
    removeFile(withLibraryPath("Global.1"));
    ServiceFactory<LanguageService>::registerMaker([] { return std::make_shared<FixedLanguage>(); });
    g = Global::shared();
    EXPECT_EQ(g->googleTranslateLangCode(), "fi");
    g->setGoogleTranslateLangCode("de");
    EXPECT_EQ(g->googleTranslateLangCode(), "de");
}

TEST_F(GlobalTest, RegistryMakesOnFirstUseAndResetDropsTheRightServices) {
    auto g = Global::shared();
    EXPECT_FALSE(g->font());  // the UI toolkit has not registered
    EXPECT_FALSE(g->noti());
    EXPECT_FALSE(g->filterPreset());
    ServiceFactory<Font>::registerMaker([] { return std::make_shared<Font>(); });
    auto font = g->font();
    ASSERT_TRUE(font);
    EXPECT_EQ(g->font(), font);

    auto device = g->device();
    auto value = g->value();
    auto info = g->lastInfo();
    auto volume = g->volume();
    g->saveLastViewController(Device::make());
    g->reset();
    EXPECT_NE(g->device(), device);
    EXPECT_NE(g->font(), font);
    EXPECT_EQ(g->value(), value);
    EXPECT_EQ(g->lastInfo(), info);
    EXPECT_EQ(g->volume(), volume);
    EXPECT_EQ(g->lastViewControllers().size(), 1u);
}

TEST_F(GlobalTest, ApplicationFacts) {
    auto g = Global::shared();
    EXPECT_EQ(g->appNameMenu(), "Korva");
    EXPECT_EQ(g->appName(), "Korva");
    EXPECT_EQ(g->appVersion(), "2.5");
    EXPECT_NE(g->appUrlString().find("/app/id"), std::string::npos);
    EXPECT_EQ(g->appUrlString().substr(g->appUrlString().size() - 5), "?mt=8");
    EXPECT_EQ(g->appMetadataName(), "Korva");
    g->setLastFilterName("");
    EXPECT_EQ(g->appMetadataName(), "Korva");
    g->setLastFilterName("Cyan 2");
    EXPECT_EQ(g->appMetadataName(), "Korva 'Cyan 2'");
    EXPECT_EQ(g->snsMessage(), "#KORVA\n\n");
    g->setSnsMessage("other");
    EXPECT_EQ(g->snsMessage(), "#KORVA\n\n");
}

TEST_F(GlobalTest, DisplayNameFallsBackToTheBundleName) {
    writeFile("bundle/Info.plist",
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
              "<key>CFBundleDisplayName</key><string></string>"
              "<key>CFBundleName</key><string>KorvaName</string></dict></plist>");
    NSBundle::setMainBundleRoot(pathOf("bundle"));
    EXPECT_EQ(Global::shared()->appNameMenu(), "KorvaName");
}

TEST_F(GlobalTest, SwitchesReachTheDeviceAndTheDownloadService) {
    auto g = Global::shared();
    g->updateDisableIdle(true);
    EXPECT_TRUE(g->device()->disableIdle());
    EXPECT_TRUE(UIApplication::sharedApplication()->isIdleTimerDisabled());
    g->updateDisableIdle(false);
    EXPECT_FALSE(UIApplication::sharedApplication()->isIdleTimerDisabled());
    g->updateNetworkActivity(true);
    EXPECT_TRUE(SystemServices::shared()->networkActivityIndicatorVisible());

    g->init1();  // no download service: nothing happens
    auto downloads = std::make_shared<CountingDownloads>();
    ServiceFactory<DownloadService>::registerMaker([downloads] { return downloads; });
    g->init1();
    EXPECT_EQ(downloads->refreshes, 1);
}

TEST_F(GlobalTest, RemoveAllDismissesEveryTrackedControllerNewestFirst) {
    auto g = Global::shared();
    std::vector<const NSObject*> dismissed;
    // Like the toolkit: a dismissal takes the controller's own entry off and completes later.
    GlobalBase::setDismisser([&](const GlobalBase::Controller& c, bool animated, std::function<void()> done) {
        EXPECT_FALSE(animated);
        dismissed.push_back(c.get());
        Global::shared()->removeViewController(c.get());
        RunLoop::main().perform(std::move(done));
    });
    std::vector<std::shared_ptr<NSObject>> controllers;
    for (int i = 0; i < 5; ++i) {
        controllers.push_back(Device::make());
        g->saveLastViewController(controllers.back());
    }
    int completions = 0;
    g->removeAllViewControllers([&] { ++completions; });
    loop().runUntilIdle();
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(g->lastViewControllers().empty());
    ASSERT_EQ(dismissed.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(dismissed[static_cast<size_t>(i)], controllers[static_cast<size_t>(4 - i)].get());
}

TEST_F(GlobalTest, RemoveAllAlertsTakesOnlyTheirOwnEntries) {
    auto g = Global::shared();
    int dismissals = 0;
    GlobalBase::setDismisser([&](const GlobalBase::Controller& c, bool, std::function<void()> done) {
        ++dismissals;
        Global::shared()->removeViewController(c.get());  // not listed there: nothing leaves
        done();
    });
    auto screen = Device::make();
    g->saveLastViewController(screen);
    g->saveLastAlertController(Device::make());
    g->saveLastAlertController(Device::make());
    g->saveLastAlertController(Device::make());
    bool done = false;
    g->removeAllAlertControllers([&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_EQ(dismissals, 3);
    EXPECT_TRUE(g->lastAlertControllers().empty());
    ASSERT_EQ(g->lastViewControllers().size(), 1u);
    EXPECT_EQ(g->lastViewControllers()[0], screen);
}

TEST_F(GlobalTest, RemoveAllWithAnEmptyListCompletesAtOnce) {
    bool done = false;
    Global::shared()->removeAllAlertControllers([&] { done = true; });
    EXPECT_TRUE(done);
}

TEST_F(GlobalTest, DismissRemovesTheControllersOwnEntryByIdentity) {
    auto g = Global::shared();
    auto a = Device::make(), b = Device::make(), c = Device::make();
    g->saveLastViewController(a);
    g->saveLastViewController(b);
    g->saveLastViewController(c);
    EXPECT_TRUE(g->removeViewController(b.get()));
    EXPECT_FALSE(g->removeViewController(b.get()));
    ASSERT_EQ(g->lastViewControllers().size(), 2u);
    EXPECT_EQ(g->lastViewControllers()[0], a);
    EXPECT_EQ(g->lastViewControllers()[1], c);
}
