// The toolkit's test fixture: a phone screen and key window on the virtual clock (UIHarness), a
// fresh data and bundle folder, a fresh Global with the toolkit's services registered.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "foundation/global.h"
#include "foundation/system_services.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/ui/controller_test_support.h"
#include "ui/ui_services.h"

struct ToolkitTest : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        std::random_device random;
        tempRoot = std::filesystem::temp_directory_path() /
               ("korva-ui-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(tempRoot / "data");
        writeFile("bundle/Info.plist", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                                       "<key>CFBundleDisplayName</key><string>Korva</string>"
                                       "</dict></plist>");
        writeFile("bundle/en.lproj/Localizable.strings", "\"Cancel\" = \"Peruuta\";\n\"LOADING\" = \"Loading...\";\n");
        Sandbox::setRoot((tempRoot / "data").string());
        NSBundle::setMainBundleRoot((tempRoot / "bundle").string());
        UIImage::clearNamedImageCache();
        SystemServices::setShared(nullptr);
        Global::resetSharedForTesting();
        registerUIServices();
    }
    void TearDown() override {
        Global::resetSharedForTesting();
        SystemServices::setShared(nullptr);
        UIImage::clearNamedImageCache();
        NSBundle::setMainBundleRoot("");
        Sandbox::setRoot("");
        std::error_code ignored;
        std::filesystem::remove_all(tempRoot, ignored);
        UIHarness::TearDown();
    }
    void writeFile(const std::string& relative, std::string_view text) const {
        std::filesystem::create_directories((tempRoot / relative).parent_path());
        ASSERT_TRUE(writeFileAtomically((tempRoot / relative).string(), text).ok());
    }
    std::shared_ptr<Global> global() const { return Global::shared(); }

    std::filesystem::path tempRoot;
};

// The same on a tablet.
struct TabletToolkitTest : ToolkitTest {
    const char* deviceName() const override { return "tablet"; }
};
