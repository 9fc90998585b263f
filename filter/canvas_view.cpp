// The canvas behind the position and rectangle editors.
#include "filter/canvas_view.h"

#include "filter/ci_image_filter.h"
#include "foundation/capture_choices.h"
#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/image/color_space.h"

namespace {
std::function<void(const std::shared_ptr<CanvasView>&)>& unsupportedHandler() {
    static std::function<void(const std::shared_ptr<CanvasView>&)> handler;
    return handler;
}
}  // namespace

void CanvasView::setUnsupportedColorSpaceHandler(std::function<void(const std::shared_ptr<CanvasView>&)> handler) {
    unsupportedHandler() = std::move(handler);
}

void CanvasView::init() {
    UIView::init();
    imageView_ = GLKView::make();
    imageView_->setAlpha(0.5);
    imageView_->setContext(glContext());
    imageView_->setContentMode(UIViewContentMode::ScaleAspectFill);
    imageView_->setEnableSetNeedsDisplay(false);
    imageView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(imageView_);
}

void CanvasView::layoutSubviews() {
    UIView::layoutSubviews();
    imageView_->setFrame(bounds());
}

const std::shared_ptr<GLDrawingContext>& CanvasView::glContext() {
    if (!glContext_) glContext_ = GLDrawingContext::make(2);
    return glContext_;
}

const std::shared_ptr<CIContext>& CanvasView::ciContextGPU() {
    if (ciContextGPU_) return ciContextGPU_;
    auto global = Global::shared();
    auto choices = global ? global->value() : nullptr;
    std::string name = choices ? choices->colorSpace() : std::string(kCGColorSpaceNULL);
    ValueDictionary options{{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}};
    if (!name.empty() && name != kCGColorSpaceNULL) {
        if (auto space = CGColorSpace::createWithName(name)) {
            options = {{kCIContextWorkingColorSpace, Value(space)}, {kCIContextOutputColorSpace, Value(space)}};
        } else {
            std::weak_ptr<CanvasView> weak = self<CanvasView>();
            dispatch_async(dispatch_get_main_queue(), [weak] {
                auto strong = weak.lock();
                if (strong && unsupportedHandler()) unsupportedHandler()(strong);
            });
            if (choices) {
                choices->setColorSpace(kCGColorSpaceNULL);
                choices->save();
            }
        }
    }
    ciContextGPU_ = CIContext::gpuContextWithOptions(options);
    return ciContextGPU_;
}

void CanvasView::setImage(const std::shared_ptr<CIImage>& image) {
    if (!setCurrentContext(glContext())) return;
    GLKView& view = *imageView_;
    view.bindDrawable();
    view.clear(0, 0, 0, 1);
    int W = view.drawableWidth() > 0 ? view.drawableWidth() : static_cast<int>(view.frame().size.width);
    int H = view.drawableHeight() > 0 ? view.drawableHeight() : static_cast<int>(view.frame().size.height);
    if (W < 1 || H < 1 || !isDrawable(image) || view.drawableWidth() < 1 || view.drawableHeight() < 1) return;
    ciContextGPU()->drawImage(image, CGRectMake(0, 0, W, H), image->extent(), view.surface());
    view.display();
}
