// Image operations every rendering road shares: applying an element, drawability, cropping to a
// ratio, scaling, orienting camera frames, brightness, the size key, and rendering to bitmaps,
// interface images and JPEG data.
//
// Stateless; safe on any thread for images not shared with a writer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/image/cg_image.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class FilterElement;
class UIImage;

// The element's output for the image (its make).
std::shared_ptr<CIImage> filter(const std::shared_ptr<CIImage>& image, FilterElement& element);

// A finite extent whose width and height are not nearly zero.
bool isDrawable(const std::shared_ptr<CIImage>& image);
// width x 10000 + height of the extent; 0 for no image.
double imageKey(const std::shared_ptr<CIImage>& image);

// Scaled down to cover maxSize (never enlarged); the image itself when no scaling is needed.
std::shared_ptr<CIImage> scaled(const std::shared_ptr<CIImage>& image, CGSize maxSize);
// Cropped to width / height = ratio about the centre, placed from the coordinate origin; the
// image itself when it is within 0.05 of the ratio or not drawable.
std::shared_ptr<CIImage> cropped(const std::shared_ptr<CIImage>& image, double ratio);
// Rotated and mirrored as shot: orientation 1 portrait, 2 upside down, 3 landscape right,
// 4 landscape left; position 1 back, 2 front.
std::shared_ptr<CIImage> adjustOrientation(const std::shared_ptr<CIImage>& image, int orientation, int position,
                                           bool frontMirrored);
CGAffineTransform orientationTransform(int orientation, int position, bool frontMirrored);

std::shared_ptr<CIImage> autoEnhancedImageWithCGOrientation(const std::shared_ptr<CIImage>& image, int exifOrientation);
std::shared_ptr<CIImage> autoEnhancedImageWithUIOrientation(const std::shared_ptr<CIImage>& image, int uiOrientation);
std::shared_ptr<CIImage> autoEnhancedImageWithAVOrientation(const std::shared_ptr<CIImage>& image,
                                                            int captureOrientation, bool mirrored);

// Brightness (largest channel) of the average colour, 0...1; 0 when nothing can be rendered.
double calcBrightness(const std::shared_ptr<CIImage>& image, CIContext& context);

// A bitmap of the rectangle; none for an empty or infinite one. When the rectangle is over the
// context's maximum size (input and output limits together), the image and the rectangle are
// scaled together by min(1, W / w, H / h) so that the whole rectangle fits.
std::shared_ptr<CGImage> cgImage0(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context);
std::shared_ptr<CGImage> cgImage(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context);
// An interface image of the rectangle, or of (0, 0, 100, 100) when the image is not drawable.
std::shared_ptr<UIImage> uiImage(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context);
// JPEG data of the rectangle; none when rendering or encoding fails.
std::optional<Bytes> jpeg(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context);
// The same on the second context when the rectangle is over the first one's maximum size.
std::optional<Bytes> jpeg(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& first, CIContext& second);
std::optional<Bytes> save_cgimage_to_jpeg(const std::shared_ptr<CGImage>& image);
