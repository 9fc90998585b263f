// Image operations: round icon badges from icon-font glyphs, encoding and loading, scaling,
// cropping and straightening, and filtered variants through the filter engine. Each call draws
// in its own image context, so any thread may call them. Sizes are in points; a size that is not
// positive and finite gives none (a crop to the image's own ratio gives the image itself).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class UIImage;
class UIColor;
class UIFont;
class CIImage;
class CVPixelBuffer;
using ImageRef = std::shared_ptr<UIImage>;
using ColorPtr = std::shared_ptr<UIColor>;
using FontPtr = std::shared_ptr<UIFont>;

// ---- badges (transparent, at the main screen's scale) ----
// An opaque image of the size filled with the colour.
ImageRef imageColor(const ColorPtr& color, CGSize size);
// The ellipse inscribed in the size filled with `bg`, the text centred on it in `color`.
ImageRef imageTextWithBGColor(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color,
                              const ColorPtr& bg);
// The same drawn upside down.
ImageRef imageMask(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color, const ColorPtr& bg);
// A disc of `bg` with the glyph knocked out and drawn again in `color`: a translucent glyph
// colour shows what lies behind the badge, never the disc.
ImageRef imageIconWithString(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color,
                             const ColorPtr& bg);
ImageRef imageIcon(std::uint16_t icon, CGSize size, const FontPtr& font, const ColorPtr& color, const ColorPtr& bg);
// A disc of `bg` with the picture in its own colours over the middle 70 %; `color` is not used.
ImageRef imageImage(const ImageRef& picture, CGSize size, const ColorPtr& color, const ColorPtr& bg);
// Badges in the palette's button colours.
ImageRef imageButtonNormal(std::uint16_t icon, CGSize size, const FontPtr& font);
ImageRef imageButtonSelected(std::uint16_t icon, CGSize size, const FontPtr& font);
ImageRef imageButtonNormal(const ImageRef& picture, CGSize size);
ImageRef imageButtonSelected(const ImageRef& picture, CGSize size);

// ---- encoding and files ----
// JPEG at quality 0.5; none for an image without pixels.
std::optional<Bytes> jpeg(const ImageRef& image);
std::optional<Bytes> png(const ImageRef& image);
// Written atomically; false when there is nothing to write or the write fails.
bool saveToFile_JPEG(const ImageRef& image, const std::string& path);
bool saveToFile_PNG(const ImageRef& image, const std::string& path);
// None for data or a file that does not decode.
ImageRef imageWithData2(const Bytes& data);
// The file loaded directly, or else its bytes decoded.
ImageRef imageWithContentsOfFile2(const std::string& path);

// ---- geometry ----
// Stretched into the size at the main screen's scale.
ImageRef resizedImage(const ImageRef& image, CGSize size);
// The largest size of the image's shape within the given width (wider images) or height.
ImageRef resizedRatioImage(const ImageRef& image, CGSize size);
// The part of the image under the rectangle (points), at the image's scale.
ImageRef croppedImage(const ImageRef& image, CGRect rect);
// The centre part of the given width-to-height ratio; the image itself when it has that ratio.
ImageRef croppedImageByRatio(const ImageRef& image, double ratio);
// Upright pixels: the image itself when it is up already.
ImageRef normalizedImage(const ImageRef& image);
// The image's shape in the colour.
ImageRef tintedImageUsingColor(const ImageRef& image, const ColorPtr& color);

// A new pixel buffer of the picture's stored pixels (its orientation not applied), opaque (alpha
// skipped); none for a picture without
// pixels or a format other than the 32-bit one this platform's buffers hold.
std::shared_ptr<CVPixelBuffer> pixelBuffer(const ImageRef& image, std::uint32_t pixelFormat);

// ---- Core Image and the filter engine ----
std::shared_ptr<CIImage> ciimage(const ImageRef& image);
ImageRef autoEnhancedImage(const ImageRef& image);
ImageRef grayscale(const ImageRef& image);
// A blurred version cropped in from the edges by a twentieth of the shorter side.
ImageRef thumbnailBackground(const ImageRef& image);
// The image padded to the ratio with a blurred fill; the image itself when it is wide enough.
ImageRef thumbnailBlur(const ImageRef& image, double ratio);
// The filter descriptions the two thumbnails are made from (for an image of the size).
Value thumbnailBackgroundDescription(CGSize size);
Value thumbnailBlurDescription(CGSize size, double ratio);
