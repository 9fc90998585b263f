// An offscreen image context for one drawing: opened for a size that is positive and finite
// (otherwise it is empty and draws nothing), closed when it goes, its image taken once.
#pragma once

#include <cmath>
#include <memory>

#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

class ImageContext {
public:
    // Scale 0 is the main screen's scale.
    ImageContext(CGSize size, bool opaque, CGFloat scale) {
        if (!isDrawable(size)) return;
        UIGraphicsBeginImageContextWithOptions(size, opaque, scale);
        context_ = UIGraphicsGetCurrentContext();
    }
    ~ImageContext() {
        if (context_) UIGraphicsEndImageContext();
    }
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;

    static bool isDrawable(CGSize size) {
        return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0;
    }
    explicit operator bool() const { return context_ != nullptr; }
    CGContext* operator->() const { return context_; }
    CGContext& operator*() const { return *context_; }

    // The drawing as an image; closes the context.
    std::shared_ptr<UIImage> take() {
        if (!context_) return nullptr;
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        context_ = nullptr;
        return image;
    }

private:
    CGContext* context_ = nullptr;
};
