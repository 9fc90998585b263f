// The photo editor: preview sizing and the strict context rule, the saved photo read back (full
// size, upright, metadata, pixels close to the original), failed saves, result animations only
// for saves, holding the preview, the zoom's return, the metadata pop-up and photos that cannot
// be edited.
#include <array>
#include <cstring>
#include <fstream>
#include <future>

#include "edit_controller_test_support.h"
#include "editor/photo/edit_photo_loader.h"
#include "editor/photo/edit_photo_rules.h"
#include "editor/photo/pop_exif_view.h"
#include "foundation/data_custom_photos.h"
#include "foundation/global.h"
#include "platform/image/cg_image.h"
#include "platform/image/ci_image.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/log.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "ui/popup/hud_view.h"

namespace {

// Mean absolute difference per channel between two upright rasters of one size.
double meanDifference(const RasterRGBA8& a, const RasterRGBA8& b) {
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    if (a.pixels.size() != b.pixels.size()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        if (i % 4 != 3) sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / (a.pixels.size() * 3 / 4);
}

RasterRGBA8 uprightOf(const Bytes& data) {
    ImageDecodeOptions o;
    o.applyOrientation = true;
    auto d = decodeImage(data, o);
    EXPECT_TRUE(d);
    return d ? d->raster : RasterRGBA8{};
}

std::size_t flyingViews(const std::shared_ptr<EditController>& e) {
    std::size_t n = 0;
    for (const auto& v : e->view()->subviews())
        if (std::dynamic_pointer_cast<UIImageView>(v)) ++n;
    return n;
}

// "yyyy:MM:dd HH:mm:ss"
bool looksLikeDateTime(const std::string& s) {
    const std::string shape = "dddd:dd:dd dd:dd:dd";
    if (s.size() != shape.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(s[i])) : s[i] != shape[i]) return false;
    return true;
}

std::shared_ptr<PHAsset> newest() {
    auto o = PHFetchOptions::make();
    o->sortDescriptors = {{"creationDate", false}};
    auto r = PHAsset::fetchAssetsWithOptions(o);
    return r ? r->firstObject() : nullptr;
}

}  // namespace

TEST(EditPhotoRules, PreviewBoundAndTheStrictContextChoice) {
    EXPECT_EQ(editPreviewBound({800, 600}, {4096, 4096}), (CGSize{800, 600}));
    CGSize big = editRatioSize({4032, 3024}, editPreviewBound({4032, 3024}, {4096, 4096}));
    EXPECT_EQ(big, (CGSize{1000, 750}));
    EXPECT_EQ(editRatioSize({4032, 3024}, editPreviewBound({4032, 3024}, {640, 640})), (CGSize{640, 480}));
    EXPECT_EQ(editRatioSize({3024, 4032}, editPreviewBound({3024, 4032}, {4096, 4096})), (CGSize{750, 1000}));
    EXPECT_EQ(editPreviewBound({1000, 1000}, {4096, 4096}), (CGSize{1000, 1000}));

    EXPECT_TRUE(editSavesOnGPU({4095, 4095}, {4096, 4096}));
    EXPECT_FALSE(editSavesOnGPU({4096, 100}, {4096, 4096}));
    EXPECT_FALSE(editSavesOnGPU({100, 4096}, {4096, 4096}));
}

TEST(EditPhotoRules, SavedMetadataKeepsTheOriginalsAndTurnsItUpright) {
    auto original = Value::dictionary({{"Orientation", 6},
                                       {"DPIWidth", 72},
                                       {"{TIFF}", Value::dictionary({{"Make", "Korva"}, {"Orientation", 6}})},
                                       {"{Exif}", Value::dictionary({{"FNumber", 1.8}})},
                                       {"{GPS}", Value::dictionary({{"Latitude", 60.1}})},
                                       {"{MakerNotes}", Value::dictionary({{"x", 1}})}});
    auto saved = editSavedMetadata(original, {40, 60}, "Korva", "2026:12:07 02:30:00");
    auto& d = *saved.dictionaryPtr();
    EXPECT_EQ(d.find("Orientation")->description(), "1");
    EXPECT_EQ(d.find("PixelWidth")->description(), "40");
    EXPECT_EQ(d.find("DPIWidth")->description(), "72");
    EXPECT_FALSE(d.find("{MakerNotes}"));
    auto& tiff = *d.find("{TIFF}")->dictionaryPtr();
    EXPECT_EQ(tiff.find("Software")->description(), "Korva");
    EXPECT_EQ(tiff.find("DateTime")->description(), "2026:12:07 02:30:00");
    EXPECT_EQ(tiff.find("Orientation")->description(), "1");
    EXPECT_EQ(d.find("{Exif}")->dictionaryPtr()->find("PixelYDimension")->description(), "60");
    // The original is left as it was.
    EXPECT_EQ(original.dictionaryPtr()->find("{TIFF}")->dictionaryPtr()->find("Software"), nullptr);
    // Without a TIFF dictionary none is written.
    auto bare = editSavedMetadata(Value::dictionary({{"Orientation", 3}}), {10, 10}, "K", "T");
    EXPECT_FALSE(bare.dictionaryPtr()->find("{TIFF}"));
}

TEST_F(EditorTest, LoadsAPreviewWithinTheBoundAndShowsTheCatalogue) {
    auto small = addPhoto(jpegOf(markedRaster(800, 600)));
    open(small);
    ASSERT_TRUE(editor->data());
    EXPECT_EQ(editor->imageSize(), (CGSize{800, 600}));
    EXPECT_EQ(editor->imageBuffer()->extent().size, (CGSize{800, 600}));
    EXPECT_FALSE(editor->filterView()->isHidden());
    EXPECT_TRUE(editor->imageView()->image());
    EXPECT_LE(editor->imageFilter()->extent().size.width,
              std::round(editor->filterView()->fv()->itemList()->itemSize().width));

    window->setRootViewController(nullptr);
    auto large = addPhoto(jpegOf(markedRaster(2000, 1500)));
    open(large);
    EXPECT_EQ(editor->imageSize(), (CGSize{2000, 1500}));
    EXPECT_EQ(editor->imageBuffer()->extent().size, (CGSize{1000, 750}));
}

TEST_F(EditorTest, TheSavedPhotoIsFullSizeUprightWithTheOriginalsMetadataAndCloseToIt) {
    // Stored on its side: 90 x 60 with orientation 6 is 60 x 90 upright.
    auto properties = Value::dictionary({{"Orientation", 6},
                                         {"{TIFF}", Value::dictionary({{"Make", "Korva"}, {"Orientation", 6}})},
                                         {"{Exif}", Value::dictionary({{"FNumber", 1.8}, {"ExposureTime", 0.01}})},
                                         {"{GPS}", Value::dictionary({{"Latitude", 60.17}, {"LatitudeRef", "N"}})}});
    Bytes original = jpegOf(markedRaster(90, 60), properties);
    auto asset = addPhoto(original);
    open(asset);
    ASSERT_TRUE(editor->data());
    EXPECT_EQ(*editor->data(), original) << "the library's bytes are kept as they came";

    editor->onFilterAttrChanged(sepia(0));
    editor->onSave();
    EXPECT_TRUE(editor->isSaving());
    drain(12);
    EXPECT_FALSE(editor->isSaving());
    EXPECT_EQ(alertShown(), "");
    auto saved = newest();
    ASSERT_TRUE(saved);
    ASSERT_NE(saved->localIdentifier(), asset->localIdentifier());
    auto bytes = readFileBytes(saved->filePath());
    ASSERT_TRUE(bytes);

    auto info = readImageInfo(*bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 60);
    EXPECT_EQ(info->height, 90);
    EXPECT_EQ(info->orientation, 1);
    Value meta = getMetadata(*bytes);
    ASSERT_TRUE(meta.isDictionary());
    auto& d = *meta.dictionaryPtr();
    ASSERT_TRUE(d.find("{TIFF}") && d.find("{Exif}") && d.find("{GPS}"));
    auto& tiff = *d.find("{TIFF}")->dictionaryPtr();
    EXPECT_EQ(tiff.find("Software")->description(), Global::shared()->appName());
    EXPECT_TRUE(looksLikeDateTime(tiff.find("DateTime")->description())) << tiff.find("DateTime")->description();
    EXPECT_EQ(tiff.find("Make")->description(), "Korva");
    EXPECT_NEAR(d.find("{GPS}")->dictionaryPtr()->find("Latitude")->doubleValue(), 60.17, 1e-6);
    EXPECT_NEAR(d.find("{Exif}")->dictionaryPtr()->find("FNumber")->doubleValue(), 1.8, 1e-6);

    // Upright pixels close to the original's: nearer than a second encode at quality 0.5 would be.
    RasterRGBA8 reference = uprightOf(original);
    double ours = meanDifference(uprightOf(*bytes), reference);
    double reencoded = meanDifference(uprightOf(jpegOf(uprightOf(jpegOf(reference, {}, 0.5)))), reference);
    EXPECT_LT(ours, reencoded);
    // Red on the left of the stored picture is at the top once turned upright.
    EXPECT_GT(uprightOf(*bytes).pixels[(5 * 60 + 30) * 4], 150);
}

TEST_F(EditorTest, AFailedSaveSaysSoAndLeavesNothingBehind) {
    auto asset = addPhoto(jpegOf(markedRaster(64, 48)));
    open(asset);
    editor->onSave();
    advance(0.5);
    EXPECT_EQ(alertShown(), EditController::kNoFilter);
    tapAlertOK();

    editor->onFilterAttrChanged(sepia(0.8));
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    editor->onSave();
    drain(12);
    advance(1);
    // The heading, then why: the library's reason, once.
    EXPECT_EQ(alertShown(), std::string(EditController::kNotSaved) + "\nthe photo library is not authorized");
    EXPECT_FALSE(editor->actShowResultImage());
    EXPECT_FALSE(editor->isSaving());
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 1u);
    std::size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(tempRoot / "library"))
        if (e.path().filename().string()[0] != '.') ++files;
    EXPECT_EQ(files, 1u);
    tapAlertOK();

    // A library folder that cannot be made is named by its own name, not by its whole path.
    std::ofstream(tempRoot / "blocked") << "a file where a folder would go";
    PHPhotoLibrary::setLibraryDirectory((tempRoot / "blocked" / "Korva").string());
    editor->onSave();
    drain(12);
    advance(1);
    EXPECT_EQ(alertShown(),
              std::string(EditController::kNotSaved) +
                  "\nthe photo library is unavailable: cannot create the folder Korva: " + std::strerror(ENOTDIR));
    tapAlertOK();
    PHPhotoLibrary::setLibraryDirectory((tempRoot / "library").string());

    // A later change in the library shows no result for the failed save.
    addPhoto(jpegOf(markedRaster(20, 20)));
    drain();
    EXPECT_EQ(flyingViews(editor), 0u);
}

TEST_F(EditorTest, OnlyASavedPhotoFliesIntoTheSaveButton) {
    auto asset = addPhoto(jpegOf(markedRaster(64, 48)));
    open(asset);
    addPhoto(jpegOf(markedRaster(30, 30)));  // someone else's photo
    drain();
    EXPECT_EQ(flyingViews(editor), 0u);

    editor->onFilterAttrChanged(sepia(0.5));
    editor->onSave();
    drain(12);
    EXPECT_EQ(flyingViews(editor), 1u);
    EXPECT_FALSE(editor->actShowResultImage());
    advance(1.5);
    EXPECT_EQ(flyingViews(editor), 0u);
}

TEST_F(EditorTest, SavePressedTwiceSavesOnce) {
    auto asset = addPhoto(jpegOf(markedRaster(64, 48)));
    open(asset);
    editor->onFilterAttrChanged(sepia(0.5));
    editor->onSave();
    editor->onSave();  // a second press while the first save runs
    drain(12);
    advance(0.1);
    drain(12);
    EXPECT_FALSE(editor->isSaving());
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u) << "the original and one edit";
    editor->onSave();  // once done, saving again is a new save
    drain(12);
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 3u);
}

// What the user started is kept whatever the screen does. The close button pressed in the same
// batch of input as save (no run-loop turn or layout between them) lands on the save's HUD: the
// editor stays until the photo is written, and the button then closes it. An editor its opener lets
// go of before its render comes back still adds the photo, and a write that fails then is logged.
TEST_F(EditorTest, ASaveEndsInTheLibraryWhateverBecomesOfTheEditor) {
    auto asset = addPhoto(jpegOf(markedRaster(640, 480)));
    open(asset);
    editor->onFilterAttrChanged(sepia(0.5));
    auto middle = [](const std::shared_ptr<UIView>& v) {
        return v->convertPointToView({CGRectGetMidX(v->bounds()), CGRectGetMidY(v->bounds())}, nullptr);
    };
    long id = 9100;
    for (const auto& button : {editor->btnSave(), editor->btnDone()}) {
        ++id;
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, middle(button), UITouchPhase::Began}}});
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, middle(button), UITouchPhase::Ended}}});
    }
    EXPECT_TRUE(editor->isSaving());
    drain(12);
    EXPECT_EQ(closer->done, 0) << "the close went through the HUD";
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    tap(middle(editor->btnDone()));
    EXPECT_EQ(closer->done, 1);

    // Let go of before the main thread turns again, so the render's result always comes after.
    auto released = [&] {
        editor->onSave();
        std::weak_ptr<EditController> weak = editor;
        window->setRootViewController(nullptr);
        editor.reset();
        EXPECT_TRUE(weak.expired());
        drain(12);
    };
    released();
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 3u);
    auto saved = newest();
    ASSERT_TRUE(saved);
    auto info = readImageInfo(*readFileBytes(saved->filePath()));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 640);

    open(asset);
    editor->onFilterAttrChanged(sepia(0.5));
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    LogCapture log;
    released();
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    EXPECT_TRUE(log.contains("photo not saved: the photo library is not authorized")) << log.lines().size();
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 3u);
}

TEST_F(EditorTest, HoldingShowsTheUnfilteredPhotoAndTheZoomReturnsToOne) {
    auto asset = addPhoto(jpegOf(markedRaster(64, 48)));
    open(asset);
    auto unfiltered = editor->imageView()->image();
    editor->onFilterAttrChanged(sepia(1));
    auto filtered = editor->imageView()->image();
    ASSERT_TRUE(unfiltered && filtered);
    ASSERT_NE(unfiltered, filtered);
    auto pixel = [](const std::shared_ptr<UIImage>& i) {
        auto cg = i->cgImage();
        const std::uint8_t* p = cg->row(cg->height() / 2) + 4 * (cg->width() / 4);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    auto press = UILongPressGestureRecognizer::make();
    press->setState(UIGestureRecognizerState::Began);
    editor->onImageLongPress(*press);
    EXPECT_EQ(pixel(editor->imageView()->image()), pixel(unfiltered));
    press->setState(UIGestureRecognizerState::Ended);
    editor->onImageLongPress(*press);
    EXPECT_EQ(pixel(editor->imageView()->image()), pixel(filtered));

    auto cancelled = UILongPressGestureRecognizer::make();
    cancelled->setState(UIGestureRecognizerState::Began);
    editor->onImageLongPress(*cancelled);
    cancelled->setState(UIGestureRecognizerState::Cancelled);
    editor->onImageLongPress(*cancelled);
    EXPECT_EQ(pixel(editor->imageView()->image()), pixel(unfiltered)) << "until the next update";

    CGRect rest = editor->scrollView()->frame();
    editor->scrollViewWillBeginZooming(*editor->scrollView(), editor->imageView());
    EXPECT_EQ(editor->scrollView()->frame(), editor->view()->bounds());
    editor->scrollView()->setZoomScale(3);
    editor->scrollViewDidEndZooming(*editor->scrollView(), editor->imageView(), 3);
    advance(1);
    EXPECT_EQ(editor->scrollView()->zoomScale(), 1);
    EXPECT_EQ(editor->scrollView()->frame(), rest);
}

TEST_F(EditorTest, TheInfoButtonShowsThePhotosMetadata) {
    auto asset =
        addPhoto(jpegOf(markedRaster(64, 48), Value::dictionary({{"{Exif}", Value::dictionary({{"FNumber", 2.8}})}})));
    open(asset);
    editor->onInfo(editor->btnInfo()->shared_from_this());
    drain();
    advance(1);
    auto pop = editor->exifView();
    EXPECT_EQ(pop->phase(), PopPhase::Shown);
    EXPECT_NE(std::find(pop->secLabels().begin(), pop->secLabels().end(), "{Exif}"), pop->secLabels().end());
}

TEST_F(EditorTest, ThePhotoIsDecodedAwayFromTheScreenWhileTheBusyIndicatorShows) {
    auto asset = addPhoto(jpegOf(markedRaster(2400, 1800)));
    editor = EditController::make();
    editor->setDelegate(closer);
    editor->setAsset(asset);
    // The load queue held until the screen has been seen at work.
    auto gate = std::make_shared<std::promise<void>>();
    editor->loadQueue()->async([opened = gate->get_future().share()] { opened.wait(); });
    window->setRootViewController(editor);
    for (int i = 0; i < 5; ++i) {
        settle();
        advance(0.1);
    }
    // The main thread turns and draws; the photo is still being read and decoded.
    EXPECT_TRUE(editor->isLoading());
    EXPECT_TRUE(editor->hudAct()->shown());
    EXPECT_FALSE(editor->data());
    EXPECT_TRUE(editor->filterView()->isHidden());
    gate->set_value();
    drain();
    EXPECT_FALSE(editor->isLoading());
    EXPECT_FALSE(editor->hudAct()->shown());
    ASSERT_TRUE(editor->data());
    EXPECT_EQ(editor->imageSize(), (CGSize{2400, 1800}));
    EXPECT_TRUE(editor->imageView()->image());
    EXPECT_FALSE(editor->filterView()->isHidden());

    // One read of the library: the photo itself, not the newest photo besides for no result.
    auto manager = PHImageManager::defaultManager();
    auto first = manager->requestImageDataAndOrientationForAsset(asset, {}, nullptr);
    window->setRootViewController(nullptr);
    drain();
    open(asset);
    EXPECT_EQ(manager->requestImageDataAndOrientationForAsset(asset, {}, nullptr), first + 2);
}

TEST_F(EditorTest, TheLibraryAndTheEditorAgreeOnTheLargestPhoto) {
    // Wider than the GPU context takes, within the one limit: listed, and the editor opens it.
    auto wide = addPhoto(jpegOf(markedRaster(9000, 40)));
    ASSERT_TRUE(wide) << "the library lists it";
    open(wide);
    advance(1);
    EXPECT_EQ(alertShown(), "");
    ASSERT_TRUE(editor->data());
    EXPECT_EQ(editor->imageSize(), (CGSize{9000, 40}));
    editor->onFilterAttrChanged(sepia(0.3));
    editor->onSave();
    drain(12);
    EXPECT_EQ(alertShown(), "");
    auto saved = newest();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->pixelWidth(), 9000);
    window->setRootViewController(nullptr);
    drain();

    // Over it: the library refuses it, and so does the editor's decoding.
    Bytes over = jpegOf(markedRaster(kMaxPhotoSide + 1, 8));
    EXPECT_FALSE(TempPhotoLibrary::add(over)) << "not listed";
    auto contexts = FilterContext::make();
    auto refused = loadEditPhoto(over, {80, 80}, *contexts->ciGPU(), *contexts->ciCPU());
    ASSERT_FALSE(refused);
    auto atLimit =
        loadEditPhoto(jpegOf(markedRaster(kMaxPhotoSide, 8)), {80, 80}, *contexts->ciGPU(), *contexts->ciCPU());
    EXPECT_TRUE(atLimit) << (atLimit ? "" : atLimit.error());
}

TEST_F(EditorTest, PhotosThatCannotBeEditedLeaveThroughTheDelegate) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> damage;
    };
    auto cut = [](const std::string& path) {
        auto bytes = readFileBytes(path);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size() / 3));
    };
    for (const Case& c :
         {Case{"truncated", cut}, Case{"empty", [](const std::string& p) { std::ofstream(p, std::ios::trunc); }},
          Case{"not an image", [](const std::string& p) { std::ofstream(p, std::ios::trunc) << "hello"; }},
          Case{"removed", [](const std::string& p) { std::filesystem::remove(p); }}}) {
        SCOPED_TRACE(c.name);
        auto asset = addPhoto(jpegOf(markedRaster(64, 48)));
        ASSERT_TRUE(asset);
        c.damage(asset->filePath());
        int before = closer->done;
        open(asset);
        advance(1);
        EXPECT_EQ(alertShown(), EditController::kNotAccessible);
        EXPECT_FALSE(editor->data());
        editor->onFilterAttrChanged(sepia(0.5));
        editor->onSave();  // nothing is saved from an undecoded photo
        EXPECT_FALSE(editor->isSaving());
        tapAlertOK();
        EXPECT_EQ(closer->done, before + 1);
        window->setRootViewController(nullptr);
        drain();
    }
    open(nullptr);
    advance(1);
    EXPECT_EQ(alertShown(), EditController::kNotAccessible);
}
