// Change details against a fetch result and content-editing input of an asset's file.
#include <filesystem>

#include "photos_test_support.h"
#include "platform/photos/ph_content_editing_input.h"
#include "platform/photos/ph_fetch_result_change_details.h"
#include "platform/photos/ph_image_manager.h"

namespace {

std::vector<std::string> ids(const std::vector<std::shared_ptr<PHAsset>>& assets) {
    std::vector<std::string> out;
    for (const auto& a : assets) out.push_back(a->localIdentifier());
    return out;
}

}  // namespace

TEST_F(PhotosTest, ChangeDetailsFollowTheFetchResultsQuery) {
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    auto kept = save(jpeg(20, 10));
    Clock::advanceVirtual(10);
    auto gone = save(jpeg(20, 10));
    Clock::advanceVirtual(10);
    auto everything = PHAsset::fetchAssetsWithOptions(nullptr);
    auto onlyKept = PHAsset::fetchAssetsWithLocalIdentifiers({kept});
    auto byHand = PHFetchResult::make(everything->assets());
    ASSERT_EQ(everything->count(), 2u);
    ASSERT_TRUE(everything->query());
    EXPECT_FALSE(byHand->query());

    auto observer = std::make_shared<ChangeRecorder>();
    library->registerChangeObserver(observer);
    std::string added;
    ASSERT_TRUE(library->performChangesAndWait([&] {
        auto found = PHAsset::fetchAssetsWithLocalIdentifiers({gone});
        PHAssetChangeRequest::deleteAssets(found->assets());
        added = PHAssetChangeRequest::creationRequestForAssetFromImageData(jpeg(8, 8))
                    ->placeholderForCreatedAsset()
                    ->localIdentifier();
    }));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(observer->changes.size(), 1u);
    auto change = observer->changes[0];

    auto details = change->changeDetailsForFetchResult(everything);
    ASSERT_TRUE(details);
    EXPECT_EQ(ids(details->insertedObjects()), std::vector<std::string>{added});
    EXPECT_EQ(ids(details->removedObjects()), std::vector<std::string>{gone});
    EXPECT_TRUE(details->changedObjects().empty());
    EXPECT_EQ(details->fetchResultBeforeChanges(), everything);
    EXPECT_EQ(ids(details->fetchResultAfterChanges()->assets()), (std::vector<std::string>{kept, added}));
    // The refreshed result can be measured against the next change in turn.
    EXPECT_TRUE(details->fetchResultAfterChanges()->query());

    // The change neither adds to nor takes from a fetch of the kept photo alone, and a result
    // without a query cannot be fetched again.
    EXPECT_FALSE(change->changeDetailsForFetchResult(onlyKept));
    EXPECT_FALSE(change->changeDetailsForFetchResult(byHand));
    EXPECT_FALSE(change->changeDetailsForFetchResult(nullptr));
    library->unregisterChangeObserver(observer);
}

TEST_F(PhotosTest, ContentEditingInputNamesTheFileAndItsTurnOrNothingWhenItIsGone) {
    auto turned =
        PHAsset::fetchAssetsWithLocalIdentifiers({save(jpeg(40, 30, Value::dictionary({{"Orientation", 6}})))});
    auto removed = PHAsset::fetchAssetsWithLocalIdentifiers({save(jpeg(40, 30))});
    ASSERT_TRUE(turned->firstObject() && removed->firstObject());
    std::vector<std::shared_ptr<PHAsset>> assets{turned->firstObject(), removed->firstObject()};
    std::filesystem::remove(assets[1]->filePath());

    std::vector<std::pair<std::shared_ptr<PHContentEditingInput>, bool>> answers;
    for (const auto& a : assets)
        a->requestContentEditingInputWithOptions(
            {true}, [&](std::shared_ptr<PHContentEditingInput> input, const ValueDictionary& info) {
                EXPECT_TRUE(RunLoop::isMainThread());
                answers.emplace_back(input, info.find(PHImageErrorKey) != nullptr);
            });
    EXPECT_TRUE(answers.empty()) << "the answer comes on a later turn of the main queue";
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(answers.size(), 2u);
    // Answers may arrive in either order; sort them by whether they carry an input.
    if (!answers[0].first) std::swap(answers[0], answers[1]);
    ASSERT_TRUE(answers[0].first);
    EXPECT_FALSE(answers[0].second);
    EXPECT_EQ(answers[0].first->fullSizeImageURL(), "file://" + assets[0]->filePath());
    EXPECT_EQ(answers[0].first->fullSizeImageOrientation(), 6);
    EXPECT_FALSE(answers[1].first);
    EXPECT_TRUE(answers[1].second);
}
