// Fetch-result indexing from either end.
#include "editor/photo/ph_fetch_result_custom.h"

#include "platform/photos/ph_asset.h"

std::shared_ptr<PHAsset> atAscending(const PHFetchResult& fetch, std::size_t index) {
    return fetch.objectAtIndex(index);
}

std::shared_ptr<PHAsset> atDescending(const PHFetchResult& fetch, std::size_t index) {
    if (index >= fetch.count()) return nullptr;
    return fetch.objectAtIndex(fetch.count() - 1 - index);
}
