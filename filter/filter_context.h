// FilterContext: the drawing context and the image contexts that draw and encode filtered
// images. The GPU-kind context has the smaller size limits; both work without colour management.
//
// No lock: owned and used by one thread at a time (the capture host, or the photo editor).
#pragma once

#include <memory>

#include "filter/gl_drawing_context.h"
#include "platform/image/ci_context.h"
#include "platform/runtime/object.h"

class FilterContext : public NSObject {
public:
    KORVA_MAKE(FilterContext)

    // Each made on first read and kept.
    const std::shared_ptr<GLDrawingContext>& gl();
    const std::shared_ptr<CIContext>& ciGPU();
    const std::shared_ptr<CIContext>& ciCPU();
    // A context for drawing into a screen-sized bitmap; nothing reads it.
    const std::shared_ptr<CIContext>& ciCG();

    void setGl(std::shared_ptr<GLDrawingContext> c) { gl_ = std::move(c); }
    void setCiGPU(std::shared_ptr<CIContext> c) { ciGPU_ = std::move(c); }
    void setCiCPU(std::shared_ptr<CIContext> c) { ciCPU_ = std::move(c); }
    void setCiCG(std::shared_ptr<CIContext> c) { ciCG_ = std::move(c); }

    // The options of every context: no working colour space.
    static ValueDictionary unmanagedOptions();

    std::string className() const override { return "FilterContext"; }

protected:
    FilterContext() = default;

private:
    std::shared_ptr<GLDrawingContext> gl_;
    std::shared_ptr<CIContext> ciGPU_, ciCPU_, ciCG_;
};
