// The camera screen's start over its stored settings: over a settings file that fails to read for
// a while, what the start fits to the camera stays in memory and the user's file is there for the
// next start; the look chosen before a start is remembered, but not named in photos taken without it.
#include <cerrno>
#include <string>

#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "foundation/string_custom_paths.h"
#include "platform/image/codec/image_properties.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/keyed_archive.h"
#include "tests/camera/screen/camera_screen_test_support.h"

namespace {

// A read error of the medium under the settings file only.
int settingsFileFails(const std::string& path) {
    return path.ends_with("/Global.1") ? EIO : 0;
}

}  // namespace

struct CameraScreenStoreTest : CameraScreenTest {
    void TearDown() override {
        setReadFaultForTesting(nullptr);
        CameraScreenTest::TearDown();
    }
    // A new process: a fresh Global reads the file again, and the screen starts anew.
    void startAgain() {
        if (screen) {
            window->setRootViewController(nullptr);
            settleAll();
            screen = nullptr;
        }
        Global::resetSharedForTesting();
        showScreen();
        // Past the session's start, where the flash setting is fitted to the camera.
        step(2);
    }
};

TEST_F(CameraScreenStoreTest, ASettingsFileUnreadableAtStartIsLeftAloneAndReadByTheNextStart) {
    auto caps = syntheticBackCameraCapabilities();
    caps.hasFlash = false;
    caps.flashModes = {AVCaptureFlashMode::Off};
    useCameras(caps, syntheticFrontCameraCapabilities());
    createDirectory(withLibraryPath(""));
    const std::string path = withLibraryPath("Global.1");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::dictionary({{"flashMode", Value(1)},
                                                                      {"gridMode", Value(false)},
                                                                      {"timerShot", Value(5.0)},
                                                                      {"imageRatio", Value(2)},
                                                                      {"frontMirrored", Value(false)}}),
                                                   path)
                    .ok());
    const Bytes users = readFileData(path).value();

    setReadFaultForTesting(settingsFileFails);
    startAgain();
    EXPECT_EQ(Global::shared()->flashMode(), FlashMode::Off) << "the camera has no flash";
    EXPECT_TRUE(Global::shared()->gridMode()) << "defaults while the file cannot be read";
    setReadFaultForTesting(nullptr);
    EXPECT_TRUE(readFileData(path).value() == users) << "the flash fitted to the camera replaced the user's file";
    EXPECT_FALSE(existFile(path + ".bad"));

    // The read error has passed: the next start has the user's values, and a save after that
    // real read keeps them beside the fitted flash.
    startAgain();
    auto global = Global::shared();
    EXPECT_FALSE(global->gridMode());
    EXPECT_EQ(global->timerShot(), 5.0f);
    EXPECT_EQ(global->imageRatio(), ImageRatio::Ratio3x4);
    EXPECT_FALSE(global->frontMirrored());
    EXPECT_EQ(global->flashMode(), FlashMode::Off);
    auto disk = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
    ASSERT_TRUE(disk);
    EXPECT_EQ((*disk)["flashMode"].integerValue(), 0);
    EXPECT_FALSE((*disk)["gridMode"].boolValue());
    EXPECT_EQ((*disk)["imageRatio"].integerValue(), 2);
}

TEST_F(CameraScreenStoreTest, ALookChosenBeforeAStartIsNamedOnlyInPhotosThatGoThroughIt) {
    auto software = [&] {
        const auto before = libraryPhotos().size();
        screen->onShot();
        EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == before + 1; }));
        auto props = readImagePropertiesFromFile(libraryPhotos().back()->filePath());
        return props ? (*props)["{TIFF}"]["Software"].stringValue() : std::string("no photo");
    };
    startAgain();
    // The second look of the "WARM" menu, as the filter browser hands it over.
    const Value warm2 = Value::dictionary({{"name", Value("CISepiaTone")}, {"disp", Value("WARM 2")}});
    screen->popups().onPopFilterMainViewFilterSelected(
        *screen->popups().filter(), FilterPersistElement::withKey(FilterPreset::presetKey(1, 1), warm2));
    EXPECT_EQ(software(), "Korva 'WARM 2'");
    // Kept by the next save of any setting.
    Global::shared()->saveCurrentSettings();

    startAgain();
    EXPECT_FALSE(screen->screenElement()) << "a start shows no look";
    EXPECT_EQ(Global::shared()->lastFilterName(), "WARM 2") << "the last look chosen is still known";
    EXPECT_EQ(software(), "Korva");
}
