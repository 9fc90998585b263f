// Shared pieces of the media tests: movies written through the writer from made-up pictures and a
// steady tone, ffprobe's view of a file, and the tone's frequency in decoded sound.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/media/av_asset_writer.h"

// A picture whose top-left quarter is red and the rest blue, so turns and sizes show.
CVPixelBufferRef quarterPicture(std::size_t width, std::size_t height);
// BGRA of the pixel at (x, y).
std::array<int, 4> pixelAt(const CVPixelBuffer& b, std::size_t x, std::size_t y);
// 1024 frames of a 440 Hz tone starting at sample index `first`.
CMAudioBlock toneBlock(std::int64_t first, double rate = 44100);

struct MovieShape {
    int width = 352, height = 288;
    double seconds = 1.0;
    double fps = 30;
    double sessionStart = 0;  // source time where the file starts
    double firstSample = 0;   // source time of the first sample appended
};
// Writes a movie through the writer and waits for it; false (with the failure logged) when not completed.
bool writeMovie(const std::string& path, const MovieShape& movie);
// A sound file of the tone (AAC), with file tags; false when it could not be written.
bool writeTone(const std::string& path, double seconds, std::vector<std::pair<std::string, std::string>> tags = {});
// Waits (without the clock) until the flag is set by another thread.
void waitFor(const std::atomic<bool>& flag);

// `ffprobe -show_entries ENTRIES -of default=nw=1` of the file, or empty.
std::string ffprobe(const std::string& path, const std::string& entries);
double ffprobeDuration(const std::string& path);
// The pictures ffprobe decodes from the file's first picture track (-1 when none).
int countPictures(const std::string& path);
// The dominant frequency of the file's sound, from its zero crossings.
double toneFrequency(const std::string& path);
// The same of one channel's samples at the given rate.
double toneFrequency(const std::vector<std::int16_t>& mono, double rate);

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string file(const std::string& name) const { return (root_ / name).string(); }
    std::filesystem::path root_;
};
