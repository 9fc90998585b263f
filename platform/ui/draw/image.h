// UIImage: a bitmap with a scale (pixels per point) and an orientation, loaded from the bundle, a
// file or encoded data, drawn into the current context and encoded as JPEG or PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"
#include "platform/ui/draw/blend_mode.h"
#include "platform/ui/view/ui_edge_insets.h"

class CGImage;
class NSBundle;

enum class UIImageOrientation {
    Up = 0,
    Down = 1,   // turned 180 degrees
    Left = 2,   // turned 90 degrees counter-clockwise
    Right = 3,  // turned 90 degrees clockwise
    UpMirrored = 4,
    DownMirrored = 5,
    LeftMirrored = 6,
    RightMirrored = 7,
};

enum class UIImageRenderingMode { Automatic = 0, AlwaysOriginal = 1, AlwaysTemplate = 2 };
enum class UIImageResizingMode { Tile = 0, Stretch = 1 };

// Immutable; safe to share between threads. Drawing uses the calling thread's current context.
class UIImage : public NSObject {
public:
    // A bundle image by name, with or without extension; "name@2x.png" style files give their
    // scale. None when no such file decodes. Found images are cached by name.
    static std::shared_ptr<UIImage> imageNamed(std::string_view name);
    // The same lookup in another bundle (the main bundle when null); cached per bundle folder.
    static std::shared_ptr<UIImage> imageNamed(std::string_view name, const std::shared_ptr<NSBundle>& bundle);
    // Forgets the named-image cache (memory warning).
    static void clearNamedImageCache();
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::string& path);
    // JPEG or PNG; a JPEG's stored orientation becomes imageOrientation, its pixels stay as stored.
    static std::shared_ptr<UIImage> imageWithData(const Bytes& data, CGFloat scale = 1);
    static std::shared_ptr<UIImage> imageWithCGImage(std::shared_ptr<CGImage> image, CGFloat scale = 1,
                                                     UIImageOrientation orientation = UIImageOrientation::Up);

    // In points, with the orientation applied (a Left or Right image swaps width and height).
    CGSize size() const;
    CGFloat scale() const { return scale_; }
    UIImageOrientation imageOrientation() const { return orientation_; }
    const std::shared_ptr<CGImage>& cgImage() const { return image_; }

    UIImageRenderingMode renderingMode() const { return renderingMode_; }
    std::shared_ptr<UIImage> imageWithRenderingMode(UIImageRenderingMode mode) const;
    UIEdgeInsets capInsets() const { return capInsets_; }
    UIImageResizingMode resizingMode() const { return resizingMode_; }
    std::shared_ptr<UIImage> resizableImageWithCapInsets(UIEdgeInsets insets,
                                                         UIImageResizingMode mode = UIImageResizingMode::Tile) const;

    // Draws upright (orientation applied) into rect of the current y-down context; nothing
    // without a current context.
    void drawInRect(const CGRect& rect) const;
    void drawInRect(const CGRect& rect, CGBlendMode mode, CGFloat alpha) const;
    void drawAtPoint(CGPoint point) const { drawInRect({point, size()}); }
    void drawAtPoint(CGPoint point, CGBlendMode mode, CGFloat alpha) const { drawInRect({point, size()}, mode, alpha); }

    std::string description() const override;
    std::string className() const override { return "UIImage"; }

protected:
    UIImage(std::shared_ptr<CGImage> image, CGFloat scale, UIImageOrientation orientation)
        : image_(std::move(image)), scale_(scale), orientation_(orientation) {}

private:
    std::shared_ptr<CGImage> image_;
    CGFloat scale_ = 1;
    UIImageOrientation orientation_ = UIImageOrientation::Up;
    UIImageRenderingMode renderingMode_ = UIImageRenderingMode::Automatic;
    UIEdgeInsets capInsets_{};
    UIImageResizingMode resizingMode_ = UIImageResizingMode::Tile;
};

// JPEG at a quality 0...1 (the orientation is recorded in the file, pixels stay as stored).
Result<Bytes> UIImageJPEGRepresentation(const std::shared_ptr<UIImage>& image, CGFloat quality);
// PNG of the upright image (PNG has no orientation tag, so the pixels are turned instead).
Result<Bytes> UIImagePNGRepresentation(const std::shared_ptr<UIImage>& image);

// Maps between the platform's orientation and the EXIF orientation numbers 1...8.
UIImageOrientation UIImageOrientationFromExif(int exif);
int UIImageOrientationToExif(UIImageOrientation orientation);
// Maps the unit square of the stored bitmap (y down) to the unit square of the upright image.
CGAffineTransform UIImageOrientationTransform(UIImageOrientation orientation);
