// PHAsset helpers: the newest asset of the library and an asset's decoded image.
#pragma once

#include <functional>
#include <memory>

class PHAsset;
class UIImage;

// The most recently modified asset of the library, or none for an empty library.
std::shared_ptr<PHAsset> recent();
// Asks the default image manager for the asset's image data and hands the decoded image (none
// when there is no data or it does not decode) to the block on the main queue.
void request(const std::shared_ptr<PHAsset>& asset, std::function<void(std::shared_ptr<UIImage>)> block);
