// The photo editor on a photograph-like library photo: loaded, with a look chosen, held (the
// unfiltered photo), the metadata pop-up open and the saved photo's flight into the save button
// half-way; the crop screen at rest, in the middle of a corner drag and with its ratio sheet open;
// the image-source editor.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <thread>

#include "app/base/my_view_controller.h"
#include "editor/browser/filter_list_view.h"
#include "editor/crop/crop_view_controller.h"
#include "editor/photo/edit_controller.h"
#include "editor/photo/pop_exif_view.h"
#include "editor/source/pop_adj_source_view.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "platform/dispatch/queue.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "tools/gallery/gallery.h"
#include "ui/ui_services.h"

namespace {

// Sky, sun, hills and a grey ramp, stored as a camera JPEG with its metadata.
Bytes cameraPhoto(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    auto mix = [](double a, double b, double t) { return a + (b - a) * std::clamp(t, 0.0, 1.0); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double u = double(x) / w, v = double(y) / h;
            double cr = mix(0.25, 0.95, v / 0.55), cg = mix(0.47, 0.78, v / 0.55), cb = mix(0.85, 0.62, v / 0.55);
            if (std::hypot(u - 0.72, v - 0.2) < 0.08) cr = 1, cg = 0.93, cb = 0.6;
            double hill = 0.6 + 0.06 * std::sin(u * 7.0);
            if (v > hill) cr = mix(0.2, 0.1, (v - hill) * 3), cg = mix(0.5, 0.3, (v - hill) * 3), cb = 0.15;
            if (v > 0.92) cr = cg = cb = u;
            auto* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(std::lround(255 * cr));
            p[1] = std::uint8_t(std::lround(255 * cg));
            p[2] = std::uint8_t(std::lround(255 * cb));
            p[3] = 255;
        }
    JpegEncodeOptions o;
    o.properties = Value::dictionary(
        {{"{TIFF}",
          Value::dictionary({{"Make", "Korva"}, {"Model", "Synthetic camera"}, {"DateTime", "2026:12:06 18:42:10"}})},
         {"{Exif}", Value::dictionary({{"ExposureTime", 0.008},
                                       {"FNumber", 1.8},
                                       {"ISOSpeedRatings", Value::array({100})},
                                       {"LensModel", "Back camera 4.2 mm f/1.8"},
                                       {"UserComment",
                                        "A long comment that wraps over more than one line of the table, "
                                        "as the camera's notes sometimes do."}})},
         {"{GPS}", Value::dictionary(
                       {{"Latitude", 60.1699}, {"LatitudeRef", "N"}, {"Longitude", 24.9384}, {"LongitudeRef", "E"}})}});
    auto data = encodeJpeg(r, o);
    return data ? *data : Bytes{};
}

std::shared_ptr<PHAsset> addToLibrary(const Bytes& data) {
    std::string id;
    auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        id = PHAssetChangeRequest::creationRequestForAssetFromImageData(data)
                 ->placeholderForCreatedAsset()
                 ->localIdentifier();
    });
    if (!done) return nullptr;
    auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
    return found ? found->firstObject() : nullptr;
}

// Lets background work and the main queue run until the condition holds.
template <class F>
void waitFor(GalleryPage& page, F&& done) {
    for (int i = 0; i < 3000 && !done(); ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        page.step(0.001);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void editorShots(GalleryPage& page) {
    auto asset = addToLibrary(cameraPhoto(1600, 1200));
    auto window = page.newWindow();
    auto editor = EditController::make();
    editor->setAsset(asset);
    window->setRootViewController(editor);
    page.step(0.1);
    waitFor(page, [&] { return editor->data().has_value(); });
    auto strip = editor->filterView()->fv()->itemList();
    waitFor(page, [&] { return strip->status() == FilterListView::Status::Loaded; });
    page.step(1.5);
    page.shotScreen("editor-loaded");

    strip->onFilterItemViewDidTap(*strip->loadedItems().at(2));
    page.step(1.0);
    page.shotScreen("editor-preset");

    auto press = UILongPressGestureRecognizer::make();
    press->setState(UIGestureRecognizerState::Began);
    editor->onImageLongPress(*press);
    page.step(0.1);
    page.shotScreen("editor-held-unfiltered");
    press->setState(UIGestureRecognizerState::Ended);
    editor->onImageLongPress(*press);
    page.step(0.1);

    editor->onInfo(editor->btnInfo()->shared_from_this());
    waitFor(page, [&] { return editor->exifView()->phase() == PopPhase::Shown; });
    page.step(0.5);
    page.shotScreen("metadata-popup");
    editor->exifView()->hide([] {});
    page.step(0.5);

    editor->onSave();
    waitFor(page, [&] { return !editor->isSaving() && !editor->actShowResultImage(); });
    page.step(0.5);
    page.shotScreen("saved-photo-flight-midway");
    page.step(1.0);
}

std::shared_ptr<UIImage> pictureOf(const Bytes& jpeg) {
    return UIImage::imageWithData(jpeg);
}

void cropShots(GalleryPage& page) {
    auto window = page.newWindow();
    auto host = UIViewController::make();
    window->setRootViewController(host);
    page.step(0.1);
    auto crop = CropViewController::make();
    crop->setImage(pictureOf(cameraPhoto(1200, 900)));
    auto nav = UINavigationController::withRoot(crop);
    host->presentViewController(nav, false);
    page.step(1.0);
    page.shotScreen("crop-at-rest");

    // The bottom-right corner dragged up and to the left, caught before the drag ends.
    auto rect = crop->cropView()->cropRectView();
    auto corner = rect->handle(CropHandle::BottomRight);
    rect->resizeControlViewDidBeginResizing(*corner);
    CGRect start = rect->frame();
    rect->setFrame(CGRectMake(start.origin.x, start.origin.y, start.size.width - 90, start.size.height - 60));
    crop->cropView()->cropRectViewEditingChanged(*rect);
    page.step(0.1);
    page.shotScreen("crop-corner-mid-drag");
    rect->resizeControlViewDidEndResizing(*corner);
    page.step(1.0);

    crop->constrain();
    page.step(1.0);
    page.shotScreen("crop-constrain-sheet");
}

void sourceShots(GalleryPage& page) {
    auto window = page.newWindow();
    auto screen = MyViewController::make();
    window->setRootViewController(screen);
    screen->view()->setBackgroundColor(UIColor::darkGrayColor());
    page.step(0.1);
    auto anchor = UIView::make(CGRectMake(150, 520, 90, 30));
    screen->view()->addSubview(anchor);
    auto editor = PopAdjSourceView::make(screen);
    editor->show(anchor, Value::dictionary({{"disp", "Background Image"}}), [] {});
    page.step(1.0);
    page.shotScreen("image-source-editor");
}

// The library and the presets' store files go to folders of their own, not the user's.
template <class F>
void inTemporaryFolders(F&& draw) {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / ("korva-gallery-editor-" + std::to_string(random()));
    std::filesystem::create_directories(dir / "library");
    Sandbox::setRoot(dir.string());
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    PHPhotoLibrary::setLibraryDirectory((dir / "library").string());
    registerUIServices();
    registerFilterServices();
    draw();
    DispatchQueue::waitUntilBackgroundIdle();
    PHPhotoLibrary::setLibraryDirectory("");
    PhotoLibraryAuthorization::reset();
    Sandbox::setRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace

void galleryPhotoEditor(GalleryPage& page) {
    inTemporaryFolders([&] {
        editorShots(page);
        cropShots(page);
        sourceShots(page);
    });
}
