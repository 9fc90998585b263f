// A test fixture with a fresh data folder and bundle folder, a fresh Global and system services,
// on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "foundation/global.h"
#include "foundation/system_services.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/dispatch/virtual_clock.h"
#include "tests/support/temp_app_folders.h"

class TempSandboxTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        folders_.create("korva-foundation",
                        "<key>CFBundleDisplayName</key><string>Korva</string>"
                        "<key>CFBundleName</key><string>KorvaName</string>"
                        "<key>CFBundleShortVersionString</key><string>2.5</string>");
        root_ = folders_.root();
        UIScreen::setMainScreen(UIScreen::make());
    }

    void TearDown() override {
        folders_.remove();
        VirtualClockTest::TearDown();
    }

    // Relative to the temporary root.
    std::string pathOf(const std::string& relative) const { return (root_ / relative).string(); }
    void writeFile(const std::string& relative, std::string_view text) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        ASSERT_TRUE(writeFileAtomically(pathOf(relative), text).ok());
    }
    std::string readFile(const std::string& path) const {
        auto data = readFileData(path);
        return data ? std::string(data->begin(), data->end()) : std::string();
    }

    TempAppFolders folders_;
    std::filesystem::path root_;
};
