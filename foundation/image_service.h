// Image: the shared interface images (logo, check marks, settings icon, shutter buttons), each
// made on first access and kept. A bundle image that cannot be loaded gives none and is tried
// again on the next read. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIImage;

class Image : public NSObject {
public:
    KORVA_MAKE(Image)

    // Draws an icon-font glyph, white on clear, at a size in points. The UI toolkit may register
    // its own; without one the glyphs are drawn from the bundled icon font (iconGlyphImage).
    using GlyphMaker = std::function<std::shared_ptr<UIImage>(int glyph, CGSize size)>;
    static void setGlyphMaker(GlyphMaker maker);

    static constexpr int kGlyphCheck0 = 0xF1DB;
    static constexpr int kGlyphCheck1 = 0xF058;
    static constexpr int kGlyphSettings = 0xF013;

    std::shared_ptr<UIImage> logo();
    std::shared_ptr<UIImage> logo0();
    std::shared_ptr<UIImage> check0();
    std::shared_ptr<UIImage> check1();
    std::shared_ptr<UIImage> settings();
    std::shared_ptr<UIImage> shutterGeneral();
    std::shared_ptr<UIImage> shutterBurst();
    std::shared_ptr<UIImage> shutterMotion();
    std::shared_ptr<UIImage> shutterVideo();

    void setLogo(std::shared_ptr<UIImage> image) { logo_ = std::move(image); }
    void setLogo0(std::shared_ptr<UIImage> image) { logo0_ = std::move(image); }
    void setCheck0(std::shared_ptr<UIImage> image) { check0_ = std::move(image); }
    void setCheck1(std::shared_ptr<UIImage> image) { check1_ = std::move(image); }
    void setSettings(std::shared_ptr<UIImage> image) { settings_ = std::move(image); }
    void setShutterGeneral(std::shared_ptr<UIImage> image) { shutterGeneral_ = std::move(image); }
    void setShutterBurst(std::shared_ptr<UIImage> image) { shutterBurst_ = std::move(image); }
    void setShutterMotion(std::shared_ptr<UIImage> image) { shutterMotion_ = std::move(image); }
    void setShutterVideo(std::shared_ptr<UIImage> image) { shutterVideo_ = std::move(image); }

    std::string className() const override { return "Image"; }

protected:
    Image() = default;

private:
    std::shared_ptr<UIImage> logo_, logo0_, check0_, check1_, settings_;
    std::shared_ptr<UIImage> shutterGeneral_, shutterBurst_, shutterMotion_, shutterVideo_;
};
