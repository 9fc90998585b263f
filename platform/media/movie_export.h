// The work of an export: re-encoding pieces of source files into one movie, or copying a file's
// streams into a new container.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/media/movie_encoder.h"

struct ExportPlan {
    struct Piece {
        std::string path;
        double sourceStart = 0, sourceEnd = 0;  // seconds in the source
        double outputStart = 0;                 // seconds in the movie
        int quarterTurns = 0;                   // pictures only
    };
    std::string outputPath;
    MovieEncoderSettings settings;
    std::vector<Piece> video;
    std::vector<Piece> audio;
};

// A cancelled or failed export removes what it wrote.
Result<void> encodeMovie(const ExportPlan& plan, const std::atomic<bool>& cancelled);
Result<void> remuxMovie(const std::string& source, const ExportPlan& plan, const std::atomic<bool>& cancelled);
