// PHAsset: one photo or video of the library, as fetched (a snapshot; a later change makes a new one).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/photos/ph_types.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class PHContentEditingInput;
class PHFetchOptions;
class PHFetchResult;
struct AssetQuery;
struct PHContentEditingInputRequestOptions;

class PHAsset : public NSObject {
public:
    KORVA_MAKE(PHAsset)

    const std::string& localIdentifier() const { return identifier_; }
    PHAssetMediaType mediaType() const { return mediaType_; }
    // As displayed (a photo stored on its side with an EXIF turn reports the turned size).
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    // Seconds since 2001-01-01 00:00:00 UTC.
    double creationDate() const { return creationDate_; }
    double modificationDate() const { return modificationDate_; }
    const std::optional<PHAssetLocation>& location() const { return location_; }
    // A video's length in seconds; 0 for a photo.
    double duration() const { return duration_; }
    // The image or movie file in the library folder.
    const std::string& filePath() const { return path_; }

    // Fetches from the shared library; nothing when it is not authorized or cannot be opened.
    static std::shared_ptr<PHFetchResult> fetchAssetsWithMediaType(
        PHAssetMediaType type, const std::shared_ptr<PHFetchOptions>& options = nullptr);
    static std::shared_ptr<PHFetchResult> fetchAssetsWithOptions(const std::shared_ptr<PHFetchOptions>& options);
    static std::shared_ptr<PHFetchResult> fetchAssetsWithLocalIdentifiers(
        const std::vector<std::string>& identifiers, const std::shared_ptr<PHFetchOptions>& options = nullptr);

    // The photo's file for editing, handed to the handler on the main queue: none (with
    // PHImageErrorKey in the info) when the file is gone or no longer reads as an image.
    using ContentEditingInputHandler =
        std::function<void(std::shared_ptr<PHContentEditingInput> input, const ValueDictionary& info)>;
    std::int32_t requestContentEditingInputWithOptions(const PHContentEditingInputRequestOptions& options,
                                                       ContentEditingInputHandler handler) const;

    bool isEqual(const NSObject& other) const override;
    std::string className() const override { return "PHAsset"; }

    struct Fields {
        std::string identifier, path;
        PHAssetMediaType mediaType = PHAssetMediaType::Image;
        int pixelWidth = 0, pixelHeight = 0;
        double creationDate = 0, modificationDate = 0;
        std::optional<PHAssetLocation> location;
        double duration = 0;
    };

protected:
    explicit PHAsset(Fields f)
        : identifier_(std::move(f.identifier)),
          path_(std::move(f.path)),
          mediaType_(f.mediaType),
          pixelWidth_(f.pixelWidth),
          pixelHeight_(f.pixelHeight),
          creationDate_(f.creationDate),
          modificationDate_(f.modificationDate),
          location_(f.location),
          duration_(f.duration) {}

private:
    std::string identifier_, path_;
    PHAssetMediaType mediaType_;
    int pixelWidth_, pixelHeight_;
    double creationDate_, modificationDate_;
    std::optional<PHAssetLocation> location_;
    double duration_;
};

// Sorting ("creationDate" or "modificationDate"; the first descriptor counts) and a limit.
class PHFetchOptions : public NSObject {
public:
    KORVA_MAKE(PHFetchOptions)
    struct SortDescriptor {
        std::string key;
        bool ascending = true;
    };
    std::vector<SortDescriptor> sortDescriptors;
    std::size_t fetchLimit = 0;  // 0: all
    std::optional<PHAssetMediaType> mediaType;
};

class PHFetchResult : public NSObject {
public:
    KORVA_MAKE(PHFetchResult)
    // The query that made the result, so that a change can fetch it again; none for a result
    // made from a list of assets.
    const std::shared_ptr<const AssetQuery>& query() const { return query_; }
    std::size_t count() const { return assets_.size(); }
    std::shared_ptr<PHAsset> objectAtIndex(std::size_t i) const { return i < assets_.size() ? assets_[i] : nullptr; }
    std::shared_ptr<PHAsset> firstObject() const { return assets_.empty() ? nullptr : assets_.front(); }
    std::shared_ptr<PHAsset> lastObject() const { return assets_.empty() ? nullptr : assets_.back(); }
    const std::vector<std::shared_ptr<PHAsset>>& assets() const { return assets_; }

protected:
    explicit PHFetchResult(std::vector<std::shared_ptr<PHAsset>> assets = {}) : assets_(std::move(assets)) {}
    PHFetchResult(std::vector<std::shared_ptr<PHAsset>> assets, std::shared_ptr<const AssetQuery> query)
        : assets_(std::move(assets)), query_(std::move(query)) {}

private:
    std::vector<std::shared_ptr<PHAsset>> assets_;
    std::shared_ptr<const AssetQuery> query_;
};
