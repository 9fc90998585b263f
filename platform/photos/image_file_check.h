// Whether an image file of the library is whole, judged from its head and its tail only, so that
// a library of many photos can be checked every time it opens.
#pragma once

#include <string>

#include "platform/runtime/result.h"

// Succeeds when the file's header reads and the file ends where its format ends: a JPEG with
// its end-of-image marker, a PNG with its end chunk. A cut-off file fails with the reason.
Result<void> checkImageFileIsWhole(const std::string& path);
