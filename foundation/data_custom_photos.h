// Byte-buffer helpers for encoded photos: saving one as a new photo-library asset, and reading and
// replacing its image properties (TIFF, Exif, GPS and the top-level keys).
#pragma once

#include <functional>
#include <optional>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// Creates a new asset in the shared photo library with the bytes as its photo resource. The
// handler (may be empty) runs once on the main queue with the success flag; a refused permission,
// bytes that are no image and a failed write all report false.
void saveToPhotos(const Bytes& data, std::function<void(bool success)> handler);
// The same save, with the library's reason when it fails (a refused permission, a folder that
// cannot be written, a full disk).
void savePhotoToLibrary(const Bytes& data, std::function<void(Result<void> saved)> handler);

// The properties dictionary of the first image of the data; null when the data is no readable image.
Value getMetadata(const Bytes& data);

// New data of the same type with the given properties written over the image's own (keys not
// given stay), pixels untouched; none when the data or the properties cannot be written.
std::optional<Bytes> setMetadata(const Bytes& data, const Value& properties);
