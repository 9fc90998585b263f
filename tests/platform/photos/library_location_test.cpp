// Where the library lives by default: the user's pictures folder from the environment or the
// user-dirs file, with "$HOME" expanded.
#include "platform/photos/library_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

// Sets an environment variable for the scope and restores it after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(LibraryLocationTest, PicturesFolderComesFromTheEnvironmentThenUserDirsThenHome) {
    auto config = std::filesystem::temp_directory_path() / "korva-user-dirs";
    std::filesystem::create_directories(config);
    ScopedEnv home("HOME", "/home/tester");
    ScopedEnv xdgConfig("XDG_CONFIG_HOME", config.string());
    {
        ScopedEnv pictures("XDG_PICTURES_DIR", "/data/Bilder");
        EXPECT_EQ(defaultPhotoLibraryDirectory(), "/data/Bilder/Korva");
    }
    ScopedEnv pictures("XDG_PICTURES_DIR", std::nullopt);
    std::ofstream(config / "user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                             << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                             << "XDG_PICTURES_DIR=\"$HOME/Kuvat\"\n";
    EXPECT_EQ(defaultPhotoLibraryDirectory(), "/home/tester/Kuvat/Korva");
    // A relative or missing entry falls back to ~/Pictures.
    std::ofstream(config / "user-dirs.dirs", std::ios::trunc) << "XDG_PICTURES_DIR=\"Kuvat\"\n";
    EXPECT_EQ(defaultPhotoLibraryDirectory(), "/home/tester/Pictures/Korva");
    std::filesystem::remove_all(config);
    EXPECT_EQ(defaultPhotoLibraryDirectory(), "/home/tester/Pictures/Korva");
}
