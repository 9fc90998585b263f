// Whether an image file of the library is whole, judged from its head and its tail only, so that
// a library of many photos can be checked every time it opens.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/runtime/value.h"
#include "platform/runtime/result.h"

// Succeeds when the file's header reads, names a picture size a decoder takes, and the file ends
// where its format ends: a JPEG with an end-of-image marker after the start of its first scan (not
// just an embedded thumbnail's), a PNG with its end chunk. A cut-off file fails with the reason.
Result<void> checkImageFileIsWhole(const std::string& path);
// The same check on image data in memory.
Result<void> checkImageDataIsWhole(std::span<const std::uint8_t> data);
// A library file's bytes, read by every reader of the library's pictures: only a regular file
// itself (not a link, a pipe or a device put under its name after it was listed), without waiting.
Result<Bytes> readLibraryFile(const std::string& path);
