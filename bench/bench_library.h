// A photo library of the benchmark's own: a sandbox and a library folder under a fresh temporary
// folder, authorised, on the headless notched screen with the virtual clock and the application's
// services. Held for main's whole run; the destructor drains the queues and removes the folder.
#pragma once

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "bench/bench_host.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/heap_trimmer.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "ui/ui_services.h"

class BenchLibrary {
public:
    explicit BenchLibrary(const std::string& name) : root_(freshFolder(name)) {
        HeapTrimmer::mapLargeBlocks();  // as the program does first in main
        std::filesystem::create_directories(root_ / "library");
        Sandbox::setRoot(root_.string());
        PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
        PHPhotoLibrary::setLibraryDirectory((root_ / "library").string());
        Clock::useVirtual();
        host_ = std::make_unique<HeadlessHost>(notchedHeadlessScreen());
        registerUIServices();
        registerFilterServices();
    }
    ~BenchLibrary() {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
        PhotoLibraryAuthorization::reset();
        Sandbox::setRoot("");
        host_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    BenchLibrary(const BenchLibrary&) = delete;
    BenchLibrary& operator=(const BenchLibrary&) = delete;

    HeadlessHost& host() { return *host_; }

    // The photo added in one change, or the library's reason for refusing it.
    static Result<std::shared_ptr<PHAsset>> add(const Bytes& data) {
        std::string id;
        auto added = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            if (auto r = PHAssetChangeRequest::creationRequestForAssetFromImageData(data))
                id = r->placeholderForCreatedAsset()->localIdentifier();
        });
        if (!added) return fail(added.error());
        auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
        auto asset = found ? found->firstObject() : nullptr;
        if (!asset) return fail("the library did not take the photo");
        return asset;
    }

private:
    static std::filesystem::path freshFolder(const std::string& name) {
        std::random_device random;
        return std::filesystem::temp_directory_path() / ("korva-" + name + "-" + std::to_string(random()));
    }

    std::filesystem::path root_;
    std::unique_ptr<HeadlessHost> host_;
};
