// Change requests and the transaction a change block records into.
#include "platform/photos/ph_asset_change_request.h"

#include <algorithm>

#include "platform/photos/asset_identifier.h"
#include "platform/runtime/log.h"

PHChangeTransaction*& PHChangeTransaction::current() {
    thread_local PHChangeTransaction* t = nullptr;
    return t;
}

PHAssetChangeRequest::PHAssetChangeRequest() : placeholder_(PHObjectPlaceholder::make(makeAssetIdentifier())) {}

bool PHAssetChangeRequest::record(const std::shared_ptr<PHAssetChangeRequest>& request) {
    auto* t = PHChangeTransaction::current();
    if (!t) {
        Log::error("photos", "change requests can only be made inside performChanges");
        return false;
    }
    t->creations.push_back(request);
    return true;
}

std::shared_ptr<PHAssetChangeRequest> PHAssetChangeRequest::creationRequestForAssetFromImageData(Bytes data) {
    auto r = PHAssetChangeRequest::make();
    r->resources_.push_back({std::move(data), {}});
    return record(r) ? r : nullptr;
}

std::shared_ptr<PHAssetChangeRequest> PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL(
    const std::string& path) {
    auto r = PHAssetChangeRequest::make();
    r->resources_.push_back({std::nullopt, path});
    return record(r) ? r : nullptr;
}

std::shared_ptr<PHAssetChangeRequest> PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL(
    const std::string& path) {
    auto r = PHAssetChangeRequest::make();
    r->resources_.push_back({std::nullopt, path, PHAssetResourceType::Video});
    return record(r) ? r : nullptr;
}

void PHAssetChangeRequest::deleteAssets(const std::vector<std::shared_ptr<PHAsset>>& assets) {
    auto* t = PHChangeTransaction::current();
    if (!t) {
        Log::error("photos", "change requests can only be made inside performChanges");
        return;
    }
    for (const auto& a : assets)
        if (a && std::find(t->deletions.begin(), t->deletions.end(), a->localIdentifier()) == t->deletions.end())
            t->deletions.push_back(a->localIdentifier());
}

std::shared_ptr<PHAssetCreationRequest> PHAssetCreationRequest::creationRequestForAsset() {
    auto r = PHAssetCreationRequest::make();
    return record(r) ? r : nullptr;
}

void PHAssetCreationRequest::addResourceWithType(PHAssetResourceType type, Bytes data,
                                                 const PHAssetResourceCreationOptions&) {
    if (type != PHAssetResourceType::Photo) return;
    resources_ = {{std::move(data), {}}};
}

void PHAssetCreationRequest::addResourceWithType(PHAssetResourceType type, const std::string& fileURL,
                                                 const PHAssetResourceCreationOptions&) {
    if (type != PHAssetResourceType::Photo) return;
    resources_ = {{std::nullopt, fileURL}};
}
