// Sizing, context choice and saved metadata of the photo editor.
#include "editor/photo/edit_photo_rules.h"

#include <algorithm>
#include <cmath>

#include "platform/image/codec/image_property_keys.h"

CGSize editPreviewBound(CGSize photo, CGSize maximumInput) {
    CGSize bound{std::min(kEditPreviewLimit, maximumInput.width), std::min(kEditPreviewLimit, maximumInput.height)};
    if (photo.width <= bound.width && photo.height <= bound.height) return photo;
    return bound;
}

CGSize editRatioSize(CGSize photo, CGSize bound) {
    if (photo.width <= 0 || photo.height <= 0) return {1, 1};
    CGFloat s = photo.width > photo.height ? bound.width / photo.width : bound.height / photo.height;
    return {std::max<CGFloat>(1, std::round(photo.width * s)), std::max<CGFloat>(1, std::round(photo.height * s))};
}

bool editSavesOnGPU(CGSize imageSize, CGSize maximumInput) {
    return imageSize.width < maximumInput.width && imageSize.height < maximumInput.height;
}

Value editSavedMetadata(const Value& original, CGSize pixelSize, const std::string& software,
                        const std::string& dateTime) {
    ValueDictionary out;
    const ValueDictionary* top = original.isDictionary() ? original.dictionaryPtr() : nullptr;
    if (top) {
        for (const auto& key : top->keys()) {
            const Value& v = *top->find(key);
            bool kept = key == kCGImagePropertyTIFFDictionary || key == kCGImagePropertyExifDictionary ||
                        key == kCGImagePropertyGPSDictionary;
            // Sub-dictionaries are copied, so that the original's stay as they are.
            if (v.isDictionary()) {
                if (kept) out.set(key, Value(ValueDictionary(*v.dictionaryPtr())));
            } else {
                out.set(key, v);
            }
        }
    }
    auto w = static_cast<std::int64_t>(pixelSize.width), h = static_cast<std::int64_t>(pixelSize.height);
    out.set(kCGImagePropertyOrientation, Value(1));
    out.set(kCGImagePropertyPixelWidth, Value(w));
    out.set(kCGImagePropertyPixelHeight, Value(h));
    if (Value* exif = out.find(kCGImagePropertyExifDictionary)) {
        exif->set(kCGImagePropertyExifPixelXDimension, Value(w));
        exif->set(kCGImagePropertyExifPixelYDimension, Value(h));
    }
    if (Value* tiff = out.find(kCGImagePropertyTIFFDictionary)) {
        tiff->set(kCGImagePropertyTIFFOrientation, Value(1));
        tiff->set(kCGImagePropertyTIFFSoftware, Value(software));
        tiff->set(kCGImagePropertyTIFFDateTime, Value(dateTime));
    }
    return Value(std::move(out));
}
