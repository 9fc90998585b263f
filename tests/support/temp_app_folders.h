// A fresh data folder and bundle folder under a temporary root, installed as the sandbox and the
// main bundle, with a fresh Global, system services and named-image cache; `remove` puts
// everything back and deletes the folder. Fixtures hold one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "foundation/global.h"
#include "foundation/system_services.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/draw/image.h"

class TempAppFolders {
public:
    // Makes "<tmp>/<prefix>-N-N/{data,bundle}" with the given Info.plist dictionary entries.
    void create(const std::string& prefix, std::string_view infoEntries) {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                (prefix + "-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "data");
        std::filesystem::create_directories(root_ / "bundle");
        writeFile("bundle/Info.plist",
                  std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>") +
                      std::string(infoEntries) + "</dict></plist>");
        Sandbox::setRoot((root_ / "data").string());
        NSBundle::setMainBundleRoot((root_ / "bundle").string());
        UIImage::clearNamedImageCache();
        SystemServices::setShared(nullptr);
        Global::resetSharedForTesting();
    }

    void remove() {
        Global::resetSharedForTesting();
        SystemServices::setShared(nullptr);
        UIImage::clearNamedImageCache();
        NSBundle::setMainBundleRoot("");
        Sandbox::setRoot("");
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    const std::filesystem::path& root() const { return root_; }
    std::string pathOf(const std::string& relative) const { return (root_ / relative).string(); }
    void writeFile(const std::string& relative, std::string_view text) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        ASSERT_TRUE(writeFileAtomically(pathOf(relative), text).ok());
    }

private:
    std::filesystem::path root_;
};
