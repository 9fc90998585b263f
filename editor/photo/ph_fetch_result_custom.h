// Indexing a fetch result from either end.
#pragma once

#include <cstddef>
#include <memory>

class PHAsset;
class PHFetchResult;

// The asset at the index counted from the start, or none past the end.
std::shared_ptr<PHAsset> atAscending(const PHFetchResult& fetch, std::size_t index);
// The asset at the index counted from the end (0 is the last), or none past the start.
std::shared_ptr<PHAsset> atDescending(const PHFetchResult& fetch, std::size_t index);
