// Video frames as image recipes.
#include "capture/sample_buffer_image.h"

std::shared_ptr<CIImage> imageWithPixelBuffer(const CVPixelBufferRef& pixels) {
    if (!pixels || pixels->width() == 0 || pixels->height() == 0) return nullptr;
    // An aliasing pointer: the pixels stay valid as long as the image holds them.
    std::shared_ptr<const std::uint8_t> bytes(pixels, pixels->baseAddress());
    return CIImage::imageWithBitmapData(bytes, pixels->dataSize(), pixels->bytesPerRow(), int(pixels->width()),
                                        int(pixels->height()), CIFormat::BGRA8, CIAlphaMode::Premultiplied, nullptr);
}

std::shared_ptr<CIImage> imageWithSampleBuffer(const CMSampleBufferRef& sampleBuffer) {
    return imageWithPixelBuffer(CMSampleBufferGetImageBuffer(sampleBuffer));
}
