// GLKView: a view whose contents the image engine draws. Drawing goes into a drawable bitmap of
// the view's size in pixels; display() presents it as the view's contents. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "filter/gl_drawing_context.h"
#include "platform/image/ci_context.h"
#include "platform/ui/view/ui_view.h"

class GLKView : public UIView {
public:
    KORVA_MAKE(GLKView)

    const std::shared_ptr<GLDrawingContext>& context() const { return context_; }
    void setContext(std::shared_ptr<GLDrawingContext> context) { context_ = std::move(context); }
    // Redraw on setNeedsDisplay; the preview turns it off and draws on its own timer.
    bool enableSetNeedsDisplay() const { return enableSetNeedsDisplay_; }
    void setEnableSetNeedsDisplay(bool on) { enableSetNeedsDisplay_ = on; }

    // The drawable's size in pixels (bounds times the contents scale, whole pixels); 0 before
    // the view has a size.
    int drawableWidth() const;
    int drawableHeight() const;

    // Makes the drawable the drawing target at the current size.
    void bindDrawable();
    // Fills the bound drawable with one colour.
    void clear(float r, float g, float b, float a);
    // The bound drawable as a surface the image engine can draw into.
    CIBitmapSurface surface();
    // Presents what was drawn as the view's contents.
    void display();
    // How many times something was presented (for tests and diagnostics).
    std::uint64_t presentCount() const { return presentCount_; }

    std::string className() const override { return "GLKView"; }

protected:
    GLKView() = default;

private:
    std::shared_ptr<GLDrawingContext> context_;
    bool enableSetNeedsDisplay_ = true;
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::uint64_t presentCount_ = 0;
};
