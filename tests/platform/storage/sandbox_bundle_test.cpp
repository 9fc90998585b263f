// The sandbox's folders and the bundle's resource lookup and Info.plist facts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/property_list.h"
#include "platform/storage/sandbox.h"
#include "test_support.h"

namespace {

bool isFolder(const std::string& path) {
    return std::filesystem::is_directory(path);
}

void touch(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("x")).ok());
}

// Restores the environment variable and the sandbox root the test changed.
class SandboxEnvironment {
public:
    SandboxEnvironment() {
        for (const char* name : {"KORVA_DATA_DIR", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~SandboxEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        Sandbox::setRoot("");
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

TEST(Sandbox, RootFollowsSetterThenEnvironmentThenXdg) {
    SandboxEnvironment restore;
    TempFolder folder;
    ::unsetenv("KORVA_DATA_DIR");
    ::setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    EXPECT_EQ(Sandbox::root(), folder / "xdg/korva");
    ::setenv("KORVA_DATA_DIR", (folder / "env").c_str(), 1);
    EXPECT_EQ(Sandbox::root(), folder / "env");
    Sandbox::setRoot(folder / "host/");
    EXPECT_EQ(NSHomeDirectory(), folder / "host");
    EXPECT_TRUE(isFolder(folder / "host"));
    Sandbox::setRoot("");
    EXPECT_EQ(Sandbox::root(), folder / "env");
}

TEST(Sandbox, StandardFoldersAreMadeWhenAskedFor) {
    SandboxEnvironment restore;
    TempFolder folder;
    Sandbox::setRoot(folder / "data");
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true),
              std::vector<std::string>{folder / "data/Documents"});
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSUserDomainMask, true),
              std::vector<std::string>{folder / "data/Library"});
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true),
              std::vector<std::string>{folder / "data/Library/Caches"});
    EXPECT_EQ(NSTemporaryDirectory(), folder / "data/tmp/");
    EXPECT_EQ(Sandbox::preferencesDirectory(), folder / "data/Library/Preferences");
    for (const char* sub : {"Documents", "Library", "Library/Caches", "Library/Preferences", "tmp"}) {
        EXPECT_TRUE(isFolder(folder / (std::string("data/") + sub))) << sub;
    }
}

TEST(Bundle, MainBundleIsTheResourcesFolderWithTheApplicationFacts) {
    NSBundle::setMainBundleRoot("");
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(std::filesystem::path(bundle->bundlePath()).filename(), "resources");
    EXPECT_EQ(bundle->bundleIdentifier(), "app.korva.camera");
    EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleDisplayName").string(), "Korva");
    EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleName").string(), "Korva");
    EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleShortVersionString").string(), "1.0");
    EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleVersion").string(), "1");
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("KorvaServerHost").isString());
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("KorvaOtherHosts").isArray());
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("NoSuchKey").isNull());
    EXPECT_EQ(bundle->pathForResource("Info", "plist"), bundle->bundlePath() + "/Info.plist");
    EXPECT_EQ(NSBundle::mainBundle(), bundle);
}

TEST(Bundle, FindsResourcesInFoldersAndLocalisationsInOrder) {
    TempFolder folder;
    std::string root = folder / "bundle";
    std::filesystem::create_directories(root);
    ASSERT_TRUE(writePropertyListFile(root + "/Info.plist", Value::dictionary({{"CFBundleIdentifier", "test.bundle"}}),
                                      NSPropertyListXMLFormat_v1_0)
                    .ok());
    touch(root + "/logo.png");
    touch(root + "/curves/warm.acv");
    touch(root + "/curves/cold.acv");
    touch(root + "/curves/readme.txt");
    touch(root + "/en.lproj/Localizable.strings");
    touch(root + "/fi.lproj/Localizable.strings");
    touch(root + "/fi.lproj/OnlyFinnish.strings");
    touch(root + "/Base.lproj/Main.storyboard");
    NSBundle::setMainBundleRoot(root);
    auto bundle = NSBundle::mainBundle();
    NSBundle::setMainBundleRoot("");

    EXPECT_EQ(bundle->bundleIdentifier(), "test.bundle");
    EXPECT_EQ(bundle->pathForResource("logo", "png"), root + "/logo.png");
    EXPECT_EQ(bundle->pathForResource("logo.png", ""), root + "/logo.png");
    EXPECT_EQ(bundle->pathForResource("warm", ".acv", "curves"), root + "/curves/warm.acv");
    EXPECT_EQ(bundle->pathForResource("warm", "acv"), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("Localizable", "strings"), root + "/en.lproj/Localizable.strings");
    EXPECT_EQ(bundle->pathForResource("OnlyFinnish", "strings"), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("Main", "storyboard"), root + "/Base.lproj/Main.storyboard");
    bundle->setPreferredLocalizations({"fi", "en"});
    EXPECT_EQ(bundle->pathForResource("Localizable", "strings"), root + "/fi.lproj/Localizable.strings");
    touch(root + "/empty.lproj.txt");
    EXPECT_EQ(bundle->localizations(), (std::vector<std::string>{"en", "fi"})) << "the lproj folders, Base aside";
    EXPECT_EQ(bundle->pathsForResourcesOfType("acv", "curves"),
              (std::vector<std::string>{root + "/curves/cold.acv", root + "/curves/warm.acv"}));
    // Names never reach outside the bundle.
    touch(folder / "secret.txt");
    EXPECT_EQ(bundle->pathForResource("../secret", "txt"), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("secret", "txt", ".."), std::nullopt);

    // The info dictionary handed out is a copy.
    bundle->infoDictionary().set("CFBundleIdentifier", "changed");
    EXPECT_EQ(bundle->bundleIdentifier(), "test.bundle");
    EXPECT_EQ(NSBundle::bundleWithPath(folder / "absent"), nullptr);
    EXPECT_TRUE(NSBundle::bundleWithPath(folder.path())->infoDictionary().isDictionary());
}
