// CIImage: an immutable recipe for an image (sources, filters, transforms, crops, composites).
//
// The extent lives in a coordinate space whose origin is at the bottom left; it may be infinite
// (a colour, a clamped image). No pixel is computed until a CIContext renders a region.
// Images are immutable and may be shared between threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_format.h"
#include "platform/image/color_space.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class ImageNode;
class CIFilter;

// Option keys of image creation.
inline constexpr const char* kCIImageColorSpace = "kCIImageColorSpace";  // CGColorSpace or null
inline constexpr const char* kCIImageApplyOrientationProperty = "kCIImageApplyOrientationProperty";  // bool
inline constexpr const char* kCIImageProperties = "kCIImageProperties";
// Option keys of autoAdjustmentFilters.
inline constexpr const char* kCIImageAutoAdjustEnhance = "kCIImageAutoAdjustEnhance";
inline constexpr const char* kCIImageAutoAdjustRedEye = "kCIImageAutoAdjustRedEye";
inline constexpr const char* kCIImageAutoAdjustFeatures = "kCIImageAutoAdjustFeatures";
inline constexpr const char* kCIImageAutoAdjustCrop = "kCIImageAutoAdjustCrop";
inline constexpr const char* kCIImageAutoAdjustLevel = "kCIImageAutoAdjustLevel";
inline constexpr const char* CIDetectorImageOrientation = "CIDetectorImageOrientation";

class CIImage : public NSObject {
public:
    KORVA_MAKE(CIImage)

    // A bitmap of width x height pixels, rows top to bottom. The pixels are shared, not copied:
    // the owner keeps them alive and unchanged. None for non-positive sizes, a short buffer or
    // bytesPerRow below width x bytes per pixel. The colour space defaults to sRGB; a null space
    // means the values are used as they are (no colour management).
    static std::shared_ptr<CIImage> imageWithBitmapData(std::shared_ptr<const std::uint8_t> pixels, std::size_t length,
                                                        std::size_t bytesPerRow, int width, int height, CIFormat format,
                                                        CIAlphaMode alpha = CIAlphaMode::Premultiplied,
                                                        std::shared_ptr<CGColorSpace> colorSpace = defaultSpace());
    // The same bitmap shown with an EXIF orientation (1...8): the image is the bitmap turned and
    // mirrored upright, as imageByApplyingOrientation gives it, but a render that samples it down
    // reads only the pixels it needs where they lie instead of the bitmap turned whole (a camera
    // frame drawn small). 8-bit formats; a float bitmap is turned by a transform.
    static std::shared_ptr<CIImage> imageWithBitmapData(std::shared_ptr<const std::uint8_t> pixels, std::size_t length,
                                                        std::size_t bytesPerRow, int width, int height, CIFormat format,
                                                        CIAlphaMode alpha, std::shared_ptr<CGColorSpace> colorSpace,
                                                        int exifOrientation);
    // The same, taking ownership of a byte buffer.
    static std::shared_ptr<CIImage> imageWithBitmapData(std::vector<std::uint8_t> pixels, std::size_t bytesPerRow,
                                                        int width, int height, CIFormat format,
                                                        CIAlphaMode alpha = CIAlphaMode::Premultiplied,
                                                        std::shared_ptr<CGColorSpace> colorSpace = defaultSpace());
    static std::shared_ptr<CIImage> imageWithCGImage(const std::shared_ptr<CGImage>& image);
    // An image of infinite extent filled with the colour.
    static std::shared_ptr<CIImage> imageWithColor(const std::shared_ptr<CIColor>& color);
    // An image with an empty extent.
    static std::shared_ptr<CIImage> emptyImage();
    // Encoded JPEG or PNG. Options: kCIImageApplyOrientationProperty turns the pixels upright by
    // the stored orientation; kCIImageColorSpace overrides the colour space. None when the data
    // cannot be decoded.
    static std::shared_ptr<CIImage> imageWithData(const std::vector<std::uint8_t>& data,
                                                  const ValueDictionary& options = {});
    static std::shared_ptr<CIImage> imageWithContentsOfFile(const std::string& path,
                                                            const ValueDictionary& options = {});
    // A file:// URL or a plain path; other schemes give none.
    static std::shared_ptr<CIImage> imageWithContentsOfURL(const std::string& url, const ValueDictionary& options = {});

    CGRect extent() const;
    // Image properties of the data the image was made from (empty dictionary otherwise).
    const Value& properties() const { return properties_; }
    // The colour space of a source image; none for derived images and unmanaged sources.
    std::shared_ptr<CGColorSpace> colorSpace() const;

    std::shared_ptr<CIImage> imageByApplyingTransform(const CGAffineTransform& t) const;
    std::shared_ptr<CIImage> imageByCroppingToRect(const CGRect& r) const;
    // The filter's output with this image as kCIInputImageKey; none for an unknown filter.
    std::shared_ptr<CIImage> imageByApplyingFilter(const std::string& name, const ValueDictionary& params = {}) const;
    // Infinite extent; pixels outside take the nearest edge pixel.
    std::shared_ptr<CIImage> imageByClampingToExtent() const;
    std::shared_ptr<CIImage> imageByCompositingOverImage(const std::shared_ptr<CIImage>& background) const;
    // The transform that turns an image stored with an EXIF orientation (1...8) upright, keeping
    // the extent's origin; the identity for other values.
    CGAffineTransform imageTransformForOrientation(int orientation) const;
    std::shared_ptr<CIImage> imageByApplyingOrientation(int orientation) const;
    // Filters that improve the image, already configured; chain them in order. May be empty.
    std::vector<std::shared_ptr<CIFilter>> autoAdjustmentFiltersWithOptions(const ValueDictionary& options = {}) const;
    std::vector<std::shared_ptr<CIFilter>> autoAdjustmentFilters() const { return autoAdjustmentFiltersWithOptions(); }

    // The evaluation plan as indented text, one node per line (for logs and tests).
    std::string planDescription() const;
    std::string description() const override;

    // Engine internals: the recipe node behind the image.
    const std::shared_ptr<const ImageNode>& node() const { return node_; }
    static std::shared_ptr<CIImage> withNode(std::shared_ptr<const ImageNode> node, Value properties = {});

    static std::shared_ptr<CGColorSpace> defaultSpace() { return CGColorSpace::createWithName(kCGColorSpaceSRGB); }

protected:
    CIImage(std::shared_ptr<const ImageNode> node, Value properties)
        : node_(std::move(node)), properties_(std::move(properties)) {}

private:
    std::shared_ptr<CIImage> me() const { return std::const_pointer_cast<CIImage>(self<CIImage>()); }
    std::shared_ptr<const ImageNode> node_;
    Value properties_;
};
