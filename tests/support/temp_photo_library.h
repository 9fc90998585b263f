// A photo library of its own for a test: authorised, in a folder that is removed afterwards, and
// photos added to it in one change each. Set up in SetUp, torn down in TearDown, so that the
// library's queue and the main queue are drained before the folder goes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"

struct TempPhotoLibrary {
    std::filesystem::path folder;

    void open(const std::filesystem::path& where) {
        folder = where;
        PhotoLibraryAuthorization::reset();
        PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
        PHPhotoLibrary::setLibraryDirectory(folder.string());
    }
    void close() {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
        PhotoLibraryAuthorization::reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    // The new asset, or none when the library refused the data.
    static std::shared_ptr<PHAsset> add(const Bytes& data) {
        std::string id;
        auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            if (auto r = PHAssetChangeRequest::creationRequestForAssetFromImageData(data))
                id = r->placeholderForCreatedAsset()->localIdentifier();
        });
        if (!done || id.empty()) return nullptr;
        auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
        return found ? found->firstObject() : nullptr;
    }
};
