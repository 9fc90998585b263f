// The photo editor's decoding of a library photo: its upright size and the two small copies the
// screen renders from (the preview and the catalogue's thumbnail). It decodes only at the sizes
// the copies need and runs away from the main thread. Safe on any thread: it touches nothing but
// its arguments and the (thread-safe) rendering contexts.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

class CIContext;
class CIImage;

struct EditPhotoCopies {
    CGSize imageSize{};
    std::shared_ptr<CIImage> preview;    // within editPreviewBound
    std::shared_ptr<CIImage> thumbnail;  // within the catalogue's item size
};

// The copies of the photo in `data`, rendered on the GPU context when the photo is within its
// input limit and on the software context otherwise; the reason when the data does not decode
// or the photo is over the size every photo screen shares (isOpenablePhotoSize).
Result<EditPhotoCopies> loadEditPhoto(const Bytes& data, CGSize thumbnailBound, CIContext& gpu, CIContext& cpu);
