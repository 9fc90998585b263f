// Movie files through the media reader: the asset's tracks and every sample of each, and the
// photo library's check of a movie it is asked to hold.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/media/av_asset.h"
#include "platform/media/av_asset_reader.h"
#include "platform/photos/movie_file_check.h"
#include "platform/runtime/log.h"

namespace {

std::string moviePath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Log::setQuiet(true);
    moviePath =
        (std::filesystem::temp_directory_path() / ("korva-fuzz-movie-" + std::to_string(::getpid()) + ".mov")).string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream file(moviePath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    (void)describeMovieFile(moviePath);
    auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(moviePath));
    if (!asset) return 0;
    (void)asset->duration();
    (void)asset->commonMetadata();
    auto reader = AVAssetReader::assetReaderWithAsset(asset);
    if (!reader) return 0;
    std::vector<std::shared_ptr<AVAssetReaderTrackOutput>> outputs;
    for (const auto& track : asset->tracks()) {
        auto output = AVAssetReaderTrackOutput::assetReaderTrackOutputWithTrack(track);
        if ((*reader)->canAddOutput(output)) {
            (*reader)->addOutput(output);
            outputs.push_back(output);
        }
    }
    if (!(*reader)->startReading()) return 0;
    // Bounded, so that a file claiming endless samples still ends the run.
    for (const auto& output : outputs)
        for (int n = 0; n < 4096 && output->copyNextSampleBuffer(); ++n) {
        }
    return 0;
}
