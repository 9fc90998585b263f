// Video frames as image recipes.
#include "capture/sample_buffer_image.h"

#include "platform/capture/capture_exif.h"
#include "platform/image/codec/image_property_keys.h"

namespace {

// The frame's stamped exposure, when its source stamped one, goes with the image as its Exif.
std::shared_ptr<CIImage> withFrameExposure(std::shared_ptr<CIImage> image, const CVPixelBuffer& frame) {
    Value stamp = frame.attachment(kCaptureFrameExposureAttachment);
    if (!image || !stamp.isDictionary()) return image;
    return CIImage::withNode(image->node(), Value::dictionary({{kCGImagePropertyExifDictionary, stamp.deepCopy()}}));
}

}  // namespace

std::shared_ptr<CIImage> imageWithPixelBuffer(const CVPixelBufferRef& pixels) {
    if (!pixels || pixels->width() == 0 || pixels->height() == 0) return nullptr;
    // An aliasing pointer: the pixels stay valid as long as the image holds them.
    std::shared_ptr<const std::uint8_t> bytes(pixels, pixels->baseAddress());
    return CIImage::imageWithBitmapData(bytes, pixels->dataSize(), pixels->bytesPerRow(), int(pixels->width()),
                                        int(pixels->height()), CIFormat::BGRA8, CIAlphaMode::Premultiplied, nullptr);
}

std::shared_ptr<CIImage> imageWithSampleBuffer(const CMSampleBufferRef& sampleBuffer) {
    if (!sampleBuffer) return nullptr;
    // A frame still to be turned is read turned: the recipe reads the frame as the camera gave it,
    // so a preview drawn small takes only the pixels it shows, and the frame's own turn is made
    // only if something reads the whole of it.
    const int orientation = sampleBuffer->sourceOrientation();
    auto pixels = sampleBuffer->sourceImageBuffer();
    if (!pixels || pixels->width() == 0 || pixels->height() == 0) return nullptr;
    if (orientation == 1) return withFrameExposure(imageWithPixelBuffer(sampleBuffer->imageBuffer()), *pixels);
    std::shared_ptr<const std::uint8_t> bytes(pixels, pixels->baseAddress());
    return withFrameExposure(CIImage::imageWithBitmapData(bytes, pixels->dataSize(), pixels->bytesPerRow(),
                                                          int(pixels->width()), int(pixels->height()), CIFormat::BGRA8,
                                                          CIAlphaMode::Premultiplied, nullptr, orientation),
                             *pixels);
}
