// Turning and cutting pictures.
#include "editor/crop/uiimage_crop.h"

#include "platform/image/cg_image_crop.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

std::shared_ptr<UIImage> crop_rotatedImageWithtransform(const std::shared_ptr<UIImage>& image,
                                                        const CGAffineTransform& transform) {
    if (!image) return nullptr;
    CGSize size = image->size();
    if (!(size.width > 0) || !(size.height > 0)) return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, true, image->scale());
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) {
        ctx->translateCTM(size.width / 2, size.height / 2);
        ctx->concatCTM(transform);
        ctx->translateCTM(-size.width / 2, -size.height / 2);
        image->drawInRect({{0, 0}, size});
    }
    auto turned = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return turned;
}

std::shared_ptr<UIImage> rotatedImageWithtransform_croppedToRect(const std::shared_ptr<UIImage>& image,
                                                                 const CGAffineTransform& transform, CGRect rect) {
    auto turned = crop_rotatedImageWithtransform(image, transform);
    if (!turned) return nullptr;
    CGFloat s = turned->scale();
    CGRect pixels{{rect.origin.x * s, rect.origin.y * s}, {rect.size.width * s, rect.size.height * s}};
    auto cut = CGImageCreateWithImageInRect(turned->cgImage(), pixels);
    if (!cut) return nullptr;
    return UIImage::imageWithCGImage(cut, image->scale(), turned->imageOrientation());
}
