// Photo library access over a temporary library: the authorisation table, change notices only
// for changes that touch the fetch and only while the screen is visible, the fetch's two ends,
// sized pictures, properties, deletion and the picker.
#include "editor/photo/my_photos.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/my_view_controller.h"
#include "editor/photo/ph_fetch_result_custom.h"
#include "platform/dispatch/queue.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/draw/image.h"
#include "tests/support/temp_photo_library.h"
#include "tests/ui/ui_test_support.h"

namespace {

struct Listener : MyPhotosDelegate {
    std::vector<std::size_t> counts;  // the fetch's size at each notice
    void onMyPhotosChanged(MyPhotos& photos) override { counts.push_back(photos.count()); }
};

struct MyPhotosTest : ToolkitTest {
    std::shared_ptr<Listener> listener = std::make_shared<Listener>();
    std::shared_ptr<MyViewController> screen;
    TempPhotoLibrary library;

    void SetUp() override {
        ToolkitTest::SetUp();
        library.open(tempRoot / "library");
        screen = MyViewController::make();
        window->setRootViewController(screen);
        settle();
    }
    void TearDown() override {
        drain();
        window->setRootViewController(nullptr);
        library.close();
        ToolkitTest::TearDown();
    }
    void drain() {
        for (int i = 0; i < 5; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    std::string add(int w = 48, int h = 32) {
        RasterRGBA8 r = makeRaster(w, h);
        for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = i % 4 == 3 ? 255 : 90;
        JpegEncodeOptions o;
        o.properties = Value::dictionary({{"{Exif}", Value::dictionary({{"ExposureTime", 0.01}})}});
        auto data = encodeJpeg(r, o);
        auto asset = data ? TempPhotoLibrary::add(*data) : nullptr;
        EXPECT_TRUE(asset);
        advance(1);  // later photos are newer
        return asset ? asset->localIdentifier() : "";
    }
    std::string alertShown() const {
        auto a = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
        return a ? a->message() : "";
    }
};

}  // namespace

TEST_F(MyPhotosTest, AuthorisationTable) {
    struct Row {
        PHAuthorizationStatus status;
        std::size_t noticesAtConstruction, noticesAfterAppearance;
        bool alert;
    };
    for (Row row :
         {Row{PHAuthorizationStatus::Authorized, 1, 2, false}, Row{PHAuthorizationStatus::Denied, 1, 2, true},
          Row{PHAuthorizationStatus::Restricted, 1, 2, true}, Row{PHAuthorizationStatus::Limited, 0, 0, false}}) {
        SCOPED_TRACE(static_cast<int>(row.status));
        PhotoLibraryAuthorization::setStatus(row.status);
        auto l = std::make_shared<Listener>();
        auto photos = MyPhotos::initWithDelegate(l);
        drain();
        // No screen yet: an alert due now is not shown.
        EXPECT_EQ(l->counts.size(), row.noticesAtConstruction);
        EXPECT_EQ(alertShown(), "");
        EXPECT_EQ(photos->fetch() != nullptr, row.noticesAtConstruction > 0);

        photos->viewWillAppear(screen);
        drain();
        advance(1);
        EXPECT_EQ(l->counts.size(), row.noticesAfterAppearance);
        EXPECT_EQ(alertShown(), row.alert ? MyPhotos::kAuthorizationAlert : "");
        if (screen->presentedViewController()) screen->dismissViewControllerAnimated(false);
        photos->viewDidDisappear();
        drain();
        advance(1);
    }
}

TEST_F(MyPhotosTest, AnUndeterminedStatusAsksOnceAndFollowsTheAnswer) {
    add();
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::NotDetermined);
    PhotoLibraryAuthorization::setRequestAnswer(PHAuthorizationStatus::Authorized);
    auto granted = MyPhotos::initWithDelegate(listener);
    EXPECT_TRUE(listener->counts.empty()) << "the answer comes on the main queue";
    drain();
    EXPECT_EQ(listener->counts, std::vector<std::size_t>{1});

    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::NotDetermined);
    PhotoLibraryAuthorization::setRequestAnswer(PHAuthorizationStatus::Denied);
    auto refused = std::make_shared<Listener>();
    auto photos = MyPhotos::initWithDelegate(refused);
    drain();
    EXPECT_TRUE(refused->counts.empty());
    EXPECT_FALSE(photos->fetch());
    EXPECT_EQ(alertShown(), "");
}

TEST_F(MyPhotosTest, ChangesAreToldOnlyWhenTheyTouchTheFetchAndOnlyWhileVisible) {
    add();
    auto photos = MyPhotos::initWithDelegate(listener);
    photos->viewWillAppear(screen);
    drain();
    listener->counts.clear();

    add();
    drain();
    EXPECT_EQ(listener->counts, std::vector<std::size_t>{2}) << "once, with the refreshed fetch";

    // A change about an asset this fetch never had says nothing.
    photos->photoLibraryDidChange(
        PHChange::make(std::vector<std::string>{"elsewhere/L0/001"}, std::vector<std::string>{}));
    drain();
    EXPECT_EQ(listener->counts.size(), 1u);

    photos->viewDidDisappear();
    EXPECT_FALSE(photos->isObserving());
    add();
    drain();
    EXPECT_EQ(listener->counts.size(), 1u) << "not observed while the screen is away";

    photos->viewWillAppear(screen);
    drain();
    EXPECT_EQ(listener->counts.back(), 3u);
    EXPECT_EQ(photos->count(), 3u);
}

TEST_F(MyPhotosTest, TheFetchIsIndexedFromEitherEnd) {
    auto first = add();
    add();
    auto last = add();
    auto photos = MyPhotos::initWithDelegate(listener);
    ASSERT_EQ(photos->count(), 3u);
    const auto& fetch = *photos->fetch();
    EXPECT_EQ(atAscending(fetch, 0)->localIdentifier(), first);
    EXPECT_EQ(photos->atAscending(0)->localIdentifier(), first);
    EXPECT_EQ(atDescending(fetch, 0)->localIdentifier(), last);
    EXPECT_EQ(atDescending(fetch, 2)->localIdentifier(), first);
    EXPECT_FALSE(atAscending(fetch, 3));
    EXPECT_FALSE(atDescending(fetch, 3));
    EXPECT_FALSE(atDescending(*PHFetchResult::make(), 0));
}

TEST_F(MyPhotosTest, PicturesPropertiesAndDeletion) {
    add(400, 300);
    auto photos = MyPhotos::initWithDelegate(listener);
    auto asset = photos->atAscending(0);
    ASSERT_TRUE(asset);

    std::vector<CGSize> thumbs;
    photos->getThumbImage(asset, {100, 100}, [&](std::shared_ptr<UIImage> image) {
        ASSERT_TRUE(image);
        thumbs.push_back(image->size());
    });
    std::shared_ptr<UIImage> full;
    photos->getImage(asset, [&](std::shared_ptr<UIImage> image) { full = image; });
    Value properties;
    photos->getProperty(asset, [&](const Value& p) { properties = p; });
    drain();
    ASSERT_EQ(thumbs.size(), 2u) << "a degraded picture, then the final one";
    EXPECT_EQ(thumbs[1], (CGSize{133, 100}));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), (CGSize{400, 300}));
    ASSERT_TRUE(properties.isDictionary());
    EXPECT_TRUE(properties.dictionaryPtr()->find("{Exif}"));

    bool deleted = false;
    photos->deleteAsset(asset, [&](bool ok) { deleted = ok; });
    drain();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(std::filesystem::exists(asset->filePath()));

    // The file is gone now: no properties, and deleting again without permission fails.
    properties = Value();
    photos->getProperty(asset, [&](const Value& p) { properties = p; });
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    std::optional<bool> second;
    photos->deleteAssets({asset}, [&](bool ok) { second = ok; });
    drain();
    ASSERT_TRUE(properties.isDictionary());
    EXPECT_TRUE(properties.dictionaryPtr()->keys().empty());
    ASSERT_TRUE(second);
    EXPECT_FALSE(*second);
}

TEST_F(MyPhotosTest, ThePickerHandsOverThePickedImageOrNoneForAGoneAsset) {
    add(60, 40);
    auto photos = MyPhotos::initWithDelegate(listener);
    photos->viewWillAppear(screen);
    drain();

    std::vector<std::shared_ptr<UIImage>> got;
    photos->picker([&](std::shared_ptr<UIImage> image) { got.push_back(image); });
    drain();
    advance(1);
    auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    ASSERT_TRUE(picker->pickAssetAtIndex(0));
    drain();
    advance(1);
    drain();
    EXPECT_FALSE(screen->presentedViewController());
    ASSERT_EQ(got.size(), 1u);
    ASSERT_TRUE(got[0]);
    EXPECT_EQ(got[0]->size(), (CGSize{60, 40}));

    // An item whose asset has gone from the library gives none.
    photos->picker([&](std::shared_ptr<UIImage> image) { got.push_back(image); });
    drain();
    advance(1);
    picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    ValueDictionary info;
    info.set(UIImagePickerControllerReferenceURL, Value(imagePickerReferenceURL("missing/L0/001")));
    photos->didFinishPickingMediaWithInfo(*picker, info);
    drain();
    advance(1);
    drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_FALSE(got[1]);

    // A cancel hands over nothing.
    photos->picker([&](std::shared_ptr<UIImage> image) { got.push_back(image); });
    drain();
    advance(1);
    picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    picker->cancel();
    advance(1);
    drain();
    EXPECT_EQ(got.size(), 2u);
    EXPECT_FALSE(screen->presentedViewController());
}
