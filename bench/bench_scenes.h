// Shared inputs of the image benchmarks: a synthetic camera frame, colour cubes and preset chains.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/ci_context.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_image.h"

// A camera-like RGBA8 frame: smooth gradients with sensor noise (rows top to bottom).
std::vector<std::uint8_t> syntheticFrame(int width, int height, unsigned seed);

// A smooth colour look as a dim^3 RGBA float cube, red fastest; `variant` picks one of many looks.
std::vector<float> lookCube(int dim, int variant);
// The same cube as a .cube text file for other programs.
void writeCubeFile(const std::string& path, const std::vector<float>& cube, int dim);

// The cube of a .cube file as written above (dim^3 RGBA floats); empty when the file cannot be read.
std::vector<float> readCubeFile(const std::string& path, int& dim);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);

// The application's contexts: no colour management.
std::shared_ptr<CIContext> appContext();
std::shared_ptr<CIImage> frameImage(std::vector<std::uint8_t> px, int w, int h);
// A w x h RGBA8 frame file mapped into memory (its pages shared with the file cache, so nothing
// is zeroed or copied); none when the file cannot be read or is not that size.
std::shared_ptr<CIImage> mappedFrameImage(const std::string& path, int w, int h);
// Crop to 3:4 of the landscape frame (4:3 as delivered) and turn to portrait, as the shutter does.
std::shared_ptr<CIImage> shutterGeometry(const std::shared_ptr<CIImage>& frame);
// The TIFF and GPS dictionaries a photo carries.
ValueDictionary photoProperties();

// A cube as the data value a colour cube filter takes (a preset's look, loaded once).
Value cubeData(const std::vector<float>& cube);

// The filters of one menu preset: face balance, noise reduction, tone curve, vignette, colour cube.
struct PresetChain {
    std::vector<std::shared_ptr<CIFilter>> filters;
    PresetChain(const Value& cubeData, int dim);
    // Feeds a new source through the chain, as the application does for every frame.
    std::shared_ptr<CIImage> apply(const std::shared_ptr<CIImage>& source) const;
};
