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
#include "tests/support/temp_app_folders.h"
#include "ui/ui_services.h"

struct ToolkitTest : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        folders.create("korva-ui", "<key>CFBundleDisplayName</key><string>Korva</string>");
        tempRoot = folders.root();
        writeFile("bundle/en.lproj/Localizable.strings", "\"Cancel\" = \"Peruuta\";\n\"LOADING\" = \"Loading...\";\n");
        registerUIServices();
    }
    void TearDown() override {
        folders.remove();
        UIHarness::TearDown();
    }
    void writeFile(const std::string& relative, std::string_view text) const { folders.writeFile(relative, text); }
    std::shared_ptr<Global> global() const { return Global::shared(); }

    TempAppFolders folders;
    std::filesystem::path tempRoot;
};

// The same on a tablet.
struct TabletToolkitTest : ToolkitTest {
    const char* deviceName() const override { return "tablet"; }
};
