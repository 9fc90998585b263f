// Change details: a fetch result measured against the same query run after the change.
#include "platform/photos/ph_fetch_result_change_details.h"

#include <algorithm>

#include "platform/photos/asset_index.h"
#include "platform/photos/ph_photo_library.h"

namespace {

bool listed(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::shared_ptr<PHAsset> find(const PHFetchResult& result, const std::string& id) {
    for (const auto& a : result.assets())
        if (a->localIdentifier() == id) return a;
    return nullptr;
}

}  // namespace

std::shared_ptr<PHFetchResultChangeDetails> PHChange::changeDetailsForFetchResult(
    const std::shared_ptr<PHFetchResult>& before) const {
    if (!before || !before->query()) return nullptr;
    auto query = before->query();
    auto after = PHFetchResult::make(PHPhotoLibrary::sharedPhotoLibrary()->fetch(*query), query);

    PHFetchResultChangeDetails::Assets inserted, removed, changed;
    for (const auto& a : after->assets()) {
        auto old = find(*before, a->localIdentifier());
        if (!old) {
            if (listed(inserted_, a->localIdentifier())) inserted.push_back(a);
        } else if (old->modificationDate() != a->modificationDate()) {
            changed.push_back(a);
        }
    }
    for (const auto& a : before->assets())
        if (listed(removed_, a->localIdentifier())) removed.push_back(a);
    if (inserted.empty() && removed.empty() && changed.empty()) return nullptr;
    return PHFetchResultChangeDetails::make(before, after, std::move(inserted), std::move(removed), std::move(changed));
}
