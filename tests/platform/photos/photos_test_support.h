// Shared set-up for the photo-library tests: a temporary library folder and small JPEGs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/library_file_facts.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"

// Records the library's change notices.
struct ChangeRecorder : PHPhotoLibraryChangeObserver {
    std::vector<std::shared_ptr<PHChange>> changes;
    void photoLibraryDidChange(const std::shared_ptr<PHChange>& c) override { changes.push_back(c); }
};

class PhotosTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::useVirtual();
        setStampClockLeadForTesting(0);
        PhotoLibraryAuthorization::reset();
        std::random_device rd;
        folder = std::filesystem::temp_directory_path() / ("korva-photos-" + std::to_string(rd()));
        PHPhotoLibrary::setLibraryDirectory(folder.string());
    }
    void TearDown() override {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
        std::filesystem::remove_all(folder);
        setStampClockLeadForTesting(0);
    }
    // Stamps taken from here on stand for an open long after each file's last change, so that an
    // unchanged file is trusted without a read however soon the test opens the library again.
    static void stampLongAfter() { setStampClockLeadForTesting(std::int64_t{60} * 1000000000); }

    static Bytes jpeg(int w, int h, Value properties = {}) {
        RasterRGBA8 r = makeRaster(w, h);
        for (std::size_t i = 0; i < r.pixels.size(); i += 4) r.pixels[i] = 200, r.pixels[i + 3] = 255;
        JpegEncodeOptions o;
        o.properties = properties;
        auto data = encodeJpeg(r, o);
        EXPECT_TRUE(data);
        return data ? *data : Bytes{};
    }

    // Saves one photo and returns its identifier (empty on failure).
    std::string save(Bytes data) {
        std::string id;
        auto r = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            auto request = PHAssetCreationRequest::creationRequestForAsset();
            request->addResourceWithType(PHAssetResourceType::Photo, std::move(data));
            id = request->placeholderForCreatedAsset()->localIdentifier();
        });
        return r ? id : "";
    }

    static std::size_t filesIn(const std::filesystem::path& dir) {
        std::size_t n = 0;
        for (auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().filename().string()[0] != '.') ++n;
        return n;
    }

    std::filesystem::path folder;
};
