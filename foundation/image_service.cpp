// Image: bundle images, resized where the screens want a fixed size, and icon-font glyphs.
#include "foundation/image_service.h"

#include <algorithm>

#include "foundation/icon_glyph_image.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

namespace {

Image::GlyphMaker& glyphMaker() {
    static Image::GlyphMaker maker;
    return maker;
}

// The image drawn into a new transparent bitmap of the size, at the main screen's scale.
std::shared_ptr<UIImage> resized(const std::shared_ptr<UIImage>& image, CGSize size) {
    if (!image) return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    image->drawInRect(CGRect{CGPoint{0, 0}, size});
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out;
}

// Scaled to fit the size, keeping the aspect ratio.
std::shared_ptr<UIImage> resizedToFit(const std::shared_ptr<UIImage>& image, CGSize size) {
    if (!image) return nullptr;
    CGSize own = image->size();
    if (own.width <= 0 || own.height <= 0) return nullptr;
    const CGFloat factor = std::min(size.width / own.width, size.height / own.height);
    return resized(image, CGSize{own.width * factor, own.height * factor});
}

std::shared_ptr<UIImage>& bundleImage(std::shared_ptr<UIImage>& slot, const char* name,
                                      const std::function<std::shared_ptr<UIImage>(std::shared_ptr<UIImage>)>& shape) {
    if (!slot) {
        auto image = UIImage::imageNamed(name);
        if (image) slot = shape ? shape(image) : image;
    }
    return slot;
}

std::shared_ptr<UIImage>& glyph(std::shared_ptr<UIImage>& slot, int code) {
    if (!slot) {
        const CGSize size{32, 32};
        slot = glyphMaker() ? glyphMaker()(code, size) : iconGlyphImage(code, size);
    }
    return slot;
}

std::shared_ptr<UIImage> squareLogo(std::shared_ptr<UIImage> image) {
    return resized(image, CGSize{128, 128});
}

}  // namespace

void Image::setGlyphMaker(GlyphMaker maker) {
    glyphMaker() = std::move(maker);
}

std::shared_ptr<UIImage> Image::logo() {
    return bundleImage(logo_, "logo.png", squareLogo);
}
std::shared_ptr<UIImage> Image::logo0() {
    return bundleImage(logo0_, "logo0.png", squareLogo);
}
std::shared_ptr<UIImage> Image::check0() {
    return glyph(check0_, kGlyphCheck0);
}
std::shared_ptr<UIImage> Image::check1() {
    return glyph(check1_, kGlyphCheck1);
}
std::shared_ptr<UIImage> Image::settings() {
    return glyph(settings_, kGlyphSettings);
}

std::shared_ptr<UIImage> Image::shutterGeneral() {
    return bundleImage(shutterGeneral_, "shutter.png", [](std::shared_ptr<UIImage> image) {
        return resizedToFit(image, CGSize{80, 80});
    });
}
std::shared_ptr<UIImage> Image::shutterBurst() {
    return bundleImage(shutterBurst_, "shutter_burst.png", nullptr);
}
std::shared_ptr<UIImage> Image::shutterMotion() {
    return bundleImage(shutterMotion_, "shutter_motion.png", nullptr);
}
std::shared_ptr<UIImage> Image::shutterVideo() {
    return bundleImage(shutterVideo_, "shutter_video.png", nullptr);
}
