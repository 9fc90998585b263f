// Decoding a library photo into the editor's preview and thumbnail copies.
#include "editor/photo/edit_photo_loader.h"

#include <algorithm>

#include "editor/photo/edit_photo_rules.h"
#include "filter/ci_image_filter.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/raster.h"

Result<EditPhotoCopies> loadEditPhoto(const Bytes& data, CGSize thumbnailBound, CIContext& gpu, CIContext& cpu) {
    ValueDictionary options;
    options.set(kCIImageApplyOrientationProperty, Value(true));
    auto photo = CIImage::imageWithData(data, options);
    if (!photo) return fail("the photo's data does not decode");
    CGRect extent = photo->extent();
    if (CGRectIsEmpty(extent) || CGRectIsInfinite(extent)) return fail("the photo has no size");
    if (!isOpenablePhotoSize(std::int64_t(extent.size.width), std::int64_t(extent.size.height)))
        return fail("the photo is larger than any photo screen opens");

    EditPhotoCopies copies;
    copies.imageSize = extent.size;
    CGSize maxInput = gpu.inputImageMaximumSize();
    // Only what fits the GPU context is rendered there, as for a save.
    CIContext& context = editSavesOnGPU(copies.imageSize, maxInput) ? gpu : cpu;
    // The copies are rendered once, so that each preview renders from a small bitmap.
    auto copyAt = [&](CGSize size) -> std::shared_ptr<CIImage> {
        auto scaled = photo->imageByApplyingTransform(
            CGAffineTransformMakeScale(size.width / extent.size.width, size.height / extent.size.height));
        auto bitmap = cgImage0(scaled, CGRectMake(0, 0, size.width, size.height), context);
        return bitmap ? CIImage::imageWithCGImage(bitmap) : nullptr;
    };
    copies.preview = copyAt(editRatioSize(copies.imageSize, editPreviewBound(copies.imageSize, maxInput)));
    CGSize thumbBound{std::min(thumbnailBound.width, maxInput.width), std::min(thumbnailBound.height, maxInput.height)};
    copies.thumbnail = copyAt(editRatioSize(copies.imageSize, thumbBound));
    if (!copies.preview || !copies.thumbnail) return fail("the photo's copies could not be rendered");
    return copies;
}
