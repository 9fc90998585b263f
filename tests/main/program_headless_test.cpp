// The built program started as it ships, on the headless host: it draws its first frame and ends,
// leaving its data folder laid out and its settings readable.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/runtime/source_resources.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/property_list.h"
#include "tests/main/program_process.h"

namespace fs = std::filesystem;
using testsupport::ProgramProcess;

namespace {

// The bundle identifier the program names its preferences file after.
std::string bundleIdentifier() {
    auto info = readPropertyListFile(std::string(kSourceResourcesFolder) + "/Info.plist");
    return info.ok() && info.value()["CFBundleIdentifier"].isString() ? info.value()["CFBundleIdentifier"].stringValue()
                                                                      : std::string();
}

}  // namespace

TEST(ProgramHeadless, DrawsItsFirstFrameAndLeavesItsSettingsReadable) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    ProgramProcess korva;
    ASSERT_TRUE(korva.start(*program, "headless"));
    auto status = korva.waitForExit(120);
    ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
    ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
    EXPECT_NE(korva.log().find("headless host drew one 1170x2532 frame"), std::string::npos) << korva.log();
    EXPECT_TRUE(korva.errorLines().empty()) << korva.log();

    // The data folder: the store and the preferences under Library/, nothing beside the sandbox's
    // own folders.
    for (const auto& entry : fs::directory_iterator(korva.dataDir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Library" || name == "Documents" || name == "tmp") << "stray " << entry.path();
    }
    const std::string identifier = bundleIdentifier();
    ASSERT_FALSE(identifier.empty());
    auto preferences =
        readPropertyListFile((korva.dataDir() / "Library/Preferences" / (identifier + ".plist")).string());
    ASSERT_TRUE(preferences.ok()) << preferences.error();
    // The rating prompt counted this launch.
    EXPECT_EQ(preferences.value()["RatePromptUseCount"].integerValue(), 1);
    auto store = NSKeyedUnarchiver::unarchiveObjectWithFile((korva.dataDir() / "Library/Global.1").string());
    ASSERT_TRUE(store.ok()) << store.error();
    ASSERT_TRUE(store.value().isDictionary());
    // The camera screen, not the shell's stand-in, read its settings.
    for (const char* key : {"imageRatio", "shotMode", "flashMode"}) EXPECT_FALSE(store.value()[key].isNull()) << key;

    // The library folder holds its index.
    EXPECT_TRUE(fs::is_regular_file(korva.libraryDir() / ".korva-library.sqlite"));
}

// A display that cannot be reached is no display: by default the window host falls back to the
// headless one, names the display it could not open as the first thing said, and the program ends
// as a headless start does. A window asked for by name is a window or a failure.
TEST(ProgramHeadless, ADisplayThatCannotBeReachedFallsBackToHeadlessUnlessAWindowIsAskedFor) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    // No Wayland display named, and no runtime folder: the video library's own probe of one would
    // print its complaint first.
    const std::map<std::string, std::string> env = {
        {"DISPLAY", ":97"}, {"SDL_VIDEODRIVER", ""}, {"XDG_RUNTIME_DIR", ""}, {"KORVA_HOST", ""}};
    {
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "", env));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
        EXPECT_EQ(korva.log().rfind("korva: no window (cannot open the display :97); running headless\n", 0), 0u)
            << korva.log();
        EXPECT_NE(korva.log().find("headless host drew one 1170x2532 frame"), std::string::npos) << korva.log();
    }
    {
        ProgramProcess korva;
        auto named = env;
        named["KORVA_HOST"] = "window";
        ASSERT_TRUE(korva.start(*program, "window", named));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 1") << korva.log();
        EXPECT_EQ(korva.log().rfind("korva: KORVA_HOST=window, but no window: cannot open the display :97\n", 0), 0u)
            << korva.log();
        EXPECT_EQ(korva.log().find("headless host"), std::string::npos) << korva.log();
    }
}

// Values the program does not understand are named before it starts, with what it uses instead,
// and the start line names the camera whose size its frames and photos take.
TEST(ProgramHeadless, NamesTheValuesItDoesNotUnderstandAndStartsWithWhatItUses) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    ProgramProcess korva;
    ASSERT_TRUE(korva.start(*program, "headless",
                            {{"KORVA_IMAGE_THREADS", "abc"},
                             {"KORVA_LOG", "verbose"},
                             {"KORVA_CAPTURE_AUTH", "deny"},
                             {"KORVA_CAMERA", "synthetic@4000x3000"}}));
    auto status = korva.waitForExit(120);
    ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
    ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
    const std::string log = korva.log();
    for (const char* line :
         {"korva: KORVA_IMAGE_THREADS=abc is not a number of threads from 1 to 256; using ",
          "korva: KORVA_LOG=verbose is not quiet, debug, info, warning or error; using info\n",
          "korva: KORVA_CAPTURE_AUTH=deny is not notDetermined, denied or restricted; granted, as when unset\n",
          "korva: started the headless host, screen notched 390x844@3x, camera synthetic@4000x3000, "})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}
