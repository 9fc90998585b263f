// Asset fetches.
#include "platform/photos/ph_asset.h"

#include "platform/photos/asset_index.h"
#include "platform/photos/ph_photo_library.h"

namespace {

AssetQuery queryFor(const std::shared_ptr<PHFetchOptions>& options) {
    AssetQuery q;
    if (!options) return q;
    if (!options->sortDescriptors.empty()) {
        const auto& d = options->sortDescriptors.front();
        q.sortKey = d.key == "modificationDate" ? AssetSortKey::ModificationDate : AssetSortKey::CreationDate;
        q.ascending = d.ascending;
    }
    q.limit = options->fetchLimit;
    q.mediaType = options->mediaType;
    return q;
}

std::shared_ptr<PHFetchResult> run(AssetQuery q) {
    auto query = std::make_shared<const AssetQuery>(std::move(q));
    return PHFetchResult::make(PHPhotoLibrary::sharedPhotoLibrary()->fetch(*query), query);
}

}  // namespace

bool PHAsset::isEqual(const NSObject& other) const {
    auto* o = dynamic_cast<const PHAsset*>(&other);
    return o && o->identifier_ == identifier_;
}

std::shared_ptr<PHFetchResult> PHAsset::fetchAssetsWithMediaType(PHAssetMediaType type,
                                                                 const std::shared_ptr<PHFetchOptions>& options) {
    AssetQuery q = queryFor(options);
    q.mediaType = type;
    return run(std::move(q));
}

std::shared_ptr<PHFetchResult> PHAsset::fetchAssetsWithOptions(const std::shared_ptr<PHFetchOptions>& options) {
    return run(queryFor(options));
}

std::shared_ptr<PHFetchResult> PHAsset::fetchAssetsWithLocalIdentifiers(
    const std::vector<std::string>& identifiers, const std::shared_ptr<PHFetchOptions>& options) {
    if (identifiers.empty()) return PHFetchResult::make();
    AssetQuery q = queryFor(options);
    q.identifiers = identifiers;
    return run(std::move(q));
}
