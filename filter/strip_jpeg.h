// A JPEG of a recipe rendered a strip at a time: each strip is rendered into one reused buffer
// and handed to the encoder, so that the whole picture never exists at once and saving a large
// photo costs its decoded source and a strip rather than a second and third full copy.
//
// Stateless; safe on any thread for images not shared with a writer.
#pragma once

#include <memory>

#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/jpeg.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/result.h"

// The rows rendered at once.
inline constexpr int kJpegStripRows = 256;

// The JPEG of the rectangle as the context renders it (the same pixels as a whole rendering).
// A rectangle over the context's maximum size is scaled to fit, as cgImage0 does; an empty or
// infinite one, or a failed render, gives the reason.
Result<Bytes> jpegInStrips(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context,
                           const JpegEncodeOptions& options = {}, int stripRows = kJpegStripRows);
