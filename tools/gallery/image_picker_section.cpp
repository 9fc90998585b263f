// The photo picker over a library of varied pictures (one of whose files is gone, so its cell is
// grey), and over an empty library; the picker's camera on the synthetic camera; drawn on the
// phone, the tablet and the phone turned.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "platform/dispatch/queue.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "tools/gallery/gallery.h"

namespace {

constexpr int kPhotos = 23;

// A sky of one hue over a darker ground, with a sun placed by the index; portrait or landscape.
Bytes picture(int index) {
    bool portrait = index % 3 == 0;
    int w = portrait ? 240 : 320, h = portrait ? 320 : 240;
    RasterRGBA8 r = makeRaster(w, h);
    double hue = std::fmod(index * 0.13, 1.0);
    auto channel = [&](double shift, double v) {
        return std::uint8_t(std::lround(255 * v * (0.55 + 0.45 * std::cos(2 * M_PI * (hue + shift)))));
    };
    double sunX = 0.2 + 0.6 * std::fmod(index * 0.37, 1.0), sunY = 0.15 + 0.2 * std::fmod(index * 0.53, 1.0);
    double horizon = 0.55 + 0.1 * std::sin(index);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double u = double(x) / w, v = double(y) / h;
            auto* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            bool sun = std::hypot((u - sunX) * w, (v - sunY) * h) < 0.09 * w;
            bool ground = v > horizon + 0.05 * std::sin(u * 9 + index);
            double light = ground ? 0.35 - 0.2 * (v - horizon) : 0.95 - 0.4 * v;
            p[0] = sun ? 255 : channel(0.0, light);
            p[1] = sun ? 236 : channel(ground ? 0.5 : 0.33, light);
            p[2] = sun ? 170 : channel(ground ? 0.2 : 0.67, light);
            p[3] = 255;
        }
    auto data = encodeJpeg(r, JpegEncodeOptions{});
    return data ? *data : Bytes{};
}

std::shared_ptr<PHAsset> add(const Bytes& data, double created) {
    std::string id;
    auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        auto request = PHAssetChangeRequest::creationRequestForAssetFromImageData(data);
        request->setCreationDate(created);
        id = request->placeholderForCreatedAsset()->localIdentifier();
    });
    if (!done) return nullptr;
    auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
    return found ? found->firstObject() : nullptr;
}

// Thumbnails are made on other threads: let them come in.
void settle(GalleryPage& page) {
    for (int i = 0; i < 200; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        page.step(0.01);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// `before` runs once the grid shows, before the picture is taken.
void pickerShot(GalleryPage& page, const std::string& name,
                const std::function<void(UIImagePickerController&)>& before = nullptr) {
    auto window = page.newWindow();
    auto root = UIViewController::make();
    window->setRootViewController(root);
    page.step(0.1);
    auto picker = UIImagePickerController::make();
    root->presentViewController(picker, true);
    page.step(1.0);
    settle(page);
    if (before) {
        before(*picker);
        page.step(1.0);
        settle(page);
    }
    page.shotScreen(name);
    root->dismissViewControllerAnimated(false);
    page.step(0.1);
}

// The camera source: the host's camera (the synthetic one here) live under its bar.
void cameraShot(GalleryPage& page, const std::string& name) {
    auto window = page.newWindow();
    auto root = UIViewController::make();
    window->setRootViewController(root);
    page.step(0.1);
    auto picker = UIImagePickerController::make();
    if (!picker->setSourceType(UIImagePickerControllerSourceType::Camera)) return;
    root->presentViewController(picker, true);
    page.step(1.0);
    settle(page);
    page.shotScreen(name);
    root->dismissViewControllerAnimated(false);
    page.step(0.1);
    DispatchQueue::waitUntilBackgroundIdle();
}

template <class F>
void inTemporaryLibrary(F&& draw) {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / ("korva-gallery-picker-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    PHPhotoLibrary::setLibraryDirectory(dir.string());
    draw();
    DispatchQueue::waitUntilBackgroundIdle();
    PHPhotoLibrary::setLibraryDirectory("");
    PhotoLibraryAuthorization::reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace

void galleryImagePicker(GalleryPage& page) {
    inTemporaryLibrary([&] { pickerShot(page, "picker-empty-library"); });
    inTemporaryLibrary([&] {
        for (int i = 0; i < kPhotos; ++i) {
            auto asset = add(picture(i), 1000 + i);
            // The third newest photo's file is cut short: a grey cell.
            if (asset && i == kPhotos - 3)
                std::filesystem::resize_file(asset->filePath(), std::filesystem::file_size(asset->filePath()) / 2);
        }
        pickerShot(page, "picker-library");
    });
    // The newest photo's file deleted by another program and its cell tapped before the library
    // has heard: the alert, over the grid the library's notice has since taken the cell from.
    inTemporaryLibrary([&] {
        for (int i = 0; i < kPhotos; ++i) add(picture(i), 1000 + i);
        pickerShot(page, "picker-photo-gone", [](UIImagePickerController& picker) {
            const auto path = std::filesystem::path(picker.assets().front()->filePath());
            std::filesystem::remove(path);
            picker.pickAssetAtIndex(0);
            (void)PHPhotoLibrary::sharedPhotoLibrary()->waitForFolderChanges({path.filename().string()}, 10);
        });
    });
    cameraShot(page, "picker-camera");
}
