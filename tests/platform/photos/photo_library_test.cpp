// The photo library: saving, fetching, deleting, observers, permission and failed changes.
#include <fstream>
#include <future>

#include "photos_test_support.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/ph_image_manager.h"

namespace {

struct Observer : PHPhotoLibraryChangeObserver {
    std::vector<std::shared_ptr<PHChange>> changes;
    std::vector<bool> onMain;
    void photoLibraryDidChange(const std::shared_ptr<PHChange>& c) override {
        changes.push_back(c);
        onMain.push_back(RunLoop::isMainThread());
    }
};

std::shared_ptr<PHFetchOptions> sorted(const char* key, bool ascending, std::size_t limit = 0) {
    auto o = PHFetchOptions::make();
    o->sortDescriptors.push_back({key, ascending});
    o->fetchLimit = limit;
    return o;
}

}  // namespace

TEST_F(PhotosTest, SavesFetchesAndDeletesWithOneNoticePerChange) {
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    EXPECT_EQ(library->folder(), folder.string());
    auto observer = std::make_shared<Observer>();
    library->registerChangeObserver(observer);

    // Two photos in one change, the second given as a file and carrying GPS and a turn.
    auto tagged = jpeg(
        40, 30,
        Value::dictionary(
            {{"Orientation", 6},
             {"{GPS}", Value::dictionary(
                           {{"Latitude", 33.9}, {"LatitudeRef", "S"}, {"Longitude", 18.4}, {"LongitudeRef", "E"}})}}));
    auto outside = folder.parent_path() / (folder.filename().string() + "-in.jpg");
    std::ofstream(outside, std::ios::binary).write(reinterpret_cast<const char*>(tagged.data()), tagged.size());
    std::string first, second;
    ASSERT_TRUE(library->performChangesAndWait([&] {
        first = PHAssetChangeRequest::creationRequestForAssetFromImageData(jpeg(64, 48))
                    ->placeholderForCreatedAsset()
                    ->localIdentifier();
        second = PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL("file://" + outside.string())
                     ->placeholderForCreatedAsset()
                     ->localIdentifier();
    }));
    std::filesystem::remove(outside);
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(observer->changes.size(), 1u);
    EXPECT_EQ(observer->changes[0]->insertedIdentifiers(), (std::vector<std::string>{first, second}));
    EXPECT_EQ(observer->onMain, (std::vector<bool>{true}));
    EXPECT_EQ(filesIn(folder), 2u);

    Clock::advanceVirtual(60);
    std::string third = save(jpeg(10, 20));
    ASSERT_FALSE(third.empty());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(observer->changes.size(), 2u);

    auto newest = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image, sorted("creationDate", false, 1));
    ASSERT_EQ(newest->count(), 1u);
    EXPECT_EQ(newest->firstObject()->localIdentifier(), third);
    auto all = PHAsset::fetchAssetsWithOptions(sorted("modificationDate", true));
    ASSERT_EQ(all->count(), 3u);
    EXPECT_EQ(all->lastObject()->localIdentifier(), third);
    EXPECT_LT(all->firstObject()->modificationDate(), all->lastObject()->modificationDate());

    auto byId = PHAsset::fetchAssetsWithLocalIdentifiers({second});
    ASSERT_EQ(byId->count(), 1u);
    auto turned = byId->firstObject();
    EXPECT_EQ(turned->pixelWidth(), 30) << "sizes as displayed";
    EXPECT_EQ(turned->pixelHeight(), 40);
    ASSERT_TRUE(turned->location());
    EXPECT_NEAR(turned->location()->latitude, -33.9, 1e-6);
    EXPECT_NEAR(turned->location()->longitude, 18.4, 1e-6);

    // The data comes back as saved, with its orientation and properties, on the main queue.
    std::optional<Bytes> data;
    int orientation = 0;
    std::string uti;
    ValueDictionary info;
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        turned, {}, [&](std::optional<Bytes> d, const std::string& u, int o, const ValueDictionary& i) {
            data = std::move(d), uti = u, orientation = o, info = i;
        });
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    ASSERT_TRUE(data);
    EXPECT_EQ(*data, tagged);
    EXPECT_EQ(uti, "public.jpeg");
    EXPECT_EQ(orientation, 6);
    EXPECT_EQ(info.get(PHImageResultPropertiesKey)["{GPS}"]["LatitudeRef"].stringValue(), "S");

    // Deleting removes the row and the file, and tells observers once.
    ASSERT_TRUE(library->performChangesAndWait([&] { PHAssetChangeRequest::deleteAssets({turned, turned}); }));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(observer->changes.size(), 3u);
    EXPECT_EQ(observer->changes[2]->removedIdentifiers(), (std::vector<std::string>{second}));
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    EXPECT_EQ(filesIn(folder), 2u);
    EXPECT_FALSE(std::filesystem::exists(turned->filePath()));

    // An empty change and a deleted asset's data request tell nobody and fail cleanly.
    ASSERT_TRUE(library->performChangesAndWait([] {}));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(observer->changes.size(), 3u);
    bool failed = false;
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        turned, {.synchronous = true}, [&](std::optional<Bytes> d, const std::string&, int, const ValueDictionary& i) {
            failed = !d && i.get(PHImageErrorKey).isObject();
        });
    EXPECT_TRUE(failed);

    library->unregisterChangeObserver(observer);
    save(jpeg(8, 8));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(observer->changes.size(), 3u);
}

TEST_F(PhotosTest, AFailedChangeLeavesNothingBehind) {
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    auto observer = std::make_shared<Observer>();
    library->registerChangeObserver(observer);
    std::shared_ptr<NSError> error;
    bool ok = true;
    auto done = std::make_shared<std::promise<void>>();
    // One good photo and one that is not an image: neither is saved.
    library->performChanges(
        [&] {
            PHAssetChangeRequest::creationRequestForAssetFromImageData(jpeg(8, 8));
            PHAssetChangeRequest::creationRequestForAssetFromImageData(Bytes{'n', 'o', 't', ' ', 'j', 'p', 'g'});
        },
        [&, done](bool success, const std::shared_ptr<NSError>& e) {
            ok = success, error = e;
            done->set_value();
        });
    done->get_future().wait();
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(ok);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), PHPhotosErrorDomain);
    EXPECT_EQ(filesIn(folder), 0u);
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 0u);
    EXPECT_TRUE(observer->changes.empty());
    EXPECT_FALSE(library->performChangesAndWait(
        [] { PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL("/nonexistent/photo.jpg"); }));

    // Requests outside a change block make nothing.
    EXPECT_FALSE(PHAssetCreationRequest::creationRequestForAsset());
    EXPECT_FALSE(PHAssetChangeRequest::creationRequestForAssetFromImageData(jpeg(4, 4)));
}

TEST_F(PhotosTest, PermissionGatesChangesAndFetches) {
    ASSERT_FALSE(save(jpeg(8, 8)).empty());
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::NotDetermined);
    PhotoLibraryAuthorization::setRequestAnswer(PHAuthorizationStatus::Denied);
    EXPECT_EQ(PHPhotoLibrary::authorizationStatus(), PHAuthorizationStatus::NotDetermined);
    EXPECT_TRUE(save(jpeg(8, 8)).empty());
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 0u) << "nothing is visible without permission";
    std::optional<PHAuthorizationStatus> answer;
    PHPhotoLibrary::requestAuthorization([&](PHAuthorizationStatus s) { answer = s; });
    DispatchQueue::waitUntilBackgroundIdle();
    EXPECT_EQ(answer, PHAuthorizationStatus::Denied);
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 1u);
    EXPECT_EQ(filesIn(folder), 1u);
}
