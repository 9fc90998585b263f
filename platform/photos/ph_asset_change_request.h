// Change requests, made only inside PHPhotoLibrary::performChanges (outside they give nothing).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/photos/ph_asset.h"
#include "platform/runtime/value.h"

class PHObjectPlaceholder : public NSObject {
public:
    KORVA_MAKE(PHObjectPlaceholder)
    // The created asset's identifier, known in the change block. Where another program lists the
    // asset's file before the change has written its row, the asset keeps the identifier that
    // program gave it, and the placeholder says so once the change is complete (not while it runs).
    const std::string& localIdentifier() const { return identifier_; }

protected:
    explicit PHObjectPlaceholder(std::string id) : identifier_(std::move(id)) {}

private:
    friend class PHPhotoLibrary;
    std::string identifier_;
};

class PHAssetChangeRequest : public NSObject {
public:
    KORVA_MAKE(PHAssetChangeRequest)

    // Encoded image data (JPEG or PNG) or an image file to copy into the library.
    static std::shared_ptr<PHAssetChangeRequest> creationRequestForAssetFromImageData(Bytes data);
    static std::shared_ptr<PHAssetChangeRequest> creationRequestForAssetFromImageAtFileURL(const std::string& path);
    // A movie file (MPEG-4 or QuickTime) to copy into the library as a video.
    static std::shared_ptr<PHAssetChangeRequest> creationRequestForAssetFromVideoAtFileURL(const std::string& path);
    static void deleteAssets(const std::vector<std::shared_ptr<PHAsset>>& assets);

    std::shared_ptr<PHObjectPlaceholder> placeholderForCreatedAsset() const { return placeholder_; }
    void setCreationDate(double secondsSinceReferenceDate) { creationDate_ = secondsSinceReferenceDate; }
    void setLocation(PHAssetLocation location) { location_ = location; }

    // What the library commits.
    struct Resource {
        std::optional<Bytes> data;
        std::string filePath;
        PHAssetResourceType type = PHAssetResourceType::Photo;
    };
    const std::vector<Resource>& resources() const { return resources_; }
    const std::optional<double>& creationDate() const { return creationDate_; }
    const std::optional<PHAssetLocation>& location() const { return location_; }

protected:
    PHAssetChangeRequest();
    static bool record(const std::shared_ptr<PHAssetChangeRequest>& request);
    std::vector<Resource> resources_;

private:
    std::shared_ptr<PHObjectPlaceholder> placeholder_;
    std::optional<double> creationDate_;
    std::optional<PHAssetLocation> location_;
};

struct PHAssetResourceCreationOptions {
    std::string originalFilename;
};

class PHAssetCreationRequest : public PHAssetChangeRequest {
public:
    KORVA_MAKE(PHAssetCreationRequest)
    static std::shared_ptr<PHAssetCreationRequest> creationRequestForAsset();
    // Only photo resources are kept; one per asset (a second replaces the first).
    void addResourceWithType(PHAssetResourceType type, Bytes data, const PHAssetResourceCreationOptions& options = {});
    void addResourceWithType(PHAssetResourceType type, const std::string& fileURL,
                             const PHAssetResourceCreationOptions& options = {});
};

// The requests recorded by one change block (used by the library).
struct PHChangeTransaction {
    std::vector<std::shared_ptr<PHAssetChangeRequest>> creations;
    std::vector<std::string> deletions;
    static PHChangeTransaction*& current();
};
