// The photo editor's tests: the browser fixture's presets and screen, a temporary authorised
// library filled with JPEGs made here, and an editor opened on one of them.
#pragma once

#include <filesystem>

#include "editor/photo/edit_controller.h"
#include "filter/filter_my_element.h"
#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "tests/editor/browser_test_support.h"
#include "tests/support/temp_photo_library.h"

struct Closer : EditControllerDelegate {
    int done = 0;
    void onEditControllerDone(const std::shared_ptr<UIViewController>&) override { ++done; }
};

// A picture with a left half red and a right half blue over a soft vertical gradient.
inline RasterRGBA8 markedRaster(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            bool left = x < w / 2;
            auto shade = std::uint8_t(40 * y / h);
            p[0] = left ? std::uint8_t(220 - shade) : shade;
            p[1] = std::uint8_t(60 + shade);
            p[2] = left ? shade : std::uint8_t(220 - shade);
            p[3] = 255;
        }
    return r;
}

struct EditorTest : BrowserTest {
    std::shared_ptr<Closer> closer = std::make_shared<Closer>();
    std::shared_ptr<EditController> editor;
    TempPhotoLibrary library;

    void SetUp() override {
        BrowserTest::SetUp();
        library.open(tempRoot / "library");
    }
    void TearDown() override {
        drain();
        if (editor) window->setRootViewController(nullptr);
        editor.reset();
        drain();
        library.close();
        BrowserTest::TearDown();
    }
    void drain(int turns = 6) {
        for (int i = 0; i < turns; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    static Bytes jpegOf(const RasterRGBA8& r, Value properties = {}, double quality = 0.95) {
        JpegEncodeOptions o;
        o.properties = std::move(properties);
        o.quality = quality;
        auto data = encodeJpeg(r, o);
        EXPECT_TRUE(data);
        return data ? *data : Bytes{};
    }
    std::shared_ptr<PHAsset> addPhoto(const Bytes& data) {
        auto asset = TempPhotoLibrary::add(data);
        EXPECT_TRUE(asset);
        advance(1);  // later photos are newer
        return asset;
    }
    std::shared_ptr<EditController> open(const std::shared_ptr<PHAsset>& asset) {
        editor = EditController::make();
        editor->setDelegate(closer);
        editor->setAsset(asset);
        window->setRootViewController(editor);
        settle();
        drain();
        return editor;
    }
    std::string alertShown() const {
        auto a = editor ? std::dynamic_pointer_cast<UIAlertController>(editor->presentedViewController()) : nullptr;
        return a ? a->message() : "";
    }
    void tapAlertOK() {
        auto a = std::dynamic_pointer_cast<UIAlertController>(editor->presentedViewController());
        ASSERT_TRUE(a);
        ASSERT_FALSE(a->actions().empty());
        a->chooseAction(a->actions().front());
        advance(1);
        drain();
    }
    static std::shared_ptr<FilterMyElement> sepia(double intensity) {
        return FilterMyElement::withDesc(sepiaDesc("TEST", intensity));
    }
};
