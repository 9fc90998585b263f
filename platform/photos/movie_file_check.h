// What the library needs to know of a movie file before it holds it: that every sample its index
// lists is in the file, and the picture's displayed size and the movie's length.
#pragma once

#include <string>

#include "platform/photos/image_file_check.h"
#include "platform/runtime/result.h"

struct MovieFileFacts {
    int pixelWidth = 0, pixelHeight = 0;  // as displayed (a file turned a quarter swaps them)
    double duration = 0;                  // seconds
};

// Fails with the reason for a file that is no movie, has no picture or no length, or is cut short;
// `fault`, when given, tells those apart from a file that could not be read this time.
Result<MovieFileFacts> describeMovieFile(const std::string& path, FileCheckFault* fault = nullptr);
