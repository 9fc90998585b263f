// Shared set-up for the tests of the library following its folder: pictures written elsewhere and
// copied in as another program does, and a settlement once the watch has the files.
#pragma once

#include <filesystem>
#include <fstream>

#include "photos_test_support.h"
#include "tests/support/reachable_temp_folder.h"

constexpr double kEventWait = 10;  // real seconds for the kernel's events

struct FolderTest : PhotosTest {
    void SetUp() override {
        PhotosTest::SetUp();
        // Cases that act as another user need a folder that user can reach.
        folder = testsupport::makeFolderOthersCanEnter("korva-photos");
        ASSERT_FALSE(folder.empty());
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        library = PHPhotoLibrary::sharedPhotoLibrary();
        library->registerChangeObserver(observer);
        outside = folder.string() + "-outside";
        std::filesystem::create_directories(outside);
    }
    void TearDown() override {
        library = nullptr;
        PhotosTest::TearDown();
        std::filesystem::remove_all(outside);
    }
    // A picture written elsewhere, as another program has it before copying it in.
    std::filesystem::path picture(const std::string& name, int w, int h) {
        auto path = outside / name;
        auto data = jpeg(w, h);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
        return path;
    }
    void copyIn(const std::string& name, int w = 16, int h = 12) {
        std::filesystem::copy_file(picture(name, w, h), folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // Once the watch has the files, the Clock passes the quiet spell and the notice comes.
    void settle(PHPhotoLibrary& lib, const std::vector<std::string>& names,
                double seconds = PHPhotoLibrary::kFolderQuiet) {
        ASSERT_TRUE(lib.waitForFolderChanges(names, kEventWait)) << names.front();
        Clock::advanceVirtual(seconds);
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
    // Once the watch has news of the folder itself, the same.
    void folderNews(PHPhotoLibrary& lib, PHPhotoLibrary::FolderWait news) {
        ASSERT_TRUE(lib.waitForFolderChanges({}, kEventWait, news));
        Clock::advanceVirtual(PHPhotoLibrary::kFolderQuiet);
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
    std::shared_ptr<PHFetchResult> newestFirst() {
        auto o = PHFetchOptions::make();
        o->sortDescriptors.push_back({"creationDate", false});
        return PHAsset::fetchAssetsWithOptions(o);
    }

    std::shared_ptr<PHPhotoLibrary> library;
    std::shared_ptr<ChangeRecorder> observer = std::make_shared<ChangeRecorder>();
    std::filesystem::path outside;
};
