// Scaling, cropping, straightening and tinting pictures.
#include "platform/ui/draw/color.h"
#include "ui/theme/image_context.h"
#include "ui/theme/image_custom.h"

ImageRef resizedImage(const ImageRef& image, CGSize size) {
    if (!image) return nullptr;
    ImageContext context(size, false, UIGraphicsGetMainScreenScale());
    if (!context) return nullptr;
    image->drawInRect(CGRectMake(0, 0, size.width, size.height));
    return context.take();
}

ImageRef resizedRatioImage(const ImageRef& image, CGSize size) {
    if (!image) return nullptr;
    const CGSize own = image->size();
    if (!ImageContext::isDrawable(own)) return nullptr;
    const CGSize fitted = own.width > own.height
                              ? CGSize{size.width, static_cast<float>(size.width * own.height / own.width)}
                              : CGSize{static_cast<float>(size.height * own.width / own.height), size.height};
    return resizedImage(image, fitted);
}

ImageRef croppedImage(const ImageRef& image, CGRect rect) {
    if (!image || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y)) return nullptr;
    ImageContext context(rect.size, false, image->scale());
    if (!context) return nullptr;
    image->drawInRect(CGRectMake(-rect.origin.x, -rect.origin.y, image->size().width, image->size().height));
    return context.take();
}

ImageRef croppedImageByRatio(const ImageRef& image, double ratio) {
    if (!image) return nullptr;
    const CGSize own = image->size();
    const double r = static_cast<float>(own.width / own.height);
    if (r > ratio) {
        const double nw = static_cast<float>(own.height * ratio);
        return croppedImage(image, CGRectMake((own.width - nw) * 0.5, 0, nw, own.height));
    }
    if (r < ratio) {
        const double nh = static_cast<float>(own.width / ratio);
        return croppedImage(image, CGRectMake(0, (own.height - nh) * 0.5, own.width, nh));
    }
    return image;  // the same ratio, or none to compare
}

ImageRef normalizedImage(const ImageRef& image) {
    if (!image || image->imageOrientation() == UIImageOrientation::Up) return image;
    ImageContext context(image->size(), false, image->scale());
    if (!context) return nullptr;
    image->drawInRect(CGRectMake(0, 0, image->size().width, image->size().height));
    return context.take();
}

ImageRef tintedImageUsingColor(const ImageRef& image, const ColorPtr& color) {
    if (!image) return nullptr;
    const CGRect all = CGRectMake(0, 0, image->size().width, image->size().height);
    ImageContext context(all.size, false, image->scale());
    if (!context) return nullptr;
    image->drawInRect(all);
    if (color) color->setFill();
    UIRectFillUsingBlendMode(all, CGBlendMode::SourceAtop);
    return context.take();
}
