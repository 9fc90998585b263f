// The rendering contexts, made on first use.
#include "filter/filter_context.h"

#include "platform/image/color_space.h"

ValueDictionary FilterContext::unmanagedOptions() {
    return {{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}};
}

const std::shared_ptr<GLDrawingContext>& FilterContext::gl() {
    if (!gl_) gl_ = GLDrawingContext::make(2);
    return gl_;
}

const std::shared_ptr<CIContext>& FilterContext::ciGPU() {
    if (!ciGPU_) ciGPU_ = CIContext::gpuContextWithOptions(unmanagedOptions());
    return ciGPU_;
}

const std::shared_ptr<CIContext>& FilterContext::ciCPU() {
    if (!ciCPU_) ciCPU_ = CIContext::contextWithOptions(unmanagedOptions());
    return ciCPU_;
}

const std::shared_ptr<CIContext>& FilterContext::ciCG() {
    if (!ciCG_) ciCG_ = CIContext::contextWithOptions(unmanagedOptions());
    return ciCG_;
}
