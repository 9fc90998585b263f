// CanvasView: a plain view hosting a half-transparent engine-drawn view that shows one image
// stretched to its size (behind the handles of the position and rectangle editors).
//
// Its image context works in the colour space the user chose; an unknown choice is reset to no
// colour management (saved at once) and reported once through onUnsupportedColorSpace on the
// main queue. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "filter/glk_view.h"
#include "platform/image/ci_image.h"

class CanvasView : public UIView {
public:
    KORVA_MAKE(CanvasView)
    void init() override;
    void layoutSubviews() override;

    // Draws the image over the whole drawable.
    void setImage(const std::shared_ptr<CIImage>& image);

    const std::shared_ptr<GLDrawingContext>& glContext();
    const std::shared_ptr<CIContext>& ciContextGPU();
    const std::shared_ptr<GLKView>& imageView() const { return imageView_; }
    void setGlContext(std::shared_ptr<GLDrawingContext> c) { glContext_ = std::move(c); }
    void setCiContextGPU(std::shared_ptr<CIContext> c) { ciContextGPU_ = std::move(c); }
    void setImageView(std::shared_ptr<GLKView> v) { imageView_ = std::move(v); }

    // Told (on the main queue) when the chosen colour space cannot be made; the UI shows
    // "UNSUPPORTED COLOR SPACE" there.
    static void setUnsupportedColorSpaceHandler(std::function<void(const std::shared_ptr<CanvasView>&)> handler);

    std::string className() const override { return "CanvasView"; }

protected:
    CanvasView() = default;

private:
    std::shared_ptr<GLDrawingContext> glContext_;
    std::shared_ptr<CIContext> ciContextGPU_;
    std::shared_ptr<GLKView> imageView_;
};
